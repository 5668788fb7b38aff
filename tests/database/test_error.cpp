// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/Error.h"
#include "database/MessagePresenter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

TEST(Error, NewAndClearedRecordsAreEmpty)
{
    CError error;
    EXPECT_EQ(error.m_Code, 0);
    EXPECT_EQ(error.m_Kind, CError::None);
    EXPECT_EQ(error.FormatErrorMessage(), "");
    error.SetProgError("x");
    error.ClearErrors();
    EXPECT_EQ(error.FormatErrorMessage(), "");
    EXPECT_EQ(error.m_ProgramText, "");
}

TEST(Error, MessagesOfEachKind)
{
    CError error;
    error.SetProgError("Bad value");
    EXPECT_EQ(error.m_Code, -1);
    EXPECT_EQ(error.FormatErrorMessage(), "Bad value");

    error.SetProgErrorValue(255, "Out of range");
    EXPECT_EQ(error.FormatErrorMessage(), "Error: 0xFF \rOut of range");

    errno = ENOENT;
    error.SetSysError("Open failed");
    EXPECT_EQ(error.m_Code, ENOENT);
    EXPECT_EQ(error.FormatErrorMessage(),
              std::string("Error: 0x2 \rOpen failed \r") + std::strerror(ENOENT));
}

TEST(Error, SystemErrorAfterSuccessRecordsMinusOne)
{
    errno = 0;
    CError error;
    error.SetSysError("Nothing failed");
    EXPECT_EQ(error.m_Code, -1);
    EXPECT_EQ(error.m_SystemText, std::strerror(-1));
    EXPECT_EQ(error.FormatErrorMessage().rfind("Error: 0xFFFFFFFF \rNothing failed \r", 0), 0u);
}

TEST(Error, DisplayErrorGoesThroughThePresenter)
{
    CRecordingPresenter recorder;
    CScopedPresenter scope(recorder);
    CError::DisplayError("Line one\rline two");
    ASSERT_EQ(recorder.m_Messages.size(), 1u);
    EXPECT_EQ(recorder.m_Messages[0].title, "Error");
    EXPECT_EQ(recorder.m_Messages[0].icon, EMessageIcon::Error);
    EXPECT_EQ(CStderrPresenter::OneLine("Error", "Line one\rline two\r\n"),
              "Error: Line one line two  ");
}
