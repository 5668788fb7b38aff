// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ControlDrawing.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QWidget>

#include <vector>

namespace
{
QHash<int, QPixmap>& RegisteredBitmaps()
{
    static QHash<int, QPixmap> bitmaps;
    return bitmaps;
}

Qt::BrushStyle HatchStyle(int hatch)
{
    switch (hatch)
    {
    case 1:
        return Qt::VerPattern;
    case 2:
        return Qt::FDiagPattern;
    case 3:
        return Qt::BDiagPattern;
    case 4:
        return Qt::CrossPattern;
    case 5:
        return Qt::DiagCrossPattern;
    default:
        return Qt::HorPattern;
    }
}
} // namespace

CControlDrawing::CControlDrawing()
    : m_BackgroundBrush(Qt::NoBrush),
      m_Font(QStringLiteral("MS Sans Serif"), 8, QFont::Normal, false),
      m_Pen(QColor(0, 0, 0), 1, Qt::SolidLine)
{
}

CControlDrawing::~CControlDrawing() = default;

bool CControlDrawing::SetTextFont(const QString& face, int points, bool italic, bool bold,
                                  quint32 colour, int format)
{
    return SetTextFont(face, points, italic, bold, false, colour, format);
}

bool CControlDrawing::SetTextFont(const QString& face, int points, bool italic, bool bold,
                                  bool underline, quint32 colour, int format)
{
    if (face.isEmpty() || points < 1)
        return false;
    QFont font(face, points, bold ? QFont::Bold : QFont::Normal, italic);
    font.setUnderline(underline);
    m_Font = font;
    m_TextColour = colour;
    m_TextFormat = format;
    DrawingChanged();
    return true;
}

void CControlDrawing::SetBackgroundColour(quint32 colour, int hatch)
{
    m_BackgroundColour = colour;
    CreateColourBrush(&m_BackgroundBrush, colour, hatch);
    m_Transparent = false;
    m_BitmapFromFile = false;
    DrawingChanged();
}

void CControlDrawing::SetBackgroundTransparent()
{
    m_BackgroundBrush = QBrush(Qt::NoBrush);
    m_Transparent = true;
    DrawingChanged();
}

bool CControlDrawing::SetBackgroundResourceBitMap(int id)
{
    const QPixmap bitmap = ResourceBitmap(id);
    if (bitmap.isNull())
        return false;
    m_BackgroundBrush = QBrush(bitmap);
    m_BitmapWidth = bitmap.width();
    m_BitmapHeight = bitmap.height();
    m_Transparent = false;
    m_BitmapFromFile = false;
    DrawingChanged();
    return true;
}

bool CControlDrawing::SetBackgroundBitMapFile(const QString& path, bool tile)
{
    QPixmap bitmap;
    if (path.isEmpty() || !bitmap.load(path))
        return false;
    m_Bitmap = bitmap;
    m_BitmapFileName = path;
    m_BitmapWidth = bitmap.width();
    m_BitmapHeight = bitmap.height();
    m_BackgroundBrush = QBrush(bitmap);
    m_Tile = tile;
    m_BitmapFromFile = true;
    m_Transparent = false;
    DrawingChanged();
    return true;
}

bool CControlDrawing::SetResourceBitMapBrush(QBrush& brush, int id)
{
    const QPixmap bitmap = ResourceBitmap(id);
    if (bitmap.isNull())
        return false;
    brush = QBrush(bitmap);
    return true;
}

bool CControlDrawing::CreateColourBrush(QBrush* brush, quint32 colour, int hatch)
{
    if (brush == nullptr)
        return false;
    *brush = QBrush(ColourFromColorRef(colour), hatch < 1 ? Qt::SolidPattern : HatchStyle(hatch));
    return true;
}

bool CControlDrawing::SetPen(int style, int width, quint32 colour)
{
    Qt::PenStyle penStyle = Qt::SolidLine;
    switch (style)
    {
    case PsSolid:
    case PsInsideFrame:
        penStyle = Qt::SolidLine;
        break;
    case PsDash:
        penStyle = Qt::DashLine;
        break;
    case PsDot:
        penStyle = Qt::DotLine;
        break;
    case PsDashDot:
        penStyle = Qt::DashDotLine;
        break;
    case PsDashDotDot:
        penStyle = Qt::DashDotDotLine;
        break;
    case PsNull:
        penStyle = Qt::NoPen;
        break;
    default:
        return false;
    }
    m_Pen = QPen(ColourFromColorRef(colour), qMax(0, width), penStyle);
    DrawingChanged();
    return true;
}

bool CControlDrawing::PaintBrushBitMap(QPainter& painter, const QRect& rect) const
{
    return PaintBrushBitMap(painter, m_BackgroundBrush, rect);
}

bool CControlDrawing::PaintBrushBitMap(QPainter& painter, const QBrush& brush, const QRect& rect)
{
    if (brush.style() == Qt::NoBrush)
        return false;
    painter.fillRect(rect, brush);
    return true;
}

bool CControlDrawing::PaintBitMap(QPainter& painter, const QRect& rect) const
{
    if (m_Bitmap.isNull())
        return false;
    if (!m_Tile)
    {
        painter.drawPixmap(rect.topLeft(), m_Bitmap);
        return true;
    }
    painter.save();
    painter.setClipRect(rect);
    const int columns = rect.width() / m_Bitmap.width() + 1;
    const int rows = rect.height() / m_Bitmap.height() + 1;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            painter.drawPixmap(rect.left() + column * m_Bitmap.width(),
                               rect.top() + row * m_Bitmap.height(), m_Bitmap);
    painter.restore();
    return true;
}

bool CControlDrawing::FloodBrushBitMap(QImage& image, const QRect& rect) const
{
    if (m_BackgroundBrush.style() == Qt::NoBrush)
        return false;
    const QRect area = rect.intersected(image.rect());
    if (area.isEmpty())
        return false;
    const QImage texture = m_BackgroundBrush.textureImage();
    const QRgb solid = m_BackgroundBrush.color().rgba();
    const QRgb boundary = m_Pen.color().rgba();
    const auto fill = [&](int x, int y)
    {
        if (texture.isNull())
            return solid;
        return texture.pixel(x % texture.width(), y % texture.height());
    };
    std::vector<char> seen(static_cast<size_t>(area.width()) * area.height(), 0);
    std::vector<QPoint> pending{area.center()};
    while (!pending.empty())
    {
        const QPoint p = pending.back();
        pending.pop_back();
        if (!area.contains(p))
            continue;
        char& visited =
            seen[static_cast<size_t>(p.y() - area.top()) * area.width() + (p.x() - area.left())];
        if (visited || image.pixel(p) == boundary)
            continue;
        visited = 1;
        image.setPixel(p, fill(p.x(), p.y()));
        pending.insert(pending.end(), {QPoint(p.x() + 1, p.y()), QPoint(p.x() - 1, p.y()),
                                       QPoint(p.x(), p.y() + 1), QPoint(p.x(), p.y() - 1)});
    }
    return true;
}

bool CControlDrawing::EraseBackground(QPainter& painter, const QRect& rect) const
{
    if (m_BitmapFromFile && !m_Bitmap.isNull())
        return PaintBitMap(painter, rect);
    return PaintBrushBitMap(painter, rect);
}

void CControlDrawing::SetupToolTip(QWidget* control, const QString& text)
{
    m_ToolTipActive = true;
    UpdateToolTip(control, text);
}

void CControlDrawing::UpdateToolTip(QWidget* control, const QString& text)
{
    if (control != nullptr)
        control->setToolTip(text);
}

QColor CControlDrawing::ColourFromColorRef(quint32 colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

QPixmap CControlDrawing::ResourceBitmap(int id)
{
    const auto registered = RegisteredBitmaps().constFind(id);
    if (registered != RegisteredBitmaps().constEnd())
        return *registered;
    return QPixmap(QStringLiteral(":/bitmaps/%1.png").arg(id));
}

void CControlDrawing::RegisterResourceBitmap(int id, const QPixmap& pixmap)
{
    if (pixmap.isNull())
        RegisteredBitmaps().remove(id);
    else
        RegisteredBitmaps().insert(id, pixmap);
}

int CControlDrawing::AlignmentFromFormat(int format)
{
    int flags = 0;
    if (format & DtCenter)
        flags |= Qt::AlignHCenter;
    else if (format & DtRight)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if (format & DtVCenter)
        flags |= Qt::AlignVCenter;
    else if (format & DtBottom)
        flags |= Qt::AlignBottom;
    else
        flags |= Qt::AlignTop;
    if (format & DtWordBreak)
        flags |= Qt::TextWordWrap;
    if (format & DtSingleLine)
        flags |= Qt::TextSingleLine;
    return flags;
}
