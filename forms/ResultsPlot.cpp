// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/ResultsPlot.h"

#include "database/Error.h"
#include "forms/SafeFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QLocale>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <limits>

const char* const NothingToPlotMessage =
    "Error: No report table has two rows or more, so there is nothing to plot.";

namespace
{
const char* const RunColumn = "Run";
// Beyond this many points a series is drawn without markers: they would hide the line.
constexpr size_t MarkedPoints = 2000;

// Where along an axis a value lies, from 0 at its lower end to 1 at its upper end.
double AxisFraction(const QCPAxis& axis, double value)
{
    const QCPRange range = axis.range();
    if (axis.scaleType() == QCPAxis::stLogarithmic)
        return value > 0 && range.lower > 0 && range.upper > range.lower
                   ? std::log(value / range.lower) / std::log(range.upper / range.lower)
                   : 0.0;
    return range.size() > 0 ? (value - range.lower) / range.size() : 0.5;
}

// The corner of the chart for the legend that hides the fewest points: top right unless the
// curves run there.
Qt::Alignment LegendCorner(const QCPAxis& xAxis, const std::vector<CPlotSeries>& series)
{
    struct CCorner
    {
        Qt::Alignment m_Alignment;
        bool m_Right;
        bool m_Top;
    };
    const CCorner corners[] = {{Qt::AlignTop | Qt::AlignRight, true, true},
                               {Qt::AlignTop | Qt::AlignLeft, false, true},
                               {Qt::AlignBottom | Qt::AlignRight, true, false},
                               {Qt::AlignBottom | Qt::AlignLeft, false, false}};
    // The share of the chart a legend of a few lines takes in each direction.
    constexpr double Wide = 0.4;
    constexpr double High = 0.35;
    Qt::Alignment best = corners[0].m_Alignment;
    size_t fewest = std::numeric_limits<size_t>::max();
    for (const CCorner& corner : corners)
    {
        size_t hidden = 0;
        for (const CPlotSeries& one : series)
            for (size_t point = 0; point < one.m_X.size(); ++point)
            {
                const double across = AxisFraction(xAxis, one.m_X[point]);
                const double up = AxisFraction(*one.m_Axis, one.m_Y[point]);
                if ((corner.m_Right ? across >= 1.0 - Wide : across <= Wide) &&
                    (corner.m_Top ? up >= 1.0 - High : up <= High))
                    ++hidden;
            }
        if (hidden < fewest)
        {
            fewest = hidden;
            best = corner.m_Alignment;
        }
    }
    return best;
}

QCPAbstractPlottable* AddSeries(QCustomPlot& chart, QCPAxis* axis, const QVector<double>& x,
                                const QVector<double>& y)
{
    // A graph keeps its points in x order: only for an x that runs one way.
    const bool rising = std::is_sorted(x.begin(), x.end());
    const bool falling = std::is_sorted(x.rbegin(), x.rend());
    if (rising || falling)
    {
        QCPGraph* graph = chart.addGraph(chart.xAxis, axis);
        graph->setData(falling && !rising ? QVector<double>(x.rbegin(), x.rend()) : x,
                       falling && !rising ? QVector<double>(y.rbegin(), y.rend()) : y, true);
        graph->setAdaptiveSampling(true);
        return graph;
    }
    auto* curve = new QCPCurve(chart.xAxis, axis);
    curve->setData(x, y);
    return curve;
}

QColor SeriesColour(int index)
{
    static const QColor colours[] = {QColor(0, 90, 181), QColor(220, 50, 32), QColor(26, 133, 60),
                                     QColor(153, 79, 0), QColor(128, 0, 128), QColor(0, 128, 128)};
    return colours[index % static_cast<int>(std::size(colours))];
}

QString AxisTitle(const QStringList& names, const QStringList& units)
{
    QStringList shown;
    for (const QString& unit : units)
        if (!unit.isEmpty() && !shown.contains(unit))
            shown << unit;
    return ColumnHeading(names.join(QStringLiteral(", ")), shown.join(QStringLiteral(", ")));
}

void SetScale(QCPAxis* axis, bool log)
{
    axis->setScaleType(log ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    if (log)
        axis->setTicker(QSharedPointer<QCPAxisTickerLog>(new QCPAxisTickerLog));
    else
        axis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
}

QCPTextElement* TitleElement(QCustomPlot& chart)
{
    QCPLayoutGrid* layout = chart.plotLayout();
    if (auto* title = qobject_cast<QCPTextElement*>(layout->element(0, 0)))
        return title;
    layout->insertRow(0);
    auto* title = new QCPTextElement(&chart, QString(), QFont(chart.font().family(), 11));
    layout->addElement(0, 0, title);
    return title;
}

bool IsPositive(double value)
{
    return value > 0.0;
}

// The numbers of a table by column, one unit a column (FixedUnitTable); complex columns in two,
// text columns left out, blank cells not drawn.
std::vector<CPlotColumn> PlotColumns(const CReportTable& report)
{
    std::vector<CPlotColumn> columns;
    if (report.m_Rows.empty())
        return columns;
    const CReportTable table = FixedUnitTable(report);
    const std::vector<CReportCell>& first = table.m_Rows.front();
    for (size_t column = 0; column < table.m_Columns.size() && column < first.size(); ++column)
    {
        const CReportColumn& layout = table.m_Columns[column];
        // The kind of the column's first cell with a value.
        CReportCell::EKind kind = CReportCell::EKind::Empty;
        for (const std::vector<CReportCell>& cells : table.m_Rows)
            if (column < cells.size() && cells[column].m_Kind != CReportCell::EKind::Empty)
            {
                kind = cells[column].m_Kind;
                break;
            }
        if (kind == CReportCell::EKind::Text || kind == CReportCell::EKind::Empty)
            continue;
        const QString unit =
            kind == CReportCell::EKind::WithUnit ? first[column].m_Text : layout.m_Unit;
        const bool complex = kind == CReportCell::EKind::Complex;
        for (int part = 0; part < (complex ? 2 : 1); ++part)
        {
            CPlotColumn values{complex ? layout.m_Name +
                                             (part ? QStringLiteral(" X") : QStringLiteral(" R"))
                                       : layout.m_Name,
                               unit,
                               layout.m_Decimals,
                               {}};
            values.m_Values.reserve(table.m_Rows.size());
            for (const std::vector<CReportCell>& cells : table.m_Rows)
            {
                const bool present = column < cells.size() && cells[column].m_Kind == kind;
                values.m_Values.push_back(!present ? NAN
                                          : part   ? cells[column].m_Imag
                                                   : cells[column].m_Value);
            }
            columns.push_back(std::move(values));
        }
    }
    return columns;
}

} // namespace

int CPlotData::Find(const QString& name) const
{
    for (size_t column = 0; column < m_Columns.size(); ++column)
        if (m_Columns[column].m_Name == name)
            return static_cast<int>(column);
    return -1;
}

QString CPlotData::Layout() const
{
    QString layout = m_Title;
    for (const CPlotColumn& column : m_Columns)
        layout += QLatin1Char('\t') + column.m_Name;
    return layout;
}

CPlotData LatestPlotData(const std::vector<CReportTable>& tables)
{
    for (size_t end = tables.size(); end > 0;)
    {
        const CReportTable& latest = tables[end - 1];
        if (latest.m_Rows.size() >= 2)
            return {latest.m_Title, latest.m_PlotRemark, PlotColumns(latest)};
        size_t start = end - 1;
        while (latest.m_Rows.size() == 1 && start > 0 && tables[start - 1].m_Rows.size() == 1 &&
               SameLayout(tables[start - 1], latest))
            --start;
        if (end - start >= 2)
        {
            CPlotData data{
                latest.m_Title, QString(), {{QString::fromLatin1(RunColumn), QString(), 0, {}}}};
            for (size_t table = start; table < end; ++table)
            {
                const std::vector<CPlotColumn> row = PlotColumns(tables[table]);
                if (data.m_Columns.size() == 1)
                    for (const CPlotColumn& column : row)
                        data.m_Columns.push_back(
                            {column.m_Name, column.m_Unit, column.m_Decimals, {}});
                data.m_Columns.front().m_Values.push_back(static_cast<double>(table - start + 1));
                for (size_t column = 0; column < row.size() && column + 1 < data.m_Columns.size();
                     ++column)
                    data.m_Columns[column + 1].m_Values.push_back(row[column].m_Values.front());
            }
            return data;
        }
        end = start;
    }
    return {};
}

CPlotChoice DefaultPlotChoice(std::span<const CFormAction> actions, const CPlotData& data)
{
    CPlotChoice choice;
    // The action whose caption titles the table; the y columns the table lacks are passed over.
    for (const CFormAction& action : actions)
    {
        if (!action.m_PlotX || data.m_Title != QString::fromUtf8(action.m_Caption))
            continue;
        choice.m_X = data.Find(QString::fromUtf8(action.m_PlotX));
        for (const char* y : action.m_PlotY)
            if (const int column = y ? data.Find(QString::fromUtf8(y)) : -1; column >= 0)
                choice.m_Y.push_back(column);
        if (choice.m_X >= 0 && !choice.m_Y.empty())
            return choice;
        choice = CPlotChoice();
    }
    if (data.m_Columns.size() >= 2)
    {
        choice.m_X = 0;
        choice.m_Y = {1};
    }
    return choice;
}

namespace
{
// Something to draw: a current series or a kept curve.
struct CPlotSource
{
    QString m_Name;
    QString m_Unit;
    int m_Decimals;
    const std::vector<double>* m_X;
    const std::vector<double>* m_Y;
    bool m_Kept;
};

// The current series against x, then the kept curves of the same x column; `hidden` counts
// the kept curves of another x column, which are not drawn.
std::vector<CPlotSource> PlotSources(const CPlotColumn* x,
                                     const std::vector<const CPlotColumn*>& ys,
                                     const std::vector<CKeptCurve>& kept, const QString& designName,
                                     size_t& hidden)
{
    std::vector<CPlotSource> sources;
    for (const CPlotColumn* y : x ? ys : std::vector<const CPlotColumn*>())
        sources.push_back({kept.empty() || designName.isEmpty()
                               ? y->m_Name
                               : y->m_Name + QStringLiteral(" (") + designName + QLatin1Char(')'),
                           y->m_Unit, y->m_Decimals, &x->m_Values, &y->m_Values, false});
    const QString xColumn = x ? ColumnHeading(x->m_Name, x->m_Unit) : QString();
    hidden = 0;
    for (const CKeptCurve& curve : kept)
    {
        if (curve.m_XColumn != xColumn)
        {
            ++hidden;
            continue;
        }
        sources.push_back({curve.m_Name, curve.m_Unit, 2, &curve.m_X, &curve.m_Y, true});
    }
    return sources;
}

// A logarithmic axis needs values above zero: where there is none at all it stays linear.
bool AnyPositive(const std::vector<CPlotSource>& sources, bool onX)
{
    return std::any_of(sources.begin(), sources.end(),
                       [onX](const CPlotSource& source)
                       {
                           const std::vector<double>& values = onX ? *source.m_X : *source.m_Y;
                           return std::any_of(values.begin(), values.end(), IsPositive);
                       });
}

// One source drawn on its axis, less the points the axes cannot show (counted in leftOut).
CPlotSeries DrawSource(QCustomPlot& chart, const CPlotSource& source, size_t index, QCPAxis* axis,
                       bool logX, bool logY, bool markers, size_t& leftOut)
{
    CPlotSeries series{source.m_Name, source.m_Unit, source.m_Decimals, {}, {}, axis};
    const size_t count = std::min(source.m_X->size(), source.m_Y->size());
    for (size_t point = 0; point < count; ++point)
    {
        const double px = (*source.m_X)[point];
        const double py = (*source.m_Y)[point];
        if (!std::isfinite(px) || !std::isfinite(py) || (logX && px <= 0) || (logY && py <= 0))
        {
            ++leftOut;
            continue;
        }
        series.m_X.push_back(px);
        series.m_Y.push_back(py);
    }
    QCPAbstractPlottable* plottable =
        AddSeries(chart, axis, QVector<double>(series.m_X.begin(), series.m_X.end()),
                  QVector<double>(series.m_Y.begin(), series.m_Y.end()));
    plottable->setName(source.m_Name);
    QPen pen(SeriesColour(static_cast<int>(index)), 1.5);
    if (source.m_Kept)
        pen.setStyle(Qt::DashLine);
    plottable->setPen(pen);
    const QCPScatterStyle style(
        source.m_Kept ? QCPScatterStyle::ssSquare : QCPScatterStyle::ssCircle, pen.color(), 5);
    const bool marked = markers && series.m_X.size() <= MarkedPoints;
    if (auto* graph = qobject_cast<QCPGraph*>(plottable))
        graph->setScatterStyle(marked ? style : QCPScatterStyle());
    else if (auto* curve = qobject_cast<QCPCurve*>(plottable))
        curve->setScatterStyle(marked ? style : QCPScatterStyle());
    return series;
}

// The axes' titles and scales, with a little room around the points so that none sits on the
// frame, and the legend in the corner the series leave free.
void FinishAxes(QCustomPlot& chart, const CPlotColumn* x, const QStringList (&names)[2],
                const QStringList (&units)[2], bool logX, bool logY,
                const std::vector<CPlotSeries>& series)
{
    chart.xAxis->setLabel(x ? ColumnHeading(x->m_Name, x->m_Unit) : QString());
    chart.yAxis->setLabel(AxisTitle(names[0], units[0]));
    chart.yAxis2->setLabel(AxisTitle(names[1], units[1]));
    chart.yAxis2->setVisible(!units[1].isEmpty());
    SetScale(chart.xAxis, logX);
    SetScale(chart.yAxis, logY);
    SetScale(chart.yAxis2, logY);
    chart.rescaleAxes();
    for (QCPAxis* axis : {chart.xAxis, chart.yAxis, chart.yAxis2})
        if (axis->range().size() > 0)
            axis->scaleRange(1.06, axis->range().center());
    chart.axisRect()->insetLayout()->setInsetAlignment(0, LegendCorner(*chart.xAxis, series));
}
} // namespace

CPlotResult DrawPlot(QCustomPlot& chart, const CPlotData& data, const CPlotChoice& choice,
                     const std::vector<CKeptCurve>& kept, const QString& designName)
{
    CPlotResult result;
    chart.clearPlottables();
    // The axes read as the report does, in every locale.
    chart.setLocale(QLocale::c());
    QString title = data.m_Title;
    if (!designName.isEmpty())
        title = title.isEmpty() ? designName : title + QStringLiteral(" - ") + designName;
    if (!data.m_Remark.isEmpty())
        title += QLatin1Char('\n') + data.m_Remark;
    TitleElement(chart)->setText(title);

    const auto column = [&data](int index) -> const CPlotColumn*
    {
        return index >= 0 && static_cast<size_t>(index) < data.m_Columns.size()
                   ? &data.m_Columns[static_cast<size_t>(index)]
                   : nullptr;
    };
    const CPlotColumn* x = column(choice.m_X);
    std::vector<const CPlotColumn*> ys;
    for (int index : choice.m_Y)
        if (const CPlotColumn* y = column(index))
            ys.push_back(y);

    size_t hidden = 0;
    const std::vector<CPlotSource> sources = PlotSources(x, ys, kept, designName, hidden);
    const QString leftUnit = sources.empty() ? QString() : sources.front().m_Unit;
    chart.legend->setVisible(!sources.empty());
    const bool logX = choice.m_LogX && !sources.empty() && AnyPositive(sources, true);
    const bool logY = choice.m_LogY && !sources.empty() && AnyPositive(sources, false);
    QStringList notes;
    if (hidden > 0)
        notes << QStringLiteral("%1 kept curves of another x column are hidden.").arg(hidden);
    if (choice.m_LogX && !logX && !sources.empty())
        notes << QStringLiteral("%1 has no value above zero: its axis stays linear.")
                     .arg(x ? x->m_Name : QString());
    if (choice.m_LogY && !logY && !sources.empty())
        notes << QStringLiteral("No y value is above zero: the y axes stay linear.");

    // Index 0 the left axis, 1 the right one.
    QStringList names[2];
    QStringList units[2];
    size_t leftOut = 0;
    for (size_t index = 0; index < sources.size(); ++index)
    {
        const CPlotSource& source = sources[index];
        const int side = source.m_Unit == leftUnit ? 0 : 1;
        result.m_Series.push_back(DrawSource(chart, source, index,
                                             side == 0 ? chart.yAxis : chart.yAxis2, logX, logY,
                                             choice.m_Markers, leftOut));
        names[side] << source.m_Name;
        units[side] << source.m_Unit;
    }
    if (leftOut > 0)
        notes << QStringLiteral("%1 points are left out: %2.")
                     .arg(leftOut)
                     .arg(logX || logY
                              ? QStringLiteral("a logarithmic axis shows only values "
                                               "above zero, and no blank or undefined ones")
                              : QStringLiteral("their cells are blank or undefined"));

    // Current series are titled by their column names alone, kept ones by theirs.
    if (x && !kept.empty() && !ys.empty())
    {
        names[0].clear();
        names[1].clear();
        for (const CPlotColumn* y : ys)
            names[y->m_Unit == leftUnit ? 0 : 1] << y->m_Name;
    }
    FinishAxes(chart, x, names, units, logX, logY, result.m_Series);
    result.m_Note = notes.join(QLatin1Char(' '));
    return result;
}

namespace
{
// Screen pictures say they are of 96 dots per inch, as the chart's own PNG writer has them.
constexpr int PictureDotsPerMeter = static_cast<int>(96 / 0.0254);

// The picture drawn in memory, so that nothing can cut it short unseen; empty when it could
// not be drawn. PNG unless the suffix says PDF or SVG.
QByteArray PlotPicture(QCustomPlot& chart, const QString& suffix, QSize size)
{
    const int width = size.width();
    const int height = size.height();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const auto drawVectors = [&](QPaintDevice& device)
    {
        QCPPainter painter;
        if (!painter.begin(&device))
            return false;
        painter.setMode(QCPPainter::pmVectorized);
        painter.setWindow(QRect(0, 0, width, height));
        chart.toPainter(&painter, width, height);
        return painter.end();
    };
    bool done = false;
    if (suffix == QLatin1String("pdf"))
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(TitleElement(chart)->text());
        writer.setResolution(72); // a point a pixel: the page is the picture
        writer.setPageLayout(QPageLayout(
            QPageSize(QSizeF(width, height), QPageSize::Point, QString(), QPageSize::ExactMatch),
            QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
        done = drawVectors(writer);
    }
    else if (suffix == QLatin1String("svg"))
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(width, height));
        generator.setViewBox(QRect(0, 0, width, height));
        generator.setTitle(TitleElement(chart)->text());
        done = drawVectors(generator);
    }
    else
    {
        QImage image = chart.toPixmap(width, height).toImage();
        image.setDotsPerMeterX(PictureDotsPerMeter);
        image.setDotsPerMeterY(PictureDotsPerMeter);
        done = !image.isNull() && image.save(&buffer, "PNG");
    }
    return done ? buffer.data() : QByteArray();
}
} // namespace

bool SavePlotPicture(QCustomPlot& chart, const QString& path, QSize size)
{
    const QByteArray picture = PlotPicture(chart, QFileInfo(path).suffix().toLower(), size);
    return !picture.isEmpty() && WriteFileSafely(path, picture);
}

bool WriteDefaultPlot(std::span<const CFormAction> actions, const std::vector<CReportTable>& tables,
                      const QString& designName, const QString& path, QSize size)
{
    const CPlotData data = LatestPlotData(tables);
    if (data.Rows() == 0)
    {
        CError::DisplayError(NothingToPlotMessage);
        return false;
    }
    QCustomPlot chart;
    chart.resize(size);
    DrawPlot(chart, data, DefaultPlotChoice(actions, data), {}, designName);
    if (SavePlotPicture(chart, path, size))
        return true;
    ReportWriteError(path);
    return false;
}
