// A whole scan of a folder of pages: the scan engine driving the real fetch engine through its
// backend, with a message-only window in the main frame's place.
#include "FakeTaskSink.h"
#include "engine/MessageSink.h"
#include "support/PeakGrowth.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CConnectOptions.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/IScanHost.h"
#include "engine/project/PageReadability.h"
#include "engine/project/PathToFileUrl.h"
#include "fetch/CFetchScanBackend.h"
#include "platform/core/CException.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/SyncApi.h"
#include "platform/core/ThreadApi.h"
#include "platform/core/WindowHandle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kEnglishText =
    "The garden railway runs through the old orchard. Garden railway models are built in the "
    "workshop, and every garden railway needs careful track work. The steam locomotive pulls "
    "the passenger coaches along the garden railway while visitors watch the steam locomotive "
    "from the orchard. Track work and steam locomotive repairs keep the workshop busy all "
    "summer, and the garden railway society meets in the workshop every week. ";

std::string Page(const std::string& title, const std::string& head, const std::string& body)
{
    return "<html><head><title>" + title + "</title>" + head + "</head><body>" + body + "</body></html>";
}

// The main frame as the scan sees it: it shows settings by setting the event, and ends the run
// state when the scan has finished.
class ScanFrame : public IScanHost {
public:
    explicit ScanFrame(CVostrelAppModel& app) : m_app(app) { m_hWnd = CreateMessageWindow(&ScanFrame::WndProc, this); }
    ~ScanFrame() override { DestroyMessageWindow(m_hWnd); }
    ScanFrame(const ScanFrame&) = delete;
    ScanFrame& operator=(const ScanFrame&) = delete;

    HWND GetMainWindow() override { return m_hWnd; }
    HWND GetOutputPane() override { return outputPane; }

    // Pumps until the scan has finished; false after two minutes (a guard against a hang only).
    bool WaitForFinish()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while (!finished) {
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

    HWND outputPane = nullptr;
    int filesScanned = 0;
    std::vector<CPageNode*> pagesScanned; // in the order their ends came
    bool finished = false;
    std::vector<std::string> shown;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = static_cast<ScanFrame*>(GetMessageWindowData(hWnd));
        if (self == nullptr)
            return 0;
        if (message == kMsgFileScanned) {
            ++self->filesScanned;
            self->pagesScanned.push_back(reinterpret_cast<CPageNode*>(lParam));
        } else if (message == kMsgShowSetting) {
            CString strName;
            reinterpret_cast<CMetaSetting*>(lParam)->GetName(strName);
            self->shown.push_back(strName.GetString());
            SetEvent(reinterpret_cast<HANDLE>(wParam));
        } else if (message == kMsgScanFinished) {
            self->finished = true;
            self->m_app.SetRunState(0);
        }
        return 0;
    }

    CVostrelAppModel& m_app;
    HWND m_hWnd = nullptr;
};

class ScanEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char szTemplate[] = "/tmp/scan-test-XXXXXX";
        m_folder = ::mkdtemp(szTemplate);
        // Nothing of the user's own settings is read or written.
        const char* home = std::getenv("XDG_CONFIG_HOME");
        m_oldConfigHome = home != nullptr ? home : "";
        m_hadConfigHome = home != nullptr;
        fs::create_directory(m_folder / "config");
        ::setenv("XDG_CONFIG_HOME", (m_folder / "config").c_str(), 1);
        m_pModel = std::make_unique<CVostrelAppModel>();
        m_pModel->Install();
        m_pModel->GetMetaSettings().SetDefaults();
        m_pModel->SetProjectSettings(std::make_unique<CProjectSettings>());
        m_root.SetKind(CPageNode::kindRoot);
    }
    void TearDown() override
    {
        m_pModel.reset();
        if (m_hadConfigHome)
            ::setenv("XDG_CONFIG_HOME", m_oldConfigHome.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        std::error_code error;
        fs::remove_all(m_folder, error);
    }

    CPageNode* AddPage(const std::string& name, const std::string& text)
    {
        std::ofstream(m_folder / name, std::ios::binary) << text;
        auto pPage = std::make_unique<CPageNode>();
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetName(name.c_str());
        pPage->SetFolder(m_folder.string().c_str());
        CPageNode* p = pPage.get();
        m_root.AddChild(pPage.release());
        m_selection.AddTail(p);
        return p;
    }

    // Scans the selected pages to the end through the real fetch engine, on the given number of
    // check threads (0: one per processor).
    void Scan(ScanFrame& frame, UINT nThreads = 0, const CSelNodesCol* pSelection = nullptr)
    {
        CProjectSettings* pSettings = nullptr;
        ASSERT_EQ(m_pModel->GetProjectSettings(pSettings), 0u);
        CFetchScanBackend backend;
        CParserEngine engine;
        engine.SetScanBackend(&backend);
        engine.SetScanHost(&frame);
        engine.SetScanThreads(nThreads);
        ASSERT_EQ(engine.StartScan(pSelection != nullptr ? *pSelection : m_selection, *pSettings), 0u);
        ASSERT_TRUE(frame.WaitForFinish());
    }

    static CMetaContent* Content(CPageNode* pPage, const char* name)
    {
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        if (pPage->GetContentList(pList) != 0 || pList->FindByName(name, pContent) != 0)
            return nullptr;
        return pContent;
    }

    fs::path m_folder;
    std::string m_oldConfigHome;
    bool m_hadConfigHome = false;
    std::unique_ptr<CVostrelAppModel> m_pModel;
    CPageNode m_root;
    CSelNodesCol m_selection;
};

TEST_F(ScanEndToEndTest, AFolderOfPagesIsScannedForTitlesMetaTagsAndKeywords)
{
    std::string body;
    for (int i = 0; i < 6; ++i)
        body += kEnglishText;
    CPageNode* a = AddPage("a.htm", Page("Garden Railways",
        "<meta name=\"keywords\" content=\"trains,gardens\">"
        "<meta name=\"Description\" content=\"All about trains\">"
        "<meta http-equiv=\"Content-Language\" content=\"en\">",
        "<p>" + body + "</p><a href=\"b.htm\">next</a>"));
    CPageNode* b = AddPage("b page.html", Page("Second page", "<meta name=\"author\" content=\"Ann\">", "Hello"));
    CPageNode* c = AddPage("c.htm", Page("Third", "", ""));
    CPageNode* missing = AddPage("gone.htm", "");
    fs::remove(m_folder / "gone.htm");

    CProjectSettings* pSettings = nullptr;
    ASSERT_EQ(m_pModel->GetProjectSettings(pSettings), 0u);
    ASSERT_EQ(pSettings->m_bShowAllFound, 1u);
    ScanFrame frame(*m_pModel);
    ASSERT_NO_FATAL_FAILURE(Scan(frame));

    EXPECT_EQ(frame.filesScanned, 4);
    EXPECT_EQ(a->GetTitle(), "Garden Railways");
    EXPECT_EQ(b->GetTitle(), "Second page");
    EXPECT_EQ(c->GetTitle(), "Third");
    for (CPageNode* p : {a, b, c, missing})
        EXPECT_EQ(p->GetScanState(), 0u);

    CMetaContent* pKeywords = Content(a, "keywords");
    ASSERT_NE(pKeywords, nullptr);
    // The tag's own keywords are found again, not added twice.
    EXPECT_EQ(pKeywords->GetContent(), "trains,gardens");
    EXPECT_EQ(pKeywords->GetModified(), 0u);
    // The keyword engine suggested phrases of the text.
    EXPECT_FALSE(pKeywords->Suggestions().IsEmpty());
    EXPECT_LE(pKeywords->Suggestions().GetCount(), 8);
    ASSERT_NE(Content(a, "description"), nullptr);
    EXPECT_EQ(Content(a, "description")->GetContent(), "All about trains");
    ASSERT_NE(Content(a, "content-language"), nullptr);
    EXPECT_EQ(Content(a, "content-language")->GetContent(), "en");
    ASSERT_NE(Content(b, "author"), nullptr);
    EXPECT_EQ(Content(b, "author")->GetContent(), "Ann");
    EXPECT_EQ(m_pModel->GetEditState(), 0u);

    // Every setting found was shown once, through the frame.
    std::set<std::string> shown;
    for (const std::string& name : frame.shown) {
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
        EXPECT_TRUE(shown.insert(lower).second) << name;
    }
    EXPECT_EQ(shown, (std::set<std::string>{"author", "content-language", "description", "keywords"}));
    EXPECT_EQ(m_pModel->GetMetaSettings().GetShownCount(), 4u);
    CMetaSetting* pLanguage = nullptr;
    EXPECT_EQ(m_pModel->GetMetaSettings().FindByName("Content-Language", pLanguage), 0u);
    EXPECT_EQ(m_pModel->GetRunState(), 0u);
}

TEST_F(ScanEndToEndTest, KeywordsAreSuggestedFromThePagesTextAndNotFromItsStyleSheet)
{
    // A manual page whose style sheet is longer than its text.
    std::string sheet = "<style type=\"text/css\">\n<!--\n";
    for (const char* selector : {"h1", "h2", "h3", "p.note", "div.toc > ul", "td", "th", "pre"}) {
        sheet += std::string(selector) + " { margin-top: 12px; padding-bottom: 4px; "
                 "border: 1px solid silver; font-size: 90%; font-family: sans-serif }\n";
    }
    sheet += "-->\n</style>";
    CPageNode* page = AddPage("manual.htm", Page("Manual", sheet,
        "<h1>Track laying</h1><p>" + std::string(kEnglishText) + "</p>"));

    ScanFrame frame(*m_pModel);
    ASSERT_NO_FATAL_FAILURE(Scan(frame));

    CMetaContent* pKeywords = Content(page, "keywords");
    ASSERT_NE(pKeywords, nullptr);
    std::vector<std::string> suggestions;
    for (POSITION pos = pKeywords->Suggestions().GetHeadPosition(); pos != nullptr;)
        suggestions.push_back(pKeywords->Suggestions().GetNext(pos).GetString());
    ASSERT_FALSE(suggestions.empty());
    EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), "garden railway"), suggestions.end())
        << ::testing::PrintToString(suggestions);
    for (const std::string& phrase : suggestions) {
        for (const char* word : {"margin", "padding", "silver", "font", "solid", "px"})
            EXPECT_EQ(phrase.find(word), std::string::npos) << phrase;
    }
}

TEST_F(ScanEndToEndTest, APageOfManyNamesGetsOneContentAndOneSettingForEachName)
{
    // Enough names for a page's contents to be looked up by an index, some of them met again in
    // another case, one of the catalogue's own, and a second page sharing some.
    std::string metas;
    std::vector<std::string> expected;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "topic-" + std::to_string(i);
        metas += "<meta name=\"" + name + "\" content=\"v" + std::to_string(i) + "\">";
        expected.push_back(name);
    }
    metas += "<meta name=\"DESCRIPTION\" content=\"About\">";
    expected.push_back("description");
    for (int i = 0; i < 40; i += 10)
        metas += "<meta name=\"TOPIC-" + std::to_string(i) + "\" content=\"again\">";
    CPageNode* many = AddPage("many.htm", Page("Many", metas, ""));
    CPageNode* few = AddPage("few.htm", Page("Few", "<meta name=\"Topic-5\" content=\"five\">"
                                                    "<meta name=\"fresh\" content=\"new\">", ""));
    const INT_PTR nCatalogue = m_pModel->GetMetaSettings().GetCount();

    ScanFrame frame(*m_pModel);
    ASSERT_NO_FATAL_FAILURE(Scan(frame));

    CMetaContentList* pList = nullptr;
    ASSERT_EQ(many->GetContentList(pList), 0u);
    EXPECT_EQ(pList->GetCount(), static_cast<INT_PTR>(expected.size()));
    ASSERT_NE(Content(many, "topic-7"), nullptr);
    EXPECT_EQ(Content(many, "topic-7")->GetContent(), "v7");
    ASSERT_NE(Content(many, "topic-20"), nullptr);
    const CString separator = CMetaContent::GetListSeparator();
    EXPECT_EQ(Content(many, "topic-20")->GetContent(), "v20" + separator + "again");
    ASSERT_NE(Content(many, "description"), nullptr);
    EXPECT_EQ(Content(many, "description")->GetContent(), "About");
    ASSERT_NE(Content(few, "topic-5"), nullptr);
    EXPECT_EQ(Content(few, "topic-5")->GetContent(), "five");

    // One new setting for each name the catalogue lacked, each shown once, in the order met.
    EXPECT_EQ(m_pModel->GetMetaSettings().GetCount(), nCatalogue + 41);
    std::vector<std::string> shown;
    for (std::string name : frame.shown) {
        std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        shown.push_back(name);
    }
    std::vector<std::string> all = expected;
    all.push_back("fresh");
    EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()), std::set<std::string>(all.begin(), all.end()));
    EXPECT_EQ(shown.size(), all.size());
    // The pages may be read in either order; each page's names come in its own order.
    auto onlyMany = [](std::vector<std::string> names) {
        std::erase_if(names, [](const std::string& name) { return name == "fresh" || name == "topic-5"; });
        return names;
    };
    EXPECT_EQ(onlyMany(shown), onlyMany(expected));
}

// What a scan leaves in the project, as text: each page's title, state and read failure and its
// contents with their suggestions, and the catalogue's names, each with its shown mark.
std::string ScanResult(const CSelNodesCol& pages, CMetaSettingList& catalogue)
{
    std::string out;
    for (POSITION pos = pages.GetHeadPosition(); pos != nullptr;) {
        CPageNode* pPage = pages.GetNext(pos);
        out += std::string(pPage->GetName()) + " [" + pPage->GetTitle().GetString() + "] "
            + std::to_string(pPage->GetScanState()) + " " + pPage->GetReadFailure().GetString() + "\n";
        CMetaContentList* pList = nullptr;
        if (pPage->GetContentList(pList) != 0)
            continue;
        for (POSITION at = pList->GetHeadPosition(); at != nullptr;) {
            const CMetaContent* pContent = pList->GetNext(at);
            out += std::string("  ") + pContent->GetName().GetString() + " = " + pContent->GetContent().GetString();
            for (POSITION s = pContent->Suggestions().GetHeadPosition(); s != nullptr;)
                out += std::string(" | ") + pContent->Suggestions().GetNext(s).GetString();
            out += "\n";
        }
    }
    for (POSITION pos = catalogue.GetHeadPosition(); pos != nullptr;) {
        const CMetaSetting* pSetting = catalogue.GetNext(pos);
        out += std::string(pSetting->Name().GetString()) + (pSetting->IsShown() != 0 ? " shown\n" : "\n");
    }
    return out;
}

TEST_F(ScanEndToEndTest, ManyCheckThreadsLeaveThePagesAndTheCatalogueAsOneDoes)
{
    // Pages of different lengths, so that the threads finish out of order; English and French
    // text for the keyword engine; names the catalogue lacks met first on different pages; pages
    // that cannot be read.
    const char* const kFrench = "Le jardin de la maison est très grand et les élèves préparent la fête dans la "
                                "forêt près de l'école. Le jardin de la maison accueille la fête de l'école. ";
    for (int i = 0; i < 48; ++i) {
        std::string body;
        for (int n = 0; n < 1 + (i * 7) % 13; ++n)
            body += i % 4 == 3 ? kFrench : kEnglishText;
        const std::string metas = "<meta name=\"keywords\" content=\"k" + std::to_string(i % 5) + "\">"
            "<meta name=\"topic-" + std::to_string(i / 6) + "\" content=\"v" + std::to_string(i) + "\">";
        const std::string name = "page" + std::to_string(i) + ".htm";
        if (i % 17 == 5) {
            AddPage(name, "");
            fs::remove(m_folder / name);
        } else {
            AddPage(name, Page("Page " + std::to_string(i), metas, "<p>" + body + "</p>"));
        }
    }
    CPageNode* binary = AddPage("binary.htm", std::string("\x01\x02\x03\x00\xFF", 5) + std::string(600, '\x07'));
    enginetest::MessageSink pane;

    std::vector<std::string> results;
    std::vector<std::vector<std::string>> shown;
    std::vector<std::vector<std::string>> lines;
    for (const UINT nThreads : {1u, 6u}) {
        m_pModel->GetMetaSettings().SetDefaults();
        for (POSITION pos = m_selection.GetHeadPosition(); pos != nullptr;) {
            CMetaContentList* pList = nullptr;
            if (m_selection.GetNext(pos)->GetContentList(pList) == 0)
                pList->DeleteAll();
        }
        ScanFrame frame(*m_pModel);
        frame.outputPane = pane.Handle();
        ASSERT_NO_FATAL_FAILURE(Scan(frame, nThreads));
        pane.Drain();
        // Each page's end came once, in the pages' order.
        std::vector<std::string> pages, ends;
        for (POSITION pos = m_selection.GetHeadPosition(); pos != nullptr;)
            pages.emplace_back(m_selection.GetNext(pos)->GetName());
        for (const CPageNode* pPage : frame.pagesScanned)
            ends.emplace_back(pPage->GetName());
        EXPECT_EQ(ends, pages) << nThreads << " threads";
        results.push_back(ScanResult(m_selection, m_pModel->GetMetaSettings()));
        shown.push_back(frame.shown);
        lines.push_back(pane.Lines());
        pane.messages.clear();
    }
    EXPECT_EQ(results[1], results[0]);
    EXPECT_EQ(shown[1], shown[0]);
    EXPECT_EQ(lines[1], lines[0]);
    // The run of one thread is what the others are held to: it read the pages as they are.
    EXPECT_NE(results[0].find("topic-7 shown"), std::string::npos);
    EXPECT_NE(results[0].find("garden railway"), std::string::npos);
    EXPECT_NE(results[0].find("jardin"), std::string::npos);
    EXPECT_EQ(lines[0].size(), 4u) << ::testing::PrintToString(lines[0]);
    EXPECT_NE(binary->GetReadFailure(), "");
}

TEST_F(ScanEndToEndTest, AFailedCheckIsReportedThroughTheBackendAsAnErrorStop)
{
    AddPage("a.htm", Page("A", "", ""));
    AddPage("b.htm", Page("B", "", ""));
    FakeTaskSink sink;
    sink.m_onTitle = [](DWORD_PTR dwPage) {
        if (dwPage == 2)
            throw new CException();
    };
    CConnectOptions options;
    options.SetNumThreads(1);
    options.SetMaxFileTasksPerHost(100);
    options.SetMaxTotalTasksPerHost(1);
    CFetchScanBackend backend;
    std::unique_ptr<IScanTaskManager> pManager = backend.CreateTaskManager(&sink, options);
    ASSERT_NE(pManager, nullptr);
    std::atomic<int> nErrorStops{0};
    pManager->SetErrorStopHandler([&] { ++nErrorStops; });
    ASSERT_EQ(pManager->OpenInternetSession(), 1);
    for (DWORD_PTR dwPage : {DWORD_PTR{1}, DWORD_PTR{2}}) {
        CString strUrl = (m_folder / (dwPage == 1 ? "a.htm" : "b.htm")).string().c_str();
        PathToFileUrl(strUrl);
        ASSERT_TRUE(pManager->QueueUrl(dwPage, strUrl, 1, TRUE));
    }
    pManager->StartThreads();
    // Bounded wait for the report, which the failing check's worker makes.
    for (int i = 0; i < 600 && nErrorStops.load() == 0; ++i)
        Sleep(100);
    pManager->RequestStop();
    pManager->StopThreads();
    EXPECT_EQ(nErrorStops.load(), 1);
    EXPECT_EQ(sink.Page(1).done, 1);
    EXPECT_EQ(sink.Page(2).done, 0);
}

TEST_F(ScanEndToEndTest, EachPageTheScanCannotReadIsToldWithItsCause)
{
    // A page as today's sites write them: its menu and search icons are inline pictures, each
    // with a title of its own.
    CPageNode* icons = AddPage("icons.htm",
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Getting started</title></head>"
        "<body><button><svg viewBox=\"0 0 24 24\"><title>Open menu</title><path d=\"M3 6h18\"/></svg></button>"
        "<p>Garden railways</p><a href=\"find.htm\"><svg viewBox=\"0 0 16 16\"><title>Search</title></svg></a>"
        "</body></html>\n");
    CPageNode* good = AddPage("good.htm", Page("Good", "", "text"));
    // Random bytes, a page cut short in its head, a page in UTF-16 with its byte order mark.
    std::mt19937 random(4711);
    std::string strRandom(4096, '\0');
    for (char& ch : strRandom)
        ch = static_cast<char>(random() & 0xFF);
    CPageNode* noise = AddPage("noise.htm", strRandom);
    CPageNode* cut = AddPage("cut.htm", "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>Track la");
    std::string strUtf16 = "\xFF\xFE";
    for (const char ch : Page("Wide", "<meta name=\"author\" content=\"Ann\">", "text"))
        strUtf16 += std::string{ch, '\0'};
    CPageNode* wide = AddPage("wide.htm", strUtf16);
    // A page that became a named pipe after the walk.
    CPageNode* pipe = AddPage("pipe.htm", "");
    fs::remove(m_folder / "pipe.htm");
    ASSERT_EQ(::mkfifo((m_folder / "pipe.htm").c_str(), 0644), 0);

    enginetest::MessageSink pane;
    ScanFrame frame(*m_pModel);
    frame.outputPane = pane.Handle();
    ASSERT_NO_FATAL_FAILURE(Scan(frame));
    pane.Drain();
    std::vector<std::string> lines = pane.Lines();
    std::sort(lines.begin(), lines.end());
    const std::string strBinary = "The file holds binary data, not the text of an HTML page.";
    const std::string strWide = "The page is written in UTF-16, a charset this program does not write: it is left as it is.";
    const std::string strPipe = "It is a named pipe, not a file.";
    EXPECT_EQ(lines, (std::vector<std::string>{"cut.htm : Missing HEAD end tag.", "noise.htm : " + strBinary,
                                               "pipe.htm : " + strPipe, "wide.htm : " + strWide}));
    EXPECT_EQ(frame.filesScanned, 6);
    EXPECT_EQ(icons->GetTitle(), "Getting started");
    EXPECT_EQ(good->GetTitle(), "Good");
    for (CPageNode* p : {icons, good, cut})
        EXPECT_EQ(p->GetReadFailure(), "") << p->GetName();
    // A page the scan could not read is marked so, with the reason; one a save would refuse is
    // not: it was read, and the save says why again.
    EXPECT_EQ(noise->GetReadFailure(), strBinary.c_str());
    EXPECT_EQ(wide->GetReadFailure(), strWide.c_str());
    EXPECT_EQ(pipe->GetReadFailure(), strPipe.c_str());
}

// A page that is one picture written into an IMG tag: the scan's memory grows by the picture held
// twice (the lexer's token, in a buffer of 64 MB, and the tag's attribute), never by copies of it
// made to report its link. Measured in a child process, from what it holds when it starts.
TEST_F(ScanEndToEndTest, APageThatIsOnePictureIsScannedWithoutCopiesOfThePicture)
{
    constexpr size_t kPicture = 60u << 20;
    CPageNode* pPage = AddPage("picture.htm", Page("Plan", "", "<img alt=\"Plan\" src=\"data:image/png;base64,"
        + std::string(kPicture, 'Q') + "\"><meta name=\"author\" content=\"After\">"));
    const double dGrowth = PeakGrowthInChild([&] {
        ScanFrame frame(*m_pModel);
        Scan(frame, 1);
        return Content(pPage, "author") != nullptr;
    });
    EXPECT_GT(dGrowth, 0) << "the page was not scanned to its end";
    if (kPeakTellsHeldMemory) {
        EXPECT_LT(dGrowth, 2.6 * kPicture) << "the scan grew by " << dGrowth / (1 << 20) << " MB";
    }
}

// Pages larger than the scan reads, each a title and then gigabytes that were never written, are
// told with their sizes and left unread: not read, and no failure to read either, so a save
// leaves them as pages the scan did not come to. A page of the largest size read is read: its
// bytes tell binary data at once. The scan goes on to the pages after them.
TEST_F(ScanEndToEndTest, PagesLargerThanTheScanReadsAreToldWithTheirSizesAndLeftUnread)
{
    const std::string strLeftUnread = ": Left unread: the page is ";
    const struct {
        const char* name;
        unsigned long long nSize;
        std::string line;
    } rows[] = {
        {"at-limit.htm", kLargestReadPage, "at-limit.htm : The file holds binary data, not the text of an HTML page."},
        {"over.htm", kLargestReadPage + 1,
         "over.htm " + strLeftUnread + "2 GB (2,147,483,633 bytes), and the scan reads pages of up to 2 GB."},
        {"huge.htm", 5ull << 29,
         "huge.htm " + strLeftUnread + "2.5 GB (2,684,354,560 bytes), and the scan reads pages of up to 2 GB."},
    };
    std::vector<CPageNode*> pages;
    for (const auto& row : rows) {
        pages.push_back(AddPage(row.name, Page("Large", "", "")));
        fs::resize_file(m_folder / row.name, row.nSize);
    }
    CPageNode* after = AddPage("after.htm", Page("After", "", "text"));

    enginetest::MessageSink pane;
    ScanFrame frame(*m_pModel);
    frame.outputPane = pane.Handle();
    ASSERT_NO_FATAL_FAILURE(Scan(frame, 1));
    pane.Drain();
    std::vector<std::string> expected;
    for (const auto& row : rows)
        expected.push_back(row.line);
    EXPECT_EQ(pane.Lines(), expected);
    EXPECT_EQ(frame.filesScanned, 4);
    EXPECT_TRUE(after->IsRead());
    EXPECT_EQ(after->GetTitle(), "After");
    EXPECT_FALSE(pages[0]->IsLeftUnread());
    EXPECT_FALSE(pages[0]->GetReadFailure().IsEmpty());
    CSelNodesCol leftUnread;
    for (CPageNode* p : {pages[1], pages[2]}) {
        EXPECT_TRUE(p->IsLeftUnread()) << p->GetName();
        EXPECT_FALSE(p->IsRead()) << p->GetName();
        EXPECT_EQ(p->GetReadFailure(), "") << p->GetName();
        EXPECT_EQ(p->GetTitle(), "") << p->GetName();
        leftUnread.AddTail(p);
    }

    CParserEngine engine;
    enginetest::MessageSink sink;
    ASSERT_EQ(engine.StartSave(leftUnread, sink.Handle(), sink.Handle()), 0u);
    ASSERT_TRUE(sink.WaitFor(kMsgSaveFinished));
    const std::string strNotRead = "Not saved: the scan left the page unread for its size, so its tags are not known.";
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"OVER.HTM : " + strNotRead, "HUGE.HTM : " + strNotRead}));
}

} // namespace

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Pages of the scanned selection: each read, its Description typed anew.
void TypeDescriptions(std::initializer_list<CPageNode*> pages, const std::string& text)
{
    for (CPageNode* p : pages) {
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        ASSERT_TRUE(p->IsRead() && p->GetContentList(pList) == 0 && pList->FindByName("description", pContent) == 0)
            << p->GetName();
        pContent->SetContent((text + " " + p->GetName().GetString()).c_str());
        pContent->SetModified(1);
    }
}

// A new file an editor writes and renames over the path, as editors save.
void SaveAnew(const fs::path& path, const std::string& text)
{
    std::ofstream(path.string() + ".tmp", std::ios::binary) << text;
    fs::rename(path.string() + ".tmp", path);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// A site's files below the folder, but for the test's own settings.
std::set<std::string> FilesBelow(const fs::path& folder)
{
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (const std::string strName = entry.path().lexically_relative(folder).string(); strName.rfind("config", 0) != 0)
            files.insert(strName);
    }
    return files;
}

const std::string kRefused = "Not saved: the page's name now leads to another file than the one the scan read (a link or "
                             "another file was put in its place). The page was left as it is; Start Scan reads what it "
                             "holds now.";
const std::string kChangedBehind = "Saved, but another program had changed the page since it was scanned: its changes "
                                   "were kept, and the edits written over them.";

// The scan reads each page's file; other programs then change them. The save writes only into
// the files the scan read, or into files an editor saved anew in their places, reached as they
// were: through a link the page was at its scan, or a linked folder, never through a link put
// there since, to another page or to a file outside the site, nor into another page's file. It
// tells each page another program changed. A page whose file has other names is backed up by a
// copy, which writing through those names leaves as it was.
TEST_F(ScanEndToEndTest, APageWhoseNameLeadsToAnotherFileSinceTheScanIsNotWrittenThroughIt)
{
    const auto page = [](const char* title, const char* description) {
        return Page(title, std::string("<meta name=\"description\" content=\"") + description + "\">", "text");
    };
    CPageNode* a = AddPage("a.htm", page("A", "A's own"));
    CPageNode* b = AddPage("b.htm", page("B", "B's own"));
    CPageNode* outer = AddPage("outer.htm", page("Outer", "Outer's own"));
    CPageNode* remade = AddPage("remade.htm", page("Remade", "Remade's own"));
    CPageNode* grown = AddPage("grown.htm", page("Grown", "Grown's own"));
    CPageNode* twin = AddPage("twin.htm", page("Twin", "Twin's own"));
    CPageNode* taken = AddPage("taken.htm", page("Taken", "Taken's own"));
    fs::create_hard_link(m_folder / "twin.htm", m_folder / "twin-name.htm");
    // Two pages that are links when they are scanned, and stay links; a page in a linked folder;
    // a page in a folder that a link takes the place of.
    fs::create_directories(m_folder / "real");
    fs::create_directories(m_folder / "shared");
    fs::create_directories(m_folder / "sub");
    const std::string strReal = page("Real", "Real's own");
    std::ofstream(m_folder / "real" / "page.htm", std::ios::binary) << strReal;
    std::ofstream(m_folder / "real" / "target.htm", std::ios::binary) << page("Target", "Target's own");
    CPageNode* linked = AddPage("linked.htm", "");
    CPageNode* retargeted = AddPage("retargeted.htm", "");
    for (const char* name : {"linked.htm", "retargeted.htm"})
        fs::remove(m_folder / name);
    fs::create_symlink("real/page.htm", m_folder / "linked.htm");
    fs::create_symlink("real/target.htm", m_folder / "retargeted.htm");
    fs::create_directory_symlink("shared", m_folder / "docs");
    CPageNode* guide = AddPage("docs/guide.htm", page("Guide", "Guide's own"));
    const std::string strSub = page("Sub", "Sub's own");
    CPageNode* inSub = AddPage("sub/p.htm", strSub);
    ScanFrame frame(*m_pModel);
    ASSERT_NO_FATAL_FAILURE(Scan(frame));
    ASSERT_EQ(Content(linked, "description")->GetContent(), "Real's own");
    ASSERT_NO_FATAL_FAILURE(TypeDescriptions({a, outer, remade, grown, twin, taken, linked, retargeted, guide, inSub},
                                             "Typed for"));
    b->SetTitle("B, new");
    b->SetTitleModified(1);

    // Behind the program: a.htm becomes a link to b.htm, outer.htm one to a file never scanned,
    // taken.htm another name of that file, and sub a link to a folder of other files.
    fs::create_directories(m_folder / "elsewhere");
    const std::string strPrivate = page("Private", "Not the site's");
    std::ofstream(m_folder / "elsewhere" / "private.htm", std::ios::binary) << strPrivate;
    const std::string strB = ReadFile(m_folder / "b.htm");
    fs::remove(m_folder / "a.htm");
    fs::create_symlink("b.htm", m_folder / "a.htm");
    fs::remove(m_folder / "outer.htm");
    fs::create_symlink("elsewhere/private.htm", m_folder / "outer.htm");
    fs::remove(m_folder / "taken.htm");
    fs::create_hard_link(m_folder / "elsewhere" / "private.htm", m_folder / "taken.htm");
    fs::rename(m_folder / "sub", m_folder / "sub-before");
    fs::create_directories(m_folder / "other");
    const std::string strOther = page("Other", "Other's own");
    std::ofstream(m_folder / "other" / "p.htm", std::ios::binary) << strOther;
    fs::create_directory_symlink("other", m_folder / "sub");
    // Editors save remade.htm anew, and the files retargeted.htm and docs/guide.htm lead to, by
    // a new file renamed over each; grown.htm is appended to. Each is still the page's own file.
    const std::string strRemade = page("Remade", "Remade by hand");
    SaveAnew(m_folder / "remade.htm", strRemade);
    const std::string strTarget = page("Target", "Target by hand");
    SaveAnew(m_folder / "real" / "target.htm", strTarget);
    const std::string strGuide = page("Guide", "Guide by hand");
    SaveAnew(m_folder / "shared" / "guide.htm", strGuide);
    const std::string strGrown = page("Grown", "Grown's own") + "<!-- appended -->\n";
    std::ofstream(m_folder / "grown.htm", std::ios::binary | std::ios::app) << "<!-- appended -->\n";
    const std::string strTwin = ReadFile(m_folder / "twin.htm");

    CParserEngine engine;
    enginetest::MessageSink sink;
    ASSERT_EQ(engine.StartSave(m_selection, sink.Handle(), sink.Handle()), 0u);
    ASSERT_TRUE(sink.WaitFor(kMsgSaveFinished));

    EXPECT_EQ(sink.Lines(),
              (std::vector<std::string>{"A.HTM : " + kRefused, "OUTER.HTM : " + kRefused, "REMADE.HTM : " + kChangedBehind,
                                        "GROWN.HTM : " + kChangedBehind,
                                        "TWIN.HTM : Saved as a new file: the page's other names (hard links) still show "
                                        "the old text.",
                                        "TAKEN.HTM : " + kRefused, "RETARGETED.HTM : " + kChangedBehind,
                                        "DOCS/GUIDE.HTM : " + kChangedBehind, "SUB/P.HTM : " + kRefused}));
    EXPECT_EQ(sink.Count(kMsgSavePageDone), 7u);
    // Every file as it should be: the links stand, what they lead to since is untouched and
    // has no backup; b.htm has its own edit alone, and each page saved its edit over what it
    // held, which its backup keeps.
    EXPECT_EQ(fs::read_symlink(m_folder / "a.htm"), "b.htm");
    EXPECT_EQ(fs::read_symlink(m_folder / "outer.htm"), "elsewhere/private.htm");
    EXPECT_EQ(fs::read_symlink(m_folder / "linked.htm"), "real/page.htm");
    EXPECT_EQ(fs::read_symlink(m_folder / "retargeted.htm"), "real/target.htm");
    EXPECT_EQ(ReadFile(m_folder / "elsewhere" / "private.htm"), strPrivate);
    EXPECT_EQ(ReadFile(m_folder / "taken.htm"), strPrivate);
    EXPECT_EQ(ReadFile(m_folder / "other" / "p.htm"), strOther);
    EXPECT_EQ(ReadFile(m_folder / "sub-before" / "p.htm"), strSub);
    EXPECT_EQ(ReadFile(m_folder / "b.htm"), Replaced(strB, "<title>B</title>", "<title>B, new</title>"));
    EXPECT_EQ(ReadFile(m_folder / "b.htm.old"), strB);
    const std::vector<std::tuple<fs::path, std::string, std::string, std::string>> saved = {
        {"real/page.htm", strReal, "Real's own", "linked.htm"},
        {"real/target.htm", strTarget, "Target by hand", "retargeted.htm"},
        {"remade.htm", strRemade, "Remade by hand", "remade.htm"},
        {"shared/guide.htm", strGuide, "Guide by hand", "docs/guide.htm"},
        {"grown.htm", strGrown, "Grown's own", "grown.htm"},
        {"twin.htm", strTwin, "Twin's own", "twin.htm"}};
    for (const auto& [path, before, from, name] : saved) {
        EXPECT_EQ(ReadFile(m_folder / path), Replaced(before, from, "Typed for " + name)) << path;
        EXPECT_EQ(ReadFile(m_folder / (path.string() + ".old")), before) << path;
    }
    // The backup of the page with another name is a copy: writing through that name leaves it be.
    std::ofstream(m_folder / "twin-name.htm", std::ios::binary | std::ios::app) << "<!-- through the other name -->\n";
    EXPECT_EQ(ReadFile(m_folder / "twin.htm.old"), strTwin);
    EXPECT_EQ(ReadFile(m_folder / "twin-name.htm"), strTwin + "<!-- through the other name -->\n");
    EXPECT_EQ(FilesBelow(m_folder),
              (std::set<std::string>{"a.htm", "b.htm", "b.htm.old", "docs", "elsewhere", "elsewhere/private.htm",
                                     "grown.htm", "grown.htm.old", "linked.htm", "other", "other/p.htm", "outer.htm",
                                     "real", "real/page.htm", "real/page.htm.old", "real/target.htm",
                                     "real/target.htm.old", "remade.htm", "remade.htm.old", "retargeted.htm", "shared",
                                     "shared/guide.htm", "shared/guide.htm.old", "sub", "sub-before", "sub-before/p.htm",
                                     "taken.htm", "twin-name.htm", "twin.htm", "twin.htm.old"}));
    // The refused pages keep their edits for a save after a new scan; the others are saved.
    for (CPageNode* p : {a, outer, taken, inSub})
        EXPECT_EQ(Content(p, "description")->GetModified(), 1u) << p->GetName();
    for (CPageNode* p : {remade, grown, twin, linked, retargeted, guide})
        EXPECT_EQ(Content(p, "description")->GetModified(), 0u) << p->GetName();
    EXPECT_EQ(b->GetTitleModified(), 0u);
}

// Two instances of the program scan the same site. The first saves its edits, and one page again:
// its own save is no other program's change. The second then saves its edits over the pages the
// first wrote, and says so for each; the first's changes stay in them.
TEST_F(ScanEndToEndTest, PagesAnotherInstanceSavedSinceTheScanAreToldAsTheSecondSavesOverThem)
{
    const std::string strPage = Page("Page", "<meta name=\"description\" content=\"As generated\">", "text");
    CPageNode* first = AddPage("first.htm", strPage);
    CPageNode* second = AddPage("second.htm", strPage);
    CPageNode otherRoot;
    CSelNodesCol others;
    for (const char* name : {"first.htm", "second.htm"}) {
        auto* pOther = new CPageNode; // the tree owns it
        otherRoot.AddChild(pOther);
        others.AddTail(pOther);
        pOther->SetKind(CPageNode::kindPage);
        pOther->SetName(name);
        pOther->SetFolder(m_folder.string().c_str());
    }
    ScanFrame frame(*m_pModel), otherFrame(*m_pModel);
    ASSERT_NO_FATAL_FAILURE(Scan(frame));
    ASSERT_NO_FATAL_FAILURE(Scan(otherFrame, 0, &others));
    const auto save = [](const CSelNodesCol& pages) {
        CParserEngine engine;
        enginetest::MessageSink sink;
        EXPECT_EQ(engine.StartSave(pages, sink.Handle(), sink.Handle()), 0u);
        EXPECT_TRUE(sink.WaitFor(kMsgSaveFinished));
        EXPECT_EQ(sink.Count(kMsgSavePageDone), static_cast<size_t>(pages.GetCount()));
        return sink.Lines();
    };
    ASSERT_NO_FATAL_FAILURE(TypeDescriptions({first, second}, "Mine for"));
    first->SetTitle("Mine");
    first->SetTitleModified(1);
    EXPECT_EQ(save(m_selection), std::vector<std::string>{});
    // Saved again, the first page holds what the program itself wrote: nothing to write, and no
    // word of another program.
    ASSERT_NO_FATAL_FAILURE(TypeDescriptions({second}, "Mine again for"));
    EXPECT_EQ(save(m_selection), std::vector<std::string>{"FIRST.HTM : Nothing to write: the page holds its edits "
                                                          "already, byte for byte. It was left as it was, without a backup."});

    ASSERT_NO_FATAL_FAILURE(TypeDescriptions({others.GetHead(), others.GetTail()}, "Theirs for"));
    EXPECT_EQ(save(others), (std::vector<std::string>{"FIRST.HTM : " + kChangedBehind, "SECOND.HTM : " + kChangedBehind}));
    EXPECT_EQ(ReadFile(m_folder / "first.htm"),
              Replaced(Replaced(strPage, "As generated", "Theirs for first.htm"), "<title>Page<", "<title>Mine<"));
    EXPECT_EQ(ReadFile(m_folder / "second.htm"), Replaced(strPage, "As generated", "Theirs for second.htm"));
    EXPECT_EQ(ReadFile(m_folder / "second.htm.old3"), Replaced(strPage, "As generated", "Mine again for second.htm"));
}

} // namespace
