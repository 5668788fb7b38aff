// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/VKFormView.h"
#include "models/Monopole.h"
#include "models/TransmissionLine.h"

class QLabel;

// The monopole antenna calculator: a two-element wire aerial over a ground rod, an optional
// feed line, a distant station and a load at the receiver end; one analysis at the entered
// frequency, or sweeps over the medium-wave band.
class CMonopoleDlg : public CVKFormView
{
    Q_OBJECT

public:
    // The form's actions, for Actions() and the tables that name them.
    static const CFormAction ActionTable[];
    // Where the aerial model is poor.
    static const CFormRule RuleTable[];
    enum EControlId
    {
        IdLength1 = 1188,
        IdAngle1 = 1198,
        IdLength2 = 1217,
        IdAngle2 = 1218,
        IdCircular = 1194,
        IdFlat = 1195,
        IdDiameter = 1197,
        IdDepth = 1199,
        IdPermittivity = 1220,
        IdPermeability = 1200,
        IdResistivity = 1201,
        IdGroundDepth = 1189,
        IdGroundDiameter = 1192,
        IdGroundPermittivity = 1191,
        IdGroundLossFactor = 1219,
        IdGroundResistivity = 1190,
        IdLineLength = 1202,
        IdLineWireDiameter = 1213,
        IdLineElectrical = 1210,
        IdLineInductance = 1204,
        IdLineCapacitance = 1205,
        IdLineConductance = 1206,
        IdLineGeometry = 1211,
        IdLineSpacing = 1208,
        IdLinePermittivity = 1209,
        IdLinePermeability = 1207,
        IdLinePairs = 1221,
        IdFrequency = 1193,
        IdStationPower = 1203,
        IdStationDistance = 1212,
        IdStationGain = 1214,
        IdLoadResistance = 1215,
        IdLoadInductance = 1216,
        IdLoadCapacitance = 1222,
        IdDiameterLabel = 11037,
        IdResonantSweep = 4,
        IdLoadSweep = 6,
    };

    explicit CMonopoleDlg(QWidget* parent = nullptr);

    bool OnCommand(int id) override;
    void OnChoicesRestored() override;

    bool IsCircular() const { return m_Circular; }
    bool IsElectrical() const { return m_Electrical; }
    QString DiameterLabel() const;

    // The sweep over the medium-wave band, in kHz.
    static constexpr int SweepStart = 520;
    static constexpr int SweepEnd = 1700;
    static constexpr int SweepStep = 10;

protected:
    void BuildForm() override;
    void SetupFields() override;
    std::span<const CFieldHelp> FieldHelp() const override;
    std::span<const CFormAction> Actions() const override;
    std::span<const CFormRule> Rules() const override;

private:
    bool LongAerialHint(const CReportTable& table, CTableHint& hint) const;
    void OnConductorShape(int id);
    void OnLineMode(int id);
    bool ReadInputs();
    // ReadInputs, and for a flat conductor the sizes the aerial divides by.
    bool ReadAnalysisInputs();
    bool ReadStationAndLoad();
    bool ReadAerialAndGround();
    bool ReadLine();
    void ConnectFeed();
    // False, with a message, when the impedance at the receiver end is not finite.
    bool CheckReceiverEnd();
    void RefuseAerial();
    void OnAnalyse();
    void OnSweep(bool resonateLoad);
    void WriteFullReport();
    std::vector<CReportCell> SweepCells() const;

    CMonopole m_Monopole;
    CTransmissionLine m_Line;
    bool m_Circular = true;
    bool m_Electrical = true;
    QLabel* m_DiameterLabel = nullptr;
};
