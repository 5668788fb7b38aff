// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ControlDrawing.h"
#include "controls/CorvaneExport.h"

#include <QLabel>

// A static text that paints its own background and text, and tells when it is clicked.
class CORVANE_EXPORT CVKStatic : public QLabel, public CControlDrawing
{
    Q_OBJECT

public:
    explicit CVKStatic(QWidget* parent = nullptr);
    explicit CVKStatic(const QString& text, QWidget* parent = nullptr);

    // Sets the text; a transparent static has the parent repaint what lies behind it.
    void SetWindowText(const QString& text);
    QString GetWindowText() const { return text(); }
    // The drawing flags of the text: the static's alignment, word wrap and the text format.
    int TextFlags() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void DrawingChanged() override { update(); }
};
