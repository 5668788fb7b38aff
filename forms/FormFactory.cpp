// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/FormFactory.h"

#include "forms/VKFormView.h"

#include <QDir>

// One include per calculator form.
#include "forms/CoilDlg.h"
#include "forms/DiodeCapacitanceDlg.h"
#include "forms/FerriteDlg.h"
#include "forms/ImpedanceDlg.h"
#include "forms/MonopoleDlg.h"
#include "forms/MutualInductanceDlg.h"
#include "forms/TuningCapDlg.h"

namespace
{
template <class TForm> std::unique_ptr<CVKFormView> Make()
{
    return std::make_unique<TForm>();
}
} // namespace

// In the design selector's order: Monopole, TuningCap, Coil, CrystalRadio, Impedance,
// Ferrite, DiodeCapacitance. One line per form: {key, selector caption, guide section,
// &Make<class>}.
const std::vector<CFormEntry>& FormEntries()
{
    static const std::vector<CFormEntry> entries = {
        {QStringLiteral("Monopole"), QStringLiteral("Monopole"), QStringLiteral("monopole"),
         &Make<CMonopoleDlg>},
        {QStringLiteral("TuningCap"), QStringLiteral("Tuning Cap"), QStringLiteral("tuningcap"),
         &Make<CTuningCapDlg>},
        {QStringLiteral("Coil"), QStringLiteral("Coil"), QStringLiteral("coil"), &Make<CCoilDlg>},
        {QStringLiteral("CrystalRadio"), QStringLiteral("Air-core crystal radio"),
         QStringLiteral("crystalradio"), &Make<CMutualInductanceDlg>},
        {QStringLiteral("Impedance"), QStringLiteral("Impedance Calulator"),
         QStringLiteral("impedance"), &Make<CImpedanceDlg>},
        {QStringLiteral("Ferrite"), QStringLiteral("Ferrite rod"), QStringLiteral("ferrite"),
         &Make<FerriteDlg>},
        {QStringLiteral("DiodeCapacitance"), QStringLiteral("Diode Capacitance"),
         QStringLiteral("diode"), &Make<DiodeCapacitanceDlg>},
    };
    return entries;
}

const CFormEntry* FindFormEntry(const QString& key)
{
    for (const CFormEntry& entry : FormEntries())
        if (entry.m_Key == key)
            return &entry;
    return nullptr;
}

std::unique_ptr<CVKFormView> CreateForm(const QString& key)
{
    const CFormEntry* entry = FindFormEntry(key);
    if (!entry)
        return nullptr;
    std::unique_ptr<CVKFormView> form = entry->m_Create();
    form->OnInitialUpdate();
    return form;
}

QString DefaultDesignPath(const QString& folder, const CFormEntry& entry)
{
    return QDir(folder).filePath(
        QStringLiteral("Data/%1/%2_Default.qwf").arg(entry.m_Key, entry.m_Caption));
}
