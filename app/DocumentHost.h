// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/Platform.h"

#include <QString>

#include <vector>

class QWidget;

// What a design document needs of the program around it: the Save dialog, its questions,
// the one question before a shipped default design is replaced, and the file format version.
class CDocumentHost
{
public:
    virtual ~CDocumentHost() = default;

    // The chosen path, or an empty text when the user cancels.
    virtual QString AskSaveFile(const QString& proposal) = 0;
    virtual EAnswer Ask(QWidget* owner, const QString& text,
                        const std::vector<EAnswer>& answers) = 0;
    // True when a save to the path may go ahead.
    virtual bool MayReplace(const QString& path) = 0;
    // Where a save to the path writes: the path itself, or the user's own copy of a default
    // design that cannot be changed where it lies.
    virtual QString SaveTarget(const QString& path) = 0;
    // The path a save writes to, kept as the last path chosen in the program.
    virtual void NoteSavePath(const QString& path) = 0;
    virtual QString FileVersion() const = 0;
};
