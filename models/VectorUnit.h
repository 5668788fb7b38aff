// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The models are built for the baseline x86-64, whose SSE instructions run many times slower
// while the upper halves of the AVX registers are left in use: each then waits on what the
// register held before. A library that leaves them so (the GUI's start-up does) slows every
// later sum of the thread; clearing them first costs one instruction. Results are unchanged.
inline void ClearUpperVectorState()
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool hasAvx = []
    {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    // vzeroupper keeps the low 128 bits of every register; the clobbers keep a build that
    // does use the wide registers from holding a value across it.
    if (hasAvx)
        asm volatile("vzeroupper" ::
                         : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8",
                           "xmm9", "xmm10", "xmm11", "xmm12", "xmm13", "xmm14", "xmm15");
#endif
}
