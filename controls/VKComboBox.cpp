// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/VKComboBox.h"

#include "database/ADODBConnect.h"
#include "database/ADODBRecordset.h"

#include <QCompleter>
#include <QLineEdit>
#include <QSignalBlocker>

CVKComboBox::CVKComboBox(const QString& freeChoice, QWidget* parent)
    : QComboBox(parent), m_FreeChoice(freeChoice)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    addItem(m_FreeChoice);
    QCompleter* completer = this->completer();
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    connect(this, &QComboBox::activated, this, &CVKComboBox::OnActivated);
    // A name taken from the type-ahead list is chosen at once, as one from the drop-down.
    connect(completer, qOverload<const QString&>(&QCompleter::activated), this,
            [this](const QString& name)
            {
                const int index = findText(name, Qt::MatchFixedString);
                if (index > 0)
                {
                    setCurrentIndex(index);
                    OnActivated(index);
                }
            });
    // Enter or leaving the box with a text typed in full chooses that name.
    connect(lineEdit(), &QLineEdit::editingFinished, this,
            [this]
            {
                const int index = findText(currentText(), Qt::MatchFixedString);
                if (index > 0 && index != currentIndex())
                    setCurrentIndex(index);
                if (index > 0)
                    OnActivated(index);
                else if (index < 0)
                    ShowFreeChoice();
            });
}

void CVKComboBox::SetNames(const QStringList& names)
{
    const QString shown = Chosen();
    const QSignalBlocker blocker(this);
    clear();
    addItem(m_FreeChoice);
    addItems(names);
    ShowName(shown);
}

bool CVKComboBox::FillFromQuery(CADODBConnect& connection, const std::string& sql)
{
    CADODBRecordset records(&connection);
    if (!records.OpenRecordSet(sql))
        return false;
    QStringList names;
    for (bool more = records.MoveFirst(); more && !records.EndOfFile(); more = records.MoveNext())
        names << QString::fromStdString(records.GetField(CVariant(0)));
    SetNames(names);
    return true;
}

QString CVKComboBox::Chosen() const
{
    return currentIndex() > 0 && currentText() == itemText(currentIndex()) ? currentText()
                                                                           : QString();
}

bool CVKComboBox::ShowName(const QString& name)
{
    const QSignalBlocker blocker(this);
    const int index = name.isEmpty() ? -1 : findText(name, Qt::MatchFixedString);
    setCurrentIndex(index > 0 ? index : 0);
    setEditText(itemText(currentIndex()));
    return index > 0;
}

void CVKComboBox::OnActivated(int index)
{
    if (index > 0)
        emit NameChosen(itemText(index));
}
