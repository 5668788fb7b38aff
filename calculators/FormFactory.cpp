// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/FormFactory.h"

#include "controls/Platform.h"
#include "forms/VKFormView.h"

#include <QDir>

// One include per calculator form.
#include "calculators/CoilDlg.h"
#include "calculators/DiodeCapacitanceDlg.h"
#include "calculators/FerriteDlg.h"
#include "calculators/ImpedanceDlg.h"
#include "calculators/MonopoleDlg.h"
#include "calculators/MutualInductanceDlg.h"
#include "calculators/TuningCapDlg.h"

namespace
{
template <class TForm> std::unique_ptr<CVKFormView> Make()
{
    return std::make_unique<TForm>();
}
} // namespace

// In the design selector's order. A new calculator is one line here.
const std::vector<CFormEntry>& FormEntries()
{
    using enum EFormPage;
    static const std::vector<CFormEntry> entries = {
        {QStringLiteral("Monopole"), QStringLiteral("Monopole"), QStringLiteral("monopole"), Design,
         QStringLiteral("Calculate monopole impedance"), &Make<CMonopoleDlg>},
        {QStringLiteral("TuningCap"), QStringLiteral("Tuning Cap"), QStringLiteral("tuningcap"),
         Design, QStringLiteral("Calculate coil inductance for tuning cap"), &Make<CTuningCapDlg>},
        {QStringLiteral("Coil"), QStringLiteral("Coil"), QStringLiteral("coil"), Design,
         QStringLiteral("Calculate coil geometry and specifications"), &Make<CCoilDlg>},
        {QStringLiteral("CrystalRadio"), QStringLiteral("Air-core crystal radio"),
         QStringLiteral("crystalradio"), Design,
         QStringLiteral("Calculate transofrmer Q and voltages of an air-core crystal radio"),
         &Make<CMutualInductanceDlg>},
        {QStringLiteral("Impedance"), QStringLiteral("Impedance Calulator"),
         QStringLiteral("impedance"), Utilities, QStringLiteral("Calculate impedance of a circuit"),
         &Make<CImpedanceDlg>},
        {QStringLiteral("Ferrite"), QStringLiteral("Ferrite rod"), QStringLiteral("ferrite"),
         Utilities, QStringLiteral("Calculate ferrite rod permeability"), &Make<FerriteDlg>},
        {QStringLiteral("DiodeCapacitance"), QStringLiteral("Diode Capacitance"),
         QStringLiteral("diode"), Utilities,
         QStringLiteral("Calculate diode capacitance and built-in voltage"),
         &Make<DiodeCapacitanceDlg>},
    };
    return entries;
}

QString ShownCaption(const QString& key)
{
    const CFormEntry* entry = FindFormEntry(key);
    return entry ? WindowText(entry->m_Caption) : key;
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

QString DefaultDesignName(const CFormEntry& entry)
{
    return QStringLiteral("Data/%1/%2_Default.qwf").arg(entry.m_Key, entry.m_Caption);
}

QString DefaultDesignPath(const QString& folder, const CFormEntry& entry)
{
    return QDir(folder).filePath(DefaultDesignName(entry));
}

QString FindDefaultDesign(const CFormEntry& entry)
{
    const QString found = FindDataFile(DefaultDesignName(entry));
    return found.isEmpty() ? DefaultDesignPath(QDir::currentPath(), entry) : found;
}
