// Failures mapped to the internet error numbers: name resolution, refused connections, HTTPS
// certificates with and without the ignore flags (a bad date passed over alone); and the
// session's options and proxy use.
#include "InternetErrorOf.h"
#include "TestServers.h"

#include "platform/core/VersionInfo.h"
#include "platform/net/CInternetConnection.h"
#include "platform/net/CInternetException.h"
#include "platform/net/CInternetFile.h"
#include "platform/net/CInternetSession.h"
#include "platform/net/HostLookup.h"
#include "tests/support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace {

using nettest::ErrorOf;

DWORD StatusOf(CHttpFile& file)
{
    DWORD status = 0;
    EXPECT_TRUE(file.QueryInfoStatusCode(status));
    return status;
}

TEST(InternetErrors, NameUnderInvalidIsNotResolved)
{
    CInternetSession session("VostrelTest", 1, INTERNET_OPEN_TYPE_DIRECT);
    std::unique_ptr<CHttpConnection> connection(session.GetHttpConnection("no-such-host.invalid"));
    std::unique_ptr<CHttpFile> file(connection->OpenRequest("GET", "/"));
    CString message;
    EXPECT_EQ(ERROR_INTERNET_NAME_NOT_RESOLVED, ErrorOf([&] { file->SendRequest(); }, &message));
    EXPECT_STREQ("The server name could not be resolved", message);
}

TEST(InternetErrors, ClosedPortRefusesTheConnection)
{
    const INTERNET_PORT port = static_cast<INTERNET_PORT>(nettest::FreeLoopbackPort());
    CInternetSession session("VostrelTest", 1, INTERNET_OPEN_TYPE_DIRECT);
    std::unique_ptr<CHttpConnection> connection(session.GetHttpConnection("127.0.0.1", port));
    std::unique_ptr<CHttpFile> file(connection->OpenRequest("GET", "/"));
    EXPECT_EQ(ERROR_INTERNET_CANNOT_CONNECT, ErrorOf([&] { file->SendRequest(); }));
    // Retries do not turn a refusal into anything else.
    ASSERT_TRUE(session.SetOption(INTERNET_OPTION_CONNECT_RETRIES, 2));
    EXPECT_EQ(ERROR_INTERNET_CANNOT_CONNECT, ErrorOf([&] { file->SendRequest(); }));
}

TEST(InternetErrors, UnknownErrorNumberHasNoLayerText)
{
    EXPECT_EQ(nullptr, GetInternetErrorText(12345));
    CInternetException known(ERROR_INTERNET_TIMEOUT);
    known.m_bAutoDelete = FALSE;
    char text[64];
    EXPECT_TRUE(known.GetErrorMessage(text, sizeof text));
    EXPECT_STREQ("The operation timed out", text);
    CInternetException extended(ERROR_INTERNET_EXTENDED_ERROR);
    extended.m_bAutoDelete = FALSE;
    extended.m_strDetail = "530 Login incorrect.";
    EXPECT_TRUE(extended.GetErrorMessage(text, sizeof text));
    EXPECT_STREQ("530 Login incorrect.", text);
}

TEST(InternetSessionOptions, TimeoutsAndLimits)
{
    CInternetSession session("Agent/1.0", 1, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, INTERNET_FLAG_DONT_CACHE);
    DWORD value = 0;
    ASSERT_TRUE(session.QueryOption(INTERNET_OPTION_CONNECT_TIMEOUT, value));
    EXPECT_EQ(60000u, value);
    ASSERT_TRUE(session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, 30000));
    ASSERT_TRUE(session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 15000));
    ASSERT_TRUE(session.QueryOption(INTERNET_OPTION_CONNECT_TIMEOUT, value));
    EXPECT_EQ(30000u, value);
    ASSERT_TRUE(session.QueryOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, value));
    EXPECT_EQ(15000u, value);
    ASSERT_TRUE(session.QueryOption(INTERNET_OPTION_MAX_CONNS_PER_SERVER, value));
    EXPECT_EQ(2u, value);
    ASSERT_TRUE(session.QueryOption(INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER, value));
    EXPECT_EQ(4u, value);
    CString agent;
    ASSERT_TRUE(session.QueryOption(INTERNET_OPTION_USER_AGENT, agent));
    EXPECT_STREQ("Agent/1.0", agent);
    EXPECT_FALSE(session.SetOption(9999, 1));
    EXPECT_EQ(ERROR_INTERNET_INVALID_OPTION, GetLastError());
}

TEST(InternetSessionOptions, ConnectionInheritsAndOverridesSessionOptions)
{
    CInternetSession session("VostrelTest", 1, INTERNET_OPEN_TYPE_DIRECT);
    ASSERT_TRUE(session.SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, 1234));
    std::unique_ptr<CHttpConnection> connection(session.GetHttpConnection("127.0.0.1", INTERNET_PORT(80)));
    DWORD value = 0;
    ASSERT_TRUE(connection->QueryOption(INTERNET_OPTION_RECEIVE_TIMEOUT, value));
    EXPECT_EQ(1234u, value);
    ASSERT_TRUE(connection->SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, 99));
    ASSERT_TRUE(connection->QueryOption(INTERNET_OPTION_RECEIVE_TIMEOUT, value));
    EXPECT_EQ(99u, value);
    ASSERT_TRUE(session.QueryOption(INTERNET_OPTION_RECEIVE_TIMEOUT, value));
    EXPECT_EQ(1234u, value);
}

TEST(InternetSessionOptions, ProxyInformationOfTheSession)
{
    CInternetSession direct("VostrelTest", 1, INTERNET_OPEN_TYPE_DIRECT);
    alignas(INTERNET_PROXY_INFO) char buffer[512];
    DWORD length = sizeof buffer;
    ASSERT_TRUE(direct.QueryOption(INTERNET_OPTION_PROXY, buffer, &length));
    EXPECT_EQ(INTERNET_OPEN_TYPE_DIRECT, reinterpret_cast<INTERNET_PROXY_INFO*>(buffer)->dwAccessType);

    CInternetSession proxied("VostrelTest", 1, INTERNET_OPEN_TYPE_PROXY, "http=proxy.invalid:8080 ", "intranet <local>");
    length = sizeof buffer;
    ASSERT_TRUE(InternetQueryOption(proxied, INTERNET_OPTION_PROXY, buffer, &length));
    const auto* info = reinterpret_cast<INTERNET_PROXY_INFO*>(buffer);
    EXPECT_EQ(INTERNET_OPEN_TYPE_PROXY, info->dwAccessType);
    EXPECT_STREQ("http=proxy.invalid:8080 ", info->lpszProxy);
    EXPECT_STREQ("intranet <local>", info->lpszProxyBypass);

    length = 4;
    EXPECT_FALSE(InternetQueryOption(proxied, INTERNET_OPTION_PROXY, buffer, &length));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_GT(length, sizeof(INTERNET_PROXY_INFO));
}

TEST(InternetSessionOptions, ProxyAccessWithoutProxyIsRefused)
{
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              ErrorOf([] { CInternetSession session("VostrelTest", 1, INTERNET_OPEN_TYPE_PROXY, nullptr); }));
}

TEST(InternetSessionOptions, LibraryVersionIsRegistered)
{
    CInternetSession session;
    DWORD handle = 0;
    EXPECT_GT(GetFileVersionInfoSize("WININET.DLL", &handle), 0u);
    EXPECT_NE(nullptr, FindRegisteredModule("wininet"));
}

TEST(InternetHandles, ClosingTwiceAndUnknownHandles)
{
    CInternetSession session("VostrelTest", 1, INTERNET_OPEN_TYPE_DIRECT);
    HINTERNET hSession = session;
    EXPECT_FALSE(InternetCloseHandle(reinterpret_cast<HINTERNET>(0x12345)));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    session.Close();
    EXPECT_EQ(nullptr, static_cast<HINTERNET>(session));
    EXPECT_FALSE(InternetCloseHandle(hSession));
    DWORD value;
    DWORD length = sizeof value;
    EXPECT_FALSE(InternetQueryOption(hSession, INTERNET_OPTION_CONNECT_TIMEOUT, &value, &length));
}

TEST(HostLookup, LoopbackAndInvalidNames)
{
    hostent* host = vostrel::net::gethostbyname("127.0.0.1");
    ASSERT_NE(nullptr, host);
    ASSERT_NE(nullptr, host->h_addr_list[0]);
    EXPECT_EQ(0, std::memcmp(host->h_addr_list[0], "\x7f\x00\x00\x01", 4));
    EXPECT_EQ(nullptr, vostrel::net::gethostbyname("no-such-host.invalid"));
    EXPECT_EQ(WSAHOST_NOT_FOUND, WSAGetLastError());
}

// ---- HTTPS ----

class HttpsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        auto suite = std::make_unique<nettest::SuiteServer>();
        if (nettest::StartHttpsServer(*suite))
            s_server = std::move(suite);
    }
    static void TearDownTestSuite() { s_server.reset(); }
    void SetUp() override
    {
        VOSTREL_REQUIRE(s_server ? std::string()
                                 : nettest::WhyNotStarted("the HTTPS test server", {"openssl", "python3"}));
    }
    static INTERNET_PORT Port() { return static_cast<INTERNET_PORT>(s_server->Port()); }

    static std::unique_ptr<nettest::SuiteServer> s_server;
};

std::unique_ptr<nettest::SuiteServer> HttpsTest::s_server;

TEST_F(HttpsTest, SelfSignedCertificateFailsThenPassesWithIgnoreFlags)
{
    CInternetSession session("VostrelTest", 1, INTERNET_OPEN_TYPE_DIRECT);
    std::unique_ptr<CHttpConnection> connection(session.GetHttpConnection("127.0.0.1", Port()));
    std::unique_ptr<CHttpFile> file(
        connection->OpenRequest("GET", "/page", nullptr, 1, nullptr, nullptr, INTERNET_FLAG_RELOAD | INTERNET_FLAG_SECURE));
    EXPECT_EQ(ERROR_INTERNET_INVALID_CA, ErrorOf([&] { file->SendRequest(); }));

    DWORD flags = 0;
    ASSERT_TRUE(file->QueryOption(INTERNET_OPTION_SECURITY_FLAGS, flags));
    EXPECT_EQ(SECURITY_FLAG_SECURE, flags & SECURITY_FLAG_SECURE);
    // Name and date alone do not cover an unknown authority.
    ASSERT_TRUE(file->SetOption(INTERNET_OPTION_SECURITY_FLAGS, flags | 0x3000));
    EXPECT_EQ(ERROR_INTERNET_INVALID_CA, ErrorOf([&] { file->SendRequest(); }));
    ASSERT_TRUE(file->SetOption(INTERNET_OPTION_SECURITY_FLAGS, flags | 0x3380));
    EXPECT_EQ(0u, ErrorOf([&] { file->SendRequest(); }));
    EXPECT_EQ(200u, StatusOf(*file));
    char buffer[16];
    EXPECT_EQ(sizeof buffer, file->Read(buffer, sizeof buffer));
}

TEST_F(HttpsTest, WrongHostNameIsReportedAsSuch)
{
    CInternetSession session("VostrelTest", 1, INTERNET_OPEN_TYPE_DIRECT);
    std::unique_ptr<CHttpConnection> connection(session.GetHttpConnection("localhost", Port()));
    std::unique_ptr<CHttpFile> file(
        connection->OpenRequest("GET", "/page", nullptr, 1, nullptr, nullptr, INTERNET_FLAG_SECURE));
    // With the authority passed over, the name is what is left to complain about.
    ASSERT_TRUE(file->SetOption(INTERNET_OPTION_SECURITY_FLAGS, SECURITY_FLAG_IGNORE_UNKNOWN_CA));
    EXPECT_EQ(ERROR_INTERNET_SEC_CERT_CN_INVALID, ErrorOf([&] { file->SendRequest(); }));
    ASSERT_TRUE(file->SetOption(INTERNET_OPTION_SECURITY_FLAGS, 0x3380));
    EXPECT_EQ(0u, ErrorOf([&] { file->SendRequest(); }));
    EXPECT_EQ(200u, StatusOf(*file));
}

// Certificates of authorities the test trusts through SSL_CERT_FILE: one that has run out, and
// one that claims a run-out authority as its issuer but was signed by another key.
class CertificateDatesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        auto expired = std::make_unique<nettest::SuiteServer>();
        if (!nettest::MakeCertificates(*expired))
            return;
        const std::string dir = expired->dir.Path() + "/";
        auto forged = std::make_unique<nettest::SuiteServer>();
        if (!expired->server.Start({nettest::kPython, nettest::ServerScript(), "https", dir + "expired.pem", dir + "leaf.key"}, true)
            || !forged->server.Start({nettest::kPython, nettest::ServerScript(), "https", dir + "forged.pem", dir + "leaf.key"}, true))
            return;
        s_expired = std::move(expired);
        s_forged = std::move(forged);
    }
    static void TearDownTestSuite()
    {
        s_forged.reset();
        s_expired.reset();
    }
    void SetUp() override
    {
        VOSTREL_REQUIRE(s_expired ? std::string()
                                  : nettest::WhyNotStarted("the HTTPS test servers of the test's own certificates",
                                                           {"openssl", "python3"}));
        m_trust.emplace("SSL_CERT_FILE", s_expired->dir.File("authorities.pem"));
    }
    // The reply to a GET with the security flags, or the error that stopped it.
    static DWORD Get(const nettest::SuiteServer& server, DWORD dwSecurityFlags)
    {
        CInternetSession session("VostrelTest", 1, INTERNET_OPEN_TYPE_DIRECT);
        std::unique_ptr<CHttpConnection> connection(
            session.GetHttpConnection("127.0.0.1", static_cast<INTERNET_PORT>(server.Port())));
        std::unique_ptr<CHttpFile> file(
            connection->OpenRequest("GET", "/page", nullptr, 1, nullptr, nullptr, INTERNET_FLAG_RELOAD | INTERNET_FLAG_SECURE));
        EXPECT_TRUE(file->SetOption(INTERNET_OPTION_SECURITY_FLAGS, dwSecurityFlags));
        if (const DWORD error = ErrorOf([&] { file->SendRequest(); }))
            return error;
        return StatusOf(*file);
    }

    static std::unique_ptr<nettest::SuiteServer> s_expired;
    static std::unique_ptr<nettest::SuiteServer> s_forged;
    std::optional<ScopedEnv> m_trust;
};

std::unique_ptr<nettest::SuiteServer> CertificateDatesTest::s_expired;
std::unique_ptr<nettest::SuiteServer> CertificateDatesTest::s_forged;

TEST_F(CertificateDatesTest, ABadDateIsPassedOverAloneAndTheChainIsStillChecked)
{
    // A trusted authority's certificate that has run out: refused for its date, taken when the
    // date is to be ignored.
    EXPECT_EQ(ERROR_INTERNET_SEC_CERT_DATE_INVALID, Get(*s_expired, 0));
    EXPECT_EQ(200u, Get(*s_expired, SECURITY_FLAG_IGNORE_CERT_DATE_INVALID));
    // A certificate whose issuer has run out and whose signature is not its issuer's: with the
    // date passed over, the signature is still checked, and the connection refused (the TLS
    // library tells a bad signature as a failed handshake).
    EXPECT_EQ(ERROR_INTERNET_SEC_CERT_DATE_INVALID, Get(*s_forged, 0));
    for (DWORD flags : {SECURITY_FLAG_IGNORE_CERT_DATE_INVALID,
                        SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_CERT_CN_INVALID}) {
        const DWORD result = Get(*s_forged, flags);
        EXPECT_TRUE(result == ERROR_INTERNET_SEC_INVALID_CERT || result == ERROR_INTERNET_SECURITY_CHANNEL_ERROR)
            << "flags " << flags << ": " << result;
    }
}

// ---- proxy ----

class ProxyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        VOSTREL_REQUIRE(nettest::MissingPrograms({"tinyproxy", "python3"}));
        const std::string tinyproxy = nettest::FindProgram("tinyproxy");
        ASSERT_TRUE(m_server.Start({nettest::kPython, nettest::ServerScript(), "http"}, true));
        const int port = nettest::FreeLoopbackPort();
        m_dir.WriteFile("tinyproxy.conf", "Port " + std::to_string(port) + "\nListen 127.0.0.1\nTimeout 30\n"
                        "Allow 127.0.0.1\nMaxClients 10\nLogLevel Critical\nDisableViaHeader Yes\n"
                        "BasicAuth proxyuser proxysecret\n");
        ASSERT_TRUE(m_proxy.Start({tinyproxy, "-d", "-c", m_dir.File("tinyproxy.conf")}, false));
        ASSERT_TRUE(m_proxy.WaitForPort(port));
        m_proxyList = "http=127.0.0.1:" + std::to_string(port);
    }

    ScopedTempDir m_dir;
    nettest::ChildServer m_server;
    nettest::ChildServer m_proxy;
    std::string m_proxyList;
};

TEST_F(ProxyTest, RequestsGoThroughTheProxyWithItsCredentials)
{
    CInternetSession session("VostrelTest", 1, INTERNET_OPEN_TYPE_PROXY, m_proxyList.c_str(), "");
    std::unique_ptr<CHttpConnection> connection(
        session.GetHttpConnection("127.0.0.1", static_cast<INTERNET_PORT>(m_server.Port())));
    std::unique_ptr<CHttpFile> file(connection->OpenRequest("GET", "/page"));
    file->SendRequest();
    EXPECT_EQ(407u, StatusOf(*file));
    char user[] = "proxyuser", password[] = "proxysecret";
    ASSERT_TRUE(file->SetOption(INTERNET_OPTION_PROXY_USERNAME, user, 0));
    ASSERT_TRUE(file->SetOption(INTERNET_OPTION_PROXY_PASSWORD, password, 0));
    file->SendRequest();
    EXPECT_EQ(200u, StatusOf(*file));
    char buffer[6];
    ASSERT_EQ(6u, file->Read(buffer, 6));
    EXPECT_EQ(0, std::memcmp(buffer, "<html>", 6));
}

TEST_F(ProxyTest, BypassListSendsMatchingHostsDirect)
{
    CInternetSession session("VostrelTest", 1, INTERNET_OPEN_TYPE_PROXY, m_proxyList.c_str(), "127.0.0.*");
    std::unique_ptr<CHttpConnection> connection(
        session.GetHttpConnection("127.0.0.1", static_cast<INTERNET_PORT>(m_server.Port())));
    std::unique_ptr<CHttpFile> file(connection->OpenRequest("GET", "/page"));
    file->SendRequest();
    // Direct: the proxy would have asked for its credentials.
    EXPECT_EQ(200u, StatusOf(*file));
}

TEST_F(ProxyTest, OpenUrlThroughTheProxy)
{
    CInternetSession session("VostrelTest", 1, INTERNET_OPEN_TYPE_PROXY, m_proxyList.c_str(), "");
    char user[] = "proxyuser", password[] = "proxysecret";
    ASSERT_TRUE(session.SetOption(INTERNET_OPTION_PROXY_USERNAME, user, 0));
    ASSERT_TRUE(session.SetOption(INTERNET_OPTION_PROXY_PASSWORD, password, 0));
    const std::string url = "http://127.0.0.1:" + std::to_string(m_server.Port()) + "/status/404";
    std::unique_ptr<CStdioFile> file(session.OpenURL(url.c_str(), 1, INTERNET_FLAG_RELOAD));
    auto* http = dynamic_cast<CHttpFile*>(file.get());
    ASSERT_NE(nullptr, http);
    EXPECT_EQ(404u, StatusOf(*http));
}

} // namespace
