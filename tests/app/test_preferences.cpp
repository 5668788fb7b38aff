// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"

#include "app/Registry.h"

#include <QDateTime>
#include <QSettings>
#include <QTimer>

namespace
{
using CMessages = std::vector<std::pair<std::string, std::string>>;

CMessages TitlesAndTexts(const CRecordingPresenter& presenter)
{
    CMessages messages;
    for (const auto& message : presenter.m_Messages)
        messages.emplace_back(message.title, message.text);
    return messages;
}
} // namespace

TEST_F(ShellTest, FirstStartWritesTheVersionAndASecondWritesNothing)
{
    const QString file = m_Options.m_SettingsFile;
    Start();
    EXPECT_FALSE(Frame().Registry()->QuitPosted());
    EXPECT_EQ(QSettings(file, QSettings::IniFormat)
                  .value(QStringLiteral("Preferences/Version"))
                  .toString(),
              QStringLiteral("1.0.0"));
    const QDateTime written = QFileInfo(file).lastModified();
    const QByteArray contents = ReadFile(file);
    m_App.reset();

    Start();
    EXPECT_EQ(Frame().Registry()->Version(), QStringLiteral("1.0.0"));
    EXPECT_EQ(QFileInfo(file).lastModified(), written);
    EXPECT_EQ(ReadFile(file), contents);
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(ShellTest, TheStoredVersionIsReadAsItIs)
{
    WriteFile(m_Options.m_SettingsFile, "[Preferences]\nVersion=0.9.7\n");
    Start();
    EXPECT_EQ(Frame().Registry()->Version(), QStringLiteral("0.9.7"));
    EXPECT_EQ(ReadFile(m_Options.m_SettingsFile), QByteArray("[Preferences]\nVersion=0.9.7\n"));
}

TEST_F(ShellTest, AKeyWithoutVersionGetsAnEmptyOne)
{
    // The failed read empties the version before it is written back.
    WriteFile(m_Options.m_SettingsFile, "[Preferences]\nOther=1\n");
    Start();
    EXPECT_TRUE(Frame().Registry()->Version().isEmpty());
    QSettings settings(m_Options.m_SettingsFile, QSettings::IniFormat);
    EXPECT_TRUE(settings.contains(QStringLiteral("Preferences/Version")));
    EXPECT_TRUE(settings.value(QStringLiteral("Preferences/Version")).toString().isEmpty());
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(ShellTest, PreferencesThatCanBeNeitherReadNorWrittenEndTheProgram)
{
    // The settings folder is a plain file: nothing can be created below it.
    WriteFile(Path(QStringLiteral("blocked")), "file");
    m_Options.m_SettingsFile = Path(QStringLiteral("blocked/Quillon.conf"));
    Start();
    EXPECT_EQ(TitlesAndTexts(m_Messages),
              (CMessages{{" Error!", "Error setting registry values"},
                         {" Error!", "Error reading registry values"}}));
    EXPECT_EQ(m_Messages.m_Messages[0].icon, EMessageIcon::None);
    EXPECT_TRUE(Frame().Registry()->QuitPosted());
    // Start-up went on; the posted quit ends the program once its event loop runs.
    EXPECT_EQ(Frame().Client()->ChildFrames().size(), 1);
}

TEST_F(ShellTest, PostedQuitEndsTheEventLoop)
{
    WriteFile(Path(QStringLiteral("blocked")), "file");
    m_Options.m_SettingsFile = Path(QStringLiteral("blocked/Quillon.conf"));
    Start();
    // A watchdog in case the quit never comes.
    bool timedOut = false;
    QTimer::singleShot(5000,
                       [&timedOut]
                       {
                           timedOut = true;
                           QCoreApplication::exit(7);
                       });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
}
