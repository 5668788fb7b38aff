// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ControlDrawing.h"
#include "controls/CorvaneExport.h"

#include <QTabBar>

// A tab strip whose tabs are drawn with the background brush, the font and the text colour.
class CORVANE_EXPORT CVKTabCtrl : public QTabBar, public CControlDrawing
{
    Q_OBJECT

public:
    explicit CVKTabCtrl(QWidget* parent = nullptr);

    // Fixed tab width (0: as the text needs) and height (0: the style's).
    void SetItemSize(int width, int height);
    void SetMinTabWidth(int width);
    int ItemHeight() const { return m_ItemHeight; }
    int MinTabWidth() const { return m_MinTabWidth; }
    // The text a tab is drawn with: at most 254 characters.
    QString TabDrawText(int index) const;

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;
    void DrawingChanged() override;

private:
    QSize Fit(QSize size) const;

    int m_ItemWidth = 0;
    int m_ItemHeight = 0;
    int m_MinTabWidth = 0;
};
