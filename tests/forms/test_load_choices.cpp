// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormTestSupport.h"

#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <ostream>

// Loading a design leaves every form exactly as the same clicks by hand leave it: the same
// buttons checked, the same fields enabled, the same labels and the same calculation.

namespace
{
struct CChoice
{
    QString m_Key;
    std::vector<int> m_Clicks;
};

void PrintTo(const CChoice& choice, std::ostream* out)
{
    *out << choice.m_Key.toStdString() << " clicks";
    for (int id : choice.m_Clicks)
        *out << ' ' << id;
}

void ClickAll(CVKFormView& form, const std::vector<int>& clicks)
{
    for (int id : clicks)
        form.Button(id)->click(); // nothing happens while the button is disabled, as for the user
}

std::vector<int> ChoiceIds(const CVKFormView& form)
{
    std::vector<int> ids;
    for (const QWidget* control : form.Controls())
        if (ClassifyControl(control) == EControlKind::Radio ||
            ClassifyControl(control) == EControlKind::Check)
            ids.push_back(CVKFormView::ControlId(control));
    return ids;
}

// Every radio button and check box of the seven forms, reached by clicks on a fresh form:
// the button itself, or first the radio button that enables it; a check box also clicked
// twice, to clear it again. A form without choices has one case without clicks.
std::vector<CChoice> AllChoices()
{
    std::vector<CChoice> choices;
    for (const CFormEntry& entry : FormEntries())
    {
        const std::unique_ptr<CVKFormView> fresh = CreateForm(entry.m_Key);
        const std::vector<int> ids = ChoiceIds(*fresh);
        if (ids.empty())
            choices.push_back({entry.m_Key, {}});
        for (int id : ids)
        {
            std::vector<int> clicks{id};
            for (auto opener = ids.begin(); !fresh->Button(id)->isEnabled() && opener != ids.end();
                 ++opener)
            {
                const std::unique_ptr<CVKFormView> probe = CreateForm(entry.m_Key);
                ClickAll(*probe, {*opener});
                if (probe->Button(id)->isEnabled())
                {
                    clicks = {*opener, id};
                    break;
                }
            }
            choices.push_back({entry.m_Key, clicks});
            if (ClassifyControl(fresh->Button(id)) == EControlKind::Check)
            {
                clicks.push_back(id);
                choices.push_back({entry.m_Key, clicks});
            }
        }
    }
    return choices;
}

// What a user sees of the form, one line a control (id, enabled, check state, text) and one
// a label.
QStringList Snapshot(const CVKFormView& form)
{
    QStringList lines;
    for (const QWidget* control : form.Controls())
    {
        QString line =
            QStringLiteral("%1 %2").arg(CVKFormView::ControlId(control)).arg(control->isEnabled());
        if (const auto* button = qobject_cast<const QAbstractButton*>(control);
            button && button->isCheckable())
            line += button->isChecked() ? QStringLiteral(" checked") : QStringLiteral(" clear");
        if (const auto* field = dynamic_cast<const CVKEdit*>(control))
            line += QStringLiteral(" \"%1\"").arg(field->GetFixedText());
        lines << line;
    }
    for (const QLabel* label : form.findChildren<QLabel*>())
        lines << QStringLiteral("label \"%1\"").arg(label->text());
    return lines;
}

// The lines that differ, "want" then "got".
std::string Differences(const QStringList& actual, const QStringList& expected)
{
    std::string text;
    for (qsizetype i = 0; i < std::max(actual.size(), expected.size()); ++i)
        if (actual.value(i) != expected.value(i))
            text += "\n  want " + expected.value(i).toStdString() + "\n  got  " +
                    actual.value(i).toStdString();
    return text;
}

class LoadChoices : public ::testing::TestWithParam<CChoice>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        SetNumberSettings(
            CVKNumberSettings::WithSeparators(QStringLiteral("."), QStringLiteral(",")));
    }
    void TearDown() override { ResetNumberSettings(); }

    // The report of the main action and the messages it showed.
    QString Calculate(CVKFormView& form)
    {
        m_Messages.m_Messages.clear();
        if (QAbstractButton* button = form.Button(CVKFormView::IdMainAction))
            button->click();
        QString text = form.ResultsText();
        for (const auto& message : m_Messages.m_Messages)
            text += QString::fromStdString("\n" + message.title + ": " + message.text);
        return text;
    }

    QTemporaryDir m_Dir;
    CRecordingPresenter m_Messages;
    CScopedPresenter m_Scope{m_Messages};
};
} // namespace

TEST_P(LoadChoices, ALoadedDesignLeavesTheFormAsTheSameClicks)
{
    const CChoice& choice = GetParam();
    const std::unique_ptr<CVKFormView> clicked = CreateForm(choice.m_Key);
    ClickAll(*clicked, choice.m_Clicks);
    const QString path = m_Dir.filePath(QStringLiteral("choice.qwf"));
    ASSERT_TRUE(SaveDesign(clicked.get(), choice.m_Key, path));
    const QStringList expected = Snapshot(*clicked);
    const QString calculated = Calculate(*clicked);

    // Into forms where every choice was clicked first to last, and last to first, so that
    // each group ends on its first and on its last button, and into one as it opens.
    for (int order : {0, 1, 2})
    {
        const std::unique_ptr<CVKFormView> loaded = CreateForm(choice.m_Key);
        std::vector<int> others = order == 2 ? std::vector<int>() : ChoiceIds(*loaded);
        if (order == 1)
            std::reverse(others.begin(), others.end());
        ClickAll(*loaded, others);
        ASSERT_TRUE(LoadDesign(loaded.get(), choice.m_Key, path));
        EXPECT_EQ(Differences(Snapshot(*loaded), expected), "") << "order " << order;
        EXPECT_EQ(Calculate(*loaded), calculated) << "order " << order;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryForm, LoadChoices, ::testing::ValuesIn(AllChoices()),
                         [](const ::testing::TestParamInfo<CChoice>& info)
                         {
                             std::string name = info.param.m_Key.toStdString();
                             for (int id : info.param.m_Clicks)
                                 name += "_" + std::to_string(id);
                             return name + "_" + std::to_string(info.index);
                         });
