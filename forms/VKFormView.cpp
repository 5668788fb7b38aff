// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/VKFormView.h"

#include "controls/VKEdit.h"
#include "database/Error.h"
#include "forms/ResultsPane.h"
#include "forms/ResultsPlot.h"
#include "models/VectorUnit.h"

#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
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
    ConnectPickers();
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
    // Whatever ran since the last action (painting, the GUI's start-up) may have left the
    // vector unit in the state that slows the models' sums.
    ClearUpperVectorState();
    for (const CFormAction& action : Actions())
        if (action.m_Id == id && action.m_Run)
        {
            action.m_Run(*this, id);
            return true;
        }
    switch (id)
    {
    case IdClear:
        m_LatestTables = 0;
        m_TableOpen = false;
        m_Tables.clear();
        m_TableBlocks.clear();
        m_TabsDone = 0;
        if (m_ResultsPane)
        {
            m_ResultsPane->ShowTables(&m_Tables);
            m_ResultsPane->ShowHints({});
        }
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

void CVKFormView::SetOption(int id, bool checked)
{
    if (IsChecked(id) == checked)
        return;
    SetCheck(id, checked);
    OnCommand(id);
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
    // The progress window has painted in between.
    ClearUpperVectorState();
    return !m_Cancelled;
}

void CVKFormView::Activate()
{
    if (g_FormTabs)
        g_FormTabs->SelectForm(this);
    SetActiveForm(this);
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
        CheckRules(before);
        ShowFromBlock(m_TableBlocks[before]);
    }
}

void CVKFormView::CheckRules(size_t first)
{
    bool any = false;
    for (size_t i = first; i < m_Tables.size(); ++i)
        for (const CFormRule& rule : Rules())
        {
            CTableHint hint{QString::fromUtf8(rule.m_Hint), {}};
            if (rule.m_Check(*this, m_Tables[i], hint))
            {
                m_Tables[i].m_Hints.push_back(std::move(hint));
                any = true;
            }
        }
    if (any && m_ResultsPane)
        m_ResultsPane->ShowTables(&m_Tables);
    if (m_ResultsPane)
        m_ResultsPane->ShowHints(LatestHintLines());
}

QStringList CVKFormView::LatestHintLines() const
{
    QStringList lines;
    if (m_LatestTables < m_Tables.size())
        for (const CReportTable& table : LatestViewTables())
            lines << table.HintLines();
    return lines;
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
