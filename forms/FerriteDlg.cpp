#include "forms/FerriteDlg.h"

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
     "9.68", "", FieldReal},
    {FerriteDlg::IdRodLength, "Rod length(mm)", 4, 3, false, 0.001, RodMax, "Rod length", "180.0",
     "", FieldReal},
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
     "17.18", "mm", FieldReal},
    {FerriteDlg::IdCoil2Diameter, "Coil 2 diamter", 4, 3, false, 0.001, CoilMax, "Coil 2 diamter",
     "17.18", "mm", FieldReal},
    {FerriteDlg::IdCoil1Length, "Coil 1 length", 4, 3, false, 0.001, CoilMax, "Coil 1 length",
     "40.8", "mm", FieldReal},
    {FerriteDlg::IdCoil2Length, "Coil 2 length", 4, 3, false, 0.001, CoilMax, "Coil 2 length",
     "60.8", "mm", FieldReal},
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
    for (const CFieldRow& row : FerriteFields)
        if (row.m_Id == id)
            return row;
    return FerriteFields[0];
}

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

    AddResultsAndActions(MainLayout(), {{IdCalcInductance, QStringLiteral("Calc Inductance")}});
    // Extra height goes to the reports.
    MainLayout()->setStretchFactor(ResultsBox()->parentWidget(), 1);
}

void FerriteDlg::SetupFields()
{
    CVKFormView::SetupFields(FerriteFields, static_cast<int>(std::size(FerriteFields)));
    SetResultsText(QString());
}

bool FerriteDlg::OnCommand(int id)
{
    if (id == IdCalcInductance)
    {
        OnCalcInductance();
        return true;
    }
    return CVKFormView::OnCommand(id);
}

bool FerriteDlg::ReadInputs()
{
    m_Ferrite.Reset();

    double rodDiameter = 0, rodLength = 0, initialPermeability = 0;
    double l1Core = 0, l1Air = 0, l2Core = 0, l2Air = 0;
    double coil1Diameter = 0, coil2Diameter = 0, coil1Length = 0, coil2Length = 0;
    const std::pair<int, double*> inputs[] = {
        {IdRodDiameter, &rodDiameter},
        {IdRodLength, &rodLength},
        {IdInitialPermeability, &initialPermeability},
        {IdL1Core, &l1Core},
        {IdL1Air, &l1Air},
        {IdL2Core, &l2Core},
        {IdL2Air, &l2Air},
        {IdCoil1Diameter, &coil1Diameter},
        {IdCoil2Diameter, &coil2Diameter},
        {IdCoil1Length, &coil1Length},
        {IdCoil2Length, &coil2Length},
    };
    for (const auto& [id, value] : inputs)
        if (!Field(id)->ValidateInput(*value))
            return false;

    // Millimetres to metres.
    m_Ferrite.SetRod(rodDiameter / 1000, rodLength / 1000, initialPermeability);
    m_Ferrite.SetCoils(coil1Diameter / 1000, coil1Length / 1000, l1Air, l1Core,
                       coil2Diameter / 1000, coil2Length / 1000, l2Air, l2Core);
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
    table.m_Title = QStringLiteral("Calc Inductance");
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
