// SPDX-License-Identifier: GPL-3.0-or-later
// The Plot tab: the chart of the latest sweep with its column choices, kept curves, read-out
// and pictures.
#include "forms/ResultsPlot.h"

#include "database/Error.h"
#include "forms/SafeFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace
{
// The read-out takes the nearest point within this many pixels of the mouse.
constexpr double ReadOutReach = 12.0;
constexpr int PictureSizes[][2] = {{800, 600}, {1200, 800}, {1600, 1000}, {1920, 1080}};
constexpr int DefaultPictureSize = 2; // the second entry: the first is the chart as shown

CPlotView::CSaveDialog g_SaveDialog;
} // namespace

void CPlotView::SetSaveDialog(CSaveDialog dialog)
{
    g_SaveDialog = std::move(dialog);
}

CPlotView::CPlotView(const QString& formKey, std::span<const CFormAction> actions, QWidget* parent)
    : QWidget(parent), m_FormKey(formKey), m_Actions(actions), m_Chart(new QCustomPlot(this)),
      m_XChoice(new QComboBox(this)), m_YButton(new QToolButton(this)), m_YMenu(new QMenu(this)),
      m_LogX(new QCheckBox(QStringLiteral("Log x"), this)),
      m_LogY(new QCheckBox(QStringLiteral("Log y"), this)),
      m_Markers(new QCheckBox(QStringLiteral("Markers"), this)), m_SizeChoice(new QComboBox(this)),
      m_Note(new QLabel(this)), m_ReadOut(new QLabel(this))
{
    m_YButton->setText(QStringLiteral("y columns"));
    m_YButton->setMenu(m_YMenu);
    m_YButton->setPopupMode(QToolButton::InstantPopup);
    m_Markers->setChecked(true);
    m_XChoice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_SizeChoice->addItem(QStringLiteral("As shown"));
    for (const auto& [width, height] : PictureSizes)
        m_SizeChoice->addItem(QStringLiteral("%1 x %2").arg(width).arg(height),
                              QSize(width, height));
    m_SizeChoice->setCurrentIndex(DefaultPictureSize);
    m_SizeChoice->setToolTip(QStringLiteral("The size of the saved or copied picture"));
    auto* keep = new QPushButton(QStringLiteral("Keep curve"), this);
    keep->setToolTip(QStringLiteral("Keep these curves on the chart, named with the design file, "
                                    "to compare another design with them"));
    auto* clear = new QPushButton(QStringLiteral("Clear"), this);
    clear->setToolTip(QStringLiteral("Drop the kept curves"));
    auto* save = new QPushButton(QStringLiteral("Save plot..."), this);
    auto* copy = new QPushButton(QStringLiteral("Copy plot"), this);
    for (QPushButton* button : {keep, clear, save, copy})
        button->setAutoDefault(false);
    // One row of controls over the chart, so that the chart keeps the height.
    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("x:"), this));
    controls->addWidget(m_XChoice);
    controls->addWidget(new QLabel(QStringLiteral("y:"), this));
    controls->addWidget(m_YButton);
    controls->addWidget(m_LogX);
    controls->addWidget(m_LogY);
    controls->addWidget(m_Markers);
    m_ReadOut->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    controls->addWidget(m_ReadOut, 1);
    for (QWidget* widget : std::initializer_list<QWidget*>{keep, clear, m_SizeChoice, save, copy})
        controls->addWidget(widget);

    m_Note->setWordWrap(true);
    m_Note->setStyleSheet(QStringLiteral("color: #a04000;"));
    m_Note->hide();
    m_Chart->setMinimumHeight(120);
    m_Chart->setInteraction(QCP::iRangeDrag, true);
    m_Chart->setInteraction(QCP::iRangeZoom, true);
    m_Chart->setNoAntialiasingOnDrag(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(controls);
    layout->addWidget(m_Note);
    layout->addWidget(m_Chart, 1);

    connect(m_XChoice, &QComboBox::currentIndexChanged, this, [this] { ReadChoices(); });
    for (QCheckBox* box : {m_LogX, m_LogY, m_Markers})
        connect(box, &QCheckBox::toggled, this, [this] { ReadChoices(); });
    connect(keep, &QPushButton::clicked, this, &CPlotView::KeepCurve);
    connect(clear, &QPushButton::clicked, this, &CPlotView::ClearKept);
    connect(save, &QPushButton::clicked, this, &CPlotView::OnSavePlot);
    connect(copy, &QPushButton::clicked, this, &CPlotView::CopyPlot);
    connect(m_Chart, &QCustomPlot::mouseMove, this, &CPlotView::OnMouseMove);
    Redraw();
}

void CPlotView::SetTables(const std::vector<CReportTable>* tables)
{
    m_Tables = tables;
    m_Stale = true;
    // An action may end several tables: the chart follows once, after it.
    if (!isVisible() || m_Pending)
        return;
    m_Pending = true;
    QMetaObject::invokeMethod(
        this,
        [this]
        {
            m_Pending = false;
            if (m_Stale)
                UpdatePlot();
        },
        Qt::QueuedConnection);
}

void CPlotView::SetDesignName(const QString& name)
{
    if (m_DesignName == name)
        return;
    m_DesignName = name;
    if (!m_Stale)
        Redraw();
}

void CPlotView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_Stale)
        UpdatePlot();
}

void CPlotView::UpdatePlot()
{
    m_Stale = false;
    CPlotData data = m_Tables ? LatestPlotData(*m_Tables) : CPlotData();
    const bool sameLayout = data.Rows() > 0 && data.Layout() == m_Data.Layout();
    m_Data = std::move(data);
    if (!sameLayout)
    {
        const CPlotChoice defaults = DefaultPlotChoice(m_Actions, m_Data);
        m_Choice.m_X = defaults.m_X;
        m_Choice.m_Y = defaults.m_Y;
        FillChoices();
    }
    Redraw();
}

void CPlotView::FillChoices()
{
    const QSignalBlocker blocker(m_XChoice);
    m_XChoice->clear();
    m_YMenu->clear();
    for (size_t index = 0; index < m_Data.m_Columns.size(); ++index)
    {
        const CPlotColumn& column = m_Data.m_Columns[index];
        const QString heading = ColumnHeading(column.m_Name, column.m_Unit);
        m_XChoice->addItem(heading);
        QAction* action = m_YMenu->addAction(heading);
        action->setCheckable(true);
        action->setChecked(std::find(m_Choice.m_Y.begin(), m_Choice.m_Y.end(),
                                     static_cast<int>(index)) != m_Choice.m_Y.end());
        connect(action, &QAction::toggled, this, [this] { ReadChoices(); });
    }
    m_XChoice->setCurrentIndex(m_Choice.m_X);
}

void CPlotView::ReadChoices()
{
    m_Choice.m_X = m_XChoice->currentIndex();
    m_Choice.m_Y.clear();
    const QList<QAction*> actions = m_YMenu->actions();
    for (qsizetype index = 0; index < actions.size(); ++index)
        if (actions[index]->isChecked())
            m_Choice.m_Y.push_back(static_cast<int>(index));
    m_Choice.m_LogX = m_LogX->isChecked();
    m_Choice.m_LogY = m_LogY->isChecked();
    m_Choice.m_Markers = m_Markers->isChecked();
    Redraw();
}

void CPlotView::Redraw()
{
    QStringList names;
    for (int index : m_Choice.m_Y)
        if (index >= 0 && static_cast<size_t>(index) < m_Data.m_Columns.size())
            names << m_Data.m_Columns[static_cast<size_t>(index)].m_Name;
    m_YButton->setText(names.isEmpty() ? QStringLiteral("(none)")
                                       : names.join(QStringLiteral(", ")));
    const CPlotResult result = DrawPlot(*m_Chart, m_Data, m_Choice, m_Kept, m_DesignName);
    m_Series = result.m_Series;
    QString note = result.m_Note;
    if (m_Data.Rows() == 0 && m_Kept.empty())
        note = QStringLiteral("A sweep with two rows or more is plotted here.");
    m_Note->setText(note);
    m_Note->setVisible(!note.isEmpty());
    m_ReadOut->clear();
    m_Chart->replot(QCustomPlot::rpQueuedReplot);
}

void CPlotView::KeepCurve()
{
    const CPlotColumn* x =
        m_Choice.m_X >= 0 && static_cast<size_t>(m_Choice.m_X) < m_Data.m_Columns.size()
            ? &m_Data.m_Columns[static_cast<size_t>(m_Choice.m_X)]
            : nullptr;
    if (!x)
        return;
    // Curves of designs never saved are told apart by the order they were kept in.
    const QString design = m_DesignName.isEmpty()
                               ? QStringLiteral("unsaved design %1").arg(++m_UnsavedKept)
                               : m_DesignName;
    for (int index : m_Choice.m_Y)
    {
        if (index < 0 || static_cast<size_t>(index) >= m_Data.m_Columns.size())
            continue;
        const CPlotColumn& y = m_Data.m_Columns[static_cast<size_t>(index)];
        m_Kept.push_back({y.m_Name + QStringLiteral(" (") + design + QLatin1Char(')'), y.m_Unit,
                          ColumnHeading(x->m_Name, x->m_Unit), x->m_Values, y.m_Values});
    }
    Redraw();
}

void CPlotView::ClearKept()
{
    m_Kept.clear();
    Redraw();
}

QSize CPlotView::PictureSize() const
{
    const QSize chosen = m_SizeChoice->currentData().toSize();
    return chosen.isValid() ? chosen : m_Chart->size();
}

bool CPlotView::SavePlot(const QString& path)
{
    if (SavePlotPicture(*m_Chart, path, PictureSize()))
        return true;
    ReportWriteError(path);
    return false;
}

void CPlotView::OnSavePlot()
{
    const QString base =
        m_DesignName.isEmpty() ? m_FormKey : QFileInfo(m_DesignName).completeBaseName();
    const QString proposal = QDir::current().filePath(base + QStringLiteral(".png"));
    const QString filter =
        QStringLiteral("PNG image (*.png);;PDF file (*.pdf);;SVG image (*.svg);;All Files (*)");
    QString path = g_SaveDialog ? g_SaveDialog(this, proposal, filter)
                                : QFileDialog::getSaveFileName(this, QStringLiteral("Save plot"),
                                                               proposal, filter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    SavePlot(path);
}

void CPlotView::CopyPlot()
{
    const QSize size = PictureSize();
    QGuiApplication::clipboard()->setImage(
        m_Chart->toPixmap(size.width(), size.height()).toImage());
}

QString CPlotView::ReadOutAt(const QPointF& position) const
{
    const CPlotSeries* nearest = nullptr;
    size_t at = 0;
    double best = ReadOutReach * ReadOutReach;
    for (const CPlotSeries& series : m_Series)
    {
        for (size_t point = 0; point < series.m_X.size(); ++point)
        {
            const double dx = m_Chart->xAxis->coordToPixel(series.m_X[point]) - position.x();
            const double dy = series.m_Axis->coordToPixel(series.m_Y[point]) - position.y();
            if (dx * dx + dy * dy < best)
            {
                best = dx * dx + dy * dy;
                nearest = &series;
                at = point;
            }
        }
    }
    const CPlotColumn* x =
        m_Choice.m_X >= 0 && static_cast<size_t>(m_Choice.m_X) < m_Data.m_Columns.size()
            ? &m_Data.m_Columns[static_cast<size_t>(m_Choice.m_X)]
            : nullptr;
    if (!nearest || !x)
        return QString();
    const auto shown = [](double value, int decimals, const QString& unit)
    {
        const QString number = FormatNumberText(value, decimals);
        return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
    };
    return QStringLiteral("%1 = %2, %3 = %4")
        .arg(x->m_Name, shown(nearest->m_X[at], x->m_Decimals, x->m_Unit), nearest->m_Name,
             shown(nearest->m_Y[at], nearest->m_Decimals, nearest->m_Unit));
}

int CPlotView::ChartHeight() const
{
    layout()->activate();
    return m_Chart->height();
}

void CPlotView::OnMouseMove(QMouseEvent* event)
{
    m_ReadOut->setText(ReadOutAt(event->position()));
}
