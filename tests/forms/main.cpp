// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/MessagePresenter.h"
#include "forms/VKFormView.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The forms are real widgets: one QApplication for the whole program, on the offscreen
// platform unless the caller chose another. Messages are recorded, never shown; tests that
// look at them install their own recorder.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    CRecordingPresenter presenter;
    CScopedPresenter scoped(presenter);
    // The pickers list the parts of the build; the user's own parts start empty every run.
    const QTemporaryDir userParts;
    CVKFormView::SetPartsLocations(QStringLiteral(QUILLON_PARTS_DB),
                                   userParts.filePath(QStringLiteral("parts.db")));
    return RUN_ALL_TESTS();
}
