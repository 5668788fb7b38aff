// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/MainFrameClient.h"
#include "app/MainMenu.h"
#include "app/OpenDocDlgBar.h"
#include "app/QuillonApp.h"
#include "app/QuillonDoc.h"
#include "controls/GroupBox.h"
#include "controls/Platform.h"
#include "controls/VKButton.h"
#include "controls/VKTabCtrl.h"
#include "database/MessagePresenter.h"
#include "forms/VKFormView.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// The program started in a temporary working folder with its own preferences file;
// every message is recorded.
class ShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        m_OldFolder = QDir::currentPath();
        QDir::setCurrent(m_Dir.path());
        // The user's own data folder, empty: the developer's saved copies stay out.
        m_OldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path(QStringLiteral("user-data"))));
        SetNumberSettings(
            CVKNumberSettings::WithSeparators(QStringLiteral("."), QStringLiteral(",")));
        m_Options.m_SettingsFile = Path(QStringLiteral("settings/Quillon.conf"));
    }

    void TearDown() override
    {
        m_App.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QDir::setCurrent(m_OldFolder);
        if (m_OldDataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", m_OldDataHome);
        ResetNumberSettings();
    }

    QString Path(const QString& name) const { return m_Dir.filePath(name); }

    static QString SourceDir()
    {
        const QString root = qEnvironmentVariable("QUILLON_SOURCE_DIR");
        return root.isEmpty()
                   ? QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../..")
                   : root;
    }

    // The shipped default designs, in Data/ below the working folder.
    void CopyDefaultDesigns()
    {
        const QDir source(SourceDir() + QStringLiteral("/app/Data"));
        QDirIterator it(source.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
        {
            const QString file = it.next();
            const QString target = Path(QStringLiteral("Data/") + source.relativeFilePath(file));
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile::copy(file, target);
        }
    }

    static void WriteFile(const QString& path, const QByteArray& data)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    static QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    CQuillonApp& Start()
    {
        m_App = std::make_unique<CQuillonApp>(m_Options);
        m_App->SetQuestionDialog(
            [this](QWidget*, const QString& text, const std::vector<EAnswer>& answers)
            { return Answer(text, answers); });
        EXPECT_TRUE(m_App->InitInstance());
        return *m_App;
    }

    // The program's questions, recorded and answered from m_Answers in turn; a question the
    // test did not expect fails it and is cancelled.
    struct CQuestion
    {
        QString m_Text;
        std::vector<EAnswer> m_Answers;
    };

    EAnswer Answer(const QString& text, const std::vector<EAnswer>& answers)
    {
        m_Questions.push_back({text, answers});
        if (m_Answers.empty())
        {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return EAnswer::Cancel;
        }
        const EAnswer answer = m_Answers.front();
        m_Answers.erase(m_Answers.begin());
        return answer;
    }

    QStringList QuestionTexts() const
    {
        QStringList texts;
        for (const CQuestion& question : m_Questions)
            texts << question.m_Text;
        return texts;
    }

    // Started with the shipped default designs: the air-core receiver's window.
    CChildFrame* StartWithDefaults()
    {
        CopyDefaultDesigns();
        Start();
        return Frame().Client()->ChildFrames().front();
    }

    CMainFrame& Frame() const { return *m_App->MainFrame(); }
    CMainMenu& Selector() const { return *Frame().Selector(); }
    COpenDocDlgBar& Bar() const { return *Frame().OpenDocBar(); }

    // Opens a calculator from the selector by its form key.
    CChildFrame* Open(const QString& key)
    {
        const CSelectorEntry* entry = Selector().FindEntry(key);
        return entry && Selector().OpenFormAt(entry->m_Page, entry->m_Position)
                   ? Frame().ActiveChild()
                   : nullptr;
    }

    QStringList TabTexts() const
    {
        QStringList texts;
        for (int i = 0; i < Bar().Tabs()->count(); ++i)
            texts << Bar().Tabs()->tabText(i);
        return texts;
    }

    static void CloseChild(CChildFrame* child)
    {
        child->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTemporaryDir m_Dir;
    QString m_OldFolder;
    QByteArray m_OldDataHome;
    CQuillonOptions m_Options;
    std::vector<CQuestion> m_Questions;
    std::vector<EAnswer> m_Answers;
    CRecordingPresenter m_Messages;
    CScopedPresenter m_Scope{m_Messages};
    std::unique_ptr<CQuillonApp> m_App;
};
