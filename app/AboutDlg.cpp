// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutDlg.h"

#include "controls/VKStatic.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

const char* const CAboutDlg::MakerUrl = "https://www.harlowen.example/quillon";

namespace
{
constexpr quint32 LinkColour = 0xFF0000; // blue
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_Link(new CVKStatic(this))
{
    setObjectName(QStringLiteral("AboutDlg"));
    setWindowTitle(QStringLiteral("About Quillon"));

    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(64, 64));
    auto* text = new QLabel(QStringLiteral("<b>Quillon Version %1</b><br>"
                                           "Crystal radio design calculator<br><br>"
                                           "Copyright (C) Harlowen<br><br>"
                                           "This program is free software: you can redistribute "
                                           "it and/or modify it<br>under the terms of the GNU "
                                           "General Public License as published by<br>the Free "
                                           "Software Foundation, either version 3 of the "
                                           "License, or<br>(at your option) any later version. "
                                           "It comes with ABSOLUTELY NO WARRANTY.")
                                .arg(QApplication::applicationVersion()),
                            this);

    m_Link->setObjectName(QStringLiteral("AboutLink"));
    m_Link->SetWindowText(QString::fromLatin1(MakerUrl));
    // Underlined, as a link reads.
    m_Link->SetTextFont(QStringLiteral("Arial"), 10, false, false, true, LinkColour, 0);
    // The layout sizes the link by the font it is drawn in, so that it is not cut off.
    m_Link->setFont(m_Link->Font());
    m_Link->setCursor(Qt::PointingHandCursor);
    m_Link->setToolTip(QStringLiteral("Open the maker's web page"));
    connect(m_Link, &CVKStatic::clicked, this, &CAboutDlg::OnLinkClicked);

    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(text);
    texts->addWidget(m_Link);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ok);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::OnLinkClicked()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(MakerUrl)));
}
