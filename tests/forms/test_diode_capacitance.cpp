#include "controls/Platform.h"
#include "controls/VKEdit.h"
#include "database/MessagePresenter.h"
#include "forms/BatchRun.h"
#include "forms/DesignFile.h"
#include "forms/DiodeCapacitanceDlg.h"
#include "forms/FormFactory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

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

QString DefaultDesignPath()
{
    QString root = qEnvironmentVariable("QUILLON_SOURCE_DIR");
    if (root.isEmpty())
        root = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../..");
    return root + QStringLiteral("/app/Data/DiodeCapacitance/Diode Capacitance_Default.qwf");
}

class DiodeForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetNumberSettings(
            CVKNumberSettings::WithSeparators(QStringLiteral("."), QStringLiteral(",")));
        std::unique_ptr<CVKFormView> form = CreateForm(QStringLiteral("DiodeCapacitance"));
        m_Form.reset(dynamic_cast<DiodeCapacitanceDlg*>(form.release()));
        ASSERT_TRUE(m_Form);
    }
    void TearDown() override { ResetNumberSettings(); }

    void Type(int id, const QString& text) { m_Form->Field(id)->SetWindowText(text); }
    QString Press(int id)
    {
        QTest::mouseClick(m_Form->Button(id), Qt::LeftButton);
        return m_Form->ResultsText();
    }

    CRecordingPresenter m_Messages;
    CScopedPresenter m_Scope{m_Messages};
    std::unique_ptr<DiodeCapacitanceDlg> m_Form;
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
    std::vector<int> ids;
    for (QWidget* control : m_Form->Controls())
        ids.push_back(CVKFormView::ControlId(control));
    std::vector<int> expected;
    for (const auto& [id, text] : fields)
    {
        expected.push_back(id);
        EXPECT_EQ(m_Form->Field(id)->GetWindowText(), QString::fromLatin1(text)) << id;
    }
    expected.insert(expected.end(), {1196, 1001, 3, 4, 1010, 2});
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(m_Form->Button(D::IdCalcJunction)->text(), QStringLiteral("Calc Junction Cap"));
    EXPECT_EQ(m_Form->Button(D::IdCalcDiffusion)->text(), QStringLiteral("Calc diffusion cap"));
}

TEST_F(DiodeForm, DefaultsGiveBothReportsStartingWithTheFrequencyInWholeKilohertz)
{
    EXPECT_EQ(Press(D::IdCalcJunction), QString::fromLatin1(DefaultJunctionReport));
    EXPECT_EQ(Press(D::IdCalcDiffusion), QString::fromLatin1(DefaultJunctionReport) +
                                             QString::fromLatin1(DefaultDiffusionReport));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(DiodeForm, ABiasOfZeroVoltsLeavesTheTransitTimeUndefined)
{
    Type(D::IdBias1, QStringLiteral("0"));
    // At 0 V the junction law is the reverse one: sqrt(K / 0.33) + Cp = 2.01 + 0.5 pF; the
    // transit time (0 * Rdc) / (0 / D) is 0/0.
    EXPECT_EQ(
        Press(D::IdCalcDiffusion),
        QStringLiteral("Frequency: 1,000 kHz \r\n"
                       "Capactance at 0.00 volts: Total: 89.38 pF Junction: 2.51 Diff: 86.87 \r\n"
                       "Transit time: nan nSeconds\r\n"
                       "Capactance at 0.10 volts: Total: 512.55 pF Junction: 2.40 Diff: 510.14 \r\n"
                       "Transit time: 63,257.91 nSeconds\r\n"
                       "Forward power: 2.00 \r\n\r\n"));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
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

    const QString before = m_Form->ResultsText();
    Type(D::IdFrequency, QStringLiteral("1000000000"));
    EXPECT_EQ(Press(D::IdCalcDiffusion), before);
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: Frequency kHz must be between 0.000000 and 999999999.999900!");
    EXPECT_EQ(m_Messages.m_Messages[0].icon, EMessageIcon::Error);
}

TEST_F(DiodeForm, EnterStaysInTheField)
{
    m_Form->show();
    m_Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_Form.get()));
    m_Form->Field(D::IdFrequency)->setFocus();
    QTest::keyClick(m_Form->Field(D::IdFrequency), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), m_Form->Field(D::IdFrequency));
}

TEST(DiodeBatch, TheDefaultDesignGivesBothReportsAtTheFirstPress)
{
    QString out;
    QString err;
    const int status = RunBatch(
        {QStringLiteral("quillon"), QStringLiteral("--batch"), QStringLiteral("DiodeCapacitance"),
         QStringLiteral("--load"), DefaultDesignPath(), QStringLiteral("--press"),
         QStringLiteral("3"), QStringLiteral("--press"), QStringLiteral("4")},
        out, err);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(err, QString());
    QString expected =
        QString::fromLatin1(DefaultJunctionReport) + QString::fromLatin1(DefaultDiffusionReport);
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(out, expected);
}
