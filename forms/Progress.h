// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <functional>

class QProgressDialog;
class QWidget;

// Where a long action of a form stands: "Max SPL over distance range: distance 37 of 300".
struct CProgressStep
{
    QString m_Action;   // the action's caption
    QString m_StepName; // what one step is: "distance"
    int m_Step = 0;     // the step under way, from 1
    int m_Steps = 0;

    QString Text() const;
};

// How the long actions of the forms show their progress. A form reports at every step and
// often within one, so a display does its work only when some is due.
class CProgressDisplay
{
public:
    virtual ~CProgressDisplay() = default;
    virtual void Begin(QWidget* /*form*/) {}
    // False once the user has cancelled the action.
    virtual bool Report(const CProgressStep& step) = 0;
    virtual void End() {}
};

// The window's display. The events are processed every EventsEveryMs, so that the windows
// repaint; the user's input waits until an action has run ShowAfterMs, when an application-
// modal dialog shows the step with a Cancel button. From then on only the dialog takes input:
// clicks on other windows are dropped, not replayed once the action is over.
class CProgressDialogDisplay : public CProgressDisplay
{
public:
    static constexpr qint64 ShowAfterMs = 300;
    static constexpr qint64 EventsEveryMs = 20;

    ~CProgressDialogDisplay() override;
    void Begin(QWidget* form) override;
    bool Report(const CProgressStep& step) override;
    void End() override;

private:
    void Show(const CProgressStep& step);

    QWidget* m_Form = nullptr;
    QProgressDialog* m_Dialog = nullptr;
    QElapsedTimer m_Clock;
    qint64 m_NextEvents = 0;
    int m_ShownStep = 0;
    bool m_Cancelled = false;
};

// The batch mode's --progress: the step's text as one line each time the steps done pass a
// whole percent of the action.
class CProgressLines : public CProgressDisplay
{
public:
    explicit CProgressLines(std::function<void(const QString&)> write) : m_Write(std::move(write))
    {
    }
    void Begin(QWidget*) override { m_Written = 0; }
    bool Report(const CProgressStep& step) override;

private:
    std::function<void(const QString&)> m_Write;
    int m_Written = 0; // the last step written
};

// The batch mode without --progress.
class CQuietProgress : public CProgressDisplay
{
public:
    bool Report(const CProgressStep&) override { return true; }
};
