// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DesignFile.h"
#include "controls/VKEdit.h"
#include "database/MessagePresenter.h"
#include "tests/forms/ProbeForm.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#if defined(__linux__)
#include <sys/resource.h>
#endif
#if defined(__unix__)
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

namespace
{
struct CFileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A scratch file holding exactly the given bytes, positioned at its start.
std::unique_ptr<std::FILE, CFileCloser> BytesFile(const std::string& bytes)
{
    std::unique_ptr<std::FILE, CFileCloser> file(std::tmpfile());
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    std::rewind(file.get());
    return file;
}

// Every line of the bytes with ReadLine's flag after it.
std::vector<std::pair<std::string, bool>> Lines(const std::string& bytes)
{
    auto file = BytesFile(bytes);
    std::vector<std::pair<std::string, bool>> lines;
    std::string text;
    bool more = true;
    while (more && lines.size() < 100)
    {
        more = ReadLine(file.get(), text);
        lines.emplace_back(text, more);
    }
    return lines;
}

using CLines = std::vector<std::pair<std::string, bool>>;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class DesignFile : public ::testing::Test
{
protected:
    QString Path(const char* name) const { return m_Dir.filePath(QString::fromLatin1(name)); }

    // Loads bytes into the probe form as the active form with key "Probe".
    bool Load(const QByteArray& bytes, EDesignLoad load = EDesignLoad::Chosen)
    {
        const QString path = Path("load.qwf");
        WriteAll(path, bytes);
        return LoadDesign(m_Form.get(), QStringLiteral("Probe"), path, load);
    }

    QTemporaryDir m_Dir;
    std::unique_ptr<CProbeForm> m_Form = MakeProbe();
    CRecordingPresenter m_Messages;
    CScopedPresenter m_Scope{m_Messages};
};
} // namespace

TEST(DesignFileLines, PrintableBytesMakeALineAndAnyRunOfOthersSeparatesLines)
{
    EXPECT_EQ(Lines("Coil\r\n1.0\r\n"), (CLines{{"Coil", true}, {"1.0", false}}));
    EXPECT_EQ(Lines("a\r\n\r\n\t\x01"
                    "b"),
              (CLines{{"a", true}, {"b", false}}));
    // Bytes from 128 up end a line too.
    EXPECT_EQ(Lines("ab\x80\xfe"
                    "cd\n"),
              (CLines{{"ab", true}, {"cd", false}}));
    // ... unless they make a whole UTF-8 character, such as a locale's group separator.
    EXPECT_EQ(Lines("47\xe2\x80\xaf"
                    "000\r\n"),
              (CLines{{"47\xe2\x80\xaf"
                       "000",
                       false}}));
    EXPECT_EQ(Lines("ab\xe2\x80"
                    "cd"),
              (CLines{{"ab", true}, {"cd", false}}));
    // A byte 255 in the file is not the end of the file.
    EXPECT_EQ(Lines("ab\xff"
                    "cd"),
              (CLines{{"ab", true}, {"cd", false}}));
    EXPECT_EQ(Lines(""), (CLines{{"", false}}));
    EXPECT_EQ(Lines("~\x7f"), (CLines{{"~\x7f", false}})) << "127 counts as printable";
}

TEST(DesignFileLines, OnlyWellFormedUtf8CharactersStayInALine)
{
    // Characters of two, three and four bytes at the ends of their ranges stay whole.
    for (const char* character : {"\xc2\x80", "\xdf\xbf", "\xe0\xa0\x80", "\xed\x9f\xbf",
                                  "\xef\xbf\xbf", "\xf0\x90\x80\x80", "\xf4\x8f\xbf\xbf"})
        EXPECT_EQ(Lines(std::string("a") + character + "b"),
                  (CLines{{std::string("a") + character + "b", false}}));
    // Too many bytes for the character, a surrogate, or beyond U+10FFFF: not characters, so
    // the line ends there as at any byte from 128.
    for (const char* bytes :
         {"\xc0\x8a", "\xe0\x8a\x8a", "\xed\xa0\x80", "\xf0\x8f\xbf\xbf", "\xf4\x90\x80\x80"})
        EXPECT_EQ(Lines(std::string("a") + bytes + "b"), (CLines{{"a", true}, {"b", false}}))
            << "after a " << std::hex << (static_cast<unsigned>(bytes[0]) & 0xff);
}

TEST(DesignFileLines, ALineLongerThan255CharactersIsReadInPieces)
{
    const std::string longLine(255, 'x');
    EXPECT_EQ(Lines(longLine + "yz\r\n"), (CLines{{longLine, true}, {"yz", false}}));
    // Exactly 255 characters: the line break is then read as an empty line of its own.
    EXPECT_EQ(Lines(longLine + "\r\nq"), (CLines{{longLine, true}, {"", true}, {"q", false}}));
}

TEST(DesignFileRecords, IdCommaAndTheFirstRunOfNonBlanks)
{
    struct
    {
        const char* line;
        bool valid;
        int id;
        const char* value;
    } const cases[] = {
        {"1201,12.5", true, 1201, "12.5"},
        {"1197,1,706", true, 1197, "1,706"}, // only the first comma separates
        {"1201,   7 8", true, 1201, "7"},    // blanks after the comma skipped, cut at a blank
        {"1201, ", true, 1201, ""},
        {"1201,", true, 1201, ""},
        {" 1215,1", true, 1215, "1"},
        {"1201 ,5", false, 0, ""},
        {"1201", false, 0, ""},
        {"abc,1", false, 0, ""},
        {"", false, 0, ""},
        {"99999999999,1", false, 0, ""},
    };
    for (const auto& c : cases)
    {
        const CControlRecord record = ParseControlRecord(c.line);
        EXPECT_EQ(record.m_Valid, c.valid) << c.line;
        if (c.valid)
        {
            EXPECT_EQ(record.m_Id, c.id) << c.line;
            EXPECT_EQ(record.m_Value, c.value) << c.line;
        }
    }
}

TEST_F(DesignFile, ControlsAreClassifiedByKind)
{
    EXPECT_EQ(ClassifyControl(m_Form->Control(1201)), EControlKind::Edit);
    EXPECT_EQ(ClassifyControl(m_Form->Control(1210)), EControlKind::Radio);
    EXPECT_EQ(ClassifyControl(m_Form->Control(1230)), EControlKind::Check);
    EXPECT_EQ(ClassifyControl(m_Form->Control(1196)), EControlKind::Other);
    EXPECT_EQ(ClassifyControl(m_Form->Control(3)), EControlKind::Other);
    EXPECT_EQ(ClassifyControl(m_Form->Control(1001)), EControlKind::Other);
    EXPECT_EQ(ClassifyControl(nullptr), EControlKind::Other);
}

TEST_F(DesignFile, SavingWritesKeyVersionAndOneRecordPerControlInCreationOrder)
{
    m_Form->Field(1202)->SetWindowText(QStringLiteral("1,706"));
    m_Form->SetCheck(1211, true);
    m_Form->SetCheck(1230, true);
    const QString path = Path("probe.qwf");
    ASSERT_TRUE(SaveDesign(m_Form.get(), QStringLiteral("Probe"), path));
    // The empty field is written as a single space; push buttons and the results box not at all.
    EXPECT_EQ(ReadAll(path),
              QByteArray("Probe\r\n1.1\r\n1201,12.5\r\n1202,1706\r\n1203, \r\n"
                         "1210,0\r\n1211,1\r\n1212,0\r\n1220,1\r\n1221,0\r\n1230,1\r\n"));
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Message");
    EXPECT_EQ(m_Messages.m_Messages[0].text, (path + QStringLiteral(" saved!")).toStdString());
    EXPECT_EQ(m_Messages.m_Messages[0].icon, EMessageIcon::Information);

    // A file of the first version holds the texts as the fields show them.
    const QString first = Path("first.qwf");
    ASSERT_TRUE(SaveDesign(m_Form.get(), QStringLiteral("Probe"), first, QStringLiteral("1.0")));
    EXPECT_TRUE(ReadAll(first).startsWith("Probe\r\n1.0\r\n1201,12.5\r\n1202,1,706\r\n"));
}

TEST_F(DesignFile, ASavedDesignLoadsBackIntoAFreshForm)
{
    m_Form->Field(1201)->SetWindowText(QStringLiteral("42.25"));
    m_Form->Field(1202)->SetWindowText(QString());
    m_Form->Field(1203)->SetWindowText(QStringLiteral("-3"));
    m_Form->SetCheck(1212, true);
    m_Form->SetCheck(1221, true);
    const QString path = Path("round.qwf");
    ASSERT_TRUE(SaveDesign(m_Form.get(), QStringLiteral("Probe"), path));

    auto fresh = MakeProbe();
    ASSERT_TRUE(LoadDesign(fresh.get(), QStringLiteral("Probe"), path));
    EXPECT_EQ(fresh->Field(1201)->GetWindowText(), QStringLiteral("42.25"));
    EXPECT_EQ(fresh->Field(1202)->GetWindowText(), QString()) << "saved empty, restored empty";
    EXPECT_EQ(fresh->Field(1203)->GetWindowText(), QStringLiteral("-3"));
    EXPECT_FALSE(fresh->IsChecked(1210));
    EXPECT_TRUE(fresh->IsChecked(1212));
    EXPECT_TRUE(fresh->IsChecked(1221));
    EXPECT_FALSE(fresh->IsChecked(1220));
    // Checked buttons ran their handlers, in file order, seeing themselves checked; the
    // check box ran its handler too, seeing itself cleared.
    const std::vector<std::pair<int, bool>> expected = {{1212, true}, {1221, true}, {1230, false}};
    EXPECT_EQ(fresh->m_Commands, expected);
}

TEST_F(DesignFile, RadioRecordsKeepTheGroupsSense)
{
    // State 1 checks the button, clears its group and runs its handler.
    ASSERT_TRUE(Load("Probe\r\n1.0\r\n1211,1\r\n"));
    EXPECT_FALSE(m_Form->IsChecked(1210));
    EXPECT_TRUE(m_Form->IsChecked(1211));
    ASSERT_EQ(m_Form->m_Commands.size(), 1u);
    EXPECT_EQ(m_Form->m_Commands[0], std::make_pair(1211, true));

    // State 0 clears just that button, even the checked one, and runs nothing.
    m_Form->m_Commands.clear();
    ASSERT_TRUE(Load("Probe\r\n1.0\r\n1211,0\r\n1220,0\r\n"));
    EXPECT_FALSE(m_Form->IsChecked(1210));
    EXPECT_FALSE(m_Form->IsChecked(1211));
    EXPECT_FALSE(m_Form->IsChecked(1212));
    EXPECT_FALSE(m_Form->IsChecked(1220));
    EXPECT_TRUE(m_Form->m_Commands.empty());

    // A state that is not a number reads as 0; one that names no state is ignored.
    ASSERT_TRUE(Load("Probe\r\n1.0\r\n1230,1\r\n1212,x\r\n1221,7\r\n"));
    EXPECT_TRUE(m_Form->IsChecked(1230));
    EXPECT_FALSE(m_Form->IsChecked(1212));
    EXPECT_FALSE(m_Form->IsChecked(1221));
}

TEST_F(DesignFile, RecordsAreAppliedInFileOrderUpToTheLastOneWithoutALineBreak)
{
    ASSERT_TRUE(Load("Probe\r\n1.0\r\n1201,1\r\n9999,5\r\n3,1\r\n1196,junk\r\nnot a record\r\n"
                     "1201,2 3\r\n1202,7"));
    EXPECT_EQ(m_Form->Field(1201)->GetWindowText(), QStringLiteral("2"))
        << "the value is cut at the blank";
    EXPECT_EQ(m_Form->Field(1202)->GetWindowText(), QStringLiteral("7"));
    EXPECT_TRUE(m_Form->m_Commands.empty()) << "a push button record is not a click";
    EXPECT_EQ(m_Form->ResultsText(), QString());
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(DesignFile, ALongLineIsReadAsTwoRecords)
{
    const std::string first = "1201,5";
    const std::string line = first + std::string(255 - first.size(), ' ') + "1202,8";
    ASSERT_TRUE(Load(QByteArray::fromStdString("Probe\r\n1.0\r\n" + line + "\r\n")));
    EXPECT_EQ(m_Form->Field(1201)->GetWindowText(), QStringLiteral("5"));
    EXPECT_EQ(m_Form->Field(1202)->GetWindowText(), QStringLiteral("8"));
}

TEST_F(DesignFile, RefusedFilesLeaveTheFormAsItWasWithTheirMessages)
{
    const QString path = Path("load.qwf");
    // Another form's file.
    EXPECT_FALSE(Load("Ferrite\r\n1.0\r\n1201,99\r\n"));
    EXPECT_EQ(m_Form->Field(1201)->GetWindowText(), QStringLiteral("12.5"));
    // Only the key and the version.
    EXPECT_FALSE(Load("Probe\r\n1.0\r\n"));
    // The key compares exactly.
    EXPECT_FALSE(Load("probe\r\n1.0\r\n1201,99\r\n"));
    ASSERT_EQ(m_Messages.m_Messages.size(), 3u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text, ("Invalid file: " + path).toStdString());
    EXPECT_EQ(m_Messages.m_Messages[0].icon, EMessageIcon::Error);
    EXPECT_EQ(m_Messages.m_Messages[1].text, "No form selected!");
    EXPECT_EQ(m_Messages.m_Messages[2].text, ("Invalid file: " + path).toStdString());

    // No active form.
    m_Messages.m_Messages.clear();
    WriteAll(path, "Probe\r\n1.0\r\n1201,99\r\n");
    EXPECT_FALSE(LoadDesign(nullptr, QStringLiteral("Probe"), path));
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text, "No form selected!");

    // A default design that is missing, empty, the key alone or nothing but NULs is no
    // fault and says nothing; a chosen file says why it did not load.
    const QString missing = Path("missing.qwf");
    const QByteArray noDesigns[] = {"", "Probe", "Probe\r\n", QByteArray(900 * 1024, '\0')};
    m_Messages.m_Messages.clear();
    EXPECT_FALSE(LoadDesign(m_Form.get(), QStringLiteral("Probe"), missing, EDesignLoad::Default));
    for (const QByteArray& bytes : noDesigns)
        EXPECT_FALSE(Load(bytes, EDesignLoad::Default));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
    EXPECT_FALSE(LoadDesign(m_Form.get(), QStringLiteral("Probe"), missing));
    for (const QByteArray& bytes : noDesigns)
        EXPECT_FALSE(Load(bytes));
    ASSERT_EQ(m_Messages.m_Messages.size(), 5u);
    EXPECT_EQ(m_Messages.m_Messages[0].text, ("File not found: " + missing).toStdString());
    for (size_t i = 1; i < 5; ++i)
        EXPECT_EQ(m_Messages.m_Messages[i].text, ("Invalid file: " + path).toStdString());
    EXPECT_EQ(m_Form->Field(1201)->GetWindowText(), QStringLiteral("12.5"));
}

TEST_F(DesignFile, AFailedSaveSaysSoAndKeepsTheOldFile)
{
    // The target is a folder: nothing can be written there.
    const QString folder = Path("folder.qwf");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_FALSE(SaveDesign(m_Form.get(), QStringLiteral("Probe"), folder));
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              ("Error while writing to file " + folder).toStdString());

    // Without an active form nothing is written.
    m_Messages.m_Messages.clear();
    const QString path = Path("old.qwf");
    WriteAll(path, "Probe\r\n1.0\r\n1201,77\r\n");
    EXPECT_FALSE(SaveDesign(nullptr, QStringLiteral("Probe"), path));
    EXPECT_EQ(ReadAll(path), QByteArray("Probe\r\n1.0\r\n1201,77\r\n"));
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text, "No form selected!");

#if defined(__linux__)
    // A write that runs out of room half-way (a file size limit) must not cost the old file.
    m_Messages.m_Messages.clear();
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveDesign(m_Form.get(), QStringLiteral("Probe"), path);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadAll(path), QByteArray("Probe\r\n1.0\r\n1201,77\r\n"));
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text, ("Error while writing to file " + path).toStdString());
    EXPECT_EQ(QDir(m_Dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.qwf")})
        << "no temporary file is left behind";
#endif
}

TEST_F(DesignFile, ADesignFileOfUpTo1MBLoadsAndALargerOneIsRefusedUnread)
{
    const QByteArray design("Probe\r\n1.0\r\n1201,99\r\n");
    const qint64 budget = 1024 * 1024;
    // Padded with line breaks to exactly 1 MB: still a design.
    ASSERT_TRUE(Load(design + QByteArray(budget - design.size(), '\n')));
    EXPECT_EQ(m_Form->Field(1201)->GetWindowText(), QStringLiteral("99"));
    // One byte more, and nothing is applied.
    EXPECT_FALSE(
        Load("Probe\r\n1.0\r\n1201,77\r\n" + QByteArray(budget - design.size() + 1, '\n')));
    EXPECT_EQ(m_Form->Field(1201)->GetWindowText(), QStringLiteral("99"));
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text, ("Invalid file: " + Path("load.qwf")).toStdString());
}

#if defined(__unix__)
TEST_F(DesignFile, PipesDevicesAndFoldersAreNeitherReadNorReplaced)
{
    const QString fifo = Path("pipe.qwf");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString linkToFifo = Path("to-pipe.qwf");
    ASSERT_TRUE(QFile::link(fifo, linkToFifo));
    const QString dangling = Path("dangling.qwf");
    ASSERT_TRUE(QFile::link(Path("nowhere.qwf"), dangling));
    const QString folder = Path("folder.qwf");
    ASSERT_TRUE(QDir().mkpath(folder));
    // A character device like /dev/null of our own, where the machine lets us make one.
    const QString device = Path("device.qwf");
    const bool haveDevice =
        mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;

    struct CCase
    {
        QString m_Path;
        bool m_Load; // refused on loading with "Invalid file: " (a dangling link is missing)
        bool m_Save; // refused on saving with "Error while writing to file "
    };
    std::vector<CCase> cases{{fifo, true, true},
                             {linkToFifo, true, true},
                             {dangling, false, true},
                             {folder, true, true},
                             {QStringLiteral("/dev/zero"), true, false}};
    if (haveDevice)
        cases.push_back({device, true, true});
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_Path.toStdString());
        m_Messages.m_Messages.clear();
        EXPECT_FALSE(LoadDesign(m_Form.get(), QStringLiteral("Probe"), c.m_Path));
        ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
        EXPECT_EQ(m_Messages.m_Messages[0].text,
                  ((c.m_Load ? "Invalid file: " : "File not found: ") + c.m_Path).toStdString());
        if (!c.m_Save)
            continue;
        m_Messages.m_Messages.clear();
        EXPECT_FALSE(SaveDesign(m_Form.get(), QStringLiteral("Probe"), c.m_Path));
        ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
        EXPECT_EQ(m_Messages.m_Messages[0].text,
                  ("Error while writing to file " + c.m_Path).toStdString());
    }
    EXPECT_EQ(m_Form->Field(1201)->GetWindowText(), QStringLiteral("12.5"));
    EXPECT_EQ(QFileInfo(fifo).isFile(), false) << "still a pipe";
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_FALSE(QFileInfo(dangling).exists());
    if (haveDevice)
    {
        struct stat status
        {
        };
        ASSERT_EQ(stat(QFile::encodeName(device).constData(), &status), 0);
        EXPECT_TRUE(S_ISCHR(status.st_mode)) << "the device node is not replaced";
    }

    // A link to a regular file is written through and stays a link.
    const QString real = Path("real.qwf");
    WriteAll(real, "Probe\r\n1.0\r\n1201,77\r\n");
    const QString link = Path("link.qwf");
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_TRUE(LoadDesign(m_Form.get(), QStringLiteral("Probe"), link));
    EXPECT_EQ(m_Form->Field(1201)->GetWindowText(), QStringLiteral("77"));
    m_Form->Field(1201)->SetWindowText(QStringLiteral("78"));
    ASSERT_TRUE(SaveDesign(m_Form.get(), QStringLiteral("Probe"), link));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(ReadAll(real).contains("\r\n1201,78\r\n"));
}
#endif
