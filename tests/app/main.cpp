// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/MessagePresenter.h"

#include <QApplication>

#include <gtest/gtest.h>

// One QApplication for the whole program, on the offscreen platform unless the caller chose
// another. Messages are recorded, never shown.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    ::testing::InitGoogleTest(&argc, argv);
    CRecordingPresenter presenter;
    CScopedPresenter scoped(presenter);
    return RUN_ALL_TESTS();
}
