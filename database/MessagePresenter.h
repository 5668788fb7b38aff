// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/DabrelExport.h"

#include <string>
#include <vector>

// The one place where messages reach the user. Every modal message of the program,
// the libraries' error boxes included, goes through the installed presenter, so that
// the windowed program shows a box, the batch mode prints a line and tests record.

enum class EMessageIcon
{
    None,
    Information,
    Warning,
    Error,
};

class DABREL_EXPORT CMessagePresenter
{
public:
    virtual ~CMessagePresenter();
    virtual void Show(const std::string& title, const std::string& text, EMessageIcon icon) = 0;
};

// Prints each message as one line "TITLE: TEXT" on standard error, with the text's line
// breaks turned into spaces. The presenter in force until another one is installed.
class DABREL_EXPORT CStderrPresenter : public CMessagePresenter
{
public:
    void Show(const std::string& title, const std::string& text, EMessageIcon icon) override;
    static std::string OneLine(const std::string& title, const std::string& text);
};

// Keeps every message it is given, for tests.
class DABREL_EXPORT CRecordingPresenter : public CMessagePresenter
{
public:
    struct CMessage
    {
        std::string title;
        std::string text;
        EMessageIcon icon;
    };

    void Show(const std::string& title, const std::string& text, EMessageIcon icon) override;

    std::vector<CMessage> m_Messages;
};

// Installs a presenter (not owned) and returns the one it replaces;
// nullptr restores the standard-error printer.
DABREL_EXPORT CMessagePresenter* SetMessagePresenter(CMessagePresenter* presenter);
DABREL_EXPORT CMessagePresenter& MessagePresenter();
DABREL_EXPORT void ShowMessage(const std::string& title, const std::string& text,
                               EMessageIcon icon);

// Installs a presenter for the life of a scope, then puts the previous one back.
class DABREL_EXPORT CScopedPresenter
{
public:
    explicit CScopedPresenter(CMessagePresenter& presenter);
    ~CScopedPresenter();
    CScopedPresenter(const CScopedPresenter&) = delete;
    CScopedPresenter& operator=(const CScopedPresenter&) = delete;

private:
    CMessagePresenter* m_Previous;
};
