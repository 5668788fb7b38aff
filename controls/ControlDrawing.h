// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/CorvaneExport.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>
#include <QPixmap>
#include <QString>

class QImage;
class QPainter;
class QRect;
class QWidget;

// The drawing settings that every drawn control carries: a background brush or bitmap, a
// font with its colour and text format, a pen and a tooltip. Colours are given as
// 0x00BBGGRR values (red in the low byte) and kept as given.
class CORVANE_EXPORT CControlDrawing
{
public:
    // Text format flags, as the drawing calls take them.
    enum ETextFormat
    {
        DtCenter = 0x01,
        DtRight = 0x02,
        DtVCenter = 0x04,
        DtBottom = 0x08,
        DtWordBreak = 0x10,
        DtSingleLine = 0x20,
    };
    enum EPenStyle
    {
        PsSolid = 0,
        PsDash = 1,
        PsDot = 2,
        PsDashDot = 3,
        PsDashDotDot = 4,
        PsNull = 5,
        PsInsideFrame = 6,
    };

    CControlDrawing();
    virtual ~CControlDrawing();
    CControlDrawing(const CControlDrawing&) = default;
    CControlDrawing& operator=(const CControlDrawing&) = default;

    // A font of `points` in `face`, weight 700 when bold else 400. False (nothing changed)
    // for an empty face or a size below 1 point.
    bool SetTextFont(const QString& face, int points, bool italic, bool bold, quint32 colour,
                     int format);
    bool SetTextFont(const QString& face, int points, bool italic, bool bold, bool underline,
                     quint32 colour, int format);
    // A solid brush when hatch < 1, else a hatch brush of that style (1 vertical,
    // 2 forward and 3 backward diagonal, 4 cross, 5 diagonal cross, others horizontal).
    void SetBackgroundColour(quint32 colour, int hatch = 0);
    void SetBackgroundTransparent();
    // A pattern brush from bitmap `id` (see ResourceBitmap). False when it is missing.
    bool SetBackgroundResourceBitMap(int id);
    // The bitmap of a file, painted as it is (PaintBitMap) and as the pattern brush.
    bool SetBackgroundBitMapFile(const QString& path, bool tile);
    static bool SetResourceBitMapBrush(QBrush& brush, int id);
    static bool CreateColourBrush(QBrush* brush, quint32 colour, int hatch);
    bool SetPen(int style, int width, quint32 colour);

    // Fills the rectangle with the background brush (or the brush given). False without one.
    bool PaintBrushBitMap(QPainter& painter, const QRect& rect) const;
    static bool PaintBrushBitMap(QPainter& painter, const QBrush& brush, const QRect& rect);
    // Copies the file bitmap to the rectangle's top-left corner, or tiles it over the
    // rectangle. False without a bitmap.
    bool PaintBitMap(QPainter& painter, const QRect& rect) const;
    // Flood-fills the image with the background brush from the rectangle's centre, up to
    // pixels of the pen colour, within the rectangle.
    bool FloodBrushBitMap(QImage& image, const QRect& rect) const;
    // What erasing a drawn control paints: the file bitmap when the background came from a
    // file, else the brush.
    bool EraseBackground(QPainter& painter, const QRect& rect) const;

    void SetupToolTip(QWidget* control, const QString& text);
    void UpdateToolTip(QWidget* control, const QString& text);

    static QColor ColourFromColorRef(quint32 colour);
    // Bitmap resources by id: one registered in code, else ":/bitmaps/<id>.png".
    static QPixmap ResourceBitmap(int id);
    static void RegisterResourceBitmap(int id, const QPixmap& pixmap);
    // Qt alignment and wrap flags for a text format.
    static int AlignmentFromFormat(int format);

    const QBrush& BackgroundBrush() const { return m_BackgroundBrush; }
    quint32 BackgroundColour() const { return m_BackgroundColour; }
    const QPixmap& Bitmap() const { return m_Bitmap; }
    bool Tile() const { return m_Tile; }
    bool BitmapFromFile() const { return m_BitmapFromFile; }
    int BitmapWidth() const { return m_BitmapWidth; }
    int BitmapHeight() const { return m_BitmapHeight; }
    bool Transparent() const { return m_Transparent; }
    const QString& BitmapFileName() const { return m_BitmapFileName; }
    const QFont& Font() const { return m_Font; }
    QColor TextColour() const { return ColourFromColorRef(m_TextColour); }
    quint32 TextColourRef() const { return m_TextColour; }
    int TextFormat() const { return m_TextFormat; }
    const QPen& Pen() const { return m_Pen; }
    bool ToolTipActive() const { return m_ToolTipActive; }

protected:
    // Called after every change of the settings, so that a control can repaint.
    virtual void DrawingChanged() {}

private:
    QBrush m_BackgroundBrush;
    quint32 m_BackgroundColour = 0;
    QPixmap m_Bitmap;
    bool m_Tile = false;
    bool m_BitmapFromFile = false;
    int m_BitmapWidth = 0;
    int m_BitmapHeight = 0;
    bool m_Transparent = true;
    QString m_BitmapFileName;
    QFont m_Font;
    quint32 m_TextColour = 0;
    int m_TextFormat = 0;
    QPen m_Pen;
    bool m_ToolTipActive = false;
};
