// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>
#include <vector>

class CVKFormView;

// The design selector's two pages.
enum class EFormPage
{
    Design,
    Utilities,
};

// The calculators the program knows, one entry each: what the batch mode, the design selector,
// the open-documents bar, the help and the design files know of it. Stands for the document
// templates: the design selector and the batch mode create forms here.
struct CFormEntry
{
    QString m_Key;        // m_strFormKey, first line of its design files
    QString m_Caption;    // the selector's button, the open-documents tab, the default file's name
    QString m_HelpAnchor; // the calculator's section of the user guide
    EFormPage m_Page;     // where the selector shows it, in this table's order
    QString m_ToolTip;    // the selector button's tip
    std::unique_ptr<CVKFormView> (*m_Create)();
};

const std::vector<CFormEntry>& FormEntries();
const CFormEntry* FindFormEntry(const QString& key);
// The calculator's caption as its window shows it (WindowText); the key for an unknown one.
QString ShownCaption(const QString& key);

// A new, initialised form (OnInitialUpdate has run), or null for an unknown key.
std::unique_ptr<CVKFormView> CreateForm(const QString& key);

// "Data/<key>/<caption>_Default.qwf", the default design's path below a data folder.
QString DefaultDesignName(const CFormEntry& entry);
// The same below the given folder.
QString DefaultDesignPath(const QString& folder, const CFormEntry& entry);
// The default design a new form loads: the first found below the data folders (FindDataFile),
// else the path below the working folder, which then loads nothing.
QString FindDefaultDesign(const CFormEntry& entry);
