// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMdiSubWindow>

#include <memory>

class CDocumentHost;
class CQuillonDoc;
class CVKFormView;

// The child window of one calculator form. It holds the form and the form's document, and
// closes both with itself. The host answers the document's questions.
class CChildFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    explicit CChildFrame(std::unique_ptr<CVKFormView> form, CDocumentHost* host = nullptr,
                         QWidget* parent = nullptr);
    ~CChildFrame() override;

    // The child window that holds a form, or null.
    static CChildFrame* Of(const CVKFormView* form);

    CVKFormView* Form() const { return m_Form; }
    CQuillonDoc* Document() const { return m_Document.get(); }

    // Leaving the active state clears the active form; the main menu stays as it is.
    void OnUpdateFrameMenu(bool active);

    // The size that shows the whole form, kept within `available`.
    QSize FitSize(const QSize& available) const;

    // The calculator's caption and the file name of its design, "[*]" marking unsaved
    // changes: "Coil — Coil_Default.qwf[*]".
    void UpdateTitle();
    // The design's full path, as the title bar's tooltip and the status bar show it.
    QString PathText() const;

    // Exit asks about every window before it closes any: false when the answer for this one
    // was Cancel. Once every window has answered, CloseAnswered closes it without asking again.
    bool AskBeforeClosing();
    void CloseAnswered();

protected:
    // A modified design asks whether to save it first; Cancel keeps the window open.
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool OverTitle(const QPoint& pos) const;

    std::unique_ptr<CQuillonDoc> m_Document;
    CVKFormView* m_Form;
    bool m_Answered = false; // closing without a question: Exit asked already
};
