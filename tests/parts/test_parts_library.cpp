// SPDX-License-Identifier: GPL-3.0-or-later
// The library over the shipped database and a user database in a scratch folder.
#include "PartsTest.h"

#include "parts/Litz.h"
#include "parts/PartsLibrary.h"

#include <algorithm>
#include <fstream>

namespace
{
const CPartName* Named(const std::vector<CPartName>& names, const std::string& name)
{
    const auto found = std::find_if(names.begin(), names.end(),
                                    [&](const CPartName& n) { return n.m_Name == name; });
    return found == names.end() ? nullptr : &*found;
}
} // namespace

class CPartsLibraryTest : public CPartsTest
{
protected:
    std::string UserFile() const { return (m_Folder / "user" / "parts.db").string(); }

    void Open(CPartsLibrary& library) const
    {
        ASSERT_TRUE(library.OpenShipped(QUILLON_PARTS_DB)) << library.GetErrorText();
        ASSERT_TRUE(library.OpenUser(UserFile())) << library.GetErrorText();
    }
};

TEST_F(CPartsLibraryTest, UserPartsSurviveReopeningAndWinOverShippedOnes)
{
    CWirePart mine{.m_Name = "AWG 26",
                   .m_Gauge = "AWG",
                   .m_Insulation = "own enamel",
                   .m_BareDiameter = 0.41e-3,
                   .m_OverallDiameter = 0.47e-3,
                   .m_Source = "measured with a micrometer"};
    CDiodePart diode{.m_Name = "My 1N34A",
                     .m_Type = "germanium point contact",
                     .m_Is = 3e-6,
                     .m_N = 1.7,
                     .m_Cj0 = 1e-12};
    {
        CPartsLibrary library;
        Open(library);
        const auto shipped = library.Find<CWirePart>("AWG 26");
        ASSERT_TRUE(shipped);
        EXPECT_FALSE(shipped->m_User);
        EXPECT_NE(shipped->m_BareDiameter, mine.m_BareDiameter);
        EXPECT_TRUE(library.Save(mine)) << library.GetErrorText();
        EXPECT_TRUE(library.Save(diode)) << library.GetErrorText();
        // Renamed through an edit; the old name goes.
        diode.m_Name = "Lot 7 1N34A";
        EXPECT_TRUE(library.Save(diode, "My 1N34A")) << library.GetErrorText();
        // A part without a name is refused before anything is written.
        EXPECT_FALSE(
            library.Save(CRodPart{.m_Material = "61", .m_Diameter = 0.01, .m_Length = 0.1}));
        EXPECT_FALSE(library.GetErrorText().empty());
    }
    CPartsLibrary library;
    Open(library);
    const auto wire = library.Find<CWirePart>("awg 26");
    ASSERT_TRUE(wire);
    EXPECT_TRUE(wire->m_User);
    EXPECT_EQ(wire->m_BareDiameter, mine.m_BareDiameter);
    EXPECT_EQ(wire->m_OverallDiameter, mine.m_OverallDiameter);
    EXPECT_EQ(wire->m_Insulation, "own enamel");

    const std::vector<CPartName> wires = library.ListNames(EPartTable::Wire);
    EXPECT_EQ(std::count_if(wires.begin(), wires.end(),
                            [](const CPartName& n) { return n.m_Name == "AWG 26"; }),
              1);
    ASSERT_TRUE(Named(wires, "AWG 26"));
    EXPECT_TRUE(Named(wires, "AWG 26")->m_User);
    EXPECT_TRUE(Named(wires, "AWG 26")->m_ReplacesShipped);
    // Numbers by their value, as a picker shows them: 30 strands before 165.
    const std::vector<CPartName> litz = library.ListNames(EPartTable::Litz);
    ASSERT_TRUE(Named(litz, "30/44") && Named(litz, "165/46"));
    EXPECT_LT(Named(litz, "30/44"), Named(litz, "165/46"));

    const std::vector<CPartName> diodes = library.ListNames(EPartTable::Diode);
    EXPECT_FALSE(Named(diodes, "My 1N34A"));
    ASSERT_TRUE(Named(diodes, "Lot 7 1N34A"));
    const auto kept = library.Find<CDiodePart>("Lot 7 1N34A");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->m_Cj0, 1e-12);
    EXPECT_FALSE(kept->m_Vj);

    EXPECT_TRUE(library.DeleteUserPart(EPartTable::Wire, "AWG 26"));
    EXPECT_FALSE(library.Find<CWirePart>("AWG 26")->m_User);
    EXPECT_FALSE(library.DeleteUserPart(EPartTable::Wire, "AWG 26"));
    EXPECT_TRUE(m_Boxes.m_Messages.empty());
}

TEST_F(CPartsLibraryTest, CorruptUserDatabaseIsMovedAsideAndRecreated)
{
    std::filesystem::create_directories(m_Folder / "user");
    const std::string garbage(4096, '\x5a');
    std::ofstream(UserFile(), std::ios::binary) << garbage;

    CPartsLibrary library;
    ASSERT_TRUE(library.OpenShipped(QUILLON_PARTS_DB));
    EXPECT_FALSE(library.OpenUser(UserFile()));
    EXPECT_NE(library.GetErrorText().find(UserFile() + ".corrupt"), std::string::npos)
        << library.GetErrorText();
    EXPECT_TRUE(library.IsUserOpen());
    std::ifstream aside(UserFile() + ".corrupt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}), garbage);

    // The new one is empty and takes parts at once.
    const auto names = library.ListNames(EPartTable::Litz);
    EXPECT_TRUE(std::none_of(names.begin(), names.end(), [](auto& n) { return n.m_User; }));
    EXPECT_TRUE(library.Save(
        CLitzPart{.m_Name = "100/46", .m_StrandCount = 100, .m_StrandDiameter = 0.0398e-3}));
    library.Close();

    // A second bad file does not overwrite the first one kept.
    std::ofstream(UserFile(), std::ios::binary | std::ios::trunc) << garbage;
    EXPECT_FALSE(library.OpenUser(UserFile()));
    EXPECT_TRUE(std::filesystem::exists(UserFile() + ".1.corrupt"));
}

TEST_F(CPartsLibraryTest, MissingShippedDatabaseIsAnErrorNotACrash)
{
    CPartsLibrary library;
    EXPECT_FALSE(library.OpenShipped((m_Folder / "nowhere" / "parts.db").string()));
    EXPECT_NE(library.GetErrorText().find("cannot be read"), std::string::npos);
    EXPECT_FALSE(library.IsShippedOpen());
    EXPECT_TRUE(library.ListNames(EPartTable::Diode).empty());
    EXPECT_FALSE(library.Find<CDiodePart>("1N34A"));
    EXPECT_FALSE(library.Save(CFerritePart{.m_Name = "43", .m_InitialPermeability = 850}));
}

TEST(CLitzFactor, AtLeastOneAndNearOneForThinStrands)
{
    const double awg46 = 0.0398e-3;
    const double classic = LitzResistanceFactor(awg46, 660, 1.41e-3);
    EXPECT_GT(classic, 1.1);
    EXPECT_LT(classic, 2.0);
    // Thinner strands of the same copper area: less loss, towards none.
    double previous = classic;
    for (double scale : {0.5, 0.25, 0.1})
    {
        const int strands = static_cast<int>(660 / (scale * scale));
        const double factor = LitzResistanceFactor(awg46 * scale, strands, 1.41e-3);
        EXPECT_GE(factor, 1.0);
        EXPECT_LT(factor, previous);
        previous = factor;
    }
    EXPECT_LT(previous, 1.01);
    EXPECT_EQ(LitzResistanceFactor(awg46, 660, 0.0, 0.0), 1.0);
}
