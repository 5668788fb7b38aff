// SPDX-License-Identifier: GPL-3.0-or-later
// Saving a design survives the worst: the program killed while it saves, a file system that
// fills up half-way, and temporary files left behind by an earlier crash. The program runs as
// a child process in batch mode, saving through the same path as File > Save.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace
{
const char* const Key = "CrystalRadio";

QString SourceDir()
{
    return qEnvironmentVariable("QUILLON_SOURCE_DIR");
}

ino_t Inode(const QString& path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// "--set ID=<250 characters>" for every field of the receiver's default design: a design
// of some 20 kB, written in one piece by each save.
QStringList LargeDesign()
{
    const QByteArray shipped =
        ReadAll(SourceDir() + QStringLiteral("/app/Data/CrystalRadio/Air-core crystal "
                                             "radio_Default.qwf"));
    QStringList options;
    int n = 0;
    for (const QByteArray& line : shipped.split('\n'))
    {
        const QList<QByteArray> record = line.trimmed().split(',');
        if (record.size() < 2 || record[1] == "0" || record[1] == "1")
            continue; // the version line, radio buttons and check boxes
        const QString value = QString::number(++n).repeated(250).left(250);
        options << QStringLiteral("--set") << QString::fromLatin1(record[0]) + '=' + value;
    }
    return options;
}

class SaveSurvival : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        ASSERT_TRUE(QFileInfo(QStringLiteral(QUILLON_PROGRAM)).isExecutable());
        m_Target = m_Dir.filePath(QStringLiteral("receiver.qwf"));
        m_Old = "CrystalRadio\r\n1.0\r\n1207,0.25\r\n";
    }

    // Starts quillon --batch CrystalRadio with the options; limit, when given, is the largest
    // file the child may write.
    void Start(QProcess& process, const QStringList& options, rlim_t limit = RLIM_INFINITY)
    {
        process.setProgram(QStringLiteral(QUILLON_PROGRAM));
        process.setWorkingDirectory(QFileInfo(process.program()).absolutePath());
        process.setArguments(QStringList{QStringLiteral("--batch"), QString::fromLatin1(Key)} +
                             options);
        process.setChildProcessModifier(
            [limit]
            {
                if (limit == RLIM_INFINITY)
                    return;
                // A full disk: the write fails short instead of killing the program.
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit small{limit, limit};
                setrlimit(RLIMIT_FSIZE, &small);
            });
        process.start();
        ASSERT_TRUE(process.waitForStarted());
    }

    int Run(const QStringList& options, QByteArray& err, rlim_t limit = RLIM_INFINITY)
    {
        QProcess process;
        Start(process, options, limit);
        EXPECT_TRUE(process.waitForFinished(60000));
        err = process.readAllStandardError();
        return process.exitCode();
    }

    // The file names in the folder other than the target.
    QStringList Others() const
    {
        QStringList names =
            QDir(m_Dir.path())
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        names.removeAll(QStringLiteral("receiver.qwf"));
        return names;
    }

    QTemporaryDir m_Dir;
    QString m_Target;
    QByteArray m_Old;
};
} // namespace

TEST_F(SaveSurvival, AProgramKilledWhileSavingLeavesTheOldFileOrTheNewOneWhole)
{
    // The design the child saves over and over, as a run that is not killed writes it.
    const QStringList design = LargeDesign();
    ASSERT_GT(design.size(), 40);
    const QString reference = m_Dir.filePath(QStringLiteral("reference"));
    QByteArray err;
    ASSERT_EQ(Run(design + QStringList{QStringLiteral("--save"), reference}, err), 0)
        << err.toStdString();
    const QByteArray complete = ReadAll(reference);
    ASSERT_GT(complete.size(), 15000);
    QFile::remove(reference);

    QStringList saves = design;
    for (int i = 0; i < 2000; ++i)
        saves << QStringLiteral("--save") << m_Target;
    // Each save replaces the target by a new file: the moments are counted in replacements
    // seen (the batch mode prints its messages only at the end), from before the first one
    // to well into the run, each with a random delay of up to a millisecond.
    for (const int replaced : {0, 0, 1, 1, 2, 3, 5, 10, 20, 40, 80, 160})
    {
        SCOPED_TRACE(replaced);
        WriteAll(m_Target, m_Old);
        QProcess process;
        Start(process, saves);
        QElapsedTimer clock;
        clock.start();
        int seen = 0;
        for (ino_t last = Inode(m_Target);
             seen < replaced && !process.waitForFinished(0) && clock.elapsed() < 30000;)
        {
            const ino_t now = Inode(m_Target);
            if (now != last)
                ++seen;
            last = now;
        }
        QThread::usleep(QRandomGenerator::global()->bounded(1000));
        process.kill();
        process.waitForFinished(10000);
        ASSERT_EQ(process.state(), QProcess::NotRunning);

        const QByteArray after = ReadAll(m_Target);
        EXPECT_TRUE(after == m_Old || after == complete)
            << "the target holds " << after.size() << " bytes";
        // Whatever an interrupted save left behind, the next one goes through.
        ASSERT_EQ(Run({QStringLiteral("--set"), QStringLiteral("1207=0.5"),
                       QStringLiteral("--save"), m_Target},
                      err),
                  0)
            << err.toStdString();
        EXPECT_TRUE(ReadAll(m_Target).contains("\r\n1207,0.5\r\n"));
        EXPECT_EQ(Others(), QStringList()) << "the next save takes over what the killed one left";
    }
}

TEST_F(SaveSurvival, AFullFileSystemFailsTheSaveAndKeepsTheOldFile)
{
    WriteAll(m_Target, m_Old);
    QByteArray err;
    // Room for the old file, not for the new design.
    EXPECT_EQ(Run(LargeDesign() + QStringList{QStringLiteral("--save"), m_Target}, err, 4096), 1);
    EXPECT_EQ(err.trimmed(), ("Error: Error while writing to file " + m_Target).toUtf8());
    EXPECT_EQ(ReadAll(m_Target), m_Old);
    EXPECT_EQ(Others(), QStringList()) << "no temporary file is left behind";

    // With room enough the same program saves.
    EXPECT_EQ(Run({QStringLiteral("--save"), m_Target}, err, 1 << 20), 0) << err.toStdString();
    EXPECT_TRUE(ReadAll(m_Target).startsWith("CrystalRadio\r\n1.1\r\n"));
}

TEST_F(SaveSurvival, StaleTemporaryFilesNeverBlockASave)
{
    WriteAll(m_Target, m_Old);
    // What a crashed save of any kind might have left: temporaries beside the target by the
    // usual names, one that cannot be read or written, and a folder.
    for (const char* name : {"receiver.qwf.tmp", "receiver.qwf.XXXXXX", "receiver.qwf.a1B2c3",
                             ".receiver.qwf.swp", "receiver.qwf~", "receiver.qwf.new"})
        WriteAll(m_Dir.filePath(QString::fromLatin1(name)), "stale");
    const QString locked = m_Dir.filePath(QStringLiteral("receiver.qwf.Zz9Yy8"));
    WriteAll(locked, "stale");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    ASSERT_TRUE(QDir().mkpath(m_Dir.filePath(QStringLiteral("receiver.qwf.d0D0d0"))));
    const QStringList stale = Others();

    QByteArray err;
    for (int i = 0; i < 3; ++i)
    {
        ASSERT_EQ(Run({QStringLiteral("--set"), QStringLiteral("1207=0.%1").arg(i + 1),
                       QStringLiteral("--save"), m_Target},
                      err),
                  0)
            << err.toStdString();
        EXPECT_TRUE(
            ReadAll(m_Target).contains(QStringLiteral("\r\n1207,0.%1\r\n").arg(i + 1).toUtf8()));
    }
    EXPECT_EQ(Others(), stale) << "the saves left nothing of their own beside the target";
    QFile::setPermissions(locked, QFileDevice::WriteOwner | QFileDevice::ReadOwner);
}

// Every writer of the program keeps what stands at its target when it cannot write there: a
// full disk keeps the old file whole, and a pipe, a device, a link in a circle or a folder is
// never replaced by a file. Each says "Error while writing to file " + path and exits with 1.
TEST_F(SaveSurvival, EveryWriterKeepsTheOldFileOrTheNodeItWasGiven)
{
    struct CWriter
    {
        const char* m_Name;
        QStringList m_Options; // the target follows
    };
    const CWriter writers[] = {
        {"design.qwf", {QStringLiteral("--save")}},
        {"results.csv",
         {QStringLiteral("--press"), QStringLiteral("6"), QStringLiteral("--export-csv")}},
        {"results.pdf",
         {QStringLiteral("--press"), QStringLiteral("6"), QStringLiteral("--export-pdf")}},
        {"plot.png", {QStringLiteral("--press"), QStringLiteral("6"), QStringLiteral("--plot")}},
        {"plot.svg", {QStringLiteral("--press"), QStringLiteral("6"), QStringLiteral("--plot")}},
        {"plot.pdf", {QStringLiteral("--press"), QStringLiteral("6"), QStringLiteral("--plot")}},
    };
    enum EFault
    {
        FullDisk,
        Fifo,
        Device,
        LinkLoop,
        Folder,
    };
    for (const CWriter& writer : writers)
        for (EFault fault : {FullDisk, Fifo, Device, LinkLoop, Folder})
        {
            SCOPED_TRACE(std::string(writer.m_Name) + " fault " + std::to_string(fault));
            QTemporaryDir dir;
            const QString target = dir.filePath(QString::fromLatin1(writer.m_Name));
            const QByteArray encoded = QFile::encodeName(target);
            switch (fault)
            {
            case FullDisk:
                WriteAll(target, m_Old);
                break;
            case Fifo:
                ASSERT_EQ(mkfifo(encoded.constData(), 0600), 0);
                break;
            case Device:
                // A node like /dev/null of the test's own, where the machine lets it make one.
                if (mknod(encoded.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
                    continue;
                break;
            case LinkLoop:
                ASSERT_TRUE(QFile::link(target + QStringLiteral(".other"), target));
                ASSERT_TRUE(QFile::link(target, target + QStringLiteral(".other")));
                break;
            case Folder:
                ASSERT_TRUE(QDir().mkpath(target));
                break;
            }
            struct stat before
            {
            };
            ::lstat(encoded.constData(), &before);
            const QStringList entries = QDir(dir.path())
                                            .entryList(QDir::AllEntries | QDir::System |
                                                       QDir::Hidden | QDir::NoDotAndDotDot);

            QByteArray err;
            EXPECT_EQ(Run(writer.m_Options + QStringList{target}, err,
                          fault == FullDisk ? 256 : RLIM_INFINITY),
                      1);
            EXPECT_TRUE(err.contains("Error: Error while writing to file " + encoded + '\n'))
                << err.toStdString();
            struct stat after
            {
            };
            ASSERT_EQ(::lstat(encoded.constData(), &after), 0);
            EXPECT_EQ(after.st_mode, before.st_mode) << "the node is what it was";
            EXPECT_EQ(after.st_ino, before.st_ino);
            if (fault == FullDisk)
            {
                EXPECT_EQ(ReadAll(target), m_Old);
            }
            EXPECT_EQ(QDir(dir.path())
                          .entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                     QDir::NoDotAndDotDot),
                      entries)
                << "nothing is left beside the target";
        }
}

// The results that do not reach standard output whole fail the run and say so.
TEST_F(SaveSurvival, ResultsThatCannotBeWrittenToStandardOutputFailTheRun)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]); // a reader that has gone
    for (const bool pipe : {false, true})
    {
        SCOPED_TRACE(pipe ? "closed pipe" : "full disk");
        QProcess process;
        process.setProgram(QStringLiteral(QUILLON_PROGRAM));
        process.setWorkingDirectory(QFileInfo(process.program()).absolutePath());
        process.setArguments({QStringLiteral("--batch"), QString::fromLatin1(Key),
                              QStringLiteral("--press"), QStringLiteral("3")});
        if (pipe)
            process.setChildProcessModifier([ends] { ::dup2(ends[1], STDOUT_FILENO); });
        else
            process.setStandardOutputFile(QStringLiteral("/dev/full"));
        process.start();
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 1);
        EXPECT_TRUE(process.readAllStandardError().contains(
            "Error: Error while writing to standard output\n"));
    }
    ::close(ends[1]);
}
