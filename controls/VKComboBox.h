// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/CorvaneExport.h"

#include <QComboBox>
#include <QStringList>

#include <string>

class CADODBConnect;

// A list of names to choose from, with type-ahead: typing shows the names that contain what
// was typed, whatever its case. The first entry, the free choice, stands for "none of these"
// (a value of one's own); a text that is no name of the list shows as it too.
class CORVANE_EXPORT CVKComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit CVKComboBox(const QString& freeChoice, QWidget* parent = nullptr);

    // The names after the free choice, in the order given.
    void SetNames(const QStringList& names);
    // The names from the first column of a query through the connection; false, with the
    // names as they were, when the query fails.
    bool FillFromQuery(CADODBConnect& connection, const std::string& sql);
    // The chosen name, or empty for the free choice.
    QString Chosen() const;
    // Shows the name without telling anyone (a design being loaded); a name not in the list
    // shows the free choice. False then.
    bool ShowName(const QString& name);
    void ShowFreeChoice() { ShowName(QString()); }

signals:
    // The user chose a name from the list (not the free choice).
    void NameChosen(const QString& name);

private:
    void OnActivated(int index);
    QString m_FreeChoice;
};
