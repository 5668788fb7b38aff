// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ControlDrawing.h"

#include <QMdiArea>

class CChildFrame;

// The client area of the main window: the child windows of the calculators over a tiled
// background bitmap.
class CVKMainFrameClient : public QMdiArea, public CControlDrawing
{
    Q_OBJECT

public:
    explicit CVKMainFrameClient(QWidget* parent = nullptr);

    // The child windows in the order they were opened.
    QList<CChildFrame*> ChildFrames() const;
    // Lines the minimised child windows up along the bottom edge.
    void ArrangeIcons();
    // Where a new window goes after `opened` others: one title bar further down and right
    // for each, from the top-left corner, and back to it after a third of the area.
    QPoint CascadePosition(int opened) const;

protected:
    void DrawingChanged() override;
    // A smaller area (the frame maximised by the desktop, or made smaller) keeps every
    // window inside it.
    void resizeEvent(QResizeEvent* event) override;
};
