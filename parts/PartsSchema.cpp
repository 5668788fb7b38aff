// SPDX-License-Identifier: GPL-3.0-or-later
#include "parts/PartsSchema.h"

#include <stdexcept>

namespace
{
constexpr double Mm = 1e-3;

CPartColumn Name()
{
    return {"Name", "name", EValueKind::Text, true, 1.0};
}

CPartColumn Source()
{
    return {"Source", "source", EValueKind::Text, true, 1.0};
}
} // namespace

const std::vector<CPartTableDef>& PartTables()
{
    static const std::vector<CPartTableDef> tables = {
        {EPartTable::Wire,
         "Wire",
         "wire.csv",
         {Name(),
          {"Gauge", "gauge", EValueKind::Text, true, 1.0},
          {"Insulation", "insulation", EValueKind::Text, false, 1.0},
          {"BareDiameter", "bare_mm", EValueKind::Real, true, Mm},
          {"OverallDiameter", "overall_max_mm", EValueKind::Real, false, Mm},
          Source()}},
        {EPartTable::Litz,
         "Litz",
         "litz.csv",
         {Name(),
          {"StrandCount", "strands", EValueKind::Integer, true, 1.0},
          {"StrandDiameter", "strand_mm", EValueKind::Real, true, Mm},
          {"OverallDiameter", "overall_mm", EValueKind::Real, false, Mm},
          Source()}},
        {EPartTable::Diode,
         "Diode",
         "diodes.csv",
         {Name(),
          {"Type", "type", EValueKind::Text, true, 1.0},
          {"SaturationCurrent", "is_A", EValueKind::Real, true, 1.0},
          {"EmissionCoefficient", "n", EValueKind::Real, true, 1.0},
          {"SeriesResistance", "rs_ohm", EValueKind::Real, false, 1.0},
          {"JunctionCapacitance", "cj0_F", EValueKind::Real, false, 1.0},
          {"JunctionPotential", "vj_V", EValueKind::Real, false, 1.0},
          {"GradingCoefficient", "m", EValueKind::Real, false, 1.0},
          {"BreakdownVoltage", "bv_V", EValueKind::Real, false, 1.0},
          Source()}},
        {EPartTable::FerriteMaterial,
         "FerriteMaterial",
         "ferrite_materials.csv",
         {Name(),
          {"Maker", "maker", EValueKind::Text, false, 1.0},
          {"Family", "family", EValueKind::Text, false, 1.0},
          {"InitialPermeability", "mu_i", EValueKind::Real, true, 1.0},
          {"LossFactor", "loss_factor", EValueKind::Real, false, 1.0},
          {"LossFrequency", "loss_frequency_Hz", EValueKind::Real, false, 1.0},
          Source()}},
        {EPartTable::FerriteRod,
         "FerriteRod",
         "ferrite_rods.csv",
         {Name(),
          {"Material", "material", EValueKind::Text, true, 1.0},
          {"Diameter", "diameter_mm", EValueKind::Real, true, Mm},
          {"Length", "length_mm", EValueKind::Real, true, Mm},
          Source()}},
    };
    return tables;
}

const CPartTableDef& PartTable(EPartTable table)
{
    for (const CPartTableDef& def : PartTables())
        if (def.m_Table == table)
            return def;
    throw std::logic_error("no such parts table");
}

std::string CreateTableSql(const CPartTableDef& table)
{
    std::string sql = std::string("CREATE TABLE IF NOT EXISTS ") + table.m_SqlName +
                      " (RecId INTEGER PRIMARY KEY AUTOINCREMENT";
    for (const CPartColumn& column : table.m_Columns)
    {
        sql += std::string(", ") + column.m_Name;
        if (std::string(column.m_Name) == "Name")
            sql += " TEXT NOT NULL UNIQUE COLLATE NOCASE";
        else if (column.m_Kind == EValueKind::Text)
            sql += " TEXT";
        else
            sql += column.m_Kind == EValueKind::Real ? " REAL" : " INTEGER";
    }
    return sql + ");";
}
