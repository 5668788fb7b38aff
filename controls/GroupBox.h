// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ControlDrawing.h"
#include "controls/CorvaneExport.h"

#include <QGroupBox>

// A group box that draws its own caption and border: 0 no border, 1 a rectangle with the
// pen, any other value a rounded rectangle filled with the background brush.
class CORVANE_EXPORT CGroupBox : public QGroupBox, public CControlDrawing
{
    Q_OBJECT

public:
    explicit CGroupBox(QWidget* parent = nullptr);
    explicit CGroupBox(const QString& title, QWidget* parent = nullptr);

    void SetBorder(int style, int margin);
    int BorderStyle() const { return m_BorderStyle; }
    int BorderMargin() const { return m_BorderMargin; }
    // The border's rectangle: the client area below the caption and the pen.
    QRect BorderRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void DrawingChanged() override { update(); }

private:
    int m_BorderStyle = 1;
    int m_BorderMargin = 0;
};
