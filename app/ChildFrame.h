#pragma once

#include <QMdiSubWindow>

#include <memory>

class CQuillonDoc;
class CVKFormView;

// The child window of one calculator form. It holds the form and the form's document, and
// closes both with itself.
class CChildFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    explicit CChildFrame(std::unique_ptr<CVKFormView> form, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CVKFormView* Form() const { return m_Form; }
    CQuillonDoc* Document() const { return m_Document.get(); }

    // Leaving the active state clears the active form; the main menu stays as it is.
    void OnUpdateFrameMenu(bool active);

    // The size that shows the whole form, kept within `available`.
    QSize FitSize(const QSize& available) const;

private:
    std::unique_ptr<CQuillonDoc> m_Document;
    CVKFormView* m_Form;
};
