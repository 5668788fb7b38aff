#include "forms/VKFormView.h"

#include "controls/VKEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextOption>
#include <QVBoxLayout>

namespace
{
CVKFormView* g_ActiveForm = nullptr;
CVKFormTabs* g_FormTabs = nullptr;

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

bool IsEnterKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}
} // namespace

CVKFormView::CVKFormView(const QString& formKey, int templateId, QWidget* parent)
    : QWidget(parent)
    , m_strFormKey(formKey)
    , m_TemplateId(templateId)
{
    m_MainLayout = new QVBoxLayout(this);
    if (qApp)
        m_FocusConnection = connect(qApp, &QApplication::focusChanged, this,
                                    [this](QWidget*, QWidget* now) {
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
    for (QWidget* control : m_Controls) {
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
    SetupFields();
}

bool CVKFormView::OnCommand(int id)
{
    switch (id) {
    case IdClear:
        SetResultsText(QString());
        return true;
    case IdExit:
        emit ExitRequested(this);
        for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
            if (auto* frame = qobject_cast<QMdiSubWindow*>(w)) {
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
    for (QWidget* control : m_Controls)
        if (ControlId(control) == id)
            return control;
    return nullptr;
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
    // A "\r\n" split across two reports is shown whole by redrawing everything.
    const bool splitLineEnd = m_ResultsText.endsWith(QLatin1Char('\r')) && report.startsWith(QLatin1Char('\n'));
    m_ResultsText += report;
    if (!m_Results)
        return;
    if (splitLineEnd) {
        ShowResultsText();
        return;
    }
    QTextCursor cursor(m_Results->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(DisplayText(report));
    m_Results->moveCursor(QTextCursor::End);
}

void CVKFormView::ShowResultsText()
{
    if (m_Results)
        m_Results->setPlainText(DisplayText(m_ResultsText));
}

void CVKFormView::SetTabStops(const std::vector<int>& dialogUnits)
{
    if (!m_Results || dialogUnits.empty())
        return;
    const qreal unit = QFontMetrics(m_Results->font()).averageCharWidth() / 4.0;
    if (dialogUnits.size() == 1) {
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
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        line->copy();
        return true;
    }
    if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) {
        text->copy();
        return true;
    }
    if (auto* rich = qobject_cast<QTextEdit*>(focus)) {
        rich->copy();
        return true;
    }
    return false;
}

bool CVKFormView::Paste()
{
    if (auto* field = dynamic_cast<CVKEdit*>(QApplication::focusWidget())) {
        field->paste();
        return true;
    }
    return false;
}

bool CVKFormView::Undo()
{
    if (auto* field = dynamic_cast<CVKEdit*>(QApplication::focusWidget())) {
        field->undo();
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
    auto* group = new QGroupBox(title, ControlParent(into));
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

    auto* caption = new QLabel(label, parent);
    auto* field = new CVKEdit(parent);
    caption->setBuddy(field);
    field->setMinimumWidth(QFontMetrics(field->font()).averageCharWidth() * 12);
    grid->addWidget(caption, line, 0);
    grid->addWidget(field, line, 1);
    // Most labels already carry their unit.
    if (!unit.isEmpty() && !label.contains(unit))
        grid->addWidget(new QLabel(unit, parent), line, 2);

    RegisterControl(row.m_Id, field);
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

QAbstractButton* CVKFormView::AddRadio(QBoxLayout* into, int id, const QString& caption, int radioGroup)
{
    if (!into)
        into = m_MainLayout;
    auto* radio = new CFormRadio(caption, ControlParent(into));
    into->addWidget(radio);
    RegisterControl(id, radio);
    m_RadioGroups.emplace_back(id, radioGroup);
    connect(radio, &QAbstractButton::toggled, this, [this, id](bool checked) { OnRadioToggled(id, checked); });
    connect(radio, &QAbstractButton::toggled, this, &CVKFormView::Edited);
    connect(radio, &QAbstractButton::clicked, this, [this, id] { OnClicked(id); });
    return radio;
}

QAbstractButton* CVKFormView::AddCheck(QBoxLayout* into, int id, const QString& caption)
{
    if (!into)
        into = m_MainLayout;
    auto* check = new QCheckBox(caption, ControlParent(into));
    into->addWidget(check);
    RegisterControl(id, check);
    connect(check, &QAbstractButton::toggled, this, &CVKFormView::Edited);
    connect(check, &QAbstractButton::clicked, this, [this, id] { OnClicked(id); });
    return check;
}

QPushButton* CVKFormView::AddButton(QBoxLayout* into, int id, const QString& caption)
{
    if (!into)
        into = m_MainLayout;
    auto* button = new QPushButton(caption, ControlParent(into));
    button->setAutoDefault(false);
    into->addWidget(button);
    RegisterControl(id, button);
    connect(button, &QAbstractButton::clicked, this, [this, id] { OnClicked(id); });
    return button;
}

void CVKFormView::AddResultsAndActions(QBoxLayout* into, const std::vector<std::pair<int, QString>>& actions)
{
    if (!into)
        into = m_MainLayout;
    QGroupBox* results = AddGroup(QStringLiteral("Results"), into);
    auto* resultsLayout = new QVBoxLayout(results);
    m_Results = new QPlainTextEdit(results);
    m_Results->setReadOnly(true);
    m_Results->setUndoRedoEnabled(false);
    m_Results->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_Results->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_Results->setMinimumHeight(QFontMetrics(m_Results->font()).height() * 8);
    resultsLayout->addWidget(m_Results);
    RegisterControl(IdResults, m_Results);
    ShowResultsText();

    auto* frame = new QGroupBox(ControlParent(into));
    into->addWidget(frame);
    RegisterControl(IdActionFrame, frame);
    auto* row = new QHBoxLayout(frame);
    for (const auto& [id, caption] : actions)
        AddButton(row, id, caption);
    row->addStretch();
    AddButton(row, IdClear, QStringLiteral("Clear"));
    AddButton(row, IdExit, QStringLiteral("Exit"));
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
        field->SetWindowText(QString::fromUtf8(row.m_Default ? row.m_Default : ""));
}

void CVKFormView::SetupFields(const CFieldRow* rows, int count)
{
    for (int i = 0; i < count; ++i)
        SetupField(rows[i]);
}

void CVKFormView::keyPressEvent(QKeyEvent* event)
{
    if (m_EnterMovesFocus && IsEnterKey(event)) {
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
    if (m_EnterMovesFocus && IsEnterKey(event) && dynamic_cast<CVKEdit*>(watched)) {
        focusNextChild();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CVKFormView::RegisterControl(int id, QWidget* control)
{
    control->setProperty(ControlIdProperty, id);
    m_Controls.push_back(control);
}

void CVKFormView::OnClicked(int id)
{
    OnCommand(id);
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
