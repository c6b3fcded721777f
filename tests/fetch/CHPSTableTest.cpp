#include "engine/project/CConnectOptions.h"
#include "engine/project/CUrlString.h"
#include "fetch/CHPSTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

UINT SchemeIndex(LPCTSTR lpszScheme)
{
    return CUrlString::FindSchemeEntry(lpszScheme);
}

class CHPSTableTest : public ::testing::Test {
protected:
    CHPSTableTest() : m_table(m_options, WININET_CAP_HTTP11, 1000) { m_table.SetServerConnectionLimits(4, 2); }

    void AddFile(LPCTSTR lpszPath, DWORD_PTR dwId = 1)
    {
        m_table.AddUrl(dwId, 1, 1, "", 0, SchemeIndex("file"), nullptr, nullptr, lpszPath, "", "", "", nullptr);
    }
    void AddHttp(LPCTSTR lpszHost, LPCTSTR lpszPath, LPCTSTR lpszUser = nullptr, DWORD_PTR dwId = 1)
    {
        m_table.AddUrl(dwId, 1, 1, lpszHost, 80, SchemeIndex("http"), lpszUser, nullptr, lpszPath, "", "", "",
            nullptr);
    }

    CConnectOptions m_options;
    CHPSTable m_table;
};

TEST_F(CHPSTableTest, HostNamesDifferingInCaseAreTwoHosts)
{
    CHost* pLower = m_table.FindOrAddHost("www.example.com");
    CHost* pUpper = m_table.FindOrAddHost("WWW.example.com");
    EXPECT_NE(pLower, pUpper);
    EXPECT_EQ(m_table.FindOrAddHost("www.example.com"), pLower);
    EXPECT_EQ(CHPSTable::HashHostName(""), 42u);
    // 42 x 2416 + 'a' + 374441, in unsigned 32-bit arithmetic.
    EXPECT_EQ(CHPSTable::HashHostName("a"), 42u * 2416u + 97u + 374441u);
    // Bytes from 0x80 on count as negative characters.
    EXPECT_EQ(CHPSTable::HashHostName("\xff"), 42u * 2416u - 1u + 374441u);
}

TEST_F(CHPSTableTest, ALocalFileEntryGrowsToThreeWorkersForEightUrls)
{
    for (int i = 0; i < 8; ++i)
        AddFile("/site/page.htm");
    std::vector<CURLToCheck*> taken;
    for (int i = 0; i < 5; ++i) {
        if (CURLToCheck* pRecord = m_table.TakeNextUrl())
            taken.push_back(pRecord);
    }
    ASSERT_EQ(taken.size(), 3u);
    CHPSUP* pEntry = taken[0]->GetHpsup();
    EXPECT_EQ(pEntry->GetQueueCount(), 5);
    EXPECT_EQ(pEntry->GetRunningCount(), 3);
    EXPECT_EQ(pEntry->GetStartableCount(), 0);
    EXPECT_EQ(m_table.GetRunningCount(), 3);
    for (CURLToCheck* pRecord : taken) {
        m_table.ReleaseUrl(pRecord);
        pEntry->ReleaseHps();
    }
    EXPECT_EQ(m_table.GetRunningCount(), 0);
    EXPECT_EQ(pEntry->GetRunningCount(), 0);
}

TEST_F(CHPSTableTest, OneCredentialSetWithOneUrlGetsOneWorker)
{
    AddFile("/a.htm");
    CURLToCheck* pRecord = m_table.TakeNextUrl();
    ASSERT_NE(pRecord, nullptr);
    EXPECT_EQ(m_table.TakeNextUrl(), nullptr);
    EXPECT_EQ(m_table.GetReadyCount(), 0);
    m_table.ReleaseUrl(pRecord);
}

TEST_F(CHPSTableTest, HttpServerLimitsFollowItsVersion)
{
    for (int i = 0; i < 5; ++i)
        AddHttp("www.example.com", "/p.htm");
    CURLToCheck* pFirst = m_table.TakeNextUrl();
    ASSERT_NE(pFirst, nullptr);
    CHPS* pHps = pFirst->GetHpsup()->GetHps();
    CHost* pHost = pHps->GetHost();
    // Not yet reached and version unknown: one worker.
    EXPECT_EQ(m_table.TakeNextUrl(), nullptr);
    pHost->SetReached();
    EXPECT_EQ(pHps->GetConnectionLimit(), 1);
    pHps->SetServerHttpVersion(3);
    EXPECT_EQ(pHps->GetConnectionLimit(), 2);
    EXPECT_STREQ(pHps->GetServerHttpVersionText(), "HTTP/1.1");
    pHps->SetServerHttpVersion(2);
    EXPECT_EQ(pHps->GetConnectionLimit(), 4);
    EXPECT_STREQ(pHps->GetServerHttpVersionText(), "HTTP/1.0");
    m_table.ReleaseUrl(pFirst);
}

TEST_F(CHPSTableTest, Http11IsKeptAs10WithoutTheCapability)
{
    CHPSTable table(m_options, 0, 10);
    CHPS* pHps = table.FindOrAddHost("h")->FindOrAddHps(80, SchemeIndex("http"));
    pHps->SetServerHttpVersion(3);
    EXPECT_EQ(pHps->GetServerHttpVersion(), 2);
    pHps->SetServerHttpVersion(1);
    EXPECT_EQ(pHps->GetServerHttpVersion(), 1);
    // With the capability the server's own version stands.
    CHPS* pCapable = m_table.FindOrAddHost("h")->FindOrAddHps(80, SchemeIndex("http"));
    pCapable->SetServerHttpVersion(3);
    EXPECT_EQ(pCapable->GetServerHttpVersion(), 3);
}

TEST_F(CHPSTableTest, AHostNotFoundIsServedByOneWorker)
{
    for (int i = 0; i < 4; ++i)
        AddHttp("nohost.invalid", "/x");
    CURLToCheck* pFirst = m_table.TakeNextUrl();
    ASSERT_NE(pFirst, nullptr);
    pFirst->GetHpsup()->GetHost()->SetReached();
    pFirst->GetHpsup()->GetHost()->SetNotFound();
    pFirst->GetHpsup()->GetHps()->SetServerHttpVersion(3);
    EXPECT_EQ(m_table.TakeNextUrl(), nullptr);
    m_table.ReleaseUrl(pFirst);
}

TEST_F(CHPSTableTest, EntriesTakeTurns)
{
    AddHttp("a.example", "/1", nullptr, 1);
    AddHttp("b.example", "/1", nullptr, 2);
    AddHttp("c.example", "/1", nullptr, 3);
    std::vector<DWORD_PTR> order;
    for (int i = 0; i < 3; ++i) {
        CURLToCheck* pRecord = m_table.TakeNextUrl();
        ASSERT_NE(pRecord, nullptr);
        order.push_back(pRecord->GetCallerId());
        m_table.ReleaseUrl(pRecord);
    }
    // The list turns by one before each take: [b c a] gives b, which leaves; [c a] turns to
    // [a c] and gives a; then c.
    EXPECT_EQ(order, (std::vector<DWORD_PTR>{2, 1, 3}));
}

TEST_F(CHPSTableTest, CredentialsMakeSeparateEntries)
{
    AddHttp("h.example", "/1", nullptr);
    AddHttp("h.example", "/2", "joe");
    AddHttp("h.example", "/3", "");
    CHPS* pHps = m_table.FindOrAddHost("h.example")->FindOrAddHps(80, SchemeIndex("http"));
    EXPECT_NE(pHps->FindOrAddHpsup(nullptr, nullptr), pHps->FindOrAddHpsup("joe", nullptr));
    EXPECT_NE(pHps->FindOrAddHpsup("", nullptr), pHps->FindOrAddHpsup(nullptr, nullptr));
    EXPECT_EQ(m_table.GetReadyCount(), 3);
}

TEST_F(CHPSTableTest, RequeueRaisesTheTryCountByThree)
{
    AddFile("/a.htm", 7);
    CURLToCheck* pRecord = m_table.TakeNextUrl();
    ASSERT_NE(pRecord, nullptr);
    EXPECT_EQ(pRecord->GetTryCount(), 1);
    pRecord->Requeue();
    EXPECT_TRUE(pRecord->IsRequeued());
    CURLToCheck* pAgain = m_table.TakeNextUrlOfSameHps(pRecord->GetHpsup());
    ASSERT_NE(pAgain, nullptr);
    EXPECT_EQ(pAgain->GetTryCount(), 4);
    EXPECT_FALSE(pAgain->IsRequeued());
    EXPECT_EQ(pAgain->GetCallerId(), 7u);
    EXPECT_STREQ(pAgain->GetPath(), "/a.htm");
    m_table.ReleaseUrl(pRecord);
    m_table.ReleaseUrl(pAgain);
}

TEST_F(CHPSTableTest, LongPathsSpillIntoTheHeapPart)
{
    const CString str31(std::string(31, 'p').c_str());
    const CString str32 = str31 + "q";
    AddFile(str31);
    AddFile(str32);
    CURLToCheck* pFirst = m_table.TakeNextUrl();
    ASSERT_NE(pFirst, nullptr);
    EXPECT_STREQ(pFirst->GetPathHead(), str31);
    EXPECT_TRUE(pFirst->GetPathRest().IsEmpty());
    CURLToCheck* pSecond = m_table.TakeNextUrlOfSameHps(pFirst->GetHpsup());
    ASSERT_NE(pSecond, nullptr);
    EXPECT_STREQ(pSecond->GetPathHead(), str31);
    EXPECT_STREQ(pSecond->GetPathRest(), "q");
    EXPECT_STREQ(pSecond->GetPath(), str32);
    m_table.ReleaseUrl(pFirst);
    m_table.ReleaseUrl(pSecond);
}

TEST_F(CHPSTableTest, FullUrlText)
{
    m_table.AddUrl(1, 1, 1, "h.example", 8080, SchemeIndex("http"), "joe", "pw", "/a b.htm", ";p", "?q=1", "frag",
        nullptr);
    CURLToCheck* pRecord = m_table.TakeNextUrl();
    ASSERT_NE(pRecord, nullptr);
    EXPECT_STREQ(pRecord->GetFullUrl(), "http://joe:pw@h.example:8080/a b.htm;p?q=1#frag");
    pRecord->GetHpsup()->ReleaseHps();
    m_table.ReleaseUrl(pRecord);

    m_table.AddUrl(2, 1, 1, "h.example", 80, SchemeIndex("http"), nullptr, nullptr, "", "", "", "", nullptr);
    m_table.AddUrl(3, 1, 1, "", 0, SchemeIndex("file"), nullptr, nullptr, "/tmp/x.htm", "", "", "", nullptr);
    m_table.AddUrl(4, 0, 1, "", 0, SchemeIndex("mailto"), nullptr, nullptr, "joe@example.com", "", "", "", nullptr);
    std::vector<CString> urls;
    for (int i = 0; i < 3; ++i) {
        CURLToCheck* p = m_table.TakeNextUrl();
        ASSERT_NE(p, nullptr);
        urls.push_back(p->GetFullUrl());
        p->GetHpsup()->ReleaseHps();
        m_table.ReleaseUrl(p);
    }
    std::sort(urls.begin(), urls.end(), [](const CString& a, const CString& b) { return a.Compare(b) < 0; });
    EXPECT_STREQ(urls[0], "file:///tmp/x.htm");
    EXPECT_STREQ(urls[1], "http://h.example/");
    EXPECT_STREQ(urls[2], "mailto:joe@example.com");
}

TEST_F(CHPSTableTest, WorkersAndTheOwnerShareTheTableSafely)
{
    CConnectOptions options;
    options.SetMaxTotalTasks(4);
    CHPSTable table(options, WININET_CAP_HTTP11, 7);
    constexpr int kUrls = 2000;
    std::atomic<int> nDone {0};
    std::atomic<int> nMaxRunning {0};
    std::atomic<bool> bStop {false};
    std::vector<std::thread> workers;
    for (int t = 0; t < 6; ++t) {
        workers.emplace_back([&] {
            while (!bStop.load()) {
                CURLToCheck* pRecord = table.TakeNextUrl();
                if (pRecord == nullptr) {
                    std::this_thread::yield();
                    continue;
                }
                CHPSUP* pEntry = pRecord->GetHpsup();
                const int nRunning = table.GetRunningCount();
                int nSeen = nMaxRunning.load();
                while (nRunning > nSeen && !nMaxRunning.compare_exchange_weak(nSeen, nRunning)) {
                }
                while (pRecord != nullptr) {
                    ++nDone;
                    table.ReleaseUrl(pRecord);
                    pRecord = table.TakeNextUrlOfSameHps(pEntry);
                }
                pEntry->ReleaseHps();
            }
        });
    }
    for (int i = 0; i < kUrls; ++i) {
        CString strHost;
        strHost.Format("host%d.example", i % 13);
        table.AddUrl(static_cast<DWORD_PTR>(i), 1, 1, strHost, 80, SchemeIndex("http"), nullptr, nullptr, "/p", "",
            "", "", nullptr);
    }
    // Bounded, so that a scheduling fault fails the test instead of hanging it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (nDone.load() < kUrls && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    bStop = true;
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(nDone.load(), kUrls);
    EXPECT_EQ(table.GetRunningCount(), 0);
    EXPECT_EQ(table.GetReadyCount(), 0);
    EXPECT_LE(nMaxRunning.load(), 4);
}

} // namespace

namespace {

// An idle worker waits for the table's word that it may find a URL now: every change that can
// let a worker start must give it, and only those.
TEST_F(CHPSTableTest, EveryChangeThatLetsAWorkerStartSignalsWork)
{
    int nSignals = 0;
    m_table.SetWorkHandler([&] { ++nSignals; });
    for (LPCTSTR lpszPath : {"/1", "/2", "/3", "/4"})
        AddHttp("a.example", lpszPath);
    EXPECT_EQ(nSignals, 4);
    // The host is not reached yet: one worker only, and no word for the second.
    CURLToCheck* pFirst = m_table.TakeNextUrl();
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(m_table.TakeNextUrl(), nullptr);
    EXPECT_EQ(nSignals, 4);
    CHost* pHost = pFirst->GetHpsup()->GetHost();
    pHost->SetReached();
    pHost->SetReached();   // a second reply of the same host changes nothing
    EXPECT_EQ(nSignals, 5);
    CHPS* pHps = pFirst->GetHpsup()->GetHps();
    pHps->SetServerHttpVersion(3);
    pHps->SetServerHttpVersion(3);
    EXPECT_EQ(nSignals, 6);
    CURLToCheck* pSecond = m_table.TakeNextUrl();
    ASSERT_NE(pSecond, nullptr);   // HTTP/1.1 on a reached host: a second worker may start
    // A requeued URL and a worker letting go of its entry are work too.
    pFirst->Requeue();
    EXPECT_EQ(nSignals, 7);
    CHPSUP* pEntry = pFirst->GetHpsup();
    m_table.ReleaseUrl(pFirst);
    pEntry->ReleaseHps();
    EXPECT_EQ(nSignals, 8);
    m_table.ReleaseUrl(pSecond);
    pEntry->ReleaseHps();
}

} // namespace
