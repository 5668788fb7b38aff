// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/MessagePresenter.h"

#include <cstdio>

namespace
{
CStderrPresenter g_StderrPresenter;
CMessagePresenter* g_Presenter = &g_StderrPresenter;
} // namespace

CMessagePresenter::~CMessagePresenter() = default;

std::string CStderrPresenter::OneLine(const std::string& title, const std::string& text)
{
    std::string line = title + ": ";
    for (char c : text)
        line += (c == '\r' || c == '\n') ? ' ' : c;
    return line;
}

void CStderrPresenter::Show(const std::string& title, const std::string& text, EMessageIcon)
{
    const std::string line = OneLine(title, text) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

void CRecordingPresenter::Show(const std::string& title, const std::string& text, EMessageIcon icon)
{
    m_Messages.push_back({title, text, icon});
}

CMessagePresenter* SetMessagePresenter(CMessagePresenter* presenter)
{
    CMessagePresenter* previous = g_Presenter;
    g_Presenter = presenter ? presenter : &g_StderrPresenter;
    return previous;
}

CMessagePresenter& MessagePresenter()
{
    return *g_Presenter;
}

void ShowMessage(const std::string& title, const std::string& text, EMessageIcon icon)
{
    g_Presenter->Show(title, text, icon);
}

CScopedPresenter::CScopedPresenter(CMessagePresenter& presenter)
    : m_Previous(SetMessagePresenter(&presenter))
{
}

CScopedPresenter::~CScopedPresenter()
{
    SetMessagePresenter(m_Previous);
}
