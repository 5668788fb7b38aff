#include "app/ChildFrame.h"

#include "app/QuillonDoc.h"
#include "forms/VKFormView.h"

#include <QStyle>

CChildFrame::CChildFrame(std::unique_ptr<CVKFormView> form, QWidget* parent)
    : QMdiSubWindow(parent)
    , m_Document(std::make_unique<CQuillonDoc>())
    , m_Form(form.get())
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The form scrolls its own inputs, so that its results and buttons stay in view.
    setWidget(form.release());
    connect(m_Document.get(), &CQuillonDoc::TitleChanged, this, &QWidget::setWindowTitle);
}

CChildFrame::~CChildFrame()
{
    // The form goes first (it removes its own tab), while the frame is still whole.
    delete m_Form;
}

void CChildFrame::OnUpdateFrameMenu(bool active)
{
    if (active) {
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
