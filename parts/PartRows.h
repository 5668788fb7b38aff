// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A part as the row of its table, one value per column in the table's order, and back.

#include "database/Variant.h"
#include "parts/Parts.h"

#include <string>
#include <vector>

using CPartRow = std::vector<CVariant>;

CPartRow ToRow(const CWirePart& part);
CPartRow ToRow(const CLitzPart& part);
CPartRow ToRow(const CDiodePart& part);
CPartRow ToRow(const CFerritePart& part);
CPartRow ToRow(const CRodPart& part);

void FromRow(const CPartRow& row, CWirePart& part);
void FromRow(const CPartRow& row, CLitzPart& part);
void FromRow(const CPartRow& row, CDiodePart& part);
void FromRow(const CPartRow& row, CFerritePart& part);
void FromRow(const CPartRow& row, CRodPart& part);

// What is wrong with a row to be saved, empty when nothing: a name that is empty or holds
// control characters, a required value that is missing, a number that is not positive.
// The source may be empty for a user's part.
std::string RowProblem(const CPartTableDef& table, const CPartRow& row);
