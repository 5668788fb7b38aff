// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/FieldTable.h"
#include "forms/ReportTable.h"

#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <span>
#include <vector>

class QCheckBox;
class QComboBox;
class QCPAxis;
class QCustomPlot;
class QLabel;
class QMenu;
class QMouseEvent;
class QToolButton;

// A column of numbers a plot can take from a report table: a complex column gives two, its
// real and its imaginary part ("Zin R", "Zin X"); a column of texts gives none.
struct CPlotColumn
{
    QString m_Name;
    QString m_Unit;
    int m_Decimals = 2; // as the report writes the column
    std::vector<double> m_Values;
};

// The numbers of the table a plot shows.
struct CPlotData
{
    QString m_Title;  // the action that wrote the table
    QString m_Remark; // the table's line under the plot's title
    std::vector<CPlotColumn> m_Columns;

    size_t Rows() const { return m_Columns.empty() ? 0 : m_Columns.front().m_Values.size(); }
    // The column of that name, or -1.
    int Find(const QString& name) const;
    // The title and the column names: a table of the same layout keeps the user's choices.
    QString Layout() const;
};

// The latest table with two rows or more; or else, when that is later, the latest run of
// one-row tables of one action (the same title and columns, one per press), the rows of the
// run numbered in a first column "Run". Empty when there is neither.
CPlotData LatestPlotData(const std::vector<CReportTable>& tables);

// What a plot shows: the x column, the y columns (a series each), the axes' scales.
struct CPlotChoice
{
    int m_X = -1;
    std::vector<int> m_Y;
    bool m_LogX = false;
    bool m_LogY = false;
    bool m_Markers = true;
};

// The natural plot of a calculator's table: its default x and y columns by form key and table
// title, or else the first column against the second.
CPlotChoice DefaultPlotChoice(std::span<const CFormAction> actions, const CPlotData& data);

// A series frozen by "Keep curve", named with its design file.
struct CKeptCurve
{
    QString m_Name; // "Q (Coil_Default.qwf)"
    QString m_Unit;
    QString m_XColumn; // the x column it was kept against, "L (uH)": drawn only against it
    std::vector<double> m_X;
    std::vector<double> m_Y;
};

// A series as drawn, for the hover read-out: its points and the axis they are drawn on.
struct CPlotSeries
{
    QString m_Name;
    QString m_Unit;
    int m_Decimals = 2;
    std::vector<double> m_X;
    std::vector<double> m_Y;
    QCPAxis* m_Axis = nullptr;
};

struct CPlotResult
{
    QString m_Note; // why points or a scale were left out; empty when none was
    std::vector<CPlotSeries> m_Series;
};

// Draws the chosen columns and the kept curves into the chart: a y axis for the first unit and
// a second one for the others, titles with units, markers, a legend. When curves are kept the
// current series carry the design's name too. A logarithmic axis leaves out the points that
// are not above zero, and stays linear when none is, saying so in the note.
CPlotResult DrawPlot(QCustomPlot& chart, const CPlotData& data, const CPlotChoice& choice,
                     const std::vector<CKeptCurve>& kept, const QString& designName);

// Writes the chart as a PNG, PDF or SVG picture of the given size, by the path's extension,
// safely (WriteFileSafely); says nothing.
bool SavePlotPicture(QCustomPlot& chart, const QString& path, QSize size);

// The batch mode's --plot: the default plot of the latest tables written to a picture, drawn
// offscreen. A run with nothing to plot, or a file that cannot be written, says so.
bool WriteDefaultPlot(std::span<const CFormAction> actions, const std::vector<CReportTable>& tables,
                      const QString& designName, const QString& path, QSize size);
extern const char* const NothingToPlotMessage;

// The "Plot" tab: the chart of the latest table worth a plot, its x and y columns, linear or
// logarithmic axes, markers, a read-out of the point under the mouse, curves kept for
// comparison, and the picture saved or copied.
class CPlotView : public QWidget
{
    Q_OBJECT

public:
    // Asks where to save: the owner, the proposed path and the filter in Qt's form; an empty
    // text when the user cancels. The application installs its own file dialog.
    using CSaveDialog =
        std::function<QString(QWidget* owner, const QString& proposal, const QString& filter)>;
    static void SetSaveDialog(CSaveDialog dialog);

    explicit CPlotView(const QString& formKey, std::span<const CFormAction> actions = {},
                       QWidget* parent = nullptr);

    // The tables have changed. The chart follows once the action is over, when it is shown.
    void SetTables(const std::vector<CReportTable>* tables);
    // The design file's name, for the legend of kept curves and the chart's title.
    void SetDesignName(const QString& name);
    // Takes the latest tables now: their default plot, or the user's choices when the table
    // has the layout of the one before.
    void UpdatePlot();

    void KeepCurve();
    void ClearKept();
    bool SavePlot(const QString& path);
    void CopyPlot();

    QCustomPlot* Chart() const { return m_Chart; }
    // The chart's height as laid out now, the controls above it settled first.
    int ChartHeight() const;
    QComboBox* XChoice() const { return m_XChoice; }
    QMenu* YChoice() const { return m_YMenu; }
    QCheckBox* LogX() const { return m_LogX; }
    QCheckBox* LogY() const { return m_LogY; }
    QCheckBox* Markers() const { return m_Markers; }
    QComboBox* SizeChoice() const { return m_SizeChoice; }
    QLabel* Note() const { return m_Note; }
    QLabel* ReadOut() const { return m_ReadOut; }
    const CPlotData& Data() const { return m_Data; }
    const CPlotChoice& Choice() const { return m_Choice; }
    // The size "Save plot..." and "Copy plot" draw at.
    QSize PictureSize() const;
    // The read-out for the point nearest a position of the chart, within a few pixels.
    QString ReadOutAt(const QPointF& position) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillChoices();
    void ReadChoices();
    void Redraw();
    void OnSavePlot();
    void OnMouseMove(QMouseEvent* event);

    QString m_FormKey;
    std::span<const CFormAction> m_Actions; // the form's, for the default plots
    QString m_DesignName;
    const std::vector<CReportTable>* m_Tables = nullptr;
    bool m_Stale = false;
    bool m_Pending = false;
    CPlotData m_Data;
    CPlotChoice m_Choice;
    std::vector<CKeptCurve> m_Kept;
    int m_UnsavedKept = 0; // the presses of Keep curve for a design never saved
    std::vector<CPlotSeries> m_Series;

    QCustomPlot* m_Chart;
    QComboBox* m_XChoice;
    QToolButton* m_YButton;
    QMenu* m_YMenu;
    QCheckBox* m_LogX;
    QCheckBox* m_LogY;
    QCheckBox* m_Markers;
    QComboBox* m_SizeChoice;
    QLabel* m_Note;
    QLabel* m_ReadOut;
};
