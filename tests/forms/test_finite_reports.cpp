// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/forms/FormTestSupport.h"

#include <QPushButton>
#include <QRegularExpression>

#include <string>
#include <vector>

namespace
{
// A form's default design with some modes changed, as "--set" changes them.
struct CDesign
{
    const char* m_Key;
    std::vector<const char*> m_Records;
};

// Every mode that reads fields of its own. The receiver sweeps a single distance, so that
// its many fields stay quick to go through.
const CDesign Designs[] = {
    {"Coil", {}},
    {"Coil", {"1194,1"}},
    {"Coil", {"1204,1", "1212,20"}},
    {"Coil", {"1204,1", "1212,20", "1199,1", "1273,1"}},
    {"Coil", {"1204,1", "1212,20", "1200,1", "1276,1"}},
    {"Coil", {"1204,1", "1212,20", "1199,1", "1276,1", "1277,1"}},
    {"Ferrite", {}},
    {"DiodeCapacitance", {}},
    {"Impedance", {}},
    {"Impedance", {"1194,1"}},
    {"TuningCap", {}},
    {"TuningCap", {"1216,1"}},
    {"TuningCap", {"1217,1"}},
    {"Monopole", {}},
    {"Monopole", {"1210,1"}},
    {"Monopole", {"1195,1", "1199,1"}},
    {"CrystalRadio", {"1229,60", "1218,3", "1216,2"}},
    {"CrystalRadio",
     {"1229,60", "1218,3", "1216,2", "1276,1", "1277,1", "1274,1", "1195,1", "1197,1", "1261,1",
      "1262,1"}},
    {"CrystalRadio", {"1229,60", "1218,3", "1216,2", "1210,1", "1199,1"}},
    {"CrystalRadio", {"1229,60", "1218,3", "1216,2", "1280,1"}},
};

// The values a field accepts at its edges; a field without a range also takes a negative
// number from a design file.
QStringList EdgeValues(const CVKEdit& field)
{
    QStringList values = {QStringLiteral("0"), QString()};
    if (!field.RangeCheck())
        values << QStringLiteral("-5");
    else if (field.DecimalsAllowed())
        values << QString::number(field.RealMin(), 'g', 15)
               << QString::number(field.RealMax(), 'g', 15);
    else
        values << QString::number(field.IntMin()) << QString::number(field.IntMax());
    values.removeDuplicates();
    return values;
}

// "nan", "inf" or "-inf" as a number of a report, not inside a word such as "Resonant".
const QRegularExpression NonFiniteNumber(QStringLiteral("(^|[^a-ik-z])-?(nan|inf)"));

// The messages with which an action refuses a value that its calculation cannot take.
bool IsRefusal(const std::string& text)
{
    for (const char* phrase :
         {"for this calculation", "for a core", "must not make", "is too large", "does not suit",
          "must be less than the capacitance", "measures the same", "are not coupled",
          "no audio voltage", "no finite solution", "too far out on the core",
          "too large to be calculated"})
        if (text.find(phrase) != std::string::npos)
            return true;
    return false;
}
} // namespace

// After each press either the report has no number that is not finite, or the action was
// refused with a message that names why and nothing was appended. The last guard of the
// form base (which names nothing) must never be what stops it.
TEST(FiniteReports, EveryFieldAtItsEdgesForEveryActionGivesFiniteNumbersOrANamedRefusal)
{
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    SetNumberSettings(CVKNumberSettings::WithSeparators(QStringLiteral("."), QStringLiteral(",")));
    int presses = 0;
    int refusals = 0;
    for (const CDesign& design : Designs)
    {
        const QString key = QString::fromLatin1(design.m_Key);
        std::unique_ptr<CVKFormView> form = CreateForm(key);
        ASSERT_TRUE(LoadDesign(form.get(), key, DefaultDesignPath(key)));
        for (const char* record : design.m_Records)
            ASSERT_TRUE(ApplyControlRecord(*form, record, ENotation::Fixed));
        std::string where = design.m_Key;
        for (const char* record : design.m_Records)
            where += std::string(" ") + record;

        for (QWidget* control : form->Controls())
        {
            auto* field = dynamic_cast<CVKEdit*>(control);
            if (!field)
                continue;
            const int id = CVKFormView::ControlId(field);
            const QString original = field->GetWindowText();
            for (const QString& value : EdgeValues(*field))
            {
                for (int action : {3, 4, 6, 7})
                {
                    auto* button = qobject_cast<QPushButton*>(form->Button(action));
                    if (!button || !button->isEnabled())
                        continue;
                    field->SetWindowText(value);
                    form->SetResultsText(QString());
                    messages.m_Messages.clear();
                    button->click();
                    ++presses;
                    const QString out = form->ResultsText();
                    const std::string pressed = where + ", " + std::to_string(id) + "=\"" +
                                                value.toStdString() + "\", press " +
                                                std::to_string(action);
                    EXPECT_FALSE(out.contains(NonFiniteNumber)) << pressed << "\n"
                                                                << out.toStdString();
                    for (const auto& message : messages.m_Messages)
                    {
                        // A field's own maximum may still reach the last guard, which refuses
                        // in general terms; anything else has a named reason.
                        if (value != EdgeValues(*field).back() &&
                            message.text == CVKFormView::NonFiniteMessage())
                            ADD_FAILURE() << pressed << ": only the last guard stopped it";
                        if (IsRefusal(message.text))
                        {
                            ++refusals;
                            EXPECT_EQ(message.title, "Error") << pressed;
                            EXPECT_EQ(out, QString()) << pressed << ": refused, yet appended";
                        }
                    }
                }
            }
            field->SetWindowText(original);
        }
    }
    ResetNumberSettings();
    EXPECT_GT(presses, 3000);
    EXPECT_GT(refusals, 100);
}

// The batch runs of the audit, on each form's default design: each stops with its message
// and exit status 1, and prints no report.
TEST(FiniteReports, TheBatchRunsThatPrintedNanNowStopWithTheFieldAndWhy)
{
    const struct
    {
        const char* m_Key;
        QStringList m_Options;
        const char* m_Message;
    } runs[] = {
        {"CrystalRadio",
         {"--set", "1253=0", "--press", "4"},
         "Eaphone capacitance (pF) must not be zero for this calculation"},
        {"DiodeCapacitance",
         {"--set", "1193=0", "--press", "3"},
         "Frequency (kHz) must not be zero for this calculation"},
        {"Monopole",
         {"--set", "1208=0", "--press", "3"},
         "Wire spacing (mm) must be greater than Wire diameter (mm) for this calculation"},
        {"Coil",
         {"--set", "1218=-5", "--press", "3"},
         "Extra Cricuit Self Capacitance (pF) must not make the coil's self capacitance negative"},
        {"Monopole",
         {"--set", "1195=1", "--press", "3"},
         "Depth (mm) must not be zero for this calculation"},
    };
    for (const auto& run : runs)
    {
        const QString key = QString::fromLatin1(run.m_Key);
        QString out;
        QString err;
        EXPECT_EQ(RunFormBatch(key, QStringList{"--load", DefaultDesignPath(key)} + run.m_Options,
                               out, err),
                  1)
            << run.m_Message;
        EXPECT_EQ(out, QString()) << run.m_Message;
        EXPECT_EQ(err, QStringLiteral("Error: Error: %1\n").arg(QLatin1String(run.m_Message)));
    }
}
