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

protected:
    void DrawingChanged() override;
};
