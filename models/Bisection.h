// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

// The bounds and the current estimate of one of the models' bisections. A pass is a function
// of these three alone, so a pass that hands them on with the same bits would be repeated
// exactly by every later pass: the solve can stop there with the result the last pass gives.
// That happens at once for a zero or not-a-number input, and when the bounds have closed in
// on one number without meeting the tolerance.
struct CBisectionState
{
    double m_Lo = 0.0;
    double m_Hi = 0.0;
    double m_Value = 0.0;

    bool Repeats(const CBisectionState& before) const
    {
        return SameBits(m_Lo, before.m_Lo) && SameBits(m_Hi, before.m_Hi) &&
               SameBits(m_Value, before.m_Value);
    }

    static bool SameBits(double a, double b)
    {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    }
};

// An input on which a bisection cannot make progress.
inline bool IsZeroOrNonFinite(double x)
{
    return x == 0.0 || !std::isfinite(x);
}
