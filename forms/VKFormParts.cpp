// SPDX-License-Identifier: GPL-3.0-or-later
// The form base's part pickers: a list of parts by name beside the fields a part fills.
#include "forms/VKFormView.h"

#include "controls/Platform.h"
#include "controls/VKComboBox.h"
#include "controls/VKEdit.h"
#include "parts/PartsLibrary.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

#include <memory>

namespace
{
QString g_ShippedParts;
QString g_UserParts;
std::unique_ptr<CPartsLibrary> g_Parts;
QString g_PartsProblem; // why the pickers list no shipped parts

const CPartPickerRow* PickerRow(std::span<const CPartPickerRow> rows, int id)
{
    for (const CPartPickerRow& row : rows)
        if (row.m_Id == id)
            return &row;
    return nullptr;
}
} // namespace

void CVKFormView::SetPartsLocations(const QString& shipped, const QString& user)
{
    g_ShippedParts = shipped;
    g_UserParts = user;
    g_Parts.reset();
}

static QString UserPartsPath()
{
    return g_UserParts.isEmpty() ? QDir(UserDataFolder()).filePath(QStringLiteral("parts.db"))
                                 : g_UserParts;
}

CPartsLibrary& CVKFormView::PartsLibrary()
{
    if (g_Parts)
        return *g_Parts;
    g_Parts = std::make_unique<CPartsLibrary>();
    // The shipped parts lie with the default designs; the user's own in the user's folder.
    const QString shipped =
        g_ShippedParts.isEmpty() ? FindDataFile(QStringLiteral("Data/parts.db")) : g_ShippedParts;
    const QString user = UserPartsPath();
    // Without the shipped parts the pickers list the user's alone; the reason is in their tips.
    g_PartsProblem.clear();
    if (shipped.isEmpty() || !QFileInfo::exists(shipped))
        g_PartsProblem = QStringLiteral("The parts database Data/parts.db is missing.");
    else if (!g_Parts->OpenShipped(QFile::encodeName(shipped).toStdString()))
        g_PartsProblem = QString::fromStdString(g_Parts->GetErrorText());
    // The user's database is made when the first part of the user's own is saved.
    if (QFileInfo::exists(user) && !g_Parts->OpenUser(QFile::encodeName(user).toStdString()))
        ShowMessage(QStringLiteral("Parts"), QString::fromStdString(g_Parts->GetErrorText()),
                    EMessageIcon::Warning);
    return *g_Parts;
}

bool CVKFormView::OpenUserParts()
{
    CPartsLibrary& library = PartsLibrary();
    if (library.IsUserOpen())
        return true;
    if (library.OpenUser(QFile::encodeName(UserPartsPath()).toStdString()))
        return true;
    ShowMessage(QStringLiteral("Parts"), QString::fromStdString(library.GetErrorText()),
                EMessageIcon::Warning);
    // A database set aside as corrupt has been made new: the parts can be written.
    return library.IsUserOpen();
}

void CVKFormView::RefreshAllPickers()
{
    for (QWidget* widget : QApplication::allWidgets())
        if (auto* form = qobject_cast<CVKFormView*>(widget))
            for (const CPartPickerRow& row : form->PartPickers())
                if (CVKComboBox* picker = form->Picker(row.m_Id))
                {
                    QStringList names;
                    for (const CPartName& name : PartsLibrary().ListNames(row.m_Table))
                        names << QString::fromStdString(name.m_Name);
                    picker->SetNames(names);
                }
}

CVKComboBox* CVKFormView::AddPicker(QGridLayout* grid, int id)
{
    const CPartPickerRow* row = PickerRow(PartPickers(), id);
    if (!row)
        return nullptr;
    auto* picker = new CVKComboBox(QStringLiteral("custom"));
    CPartsLibrary& library = PartsLibrary();
    QStringList names;
    for (const CPartName& name : library.ListNames(row->m_Table))
        names << QString::fromStdString(name.m_Name);
    picker->SetNames(names);
    picker->setToolTip(
        g_PartsProblem.isEmpty()
            ? QStringLiteral("Choose a part to fill its values in; type to find one.")
            : g_PartsProblem);
    const int line = grid->rowCount();
    auto* label = new QLabel(QString::fromUtf8(row->m_Label));
    label->setBuddy(picker);
    grid->addWidget(label, line, 0);
    grid->addWidget(picker, line, 1, 1, std::max(1, grid->columnCount() - 1));
    RegisterControl(id, picker);
    connect(picker, &CVKComboBox::NameChosen, this,
            [this, id](const QString& name)
            {
                if (const CPartPickerRow* chosen = PickerRow(PartPickers(), id))
                    if (chosen->m_Fill(*this, name.toStdString()))
                        Picker(id)->ShowName(name);
            });
    return picker;
}

void CVKFormView::ConnectPickers()
{
    for (const CPartPickerRow& row : PartPickers())
        if (CVKComboBox* picker = Picker(row.m_Id))
            for (int field : row.m_Fills)
                if (CVKEdit* edit = Field(field))
                    connect(edit, &QLineEdit::textEdited, picker, &CVKComboBox::ShowFreeChoice);
}

CVKComboBox* CVKFormView::Picker(int id) const
{
    return qobject_cast<CVKComboBox*>(Control(id));
}

bool CVKFormView::ChoosePart(const QString& group, const QString& name)
{
    for (const CPartPickerRow& row : PartPickers())
        if (QString::fromUtf8(row.m_Group) == group)
        {
            CVKComboBox* picker = Picker(row.m_Id);
            if (!picker || !row.m_Fill(*this, name.toStdString()))
                return false;
            picker->ShowName(name);
            return true;
        }
    return false;
}

void CVKFormView::ShowFieldValue(int id, double value)
{
    const CFieldRow* row = BuiltRow(id);
    CVKEdit* field = Field(id);
    if (!row || !field)
        return;
    const double shown = value / row->m_ToSI.Apply(1.0);
    // A field with its own digit rules takes six figures.
    field->SetFixedText((row->m_Calls & FieldDigitRange)
                            ? QString::number(shown, 'f', std::max(0, row->m_DecimalPlaces))
                            : QString::number(shown, 'g', 6));
}
