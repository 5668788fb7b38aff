// SPDX-License-Identifier: GPL-3.0-or-later
// The "Plot" tab: the default plot of every sweep, logarithmic axes, kept curves and the
// read-out, on real forms loaded with their shipped default designs.
#include "FormTestSupport.h"

#include "forms/ResultsPane.h"
#include "forms/ResultsPlot.h"

#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>

#include <qcustomplot.h>

namespace
{
struct CSweepCase
{
    const char* m_Key;
    int m_Action;
    int m_Presses; // actions of one row are gathered over their presses
    const char* m_X;
    std::vector<const char*> m_Y;
};

// What the user should see after each sweep: x and y columns by their report names.
const CSweepCase SweepCases[] = {
    {"Coil", 3, 1, "L", {"Q", "Wire length"}},
    {"Coil", 4, 1, "l/D", {"Q", "Wire length"}},
    {"CrystalRadio", 3, 1, "D", {"M", "Q"}},
    {"CrystalRadio", 4, 1, "W#", {"SPL", "Vdc"}},
    {"CrystalRadio", 6, 1, "Dist", {"SPL", "Vdc"}},
    {"CrystalRadio", 7, 1, "Dist", {"SPL", "Vdc"}},
    {"Monopole", 4, 1, "Freq", {"Vp(load)", "R(tot)"}},
    {"Monopole", 6, 1, "Freq", {"Vp(load)", "R(tot)"}},
    {"DiodeCapacitance", 3, 1, "Bias", {"Capactance"}},
    {"DiodeCapacitance", 4, 1, "Bias", {"Total", "Junction", "Diff"}},
    {"Ferrite", 3, 3, "Run", {"Ua1", "Ua2"}},
    {"Impedance", 3, 2, "Frequency", {"Total parallel impedance |Z|"}},
    {"Impedance", 4, 2, "Frequency", {"ind requred", "cap required"}},
    {"TuningCap", 3, 2, "Cap max", {"Inductance requried"}},
};

struct CShownForm
{
    CRecordingPresenter m_Messages;
    CScopedPresenter m_Scope{m_Messages};
    std::unique_ptr<CVKFormView> m_Form;

    explicit CShownForm(const QString& key) : m_Form(CreateForm(key))
    {
        SetNumberSettings(
            CVKNumberSettings::WithSeparators(QStringLiteral("."), QStringLiteral(",")));
        m_Form->OnInitialUpdate();
        EXPECT_TRUE(LoadDesign(m_Form.get(), key, DefaultDesignPath(key)));
        m_Form->resize(1000, 800);
        m_Form->show();
        Pane()->Tabs()->setCurrentWidget(Plot());
    }
    ~CShownForm() { ResetNumberSettings(); }

    CResultsPane* Pane() const { return m_Form->ResultsPane(); }
    CPlotView* Plot() const { return Pane()->Plot(); }
    void Press(int id)
    {
        QTest::mouseClick(m_Form->Button(id), Qt::LeftButton);
        QCoreApplication::processEvents(); // the chart follows once the action is over
    }
};

QString UnitOf(const CReportTable& table, const QString& name)
{
    for (const CReportColumn& column : table.m_Columns)
        if (column.m_Name == name)
            return column.m_Unit;
    return QString();
}

// A hand-made sweep of one y column.
std::vector<CReportTable> Sweep(const std::vector<double>& ys)
{
    CReportTable table;
    table.m_Title = QStringLiteral("Sweep");
    table.m_Columns = {{QStringLiteral("F"), QStringLiteral("kHz"), 0},
                       {QStringLiteral("V"), QStringLiteral("V"), 2}};
    for (size_t row = 0; row < ys.size(); ++row)
        table.m_Rows.push_back({CReportCell::Number(500.0 + 100.0 * static_cast<double>(row)),
                                CReportCell::Number(ys[row])});
    return {table};
}
} // namespace

TEST(Plot, EverySweepShowsItsDefaultSeriesAtOnce)
{
    for (const CSweepCase& sweep : SweepCases)
    {
        const QString key = QString::fromLatin1(sweep.m_Key);
        SCOPED_TRACE(key.toStdString() + " " + std::to_string(sweep.m_Action));
        CShownForm shown(key);
        for (int press = 0; press < sweep.m_Presses; ++press)
            shown.Press(sweep.m_Action);
        ASSERT_TRUE(shown.m_Messages.m_Messages.empty())
            << shown.m_Messages.m_Messages.front().text;
        // The table plotted: the latest with several rows, or the last of a run of presses.
        const std::vector<CReportTable> latest = shown.m_Form->LatestTables();
        const auto several =
            std::find_if(latest.rbegin(), latest.rend(),
                         [](const CReportTable& t) { return t.m_Rows.size() > 1; });
        const CReportTable table = several != latest.rend() ? *several : latest.back();
        const size_t rows =
            sweep.m_Presses > 1 ? static_cast<size_t>(sweep.m_Presses) : table.m_Rows.size();
        QCustomPlot* chart = shown.Plot()->Chart();
        ASSERT_EQ(chart->plottableCount(), static_cast<int>(sweep.m_Y.size()));
        for (size_t y = 0; y < sweep.m_Y.size(); ++y)
        {
            QCPAbstractPlottable* series = chart->plottable(static_cast<int>(y));
            EXPECT_EQ(series->name(), QString::fromLatin1(sweep.m_Y[y]));
            EXPECT_EQ(series->interface1D()->dataCount(), static_cast<int>(rows));
            const QString unit = UnitOf(table, series->name());
            const QString axisTitle = series->valueAxis()->label();
            EXPECT_TRUE(axisTitle.contains(series->name())) << axisTitle.toStdString();
            if (!unit.isEmpty())
            {
                EXPECT_TRUE(axisTitle.contains(unit)) << axisTitle.toStdString();
            }
        }
        const QString x = QString::fromLatin1(sweep.m_X);
        EXPECT_EQ(chart->xAxis->label(), ColumnHeading(x, UnitOf(table, x)));
        EXPECT_TRUE(chart->legend->visible());
        EXPECT_FALSE(shown.Plot()->Note()->isVisibleTo(shown.Plot()))
            << shown.Plot()->Note()->text().toStdString();
    }
}

TEST(Plot, ALogAxisLeavesOutWhatItCannotShowAndSaysSo)
{
    CPlotView view(QStringLiteral("Sweep"));
    const std::vector<CReportTable> someNegative = Sweep({-1.0, 0.0, 2.0, 30.0});
    view.SetTables(&someNegative);
    view.UpdatePlot();
    EXPECT_EQ(view.Chart()->plottable(0)->interface1D()->dataCount(), 4);
    EXPECT_TRUE(view.Note()->text().isEmpty());

    view.LogY()->setChecked(true);
    EXPECT_EQ(view.Chart()->yAxis->scaleType(), QCPAxis::stLogarithmic);
    EXPECT_EQ(view.Chart()->plottable(0)->interface1D()->dataCount(), 2);
    EXPECT_TRUE(view.Note()->text().startsWith(QStringLiteral("2 points are left out")))
        << view.Note()->text().toStdString();
    EXPECT_TRUE(view.Note()->isVisibleTo(&view));

    // Nothing above zero: the chart stays linear and full rather than blank.
    const std::vector<CReportTable> noneAbove = Sweep({-3.0, -2.0, 0.0});
    view.SetTables(&noneAbove);
    view.UpdatePlot();
    EXPECT_EQ(view.Chart()->yAxis->scaleType(), QCPAxis::stLinear);
    EXPECT_EQ(view.Chart()->plottable(0)->interface1D()->dataCount(), 3);
    EXPECT_TRUE(view.Note()->text().contains(QStringLiteral("stay linear")))
        << view.Note()->text().toStdString();
}

TEST(Plot, KeptCurvesCompareTwoDesignsByTheirFileNames)
{
    CShownForm shown(QStringLiteral("Coil"));
    CPlotView* plot = shown.Plot();
    plot->SetDesignName(QStringLiteral("Coil_A.qwf"));
    shown.Press(3);
    plot->KeepCurve();
    plot->SetDesignName(QStringLiteral("Coil_B.qwf"));
    shown.m_Form->Field(1201)->SetWindowText(QStringLiteral("0.5"));
    shown.Press(3);
    QCustomPlot* chart = plot->Chart();
    QStringList names;
    for (int index = 0; index < chart->plottableCount(); ++index)
        names << chart->plottable(index)->name();
    EXPECT_EQ(names, (QStringList{"Q (Coil_B.qwf)", "Wire length (Coil_B.qwf)", "Q (Coil_A.qwf)",
                                  "Wire length (Coil_A.qwf)"}));
    // The two coils differ, so the two Q curves do.
    const auto* now = chart->plottable(0)->interface1D();
    const auto* kept = chart->plottable(2)->interface1D();
    ASSERT_EQ(now->dataCount(), kept->dataCount());
    EXPECT_NE(now->dataMainValue(0), kept->dataMainValue(0));

    // Against another x column a kept curve would lie: it is hidden, and the note says so.
    plot->XChoice()->setCurrentIndex(plot->XChoice()->findText(QStringLiteral("Turns")));
    names.clear();
    for (int index = 0; index < chart->plottableCount(); ++index)
        names << chart->plottable(index)->name();
    EXPECT_FALSE(names.contains(QStringLiteral("Q (Coil_A.qwf)")))
        << names.join(", ").toStdString();
    EXPECT_TRUE(plot->Note()->text().contains(QStringLiteral("2 kept curves of another x column")))
        << plot->Note()->text().toStdString();

    plot->ClearKept();
    EXPECT_EQ(chart->plottableCount(), 2);

    // Designs never saved are told apart.
    plot->SetDesignName(QString());
    plot->KeepCurve();
    plot->KeepCurve();
    names.clear();
    for (int index = 0; index < chart->plottableCount(); ++index)
        names << chart->plottable(index)->name();
    EXPECT_TRUE(names.contains(QStringLiteral("Q (unsaved design 1)")))
        << names.join(", ").toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("Q (unsaved design 2)")))
        << names.join(", ").toStdString();
}

TEST(Plot, TheReadOutShowsThePointUnderTheMouseAsTheReportDoes)
{
    CPlotView view(QStringLiteral("Sweep"));
    const std::vector<CReportTable> tables = Sweep({1.25, 2.5, 5.0});
    view.resize(600, 400);
    view.show();
    view.SetTables(&tables);
    view.UpdatePlot();
    view.Chart()->replot();
    const QPointF second(view.Chart()->xAxis->coordToPixel(600.0),
                         view.Chart()->yAxis->coordToPixel(2.5));
    EXPECT_EQ(view.ReadOutAt(second + QPointF(3, -2)), QStringLiteral("F = 600 kHz, V = 2.50 V"));
    EXPECT_EQ(view.ReadOutAt(second + QPointF(0, 60)), QString()) << "too far from every point";
}

TEST(Plot, NothingToPlotIsSaid)
{
    CShownForm shown(QStringLiteral("Ferrite"));
    shown.Press(3);
    EXPECT_EQ(shown.Plot()->Chart()->plottableCount(), 0);
    EXPECT_TRUE(shown.Plot()->Note()->isVisibleTo(shown.Plot()));
    EXPECT_FALSE(shown.Plot()->Chart()->legend->visible()) << "no empty legend box";
    QString out;
    QString err;
    EXPECT_EQ(RunFormBatch(QStringLiteral("Ferrite"),
                           {QStringLiteral("--press"), QStringLiteral("3"),
                            QStringLiteral("--plot"), QStringLiteral("nothing.png")},
                           out, err),
              1);
    EXPECT_TRUE(err.contains(QString::fromLatin1(NothingToPlotMessage))) << err.toStdString();
    EXPECT_EQ(RunFormBatch(QStringLiteral("Coil"),
                           {QStringLiteral("--plot-size"), QStringLiteral("0x5")}, out, err),
              2);
}
