// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/VKFormView.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include <memory>
#include <utility>
#include <vector>

// A small form with every kind of control, recording the commands it receives together
// with the check state its handler saw.
class CProbeForm : public CVKFormView
{
public:
    enum
    {
        IdFirst = 1201,
        IdSecond = 1202,
        IdThird = 1203,
        IdRadioA = 1210,
        IdRadioB = 1211,
        IdRadioC = 1212,
        IdOtherA = 1220,
        IdOtherB = 1221,
        IdCheck = 1230,
        IdSecondAction = 4,
    };

    explicit CProbeForm(bool enterMoves = true) : CVKFormView(QStringLiteral("Probe"), 1, nullptr)
    {
        setEnterMovesFocus(enterMoves);
    }

    bool OnCommand(int id) override
    {
        m_Commands.push_back({id, IsChecked(id)});
        if (id == IdMainAction || id == IdSecondAction || id == IdRadioA || id == IdRadioB ||
            id == IdRadioC || id == IdCheck)
            return true;
        return CVKFormView::OnCommand(id);
    }

    using CVKFormView::ApplyEnableRule;
    using CVKFormView::CheckFields;
    using CVKFormView::ReadFields;
    using CVKFormView::StepsSideBySide;

    std::vector<std::pair<int, bool>> m_Commands;

protected:
    void BuildForm() override
    {
        static const CFieldRow rows[] = {
            {IdFirst, "First (mm)", 3, 2, false, 1.0, 99.0, "First", "12.5", "mm", FieldReal,
             Times(0.001)},
            {IdSecond, "Second", 3, 0, false, 1, 9, "Second", "3", "", FieldWhole},
            {IdThird, "Third", 3, 2, false, 0, 0, "", "", "", FieldUnchecked},
        };
        QGroupBox* inputs = AddGroup(QStringLiteral("Inputs"));
        auto* grid = new QGridLayout(inputs);
        AddFields(grid, rows, 3);
        m_Rows = rows;

        QGroupBox* modes = AddGroup(QStringLiteral("Modes"));
        auto* modesLayout = new QVBoxLayout(modes);
        AddRadio(modesLayout, IdRadioA, QStringLiteral("A"), 1);
        AddRadio(modesLayout, IdRadioB, QStringLiteral("B"), 1);
        AddRadio(modesLayout, IdRadioC, QStringLiteral("C"), 1);
        AddRadio(modesLayout, IdOtherA, QStringLiteral("Other A"), 2);
        AddRadio(modesLayout, IdOtherB, QStringLiteral("Other B"), 2);
        AddCheck(modesLayout, IdCheck, QStringLiteral("Check"));
        AddResultsAndActions(MainLayout());
    }

    std::span<const CFormAction> Actions() const override
    {
        static const CFormAction actions[] = {{IdMainAction, "Go"}, {IdSecondAction, "Go again"}};
        return actions;
    }

    void SetupFields() override
    {
        CVKFormView::SetupFields(m_Rows, 3);
        SetCheck(IdRadioA, true);
        SetCheck(IdOtherA, true);
    }

private:
    const CFieldRow* m_Rows = nullptr;
};

inline std::unique_ptr<CProbeForm> MakeProbe(bool enterMoves = true)
{
    auto form = std::make_unique<CProbeForm>(enterMoves);
    form->OnInitialUpdate();
    return form;
}
