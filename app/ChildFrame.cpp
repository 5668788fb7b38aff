// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ChildFrame.h"

#include "app/QuillonDoc.h"
#include "calculators/FormFactory.h"
#include "forms/ResultsPane.h"
#include "forms/ResultsPlot.h"
#include "forms/VKFormView.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMdiArea>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QToolTip>

CChildFrame::CChildFrame(std::unique_ptr<CVKFormView> form, CDocumentHost* host, QWidget* parent)
    : QMdiSubWindow(parent), m_Document(std::make_unique<CQuillonDoc>(form.get(), host)),
      m_Form(form.get())
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The form scrolls its own inputs, so that its results and buttons stay in view.
    setWidget(form.release());
    connect(m_Document.get(), &CQuillonDoc::TitleChanged, this, &CChildFrame::UpdateTitle);
    connect(m_Document.get(), &CQuillonDoc::ModifiedChanged, this, &QWidget::setWindowModified);
    connect(m_Form, &CVKFormView::Edited, m_Document.get(),
            [this] { m_Document->SetModifiedFlag(true); });
    UpdateTitle();
}

CChildFrame::~CChildFrame()
{
    // The form goes first (it removes its own tab), while the frame is still whole.
    delete m_Form;
}

CChildFrame* CChildFrame::Of(const CVKFormView* form)
{
    for (QWidget* w = form ? form->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto* frame = qobject_cast<CChildFrame*>(w))
            return frame;
    return nullptr;
}

void CChildFrame::OnUpdateFrameMenu(bool active)
{
    if (active)
    {
        // What the form does when it gains the focus, also for an activation that moves
        // no focus (a window without keyboard focus, the offscreen platform).
        if (CVKFormView::ActiveForm() != m_Form)
            CVKFormView::SetActiveForm(m_Form);
        return;
    }
    if (CVKFormView::ActiveForm() == m_Form)
        CVKFormView::SetActiveForm(nullptr);
}

QSize CChildFrame::FitSize(const QSize& available) const
{
    const int frameWidth = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    const int titleHeight = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QSize form = m_Form->sizeHint().expandedTo(m_Form->minimumSizeHint());
    const QSize fit(form.width() + 2 * frameWidth, form.height() + titleHeight + frameWidth);
    return fit.boundedTo(available);
}

void CChildFrame::UpdateTitle()
{
    const QString caption = ShownCaption(m_Form->m_strFormKey);
    const QString file = QFileInfo(m_Document->GetTitle()).fileName();
    const QString title = file.isEmpty() ? caption : caption + QStringLiteral(" \u2014 ") + file;
    setWindowTitle(title + QStringLiteral("[*]"));
    // Kept curves are named after the design they were drawn from.
    if (CResultsPane* results = m_Form->ResultsPane())
        results->Plot()->SetDesignName(file);
}

QString CChildFrame::PathText() const
{
    return QDir::toNativeSeparators(m_Document->FilePath());
}

bool CChildFrame::AskBeforeClosing()
{
    if (!m_Document->IsModified())
        return true;
    // The window asked about comes to the front, and a save writes its form.
    if (QMdiArea* area = mdiArea())
        area->setActiveSubWindow(this);
    CVKFormView::SetActiveForm(m_Form);
    return m_Document->SaveModified();
}

void CChildFrame::CloseAnswered()
{
    m_Answered = true;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (!m_Answered && !AskBeforeClosing())
    {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

bool CChildFrame::OverTitle(const QPoint& pos) const
{
    if (!widget() || pos.y() >= widget()->geometry().top())
        return false;
    // The caption itself, not the window's buttons, which have tooltips of their own.
    QStyleOptionTitleBar option;
    option.initFrom(this);
    option.rect = QRect(0, 0, width(), widget()->geometry().top());
    option.subControls = QStyle::SC_All;
    option.titleBarFlags = windowFlags();
    option.titleBarState = static_cast<int>(windowState());
    option.text = windowTitle();
    const QStyle::SubControl hit =
        style()->hitTestComplexControl(QStyle::CC_TitleBar, &option, pos, this);
    return hit == QStyle::SC_TitleBarLabel || hit == QStyle::SC_None;
}

bool CChildFrame::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip)
    {
        auto* help = static_cast<QHelpEvent*>(event);
        if (OverTitle(help->pos()))
        {
            QToolTip::showText(help->globalPos(), PathText(), this);
            return true;
        }
    }
    return QMdiSubWindow::event(event);
}
