// SPDX-License-Identifier: GPL-3.0-or-later
#include "parts/PartRows.h"

#include <cmath>
#include <cstdint>

namespace
{
CVariant Optional(const std::optional<double>& value)
{
    return value ? CVariant(*value) : CVariant(CNull{});
}

std::optional<double> OptionalReal(const CVariant& value)
{
    if (const auto* d = value.Get<double>())
        return *d;
    if (const auto* f = value.Get<float>())
        return *f;
    if (const auto* i = value.Get<std::int32_t>())
        return *i;
    if (const auto* l = value.Get<std::int64_t>())
        return static_cast<double>(*l);
    return std::nullopt;
}

double Real(const CVariant& value)
{
    return OptionalReal(value).value_or(0.0);
}

std::string Text(const CVariant& value)
{
    return value.AsString();
}
} // namespace

CPartRow ToRow(const CWirePart& p)
{
    return {p.m_Name,  p.m_Gauge, p.m_Insulation, p.m_BareDiameter, Optional(p.m_OverallDiameter),
            p.m_Source};
}

CPartRow ToRow(const CLitzPart& p)
{
    return {p.m_Name, p.m_StrandCount, p.m_StrandDiameter, Optional(p.m_OverallDiameter),
            p.m_Source};
}

CPartRow ToRow(const CDiodePart& p)
{
    return {p.m_Name,         p.m_Type,          p.m_Is,           p.m_N,
            Optional(p.m_Rs), Optional(p.m_Cj0), Optional(p.m_Vj), Optional(p.m_M),
            Optional(p.m_Bv), p.m_Source};
}

CPartRow ToRow(const CFerritePart& p)
{
    return {p.m_Name,
            p.m_Maker,
            p.m_Family,
            p.m_InitialPermeability,
            Optional(p.m_LossFactor),
            Optional(p.m_LossFrequency),
            p.m_Source};
}

CPartRow ToRow(const CRodPart& p)
{
    return {p.m_Name, p.m_Material, p.m_Diameter, p.m_Length, p.m_Source};
}

void FromRow(const CPartRow& r, CWirePart& p)
{
    p.m_Name = Text(r[0]);
    p.m_Gauge = Text(r[1]);
    p.m_Insulation = Text(r[2]);
    p.m_BareDiameter = Real(r[3]);
    p.m_OverallDiameter = OptionalReal(r[4]);
    p.m_Source = Text(r[5]);
}

void FromRow(const CPartRow& r, CLitzPart& p)
{
    p.m_Name = Text(r[0]);
    p.m_StrandCount = static_cast<int>(std::lround(Real(r[1])));
    p.m_StrandDiameter = Real(r[2]);
    p.m_OverallDiameter = OptionalReal(r[3]);
    p.m_Source = Text(r[4]);
}

void FromRow(const CPartRow& r, CDiodePart& p)
{
    p.m_Name = Text(r[0]);
    p.m_Type = Text(r[1]);
    p.m_Is = Real(r[2]);
    p.m_N = Real(r[3]);
    p.m_Rs = OptionalReal(r[4]);
    p.m_Cj0 = OptionalReal(r[5]);
    p.m_Vj = OptionalReal(r[6]);
    p.m_M = OptionalReal(r[7]);
    p.m_Bv = OptionalReal(r[8]);
    p.m_Source = Text(r[9]);
}

void FromRow(const CPartRow& r, CFerritePart& p)
{
    p.m_Name = Text(r[0]);
    p.m_Maker = Text(r[1]);
    p.m_Family = Text(r[2]);
    p.m_InitialPermeability = Real(r[3]);
    p.m_LossFactor = OptionalReal(r[4]);
    p.m_LossFrequency = OptionalReal(r[5]);
    p.m_Source = Text(r[6]);
}

void FromRow(const CPartRow& r, CRodPart& p)
{
    p.m_Name = Text(r[0]);
    p.m_Material = Text(r[1]);
    p.m_Diameter = Real(r[2]);
    p.m_Length = Real(r[3]);
    p.m_Source = Text(r[4]);
}

std::string RowProblem(const CPartTableDef& table, const CPartRow& row)
{
    const std::string name = Text(row.front());
    if (name.empty())
        return "A part needs a name.";
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return "A part's name cannot hold control characters.";
    for (std::size_t i = 1; i + 1 < row.size(); ++i)
    {
        const CPartColumn& column = table.m_Columns[i];
        const bool empty = row[i].IsNull() || row[i].IsEmpty() || Text(row[i]).empty();
        if (empty && column.m_Required)
            return "The " + std::string(column.m_Name) + " of " + name + " is missing.";
        if (empty || column.m_Kind == EValueKind::Text)
            continue;
        const std::optional<double> number = OptionalReal(row[i]);
        if (!number || !std::isfinite(*number) || *number <= 0.0)
            return "The " + std::string(column.m_Name) + " of " + name +
                   " must be a positive number.";
    }
    return {};
}
