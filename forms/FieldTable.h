#pragma once

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
};

// Where the row of a control id is in a form's table, or -1.
inline int FieldRowIndex(const CFieldRow* rows, int count, int id)
{
    for (int i = 0; i < count; ++i)
        if (rows[i].m_Id == id)
            return i;
    return -1;
}

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
