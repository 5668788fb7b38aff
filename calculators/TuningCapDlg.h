// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/VKFormView.h"

// The tuning capacitor calculator: the coil inductance that lets a variable capacitor of
// given range, with the coil's self-capacitance and the stray capacitance in parallel,
// tune across a band. Computes directly in kHz, pF and µH.
class CTuningCapDlg : public CVKFormView
{
    Q_OBJECT

public:
    // The form's actions, for Actions() and the tables that name them.
    static const CFormAction ActionTable[];
    enum EControlId
    {
        IdLowFrequency = 1198,
        IdHighFrequency = 1197,
        IdInductance = 1201,
        IdUseInductance = 1217,
        IdMatchLow = 1215,
        IdMatchHigh = 1216,
        IdCapLow = 1199,
        IdCapHigh = 1200,
        IdSelfCapacitance = 1192,
        IdStrayCapacitance = 1193,
    };

    // How the inductance is found.
    enum class EMode
    {
        GivenInductance,
        MatchLow,
        MatchHigh,
    };

    explicit CTuningCapDlg(QWidget* parent = nullptr);

    bool OnCommand(int id) override;

    EMode Mode() const;

protected:
    void BuildForm() override;
    void SetupFields() override;
    std::span<const CFieldHelp> FieldHelp() const override;
    std::span<const CFormAction> Actions() const override;

private:
    void OnUseInductance();
    bool ReadInputs();
    void OnCalculate();
    void WriteReport();

    // Inputs (kHz, pF, µH).
    double m_LowFrequency = 0.0;
    double m_HighFrequency = 0.0;
    double m_CapLow = 0.0;
    double m_CapHigh = 0.0;
    double m_SelfCapacitance = 0.0;
    double m_StrayCapacitance = 0.0;
    double m_Inductance = 0.0;

    // Results (kHz, pF, µH, percent).
    double m_CapMin = 0.0;
    double m_CapMax = 0.0;
    double m_RatioSquared = 0.0;
    double m_LowestResonance = 0.0;
    double m_HighestResonance = 0.0;
    double m_CapAtLow = 0.0;
    double m_CapAtHigh = 0.0;
    double m_Rotation = 0.0;
    EMode m_Mode = EMode::MatchLow;
};
