// SPDX-License-Identifier: GPL-3.0-or-later
// The form base's fields: the groups, fields, choices and action buttons each form lays out,
// their texts as the window shows them, the tips every field gets, reading and checking them,
// and the Edit menu's commands on the focused field.
#include "forms/VKFormView.h"

#include "controls/VKEdit.h"
#include "forms/ResultsPane.h"
#include "forms/ResultsPlot.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace
{
// The forms manage their radio groups themselves (a group may be left with none checked),
// so the buttons are not auto-exclusive; a click on a checked one must still not clear it.
class CFormRadio : public QRadioButton
{
public:
    CFormRadio(const QString& caption, QWidget* parent) : QRadioButton(caption, parent)
    {
        setAutoExclusive(false);
    }

protected:
    void nextCheckState() override { setChecked(true); }
};

// A bound of a range as the user writes numbers ("999,999,999.99", "999.999.999,99"), as the
// field table gives it: a field of fewer decimals may still hold the bound's own.
QString UserBound(double value)
{
    QString plain = QString::number(value, 'f', 6);
    if (plain.contains(QLatin1Char('.')))
    {
        while (plain.endsWith(QLatin1Char('0')))
            plain.chop(1);
        if (plain.endsWith(QLatin1Char('.')))
            plain.chop(1);
    }
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    const int shown = point < 0 ? 0 : static_cast<int>(plain.size() - point - 1);
    QString local;
    return CVKUtils(NumberSettings()).GetLocalNumberFormatedAsString(plain, shown, local)
               ? local.trimmed()
               : plain;
}
bool Holds(EFieldCondition condition, double value, double other, double bound)
{
    switch (condition)
    {
    case EFieldCondition::NotZero:
        return value != 0.0;
    case EFieldCondition::AtLeast:
        return value >= bound;
    case EFieldCondition::DiffersFrom:
        return value != other;
    case EFieldCondition::Above:
        return value > other;
    }
    return true;
}
} // namespace

QString CVKFormView::FieldTip(int id) const
{
    const CFieldRow* row = BuiltRow(id);
    if (!row)
        return QString();
    QStringList lines;
    for (const CFieldHelp& help : FieldHelp())
        if (help.m_Id == id && help.m_Meaning)
            lines << QString::fromUtf8(help.m_Meaning);
    const QString unit = QString::fromUtf8(row->m_Unit ? row->m_Unit : "");
    const QString inUnit = unit.isEmpty() ? QString() : QLatin1Char(' ') + unit;
    if (row->m_Calls & FieldRealRange)
        lines << QStringLiteral("From %1 to %2%3.")
                     .arg(UserBound(row->m_Min), UserBound(row->m_Max), inUnit);
    else if (row->m_Calls & FieldWholeRange)
        lines << QStringLiteral("A whole number from %1 to %2%3.")
                     .arg(UserBound(static_cast<int>(row->m_Min)),
                          UserBound(static_cast<int>(row->m_Max)), inUnit);
    else
        lines << (unit.isEmpty() ? QStringLiteral("Any value; empty reads as 0.")
                                 : QStringLiteral("In %1, any value; empty reads as 0.").arg(unit));
    for (const auto& [field, why] : m_Unused)
        if (field == id)
            lines << why;
    return lines.join(QLatin1Char('\n'));
}

void CVKFormView::ApplyFieldTip(int id)
{
    CVKEdit* field = Field(id);
    if (!field)
        return;
    const QString tip = FieldTip(id);
    const QStringList lines = tip.split(QLatin1Char('\n'));
    // The status bar has one line: the meaning, or the range when there is none.
    const QString status =
        lines.size() > 1 && !lines.front().startsWith(QStringLiteral("From"))
            ? lines.front() + QStringLiteral(" (") + lines[1].chopped(1) + QLatin1Char(')')
            : lines.front();
    QList<QWidget*> shown = {field};
    if (QLabel* label = FieldLabel(id))
        shown << label;
    for (QWidget* widget : shown)
    {
        widget->setToolTip(tip);
        widget->setStatusTip(status);
        widget->setWhatsThis(tip);
    }
}

void CVKFormView::MarkUnused(int id, const QString& why)
{
    m_Unused.emplace_back(id, why);
    ApplyFieldTip(id);
}

QWidget* CVKFormView::ControlParent(QLayout* layout)
{
    if (layout && layout->parentWidget())
        return layout->parentWidget();
    return this;
}

QGroupBox* CVKFormView::AddGroup(const QString& title, QBoxLayout* into)
{
    if (!into)
        into = m_MainLayout;
    auto* group = new QGroupBox(WindowText(title), ControlParent(into));
    into->addWidget(group);
    return group;
}

QGridLayout* CVKFormView::AddFieldGrid(QBoxLayout* into)
{
    auto* grid = new QGridLayout;
    (into ? into : m_MainLayout)->addLayout(grid);
    return grid;
}

CVKEdit* CVKFormView::AddField(QGridLayout* grid, const CFieldRow& row)
{
    QWidget* parent = ControlParent(grid);
    const int line = grid->count() == 0 ? 0 : grid->rowCount();
    const QString label = QString::fromUtf8(row.m_Label ? row.m_Label : "");
    const QString unit = QString::fromUtf8(row.m_Unit ? row.m_Unit : "");

    auto* caption = new QLabel(WindowText(label), parent);
    auto* field = new CVKEdit(parent);
    caption->setBuddy(field);
    field->setMinimumWidth(QFontMetrics(field->font()).averageCharWidth() * 12);
    grid->addWidget(caption, line, 0);
    grid->addWidget(field, line, 1);
    // Most labels already carry their unit.
    if (!unit.isEmpty() && !label.contains(unit))
        grid->addWidget(new QLabel(unit, parent), line, 2);

    RegisterControl(row.m_Id, field);
    m_FieldNames.push_back(
        {row.m_Id, label, QString::fromUtf8(row.m_FieldName ? row.m_FieldName : ""), row, caption});
    field->installEventFilter(this);
    // Typing, pasting and undoing; not the texts the program sets (regrouping, loading).
    connect(field, &QLineEdit::textEdited, this, &CVKFormView::Edited);
    return field;
}

void CVKFormView::AddFields(QGridLayout* grid, const CFieldRow* rows, int count)
{
    for (int i = 0; i < count; ++i)
        AddField(grid, rows[i]);
}

QAbstractButton* CVKFormView::AddRadio(QBoxLayout* into, int id, const QString& caption,
                                       int radioGroup)
{
    if (!into)
        into = m_MainLayout;
    auto* radio = new CFormRadio(WindowText(caption), ControlParent(into));
    into->addWidget(radio);
    RegisterControl(id, radio);
    m_RadioGroups.emplace_back(id, radioGroup);
    connect(radio, &QAbstractButton::toggled, this,
            [this, id](bool checked) { OnRadioToggled(id, checked); });
    connect(radio, &QAbstractButton::toggled, this, &CVKFormView::Edited);
    connect(radio, &QAbstractButton::clicked, this, [this, id] { OnClicked(id); });
    return radio;
}

QAbstractButton* CVKFormView::AddCheck(QBoxLayout* into, int id, const QString& caption)
{
    if (!into)
        into = m_MainLayout;
    auto* check = new QCheckBox(WindowText(caption), ControlParent(into));
    into->addWidget(check);
    RegisterControl(id, check);
    connect(check, &QAbstractButton::toggled, this, &CVKFormView::Edited);
    connect(check, &QAbstractButton::clicked, this, [this, id] { OnClicked(id); });
    return check;
}

QString WindowText(const QString& designText)
{
    static const std::pair<const char*, const char*> Mended[] = {
        {"Eaphone", "Earphone"},
        {"Paraistic", "Parasitic"},
        {"Cricuit", "Circuit"},
        {"freqency", "frequency"},
        {"impdance", "impedance"},
        {"Calulator", "Calculator"},
        {"requried", "required"},
        {"Capaitor", "Capacitor"},
        {"Fequency", "Frequency"},
        {"Monople", "Monopole"},
        {"lengh", "length"},
        {"charcateristics", "characteristics"},
        {"Inital", "Initial"},
        {"diamter", "diameter"},
        {"transofrmer", "transformer"},
        {"(pf)", "(pF)"},
    };
    QString text = designText;
    for (const auto& [wrong, right] : Mended)
        text.replace(QLatin1String(wrong), QLatin1String(right));
    return text;
}

QStringList WithMnemonics(const QStringList& captions)
{
    // The main menu's titles take Alt with these letters; "Exit" keeps its usual "x".
    QString used = QStringLiteral("fevwhx");
    QStringList marked;
    for (const QString& caption : captions)
    {
        if (caption == QLatin1String("Exit"))
        {
            marked << QStringLiteral("E&xit");
            continue;
        }
        // The first letter of a word where one is free, else any free letter.
        qsizetype at = -1;
        for (int pass = 0; pass < 2 && at < 0; ++pass)
            for (qsizetype i = 0; i < caption.size() && at < 0; ++i)
            {
                const QChar c = caption.at(i).toLower();
                const bool wordStart = i == 0 || !caption.at(i - 1).isLetterOrNumber();
                if (c.isLetterOrNumber() && (pass == 1 || wordStart) && !used.contains(c))
                    at = i;
            }
        if (at < 0)
        {
            marked << caption;
            continue;
        }
        used += caption.at(at).toLower();
        marked << QString(caption).insert(at, QLatin1Char('&'));
    }
    return marked;
}

QPushButton* CVKFormView::AddButton(QBoxLayout* into, int id, const QString& caption)
{
    if (!into)
        into = m_MainLayout;
    auto* button = new QPushButton(WindowText(caption), ControlParent(into));
    button->setAutoDefault(false);
    into->addWidget(button);
    RegisterControl(id, button);
    connect(button, &QAbstractButton::clicked, this, [this, id] { OnClicked(id); });
    return button;
}

QString CVKFormView::ActionCaption(int id) const
{
    for (const CFormAction& action : Actions())
        if (action.m_Id == id)
            return QString::fromUtf8(action.m_Caption);
    return QString();
}

void CVKFormView::AddResultsAndActions(QBoxLayout* into)
{
    const std::span<const CFormAction> actions = Actions();
    if (!into)
        into = m_MainLayout;
    const bool inSplitter = into == m_MainLayout;
    auto* results =
        new QGroupBox(QStringLiteral("Results"), inSplitter ? m_Splitter : ControlParent(into));
    if (inSplitter)
    {
        m_Splitter->addWidget(results);
        m_Splitter->setStretchFactor(0, 0);
        m_Splitter->setStretchFactor(1, 1);
    }
    else
    {
        into->addWidget(results);
    }
    auto* resultsLayout = new QVBoxLayout(results);
    m_Results = new QTextEdit;
    m_Results->setReadOnly(true);
    m_Results->setUndoRedoEnabled(false);
    m_Results->setLineWrapMode(QTextEdit::NoWrap);
    m_Results->setAcceptRichText(false);
    m_Results->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_Results->setMinimumHeight(QFontMetrics(m_Results->font()).height() * 8);
    m_ResultsPane = new CResultsPane(m_Results, results, m_strFormKey, actions);
    resultsLayout->addWidget(m_ResultsPane);
    if (inSplitter)
        connect(m_ResultsPane->Tabs(), &QTabWidget::currentChanged, this,
                [this](int index) {
                    MakeRoomForPlot(m_ResultsPane->Tabs()->widget(index) == m_ResultsPane->Plot());
                });
    RegisterControl(IdResults, m_Results);
    ShowResultsText();

    QBoxLayout* below = inSplitter ? m_FormLayout : into;
    auto* frame = new QGroupBox(inSplitter ? this : ControlParent(into));
    below->addWidget(frame);
    RegisterControl(IdActionFrame, frame);
    // Rows of at most ActionsPerRow buttons, so that a form with many actions still fits a
    // 1366 pixel screen; "Clear" and "Exit" at the right of the first row.
    constexpr int ActionsPerRow = 4;
    auto* rows = new QVBoxLayout(frame);
    QStringList captions;
    for (const CFormAction& action : actions)
        captions << QString::fromUtf8(action.m_Caption);
    captions << QStringLiteral("Clear") << QStringLiteral("Exit");
    const QStringList marked = WithMnemonics(captions);
    auto* top = new QHBoxLayout;
    rows->addLayout(top);
    QHBoxLayout* row = top;
    for (size_t i = 0; i < actions.size(); ++i)
    {
        if (i > 0 && i % ActionsPerRow == 0)
        {
            row->addStretch();
            row = new QHBoxLayout;
            rows->addLayout(row);
        }
        AddButton(row, actions[i].m_Id, marked[static_cast<qsizetype>(i)]);
    }
    row->addStretch();
    AddButton(top, IdClear, marked[marked.size() - 2]);
    AddButton(top, IdExit, marked.back());

    // Ctrl+Return runs the first action, the one users run most, from any field.
    if (actions.empty())
        return;
    const int first = actions.front().m_Id;
    Button(first)->setToolTip(QStringLiteral("Ctrl+Return runs this from any field"));
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        connect(new QShortcut(keys, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut),
                &QShortcut::activated, this,
                [this, first]
                {
                    if (QAbstractButton* button = Button(first); button && button->isEnabled())
                        button->click();
                });
}

void CVKFormView::SetupField(const CFieldRow& row)
{
    CVKEdit* field = Field(row.m_Id);
    if (!field)
        return;
    const QString name = QString::fromUtf8(row.m_FieldName ? row.m_FieldName : "");
    if (row.m_Calls & FieldDigitRange)
        field->SetDigitRange(row.m_IntegerPlaces, row.m_DecimalPlaces, row.m_Negative);
    if (row.m_Calls & FieldRealRange)
        field->SetNumberValidation(row.m_Min, row.m_Max, name);
    if (row.m_Calls & FieldWholeRange)
        field->SetNumberValidation(static_cast<int>(row.m_Min), static_cast<int>(row.m_Max), name);
    if (row.m_Calls & FieldDefaultText)
        field->SetFixedText(QString::fromUtf8(row.m_Default ? row.m_Default : ""));
}

void CVKFormView::SetupFields(const CFieldRow* rows, int count)
{
    for (int i = 0; i < count; ++i)
        SetupField(rows[i]);
}

QString CVKFormView::FieldCaption(int id) const
{
    const auto named = std::find_if(m_FieldNames.begin(), m_FieldNames.end(),
                                    [id](const CFieldNames& names) { return names.m_Id == id; });
    if (named == m_FieldNames.end())
        return QString();
    const bool shared = std::any_of(m_FieldNames.begin(), m_FieldNames.end(),
                                    [&](const CFieldNames& names) {
                                        return names.m_Id != id && names.m_Label == named->m_Label;
                                    });
    return shared && !named->m_FieldName.isEmpty() ? named->m_FieldName : named->m_Label;
}

bool CVKFormView::CheckFields(const CFieldCheck* checks, int count)
{
    for (int i = 0; i < count; ++i)
    {
        const CFieldCheck& check = checks[i];
        const CVKEdit* field = Field(check.m_Id);
        const CVKEdit* other = check.m_Other ? Field(check.m_Other) : nullptr;
        const double otherValue = other ? other->GetDouble() : 0.0;
        if (field && !Holds(check.m_Condition, field->GetDouble(), otherValue, check.m_Bound))
            return RefuseField(check.m_Id, check.m_Reason, check.m_Other);
    }
    return true;
}

bool CVKFormView::RefuseField(int id, const char* reason, int other)
{
    QString text =
        QStringLiteral("Error: ") + FieldCaption(id) + QLatin1Char(' ') + QString::fromUtf8(reason);
    if (other)
        text.replace(QLatin1String("%s"), FieldCaption(other));
    CError::DisplayError(text.toStdString());
    return false;
}

const CVKFormView::CFieldNames* CVKFormView::FindBuilt(int id) const
{
    const auto built = std::find_if(m_FieldNames.begin(), m_FieldNames.end(),
                                    [id](const CFieldNames& names) { return names.m_Id == id; });
    return built == m_FieldNames.end() ? nullptr : &*built;
}

QLabel* CVKFormView::FieldLabel(int id) const
{
    const CFieldNames* built = FindBuilt(id);
    return built ? built->m_Caption : nullptr;
}

const CFieldRow* CVKFormView::BuiltRow(int id) const
{
    const CFieldNames* built = FindBuilt(id);
    return built ? &built->m_Row : nullptr;
}

bool CVKFormView::ReadField(int id, double& target, EFieldRead read) const
{
    CVKEdit* field = Field(id);
    const CFieldRow* row = BuiltRow(id);
    if (!field || !row)
        return read != EFieldRead::Required;
    double value = 0.0;
    const bool valid = field->ValidateInput(value);
    if (valid || read == EFieldRead::Always)
        target = row->m_ToSI.Apply(value);
    return valid || read != EFieldRead::Required;
}

void CVKFormView::ApplyEnableRule(const CEnableRule* rules, std::size_t count, int mode)
{
    for (std::size_t i = 0; i < count; ++i)
    {
        if (rules[i].m_Mode != mode)
            continue;
        for (int id : rules[i].m_Enable)
            EnableControl(id, true);
        for (int id : rules[i].m_Disable)
            EnableControl(id, false);
        return;
    }
}

bool CVKFormView::Copy()
{
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
    {
        line->copy();
        return true;
    }
    if (auto* text = qobject_cast<QTextEdit*>(focus))
    {
        text->copy();
        return true;
    }
    return false;
}

bool CVKFormView::Paste()
{
    if (auto* field = dynamic_cast<CVKEdit*>(QApplication::focusWidget()))
    {
        field->PasteClipboard();
        return true;
    }
    return false;
}

bool CVKFormView::Undo()
{
    if (auto* field = dynamic_cast<CVKEdit*>(QApplication::focusWidget()))
    {
        field->undo();
        return true;
    }
    return false;
}

bool CVKFormView::Redo()
{
    if (auto* field = dynamic_cast<CVKEdit*>(QApplication::focusWidget()))
    {
        field->redo();
        return true;
    }
    return false;
}
