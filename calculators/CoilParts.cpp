// SPDX-License-Identifier: GPL-3.0-or-later
// The coil form's part pickers: a wire, a litz construction, a ferrite material and a rod.
#include "calculators/CoilDlg.h"

#include "controls/VKComboBox.h"
#include "controls/VKEdit.h"
#include "parts/Litz.h"
#include "parts/PartsLibrary.h"

#include <cmath>

const CPartPickerRow CCoilDlg::PickerTable[] = {
    {IdWirePart,
     "wire",
     "Wire",
     EPartTable::Wire,
     {IdConductorDiameter, IdWireDiameter},
     FillHandler<&CCoilDlg::FillWire>},
    {IdLitzPart,
     "litz",
     "Litz",
     EPartTable::Litz,
     {IdStrandDiameter, IdStrandCount, IdLitzFactor, IdWireDiameter},
     FillHandler<&CCoilDlg::FillLitz>},
    {IdFerritePart,
     "ferrite",
     "Ferrite",
     EPartTable::FerriteMaterial,
     {IdInitialPermeabilityValue, IdLossFactor, IdLossFactorFrequency},
     FillHandler<&CCoilDlg::FillFerrite>},
    {IdRodPart,
     "rod",
     "Rod",
     EPartTable::FerriteRod,
     {IdRodDiameter, IdRodLength},
     FillHandler<&CCoilDlg::FillRod>},
};

std::span<const CPartPickerRow> CCoilDlg::PartPickers() const
{
    return PickerTable;
}

void CCoilDlg::ShowWireDiameter(double overall)
{
    if (Field(IdPitch)->GetFixedText() == Field(IdWireDiameter)->GetFixedText())
        ShowFieldValue(IdPitch, overall);
    ShowFieldValue(IdWireDiameter, overall);
}

bool CCoilDlg::FillWire(const std::string& name)
{
    const std::optional<CWirePart> wire = PartsLibrary().Find<CWirePart>(name);
    if (!wire)
        return false;
    SetOption(IdLitz, false);
    ShowFieldValue(IdConductorDiameter, wire->m_BareDiameter);
    // A bare wire is as thick as its conductor.
    ShowWireDiameter(wire->m_OverallDiameter.value_or(wire->m_BareDiameter));
    Picker(IdWirePart)->setToolTip(QString::fromStdString(wire->m_Source));
    return true;
}

bool CCoilDlg::FillLitz(const std::string& name)
{
    const std::optional<CLitzPart> litz = PartsLibrary().Find<CLitzPart>(name);
    if (!litz)
        return false;
    SetOption(IdLitz, true);
    ShowFieldValue(IdStrandDiameter, litz->m_StrandDiameter);
    Field(IdStrandCount)->SetFixedText(QString::number(litz->m_StrandCount));
    ShowFieldValue(IdLitzFactor, LitzResistanceFactorAt1MHz(*litz));
    if (litz->m_OverallDiameter)
        ShowWireDiameter(*litz->m_OverallDiameter);
    Picker(IdLitzPart)
        ->setToolTip(
            QStringLiteral(
                "The AC resistance factor is worked out from the strands (see the guide).\n") +
            QString::fromStdString(litz->m_Source));
    return true;
}

bool CCoilDlg::FillFerrite(const std::string& name)
{
    const std::optional<CFerritePart> ferrite = PartsLibrary().Find<CFerritePart>(name);
    if (!ferrite)
        return false;
    SetOption(IdHasCore, true);
    SetOption(IdInitialPermeability, true);
    ShowFieldValue(IdInitialPermeabilityValue, ferrite->m_InitialPermeability);
    if (ferrite->m_LossFactor && ferrite->m_LossFrequency)
    {
        // The field takes the relative loss factor in units of 1e-6.
        ShowFieldValue(IdLossFactor, *ferrite->m_LossFactor * 1e6);
        ShowFieldValue(IdLossFactorFrequency, *ferrite->m_LossFrequency);
    }
    Picker(IdFerritePart)
        ->setToolTip(QString::fromStdString(ferrite->m_Maker + " " + ferrite->m_Family + "\n" +
                                            ferrite->m_Source));
    return true;
}

bool CCoilDlg::FillRod(const std::string& name)
{
    const std::optional<CRodPart> rod = PartsLibrary().Find<CRodPart>(name);
    if (!rod)
        return false;
    SetOption(IdHasCore, true);
    ShowFieldValue(IdRodDiameter, rod->m_Diameter);
    ShowFieldValue(IdRodLength, rod->m_Length);
    // The rod's material, where the parts know it.
    if (!rod->m_Material.empty())
        (void)FillFerrite(rod->m_Material);
    Picker(IdRodPart)->setToolTip(
        QString::fromStdString("Material " + rod->m_Material + "\n" + rod->m_Source));
    return true;
}
