// Documents, views, frames and templates together: the route of a command from an accelerator
// through the view, the document, the frame and the application; titles; the message bar;
// menus updated before they open; tool tips answered by the frame; a document opened from the
// command line, saved, and closed with its frame.
#include "platform/afx/app/CCommandLineInfo.h"
#include "platform/afx/app/CRecentFileList.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CDocManager.h"
#include "platform/afx/doc/CDocTemplate.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/afx/wnd/AfxThreadState.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/ToolTip.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/platform/afx/data/NotesIds.h"
#include "tests/support/CommonDialogAutomation.h"
#include "tests/support/DialogAutomation.h"
#include "tests/support/ScopedTempDir.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_route;
bool g_lockedEnabled = false;

class CNoteDoc : public CDocument {
    DECLARE_DYNCREATE(CNoteDoc)
public:
    CString text;
    static int alive;
    CNoteDoc() { ++alive; }
    ~CNoteDoc() override { --alive; }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << text;
        else
            ar >> text;
    }
    void DeleteContents() override { text.Empty(); }
    void OnDoc() { g_route.push_back("doc"); }
    void OnShared() { g_route.push_back("doc shared"); }
    void OnLocked() { g_route.push_back("doc locked"); }
    void OnUpdateLocked(CCmdUI* pCmdUI) { pCmdUI->Enable(g_lockedEnabled); }
    DECLARE_MESSAGE_MAP()
};
int CNoteDoc::alive = 0;

IMPLEMENT_DYNCREATE(CNoteDoc, CDocument)
BEGIN_MESSAGE_MAP(CNoteDoc, CDocument)
    ON_COMMAND(ID_NOTE_DOC, &CNoteDoc::OnDoc)
    ON_COMMAND(ID_NOTE_SHARED, &CNoteDoc::OnShared)
    ON_COMMAND(ID_NOTE_LOCKED, &CNoteDoc::OnLocked)
    ON_UPDATE_COMMAND_UI(ID_NOTE_LOCKED, &CNoteDoc::OnUpdateLocked)
END_MESSAGE_MAP()

class CNoteView : public CView {
    DECLARE_DYNCREATE(CNoteView)
public:
    static int initialUpdates;
    static std::string shownText;
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override
    {
        ++initialUpdates;
        shownText = static_cast<CNoteDoc*>(GetDocument())->text.GetString();
        CView::OnInitialUpdate();
    }
    void OnView() { g_route.push_back("view"); }
    DECLARE_MESSAGE_MAP()
};
int CNoteView::initialUpdates = 0;
std::string CNoteView::shownText;

IMPLEMENT_DYNCREATE(CNoteView, CView)
BEGIN_MESSAGE_MAP(CNoteView, CView)
    ON_COMMAND(ID_NOTE_VIEW, &CNoteView::OnView)
END_MESSAGE_MAP()

class CNoteFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CNoteFrame)
public:
    CWnd status;
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        status.Create(STATUSCLASSNAME, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, AFX_IDW_STATUS_BAR);
        return 0;
    }
    void OnFrame() { g_route.push_back("frame"); }
    void OnShared() { g_route.push_back("frame shared"); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CNoteFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CNoteFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_NOTE_FRAME, &CNoteFrame::OnFrame)
    ON_COMMAND(ID_NOTE_SHARED, &CNoteFrame::OnShared)
END_MESSAGE_MAP()

class CNotesApp : public CWinApp {
public:
    CNotesApp() : CWinApp("Notes") {}
    void OnApp() { g_route.push_back("app"); }
    void OnShared() { g_route.push_back("app shared"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNotesApp, CWinApp)
    ON_COMMAND(ID_NOTE_APP, &CNotesApp::OnApp)
    ON_COMMAND(ID_NOTE_SHARED, &CNotesApp::OnShared)
    ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
END_MESSAGE_MAP()

class DocFrameTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        env.emplace("XDG_CONFIG_HOME", dir.Path());
        g_route.clear();
        g_lockedEnabled = false;
        CNoteView::initialUpdates = 0;
        app = std::make_unique<CNotesApp>();
        app->AddDocTemplate(new CSingleDocTemplate(IDR_NOTES, RUNTIME_CLASS(CNoteDoc), RUNTIME_CLASS(CNoteFrame),
                                                   RUNTIME_CLASS(CNoteView)));
        app->LoadStdProfileSettings(4);
    }
    void TearDown() override
    {
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd)
            app->m_pMainWnd->DestroyWindow();
        app.reset();
        EXPECT_EQ(CNoteDoc::alive, 0) << "every document went with its frame";
        MSG quit;   // the quit the main window posted must not end the next test's loops
        ::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        env.reset();
        AfxTest::TearDown();
    }
    CNoteFrame* Frame() { return static_cast<CNoteFrame*>(app->m_pMainWnd); }
    CNoteDoc* Doc() { return static_cast<CNoteDoc*>(Frame()->GetActiveDocument()); }
    std::string WriteNote(const std::string& name, const std::string& text)
    {
        const std::string path = dir.Path() + "/" + name;
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        ar << CString(text.c_str());
        ar.Close();
        file.Close();
        return path;
    }
    std::string Title()
    {
        CString text;
        Frame()->GetWindowText(text);
        return text.GetString();
    }
    std::string StatusText()
    {
        CString text;
        Frame()->status.GetWindowText(text);
        return text.GetString();
    }

    ScopedTempDir dir;
    std::optional<ScopedEnv> env;
    std::unique_ptr<CNotesApp> app;
};

} // namespace

TEST_F(DocFrameTest, CommandsGoThroughViewDocumentFrameAndApplicationInThatOrder)
{
    app->OnFileNew();
    ASSERT_NE(app->m_pMainWnd, nullptr);
    CNoteFrame* frame = Frame();
    ASSERT_NE(frame->GetActiveView(), nullptr);
    for (UINT id : {ID_NOTE_VIEW, ID_NOTE_DOC, ID_NOTE_FRAME, ID_NOTE_APP, ID_NOTE_SHARED})
        frame->SendMessage(WM_COMMAND, id, 0);
    EXPECT_EQ(g_route, (std::vector<std::string>{"view", "doc", "frame", "app", "doc shared"}))
        << "the document comes before the frame and the application";

    // An accelerator pressed in the view reaches the same route through the frame's table.
    g_route.clear();
    MSG key{};
    key.hwnd = frame->GetActiveView()->m_hWnd;
    key.message = WM_KEYDOWN;
    key.wParam = VK_F5;
    EXPECT_TRUE(app->PreTranslateMessage(&key));
    key.wParam = VK_F6;   // a disabled command: the accelerator is eaten, nothing runs
    app->PreTranslateMessage(&key);
    frame->PostMessage(WM_COMMAND, ID_NOTE_LOCKED, 0);
    backend->ProcessMessages();
    EXPECT_EQ(g_route, std::vector<std::string>{"doc shared"});
    g_lockedEnabled = true;
    app->PreTranslateMessage(&key);
    EXPECT_EQ(g_route, (std::vector<std::string>{"doc shared", "doc locked"}));
}

TEST_F(DocFrameTest, MenusAreUpdatedBeforeTheyOpenAndTheMessageBarSaysReady)
{
    app->OnFileNew();
    CNoteFrame* frame = Frame();
    EXPECT_EQ(StatusText(), "Ready");
    CMenu* menu = frame->GetMenu();
    ASSERT_NE(menu, nullptr);
    CMenu* notes = menu->GetSubMenu(1);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(notes->m_hMenu), 1);
    EXPECT_FALSE(notes->GetMenuState(ID_NOTE_VIEW, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(notes->GetMenuState(ID_NOTE_DOC, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(notes->GetMenuState(ID_NOTE_LOCKED, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(notes->GetMenuState(ID_NOTE_NOBODY, MF_BYCOMMAND) & MF_GRAYED) << "no handler anywhere";
    CMenu* file = menu->GetSubMenu(0);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->m_hMenu), 0);
    EXPECT_TRUE(file->GetMenuState(ID_FILE_MRU_FILE1, MF_BYCOMMAND) & MF_GRAYED) << "no recent files yet";

    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_NOTE_DOC, MF_STRING), reinterpret_cast<LPARAM>(notes->m_hMenu));
    EXPECT_EQ(StatusText(), "Works on the note");
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_NOTE_SHARED, MF_STRING), reinterpret_cast<LPARAM>(notes->m_hMenu));
    EXPECT_EQ(StatusText(), "Does the shared thing") << "the prompt stops at the line break";
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(StatusText(), "Ready");
    CMenu::DeleteTempMap();
}

TEST_F(DocFrameTest, TitlesFollowTheDocumentAndTheLayoutWaitsForIdle)
{
    app->OnFileNew();
    CNoteFrame* frame = Frame();
    EXPECT_EQ(Title(), "Untitled - Notes");
    Doc()->SetPathName("/notes/todo.note", FALSE);
    EXPECT_EQ(Title(), "Untitled - Notes") << "titles change at idle time";
    app->OnIdle(0);
    EXPECT_EQ(Title(), "todo.note - Notes");
    frame->m_nWindow = 2;
    frame->OnUpdateFrameTitle(TRUE);
    EXPECT_EQ(Title(), "todo.note:2 - Notes");
    frame->ModifyStyle(FWS_PREFIXTITLE, 0);
    frame->OnUpdateFrameTitle(TRUE);
    EXPECT_EQ(Title(), "Notes - todo.note:2");

    // The view fills what bars leave (the plain status control is no bar); a delayed layout
    // happens at idle.
    CRect client, view;
    frame->GetClientRect(&client);
    frame->GetActiveView()->GetWindowRect(&view);
    EXPECT_EQ(view.Height(), client.Height());
    frame->m_rectBorder = CRect(0, 10, 0, 0);
    frame->DelayRecalcLayout();
    CRect same;
    frame->GetActiveView()->GetWindowRect(&same);
    EXPECT_EQ(same, view);
    app->OnIdle(0);
    frame->GetActiveView()->GetWindowRect(&same);
    EXPECT_EQ(same.top, view.top + 10);
}

TEST_F(DocFrameTest, ADocumentNamedOnTheCommandLineOpensAndAMissingOneGivesAMessage)
{
    const std::string path = WriteNote("plan.note", "first line");
    const char* argv[] = {"notes", path.c_str()};
    app->SetCommandLine(2, const_cast<char**>(argv));
    CCommandLineInfo info;
    app->ParseCommandLine(info);
    ASSERT_TRUE(app->ProcessShellCommand(info));
    ASSERT_NE(app->m_pMainWnd, nullptr);
    EXPECT_EQ(Doc()->text, "first line");
    EXPECT_EQ(CNoteView::shownText, "first line") << "the view filled itself once the document was read";
    EXPECT_EQ(CNoteView::initialUpdates, 1);
    EXPECT_EQ(Title(), "plan.note - Notes");
    EXPECT_EQ((*app->m_pRecentFileList)[0], path.c_str());

    // A change saved through the command replaces the file whole.
    Doc()->text = "second line";
    Doc()->SetModifiedFlag();
    Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE, 0);
    EXPECT_FALSE(Doc()->IsModified());
    app->OpenDocumentFile(WriteNote("other.note", "other").c_str());
    EXPECT_EQ(Doc()->text, "other") << "one document at a time, in the same frame";
    app->OpenDocumentFile(path.c_str());
    EXPECT_EQ(Doc()->text, "second line");

    // A file that is gone: a message, and the document open before stays usable.
    SeenMessageBox seen;
    AnswerMessageBox(*backend, IDOK, &seen);
    EXPECT_EQ(app->OpenDocumentFile((dir.Path() + "/gone.note").c_str()), nullptr);
    EXPECT_TRUE(seen.seen);
    EXPECT_NE(seen.text.find("gone.note"), std::string::npos) << seen.text;
    ASSERT_NE(app->m_pMainWnd, nullptr);
    EXPECT_EQ(CNoteDoc::alive, 1);

    // The file dialogs offer the template's kind of file first.
    CString ext;
    EXPECT_EQ(app->m_pDocManager->BuildFilter(nullptr, &ext), "Note Files (*.note)|*.note|All Files (*)|*||");
    EXPECT_EQ(ext, "note");
}

TEST_F(DocFrameTest, ClosingTheMainFrameAsksAboutChangesAndTakesTheDocumentAlong)
{
    app->OnFileNew();
    Doc()->text = "unsaved";
    Doc()->SetModifiedFlag();
    SeenMessageBox cancel;
    AnswerMessageBox(*backend, IDCANCEL, &cancel);
    Frame()->SendMessage(WM_CLOSE);
    EXPECT_EQ(cancel.text, "Save changes to Untitled?");
    ASSERT_NE(app->m_pMainWnd, nullptr) << "Cancel keeps the program open";
    HWND frame = Frame()->m_hWnd;
    SeenMessageBox no;
    AnswerMessageBox(*backend, IDNO, &no);
    Frame()->SendMessage(WM_CLOSE);
    EXPECT_TRUE(no.seen);
    EXPECT_FALSE(::IsWindow(frame));
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_EQ(CNoteDoc::alive, 0);
    MSG quit;
    EXPECT_TRUE(::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the program ends with its main window";
}

TEST_F(DocFrameTest, ToolTipsOfChildWindowsTakeTheirTextFromTheFrame)
{
    app->OnFileNew();
    CView* view = Frame()->GetActiveView();
    ASSERT_NE(view, nullptr);
    HWND button = ::CreateWindowEx(0, "Button", "S", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 40, 20,
                                   view->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_NOTE_SHARED)),
                                   nullptr, nullptr);
    ASSERT_TRUE(view->EnableToolTips(TRUE));
    CPoint inside(5, 5);
    EXPECT_EQ(view->OnToolHitTest(CPoint(15, 15), nullptr), static_cast<INT_PTR>(ID_NOTE_SHARED));
    EXPECT_EQ(view->OnToolHitTest(CPoint(100, 100), nullptr), -1);

    // A mouse move over the button, as the message loop offers it to the view.
    MSG move{};
    move.hwnd = button;
    move.message = WM_MOUSEMOVE;
    move.lParam = MAKELPARAM(inside.x, inside.y);
    backend->MouseMove(At(button, inside.x, inside.y));
    EXPECT_FALSE(view->PreTranslateMessage(&move));
    backend->Advance(GetDoubleClickTime() + 50);
    HWND tip = AfxGetThreadState()->m_hToolTip;
    ASSERT_TRUE(::IsWindow(tip));
    ASSERT_TRUE(::IsWindowVisible(tip));
    char text[80] = {};
    TOOLINFO info{sizeof(TOOLINFO), 0, nullptr, 0, {}, nullptr, text, 0, nullptr};
    ASSERT_TRUE(::SendMessage(tip, TTM_GETCURRENTTOOL, 0, reinterpret_cast<LPARAM>(&info)));
    info.lpszText = text;
    ::SendMessage(tip, TTM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, "Shared") << "the part of the command's string after the line break";
    view->EnableToolTips(FALSE);
}

TEST_F(DocFrameTest, SavingANewDocumentNamesItsFileThroughTheSaveDialog)
{
    app->OnFileNew();
    Doc()->text = "kept";
    Doc()->SetModifiedFlag();
    SeenFileDialog seen;
    PickFile(*backend, dir.Path() + "/saved", &seen);
    Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE, 0);
    ASSERT_TRUE(seen.seen);
    ASSERT_FALSE(seen.types.empty());
    EXPECT_EQ(seen.types.front(), "Note Files (*.note)");
    const std::string path = dir.Path() + "/saved.note";
    EXPECT_EQ(Doc()->GetPathName(), path.c_str()) << "the template's extension is added";
    EXPECT_FALSE(Doc()->IsModified());
    app->OnIdle(0);
    EXPECT_EQ(Title(), "saved.note - Notes");
    CNoteDoc* doc = Doc();
    EXPECT_EQ(app->OpenDocumentFile(path.c_str()), doc) << "a file already open is not opened twice";

    // The file holds what was saved.
    doc->text.Empty();
    doc->SetModifiedFlag(FALSE);
    app->OpenDocumentFile(WriteNote("other.note", "x").c_str());
    app->OpenDocumentFile(path.c_str());
    EXPECT_EQ(Doc()->text, "kept");
}
