// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the fuzz targets share: reading structured choices out of the fuzzer's bytes, a
// QApplication on the offscreen platform, the locales of the machine's Qt, and a check that
// stops the run (a crash to the fuzzer, a failure to the corpus replay) with a reason.

#include "controls/Platform.h"

#include <QApplication>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define FUZZ_CHECK(condition, what)                                                                \
    do                                                                                             \
    {                                                                                              \
        if (!(condition))                                                                          \
            FuzzFailed(__FILE__, __LINE__, #condition, what);                                      \
    } while (false)

[[noreturn]] inline void FuzzFailed(const char* file, int line, const char* condition,
                                    const std::string& what)
{
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n  %s\n", file, line, condition,
                 what.c_str());
    std::abort();
}

inline std::string Show(const QString& text)
{
    return "\"" + text.toStdString() + "\"";
}

// Takes choices from the front of the input; an exhausted input gives zeros.
class CFuzzInput
{
public:
    CFuzzInput(const std::uint8_t* data, std::size_t size) : m_Data(data), m_Size(size) {}

    bool Empty() const { return m_Pos >= m_Size; }

    std::uint8_t Byte() { return Empty() ? 0 : m_Data[m_Pos++]; }

    // A number in [low, high].
    int Between(int low, int high)
    {
        const unsigned span = static_cast<unsigned>(high - low) + 1;
        unsigned value = Byte();
        if (span > 256)
            value = value << 8 | Byte();
        return low + static_cast<int>(value % span);
    }

    bool Flag() { return (Byte() & 1) != 0; }

    // Bytes up to the next terminator (not included) or the end.
    std::string Until(std::uint8_t terminator)
    {
        std::string text;
        while (!Empty())
        {
            const std::uint8_t byte = Byte();
            if (byte == terminator)
                break;
            text += static_cast<char>(byte);
        }
        return text;
    }

    std::string Rest()
    {
        std::string text(reinterpret_cast<const char*>(m_Data) + m_Pos, m_Size - m_Pos);
        m_Pos = m_Size;
        return text;
    }

private:
    const std::uint8_t* m_Data;
    std::size_t m_Size;
    std::size_t m_Pos = 0;
};

// One QApplication for the whole run, as the program has.
inline void EnsureApplication()
{
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillon_fuzz";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// The number settings of every locale Qt knows, the users' real separators, signs and orders.
inline const std::vector<CVKNumberSettings>& LocaleSettings()
{
    static const std::vector<CVKNumberSettings> settings = []
    {
        std::vector<CVKNumberSettings> all;
        for (const QLocale& locale : QLocale::matchingLocales(
                 QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory))
            all.push_back(CVKNumberSettings::FromLocale(locale));
        return all;
    }();
    return settings;
}

inline const CVKNumberSettings& PickSettings(CFuzzInput& input)
{
    const std::vector<CVKNumberSettings>& all = LocaleSettings();
    return all[static_cast<std::size_t>(input.Between(0, 65535)) % all.size()];
}
