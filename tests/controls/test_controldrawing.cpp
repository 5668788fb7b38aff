// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ControlDrawing.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{
// A 2 by 2 bitmap of four distinct colours.
QPixmap Checker()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(0, 1, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(255, 255, 0));
    return QPixmap::fromImage(image);
}

QImage Blank(int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}
} // namespace

TEST(ControlDrawing, ColourValuesHaveRedInTheLowByte)
{
    EXPECT_EQ(CControlDrawing::ColourFromColorRef(0x7D7D7D), QColor(125, 125, 125));
    EXPECT_EQ(CControlDrawing::ColourFromColorRef(0x007D00), QColor(0, 125, 0)); // 32000
    EXPECT_EQ(CControlDrawing::ColourFromColorRef(0xFF0000), QColor(0, 0, 255)); // the link's blue
    EXPECT_EQ(CControlDrawing::ColourFromColorRef(0x000064), QColor(100, 0, 0));
    EXPECT_EQ(CControlDrawing::ColourFromColorRef(0xC8DCC8), QColor(200, 220, 200));
}

TEST(ControlDrawing, Defaults)
{
    const CControlDrawing drawing;
    EXPECT_EQ(drawing.BackgroundBrush().style(), Qt::NoBrush);
    EXPECT_TRUE(drawing.Transparent());
    EXPECT_EQ(drawing.BackgroundColour(), 0u);
    EXPECT_TRUE(drawing.Bitmap().isNull());
    EXPECT_EQ(drawing.Font().family(), "MS Sans Serif");
    EXPECT_EQ(drawing.Font().pointSize(), 8);
    EXPECT_FALSE(drawing.Font().bold());
    EXPECT_FALSE(drawing.Font().italic());
    EXPECT_EQ(drawing.TextColour(), QColor(0, 0, 0));
    EXPECT_EQ(drawing.TextFormat(), 0);
    EXPECT_EQ(drawing.Pen().style(), Qt::SolidLine);
    EXPECT_EQ(drawing.Pen().width(), 1);
    EXPECT_EQ(drawing.Pen().color(), QColor(0, 0, 0));
}

TEST(ControlDrawing, FontPenAndBrushes)
{
    CControlDrawing drawing;
    // The selector's group box settings.
    EXPECT_TRUE(drawing.SetTextFont("Arial", 12, false, true, 0x003232, 1));
    EXPECT_EQ(drawing.Font().pointSize(), 12);
    EXPECT_EQ(drawing.Font().weight(), QFont::Bold);
    EXPECT_EQ(drawing.TextColour(), QColor(50, 50, 0));
    EXPECT_EQ(drawing.TextFormat(), 1);
    EXPECT_FALSE(drawing.SetTextFont("Arial", 0, false, false, 0, 0));
    EXPECT_EQ(drawing.Font().pointSize(), 12);
    EXPECT_TRUE(drawing.SetTextFont("Arial", 9, true, false, true, 0xFFFFFF, 0));
    EXPECT_TRUE(drawing.Font().underline());
    EXPECT_TRUE(drawing.Font().italic());

    EXPECT_TRUE(drawing.SetPen(CControlDrawing::PsDot, 2, 0x000064));
    EXPECT_EQ(drawing.Pen().style(), Qt::DotLine);
    EXPECT_EQ(drawing.Pen().color(), QColor(100, 0, 0));

    drawing.SetBackgroundColour(0x0000FF, 0);
    EXPECT_EQ(drawing.BackgroundBrush().style(), Qt::SolidPattern);
    EXPECT_EQ(drawing.BackgroundBrush().color(), QColor(255, 0, 0));
    EXPECT_FALSE(drawing.Transparent());
    drawing.SetBackgroundColour(0x00FF00, 4);
    EXPECT_EQ(drawing.BackgroundBrush().style(), Qt::CrossPattern);
    drawing.SetBackgroundTransparent();
    EXPECT_TRUE(drawing.Transparent());
    QImage image = Blank(4);
    QPainter painter(&image);
    EXPECT_FALSE(drawing.PaintBrushBitMap(painter, image.rect()));
}

TEST(ControlDrawing, BitmapsByResourceId)
{
    CControlDrawing drawing;
    EXPECT_FALSE(drawing.SetBackgroundResourceBitMap(987654));
    EXPECT_TRUE(drawing.Transparent()); // unchanged

    CControlDrawing::RegisterResourceBitmap(987654, Checker());
    ASSERT_TRUE(drawing.SetBackgroundResourceBitMap(987654));
    EXPECT_EQ(drawing.BackgroundBrush().style(), Qt::TexturePattern);
    EXPECT_EQ(drawing.BitmapWidth(), 2);
    EXPECT_FALSE(drawing.Transparent());
    EXPECT_FALSE(drawing.BitmapFromFile());

    // The pattern brush repeats the bitmap from the painter's origin.
    QImage image = Blank(4);
    {
        QPainter painter(&image);
        EXPECT_TRUE(drawing.PaintBrushBitMap(painter, image.rect()));
    }
    EXPECT_EQ(image.pixel(3, 3), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(2, 1), qRgb(0, 0, 255));
    CControlDrawing::RegisterResourceBitmap(987654, QPixmap());
    EXPECT_TRUE(CControlDrawing::ResourceBitmap(987654).isNull());
}

TEST(ControlDrawing, BitmapFromAFilePaintedOnceOrTiled)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("checker.png");
    ASSERT_TRUE(Checker().save(path));
    CControlDrawing drawing;
    EXPECT_FALSE(drawing.SetBackgroundBitMapFile(folder.filePath("missing.png"), false));
    ASSERT_TRUE(drawing.SetBackgroundBitMapFile(path, false));
    EXPECT_TRUE(drawing.BitmapFromFile());
    EXPECT_EQ(drawing.BitmapFileName(), path);

    QImage once = Blank(5);
    {
        QPainter painter(&once);
        EXPECT_TRUE(drawing.EraseBackground(painter, QRect(1, 1, 4, 4)));
    }
    EXPECT_EQ(once.pixel(2, 2), qRgb(255, 255, 0));
    EXPECT_EQ(once.pixel(3, 3), qRgb(255, 255, 255)); // one copy only

    drawing.SetBackgroundBitMapFile(path, true);
    QImage tiled = Blank(5);
    {
        QPainter painter(&tiled);
        drawing.PaintBitMap(painter, QRect(1, 1, 3, 3));
    }
    EXPECT_EQ(tiled.pixel(3, 3), qRgb(255, 0, 0));     // second copy's top-left
    EXPECT_EQ(tiled.pixel(4, 4), qRgb(255, 255, 255)); // clipped to the rectangle
}

TEST(ControlDrawing, FloodFillStopsAtThePenColour)
{
    CControlDrawing drawing;
    drawing.SetBackgroundColour(0x0000FF, 0);
    QImage image = Blank(20);
    {
        QPainter painter(&image);
        painter.setPen(Qt::black);
        painter.drawRect(5, 5, 9, 9);
    }
    ASSERT_TRUE(drawing.FloodBrushBitMap(image, image.rect()));
    EXPECT_EQ(image.pixel(9, 9), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(6, 13), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(2, 2), qRgb(255, 255, 255));
}

TEST(ControlDrawing, TextFormatFlags)
{
    EXPECT_EQ(CControlDrawing::AlignmentFromFormat(0), int(Qt::AlignLeft | Qt::AlignTop));
    EXPECT_EQ(CControlDrawing::AlignmentFromFormat(CControlDrawing::DtCenter |
                                                   CControlDrawing::DtVCenter |
                                                   CControlDrawing::DtSingleLine),
              int(Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine));
    EXPECT_EQ(CControlDrawing::AlignmentFromFormat(CControlDrawing::DtRight |
                                                   CControlDrawing::DtWordBreak),
              int(Qt::AlignRight | Qt::AlignTop | Qt::TextWordWrap));
}
