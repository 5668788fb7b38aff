// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HelpWindow.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), m_Browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Quillon Help"));
    // Pages of the guide open here; links to the web open in the user's browser.
    m_Browser->setOpenExternalLinks(true);

    auto* back = new QPushButton(QStringLiteral("< Back"), this);
    auto* forward = new QPushButton(QStringLiteral("Forward >"), this);
    auto* contents = new QPushButton(QStringLiteral("Contents"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, m_Browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_Browser, &QTextBrowser::forward);
    connect(contents, &QPushButton::clicked, m_Browser, &QTextBrowser::home);
    connect(m_Browser, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(m_Browser, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(contents);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_Browser);
    resize(820, 700);
}

void CHelpWindow::ShowGuide(const QString& path, const QString& section)
{
    QUrl url = QUrl::fromLocalFile(path);
    if (!section.isEmpty())
        url.setFragment(section);
    m_Browser->setSource(url);
    show();
    raise();
    activateWindow();
}
