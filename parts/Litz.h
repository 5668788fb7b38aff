// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct CLitzPart;

// Annealed copper at 20 degrees C (IACS), ohm m.
inline constexpr double CopperResistivity = 1.7241e-8;

// How many times its DC resistance a straight litz wire has at `frequency`, from its
// construction: strands of bare diameter `strandDiameter` (m), `strandCount` of them, in a
// bundle of diameter `bundleDiameter` (m; 0 or less estimates it from a copper fill of one
// half). At least 1; it tends to 1 as the strands get thin against the skin depth.
double LitzResistanceFactor(double strandDiameter, int strandCount, double bundleDiameter,
                            double frequency = 1e6, double resistivity = CopperResistivity);
// The factor at 1 MHz, with the part's overall diameter when it has one.
double LitzResistanceFactorAt1MHz(const CLitzPart& part);
