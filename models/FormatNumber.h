// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The one number formatter of every report: the value's six-decimal fixed-point text,
// rounded half up on its digits to `decimals` places, thousands grouped with ",",
// "." as decimal point and a leading "-" for negatives, whatever the user's locale.
// Not-a-number gives "nan", infinities "inf" and "-inf".
std::string FormatNumber(double value, int decimals);
