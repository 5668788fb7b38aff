// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/FerriteDlg.h"

#include "controls/VKEdit.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace
{

constexpr double RodMax = 999.999;
constexpr double CoilMax = 9999.999;

// In set-up order. The inductances may be in any one unit: only their ratios count.
const CFieldRow FerriteFields[] = {
    {FerriteDlg::IdRodDiameter, "Rod diameter(mm)", 4, 3, false, 0.001, RodMax, "Rod diameter",
     "9.68", "", FieldReal, Over(1000)},
    {FerriteDlg::IdRodLength, "Rod length(mm)", 4, 3, false, 0.001, RodMax, "Rod length", "180.0",
     "", FieldReal, Over(1000)},
    {FerriteDlg::IdInitialPermeability, "Inital permeability", 4, 3, false, 0.001, RodMax,
     "Initial permeability", "120.0", "", FieldReal},
    {FerriteDlg::IdL1Core, "L1(CORE)", 4, 3, false, 0.001, CoilMax, "Inductance 1 with core",
     "362.6", "", FieldReal},
    {FerriteDlg::IdL2Core, "L2(CORE)", 4, 3, false, 0.001, CoilMax, "Inductance 2 with core",
     "742.0", "", FieldReal},
    {FerriteDlg::IdL1Air, "L1(AIR)", 4, 3, false, 0.001, CoilMax, "Inductance 1 no core", "21.5",
     "", FieldReal},
    {FerriteDlg::IdL2Air, "L2(AIR)", 4, 3, false, 0.001, CoilMax, "Inductance 2 no core", "33.9",
     "", FieldReal},
    {FerriteDlg::IdCoil1Diameter, "Coil 1 diameter", 4, 3, false, 0.001, CoilMax, "Coil 1 diamter",
     "17.18", "mm", FieldReal, Over(1000)},
    {FerriteDlg::IdCoil2Diameter, "Coil 2 diamter", 4, 3, false, 0.001, CoilMax, "Coil 2 diamter",
     "17.18", "mm", FieldReal, Over(1000)},
    {FerriteDlg::IdCoil1Length, "Coil 1 length", 4, 3, false, 0.001, CoilMax, "Coil 1 length",
     "40.8", "mm", FieldReal, Over(1000)},
    {FerriteDlg::IdCoil2Length, "Coil 2 length", 4, 3, false, 0.001, CoilMax, "Coil 2 length",
     "60.8", "mm", FieldReal, Over(1000)},
};

const CFieldHelp FerriteHelp[] = {
    {FerriteDlg::IdRodDiameter, "The diameter of the ferrite rod the two test coils are wound on."},
    {FerriteDlg::IdRodLength, "The length of the ferrite rod the two test coils are wound on."},
    {FerriteDlg::IdInitialPermeability,
     "The initial permeability of the ferrite material, from its data sheet."},
    {FerriteDlg::IdL1Core,
     "The inductance of the first test coil with the rod inside it; use one unit for all four."},
    {FerriteDlg::IdL2Core,
     "The inductance of the second test coil with the rod inside it; use one unit for all four."},
    {FerriteDlg::IdL1Air,
     "The inductance of the first test coil without the rod; use one unit for all four."},
    {FerriteDlg::IdL2Air,
     "The inductance of the second test coil without the rod; use one unit for all four."},
    {FerriteDlg::IdCoil1Diameter, "The diameter of the first test coil wound on the rod."},
    {FerriteDlg::IdCoil2Diameter, "The diameter of the second test coil wound on the rod."},
    {FerriteDlg::IdCoil1Length,
     "The winding length of the first test coil; make it clearly different from the second's."},
    {FerriteDlg::IdCoil2Length,
     "The winding length of the second test coil; make it clearly different from the first's."},
};

// Equal lengths leave the length exponent undefined, and a coil as wide as the rod the gap
// exponent: each is a logarithm of their ratio, divided by.
const CFieldCheck FerriteChecks[] = {
    {FerriteDlg::IdCoil2Length, EFieldCondition::DiffersFrom,
     "must differ from %s for this calculation", FerriteDlg::IdCoil1Length},
    {FerriteDlg::IdCoil1Diameter, EFieldCondition::DiffersFrom,
     "must differ from %s for this calculation", FerriteDlg::IdRodDiameter},
};

const CFieldRow& Row(int id)
{
    return *FindFieldRow(FerriteFields, id);
}

// The rod and the two measured coils, lengths in metres.
struct CFerriteEntry
{
    double m_RodDiameter = 0, m_RodLength = 0, m_InitialPermeability = 0;
    double m_L1Core = 0, m_L1Air = 0, m_L2Core = 0, m_L2Air = 0;
    double m_Coil1Diameter = 0, m_Coil2Diameter = 0, m_Coil1Length = 0, m_Coil2Length = 0;
};

// The order of the controls, not of the set-up.
const CFieldBinding<CFerriteEntry> FerriteInputs[] = {
    {FerriteDlg::IdRodDiameter, &CFerriteEntry::m_RodDiameter},
    {FerriteDlg::IdRodLength, &CFerriteEntry::m_RodLength},
    {FerriteDlg::IdInitialPermeability, &CFerriteEntry::m_InitialPermeability},
    {FerriteDlg::IdL1Core, &CFerriteEntry::m_L1Core},
    {FerriteDlg::IdL1Air, &CFerriteEntry::m_L1Air},
    {FerriteDlg::IdL2Core, &CFerriteEntry::m_L2Core},
    {FerriteDlg::IdL2Air, &CFerriteEntry::m_L2Air},
    {FerriteDlg::IdCoil1Diameter, &CFerriteEntry::m_Coil1Diameter},
    {FerriteDlg::IdCoil2Diameter, &CFerriteEntry::m_Coil2Diameter},
    {FerriteDlg::IdCoil1Length, &CFerriteEntry::m_Coil1Length},
    {FerriteDlg::IdCoil2Length, &CFerriteEntry::m_Coil2Length},
};

} // namespace

FerriteDlg::FerriteDlg(QWidget* parent) : CVKFormView(QStringLiteral("Ferrite"), 16008, parent) {}

// Template order, which is also the order the inputs are read in.
void FerriteDlg::BuildForm()
{
    auto* groups = new QHBoxLayout;
    MainLayout()->addLayout(groups);
    const std::pair<const char*, std::vector<int>> columns[] = {
        {"Ferrite rod", {IdRodDiameter, IdRodLength, IdInitialPermeability}},
        {"Measured inductances", {IdL1Core, IdL1Air, IdL2Core, IdL2Air}},
        {"Coils", {IdCoil1Diameter, IdCoil2Diameter, IdCoil1Length, IdCoil2Length}},
    };
    for (const auto& [title, ids] : columns)
    {
        auto* column = new QVBoxLayout(AddGroup(QString::fromLatin1(title), groups));
        auto* grid = new QGridLayout;
        column->addLayout(grid);
        column->addStretch();
        for (int id : ids)
            AddField(grid, Row(id));
    }

    AddResultsAndActions(MainLayout());
    // Extra height goes to the reports.
    MainLayout()->setStretchFactor(ResultsBox()->parentWidget(), 1);
}

std::span<const CFieldHelp> FerriteDlg::FieldHelp() const
{
    return FerriteHelp;
}

const CFormAction FerriteDlg::ActionTable[] = {
    {FerriteDlg::IdCalcInductance,
     "Calc Inductance",
     nullptr,
     "Run",
     {"Ua1", "Ua2"},
     RunHandler<&FerriteDlg::OnCalcInductance>},
};

std::span<const CFormAction> FerriteDlg::Actions() const
{
    return ActionTable;
}

void FerriteDlg::SetupFields()
{
    CVKFormView::SetupFields(FerriteFields, static_cast<int>(std::size(FerriteFields)));
    SetResultsText(QString());
}

bool FerriteDlg::ReadInputs()
{
    m_Ferrite.Reset();

    CFerriteEntry in;
    if (!ReadFields(in, FerriteInputs))
        return false;
    m_Ferrite.SetRod(in.m_RodDiameter, in.m_RodLength, in.m_InitialPermeability);
    m_Ferrite.SetCoils({.m_Coil1Diameter = in.m_Coil1Diameter,
                        .m_Coil1Length = in.m_Coil1Length,
                        .m_L1Air = in.m_L1Air,
                        .m_L1Core = in.m_L1Core,
                        .m_Coil2Diameter = in.m_Coil2Diameter,
                        .m_Coil2Length = in.m_Coil2Length,
                        .m_L2Air = in.m_L2Air,
                        .m_L2Core = in.m_L2Core});
    return true;
}

void FerriteDlg::OnCalcInductance()
{
    if (!ReadInputs() || !CheckFields(FerriteChecks))
        return;
    if (!m_Ferrite.Calculate())
        return;
    // Below 1 the rod's law 1 + 0.84 (ui - 1) (d/l)^1.7 reaches zero for a thick enough rod,
    // and its logarithms have no value.
    const double results[] = {m_Ferrite.m_Ua1, m_Ferrite.m_Ua2, m_Ferrite.m_Alpha,
                              m_Ferrite.m_Beta0, m_Ferrite.m_Coeff};
    const bool finite = std::all_of(std::begin(results), std::end(results),
                                    [](double value) { return std::isfinite(value); });
    if (!finite && m_Ferrite.m_InitialPermeability < 1)
    {
        RefuseField(IdInitialPermeability,
                    "below 1 does not suit a rod of this diameter and length");
        return;
    }
    CReportTable table;
    table.m_Title = ActionCaption(IdCalcInductance);
    table.m_Header = QStringLiteral("tUa1 \tUa2 \tAlpha \tBeta0 \tCoeff\r\n");
    table.m_Columns = {{QStringLiteral("Ua1"), QString(), 2},
                       {QStringLiteral("Ua2"), QString(), 2},
                       {QStringLiteral("Alpha"), QString(), 4},
                       {QStringLiteral("Beta0"), QString(), 4},
                       {QStringLiteral("Coeff"), QString(), 4, QString()}};
    table.m_Footer = QString(59, QLatin1Char('*')) + QStringLiteral("\r\n");
    BeginTable(std::move(table));
    AddRow({CReportCell::Number(m_Ferrite.m_Ua1), CReportCell::Number(m_Ferrite.m_Ua2),
            CReportCell::Number(m_Ferrite.m_Alpha), CReportCell::Number(m_Ferrite.m_Beta0),
            CReportCell::Number(m_Ferrite.m_Coeff)});
    EndTable();
}
