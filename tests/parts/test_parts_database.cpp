// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped database as the build tool makes it from data/parts.
#include "PartsTest.h"

#include "parts/PartsLibrary.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace
{
std::string ReadText(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

class CPartsBuildTest : public CPartsTest
{
protected:
    // Runs the tool on a copy of the source files with `line` appended to `file`; its exit
    // status and what it said.
    std::pair<int, std::string> BuildWith(const std::string& file, const std::string& line)
    {
        const std::filesystem::path sources = m_Folder / "sources";
        std::filesystem::copy(QUILLON_PARTS_SOURCES, sources);
        std::ofstream(sources / file, std::ios::app) << line << '\n';
        const std::filesystem::path said = m_Folder / "said.txt";
        const std::string command = std::string("\"") + QUILLON_MAKE_PARTS_DB + "\" \"" +
                                    sources.string() + "\" \"" + (m_Folder / "out.db").string() +
                                    "\" 2> \"" + said.string() + "\"";
        const int status = std::system(command.c_str());
        return {status, ReadText(said)};
    }

    int LineCount(const std::string& file)
    {
        const std::string text = ReadText(std::filesystem::path(QUILLON_PARTS_SOURCES) / file);
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }
};

TEST_F(CPartsBuildTest, FaultyRowsFailTheBuildNamingFileAndLine)
{
    struct CCase
    {
        const char* m_File;
        const char* m_Line;
        const char* m_Complaint;
    };
    const CCase cases[] = {
        {"diodes.csv", "1N0000,Schottky,1e-8,1.05,10,1e-12,0.3,0.5,20,", "the source is missing"},
        {"litz.csv", "10/44,ten,0.05,0.3,a book", "strands \"ten\" is not a positive whole number"},
        {"wire.csv", "AWG 99,AWG,,0.001,a book", "5 columns, not 6"},
        {"ferrite_rods.csv", "Rod,61,10,-5,a book", "length_mm \"-5\" is not a positive number"},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_File);
        const std::string where =
            std::string(c.m_File) + ":" + std::to_string(LineCount(c.m_File) + 1);
        const auto [status, said] = BuildWith(c.m_File, c.m_Line);
        EXPECT_NE(status, 0);
        EXPECT_NE(said.find(where), std::string::npos) << said;
        EXPECT_NE(said.find(c.m_Complaint), std::string::npos) << said;
        EXPECT_FALSE(std::filesystem::exists(m_Folder / "out.db"));
        std::filesystem::remove_all(m_Folder / "sources");
    }
}

TEST_F(CPartsBuildTest, ShippedPartsHaveSourcesAndAwgFollowsItsDefinition)
{
    CPartsLibrary library;
    ASSERT_TRUE(library.OpenShipped(QUILLON_PARTS_DB)) << library.GetErrorText();
    int awg = 0;
    for (const CPartName& name : library.ListNames(EPartTable::Wire))
    {
        const auto wire = library.Find<CWirePart>(name.m_Name);
        ASSERT_TRUE(wire) << name.m_Name;
        EXPECT_FALSE(wire->m_Source.empty()) << name.m_Name;
        EXPECT_FALSE(name.m_User);
        if (wire->m_Gauge != "AWG")
            continue;
        const int n = std::stoi(wire->m_Name.substr(4));
        const double defined = 0.127e-3 * std::pow(92.0, (36.0 - n) / 39.0);
        EXPECT_NEAR(wire->m_BareDiameter / defined, 1.0, 0.005) << wire->m_Name;
        ++awg;
    }
    EXPECT_GE(awg, 39);
    for (const CPartName& name : library.ListNames(EPartTable::Diode))
    {
        const auto diode = library.Find<CDiodePart>(name.m_Name);
        ASSERT_TRUE(diode) << name.m_Name;
        EXPECT_FALSE(diode->m_Source.empty()) << name.m_Name;
        EXPECT_GT(diode->m_Is, 0.0);
    }
    EXPECT_TRUE(m_Boxes.m_Messages.empty());
}
