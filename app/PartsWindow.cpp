// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PartsWindow.h"

#include "controls/Platform.h"
#include "controls/VKEdit.h"
#include "forms/VKFormView.h"
#include "parts/PartsLibrary.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace
{
// The tabs, in the order builders meet the parts.
const std::pair<EPartTable, const char*> TabTitles[] = {
    {EPartTable::Wire, "Wire"},
    {EPartTable::Litz, "Litz"},
    {EPartTable::Diode, "Diodes"},
    {EPartTable::FerriteMaterial, "Ferrite materials"},
    {EPartTable::FerriteRod, "Ferrite rods"},
};

// A stored number in the units of the source file's column.
double Shown(const CVariant& value, const CPartColumn& column)
{
    if (const auto* d = value.Get<double>())
        return *d / column.m_Scale;
    if (const auto* i = value.Get<std::int64_t>())
        return static_cast<double>(*i) / column.m_Scale;
    if (const auto* i = value.Get<std::int32_t>())
        return *i / column.m_Scale;
    return 0.0;
}

bool HasNumber(const CVariant& value)
{
    return value.Is<double>() || value.Is<std::int64_t>() || value.Is<std::int32_t>();
}

constexpr int OwnColumn = 0; // then the table's columns
constexpr int NumberRole = Qt::UserRole + 1;
} // namespace

CPartsWindow::CPartsWindow(CAsk ask, QWidget* parent)
    : QWidget(parent, Qt::Window), m_Ask(std::move(ask)), m_Tabs(new QTabWidget)
{
    setWindowTitle(QStringLiteral("Parts"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Tabs);
    for (const auto& [table, title] : TabTitles)
    {
        auto* page = new QWidget;
        auto* pageLayout = new QVBoxLayout(page);
        auto* filter = new QLineEdit;
        filter->setPlaceholderText(QStringLiteral("Filter"));
        filter->setClearButtonEnabled(true);
        pageLayout->addWidget(filter);
        CTab tab{table, new QStandardItemModel(this), new QSortFilterProxyModel(this),
                 new QTableView};
        tab.m_Filter->setSourceModel(tab.m_Model);
        tab.m_Filter->setFilterKeyColumn(-1);
        tab.m_Filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
        tab.m_Filter->setSortRole(NumberRole);
        connect(filter, &QLineEdit::textChanged, tab.m_Filter,
                &QSortFilterProxyModel::setFilterFixedString);
        tab.m_View->setModel(tab.m_Filter);
        tab.m_View->setSortingEnabled(true);
        tab.m_View->setSelectionBehavior(QAbstractItemView::SelectRows);
        tab.m_View->setEditTriggers(QAbstractItemView::NoEditTriggers);
        tab.m_View->verticalHeader()->hide();
        connect(tab.m_View, &QTableView::doubleClicked, this, [this] { EditPart(CurrentName()); });
        pageLayout->addWidget(tab.m_View);
        m_Tabs->addTab(page, QString::fromLatin1(title));
        m_TabsOfTables.push_back(tab);
    }
    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("&Add..."));
    m_Edit = new QPushButton(QStringLiteral("&Edit..."));
    m_Delete = new QPushButton(QStringLiteral("&Delete"));
    auto* copy = new QPushButton(QStringLiteral("&Copy"));
    auto* close = new QPushButton(QStringLiteral("C&lose"));
    for (QPushButton* button : {add, m_Edit, m_Delete, copy})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(add, &QPushButton::clicked, this, [this] { EditPart(QString()); });
    connect(m_Edit, &QPushButton::clicked, this, [this] { EditPart(CurrentName()); });
    connect(m_Delete, &QPushButton::clicked, this, [this] { DeletePart(CurrentName()); });
    connect(copy, &QPushButton::clicked, this, &CPartsWindow::CopySelection);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_Tabs, &QTabWidget::currentChanged, this, &CPartsWindow::UpdateButtons);
    Reload();
    resize(1100, 560);
}

QTableView* CPartsWindow::View(EPartTable table) const
{
    for (const CTab& tab : m_TabsOfTables)
        if (tab.m_Table == table)
            return tab.m_View;
    return nullptr;
}

void CPartsWindow::Reload()
{
    for (const CTab& tab : m_TabsOfTables)
        Fill(tab);
    UpdateButtons();
}

void CPartsWindow::Fill(const CTab& tab)
{
    CPartsLibrary& library = CVKFormView::PartsLibrary();
    const CPartTableDef& def = PartTable(tab.m_Table);
    tab.m_Model->clear();
    QStringList headings{QStringLiteral("Own")};
    for (const CPartColumn& column : def.m_Columns)
        headings << QString::fromLatin1(column.m_CsvHeader);
    tab.m_Model->setHorizontalHeaderLabels(headings);
    const QLocale locale;
    for (const CPartName& name : library.ListNames(tab.m_Table))
    {
        const std::optional<std::vector<CVariant>> values =
            library.FindRow(tab.m_Table, name.m_Name);
        if (!values)
            continue;
        QList<QStandardItem*> row;
        auto* own = new QStandardItem(name.m_User ? QStringLiteral("yes") : QString());
        own->setData(name.m_User ? 1 : 0, NumberRole);
        row << own;
        for (size_t i = 0; i < def.m_Columns.size() && i < values->size(); ++i)
        {
            const CVariant& value = (*values)[i];
            auto* item = new QStandardItem;
            if (def.m_Columns[i].m_Kind != EValueKind::Text && HasNumber(value))
            {
                const double shown = Shown(value, def.m_Columns[i]);
                item->setText(locale.toString(shown, 'g', 6));
                item->setData(shown, NumberRole);
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            else
            {
                item->setText(QString::fromStdString(value.AsString()));
                item->setData(item->text().toLower(), NumberRole);
            }
            row << item;
        }
        tab.m_Model->appendRow(row);
    }
    tab.m_View->resizeColumnsToContents();
}

EPartTable CPartsWindow::CurrentTable() const
{
    return m_TabsOfTables[static_cast<size_t>(std::max(0, m_Tabs->currentIndex()))].m_Table;
}

QString CPartsWindow::CurrentName() const
{
    const CTab& tab = m_TabsOfTables[static_cast<size_t>(std::max(0, m_Tabs->currentIndex()))];
    const QModelIndex current = tab.m_View->currentIndex();
    return current.isValid() ? tab.m_Filter->index(current.row(), OwnColumn + 1).data().toString()
                             : QString();
}

void CPartsWindow::UpdateButtons()
{
    const CTab& tab = m_TabsOfTables[static_cast<size_t>(std::max(0, m_Tabs->currentIndex()))];
    const QModelIndex current = tab.m_View->currentIndex();
    const bool own =
        current.isValid() && tab.m_Filter->index(current.row(), OwnColumn).data(NumberRole) == 1;
    m_Edit->setEnabled(current.isValid());
    m_Delete->setEnabled(own);
    connect(tab.m_View->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CPartsWindow::UpdateButtons, Qt::UniqueConnection);
}

int CPartsWindow::EditPart(const QString& name)
{
    if (!CVKFormView::OpenUserParts())
        return QDialog::Rejected;
    CPartDialog dialog(CurrentTable(), name, this);
    const int result = dialog.exec();
    if (result == QDialog::Accepted)
    {
        Reload();
        emit PartsChanged();
    }
    return result;
}

bool CPartsWindow::DeletePart(const QString& name)
{
    if (name.isEmpty() || !m_Ask ||
        m_Ask(this, QStringLiteral("Delete your part %1?").arg(name),
              {EAnswer::Yes, EAnswer::No}) != EAnswer::Yes)
        return false;
    CPartsLibrary& library = CVKFormView::PartsLibrary();
    if (!library.DeleteUserPart(CurrentTable(), name.toStdString()))
    {
        ShowMessage(QStringLiteral("Parts"), QString::fromStdString(library.GetErrorText()),
                    EMessageIcon::Error);
        return false;
    }
    Reload();
    emit PartsChanged();
    return true;
}

void CPartsWindow::CopySelection()
{
    const CTab& tab = m_TabsOfTables[static_cast<size_t>(std::max(0, m_Tabs->currentIndex()))];
    QStringList lines;
    QStringList headings;
    for (int c = 0; c < tab.m_Filter->columnCount(); ++c)
        headings << tab.m_Filter->headerData(c, Qt::Horizontal).toString();
    lines << headings.join(QLatin1Char('\t'));
    QModelIndexList rows = tab.m_View->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    for (const QModelIndex& row : rows)
    {
        QStringList cells;
        for (int c = 0; c < tab.m_Filter->columnCount(); ++c)
            cells << tab.m_Filter->index(row.row(), c).data().toString();
        lines << cells.join(QLatin1Char('\t'));
    }
    QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void CPartsWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy))
        CopySelection();
    else if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

CPartDialog::CPartDialog(EPartTable table, const QString& name, QWidget* parent)
    : QDialog(parent), m_Def(PartTable(table)), m_Original(name)
{
    setWindowTitle(name.isEmpty() ? QStringLiteral("New part") : name);
    auto* form = new QFormLayout(this);
    const std::optional<std::vector<CVariant>> values =
        name.isEmpty() ? std::nullopt
                       : CVKFormView::PartsLibrary().FindRow(table, name.toStdString());
    for (size_t i = 0; i < m_Def.m_Columns.size(); ++i)
    {
        const CPartColumn& column = m_Def.m_Columns[i];
        const QString caption = QString::fromLatin1(column.m_CsvHeader);
        const CVariant value = values && i < values->size() ? (*values)[i] : CVariant();
        QWidget* field = nullptr;
        if (column.m_Kind == EValueKind::Text)
        {
            auto* line = new QLineEdit(QString::fromStdString(value.AsString()));
            field = line;
        }
        else
        {
            // The same checks as the forms' fields: digits, a range, a message naming it.
            auto* number = new CVKEdit;
            const bool whole = column.m_Kind == EValueKind::Integer;
            number->SetDigitRange(9, whole ? 0 : 15, false, !column.m_Required, caption);
            if (whole)
                number->SetNumberValidation(1, 100000000, caption);
            else
                number->SetNumberValidation(0.0, 1e9, caption);
            if (HasNumber(value))
                number->SetNumber(Shown(value, column));
            field = number;
        }
        form->addRow(caption, field);
        m_Fields.push_back(field);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

CVKEdit* CPartDialog::Number(int column) const
{
    return dynamic_cast<CVKEdit*>(m_Fields.at(static_cast<size_t>(column)));
}

QLineEdit* CPartDialog::Text(int column) const
{
    return qobject_cast<QLineEdit*>(m_Fields.at(static_cast<size_t>(column)));
}

void CPartDialog::accept()
{
    std::vector<CVariant> values;
    for (size_t i = 0; i < m_Def.m_Columns.size(); ++i)
    {
        const CPartColumn& column = m_Def.m_Columns[i];
        const QString caption = QString::fromLatin1(column.m_CsvHeader);
        if (column.m_Kind == EValueKind::Text)
        {
            const QString text = Text(static_cast<int>(i))->text().trimmed();
            if (text.isEmpty() && column.m_Required)
            {
                ShowMessage(QStringLiteral("Error"), caption + QStringLiteral(" is needed."),
                            EMessageIcon::Error);
                return;
            }
            values.emplace_back(text.isEmpty() ? CVariant(CNull{}) : CVariant(text.toStdString()));
            continue;
        }
        CVKEdit* field = Number(static_cast<int>(i));
        if (field->GetWindowText().trimmed().isEmpty() && !column.m_Required)
        {
            values.emplace_back(CNull{});
            continue;
        }
        if (column.m_Kind == EValueKind::Integer)
        {
            int whole = 0;
            if (!field->ValidateInput(whole))
                return;
            values.emplace_back(static_cast<long long>(whole));
            continue;
        }
        double number = 0.0;
        if (!field->ValidateInput(number))
            return;
        values.emplace_back(number * column.m_Scale);
    }
    CPartsLibrary& library = CVKFormView::PartsLibrary();
    if (!library.SaveValues(m_Def.m_Table, values, m_Original.toStdString()))
    {
        ShowMessage(QStringLiteral("Parts"), QString::fromStdString(library.GetErrorText()),
                    EMessageIcon::Error);
        return;
    }
    QDialog::accept();
}
