// SPDX-License-Identifier: GPL-3.0-or-later
// The air-core receiver's diode picker: a detector diode's published model into both laws.
#include "calculators/MutualInductanceDlg.h"

#include "calculators/MutualInductanceReports.h"
#include "controls/VKComboBox.h"
#include "parts/PartsLibrary.h"

const CPartPickerRow CMutualInductanceDlg::PickerTable[] = {
    {IdDiodePart,
     "diode",
     "Diode",
     EPartTable::Diode,
     {IdSatCurrent, IdIdeality, IdRevSatCurrent, IdRevN, IdJunctionCap, IdJunctionVoltage,
      IdTurnOnVoltage, IdCapQuotient},
     FillHandler<&CMutualInductanceDlg::FillDiode>},
    {IdPrimaryWirePart,
     "primary-wire",
     "Wire",
     EPartTable::Wire,
     {IdPrimaryConductorDiameter},
     FillHandler<&CMutualInductanceDlg::FillPrimaryWire>},
    {IdSecondaryWirePart,
     "secondary-wire",
     "Wire",
     EPartTable::Wire,
     {IdSecondaryConductorDiameter},
     FillHandler<&CMutualInductanceDlg::FillSecondaryWire>},
};

std::span<const CPartPickerRow> CMutualInductanceDlg::PartPickers() const
{
    return PickerTable;
}

bool CMutualInductanceDlg::FillPrimaryWire(const std::string& name)
{
    return FillWire(IdPrimaryWirePart, IdPrimaryConductorDiameter, name);
}

bool CMutualInductanceDlg::FillSecondaryWire(const std::string& name)
{
    return FillWire(IdSecondaryWirePart, IdSecondaryConductorDiameter, name);
}

// The coils take the bare conductor; their pitch is their length over their turns.
bool CMutualInductanceDlg::FillWire(int picker, int field, const std::string& name)
{
    const std::optional<CWirePart> wire = PartsLibrary().Find<CWirePart>(name);
    if (!wire)
        return false;
    ShowFieldValue(field, wire->m_BareDiameter);
    Picker(picker)->setToolTip(QString::fromStdString(wire->m_Source));
    return true;
}

// The diode equation both ways with the model's Is and n; its zero-bias junction capacitance,
// junction potential and grading coefficient where the model gives them. What the form has no
// field for is named in the picker's tip.
bool CMutualInductanceDlg::FillDiode(const std::string& name)
{
    const std::optional<CDiodePart> diode = PartsLibrary().Find<CDiodePart>(name);
    if (!diode)
        return false;
    SetOption(IdForwardDiode, true);
    SetOption(IdReverseDiode, true);
    // The diode laws take their saturation currents in uA.
    ShowFieldValue(IdSatCurrent, diode->m_Is / receiver::Micro);
    ShowFieldValue(IdIdeality, diode->m_N);
    ShowFieldValue(IdRevSatCurrent, diode->m_Is / receiver::Micro);
    ShowFieldValue(IdRevN, diode->m_N);
    if (diode->m_Cj0)
    {
        ShowFieldValue(IdJunctionCap, *diode->m_Cj0);
        ShowFieldValue(IdJunctionVoltage, 0.0);
    }
    if (diode->m_Vj)
        ShowFieldValue(IdTurnOnVoltage, *diode->m_Vj);
    // The junction law's quotient m is the reciprocal of the grading coefficient:
    // C = Cj0 (1 - V/Vj)^(-1/m).
    if (diode->m_M && *diode->m_M > 0.0)
        ShowFieldValue(IdCapQuotient, 1.0 / *diode->m_M);
    QStringList unused;
    if (diode->m_Rs)
        unused << QStringLiteral("Rs %1 ohm").arg(*diode->m_Rs);
    if (diode->m_Bv)
        unused << QStringLiteral("BV %1 V").arg(*diode->m_Bv);
    QString tip = QString::fromStdString(diode->m_Type);
    if (!unused.isEmpty())
        tip += QStringLiteral("; not used here: ") + unused.join(QStringLiteral(", "));
    Picker(IdDiodePart)
        ->setToolTip(tip + QLatin1Char('\n') + QString::fromStdString(diode->m_Source));
    return true;
}
