// MDI frames of the framework: document windows made through the frame, the active one's menu
// on the frame's bar and its commands first in the routing, activation, maximising and cycling
// through the frame's calls and keys, and the frame's own menu back when the last one goes.
#include "platform/afx/frame/CMDIChildWnd.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "platform/controls/MdiClient.h"
#include "platform/win/VirtualKeys.h"
#include "tests/platform/afx/AfxFixture.h"

#include <string>
#include <vector>

namespace {

constexpr UINT kChildCommand = 31000;
constexpr UINT kFrameCommand = 31001;

std::vector<std::string>& Ran()
{
    static std::vector<std::string> ran;
    return ran;
}

class CTestChild : public CMDIChildWnd {
    DECLARE_DYNCREATE(CTestChild)
public:
    void OnChildCommand() { Ran().push_back("child " + std::to_string(GetDlgCtrlID() - AFX_IDM_FIRST_MDICHILD)); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestChild, CMDIChildWnd)
BEGIN_MESSAGE_MAP(CTestChild, CMDIChildWnd)
    ON_COMMAND(kChildCommand, &CTestChild::OnChildCommand)
END_MESSAGE_MAP()

class CTestFrame : public CMDIFrameWnd {
public:
    void OnFrameCommand() { Ran().push_back("frame"); }
    void OnChildCommandHere() { Ran().push_back("frame child command"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestFrame, CMDIFrameWnd)
    ON_COMMAND(kFrameCommand, &CTestFrame::OnFrameCommand)
    ON_COMMAND(kChildCommand, &CTestFrame::OnChildCommandHere)
END_MESSAGE_MAP()

HMENU MakeBar(const char* first)
{
    HMENU bar = ::CreateMenu();
    HMENU file = ::CreatePopupMenu();
    ::AppendMenu(file, MF_STRING, kFrameCommand, "&Frame");
    ::AppendMenu(file, MF_STRING, kChildCommand, "&Child");
    ::AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), first);
    HMENU window = ::CreatePopupMenu();
    ::AppendMenu(window, MF_STRING, ID_WINDOW_CASCADE, "&Cascade");
    ::AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "&Window");
    return bar;
}

class CMDIFrameWndTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        Ran().clear();
        frameMenu = MakeBar("&File");
        childMenu = MakeBar("&Document");
        frame = new CTestFrame;
        ASSERT_TRUE(frame->Create(nullptr, "Site", WS_OVERLAPPEDWINDOW | WS_VISIBLE | FWS_ADDTOTITLE,
                                  CRect(10, 10, 600, 420)));
        ::SetMenu(frame->m_hWnd, frameMenu);
        frame->m_hMenuDefault = frameMenu;
        frame->OnUpdateFrameMenu(nullptr);
        backend->ProcessMessages();
    }
    void TearDown() override
    {
        if (::IsWindow(frameHwnd()))
            frame->DestroyWindow();
        // The child's shared menu is the program's, not the frame's.
        if (::IsMenu(childMenu))
            ::DestroyMenu(childMenu);
        AfxTest::TearDown();
    }
    HWND frameHwnd() const { return frame ? frame->m_hWnd : nullptr; }
    CMDIChildWnd* NewChild()
    {
        return frame->CreateNewChild(RUNTIME_CLASS(CTestChild), 0, childMenu, nullptr);
    }

    CTestFrame* frame = nullptr;
    HMENU frameMenu = nullptr;
    HMENU childMenu = nullptr;
};

TEST_F(CMDIFrameWndTest, TheActiveChildsMenuAndCommandsComeFirst)
{
    ASSERT_NE(frame->m_hWndMDIClient, nullptr);
    EXPECT_EQ(::GetDlgCtrlID(frame->m_hWndMDIClient), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(frame->MDIGetActive(), nullptr);
    CMDIChildWnd* first = NewChild();
    CMDIChildWnd* second = NewChild();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->GetMDIFrame(), frame);
    EXPECT_EQ(frame->MDIGetActive(), second);
    EXPECT_EQ(frame->GetActiveFrame(), second);
    EXPECT_EQ(::GetMenu(frame->m_hWnd), childMenu) << "the active child's shared menu is on the bar";
    // The child list is in the shared menu's Window menu.
    HMENU window = ::GetSubMenu(childMenu, 1);
    EXPECT_EQ(::GetMenuItemCount(window), 4);
    // A command goes to the active child before the frame; one only the frame has reaches it.
    frame->SendMessage(WM_COMMAND, kChildCommand, 0);
    frame->SendMessage(WM_COMMAND, kFrameCommand, 0);
    EXPECT_EQ(Ran(), (std::vector<std::string>{"child 1", "frame"}));

    frame->MDIActivate(first);
    EXPECT_EQ(frame->MDIGetActive(), first);
    frame->MDINext();
    EXPECT_EQ(frame->MDIGetActive(), second);
    second->SetWindowText("about.html");
    frame->MDIMaximize(second);
    BOOL maximised = FALSE;
    EXPECT_EQ(frame->MDIGetActive(&maximised), second);
    EXPECT_TRUE(maximised);
    CString title;
    frame->GetWindowText(title);
    EXPECT_EQ(title, CString("Site - [about.html]"));
    // The frame's own title updates keep the maximised child's part.
    frame->OnUpdateFrameTitle(TRUE);
    frame->GetWindowText(title);
    EXPECT_EQ(title, CString("Site - [about.html]"));
    frame->MDIRestore(second);
    frame->MDIGetActive(&maximised);
    EXPECT_FALSE(maximised);

    // Closing both: the second closes through the client, then the last puts the frame's
    // own menu back.
    second->MDIDestroy();
    EXPECT_EQ(frame->MDIGetActive(), first);
    first->DestroyWindow();
    EXPECT_EQ(frame->MDIGetActive(), nullptr);
    EXPECT_EQ(::GetMenu(frame->m_hWnd), frameMenu);
    Ran().clear();
    frame->SendMessage(WM_COMMAND, kChildCommand, 0);
    EXPECT_EQ(Ran(), (std::vector<std::string>{"frame child command"}));
}

TEST_F(CMDIFrameWndTest, CtrlF6AndCtrlF4ReachTheChildrenThroughTheFrame)
{
    CMDIChildWnd* first = NewChild();
    CMDIChildWnd* second = NewChild();
    ASSERT_TRUE(first && second);
    auto pump = [&] {
        MSG msg;
        for (int i = 0; i < 500 && ::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (CWnd::WalkPreTranslateTree(frame->m_hWnd, &msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    };
    backend->KeyDown(VK_CONTROL);
    backend->Key(VK_F6);
    backend->KeyUp(VK_CONTROL);
    pump();
    EXPECT_EQ(frame->MDIGetActive(), first);
    backend->KeyDown(VK_CONTROL);
    backend->Key(VK_F4);
    backend->KeyUp(VK_CONTROL);
    pump();
    EXPECT_EQ(frame->MDIGetActive(), second);
    EXPECT_TRUE(::IsWindow(frame->m_hWnd));
}

} // namespace

// ---- Through a multiple-document template, as a program opens documents ----

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CDocTemplate.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "tests/platform/afx/data/NotesIds.h"
#include "platform/afx/doc/CDocManager.h"
#include "platform/controls/ListBoxDefs.h"
#include "tests/support/DialogAutomation.h"
#include "tests/support/ScopedTempDir.h"

#include <memory>
#include <optional>

namespace {

class CPageDoc : public CDocument {
    DECLARE_DYNCREATE(CPageDoc)
public:
    static int alive;
    CPageDoc() { ++alive; }
    ~CPageDoc() override { --alive; }
};
int CPageDoc::alive = 0;
IMPLEMENT_DYNCREATE(CPageDoc, CDocument)

class CPageView : public CView {
    DECLARE_DYNCREATE(CPageView)
public:
    void OnDraw(CDC*) override {}
    void OnView() { Ran().push_back(std::string("view of ") + GetDocument()->GetTitle().GetString()); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CPageView, CView)
BEGIN_MESSAGE_MAP(CPageView, CView)
    ON_COMMAND(ID_NOTE_VIEW, &CPageView::OnView)
END_MESSAGE_MAP()

class CPagesApp : public CWinApp {
public:
    CPagesApp() : CWinApp("Pages") {}
};

class MdiTemplateTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        env.emplace("XDG_CONFIG_HOME", dir.Path());
        Ran().clear();
        app = std::make_unique<CPagesApp>();
        app->AddDocTemplate(new CMultiDocTemplate(IDR_NOTES, RUNTIME_CLASS(CPageDoc), RUNTIME_CLASS(CMDIChildWnd),
                                                  RUNTIME_CLASS(CPageView)));
        frame = new CMDIFrameWnd;
        ASSERT_TRUE(frame->LoadFrame(IDR_NOTES));
        app->m_pMainWnd = frame;
        frame->ShowWindow(SW_SHOW);
        backend->ProcessMessages();
    }
    void TearDown() override
    {
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd)
            app->m_pMainWnd->DestroyWindow();
        app.reset();
        EXPECT_EQ(CPageDoc::alive, 0) << "every document went with its window";
        MSG quit;
        ::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        env.reset();
        AfxTest::TearDown();
    }

    ScopedTempDir dir;
    std::optional<ScopedEnv> env;
    std::unique_ptr<CPagesApp> app;
    CMDIFrameWnd* frame = nullptr;
};

} // namespace

TEST_F(MdiTemplateTest, DocumentsOpenInWindowsWithTheirViewsAndCloseWithThem)
{
    CDocTemplate* pages = app->m_pDocManager->GetTemplates().front();
    CDocument* first = pages->OpenDocumentFile(nullptr, TRUE);
    CDocument* second = pages->OpenDocumentFile(nullptr, TRUE);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(CPageDoc::alive, 2);
    CMDIChildWnd* active = frame->MDIGetActive();
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->GetActiveDocument(), second);
    ASSERT_NE(active->GetActiveView(), nullptr);
    EXPECT_TRUE(active->GetActiveView()->IsKindOf(RUNTIME_CLASS(CPageView)));
    EXPECT_EQ(::GetParent(active->GetActiveView()->m_hWnd), active->m_hWnd);
    // The template's shared menu is on the bar while its windows are active.
    EXPECT_EQ(active->m_hMenuShared, app->m_pDocManager->GetTemplates().front()->m_hMenuShared);
    EXPECT_EQ(::GetMenu(frame->m_hWnd), active->m_hMenuShared);
    // The frame's commands reach the active window's view, whichever it is.
    frame->SendMessage(WM_COMMAND, ID_NOTE_VIEW, 0);
    frame->MDINext();
    frame->SendMessage(WM_COMMAND, ID_NOTE_VIEW, 0);
    EXPECT_EQ(Ran(), (std::vector<std::string>{std::string("view of ") + second->GetTitle().GetString(),
                                                std::string("view of ") + first->GetTitle().GetString()}));
    // Window New: a second window on the active document, which stays open while either does.
    frame->SendMessage(WM_COMMAND, ID_WINDOW_NEW, 0);
    CMDIChildWnd* again = frame->MDIGetActive();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetActiveDocument(), first);
    EXPECT_NE(again->GetActiveView(), nullptr);
    EXPECT_EQ(CPageDoc::alive, 2);
    again->SendMessage(WM_CLOSE);
    EXPECT_EQ(CPageDoc::alive, 2) << "the document's other window keeps it";
    ASSERT_NE(frame->MDIGetActive(), nullptr);
    EXPECT_EQ(frame->MDIGetActive()->GetActiveDocument(), first);

    // Closing a window closes its document; the last one gives the frame its own menu back.
    frame->MDIGetActive()->SendMessage(WM_CLOSE);
    EXPECT_EQ(CPageDoc::alive, 1);
    EXPECT_EQ(frame->MDIGetActive()->GetActiveDocument(), second);
    frame->MDIGetActive()->SendMessage(WM_CLOSE);
    EXPECT_EQ(CPageDoc::alive, 0);
    EXPECT_EQ(frame->MDIGetActive(), nullptr);
    EXPECT_EQ(::GetMenu(frame->m_hWnd), frame->m_hMenuDefault);
    // Without a document there is nothing to open a second window on.
    frame->SendMessage(WM_COMMAND, ID_WINDOW_NEW, 0);
    EXPECT_EQ(frame->MDIGetActive(), nullptr);
}

TEST_F(MdiTemplateTest, ADocumentInSeveralWindowsNumbersTheirTitles)
{
    CDocTemplate* pages = app->m_pDocManager->GetTemplates().front();
    CDocument* doc = pages->OpenDocumentFile(nullptr, TRUE);
    ASSERT_NE(doc, nullptr);
    const std::string name = doc->GetTitle().GetString();
    auto text = [](CWnd* wnd) {
        CString title;
        wnd->GetWindowText(title);
        return std::string(title.GetString());
    };
    CMDIChildWnd* first = frame->MDIGetActive();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(text(first), name) << "a lone window needs no number";

    frame->SendMessage(WM_COMMAND, ID_WINDOW_NEW, 0);
    CMDIChildWnd* second = frame->MDIGetActive();
    ASSERT_NE(second, first);
    app->OnIdle(0);   // the first window's title follows at idle time
    EXPECT_EQ(text(first), name + ":1");
    EXPECT_EQ(text(second), name + ":2");
    EXPECT_NE(text(frame).find(name + ":2"), std::string::npos) << text(frame);

    second->SendMessage(WM_CLOSE);
    ASSERT_EQ(frame->MDIGetActive(), first);
    app->OnIdle(0);
    EXPECT_EQ(text(first), name) << "the number goes with the other window";
    EXPECT_EQ(text(frame).find(':'), std::string::npos) << text(frame);
}

namespace {

// A window that always opens maximised, the way programs ask for it: by its own ActivateFrame.
class CMaximisedChild : public CMDIChildWnd {
    DECLARE_DYNCREATE(CMaximisedChild)
public:
    static int activations;
    void ActivateFrame(int nCmdShow) override
    {
        ++activations;
        CMDIChildWnd::ActivateFrame(nCmdShow == -1 ? SW_SHOWMAXIMIZED : nCmdShow);
    }
};
int CMaximisedChild::activations = 0;
IMPLEMENT_DYNCREATE(CMaximisedChild, CMDIChildWnd)

} // namespace

TEST_F(MdiTemplateTest, TheFrameActivatesThroughTheWindowsOwnActivateFrame)
{
    app->AddDocTemplate(new CMultiDocTemplate(IDR_NOTES, RUNTIME_CLASS(CPageDoc), RUNTIME_CLASS(CMaximisedChild),
                                              RUNTIME_CLASS(CPageView)));
    CDocTemplate* maximised = app->m_pDocManager->GetTemplates().back();
    CMaximisedChild::activations = 0;
    dir.WriteFile("a.note", "");
    const std::string path = dir.File("a.note");
    CDocument* doc = maximised->OpenDocumentFile(path.c_str(), TRUE);
    ASSERT_NE(doc, nullptr);
    CMDIChildWnd* itsWindow = frame->MDIGetActive();
    ASSERT_NE(itsWindow, nullptr);
    EXPECT_EQ(CMaximisedChild::activations, 1);
    EXPECT_TRUE(itsWindow->IsZoomed()) << "shown by the override";
    itsWindow->MDIRestore();
    ASSERT_NE(app->m_pDocManager->GetTemplates().front()->OpenDocumentFile(nullptr, TRUE), nullptr);
    ASSERT_NE(frame->MDIGetActive(), itsWindow);

    // A file already open brings its window forward, through the same override.
    EXPECT_EQ(app->OpenDocumentFile(path.c_str()), doc);
    EXPECT_EQ(CPageDoc::alive, 2) << "no second copy";
    EXPECT_EQ(frame->MDIGetActive(), itsWindow);
    EXPECT_EQ(CMaximisedChild::activations, 2);
    EXPECT_TRUE(itsWindow->IsZoomed());
}

namespace {

// A second kind of document, told apart by its name in the File New list.
class CSketchTemplate : public CMultiDocTemplate {
public:
    CSketchTemplate()
        : CMultiDocTemplate(IDR_NOTES, RUNTIME_CLASS(CPageDoc), RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CPageView))
    {
    }
    BOOL GetDocString(CString& rString, DocStringIndex index) const override
    {
        if (index == fileNewName) {
            rString = "Sketch";
            return TRUE;
        }
        return CMultiDocTemplate::GetDocString(rString, index);
    }
};

} // namespace

TEST_F(MdiTemplateTest, FileNewAsksForTheKindOfDocumentOnlyWhenThereAreSeveral)
{
    // A dialog opened by mistake is ended at once rather than waited on; the guard does
    // nothing once disarmed.
    auto asked = std::make_shared<bool>(false);
    auto armed = std::make_shared<bool>(true);
    backend->WhenIdle([asked, armed] {
        if (*armed)
            for (HWND dlg : dialog_automation::ShownDialogs()) {
                *asked = true;
                ::EndDialog(dlg, IDCANCEL);
            }
    });
    app->OnFileNew();
    *armed = false;
    EXPECT_FALSE(*asked) << "one kind needs no question";
    EXPECT_EQ(CPageDoc::alive, 1);

    bool opened = false;

    auto* sketch = new CSketchTemplate;
    app->AddDocTemplate(sketch);
    std::vector<std::string> listed;
    auto readList = [&listed](HWND dlg) {
        HWND list = ::GetDlgItem(dlg, AFX_IDC_LISTBOX);
        const auto count = ::SendMessage(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[64] = {};
            ::SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            listed.emplace_back(text);
        }
    };
    FillDialog(*backend, AFX_IDD_NEWTYPEDLG, DialogFill{{}, {}, IDCANCEL, readList}, &opened);
    app->OnFileNew();
    EXPECT_TRUE(opened);
    EXPECT_EQ(listed, (std::vector<std::string>{"Note", "Sketch"}));
    EXPECT_EQ(CPageDoc::alive, 1) << "Cancel makes no document";

    auto chooseSketch = [](HWND dlg) { ::SendDlgItemMessage(dlg, AFX_IDC_LISTBOX, LB_SETCURSEL, 1, 0); };
    FillDialog(*backend, AFX_IDD_NEWTYPEDLG, DialogFill{{}, {}, IDOK, chooseSketch}, &opened);
    app->OnFileNew();
    EXPECT_TRUE(opened);
    ASSERT_EQ(CPageDoc::alive, 2);
    ASSERT_NE(frame->MDIGetActive(), nullptr);
    ASSERT_NE(frame->MDIGetActive()->GetActiveDocument(), nullptr);
    EXPECT_EQ(frame->MDIGetActive()->GetActiveDocument()->GetDocTemplate(), sketch);
}
