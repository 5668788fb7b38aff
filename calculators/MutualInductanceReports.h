// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/ReportTable.h"
#include "models/Complex.h"
#include "models/Componant.h"

#include <QString>

#include <vector>

// What the air-core receiver form's files share: the display units of its fields, and its
// report tables as the results box writes them.
namespace receiver
{
constexpr double Micro = 1e-6;
constexpr double Milli = 0.001;
constexpr double Pico = 1e-12;

// The caption of an action of the form, which titles its tables.
QString ReceiverCaption(int action);

CReportTable NoLoadTable();
// Loop 0 of the tap sweep, and the taps after it.
CReportTable LoopZeroTable();
CReportTable LoopTable();
CReportTable DistanceTable(const QString& title);
// The line a table writes for one row.
QString RowText(CReportTable table, std::vector<CReportCell> cells);
CReportCell Rectangular(const CImpedance& z);
// The component's label, "L" in uH, "C" in pF or "R" in ohm, as a tagged value.
CReportCell Required(const CComponant& component);

extern const std::vector<int> LoopRowTabStops;
extern const std::vector<int> DistanceTabStops;
} // namespace receiver
