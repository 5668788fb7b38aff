// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/Progress.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProgressDialog>

QString CProgressStep::Text() const
{
    return QStringLiteral("%1: %2 %3 of %4").arg(m_Action, m_StepName).arg(m_Step).arg(m_Steps);
}

CProgressDialogDisplay::~CProgressDialogDisplay()
{
    End();
}

void CProgressDialogDisplay::Begin(QWidget* form)
{
    End();
    m_Form = form;
    m_Clock.start();
    m_NextEvents = EventsEveryMs;
    m_ShownStep = 0;
    m_Cancelled = false;
}

bool CProgressDialogDisplay::Report(const CProgressStep& step)
{
    if (m_Cancelled || !m_Clock.isValid())
        return !m_Cancelled;
    // Called for every row: the clock alone until something is due.
    const qint64 now = m_Clock.elapsed();
    if (now < m_NextEvents)
        return true;
    m_NextEvents = now + EventsEveryMs;
    if (!m_Dialog && now >= ShowAfterMs)
        Show(step);
    if (!m_Dialog)
    {
        // Paint and timers, but no clicks yet: a short action runs as it always did.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    }
    if (step.m_Step != m_ShownStep)
    {
        m_ShownStep = step.m_Step;
        m_Dialog->setLabelText(step.Text());
        m_Dialog->setMaximum(step.m_Steps);
        m_Dialog->setValue(step.m_Step - 1);
    }
    // The dialog is application-modal: the other windows paint but take no input.
    QCoreApplication::processEvents();
    m_Cancelled = m_Dialog->wasCanceled();
    return !m_Cancelled;
}

void CProgressDialogDisplay::Show(const CProgressStep& step)
{
    m_Dialog = new QProgressDialog(step.Text(), QStringLiteral("Cancel"), 0, step.m_Steps,
                                   m_Form ? m_Form->window() : nullptr);
    m_Dialog->setWindowTitle(step.m_Action);
    m_Dialog->setWindowModality(Qt::ApplicationModal);
    m_Dialog->setAutoReset(false);
    m_Dialog->setAutoClose(false);
    m_Dialog->setMinimumDuration(0);
    m_Dialog->setValue(step.m_Step - 1);
    m_ShownStep = step.m_Step;
    m_Dialog->show();
    // The form's wait cursor stays on the form; Cancel is pointed at with the arrow.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
}

void CProgressDialogDisplay::End()
{
    m_Clock.invalidate();
    m_Form = nullptr;
    if (!m_Dialog)
        return;
    QGuiApplication::restoreOverrideCursor();
    delete m_Dialog;
    m_Dialog = nullptr;
}

bool CProgressLines::Report(const CProgressStep& step)
{
    if (step.m_Step == m_Written || step.m_Steps <= 0)
        return true;
    const auto percent = [&](int done) { return 100LL * done / step.m_Steps; };
    if (m_Written == 0 || percent(step.m_Step) != percent(m_Written))
    {
        m_Written = step.m_Step;
        m_Write(step.Text());
    }
    return true;
}
