// SPDX-License-Identifier: GPL-3.0-or-later
// The coil form's calculations: its inputs read into the coil, the checks of what the model
// divides by, and the analyses with their report.
#include "calculators/CoilDlg.h"

#include "controls/VKEdit.h"
#include "database/Error.h"
#include "forms/WaitCursor.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>

namespace
{
using C = CCoilDlg;

const char* const PitchMessage =
    "Entered or calculated pitch is smaller than the wire diameter! Adjust L/D ratio, "
    "Diameter or number of turns!*";
const char* const TurnsMessage =
    "Number of turns must be specified if calculating core permeability";
const char* const TurnsLengthMessage =
    "Number of turns, coil length or pitch must be specified if calculating core permeability";
const char* const LowPermeabilityMessage =
    "The apparent core permeability is less than 1. The gap and length "
    "exponents are wrong for this coil geometry!";

QString Separator()
{
    return QString(187, QLatin1Char('*')) + QStringLiteral("\r\n");
}

const CFieldBinding<CCoil> GivenInductanceFields[] = {
    {C::IdStartInductance, &CCoil::m_Inductance},
    {C::IdEndInductance, &CCoil::m_EndInductance},
};

// The wall thickness and extra capacitance, which take any number, come last.
const CFieldBinding<CCoil> WireAndFormerFields[] = {
    {C::IdConductorDiameter, &CCoil::m_ConductorDiameter},
    {C::IdWireDiameter, &CCoil::m_WireDiameter},
    {C::IdResistivity, &CCoil::m_Resistivity},
    {C::IdFormerPermeability, &CCoil::m_FormerPermeability},
    {C::IdFormerPermittivity, &CCoil::m_FormerPermittivity},
    {C::IdDissipationFactor, &CCoil::m_DissipationFactor},
    {C::IdFrequency, &CCoil::m_Frequency},
    {C::IdWallThickness, &CCoil::m_WallThickness},
    {C::IdExtraCapacitance, &CCoil::m_CExtra},
};

const CFieldBinding<CCoil> RodFields[] = {
    {C::IdRodDiameter, &CCoil::m_RodDiameter},
    {C::IdRodLength, &CCoil::m_RodLength},
};

const CFieldBinding<CCoil> CoreLossFields[] = {
    {C::IdLossFactor, &CCoil::m_LossFactor},
    {C::IdLossFactorFrequency, &CCoil::m_LossFactorFrequency},
};

// The factor is read as quoted at 1 MHz; the reading converts it to the working frequency.
const CFieldBinding<CCoil> LitzFields[] = {
    {C::IdStrandDiameter, &CCoil::m_StrandDiameter},
    {C::IdStrandCount, &CCoil::m_StrandCount},
    {C::IdLitzFactor, &CCoil::m_LitzFactor},
};
} // namespace

// The inputs of the working mode and choice; a failed field has shown its own message.
bool CCoilDlg::ReadGeometry()
{
    if (m_InductanceGiven ? !ReadFields(m_Coil, GivenInductanceFields)
                          : !ReadField(IdTurns, m_Coil.m_Turns))
        return false;
    if (m_DiameterInput)
    {
        if (!ReadField(IdDiameter, m_Coil.m_Diameter))
            return false;
        m_DiameterField = Field(IdDiameter)->GetDouble();
    }
    return (!m_LengthInput || ReadField(IdLength, m_Coil.m_Length)) &&
           (!m_RatioInput || ReadField(IdLengthToDiameter, m_Coil.m_LengthToDiameter)) &&
           (!m_PitchInput || ReadField(IdPitch, m_Coil.m_Pitch));
}

bool CCoilDlg::ReadInputs()
{
    m_Coil.Reset();
    m_DiameterField = 0.0;
    bool ok = ReadGeometry() && ReadFields(m_Coil, WireAndFormerFields);
    if (ok)
    {
        if (m_Choice == IdEnterLength)
        {
            m_Coil.m_Pitch = m_Coil.m_Length / m_Coil.m_Turns;
        }
        else if (m_Choice == IdEnterRatio)
        {
            m_Coil.m_Length = m_Coil.m_LengthToDiameter * m_Coil.m_Diameter;
            m_Coil.m_Pitch = m_Coil.m_Length / m_Coil.m_Turns;
        }
        // A pitch equal to the conductor diameter is a close-wound coil, and allowed.
        if (m_Coil.m_ConductorDiameter > m_Coil.m_Pitch)
        {
            CError::DisplayError(PitchMessage);
            ok = false;
        }
    }

    m_Offset = 0.0;
    m_Coil.ResetCore();
    if (!ok)
    {
        m_Coil.m_ApparentPermeability = 1.0;
        return false;
    }
    if (!IsChecked(IdHasCore))
        m_Coil.m_ApparentPermeability = 1.0;
    else if (!ReadCore())
        return false;

    if (IsChecked(IdLitz))
    {
        if (!ReadFields(m_Coil, LitzFields))
            return false;
        m_Coil.m_IsLitz = true;
        m_Coil.m_LitzFactor = CCoil::LitzFactor(m_Coil.m_LitzFactor, m_Coil.m_Frequency);
    }
    return true;
}

bool CCoilDlg::ReadCore()
{
    double gap = 0.0;
    double lengthExponent = 0.0;
    m_Coil.m_HasCore = true;
    if (!ReadFields(m_Coil, RodFields) || !ReadField(IdGapExponent, gap) ||
        !ReadField(IdLengthExponent, lengthExponent))
        return false;
    if (!(m_Coil.m_Turns > 0))
    {
        CError::DisplayError(TurnsMessage);
        return false;
    }
    m_Coil.m_CoreCoilDiameter = m_DiameterField / 1000;
    if (m_Choice == IdEnterPitch)
        m_Coil.m_Length = m_Coil.m_Pitch * m_Coil.m_Turns;

    if (IsChecked(IdInitialPermeability))
    {
        double initial = 0.0;
        if (!ReadField(IdInitialPermeabilityValue, initial))
            return false;
        if (!(m_Coil.m_Length > 0) || !(m_Coil.m_Turns > 0))
        {
            CError::DisplayError(TurnsLengthMessage);
            return false;
        }
        if (!ReadField(IdOffset, m_Offset))
            return false;
        m_Coil.ComputeApparentPermeability(initial, gap, lengthExponent, m_Offset);
        // The rod's law divides by its length, shortened by the offset of the winding.
        if (!std::isfinite(m_Coil.m_ApparentPermeability))
            return m_Coil.m_RodLength == 0
                       ? RefuseField(IdRodLength, "must not be zero for this calculation")
                       : RefuseField(IdOffset, "is too large for this rod length");
    }
    else if (IsChecked(IdApparentPermeability))
    {
        if (!ReadField(IdApparentPermeabilityValue, m_Coil.m_ApparentPermeability))
            return false;
    }
    else
    {
        return false;
    }
    return ReadFields(m_Coil, CoreLossFields);
}

bool CCoilDlg::AnalyseOnce()
{
    if (!m_InductanceGiven)
    {
        m_Coil.SetMode(CCoil::ModeDiameterTurnsPitch);
    }
    else if (m_Coil.m_EndInductance > 0)
    {
        m_Coil.SetMode(m_DiameterInput ? CCoil::ModeInductancePitchDiameter
                                       : CCoil::ModeInductancePitchRatio);
    }
    else
    {
        CError::DisplayError(std::string());
        return false;
    }
    if (!m_Coil.SolveGeometry())
    {
        CError::DisplayError(m_Coil.m_Message);
        return false;
    }
    m_Coil.ComputeLosses();
    m_Coil.Analyse();
    return true;
}

// The report of one action: the key values and the column headings before the rows, the
// separator after them.
void CCoilDlg::BeginReport(const QString& title)
{
    SetTabStops({40});
    CReportTable table;
    table.m_Title = title;
    table.m_Header =
        QString::asprintf("Frequency (kHz): \t\t%s \r\nWire Diameter (mm): \t\t%s "
                          "\r\nFormer rel permittivity: \t\t%s  \r\n"
                          "Core apparent rel permeability: \t%s \r\n\r\n",
                          qPrintable(FormatNumberText(m_Coil.m_Frequency / 1000, 0)),
                          qPrintable(FormatNumberText(m_Coil.m_ConductorDiameter * 1000, 3)),
                          qPrintable(FormatNumberText(m_Coil.m_FormerPermittivity, 2)),
                          qPrintable(FormatNumberText(m_Coil.m_ApparentPermeability, 4)));
    table.m_Header += QStringLiteral(
        "L\tWire \tR(DC) \tR(AC) \tR(AC)  \tR(former) \tR(core) \tX \tQ \tDiam \tLength \tl/D "
        "\tPitch \tTurns \tC(axial) \tC(sr) \tF(sr) \tAlpha \tQeff \r\n");
    table.m_Header += QStringLiteral(
        "\tlength  \t\t(wire) \t(coil) \t\t\t\t\t\t\t\t\t \t(pF) \t(pF) \t (MHz) \t \t \t \t \r\n");
    const QString ohm = QStringLiteral("ohm");
    const QString mm = QStringLiteral("mm");
    const QString pF = QStringLiteral("pF");
    table.m_Columns = {{QStringLiteral("L"), QStringLiteral("uH"), 2},
                       {QStringLiteral("Wire length"), QStringLiteral("m"), 2},
                       {QStringLiteral("R(DC)"), ohm, 2},
                       {QStringLiteral("R(AC) wire"), ohm, 2},
                       {QStringLiteral("R(AC) coil"), ohm, 4},
                       {QStringLiteral("R(former)"), ohm, 4},
                       {QStringLiteral("R(core)"), ohm, 4},
                       {QStringLiteral("X"), ohm, 0},
                       {QStringLiteral("Q"), QString(), 2},
                       {QStringLiteral("Diam"), mm, 2},
                       {QStringLiteral("Length"), mm, 2},
                       {QStringLiteral("l/D"), QString(), 4},
                       {QStringLiteral("Pitch"), mm, 4},
                       {QStringLiteral("Turns"), QString(), 2},
                       {QStringLiteral("C(axial)"), pF, 2},
                       {QStringLiteral("C(sr)"), pF, 2},
                       {QStringLiteral("F(sr)"), QStringLiteral("MHz"), 2},
                       {QStringLiteral("Alpha"), QString(), 4},
                       {QStringLiteral("Qeff"), QString(), 2, QStringLiteral(" ")}};
    table.m_Footer = Separator();
    BeginTable(std::move(table));
    if (m_Coil.m_ApparentPermeability < 1.0)
        CError::DisplayError(LowPermeabilityMessage);
}

// The end inductance that a sweep from the start inductance may reach, refused beyond it as a
// field's range is.
// With a given inductance every analysis needs an end inductance above 0.
bool CCoilDlg::CheckEndInductance()
{
    if (!m_InductanceGiven || m_Coil.m_EndInductance > 0)
        return true;
    return RefuseField(IdEndInductance, "must be greater than 0");
}

bool CCoilDlg::CheckSweepRange()
{
    if (!CheckEndInductance())
        return false;
    // Fields read in single precision: an end within two of its steps of the highest is taken,
    // so that the end the message names can be typed ("499850.001" reads as 499850.03125).
    const double highest = (m_Coil.m_Inductance + MaxSweepSteps * InductanceStep) * 1e6;
    if (!(m_Coil.m_EndInductance * 1e6 > highest * (1 + 2 * FLT_EPSILON)))
        return true;
    CError::DisplayError(
        QString::asprintf("Error: %s must be between %f and %f!", "End inductance", 0.0, highest)
            .toStdString());
    return false;
}

// The self-resonance is a root of the self capacitance: a wall thicker than the coil or of a
// negative thickness, or a negative extra capacitance, can take that below zero.
bool CCoilDlg::CheckRow()
{
    if (m_Coil.m_CSelfResonant > 0)
        return true;
    if (m_Coil.m_CExtra < 0 && m_Coil.m_CSelfResonant - m_Coil.m_CExtra > 0)
        return RefuseField(IdExtraCapacitance,
                           "must not make the coil's self capacitance negative");
    // The diameter may be the one solved for: the message says what it came to.
    if (m_Coil.m_WallThickness < 0 || m_Coil.m_WallThickness > m_Coil.m_Diameter)
        return RefuseField(IdWallThickness,
                           ("must lie between 0 and the coil diameter, " +
                            FormatNumberText(m_Coil.m_Diameter * 1000, 2).toStdString() +
                            " mm, for this calculation")
                               .c_str());
    return true; // anything else is refused with the report
}

std::vector<CReportCell> CCoilDlg::Row() const
{
    std::vector<CReportCell> cells;
    for (double value : {m_Coil.m_Inductance * 1e6, m_Coil.m_WireLength, m_Coil.m_RDc,
                         m_Coil.m_RAcWire, m_Coil.m_RAcCoil, m_Coil.m_RFormer, m_Coil.m_RCore,
                         m_Coil.m_Impedance.m_Imag, m_Coil.m_Q, m_Coil.m_Diameter * 1000,
                         m_Coil.m_Length * 1000, m_Coil.m_LengthToDiameter, m_Coil.m_Pitch * 1000,
                         m_Coil.m_Turns, m_Coil.m_CAxial * 1e12, m_Coil.m_CSelfResonant * 1e12,
                         m_Coil.m_FSelfResonant / 1e6, m_Coil.m_Alpha, m_Coil.m_QEff})
        cells.push_back(CReportCell::Number(value));
    return cells;
}

void CCoilDlg::OnAnalyse()
{
    if (!ReadInputs() || (m_InductanceGiven && !CheckSweepRange()))
        return;
    BeginReport(ActionCaption(IdAnalyse));
    if (!m_InductanceGiven)
    {
        if (!AnalyseOnce())
        {
            EndTable(false);
        }
        else if (CheckRow())
        {
            AddRow(Row());
            EndTable();
        }
        else
        {
            DiscardTable();
        }
        return;
    }

    // From one step below the start, 50 uH at a time; a pass past the end analyses the end
    // inductance itself and is the last one.
    CWaitCursor wait;
    const double end = m_Coil.m_EndInductance;
    double inductance = m_Coil.m_Inductance - InductanceStep;
    // The passes the sweep will make: the whole steps to the end and the end itself.
    const int passes =
        static_cast<int>(std::clamp(std::floor((end - m_Coil.m_Inductance) / InductanceStep) + 2.0,
                                    1.0, static_cast<double>(MaxSweepRows)));
    const CLongAction progress(*this, IdAnalyse, passes);
    bool last = false;
    for (int pass = 0; !last; ++pass)
    {
        if (!Step(std::min(pass + 1, passes)))
            break;
        if (pass == MaxSweepRows)
        {
            CError::DisplayError("The inductance sweep was stopped after " +
                                 std::to_string(MaxSweepRows) +
                                 " rows. Narrow the range from start to end inductance.");
            break;
        }
        inductance += InductanceStep;
        if (inductance > end)
        {
            inductance = end;
            last = true;
        }
        m_Coil.m_Inductance = inductance;
        if (AnalyseOnce())
        {
            if (!CheckRow())
            {
                DiscardTable();
                return;
            }
            AddRow(Row());
        }
    }
    EndTable();
}

void CCoilDlg::OnAnalyseRatioRange()
{
    if (!ReadInputs() || !CheckEndInductance())
    {
        AppendReport(Separator());
        return;
    }
    BeginReport(ActionCaption(IdAnalyseRatioRange));
    constexpr int RatioPasses = 10;
    const CLongAction progress(*this, IdAnalyseRatioRange, RatioPasses);
    for (int pass = 0; pass < RatioPasses && Step(pass + 1); ++pass)
    {
        if (AnalyseOnce())
        {
            if (!CheckRow())
            {
                DiscardTable();
                return;
            }
            AddRow(Row());
        }
        m_Coil.m_LengthToDiameter += 0.1;
    }
    EndTable();
}
