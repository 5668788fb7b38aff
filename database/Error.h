// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/DabrelExport.h"

#include <cstdint>
#include <string>

// The last error of an object, and the error box through which it is shown.
// One class serves both libraries: Dabrel builds and exports it, Corvane uses Dabrel's.
class DABREL_EXPORT CError
{
public:
    enum EKind : std::int32_t
    {
        None = 0,
        SystemError = 1,
        ProgramError = 2,
        SecurityProtocolError = 3,
        ProgramErrorWithValue = 4,
    };

    void ClearErrors();
    // Records the C library's last error (errno; -1 when it is 0) and its message.
    void SetSysError(const std::string& text);
    void SetSSPIProtocolError(const std::string& text, long code);
    void SetProgError(const std::string& text);
    void SetProgErrorValue(int value, const std::string& text);

    std::string FormatErrorMessage() const;

    // Shows the given text in a modal box titled "Error" with the error icon.
    static void DisplayError(const std::string& message);

    std::int32_t m_Code = 0;
    std::int32_t m_Kind = None;
    std::string m_SystemText;
    std::string m_ProgramText;

private:
    static std::string SystemMessage(std::int32_t code);
};
