// SPDX-License-Identifier: GPL-3.0-or-later
// The long sweep of the air-core receiver in a shown window: 999 secondary turns, "Max SPL over
// distance range" from 0.1 to 300 mm in 1 mm steps. Measures how soon the window repaints while
// the sweep runs (first paint after the action began, and the longest wait of a repaint asked for
// every 50 ms) and how soon the action returns after Cancel is clicked in its progress dialog.
#include "bench/forms/FormBench.h"
#include "calculators/MutualInductanceDlg.h"
#include "controls/VKEdit.h"

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace
{
// Notes the time of every paint of the form's widgets.
class CPaintClock : public QObject
{
public:
    explicit CPaintClock(const QElapsedTimer& clock) : m_Clock(clock) {}
    qint64 m_LastPaint = -1;
    qint64 m_FirstPaint = -1;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
        {
            m_LastPaint = m_Clock.elapsed();
            if (m_FirstPaint < 0)
                m_FirstPaint = m_LastPaint;
        }
        return false;
    }

private:
    const QElapsedTimer& m_Clock;
};

void BM_CrystalRadioLongSweepRepaintAndCancel(benchmark::State& state)
{
    EnsureBenchApplication();
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    std::unique_ptr<CVKFormView> form = CreateForm(QStringLiteral("CrystalRadio"));
    form->resize(1200, 900);
    form->show();
    QApplication::processEvents();
    // 999 secondary turns make a secondary of about 140 mH, which the coupling must be of.
    const std::pair<int, const char*> inputs[] = {
        {1218, "999"}, {1240, "140000"}, {1228, "0.1"}, {1229, "300"}, {1230, "1"}};
    for (const auto& [id, text] : inputs)
        form->Field(id)->SetWindowText(QString::fromLatin1(text));
    const qint64 cancelAfter = state.range(0);

    double firstPaint = 0.0;
    double longestRepaint = 0.0;
    double cancelToReturn = 0.0;
    for (auto _ : state)
    {
        QElapsedTimer clock;
        CPaintClock paints(clock);
        for (QWidget* widget : form->findChildren<QWidget*>())
            widget->installEventFilter(&paints);
        qint64 asked = -1;
        qint64 longest = 0;
        qint64 cancelled = -1;
        QTimer ask;
        ask.setInterval(50);
        QObject::connect(&ask, &QTimer::timeout,
                         [&]
                         {
                             // The wait of the repaint asked for last time, then a new request.
                             if (asked >= 0 && paints.m_LastPaint >= asked)
                                 longest = std::max(longest, paints.m_LastPaint - asked);
                             asked = clock.elapsed();
                             form->ResultsBox()->viewport()->update();
                             auto* dialog =
                                 qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
                             if (dialog && cancelled < 0 && clock.elapsed() >= cancelAfter)
                             {
                                 cancelled = clock.elapsed();
                                 dialog->findChild<QPushButton*>()->click();
                             }
                         });
        clock.start();
        ask.start();
        form->update();
        form->OnCommand(CMutualInductanceDlg::IdMaxSplOverDistance);
        const qint64 returned = clock.elapsed();
        ask.stop();
        // The worst of the passes.
        firstPaint = std::max(firstPaint, static_cast<double>(paints.m_FirstPaint));
        longestRepaint = std::max(longestRepaint, static_cast<double>(longest));
        if (cancelled < 0)
            cancelToReturn = -1.0;
        else if (cancelToReturn >= 0)
            cancelToReturn = std::max(cancelToReturn, static_cast<double>(returned - cancelled));
        form->OnCommand(CVKFormView::IdClear);
        QApplication::processEvents();
    }
    state.counters["first_paint_ms"] = firstPaint;
    state.counters["longest_repaint_wait_ms"] = longestRepaint;
    state.counters["cancel_to_return_ms"] = cancelToReturn;
    if (cancelToReturn < 0 || !messages.m_Messages.empty())
        state.SkipWithError("the sweep was not cancelled");
}
} // namespace

// Cancel after 1 s and after 5 s of the sweep, which runs some two minutes uncancelled.
BENCHMARK(BM_CrystalRadioLongSweepRepaintAndCancel)
    ->Arg(1000)
    ->Arg(5000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
