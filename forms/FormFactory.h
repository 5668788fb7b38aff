// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>
#include <vector>

class CVKFormView;

// The calculators the program knows: form key, selector caption and how to make one.
// Stands for the document templates: the design selector and the batch mode create forms here.
struct CFormEntry
{
    QString m_Key;        // m_strFormKey, first line of its design files
    QString m_Caption;    // the design selector's button and the open-documents tab
    QString m_HelpAnchor; // the calculator's section of the user guide
    std::unique_ptr<CVKFormView> (*m_Create)();
};

const std::vector<CFormEntry>& FormEntries();
const CFormEntry* FindFormEntry(const QString& key);

// A new, initialised form (OnInitialUpdate has run), or null for an unknown key.
std::unique_ptr<CVKFormView> CreateForm(const QString& key);

// "Data/<key>/<caption>_Default.qwf" below the given folder.
QString DefaultDesignPath(const QString& folder, const CFormEntry& entry);
