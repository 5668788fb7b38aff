// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/DiodeCapacitanceDlg.h"
#include "tests/forms/FormTestSupport.h"

namespace
{
using D = DiodeCapacitanceDlg;

// Reference reports computed by hand (a short script following the measurement formulas:
// load = RL || scope capacitance, branch = ZL * Vs / VL<phase - ZL, junction = Rdc * branch /
// (Rdc - branch), C = 1 / (2 pi f |junction|) - Cp), with the fields' single-precision values.
const char* const DefaultJunctionReport = "Frequency: 1,000 kHz \r\n"
                                          "Capactance at 0.05 volts: 89.38 pF \r\n"
                                          "Capactance at 0.10 volts: 512.55 pF \r\n"
                                          "Built-in voltage: 0.10 volts\r\n\r\n";

// Junction capacitances from Cj = 1 pF at -1 V with m = 2 and Vbi = 0.33 V: K = 1.33e-24,
// C(0.05) = sqrt(K / 0.28) = 2.18 pF, C(0.10) = sqrt(K / 0.23) = 2.40 pF; transit time = D * Rdc.
const char* const DefaultDiffusionReport =
    "Frequency: 1,000 kHz \r\n"
    "Capactance at 0.05 volts: Total: 89.38 pF Junction: 2.18 Diff: 87.20 \r\n"
    "Transit time: 10,812.29 nSeconds\r\n"
    "Capactance at 0.10 volts: Total: 512.55 pF Junction: 2.40 Diff: 510.14 \r\n"
    "Transit time: 63,257.91 nSeconds\r\n"
    "Forward power: 2.00 \r\n\r\n";

class DiodeForm : public CFormTest<DiodeCapacitanceDlg>
{
protected:
    DiodeForm() : CFormTest(QStringLiteral("DiodeCapacitance")) {}
};
} // namespace

TEST_F(DiodeForm, ControlsComeInSetUpOrderWithTheirDefaultsAndNoEnterKey)
{
    EXPECT_EQ(m_Form->m_strFormKey, QStringLiteral("DiodeCapacitance"));
    EXPECT_EQ(m_Form->TemplateId(), 211);
    EXPECT_FALSE(m_Form->EnterMovesFocus());

    const std::vector<std::pair<int, const char*>> fields = {
        {1200, "0.050"},  {1193, "1000.0"},   {1201, "20.0"}, {1203, "15.0"},     {1190, "0.5"},
        {1188, "0.05"},   {1191, "124000.0"}, {1189, "0.1"},  {1192, "124000.0"}, {1197, "0.0456"},
        {1198, "0.0484"}, {1199, "9.0"},      {1205, "0.0"},  {1206, "2.0"},      {1207, "0.33"},
        {1208, "1.0"},    {1209, "-1.0"},
    };
    std::vector<int> expected;
    for (const auto& [id, text] : fields)
    {
        expected.push_back(id);
        EXPECT_EQ(m_Form->Field(id)->GetWindowText(), QString::fromLatin1(text)) << id;
    }
    expected.insert(expected.end(), {1196, 1001, 3, 4, 1010, 2});
    EXPECT_EQ(ControlIds(), expected);
    EXPECT_EQ(m_Form->Button(D::IdCalcJunction)->text().remove(QLatin1Char('&')),
              QStringLiteral("Calc Junction Cap"));
    EXPECT_EQ(m_Form->Button(D::IdCalcDiffusion)->text().remove(QLatin1Char('&')),
              QStringLiteral("Calc diffusion cap"));
}

TEST_F(DiodeForm, DefaultsGiveBothReportsStartingWithTheFrequencyInWholeKilohertz)
{
    EXPECT_EQ(Press(D::IdCalcJunction), QString::fromLatin1(DefaultJunctionReport));
    EXPECT_EQ(Press(D::IdCalcDiffusion), QString::fromLatin1(DefaultDiffusionReport));
    EXPECT_EQ(m_Form->ResultsText(), QString::fromLatin1(DefaultJunctionReport) +
                                         QString::fromLatin1(DefaultDiffusionReport));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(DiodeForm, ABiasOfZeroVoltsIsRefusedForTheTransitTimeOnly)
{
    Type(D::IdBias1, QStringLiteral("0"));
    // The transit time (0 * Rdc) / (0 / D) is 0/0: the diffusion report is refused, naming
    // the bias; the junction report has no such division.
    EXPECT_EQ(Press(D::IdCalcDiffusion), QString());
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: Diode V1dc must not be zero for this calculation");
    EXPECT_EQ(Press(D::IdCalcJunction), QStringLiteral("Frequency: 1,000 kHz \r\n"
                                                       "Capactance at 0.00 volts: 89.38 pF \r\n"
                                                       "Capactance at 0.10 volts: 512.55 pF \r\n"
                                                       "Built-in voltage: 0.10 volts\r\n\r\n"));
    EXPECT_EQ(m_Messages.m_Messages.size(), 1u);
}

TEST_F(DiodeForm, WithoutScopeCapacitanceTheLoadIsAPureResistor)
{
    Type(D::IdScopeCap, QStringLiteral("0"));
    // By hand as above with ZL = 20 kOhm.
    EXPECT_EQ(Press(D::IdCalcJunction), QStringLiteral("Frequency: 1,000 kHz \r\n"
                                                       "Capactance at 0.05 volts: 40.72 pF \r\n"
                                                       "Capactance at 0.10 volts: 238.94 pF \r\n"
                                                       "Built-in voltage: 0.10 volts\r\n\r\n"));
}

TEST_F(DiodeForm, OnlyTheFrequencyIsCheckedAndEmptyFieldsReadAsZero)
{
    // An empty parasitic capacitance is 0 pF: the measured capacitances grow by 0.5 pF.
    Type(D::IdParasiticCap, QString());
    EXPECT_EQ(Press(D::IdCalcJunction), QStringLiteral("Frequency: 1,000 kHz \r\n"
                                                       "Capactance at 0.05 volts: 89.88 pF \r\n"
                                                       "Capactance at 0.10 volts: 513.05 pF \r\n"
                                                       "Built-in voltage: 0.10 volts\r\n\r\n"));
    EXPECT_TRUE(m_Messages.m_Messages.empty());

    Type(D::IdFrequency, QStringLiteral("2000000000"));
    EXPECT_EQ(Press(D::IdCalcDiffusion), QString());
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: Frequency kHz must be between 0.000000 and 999999999.999900!");
    EXPECT_EQ(m_Messages.m_Messages[0].icon, EMessageIcon::Error);
}

TEST_F(DiodeForm, EnterStaysInTheField)
{
    EXPECT_EQ(FocusAfterEnter(D::IdFrequency), m_Form->Field(D::IdFrequency));
}

TEST(DiodeBatch, TheDefaultDesignGivesBothReportsAtTheFirstPress)
{
    QString out;
    QString err;
    const int status =
        RunFormBatch(QStringLiteral("DiodeCapacitance"),
                     {"--load", DefaultDesignPath(QStringLiteral("DiodeCapacitance")), "--press",
                      "3", "--press", "4"},
                     out, err);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(err, QString());
    EXPECT_EQ(out, BatchText(QString::fromLatin1(DefaultJunctionReport) +
                             QString::fromLatin1(DefaultDiffusionReport)));
}
