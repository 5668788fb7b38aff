// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/MutualInductanceDlg.h"
#include "tests/forms/FormTestSupport.h"
#include "tests/forms/ProbeForm.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#if defined(__x86_64__)
#include <cpuid.h>
#endif
#include <chrono>
#include <functional>
#include <thread>

namespace
{
using D = CMutualInductanceDlg;

// Counts the progress dialogs that were shown.
class CDialogWatch : public QObject
{
public:
    CDialogWatch() { qApp->installEventFilter(this); }
    ~CDialogWatch() override { qApp->removeEventFilter(this); }
    int m_Shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<QProgressDialog*>(watched))
            ++m_Shown;
        return false;
    }
};

// A click as the window system delivers it, so that a modal dialog can refuse it.
void SystemClick(QWidget* widget)
{
    QWindow* window = widget->window()->windowHandle();
    ASSERT_TRUE(window);
    QTest::mouseClick(window, Qt::LeftButton, {},
                      widget->mapTo(widget->window(), widget->rect().center()));
}

class ProgressForm : public CFormTest<CMutualInductanceDlg>
{
protected:
    ProgressForm() : CFormTest(QStringLiteral("CrystalRadio")) {}

    void SetUp() override
    {
        CFormTest::SetUp();
        m_Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_Form.get()));
    }

    // Once the progress dialog is up at step `atStep` or later, `act` gets it, once.
    static void OnDialog(QTimer& poll, int atStep, std::function<void(QProgressDialog&)> act)
    {
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout,
                         [&poll, atStep, act]
                         {
                             auto* dialog =
                                 qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
                             if (!dialog || !dialog->isVisible() || dialog->value() < atStep)
                                 return;
                             poll.stop();
                             act(*dialog);
                         });
        poll.start();
    }

    // The freeze case: 300 secondary turns from 0.1 to 300 mm in 1 mm steps, some 300
    // distances of up to 300 taps each, far longer than any test waits. The secondary's
    // inductance is that of such a coil (Wheeler), so that the coupling stays below 1.
    void LongSweep()
    {
        Type(1218, QStringLiteral("300"));
        Type(1240, QStringLiteral("12655"));
        Type(1228, QStringLiteral("0.1"));
        Type(1229, QStringLiteral("300"));
        Type(1230, QStringLiteral("1"));
    }
    void ShortSweep()
    {
        Type(1218, QStringLiteral("48.0"));
        Type(1240, QStringLiteral("331.2"));
        Type(1228, QStringLiteral("50.0"));
        Type(1229, QStringLiteral("120.0"));
        Type(1230, QStringLiteral("10"));
    }
};
} // namespace

TEST_F(ProgressForm, AOneDistanceActionOnLargeCoilsShowsTheDialogAndStopsAtItsCancel)
{
    // The coupling of 999 by 999 turns alone takes seconds; the inductances are those of such
    // coils (Wheeler).
    Type(1218, QStringLiteral("999"));
    Type(1240, QStringLiteral("140400"));
    Type(1216, QStringLiteral("999"));
    Type(1225, QStringLiteral("192000"));
    QString label;
    QTimer poll;
    OnDialog(poll, 0,
             [&](QProgressDialog& dialog)
             {
                 label = dialog.labelText();
                 SystemClick(dialog.findChild<QPushButton*>());
             });
    const QString cancelled = Press(D::IdSplEachLoop);
    EXPECT_EQ(label, QStringLiteral("Calc SPL each loop at start distance: loop 1 of 999"));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
    EXPECT_TRUE(m_Form->LatestTables().empty()) << cancelled.toStdString();
}

TEST_F(ProgressForm, ACancelledSweepKeepsItsFinishedRowsAndDropsOtherClicks)
{
    CDialogWatch dialogs;
    const QString noLoad = Press(D::IdAnalyseNoLoad);
    ASSERT_EQ(Lines(noLoad).size(), 2 + 7);
    EXPECT_EQ(dialogs.m_Shown, 0) << "a short action shows no dialog";

    LongSweep();
    QString label;
    bool otherClickRan = false;
    QTimer poll;
    OnDialog(poll, 3,
             [&](QProgressDialog& dialog)
             {
                 label = dialog.labelText();
                 // The form takes no click while the dialog is up, not even later.
                 const size_t before = m_Form->Tables().size();
                 SystemClick(m_Form->Button(D::IdAnalyseNoLoad));
                 otherClickRan = m_Form->Tables().size() != before;
                 SystemClick(dialog.findChild<QPushButton*>());
             });
    const QString cancelled = Press(D::IdMaxSplOverDistance);
    QApplication::processEvents();

    EXPECT_TRUE(label.startsWith(QStringLiteral("Max SPL over distance range: distance ")))
        << label.toStdString();
    EXPECT_TRUE(label.endsWith(QStringLiteral(" of 300"))) << label.toStdString();
    EXPECT_FALSE(otherClickRan);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the dialog is gone";
    EXPECT_TRUE(m_Messages.m_Messages.empty());

    // The header, one row per finished distance, the line that says where it stopped.
    const QStringList lines = Lines(cancelled);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], QString());
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Dist \tW# \t")));
    const QString last = lines.back();
    const QString prefix = QStringLiteral("Max SPL over distance range: cancelled at distance ");
    ASSERT_TRUE(last.startsWith(prefix)) << last.toStdString();
    ASSERT_TRUE(last.endsWith(QStringLiteral(" of 300"))) << last.toStdString();
    const int stoppedAt = last.mid(prefix.size()).section(QLatin1Char(' '), 0, 0).toInt();
    ASSERT_GE(stoppedAt, 3);
    ASSERT_EQ(lines.size(), 2 + (stoppedAt - 1) + 1);
    for (int row = 0; row < stoppedAt - 1; ++row)
        EXPECT_TRUE(
            lines[2 + row].startsWith(QString::number(0.1 + row, 'f', 2) + QStringLiteral(" \t")))
            << lines[2 + row].toStdString();
    ASSERT_EQ(m_Form->LatestTables().size(), 1u);
    EXPECT_EQ(m_Form->LatestTables().front().m_Rows.size(), static_cast<size_t>(stoppedAt - 1));

    // Afterwards the form works as before.
    ShortSweep();
    dialogs.m_Shown = 0;
    EXPECT_EQ(Press(D::IdAnalyseNoLoad), noLoad);
    EXPECT_EQ(dialogs.m_Shown, 0);
    EXPECT_TRUE(m_Form->ResultsText().startsWith(noLoad + cancelled));
}

// Steps worked out side by side reach `take` in order even when later ones finish first; a
// `take` that ends the action has every step still in flight told to stop.
TEST(ProgressSteps, StepsSideBySideAreTakenInOrderAndTheRestToldToStop)
{
    auto form = MakeProbe();
    using namespace std::chrono_literals;
    std::vector<int> taken;
    const auto record = [&](int i, int result)
    {
        EXPECT_EQ(result, i);
        taken.push_back(result);
        return true;
    };
    EXPECT_TRUE(form->StepsSideBySide(
        6,
        [](int i)
        {
            return [i](const std::atomic<bool>&)
            {
                std::this_thread::sleep_for((6 - i) * 3ms);
                return i;
            };
        },
        record));
    EXPECT_EQ(taken, (std::vector<int>{0, 1, 2, 3, 4, 5}));

    // Past the third step each waits for the stop flag (a second at most).
    taken.clear();
    std::atomic<int> started{0};
    std::atomic<int> stopped{0};
    EXPECT_FALSE(form->StepsSideBySide(
        8,
        [&](int i)
        {
            ++started;
            return [i, &stopped](const std::atomic<bool>& stop)
            {
                for (int wait = 0; i > 2 && !stop && wait < 1000; ++wait)
                    std::this_thread::sleep_for(1ms);
                stopped += stop ? 1 : 0;
                return i;
            };
        },
        [&](int i, int result) { return record(i, result) && i < 2; }));
    EXPECT_EQ(taken, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(stopped, started - 3) << "every step after the last one taken saw the stop";
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// Whether the processor reports the AVX registers' upper halves as in use (XINUSE bit 2); -1
// when it cannot say.
int UpperVectorStateInUse()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid_count(0xD, 1, &eax, &ebx, &ecx, &edx) || !(eax & 4u) ||
        !__builtin_cpu_supports("avx"))
        return -1;
    unsigned low = 0, high = 0;
    asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(1));
    return (low & 4u) ? 1 : 0;
}

// Leaves the upper halves in use, as the GUI's start-up does.
void DirtyUpperVectorState()
{
    asm volatile("vpcmpeqd %%ymm8, %%ymm8, %%ymm8" ::: "xmm8");
}

// With the upper halves left in use the models' sums run many times slower: an action and
// every step beside it start with them cleared.
TEST(ProgressSteps, ActionsAndTheirStepsStartWithTheWideRegistersCleared)
{
    if (UpperVectorStateInUse() < 0)
        GTEST_SKIP() << "the processor does not report the state of its AVX registers";
    auto form = MakeProbe();
    std::vector<int> inUse;
    DirtyUpperVectorState();
    ASSERT_EQ(UpperVectorStateInUse(), 1);
    EXPECT_TRUE(form->StepsSideBySide(
        2, [](int) { return [](const std::atomic<bool>&) { return UpperVectorStateInUse(); }; },
        [&](int, int state)
        {
            inUse.push_back(state);
            return true;
        }));
    EXPECT_EQ(inUse, (std::vector<int>{0, 0}));
    DirtyUpperVectorState();
    form->OnCommand(CVKFormView::IdClear);
    EXPECT_EQ(UpperVectorStateInUse(), 0);
}
#endif

TEST(ProgressBatch, ProgressLinesGoToStderrAndLeaveTheResultsAsTheyAre)
{
    const QStringList sweep = {QStringLiteral("--set"),   QStringLiteral("1218=20"),
                               QStringLiteral("--set"),   QStringLiteral("1228=1"),
                               QStringLiteral("--set"),   QStringLiteral("1229=120"),
                               QStringLiteral("--set"),   QStringLiteral("1230=1"),
                               QStringLiteral("--press"), QStringLiteral("6")};
    QString plainOut;
    QString plainErr;
    ASSERT_EQ(RunFormBatch(QStringLiteral("CrystalRadio"), sweep, plainOut, plainErr), 0);
    EXPECT_EQ(plainErr, QString());

    QStringList progress;
    QString out;
    QString err;
    const QStringList args = QStringList{QStringLiteral("quillon"), QStringLiteral("--batch"),
                                         QStringLiteral("CrystalRadio")} +
                             sweep + QStringList{QStringLiteral("--progress")};
    ASSERT_EQ(RunBatch(args, out, err, [&](const QString& line) { progress << line; }), 0);
    EXPECT_EQ(out, plainOut);
    EXPECT_EQ(err, QString());
    // 119 distances: the first, then one each percent, the last included.
    ASSERT_EQ(progress.size(), 101);
    EXPECT_EQ(progress.front(), QStringLiteral("Max SPL over distance range: distance 1 of 119"));
    EXPECT_EQ(progress[1], QStringLiteral("Max SPL over distance range: distance 2 of 119"));
    EXPECT_EQ(progress.back(), QStringLiteral("Max SPL over distance range: distance 119 of 119"));
}
