// SPDX-License-Identifier: GPL-3.0-or-later
#include "parts/Litz.h"

#include "parts/Parts.h"

#include <cmath>
#include <numbers>

namespace
{
constexpr double Mu0 = 4e-7 * std::numbers::pi;
// Copper area over bundle area of common served litz: 0.5 to 0.53 for 165 strands and more.
constexpr double BundleFill = 0.5;
// Terman's proximity constant k: 1.55 for 3 strands, 1.84 for 9, 1.92 for 27, 2 for many.
constexpr double ProximityConstant = 2.0;
} // namespace

// F. E. Terman, Radio Engineers' Handbook (McGraw-Hill, 1943), sec. 2, "Litz wire":
//   Rac/Rdc = H(x) + k (n ds / d0)^2 G(x),   x = ds / (sqrt(2) delta),
// n strands of diameter ds in a cable of diameter d0, delta the skin depth. H is the skin effect
// of one strand, G its proximity effect in the field of the other strands' currents. For strands
// thin against the skin depth (x below about 1, which holds for AWG 38 and finer at 1 MHz)
//   H = 1 + x^4 / 192,   G = x^4 / 64,
// the leading terms of the Bessel series; these are also the low-frequency limit of Sullivan's
// litz loss formula (IEEE Trans. Power Electronics 14(2), 1999). Both terms are positive and
// vanish as x^4, so the factor is at least 1 and tends to 1 for thin strands.
double LitzResistanceFactor(double strandDiameter, int strandCount, double bundleDiameter,
                            double frequency, double resistivity)
{
    if (!(strandDiameter > 0) || strandCount < 1 || !(frequency > 0) || !(resistivity > 0))
        return 1.0;
    const double n = strandCount;
    if (!(bundleDiameter > 0))
        bundleDiameter = strandDiameter * std::sqrt(n / BundleFill);
    const double skinDepth = std::sqrt(resistivity / (std::numbers::pi * frequency * Mu0));
    const double x = strandDiameter / (std::numbers::sqrt2 * skinDepth);
    const double x4 = x * x * x * x;
    const double packing = n * strandDiameter / bundleDiameter;
    return 1.0 + x4 / 192.0 + ProximityConstant * packing * packing * x4 / 64.0;
}

double LitzResistanceFactorAt1MHz(const CLitzPart& part)
{
    return LitzResistanceFactor(part.m_StrandDiameter, part.m_StrandCount,
                                part.m_OverallDiameter.value_or(0.0), 1e6);
}
