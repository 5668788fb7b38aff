// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ControlDrawing.h"
#include "controls/CorvaneExport.h"

#include <QPushButton>

// A push button drawn from bitmaps (a background and four state brushes) or with the
// platform's frame, in check or radio style as its button style says.
class CORVANE_EXPORT CVKButton : public QPushButton, public CControlDrawing
{
    Q_OBJECT

public:
    // The button styles that the set-up reads.
    enum EButtonStyle
    {
        StylePushButton = 0,
        StyleAutoCheckBox = 3,
        StyleRadioButton = 4,
        StyleAutoRadioButton = 9,
    };
    enum EStateBrush
    {
        BrushBackground,
        BrushPressed,
        BrushHot,
        BrushDisabled,
        BrushSelected,
    };

    explicit CVKButton(QWidget* parent = nullptr);
    explicit CVKButton(const QString& text, QWidget* parent = nullptr);

    // 3 makes a check-style button, 4 and 9 radio-style ones, anything else a push button.
    void SetButtonStyle(int style);

    // Bitmap mode with the given background and state bitmaps; the button takes the
    // background's size. False at the first bitmap that is missing.
    bool SetBitMapButton(int background, int pressed, int hot, int disabled, int selected,
                         bool frame);
    // The checked flag; a radio-style button keeps its state in the Qt button.
    void SetCheck(bool checked);
    bool GetCheck() const;
    // A lasting highlighted look.
    void SetButtonSelected(bool selected);

    // The brush that bitmap mode paints a push-style button with.
    EStateBrush ChooseBrush(bool pressed) const;
    const QBrush& StateBrush(EStateBrush which) const;

    bool IsHot() const { return m_Hot; }
    bool CheckStyle() const { return m_CheckStyle; }
    bool RadioStyle() const { return m_RadioStyle; }
    bool BitmapMode() const { return m_BitmapMode; }
    bool DrawFrame() const { return m_DrawFrame; }
    bool HasFocusFlag() const { return m_HasFocus; }
    bool ButtonSelected() const { return m_Selected; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void DrawingChanged() override { update(); }

private:
    void SetHot(bool hot);

    QBrush m_PressedBrush;
    QBrush m_HotBrush;
    QBrush m_DisabledBrush;
    QBrush m_SelectedBrush;
    bool m_CheckStyle = false;
    bool m_RadioStyle = false;
    bool m_Hot = false;
    bool m_DrawFrame = false;
    bool m_Checked = false;
    bool m_BitmapMode = false;
    bool m_HasFocus = false;
    bool m_Selected = false;
};
