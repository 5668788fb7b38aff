// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class CVKStatic;

// "About Quillon": the program, its version and the maker's web address as a link.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    enum EControlId
    {
        IdTemplate = 100,
        IdLink = 1153,
    };

    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    static const char* const MakerUrl;

    CVKStatic* Link() const { return m_Link; }
    // The link's click: the web address opens in the user's browser.
    void OnLinkClicked();

private:
    CVKStatic* m_Link;
};
