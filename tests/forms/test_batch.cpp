// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BatchRun.h"
#include "tests/forms/FormTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#if defined(__unix__)
#include <sys/stat.h>
#endif

namespace
{
struct CBatchResult
{
    int m_Status = -1;
    QString m_Out;
    QString m_Err;
};

CBatchResult Batch(QStringList args)
{
    args.prepend(QStringLiteral("quillon"));
    CBatchResult result;
    result.m_Status = RunBatch(args, result.m_Out, result.m_Err);
    return result;
}

const char* const UsageLine =
    "Usage: quillon --batch KEY [--load FILE] [--set ID=VALUE]... [--part GROUP=NAME]... "
    "[--press ID]... [--save FILE] [--export-csv FILE] [--export-pdf FILE] [--progress] [--plot "
    "FILE.png|FILE.svg|FILE.pdf]"
    " [--plot-size WxH]\n";

// Runs in an empty folder, so that no default design file is found.
class BatchMode : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_Dir.path()));
    }
    void TearDown() override { QDir::setCurrent(m_Previous); }

    QTemporaryDir m_Dir;
    QString m_Previous;
};
} // namespace

TEST_F(BatchMode, BadUsageExitsWith2AndAUsageLine)
{
    const QStringList cases[] = {
        {"--batch", "Nope"},
        {"--batch", "Coil", "--frobnicate"},
        {"--batch", "Coil", "--set", "1202"},
        {"--batch", "Coil", "--set", "x=1"},
        // One byte more than a design file's line holds.
        {"--batch", "Coil", "--set", "1202=" + QString(251, QLatin1Char('1'))},
        {"--batch", "Coil", "--press", "Analyse"},
        {"--batch", "Coil", "--part", "AWG 26"},
        {"--batch", "Coil", "stray"},
        {"--press", "3"},
        {"--batch"},
    };
    for (const QStringList& args : cases)
    {
        const CBatchResult result = Batch(args);
        EXPECT_EQ(result.m_Status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(result.m_Err.startsWith(QStringLiteral("quillon: ")))
            << result.m_Err.toStdString();
        EXPECT_TRUE(result.m_Err.endsWith(QString::fromLatin1(UsageLine)))
            << result.m_Err.toStdString();
        EXPECT_EQ(result.m_Out, QString());
    }
    EXPECT_TRUE(Batch({"--batch", "Nope"}).m_Err.contains(QStringLiteral("Coil")))
        << "the known keys are listed";
}

TEST_F(BatchMode, HelpAndVersion)
{
    const CBatchResult help = Batch({"--help"});
    EXPECT_EQ(help.m_Status, 0);
    EXPECT_TRUE(help.m_Out.contains(QStringLiteral("--batch <KEY>")));
    EXPECT_TRUE(help.m_Out.contains(QStringLiteral("--press <ID>")));
    const CBatchResult version = Batch({"--version"});
    EXPECT_EQ(version.m_Status, 0);
    EXPECT_TRUE(version.m_Out.startsWith(QCoreApplication::applicationName()));
    EXPECT_EQ(version.m_Err, QString());
}

TEST_F(BatchMode, AnErrorMessageGoesToErrAndExitsWith1)
{
    const CBatchResult result = Batch({"--batch", "Coil", "--press", "3"});
    EXPECT_EQ(result.m_Status, 1);
    EXPECT_EQ(result.m_Out, QString());
    EXPECT_EQ(result.m_Err,
              QStringLiteral(
                  "Error: Number of turns must be specified if calculating core permeability\n"));

    // "ERROR" counts as well (the tuning capacitor's band check).
    const CBatchResult tuning =
        Batch({"--batch", "TuningCap", "--set", "1197=100", "--press", "3"});
    EXPECT_EQ(tuning.m_Status, 1);
    EXPECT_TRUE(tuning.m_Err.startsWith(QStringLiteral("ERROR: "))) << tuning.m_Err.toStdString();
}

TEST_F(BatchMode, OptionsApplyInTheOrderGivenAndTheResultsPrintWithPlainLineEnds)
{
    const CBatchResult result =
        Batch({"--batch", "Coil", "--set", "1276=0", "--press", "3", "--set=1202=100", "--set",
               "1216=100", "--press", "3", "--press", "4", "--press", "999"});
    EXPECT_EQ(result.m_Status, 0);
    EXPECT_EQ(result.m_Err, QString());
    EXPECT_FALSE(result.m_Out.contains(QLatin1Char('\r')));
    // Two reports: 300 uH once (the first sum lands just above 300 uH and is replaced by the end),
    // then 100 uH twice (the first sum is exactly 100 uH, the next one is replaced by the end).
    // The disabled button 4
    // and the missing 999 do nothing.
    EXPECT_EQ(result.m_Out.count(QStringLiteral("Frequency (kHz):")), 2);
    EXPECT_EQ(result.m_Out.count(QStringLiteral("\n300.00 \t")), 1);
    EXPECT_EQ(result.m_Out.count(QStringLiteral("\n100.00 \t")), 2);
}

TEST_F(BatchMode, SaveAndLoadRoundTripAndTheDefaultDesignIsLoadedFirst)
{
    const QString path = m_Dir.filePath(QStringLiteral("mine.qwf"));
    const CBatchResult saved =
        Batch({"--batch", "Coil", "--set", "1276=0", "--set", "1216=350", "--save", path});
    EXPECT_EQ(saved.m_Status, 0);
    EXPECT_EQ(saved.m_Err, QStringLiteral("Message: ") + path + QStringLiteral(" saved!\n"));

    const CBatchResult loaded = Batch({"--batch", "Coil", "--load", path, "--press", "3"});
    EXPECT_EQ(loaded.m_Status, 0);
    EXPECT_EQ(loaded.m_Out.count(QStringLiteral(" \t17.18 \t")), 2) << "300 and 350 uH";

    // A form opened in batch mode starts from Data/<key>/<caption>_Default.qwf when there is one.
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("Data/Coil")));
    ASSERT_TRUE(QFile::copy(SourceDir() + QStringLiteral("/app/Data/Coil/Coil_Default.qwf"),
                            QStringLiteral("Data/Coil/Coil_Default.qwf")));
    const CBatchResult withDefault = Batch({"--batch", "Coil", "--press", "3"});
    EXPECT_EQ(withDefault.m_Status, 0);
    EXPECT_EQ(withDefault.m_Err, QString());
    EXPECT_TRUE(withDefault.m_Out.contains(QStringLiteral("\n400.00 \t")));

    // A file to load that is not there stops the run before its actions; one that cannot be
    // written fails.
    const QString none = m_Dir.filePath(QStringLiteral("none.qwf"));
    const CBatchResult missing = Batch({"--batch", "Coil", "--load", none, "--press", "3"});
    EXPECT_EQ(missing.m_Status, 1);
    EXPECT_EQ(missing.m_Err, QStringLiteral("Error: File not found: ") + none + '\n');
    EXPECT_EQ(missing.m_Out, QString());
    const CBatchResult unwritable = Batch({"--batch", "Coil", "--save", m_Dir.path()});
    EXPECT_EQ(unwritable.m_Status, 1);
    EXPECT_EQ(unwritable.m_Err, QStringLiteral("Error: Error while writing to file ") +
                                    m_Dir.path() + QStringLiteral("\n"));
}

TEST_F(BatchMode, EveryValueAFieldShowsIsTheValueItComputesWith)
{
    // Garbage from a file or --set stops the action with its name; a range's own ends pass.
    const struct
    {
        const char* m_Key;
        const char* m_Set;
        const char* m_Press;
        int m_Status;
        const char* m_Err;
    } cases[] = {
        {"Impedance", "1193=1.5e3", "3", 1, "Error: Error: Frequency kHz is not a number: 1.5e3\n"},
        {"Impedance", "1193=abc", "4", 1, "Error: Error: Frequency kHz is not a number: abc\n"},
        {"Ferrite", "1238=9999.999", "3", 0, ""},
        {"CrystalRadio", "1228=999.9", "3", 0, ""},
    };
    for (const auto& c : cases)
    {
        const CBatchResult result = Batch({"--batch", c.m_Key, "--load", DefaultDesignPath(c.m_Key),
                                           "--set", c.m_Set, "--press", c.m_Press});
        EXPECT_EQ(result.m_Status, c.m_Status) << c.m_Key << " " << c.m_Set;
        EXPECT_EQ(result.m_Err, QString::fromLatin1(c.m_Err)) << c.m_Key << " " << c.m_Set;
        EXPECT_EQ(result.m_Out.isEmpty(), c.m_Status != 0) << c.m_Key << " " << c.m_Set;
    }
}

TEST_F(BatchMode, ExportsWriteTheTablesOrSayWhyNot)
{
    const QString csv = QDir::current().filePath(QStringLiteral("ferrite.csv"));
    const QString pdf = QDir::current().filePath(QStringLiteral("ferrite.pdf"));
    const CBatchResult result =
        Batch({"--batch", "Ferrite", "--load", DefaultDesignPath("Ferrite"), "--press", "3",
               "--press", "3", "--export-csv", csv, "--export-pdf", pdf});
    EXPECT_EQ(result.m_Status, 0) << result.m_Err.toStdString();
    QFile csvFile(csv);
    ASSERT_TRUE(csvFile.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csvFile.readAll().split('\n');
    // The two presses of the one-row action as one table, a run a row.
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "Run,Ua1,Ua2,Alpha,Beta0,Coeff\r");
    EXPECT_TRUE(lines[1].startsWith("1,"));
    EXPECT_EQ(lines[2].mid(1), lines[1].mid(1));
    EXPECT_TRUE(lines[2].startsWith("2,"));
    EXPECT_EQ(lines[1].split(',').size(), 6);
    EXPECT_EQ(lines[3], "");
    QFile pdfFile(pdf);
    ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdfFile.read(4) == "%PDF");

    // Into a "folder" that is a plain file: the message, and no file.
    const QString blocked = QDir::current().filePath(QStringLiteral("plain/ferrite.csv"));
    QFile plain(QDir::current().filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    for (const char* option : {"--export-csv", "--export-pdf"})
    {
        const CBatchResult refused =
            Batch({"--batch", "Ferrite", "--load", DefaultDesignPath("Ferrite"), "--press", "3",
                   option, blocked});
        EXPECT_EQ(refused.m_Status, 1);
        EXPECT_EQ(refused.m_Err, QStringLiteral("Error: Error while writing to file ") + blocked +
                                     QLatin1Char('\n'));
        EXPECT_FALSE(QFileInfo::exists(blocked));
    }
}

#if defined(__unix__)
TEST_F(BatchMode, AFileThatDoesNotLoadEndsTheRunBeforeItsActions)
{
    const auto path = [this](const char* name)
    { return m_Dir.filePath(QString::fromLatin1(name)); };
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe.qwf")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(path("nowhere.qwf"), path("dangling.qwf")));
    ASSERT_TRUE(QFile::link(path("loop-b.qwf"), path("loop-a.qwf")));
    ASSERT_TRUE(QFile::link(path("loop-a.qwf"), path("loop-b.qwf")));
    const auto write = [&](const char* name, const QByteArray& bytes)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write("empty.qwf", "");
    write("key.qwf", "Coil\r\n");
    write("nuls.qwf", QByteArray(900 * 1024, '\0'));

    const std::pair<QString, const char*> cases[] = {
        {QStringLiteral("/dev/zero"), "Invalid file: "},
        {path("pipe.qwf"), "Invalid file: "},
        {path("none.qwf"), "File not found: "},
        {path("dangling.qwf"), "File not found: "},
        {path("loop-a.qwf"), "File not found: "},
        {path("empty.qwf"), "Invalid file: "},
        {path("key.qwf"), "Invalid file: "},
        {path("nuls.qwf"), "Invalid file: "},
    };
    for (const auto& [file, message] : cases)
    {
        const CBatchResult result =
            Batch({"--batch", "Coil", "--load", file, "--press", "3", "--save", path("saved.qwf")});
        EXPECT_EQ(result.m_Status, 1) << file.toStdString();
        EXPECT_EQ(result.m_Err, QStringLiteral("Error: ") + message + file + '\n');
        EXPECT_EQ(result.m_Out, QString()) << file.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path("saved.qwf")));
}
#endif
