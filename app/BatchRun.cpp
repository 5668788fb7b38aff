// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BatchRun.h"

#include "app/DesignFile.h"
#include "calculators/FormFactory.h"
#include "database/Error.h"
#include "database/MessagePresenter.h"
#include "forms/ResultsExport.h"
#include "forms/ResultsPlot.h"
#include "forms/VKFormView.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QSize>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <vector>

namespace
{
const char* const UsageLine =
    "Usage: quillon --batch KEY [--load FILE] [--set ID=VALUE]... [--part GROUP=NAME]... [--press "
    "ID]..."
    " [--save FILE]"
    " [--export-csv FILE] [--export-pdf FILE] [--progress] [--plot FILE.png|FILE.svg|FILE.pdf]"
    " [--plot-size WxH]";

// The picture --plot draws unless --plot-size says otherwise.
constexpr int DefaultPlotWidth = 1200;
constexpr int DefaultPlotHeight = 800;
constexpr int LargestPlotSide = 10000;

// Every message becomes one line of err; the run goes on as if OK were pressed.
class CBatchPresenter : public CMessagePresenter
{
public:
    explicit CBatchPresenter(QString& err) : m_Err(err) {}

    void Show(const std::string& title, const std::string& text, EMessageIcon) override
    {
        m_Err += QString::fromStdString(CStderrPresenter::OneLine(title, text)) + QLatin1Char('\n');
        if (title == "Error" || title == "ERROR")
            m_Failed = true;
    }

    bool m_Failed = false;

private:
    QString& m_Err;
};

QString KnownKeys()
{
    QStringList keys;
    for (const CFormEntry& entry : FormEntries())
        keys << entry.m_Key;
    return keys.join(QStringLiteral(", "));
}

int BadUsage(QString& err, const QString& reason)
{
    err += QStringLiteral("quillon: ") + reason + QLatin1Char('\n') + QLatin1String(UsageLine) +
           QLatin1Char('\n');
    return 2;
}

void AddOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral(
            "Crystal radio design calculator.\n\nBatch mode: creates the form KEY without a "
            "window, "
            "applies the options in the order given and prints the results.\nForm keys: ") +
        KnownKeys());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("batch"), QStringLiteral("Run form <KEY> without a window."),
                      QStringLiteral("KEY")});
    parser.addOption({QStringLiteral("load"), QStringLiteral("Load the design file <FILE>."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("set"),
                      QStringLiteral("Apply one design-file record \"ID,VALUE\"."),
                      QStringLiteral("ID=VALUE")});
    parser.addOption({QStringLiteral("press"), QStringLiteral("Press the push button <ID>."),
                      QStringLiteral("ID")});
    parser.addOption({QStringLiteral("part"),
                      QStringLiteral("Choose the part <NAME> in the picker <GROUP> (wire, litz, "
                                     "ferrite, rod; diode, primary-wire, secondary-wire), as the "
                                     "list does."),
                      QStringLiteral("GROUP=NAME")});
    parser.addOption({QStringLiteral("save"), QStringLiteral("Save the design file <FILE>."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("export-csv"),
                      QStringLiteral("Write every table reported so far to the CSV file <FILE>."),
                      QStringLiteral("FILE")});
    parser.addOption(
        {QStringLiteral("export-pdf"),
         QStringLiteral("Write the inputs and every table reported so far to the PDF file <FILE>."),
         QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("progress"),
                      QStringLiteral("While a long action runs, print how far it has got on "
                                     "standard error, one line each percent.")});
    parser.addOption(
        {QStringLiteral("plot"),
         QStringLiteral(
             "Write the default plot of the latest sweep to <FILE> (.png, .svg or .pdf)."),
         QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("plot-size"),
                      QStringLiteral("The size of every --plot picture in pixels (default %1x%2).")
                          .arg(DefaultPlotWidth)
                          .arg(DefaultPlotHeight),
                      QStringLiteral("WxH")});
}

// Restores the display of the long actions that was installed before.
class CScopedProgressDisplay
{
public:
    explicit CScopedProgressDisplay(CProgressDisplay& display)
        : m_Previous(CVKFormView::SetProgressDisplay(&display))
    {
    }
    ~CScopedProgressDisplay() { CVKFormView::SetProgressDisplay(m_Previous); }
    CScopedProgressDisplay(const CScopedProgressDisplay&) = delete;
    CScopedProgressDisplay& operator=(const CScopedProgressDisplay&) = delete;

private:
    CProgressDisplay* m_Previous;
};

void WriteToStderr(const QString& line)
{
    std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

// The options that name a file, and their steps.
const std::pair<const char*, EBatchStep> FileOptions[] = {
    {"load", EBatchStep::Load},
    {"save", EBatchStep::Save},
    {"export-csv", EBatchStep::ExportCsv},
    {"export-pdf", EBatchStep::ExportPdf},
};

bool TakesValue(const QString& name)
{
    for (const char* option : {"batch", "set", "press", "part", "plot", "plot-size"})
        if (name == QLatin1String(option))
            return true;
    return std::any_of(std::begin(FileOptions), std::end(FileOptions),
                       [&name](const auto& option) { return name == QLatin1String(option.first); });
}

// The step of one option with its value, if it makes one; false with a reason when the value
// is malformed.
bool AddStep(const QString& name, const QString& value, std::vector<CBatchStep>& steps,
             QString& reason)
{
    for (const auto& [option, kind] : FileOptions)
        if (name == QLatin1String(option))
        {
            steps.push_back({kind, value});
            return true;
        }
    bool isNumber = false;
    if (name == QLatin1String("plot"))
    {
        const QString suffix = QFileInfo(value).suffix().toLower();
        if (suffix != QLatin1String("png") && suffix != QLatin1String("svg") &&
            suffix != QLatin1String("pdf"))
        {
            reason =
                QStringLiteral("--plot wants a .png, .svg or .pdf file, not \"%1\"").arg(value);
            return false;
        }
        steps.push_back({EBatchStep::Plot, value});
    }
    else if (name == QLatin1String("set"))
    {
        const qsizetype split = value.indexOf(QLatin1Char('='));
        const int id = value.left(split).toInt(&isNumber);
        if (split < 0 || !isNumber)
        {
            reason = QStringLiteral("--set wants ID=VALUE, not \"%1\"").arg(value);
            return false;
        }
        const QString record = QString::number(id) + QLatin1Char(',') + value.mid(split + 1);
        // A longer record would be saved to load back as two.
        if (static_cast<std::size_t>(record.toUtf8().size()) > DesignLineLimit)
        {
            reason = QStringLiteral("--set %1 is longer than a design file's line of %2 bytes")
                         .arg(id)
                         .arg(DesignLineLimit);
            return false;
        }
        steps.push_back({EBatchStep::Set, record});
    }
    else if (name == QLatin1String("part"))
    {
        if (value.indexOf(QLatin1Char('=')) <= 0)
        {
            reason = QStringLiteral("--part wants GROUP=NAME, not \"%1\"").arg(value);
            return false;
        }
        steps.push_back({EBatchStep::Part, value});
    }
    else if (name == QLatin1String("press"))
    {
        const int id = value.toInt(&isNumber);
        if (!isNumber)
        {
            reason = QStringLiteral("--press wants a control id, not \"%1\"").arg(value);
            return false;
        }
        steps.push_back({EBatchStep::Press, QString(), id});
    }
    return true;
}

// The steps in command-line order (the parser keeps each option's values apart).
// False with a reason when a value is malformed.
bool CollectSteps(const QStringList& args, std::vector<CBatchStep>& steps, QString& reason)
{
    for (qsizetype i = 1; i < args.size(); ++i)
    {
        QString name = args[i];
        if (!name.startsWith(QLatin1String("--")))
            continue;
        name = name.mid(2);
        QString value;
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (equals >= 0)
        {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        else if (TakesValue(name))
        {
            value = i + 1 < args.size() ? args[++i] : QString();
        }
        if (!AddStep(name, value, steps, reason))
            return false;
    }
    return true;
}

// "1200x800" as a size; false when it is not two whole numbers of pixels within reason.
bool ParsePlotSize(const QString& text, QSize& size)
{
    const QStringList sides = text.toLower().split(QLatin1Char('x'));
    bool wide = false;
    bool high = false;
    if (sides.size() == 2)
        size = QSize(sides[0].toInt(&wide), sides[1].toInt(&high));
    return wide && high && size.width() > 0 && size.height() > 0 &&
           size.width() <= LargestPlotSide && size.height() <= LargestPlotSide;
}

// designName is the file name of the design last loaded or saved. False when the run must
// stop: a design that did not load leaves nothing sound to act on.
bool RunStep(CVKFormView& form, const CBatchStep& step, QString& designName, QSize plotSize)
{
    switch (step.m_Kind)
    {
    case EBatchStep::Load:
        if (!LoadDesign(&form, form.m_strFormKey, step.m_Text))
            return false;
        designName = QFileInfo(step.m_Text).fileName();
        break;
    case EBatchStep::Set:
        // A script means the same on every machine: its values are in the fixed notation.
        ApplyControlRecord(form, step.m_Text.toStdString(), ENotation::Fixed);
        form.OnChoicesRestored();
        break;
    case EBatchStep::Press:
        // As a click: nothing happens for a disabled or missing button.
        if (auto* button = qobject_cast<QPushButton*>(form.Button(step.m_Id));
            button && button->isEnabled())
        {
            const size_t before = form.Tables().size();
            button->click();
            // Where a model is poor: beside the report, never in it.
            if (form.Tables().size() > before)
                for (const QString& line : form.LatestHintLines())
                    WriteToStderr(QStringLiteral("Note: ") + line);
        }
        break;
    case EBatchStep::Part:
    {
        // A part that is not there ends the run: the report would be of other numbers.
        const qsizetype equals = step.m_Text.indexOf(QLatin1Char('='));
        const QString group = step.m_Text.left(equals);
        const QString name = step.m_Text.mid(equals + 1);
        if (!form.ChoosePart(group, name))
        {
            CError::DisplayError(QStringLiteral("No part \"%1\" among the %2 parts of this "
                                                "calculator")
                                     .arg(name, group)
                                     .toStdString());
            return false;
        }
        break;
    }
    case EBatchStep::Save:
        if (SaveDesign(&form, form.m_strFormKey, step.m_Text))
            designName = QFileInfo(step.m_Text).fileName();
        break;
    case EBatchStep::ExportCsv:
        ExportResultsCsv(form.Tables(), step.m_Text);
        break;
    case EBatchStep::ExportPdf:
        ExportResultsPdf(form, ShownCaption(form.m_strFormKey), designName, step.m_Text);
        break;
    case EBatchStep::Plot:
        WriteDefaultPlot(form.Actions(), form.Tables(), designName, step.m_Text, plotSize);
        break;
    }
    return true;
}
} // namespace

bool WantsBatch(const QStringList& args)
{
    for (qsizetype i = 1; i < args.size(); ++i)
    {
        const QString& arg = args[i];
        if (arg == QLatin1String("--"))
            break;
        if (arg == QLatin1String("--batch") || arg.startsWith(QLatin1String("--batch=")) ||
            arg == QLatin1String("--help") || arg == QLatin1String("-h") ||
            arg == QLatin1String("-?") || arg == QLatin1String("--help-all") ||
            arg == QLatin1String("--version") || arg == QLatin1String("-v"))
            return true;
    }
    return false;
}

int ParseBatchArgs(const QStringList& args, CBatchPlan& plan, QString& out, QString& err)
{
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(args))
        return BadUsage(err, parser.errorText());
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
    {
        out += parser.helpText();
        return 0;
    }
    if (parser.isSet(QStringLiteral("version")))
    {
        out += QCoreApplication::applicationName() + QLatin1Char(' ') +
               QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return BadUsage(
            err,
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
    const QStringList keys = parser.values(QStringLiteral("batch"));
    if (keys.size() != 1)
        return BadUsage(err, QStringLiteral("--batch wants one form key"));
    const CFormEntry* entry = FindFormEntry(keys.first());
    if (!entry)
        return BadUsage(
            err,
            QStringLiteral("unknown form key \"%1\" (known: %2)").arg(keys.first(), KnownKeys()));

    QString reason;
    if (!CollectSteps(args, plan.m_Steps, reason))
        return BadUsage(err, reason);
    QSize plotSize(DefaultPlotWidth, DefaultPlotHeight);
    if (parser.isSet(QStringLiteral("plot-size")) &&
        !ParsePlotSize(parser.value(QStringLiteral("plot-size")), plotSize))
        return BadUsage(err, QStringLiteral("--plot-size wants WIDTHxHEIGHT in pixels, not \"%1\"")
                                 .arg(parser.value(QStringLiteral("plot-size"))));
    plan.m_Key = entry->m_Key;
    plan.m_Progress = parser.isSet(QStringLiteral("progress"));
    plan.m_PlotSize = plotSize;
    return BatchPlanReady;
}

int RunBatch(const QStringList& args, QString& out, QString& err,
             const std::function<void(const QString&)>& progress)
{
    CBatchPlan plan;
    const int status = ParseBatchArgs(args, plan, out, err);
    if (status != BatchPlanReady)
        return status;
    const CFormEntry* entry = FindFormEntry(plan.m_Key);

    CBatchPresenter presenter(err);
    CScopedPresenter scoped(presenter);
    // No window, no dialog: the progress lines go out as they come, not with the results.
    CQuietProgress quiet;
    CProgressLines lines(progress ? progress : WriteToStderr);
    CScopedProgressDisplay shown(plan.m_Progress ? static_cast<CProgressDisplay&>(lines) : quiet);
    std::unique_ptr<CVKFormView> form = CreateForm(entry->m_Key);
    CVKFormView::SetActiveForm(form.get());
    // As a form opened in a window, it starts from its default design when there is one.
    const QString defaultPath = FindDefaultDesign(*entry);
    QString designName;
    if (LoadDesign(form.get(), entry->m_Key, defaultPath, EDesignLoad::Default))
        designName = QFileInfo(defaultPath).fileName();
    for (const CBatchStep& step : plan.m_Steps)
        if (!RunStep(*form, step, designName, plan.m_PlotSize))
            break;

    out += form->ResultsText().replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return presenter.m_Failed ? 1 : 0;
}
