// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "parts/PartsSchema.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// One row of a calculator form's field table: the arguments of the set-up calls that a
// numeric field gets, its label and its unit. Forms declare their fields as arrays of rows
// and the form base builds, labels and sets up the fields from them.

// Which set-up calls a field gets; some fields get only some of them.
enum EFieldCalls : unsigned
{
    FieldDigitRange = 1u << 0,  // SetDigitRange(integer places, decimal places, negative)
    FieldRealRange = 1u << 1,   // SetNumberValidation(double min, double max, name)
    FieldWholeRange = 1u << 2,  // SetNumberValidation(int min, int max, name)
    FieldDefaultText = 1u << 3, // SetWindowText(default)

    FieldReal = FieldDigitRange | FieldRealRange | FieldDefaultText,
    FieldWhole = FieldDigitRange | FieldWholeRange | FieldDefaultText,
    FieldUnchecked = FieldDigitRange | FieldDefaultText, // any number, empty reads as 0
    FieldTextOnly = FieldDefaultText,                    // keeps the control's own digit rules
};

// A value typed in a field's display unit, times m_Times and then over m_Over, is the value in
// SI units. Both numbers are kept as the conversion is written (mm / 1000 is not mm * 0.001 to
// the last bit), so that every form's results stay what they were.
struct CToSI
{
    double m_Times = 1.0;
    double m_Over = 1.0;
    double Apply(double value) const { return value * m_Times / m_Over; }
};
constexpr CToSI Times(double factor)
{
    return {factor, 1.0};
}
constexpr CToSI Over(double divisor)
{
    return {1.0, divisor};
}

struct CFieldRow
{
    int m_Id;            // control id, also the key of the field's design-file record
    const char* m_Label; // static text beside the field
    int m_IntegerPlaces;
    int m_DecimalPlaces;
    bool m_Negative; // a leading "-" may be typed
    double m_Min;    // range, for FieldRealRange (FieldWholeRange truncates to int)
    double m_Max;
    const char* m_FieldName; // quoted by the field's error messages
    const char* m_Default;   // default text
    const char* m_Unit;      // display unit, for the reader of the form; may be ""
    unsigned m_Calls;        // EFieldCalls
    CToSI m_ToSI = {};       // display unit to the unit the form's models take
};

// The row of a control id in a form's table, or null.
template <std::size_t Count> const CFieldRow* FindFieldRow(const CFieldRow (&rows)[Count], int id)
{
    for (const CFieldRow& row : rows)
        if (row.m_Id == id)
            return &row;
    return nullptr;
}

// How a field's failure ends a reading.
enum class EFieldRead
{
    Required, // a refused value ends the reading; the target keeps its value
    IfValid,  // a refused value is passed over; the target keeps its value
    Always,   // the value is taken as read, refused or not, and the reading goes on
};

// Where a field's value goes: a member of the object a table is read into. The value is
// converted to SI units by the field's row.
template <typename Target> struct CFieldBinding
{
    int m_Id;
    double Target::*m_Member;
    EFieldRead m_Read = EFieldRead::Required;
    double& In(Target& target) const { return target.*m_Member; }
};

// The same for a member of a part of the object, as one of two bias points of a form.
template <typename Target, typename Part> struct CFieldPartBinding
{
    int m_Id;
    Part Target::*m_Part;
    double Part::*m_Member;
    EFieldRead m_Read = EFieldRead::Required;
    double& In(Target& target) const { return (target.*m_Part).*m_Member; }
};

// One mode of a form: the controls it enables and those it disables. Controls in neither
// list keep their state.
struct CEnableRule
{
    int m_Mode;
    std::vector<int> m_Enable;
    std::vector<int> m_Disable;
};

// A value that a field accepts but that takes a calculation out of its domain (a division
// by zero, the logarithm or root of a negative number). Forms list them per action; the
// form base checks them after the fields were read and before anything is computed.
enum class EFieldCondition
{
    NotZero,     // the value is not 0 (an empty field reads as 0)
    AtLeast,     // the value is m_Bound or more
    DiffersFrom, // the value is not that of field m_Other
    Above,       // the value is greater than that of field m_Other
};

struct CFieldCheck
{
    int m_Id;
    EFieldCondition m_Condition;
    // Completes "Error: <field> "; "%s" stands for the other field of DiffersFrom and Above.
    const char* m_Reason;
    int m_Other = 0;
    double m_Bound = 0.0;
};

// What a field means, in one sentence in the user guide's words. The form base puts it, with
// the field's unit and range, into the field's tooltip, status tip and What's This text. Each
// form keeps one such table beside its field table.
struct CFieldHelp
{
    int m_Id;
    const char* m_Meaning;
};

class CVKFormView;
class CReportTable;
struct CTableHint;

// One action of a form, declared once: its push button's id and caption (also the title of the
// report tables it writes and of its progress), what a long run of it counts ("distance"), the
// default plot of its table (the x column and up to three y columns by their report names), and
// its handler, which the form base calls for a click, a design file or the batch mode.
struct CFormAction
{
    int m_Id;
    const char* m_Caption;
    const char* m_Step = nullptr;
    const char* m_PlotX = nullptr;
    std::array<const char*, 3> m_PlotY = {};
    void (*m_Run)(CVKFormView& form, int id) = nullptr;
};

// A validity rule: where a model is poor, the hint that says so. After each action the form base
// puts every table the action wrote to each rule: the check gets a hint whose text is m_Hint,
// fills in the values it names (%1, %2, ...) and the rows it concerns (none: the whole table),
// and returns true when the hint applies.
struct CFormRule
{
    const char* m_Hint;
    bool (*m_Check)(const CVKFormView& form, const CReportTable& table, CTableHint& hint);
};

// A picker of parts beside the fields a part fills: its control id (the key of its design-file
// record, which holds the part's name and which a reader without the parts ignores), its name
// for the batch mode's --part GROUP=NAME, its label, the parts table it lists, the fields a part
// fills (typing in one shows the picker's free choice again), and the form's function that looks
// the part up and fills them, false when there is no such part.
struct CPartPickerRow
{
    int m_Id;
    const char* m_Group;
    const char* m_Label; // beside the picker
    EPartTable m_Table;
    std::vector<int> m_Fills;
    bool (*m_Fill)(CVKFormView& form, const std::string& name);
};
