// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/MessagePresenter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

// A fresh folder, removed after the test; the database's error boxes are recorded, not shown.
class CPartsTest : public ::testing::Test
{
protected:
    CPartsTest() : m_Scope(m_Boxes) {}

    void SetUp() override
    {
        std::random_device random;
        m_Folder = std::filesystem::temp_directory_path() /
                   ("quillon-parts-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(m_Folder);
    }

    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_Folder, ignored);
    }

    CRecordingPresenter m_Boxes;
    CScopedPresenter m_Scope;
    std::filesystem::path m_Folder;
};
