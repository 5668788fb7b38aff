// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/GroupBox.h"
#include "controls/VKButton.h"
#include "controls/VKMenu.h"
#include "controls/VKStatic.h"
#include "controls/VKStatusBar.h"
#include "controls/VKTabCtrl.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace
{
QPixmap Solid(int width, int height, QColor colour)
{
    QPixmap pixmap(width, height);
    pixmap.fill(colour);
    return pixmap;
}

// The selector's button bitmaps, 133 to 137, as plain colours.
void RegisterButtonBitmaps()
{
    CControlDrawing::RegisterResourceBitmap(133, Solid(40, 20, Qt::gray));     // disabled
    CControlDrawing::RegisterResourceBitmap(134, Solid(40, 20, Qt::darkBlue)); // pressed
    CControlDrawing::RegisterResourceBitmap(135, Solid(40, 20, Qt::blue));     // background
    CControlDrawing::RegisterResourceBitmap(136, Solid(40, 20, Qt::cyan));     // hot
    CControlDrawing::RegisterResourceBitmap(137, Solid(40, 20, Qt::yellow));   // selected
}

void Hover(QWidget* widget, bool enter)
{
    if (enter)
    {
        QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(widget, &event);
    }
    else
    {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(widget, &event);
    }
}

class CKeyRecorder : public QWidget
{
public:
    std::vector<int> m_Keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { m_Keys.push_back(event->key()); }
};
} // namespace

TEST(VKButton, CheckStyleTogglesOnClickAndSpace)
{
    CKeyRecorder parent;
    auto* button = new CVKButton("Option", &parent);
    button->resize(80, 20);
    button->SetButtonStyle(CVKButton::StyleAutoCheckBox);
    EXPECT_TRUE(button->CheckStyle());
    EXPECT_FALSE(button->GetCheck());
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(button->GetCheck());
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(button->GetCheck());

    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_TRUE(button->GetCheck());
    EXPECT_EQ(parent.m_Keys, std::vector<int>{Qt::Key_Space});
    button->SetCheck(false);
    EXPECT_FALSE(button->GetCheck());
}

TEST(VKButton, RadioStyleKeepsItsStateInTheQtButton)
{
    QWidget parent;
    auto* first = new CVKButton("A", &parent);
    auto* second = new CVKButton("B", &parent);
    first->SetButtonStyle(CVKButton::StyleAutoRadioButton);
    second->SetButtonStyle(CVKButton::StyleRadioButton);
    first->SetCheck(true);
    EXPECT_TRUE(first->isChecked());
    second->SetCheck(true);
    EXPECT_TRUE(second->GetCheck());
    EXPECT_FALSE(first->GetCheck()); // one of a group
}

TEST(VKButton, BitmapModeAndTheBrushRules)
{
    RegisterButtonBitmaps();
    CVKButton button("Coil");
    ASSERT_TRUE(button.SetBitMapButton(135, 134, 136, 133, 137, true));
    EXPECT_TRUE(button.BitmapMode());
    EXPECT_TRUE(button.DrawFrame());
    EXPECT_EQ(button.size(), QSize(40, 20)); // takes the background's size
    EXPECT_EQ(button.StateBrush(CVKButton::BrushHot).textureImage().pixelColor(0, 0),
              QColor(Qt::cyan));

    EXPECT_EQ(button.ChooseBrush(false), CVKButton::BrushBackground);
    EXPECT_EQ(button.ChooseBrush(true), CVKButton::BrushPressed);
    Hover(&button, true);
    EXPECT_TRUE(button.IsHot());
    EXPECT_EQ(button.ChooseBrush(false), CVKButton::BrushHot);
    button.SetCheck(true);
    EXPECT_EQ(button.ChooseBrush(false), CVKButton::BrushHot); // checked but hot
    Hover(&button, false);
    EXPECT_FALSE(button.IsHot());
    EXPECT_EQ(button.ChooseBrush(false), CVKButton::BrushPressed);
    button.SetCheck(false);
    button.setEnabled(false);
    EXPECT_EQ(button.ChooseBrush(false), CVKButton::BrushDisabled);
    button.SetButtonSelected(true);
    EXPECT_EQ(button.ChooseBrush(true), CVKButton::BrushSelected);

    // Painted with the disabled brush inside the frame.
    const QImage image = button.grab().toImage();
    button.SetButtonSelected(false);
    const QImage disabled = button.grab().toImage();
    EXPECT_EQ(disabled.pixelColor(4, 4), QColor(Qt::gray));
    EXPECT_EQ(image.pixelColor(4, 4), QColor(Qt::yellow));

    CVKButton missing;
    EXPECT_FALSE(missing.SetBitMapButton(135, 134, 136, 133, 999999, false));
    EXPECT_TRUE(missing.BitmapMode());
}

TEST(VKButton, ReleaseEndsHotAndFocusIsTracked)
{
    CVKButton button("Exit");
    button.resize(60, 20);
    Hover(&button, true);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_FALSE(button.IsHot());

    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&button, &in);
    EXPECT_TRUE(button.HasFocusFlag());
    Hover(&button, true);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&button, &out);
    EXPECT_FALSE(button.HasFocusFlag());
    EXPECT_FALSE(button.IsHot());
    EXPECT_FALSE(button.grab().isNull()); // the plain look paints too
}

TEST(VKButton, NavigationKeysReachTheParent)
{
    CKeyRecorder parent;
    auto* button = new CVKButton("Go", &parent);
    QTest::keyClick(button, Qt::Key_F3);
    QTest::keyClick(button, Qt::Key_Down);
    // Each once: a key the button leaves alone reaches the parent only through Qt.
    EXPECT_EQ(parent.m_Keys, (std::vector<int>{Qt::Key_F3, Qt::Key_Down}));
}

TEST(GroupBox, BorderBelowTheCaption)
{
    CGroupBox box("Design");
    box.resize(120, 80);
    box.SetTextFont("Arial", 12, false, false, 0x003232, 0);
    box.SetPen(CControlDrawing::PsSolid, 1, 0x000064);
    EXPECT_EQ(box.BorderStyle(), 1);
    EXPECT_EQ(box.BorderRect().top(), 1 + QFontMetrics(box.Font()).height());

    const QImage framed = box.grab().toImage();
    EXPECT_EQ(framed.pixelColor(0, 60), QColor(100, 0, 0)); // left edge in the pen colour

    box.SetBorder(0, 4);
    EXPECT_EQ(box.BorderMargin(), 4);
    EXPECT_NE(box.grab().toImage().pixelColor(0, 60), QColor(100, 0, 0));

    box.SetBorder(2, 0);
    box.SetBackgroundColour(0x00FF00, 0);
    EXPECT_EQ(box.grab().toImage().pixelColor(60, 60), QColor(0, 255, 0)); // filled, rounded
}

TEST(VKStatic, ClickAlignmentAndText)
{
    CVKStatic link("www");
    link.resize(80, 20);
    QSignalSpy clicks(&link, &CVKStatic::clicked);
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);

    link.setAlignment(Qt::AlignRight);
    EXPECT_TRUE(link.TextFlags() & Qt::AlignRight);
    EXPECT_TRUE(link.TextFlags() & Qt::TextWordWrap);
    link.setAlignment(Qt::AlignLeft);
    link.SetTextFont("Arial", 10, false, false, 0xFF0000, CControlDrawing::DtCenter);
    EXPECT_TRUE(link.TextFlags() & Qt::AlignHCenter);

    link.SetBackgroundColour(0x0000FF, 0);
    link.SetWindowText("");
    EXPECT_EQ(link.GetWindowText(), "");
    EXPECT_EQ(link.grab().toImage().pixelColor(5, 5), QColor(255, 0, 0));
}

TEST(VKTabCtrl, SizesAndDrawing)
{
    CVKTabCtrl tabs;
    tabs.addTab("Design ");
    tabs.addTab("  Utilities");
    tabs.addTab(QString(300, 'x'));
    tabs.SetItemSize(0, 25);
    tabs.SetMinTabWidth(10);
    EXPECT_EQ(tabs.tabRect(0).height(), 25);
    EXPECT_EQ(tabs.TabDrawText(2).size(), 254);

    tabs.SetBackgroundColour(0x0000FF, 0);
    tabs.SetTextFont("Arial", 9, false, false, 0, 1);
    tabs.resize(tabs.sizeHint());
    const QImage image = tabs.grab().toImage();
    const QRect second = tabs.tabRect(1);
    EXPECT_EQ(image.pixelColor(second.left() + 3, second.top() + 3), QColor(255, 0, 0));
}

TEST(VKStatusBar, LockKeyPanes)
{
    CVKStatusBar bar;
    bar.resize(400, 22);
    ASSERT_TRUE(bar.SetIndicators({"CAP", "NUM", "SCRL"}));
    EXPECT_EQ(bar.PaneCount(), 4);
    EXPECT_EQ(bar.PaneText(2), "NUM");
    const int before = bar.PaneWidth(1);
    bar.SetAllSections();
    EXPECT_TRUE(bar.OwnerDrawn());
    EXPECT_EQ(bar.PaneWidth(1), before + 20);

    bar.SetIdleText("Ready");
    EXPECT_EQ(bar.PaneText(0), "Ready");
    bar.showMessage("Opening");
    EXPECT_EQ(bar.PaneText(0), "Opening");
    bar.clearMessage();
    EXPECT_EQ(bar.PaneText(0), "Ready");

    bar.SetIndicatorOn(1, true);
    EXPECT_TRUE(bar.IndicatorOn(1));
    EXPECT_FALSE(bar.IndicatorOn(2));
    bar.SetIndicatorOn(9, true); // no such pane: nothing happens
    bar.SetBackgroundColour(0x00FF00, 0);
    EXPECT_EQ(bar.grab().toImage().pixelColor(bar.width() / 2, 1), QColor(0, 255, 0));
}

TEST(VKMenu, SubMenuBrushesAndTheLook)
{
    auto menu = std::make_unique<CVKMenu>();
    EXPECT_EQ(menu->SubMenuBrush(1).color(), QColor(125, 125, 125)); // 0x7D7D7D
    EXPECT_EQ(menu->SubMenuBrush(2).color(), QColor(0, 125, 0));     // 32000

    QMenu* file = menu->addMenu("&File");
    file->addAction("&Open...\tCtrl+O");
    file->addSeparator();
    QMenu* recent = file->addMenu("Recent");
    recent->addAction("one.qwf");

    // The program's start-up settings.
    ASSERT_TRUE(menu->SetSumMenuColours(0xFFFFFF, 0xC8DCC8, -1));
    EXPECT_EQ(menu->SubMenuBrush(1).color(), QColor(255, 255, 255));
    EXPECT_EQ(menu->SubMenuBrush(2).color(), QColor(200, 220, 200));
    EXPECT_TRUE(menu->Draws(menu.get()));
    EXPECT_TRUE(menu->Draws(file));
    EXPECT_TRUE(menu->Draws(recent));
    EXPECT_EQ(recent->property("corvaneMenuLevel").toInt(), 2);

    menu->ChangeToOwnerDraw();
    EXPECT_TRUE(menu->IsOwnerDrawn());
    QMenu* help = menu->addMenu("&Help"); // added later, drawn all the same
    EXPECT_TRUE(menu->Draws(help));

    EXPECT_FALSE(menu->SetSumMenuColours(999998, 999999));

    menu->SetBackgroundColour(0x0000FF, 0);
    menu->resize(300, menu->sizeHint().height());
    const QImage bar = menu->grab().toImage();
    EXPECT_EQ(bar.pixelColor(290, bar.height() / 2), QColor(255, 0, 0));
    EXPECT_FALSE(file->grab().isNull());
    EXPECT_FALSE(recent->grab().isNull());
    menu.reset(); // the menus let go of the look before it goes
}

TEST(VKMenu, MeasureItem)
{
    CVKMenu menu;
    menu.SetTextFont("Arial", 9, false, false, 0, 0);
    EXPECT_EQ(menu.MeasureItem(0, ""), QSize(5, 1));
    const QFontMetrics metrics(menu.Font());
    EXPECT_EQ(menu.MeasureItem(57601, "&Open..."),
              QSize(metrics.horizontalAdvance("&Open...") + 5, metrics.height()));
}
