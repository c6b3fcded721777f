// HTTP requests against a loopback test server: status codes and header queries, redirects,
// authentication, time-outs and aborting from another thread.
#include "InternetErrorOf.h"
#include "TestServers.h"

#include "platform/net/CInternetConnection.h"
#include "platform/net/CInternetException.h"
#include "platform/net/CInternetFile.h"
#include "platform/net/CInternetSession.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

using nettest::ErrorOf;

class HttpTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_server = nettest::StartHttpServer(); }
    static void TearDownTestSuite() { s_server.reset(); }

    void SetUp() override
    {
        VOSTREL_REQUIRE(s_server ? std::string() : nettest::WhyNotStarted("the HTTP test server", {"python3"}));
        m_session = std::make_unique<CInternetSession>("VostrelTest", 1, INTERNET_OPEN_TYPE_DIRECT);
        m_connection.reset(m_session->GetHttpConnection("127.0.0.1", Port()));
    }

    static INTERNET_PORT Port() { return static_cast<INTERNET_PORT>(s_server->Port()); }

    std::unique_ptr<CHttpFile> Send(LPCTSTR object, DWORD flags = INTERNET_FLAG_RELOAD, LPCTSTR verb = "GET")
    {
        std::unique_ptr<CHttpFile> file(m_connection->OpenRequest(verb, object, nullptr, 1, nullptr, nullptr, flags));
        file->SendRequest();
        return file;
    }

    static std::string ReadAll(CHttpFile& file)
    {
        std::string text;
        char buffer[511];
        UINT n;
        while ((n = file.Read(buffer, sizeof buffer)) > 0)
            text.append(buffer, n);
        return text;
    }

    // Runs the call and gives the internet error number it raised (0 when it raised none).
    static std::unique_ptr<nettest::ChildServer> s_server;
    std::unique_ptr<CInternetSession> m_session;
    std::unique_ptr<CHttpConnection> m_connection;
};

std::unique_ptr<nettest::ChildServer> HttpTest::s_server;

TEST_F(HttpTest, PageGivesStatusTypeLengthAndBody)
{
    auto file = Send("/page");
    DWORD status = 0;
    ASSERT_TRUE(file->QueryInfoStatusCode(status));
    EXPECT_EQ(200u, status);
    CString text;
    ASSERT_TRUE(file->QueryInfo(HTTP_QUERY_STATUS_TEXT, text));
    EXPECT_STREQ("OK", text);
    ASSERT_TRUE(file->QueryInfo(HTTP_QUERY_CONTENT_TYPE, text));
    EXPECT_STREQ("text/html; charset=iso-8859-1", text);
    DWORD length = 0;
    ASSERT_TRUE(file->QueryInfo(HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, length));
    ASSERT_TRUE(file->QueryInfo(HTTP_QUERY_VERSION, text));
    EXPECT_STREQ("HTTP/1.1", text);
    const std::string body = ReadAll(*file);
    EXPECT_EQ(length, body.size());
    EXPECT_EQ(0u, body.find("<html><head><title>Test page</title>"));
    EXPECT_EQ(body.size(), file->GetPosition());
}

TEST_F(HttpTest, ReadsFillTheBufferUntilTheEnd)
{
    auto file = Send("/page");
    char buffer[511];
    UINT total = 0, n;
    int shortReads = 0;
    while ((n = file->Read(buffer, sizeof buffer)) > 0) {
        total += n;
        shortReads += n < sizeof buffer ? 1 : 0;
    }
    EXPECT_EQ(1, shortReads) << "only the last read may come back short";
    EXPECT_GT(total, 1000u);
}

TEST_F(HttpTest, LastModifiedAsSystemTime)
{
    auto file = Send("/page");
    SYSTEMTIME st{};
    ASSERT_TRUE(file->QueryInfo(HTTP_QUERY_LAST_MODIFIED | HTTP_QUERY_FLAG_SYSTEMTIME, &st));
    EXPECT_EQ(1994, st.wYear);
    EXPECT_EQ(11, st.wMonth);
    EXPECT_EQ(15, st.wDay);
    EXPECT_EQ(2, st.wDayOfWeek); // a Tuesday
    EXPECT_EQ(8, st.wHour);
    EXPECT_EQ(12, st.wMinute);
    EXPECT_EQ(31, st.wSecond);
}

TEST_F(HttpTest, RawHeadersInCrlfFormEndWithABlankLine)
{
    auto file = Send("/page");
    CString raw;
    ASSERT_TRUE(file->QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF, raw));
    const std::string text(raw);
    EXPECT_EQ(0u, text.find("HTTP/1.1 200 OK\r\n"));
    EXPECT_NE(std::string::npos, text.find("\r\nLast-Modified: Tue, 15 Nov 1994 08:12:31 GMT\r\n"));
    EXPECT_EQ(text.size() - 4, text.rfind("\r\n\r\n"));
}

TEST_F(HttpTest, RequestHeadersShowWhatWasSent)
{
    std::unique_ptr<CHttpFile> file(m_connection->OpenRequest("GET", "/headers"));
    file->AddRequestHeaders("X-First: 1\r\nX-Second: 2");
    file->SendRequest();
    CString sent;
    ASSERT_TRUE(file->QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF | HTTP_QUERY_FLAG_REQUEST_HEADERS, sent));
    EXPECT_EQ(0u, std::string(sent).find("GET /headers HTTP/1.1\r\n"));
    EXPECT_NE(std::string::npos, std::string(sent).find("User-Agent: VostrelTest\r\n"));
    const std::string echoed = ReadAll(*file);
    EXPECT_NE(std::string::npos, echoed.find("X-First: 1\n"));
    EXPECT_NE(std::string::npos, echoed.find("X-Second: 2\n"));
}

TEST_F(HttpTest, RepeatedHeadersAreReachedByIndex)
{
    auto file = Send("/headers");
    CString name = "X-Twice";
    DWORD index = 0;
    CString value = name;
    ASSERT_TRUE(file->QueryInfo(HTTP_QUERY_CUSTOM, value, &index));
    EXPECT_STREQ("one", value);
    EXPECT_EQ(1u, index);
    value = name;
    ASSERT_TRUE(file->QueryInfo(HTTP_QUERY_CUSTOM, value, &index));
    EXPECT_STREQ("two", value);
    value = name;
    EXPECT_FALSE(file->QueryInfo(HTTP_QUERY_CUSTOM, value, &index));
    EXPECT_EQ(ERROR_HTTP_HEADER_NOT_FOUND, GetLastError());
    EXPECT_EQ(2u, index);
}

TEST_F(HttpTest, MissingHeaderAndShortBuffer)
{
    auto file = Send("/page");
    CString location;
    EXPECT_FALSE(file->QueryInfo(HTTP_QUERY_LOCATION, location));
    EXPECT_EQ(ERROR_HTTP_HEADER_NOT_FOUND, GetLastError());
    char small[4];
    DWORD length = sizeof small;
    EXPECT_FALSE(file->QueryInfo(HTTP_QUERY_CONTENT_TYPE, small, &length));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ(strlen("text/html; charset=iso-8859-1") + 1, length);
}

TEST_F(HttpTest, ErrorStatusesAreRepliesNotFailures)
{
    for (DWORD code : {404u, 403u, 500u, 503u}) {
        auto file = Send(("/status/" + std::to_string(code)).c_str());
        DWORD status = 0;
        ASSERT_TRUE(file->QueryInfoStatusCode(status));
        EXPECT_EQ(code, status);
        EXPECT_EQ("status " + std::to_string(code), ReadAll(*file));
    }
}

TEST_F(HttpTest, HeadHasHeadersButNoBody)
{
    auto file = Send("/page", INTERNET_FLAG_RELOAD, "HEAD");
    DWORD status = 0, length = 0;
    ASSERT_TRUE(file->QueryInfoStatusCode(status));
    EXPECT_EQ(200u, status);
    ASSERT_TRUE(file->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, length));
    EXPECT_GT(length, 1000u);
    char buffer[16];
    EXPECT_EQ(0u, file->Read(buffer, sizeof buffer));
}

TEST_F(HttpTest, PostSendsTheBody)
{
    std::unique_ptr<CHttpFile> file(m_connection->OpenRequest(HTTP_VERB_POST, "/headers"));
    CString headers = "Content-Type: application/x-www-form-urlencoded";
    char body[] = "a=1&b=2";
    file->SendRequest(headers, body, 7);
    const std::string echoed = ReadAll(*file);
    EXPECT_NE(std::string::npos, echoed.find("method=POST\n"));
    EXPECT_NE(std::string::npos, echoed.find("body=a=1&b=2\n"));
    EXPECT_NE(std::string::npos, echoed.find("Content-Type: application/x-www-form-urlencoded\n"));
}

TEST_F(HttpTest, AcceptTypesAndRefererGoOut)
{
    LPCTSTR accept[] = {"text/html", "image/*", "*/*", nullptr};
    std::unique_ptr<CHttpFile> file(
        m_connection->OpenRequest("GET", "/headers", "http://example.invalid/from", 1, accept, "HTTP/1.0", 0));
    file->SendRequest();
    const std::string echoed = ReadAll(*file);
    EXPECT_NE(std::string::npos, echoed.find("Accept: text/html, image/*, */*\n"));
    EXPECT_NE(std::string::npos, echoed.find("Referer: http://example.invalid/from\n"));
}

TEST_F(HttpTest, RedirectIsReportedWithNoAutoRedirect)
{
    auto file = Send("/redirect/301?to=/page", INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_AUTO_REDIRECT);
    DWORD status = 0;
    ASSERT_TRUE(file->QueryInfoStatusCode(status));
    EXPECT_EQ(301u, status);
    CString location;
    ASSERT_TRUE(file->QueryInfo(HTTP_QUERY_LOCATION, location));
    EXPECT_STREQ("/page", location);
}

TEST_F(HttpTest, RedirectIsFollowedOtherwise)
{
    for (const char* code : {"301", "302", "303", "307"}) {
        auto file = Send((std::string("/redirect/") + code + "?to=/page").c_str());
        DWORD status = 0;
        ASSERT_TRUE(file->QueryInfoStatusCode(status));
        EXPECT_EQ(200u, status) << code;
        EXPECT_NE(std::string::npos, ReadAll(*file).find("Test page"));
        EXPECT_STREQ(("http://127.0.0.1:" + std::to_string(Port()) + "/page").c_str(), file->GetFileURL());
    }
}

TEST_F(HttpTest, BasicAuthenticationFailsThenSucceedsWhenSentAgain)
{
    std::unique_ptr<CHttpFile> file(m_connection->OpenRequest("GET", "/auth"));
    file->SendRequest();
    DWORD status = 0;
    ASSERT_TRUE(file->QueryInfoStatusCode(status));
    EXPECT_EQ(401u, status);
    ReadAll(*file);
    char user[] = "user", wrong[] = "nope", right[] = "secret";
    ASSERT_TRUE(file->SetOption(INTERNET_OPTION_USERNAME, user, 4));
    ASSERT_TRUE(file->SetOption(INTERNET_OPTION_PASSWORD, wrong, 4));
    file->SendRequest();
    ASSERT_TRUE(file->QueryInfoStatusCode(status));
    EXPECT_EQ(401u, status);
    ASSERT_TRUE(file->SetOption(INTERNET_OPTION_PASSWORD, right, 6));
    file->SendRequest();
    ASSERT_TRUE(file->QueryInfoStatusCode(status));
    EXPECT_EQ(200u, status);
    EXPECT_EQ("welcome", ReadAll(*file));
}

TEST_F(HttpTest, ConnectionCredentialsApplyToItsRequests)
{
    std::unique_ptr<CHttpConnection> connection(m_session->GetHttpConnection("127.0.0.1", Port(), "user", "secret"));
    std::unique_ptr<CHttpFile> file(connection->OpenRequest("GET", "/auth"));
    file->SendRequest();
    DWORD status = 0;
    ASSERT_TRUE(file->QueryInfoStatusCode(status));
    EXPECT_EQ(200u, status);
}

TEST_F(HttpTest, LargeBodyArrivesWhole)
{
    auto file = Send("/big?size=3000000");
    std::string body = ReadAll(*file);
    ASSERT_EQ(3000000u, body.size());
    for (size_t i = 0; i < body.size(); i += 99991)
        ASSERT_EQ(static_cast<char>(i % 251), body[i]) << i;
}

TEST_F(HttpTest, ObjectWithBlanksIsEscaped)
{
    auto file = Send("/no such page");
    DWORD status = 0;
    ASSERT_TRUE(file->QueryInfoStatusCode(status));
    EXPECT_EQ(404u, status);
}

TEST_F(HttpTest, SilentServerTimesOut)
{
    ASSERT_TRUE(m_session->SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, 300));
    std::unique_ptr<CHttpFile> file(m_connection->OpenRequest("GET", "/slow?delay=3"));
    EXPECT_EQ(ERROR_INTERNET_TIMEOUT, ErrorOf([&] { file->SendRequest(); }));
}

// Whether the thread waits in the kernel on its sockets, as a transfer waiting for data does.
bool WaitsOnSockets(pid_t tid)
{
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/syscall");
    long nCall = -1;
    return (in >> nCall) && (nCall == SYS_poll || nCall == SYS_ppoll);
}

TEST_F(HttpTest, ClosingTheSessionFromAnotherThreadAbortsARead)
{
    auto file = Send("/trickle?delay=20");
    char buffer[100];
    ASSERT_EQ(100u, file->Read(buffer, sizeof buffer));
    // The next read waits for the rest of the trickle; the session is closed while it does.
    const pid_t reader = gettid();
    std::atomic<bool> closed{false};
    std::atomic<bool> waited{false};
    std::thread closer([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (!WaitsOnSockets(reader) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        waited = WaitsOnSockets(reader);
        closed = true;
        m_session->Close();
    });
    // Had the read waited for the rest of the trickle it would have returned data, not failed.
    EXPECT_EQ(ERROR_INTERNET_OPERATION_CANCELLED, ErrorOf([&] { file->Read(buffer, sizeof buffer); }));
    closer.join();
    EXPECT_TRUE(waited.load()) << "the read never waited for data";
    EXPECT_TRUE(closed.load());
    // Nothing works on a closed session any more.
    EXPECT_EQ(ERROR_INVALID_HANDLE, ErrorOf([&] { m_session->GetHttpConnection("127.0.0.1", Port()); }));
}

TEST_F(HttpTest, ClosingTheConnectionFromAnotherThreadAbortsASend)
{
    std::unique_ptr<CHttpFile> file(m_connection->OpenRequest("GET", "/slow?delay=20&mark=send"));
    // Once the server has the request, the send waits for the reply; the connection goes then.
    std::atomic<bool> heard{false};
    std::thread closer([&] {
        heard = s_server->WaitForLine("waiting send");
        m_connection->Close();
    });
    EXPECT_EQ(ERROR_INTERNET_OPERATION_CANCELLED, ErrorOf([&] { file->SendRequest(); }));
    closer.join();
    EXPECT_TRUE(heard.load()) << "the server never had the request";
}

TEST_F(HttpTest, ReusesTheConnectionForSeveralRequests)
{
    for (int i = 0; i < 5; ++i) {
        auto file = Send("/page");
        DWORD status = 0;
        ASSERT_TRUE(file->QueryInfoStatusCode(status));
        EXPECT_EQ(200u, status);
        ReadAll(*file);
    }
}

} // namespace

namespace {

// Replies no well-behaved server sends: each is taken or refused with its own true message.
TEST_F(HttpTest, HostileRepliesGetTheirOwnMessages)
{
    // A folded header line of blanks only adds nothing to the header before it.
    auto file = Send("/raw/fold");
    DWORD status = 0;
    ASSERT_TRUE(file->QueryInfoStatusCode(status));
    EXPECT_EQ(200u, status);
    CString text;
    ASSERT_TRUE(file->QueryInfo(HTTP_QUERY_CUSTOM, text = "X-A"));
    EXPECT_STREQ("b", text);
    EXPECT_EQ("ok", ReadAll(*file));

    auto messageOf = [&](LPCTSTR object) {
        std::unique_ptr<CHttpFile> request(m_connection->OpenRequest("GET", object, nullptr, 1, nullptr, nullptr,
                                                                     INTERNET_FLAG_RELOAD));
        try {
            request->SendRequest();
        } catch (CInternetException* e) {
            char message[256] = {};
            e->GetErrorMessage(message, sizeof message);
            const std::string result = std::to_string(e->m_dwError) + " " + message;
            e->Delete();
            return result;
        }
        return std::string("no error");
    };
    // Not an unknown scheme, and not a lack of memory.
    EXPECT_EQ(messageOf("/raw/garbage"), "12152 The server's reply is not an HTTP reply");
    EXPECT_EQ(messageOf("/raw/bighead"),
              "12152 The server's reply headers are larger than this program accepts (100 KB)");
}

} // namespace

namespace {

TEST_F(HttpTest, ATransferEndsAtItsTimeAndSizeLimits)
{
    // Set on the session, the limits hold for every request made under it.
    ASSERT_TRUE(m_session->SetOption(INTERNET_OPTION_TRANSFER_SIZE_LIMIT, 100000u));
    CString message;
    // The limit may strike while the reply headers are awaited or while the body is read.
    EXPECT_EQ(ERROR_INTERNET_TRANSFER_SIZE_LIMIT, nettest::ErrorOf([&] { ReadAll(*Send("/big?size=3000000")); }, &message));
    EXPECT_STREQ("The reply is larger than its limit of 100000 bytes", message);

    ASSERT_TRUE(m_session->SetOption(INTERNET_OPTION_TRANSFER_SIZE_LIMIT, 0u));
    ASSERT_TRUE(m_session->SetOption(INTERNET_OPTION_TRANSFER_TIME_LIMIT, 1000u));
    // The rest of this body comes only after 20 s.
    EXPECT_EQ(ERROR_INTERNET_TRANSFER_TIME_LIMIT, nettest::ErrorOf([&] { ReadAll(*Send("/trickle?delay=20")); }, &message));
    EXPECT_STREQ("The transfer took longer than its limit of 1 s", message);
}

} // namespace
