// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/Error.h"

#include "database/MessagePresenter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

void CError::ClearErrors()
{
    m_Code = 0;
    m_Kind = None;
    m_SystemText.clear();
    m_ProgramText.clear();
}

std::string CError::SystemMessage(std::int32_t code)
{
    // The system's tables give at most 256 characters.
    std::string text = std::strerror(code);
    if (text.size() > 256)
        text.resize(256);
    return text;
}

void CError::SetSysError(const std::string& text)
{
    const int last = errno;
    m_Code = last != 0 ? last : -1;
    m_Kind = SystemError;
    m_SystemText = SystemMessage(m_Code);
    m_ProgramText = text;
}

void CError::SetSSPIProtocolError(const std::string& text, long code)
{
    m_Code = static_cast<std::int32_t>(code);
    m_Kind = SecurityProtocolError;
    m_SystemText = SystemMessage(m_Code);
    m_ProgramText = text;
}

void CError::SetProgError(const std::string& text)
{
    m_Code = -1;
    m_Kind = ProgramError;
    m_SystemText.clear();
    m_ProgramText = text;
}

void CError::SetProgErrorValue(int value, const std::string& text)
{
    m_Code = value;
    m_Kind = ProgramErrorWithValue;
    m_SystemText.clear();
    m_ProgramText = text;
}

std::string CError::FormatErrorMessage() const
{
    char code[16];
    std::snprintf(code, sizeof code, "%X", static_cast<unsigned>(m_Code));
    switch (m_Kind)
    {
    case ProgramError:
        return m_ProgramText;
    case ProgramErrorWithValue:
        return "Error: 0x" + std::string(code) + " \r" + m_ProgramText;
    case SystemError:
    case SecurityProtocolError:
        return "Error: 0x" + std::string(code) + " \r" + m_ProgramText + " \r" + m_SystemText;
    default:
        return {};
    }
}

void CError::DisplayError(const std::string& message)
{
    ShowMessage("Error", message, EMessageIcon::Error);
}
