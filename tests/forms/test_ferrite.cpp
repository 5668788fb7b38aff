// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/FerriteDlg.h"
#include "tests/forms/FormTestSupport.h"

namespace
{
using F = FerriteDlg;

const char* const Header = "tUa1 \tUa2 \tAlpha \tBeta0 \tCoeff\r\n";
// The model's worked example for the form's defaults: Ua1 = 362.6 / 21.5, Ua2 = 742.0 / 33.9,
// Alpha 0.8100, Beta0 0.3682, Coeff 0.2382.
const char* const DefaultRow = "16.87 \t21.89 \t0.8100 \t0.3682 \t0.2382\r\n";

QString Stars()
{
    return QString(59, QLatin1Char('*')) + QStringLiteral("\r\n");
}

QString DefaultReport()
{
    return QString::fromLatin1(Header) + QString::fromLatin1(DefaultRow) + Stars();
}

class FerriteForm : public CFormTest<FerriteDlg>
{
protected:
    FerriteForm() : CFormTest(QStringLiteral("Ferrite")) {}
};
} // namespace

TEST_F(FerriteForm, ControlsComeInTemplateOrderWithTheirDefaultsAndNoEnterKey)
{
    EXPECT_EQ(m_Form->m_strFormKey, QStringLiteral("Ferrite"));
    EXPECT_EQ(m_Form->TemplateId(), 16008);
    EXPECT_FALSE(m_Form->EnterMovesFocus());

    const std::vector<std::pair<int, const char*>> fields = {
        {1226, "9.68"},  {1227, "180.0"}, {1222, "120.0"}, {1232, "362.6"},
        {1233, "21.5"},  {1234, "742.0"}, {1235, "33.9"},  {1238, "17.18"},
        {1239, "17.18"}, {1236, "40.8"},  {1237, "60.8"},
    };
    const std::vector<int> expected = {1226, 1227, 1222, 1232, 1233, 1234, 1235, 1238,
                                       1239, 1236, 1237, 1196, 1001, 3,    1010, 2};
    EXPECT_EQ(ControlIds(), expected);
    for (const auto& [id, text] : fields)
        EXPECT_EQ(m_Form->Field(id)->GetWindowText(), QString::fromLatin1(text)) << id;
    EXPECT_EQ(m_Form->Button(F::IdCalcInductance)->text().remove(QLatin1Char('&')),
              QStringLiteral("Calc Inductance"));
    EXPECT_TRUE(m_Form->ResultsText().isEmpty());
}

TEST_F(FerriteForm, DefaultsGiveTheWorkedExampleAndASecondPressAppendsASecondReport)
{
    EXPECT_EQ(Press(F::IdCalcInductance), DefaultReport());
    EXPECT_EQ(Press(F::IdCalcInductance), DefaultReport());
    EXPECT_EQ(m_Form->ResultsText(), DefaultReport() + DefaultReport());
    EXPECT_TRUE(m_Messages.m_Messages.empty());

    // Clear, then the next report starts at the top.
    Click(CVKFormView::IdClear);
    EXPECT_EQ(Press(F::IdCalcInductance), DefaultReport());
    EXPECT_EQ(m_Form->ResultsText(), DefaultReport());
}

TEST_F(FerriteForm, MillimetresBecomeMetresAndEachCoilKeepsItsOwnInductances)
{
    Press(F::IdCalcInductance);
    const CFerrite& ferrite = m_Form->Ferrite();
    // The fields deliver single-precision values: compare to float accuracy.
    EXPECT_NEAR(ferrite.m_RodDiameter, 0.00968, 1e-9);
    EXPECT_NEAR(ferrite.m_RodLength, 0.180, 1e-9);
    EXPECT_NEAR(ferrite.m_InitialPermeability, 120.0, 1e-5);
    EXPECT_NEAR(ferrite.m_Coil1Diameter, 0.01718, 1e-9);
    EXPECT_NEAR(ferrite.m_Coil1Length, 0.0408, 1e-9);
    EXPECT_NEAR(ferrite.m_Coil2Length, 0.0608, 1e-9);
    EXPECT_NEAR(ferrite.m_L1Core, 362.6, 1e-4);
    EXPECT_NEAR(ferrite.m_L1Air, 21.5, 1e-4);
    EXPECT_NEAR(ferrite.m_L2Core, 742.0, 1e-4);
    EXPECT_NEAR(ferrite.m_L2Air, 33.9, 1e-4);
}

TEST_F(FerriteForm, EqualCoilLengthsAreRefusedAsTheExponentsWouldBeUndefined)
{
    Type(F::IdCoil2Length, QStringLiteral("40.8"));
    // A = log10(Ua1/Ua2) / log10(1) would be -inf, and Alpha, Beta0 and Coeff with it.
    EXPECT_EQ(Press(F::IdCalcInductance), QString());
    // A coil as wide as the rod: Alpha divides by log10(d/Dc1) = 0.
    Type(F::IdCoil2Length, QStringLiteral("60.8"));
    Type(F::IdCoil1Diameter, QStringLiteral("9.68"));
    EXPECT_EQ(Press(F::IdCalcInductance), QString());
    ASSERT_EQ(m_Messages.m_Messages.size(), 2u);
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: Coil 2 length must differ from Coil 1 length for this calculation");
    EXPECT_EQ(m_Messages.m_Messages[1].text,
              "Error: Coil 1 diameter must differ from Rod diameter(mm) for this calculation");
}

TEST_F(FerriteForm, FieldsAreReadInControlOrderAndABadOneLeavesTheResultsAlone)
{
    Press(F::IdCalcInductance);
    // Set-up order has L2(CORE) before L1(AIR); reading follows the controls.
    Type(F::IdL2Core, QStringLiteral("0"));
    Type(F::IdL1Air, QStringLiteral("0"));
    EXPECT_EQ(Press(F::IdCalcInductance), QString());
    EXPECT_EQ(m_Form->ResultsText(), DefaultReport());
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: Inductance 1 no core must be between 0.001000 and 9999.999000!");
    EXPECT_EQ(m_Messages.m_Messages[0].icon, EMessageIcon::Error);
}

TEST_F(FerriteForm, TheLastFieldOutOfRangeWritesNothing)
{
    Type(F::IdCoil2Length, QStringLiteral("0"));
    EXPECT_EQ(Press(F::IdCalcInductance), QString());
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: Coil 2 length must be between 0.001000 and 9999.999000!");

    Type(F::IdCoil2Length, QStringLiteral("60.8"));
    Type(F::IdRodDiameter, QStringLiteral("1000"));
    EXPECT_EQ(Press(F::IdCalcInductance), QString());
    EXPECT_EQ(m_Messages.m_Messages.back().text,
              "Error: Rod diameter must be between 0.001000 and 999.999000!");
}

TEST_F(FerriteForm, EnterStaysInTheField)
{
    EXPECT_EQ(FocusAfterEnter(F::IdRodDiameter), m_Form->Field(F::IdRodDiameter));
}

TEST_F(FerriteForm, TheDefaultDesignFileLoadsAndReportsAtTheFirstPress)
{
    for (int id : {F::IdRodDiameter, F::IdL1Core, F::IdCoil2Length})
        Type(id, QString());
    ASSERT_TRUE(LoadDefaultDesign());
    EXPECT_EQ(Press(F::IdCalcInductance), DefaultReport());
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST(FerriteBatch, PressingCalcInductancePrintsTheReport)
{
    QString out;
    QString err;
    const int status = RunFormBatch(
        QStringLiteral("Ferrite"),
        {"--load", DefaultDesignPath(QStringLiteral("Ferrite")), "--press", "3"}, out, err);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(err, QString());
    EXPECT_EQ(out, BatchText(DefaultReport()));

    // A bad field is a message on err and exit status 1, with nothing in the results.
    out.clear();
    err.clear();
    EXPECT_EQ(
        RunFormBatch(QStringLiteral("Ferrite"), {"--set", "1227=0", "--press", "3"}, out, err), 1);
    EXPECT_EQ(out, QString());
    EXPECT_EQ(
        err, QStringLiteral("Error: Error: Rod length must be between 0.001000 and 999.999000!\n"));
}
