// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the calculator form tests share: the shipped design files of the source tree, the
// batch mode, and a fixture holding a form made by the factory as the program makes it,
// used the way a user does (typing into fields, clicking buttons, pressing Enter).

#include "app/BatchRun.h"
#include "app/DesignFile.h"
#include "calculators/FormFactory.h"
#include "controls/Platform.h"
#include "controls/VKEdit.h"
#include "database/MessagePresenter.h"
#include "forms/VKFormView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

// The source tree: QUILLON_SOURCE_DIR (CTest sets it), else two folders above this file.
inline QString SourceDir()
{
    const QString root = qEnvironmentVariable("QUILLON_SOURCE_DIR");
    return root.isEmpty()
               ? QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../..")
               : root;
}

// The default design the program ships for a calculator, below app/Data; empty for an
// unknown key.
inline QString DefaultDesignPath(const QString& key)
{
    const CFormEntry* entry = FindFormEntry(key);
    return entry ? DefaultDesignPath(SourceDir() + QStringLiteral("/app"), *entry) : QString();
}

// "quillon --batch <key>" followed by the options; the exit status.
inline int RunFormBatch(const QString& key, const QStringList& options, QString& out, QString& err)
{
    return RunBatch(
        QStringList{QStringLiteral("quillon"), QStringLiteral("--batch"), key} + options, out, err);
}

// A report as the batch mode prints it: "\r\n" line ends become "\n".
inline QString BatchText(QString report)
{
    return report.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// The lines of a report, without the empty piece after its last "\r\n".
inline QStringList Lines(const QString& report)
{
    QStringList lines = report.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.pop_back();
    return lines;
}

// A calculator form made by the factory under the number settings "." and ",", with its
// messages recorded instead of shown.
template <class TForm> class CFormTest : public ::testing::Test
{
protected:
    explicit CFormTest(QString key) : m_Key(std::move(key)) {}

    void SetUp() override
    {
        SetNumberSettings(
            CVKNumberSettings::WithSeparators(QStringLiteral("."), QStringLiteral(",")));
        std::unique_ptr<CVKFormView> form = CreateForm(m_Key);
        if (auto* typed = dynamic_cast<TForm*>(form.get()))
        {
            form.release();
            m_Form.reset(typed);
        }
        ASSERT_TRUE(m_Form) << "the factory made no form of this class for " << m_Key.toStdString();
    }
    void TearDown() override { ResetNumberSettings(); }

    void Type(int id, const QString& text) { m_Form->Field(id)->SetWindowText(text); }
    void Click(int id) { QTest::mouseClick(m_Form->Button(id), Qt::LeftButton); }

    // The text that one press of the button adds. Reports accumulate: a press that does not
    // keep the earlier text is a failure.
    QString Press(int id)
    {
        const QString before = m_Form->ResultsText();
        Click(id);
        const QString after = m_Form->ResultsText();
        EXPECT_TRUE(after.startsWith(before))
            << "the press of " << id << " replaced the earlier results";
        return after.mid(before.size());
    }

    // The lines of the results box.
    QStringList ResultLines() const { return Lines(m_Form->ResultsText()); }

    bool LoadDefaultDesign() { return LoadDesign(m_Form.get(), m_Key, DefaultDesignPath(m_Key)); }

    // The control ids in creation order, the order design files are written in.
    std::vector<int> ControlIds() const
    {
        std::vector<int> ids;
        for (QWidget* control : m_Form->Controls())
            ids.push_back(CVKFormView::ControlId(control));
        return ids;
    }

    // Shows the form, puts the focus in field `id` and presses Enter there; the widget that
    // has the focus afterwards.
    QWidget* FocusAfterEnter(int id)
    {
        m_Form->show();
        m_Form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_Form.get()));
        m_Form->Field(id)->setFocus();
        QTest::keyClick(m_Form->Field(id), Qt::Key_Return);
        return QApplication::focusWidget();
    }

    const QString m_Key;
    CRecordingPresenter m_Messages;
    CScopedPresenter m_Scope{m_Messages};
    std::unique_ptr<TForm> m_Form;
};
