// The Project Area: folders only in the tree with their texts and images, the pages each node
// stands for, titles with and without a project file, selection changes refused while the
// program is busy, and the context menu's items by what lies under the click.
#include "app/panes/CFileViewControlBar.h"
#include "app/panes/IProjectAreaHost.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/win/Cursor.h"
#include "tests/app/PanesFixture.h"
#include "tests/app/VostrelAppFixture.h"

#include <cairo.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

struct ShownPages {
    std::vector<CPageNode*> pages;
    CPageNode* node = nullptr;
    BOOL fullPath = -1;
    std::string title;
};

class RecordingHost : public IProjectAreaHost {
public:
    void ShowSelectedPages(const CSelNodesCol& pages, CPageNode* pNode, BOOL bFullPath,
                           const CString& strTitle) override
    {
        ShownPages s;
        for (POSITION pos = pages.GetHeadPosition(); pos != nullptr;)
            s.pages.push_back(pages.GetNext(pos));
        s.node = pNode;
        s.fullPath = bFullPath;
        s.title = static_cast<LPCTSTR>(strTitle);
        shown.push_back(s);
    }
    std::vector<ShownPages> shown;
};

std::vector<CPageNode*> Selection(CVostrelAppModel& model)
{
    std::vector<CPageNode*> v;
    for (POSITION pos = model.GetSelectedNodes().GetHeadPosition(); pos != nullptr;)
        v.push_back(model.GetSelectedNodes().GetNext(pos));
    return v;
}

class ProjectAreaTest : public PanesTest {
protected:
    void SetUp() override
    {
        PanesTest::SetUp();
        ASSERT_TRUE(bar.Create(frame, "Project Area", WS_VISIBLE | CBRS_LEFT | CBRS_SIZE_DYNAMIC, 0, 0xE905));
        bar.SetHost(&host);
        bar.SetWindowPos(nullptr, 0, 0, 200, 300, SWP_NOZORDER);
    }
    void TearDown() override
    {
        bar.DestroyWindow();
        PanesTest::TearDown();
    }
    HTREEITEM Child(HTREEITEM item, int n)
    {
        CFilesInTreeCtrl& tree = bar.GetTree();
        HTREEITEM h = tree.GetChildItem(item);
        while (h != nullptr && n-- > 0)
            h = tree.GetNextSiblingItem(h);
        return h;
    }

    // A point on an item's label, in the tree's client coordinates.
    CPoint OnLabel(HTREEITEM item)
    {
        CFilesInTreeCtrl& tree = bar.GetTree();
        CRect client;
        tree.GetClientRect(&client);
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x) {
                UINT flags = 0;
                if (tree.HitTest(CPoint(x, y), &flags) == item && (flags & TVHT_ONITEMLABEL))
                    return CPoint(x + 2, y + 2);
            }
        ADD_FAILURE() << "no label on screen";
        return CPoint(0, 0);
    }

    CFileViewControlBar bar;
    RecordingHost host;
};

TEST_F(ProjectAreaTest, TreeHoldsRootAndFoldersWithTheirTextsImagesAndNodes)
{
    CPageNode* root = MakeSite();
    bar.AddRootNode(root);
    CFilesInTreeCtrl& tree = bar.GetTree();

    HTREEITEM hRoot = tree.GetRootItem();
    ASSERT_NE(hRoot, nullptr);
    EXPECT_EQ(tree.GetNextSiblingItem(hRoot), nullptr);
    EXPECT_STREQ(tree.GetItemText(hRoot), "All files");
    EXPECT_EQ(tree.GetItemData(hRoot), reinterpret_cast<DWORD_PTR>(root));

    // Pages never get an item: the root's only child is the folder.
    HTREEITEM hSub = Child(hRoot, 0);
    ASSERT_NE(hSub, nullptr);
    EXPECT_EQ(Child(hRoot, 1), nullptr);
    EXPECT_STREQ(tree.GetItemText(hSub), "sub");
    EXPECT_EQ(tree.GetItemData(hSub), reinterpret_cast<DWORD_PTR>(sub));
    HTREEITEM hDeep = Child(hSub, 0);
    ASSERT_NE(hDeep, nullptr);
    EXPECT_STREQ(tree.GetItemText(hDeep), "deep");
    EXPECT_EQ(Child(hDeep, 0), nullptr);
    EXPECT_TRUE(tree.GetItemState(hRoot, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_TRUE(tree.GetItemState(hSub, TVIS_EXPANDED) & TVIS_EXPANDED);

    TV_ITEM item{};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = hRoot;
    ASSERT_TRUE(tree.GetItem(&item));
    EXPECT_EQ(item.iImage, bar.GetRootImage());
    EXPECT_EQ(item.iSelectedImage, bar.GetRootImage());
    item.hItem = hSub;
    ASSERT_TRUE(tree.GetItem(&item));
    EXPECT_EQ(item.iImage, bar.GetFolderImage());
    EXPECT_EQ(item.iSelectedImage, bar.GetOpenFolderImage());
    EXPECT_NE(bar.GetFolderImage(), bar.GetOpenFolderImage());

    // The images let the tree's background show around them and keep their black outlines.
    CImageList* pImages = tree.GetImageList(LVSIL_NORMAL);
    ASSERT_NE(pImages, nullptr);
    CDC screen;
    screen.Attach(::GetDC(nullptr));
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    CBitmap surface;
    ASSERT_TRUE(surface.CreateCompatibleBitmap(&screen, 16, 16));
    CBitmap* pOld = dc.SelectObject(&surface);
    dc.FillSolidRect(0, 0, 16, 16, RGB(255, 255, 255));
    ASSERT_TRUE(pImages->Draw(&dc, bar.GetFolderImage(), CPoint(0, 0), ILD_NORMAL));
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(0, 4), RGB(0, 0, 0));
    dc.SelectObject(pOld);
    ::ReleaseDC(nullptr, screen.Detach());

    bar.ClearTree();
    EXPECT_EQ(tree.GetRootItem(), nullptr);
}

TEST_F(ProjectAreaTest, EachNodeShowsItsOwnPagesWithTitleAndPathFlag)
{
    CPageNode* root = MakeSite();
    bar.AddRootNode(root);
    CFilesInTreeCtrl& tree = bar.GetTree();

    // The root: every page of the tree, depth first in list order, with full paths.
    tree.ShowAllFiles();
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].pages, (std::vector<CPageNode*>{a, b, c, d}));
    EXPECT_EQ(Selection(model), host.shown[0].pages);
    EXPECT_EQ(host.shown[0].fullPath, TRUE);
    EXPECT_EQ(host.shown[0].title, "(Untitled) : All files");

    // A folder: its own pages only, not its sub-folders'; names only.
    auto settings = std::make_unique<CProjectSettings>();
    settings->SetProjectFilePath("/home/u/projects/my site.vsp");
    model.SetProjectSettings(std::move(settings));
    ASSERT_TRUE(tree.SelectItem(Child(tree.GetRootItem(), 0)));
    ASSERT_EQ(host.shown.size(), 2u);
    EXPECT_EQ(host.shown[1].pages, (std::vector<CPageNode*>{b}));
    EXPECT_EQ(Selection(model), (std::vector<CPageNode*>{b}));
    EXPECT_EQ(host.shown[1].node, sub);
    EXPECT_EQ(host.shown[1].fullPath, FALSE);
    EXPECT_EQ(host.shown[1].title, "my site.vsp : Files in '/site/sub'");

    CString title;
    bar.MakeTitle(nullptr, title);
    EXPECT_STREQ(title, "my site.vsp : Assorted Files");
    bar.MakeTitle(c, title);
    EXPECT_STREQ(title, "my site.vsp : ");
}

TEST_F(ProjectAreaTest, RootWithOnlyPagesIsOneItemShowingThemAll)
{
    auto* root = new CPageNode;
    model.GetPageCol().InitRootNode("/flat", root);
    model.GetPageCol().AddTail(root);
    CPageNode* p1 = Add(root, CPageNode::kindPage, "1.htm");
    CPageNode* p2 = Add(root, CPageNode::kindPage, "2.htm");
    bar.AddRootNode(root);
    CFilesInTreeCtrl& tree = bar.GetTree();
    ASSERT_NE(tree.GetRootItem(), nullptr);
    EXPECT_EQ(tree.GetChildItem(tree.GetRootItem()), nullptr);
    tree.ShowAllFiles();
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].pages, (std::vector<CPageNode*>{p1, p2}));

    // An empty tree shows nothing and leaves the selection alone.
    bar.ClearTree();
    tree.ShowAllFiles();
    EXPECT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(Selection(model), (std::vector<CPageNode*>{p1, p2}));
}

TEST_F(ProjectAreaTest, BusyProgramKeepsTheSelectionBeingWorkedOn)
{
    CPageNode* root = MakeSite();
    bar.AddRootNode(root);
    CFilesInTreeCtrl& tree = bar.GetTree();
    tree.ShowAllFiles();
    ASSERT_EQ(host.shown.size(), 1u);

    for (UINT state : {CVostrelAppModel::runScanning, CVostrelAppModel::runBusy}) {
        model.SetRunState(state);
        // A click on the folder is refused: the highlight stays where it was.
        HTREEITEM hRoot = tree.GetRootItem();
        ASSERT_TRUE(tree.SelectItem(hRoot));
        const CPoint label = OnLabel(Child(hRoot, 0));
        backend->Click(1, At(tree.m_hWnd, label.x, label.y));
        backend->ProcessMessages();
        EXPECT_EQ(tree.GetSelectedItem(), hRoot);
        // Nor does Scan Files on the folder, nor a change made from code.
        ::SetCursorPos(At(tree.m_hWnd, label.x, label.y).x, At(tree.m_hWnd, label.x, label.y).y);
        CMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        bar.OnExtendContextMenu(&menu);
        menu.DestroyMenu();
        bar.SendMessage(WM_COMMAND, CFileViewControlBar::kCmdScanFiles, 0);
        EXPECT_FALSE(tree.ShowNodePages(sub));
        EXPECT_EQ(Selection(model), (std::vector<CPageNode*>{a, b, c, d}));
        EXPECT_EQ(host.shown.size(), 1u);
    }

    model.SetRunState(CVostrelAppModel::runIdle);
    EXPECT_TRUE(tree.ShowNodePages(sub));
    EXPECT_EQ(Selection(model), (std::vector<CPageNode*>{b}));
}

TEST_F(ProjectAreaTest, ContextMenuOffersScanFilesOnAFolderAndNewProjectElsewhere)
{
    CPageNode* root = MakeSite();
    bar.AddRootNode(root);
    CFilesInTreeCtrl& tree = bar.GetTree();
    auto itemsAt = [&](POINT screen) {
        ::SetCursorPos(screen.x, screen.y);
        CMenu menu;
        EXPECT_TRUE(menu.CreatePopupMenu());
        bar.OnExtendContextMenu(&menu);
        std::vector<UINT> ids;
        for (int i = 0; i < static_cast<int>(menu.GetMenuItemCount()); ++i)
            ids.push_back(menu.GetMenuItemID(i));
        menu.DestroyMenu();
        return ids;
    };
    const CPoint label = OnLabel(Child(tree.GetRootItem(), 0));
    std::vector<UINT> onFolder = itemsAt(At(tree.m_hWnd, label.x, label.y));
    ASSERT_FALSE(onFolder.empty());
    EXPECT_EQ(onFolder.back(), CFileViewControlBar::kCmdScanFiles);
    EXPECT_EQ(onFolder[onFolder.size() - 2], 0u);  // the separator before it

    CRect client;
    tree.GetClientRect(&client);
    std::vector<UINT> onNothing = itemsAt(At(tree.m_hWnd, client.right - 3, client.bottom - 3));
    ASSERT_FALSE(onNothing.empty());
    EXPECT_EQ(onNothing.back(), CFileViewControlBar::kCmdNewProject);

    // Scan Files on the folder picked last shows its pages.
    itemsAt(At(tree.m_hWnd, label.x, label.y));
    bar.SendMessage(WM_COMMAND, CFileViewControlBar::kCmdScanFiles, 0);
    ASSERT_FALSE(host.shown.empty());
    EXPECT_EQ(host.shown.back().pages, (std::vector<CPageNode*>{b}));
    backend->ProcessMessages();
}

} // namespace

namespace {

// How many pixels of a window, as its top-level window shows them, are not the window
// background: what the tree has drawn there, its border included.
int InkIn(HeadlessBackend& backend, CWnd& top, CWnd& wnd)
{
    top.UpdateWindow();
    backend.ProcessMessages();
    cairo_surface_t* shot = backend.Capture(top.m_hWnd);
    if (shot == nullptr)
        return -1;
    cairo_surface_flush(shot);
    CRect frame, rect;
    top.GetWindowRect(&frame);
    wnd.GetWindowRect(&rect);
    rect.OffsetRect(-frame.left, -frame.top);
    const COLORREF back = ::GetSysColor(COLOR_WINDOW);
    const uint32_t background = (GetRValue(back) << 16) | (GetGValue(back) << 8) | GetBValue(back);
    const int width = cairo_image_surface_get_width(shot);
    const int height = cairo_image_surface_get_height(shot);
    int ink = 0;
    for (int y = std::max<int>(rect.top, 0); y < std::min<int>(rect.bottom, height); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(shot) +
                                                            y * cairo_image_surface_get_stride(shot));
        for (int x = std::max<int>(rect.left, 0); x < std::min<int>(rect.right, width); ++x)
            ink += (row[x] & 0xFFFFFF) != background;
    }
    cairo_surface_destroy(shot);
    return ink;
}

} // namespace

// Maximising and restoring the main window lay the docked panes out again and repaint the ones
// that changed at once; the frame's own repaint, due afterwards, must not wipe them.
TEST_F(VostrelAppTest, TheProjectTreeStaysDrawnWhenTheMainWindowIsMaximisedAndRestored)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    CFileViewControlBar* bar = frame.GetProjectAreaBar();
    ASSERT_NE(bar, nullptr);
    frame.ShowControlBar(bar, TRUE, FALSE);
    frame.RecalcLayout();
    CPageNode root;
    root.SetKind(CPageNode::kindRoot);
    root.SetName("/site");
    CPageNode sub;
    sub.SetKind(CPageNode::kindFolder);
    sub.SetName("sub");
    sub.SetParent(&root);
    root.AddChild(&sub);
    bar->AddRootNode(&root);
    CFilesInTreeCtrl& tree = bar->GetTree();
    const int shown = InkIn(*backend, frame, tree);
    ASSERT_GT(shown, 0) << "the tree shows its border and items";

    const CRect before = [&] {
        CRect r;
        tree.GetWindowRect(&r);
        return r;
    }();
    frame.ShowWindow(SW_MAXIMIZE);
    backend->ProcessMessages();
    CRect grown;
    tree.GetWindowRect(&grown);
    ASSERT_GT(grown.Height(), before.Height()) << "the pane grew with the window";
    EXPECT_GE(InkIn(*backend, frame, tree), shown) << "maximised";

    frame.ShowWindow(SW_RESTORE);
    backend->ProcessMessages();
    EXPECT_GE(InkIn(*backend, frame, tree), shown) << "restored";

    bar->ClearTree();
    root.GetChildren().RemoveAll();
    Stop();
}
