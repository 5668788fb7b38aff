// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "parts/PartsSchema.h"

#include <optional>
#include <string>

// One part of each table, in SI units. An empty optional is a value its source does not give.
// m_User tells a part of the user's own from one shipped with the program.

struct CWirePart
{
    static constexpr EPartTable Table = EPartTable::Wire;
    std::string m_Name{};                      // "AWG 26", "SWG 30 (grade 1)"
    std::string m_Gauge{};                     // "AWG", "SWG", ...
    std::string m_Insulation{};                // empty for the bare conductor
    double m_BareDiameter = 0.0;               // m
    std::optional<double> m_OverallDiameter{}; // m, over the insulation (its maximum)
    std::string m_Source{};
    bool m_User = false;
};

struct CLitzPart
{
    static constexpr EPartTable Table = EPartTable::Litz;
    std::string m_Name{}; // "660/46": strands / strand AWG
    int m_StrandCount = 0;
    double m_StrandDiameter = 0.0;             // m, bare
    std::optional<double> m_OverallDiameter{}; // m, of the bundle
    std::string m_Source{};
    bool m_User = false;
};

// The published SPICE model of a detector diode.
struct CDiodePart
{
    static constexpr EPartTable Table = EPartTable::Diode;
    std::string m_Name{};
    std::string m_Type{};          // "germanium point contact", "Schottky", "silicon junction", ...
    double m_Is = 0.0;             // A, saturation current
    double m_N = 0.0;              // emission coefficient
    std::optional<double> m_Rs{};  // ohm
    std::optional<double> m_Cj0{}; // F, at zero bias
    std::optional<double> m_Vj{};  // V; SPICE takes 1 V when not given
    std::optional<double> m_M{};   // grading coefficient; SPICE takes 0.5 when not given
    std::optional<double> m_Bv{};  // V, reverse breakdown
    std::string m_Source{};
    bool m_User = false;
};

struct CFerritePart
{
    static constexpr EPartTable Table = EPartTable::FerriteMaterial;
    std::string m_Name{}; // the maker's material name, "43"
    std::string m_Maker{};
    std::string m_Family{}; // "NiZn", "MnZn"
    double m_InitialPermeability = 0.0;
    std::optional<double> m_LossFactor{};    // tan(delta) / mu_i
    std::optional<double> m_LossFrequency{}; // Hz, where the loss factor holds
    std::string m_Source{};
    bool m_User = false;
};

struct CRodPart
{
    static constexpr EPartTable Table = EPartTable::FerriteRod;
    std::string m_Name{};
    std::string m_Material{}; // a material's name, as in the ferrite material table
    double m_Diameter = 0.0;  // m
    double m_Length = 0.0;    // m
    std::string m_Source{};
    bool m_User = false;
};
