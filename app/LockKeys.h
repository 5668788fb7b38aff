// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The state of the Caps, Num and Scroll Lock keys where the platform tells it (the X11
// keyboard extension, looked up when first asked); elsewhere every lock reads as off.
class CLockKeys
{
public:
    struct CState
    {
        bool m_Caps = false;
        bool m_Num = false;
        bool m_Scroll = false;
    };

    // False when the platform does not tell the lock state.
    static bool Read(CState& state);
};
