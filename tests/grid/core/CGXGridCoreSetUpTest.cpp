// Setting a grid up: the properties and base styles a user stored come back through the profile
// feature, a grid in a sheet tab and its tab agree on a name, a remembered current cell comes
// back as the current cell, and printing measures the standard font and the page margins.
#include "grid/core/CGXAbstractTabWndInterface.h"
#include "grid/core/CGXGridProfileImp.h"
#include "grid/data/CGXProperties.h"
#include "grid/data/CGXStylesMap.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CProfileStore.h"
#include "support/ScopedTempDir.h"
#include "tests/grid/core/GridTestSupport.h"

#include <memory>
#include <vector>

namespace {

// A sheet-tab support that names every window's tab "Sheet 7" and records what grids give it.
class FakeTabs : public CGXAbstractTabWndInterface {
public:
    CString GetSetSheetName(CWnd*, const CString& sName, BOOL bSet) override
    {
        calls.emplace_back(sName, bSet);
        return bSet ? sName : CString("Sheet 7");
    }
    void GetSheetName(CString& sName, CWnd*, int) override { sName = "Sheet 7"; }
    std::vector<std::pair<CString, BOOL>> calls;
};

class RememberingGrid : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    void OnInitCurrentCell(ROWCOL nRow, ROWCOL nCol) override { inits.emplace_back(nRow, nCol); }
    std::vector<std::pair<ROWCOL, ROWCOL>> inits;
};

class GridSetUpTest : public GridDrawTest {
protected:
    ScopedTempDir m_dir;
    ScopedEnv m_env{"XDG_CONFIG_HOME", m_dir.Path()};
};

} // namespace

TEST_F(GridSetUpTest, StoredPropertiesAndBaseStylesComeBackWithTheProfileFeature)
{
    // What a user stored in the application's profile.
    CProfileStore profile;
    if (LPCTSTR pszName = AfxGetAppName(); pszName != nullptr && *pszName != '\0')
        profile.SetAppName(pszName);
    CGXProperties stored;
    stored.AddDefaultProperties();
    stored.m_nZoom = 150;
    stored.m_bDisplayVertLines = FALSE;
    stored.WriteProfile(profile, CGXGridProfileImp::kPropertiesSection);
    CGXStylesMap styles;
    styles.CreateStandardStyles();
    styles.LookupStyle(styles.m_wStyleStandard)->SetValue("from the profile");
    styles.WriteProfile(profile, CGXGridProfileImp::kStylesSection);

    // Without the feature a new grid starts from the defaults.
    {
        CGXGridCore grid;
        grid.Initialize();
        EXPECT_EQ(grid.GetParam()->GetProperties()->m_nZoom, 100);
    }
    CGXGridProfileImp::Install();
    CGXGridCore grid;
    grid.Initialize();
    EXPECT_EQ(grid.GetParam()->GetProperties()->m_nZoom, 150);
    EXPECT_EQ(grid.GetZoom(), 150);
    EXPECT_FALSE(grid.GetParam()->GetProperties()->m_bDisplayVertLines);
    EXPECT_EQ(grid.GetStandardStyle()->GetValue(), "from the profile");
}

TEST_F(GridSetUpTest, AGridInASheetTabAndItsTabAgreeOnAName)
{
    auto* pTabs = new FakeTabs;
    GXGetAppData()->m_pTabWndInterface.reset(pTabs);
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "Tabs", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr));
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD, 0, 0, 300, 200, parent.GetSafeHwnd(), nullptr));

    // A grid without a name takes its tab's.
    CGXGridCore unnamed(&child);
    unnamed.Initialize();
    EXPECT_EQ(unnamed.GetParam()->m_sSheetName, "Sheet 7");
    // A named one gives its tab the name.
    CGXGridCore named(&child);
    auto* pParam = new CGXGridParam;
    pParam->m_sSheetName = "Pages";
    named.SetParam(pParam, TRUE);
    named.Initialize();
    EXPECT_EQ(named.GetParam()->m_sSheetName, "Pages");
    ASSERT_EQ(pTabs->calls.size(), 2u);
    EXPECT_EQ(pTabs->calls[0], std::make_pair(CString(), FALSE));
    EXPECT_EQ(pTabs->calls[1], std::make_pair(CString("Pages"), TRUE));
    GXGetAppData()->m_pTabWndInterface.reset();
    child.DestroyWindow();
    parent.DestroyWindow();
}

TEST_F(GridSetUpTest, ARememberedCellComesBackAsTheCurrentCell)
{
    auto* pParam = new CGXGridParam;
    pParam->m_bRememberCurrentCell = TRUE;
    pParam->m_nRememberedRow = 3;
    pParam->m_nRememberedCol = 2;
    RememberingGrid grid;
    grid.SetParam(pParam, TRUE);
    grid.Initialize();
    // Counts are 0 at first: the cell lies outside and is not restored.
    EXPECT_FALSE(grid.IsCurrentCell(3, 2));
    grid.SetRowCount(10, 0);
    grid.SetColCount(4, 0);
    grid.Initialize();
    ROWCOL nRow = 0, nCol = 0;
    ASSERT_TRUE(grid.GetCurrentCell(nRow, nCol));
    EXPECT_EQ(std::make_pair(nRow, nCol), std::make_pair(ROWCOL(3), ROWCOL(2)));
    EXPECT_EQ(pParam->m_nCurrentRow, 3u); // the parameter object knows its current cell too
    ASSERT_EQ(grid.inits.size(), 1u);
    EXPECT_EQ(grid.inits[0], std::make_pair(ROWCOL(3), ROWCOL(2)));
}

TEST_F(GridSetUpTest, PrintedRowsAndColumnsKeepTheirSizesAndTheMarginsComeOffThePage)
{
    CGXGridCore grid;
    SetUpGrid(grid, 10, 4);
    // A standard font larger than the library's fallback metrics.
    CGXStyle big;
    big.SetFont(CGXFont().SetSize(20));
    ASSERT_TRUE(grid.SetStandardBaseStyle(big, gxApplyNew, 0));
    grid.CalcFontMetrics();
    ASSERT_TRUE(grid.SetRowHeight(2, 2, 33, nullptr, 0, 1));
    ASSERT_TRUE(grid.SetColWidth(3, 3, 77, nullptr, 0, 1));
    ASSERT_NE(grid.GetFontHeight(), 15);
    grid.SetPrinting(TRUE);
    EXPECT_EQ(grid.GetRowHeight(2), 33);
    EXPECT_EQ(grid.GetColWidth(3), 77);
    grid.SetPrinting(FALSE);
    EXPECT_EQ(grid.GetRowHeight(2), 33);

    // The margins, in points, come off the page's drawing rectangle.
    CGXProperties* pProps = grid.GetParam()->GetProperties();
    pProps->m_nLeftMargin = 36;
    pProps->m_nTopMargin = 72;
    pProps->m_nRightMargin = 18;
    pProps->m_nBottomMargin = 0;
    CPrintInfo info;
    info.m_rectDraw.SetRect(0, 0, 612, 792);
    grid.ApplyPrintMargins(nullptr, &info);
    EXPECT_EQ(info.m_rectDraw, CRect(36, 72, 594, 792));
    // On a device they are as many dots as the points stand for there.
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    const int dpi = dc.GetDeviceCaps(LOGPIXELSX);
    info.m_rectDraw.SetRect(0, 0, 1000, 1000);
    grid.ApplyPrintMargins(&dc, &info);
    EXPECT_EQ(info.m_rectDraw.left, 36 * dpi / 72);
    EXPECT_EQ(info.m_rectDraw.right, 1000 - 18 * dpi / 72);
}
