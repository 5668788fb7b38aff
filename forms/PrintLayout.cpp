// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/PrintLayout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace
{
constexpr double BodyPoints = 9.0;
constexpr double SmallestPoints = 7.0;
constexpr double CaptionPoints = 14.0;
constexpr double TitlePoints = 10.5;
constexpr double FooterPoints = 7.0;

QFont PrintFont(double points, bool bold = false, bool italic = false)
{
    QFont font;
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// How a table goes across the page: its font size, whether its headings wrap, each column's
// width with the blank after it, and the bands of columns printed one after another.
struct CTableFit
{
    double m_Points = BodyPoints;
    bool m_WrapHeadings = false;
    std::vector<double> m_Widths;
    std::vector<std::vector<size_t>> m_Bands;
};

double Gap(const QFontMetricsF& metrics)
{
    return metrics.height() * 0.8;
}

// The narrowest a heading can be: its widest word when it wraps, all of it otherwise.
double HeadingWidth(const QFontMetricsF& metrics, const QString& heading, bool wrap)
{
    if (!wrap)
        return metrics.horizontalAdvance(heading);
    double widest = 0.0;
    for (const QString& word : heading.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

// The headings are bold, the cells not.
std::vector<double> ColumnWidths(const CPrintedTable& table, QPaintDevice& device, double points,
                                 bool wrap)
{
    const QFontMetricsF metrics(PrintFont(points), &device);
    const QFontMetricsF bold(PrintFont(points, true), &device);
    std::vector<double> widths;
    for (qsizetype column = 0; column < table.m_Headings.size(); ++column)
    {
        double width = HeadingWidth(bold, table.m_Headings[column], wrap);
        for (const QStringList& row : table.m_Rows)
            if (column < row.size())
                width = std::max(width, metrics.horizontalAdvance(row[column]));
        widths.push_back(width + Gap(metrics));
    }
    return widths;
}

double Sum(const std::vector<double>& widths)
{
    double sum = 0.0;
    for (double width : widths)
        sum += width;
    return sum;
}

CTableFit FitTable(const CPrintedTable& table, QPaintDevice& device, double pageWidth)
{
    CTableFit fit;
    std::vector<size_t> all(static_cast<size_t>(table.m_Headings.size()));
    for (size_t column = 0; column < all.size(); ++column)
        all[column] = column;
    for (const bool wrap : {false, true})
        for (double points = BodyPoints; points >= SmallestPoints; points -= 1.0)
        {
            if (wrap && points > SmallestPoints)
                continue;
            fit.m_Points = points;
            fit.m_WrapHeadings = wrap;
            fit.m_Widths = ColumnWidths(table, device, points, wrap);
            if (Sum(fit.m_Widths) <= pageWidth)
            {
                fit.m_Bands = {all};
                return fit;
            }
        }
    // Wider still: bands of as many columns as fit, each led by the first column again.
    std::vector<size_t> band = {0};
    double used = fit.m_Widths.front();
    for (size_t column = 1; column < all.size(); ++column)
    {
        if (used + fit.m_Widths[column] > pageWidth && band.size() > 1)
        {
            fit.m_Bands.push_back(band);
            band = {0};
            used = fit.m_Widths.front();
        }
        band.push_back(column);
        used += fit.m_Widths[column];
    }
    fit.m_Bands.push_back(band);
    return fit;
}

// The cursor down the pages. Without a painter it only counts them, so that the footer of
// the painted pass can say "page 2 of 5".
class CPageFlow
{
public:
    CPageFlow(QPagedPaintDevice& device, QPainter* painter, QString footer, int pages)
        : m_Device(device), m_Painter(painter), m_Footer(std::move(footer)), m_Pages(pages)
    {
        const QFontMetricsF metrics(PrintFont(FooterPoints), &device);
        m_FooterHeight = metrics.lineSpacing() * 2.0;
        m_Width = device.width();
        m_Height = device.height() - m_FooterHeight;
    }

    double Width() const { return m_Width; }
    double Height() const { return m_Height; }
    double m_Y = 0.0;

    // Starts a new page when the height does not fit below the cursor; true when it did.
    bool Room(double height)
    {
        if (m_Y + height <= m_Height || m_Y == 0.0)
            return false;
        NewPage();
        return true;
    }
    void NewPage()
    {
        PaintFooter();
        if (m_Painter)
            m_Device.newPage();
        ++m_Page;
        m_Y = 0.0;
    }
    int Finish()
    {
        PaintFooter();
        return m_Page;
    }

    void Text(const QRectF& rect, int flags, const QString& text, const QFont& font) const
    {
        if (!m_Painter)
            return;
        m_Painter->setFont(font);
        m_Painter->drawText(rect, flags, text);
    }
    void Rule(double y) const
    {
        if (m_Painter)
            m_Painter->drawLine(QPointF(0.0, y), QPointF(m_Width, y));
    }

    QPaintDevice& Device() const { return m_Device; }

private:
    void PaintFooter() const
    {
        Text(QRectF(0.0, m_Height, m_Width, m_FooterHeight), Qt::AlignRight | Qt::AlignBottom,
             QStringLiteral("%1 - page %2 of %3").arg(m_Footer).arg(m_Page).arg(m_Pages),
             PrintFont(FooterPoints));
    }

    QPagedPaintDevice& m_Device;
    QPainter* m_Painter;
    QString m_Footer;
    int m_Pages;
    int m_Page = 1;
    double m_Width = 0.0;
    double m_Height = 0.0;
    double m_FooterHeight = 0.0;
};

double Heading(CPageFlow& flow, const QString& text, double points, double below = 0.4)
{
    const QFont font = PrintFont(points, true);
    const QFontMetricsF metrics(font, &flow.Device());
    const double height = metrics.lineSpacing() * (1.0 + below);
    flow.Room(height + metrics.lineSpacing() * 2.0);
    flow.Text(QRectF(0.0, flow.m_Y, flow.Width(), height), Qt::AlignLeft | Qt::AlignTop, text,
              font);
    flow.m_Y += height;
    return height;
}

// The groups of inputs in two columns, down the left one and then the right one.
void LayInputs(CPageFlow& flow, const std::vector<CPrintedGroup>& groups)
{
    const QFont body = PrintFont(BodyPoints);
    const QFont bold = PrintFont(BodyPoints, true);
    const QFont italic = PrintFont(BodyPoints, false, true);
    const QFontMetricsF metrics(body, &flow.Device());
    const double gap = Gap(metrics) * 2.0;
    const double columnWidth = (flow.Width() - gap) / 2.0;
    double valueWidth = 0.0;
    double widestCaption = 0.0;
    for (const CPrintedGroup& group : groups)
        for (const CPrintedInput& input : group.m_Inputs)
        {
            valueWidth = std::max(valueWidth, metrics.horizontalAdvance(input.m_Value));
            widestCaption = std::max(widestCaption, metrics.horizontalAdvance(input.m_Caption));
        }
    // The values close to their captions; a caption too long for its room wraps.
    const double captionWidth = std::clamp(widestCaption + gap, columnWidth * 0.5,
                                           std::max(columnWidth * 0.5, columnWidth - valueWidth));
    const double line = metrics.lineSpacing();

    int column = 0;
    double top = flow.m_Y;
    double bottom = flow.m_Y;
    // Moves to the next column, or the next page, unless the height fits where the cursor is.
    auto room = [&](double height)
    {
        if (flow.m_Y + height <= flow.Height())
            return;
        if (column == 0)
        {
            column = 1;
        }
        else
        {
            flow.NewPage();
            column = 0;
            top = bottom = 0.0;
        }
        flow.m_Y = top;
    };
    auto put = [&](double height, const QString& text, const QFont& font, double width, int flags,
                   double offset = 0.0)
    {
        const double x = column * (columnWidth + gap) + offset;
        flow.Text(QRectF(x, flow.m_Y, width, height), flags, text, font);
    };
    for (const CPrintedGroup& group : groups)
    {
        if (!group.m_Title.isEmpty())
        {
            room(line * 2.4);
            put(line * 1.4, group.m_Title, bold, columnWidth, Qt::AlignLeft | Qt::AlignBottom);
            flow.m_Y += line * 1.4;
        }
        for (const CPrintedInput& input : group.m_Inputs)
        {
            const int wrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
            const double height =
                input.m_Heading
                    ? line
                    : std::max(line, metrics
                                         .boundingRect(QRectF(0.0, 0.0, captionWidth, 1e9), wrap,
                                                       input.m_Caption)
                                         .height());
            // A heading stays with the input under it.
            room(input.m_Heading ? height + line : height);
            put(height, input.m_Caption, input.m_Heading ? italic : body, captionWidth, wrap,
                input.m_Heading ? 0.0 : line * 0.5);
            if (!input.m_Heading)
                put(height, input.m_Value, body, valueWidth, Qt::AlignRight | Qt::AlignTop,
                    captionWidth);
            flow.m_Y += height;
            bottom = std::max(bottom, flow.m_Y);
        }
    }
    flow.m_Y = bottom + line;
}

void LayTable(CPageFlow& flow, const CPrintedTable& table, const CTableFit& fit)
{
    const QFont body = PrintFont(fit.m_Points);
    const QFont bold = PrintFont(fit.m_Points, true);
    const QFontMetricsF metrics(body, &flow.Device());
    const QFontMetricsF boldMetrics(bold, &flow.Device());
    const double gap = Gap(metrics);
    const double row = metrics.lineSpacing() * 1.15;
    const int headingFlags = Qt::AlignRight | Qt::AlignBottom |
                             (fit.m_WrapHeadings ? Qt::TextWordWrap : Qt::TextSingleLine);

    for (size_t band = 0; band < fit.m_Bands.size(); ++band)
    {
        const std::vector<size_t>& columns = fit.m_Bands[band];
        double headingHeight = boldMetrics.lineSpacing();
        for (size_t column : columns)
            headingHeight = std::max(headingHeight,
                                     boldMetrics
                                         .boundingRect(QRectF(0.0, 0.0, fit.m_Widths[column], 1e9),
                                                       headingFlags, table.m_Headings[column])
                                         .height());
        headingHeight += row * 0.3;

        QString title = table.m_Title;
        if (fit.m_Bands.size() > 1)
            title += QStringLiteral(" (columns %1 to %2 of %3)")
                         .arg(columns[1] + 1)
                         .arg(columns.back() + 1)
                         .arg(table.m_Headings.size());
        const QFontMetricsF titleMetrics(PrintFont(TitlePoints, true), &flow.Device());
        flow.Room(titleMetrics.lineSpacing() * 1.4 + headingHeight + row);

        auto header = [&](const QString& text)
        {
            Heading(flow, text, TitlePoints, 0.2);
            double x = 0.0;
            for (size_t column : columns)
            {
                flow.Text(QRectF(x, flow.m_Y, fit.m_Widths[column] - gap / 2.0, headingHeight),
                          headingFlags, table.m_Headings[column], bold);
                x += fit.m_Widths[column];
            }
            flow.m_Y += headingHeight;
            flow.Rule(flow.m_Y);
        };
        header(title);
        for (const QStringList& cells : table.m_Rows)
        {
            if (flow.Room(row))
                header(title + QStringLiteral(" (continued)"));
            double x = 0.0;
            for (size_t column : columns)
            {
                const QString cell =
                    static_cast<qsizetype>(column) < cells.size() ? cells[column] : QString();
                flow.Text(QRectF(x, flow.m_Y, fit.m_Widths[column] - gap / 2.0, row),
                          Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, cell, body);
                x += fit.m_Widths[column];
            }
            flow.m_Y += row;
        }
        flow.m_Y += row;
    }
    const QFont italic = PrintFont(BodyPoints, false, true);
    const QFontMetricsF noteMetrics(italic, &flow.Device());
    for (const QString& note : table.m_Notes)
    {
        const double height =
            noteMetrics.boundingRect(QRectF(0.0, 0.0, flow.Width(), 1e9), Qt::TextWordWrap, note)
                .height();
        flow.Room(height);
        flow.Text(QRectF(0.0, flow.m_Y, flow.Width(), height), Qt::AlignLeft | Qt::TextWordWrap,
                  note, italic);
        flow.m_Y += height + noteMetrics.lineSpacing() * 0.3;
    }
    if (!table.m_Notes.isEmpty())
        flow.m_Y += noteMetrics.lineSpacing();
}

// The pages once without a painter, to count them, and once with it: `fits` holds each table's
// fit, measured once for both.
int Lay(const CPrintedResults& results, const std::vector<CTableFit>& fits,
        QPagedPaintDevice& device, QPainter* painter, int pages)
{
    QStringList footer = {results.m_Caption, results.m_Design};
    footer.removeAll(QString());
    CPageFlow flow(device, painter, footer.join(QStringLiteral(" - ")), pages);
    Heading(flow, results.m_Caption, CaptionPoints, 0.2);
    const QFont body = PrintFont(BodyPoints);
    const double line = QFontMetricsF(body, &device).lineSpacing();
    flow.Text(QRectF(0.0, flow.m_Y, flow.Width(), line * 2.0), Qt::AlignLeft | Qt::AlignTop,
              results.m_Design + QLatin1Char('\n') + results.m_Date, body);
    flow.m_Y += line * 3.0;
    Heading(flow, QStringLiteral("Inputs"), TitlePoints);
    LayInputs(flow, results.m_Groups);
    Heading(flow, QStringLiteral("Results"), TitlePoints);
    for (size_t table = 0; table < results.m_Tables.size(); ++table)
        LayTable(flow, results.m_Tables[table], fits[table]);
    return flow.Finish();
}

// A table wider than a portrait page at the body size turns every page landscape.
bool NeedsLandscape(const CPrintedResults& results, QPagedPaintDevice& device)
{
    device.setPageOrientation(QPageLayout::Portrait);
    return std::any_of(
        results.m_Tables.begin(), results.m_Tables.end(),
        [&](const CPrintedTable& table)
        { return Sum(ColumnWidths(table, device, BodyPoints, false)) > device.width(); });
}
} // namespace

void PrintPages(const CPrintedResults& results, QPagedPaintDevice& device)
{
    device.setPageOrientation(NeedsLandscape(results, device) ? QPageLayout::Landscape
                                                              : QPageLayout::Portrait);
    std::vector<CTableFit> fits;
    for (const CPrintedTable& table : results.m_Tables)
        fits.push_back(FitTable(table, device, device.width()));
    const int pages = Lay(results, fits, device, nullptr, 0);
    QPainter painter;
    if (!painter.begin(&device))
        return;
    Lay(results, fits, device, &painter, pages);
    painter.end();
}
