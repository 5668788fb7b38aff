#include "FormTestSupport.h"

#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <ostream>

// Loading a design leaves every form exactly as the same clicks by hand leave it: the same
// buttons checked, the same fields enabled, the same labels and the same calculation.

namespace
{
using CClicks = std::vector<int>;

struct CChoice
{
    QString m_Key;
    CClicks m_Clicks;
};

// gtest prints a case by this.
void PrintTo(const CChoice& choice, std::ostream* out);

std::string Describe(const CChoice& choice)
{
    std::string text = choice.m_Key.toStdString() + " clicks";
    for (int id : choice.m_Clicks)
        text += ' ' + std::to_string(id);
    return text;
}

void PrintTo(const CChoice& choice, std::ostream* out)
{
    *out << Describe(choice);
}

void ClickAll(CVKFormView& form, const CClicks& clicks)
{
    for (int id : clicks)
        if (QAbstractButton* button = form.Button(id))
            button->click(); // nothing happens while the button is disabled, as for the user
}

bool IsChoice(const QWidget* control)
{
    const EControlKind kind = ClassifyControl(control);
    return kind == EControlKind::Radio || kind == EControlKind::Check;
}

std::vector<int> ChoiceIds(const CVKFormView& form)
{
    std::vector<int> ids;
    for (const QWidget* control : form.Controls())
        if (IsChoice(control))
            ids.push_back(CVKFormView::ControlId(control));
    return ids;
}

// Every radio button and check box of every form, reached by clicks on a fresh form: the
// button itself, or first the radio button that enables it. A check box is also clicked
// twice, to clear it again. A form without choices has one case without clicks.
std::vector<CChoice> AllChoices()
{
    std::vector<CChoice> choices;
    for (const CFormEntry& entry : FormEntries()) {
        const std::unique_ptr<CVKFormView> fresh = CreateForm(entry.m_Key);
        const std::vector<int> ids = ChoiceIds(*fresh);
        if (ids.empty())
            choices.push_back({entry.m_Key, {}});
        for (int id : ids) {
            CClicks clicks{id};
            if (!fresh->Button(id)->isEnabled()) {
                clicks.clear();
                for (int opener : ids) {
                    const std::unique_ptr<CVKFormView> probe = CreateForm(entry.m_Key);
                    ClickAll(*probe, {opener});
                    if (probe->Button(id)->isEnabled()) {
                        clicks = {opener, id};
                        break;
                    }
                }
            }
            if (clicks.empty()) {
                ADD_FAILURE() << entry.m_Key.toStdString() << " " << id << " cannot be reached by clicks";
                continue;
            }
            choices.push_back({entry.m_Key, clicks});
            if (ClassifyControl(fresh->Button(id)) == EControlKind::Check) {
                clicks.push_back(id);
                choices.push_back({entry.m_Key, clicks});
            }
        }
    }
    return choices;
}

// What a user sees of the form: each control's id, enabled state, check state and text, and
// the texts of the labels.
QStringList Snapshot(const CVKFormView& form)
{
    QStringList lines;
    for (const QWidget* control : form.Controls()) {
        const int id = CVKFormView::ControlId(control);
        if (id == CVKFormView::IdResults)
            continue;
        QString line = QStringLiteral("%1 %2").arg(id).arg(control->isEnabled() ? "enabled" : "disabled");
        if (const auto* button = qobject_cast<const QAbstractButton*>(control); button && button->isCheckable())
            line += button->isChecked() ? QStringLiteral(" checked") : QStringLiteral(" clear");
        if (const auto* field = dynamic_cast<const CVKEdit*>(control))
            line += QStringLiteral(" \"%1\"").arg(field->GetWindowText());
        lines << line;
    }
    for (const QLabel* label : form.findChildren<QLabel*>())
        lines << QStringLiteral("label \"%1\"").arg(label->text());
    return lines;
}

// The lines of `actual` that differ from `expected`, one "expected / actual" pair a line.
std::string Differences(const QStringList& actual, const QStringList& expected)
{
    std::string text;
    for (qsizetype i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        const QString want = expected.value(i);
        const QString got = actual.value(i);
        if (want != got)
            text += "\n  want " + want.toStdString() + "\n  got  " + got.toStdString();
    }
    return text;
}

class LoadChoices : public ::testing::TestWithParam<CChoice>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        SetNumberSettings(CVKNumberSettings::WithSeparators(QStringLiteral("."), QStringLiteral(",")));
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

std::string ChoiceName(const ::testing::TestParamInfo<CChoice>& info)
{
    std::string name = info.param.m_Key.toStdString();
    for (int id : info.param.m_Clicks)
        name += "_" + std::to_string(id);
    return name + "_" + std::to_string(info.index);
}
} // namespace

TEST_P(LoadChoices, ALoadedDesignLeavesTheFormAsTheSameClicks)
{
    const CChoice& choice = GetParam();
    SCOPED_TRACE(Describe(choice));
    const std::unique_ptr<CVKFormView> clicked = CreateForm(choice.m_Key);
    ClickAll(*clicked, choice.m_Clicks);
    const QString path = m_Dir.filePath(QStringLiteral("choice.qwf"));
    ASSERT_TRUE(SaveDesign(clicked.get(), choice.m_Key, path));
    const QStringList expected = Snapshot(*clicked);

    // Into a form as it opens, and into forms where every choice was clicked, first to last
    // and last to first, so that each group ends on its first and on its last button.
    const std::unique_ptr<CVKFormView> fresh = CreateForm(choice.m_Key);
    ASSERT_TRUE(LoadDesign(fresh.get(), choice.m_Key, path));
    EXPECT_EQ(Differences(Snapshot(*fresh), expected), "") << "loaded into a fresh form";

    const QString calculated = Calculate(*clicked);
    for (bool reversed : {false, true}) {
        const std::unique_ptr<CVKFormView> worked = CreateForm(choice.m_Key);
        std::vector<int> others = ChoiceIds(*worked);
        if (reversed)
            std::reverse(others.begin(), others.end());
        ClickAll(*worked, others);
        ASSERT_TRUE(LoadDesign(worked.get(), choice.m_Key, path));
        EXPECT_EQ(Differences(Snapshot(*worked), expected), "")
            << "loaded into a form with other choices, clicked " << (reversed ? "last to first" : "first to last");
        EXPECT_EQ(Calculate(*worked), calculated) << "the calculation follows the loaded choices";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryForm, LoadChoices, ::testing::ValuesIn(AllChoices()), ChoiceName);

TEST(LoadChoicesCoverage, EverySevenFormsChoicesAreInTheTable)
{
    std::vector<QString> keys;
    for (const CChoice& choice : AllChoices())
        if (std::find(keys.begin(), keys.end(), choice.m_Key) == keys.end())
            keys.push_back(choice.m_Key);
    EXPECT_EQ(keys.size(), 7u);
}
