// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"

#include "controls/VKEdit.h"

#include <QAbstractButton>
#include <QFocusEvent>

// Unsaved changes: the modified marker, the questions on closing and on Exit, the question
// before a default design is replaced, and saves that fail.

namespace
{
const char* const ReplaceDefault =
    "This replaces the design this calculator starts with. Continue?";
const std::vector<EAnswer> SaveDiscardCancel = {EAnswer::Save, EAnswer::Discard, EAnswer::Cancel};

// Types into a field as the user does: the form sees an edit.
void TypeInto(CVKEdit* field, const QString& text)
{
    field->end(false);
    QTest::keyClicks(field, text);
}
} // namespace

TEST_F(ShellTest, EditsMarkTheCalculatorModifiedUntilItIsSavedOrLoaded)
{
    CChildFrame* receiver = StartWithDefaults();
    CVKFormView* form = receiver->Form();
    EXPECT_FALSE(receiver->Document()->IsModified());

    // Leaving a field regroups its text; that is no change of the design.
    CVKEdit* capacitance = form->Field(1226);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(capacitance, &in);
    QApplication::sendEvent(capacitance, &out);
    EXPECT_EQ(capacitance->text(), QStringLiteral("2,200.000"));
    EXPECT_FALSE(receiver->Document()->IsModified());

    // A typed digit, a check box, a radio button: each marks it, and the frame with it.
    for (int step = 0; step < 3; ++step)
    {
        if (step == 0)
            TypeInto(form->Field(1207), QStringLiteral("5"));
        else
            form->Button(step == 1 ? 1276 : 1195)->click();
        EXPECT_TRUE(receiver->Document()->IsModified()) << step;
        EXPECT_TRUE(receiver->isWindowModified()) << step;
        EXPECT_TRUE(Frame().isWindowModified()) << step;

        const QString path = Path(QStringLiteral("step%1.qwf").arg(step));
        m_App->SetSaveDialog([&](QWidget*, const QString&, const QString&) { return path; });
        m_App->OnCommand(CQuillonApp::IdFileSaveAs);
        EXPECT_FALSE(receiver->isWindowModified()) << step;
        EXPECT_FALSE(Frame().isWindowModified()) << step;
    }

    // Opening a design leaves it unmodified too.
    form->Button(1280)->click();
    ASSERT_TRUE(receiver->isWindowModified());
    const QString first = Path(QStringLiteral("step0.qwf"));
    m_App->SetOpenDialog([&](QWidget*, const QString&, const QString&) { return first; });
    m_App->OnFileOpen();
    EXPECT_FALSE(receiver->isWindowModified());
    EXPECT_TRUE(m_Questions.empty());
}

TEST_F(ShellTest, ClosingAModifiedCalculatorAsksAndCancelKeepsItOpen)
{
    CChildFrame* receiver = StartWithDefaults();
    const QString path = receiver->Document()->GetPathName();
    const QByteArray shipped = ReadFile(path);

    // Unmodified: it closes without a question.
    CChildFrame* coil = Open(QStringLiteral("Coil"));
    ASSERT_NE(coil, nullptr);
    CloseChild(coil);
    EXPECT_TRUE(m_Questions.empty());

    TypeInto(receiver->Form()->Field(1207), QStringLiteral("5"));
    // The form's own "Exit" asks as the window's close box does.
    m_Answers = {EAnswer::Cancel};
    receiver->Form()->Button(CVKFormView::IdExit)->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(m_Questions.size(), 1u);
    EXPECT_EQ(m_Questions[0].m_Text,
              QStringLiteral("Save changes to Air-core crystal radio_Default.qwf?"));
    EXPECT_EQ(m_Questions[0].m_Answers, SaveDiscardCancel);
    EXPECT_EQ(Frame().Client()->ChildFrames(), QList<CChildFrame*>{receiver});
    EXPECT_TRUE(receiver->isVisible());

    // Save, but then not over the default design: nothing is written and it stays open.
    m_Answers = {EAnswer::Save, EAnswer::No};
    EXPECT_FALSE(receiver->close());
    EXPECT_EQ(QuestionTexts().mid(1),
              (QStringList{"Save changes to Air-core crystal radio_Default.qwf?", ReplaceDefault}));
    EXPECT_EQ(ReadFile(path), shipped);
    EXPECT_TRUE(receiver->isVisible());

    // Discard closes it, the file as it was.
    m_Answers = {EAnswer::Discard};
    CloseChild(receiver);
    EXPECT_TRUE(Frame().Client()->ChildFrames().isEmpty());
    EXPECT_EQ(ReadFile(path), shipped);
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(ShellTest, SaveFromTheQuestionWritesTheFormThatCloses)
{
    Start();
    CChildFrame* receiver = Frame().Client()->ChildFrames().front();
    const QString path = Path(QStringLiteral("receiver.qwf"));
    m_App->SetSaveDialog([&](QWidget*, const QString&, const QString&) { return path; });
    m_App->OnCommand(CQuillonApp::IdFileSaveAs);
    // Another calculator is active when the receiver's window is closed.
    CChildFrame* tuning = Open(QStringLiteral("TuningCap"));
    TypeInto(receiver->Form()->Field(1207), QStringLiteral("5"));
    ASSERT_EQ(CVKFormView::ActiveForm(), tuning->Form());

    m_Answers = {EAnswer::Save};
    m_Messages.m_Messages.clear();
    CloseChild(receiver);
    EXPECT_EQ(Frame().Client()->ChildFrames(), QList<CChildFrame*>{tuning});
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text, (path + " saved!").toStdString());
    const QByteArray saved = ReadFile(path);
    EXPECT_TRUE(saved.startsWith("CrystalRadio\r\n1.1\r\n1207,0.105\r\n"))
        << saved.left(40).toStdString();
}

TEST_F(ShellTest, ExitAsksForEachModifiedCalculator)
{
    Start();
    CChildFrame* receiver = Frame().Client()->ChildFrames().front();
    ASSERT_NE(Open(QStringLiteral("Coil")), nullptr); // unmodified: closes without a question
    CChildFrame* tuning = Open(QStringLiteral("TuningCap"));
    TypeInto(receiver->Form()->Field(1207), QStringLiteral("5"));
    tuning->Form()->Button(1217)->click();

    // Discard the receiver, cancel at the tuning capacitor: the program goes on with every
    // window, the receiver's changes still marked.
    const QList<CChildFrame*> all = Frame().Client()->ChildFrames();
    m_Answers = {EAnswer::Discard, EAnswer::Cancel};
    QTest::mouseClick(Selector().ExitButton(), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(m_Questions.size(), 2u);
    EXPECT_EQ(QuestionTexts().value(1), QStringLiteral("Save changes to Tuning Cap_Default.qwf?"));
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_EQ(Frame().Client()->ChildFrames(), all);
    EXPECT_TRUE(receiver->Document()->IsModified());

    // Exit from the menu asks again, once a window, and closes them all.
    m_Answers = {EAnswer::Discard, EAnswer::Discard};
    m_App->OnCommand(CQuillonApp::IdAppExit);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(m_Questions.size(), 4u);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_TRUE(Frame().Client()->ChildFrames().isEmpty());
}

TEST_F(ShellTest, ReplacingADefaultDesignAsksTheFirstTimeOnly)
{
    CChildFrame* receiver = StartWithDefaults();
    const QString path = receiver->Document()->GetPathName();
    const QByteArray shipped = ReadFile(path);
    receiver->Form()->Button(1276)->click();

    m_Answers = {EAnswer::No};
    m_App->OnCommand(CQuillonApp::IdFileSave);
    EXPECT_EQ(QuestionTexts(), QStringList{ReplaceDefault});
    EXPECT_EQ(m_Questions[0].m_Answers, (std::vector<EAnswer>{EAnswer::Yes, EAnswer::No}));
    EXPECT_EQ(ReadFile(path), shipped);
    EXPECT_TRUE(m_Messages.m_Messages.empty());
    EXPECT_TRUE(receiver->isWindowModified());

    m_Answers = {EAnswer::Yes};
    m_App->OnCommand(CQuillonApp::IdFileSave);
    EXPECT_NE(ReadFile(path), shipped);
    EXPECT_FALSE(receiver->isWindowModified());
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);

    // Once agreed, later saves of that design in this run go ahead.
    m_App->OnCommand(CQuillonApp::IdFileSave);
    EXPECT_EQ(m_Messages.m_Messages.size(), 2u);
    EXPECT_EQ(m_Questions.size(), 2u);
}

TEST_F(ShellTest, AFailedSaveAsLeavesTheTitleAndThePath)
{
    CChildFrame* receiver = StartWithDefaults();
    const QString path = receiver->Document()->GetPathName();
    const QString title = receiver->windowTitle();
    TypeInto(receiver->Form()->Field(1207), QStringLiteral("5"));

    const QString nowhere = Path(QStringLiteral("no such folder/receiver.qwf"));
    m_App->SetSaveDialog([&](QWidget*, const QString&, const QString&) { return nowhere; });
    EXPECT_FALSE(receiver->Document()->DoSave(QString()));
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              ("Error while writing to file " + nowhere).toStdString());
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_EQ(receiver->Document()->GetPathName(), path);
    EXPECT_EQ(receiver->windowTitle(), title);
    EXPECT_TRUE(receiver->isWindowModified());

    // The next Save goes to the design's own file again.
    m_Answers = {EAnswer::Yes};
    m_App->OnCommand(CQuillonApp::IdFileSave);
    ASSERT_EQ(m_Messages.m_Messages.size(), 2u);
    EXPECT_EQ(m_Messages.m_Messages[1].text, (path + " saved!").toStdString());
}
