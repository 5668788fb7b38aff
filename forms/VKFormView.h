// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/FieldTable.h"
#include "forms/Progress.h"
#include "forms/ReportTable.h"
#include "models/SideBySide.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <span>
#include <type_traits>
#include <vector>

class CVKEdit;
class CVKFormView;
class QAbstractButton;
class QBoxLayout;
class QGroupBox;
class QGridLayout;
class QLabel;
class QLayout;
class QTextEdit;
class QPushButton;
class QScrollArea;
class QSplitter;
class CResultsPane;
class CPartsLibrary;
class CVKComboBox;

// What the open-documents bar offers the forms. The application installs one; while none is
// installed the hooks do nothing.
class CVKFormTabs
{
public:
    virtual ~CVKFormTabs() = default;
    virtual void SelectForm(CVKFormView* form) = 0;
    virtual void RemoveForm(CVKFormView* form) = 0;
};

// Where the forms keep the sizes of their panes between runs (never in design files). The
// application installs one; while none is installed the sizes are not kept.
class CVKLayoutStore
{
public:
    virtual ~CVKLayoutStore() = default;
    virtual QByteArray LoadLayout(const QString& formKey) = 0;
    virtual void SaveLayout(const QString& formKey, const QByteArray& state) = 0;
};

// A caption, label or title of the design as the window shows it, its misspellings mended
// ("Eaphone" is "Earphone"). Reports, messages and file names keep the design's own text.
QString WindowText(const QString& designText);

// The class of a member function pointer.
template <typename T> struct CMemberOf;
template <typename TClass, typename TResult, typename... TArgs>
struct CMemberOf<TResult (TClass::*)(TArgs...)>
{
    using Class = TClass;
};
template <typename TClass, typename TResult, typename... TArgs>
struct CMemberOf<TResult (TClass::*)(TArgs...) const>
{
    using Class = TClass;
};

// The captions with a mnemonic each ("&Analyse"), no letter twice and none of the main menu's
// (File, Edit, View, Window, Help): the first letter of a word where one is free. "Exit" is
// "E&xit".
QStringList WithMnemonics(const QStringList& captions);

// The base of every calculator form: its key, its controls by id in creation order, the
// results box, "Clear" and "Exit", the Enter key, the active form, and one command dispatch
// that clicks, design files and the batch mode all go through.
class CVKFormView : public QWidget
{
    Q_OBJECT

public:
    enum EControlId
    {
        IdExit = 2,
        IdMainAction = 3,
        IdClear = 1010,
        IdActionFrame = 1001,
        IdResults = 1196,
    };

    CVKFormView(const QString& formKey, int templateId, QWidget* parent = nullptr);
    ~CVKFormView() override;

    // Builds the controls (BuildForm) and runs SetupFields, once.
    void OnInitialUpdate();

    // Runs the handler of a control id, as a click on that control does. Returns false when
    // the form has no handler for it. The base handles "Clear" and "Exit".
    virtual bool OnCommand(int id);
    // A design file or a single record has set the check marks. The clicks it replayed have
    // re-derived the fields of every checked choice; a form whose radio group may be left
    // with none checked puts that group back as its set-up leaves it.
    virtual void OnChoicesRestored() {}

    // Controls by id, in creation order (the order design files are written in).
    QWidget* Control(int id) const;
    CVKEdit* Field(int id) const;
    QAbstractButton* Button(int id) const;
    const std::vector<QWidget*>& Controls() const { return m_Controls; }
    // The id a control was registered with, or 0 for a widget that is not one of the form's.
    static int ControlId(const QWidget* control);

    bool IsChecked(int id) const;
    // Checking a radio button clears the other buttons of its group; clearing one may leave
    // its group with none checked.
    void SetCheck(int id, bool checked);
    // The check box or radio button set as a click sets it: the form follows at once.
    void SetOption(int id, bool checked);
    void EnableControl(int id, bool enable);

    QTextEdit* ResultsBox() const { return m_Results; }
    // The "Report" and "Table" tabs; null until the results are built.
    CResultsPane* ResultsPane() const { return m_ResultsPane; }
    // The inputs (scrolled) above the results; the action buttons stay below both.
    QSplitter* Splitter() const { return m_Splitter; }
    QScrollArea* InputsArea() const { return m_InputsArea; }
    // Lines of a report the results pane shows at the least, when the window has room.
    static constexpr int ResultLines = 15;
    // Pixels of height the Plot tab's chart gets at the least, when the window has room.
    static constexpr int PlotChartHeight = 300;

    // All inputs, the results' lines and the action buttons.
    QSize sizeHint() const override;
    QString ResultsText() const;
    void SetResultsText(const QString& text);
    // Appends a report to the results box. A report with a number that is not finite is not
    // appended: NonFiniteMessage is shown instead.
    void AppendReport(const QString& report);
    // True when the text holds a number as FormatNumber prints an infinite or undefined value.
    static bool HasNonFiniteNumber(const QString& text);
    static const char* NonFiniteMessage();

    // The form's actions (CFormAction), in the order of their buttons; the first is the one
    // Ctrl+Return runs.
    virtual std::span<const CFormAction> Actions() const { return {}; }
    // The form's part pickers (CPartPickerRow).
    virtual std::span<const CPartPickerRow> PartPickers() const { return {}; }
    // Chooses the part `name` in the picker of `group` and fills its fields, as a choice from
    // the list does; false (nothing changed) when the form has no such picker or part.
    bool ChoosePart(const QString& group, const QString& name);
    CVKComboBox* Picker(int id) const;
    // The parts the pickers list: the shipped database and the user's own, opened when first
    // needed at the places given (a missing user database is created only when written).
    static void SetPartsLocations(const QString& shipped, const QString& user);
    static CPartsLibrary& PartsLibrary();
    // The user's own parts, made when missing, for writing; false (said) when they cannot be.
    static bool OpenUserParts();
    // Every open form's pickers list the parts anew.
    static void RefreshAllPickers();
    // Shows the value (SI) in field `id` in its display unit, rounded to its decimals; typed
    // text of a field that a picker fills shows that picker's free choice again.
    void ShowFieldValue(int id, double value);
    // The form's validity rules (CFormRule), checked on the tables of every action.
    virtual std::span<const CFormRule> Rules() const { return {}; }
    // The hints on the latest action's tables, one line each (CReportTable::HintLines).
    QStringList LatestHintLines() const;
    // An action's caption: its button, the title of its tables and of its progress.
    QString ActionCaption(int id) const;
    // How the form's messages name a field: its label, or its field name where another
    // field of the form has the same label.
    QString FieldCaption(int id) const;
    // The row a field was built from, or null.
    const CFieldRow* BuiltRow(int id) const;
    // The static text beside a field built from a row, or null.
    QLabel* FieldLabel(int id) const;
    // A field's tooltip (and What's This): its meaning, its unit, its range in the user's
    // number format, and whether a calculation reads it. The status tip is its first line
    // with the range.
    QString FieldTip(int id) const;
    // Report tables. A table begins, takes its rows and, when it ends, goes into the results
    // box whole (its footer left out when asked), so that a refused row leaves nothing
    // behind; a discarded table writes nothing. The results keep every table until "Clear",
    // so that the report text and the data behind the views and exports cannot disagree.
    void BeginTable(CReportTable table);
    void AddRow(std::vector<CReportCell> cells);
    void EndTable(bool withFooter = true);
    void DiscardTable();
    const std::vector<CReportTable>& Tables() const { return m_Tables; }
    // The tables of the latest action that wrote any.
    std::vector<CReportTable> LatestTables() const;
    // The tables as the views show them (ViewTables) that hold the latest action's rows.
    std::vector<CReportTable> LatestViewTables() const
    {
        return ViewTables(m_Tables, m_LatestTables);
    }

    // EM_SETTABSTOPS: one value gives a stop every that many dialog units, several give
    // explicit stops. One dialog unit is a quarter of the font's average character width.
    void SetTabStops(const std::vector<int>& dialogUnits);

    // Copy, Paste, Undo and Redo of the Edit menu act on the focused widget: Copy on any text
    // widget, the results box included; the others on a numeric field. True when they did.
    static bool Copy();
    static bool Paste();
    static bool Undo();
    static bool Redo();

    bool EnterMovesFocus() const { return m_EnterMovesFocus; }
    int TemplateId() const { return m_TemplateId; }

    // The active form of the application: the form that last gained the focus.
    static CVKFormView* ActiveForm();
    static QString ActiveFormKey();
    static void SetActiveForm(CVKFormView* form);
    static void SetFormTabs(CVKFormTabs* tabs);
    static void SetLayoutStore(CVKLayoutStore* store);
    // How the long actions show their progress: the window's dialog unless another display
    // is installed (the batch mode installs its own). Null puts the dialog back; returns the
    // display installed before.
    static CProgressDisplay* SetProgressDisplay(CProgressDisplay* display);

    QString m_strFormKey;

signals:
    // "Exit": the frame that holds the form should close.
    void ExitRequested(CVKFormView* form);
    // The user edited a field, or a check box or radio button changed: what a design file
    // keeps is no longer what was last loaded or saved.
    void Edited();

protected:
    // Each form creates its controls here, in template order, through the builders below.
    virtual void BuildForm() = 0;
    // Each form's field set-up: the set-up calls, default checks and disabled fields.
    virtual void SetupFields() = 0;

    // Builders. Every control carries its id; the form's click handlers run through OnCommand.
    QGroupBox* AddGroup(const QString& title, QBoxLayout* into = nullptr);
    // A grid for AddField rows, added to the given layout (the form's main layout by default).
    QGridLayout* AddFieldGrid(QBoxLayout* into = nullptr);
    CVKEdit* AddField(QGridLayout* grid, const CFieldRow& row);
    // The picker of row `id` of PartPickers(), beside its label, in the grid's next row.
    CVKComboBox* AddPicker(QGridLayout* grid, int id);
    void AddFields(QGridLayout* grid, const CFieldRow* rows, int count);
    QAbstractButton* AddRadio(QBoxLayout* into, int id, const QString& caption, int radioGroup);
    QAbstractButton* AddCheck(QBoxLayout* into, int id, const QString& caption);
    QPushButton* AddButton(QBoxLayout* into, int id, const QString& caption);
    // The results group, the action frame (1001) with a button for each of Actions(), "Clear"
    // and "Exit". Given the main layout, the results take the splitter's second pane and the
    // action frame the bottom of the form.
    void AddResultsAndActions(QBoxLayout* into);
    QBoxLayout* MainLayout() const { return m_MainLayout; }

    // Checks the fields' values (read as ValidateInput reads them) against each condition in
    // turn; at the first one that fails, shows "Error: <field> <reason>" and returns false.
    bool CheckFields(const CFieldCheck* checks, int count);
    template <std::size_t Count> bool CheckFields(const CFieldCheck (&checks)[Count])
    {
        return CheckFields(checks, static_cast<int>(Count));
    }
    // Shows "Error: <field> <reason>", where "%s" in the reason names the other field; false.
    bool RefuseField(int id, const char* reason, int other = 0);

    // ValidateInput on one field; its value, converted to SI units by its row, goes to the
    // target as EFieldRead says. False when a required field refused its value (it has said why).
    bool ReadField(int id, double& target, EFieldRead read = EFieldRead::Required) const;
    // The fields of a binding table in table order, into the members of one object; false at
    // the first required field that fails, with the members of the later rows untouched.
    template <typename Target, typename Binding>
    bool ReadFields(Target& target, const Binding* bindings, std::size_t count) const
    {
        for (std::size_t i = 0; i < count; ++i)
            if (!ReadField(bindings[i].m_Id, bindings[i].In(target), bindings[i].m_Read))
                return false;
        return true;
    }
    template <typename Target, typename Binding, std::size_t Count>
    bool ReadFields(Target& target, const Binding (&bindings)[Count]) const
    {
        return ReadFields(target, bindings, Count);
    }

    // Enables and disables the controls of the rule for a mode; a mode without a rule changes
    // nothing.
    void ApplyEnableRule(const CEnableRule* rules, std::size_t count, int mode);
    template <std::size_t Count> void ApplyEnableRule(const CEnableRule (&rules)[Count], int mode)
    {
        ApplyEnableRule(rules, Count, mode);
    }

    // What each field means (CFieldHelp), for the tips the base gives every field once the
    // fields are set up; a form without a table gives its fields their unit and range alone.
    virtual std::span<const CFieldHelp> FieldHelp() const { return {}; }
    // A field kept in the form and its design files that no calculation reads: its tips say so.
    void MarkUnused(int id, const QString& why);

    // The set-up calls of one row, as EFieldCalls lists them.
    void SetupField(const CFieldRow& row);
    void SetupFields(const CFieldRow* rows, int count);

    // A long action, for the life of the object: it names its steps and reports each
    // through Step. An action inside another one reports as part of the outer one.
    class CLongAction
    {
    public:
        CLongAction(CVKFormView& form, const QString& action, const QString& stepName, int steps);
        // Named by the form's action table: its caption and what it counts.
        CLongAction(CVKFormView& form, int action, int steps);
        ~CLongAction();
        CLongAction(const CLongAction&) = delete;
        CLongAction& operator=(const CLongAction&) = delete;

    private:
        CVKFormView& m_Form;
        bool m_Outer;
    };
    // At step `step` (from 1) of the long action under way, or still within the present step:
    // the window keeps painting. False once the user has cancelled; the action then ends with
    // the rows it finished, and when it is over a line says it was cancelled (before the
    // footer of its last table). Without a long action under way: true.
    bool Step(int step);
    bool Step();
    bool Cancelled() const { return m_Cancelled; }

    // The steps 1 ... `count` of the long action under way, worked out side by side, one per
    // processor. `prepare(i)` (from 0, on this thread) gives the work of step i + 1: a
    // callable that takes the stop flag and returns the step's result. It runs on a thread of
    // its own, so it must hold everything it works on (copies of the models, never the
    // form's own). `take(i, result)` gets the results in order on this thread, between
    // repaints, and returns false to end the action. False when it ended early: `take`
    // said so, or the user cancelled at the step awaited. Every step still running sees the
    // stop flag set and is waited for before this returns.
    template <typename Prepare, typename Take>
    bool StepsSideBySide(int count, Prepare prepare, Take take)
    {
        return RunSideBySide(
            count, std::move(prepare), std::move(take), [this](int step) { return Step(step); },
            [this] { return Step(); });
    }

    void setEnterMovesFocus(bool on) { m_EnterMovesFocus = on; }

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RegisterControl(int id, QWidget* control);
    void OnClicked(int id);
    // Typing in a field a picker fills shows the picker's free choice: once every field is built.
    void ConnectPickers();
    // Puts the tables from `first` on to the form's rules and shows the hints they give.
    void CheckRules(size_t first);
    // Scrolls the results box so that the block comes first.
    void ShowFromBlock(int blockNumber);
    void OnRadioToggled(int id, bool checked);
    void Activate();
    QWidget* ControlParent(QLayout* layout);
    void ShowResultsText();
    // Until the user moves the splitter (or sizes are restored): the inputs take what they
    // need, up to what leaves the results their lines.
    void FitPanes();
    // Puts FieldTip into the field's and its label's tooltip, status tip and What's This.
    void ApplyFieldTip(int id);
    // While the Plot tab is shown, the splitter gives the results what the chart needs to be
    // PlotChartHeight high, as far as the inputs can give it; leaving the tab puts the inputs
    // back, unless the user has moved the splitter meanwhile.
    void MakeRoomForPlot(bool shown);
    // Elastic tab stops: each column of a table starts just right of its widest cell or
    // heading in the results box's font, so that every value sits under its heading. Done
    // once the action is over (never in the batch mode, which has no event loop).
    void ScheduleTabStops();
    // The stops of the tables first to last, one table to the views (one continues another):
    // their rows measured together, under the first one's headings.
    void ApplyTabStops(size_t first, size_t last);
    int ResultsPaneHeight() const;

    int m_TemplateId;
    bool m_EnterMovesFocus = false;
    bool m_Initialised = false;
    QBoxLayout* m_MainLayout = nullptr; // the inputs
    QBoxLayout* m_FormLayout = nullptr; // the splitter over the action frame
    QSplitter* m_Splitter = nullptr;
    QScrollArea* m_InputsArea = nullptr;
    CResultsPane* m_ResultsPane = nullptr;
    bool m_AutoPanes = true;
    QList<int> m_SizesBeforePlot; // the splitter's sizes before the Plot tab took room
    QList<int> m_SizesForPlot;    // and the sizes it took
    QTextEdit* m_Results = nullptr;
    QString m_ResultsText; // exactly as appended, "\r\n" line ends included
    std::vector<CReportTable> m_Tables;
    std::vector<int> m_TableBlocks; // the results box's block of each table's first line
    bool m_TabsPending = false;
    size_t m_TabsDone = 0; // tables whose lines have their stops
    bool m_TableOpen = false;
    CReportTable m_OpenTable;
    size_t m_LatestTables = 0; // the first table of the latest action that wrote one
    int m_LongActions = 0;     // long actions under way, one inside the other
    CProgressStep m_Progress;
    bool m_Cancelled = false;
    QString m_HeldFooter; // the footer of a table ended after the cancel, for the last line
    std::vector<QWidget*> m_Controls;
    std::vector<int> m_ControlIds; // beside m_Controls
    struct CFieldNames
    {
        int m_Id;
        QString m_Label;
        QString m_FieldName;
        CFieldRow m_Row;
        QLabel* m_Caption; // the static text beside the field
    };
    std::vector<CFieldNames> m_FieldNames;
    const CFieldNames* FindBuilt(int id) const;
    std::vector<std::pair<int, int>> m_RadioGroups; // (control id, group)
    std::vector<std::pair<int, QString>> m_Unused;  // (field, why no calculation reads it)
    QMetaObject::Connection m_FocusConnection;
};

// A form's member function as the handler of one of its actions (CFormAction::m_Run): it takes
// the action's id or nothing.
template <auto Handler> void RunHandler(CVKFormView& form, int id);

// A form's member function as the filler of one of its part pickers (CPartPickerRow::m_Fill).
template <auto Fill> bool FillHandler(CVKFormView& form, const std::string& name)
{
    using TForm = typename CMemberOf<decltype(Fill)>::Class;
    return (static_cast<TForm&>(form).*Fill)(name);
}

// A form's const member function as the check of one of its rules (CFormRule::m_Check).
template <auto Check>
bool RuleCheck(const CVKFormView& form, const CReportTable& table, CTableHint& hint)
{
    using TForm = typename CMemberOf<decltype(Check)>::Class;
    return (static_cast<const TForm&>(form).*Check)(table, hint);
}

template <auto Handler> void RunHandler(CVKFormView& form, int id)
{
    using TForm = typename CMemberOf<decltype(Handler)>::Class;
    if constexpr (std::is_invocable_v<decltype(Handler), TForm&, int>)
        (static_cast<TForm&>(form).*Handler)(id);
    else
        (static_cast<TForm&>(form).*Handler)();
}
