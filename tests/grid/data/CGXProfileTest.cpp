#include "grid/data/CGXProperties.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/CGXStylesMap.h"
#include "platform/core/CProfileStore.h"
#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

namespace {

class GridProfileTest : public ::testing::Test {
protected:
    ScopedTempDir m_dir;
    ScopedEnv m_env{"XDG_CONFIG_HOME", m_dir.Path()};
    CProfileStore m_profile{"GridProfileTest"};
};

} // namespace

TEST_F(GridProfileTest, PropertiesComeBackAndDamagedNumbersKeepTheirValue)
{
    CGXProperties props;
    props.AddDefaultProperties();
    props.m_nZoom = 150;
    props.m_bDisplayVertLines = FALSE;
    props.m_nLeftMargin = 36;
    props.SetColor(GX_COLOR_BACKGROUND, RGB(1, 2, 3));
    props.WriteProfile(m_profile, "Grid");

    CGXProperties read;
    read.AddDefaultProperties();
    read.ReadProfile(m_profile, "Grid");
    EXPECT_EQ(read.m_nZoom, 150);
    EXPECT_FALSE(read.m_bDisplayVertLines);
    EXPECT_TRUE(read.m_bDisplayHorzLines);
    EXPECT_EQ(read.m_nLeftMargin, 36);
    EXPECT_EQ(read.GetColor(GX_COLOR_BACKGROUND), RGB(1, 2, 3));

    // A zoom of 0 would make every size 0: the value read is refused.
    m_profile.WriteProfileInt("Grid", "Zoom", 0);
    read.ReadProfile(m_profile, "Grid");
    EXPECT_EQ(read.m_nZoom, 150);
    // Nothing stored: the present values stay.
    CGXProperties fresh;
    fresh.AddDefaultProperties();
    fresh.ReadProfile(m_profile, "Nothing");
    EXPECT_EQ(fresh.m_nZoom, 100);
}

TEST_F(GridProfileTest, BaseStylesComeBackByNameAndABrokenEntryIsSkipped)
{
    CGXStylesMap map;
    map.CreateStandardStyles();
    map.LookupStyle(map.m_wStyleStandard)->SetValue("standard text");
    CGXStyle mine;
    mine.SetValue("mine");
    const WORD nMine = map.RegisterStyle("Mine", mine);
    ASSERT_NE(nMine, 0);
    map.WriteProfile(m_profile, "Styles");

    CGXStylesMap read;
    read.CreateStandardStyles();
    ASSERT_TRUE(read.ReadProfile(m_profile, "Styles"));
    EXPECT_STREQ(read.LookupStyle(read.m_wStyleStandard)->GetValue(), "standard text");
    const WORD nRead = read.GetBaseStyleId("Mine");
    ASSERT_NE(nRead, 0);
    EXPECT_STREQ(read.LookupStyle(nRead)->GetValue(), "mine");
    EXPECT_TRUE(read.IsSystemStyle(read.m_wStyleStandard));
    EXPECT_FALSE(read.IsSystemStyle(nRead));

    // Garbage in place of a stored style: that style keeps what it had, the rest still read.
    const BYTE junk[] = {0xFF, 0xFF, 0x7F};
    for (int i = 0; i < 4; ++i) {
        CString sEntry;
        sEntry.Format("Style%d", i);
        if (m_profile.GetProfileString("Styles", sEntry + "Name") == "Mine")
            m_profile.WriteProfileBinary("Styles", sEntry, junk, sizeof junk);
    }
    CGXStylesMap again;
    again.CreateStandardStyles();
    EXPECT_TRUE(again.ReadProfile(m_profile, "Styles"));
    EXPECT_EQ(again.GetBaseStyleId("Mine"), 0);
    EXPECT_STREQ(again.LookupStyle(again.m_wStyleStandard)->GetValue(), "standard text");
    EXPECT_FALSE(again.ReadProfile(m_profile, "Empty"));
}
