// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/TuningCapDlg.h"
#include "tests/forms/FormTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

namespace
{
using T = CTuningCapDlg;

class TuningCapForm : public CFormTest<CTuningCapDlg>
{
protected:
    TuningCapForm() : CFormTest(QStringLiteral("TuningCap")) {}

    QString Calculate() { return Press(CVKFormView::IdMainAction); }
};

// Hand calculation from the defaults: Cmin = 7 + 3 + 2 = 12 pF, Cmax = 360 + 3 + 2 = 365 pF,
// L = 1e12 / (4 pi^2 * 365 * 525^2) = 251.7844 uH, highest resonance 1e6 / (2 pi sqrt(L * 12))
// = 2895.44 kHz, capacitance at 1706 kHz 365 / (1706/525)^2 = 34.566 pF,
// rotation (365 - 34.566) / 353 * 100 = 93.607 %.
const char* const DefaultsMatchedLow =
    "Tuning capacitor analysis \r\n"
    "\tCap min: 12pF \t\tCap max: 365pF\r\n"
    "\tFreq min: 525kHz \t\tFreq max: 1,706kHz\r\n\r\n"
    "Results (matched to low frequency)\r\n\tInductance requried: \t\t 251.784 uH \r\n"
    "\tLowest resonant frequency: \t\t 525 kHz \r\n"
    "\tHighest resonant frequency: \t\t 2,895 kHz \r\n"
    "\tCapacitance required for 525 kHz: \t 365 pF. \r\n"
    "\tCapacitance required for 1,706 kHz: \t 35 pF. \r\n"
    "\t% of Capaitor rotation:         \t \t 94. \r\n"
    "\r\n";

TEST_F(TuningCapForm, SetUpShowsTheDefaultsInTheMatchLowMode)
{
    EXPECT_EQ(m_Form->m_strFormKey, QStringLiteral("TuningCap"));
    EXPECT_EQ(m_Form->TemplateId(), 16003);
    EXPECT_EQ(m_Form->windowTitle(), QStringLiteral("Tuning capacitor"));
    EXPECT_TRUE(m_Form->EnterMovesFocus());
    EXPECT_EQ(m_Form->Field(T::IdHighFrequency)->GetWindowText(), QStringLiteral("1,706"));
    EXPECT_EQ(m_Form->Field(T::IdInductance)->GetWindowText(), QString());
    EXPECT_TRUE(m_Form->IsChecked(T::IdMatchLow));
    EXPECT_FALSE(m_Form->IsChecked(T::IdMatchHigh));
    EXPECT_FALSE(m_Form->IsChecked(T::IdUseInductance));
    EXPECT_FALSE(m_Form->Field(T::IdInductance)->isEnabled());
    EXPECT_EQ(m_Form->Mode(), T::EMode::MatchLow);
}

TEST_F(TuningCapForm, ControlsAreCreatedInTheOrderDesignFilesAreWritten)
{
    // The first records of a saved file: 1198, 1197, 1201, 1217, 1215 (design-file example).
    const std::vector<int> expected = {1198, 1197, 1201, 1217, 1215, 1216, 1199, 1200,
                                       1192, 1193, 1196, 1001, 3,    1010, 2};
    EXPECT_EQ(ControlIds(), expected);
}

TEST_F(TuningCapForm, UseInductanceSwapsTheInductanceFieldAndTheMatchButtons)
{
    Click(T::IdUseInductance);
    EXPECT_TRUE(m_Form->Field(T::IdInductance)->isEnabled());
    EXPECT_FALSE(m_Form->Control(T::IdMatchLow)->isEnabled());
    EXPECT_FALSE(m_Form->Control(T::IdMatchHigh)->isEnabled());
    // Run again for a box that is already checked: the state follows the box, not a toggle.
    m_Form->OnCommand(T::IdUseInductance);
    EXPECT_TRUE(m_Form->Field(T::IdInductance)->isEnabled());

    Click(T::IdUseInductance);
    EXPECT_FALSE(m_Form->Field(T::IdInductance)->isEnabled());
    EXPECT_TRUE(m_Form->Control(T::IdMatchLow)->isEnabled());
    EXPECT_TRUE(m_Form->Control(T::IdMatchHigh)->isEnabled());
}

TEST_F(TuningCapForm, DefaultsMatchedToTheLowFrequencyNeedNoNote)
{
    EXPECT_EQ(Calculate(), QString::fromLatin1(DefaultsMatchedLow));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
    // A second press appends a second complete report.
    EXPECT_EQ(Calculate(), QString::fromLatin1(DefaultsMatchedLow));
    EXPECT_EQ(m_Form->ResultsText(),
              QString::fromLatin1(DefaultsMatchedLow) + QString::fromLatin1(DefaultsMatchedLow));
}

TEST_F(TuningCapForm, MatchingTheHighFrequencyMakesItsCapacitanceCmin)
{
    // L = 1e12 / (4 pi^2 * 12 * 1706^2) = 725.2721 uH; lowest resonance 309.33 kHz;
    // capacitance at 525 kHz = (1706/525)^2 * 12 = 126.71 pF < 365, so no note.
    Click(T::IdMatchHigh);
    EXPECT_FALSE(m_Form->IsChecked(T::IdMatchLow));
    EXPECT_EQ(Calculate(), QStringLiteral("Tuning capacitor analysis \r\n"
                                          "\tCap min: 12pF \t\tCap max: 365pF\r\n"
                                          "\tFreq min: 525kHz \t\tFreq max: 1,706kHz\r\n\r\n"
                                          "Results (matched to high frequency)\r\n"
                                          "\tInductance requried: \t\t 725.272 uH \r\n"
                                          "\tLowest resonant frequency: \t\t 309 kHz \r\n"
                                          "\tHighest resonant frequency: \t\t 1,706 kHz \r\n"
                                          "\tCapacitance required for 525 kHz: \t 127 pF. \r\n"
                                          "\tCapacitance required for 1,706 kHz: \t 12 pF. \r\n"
                                          "\t% of Capaitor rotation:         \t \t 32. \r\n"
                                          "\r\n"));
}

TEST_F(TuningCapForm, NeitherMatchButtonCheckedMeansTheHighFrequency)
{
    m_Form->SetCheck(T::IdMatchLow, false);
    EXPECT_EQ(m_Form->Mode(), T::EMode::MatchHigh);
    EXPECT_TRUE(Calculate().contains(QStringLiteral("Results (matched to high frequency)")));
}

TEST_F(TuningCapForm, AnInductanceTooLargeForTheBandGetsTheNote)
{
    // Hand calculation, L = 1000 uH: 1e12 / (4 pi^2 * 1000 * 525^2) = 91.90 pF at 525 kHz and
    // 8.70 pF at 1706 kHz, below Cmin = 12 pF; resonances 263.44 and 1452.88 kHz;
    // rotation (91.90 - 8.70) / 353 * 100 = 23.57 %.
    Click(T::IdUseInductance);
    Type(T::IdInductance, QStringLiteral("1000"));
    EXPECT_EQ(Calculate(),
              QStringLiteral(
                  "Tuning capacitor analysis \r\n"
                  "\tCap min: 12pF \t\tCap max: 365pF\r\n"
                  "\tFreq min: 525kHz \t\tFreq max: 1,706kHz\r\n\r\n"
                  "Results (given inductance)\r\n"
                  "\tInductance requried: \t\t 1,000.000 uH \r\n"
                  "\tLowest resonant frequency: \t\t 263 kHz \r\n"
                  "\tHighest resonant frequency: \t\t 1,453 kHz \r\n"
                  "\tCapacitance required for 525 kHz: \t 92 pF. \r\n"
                  "\tCapacitance required for 1,706 kHz: \t 9 pF. \r\n"
                  "\t% of Capaitor rotation:         \t \t 24. \r\n"
                  "**Note: \r\n"
                  "\tThe entire frequency range can not be spanned by this tuning capacitor. \r\n"
                  "\r\n"));
}

TEST_F(TuningCapForm, AnInductanceTooSmallNeedsMoreThanTheWholeSwing)
{
    // L = 200 uH: 459.51 pF at 525 kHz (above Cmax) and 43.5 pF at 1706 kHz; rotation
    // (459.51 - 43.52) / 353 * 100 = 117.8 %, printed as it is.
    Click(T::IdUseInductance);
    Type(T::IdInductance, QStringLiteral("200"));
    const QString report = Calculate();
    EXPECT_TRUE(
        report.contains(QStringLiteral("\tCapacitance required for 525 kHz: \t 460 pF. \r\n")));
    EXPECT_TRUE(
        report.contains(QStringLiteral("\t% of Capaitor rotation:         \t \t 118. \r\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("**Note: \r\n")));
}

TEST_F(TuningCapForm, EqualFrequenciesAreRefusedWithThePlainErrorBox)
{
    m_Form->SetResultsText(QStringLiteral("earlier\r\n"));
    Type(T::IdHighFrequency, QStringLiteral("525"));
    EXPECT_EQ(Calculate(), QString());
    EXPECT_EQ(m_Form->ResultsText(), QStringLiteral("earlier\r\n"));
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "ERROR");
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "High frequency can not be lower or equal to the low frequency!");
    EXPECT_EQ(m_Messages.m_Messages[0].icon, EMessageIcon::None);
}

TEST_F(TuningCapForm, TheFrequencyCheckComesBeforeTheCapacitorFields)
{
    Type(T::IdHighFrequency, QStringLiteral("400"));
    Type(T::IdCapLow, QString()); // out of range too, but never read
    Calculate();
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "ERROR");
}

TEST_F(TuningCapForm, AnInvalidFieldShowsItsOwnMessageAndWritesNothing)
{
    Type(T::IdStrayCapacitance, QStringLiteral("2000000000"));
    EXPECT_EQ(Calculate(), QString());
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].icon, EMessageIcon::Error);
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: Stray capacitance must be between 0.000000 and 999999999.990000!");
}

TEST_F(TuningCapForm, TheInductanceIsReadOnlyWhenItIsUsed)
{
    // Empty, the inductance field is out of its range; matched modes never read it.
    EXPECT_FALSE(Calculate().isEmpty());
    EXPECT_TRUE(m_Messages.m_Messages.empty());
    m_Form->SetResultsText(QString());
    Click(T::IdUseInductance);
    EXPECT_EQ(Calculate(), QString());
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: Coil inductance must be between 0.001000 and 999999999.990000!");
}

TEST_F(TuningCapForm, TheSelfCapacitanceIsNotRangeChecked)
{
    // Empty reads as 0: Cmin = 9 pF, Cmax = 362 pF.
    Type(T::IdSelfCapacitance, QString());
    EXPECT_TRUE(Calculate().startsWith(
        QStringLiteral("Tuning capacitor analysis \r\n\tCap min: 9pF \t\tCap max: 362pF\r\n")));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(TuningCapForm, GroupedHighFrequencyDependsOnTheUsersSeparators)
{
    // With "," as the thousands separator the default "1,706" is 1706 kHz (above).
    // With a decimal comma it is 1.706 kHz, below the range of the field.
    SetNumberSettings(CVKNumberSettings::WithSeparators(QStringLiteral(","), QStringLiteral(".")));
    EXPECT_EQ(Calculate(), QString());
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: High frequency must be between 100.000000 and 999999999.990000!");
}

TEST_F(TuningCapForm, EqualCapacitorEndsAreRefusedAsTheRotationDividesByTheSwing)
{
    Type(T::IdCapHigh, QStringLiteral("7"));
    EXPECT_EQ(Calculate(), QString());
    // A negative self-capacitance that leaves no circuit capacitance: the resonances have no root.
    Type(T::IdCapHigh, QStringLiteral("360"));
    Type(T::IdSelfCapacitance, QStringLiteral("-9"));
    EXPECT_EQ(Calculate(), QString());
    ASSERT_EQ(m_Messages.m_Messages.size(), 2u);
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: High (pF) must differ from Low (pf) for this calculation");
    EXPECT_EQ(
        m_Messages.m_Messages[1].text,
        "Error: Coil self-res cap (pF) must not make the circuit capacitance zero or negative");
}

TEST_F(TuningCapForm, ASavedFileOfTheSetUpDefaultsStartsWithTheSevenLinesOfTheExample)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tuning.qwf"));
    ASSERT_TRUE(SaveDesign(m_Form.get(), QStringLiteral("TuningCap"), path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith(
        "TuningCap\r\n1.1\r\n1198,525\r\n1197,1706\r\n1201, \r\n1217,0\r\n"
        "1215,1\r\n1216,0\r\n"));
}

TEST_F(TuningCapForm, TheDefaultDesignReportsAtTheFirstPress)
{
    Type(T::IdLowFrequency, QString());
    ASSERT_TRUE(LoadDefaultDesign());
    EXPECT_EQ(Calculate(), QString::fromLatin1(DefaultsMatchedLow));
    EXPECT_TRUE(m_Messages.m_Messages.empty());

    // Its inductance, used as given, also spans the band: 1e12 / (4 pi^2 * 255 * 525^2)
    // = 360.4 pF at 525 kHz, 34.1 pF at 1706 kHz, both within 12 to 365 pF.
    m_Form->SetResultsText(QString());
    Click(T::IdUseInductance);
    const QString given = Calculate();
    EXPECT_TRUE(given.contains(QStringLiteral("\tInductance requried: \t\t 255.000 uH \r\n")));
    EXPECT_TRUE(
        given.contains(QStringLiteral("\tCapacitance required for 525 kHz: \t 360 pF. \r\n")));
    EXPECT_FALSE(given.contains(QStringLiteral("**Note")));
}

TEST(TuningCapBatch, CalculateResultsPrintsTheReport)
{
    QString out;
    QString err;
    EXPECT_EQ(
        RunFormBatch(QStringLiteral("TuningCap"),
                     {"--load", DefaultDesignPath(QStringLiteral("TuningCap")), "--press", "3"},
                     out, err),
        0);
    EXPECT_EQ(err, QString());
    EXPECT_EQ(out, BatchText(QString::fromLatin1(DefaultsMatchedLow)));

    out.clear();
    EXPECT_EQ(
        RunFormBatch(QStringLiteral("TuningCap"), {"--set", "1197=525", "--press", "3"}, out, err),
        1);
    EXPECT_EQ(out, QString());
    EXPECT_EQ(err, QStringLiteral(
                       "ERROR: High frequency can not be lower or equal to the low frequency!\n"));
}

TEST_F(TuningCapForm, EnterMovesToTheNextField)
{
    EXPECT_EQ(FocusAfterEnter(T::IdLowFrequency), m_Form->Field(T::IdHighFrequency));
}

} // namespace
