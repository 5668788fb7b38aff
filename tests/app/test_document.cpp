// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"

#include "calculators/FormFactory.h"
#include "controls/VKEdit.h"

#include <QAbstractButton>
#include <QClipboard>

#include <csignal>
#include <sys/resource.h>

namespace
{
// Lines of a design file, without their "\r\n".
QStringList Lines(const QByteArray& data)
{
    QStringList lines = QString::fromLatin1(data).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.pop_back();
    return lines;
}

// Files written by this process stop growing past `bytes` while it lives.
class CFileSizeLimit
{
public:
    explicit CFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_Old);
        m_OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_Old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_Old);
        std::signal(SIGXFSZ, m_OldHandler);
    }

private:
    rlimit m_Old{};
    void (*m_OldHandler)(int);
};
// A design in the installed data folder, which for this test program lies beside it as
// ../share/quillon, read-only as a package leaves it; removed again with its folders.
class CInstalledDesign
{
public:
    CInstalledDesign(const QString& name, const QByteArray& data)
        : m_Path(QDir(InstalledDataFolder()).filePath(name))
    {
        m_Created = !QFileInfo::exists(InstalledDataFolder());
        QDir().mkpath(QFileInfo(m_Path).absolutePath());
        QFile file(m_Path);
        if (file.open(QIODevice::WriteOnly))
            file.write(data);
        file.close();
        SetReadOnly(true);
    }
    ~CInstalledDesign()
    {
        SetReadOnly(false);
        QFile::remove(m_Path);
        if (m_Created)
        {
            QDir(InstalledDataFolder()).removeRecursively();
            QDir().rmdir(QFileInfo(InstalledDataFolder()).absolutePath());
        }
    }
    const QString& Path() const { return m_Path; }

private:
    void SetReadOnly(bool readOnly)
    {
        const auto read = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        const auto list = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        QFile::setPermissions(m_Path, readOnly ? read : read | QFile::WriteOwner);
        QFile::setPermissions(QFileInfo(m_Path).absolutePath(),
                              readOnly ? read | list : read | list | QFile::WriteOwner);
    }

    QString m_Path;
    bool m_Created = false;
};

QString FieldText(CChildFrame* child, int id)
{
    const auto* field = dynamic_cast<const CVKEdit*>(child->Form()->Control(id));
    return field ? field->GetFixedText() : QString();
}

const char* const CoilDefault = "Data/Coil/Coil_Default.qwf";
} // namespace

TEST_F(ShellTest, ADefaultIsFoundInTheWorkingFolderThenTheUsersThenTheInstalledFolder)
{
    const CFormEntry& coil = *FindFormEntry(QStringLiteral("Coil"));
    const QString shipped = SourceDir() + QStringLiteral("/app/") + CoilDefault;
    CInstalledDesign installed(QString::fromLatin1(CoilDefault), ReadFile(shipped));
    EXPECT_EQ(FindDefaultDesign(coil), installed.Path());
    const QString own = QDir(UserDataFolder()).filePath(QString::fromLatin1(CoilDefault));
    WriteFile(own, ReadFile(shipped));
    EXPECT_EQ(FindDefaultDesign(coil), own);
    CopyDefaultDesigns();
    EXPECT_EQ(FindDefaultDesign(coil), Path(QString::fromLatin1(CoilDefault)));
}

TEST_F(ShellTest, SavingOverAnInstalledDefaultSavesTheUsersOwnCopy)
{
    // Nothing in the working folder or beside this program: only the installed design.
    QByteArray design = ReadFile(SourceDir() + QStringLiteral("/app/") + CoilDefault);
    ASSERT_TRUE(design.contains("\r\n1217,1000.0\r\n"));
    design.replace("\r\n1217,1000.0\r\n", "\r\n1217,777\r\n");
    CInstalledDesign installed(QString::fromLatin1(CoilDefault), design);
    Start();
    CChildFrame* coil = Open(QStringLiteral("Coil"));
    ASSERT_NE(coil, nullptr);
    EXPECT_EQ(coil->Document()->GetPathName(), installed.Path());
    EXPECT_EQ(FieldText(coil, 1217), QStringLiteral("777"));

    // Asked as for any default design; the message says where the copy went.
    m_Answers = {EAnswer::Yes};
    m_App->OnCommand(CQuillonApp::IdFileSave);
    const QString copy = QDir(UserDataFolder()).filePath(QString::fromLatin1(CoilDefault));
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text, (copy + " saved!").toStdString());
    EXPECT_EQ(ReadFile(installed.Path()), design);
    EXPECT_TRUE(Lines(ReadFile(copy)).contains(QStringLiteral("1217,777")));
    EXPECT_EQ(coil->Document()->GetPathName(), copy);

    // The next Save goes to the copy without asking again, and a new Coil starts from it.
    m_App->OnCommand(CQuillonApp::IdFileSave);
    EXPECT_EQ(m_Questions.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages.size(), 2u);
    CChildFrame* again = Open(QStringLiteral("Coil"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Document()->GetPathName(), copy);
}

TEST_F(ShellTest, AFileOfAnotherFormIsRefusedAndChangesNothing)
{
    Start();
    CChildFrame* ferrite = Open(QStringLiteral("Ferrite"));
    ASSERT_NE(ferrite, nullptr);
    const QString before = ferrite->Document()->GetTitle();
    QStringList values;
    for (QWidget* control : ferrite->Form()->Controls())
        if (auto* field = dynamic_cast<CVKEdit*>(control))
            values << field->GetWindowText();

    const QString path = Path(QStringLiteral("coil.qwf"));
    WriteFile(path, "Coil\r\n1.0\r\n1188,1\r\n1189,2\r\n");
    m_App->SetOpenDialog([&](QWidget*, const QString&, const QString&) { return path; });
    m_App->OnFileOpen();

    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].icon, EMessageIcon::Error);
    EXPECT_EQ(m_Messages.m_Messages[0].text, ("Invalid file: " + path).toStdString());
    QStringList after;
    for (QWidget* control : ferrite->Form()->Controls())
        if (auto* field = dynamic_cast<CVKEdit*>(control))
            after << field->GetWindowText();
    EXPECT_EQ(after, values);
    EXPECT_EQ(ferrite->Document()->GetTitle(), before);
}

TEST_F(ShellTest, AFileWithOnlyTwoLinesSaysNoFormSelected)
{
    Start();
    const QString path = Path(QStringLiteral("short.qwf"));
    WriteFile(path, "CrystalRadio\r\n1.0\r\n");
    m_App->SetOpenDialog([&](QWidget*, const QString&, const QString&) { return path; });
    m_App->OnFileOpen();
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text, "No form selected!");
}

TEST_F(ShellTest, OpenLoadsIntoTheActiveFormAndRemembersTheFolder)
{
    CopyDefaultDesigns();
    Start();
    CChildFrame* receiver = Frame().Client()->ChildFrames().front();
    QString proposal;
    QString filter;
    const QString path = Path(QStringLiteral("mine/receiver.qwf"));
    QDir().mkpath(Path(QStringLiteral("mine")));
    ASSERT_TRUE(QFile::copy(
        Path(QStringLiteral("Data/CrystalRadio/Air-core crystal radio_Default.qwf")), path));
    m_App->SetOpenDialog(
        [&](QWidget*, const QString& proposed, const QString& filters)
        {
            proposal = proposed;
            filter = filters;
            return path;
        });
    m_App->OnFileOpen();
    EXPECT_TRUE(m_Messages.m_Messages.empty());
    EXPECT_EQ(proposal, QDir(m_Dir.path()).filePath(QStringLiteral("Data/CrystalRadio/")));
    EXPECT_EQ(filter, QStringLiteral("Quillon design (*.qwf);;All Files (*.*)"));
    EXPECT_EQ(receiver->Document()->GetTitle(), path);
    EXPECT_EQ(receiver->Document()->GetPathName(), path);
    EXPECT_EQ(m_App->PathName(), path);
    EXPECT_EQ(m_App->FileTitle(), QStringLiteral("receiver"));
    EXPECT_EQ(m_App->FolderPath(), Path(QStringLiteral("mine")));

    // Cancel keeps everything as it was.
    m_App->SetOpenDialog(
        [&](QWidget*, const QString& proposed, const QString&)
        {
            proposal = proposed;
            return QString();
        });
    m_App->OnFileOpen();
    EXPECT_EQ(proposal, Path(QStringLiteral("mine")) + QLatin1Char('/'));
    EXPECT_EQ(m_App->FolderPath(), Path(QStringLiteral("mine")));
    EXPECT_EQ(m_App->FileTitle(), QStringLiteral("receiver"));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(ShellTest, OpenWithNoFormOpenSaysNoFormSelected)
{
    Start();
    CloseChild(Frame().Client()->ChildFrames().front());
    const QString path = Path(QStringLiteral("any.qwf"));
    WriteFile(path, "CrystalRadio\r\n1.0\r\n1,1\r\n");
    m_App->SetOpenDialog([&](QWidget*, const QString&, const QString&) { return path; });
    m_App->OnCommand(CQuillonApp::IdFileOpen);
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text, "No form selected!");
}

TEST_F(ShellTest, SaveAsWritesTheRecordsInCreationOrder)
{
    // No Data/ folder: the form keeps the defaults of its field set-up.
    Start();
    CChildFrame* tuning = Open(QStringLiteral("TuningCap"));
    ASSERT_NE(tuning, nullptr);
    const QString path = Path(QStringLiteral("designs/tuning.qwf"));
    QDir().mkpath(Path(QStringLiteral("designs")));
    m_App->SetSaveDialog([&](QWidget*, const QString&, const QString&) { return path; });
    m_App->OnCommand(CQuillonApp::IdFileSaveAs);

    // The first seven lines of the tuning capacitor example of the design file format, its
    // numbers in the fixed notation without grouping.
    const QStringList lines = Lines(ReadFile(path));
    ASSERT_GE(lines.size(), 7);
    EXPECT_EQ(lines.mid(0, 7), (QStringList{"TuningCap", "1.1", "1198,525", "1197,1706", "1201, ",
                                            "1217,0", "1215,1"}));
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Message");
    EXPECT_EQ(m_Messages.m_Messages[0].icon, EMessageIcon::Information);
    EXPECT_EQ(m_Messages.m_Messages[0].text, (path + " saved!").toStdString());
    // Save As moves the document to the new file, titled by its name.
    EXPECT_EQ(tuning->Document()->GetPathName(), path);
    EXPECT_EQ(tuning->Document()->GetTitle(), QStringLiteral("tuning.qwf"));
    EXPECT_EQ(m_App->PathName(), path);

    // A plain Save writes there again without asking.
    m_App->SetSaveDialog(
        [](QWidget*, const QString&, const QString&)
        {
            ADD_FAILURE() << "Save asked for a file";
            return QString();
        });
    m_App->OnCommand(CQuillonApp::IdFileSave);
    EXPECT_EQ(m_Messages.m_Messages.size(), 2u);
}

TEST_F(ShellTest, ADocumentSavesAndLoadsItsOwnFormWhicheverIsActive)
{
    Start();
    CChildFrame* tuning = Open(QStringLiteral("TuningCap"));
    CChildFrame* coil = Open(QStringLiteral("Coil"));
    ASSERT_TRUE(tuning && coil);
    ASSERT_EQ(Frame().ActiveChild(), coil);
    const QString path = Path(QStringLiteral("tuning.qwf"));
    ASSERT_TRUE(tuning->Document()->DoSave(path));
    EXPECT_EQ(Lines(ReadFile(path)).value(0), QStringLiteral("TuningCap"));
    // Loading it through the same document fills the tuning capacitor, not the coil.
    EXPECT_TRUE(tuning->Document()->OnOpenDocument(path));
    EXPECT_EQ(Frame().ActiveChild(), coil);
}

TEST_F(ShellTest, SaveWritesBackToTheDefaultDesign)
{
    CopyDefaultDesigns();
    Start();
    CChildFrame* receiver = Frame().Client()->ChildFrames().front();
    const QString path = receiver->Document()->GetPathName();
    const QByteArray before = ReadFile(path);
    // It asks first, since the file is the design the calculator starts with.
    m_Answers = {EAnswer::Yes};
    m_App->OnCommand(CQuillonApp::IdFileSave);
    EXPECT_EQ(QuestionTexts(),
              QStringList{"This replaces the design this calculator starts with. Continue?"});
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text, (path + " saved!").toStdString());
    // The shipped file was written by the same form: saving it unchanged gives it back.
    EXPECT_EQ(Lines(ReadFile(path)), Lines(before));
}

TEST_F(ShellTest, CancelledSaveAsWritesNothing)
{
    Start();
    m_App->SetSaveDialog([](QWidget*, const QString&, const QString&) { return QString(); });
    CChildFrame* receiver = Frame().Client()->ChildFrames().front();
    EXPECT_FALSE(receiver->Document()->DoSave(QString()));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(ShellTest, ASaveThatFailsPartWayKeepsTheOldFile)
{
    Start();
    const QString path = Path(QStringLiteral("receiver.qwf"));
    const QByteArray old = "CrystalRadio\r\n1.0\r\n" + QByteArray(400, 'x') + "\r\n";
    WriteFile(path, old);
    CChildFrame* receiver = Frame().Client()->ChildFrames().front();
    {
        // The disk fills up after 64 bytes of the new file.
        CFileSizeLimit limit(64);
        receiver->Document()->SaveDesign(path);
    }
    EXPECT_EQ(ReadFile(path), old);
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text, ("Error while writing to file " + path).toStdString());
    // No half-written file is left beside it.
    EXPECT_EQ(QDir(m_Dir.path()).entryList(QDir::Files), QStringList{"receiver.qwf"});
}

TEST_F(ShellTest, ASaveIntoAFolderThatIsAFileSaysSo)
{
    Start();
    WriteFile(Path(QStringLiteral("plain")), "not a folder");
    const QString path = Path(QStringLiteral("plain/receiver.qwf"));
    m_App->SetSaveDialog([&](QWidget*, const QString&, const QString&) { return path; });
    m_App->OnCommand(CQuillonApp::IdFileSaveAs);
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text, ("Error while writing to file " + path).toStdString());
    EXPECT_EQ(ReadFile(Path(QStringLiteral("plain"))), QByteArray("not a folder"));
}

TEST_F(ShellTest, CopyAndPasteActOnTheFocusedField)
{
    Start();
    Frame().activateWindow();
    QApplication::setActiveWindow(&Frame());
    CVKFormView* form = Frame().Client()->ChildFrames().front()->Form();
    CVKEdit* field = nullptr;
    for (QWidget* control : form->Controls())
        if ((field = dynamic_cast<CVKEdit*>(control)) && field->isEnabled())
            break;
    ASSERT_NE(field, nullptr);
    field->setFocus();
    if (QApplication::focusWidget() != field)
        GTEST_SKIP() << "this platform gives no keyboard focus";
    field->SetWindowText(QStringLiteral("12"));
    field->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("before"));
    m_App->OnCommand(CQuillonApp::IdEditCopy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12"));

    // With the focus on a push button nothing is copied.
    QWidget* button = form->Button(CVKFormView::IdClear);
    button->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    m_App->OnCommand(CQuillonApp::IdEditCopy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("kept"));
}

TEST_F(ShellTest, SaveAndCopyWithNoCalculatorOpenDoNothing)
{
    Start();
    CloseChild(Frame().Client()->ChildFrames().front());
    m_App->SetSaveDialog(
        [](QWidget*, const QString&, const QString&)
        {
            ADD_FAILURE() << "Save asked for a file";
            return QString();
        });
    for (int id : {CQuillonApp::IdFileSave, CQuillonApp::IdFileSaveAs, CQuillonApp::IdEditUndo,
                   CQuillonApp::IdEditCopy, CQuillonApp::IdEditPaste})
    {
        EXPECT_TRUE(m_App->Action(id)->isEnabled()) << id;
        m_App->Action(id)->trigger();
    }
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(ShellTest, OpenOfAFileThatHoldsNoDesignSaysSoAndKeepsTheForm)
{
    Start();
    CChildFrame* child = Frame().Client()->ChildFrames().front();
    const QString before = child->Document()->GetPathName();
    const QString missing = Path(QStringLiteral("missing.qwf"));
    const QString empty = Path(QStringLiteral("empty.qwf"));
    WriteFile(empty, "");
    for (const QString& path : {missing, empty})
    {
        m_App->SetOpenDialog([&](QWidget*, const QString&, const QString&) { return path; });
        m_App->OnCommand(CQuillonApp::IdFileOpen);
    }
    ASSERT_EQ(m_Messages.m_Messages.size(), 2u);
    EXPECT_EQ(m_Messages.m_Messages[0].text, ("File not found: " + missing).toStdString());
    EXPECT_EQ(m_Messages.m_Messages[1].text, ("Invalid file: " + empty).toStdString());
    EXPECT_EQ(child->Document()->GetPathName(), before);
}
