// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/VKFormView.h"
#include "models/Complex.h"
#include "models/ReceiverCircuit.h"

#include <QString>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

// The air-core crystal radio calculator: a source, two coupled air-core coils (optionally
// litz wire and a common ferrite rod), a detector diode and an audio load, swept over coil
// distances and over the tap turns of the secondary.
class CMutualInductanceDlg : public CVKFormView
{
    Q_OBJECT

public:
    // The form's actions, for Actions() and the tables that name them.
    static const CFormAction ActionTable[];
    // Where the form's models are poor.
    static const CFormRule RuleTable[];
    // The parts that fill the diode fields.
    static const CPartPickerRow PickerTable[];
    enum EControlId
    {
        // Fields: source.
        IdSourceVoltage = 1207,
        IdSourceResistance = 1188,
        IdSourceCapacitance = 1226,
        IdSourceInductance = 1227,
        // Primary coil.
        IdPrimaryInductance = 1225,
        IdPrimaryDiameter = 1231,
        IdPrimaryLength = 1232,
        IdPrimaryTurns = 1216,
        IdPrimaryConductorDiameter = 1233,
        IdPrimaryResistivity = 1234,
        IdPrimaryPermeability = 1236,
        IdPrimaryPermittivity = 1237,
        IdPrimaryDissipation = 1239,
        IdPrimaryWall = 1221,
        IdUnusedTurns = 1223,
        IdPrimaryStrandDiameter = 1208,
        IdPrimaryStrandCount = 1212,
        IdPrimaryProximity = 1215,
        // Secondary coil.
        IdSecondaryInductance = 1240,
        IdSecondaryDiameter = 1244,
        IdSecondaryLength = 1245,
        IdSecondaryTurns = 1218,
        IdSecondaryConductorDiameter = 1241,
        IdSecondaryResistivity = 1242,
        IdSecondaryPermeability = 1238,
        IdSecondaryPermittivity = 1243,
        IdSecondaryDissipation = 1249,
        IdSecondaryWall = 1222,
        IdSecondaryStrandDiameter = 1206,
        IdSecondaryStrandCount = 1211,
        IdSecondaryProximity = 1214,
        // Diode: the junction, the forward laws, the reverse laws.
        IdTurnOnVoltage = 1250,
        IdJunctionCap = 1255,
        IdJunctionVoltage = 1256,
        IdParasiticCap = 1257,
        IdTransitTime = 1268,
        IdIdeality = 1248,
        IdCapQuotient = 1270,
        IdNegCapQuotient = 1293,
        IdSatCurrent = 1247,
        IdQuadA = 1258,
        IdQuadB = 1259,
        IdQuadC = 1260,
        IdPowerA = 1263,
        IdPowerN = 1267,
        IdRevQuadA = 1264,
        IdRevQuadB = 1265,
        IdRevQuadC = 1266,
        IdRevSatCurrent = 1261,
        IdRevN = 1262,
        IdRevResistance = 1254,
        // Load.
        IdAudioResistor = 1251,
        IdAudioCapacitor = 1252,
        IdEarphoneCapacitance = 1253,
        IdOtherLosses = 1273,
        IdConstantLoss = 1275,
        // Core.
        IdCoreDiameter = 1288,
        IdCoreLength = 1289,
        IdCoreLossFactor = 1285,
        IdCoreLossFrequency = 1286,
        IdCoreInitialPermeability = 1224,
        IdCoreGapExponent = 1283,
        IdCoreLengthExponent = 1284,
        IdPrimaryCoreLoss = 1246,
        IdSecondaryCoreLoss = 1279,
        // Working mode.
        IdFrequency = 1217,
        IdStartDistance = 1228,
        IdEndDistance = 1229,
        IdStep = 1230,
        IdTapLoop = 1278,
        IdSelectivitySpan = 1294,
        IdDiodePart = 1295,
        IdPrimaryWirePart = 1296,
        IdSecondaryWirePart = 1297,
        // Actions.
        IdAnalyseNoLoad = 3,
        IdSplEachLoop = 4,
        IdMaxSplOverDistance = 6,
        IdSplAtLoopOverDistance = 7,
        IdSelectivity = 8,
        IdSelectivityOverDistance = 9,
        // Check boxes.
        IdResonant = 1276,
        IdPrimaryLitz = 1277,
        IdSecondaryLitz = 1274,
        IdHasCore = 1280,
        // Forward law radio buttons.
        IdForwardDiode = 1194,
        IdForwardQuadratic = 1195,
        IdForwardPower = 1210,
        // Reverse law radio buttons.
        IdReverseDiode = 1197,
        IdReverseQuadratic = 1198,
        IdReverseResistance = 1199,
    };

    // Current-law selectors, as the receiver engine takes them.
    enum ELaw
    {
        LawDiodeEquation = 0,
        LawQuadratic = 1,
        LawConstantResistance = 2, // reverse only
        LawPower = 3,              // forward only
    };

    explicit CMutualInductanceDlg(QWidget* parent = nullptr);

    bool OnCommand(int id) override;

    // Reads and checks every field the laws in force use, converting to SI units, and loads
    // the engine's coils and core. False when a field refused its value (it has said why).
    bool ReadInputs();

    // The four actions, on the values of the last successful ReadInputs.
    void NoLoadSweep();
    // The set tuned at the start distance and held, over the working frequency +- the span; and
    // its bandwidth and rejection at each distance of the range.
    void SelectivitySweep();
    void SelectivityOverDistance();
    void TapSweepAtStart();
    void BestTapSweep();
    void GivenTapSweep();

    // The distances (metres) that the sweeps visit: from the start, one step at a time,
    // up to but not including the end; the start always.
    static std::vector<double> Distances(double start, double end, double step);

    // The report lines of a loop row and of a distance row, built from the engine's present
    // results (distance in metres).
    QString LoopRow(int turn) const;
    QString DistanceRow(double distance, int turn) const;

    // The set as the selectivity holds it: tuned at `distance` (m) with the detector at the tap
    // loop. None when an input is refused (with its message) or the tap cannot be reported.
    std::optional<CHeldTuning> HeldTuning(double distance);
    int ForwardLaw() const { return m_ForwardLaw; }
    int ReverseLaw() const { return m_ReverseLaw; }
    CReceiverCircuit& Circuit() { return m_Circuit; }
    const CReceiverCircuit& Circuit() const { return m_Circuit; }

protected:
    void BuildForm() override;
    void SetupFields() override;
    std::span<const CFieldHelp> FieldHelp() const override;
    std::span<const CFormAction> Actions() const override;
    std::span<const CFormRule> Rules() const override;
    std::span<const CPartPickerRow> PartPickers() const override;

private:
    bool FillDiode(const std::string& name);
    bool FillPrimaryWire(const std::string& name);
    bool FillSecondaryWire(const std::string& name);
    bool FillWire(int picker, int field, const std::string& name);
    bool DetectorPowerHint(const CReportTable& table, CTableHint& hint) const;
    bool CoilDiametersHint(const CReportTable& table, CTableHint& hint) const;
    // Wait cursor, ReadInputs, then the action of button `id` when the inputs are sound.
    void RunAction(int id);
    bool SetForwardLaw(int id, int law);
    bool SetReverseLaw(int id, int law);

    bool ReadSource();
    bool ReadCoil(CCoil& coil, bool primary);
    bool ReadCore();
    bool ReadDiode();

    // The fields that the detector sweeps divide by; false when one is refused.
    bool CheckDetectorInputs();
    // With a core, the rod's fields that its calculation divides by.
    bool CheckCoreInputs();
    // Why a sweep stops: the message, and the field it is about (0 for none).
    struct CRefusal
    {
        int m_Field = 0;
        std::string m_Text; // the whole message, or the field's reason after its caption
    };
    // Says so, on the field when there is one; false.
    bool Refuse(const CRefusal& refusal);

    // What one distance of a sweep works on: a receiver and a source impedance of its own.
    struct CDistanceRun
    {
        CReceiverCircuit m_Circuit;
        CImpedance m_Source;
    };
    // What one distance gives: its rows, and why the sweep stops there, if it does.
    struct CDistanceOutcome
    {
        std::vector<std::vector<CReportCell>> m_Rows;
        std::optional<CRefusal> m_Refusal;
    };
    // Each distance (metres) of the fields' range is a step of the long action under way:
    // `evaluate(run, distance, stop)` works it out on a copy of the present receiver, side by
    // side with the others, and must not touch the form's own models. The rows go into the
    // box in order, up to the first refusal, which is shown. False when it stopped.
    template <typename Evaluate> bool ForEachDistance(Evaluate evaluate);
    // A sweep of one table over the distances, each row from `evaluate` as ForEachDistance's.
    template <typename Evaluate>
    void SweepDistances(int action, CReportTable table, const std::vector<int>& tabStops,
                        Evaluate evaluate);
    int DistanceCount() const;
    // Analyses the receiver without load at this distance; the refusal when a coil there
    // cannot be reported: it lies beyond what the core's law covers, or its self
    // capacitance is not positive.
    std::optional<CRefusal> SetUpDistance(CDistanceRun& run, double distance) const;
    void SetUpDetector(CReceiverCircuit& circuit) const;
    // Runs the taps 1, 2, ... of the secondary at the present distance while `going(tap)`:
    // `keep` sees each tap after its analysis and returns false to end the sweep. The refusal
    // when the detector has nothing to work on.
    template <typename Keep, typename Going>
    static std::optional<CRefusal> SweepTaps(CReceiverCircuit& circuit, double distance, Keep keep,
                                             Going going);
    // One distance of a tap sweep: the receiver set up there with its detector, then its taps
    // while `keep(tap, outcome)` returns true and the sweep is not stopped.
    template <typename Keep>
    CDistanceOutcome TapsAtDistance(CDistanceRun& run, double distance,
                                    const std::atomic<bool>& stop, Keep keep) const;
    // One distance set up and swept up to the tap loop, where the receiver is left for holding
    // its tuning; the refusal when a tap on the way cannot be reported.
    std::optional<CRefusal> TuneAtTap(CDistanceRun& run, double distance,
                                      const std::atomic<bool>& stop) const;
    // The tap loop and the working frequency that the selectivity needs; false when refused.
    bool CheckSelectivityInputs();
    // Whether the tap's results can be reported.
    enum class EDetectorResult
    {
        Finite,
        NoAudio,   // no audio voltage: the SPL is its logarithm
        NotFinite, // a result that a row shows is not finite
    };
    static EDetectorResult DetectorResult(const CReceiverCircuit& circuit);
    // Why a tap's results cannot be reported.
    static CRefusal RefuseDetector(EDetectorResult result, double distance, int turn);
    // The cells of the report rows, from a receiver's present results (distance in metres);
    // the loop rows from the form's own.
    static std::vector<CReportCell> NoLoadCells(const CReceiverCircuit& circuit, double distance);
    std::vector<CReportCell> LoopZeroCells() const;
    std::vector<CReportCell> LoopCells(int turn) const;
    static std::vector<CReportCell> DistanceCells(const CReceiverCircuit& circuit, double distance,
                                                  int turn);
    static std::vector<CReportCell> WithDetectorCells(const CReceiverCircuit& circuit,
                                                      std::vector<CReportCell> cells);

    CImpedance m_SourceImpedance;
    CReceiverCircuit m_Circuit;

    // Source.
    double m_SourceVoltage = 0.0;     // V (peak to peak)
    double m_SourceResistance = 0.0;  // ohm
    double m_SourceCapacitance = 0.0; // F
    double m_SourceInductance = 0.0;  // H

    // Diode.
    int m_ForwardLaw = LawDiodeEquation;
    int m_ReverseLaw = LawQuadratic;
    double m_TurnOnVoltage = 0.0;   // V
    double m_JunctionCap = 0.0;     // F
    double m_JunctionVoltage = 0.0; // V at which the junction capacitance holds
    double m_ParasiticCap = 0.0;    // F
    double m_TransitTime = 0.0;     // ns
    double m_Ideality = 0.0;
    double m_CapQuotient = 0.0;
    double m_NegCapQuotient = 0.0;
    double m_SatCurrent = 0.0; // µA
    double m_QuadA = 0.0;      // forward quadratic, or power a and n (a, b)
    double m_QuadB = 0.0;
    double m_QuadC = 0.0;
    double m_RevSatCurrent = 0.0; // µA
    double m_RevN = 0.0;
    double m_RevQuadA = 0.0;
    double m_RevQuadB = 0.0;
    double m_RevQuadC = 0.0;
    double m_RevResistance = 0.0; // ohm

    // Load.
    double m_AudioResistor = 0.0;       // ohm
    double m_AudioCapacitor = 0.0;      // F
    double m_EarphoneCapacitance = 0.0; // F
    double m_OtherLosses = 0.0;         // % of Q
    double m_ConstantLoss = 0.0;        // ohm

    // Working mode.
    double m_Frequency = 0.0;     // Hz
    double m_StartDistance = 0.0; // m
    double m_EndDistance = 0.0;   // m
    double m_Step = 0.0;          // m
    int m_TapLoop = 0;
    double m_SelectivitySpan = 0.0; // Hz either side of the working frequency

    bool m_Resonant = false;
    bool m_HasCore = false;
};
