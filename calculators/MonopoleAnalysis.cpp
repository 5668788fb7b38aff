// SPDX-License-Identifier: GPL-3.0-or-later
// The monopole form's calculations: the aerial fed to the receiver end, the analysis at one
// frequency and the band sweeps, with their reports.
#include "calculators/MonopoleDlg.h"

#include "database/Error.h"
#include "models/Equations.h"
#include "models/FormatNumber.h"

#include <QTextEdit>

#include <cmath>
#include <utility>

namespace
{
// "%s uH" or "%s pF": a value with its unit, where the unit changes from row to row.
CReportCell Micro(double henry)
{
    return CReportCell::WithUnit(henry / 1e-6, QStringLiteral("uH"));
}

CReportCell Pico(double farad)
{
    return CReportCell::WithUnit(farad / 1e-12, QStringLiteral("pF"));
}

CReportCell Rectangular(const CComplex& z)
{
    return CReportCell::Complex(z.real, z.imag);
}

const char* const SweepHeader =
    "Freq \tR(tot) \tReact(in) \t\tReact(res) \t\tReact(used) \t\tVp(ant) \t\tVp(load)\r\n";
constexpr int ReportTabStop = 50;

} // namespace

// The receiver end: the aerial itself, or through the feed line at the current frequency.
void CMonopoleDlg::ConnectFeed()
{
    if (!(m_Line.m_Length > 0))
        m_Monopole.UseDirectFeed();
    else if (m_Line.Calculate())
        m_Monopole.UseFeedLine(m_Line);
}

// Near a resonance of the aerial as an open line its reactance grows without bound, and the
// feed line's transformation of it leaves the doubles.
bool CMonopoleDlg::CheckReceiverEnd()
{
    const CComplex& end = m_Monopole.m_ZIn;
    if (std::isfinite(end.real) && std::isfinite(end.imag))
        return true;
    CError::DisplayError("Error: At " + FormatNumber(m_Monopole.m_Frequency / 1000, 0) +
                         " kHz the impedance at the receiver end is too large to be calculated");
    return false;
}

// Why the aerial could not be calculated. A conductor as thick as it is long has no
// inductance of its own in the thin-wire formulas.
void CMonopoleDlg::RefuseAerial()
{
    if (!(m_Monopole.m_ConductorInductance > 0))
        RefuseField(IdDiameter,
                    "is too large for the aerial's length: the conductor's inductance comes to 0 "
                    "or less");
    else
        CError::DisplayError("Error: The aerial cannot be calculated with these values");
}

void CMonopoleDlg::OnAnalyse()
{
    if (!ReadAnalysisInputs())
        return;
    if (!m_Monopole.Calculate())
    {
        RefuseAerial();
        return;
    }
    ConnectFeed();
    if (!CheckReceiverEnd())
        return;
    if (m_Monopole.m_Load.m_Value > 0)
        m_Monopole.ComputeLoadVoltage();
    SetTabStops({ReportTabStop});
    WriteFullReport();
}

void CMonopoleDlg::OnSweep(bool resonateLoad)
{
    if (!ReadInputs())
        return;
    // The rows go into the box in one piece, replacing the earlier reports and their tables;
    // nothing changes when a row is refused.
    CReportTable table;
    const int action = resonateLoad ? IdResonantSweep : IdLoadSweep;
    table.m_Title = ActionCaption(action);
    table.m_Header = QString::fromLatin1(SweepHeader);
    table.m_Columns = {{"Freq", "kHz", 0},
                       {"R(tot)", "ohm", 2},
                       {"React(in)", "", 2, " \t", 20},
                       {"React(res)", "", 2, " \t\t"},
                       {"React(used)", "uH", 2, " uH \t\t"},
                       {"Vp(ant)", "V", 4, " \t\t"},
                       {"Vp(load)", "V", 4, " "}};
    std::vector<std::vector<CReportCell>> rows;
    const CLongAction progress(*this, action, (SweepEnd - SweepStart) / SweepStep + 1);
    for (int kHz = SweepStart; kHz <= SweepEnd; kHz += SweepStep)
    {
        if (!Step((kHz - SweepStart) / SweepStep + 1))
            break;
        const double frequency = kHz * 1000.0;
        m_Monopole.m_Frequency = frequency;
        m_Line.m_Frequency = frequency;
        if (!m_Monopole.Calculate())
        {
            // The conductor's own inductance fails at every frequency alike.
            if (!(m_Monopole.m_ConductorInductance > 0))
            {
                RefuseAerial();
                return;
            }
            continue;
        }
        ConnectFeed();
        if (!CheckReceiverEnd())
            return;
        if (resonateLoad)
        {
            // The coil that cancels a capacitive receiver end (0 H when it is inductive).
            CComponant& load = m_Monopole.m_Load;
            load.Set(CComponant::Inductor, m_Monopole.m_LResonate, load.m_Resistance);
            load.ComputeImpedance(frequency);
        }
        m_Monopole.ComputeLoadVoltage();
        rows.push_back(SweepCells());
    }
    // A cancelled sweep leaves the earlier reports and adds the rows it finished below them.
    if (!Cancelled())
    {
        SetTabStops({ReportTabStop});
        CVKFormView::OnCommand(IdClear);
    }
    BeginTable(std::move(table));
    for (std::vector<CReportCell>& row : rows)
        AddRow(std::move(row));
    EndTable();
}

namespace
{
// A block of the full report: a table of one row.
struct CReportBlock
{
    CReportTable m_Table;
    std::vector<CReportCell> m_Cells;
};

CReportBlock DesignBlock(const CMonopole& m, const CTransmissionLine& line)
{
    CReportTable design;
    design.m_RowStart = QStringLiteral("Fequency: ");
    // The frequency is right-aligned in 10 characters and cut to 10.
    design.m_Columns = {
        {"Fequency", "kHz", 0, " kHz \tMonople length(m): ", 10, 10, CReportColumn::EPad::Before},
        {"Monople length", "m", 1, " \t Monople diameter(mm): "},
        {"Monople diameter", "mm", 2, " \t Ground depth(m): "},
        {"Ground depth", "m", 1, " \tTransline lengh(m): "},
        {"Transline lengh", "m", 1, " \t Transline wire diameter(mm): "},
        {"Transline wire diameter", "mm", 2, ""}};
    design.m_Footer = QStringLiteral("\r\n");
    return {std::move(design),
            {CReportCell::Number(m.m_Frequency / 1000), CReportCell::Number(m.m_Length),
             CReportCell::Number(m.m_Diameter * 1000), CReportCell::Number(m.m_GroundDepth),
             CReportCell::Number(line.m_Length), CReportCell::Number(line.m_WireDiameter * 1000)}};
}

CReportBlock AntennaBlock(const CMonopole& m)
{
    CReportTable antenna;
    antenna.m_Header =
        QStringLiteral(
            "Antenna\r\n \tR(DC) \tR(AC) \tR(Rad) \tR(Grd) \tR(Tot) \tZ0 \tVf \tWL(elec) \tZin") +
        QString::fromLatin1(m.m_IsCapacitive ? " \t\tCap(pF)\r\n" : " \t\tInd(uH)\r\n");
    antenna.m_RowStart = QStringLiteral(" \t");
    antenna.m_Columns = {{"R(DC)", "ohm", 2},  {"R(AC)", "ohm", 2},  {"R(Rad)", "ohm", 2},
                         {"R(Grd)", "ohm", 2}, {"R(Tot)", "ohm", 2}, {"Z0", "ohm", 2},
                         {"Vf", "", 2},        {"WL(elec)", "m", 2}, {"Zin", "ohm", 2, "\t", 20}};
    antenna.m_Columns.push_back(m.m_IsCapacitive ? CReportColumn{"Cap", "pF", 2, " "}
                                                 : CReportColumn{"Ind", "uH", 2, " "});
    return {std::move(antenna),
            {CReportCell::Number(m.m_RDc), CReportCell::Number(m.m_RAc),
             CReportCell::Number(m.m_RRad), CReportCell::Number(m.m_RGround),
             CReportCell::Number(m.m_RTotal), CReportCell::Number(m.m_Z0.magnitude),
             CReportCell::Number(m.m_VelocityFactor), CReportCell::Number(m.m_ElectricalWavelength),
             Rectangular(m.m_ZAntenna),
             CReportCell::Number(m.m_IsCapacitive ? m.m_CAntenna / 1e-12 : m.m_LAntenna / 1e-6)}};
}

CReportBlock FeedBlock(const CTransmissionLine& line)
{
    CReportTable feed;
    feed.m_Header =
        QStringLiteral("Transmission Line\r\n \tR(DC) \tR(AC) \tZ0 \tVf \tZin(o/c)") +
        QString::fromLatin1(line.m_IsCapacitive ? " \t\tCap(pF)\r\n" : " \t\tInd(uH)\r\n");
    feed.m_RowStart = QStringLiteral(" \t");
    feed.m_Columns = {{"R(DC)", "ohm", 2},
                      {"R(AC)", "ohm", 2},
                      {"Z0", "ohm", 2},
                      {"Vf", "", 2},
                      {"Zin(o/c)", "ohm", 2, " \t\t"}};
    feed.m_Columns.push_back(line.m_IsCapacitive ? CReportColumn{"Cap", "pF", 2, " "}
                                                 : CReportColumn{"Ind", "uH", 2, " "});
    return {std::move(feed),
            {CReportCell::Number(line.m_RDc), CReportCell::Number(line.m_RAc),
             CReportCell::Number(line.m_Z0.magnitude), CReportCell::Number(line.m_VelocityFactor),
             Rectangular(line.m_ZOpen),
             CReportCell::Number(line.m_IsCapacitive ? line.m_CEquivalent / 1e-12
                                                     : line.m_LEquivalent / 1e-6)}};
}

CReportBlock TotalBlock(const CMonopole& m)
{
    // A capacitive receiver end is tuned out by a coil, an inductive one by a capacitor.
    const bool capacitive = m.m_LResonate > 0;
    CReportTable total;
    total.m_Header = QString::fromLatin1(
        capacitive
            ? "Total circuit\r\n\tRtot \tCap \tZin \t\tZ(load) \t\tZ(tot) \t\tVp(ant) \tVp(load) "
              "\tL(resonance) \r\n"
            : "Total circuit\r\n\tRtot \tInd \tZin \t\tZ(load) \t\tZ(tot) \t\tVp(ant) \tVp(load) "
              "\tCap(resonance) \r\n");
    total.m_RowStart = QStringLiteral("\t");
    total.m_Columns = {{"Rtot", "ohm", 2},
                       capacitive ? CReportColumn{"Cap", "pF", 2} : CReportColumn{"Ind", "uH", 2},
                       {"Zin", "ohm", 2, " \t", 20},
                       {"Z(load)", "ohm", 2, " \t", 20},
                       {"Z(tot)", "ohm", 2, " \t", 20},
                       {"Vp(ant)", "V", 4},
                       {"Vp(load)", "V", 4},
                       capacitive ? CReportColumn{"L(resonance)", "uH", 2, " "}
                                  : CReportColumn{"Cap(resonance)", "pF", 2, " "}};
    total.m_Footer = QString(154, QLatin1Char('*')) + QStringLiteral("\r\n\r\n");
    const CImpedance& load = m.m_Load.m_Impedance;
    return {std::move(total),
            {CReportCell::Number(m.m_ZIn.real),
             CReportCell::Number(capacitive ? m.m_CIn / 1e-12 : m.m_LIn / 1e-6),
             Rectangular(m.m_ZIn), CReportCell::Complex(load.m_Real, load.m_Imag),
             Rectangular(m.m_ZTotal), CReportCell::Number(m.m_VAntenna),
             CReportCell::Number(m.m_VLoad.magnitude),
             CReportCell::Number(capacitive ? m.m_LResonate / 1e-6 : m.m_CResonate / 1e-12)}};
}
} // namespace

// Each block of the report is a table of one row; the feed line's only when there is one.
void CMonopoleDlg::WriteFullReport()
{
    std::vector<CReportBlock> blocks = {DesignBlock(m_Monopole, m_Line), AntennaBlock(m_Monopole)};
    if (m_Line.m_Length > 0)
        blocks.push_back(FeedBlock(m_Line));
    blocks.push_back(TotalBlock(m_Monopole));
    for (CReportBlock& block : blocks)
    {
        block.m_Table.m_Title = ActionCaption(IdMainAction);
        BeginTable(std::move(block.m_Table));
        AddRow(std::move(block.m_Cells));
        EndTable();
    }
}

std::vector<CReportCell> CMonopoleDlg::SweepCells() const
{
    const CMonopole& m = m_Monopole;
    const bool inductive = !m.m_IsResistive && !(m.m_LResonate > 0);
    // A receiver end that counts as resistive has no reactance to cancel: the report's 0.00
    // is no value.
    const auto reactance = [&m](CReportCell cell)
    { return m.m_IsResistive && cell.m_Value == 0.0 ? cell.WithoutValue() : cell; };
    return {CReportCell::Number(m.m_Frequency / 1000),
            CReportCell::Number(m.m_ZIn.real),
            reactance(inductive ? Micro(m.m_LIn) : Pico(m.m_CIn)),
            reactance(inductive ? Pico(m.m_CResonate) : Micro(m.m_LResonate)),
            CReportCell::Number(m.m_Load.m_Value / 1e-6),
            CReportCell::Number(m.m_VAntenna),
            CReportCell::Number(m.m_VLoad.magnitude)};
}
