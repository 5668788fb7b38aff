// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/VKFormView.h"
#include "models/Ferrite.h"

// The ferrite rod calculator: from a rod and two coils each measured with and without the
// rod, the apparent permeabilities and the rod's gap and length exponents.
class FerriteDlg : public CVKFormView
{
    Q_OBJECT

public:
    // The form's actions, for Actions() and the tables that name them.
    static const CFormAction ActionTable[];
    enum EControlId
    {
        IdRodDiameter = 1226,
        IdRodLength = 1227,
        IdInitialPermeability = 1222,
        IdL1Core = 1232,
        IdL1Air = 1233,
        IdL2Core = 1234,
        IdL2Air = 1235,
        IdCoil1Diameter = 1238,
        IdCoil2Diameter = 1239,
        IdCoil1Length = 1236,
        IdCoil2Length = 1237,
        IdCalcInductance = IdMainAction,
    };

    explicit FerriteDlg(QWidget* parent = nullptr);

    const CFerrite& Ferrite() const { return m_Ferrite; }

protected:
    void BuildForm() override;
    void SetupFields() override;
    std::span<const CFieldHelp> FieldHelp() const override;
    std::span<const CFormAction> Actions() const override;

private:
    bool ReadInputs();
    void OnCalcInductance();

    CFerrite m_Ferrite;
};
