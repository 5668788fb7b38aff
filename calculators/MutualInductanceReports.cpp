// SPDX-License-Identifier: GPL-3.0-or-later
// The air-core receiver's report tables: their headers, columns and tab stops, exactly as the
// results box writes them.
#include "calculators/MutualInductanceReports.h"

#include "calculators/MutualInductanceDlg.h"

namespace
{
using Dlg = CMutualInductanceDlg;

const char NoLoadHeader[] = "\t\t\t\t\t\t************* Primary coil "
                            "*************\t\t\t\t\t\t\t********** Secondary coil ***********\r\n"
                            "D \tM \tK \tQ \tNRGain \t\tVp(0) \tZin(0) \t\tZ(refl) \t\tZin(res) "
                            "\t\tRqrd for res \t\tVs(0) \tVs(res) "
                            "\tTuneCap \r\n";
const char LoopHeader[] = "\t\t\t\t\t\t\t*********** Diode forward bias ***********\t\t**********  "
                          "Diode reverse bias ***********\r\n"
                          "\r\nW# \tQ \tVcoil \tVtap \tVdc \tVadio \tSPL \tVd(f) \tRd(f) \tCj(f) "
                          "\tCdiff(f) \tZd(f) \tVd(r) \tRd(r) "
                          "\tCj(r) \tZd(r) \r\n";
const char DistanceHeader[] = "\r\nDist \tW# \tQ \tVcoil \tVtap \tVdc \tVadio \tSPL \tVd(f) "
                              "\tRd(f) \tCj(f) \tCdiff(f) \tZd(f) \tVd(r) "
                              "\tRd(r) \tCj(r) \tZd(r) \r\n";

} // namespace

const std::vector<int> receiver::LoopRowTabStops = {30,  60,  90,  120, 150, 180, 240, 270,
                                                    330, 390, 450, 540, 600, 660, 720, 780};
const std::vector<int> receiver::DistanceTabStops = {30,  60,  90,  120, 150, 180, 210, 270, 330,
                                                     390, 450, 510, 600, 660, 720, 780, 840};

namespace
{
CReportTable Table(const QString& title, const char* header, std::vector<CReportColumn> columns)
{
    CReportTable table;
    table.m_Title = title;
    table.m_Header = QString::fromLatin1(header);
    table.m_Columns = std::move(columns);
    return table;
}

} // namespace

namespace receiver
{
CReportTable NoLoadTable()
{
    return Table(ReceiverCaption(Dlg::IdAnalyseNoLoad), NoLoadHeader,
                 {{"D", "mm", 2},
                  {"M", "uH", 2},
                  {"K", "", 4},
                  {"Q", "", 2},
                  {"NRGain", "", 4, " \t\t"},
                  {"Vp(0)", "V", 4},
                  {"Zin(0)", "ohm", 2},
                  {"Z(refl)", "ohm", 2},
                  {"Zin(res)", "ohm", 2},
                  {"Rqrd for res", "", 2, " \t", 40},
                  {"Vs(0)", "V", 4},
                  {"Vs(res)", "V", 2},
                  {"TuneCap", "pF", 2, " "}});
}

// The columns from Vtap to Zd(r), shared by the loop and distance rows, after the given ones.
std::vector<CReportColumn> WithDetectorColumns(std::vector<CReportColumn> columns)
{
    columns.insert(columns.end(), {{"Vtap", "V", 4},
                                   {"Vdc", "V", 4},
                                   {"Vadio", "V", 4},
                                   {"SPL", "dB", 2},
                                   {"Vd(f)", "V", 4},
                                   {"Rd(f)", "ohm", 0},
                                   {"Cj(f)", "pF", 2},
                                   {"Cdiff(f)", "pF", 2},
                                   {"Zd(f)", "ohm", 2},
                                   {"Vd(r)", "V", 4},
                                   {"Rd(r)", "ohm", 0},
                                   {"Cj(r)", "pF", 2},
                                   {"Zd(r)", "ohm", 2, " "}});
    return columns;
}

// Loop 0, the coil before any tap: a layout of its own, under the loop header.
CReportTable LoopZeroTable()
{
    return Table(ReceiverCaption(Dlg::IdSplEachLoop), LoopHeader,
                 {{"W#", "", 0}, {"Q", "", 2}, {"Vcoil", "V", 2}, {"Vtap", "V", 1, " "}});
}

// The tap number has three digits, the Q text is cut to 6 characters and the Vcoil text to 4.
CReportTable LoopTable()
{
    return Table(ReceiverCaption(Dlg::IdSplEachLoop), "",
                 WithDetectorColumns({{"W#", "", 0, " \t", 3, 0, CReportColumn::EPad::Zeros},
                                      {"Q", "", 2, " \t", 6, 6},
                                      {"Vcoil", "V", 2, " \t", 8, 4}}));
}

CReportTable DistanceTable(const QString& title)
{
    return Table(
        title, DistanceHeader,
        WithDetectorColumns({{"Dist", "mm", 2}, {"W#", "", 0}, {"Q", "", 2}, {"Vcoil", "V", 2}}));
}

// The line a table writes for one row.
QString RowText(CReportTable table, std::vector<CReportCell> cells)
{
    table.m_Rows = {std::move(cells)};
    return table.RowText(0);
}

CReportCell Rectangular(const CImpedance& z)
{
    return CReportCell::Complex(z.m_Real, z.m_Imag);
}

// The component's label, "L" in uH, "C" in pF or "R" in ohm, as a tagged value.
CReportCell Required(const CComponant& component)
{
    switch (component.m_Kind)
    {
    case CComponant::Inductor:
        return CReportCell::Tagged(QStringLiteral("L"), component.m_Value / Micro);
    case CComponant::Capacitor:
        return CReportCell::Tagged(QStringLiteral("C"), component.m_Value / Pico);
    default:
        return CReportCell::Tagged(QStringLiteral("R"), component.m_Resistance);
    }
}
} // namespace receiver
