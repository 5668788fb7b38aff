#include "tests/forms/FormTestSupport.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace
{
class LocaleDesigns : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        SetNumberSettings(CVKNumberSettings::FromLocale(QLocale(QString::fromLatin1(GetParam()))));
    }
    void TearDown() override { ResetNumberSettings(); }

    // Every field's value, as the field converts it.
    static std::vector<double> Values(const CVKFormView& form)
    {
        std::vector<double> values;
        for (QWidget* control : form.Controls())
            if (const auto* field = dynamic_cast<const CVKEdit*>(control))
                values.push_back(field->GetDouble());
        return values;
    }

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
