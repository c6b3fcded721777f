#include "FakeTaskSink.h"
#include "support/ScopedTempDir.h"

#include "engine/project/CConnectOptions.h"
#include "engine/project/CScanOptions.h"
#include "engine/project/PathToFileUrl.h"
#include "fetch/CTaskManager.h"
#include "fetch/ResultCodes.h"
#include "platform/core/CException.h"
#include "platform/core/ThreadApi.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <cctype>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr const char* kTaskEnglishText =
    "The garden railway runs through the old orchard. Garden railway models are built in the "
    "workshop, and every garden railway needs careful track work. The steam locomotive pulls "
    "the passenger coaches along the garden railway while visitors watch the steam locomotive "
    "from the orchard. Track work and steam locomotive repairs keep the workshop busy all "
    "summer, and the garden railway society meets in the workshop every week. ";

// Writes a page into the folder and gives its path.
fs::path WritePage(const ScopedTempDir& folder, const std::string& name, const std::string& text)
{
    folder.WriteFile(name, text);
    return folder.File(name);
}

CString FileUrl(const fs::path& path)
{
    CString strUrl = path.string().c_str();
    PathToFileUrl(strUrl);
    return strUrl;
}

// The options the scan engine gives: one check thread, one task in all.
CConnectOptions ScanConnectOptions(int nThreads = 1)
{
    CConnectOptions options;
    options.SetNumThreads(nThreads);
    options.SetMaxHttpTasksPerHost(100);
    options.SetMaxFileTasksPerHost(100);
    options.SetMaxTotalTasksPerHost(1);
    options.SetMaxTotalTasks(nThreads);
    return options;
}

std::string TaskPage(const std::string& title, const std::string& head, const std::string& body)
{
    return "<html><head><title>" + title + "</title>" + head + "</head><body>" + body + "</body></html>";
}

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Compares a text with a shape in which '#' stands for a digit, 'A' for an upper-case letter,
// 'a' for a lower-case letter and 's' for a sign; every other character stands for itself.
bool HasShape(const std::string& text, const std::string& shape)
{
    if (text.size() != shape.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        switch (shape[i]) {
        case '#': if (!std::isdigit(c)) return false; break;
        case 'A': if (!std::isupper(c)) return false; break;
        case 'a': if (!std::islower(c)) return false; break;
        case 's': if (c != '+' && c != '-') return false; break;
        default: if (text[i] != shape[i]) return false;
        }
    }
    return true;
}

TEST(CTaskManagerTest, ScansAFolderOfLocalPagesEndToEnd)
{
    ScopedTempDir folder;
    std::string body;
    for (int i = 0; i < 6; ++i)
        body += kTaskEnglishText;
    const fs::path a = WritePage(folder, "a.htm",
        TaskPage("Garden Railways", "<meta name=\"keywords\" content=\"trains, gardens\">"
                                "<meta name=\"Description\" content=\"All about trains\">"
                                "<meta http-equiv=\"Content-Language\" content=\"en\">",
            "<p>" + body + "</p><a href=\"b.htm\">next</a>"));
    const fs::path b = WritePage(folder, "b.html", TaskPage("Second page", "<meta name=\"author\" content=\"Ann\">", "Hello"));
    const fs::path c = WritePage(folder, "c.htm", TaskPage("Third", "", ""));

    FakeTaskSink sink;
    const CConnectOptions options = ScanConnectOptions();
    CTaskManager manager(&sink, nullptr, 0, &options);
    manager.SetScanOptions(CScanOptions());
    ASSERT_TRUE(manager.OpenInternetSession());
    EXPECT_TRUE(manager.QueueUrl(1, FileUrl(a), 1, TRUE));
    EXPECT_TRUE(manager.QueueUrl(2, FileUrl(b), 1, TRUE));
    EXPECT_TRUE(manager.QueueUrl(3, FileUrl(c), 1, TRUE));
    manager.StartThreads();
    EXPECT_EQ(manager.GetThreadCount(), 2);
    ASSERT_TRUE(sink.WaitForDone(3));
    manager.RequestStop();
    manager.StopThreads();
    EXPECT_EQ(manager.GetUrlsDone(), 3);
    EXPECT_TRUE(manager.AreTasksFinished());
    EXPECT_EQ(manager.GetState(), TaskManagerState::Stopped);

    const FakePage pageA = sink.Page(1);
    EXPECT_EQ(pageA.title, "Garden Railways");
    EXPECT_EQ(pageA.done, 1);
    EXPECT_TRUE(Contains(pageA.existingKeywords, "trains"));
    EXPECT_TRUE(Contains(pageA.existingKeywords, "gardens"));
    EXPECT_FALSE(pageA.suggestedKeywords.empty());
    EXPECT_LE(pageA.suggestedKeywords.size(), 8u);
    EXPECT_TRUE(std::any_of(pageA.namedMeta.begin(), pageA.namedMeta.end(),
        [](const auto& meta) { return meta.second == "All about trains"; }));
    ASSERT_EQ(pageA.httpEquivMeta.size(), 1u);
    EXPECT_EQ(pageA.httpEquivMeta[0].second, "en");
    EXPECT_TRUE(Contains(pageA.links, "b.htm"));
    EXPECT_EQ(pageA.contentLength, static_cast<long>(fs::file_size(a)));
    EXPECT_GT(pageA.lastModified, 0);
    // "Checking..." twice (first stage and fetch), then "Ok".
    ASSERT_FALSE(pageA.results.empty());
    EXPECT_EQ(pageA.results.front().dwCode, RC_CHECKING);
    EXPECT_EQ(pageA.results.front().text, "Checking...");
    EXPECT_EQ(pageA.results.back().dwCode, RC_FILE_OK);
    EXPECT_EQ(pageA.results.back().text, "Ok");

    const FakePage pageB = sink.Page(2);
    EXPECT_EQ(pageB.title, "Second page");
    EXPECT_TRUE(std::any_of(pageB.namedMeta.begin(), pageB.namedMeta.end(),
        [](const auto& meta) { return meta.second == "Ann"; }));
    EXPECT_EQ(sink.Page(3).title, "Third");
    EXPECT_TRUE(sink.Page(3).suggestedKeywords.empty());
}

TEST(CTaskManagerTest, ABadUrlIsReportedAndFinishedAtOnce)
{
    FakeTaskSink sink;
    CTaskManager manager(&sink, nullptr, 0, nullptr);
    EXPECT_FALSE(manager.QueueUrl(9, "", 1, TRUE));
    EXPECT_EQ(sink.Page(9).done, 1);
    ASSERT_EQ(sink.Page(9).results.size(), 1u);
    EXPECT_EQ(sink.Page(9).results[0].dwCode, RC_ERROR_TEXT);
}

TEST(CTaskManagerTest, StoppingMidScanLeavesTheRestUnchecked)
{
    ScopedTempDir folder;
    FakeTaskSink sink;
    const CConnectOptions options = ScanConnectOptions();
    CTaskManager manager(&sink, nullptr, 0, &options);
    constexpr int kPages = 200;
    for (int i = 0; i < kPages; ++i) {
        const fs::path path = WritePage(folder, "p" + std::to_string(i) + ".htm", TaskPage("P", "", kTaskEnglishText));
        manager.QueueUrl(static_cast<DWORD_PTR>(i + 1), FileUrl(path), 1, TRUE);
    }
    // The third page asks for the stop itself, so the test needs no timing.
    sink.m_onTaskDone = [&](DWORD_PTR dwPage) {
        if (dwPage == 3)
            manager.RequestStop();
    };
    std::atomic<int> nErrorStops{0};
    manager.SetErrorStopHandler([&] { ++nErrorStops; });
    manager.StartThreads();
    ASSERT_TRUE(sink.WaitForDone(3));
    manager.StopThreads();
    EXPECT_EQ(sink.DoneCount(), 3);
    EXPECT_EQ(sink.Page(4).done, 0);
    EXPECT_TRUE(manager.IsStopRequested());
    // The owner's own stop is no error.
    EXPECT_FALSE(manager.HasStoppedOnError());
    EXPECT_EQ(nErrorStops.load(), 0);
}

TEST(CTaskManagerTest, AnExceptionInACheckStopsTheEngine)
{
    ScopedTempDir folder;
    FakeTaskSink sink;
    const CConnectOptions options = ScanConnectOptions();
    CTaskManager manager(&sink, nullptr, 0, &options);
    for (int i = 1; i <= 5; ++i) {
        const fs::path path = WritePage(folder, "p" + std::to_string(i) + ".htm", TaskPage("T", "", ""));
        manager.QueueUrl(static_cast<DWORD_PTR>(i), FileUrl(path), 1, TRUE);
    }
    sink.m_onTitle = [](DWORD_PTR dwPage) {
        if (dwPage == 2)
            throw std::runtime_error("no room for page 2");
    };
    std::atomic<int> nErrorStops{0};
    manager.SetErrorStopHandler([&] { ++nErrorStops; });
    EXPECT_FALSE(manager.HasStoppedOnError());
    EXPECT_STREQ(manager.GetStopErrorText(), "");
    manager.StartThreads();
    // Bounded wait for the stop event, which the failing check sets.
    for (int i = 0; i < 600 && !manager.IsStopRequested(); ++i)
        Sleep(100);
    ASSERT_TRUE(manager.IsStopRequested());
    manager.StopThreads();
    EXPECT_EQ(sink.Page(1).done, 1);
    for (DWORD_PTR dwPage = 2; dwPage <= 5; ++dwPage)
        EXPECT_EQ(sink.Page(dwPage).done, 0) << dwPage;
    // The owner hears once that the engine stopped on its own, as those pages will never end.
    EXPECT_TRUE(manager.HasStoppedOnError());
    EXPECT_EQ(nErrorStops.load(), 1);
    // And the first error is kept to say why.
    EXPECT_STREQ(manager.GetStopErrorText(), "no room for page 2");
}

TEST(CTaskManagerTest, LogLinesBeginWithTheThreadIdAndTheHeaderComesFirst)
{
    std::ostringstream log;
    {
        FakeTaskSink sink;
        CConnectOptions options = ScanConnectOptions();
        options.SetNumThreads(3);
        CTaskManager manager(&sink, &log, 0, &options);
        EXPECT_TRUE(manager.IsLogging());
        manager.Log("hello ", "from ", "test");
    }
    const std::string text = log.str();
    std::istringstream lines(text);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);)
        all.push_back(line);
    char szPrefix[16];
    std::snprintf(szPrefix, sizeof szPrefix, "%08x: ", static_cast<unsigned>(GetCurrentThreadId()));
    std::vector<std::string> headers;
    for (const std::string& line : all) {
        if (line.empty())
            continue;   // the version, limit and thread lines end with their own line break
        EXPECT_EQ(line.compare(0, 10, szPrefix), 0) << line;
        headers.push_back(line.substr(10));
    }
    ASSERT_GE(headers.size(), 6u);
    size_t i = 0;
    if (headers[0].rfind("=== Log from: ", 0) == 0)
        ++i;
    EXPECT_EQ(headers[i++], "=== Backend Version: X534 (Jun 23 1999 09:40:18)");
    EXPECT_EQ(headers[i++].rfind("=== WININET.DLL: WININET V", 0), 0u);
    EXPECT_TRUE(HasShape(headers[i++], "=== Start Time:  (##:##:## ##-Aaa-#### s####)"));
    EXPECT_EQ(headers[i++], "=== Action Limit: 20");
    EXPECT_EQ(headers[i++], "=== Threads: 3");
    EXPECT_EQ(headers[i++], "hello from test");
}

TEST(CTaskManagerTest, AStopClosesAnOpenSessionEvenWhenEveryThreadHasEnded)
{
    std::ostringstream log;
    FakeTaskSink sink;
    CConnectOptions options = ScanConnectOptions();
    options.SetAccessType(1);
    CTaskManager manager(&sink, &log, 0, &options);
    ASSERT_TRUE(manager.OpenInternetSession());
    ASSERT_NE(manager.GetSession(), nullptr);
    EXPECT_FALSE(manager.UsesProxy());
    manager.StartThreads();
    manager.RequestStop();
    manager.StopThreads();
    EXPECT_NE(log.str().find(": Emergency session close!\n"), std::string::npos);
    EXPECT_EQ(manager.GetState(), TaskManagerState::Stopped);
}

TEST(CTaskManagerTest, NoSessionMeansNoEmergencyClose)
{
    std::ostringstream log;
    FakeTaskSink sink;
    CConnectOptions options = ScanConnectOptions();
    CTaskManager manager(&sink, &log, 0, &options);
    manager.StartThreads();
    manager.RequestStop();
    manager.StopThreads();
    // The log was written, so the line's absence means something.
    EXPECT_NE(log.str().find("=== Threads: 1\n"), std::string::npos);
    EXPECT_EQ(log.str().find("Emergency session close!"), std::string::npos);
}

TEST(CTaskManagerTest, NoLogStreamWritesNothing)
{
    FakeTaskSink sink;
    CConnectOptions options = ScanConnectOptions();
    options.SetAccessType(1);
    CTaskManager manager(&sink, nullptr, 0, &options);
    EXPECT_FALSE(manager.IsLogging());
    manager.Log("ignored");
    // A stop with a session open logs its emergency close; without a stream that must go nowhere.
    ASSERT_TRUE(manager.OpenInternetSession());
    manager.StartThreads();
    manager.RequestStop();
    manager.StopThreads();
    EXPECT_EQ(manager.GetState(), TaskManagerState::Stopped);
}

TEST(CTaskManagerTest, WinInetCapabilityRows)
{
    CString strName;
    DWORD dwFlags = 0;
    const WORD unknown[4] = {0, 0, 0, 0};
    CTaskManager::LookupWinInetCapabilities(unknown, strName, dwFlags);
    EXPECT_STREQ(strName, "IE 3.0");
    EXPECT_EQ(dwFlags, 0u);
    const WORD ie401[4] = {4, 72, 3000, 0};
    CTaskManager::LookupWinInetCapabilities(ie401, strName, dwFlags);
    EXPECT_STREQ(strName, "IE 4.01");
    EXPECT_EQ(dwFlags, 0x1fu);
    const WORD later[4] = {11, 0, 0, 0};
    CTaskManager::LookupWinInetCapabilities(later, strName, dwFlags);
    EXPECT_STREQ(strName, "IE 5.0");
    EXPECT_EQ(dwFlags, 0x3fu);
}

TEST(CTaskManagerTest, ThreadZeroEndsAtOnceAndAllThreadsStop)
{
    FakeTaskSink sink;
    CConnectOptions options;
    options.SetNumThreads(10);
    CTaskManager manager(&sink, nullptr, 0, &options);
    manager.StartThreads();
    EXPECT_EQ(manager.GetThreadCount(), 11);
    for (int i = 0; i < 600 && !manager.AreTasksFinished(); ++i)
        Sleep(10);
    EXPECT_TRUE(manager.AreTasksFinished());
    manager.RequestStop();
    manager.StopThreads();
    EXPECT_EQ(manager.GetState(), TaskManagerState::Stopped);
}

} // namespace
