// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/VKFormView.h"
#include "models/Coil.h"

// The coil calculator: a single-layer coil of solid or litz wire on a former, with an
// optional ferrite rod, analysed at one working frequency. With a given inductance it sweeps
// from the start to the end inductance; with "Enter l/d ratio and pitch" it can also sweep
// the length-to-diameter ratio. One report row per analysed coil.
class CCoilDlg : public CVKFormView
{
    Q_OBJECT

public:
    // The form's actions, for Actions() and the tables that name them.
    static const CFormAction ActionTable[];
    // Where the coil model is poor.
    static const CFormRule RuleTable[];
    // The parts that fill the wire, litz and core fields.
    static const CPartPickerRow PickerTable[];
    enum EControlId
    {
        IdStartInductance = 1202,
        IdEndInductance = 1216,
        IdConductorDiameter = 1201,
        IdWireDiameter = 1209,
        IdResistivity = 1215,
        IdStrandDiameter = 1206,
        IdStrandCount = 1210,
        IdLitzFactor = 1214,
        IdPitch = 1198,
        IdDiameter = 1211,
        IdTurns = 1212,
        IdLength = 1219,
        IdLengthToDiameter = 1213,
        IdExtraCapacitance = 1218,
        IdWallThickness = 1221,
        IdFormerPermeability = 1208,
        IdFormerPermittivity = 1205,
        IdDissipationFactor = 1220,
        IdInitialPermeabilityValue = 1222,
        IdApparentPermeabilityValue = 1228,
        IdGapExponent = 1230,
        IdLengthExponent = 1231,
        IdLossFactor = 1224,
        IdLossFactorFrequency = 1225,
        IdRodDiameter = 1226,
        IdRodLength = 1227,
        IdFrequency = 1217,
        IdOffset = 1229,

        IdLitz = 1273,
        IdHasCore = 1276,
        IdUseGivenInductance = 1203,
        IdCalculateInductance = 1204,
        IdDiameterAndPitch = 1194,
        IdRatioAndPitch = 1195,
        IdEnterLength = 1197,
        IdEnterPitch = 1199,
        IdEnterRatio = 1200,
        IdInitialPermeability = 1275,
        IdApparentPermeability = 1277,
        // Part pickers.
        IdWirePart = 1290,
        IdLitzPart = 1291,
        IdFerritePart = 1292,
        IdRodPart = 1293,

        IdAnalyse = IdMainAction,
        IdAnalyseRatioRange = 4,
    };

    // The inductance sweep steps by 50 uH less one unit in the last place of 5e-5.
    static constexpr double InductanceStep = 4.9999999999999996e-5;
    // The end inductance may lie at most this many steps above the start, so that a sweep
    // (which also analyses the end inductance itself) stays under 10,000 rows.
    static constexpr int MaxSweepSteps = 9997;
    // A sweep stops here rather than exhaust the memory with rows.
    static constexpr int MaxSweepRows = 100000;

    explicit CCoilDlg(QWidget* parent = nullptr);

    bool OnCommand(int id) override;

    const CCoil& Coil() const { return m_Coil; }
    bool InductanceGiven() const { return m_InductanceGiven; }
    bool DiameterInput() const { return m_DiameterInput; }
    bool LengthInput() const { return m_LengthInput; }
    bool RatioInput() const { return m_RatioInput; }
    bool PitchInput() const { return m_PitchInput; }

    // Reads and checks the fields the chosen mode needs into the coil model.
    bool ReadInputs();

protected:
    void BuildForm() override;
    void SetupFields() override;
    std::span<const CFieldHelp> FieldHelp() const override;
    std::span<const CFormAction> Actions() const override;
    std::span<const CFormRule> Rules() const override;
    std::span<const CPartPickerRow> PartPickers() const override;

private:
    bool FillWire(const std::string& name);
    bool FillLitz(const std::string& name);
    bool FillFerrite(const std::string& name);
    bool FillRod(const std::string& name);
    // A close-wound coil (its pitch the wire's overall diameter) stays close-wound.
    void ShowWireDiameter(double overall);
    bool SelfCapacitanceHint(const CReportTable& table, CTableHint& hint) const;
    bool HighQHint(const CReportTable& table, CTableHint& hint) const;
    void SetupRows(int first, int last);
    void OnUseGivenInductance();
    void OnDiameterAndPitch();
    void OnRatioAndPitch();
    void OnCalculateInductance();
    // "Enter length", "Enter pitch" and "Enter l/d ratio", in the calculated-inductance mode.
    void OnCalculatedChoice(int choice);
    void OnInitialPermeability();
    void OnApparentPermeability();
    // The inputs and the enabled fields of an input choice.
    void SetChoice(int choice);

    bool ReadGeometry();
    bool ReadCore();
    bool AnalyseOnce();
    bool CheckEndInductance();
    bool CheckSweepRange();
    bool CheckRow();
    void BeginReport(const QString& title);
    std::vector<CReportCell> Row() const;
    void OnAnalyse();
    void OnAnalyseRatioRange();

    CCoil m_Coil;
    bool m_InductanceGiven = true;
    bool m_DiameterInput = true;
    bool m_LengthInput = false;
    bool m_RatioInput = false;
    bool m_PitchInput = true;
    int m_Choice = IdDiameterAndPitch; // the input choice whose handler ran last
    double m_Offset = 0.0;             // winding offset on the rod, m
    double m_DiameterField = 0.0;      // the Diameter field as read, mm
};
