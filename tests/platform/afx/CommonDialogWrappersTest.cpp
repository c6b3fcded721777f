// The common dialogs as objects: the file dialog's filter written with '|' and the chosen path
// taken apart; the find dialog telling its owner of each request, found again from the
// message, and deleting itself when closed.
#include "platform/afx/dlg/CFileDialog.h"
#include "platform/afx/dlg/CFindReplaceDialog.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/support/CommonDialogAutomation.h"
#include "tests/support/ScopedTempDir.h"

#include <string>
#include <vector>

namespace {

class CommonDialogWrappersTest : public AfxTest {
protected:
    void Pump()
    {
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (CWnd::WalkPreTranslateTree(nullptr, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
};

TEST_F(CommonDialogWrappersTest, FileDialogTakesFiltersWithBarsAndGivesThePathApart)
{
    ScopedTempDir dir;
    dir.WriteFile("index.html", "<html></html>");
    dir.WriteFile("notes.txt", "x");
    {
        CFileDialog dlg(TRUE, "html", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR,
                        "HTML Files (*.htm;*.html)|*.htm;*.html|All Files (*.*)|*.*||", top.get());
        dlg.m_ofn.lpstrInitialDir = dir.Path().c_str();
        SeenFileDialog seen;
        PickFile(*backend, "index.html", &seen);
        ASSERT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(seen.types, (std::vector<std::string>{"HTML Files (*.htm;*.html)", "All Files (*.*)"}));
        EXPECT_EQ(seen.files, std::vector<std::string>{"index.html"}) << "the first type's files";
        EXPECT_EQ(dlg.GetPathName(), CString(dir.File("index.html").c_str()));
        EXPECT_EQ(dlg.GetFileName(), "index.html");
        EXPECT_EQ(dlg.GetFileExt(), "html");
        EXPECT_EQ(dlg.GetFileTitle(), "index");
        POSITION pos = dlg.GetStartPosition();
        EXPECT_EQ(dlg.GetNextPathName(pos), dlg.GetPathName());
        EXPECT_EQ(pos, nullptr);
    }
    {
        CFileDialog save(FALSE, "html", "draft", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR, nullptr, top.get());
        save.m_ofn.lpstrInitialDir = dir.Path().c_str();
        PickFile(*backend, "page");
        ASSERT_EQ(save.DoModal(), IDOK);
        EXPECT_EQ(save.GetFileName(), "page.html") << "the default extension is added";
    }
    {
        CFileDialog cancelled(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_NOCHANGEDIR, nullptr, top.get());
        cancelled.m_ofn.lpstrInitialDir = dir.Path().c_str();
        PickFile(*backend, "");
        EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
        EXPECT_EQ(cancelled.GetPathName(), "");
    }
}

// A window that handles the find dialog's requests as an editor would.
class CFindOwner : public CWnd {
public:
    struct Request {
        CFindReplaceDialog* from;
        std::string text;
        bool findNext;
        bool down;
        bool terminating;
    };
    std::vector<Request> requests;

protected:
    LRESULT OnFindReplace(WPARAM, LPARAM lParam)
    {
        CFindReplaceDialog* dlg = CFindReplaceDialog::GetNotifier(lParam);
        if (dlg)
            requests.push_back({dlg, dlg->GetFindString().GetString(), dlg->FindNext() != FALSE,
                                dlg->SearchDown() != FALSE, dlg->IsTerminating() != FALSE});
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

const UINT g_findMessage = RegisterWindowMessage(FINDMSGSTRING);

BEGIN_MESSAGE_MAP(CFindOwner, CWnd)
    ON_REGISTERED_MESSAGE(g_findMessage, &CFindOwner::OnFindReplace)
END_MESSAGE_MAP()

int g_findDialogsDeleted = 0;

class CCountedFindDialog : public CFindReplaceDialog {
public:
    ~CCountedFindDialog() override { ++g_findDialogsDeleted; }
};

TEST_F(CommonDialogWrappersTest, FindDialogReportsToItsOwnerAndGoesWhenClosed)
{
    CFindOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "Editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                               nullptr));
    g_findDialogsDeleted = 0;
    auto* dlg = new CCountedFindDialog;
    ASSERT_TRUE(dlg->Create(TRUE, "meta", nullptr, FR_DOWN, &owner));
    HWND h = dlg->m_hWnd;
    ASSERT_TRUE(IsWindow(h));
    EXPECT_EQ(CWnd::FromHandlePermanent(h), dlg);
    EXPECT_EQ(CFindReplaceDialog::GetNotifier(0), nullptr);
    Pump();

    // Enter on the dialog (through the application's loop) is Find Next, and the dialog stays.
    backend->Click(1, dialog_automation::CentreOf(GetDlgItem(h, edt1)));
    backend->Key(VK_END);
    dialog_automation::Type(*backend, "s");
    backend->Key(VK_RETURN, "\r");
    Pump();
    ASSERT_EQ(owner.requests.size(), 1u);
    EXPECT_EQ(owner.requests[0].from, dlg);
    EXPECT_EQ(owner.requests[0].text, "metas");
    EXPECT_TRUE(owner.requests[0].findNext);
    EXPECT_TRUE(owner.requests[0].down);
    EXPECT_TRUE(IsWindowVisible(h));

    // Cancel ends it: the owner hears, the window goes and the object with it.
    backend->Click(1, dialog_automation::CentreOf(GetDlgItem(h, IDCANCEL)));
    Pump();
    ASSERT_EQ(owner.requests.size(), 2u);
    EXPECT_TRUE(owner.requests[1].terminating);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(g_findDialogsDeleted, 1);

    // One deleted while open takes its window without deleting itself twice.
    auto* early = new CCountedFindDialog;
    ASSERT_TRUE(early->Create(FALSE, "a", "b", FR_DOWN, &owner));
    HWND earlyWindow = early->m_hWnd;
    delete early;
    EXPECT_FALSE(IsWindow(earlyWindow));
    EXPECT_EQ(g_findDialogsDeleted, 2);
    owner.DestroyWindow();
}

} // namespace
