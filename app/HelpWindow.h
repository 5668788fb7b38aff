// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QTextBrowser;

// The program's help window: the HTML user guide in a browser with back and forward.
class CHelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // Shows the guide at the section's anchor (at its start when none is given) and brings
    // the window to the front.
    void ShowGuide(const QString& path, const QString& section = QString());
    QTextBrowser* Browser() const { return m_Browser; }

private:
    QTextBrowser* m_Browser;
};
