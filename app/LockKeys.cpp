// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LockKeys.h"

#include <QGuiApplication>

#include <dlfcn.h>

namespace
{
// The few X11 calls needed, found at run time so that the program needs no X11 to start.
struct CXkb
{
    using OpenDisplay = void* (*)(const char*);
    using InternAtom = unsigned long (*)(void*, const char*, int);
    using GetNamedIndicator = int (*)(void*, unsigned long, int*, int*, void*, int*);

    void* m_Display = nullptr;
    InternAtom m_InternAtom = nullptr;
    GetNamedIndicator m_GetNamedIndicator = nullptr;

    CXkb()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return;
        void* library = dlopen("libX11.so.6", RTLD_LAZY);
        if (!library)
            return;
        auto open = reinterpret_cast<OpenDisplay>(dlsym(library, "XOpenDisplay"));
        m_InternAtom = reinterpret_cast<InternAtom>(dlsym(library, "XInternAtom"));
        m_GetNamedIndicator =
            reinterpret_cast<GetNamedIndicator>(dlsym(library, "XkbGetNamedIndicator"));
        if (open && m_InternAtom && m_GetNamedIndicator)
            m_Display = open(nullptr);
    }

    bool Indicator(const char* name) const
    {
        const unsigned long atom = m_InternAtom(m_Display, name, 0);
        int state = 0;
        return atom && m_GetNamedIndicator(m_Display, atom, nullptr, &state, nullptr, nullptr) &&
               state;
    }
};
} // namespace

bool CLockKeys::Read(CState& state)
{
    state = CState();
    // One connection for the life of the program.
    static const CXkb xkb;
    if (!xkb.m_Display)
        return false;
    state.m_Caps = xkb.Indicator("Caps Lock");
    state.m_Num = xkb.Indicator("Num Lock");
    state.m_Scroll = xkb.Indicator("Scroll Lock");
    return true;
}
