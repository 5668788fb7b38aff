// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/forms/FormTestSupport.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// Every field's value, as the field converts it.
std::vector<double> Values(const CVKFormView& form)
{
    std::vector<double> values;
    for (QWidget* control : form.Controls())
        if (const auto* field = dynamic_cast<const CVKEdit*>(control))
            values.push_back(field->GetDouble());
    return values;
}

class LocaleDesigns : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        SetNumberSettings(CVKNumberSettings::FromLocale(QLocale(QString::fromLatin1(GetParam()))));
    }
    void TearDown() override { ResetNumberSettings(); }

    QTemporaryDir m_Dir;
    CRecordingPresenter m_Messages;
    CScopedPresenter m_Scope{m_Messages};
};

// A number of the field's size, shown as the locale shows it when the field loses the focus:
// grouped where it has four digits or more, negative where negatives are allowed.
void FillGrouped(CVKFormView& form)
{
    for (QWidget* control : form.Controls())
    {
        auto* field = dynamic_cast<CVKEdit*>(control);
        if (!field)
            continue;
        const int digits = qBound(1, field->IntegerPlaces(), 5);
        const double value = 47000.25 / std::pow(10.0, 5 - digits);
        field->SetNumber(field->AllowNegative() ? -value : value);
    }
}
} // namespace

TEST_P(LocaleDesigns, EveryFormsNumbersComeBackFromItsDesignFile)
{
    for (const CFormEntry& entry : FormEntries())
    {
        const std::unique_ptr<CVKFormView> saved = CreateForm(entry.m_Key);
        FillGrouped(*saved);
        const QString path = m_Dir.filePath(entry.m_Key + QStringLiteral(".qwf"));
        ASSERT_TRUE(SaveDesign(saved.get(), entry.m_Key, path));

        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        for (char byte : file.readAll())
            ASSERT_GE(byte, 0) << entry.m_Key.toStdString() << ": the file holds a byte above 127";

        const std::unique_ptr<CVKFormView> loaded = CreateForm(entry.m_Key);
        ASSERT_TRUE(LoadDesign(loaded.get(), entry.m_Key, path));
        EXPECT_EQ(Values(*loaded), Values(*saved)) << entry.m_Key.toStdString();

        // The same numbers give the same report, or the same refusal.
        m_Messages.m_Messages.clear();
        saved->OnCommand(CVKFormView::IdMainAction);
        const auto savedMessages = m_Messages.m_Messages.size();
        loaded->OnCommand(CVKFormView::IdMainAction);
        EXPECT_EQ(loaded->ResultsText(), saved->ResultsText()) << entry.m_Key.toStdString();
        EXPECT_EQ(m_Messages.m_Messages.size(), 2 * savedMessages) << entry.m_Key.toStdString();
    }
}

TEST_P(LocaleDesigns, AFileWrittenWithTheLocalesOwnCharactersStillLoads)
{
    // Written before the separators were kept out of design files: UTF-8 in the records.
    const CVKNumberSettings& settings = NumberSettings();
    const QString path = m_Dir.filePath(QStringLiteral("old.qwf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("CrystalRadio\r\n1.0\r\n1251,47" + settings.m_ThousandsSeparator.toUtf8() +
               "000\r\n1259," + settings.m_NegativeSign.toUtf8() + "1" +
               settings.m_DecimalSeparator.toUtf8() + "6791\r\n");
    file.close();

    const std::unique_ptr<CVKFormView> form = CreateForm(QStringLiteral("CrystalRadio"));
    ASSERT_TRUE(LoadDesign(form.get(), QStringLiteral("CrystalRadio"), path));
    double resistor = 0.0;
    double b = 0.0;
    EXPECT_TRUE(form->Field(1251)->ValidateInput(resistor));
    EXPECT_TRUE(form->Field(1259)->ValidateInput(b));
    EXPECT_EQ(resistor, 47000.0);
    EXPECT_FLOAT_EQ(static_cast<float>(b), -1.6791f);
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleDesigns,
                         ::testing::Values("en_US", "de_DE", "fr_FR", "de_CH", "sv_SE"),
                         [](const ::testing::TestParamInfo<const char*>& info)
                         { return std::string(info.param); });

// In the locale the process was started in (CTest runs these again with LC_ALL set to de_DE
// and fr_FR before the application object exists, as a desktop starts the program).
class RealLocale : public ::testing::Test
{
protected:
    void SetUp() override { ResetNumberSettings(); }

    const CVKNumberSettings& m_Settings = NumberSettings();
    QTemporaryDir m_Dir;
    CRecordingPresenter m_Messages;
    CScopedPresenter m_Scope{m_Messages};
};

TEST_F(RealLocale, DefaultsShowInTheUsersFormatAndTabbingThroughChangesNoValue)
{
    const QString& point = m_Settings.m_DecimalSeparator;
    // The field tables' defaults, shown as this user writes numbers.
    const std::unique_ptr<CVKFormView> tuning = CreateForm(QStringLiteral("TuningCap"));
    EXPECT_EQ(tuning->Field(1197)->text(),
              QStringLiteral("1") + m_Settings.m_ThousandsSeparator + QStringLiteral("706"));
    EXPECT_EQ(tuning->Field(1197)->GetDouble(), 1706.0);

    for (const CFormEntry& entry : FormEntries())
    {
        const std::string key = entry.m_Key.toStdString();
        const std::unique_ptr<CVKFormView> form = CreateForm(entry.m_Key);
        ASSERT_TRUE(LoadDesign(form.get(), entry.m_Key, DefaultDesignPath(entry.m_Key))) << key;
        const std::vector<double> loaded = Values(*form);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get())) << key;
        std::vector<CVKEdit*> fields;
        for (QWidget* control : form->Controls())
            if (auto* field = dynamic_cast<CVKEdit*>(control); field && field->isEnabled())
                fields.push_back(field);
        for (int pass = 0; pass < 10; ++pass)
            for (CVKEdit* field : fields)
            {
                field->setFocus(Qt::TabFocusReason);
                ASSERT_TRUE(field->hasFocus()) << key;
            }
        form->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(Values(*form), loaded) << key;

        // Saved and loaded again: still the same numbers.
        const QString path = m_Dir.filePath(entry.m_Key + QStringLiteral(".qwf"));
        ASSERT_TRUE(SaveDesign(form.get(), entry.m_Key, path)) << key;
        const std::unique_ptr<CVKFormView> again = CreateForm(entry.m_Key);
        ASSERT_TRUE(LoadDesign(again.get(), entry.m_Key, path)) << key;
        EXPECT_EQ(Values(*again), loaded) << key;
    }
    const std::unique_ptr<CVKFormView> radio = CreateForm(QStringLiteral("CrystalRadio"));
    ASSERT_TRUE(LoadDesign(radio.get(), QStringLiteral("CrystalRadio"),
                           DefaultDesignPath(QStringLiteral("CrystalRadio"))));
    EXPECT_EQ(radio->Field(1207)->text(), QStringLiteral("0") + point + QStringLiteral("10"));
}

TEST_F(RealLocale, TheDecimalSeparatorTypedIsTheDecimalPoint)
{
    const std::unique_ptr<CVKFormView> form = CreateForm(QStringLiteral("CrystalRadio"));
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    CVKEdit* field = form->Field(1207);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field,
                     QStringLiteral("1") + m_Settings.m_DecimalSeparator + QStringLiteral("5"));
    form->setFocus();
    double value = 0.0;
    EXPECT_TRUE(field->ValidateInput(value)) << field->text().toStdString();
    EXPECT_EQ(value, 1.5);
}
