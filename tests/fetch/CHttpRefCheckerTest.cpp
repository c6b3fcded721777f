#include "FakeTaskSink.h"
#include "platform/net/TestServers.h"

#include "engine/html/HtmlLinkTypes.h"
#include "engine/project/CConnectOptions.h"
#include "fetch/CHttpRefChecker.h"
#include "fetch/CTaskManager.h"
#include "fetch/ResultCodes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TEST(CHttpRefCheckerPathTest, ClimbingStepsAreDropped)
{
    bool bCorrected = false;
    EXPECT_STREQ(CHttpRefChecker::CorrectPath("/../../a.htm", bCorrected), "/a.htm");
    EXPECT_TRUE(bCorrected);
    EXPECT_STREQ(CHttpRefChecker::CorrectPath("../x/b.htm", bCorrected), "/x/b.htm");
    EXPECT_TRUE(bCorrected);
    EXPECT_STREQ(CHttpRefChecker::CorrectPath("/x/../b.htm", bCorrected), "/x/../b.htm");
    EXPECT_FALSE(bCorrected);
}

class CHttpRefCheckerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!nettest::HaveProgram(nettest::kPython))
            return;
        s_server = new nettest::ChildServer;
        if (!s_server->Start({nettest::kPython, nettest::ServerScript(), "http"}, true)) {
            delete s_server;
            s_server = nullptr;
        }
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override
    {
        if (s_server == nullptr)
            GTEST_SKIP() << "python3 is needed for the HTTP test server";
    }

    static std::string Url(const std::string& path)
    {
        return "http://127.0.0.1:" + std::to_string(s_server->Port()) + path;
    }

    FakePage CheckOne(const std::string& path, int nLinkKind = LINK_KIND_PLAIN)
    {
        CConnectOptions options;
        options.SetNumThreads(1);
        options.SetAccessType(1);
        CTaskManager manager(&m_sink, nullptr, 0, &options);
        EXPECT_TRUE(manager.OpenInternetSession());
        const DWORD_PTR dwPage = ++m_nextPage;
        EXPECT_TRUE(manager.QueueUrl(dwPage, Url(path).c_str(), nLinkKind, TRUE));
        manager.StartThreads();
        EXPECT_TRUE(m_sink.WaitForDone(static_cast<int>(dwPage)));
        manager.RequestStop();
        manager.StopThreads();
        return m_sink.Page(dwPage);
    }

    static nettest::ChildServer* s_server;
    FakeTaskSink m_sink;
    DWORD_PTR m_nextPage = 0;
};

nettest::ChildServer* CHttpRefCheckerTest::s_server = nullptr;

TEST_F(CHttpRefCheckerTest, APageIsFetchedAndParsed)
{
    const FakePage page = CheckOne("/page");
    EXPECT_EQ(page.title, "Test page");
    ASSERT_FALSE(page.results.empty());
    EXPECT_EQ(page.results.back().dwCode, RC_HTTP_OK);
    EXPECT_EQ(page.results.back().text, "OK");
    EXPECT_GT(page.lastModified, 0);
    EXPECT_GT(page.contentLength, 1000);
    EXPECT_EQ(page.done, 1);
}

TEST_F(CHttpRefCheckerTest, AnImageIsOnlyAskedForItsHeaders)
{
    const FakePage page = CheckOne("/page", LINK_KIND_IMAGE);
    EXPECT_EQ(page.title, "");
    EXPECT_EQ(page.results.back().dwCode, RC_HTTP_OK);
}

TEST_F(CHttpRefCheckerTest, ErrorStatusesAreReported)
{
    FakePage page = CheckOne("/status/404");
    EXPECT_EQ(page.results.back().dwCode, 0x84000021u);
    EXPECT_EQ(page.results.back().dwClass, RESULT_CLASS_NOT_FOUND);
    EXPECT_EQ(page.results.back().text, "404: Not Found");
    page = CheckOne("/status/403");
    EXPECT_EQ(page.results.back().dwCode, RC_HTTP_ERROR);
    EXPECT_EQ(page.results.back().text, "403: Forbidden");
    page = CheckOne("/status/401");
    EXPECT_EQ(page.results.back().dwCode, 0x8400001eu);
}

TEST_F(CHttpRefCheckerTest, ARedirectToARelativeLocationIsAnErrorAndNotFollowed)
{
    const FakePage page = CheckOne("/redirect/301?to=/page");
    std::vector<DWORD> codes;
    for (const FakeResult& result : page.results)
        codes.push_back(result.dwCode);
    EXPECT_NE(std::find(codes.begin(), codes.end(), 0x8400000cu), codes.end());
    EXPECT_EQ(std::find(codes.begin(), codes.end(), RC_HTTP_OK), codes.end());
    ASSERT_EQ(page.redirects.size(), 1u);
    EXPECT_EQ(page.redirects[0], Url("/page"));
    EXPECT_EQ(page.title, "");
}

TEST_F(CHttpRefCheckerTest, AnUnusedPortIsAConnectionFailure)
{
    CConnectOptions options;
    options.SetNumThreads(1);
    options.SetAccessType(1);
    options.SetConnectTimeout(5);
    CTaskManager manager(&m_sink, nullptr, 0, &options);
    ASSERT_TRUE(manager.OpenInternetSession());
    const std::string url = "http://127.0.0.1:" + std::to_string(nettest::FreeLoopbackPort()) + "/x";
    manager.QueueUrl(77, url.c_str(), LINK_KIND_PLAIN, TRUE);
    manager.StartThreads();
    ASSERT_TRUE(m_sink.WaitForDone(1));
    manager.RequestStop();
    manager.StopThreads();
    const FakePage page = m_sink.Page(77);
    EXPECT_EQ(page.results.back().dwCode, 0x80000016u);
    EXPECT_EQ(page.results.back().dwClass, RESULT_CLASS_ERROR);
}

} // namespace
