// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/VKFormView.h"

#include "controls/VKEdit.h"
#include "database/Error.h"
#include "forms/ResultsPane.h"
#include "forms/ResultsPlot.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextOption>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace
{
CVKFormView* g_ActiveForm = nullptr;
CVKFormTabs* g_FormTabs = nullptr;
CVKLayoutStore* g_LayoutStore = nullptr;
CProgressDisplay* g_ProgressDisplay = nullptr;

CProgressDisplay& ProgressDisplay()
{
    static CProgressDialogDisplay dialog;
    return g_ProgressDisplay ? *g_ProgressDisplay : dialog;
}

const char* const ControlIdProperty = "quillonControlId";

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

QString DisplayText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
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

bool IsEnterKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}
} // namespace

CVKFormView::CVKFormView(const QString& formKey, int templateId, QWidget* parent)
    : QWidget(parent), m_strFormKey(formKey), m_TemplateId(templateId)
{
    m_FormLayout = new QVBoxLayout(this);
    m_Splitter = new QSplitter(Qt::Vertical, this);
    m_Splitter->setChildrenCollapsible(false);
    m_InputsArea = new QScrollArea(m_Splitter);
    m_InputsArea->setWidgetResizable(true);
    m_InputsArea->setFrameShape(QFrame::NoFrame);
    auto* inputs = new QWidget;
    m_MainLayout = new QVBoxLayout(inputs);
    m_InputsArea->setWidget(inputs);
    m_Splitter->addWidget(m_InputsArea);
    m_FormLayout->addWidget(m_Splitter, 1);
    if (qApp)
        m_FocusConnection = connect(qApp, &QApplication::focusChanged, this,
                                    [this](QWidget*, QWidget* now)
                                    {
                                        if (now && (now == this || isAncestorOf(now)))
                                            Activate();
                                    });
}

CVKFormView::~CVKFormView()
{
    disconnect(m_FocusConnection);
    if (g_FormTabs)
        g_FormTabs->RemoveForm(this);
    if (g_ActiveForm == this)
        SetActiveForm(nullptr);
}

void CVKFormView::OnInitialUpdate()
{
    if (m_Initialised)
        return;
    m_Initialised = true;
    BuildForm();
    // Tab and Enter walk the controls in creation order, whatever layouts they ended up in.
    QWidget* previous = nullptr;
    for (QWidget* control : m_Controls)
    {
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
    SetupFields();
    for (const CFieldNames& names : m_FieldNames)
        ApplyFieldTip(names.m_Id);
    if (g_LayoutStore)
    {
        const QByteArray state = g_LayoutStore->LoadLayout(m_strFormKey);
        if (!state.isEmpty() && m_Splitter->restoreState(state))
            m_AutoPanes = false;
    }
    connect(m_Splitter, &QSplitter::splitterMoved, this,
            [this]
            {
                m_AutoPanes = false;
                if (g_LayoutStore)
                    g_LayoutStore->SaveLayout(m_strFormKey, m_Splitter->saveState());
            });
}

bool CVKFormView::OnCommand(int id)
{
    switch (id)
    {
    case IdClear:
        m_LatestTables = 0;
        m_TableOpen = false;
        m_Tables.clear();
        m_TableBlocks.clear();
        m_TabsDone = 0;
        if (m_ResultsPane)
            m_ResultsPane->ShowTables(&m_Tables);
        SetResultsText(QString());
        return true;
    case IdExit:
        emit ExitRequested(this);
        for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        {
            if (auto* frame = qobject_cast<QMdiSubWindow*>(w))
            {
                frame->close();
                return true;
            }
        }
        if (parentWidget())
            window()->close();
        return true;
    default:
        return false;
    }
}

QWidget* CVKFormView::Control(int id) const
{
    // Every field is looked up on every read: the ids are kept beside the controls.
    const auto at = std::find(m_ControlIds.begin(), m_ControlIds.end(), id);
    return at == m_ControlIds.end()
               ? nullptr
               : m_Controls[static_cast<std::size_t>(at - m_ControlIds.begin())];
}

CVKEdit* CVKFormView::Field(int id) const
{
    return dynamic_cast<CVKEdit*>(Control(id));
}

QAbstractButton* CVKFormView::Button(int id) const
{
    return qobject_cast<QAbstractButton*>(Control(id));
}

int CVKFormView::ControlId(const QWidget* control)
{
    return control ? control->property(ControlIdProperty).toInt() : 0;
}

bool CVKFormView::IsChecked(int id) const
{
    const QAbstractButton* button = Button(id);
    return button && button->isChecked();
}

void CVKFormView::SetCheck(int id, bool checked)
{
    if (QAbstractButton* button = Button(id))
        button->setChecked(checked);
}

void CVKFormView::EnableControl(int id, bool enable)
{
    if (QWidget* control = Control(id))
        control->setEnabled(enable);
}

QString CVKFormView::ResultsText() const
{
    return m_ResultsText;
}

void CVKFormView::SetResultsText(const QString& text)
{
    m_ResultsText = text;
    ShowResultsText();
}

void CVKFormView::AppendReport(const QString& report)
{
    if (report.isEmpty())
        return;
    // The last guard: a report with a number that is not finite is never shown.
    if (HasNonFiniteNumber(report))
    {
        CError::DisplayError(NonFiniteMessage());
        return;
    }
    // A "\r\n" split across two reports is shown whole by redrawing everything.
    const bool splitLineEnd =
        m_ResultsText.endsWith(QLatin1Char('\r')) && report.startsWith(QLatin1Char('\n'));
    m_ResultsText += report;
    if (!m_Results)
        return;
    if (splitLineEnd)
    {
        ShowResultsText();
        return;
    }
    QTextCursor cursor(m_Results->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(DisplayText(report));
    m_Results->moveCursor(QTextCursor::End);
}

bool CVKFormView::HasNonFiniteNumber(const QString& text)
{
    // FormatNumber prints "nan", "inf" and "-inf"; in report texts they follow a blank, a
    // sign, a bracket, the "j" of an imaginary part or a component's kind letter, never a
    // lower-case letter of a word ("Resonant").
    for (const QLatin1String word : {QLatin1String("nan"), QLatin1String("inf")})
    {
        for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + 1))
        {
            const QChar before = at > 0 ? text.at(at - 1) : QChar();
            if (!before.isLower() || before == QLatin1Char('j'))
                return true;
        }
    }
    return false;
}

const char* CVKFormView::NonFiniteMessage()
{
    return "Error: These values give a result that is infinite or not a number, so no report was "
           "added. "
           "Check the entries for zeros and extreme values.";
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

namespace
{
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
    for (QLabel* label : findChildren<QLabel*>())
        if (label->buddy() == field)
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

const CFieldRow* CVKFormView::BuiltRow(int id) const
{
    const auto built = std::find_if(m_FieldNames.begin(), m_FieldNames.end(),
                                    [id](const CFieldNames& names) { return names.m_Id == id; });
    return built == m_FieldNames.end() ? nullptr : &built->m_Row;
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

std::vector<CReportTable> CVKFormView::LatestTables() const
{
    return std::vector<CReportTable>(
        m_Tables.begin() + static_cast<std::ptrdiff_t>(qMin(m_LatestTables, m_Tables.size())),
        m_Tables.end());
}

void CVKFormView::BeginTable(CReportTable table)
{
    // Kept apart until it ends: the table view shows the ended tables while the action runs.
    table.m_Rows.clear();
    m_OpenTable = std::move(table);
    m_TableOpen = true;
}

void CVKFormView::AddRow(std::vector<CReportCell> cells)
{
    if (m_TableOpen)
        m_OpenTable.m_Rows.push_back(std::move(cells));
}

void CVKFormView::DiscardTable()
{
    if (!m_TableOpen)
        return;
    m_OpenTable = CReportTable();
    m_TableOpen = false;
}

void CVKFormView::EndTable(bool withFooter)
{
    if (!m_TableOpen)
        return;
    m_TableOpen = false;
    // The table goes into the box in one piece, or not at all.
    CReportTable table = std::exchange(m_OpenTable, CReportTable());
    if (m_Cancelled && withFooter)
    {
        // The line that says the action was cancelled comes before it.
        m_HeldFooter += table.m_Footer;
        withFooter = false;
    }
    if (!withFooter)
        table.m_Footer.clear();
    const QString text = table.Text();
    if (HasNonFiniteNumber(text))
    {
        CError::DisplayError(NonFiniteMessage());
        return;
    }
    m_Tables.push_back(std::move(table));
    // The views let go of the tables' old places at once.
    if (m_ResultsPane)
        m_ResultsPane->ShowTables(&m_Tables);
    m_TableBlocks.push_back(m_Results ? m_Results->document()->blockCount() - 1 : 0);
    AppendReport(text);
    ScheduleTabStops();
}

void CVKFormView::ScheduleTabStops()
{
    if (m_TabsPending || !m_Results)
        return;
    m_TabsPending = true;
    QMetaObject::invokeMethod(
        this,
        [this]
        {
            m_TabsPending = false;
            // Only the tables shown since the last time: the earlier lines keep their stops.
            // A table still open has no lines yet.
            for (; m_TabsDone < m_TableBlocks.size(); ++m_TabsDone)
            {
                // A table another continues waits for it: they share their stops.
                const size_t next = m_TabsDone + 1;
                if (next < m_TableBlocks.size() && m_Tables[next].m_Continues)
                    continue;
                size_t first = m_TabsDone;
                while (first > 0 && m_Tables[first].m_Continues)
                    --first;
                ApplyTabStops(first, m_TabsDone);
            }
        },
        Qt::QueuedConnection);
}

void CVKFormView::ApplyTabStops(size_t first, size_t last)
{
    ApplyTableTabStops(*m_Results, m_Tables, m_TableBlocks, first, last);
}

void CVKFormView::ShowResultsText()
{
    if (!m_Results)
        return;
    m_Results->setPlainText(DisplayText(m_ResultsText));
    // The text was laid out anew: every table needs its stops again.
    m_TabsDone = 0;
    if (!m_Tables.empty())
        ScheduleTabStops();
}

void CVKFormView::SetTabStops(const std::vector<int>& dialogUnits)
{
    if (!m_Results || dialogUnits.empty())
        return;
    const qreal unit = QFontMetrics(m_Results->font()).averageCharWidth() / 4.0;
    if (dialogUnits.size() == 1)
    {
        m_Results->setTabStopDistance(dialogUnits.front() * unit);
        return;
    }
    QTextOption option = m_Results->document()->defaultTextOption();
    QList<QTextOption::Tab> tabs;
    for (int stop : dialogUnits)
        tabs.append(QTextOption::Tab(stop * unit, QTextOption::LeftTab));
    option.setTabs(tabs);
    m_Results->document()->setDefaultTextOption(option);
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

CVKFormView* CVKFormView::ActiveForm()
{
    return g_ActiveForm;
}

QString CVKFormView::ActiveFormKey()
{
    return g_ActiveForm ? g_ActiveForm->m_strFormKey : QString();
}

void CVKFormView::SetActiveForm(CVKFormView* form)
{
    g_ActiveForm = form;
}

void CVKFormView::SetFormTabs(CVKFormTabs* tabs)
{
    g_FormTabs = tabs;
}

void CVKFormView::SetLayoutStore(CVKLayoutStore* store)
{
    g_LayoutStore = store;
}

CProgressDisplay* CVKFormView::SetProgressDisplay(CProgressDisplay* display)
{
    return std::exchange(g_ProgressDisplay, display);
}

CVKFormView::CLongAction::CLongAction(CVKFormView& form, const QString& action,
                                      const QString& stepName, int steps)
    : m_Form(form), m_Outer(form.m_LongActions++ == 0)
{
    if (!m_Outer)
        return;
    m_Form.m_Progress = {action, stepName, 0, steps};
    m_Form.m_Cancelled = false;
    m_Form.m_HeldFooter.clear();
    ProgressDisplay().Begin(&m_Form);
}

CVKFormView::CLongAction::CLongAction(CVKFormView& form, int action, int steps)
    : CLongAction(
          form, form.ActionCaption(action),
          [&]
          {
              for (const CFormAction& entry : form.Actions())
                  if (entry.m_Id == action && entry.m_Step)
                      return QString::fromUtf8(entry.m_Step);
              return QString();
          }(),
          steps)
{
}

CVKFormView::CLongAction::~CLongAction()
{
    --m_Form.m_LongActions;
    if (!m_Outer)
        return;
    ProgressDisplay().End();
    if (m_Form.m_Cancelled)
        m_Form.AppendReport(m_Form.m_Progress.m_Action + QStringLiteral(": cancelled at ") +
                            m_Form.m_Progress.m_StepName + QLatin1Char(' ') +
                            QString::number(m_Form.m_Progress.m_Step) + QStringLiteral(" of ") +
                            QString::number(m_Form.m_Progress.m_Steps) + QStringLiteral("\r\n") +
                            m_Form.m_HeldFooter);
    m_Form.m_Cancelled = false;
    m_Form.m_HeldFooter.clear();
}

bool CVKFormView::Step(int step)
{
    if (m_LongActions == 0)
        return true;
    m_Progress.m_Step = step;
    return Step();
}

bool CVKFormView::Step()
{
    if (m_LongActions == 0)
        return true;
    if (!m_Cancelled && !ProgressDisplay().Report(m_Progress))
        m_Cancelled = true;
    return !m_Cancelled;
}

void CVKFormView::Activate()
{
    if (g_FormTabs)
        g_FormTabs->SelectForm(this);
    SetActiveForm(this);
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
        {row.m_Id, label, QString::fromUtf8(row.m_FieldName ? row.m_FieldName : ""), row});
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
    auto* row = new QHBoxLayout(frame);
    QStringList captions;
    for (const CFormAction& action : actions)
        captions << QString::fromUtf8(action.m_Caption);
    captions << QStringLiteral("Clear") << QStringLiteral("Exit");
    const QStringList marked = WithMnemonics(captions);
    for (size_t i = 0; i < actions.size(); ++i)
        AddButton(row, actions[i].m_Id, marked[static_cast<qsizetype>(i)]);
    row->addStretch();
    AddButton(row, IdClear, marked[marked.size() - 2]);
    AddButton(row, IdExit, marked.back());

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

int CVKFormView::ResultsPaneHeight() const
{
    if (!m_ResultsPane)
        return 0;
    // The lines, the tab bar and the group's frame around them.
    const QWidget* group = m_ResultsPane->parentWidget();
    const int lines = QFontMetrics(m_Results->font()).lineSpacing() * ResultLines;
    const int chrome =
        m_ResultsPane->sizeHint().height() - m_Results->sizeHint().height() +
        (group ? group->sizeHint().height() - m_ResultsPane->sizeHint().height() : 0);
    return lines + 2 * m_Results->frameWidth() + qMax(0, chrome);
}

QSize CVKFormView::sizeHint() const
{
    const QWidget* inputs = m_InputsArea->widget();
    const QSize wanted = inputs ? inputs->sizeHint() : QSize();
    const int actions =
        m_FormLayout->count() > 1 ? m_FormLayout->itemAt(1)->sizeHint().height() : 0;
    const QMargins margins = m_FormLayout->contentsMargins();
    const int width =
        qMax(wanted.width() + m_InputsArea->verticalScrollBar()->sizeHint().width(),
             m_FormLayout->count() > 1 ? m_FormLayout->itemAt(1)->sizeHint().width() : 0);
    const int height = wanted.height() + m_Splitter->handleWidth() + ResultsPaneHeight() + actions +
                       m_FormLayout->spacing();
    return QSize(width + margins.left() + margins.right(),
                 height + margins.top() + margins.bottom());
}

void CVKFormView::FitPanes()
{
    if (!m_AutoPanes || m_Splitter->count() < 2)
        return;
    const int total = m_Splitter->height() - m_Splitter->handleWidth();
    const QWidget* inputs = m_InputsArea->widget();
    const int wanted = inputs ? inputs->sizeHint().height() + 2 * m_InputsArea->frameWidth() : 0;
    const int forInputs = qMax(0, qMin(wanted, total - ResultsPaneHeight()));
    m_Splitter->setSizes({forInputs, qMax(0, total - forInputs)});
}

void CVKFormView::MakeRoomForPlot(bool shown)
{
    if (!shown)
    {
        if (!m_SizesBeforePlot.isEmpty() && m_Splitter->sizes() == m_SizesForPlot)
            m_Splitter->setSizes(m_SizesBeforePlot);
        m_SizesBeforePlot.clear();
        return;
    }
    const QList<int> sizes = m_Splitter->sizes();
    const int inputsLeast = m_InputsArea->minimumSizeHint().height();
    const int room =
        qMin(PlotChartHeight - m_ResultsPane->Plot()->ChartHeight(), sizes[0] - inputsLeast);
    if (sizes.size() < 2 || room <= 0)
        return;
    m_SizesBeforePlot = sizes;
    m_Splitter->setSizes({sizes[0] - room, sizes[1] + room});
    m_SizesForPlot = m_Splitter->sizes();
}

void CVKFormView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FitPanes();
}

void CVKFormView::keyPressEvent(QKeyEvent* event)
{
    if (m_EnterMovesFocus && IsEnterKey(event))
    {
        focusNextChild();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CVKFormView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // The form itself takes no input: pass the focus on to its first control.
    if (QApplication::focusWidget() == this)
        focusNextChild();
    Activate();
}

bool CVKFormView::eventFilter(QObject* watched, QEvent* event)
{
    // The fields hand Enter to the form, which turns it into a move to the next field.
    if (m_EnterMovesFocus && IsEnterKey(event) && dynamic_cast<CVKEdit*>(watched))
    {
        focusNextChild();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CVKFormView::RegisterControl(int id, QWidget* control)
{
    control->setProperty(ControlIdProperty, id);
    m_Controls.push_back(control);
    m_ControlIds.push_back(id);
}

void CVKFormView::OnClicked(int id)
{
    const size_t before = m_Tables.size();
    OnCommand(id);
    if (m_Tables.size() > before)
    {
        m_LatestTables = before;
        ShowFromBlock(m_TableBlocks[before]);
    }
}

void CVKFormView::ShowFromBlock(int blockNumber)
{
    if (!m_Results)
        return;
    // Once the box has laid the new lines out: the first of them at the top, its headings
    // in view and the rows below them.
    QMetaObject::invokeMethod(
        this,
        [this, blockNumber]
        {
            QTextDocument* document = m_Results->document();
            const QTextBlock block = document->findBlockByNumber(blockNumber);
            if (!block.isValid())
                return;
            m_Results->setTextCursor(QTextCursor(block));
            const qreal top = document->documentLayout()->blockBoundingRect(block).top();
            m_Results->horizontalScrollBar()->setValue(0);
            m_Results->verticalScrollBar()->setValue(static_cast<int>(top));
        },
        Qt::QueuedConnection);
}

void CVKFormView::OnRadioToggled(int id, bool checked)
{
    if (!checked)
        return;
    int group = 0;
    for (const auto& [radio, radioGroup] : m_RadioGroups)
        if (radio == id)
            group = radioGroup;
    for (const auto& [radio, radioGroup] : m_RadioGroups)
        if (radioGroup == group && radio != id)
            SetCheck(radio, false);
}
