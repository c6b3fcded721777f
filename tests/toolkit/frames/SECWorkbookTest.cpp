// The workbook: one tab per sheet below the MDI client, widths shared out and capped, the width
// kept when the last sheet goes, a click on a tab activating its sheet, and long titles
// shortened to their tab.
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/gdi/CDC.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/support/ScopedTempDir.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/frames/SECControlBarMDIChildWnd.h"
#include "toolkit/frames/SECMultiDocTemplate.h"
#include "toolkit/frames/SECWorkbook.h"

#include <optional>

namespace {

class CSheetDoc : public CDocument {
    DECLARE_DYNCREATE(CSheetDoc)
};
IMPLEMENT_DYNCREATE(CSheetDoc, CDocument)

class CSheetView : public CView {
    DECLARE_DYNCREATE(CSheetView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CSheetView, CView)

// A workbook whose shortening can be asked directly.
class OpenWorkbook : public SECWorkbook {
public:
    using SECWorkbook::ShortenedTitle;
};

class SECWorkbookTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        env.emplace("XDG_CONFIG_HOME", dir.Path());
        app.emplace("WorkbookTest");
        tmpl = new SECMultiDocTemplate(30800, RUNTIME_CLASS(CSheetDoc), RUNTIME_CLASS(SECWorksheet), RUNTIME_CLASS(CSheetView));
        app->AddDocTemplate(tmpl);
        book = new OpenWorkbook;
        ASSERT_TRUE(book->Create(nullptr, "Book", WS_POPUP | WS_VISIBLE, CRect(0, 0, 600, 400)));
        app->m_pMainWnd = book;
        book->SetShowTabs(TRUE);
    }
    void TearDown() override
    {
        if (book && ::IsWindow(book->m_hWnd))
            book->DestroyWindow();
        app.reset();
        MSG quit;
        ::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        env.reset();
        AfxTest::TearDown();
    }
    SECWorksheet* Open()
    {
        CDocument* doc = tmpl->OpenDocumentFileEx(nullptr, TRUE, FALSE, 0);
        POSITION pos = doc ? doc->GetFirstViewPosition() : nullptr;
        return pos ? dynamic_cast<SECWorksheet*>(doc->GetNextView(pos)->GetParentFrame()) : nullptr;
    }

    ScopedTempDir dir;
    std::optional<ScopedEnv> env;
    std::optional<CWinApp> app;
    SECMultiDocTemplate* tmpl = nullptr;
    OpenWorkbook* book = nullptr;
};

}   // namespace

TEST_F(SECWorkbookTest, TabsShareTheClientWidthAndKeepItWhenTheLastSheetGoes)
{
    EXPECT_EQ(book->GetTabWidth(), 100);
    SECWorksheet* a = Open();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(book->GetSheetCount(), 1);
    EXPECT_EQ(book->GetTabWidth(), 90) << "capped";
    SECWorksheet* b = Open();
    SECWorksheet* c = Open();
    ASSERT_TRUE(b && c);
    for (int i = 0; i < 6; ++i)
        Open();
    CRect client;
    ::GetClientRect(book->m_hWndMDIClient, &client);
    EXPECT_EQ(book->GetTabWidth(), std::min(90, (client.Width() + 5) / 9));
    EXPECT_EQ(c->m_nTabIndex, 2);

    // The tab strip lies below the client, and a click on a tab activates its sheet.
    POINT pts[7];
    book->GetTabPolygon(1, pts);
    const CPoint inside((pts[0].x + pts[5].x) / 2, (pts[0].y + pts[2].y) / 2);
    EXPECT_EQ(book->TabFromPoint(inside), 1);
    book->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inside.x, inside.y));
    book->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(inside.x, inside.y));
    EXPECT_EQ(book->MDIGetActive(), b);
    EXPECT_EQ(book->GetActiveTab(), 1);
    EXPECT_FALSE(b->m_bPressed);

    // Sheets going share the width again; when the last goes it stays, no division by zero.
    while (book->GetSheetCount() > 1)
        book->MDIGetActive()->DestroyWindow();
    EXPECT_EQ(book->GetTabWidth(), 90);
    book->MDIGetActive()->DestroyWindow();
    EXPECT_EQ(book->GetSheetCount(), 0);
    EXPECT_EQ(book->GetTabWidth(), 90);
}

TEST_F(SECWorkbookTest, LongTitlesAreShortenedToTheirTab)
{
    CClientDC dc(book);
    const CString title = "A rather long document title";
    const CString fits = book->ShortenedTitle(&dc, title, 1000);
    EXPECT_EQ(fits, title);
    const CString cut = book->ShortenedTitle(&dc, title, 60);
    EXPECT_LE(dc.GetTextExtent(cut).cx, 60);
    EXPECT_EQ(cut.Right(3), "...");
    EXPECT_EQ(title.Left(cut.GetLength() - 3), cut.Left(cut.GetLength() - 3));
    EXPECT_EQ(book->ShortenedTitle(&dc, "abc", 1), "abc") << "three characters are never cut";
}


TEST_F(SECWorkbookTest, ABarFloatedInTheClientBecomesASheetThatCloseHidesTheBarOf)
{
    book->EnableDocking(CBRS_ALIGN_ANY);
    auto* bar = new SECControlBar;
    bar->m_bAutoDelete = TRUE;
    ASSERT_TRUE(bar->Create(book, "Output Area", WS_VISIBLE | CBRS_BOTTOM | CBRS_SIZE_DYNAMIC,
                            0xF10 | CBRS_EX_STDCONTEXTMENU | CBRS_EX_ALLOW_MDI_FLOAT, 0xE910));
    bar->EnableDocking(CBRS_ALIGN_ANY);
    book->DockControlBar(bar, AFX_IDW_DOCKBAR_BOTTOM);
    book->RecalcLayout();

    bar->SendMessage(WM_COMMAND, ID_SEC_MDIFLOAT, 0);
    ASSERT_TRUE(bar->IsFloatingInMDIChild());
    auto* sheet = dynamic_cast<SECControlBarWorksheet*>(bar->GetParentFrame());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->TheBar(), bar);
    ASSERT_EQ(book->GetSheetCount(), 1);
    EXPECT_EQ(book->GetSheet(0), sheet);
    EXPECT_EQ(book->GetSheetTitle(0), CString("Output Area"));

    // Closing the sheet hides the bar and keeps the window for it to come back to.
    sheet->SendMessage(WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(sheet->m_hWnd));
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(book->GetSheetCount(), 1);

    // Back into the bottom side; the empty container goes with its tab.
    book->ShowControlBar(bar, TRUE, FALSE);
    bar->SendMessage(WM_COMMAND, ID_SEC_MDIFLOAT, 0);
    book->RecalcLayout();
    EXPECT_FALSE(bar->IsFloatingInMDIChild());
    EXPECT_EQ(bar->GetParent(), book->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    backend->ProcessMessages();
    EXPECT_EQ(book->GetSheetCount(), 0);
}
