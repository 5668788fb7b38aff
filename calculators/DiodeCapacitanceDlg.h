// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/VKFormView.h"
#include "models/Diode.h"

class QGridLayout;

// The diode capacitance calculator: from two bench measurements of a detector diode (a sine
// source driving the diode in series with a load resistor, read by an oscilloscope, the
// diode biased through a DC source), its junction capacitance, built-in voltage, diffusion
// capacitance and transit time.
class DiodeCapacitanceDlg : public CVKFormView
{
    Q_OBJECT

public:
    // The form's actions, for Actions() and the tables that name them.
    static const CFormAction ActionTable[];
    enum EControlId
    {
        IdSourceVoltage = 1200,
        IdFrequency = 1193,
        IdLoadResistance = 1201,
        IdScopeCap = 1203,
        IdParasiticCap = 1190,
        IdBias1 = 1188,
        IdSourceResistance1 = 1191,
        IdBias2 = 1189,
        IdSourceResistance2 = 1192,
        IdLoadVoltage1 = 1197,
        IdLoadVoltage2 = 1198,
        IdPhase1 = 1199,
        IdPhase2 = 1205,
        IdQuotient = 1206,
        IdBuiltInVoltage = 1207,
        IdJunctionCap = 1208,
        IdJunctionCapVoltage = 1209,
        IdCalcJunction = IdMainAction,
        IdCalcDiffusion = 4,
    };

    explicit DiodeCapacitanceDlg(QWidget* parent = nullptr);

protected:
    void BuildForm() override;
    void SetupFields() override;
    std::span<const CFieldHelp> FieldHelp() const override;
    std::span<const CFormAction> Actions() const override;

private:
    // One measured bias point.
    struct CBiasPoint
    {
        double m_Bias = 0.0;             // V
        double m_SourceResistance = 0.0; // ohm, of the DC source
        double m_LoadVoltage = 0.0;      // V peak-to-peak
        double m_Phase = 0.0;            // radians
        // Results.
        double m_Measured = 0.0;    // F
        double m_Junction = 0.0;    // F
        double m_Diffusion = 0.0;   // F
        double m_TransitTime = 0.0; // s
    };

    void PlaceField(QGridLayout* grid, const CFieldRow& row, int line, int block);
    bool ReadInputs();
    // The scope reading at one bias point, with the settings both points share.
    CScopeMeasurement Measurement(const CBiasPoint& point) const;
    // False, with a message, when a point's measured capacitance is not finite.
    bool CheckMeasured();
    void OnCalcJunction();
    void OnCalcDiffusion();
    void BeginPointsTable(const QString& title, std::vector<CReportColumn> columns);
    void AppendValueLine(const QString& title, const QString& label, const CReportColumn& column,
                         double value);

    CDiode m_Diode;

    // Inputs, SI after reading.
    double m_SourceVoltage = 0.0;  // V peak-to-peak
    double m_Frequency = 0.0;      // Hz
    double m_LoadResistance = 0.0; // ohm
    double m_ScopeCap = 0.0;       // F
    double m_ParasiticCap = 0.0;   // F
    CBiasPoint m_Point1;
    CBiasPoint m_Point2;
    double m_Quotient = 0.0;       // capacitance quotient m
    double m_BuiltInVoltage = 0.0; // V
    double m_JunctionCap = 0.0;    // F
    double m_RefVoltage = 0.0;     // V, where m_JunctionCap was measured

    // Result of the junction calculation.
    double m_FittedBuiltInVoltage = 0.0; // V
};
