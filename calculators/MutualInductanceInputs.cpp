// SPDX-License-Identifier: GPL-3.0-or-later
// The air-core receiver form's inputs: the fields bound to the coils, the core and the
// detector, and the checks of what the calculations divide by.
#include "calculators/MutualInductanceDlg.h"

#include "calculators/MutualInductanceReports.h"
#include "controls/VKEdit.h"
#include "database/Error.h"

#include <cmath>

namespace
{

using Dlg = CMutualInductanceDlg;
using namespace receiver;

const char* const NotZero = "must not be zero for this calculation";

// The rod's permeability and coupling divide by its diameter, length and initial permeability,
// its loss by the frequency of its loss factor.
const CFieldCheck CoreChecks[] = {
    {Dlg::IdCoreDiameter, EFieldCondition::NotZero, "must not be zero for a core"},
    {Dlg::IdCoreLength, EFieldCondition::NotZero, "must not be zero for a core"},
    {Dlg::IdCoreInitialPermeability, EFieldCondition::NotZero, "must not be zero for a core"},
    {Dlg::IdCoreLossFrequency, EFieldCondition::NotZero, "must not be zero for a core"},
};

// The audio output divides by the earphone's capacitance.
const CFieldCheck DetectorChecks[] = {
    {Dlg::IdEarphoneCapacitance, EFieldCondition::NotZero, NotZero},
};

// The air-core coupling counts whole turns: a primary of less than one has none.
const CFieldCheck AirCoreChecks[] = {
    {Dlg::IdPrimaryTurns, EFieldCondition::AtLeast, "must be at least 1 for this calculation", 0,
     1.0},
};

// The diode equation divides by n Vt; the power law by its a.
const CFieldCheck DiodeEquationChecks[] = {
    {Dlg::IdIdeality, EFieldCondition::NotZero, NotZero},
};
const CFieldCheck PowerLawChecks[] = {
    {Dlg::IdPowerA, EFieldCondition::NotZero, NotZero},
};

// Inductance, diameter, length, turns, conductor diameter, resistivity, former permittivity,
// dissipation factor.
const CFieldBinding<CCoil> PrimaryCoil[] = {
    {Dlg::IdPrimaryInductance, &CCoil::m_Inductance},
    {Dlg::IdPrimaryDiameter, &CCoil::m_Diameter},
    {Dlg::IdPrimaryLength, &CCoil::m_Length},
    {Dlg::IdPrimaryTurns, &CCoil::m_Turns},
    {Dlg::IdPrimaryConductorDiameter, &CCoil::m_ConductorDiameter},
    {Dlg::IdPrimaryResistivity, &CCoil::m_Resistivity},
    {Dlg::IdPrimaryPermittivity, &CCoil::m_FormerPermittivity},
    {Dlg::IdPrimaryDissipation, &CCoil::m_DissipationFactor},
};
const CFieldBinding<CCoil> SecondaryCoil[] = {
    {Dlg::IdSecondaryInductance, &CCoil::m_Inductance},
    {Dlg::IdSecondaryDiameter, &CCoil::m_Diameter},
    {Dlg::IdSecondaryLength, &CCoil::m_Length},
    {Dlg::IdSecondaryTurns, &CCoil::m_Turns},
    {Dlg::IdSecondaryConductorDiameter, &CCoil::m_ConductorDiameter},
    {Dlg::IdSecondaryResistivity, &CCoil::m_Resistivity},
    {Dlg::IdSecondaryPermittivity, &CCoil::m_FormerPermittivity},
    {Dlg::IdSecondaryDissipation, &CCoil::m_DissipationFactor},
};

// Strand diameter, number of strands and the proximity effect reduction, which the reading
// raises to the working frequency in MHz.
const CFieldBinding<CCoil> PrimaryLitz[] = {
    {Dlg::IdPrimaryStrandDiameter, &CCoil::m_StrandDiameter},
    {Dlg::IdPrimaryStrandCount, &CCoil::m_StrandCount},
    {Dlg::IdPrimaryProximity, &CCoil::m_LitzFactor},
};
const CFieldBinding<CCoil> SecondaryLitz[] = {
    {Dlg::IdSecondaryStrandDiameter, &CCoil::m_StrandDiameter},
    {Dlg::IdSecondaryStrandCount, &CCoil::m_StrandCount},
    {Dlg::IdSecondaryProximity, &CCoil::m_LitzFactor},
};

// The rod the two coils share, read straight into what the receiver engine takes.
const CFieldBinding<CCoreParameters> CoreInputs[] = {
    {Dlg::IdCoreDiameter, &CCoreParameters::m_Diameter},
    {Dlg::IdCoreLength, &CCoreParameters::m_Length},
    {Dlg::IdCoreGapExponent, &CCoreParameters::m_GapExponent},
    {Dlg::IdCoreLengthExponent, &CCoreParameters::m_LengthExponent},
    {Dlg::IdCoreInitialPermeability, &CCoreParameters::m_InitialPermeability},
    {Dlg::IdCoreLossFactor, &CCoreParameters::m_LossFactor},
    {Dlg::IdCoreLossFrequency, &CCoreParameters::m_LossFactorFrequency},
};
} // namespace

bool CMutualInductanceDlg::CheckCoreInputs()
{
    return !m_HasCore || CheckFields(CoreChecks);
}

bool CMutualInductanceDlg::ReadInputs()
{
    using D = CMutualInductanceDlg;
    static const CFieldBinding<D> LoadInputs[] = {
        {IdAudioResistor, &D::m_AudioResistor},
        {IdAudioCapacitor, &D::m_AudioCapacitor},
        {IdEarphoneCapacitance, &D::m_EarphoneCapacitance},
        {IdRevResistance, &D::m_RevResistance},
        {IdOtherLosses, &D::m_OtherLosses},
        {IdConstantLoss, &D::m_ConstantLoss},
    };
    // The tap loop number, a whole number, is read after them.
    static const CFieldBinding<D> WorkingInputs[] = {
        {IdFrequency, &D::m_Frequency},
        {IdStartDistance, &D::m_StartDistance},
        {IdEndDistance, &D::m_EndDistance},
        {IdStep, &D::m_Step},
        {IdSelectivitySpan, &D::m_SelectivitySpan},
    };
    if (!ReadSource() || !ReadCoil(m_Circuit.m_Primary, true) ||
        !ReadCoil(m_Circuit.m_Secondary, false) || !ReadCore() || !ReadDiode() ||
        !ReadFields(*this, LoadInputs) || !ReadFields(*this, WorkingInputs))
        return false;
    // The given-tap action alone uses it, but a field that was refused refuses the action:
    // a report never stands beside an error about its own inputs.
    m_TapLoop = 0;
    return Field(IdTapLoop)->ValidateInput(m_TapLoop);
}

bool CMutualInductanceDlg::ReadSource()
{
    using D = CMutualInductanceDlg;
    static const CFieldBinding<D> SourceInputs[] = {
        {IdSourceVoltage, &D::m_SourceVoltage},
        {IdSourceResistance, &D::m_SourceResistance},
        {IdSourceCapacitance, &D::m_SourceCapacitance},
        {IdSourceInductance, &D::m_SourceInductance},
    };
    return ReadFields(*this, SourceInputs);
}

// The nine coil fields and the wall thickness of one coil, in SI units into the engine's coil;
// then "Resonant" and the unused turns of the primary, and the litz wire.
bool CMutualInductanceDlg::ReadCoil(CCoil& coil, bool primary)
{
    if (!ReadFields(coil, primary ? PrimaryCoil : SecondaryCoil))
        return false;
    coil.m_WirePermeability = 1.0;
    coil.m_CExtra = 0.0;
    coil.m_CoreCoilDiameter = coil.m_Diameter;
    // No range: any text reads.
    (void)ReadField(primary ? IdPrimaryWall : IdSecondaryWall, coil.m_WallThickness,
                    EFieldRead::Always);
    if (primary)
    {
        m_Resonant = IsChecked(IdResonant);
        (void)ReadField(IdUnusedTurns, m_Circuit.m_UnusedTurns, EFieldRead::IfValid);
    }

    coil.m_IsLitz = false;
    if (!IsChecked(primary ? IdPrimaryLitz : IdSecondaryLitz))
        return true;
    // The factor is quoted at 1 MHz: it goes to the working frequency.
    double frequency = 0.0;
    if (!ReadFields(coil, primary ? PrimaryLitz : SecondaryLitz) ||
        !ReadField(IdFrequency, frequency))
        return false;
    coil.m_IsLitz = true;
    coil.m_LitzFactor = CCoil::LitzFactor(coil.m_LitzFactor, frequency);
    return true;
}

bool CMutualInductanceDlg::ReadCore()
{
    m_HasCore = false;
    m_Circuit.m_Primary.ResetCore();
    m_Circuit.m_Secondary.ResetCore();
    if (!IsChecked(IdHasCore))
        return true;
    CCoreParameters core;
    if (!ReadFields(core, CoreInputs))
        return false;
    m_HasCore = true;
    m_Circuit.SetCore(core);
    return true;
}

bool CMutualInductanceDlg::ReadDiode()
{
    using D = CMutualInductanceDlg;
    // The negative quotient reads as 0 when empty: the fixed quotient everywhere.
    static const CFieldBinding<D> JunctionInputs[] = {
        {IdTurnOnVoltage, &D::m_TurnOnVoltage},
        {IdJunctionCap, &D::m_JunctionCap},
        {IdJunctionVoltage, &D::m_JunctionVoltage},
        {IdParasiticCap, &D::m_ParasiticCap},
        {IdTransitTime, &D::m_TransitTime},
        {IdIdeality, &D::m_Ideality},
        {IdCapQuotient, &D::m_CapQuotient},
        {IdNegCapQuotient, &D::m_NegCapQuotient, EFieldRead::Always},
    };
    static const CFieldBinding<D> ForwardDiodeInputs[] = {{IdSatCurrent, &D::m_SatCurrent}};
    static const CFieldBinding<D> ForwardPowerInputs[] = {{IdPowerA, &D::m_QuadA},
                                                          {IdPowerN, &D::m_QuadB}};
    static const CFieldBinding<D> ForwardQuadraticInputs[] = {
        {IdQuadA, &D::m_QuadA}, {IdQuadB, &D::m_QuadB}, {IdQuadC, &D::m_QuadC}};
    static const CFieldBinding<D> ReverseDiodeInputs[] = {{IdRevSatCurrent, &D::m_RevSatCurrent},
                                                          {IdRevN, &D::m_RevN}};
    static const CFieldBinding<D> ReverseQuadraticInputs[] = {
        {IdRevQuadA, &D::m_RevQuadA}, {IdRevQuadB, &D::m_RevQuadB}, {IdRevQuadC, &D::m_RevQuadC}};
    static const CFieldBinding<D> ReverseResistanceInputs[] = {
        {IdRevResistance, &D::m_RevResistance}};

    // The coefficients of the laws not chosen stay 0.
    m_JunctionCap = m_JunctionVoltage = 0.0;
    m_SatCurrent = m_QuadA = m_QuadB = m_QuadC = 0.0;
    m_RevSatCurrent = m_RevN = m_RevQuadA = m_RevQuadB = m_RevQuadC = m_RevResistance = 0.0;
    m_NegCapQuotient = 0.0;
    if (!ReadFields(*this, JunctionInputs))
        return false;

    const bool forward = m_ForwardLaw == LawDiodeEquation ? ReadFields(*this, ForwardDiodeInputs)
                         : m_ForwardLaw == LawPower       ? ReadFields(*this, ForwardPowerInputs)
                                                    : ReadFields(*this, ForwardQuadraticInputs);
    if (!forward)
        return false;
    switch (m_ReverseLaw)
    {
    case LawDiodeEquation:
        return ReadFields(*this, ReverseDiodeInputs);
    case LawQuadratic:
        return ReadFields(*this, ReverseQuadraticInputs);
    default:
        return ReadFields(*this, ReverseResistanceInputs);
    }
}

bool CMutualInductanceDlg::CheckDetectorInputs()
{
    return CheckFields(DetectorChecks) && (m_HasCore || CheckFields(AirCoreChecks)) &&
           (m_ForwardLaw != LawDiodeEquation || CheckFields(DiodeEquationChecks)) &&
           (m_ForwardLaw != LawPower || CheckFields(PowerLawChecks));
}
