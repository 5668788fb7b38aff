// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"

#include "controls/GroupBox.h"
#include "controls/VKButton.h"

namespace
{
int VisibleButtons(const CMainMenu& selector)
{
    int count = 0;
    for (int position = 0; position < CMainMenu::PageSize; ++position)
        count +=
            selector.FormButton(position)->isVisibleTo(const_cast<CMainMenu*>(&selector)) ? 1 : 0;
    return count;
}

QStringList Captions(const CMainMenu& selector, int count)
{
    QStringList captions;
    for (int position = 0; position < count; ++position)
        captions << selector.FormButton(position)->text() + QStringLiteral(" | ") +
                        selector.FormButton(position)->toolTip();
    return captions;
}
} // namespace

TEST_F(ShellTest, SelectorPagesShowTheirButtonsCaptionsAndTooltips)
{
    Start();
    CMainMenu& selector = Selector();
    EXPECT_EQ(VisibleButtons(selector), 4);
    EXPECT_EQ(Captions(selector, 4),
              (QStringList{"Monopole | Calculate monopole impedance",
                           "Tuning Cap | Calculate coil inductance for tuning cap",
                           "Coil | Calculate coil geometry and specifications",
                           "Air-core crystal radio | Calculate transformer Q and voltages of an "
                           "air-core crystal radio"}));

    selector.Tabs()->setCurrentIndex(1);
    EXPECT_EQ(selector.CurrentPage(), 1);
    EXPECT_EQ(selector.MenuGroup()->title(), QStringLiteral("Utilities"));
    EXPECT_EQ(VisibleButtons(selector), 3);
    EXPECT_EQ(
        Captions(selector, 3),
        (QStringList{"Impedance Calculator | Calculate impedance of a circuit",
                     "Ferrite rod | Calculate ferrite rod permeability",
                     "Diode Capacitance | Calculate diode capacitance and built-in voltage"}));

    selector.Tabs()->setCurrentIndex(0);
    EXPECT_EQ(selector.MenuGroup()->title(), QStringLiteral("Design"));
    EXPECT_EQ(VisibleButtons(selector), 4);
    EXPECT_EQ(selector.ExitButton()->text(), QStringLiteral("Exit"));
    EXPECT_TRUE(selector.ExitButton()->toolTip().isEmpty());
}

TEST_F(ShellTest, SelectorButtonsAreDrawnFromTheBitmaps)
{
    Start();
    const CVKButton* button = Selector().FormButton(0);
    EXPECT_TRUE(button->BitmapMode());
    EXPECT_TRUE(button->DrawFrame());
    // The button takes the size of its background bitmap 135.
    EXPECT_EQ(button->size(), CControlDrawing::ResourceBitmap(135).size());
    for (int id : {132, 133, 134, 135, 136, 137, 188, 206})
        EXPECT_FALSE(CControlDrawing::ResourceBitmap(id).isNull()) << id;
    EXPECT_EQ(Frame().Client()->BitmapWidth(), CControlDrawing::ResourceBitmap(206).width());
}

TEST_F(ShellTest, EmptyAndInertEntriesOpenNothing)
{
    Start();
    EXPECT_FALSE(Selector().OpenFormAt(0, 4));
    EXPECT_FALSE(Selector().OpenFormAt(1, 5));
    EXPECT_FALSE(Selector().OpenFormAt(7, 0));
    EXPECT_EQ(Frame().Client()->ChildFrames().size(), 1);
}

TEST_F(ShellTest, OpeningTwiceMakesTwoCalculatorsWithATabEach)
{
    const QString key = QStringLiteral("Coil");
    Start();
    CChildFrame* first = Open(key);
    CChildFrame* second = Open(key);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first->Form(), second->Form());
    const QString tab =
        QStringLiteral("  ") + Selector().FindEntry(key)->m_Caption + QStringLiteral("  ");
    EXPECT_EQ(TabTexts(), (QStringList{"  Air-core crystal radio  ", tab, tab}));
    EXPECT_EQ(Bar().Tabs()->currentIndex(), 2);
    EXPECT_EQ(CVKFormView::ActiveForm(), second->Form());
}

TEST_F(ShellTest, ClosingTheMiddleFormKeepsTheOthersTabs)
{
    Start();
    CChildFrame* receiver = Frame().Client()->ChildFrames().front();
    CChildFrame* monopole = Open(QStringLiteral("Monopole"));
    CChildFrame* ferrite = Open(QStringLiteral("Ferrite"));
    ASSERT_EQ(Bar().Forms().size(), 3u);

    CloseChild(monopole);
    EXPECT_EQ(TabTexts(), (QStringList{"  Air-core crystal radio  ", "  Ferrite rod  "}));
    ASSERT_EQ(Bar().Forms().size(), 2u);
    EXPECT_EQ(Bar().Forms()[0], receiver->Form());
    EXPECT_EQ(Bar().Forms()[1], ferrite->Form());
    EXPECT_TRUE(Bar().Tabs()->isVisible());
}

TEST_F(ShellTest, SelectingATabActivatesItsForm)
{
    Start();
    CChildFrame* receiver = Frame().Client()->ChildFrames().front();
    CChildFrame* tuning = Open(QStringLiteral("TuningCap"));
    ASSERT_NE(tuning, nullptr);
    EXPECT_EQ(CVKFormView::ActiveFormKey(), QStringLiteral("TuningCap"));

    // The user picks the first tab: the receiver comes to the front and is the active form.
    Bar().Tabs()->setCurrentIndex(0);
    EXPECT_EQ(Frame().ActiveChild(), receiver);
    EXPECT_EQ(CVKFormView::ActiveForm(), receiver->Form());
    EXPECT_EQ(CVKFormView::ActiveFormKey(), QStringLiteral("CrystalRadio"));
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Quillon - ") + receiver->windowTitle());

    // Activating a window by other means selects its tab.
    Frame().Client()->setActiveSubWindow(tuning);
    EXPECT_EQ(Bar().Tabs()->currentIndex(), 1);
    EXPECT_EQ(CVKFormView::ActiveFormKey(), QStringLiteral("TuningCap"));
}

TEST_F(ShellTest, ClosingTheLastFormHidesTheStrip)
{
    Start();
    CloseChild(Frame().Client()->ChildFrames().front());
    EXPECT_EQ(Bar().Tabs()->count(), 0);
    EXPECT_TRUE(Bar().Forms().empty());
    EXPECT_FALSE(Bar().Tabs()->isVisible());
    EXPECT_EQ(CVKFormView::ActiveForm(), nullptr);
    EXPECT_TRUE(CVKFormView::ActiveFormKey().isEmpty());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Quillon"));

    // Opening another shows it again with one tab.
    Selector().OpenFormAt(0, 3);
    EXPECT_EQ(TabTexts(), QStringList{"  Air-core crystal radio  "});
    EXPECT_TRUE(Bar().Tabs()->isVisible());
}

TEST_F(ShellTest, TheFormsExitButtonClosesItsWindowAndTab)
{
    Start();
    CChildFrame* receiver = Frame().Client()->ChildFrames().front();
    QTest::mouseClick(receiver->Form()->Button(CVKFormView::IdExit), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Frame().Client()->ChildFrames().isEmpty());
    EXPECT_TRUE(Bar().Forms().empty());
    EXPECT_FALSE(Bar().Tabs()->isVisible());
}

TEST_F(ShellTest, DefaultDesignIsLookedForBelowTheCurrentFolder)
{
    Start();
    // Another working folder with its own design of the receiver.
    QTemporaryDir other;
    const QString path =
        QDir(other.path())
            .filePath(QStringLiteral("Data/CrystalRadio/Air-core crystal radio_Default.qwf"));
    WriteFile(path, "CrystalRadio\r\n1.0\r\n");
    QDir::setCurrent(other.path());
    ASSERT_TRUE(Selector().OpenFormAt(0, 3));
    CChildFrame* child = Frame().ActiveChild();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->Document()->GetTitle(), path);
    // That file has no records: the document says so.
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text, "No form selected!");
}
