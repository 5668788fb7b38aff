// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/VKFormView.h"
#include "models/Complex.h"
#include "models/Componant.h"
#include "models/Equations.h"

// The impedance calculator: a resistor, an inductor and a capacitor, each with its loss
// resistance, in series or in parallel at one frequency; the impedance of each part and of
// the whole with its resonant frequency, or the inductance and capacitance that resonate
// with the given capacitor or inductor.
class CImpedanceDlg : public CVKFormView
{
    Q_OBJECT

public:
    // The form's actions, for Actions() and the tables that name them.
    static const CFormAction ActionTable[];
    enum EControlId
    {
        IdResistance = 1188,
        IdInductorResistance = 1189,
        IdInductance = 1190,
        IdCapacitorResistance = 1191,
        IdCapacitance = 1192,
        IdFrequency = 1193,
        IdSeries = 1194,
        IdParallel = 1195,
        IdCalcImpedance = IdMainAction,
        IdCalcResonance = 4,
    };

    // Values of the connection.
    static constexpr int ConnectionParallel = 1;
    static constexpr int ConnectionSeries = 2;

    explicit CImpedanceDlg(QWidget* parent = nullptr);

    bool OnCommand(int id) override;

    int Connection() const { return m_Connection; }

protected:
    void BuildForm() override;
    void SetupFields() override;
    std::span<const CFieldHelp> FieldHelp() const override;
    std::span<const CFormAction> Actions() const override;

private:
    bool ReadInputs();
    void OnCalcImpedance();
    void OnCalcResonance();
    void ParallelTotal();

    CComponant m_Resistor;
    CComponant m_Inductor;
    CComponant m_Capacitor;
    double m_Frequency = 0.0; // Hz
    int m_Connection = ConnectionSeries;
    CImpedance m_Total;               // ohm
    double m_ResonantFrequency = 0.0; // Hz
    CComponant m_RequiredInductance;  // henry in m_Value
    CComponant m_RequiredCapacitance; // farad in m_Value
    CComponant m_Equivalent;          // the total as one component at the frequency
    CEquations m_Equations;
};
