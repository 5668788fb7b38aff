// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstddef>
#include <cstdio>
#include <string>

class CVKFormView;
class QWidget;

// Design files: the values of a form's fields, radio buttons and check boxes by control id.
// Line 1 the form key, line 2 the format version, then one "id,value" record per control in
// creation order, each line ended by "\r\n". The application's document and the batch mode
// both load and save through here.

// Files of this version hold their numbers in the fixed notation, without grouping ("1706",
// "0.10", "-1.6791"), so that a design means the same in every locale. The files of the
// first version ("1.0") hold the text as the saving user's fields showed it, and are read in
// the loading user's number format.
inline constexpr const char* DesignFileVersion = "1.1";

// How the values of a file's records are written.
enum class ENotation
{
    Fixed, // the fixed notation of version 1.1
    User,  // the user's own number format, as fields show it
};

ENotation NotationOfVersion(const QString& version);

// The longest line the reader takes in one piece, in bytes; a longer one reads as two.
inline constexpr std::size_t DesignLineLimit = 255;

// What a control is to a design file.
enum class EControlKind
{
    Edit, // a numeric field (the results box is not one)
    Radio,
    Check,
    Part,  // a part picker: its record, the part's name, only when a part is chosen
    Other, // push buttons, group boxes, labels, the results box: not written, not read
};

EControlKind ClassifyControl(const QWidget* control);

// Reads one line of printable bytes (32 to 127) and whole UTF-8 characters, at most 255
// bytes; any other byte ends the line and the run of such bytes after it is skipped. True when
// another line follows; the text is valid either way. A longer line is returned in pieces of 255.
bool ReadLine(std::FILE* file, std::string& text);

// One record line "id,value": the value is the first run of non-blank characters after the
// comma, empty when only blanks follow. m_Valid is false when the line does not start with
// a number followed by a comma.
struct CControlRecord
{
    bool m_Valid = false;
    int m_Id = 0;
    std::string m_Value;
};

CControlRecord ParseControlRecord(const std::string& line);

// Applies one record line to the form: a field gets the value, shown in the user's format
// when the record is in the fixed notation; a radio button or check box
// with state 1 is checked and its handler runs (OnCommand); a radio button with state 0 is
// only cleared, a check box with state 0 is cleared and its handler runs, so that the form
// is left as the same clicks would leave it.
// False when the line names nothing the form keeps in a design file.
bool ApplyControlRecord(CVKFormView& form, const std::string& line, ENotation notation);

// Reads one line and applies it; returns ReadLine's flag.
bool ReadControlRecord(std::FILE* file, CVKFormView& form, ENotation notation);

// The record of one control ("id,value", with " " for an empty field, or "id,state"), or an
// empty string for a control that is not written.
QString ControlRecord(const QWidget* control, ENotation notation);

// Which file a load reads.
enum class EDesignLoad
{
    Default, // the calculator's own default design: a missing or empty one is no fault
    Chosen,  // a file the user or a script named: every failure is said
};

// Loads a design file into the active form. Another form's file, anything but a regular
// file (a pipe, a device, a folder) and a file larger than 1 MB give "Invalid file: " +
// path, a file without records or no active form "No form selected!". A file that cannot be
// opened, or has fewer than two lines, loads nothing; a default design says nothing then,
// a chosen file "File not found: " + path, "Error while reading " + path or "Invalid file: "
// + path. The form gets the keyboard focus. True when the records were applied.
bool LoadDesign(CVKFormView* activeForm, const QString& activeKey, const QString& path,
                EDesignLoad load = EDesignLoad::Chosen);

// Writes the active form into a design file and says "<path> saved!"; the version line
// decides the notation of its numbers. The file is written
// beside the target first and replaces it only when complete, so a failed save leaves the
// old file as it was and says "Error while writing to file " + path. Only a regular file, or
// a link to one, is replaced: a pipe, a device or a folder is refused the same way.
bool SaveDesign(CVKFormView* activeForm, const QString& activeKey, const QString& path,
                const QString& version = QString::fromLatin1(DesignFileVersion));
