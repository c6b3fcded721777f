#include "EngineTestSupport.h"
#include "MessageSink.h"
#include "support/RequiredTools.h"
#include "support/ScopedTempDir.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CConnectOptions.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CScanOptions.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/IScanBackend.h"
#include "engine/project/IScanHost.h"
#include "engine/project/SaveCopies.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/SyncApi.h"
#include "platform/core/WindowHandle.h"

#include <atomic>
#include <filesystem>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace enginetest;

namespace {

// What a fake fetch engine was asked, shared with the test so it outlives the engine.
struct FakeRecord {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> urls;
    int made = 0;
    int scanOptionsSet = 0;
    int destroyed = 0;
    bool stopRequested = false;
    bool stopped = false;
    int pagesReported = 0;
    int errorStops = 0;
    bool errorStopHandled = false;
    bool starting = false;       // StartThreads has not returned
    int destroyedStarting = 0;   // deleted before its StartThreads returned

    template <class F>
    void Update(F&& f)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            f();
        }
        changed.notify_all();
    }
    // Waits until the condition holds; false after a minute (a guard against a hang only).
    template <class P>
    bool WaitUntil(P&& predicate)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(60), predicate);
    }
};

LRESULT CALLBACK IgnoringWndProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

// Reports what a page holds; runs on the fake's worker thread.
using PageScript = std::function<void(ITaskManager& sink, DWORD_PTR dwPage, size_t nIndex)>;

// A fetch engine whose one worker thread reports each queued page through the script and then
// its end. It stops between pages when asked, leaving the rest unreported as the real one does;
// at the page numbered nFailAt it stops as the real one does when a check fails: the rest stay
// unreported and the error-stop handler is called on the worker.
class FakeTaskManager : public IScanTaskManager {
public:
    FakeTaskManager(ITaskManager* pSink, std::shared_ptr<FakeRecord> pRecord, PageScript script, BOOL bSession,
                    bool bRejectUrls, size_t nHoldAfter, size_t nFailAt, HWND hHandOverWindow, bool bStartUntilErrorStop)
        : m_pSink(pSink), m_pRecord(std::move(pRecord)), m_script(std::move(script)), m_bSession(bSession),
          m_bRejectUrls(bRejectUrls), m_nHoldAfter(nHoldAfter), m_nFailAt(nFailAt),
          m_hHandOverWindow(hHandOverWindow), m_bStartUntilErrorStop(bStartUntilErrorStop)
    {
    }
    ~FakeTaskManager() override
    {
        if (m_thread.joinable()) {
            RequestStop();
            m_thread.join();
        }
        m_pRecord->Update([&] {
            ++m_pRecord->destroyed;
            m_pRecord->destroyedStarting += m_pRecord->starting ? 1 : 0;
        });
    }

    void SetScanOptions(const CScanOptions&) override
    {
        m_pRecord->Update([&] { ++m_pRecord->scanOptionsSet; });
    }
    BOOL OpenInternetSession() override { return m_bSession; }
    bool QueueUrl(DWORD_PTR dwPage, LPCTSTR lpszUrl, int nLinkKind, BOOL bFetch) override
    {
        EXPECT_EQ(nLinkKind, 1);
        EXPECT_EQ(bFetch, TRUE);
        m_pRecord->Update([&] { m_pRecord->urls.push_back(lpszUrl); });
        if (m_bRejectUrls) {
            // As the real engine does with a URL it cannot parse: done at once.
            m_pSink->OnTaskDone(dwPage);
            return false;
        }
        m_pages.push_back(dwPage);
        return true;
    }
    void StartThreads() override
    {
        if (m_bStartUntilErrorStop) {
            StartUntilErrorStop();
            return;
        }
        m_thread = std::thread([this] { Run(); });
        if (m_hHandOverWindow == nullptr)
            return;
        // Returns only once the worker waits in a hand-over, so that the scan's start goes on
        // while a worker holds the engine's lock.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        MSG msg;
        while (!PeekMessage(&msg, m_hHandOverWindow, kMsgShowSetting, kMsgShowSetting, PM_NOREMOVE)) {
            if (std::chrono::steady_clock::now() > deadline)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    void RequestStop() override
    {
        m_pRecord->Update([&] { m_pRecord->stopRequested = true; });
    }
    void StopThreads() override
    {
        if (m_thread.joinable())
            m_thread.join();
        m_pRecord->Update([&] { m_pRecord->stopped = true; });
    }
    void SetErrorStopHandler(std::function<void()> handler) override { m_onErrorStop = std::move(handler); }
    BOOL CanExtractKeywords() override { return m_bKeywords; }
    BOOL m_bKeywords = TRUE;

private:
    // As a loaded machine may have it: the worker fails and its error stop is handled before the
    // start returns. An engine that stops at once deletes this object meanwhile, so once the
    // worker is going the start touches only the record.
    void StartUntilErrorStop()
    {
        const std::shared_ptr<FakeRecord> pRecord = m_pRecord;
        pRecord->Update([&] { pRecord->starting = true; });
        // The worker begins once the thread is this object's to join.
        std::promise<void> assigned;
        m_thread = std::thread([this, ready = assigned.get_future()] {
            ready.wait();
            Run();
        });
        assigned.set_value();
        pRecord->WaitUntil([&] {
            return pRecord->errorStopHandled
                   && (pRecord->destroyed > 0 || GetAppModel().GetRunState() == CVostrelAppModel::runScanning);
        });
        pRecord->Update([&] { pRecord->starting = false; });
    }
    bool StopRequested()
    {
        std::lock_guard<std::mutex> lock(m_pRecord->mutex);
        return m_pRecord->stopRequested;
    }
    void Run()
    {
        for (size_t i = 0; i < m_pages.size(); ++i) {
            if (i == m_nHoldAfter)
                m_pRecord->WaitUntil([&] { return m_pRecord->stopRequested; });
            if (i == m_nFailAt) {
                m_pRecord->Update([&] { ++m_pRecord->errorStops; });
                if (m_onErrorStop)
                    m_onErrorStop();
                m_pRecord->Update([&] { m_pRecord->errorStopHandled = true; });
                return;
            }
            if (StopRequested())
                return;
            if (m_script)
                m_script(*m_pSink, m_pages[i], i);
            m_pSink->OnTaskDone(m_pages[i]);
            m_pRecord->Update([&] { ++m_pRecord->pagesReported; });
        }
    }

    ITaskManager* m_pSink;
    std::shared_ptr<FakeRecord> m_pRecord;
    PageScript m_script;
    BOOL m_bSession;
    bool m_bRejectUrls;
    size_t m_nHoldAfter;
    size_t m_nFailAt;
    HWND m_hHandOverWindow;
    bool m_bStartUntilErrorStop;
    std::function<void()> m_onErrorStop;
    std::vector<DWORD_PTR> m_pages;
    std::thread m_thread;
};

class FakeBackend : public IScanBackend {
public:
    std::unique_ptr<IScanTaskManager> CreateTaskManager(ITaskManager* pSink, const CConnectOptions& options) override
    {
        record->Update([&] {
            ++record->made;
            record->stopRequested = false;
            record->stopped = false;
        });
        threads = options.GetNumThreads();
        auto pManager = std::make_unique<FakeTaskManager>(pSink, record, script, session, rejectUrls, holdAfter,
                                                          failAt, startUntilHandOver, startUntilErrorStop);
        pManager->m_bKeywords = keywords;
        return pManager;
    }

    std::shared_ptr<FakeRecord> record = std::make_shared<FakeRecord>();
    PageScript script;
    BOOL session = TRUE;
    bool rejectUrls = false;
    size_t holdAfter = static_cast<size_t>(-1);
    size_t failAt = static_cast<size_t>(-1); // the worker stops on an error instead of this page
    HWND startUntilHandOver = nullptr; // StartThreads waits for a kMsgShowSetting to this window
    bool startUntilErrorStop = false;  // StartThreads waits until the worker's error stop was handled
    BOOL keywords = TRUE; // whether its keyword engine could be made
    int threads = 0;
};

// The main frame as the scan sees it: a message-only window that records the scan's
// messages, answers kMsgShowSetting by setting the event and ends the run state on
// kMsgScanFinished, as the frame does.
class FakeFrame : public IScanHost {
public:
    explicit FakeFrame(CVostrelAppModel& app) : m_app(app) { m_hWnd = CreateMessageWindow(&FakeFrame::WndProc, this); }
    ~FakeFrame() override
    {
        if (m_hWnd != nullptr)
            DestroyMessageWindow(m_hWnd);
    }
    FakeFrame(const FakeFrame&) = delete;
    FakeFrame& operator=(const FakeFrame&) = delete;

    HWND GetMainWindow() override { return mainWindow != nullptr ? mainWindow : m_hWnd; }
    HWND GetOutputPane() override { return outputPane; }

    // Pumps until the scan has finished; false when it did not within a minute.
    bool WaitForFinish() { return WaitFor(kMsgScanFinished); }
    // Pumps until a message of that id has arrived; false when none came within a minute.
    bool WaitFor(UINT message)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (Count(message) == 0) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            MSG msg;
            if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessage(&msg);
            else
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        }
        return true;
    }
    // Dispatches what is waiting now.
    void Drain()
    {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
    }
    size_t Count(UINT message) const
    {
        size_t n = 0;
        for (UINT id : ids)
            n += id == message ? 1 : 0;
        return n;
    }

    HWND Handle() const { return m_hWnd; }

    HWND mainWindow = nullptr; // another window to give the engine, when set
    HWND outputPane = nullptr;
    std::vector<UINT> ids;
    std::vector<CPageNode*> pagesDone;
    std::vector<std::string> shownSettings;
    std::atomic<int> answered{0};
    UINT runStateAtFinish = 99;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = static_cast<FakeFrame*>(GetMessageWindowData(hWnd));
        if (self == nullptr || message < WM_USER)
            return 0;
        self->ids.push_back(message);
        if (message == kMsgFileScanned) {
            self->pagesDone.push_back(reinterpret_cast<CPageNode*>(lParam));
        } else if (message == kMsgShowSetting) {
            auto* pSetting = reinterpret_cast<CMetaSetting*>(lParam);
            CString strName;
            pSetting->GetName(strName);
            UINT bShow = 0;
            pSetting->GetShow(bShow);
            self->shownSettings.push_back(std::string(strName) + (bShow != 0 ? "+" : "-"));
            ++self->answered;
            SetEvent(reinterpret_cast<HANDLE>(wParam));
        } else if (message == kMsgScanFinished) {
            self->runStateAtFinish = self->m_app.GetRunState();
            self->m_app.SetRunState(0);
        }
        return 0;
    }

    CVostrelAppModel& m_app;
    HWND m_hWnd = nullptr;
};

class ParserEngineScanTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_pModel->GetMetaSettings().SetDefaults();
        auto pSettings = std::make_unique<CProjectSettings>();
        m_pSettings = pSettings.get();
        m_pModel->SetProjectSettings(std::move(pSettings));
        m_root.SetKind(CPageNode::kindRoot);
        m_pFrame = std::make_unique<FakeFrame>(*m_pModel);
        m_pEngine = std::make_unique<CParserEngine>();
        m_pEngine->SetScanBackend(&m_backend);
        m_pEngine->SetScanHost(m_pFrame.get());
    }
    void TearDown() override
    {
        m_pEngine.reset();
        m_pFrame.reset();
        EngineTest::TearDown();
    }

    CPageNode* Page(const std::string& name)
    {
        auto pPage = std::make_unique<CPageNode>();
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetName(name.c_str());
        pPage->SetFolder("/site/pages");
        CPageNode* p = pPage.get();
        m_root.AddChild(pPage.release());
        m_selection.AddTail(p);
        return p;
    }

    static CMetaContent* Content(CPageNode* pPage, const char* name)
    {
        CMetaContentList* pList = nullptr;
        if (pPage->GetContentList(pList) != 0 || pList == nullptr)
            return nullptr;
        CMetaContent* pContent = nullptr;
        return pList->FindByName(name, pContent) == 0 ? pContent : nullptr;
    }

    int SettingsNamed(const char* name)
    {
        int n = 0;
        CMetaSettingList& list = m_pModel->GetMetaSettings();
        for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
            CString strName;
            list.GetNext(pos)->GetName(strName);
            n += strName.CompareNoCase(name) == 0 ? 1 : 0;
        }
        return n;
    }

    CMetaSetting* Setting(const char* name)
    {
        CMetaSetting* pSetting = nullptr;
        return m_pModel->GetMetaSettings().FindByName(name, pSetting) == 0 ? pSetting : nullptr;
    }

    UINT Scan() { return m_pEngine->StartScan(m_selection, *m_pSettings); }

    CProjectSettings* m_pSettings = nullptr;
    CPageNode m_root;
    CSelNodesCol m_selection;
    FakeBackend m_backend;
    std::unique_ptr<FakeFrame> m_pFrame;
    std::unique_ptr<CParserEngine> m_pEngine;
};

TEST_F(ParserEngineScanTest, FetchOptionsWithoutProxyUseOneThreadAndOneTaskPerHost)
{
    CAppOptions record;
    record.m_strAgentName = "Agent";
    record.m_strFtpPassword = "me@example.org";
    record.m_bHttpLogin = 0;
    record.m_strHttpUser = "user";
    record.m_strHttpProxy = "proxy";
    record.m_nTimeoutSeconds = 45;
    record.m_bFtpPassive = 1;
    record.m_bAcceptCookies = 1;
    record.m_strIndexFileName = "index.html";
    record.m_strFileRoot = "/srv/www";
    record.m_bFrontPage = 1;
    CConnectOptions connect;
    CScanOptions scan;
    CParserEngine::MakeFetchOptions(record, 1, connect, scan);

    EXPECT_EQ(connect.GetAccessType(), 1);
    EXPECT_EQ(connect.GetProxyHttp(), "");
    EXPECT_EQ(connect.GetAgentName(), "Agent");
    CString strUser, strPassword;
    EXPECT_TRUE(connect.GetFtpCredentials(strUser, strPassword));
    EXPECT_EQ(strUser, "anonymous");
    EXPECT_EQ(strPassword, "me@example.org");
    EXPECT_FALSE(connect.GetHttpCredentials(strUser, strPassword));
    EXPECT_EQ(connect.GetHttpAcceptCookies(), 1);
    EXPECT_EQ(connect.GetIndexFilename(), "index.html");
    EXPECT_EQ(connect.GetFileRoot(), "/srv/www");
    EXPECT_EQ(connect.GetNumThreads(), 1);
    EXPECT_EQ(connect.GetConnectTimeout(), 45);
    EXPECT_EQ(connect.GetDataTimeout(), 45);
    EXPECT_EQ(connect.GetControlTimeout(), 45);
    EXPECT_EQ(connect.GetFtpPasvMode(), 1);
    EXPECT_EQ(connect.GetMaxHttpTasksPerHost(), 100);
    EXPECT_EQ(connect.GetMaxFileTasksPerHost(), 100);
    EXPECT_EQ(connect.GetMaxTotalTasksPerHost(), 1);
    EXPECT_EQ(connect.GetMaxTotalTasks(), 1);
    EXPECT_EQ(scan.GetUsingFrontPage(), 1);
}

TEST_F(ParserEngineScanTest, FetchOptionsWithProxyTakePortsBypassAndLogins)
{
    CAppOptions record;
    record.m_bUseProxy = 1;
    record.m_strHttpProxy = "web";
    record.m_strHttpProxyPort = "8080";
    record.m_strHttpsProxy = "secure";
    record.m_strHttpsProxyPort = "no port";
    record.m_strFtpProxy = "files";
    record.m_strFtpProxyPort = "99999";
    record.m_bFtpProxy = 1;
    record.m_strGopherProxy = "gopher";
    record.m_strGopherProxyPort = "70";
    record.m_BypassList.AddTail("a.example");
    record.m_BypassList.AddTail("");
    record.m_BypassList.AddTail("b.example");
    record.m_bBypassLocal = 1;
    record.m_bProxyLogin = 1;
    record.m_strProxyUser = "pu";
    record.m_strProxyPassword = "pp";
    record.m_bHttpLogin = 1;
    record.m_strHttpUser = "hu";
    record.m_strHttpPassword = "hp";
    record.m_bAcceptCookies = 2;
    CConnectOptions connect;
    CScanOptions scan;
    CParserEngine::MakeFetchOptions(record, 3, connect, scan);

    EXPECT_EQ(connect.GetAccessType(), 3);
    EXPECT_EQ(connect.GetProxyHttp(), "web");
    EXPECT_EQ(connect.GetProxyHttpPort(), 8080);
    EXPECT_EQ(connect.GetProxyHttps(), "secure");
    EXPECT_EQ(connect.GetProxyHttpsPort(), 0);
    EXPECT_EQ(connect.GetProxyFtp(), "files");
    EXPECT_EQ(connect.GetProxyFtpPort(), 0); // beyond the last port
    EXPECT_EQ(connect.GetProxyFtpCern(), 1);
    EXPECT_EQ(connect.GetProxyGopherPort(), 70);
    EXPECT_EQ(connect.GetProxyBypassList(), "a.example;b.example");
    EXPECT_EQ(connect.GetProxyBypassLocal(), 1);
    CString strUser, strPassword;
    EXPECT_TRUE(connect.GetProxyCredentials(strUser, strPassword));
    EXPECT_EQ(strUser, "pu");
    EXPECT_EQ(strPassword, "pp");
    EXPECT_TRUE(connect.GetHttpCredentials(strUser, strPassword));
    EXPECT_EQ(strUser, "hu");
    EXPECT_EQ(strPassword, "hp");
    EXPECT_EQ(connect.GetHttpAcceptCookies(), 0); // only the value 1 accepts
    EXPECT_EQ(connect.GetNumThreads(), 3);
    EXPECT_EQ(connect.GetMaxTotalTasks(), 3);
    // Every check thread may read the pages of this machine, which are all one host's.
    EXPECT_EQ(connect.GetMaxTotalTasksPerHost(), 3);

    record.m_bProxyLogin = 0;
    CConnectOptions withoutLogin;
    CParserEngine::MakeFetchOptions(record, 1, withoutLogin, scan);
    EXPECT_FALSE(withoutLogin.GetProxyCredentials(strUser, strPassword));
    EXPECT_EQ(strPassword, "");
}

TEST_F(ParserEngineScanTest, ThreePagesAreQueuedAsFileUrlsAndEachPostsItsEnd)
{
    CPageNode* a = Page("a.htm");
    CPageNode* b = Page("b b.htm");
    CPageNode* c = Page("c.htm");
    // What an earlier scan or edit left goes.
    a->SetTitle("old");
    a->SetTitleModified(1);
    CMetaContentList* pList = nullptr;
    a->CreateContentList(pList);
    CMetaContent* pOld = nullptr;
    pList->AddContent("Author", "someone", 1, pOld);
    m_backend.script = [](ITaskManager& sink, DWORD_PTR dwPage, size_t nIndex) {
        const std::string title = "Title " + std::to_string(nIndex);
        sink.OnTitle(dwPage, title.c_str());
    };

    m_pEngine->SetScanThreads(3);
    ASSERT_EQ(Scan(), 0u);
    // Scanning, or already stopping when the worker was quick.
    EXPECT_NE(m_pModel->GetRunState(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());

    EXPECT_EQ(m_backend.threads, 3);
    const std::vector<std::string> expected = {"file:///site/pages/a.htm", "file:///site/pages/b%20b.htm",
                                               "file:///site/pages/c.htm"};
    EXPECT_EQ(m_backend.record->urls, expected);
    const std::vector<UINT> ids = {kMsgFileScanned, kMsgFileScanned, kMsgFileScanned, kMsgScanFinished};
    EXPECT_EQ(m_pFrame->ids, ids);
    EXPECT_EQ(m_pFrame->pagesDone, (std::vector<CPageNode*>{a, b, c}));
    EXPECT_EQ(m_pFrame->runStateAtFinish, 2u);
    EXPECT_EQ(a->GetTitle(), "Title 0");
    EXPECT_EQ(c->GetTitle(), "Title 2");
    EXPECT_EQ(a->GetTitleModified(), 0u);
    EXPECT_EQ(Content(a, "Author"), nullptr);
    for (CPageNode* p : {a, b, c})
        EXPECT_EQ(p->GetScanState(), 0u);
    // The stop thread stopped and deleted the fetch engine before it posted the end.
    EXPECT_TRUE(m_backend.record->stopped);
    EXPECT_EQ(m_backend.record->destroyed, 1);
}

// A large selection's URLs are made on several threads: every page is queued once, in the
// selection's order, under its own URL.
TEST_F(ParserEngineScanTest, ThousandsOfPagesAreQueuedInOrderUnderTheirOwnUrls)
{
    constexpr int kPages = 3000;
    std::vector<std::string> expected;
    std::vector<CPageNode*> pages;
    for (int i = 0; i < kPages; ++i) {
        pages.push_back(Page("p " + std::to_string(i) + ".htm"));
        expected.push_back("file:///site/pages/p%20" + std::to_string(i) + ".htm");
    }
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    EXPECT_EQ(m_backend.record->urls, expected);
    EXPECT_EQ(m_pFrame->pagesDone.size(), static_cast<size_t>(kPages));
    EXPECT_EQ(m_pFrame->pagesDone.front(), pages.front());
    EXPECT_EQ(m_pFrame->pagesDone.back(), pages.back());
}

TEST_F(ParserEngineScanTest, KeywordsOfTheTagAreKeptAsTheTagHadThem)
{
    CPageNode* a = Page("a.htm");
    m_backend.script = [](ITaskManager& sink, DWORD_PTR dwPage, size_t) {
        sink.OnNamedMeta(dwPage, "KEYWORDS", "a,b", nullptr);
        sink.OnKeyword(dwPage, "a", 1);
        sink.OnKeyword(dwPage, "b", 1);
        sink.OnHttpEquivMeta(dwPage, "Refresh", "5; URL=next.htm");
        sink.OnNamedMeta(dwPage, "Description", "Fish, chips", "scheme");
    };
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());

    CMetaContent* pKeywords = Content(a, "keywords");
    ASSERT_NE(pKeywords, nullptr);
    EXPECT_EQ(pKeywords->GetContent(), "a,b");
    EXPECT_EQ(pKeywords->GetName(), "KEYWORDS");
    EXPECT_EQ(pKeywords->GetModified(), 0u);
    UINT nType = 99;
    Setting("Keywords")->GetType(nType);
    EXPECT_EQ(pKeywords->GetType(), nType);
    CMetaContent* pRefresh = Content(a, "refresh");
    ASSERT_NE(pRefresh, nullptr);
    EXPECT_EQ(pRefresh->GetContent(), "5; URL=next.htm");
    CMetaContent* pDescription = Content(a, "description");
    ASSERT_NE(pDescription, nullptr);
    EXPECT_EQ(pDescription->GetContent(), "Fish, chips");
    EXPECT_EQ(m_pModel->GetEditState(), 0u);
}

TEST_F(ParserEngineScanTest, SuggestedKeywordsAreEditsOnlyWithTheExtractorFlag)
{
    CPageNode* a = Page("a.htm");
    m_backend.script = [](ITaskManager& sink, DWORD_PTR dwPage, size_t) {
        sink.OnNamedMeta(dwPage, "keywords", "fish", nullptr);
        sink.OnKeyword(dwPage, "fish", 1);
        sink.OnKeyword(dwPage, "chips", 0);
    };
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    CMetaContent* pKeywords = Content(a, "keywords");
    ASSERT_NE(pKeywords, nullptr);
    EXPECT_EQ(pKeywords->GetContent(), "fish");
    EXPECT_EQ(ToVector(static_cast<const CStringList&>(pKeywords->Suggestions())), std::vector<std::string>{"chips"});
    EXPECT_EQ(pKeywords->GetModified(), 0u);
    EXPECT_EQ(m_pModel->GetEditState(), 0u);

    m_pSettings->m_bKeywordExtractor = 1;
    m_pFrame->ids.clear();
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    pKeywords = Content(a, "keywords");
    ASSERT_NE(pKeywords, nullptr);
    EXPECT_EQ(pKeywords->GetContent(), "fish,chips");
    EXPECT_EQ(pKeywords->GetModified(), 1u);
    EXPECT_EQ(a->GetEditState(), 2u);
    EXPECT_EQ(m_pModel->GetEditState(), 1u);
    // A second scan made a second fetch engine.
    EXPECT_EQ(m_backend.record->made, 2);
}

TEST_F(ParserEngineScanTest, AMetaNameWithoutSettingBecomesOneUndefinedSetting)
{
    CPageNode* a = Page("a.htm");
    CPageNode* b = Page("b.htm");
    m_backend.script = [](ITaskManager& sink, DWORD_PTR dwPage, size_t nIndex) {
        sink.OnNamedMeta(dwPage, nIndex == 0 ? "X-Colour" : "x-colour", "blue", nullptr);
        sink.OnNamedMeta(dwPage, "", "nameless", nullptr);
    };
    m_pSettings->m_bShowAllFound = 0;
    const INT_PTR nBefore = m_pModel->GetMetaSettings().GetCount();
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());

    EXPECT_EQ(m_pModel->GetMetaSettings().GetCount(), nBefore + 1);
    EXPECT_EQ(SettingsNamed("x-colour"), 1);
    CMetaSetting* pSetting = Setting("X-Colour");
    ASSERT_NE(pSetting, nullptr);
    UINT nType = 0, bShow = 1;
    pSetting->GetType(nType);
    pSetting->GetShow(bShow);
    EXPECT_EQ(nType, 7u);
    EXPECT_EQ(bShow, 0u); // shown only when the project shows all found tags
    ASSERT_NE(Content(b, "X-COLOUR"), nullptr);
    EXPECT_EQ(Content(b, "X-COLOUR")->GetName(), "x-colour");
    EXPECT_EQ(Content(b, "X-COLOUR")->GetType(), 7u);
    EXPECT_EQ(Content(a, "X-COLOUR")->GetContent(), "blue");
    EXPECT_EQ(m_pFrame->Count(kMsgShowSetting), 0u);
    EXPECT_EQ(SettingsNamed(""), 0);
}

TEST_F(ParserEngineScanTest, ShowAllFoundHandsEachSettingOverOnceAndWaitsForTheFrame)
{
    Page("a.htm");
    Page("b.htm");
    Page("c.htm");
    m_pModel->GetSelectedNodes().AddTail(m_selection.GetHead());
    m_pSettings->m_bShowAllFound = 1;
    ASSERT_EQ(m_pModel->GetMetaSettings().GetShownCount(), 0);
    auto pSeenAnswers = std::make_shared<std::vector<int>>();
    FakeFrame* pFrame = m_pFrame.get();
    m_backend.script = [pSeenAnswers, pFrame](ITaskManager& sink, DWORD_PTR dwPage, size_t nIndex) {
        sink.OnNamedMeta(dwPage, "Description", "d", nullptr);
        // The worker goes on only once the frame has shown the column.
        if (nIndex == 0)
            pSeenAnswers->push_back(pFrame->answered.load());
        sink.OnNamedMeta(dwPage, "Undeclared", "u", nullptr);
        if (nIndex == 0)
            pSeenAnswers->push_back(pFrame->answered.load());
        // As the parser reports a KEYWORDS tag: the whole content, then each keyword of it.
        sink.OnNamedMeta(dwPage, "keywords", "k", nullptr);
        sink.OnKeyword(dwPage, "k", 1);
    };
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());

    EXPECT_EQ(m_pFrame->shownSettings, (std::vector<std::string>{"Description+", "Undeclared+", "Keywords+"}));
    EXPECT_EQ(*pSeenAnswers, (std::vector<int>{1, 2}));
    EXPECT_EQ(m_pFrame->Count(kMsgFileScanned), 3u);
    EXPECT_EQ(m_pFrame->ids.back(), kMsgScanFinished);
    EXPECT_EQ(m_pModel->GetMetaSettings().GetShownCount(), 3);
}

// A scan shows the tags it finds and takes away nothing: a setting the user ticked stays shown
// though no page holds it, the columns stay as they are (the group view is not reloaded), and a
// setting the user hid while a page of the project (another folder's, not scanned now) holds its
// tag stays hidden when a scanned page holds it too.
TEST_F(ParserEngineScanTest, AScanShowsTheTagsItFindsAndLeavesTheUsersTicks)
{
    Page("a.htm");
    m_pModel->GetSelectedNodes().AddTail(m_selection.GetHead());
    m_pSettings->m_bShowAllFound = 1;
    Setting("Keywords")->SetShow(1);
    auto pOther = std::make_unique<CPageNode>();
    pOther->SetKind(CPageNode::kindPage);
    pOther->SetName("other.htm");
    CMetaContentList* pList = nullptr;
    pOther->CreateContentList(pList);
    auto pRobots = std::make_unique<CMetaContent>();
    pRobots->SetName("robots");
    pList->AddTail(pRobots.release());
    m_pModel->GetPageCol().AddTail(pOther.release());
    m_backend.script = [](ITaskManager& sink, DWORD_PTR dwPage, size_t) {
        sink.OnNamedMeta(dwPage, "Description", "d", nullptr);
        sink.OnNamedMeta(dwPage, "ROBOTS", "noindex", nullptr);
    };
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());

    EXPECT_EQ(m_pFrame->shownSettings, std::vector<std::string>{"Description+"});
    EXPECT_EQ(Setting("Keywords")->IsShown(), 1u);
    EXPECT_EQ(Setting("Robots")->IsShown(), 0u);
    ASSERT_NE(Content(m_selection.GetHead(), "Robots"), nullptr);
    EXPECT_EQ(Content(m_selection.GetHead(), "Robots")->GetContent(), "noindex");
}

// A saved page read again takes its values but shows no setting the user hid after the scan.
TEST_F(ParserEngineScanTest, APageReadAgainAfterASaveShowsNoSettingTheUserHid)
{
    ScopedTempDir dir;
    dir.WriteFile("a.htm", "<html><head><title>T</title><meta name=\"description\" content=\"Stra\xC3\x9F\x65\"></head></html>\n");
    CPageNode* pPage = Page("a.htm");
    pPage->SetFolder(dir.Path().c_str());
    m_pSettings->m_bShowAllFound = 1;
    m_backend.script = [](ITaskManager& sink, DWORD_PTR dwPage, size_t) {
        sink.OnNamedMeta(dwPage, "Description", "d", nullptr);
    };
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    ASSERT_EQ(Setting("Description")->IsShown(), 1u);
    Setting("Description")->SetShow(0);

    m_pEngine->ReadSavedPagesAgain({pPage});
    ASSERT_NE(Content(pPage, "Description"), nullptr);
    EXPECT_EQ(Content(pPage, "Description")->GetContent(), "Stra\xC3\x9F\x65");
    EXPECT_EQ(Setting("Description")->IsShown(), 0u);
    EXPECT_EQ(m_pFrame->shownSettings, std::vector<std::string>{"Description+"});
}

// A page read again after a save takes what its file holds, but not over an edit the save left
// to be made: a title edit the file did not take stays the page's, and is not told as read.
TEST_F(ParserEngineScanTest, APageReadAgainKeepsTheEditsStillToBeSaved)
{
    ScopedTempDir dir;
    const std::string file = "<html><head><title>On disk</title><meta name=\"description\" content=\"disk\"></head></html>\n";
    dir.WriteFile("edited.htm", file);
    dir.WriteFile("other.htm", file);
    CPageNode* pEdited = Page("edited.htm");
    CPageNode* pOther = Page("other.htm");
    for (CPageNode* pPage : {pEdited, pOther}) {
        pPage->SetFolder(dir.Path().c_str());
        CMetaContentList* pList = nullptr;
        pPage->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent("Description", "scanned", 0, pContent);
        pPage->SetTitle("Scanned");
    }
    pEdited->SetTitle("Mine");
    pEdited->SetTitleModified(1);
    Content(pEdited, "Description")->SetContent("typed");
    Content(pEdited, "Description")->SetModified(1);

    const auto changed = m_pEngine->ReadSavedPagesAgain({pEdited, pOther});
    EXPECT_EQ(std::string(pEdited->GetTitle()), "Mine");
    EXPECT_EQ(pEdited->GetTitleModified(), 1u);
    EXPECT_EQ(std::string(Content(pEdited, "Description")->GetContent()), "typed");
    // The page without edits shows its file.
    EXPECT_EQ(std::string(pOther->GetTitle()), "On disk");
    EXPECT_EQ(std::string(Content(pOther, "Description")->GetContent()), "disk");
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].first, pOther);
    EXPECT_EQ(changed[0].second, (std::vector<CString>{"", "Description"}));
}

TEST_F(ParserEngineScanTest, TheStartDoesNotWaitForAWorkerInAHandOver)
{
    Page("a.htm");
    m_pSettings->m_bShowAllFound = 1;
    m_backend.startUntilHandOver = m_pFrame->Handle();
    auto pSeenAnswers = std::make_shared<std::vector<int>>();
    FakeFrame* pFrame = m_pFrame.get();
    m_backend.script = [pSeenAnswers, pFrame](ITaskManager& sink, DWORD_PTR dwPage, size_t) {
        sink.OnNamedMeta(dwPage, "Description", "d", nullptr);
        pSeenAnswers->push_back(pFrame->answered.load());
    };
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    // The frame answered the hand-over; the worker did not give up waiting for it.
    EXPECT_EQ(*pSeenAnswers, std::vector<int>{1});
    EXPECT_EQ(m_pFrame->shownSettings, std::vector<std::string>{"Description+"});
}

TEST_F(ParserEngineScanTest, AMainWindowThatIsGoneDoesNotHoldTheWorkers)
{
    Page("a.htm");
    m_pSettings->m_bShowAllFound = 1;
    m_pFrame->mainWindow = CreateMessageWindow(&IgnoringWndProc, nullptr);
    DestroyMessageWindow(m_pFrame->mainWindow);
    m_backend.script = [](ITaskManager& sink, DWORD_PTR dwPage, size_t) {
        sink.OnNamedMeta(dwPage, "Description", "d", nullptr);
    };
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_backend.record->WaitUntil([&] { return m_backend.record->destroyed == 1; }));
    UINT bShow = 0;
    Setting("Description")->GetShow(bShow);
    EXPECT_EQ(bShow, 1u);
    EXPECT_EQ(m_pModel->GetRunState(), 2u);
}

TEST_F(ParserEngineScanTest, AMainWindowThatNeverAnswersIsGivenUpAfterTheLimit)
{
    // The window is there, but its thread never reads its messages: the worker waits out the
    // limit, then goes on without the answer.
    Page("a.htm");
    m_pSettings->m_bShowAllFound = 1;
    m_pFrame->mainWindow = CreateMessageWindow(&IgnoringWndProc, nullptr);
    m_backend.script = [](ITaskManager& sink, DWORD_PTR dwPage, size_t) {
        sink.OnNamedMeta(dwPage, "Description", "d", nullptr);
    };
    m_pEngine->SetShowSettingWaitLimit(1000);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_backend.record->WaitUntil([&] { return m_backend.record->destroyed == 1; }));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(1000));
    EXPECT_LT(waited, std::chrono::seconds(120));
    UINT bShow = 0;
    Setting("Description")->GetShow(bShow);
    EXPECT_EQ(bShow, 1u);
    DestroyMessageWindow(m_pFrame->mainWindow);
}

TEST_F(ParserEngineScanTest, StoppingMidScanLeavesTheRestUnscanned)
{
    CPageNode* a = Page("a.htm");
    CPageNode* b = Page("b.htm");
    // Both read once; the scan stopped after the first then leaves the second not scanned again.
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    ASSERT_EQ(b->GetScanState(), 0u);
    m_pFrame->ids.clear();
    m_backend.holdAfter = 1; // the worker waits after the first page
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitFor(kMsgFileScanned));
    EXPECT_EQ(m_pModel->GetRunState(), 1u);
    EXPECT_EQ(m_pEngine->StopScan(), 0u);
    EXPECT_EQ(m_pModel->GetRunState(), 2u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());

    EXPECT_EQ(m_pFrame->ids, (std::vector<UINT>{kMsgFileScanned, kMsgScanFinished}));
    EXPECT_EQ(a->GetScanState(), 0u);
    EXPECT_EQ(b->GetScanState(), 1u);
    EXPECT_TRUE(m_backend.record->stopRequested);
    EXPECT_EQ(m_backend.record->destroyed, 2);
    EXPECT_EQ(m_pFrame->runStateAtFinish, 2u);
}

TEST_F(ParserEngineScanTest, APageWhoseCheckAStopCutOffIsNotScanned)
{
    CPageNode* a = Page("a.htm");
    CPageNode* b = Page("b.htm");
    m_backend.script = [](ITaskManager& sink, DWORD_PTR dwPage, size_t nIndex) {
        sink.OnTitle(dwPage, "half");
        if (nIndex == 0)
            sink.ReportResult(dwPage, 0, ITaskManager::kCodeCancelled, 0, nullptr, 0);
    };
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    EXPECT_EQ(m_pFrame->Count(kMsgFileScanned), 2u);
    EXPECT_EQ(a->GetScanState(), 1u);
    EXPECT_EQ(b->GetScanState(), 0u);
    // What the page cut off reported is not kept: it counts as not read.
    EXPECT_EQ(a->GetTitle(), "");
    EXPECT_EQ(b->GetTitle(), "half");
}

TEST_F(ParserEngineScanTest, APageAStopCutOffHalfReadStaysNotScanned)
{
    // The fetch engine's parser stops reading at a stop as it stops at the page's end: the page
    // is ended as one read whole, with no word of the stop.
    CPageNode* a = Page("a.htm");
    std::promise<void> halfRead;
    const std::shared_ptr<FakeRecord> record = m_backend.record;
    m_backend.script = [&halfRead, record](ITaskManager& sink, DWORD_PTR dwPage, size_t) {
        for (int i = 0; i < 100; ++i) {
            if (i == 40) {
                halfRead.set_value();
                record->WaitUntil([&] { return record->stopRequested; });
                break;
            }
            sink.OnNamedMeta(dwPage, "keywords", ("k" + std::to_string(i)).c_str(), nullptr);
        }
    };
    ASSERT_EQ(Scan(), 0u);
    // The frame answers the worker meanwhile, as it shows the columns of the tags found.
    std::future<void> half = halfRead.get_future();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (half.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready
           && std::chrono::steady_clock::now() < deadline)
        m_pFrame->Drain();
    ASSERT_EQ(half.wait_for(std::chrono::seconds(0)), std::future_status::ready);
    EXPECT_EQ(m_pEngine->StopScan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    EXPECT_EQ(m_pFrame->Count(kMsgFileScanned), 1u);
    EXPECT_EQ(a->GetScanState(), 1u);
    // Nothing of what was read before the stop is kept: half a page's tags would pass for all.
    EXPECT_EQ(Content(a, "keywords"), nullptr);
}

TEST_F(ParserEngineScanTest, AFetchEngineStoppedOnAnErrorEndsTheScanOnce)
{
    CPageNode* a = Page("a.htm");
    CPageNode* b = Page("b.htm");
    CPageNode* c = Page("c.htm");
    m_backend.failAt = 1; // the check of the second page fails
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());

    EXPECT_EQ(m_pFrame->ids, (std::vector<UINT>{kMsgFileScanned, kMsgScanFinished}));
    EXPECT_EQ(m_pFrame->runStateAtFinish, 2u);
    EXPECT_EQ(m_pModel->GetRunState(), 0u);
    EXPECT_EQ(a->GetScanState(), 0u);
    EXPECT_EQ(b->GetScanState(), 1u);
    EXPECT_EQ(c->GetScanState(), 1u);
    // The stop thread stopped and deleted the failed engine, as after a user's stop.
    EXPECT_EQ(m_backend.record->errorStops, 1);
    EXPECT_TRUE(m_backend.record->stopRequested);
    EXPECT_TRUE(m_backend.record->stopped);
    EXPECT_EQ(m_backend.record->destroyed, 1);

    // Nothing of the failed scan is left to refuse or end the next one.
    m_backend.failAt = static_cast<size_t>(-1);
    m_pFrame->ids.clear();
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    EXPECT_EQ(m_backend.record->made, 2);
    EXPECT_EQ(m_pFrame->Count(kMsgFileScanned), 3u);
    EXPECT_EQ(m_pModel->GetRunState(), 0u);
    // Joining the stop thread shows that no second end was on its way.
    m_pEngine.reset();
    m_pFrame->Drain();
    EXPECT_EQ(m_pFrame->Count(kMsgScanFinished), 1u);
    EXPECT_EQ(m_backend.record->destroyed, 2);
}

TEST_F(ParserEngineScanTest, AFetchEngineThatStopsOnAnErrorAsItStartsIsDeletedAfterItsStart)
{
    Page("a.htm");
    Page("b.htm");
    m_backend.failAt = 1;
    m_backend.startUntilErrorStop = true;
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    EXPECT_EQ(m_backend.record->destroyedStarting, 0);
    EXPECT_EQ(m_backend.record->destroyed, 1);
    EXPECT_EQ(m_pFrame->ids, (std::vector<UINT>{kMsgFileScanned, kMsgScanFinished}));
}

TEST_F(ParserEngineScanTest, AnErrorStopDuringAUsersStopEndsTheScanOnce)
{
    Page("a.htm");
    Page("b.htm");
    m_backend.holdAfter = 1; // the worker waits after the first page...
    m_backend.failAt = 1;    // ...and then reports an error stop while the user's stop runs
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitFor(kMsgFileScanned));
    EXPECT_EQ(m_pEngine->StopScan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());

    EXPECT_EQ(m_backend.record->errorStops, 1);
    EXPECT_EQ(m_pFrame->runStateAtFinish, 2u);
    m_pEngine.reset();
    m_pFrame->Drain();
    EXPECT_EQ(m_pFrame->ids, (std::vector<UINT>{kMsgFileScanned, kMsgScanFinished}));
    EXPECT_EQ(m_pModel->GetRunState(), 0u);
    EXPECT_EQ(m_backend.record->made, 1);
    EXPECT_EQ(m_backend.record->destroyed, 1);
}

TEST_F(ParserEngineScanTest, StopScanOutsideAScanDoesNothing)
{
    EXPECT_EQ(m_pEngine->StopScan(), 0u);
    m_pModel->SetRunState(2);
    EXPECT_EQ(m_pEngine->StopScan(), 0u);
    EXPECT_EQ(m_pModel->GetRunState(), 2u);
    m_pFrame->Drain();
    EXPECT_EQ(m_pFrame->Count(kMsgScanFinished), 0u);
    EXPECT_EQ(m_backend.record->made, 0);
}

TEST_F(ParserEngineScanTest, WithoutASessionNothingIsQueuedAndTheEngineIsKept)
{
    CPageNode* a = Page("a.htm");
    a->SetTitle("kept");
    CMetaContentList* pList = nullptr;
    a->CreateContentList(pList);
    CMetaContent* pContent = nullptr;
    pList->AddContent("Author", "someone", 0, pContent);
    m_backend.session = FALSE;

    EXPECT_EQ(Scan(), 1u);
    EXPECT_EQ(Scan(), 1u);
    EXPECT_EQ(m_backend.record->made, 1);
    EXPECT_EQ(m_backend.record->scanOptionsSet, 1);
    EXPECT_TRUE(m_backend.record->urls.empty());
    EXPECT_EQ(a->GetTitle(), "kept");
    EXPECT_NE(Content(a, "Author"), nullptr);
    EXPECT_EQ(m_pModel->GetRunState(), 0u);
    // The engine deletes the fetch engine it kept.
    m_pEngine.reset();
    EXPECT_EQ(m_backend.record->destroyed, 1);
}

TEST_F(ParserEngineScanTest, WithoutABackendTheScanDoesNotStart)
{
    Page("a.htm");
    m_pEngine->SetScanBackend(nullptr);
    EXPECT_EQ(Scan(), 1u);
    EXPECT_EQ(m_pModel->GetRunState(), 0u);
}

TEST_F(ParserEngineScanTest, PagesDoneWhileQueueingStillEndTheScan)
{
    CPageNode* a = Page("a.htm");
    CPageNode* b = Page("b.htm");
    m_backend.rejectUrls = true;
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    EXPECT_EQ(m_pFrame->ids, (std::vector<UINT>{kMsgFileScanned, kMsgFileScanned, kMsgScanFinished}));
    EXPECT_EQ(a->GetScanState(), 0u);
    EXPECT_EQ(b->GetScanState(), 0u);
}

TEST_F(ParserEngineScanTest, AnEmptySelectionEndsAtOnce)
{
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    EXPECT_EQ(m_pFrame->ids, std::vector<UINT>{kMsgScanFinished});
}

TEST_F(ParserEngineScanTest, ARunningScanRefusesASecondStart)
{
    Page("a.htm");
    Page("b.htm");
    m_backend.holdAfter = 1;
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitFor(kMsgFileScanned));
    EXPECT_EQ(Scan(), 1u);
    EXPECT_EQ(m_backend.record->made, 1);
    m_pEngine->StopScan();
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    // Once the scan has finished, the next one starts.
    m_backend.holdAfter = static_cast<size_t>(-1);
    m_pFrame->ids.clear();
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    EXPECT_EQ(m_pFrame->Count(kMsgFileScanned), 2u);
}

} // namespace

TEST_F(ParserEngineScanTest, AKeywordEngineThatCannotBeMadeIsReportedOncePerScan)
{
    MessageSink pane;
    m_pFrame->outputPane = pane.Handle();
    Page("a.htm");
    Page("b.htm");
    Page("c.htm");
    m_backend.keywords = FALSE;
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    pane.Drain();
    ASSERT_EQ(pane.Lines().size(), 1u);
    EXPECT_NE(pane.Lines()[0].find("KEYWORD EXTRACTION : The keyword engine could not be made"), std::string::npos)
        << pane.Lines()[0];
    // A scan whose engine has its keyword engine says nothing.
    m_backend.keywords = TRUE;
    m_pFrame->ids.clear();
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    pane.Drain();
    EXPECT_EQ(pane.Lines().size(), 1u);
}

TEST_F(ParserEngineScanTest, EachTagsContentIsReadOnceAsItWasWritten)
{
    CPageNode* a = Page("a.htm");
    m_backend.script = [](ITaskManager& sink, DWORD_PTR dwPage, size_t) {
        // As the parser reports a KEYWORDS tag: its content whole, then each keyword of it
        // stripped of its punctuation; then the keyword engine's suggestions.
        sink.OnNamedMeta(dwPage, "keywords", "fish & chips, \"quoted\", R&D, (beta)", nullptr);
        for (const char* keyword : {"fish & chips", "quoted", "R&D", "beta"})
            sink.OnKeyword(dwPage, keyword, 1);
        sink.OnKeyword(dwPage, "chips", 0);
        // A tag the page repeats, and a name given twice with values of its own.
        for (int i = 0; i < 2; ++i)
            sink.OnNamedMeta(dwPage, "viewport", "width=device-width, initial-scale=1.0", nullptr);
        sink.OnNamedMeta(dwPage, "author", "Ann, Bob", nullptr);
        sink.OnNamedMeta(dwPage, "author", "Cy", nullptr);
        sink.OnNamedMeta(dwPage, "author", "Bob,Ann", nullptr);
        sink.OnNamedMeta(dwPage, "author", "", nullptr);
    };
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    ASSERT_NE(Content(a, "keywords"), nullptr);
    EXPECT_EQ(Content(a, "keywords")->GetContent(), "fish & chips, \"quoted\", R&D, (beta)");
    EXPECT_EQ(Content(a, "keywords")->GetModified(), 0u);
    CStringList suggestions;
    Content(a, "keywords")->GetSuggestions(suggestions);
    ASSERT_EQ(suggestions.GetCount(), 1);
    EXPECT_EQ(suggestions.GetHead(), "chips");
    EXPECT_EQ(Content(a, "viewport")->GetContent(), "width=device-width, initial-scale=1.0");
    EXPECT_EQ(Content(a, "author")->GetContent(), "Ann, Bob,Cy");
}

TEST_F(ParserEngineScanTest, APageThatCannotBeReadKeepsItsReasonAndIsTold)
{
    MessageSink pane;
    m_pFrame->outputPane = pane.Handle();
    CPageNode* pGood = Page("good.htm");
    CPageNode* pClosed = Page("closed.htm");
    m_backend.script = [](ITaskManager& sink, DWORD_PTR dwPage, size_t nIndex) {
        // A title read before the file turned out to be no page (binary data) is not kept.
        sink.OnTitle(dwPage, "Seite");
        // A warning, a cancel, or an error about what the page holds (a bad BASE address) say
        // nothing against reading the page; a file that could not be opened does, by its text.
        sink.ReportResult(dwPage, 0x10000, 0x81000005, 0, "Bad last modified date", 0);
        sink.ReportResult(dwPage, 1, 0x80000002, 0, "Cancelled", 0);
        sink.ReportResult(dwPage, 0x3000000, 0x80000009, 0, "Bad base URL", 0);
        if (nIndex == 1)
            sink.ReportResult(dwPage, 0x3000000, 0x81000007, 0, "Could not open file: Access was denied.", 0);
    };
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    EXPECT_EQ(pGood->GetReadFailure(), "");
    EXPECT_EQ(pClosed->GetReadFailure(), "Could not open file: Access was denied.");
    EXPECT_EQ(pGood->GetTitle(), "Seite");
    EXPECT_EQ(pClosed->GetTitle(), "");
    pane.Drain();
    EXPECT_EQ(pane.Lines(), std::vector<std::string>{"closed.htm : Could not open file: Access was denied."});

    // A scan that reads the page clears what the last one found.
    m_backend.script = [](ITaskManager&, DWORD_PTR, size_t) {};
    m_pFrame->ids.clear();
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    EXPECT_EQ(pClosed->GetReadFailure(), "");
}

// The mark a save's copy carries, of a save whose process has ended; "" when none could be run.
static std::string MarkOfAGoneSave()
{
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    if (gone < 0 || waitpid(gone, nullptr, 0) != gone)
        return {};
    return std::to_string(gone) + " 4711";
}

TEST_F(ParserEngineScanTest, AScanRemovesTheCopiesAKilledSaveLeftInItsFolders)
{
    namespace fs = std::filesystem;
    const fs::path folder = TempDir() / "pages";
    fs::create_directories(folder);
    VOSTREL_REQUIRE(MarksMissingIn(folder));
    // Copies marked by a save whose process is gone, and a user's file of a copy's name.
    const std::string mark = MarkOfAGoneSave();
    ASSERT_FALSE(mark.empty());
    for (const char* name : {"SAV1.tmp", "SAVFFFF.tmp"}) {
        WriteFileBytes(folder / name, "<html>half a page");
        ASSERT_EQ(setxattr((folder / name).c_str(), "user.vostrel.save-copy", mark.data(), mark.size(), 0), 0);
    }
    WriteFileBytes(folder / "SAV2.tmp", "a user's file");
    WriteFileBytes(folder / "a.htm", "<html><head></head></html>");
    MessageSink pane;
    m_pFrame->outputPane = pane.Handle();
    CPageNode* pPage = Page("a.htm");
    pPage->SetFolder(folder.c_str());
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    ASSERT_TRUE(pane.WaitFor(kMsgOutputAddLine));
    EXPECT_EQ(pane.Lines(), std::vector<std::string>{folder.string()
                                                     + " : Removed 2 temporary files that an interrupted save had left there."});
    EXPECT_FALSE(fs::exists(folder / "SAV1.tmp"));
    EXPECT_FALSE(fs::exists(folder / "SAVFFFF.tmp"));
    EXPECT_TRUE(fs::exists(folder / "SAV2.tmp"));
    EXPECT_TRUE(fs::exists(folder / "a.htm"));
}

// A site copied by a tool that leaves the files' marks behind (cp -r) carries the copies a save
// was writing there: the scan of the copied site takes them for what they are, left copies, and
// says so; a user's files of like names stay.
TEST_F(ParserEngineScanTest, AScanOfACopiedSiteRemovesTheSavesCopiesItCarries)
{
    namespace fs = std::filesystem;
    const fs::path site = TempDir() / "site";
    fs::create_directories(site / "en");
    VOSTREL_REQUIRE(MarksMissingIn(site));
    VOSTREL_REQUIRE(required_tools::NotOnPath({"cp"}));
    WriteFileBytes(site / "en" / "a.htm", "<html><head></head></html>");
    // Two copies a save of this process writes, as they stand while it writes them.
    std::vector<int> writing;
    for (int i = 0; i < 2; ++i) {
        CString strCopy;
        const int fd = CreateSaveCopy((site / "en").c_str(), strCopy);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, "<html><head>", 12), 12);
        writing.push_back(fd);
    }
    // A user's files of a copy's name, one of them with as many digits as a copy's.
    WriteFileBytes(site / "en" / "SAV1A2B.tmp", "my notes");
    WriteFileBytes(site / "en" / "SAV0123456789ABCDEF.tmp", "my other notes");
    const fs::path copied = TempDir() / "copied";
    ASSERT_EQ(std::system(("cp -r '" + site.string() + "' '" + copied.string() + "'").c_str()), 0);
    for (int fd : writing)
        close(fd);
    std::vector<std::string> carried;
    for (const auto& entry : fs::directory_iterator(copied / "en")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("SAV", 0) == 0 && name != "SAV1A2B.tmp" && name != "SAV0123456789ABCDEF.tmp")
            carried.push_back(name);
    }
    ASSERT_EQ(carried.size(), 2u);
    char szMark[64] = {};
    ASSERT_LT(getxattr((copied / "en" / carried[0]).c_str(), "user.vostrel.save-copy", szMark, sizeof szMark), 0)
        << "the copy kept its mark";

    MessageSink pane;
    m_pFrame->outputPane = pane.Handle();
    Page("a.htm")->SetFolder((copied / "en").c_str());
    ASSERT_EQ(Scan(), 0u);
    ASSERT_TRUE(m_pFrame->WaitForFinish());
    ASSERT_TRUE(pane.WaitFor(kMsgOutputAddLine));
    EXPECT_EQ(pane.Lines(), std::vector<std::string>{(copied / "en").string()
                                                     + " : Removed 2 temporary files that an interrupted save had left there."});
    for (const std::string& name : carried)
        EXPECT_FALSE(fs::exists(copied / "en" / name)) << name;
    EXPECT_EQ(ReadFileBytes(copied / "en" / "SAV1A2B.tmp"), "my notes");
    EXPECT_EQ(ReadFileBytes(copied / "en" / "SAV0123456789ABCDEF.tmp"), "my other notes");
    EXPECT_TRUE(fs::exists(copied / "en" / "a.htm"));
    // The save's own copies in the site it writes are not touched by the copy's scan.
    for (const std::string& name : carried)
        EXPECT_TRUE(fs::exists(site / "en" / name)) << name;
}

TEST_F(ParserEngineScanTest, TheSweepOfTheScannedFoldersEndsBeforeTheEngine)
{
    // A folder full of copies a killed save left: the scan's sweep of it is still busy when the
    // engine goes, and must not go on without it.
    namespace fs = std::filesystem;
    const fs::path folder = TempDir() / "pages";
    fs::create_directories(folder);
    VOSTREL_REQUIRE(MarksMissingIn(folder));
    const std::string mark = MarkOfAGoneSave();
    ASSERT_FALSE(mark.empty());
    constexpr int kCopies = 4000;
    for (int i = 1; i <= kCopies; ++i) {
        char szName[32];
        std::snprintf(szName, sizeof szName, "SAV%X.tmp", i);
        WriteFileBytes(folder / szName, "<html>half a page");
        ASSERT_EQ(setxattr((folder / szName).c_str(), "user.vostrel.save-copy", mark.data(), mark.size(), 0), 0);
    }
    WriteFileBytes(folder / "a.htm", "<html><head></head></html>");
    MessageSink pane;
    m_pFrame->outputPane = pane.Handle();
    Page("a.htm")->SetFolder(folder.c_str());
    ASSERT_EQ(Scan(), 0u);
    // Once the sweep is in the folder, the engine goes.
    auto copiesLeft = [&] {
        int n = 0;
        for (const auto& entry : fs::directory_iterator(folder))
            n += entry.path().filename().string().rfind("SAV", 0) == 0 ? 1 : 0;
        return n;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (copiesLeft() == kCopies && std::chrono::steady_clock::now() < deadline) {
    }
    m_pEngine.reset();
    pane.Drain();
    EXPECT_EQ(pane.Lines(), std::vector<std::string>{folder.string() + " : Removed " + std::to_string(kCopies)
                                                     + " temporary files that an interrupted save had left there."});
}

TEST_F(ParserEngineScanTest, APageThatEndsWhileTheEngineGoesStartsNoStopOfItsOwn)
{
    // The program closes while the worker checks the last page: the page's end, which comes
    // once the engine has asked its fetch engine to stop, must not start a stop of its own,
    // which would report to an engine that is gone.
    Page("a.htm");
    const std::shared_ptr<FakeRecord> record = m_backend.record;
    std::promise<void> checking;
    m_backend.script = [&checking, record](ITaskManager&, DWORD_PTR, size_t) {
        checking.set_value();
        record->WaitUntil([&] { return record->stopRequested; });
    };
    ASSERT_EQ(Scan(), 0u);
    ASSERT_EQ(checking.get_future().wait_for(std::chrono::minutes(1)), std::future_status::ready);
    m_pEngine.reset();
    EXPECT_EQ(record->pagesReported, 1);
    EXPECT_EQ(record->destroyed, 1);
    EXPECT_EQ(m_pModel->GetRunState(), CVostrelAppModel::runScanning) << "a stop began after the engine's end";
    m_pFrame->Drain();
    EXPECT_EQ(m_pFrame->Count(kMsgScanFinished), 0u);
}
