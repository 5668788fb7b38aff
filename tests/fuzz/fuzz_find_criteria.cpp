// SPDX-License-Identifier: GPL-3.0-or-later
// Dabrel's find criteria: any text either reads as a criterion or is refused with "Invalid
// search criteria: " and the text; a value of any kind is compared without fault; and the
// six comparisons of one value with one criterion agree with each other.

#include "FuzzSupport.h"

#include "database/FindCriteria.h"

#include <cstring>
#include <exception>
#include <memory>
#include <optional>

namespace
{
std::optional<CFindCriteria> Read(const std::string& criteria)
{
    try
    {
        return CFindCriteria(criteria);
    }
    catch (const std::exception& e)
    {
        const std::string expected = "Invalid search criteria: " + criteria;
        FUZZ_CHECK(e.what() == expected, std::string("refused with: ") + e.what());
    }
    return std::nullopt;
}

CVariant PickValue(CFuzzInput& input)
{
    switch (input.Between(0, 9))
    {
    case 0:
        return CVariant();
    case 1:
        return CVariant(CNull{});
    case 2:
        return CVariant(input.Between(-1000, 1000));
    case 3:
    {
        long long wide = 0;
        for (int i = 0; i < 8; ++i)
            wide =
                static_cast<long long>(static_cast<unsigned long long>(wide) << 8 | input.Byte());
        return CVariant(wide);
    }
    case 4:
    {
        std::uint32_t bits = 0;
        for (int i = 0; i < 4; ++i)
            bits = bits << 8 | input.Byte();
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return CVariant(value);
    }
    case 5:
    {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = bits << 8 | input.Byte();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return CVariant(value);
    }
    case 6:
    {
        CDateTime date;
        date.m_Year = input.Between(0, 10000);
        date.m_Month = input.Between(0, 13);
        date.m_Day = input.Between(0, 32);
        date.m_Hour = input.Between(0, 24);
        date.m_Minute = input.Between(0, 60);
        date.m_Second = input.Between(0, 60);
        return CVariant(date);
    }
    case 7:
        return CVariant(CBlob{input.Byte(), input.Byte()});
    case 8:
        return CVariant(input.Flag());
    default:
        return CVariant(input.Until(0));
    }
}

// The value part of a criterion of the kind the input picks, as a user writes it.
std::string PickOperand(CFuzzInput& input)
{
    const int kind = input.Between(0, 2);
    const std::string text = input.Until(0);
    if (kind == 0)
    {
        std::string quoted = "'";
        for (char c : text)
            quoted += c == '\'' ? std::string("''") : std::string(1, c);
        return quoted + "'";
    }
    if (kind == 1)
        return "#" + text + "#";
    return text;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CFuzzInput input(data, size);
    if (input.Flag())
    {
        // A criterion as written, against values of every kind.
        const std::optional<CFindCriteria> criteria = Read(input.Until(0));
        while (criteria && !input.Empty())
            criteria->Matches(PickValue(input));
        return 0;
    }

    // One operand under the six comparisons: exactly one of <, = and > holds, and the others
    // follow from them; a value that matches nothing (NULL) fails all six.
    const std::string operand = PickOperand(input);
    std::optional<CFindCriteria> less, equal, greater, notEqual, lessOrEqual, greaterOrEqual;
    less = Read("[f] < " + operand);
    if (!less)
        return 0;
    equal = Read("[f] = " + operand);
    greater = Read("f>" + operand);
    notEqual = Read("f <> " + operand);
    lessOrEqual = Read("f <= " + operand);
    greaterOrEqual = Read("[f]>= " + operand);
    FUZZ_CHECK(equal && greater && notEqual && lessOrEqual && greaterOrEqual,
               "every comparison reads when < does: " + operand);
    while (!input.Empty())
    {
        const CVariant value = PickValue(input);
        const bool lt = less->Matches(value), eq = equal->Matches(value),
                   gt = greater->Matches(value);
        const bool ne = notEqual->Matches(value), le = lessOrEqual->Matches(value),
                   ge = greaterOrEqual->Matches(value);
        const std::string what = "value " + value.AsString() + " against " + operand;
        if (!lt && !eq && !gt && !ne && !le && !ge)
            continue; // matches nothing, as NULL
        FUZZ_CHECK(int(lt) + int(eq) + int(gt) == 1, "one of <, =, > for " + what);
        FUZZ_CHECK(ne == !eq && le == (lt || eq) && ge == (gt || eq), "the six agree for " + what);
    }
    return 0;
}
