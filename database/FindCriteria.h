// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/DabrelExport.h"
#include "database/Variant.h"

#include <string>

class CDatabaseException;

// A search condition on one field, "Field op value", as a recordset's Find takes it.
// op is =, <>, <, >, <=, >= or LIKE; the field may be written [in brackets]; the value
// is 'text' (with '' for a quote), #YYYY-MM-DD# or #YYYY-MM-DD HH:MM:SS#, or a number
// (not "nan").
// LIKE takes a text pattern where * and % stand for any run of characters and _ and ?
// for one. Text compares without regard to case; NULL matches nothing.
class DABREL_EXPORT CFindCriteria
{
public:
    // Throws CDatabaseException naming the criteria when they cannot be read.
    explicit CFindCriteria(const std::string& criteria);

    const std::string& Field() const { return m_Field; }
    bool Matches(const CVariant& value) const;

private:
    enum class EOperator
    {
        Equal,
        NotEqual,
        Less,
        Greater,
        LessOrEqual,
        GreaterOrEqual,
        Like
    };
    enum class EKind
    {
        Text,
        Number,
        Date
    };

    // The parts of a criteria text, from `pos` on; each throws `invalid` on a malformed one.
    void ParseField(const std::string& criteria, std::size_t& pos,
                    const CDatabaseException& invalid);
    void ParseOperator(const std::string& criteria, std::size_t& pos,
                       const CDatabaseException& invalid);
    void ParseValue(const std::string& criteria, std::size_t& pos,
                    const CDatabaseException& invalid);

    std::string m_Field;
    EOperator m_Operator = EOperator::Equal;
    EKind m_Kind = EKind::Text;
    std::string m_Text; // the value as written, without quotes or #
};
