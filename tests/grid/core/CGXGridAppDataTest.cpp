#include "grid/core/CGXGridAppData.h"

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXDIBPool.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXNoOleDateTimeImp.h"
#include "grid/core/CGXLongOperationImp.h"
#include "grid/res/GridRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/ResourceTable.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Cursor.h"
#include "platform/win/HeadlessFixture.h"
#include "platform/win/ResourceImages.h"
#include "platform/win/UserApi.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/win/Gdi.h"
#include "grid/core/CGXOwnedPtr.h"

#include <gtest/gtest.h>

class GridTestFrameA : public CWnd {
    DECLARE_DYNAMIC(GridTestFrameA)
};
IMPLEMENT_DYNAMIC(GridTestFrameA, CWnd)
class GridTestFrameB : public CWnd {
    DECLARE_DYNAMIC(GridTestFrameB)
};
IMPLEMENT_DYNAMIC(GridTestFrameB, CWnd)

namespace {

// A factory that counts what the library asks of it and tells when it is deleted.
class CountingFactory : public CGXControlFactory {
public:
    explicit CountingFactory(int* pDeleted) : m_pDeleted(pDeleted) {}
    ~CountingFactory() override { ++*m_pDeleted; }
    void InitializeApplicationComponents() override
    {
        ++m_nAppInstalls;
        CGXControlFactory::InitializeApplicationComponents();
    }
    void UnregisterWndClasses(HINSTANCE hInstance) override
    {
        ++*m_pDeleted; // counted as part of the shut-down
        CGXControlFactory::UnregisterWndClasses(hInstance);
    }
    int m_nAppInstalls = 0;

private:
    int* m_pDeleted;
};

class GridLibraryTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        RegisterStandardControls();
    }
    void TearDown() override
    {
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
};

} // namespace

TEST(GridLibraryText, ClipboardFormatNameHasEightLowerCaseHexDigits)
{
    EXPECT_STREQ(GXClipboardFormatName(reinterpret_cast<HINSTANCE>(0xAB)), "Grid Styles 000000ab");
    EXPECT_STRNE(GXClipboardFormatName(reinterpret_cast<HINSTANCE>(0x400000)),
                 GXClipboardFormatName(reinterpret_cast<HINSTANCE>(0x500000)));
}

TEST_F(GridLibraryTest, StartUpRegistersClassesLoadsTextsAndInstallsTheLongOperation)
{
    int nDeleted = 0;
    auto* pFactory = new CountingFactory(&nDeleted);
    InitGridLibrary(pFactory);
    CGXGridAppData* pData = GXGetAppData();

    EXPECT_TRUE(pData->m_bInitDone);
    EXPECT_EQ(pFactory->m_nAppInstalls, 1);
    EXPECT_NE(pData->m_uiClipboardFormat, 0u);
    EXPECT_EQ(pData->m_uiClipboardFormat, RegisterClipboardFormat(GXClipboardFormatName(AfxGetInstanceHandle())));
    WNDCLASS wc{};
    for (LPCSTR name : {"GXWND", "GXNDBLCLKSWND", "GxMdiFrame", "CGXGridWnd", "GXEDIT", "GXLISTBOX", "GXCOMBOBOX"})
        EXPECT_TRUE(GetClassInfo(AfxGetInstanceHandle(), name, &wc)) << name;
    ASSERT_TRUE(GetClassInfo(AfxGetInstanceHandle(), "GXWND", &wc));
    EXPECT_EQ(wc.style, 0x400Bu);
    EXPECT_FALSE(pData->m_sDragLineWndClass.IsEmpty());

    EXPECT_STREQ(pData->GetText(gxTextRedoing), "Redoing %1 ...");
    EXPECT_STREQ(pData->GetText(gxTextClearCells), "Clear Cells");
    EXPECT_STREQ(pData->GetText(gxTextMove), "Move");
    for (int i = 0; i < gxTextCount; ++i)
        EXPECT_FALSE(pData->GetText(static_cast<GXAppText>(i)).IsEmpty()) << i;
    EXPECT_STREQ(GXGetLongOperationState().m_sCancelHint, "Press ESC to cancel");

    // The long operation is an application-wide feature: installed once, freed at shut-down.
    ASSERT_NE(pData->m_pLongOperationImp, nullptr);
    EXPECT_EQ(GXGetLongOperationImp(), pData->m_pLongOperationImp);

    TerminateGridLibrary();
    EXPECT_EQ(nDeleted, 2); // unregistered its classes, then deleted through its destructor
    EXPECT_EQ(pData->m_pControlFactory, nullptr);
    EXPECT_EQ(GXGetLongOperationImp(), nullptr);
    EXPECT_FALSE(GetClassInfo(AfxGetInstanceHandle(), "CGXGridWnd", &wc));
    EXPECT_TRUE(GetClassInfo(AfxGetInstanceHandle(), "GXWND", &wc)); // stays until the process ends
    TerminateGridLibrary(); // a second shut-down does nothing
    EXPECT_EQ(nDeleted, 2);
}

TEST_F(GridLibraryTest, ARestartReplacesTheFactoryAndKeepsOneLongOperation)
{
    int nFirst = 0, nSecond = 0;
    InitGridLibrary(new CountingFactory(&nFirst));
    CGXAbstractLongOperationImp* pImp = GXGetLongOperationImp();
    InitGridLibrary(new CountingFactory(&nSecond));
    EXPECT_EQ(nFirst, 1);
    EXPECT_EQ(GXGetLongOperationImp(), pImp);
    TerminateGridLibrary();
    EXPECT_EQ(nSecond, 2);
}

TEST(GridLibraryResources, CursorsBitmapAndTextsLiveInTheGridModule)
{
    HMODULE hGrid = FindResourceModule("grid");
    ASSERT_NE(hGrid, nullptr);
    for (UINT id : {GX_IDC_COLRESIZE, GX_IDC_ROWRESIZE, GX_IDC_HIDDENCOL, GX_IDC_HIDDENROW, GX_IDC_SELFRAME,
                    GX_IDC_SELECTCOL, GX_IDC_SELECTROW, GX_IDC_FILLHANDLE})
        EXPECT_NE(LoadCursorFromResource(hGrid, MAKEINTRESOURCE(id)), nullptr) << id;
    EXPECT_NE(FindResource(hGrid, MAKEINTRESOURCE(GX_IDB_DROPDOWN), RT_BITMAP), nullptr);
    CString text;
    EXPECT_TRUE(text.LoadString(GX_IDS_CLIPBOARDSIZE));
    EXPECT_STREQ(text, "Clipboard size is different from selected range");
}

TEST(GridAppData, ObjectUsersScrollBarParentsAndPopupLock)
{
    CGXGridAppData data;
    int object1 = 0, object2 = 0;
    auto* grid1 = reinterpret_cast<CGXGridCore*>(0x10);
    auto* grid2 = reinterpret_cast<CGXGridCore*>(0x20);
    data.RegisterObjectUser(&object1, grid1);
    data.RegisterObjectUser(&object1, grid2);
    data.RegisterObjectUser(&object2, grid2);
    EXPECT_EQ(data.FindImpForObject(&object1), grid1);
    data.UnregisterGrid(grid1);
    EXPECT_EQ(data.FindImpForObject(&object1), grid2);
    data.UnregisterGrid(grid2);
    // The last user took the objects' entries with it.
    EXPECT_EQ(data.FindImpForObject(&object1), nullptr);
    EXPECT_EQ(data.GetObjectUserCount(&object2), 0u);

    data.RegisterScrollBarParentClass(RUNTIME_CLASS(GridTestFrameA));
    data.RegisterScrollBarParentClass(RUNTIME_CLASS(GridTestFrameB));
    data.RegisterScrollBarParentClass(RUNTIME_CLASS(GridTestFrameA));
    EXPECT_EQ(data.GetScrollBarParentClassCount(), 2u);

    GXSetPopupLock(TRUE);
    EXPECT_TRUE(GXGetPopupLock());
    GXSetPopupLock(FALSE);
    EXPECT_FALSE(GXGetPopupLock());
}

TEST(GridSysColors, CachedIndicesAnswerFromTheCacheAndLaterOnesFromTheSystem)
{
    CGXSysColorCache* pColors = GXGetSysData();
    pColors->Refresh();
    EXPECT_EQ(pColors->GetColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(pColors->m_clrBtnShadow, GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pColors->m_clrHighlightText, GetSysColor(COLOR_HIGHLIGHTTEXT));
    // A colour the system changes without telling: the cache keeps what it read for the
    // indices it holds (0 to 23), and asks the system for any index past them, the menu bar's
    // colour (30) and beyond.
    const INT indices[] = {COLOR_WINDOW, COLOR_MENUBAR};
    const COLORREF old[] = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_MENUBAR)};
    const COLORREF scheme[] = {RGB(1, 2, 3), RGB(200, 100, 50)};
    ASSERT_TRUE(SetSysColors(2, indices, scheme));
    const COLORREF cachedWindow = pColors->GetColor(COLOR_WINDOW);
    const COLORREF menuBar = pColors->GetColor(COLOR_MENUBAR);
    // A style colour naming the menu bar's system colour (top byte 254 - 30) draws in it too.
    const COLORREF resolved = pColors->Resolve(static_cast<COLORREF>(254 - COLOR_MENUBAR) << 24);
    const COLORREF beyond = pColors->GetColor(40);
    const COLORREF system40 = GetSysColor(40);
    SetSysColors(2, indices, old);
    EXPECT_EQ(cachedWindow, old[0]);
    EXPECT_EQ(menuBar, RGB(200, 100, 50));
    EXPECT_EQ(beyond, system40);
    EXPECT_EQ(resolved, RGB(200, 100, 50));
}

namespace {
std::vector<COLORREF> BitmapPixels(HBITMAP hbm)
{
    std::vector<BYTE> bits(static_cast<size_t>(GetBitmapBits(hbm, 0, nullptr)));
    GetBitmapBits(hbm, static_cast<LONG>(bits.size()), bits.data());
    std::vector<COLORREF> pixels;
    for (size_t i = 0; i + 3 < bits.size(); i += 4)
        pixels.push_back(RGB(bits[i + 2], bits[i + 1], bits[i]));
    return pixels;
}
} // namespace

TEST_F(GridLibraryTest, TheDropDownBitmapFollowsTheButtonColours)
{
    HBITMAP hRaw = LoadBitmap(FindResourceModule("grid"), MAKEINTRESOURCE(GX_IDB_DROPDOWN));
    ASSERT_NE(hRaw, nullptr);
    const std::vector<COLORREF> raw = BitmapPixels(hRaw);
    DeleteObject(hRaw);

    const INT indices[] = {COLOR_BTNTEXT, COLOR_BTNFACE};
    const COLORREF old[] = {GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE)};
    const COLORREF scheme[] = {RGB(0, 0, 200), RGB(10, 200, 10)};
    SetSysColors(2, indices, scheme);
    CGXSysColorCache* pColors = GXGetSysData();
    pColors->Refresh();
    ASSERT_NE(pColors->GetDropDownBitmap(), nullptr);
    const std::vector<COLORREF> mapped = BitmapPixels(pColors->GetDropDownBitmap());
    SetSysColors(2, indices, old);
    pColors->Refresh();

    ASSERT_EQ(mapped.size(), raw.size());
    size_t nBlack = 0;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == RGB(0, 0, 0)) {
            ++nBlack;
            EXPECT_EQ(mapped[i], RGB(0, 0, 200)) << i;
        } else if (raw[i] == RGB(192, 192, 192)) {
            EXPECT_EQ(mapped[i], RGB(10, 200, 10)) << i;
        } else if (raw[i] != RGB(128, 128, 128) && raw[i] != RGB(255, 255, 255)) {
            EXPECT_EQ(mapped[i], raw[i]) << i; // other colours are left alone
        }
    }
    EXPECT_GT(nBlack, 0u); // the arrow is drawn in black and must follow the text colour

    CBitmap missing;
    EXPECT_FALSE(LoadSysColorBitmap(missing, 65000));
}

TEST(GridOwnedPtr, DeletesWhatItHoldsAndLetsGoOfWhatItReleases)
{
    struct Counted {
        explicit Counted(int* p) : pDeleted(p) {}
        ~Counted() { ++*pDeleted; }
        int* pDeleted;
    };
    int nDeleted = 0;
    Counted* pKept = nullptr;
    {
        CGXOwnedPtr<Counted> holder;
        EXPECT_FALSE(holder);
        holder.Reset(new Counted(&nDeleted));
        Counted* pFirst = holder.Get();
        holder.Reset(pFirst); // the same object stays, not deleted under the holder
        EXPECT_EQ(nDeleted, 0);
        holder.Reset(new Counted(&nDeleted));
        EXPECT_EQ(nDeleted, 1);
        pKept = holder.Release();
        holder.Reset(new Counted(&nDeleted));
    }
    EXPECT_EQ(nDeleted, 2); // the replaced one and the one held at the end
    delete pKept;
    EXPECT_EQ(nDeleted, 3);
}

TEST_F(GridLibraryTest, TheLibraryKeepsSeventeenFeatureSlotsAndEmptiesThemAndThePoolAtShutDown)
{
    GXInitControlFactory();
    CGXGridAppData* pData = GXGetAppData();
    const auto slots = pData->GetAppImps();
    ASSERT_EQ(slots.size(), 17u);
    EXPECT_EQ(slots[0], nullptr); // the one no installer fills
    EXPECT_NE(slots[11], nullptr); // rotated text
    EXPECT_NE(slots[12], nullptr); // date-time, with the locale read
    EXPECT_NE(slots[14], nullptr); // long operations
    auto* pDateTime = dynamic_cast<CGXNoOleDateTimeImp*>(slots[12]);
    ASSERT_NE(pDateTime, nullptr);
    EXPECT_EQ(pDateTime->GetDateSeparator(), "/");
    EXPECT_EQ(pDateTime->GetDateOrder(), CGXNoOleDateTimeImp::monthDayYear);

    // A change of the system's settings reaching a grid has the locale read again.
    const int nReads = pDateTime->GetReadCount();
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "Locale", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr));
    {
        CGXGridWnd grid;
        ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &parent, 1));
        grid.Initialize();
        grid.SendMessage(WM_SETTINGCHANGE, 0, 0);
        EXPECT_EQ(pDateTime->GetReadCount(), nReads + 1);
        grid.DestroyWindow();
    }
    parent.DestroyWindow();

    // Shut-down frees every feature, clears every slot and takes the bitmap pool away.
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(2, 2, 1, 32, nullptr));
    ASSERT_TRUE(CGXDIBPool::GetInstance()->Add("mark", static_cast<HBITMAP>(bitmap.Detach())));
    TerminateGridLibrary();
    for (CObject* pSlot : pData->GetAppImps())
        EXPECT_EQ(pSlot, nullptr);
    EXPECT_EQ(CGXDIBPool::GetExisting(), nullptr);
}
