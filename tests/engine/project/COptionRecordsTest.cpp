#include "../EngineTestSupport.h"

#include "engine/project/CConnectOptions.h"
#include "engine/project/CScanOptions.h"
#include "platform/core/CProfileStore.h"
#include "platform/core/PrivateProfile.h"

#include <filesystem>
#include <string>
#include <vector>

using namespace enginetest;

namespace {

class OptionRecordsTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        UseOwnProfile(m_profile);
        for (const char* pszSection : {"ConnectOptions", "TuningOptions", "ScanOptions"})
            m_profile.WriteProfileString(pszSection, nullptr, nullptr);
        m_ini = (TempDir() / "options.ini").string();
    }

    std::string IniValue(const char* pszSection, const char* pszKey)
    {
        char buffer[4096] = {};
        GetPrivateProfileString(pszSection, pszKey, "<none>", buffer, sizeof(buffer), m_ini.c_str());
        return buffer;
    }

    // Sets every stored field of a connection record away from its default.
    static void FillConnect(CConnectOptions& options)
    {
        options.SetAccessType(3);
        options.SetProxyHttp("hp", 1001);
        options.SetProxyHttps("sp", 1002);
        options.SetProxyFtp("fp", 1003, 1);
        options.SetProxyGopher("gp", 1004);
        options.SetProxySocks("kp", 1005);
        options.SetProxyHttpsCern(1);
        options.SetProxyGopherCern(1);
        options.SetProxyAllSame(1);
        options.SetProxyBypassList("intranet;*.local");
        options.SetProxyBypassLocal(1);
        options.SetProxyCredentials("pu", "pw");
        options.SetAgentName("Agent/1.0");
        options.SetFtpCredentials("anonymous", "me@h");
        options.SetFtpPasvMode(1);
        options.SetHttpCredentials("hu", "hw");
        options.SetHttpAcceptCookies(0);
        options.SetHttpsIgnoreCertErrors(1);
        options.SetIndexFilename("index.html");
        options.SetFileRoot("/srv/site");
        options.SetConnectRetries(2);
        options.SetConnectTimeout(11);
        options.SetDataTimeout(12);
        options.SetControlTimeout(13);
        options.SetNumThreads(4);
        options.SetMaxHttpTasksPerHost(21);
        options.SetMaxHttpsTasksPerHost(22);
        options.SetUrlsPerExtraHttpsTask(23);
        options.SetMaxFileTasksPerHost(24);
        options.SetMaxFtpTasksPerHost(25);
        options.SetUrlsPerExtraFtpTask(26);
        options.SetMaxOtherTasksPerHost(27);
        options.SetMaxTotalTasksPerHost(28);
        options.SetMaxTotalTasks(29);
    }

    static void ExpectFilled(const CConnectOptions& o)
    {
        CString user, password;
        EXPECT_EQ(o.GetAccessType(), 3);
        EXPECT_STREQ(o.GetProxyHttp(), "hp");
        EXPECT_EQ(o.GetProxyHttpPort(), 1001);
        EXPECT_STREQ(o.GetProxyHttps(), "sp");
        EXPECT_EQ(o.GetProxyHttpsPort(), 1002);
        EXPECT_STREQ(o.GetProxyFtp(), "fp");
        EXPECT_EQ(o.GetProxyFtpPort(), 1003);
        EXPECT_STREQ(o.GetProxyGopher(), "gp");
        EXPECT_EQ(o.GetProxyGopherPort(), 1004);
        EXPECT_STREQ(o.GetProxySocks(), "kp");
        EXPECT_EQ(o.GetProxySocksPort(), 1005);
        EXPECT_EQ(o.GetProxyHttpsCern(), 1);
        EXPECT_EQ(o.GetProxyFtpCern(), 1);
        EXPECT_EQ(o.GetProxyGopherCern(), 1);
        EXPECT_EQ(o.GetProxyAllSame(), 1);
        EXPECT_STREQ(o.GetProxyBypassList(), "intranet;*.local");
        EXPECT_EQ(o.GetProxyBypassLocal(), 1);
        EXPECT_TRUE(o.GetProxyCredentials(user, password));
        EXPECT_STREQ(user, "pu");
        EXPECT_STREQ(password, "pw");
        EXPECT_STREQ(o.GetAgentName(), "Agent/1.0");
        EXPECT_TRUE(o.GetFtpCredentials(user, password));
        EXPECT_STREQ(user, "anonymous");
        EXPECT_STREQ(password, "me@h");
        EXPECT_EQ(o.GetFtpPasvMode(), 1);
        EXPECT_TRUE(o.GetHttpCredentials(user, password));
        EXPECT_STREQ(user, "hu");
        EXPECT_STREQ(password, "hw");
        EXPECT_EQ(o.GetHttpAcceptCookies(), 0);
        EXPECT_EQ(o.GetHttpsIgnoreCertErrors(), 1);
        EXPECT_STREQ(o.GetIndexFilename(), "index.html");
        EXPECT_STREQ(o.GetFileRoot(), "/srv/site");
        EXPECT_EQ(o.GetConnectRetries(), 2);
        EXPECT_EQ(o.GetConnectTimeout(), 11);
        EXPECT_EQ(o.GetDataTimeout(), 12);
        EXPECT_EQ(o.GetControlTimeout(), 13);
        EXPECT_EQ(o.GetNumThreads(), 4);
        EXPECT_EQ(o.GetMaxHttpTasksPerHost(), 21);
        EXPECT_EQ(o.GetMaxHttpsTasksPerHost(), 22);
        EXPECT_EQ(o.GetUrlsPerExtraHttpsTask(), 23);
        EXPECT_EQ(o.GetMaxFileTasksPerHost(), 24);
        EXPECT_EQ(o.GetMaxFtpTasksPerHost(), 25);
        EXPECT_EQ(o.GetUrlsPerExtraFtpTask(), 26);
        EXPECT_EQ(o.GetMaxOtherTasksPerHost(), 27);
        EXPECT_EQ(o.GetMaxTotalTasksPerHost(), 28);
        EXPECT_EQ(o.GetMaxTotalTasks(), 29);
    }

    static void ExpectConnectDefaults(const CConnectOptions& o)
    {
        CString user, password;
        EXPECT_EQ(o.GetAccessType(), 0);
        EXPECT_STREQ(o.GetProxyHttp(), "");
        EXPECT_STREQ(o.GetProxySocks(), "");
        EXPECT_EQ(o.GetProxyHttpPort(), 8080);
        EXPECT_EQ(o.GetProxyHttpsPort(), 8081);
        EXPECT_EQ(o.GetProxyFtpPort(), 8082);
        EXPECT_EQ(o.GetProxyGopherPort(), 8083);
        EXPECT_EQ(o.GetProxySocksPort(), 1080);
        EXPECT_EQ(o.GetProxyHttpsCern(), 0);
        EXPECT_EQ(o.GetProxyFtpCern(), 0);
        EXPECT_EQ(o.GetProxyGopherCern(), 0);
        EXPECT_EQ(o.GetProxyAllSame(), 0);
        EXPECT_STREQ(o.GetProxyBypassList(), "");
        EXPECT_EQ(o.GetProxyBypassLocal(), 0);
        EXPECT_FALSE(o.GetProxyCredentials(user, password));
        EXPECT_STREQ(o.GetAgentName(), "");
        EXPECT_FALSE(o.GetFtpCredentials(user, password));
        EXPECT_EQ(o.GetFtpPasvMode(), 0);
        EXPECT_FALSE(o.GetHttpCredentials(user, password));
        EXPECT_EQ(o.GetHttpAcceptCookies(), 1);
        EXPECT_EQ(o.GetHttpsIgnoreCertErrors(), 0);
        EXPECT_STREQ(o.GetIndexFilename(), "");
        EXPECT_STREQ(o.GetFileRoot(), "");
        EXPECT_EQ(o.GetConnectRetries(), 0);
        EXPECT_EQ(o.GetConnectTimeout(), 30);
        EXPECT_EQ(o.GetDataTimeout(), 30);
        EXPECT_EQ(o.GetControlTimeout(), 30);
        EXPECT_EQ(o.GetNumThreads(), 10);
        EXPECT_EQ(o.GetMaxHttpTasksPerHost(), 6);
        EXPECT_EQ(o.GetMaxHttpsTasksPerHost(), 4);
        EXPECT_EQ(o.GetUrlsPerExtraHttpsTask(), 10);
        EXPECT_EQ(o.GetMaxFileTasksPerHost(), 6);
        EXPECT_EQ(o.GetMaxFtpTasksPerHost(), 2);
        EXPECT_EQ(o.GetUrlsPerExtraFtpTask(), 20);
        EXPECT_EQ(o.GetMaxOtherTasksPerHost(), 1);
        EXPECT_EQ(o.GetMaxTotalTasksPerHost(), 10);
        EXPECT_EQ(o.GetMaxTotalTasks(), 30);
    }

    static void ExpectScanDefaults(const CScanOptions& o)
    {
        EXPECT_EQ(o.GetMaxSubDirDepth(), 0x7fffffff);
        EXPECT_EQ(o.GetUsingFrontPage(), 0);
        EXPECT_EQ(o.GetExtractorBeta1000(), 1000);
        EXPECT_EQ(o.GetAutoInclude(), 1);
        EXPECT_EQ(o.GetAutoLowercase(), 1);
        EXPECT_STREQ(o.GetAutoStrip(), "");
        EXPECT_EQ(o.GetDisabledAccessibility(), 0);
        EXPECT_EQ(o.GetJavaScript(), 0);
        EXPECT_EQ(o.GetVBScript(), 0);
    }

    CProfileStore m_profile;
    std::string m_ini;
};

TEST_F(OptionRecordsTest, ConnectDefaults)
{
    const CConnectOptions options;
    ExpectConnectDefaults(options);
}

TEST_F(OptionRecordsTest, ScanDefaultsAndWorkingFields)
{
    const CScanOptions options;
    ExpectScanDefaults(options);
    EXPECT_DOUBLE_EQ(options.GetExtractorBeta(), 1.0);
    EXPECT_EQ(options.GetReportAnchors(), 0u);
    EXPECT_EQ(options.GetCollectKeywords(), 1u);
    EXPECT_EQ(options.GetReportMeta(), 1u);
    EXPECT_EQ(options.GetReportDescription(), 1u);
    EXPECT_EQ(options.GetIgnoreScriptType(), 1u);
    EXPECT_EQ(options.GetMaxDepth(), 0x7fffffff);
    EXPECT_EQ(ToVector(options.GetIncludePatterns()),
              (std::vector<std::string>{R"(.*\.(html?|gif|jpe?g|png|bmp|zip|exe|asp|pl|pdf)(\?.*)?)", R"(.*\.dll\?.*)"}));
    EXPECT_TRUE(options.GetExcludePatterns().IsEmpty());
}

TEST_F(OptionRecordsTest, EmptyIniFileGivesEveryDefault)
{
    WriteFileBytes(m_ini, "");
    CConnectOptions connect;
    FillConnect(connect);
    EXPECT_TRUE(connect.LoadFromFile(m_ini.c_str()));
    ExpectConnectDefaults(connect);

    CScanOptions scan;
    scan.SetMaxSubDirDepth(3);
    scan.SetJavaScript(1);
    EXPECT_TRUE(scan.LoadFromFile(m_ini.c_str()));
    ExpectScanDefaults(scan);
}

TEST_F(OptionRecordsTest, IniFileRoundTrip)
{
    CConnectOptions written;
    FillConnect(written);
    ASSERT_TRUE(written.SaveToFile(m_ini.c_str()));
    CConnectOptions read;
    ASSERT_TRUE(read.LoadFromFile(m_ini.c_str()));
    ExpectFilled(read);

    CScanOptions scan;
    scan.SetMaxSubDirDepth(5);
    scan.SetUsingFrontPage(1);
    scan.SetExtractorBeta1000(1500);
    scan.SetDisabledAccessibility(1);
    scan.SetJavaScript(1);
    scan.SetVBScript(1);
    ASSERT_TRUE(scan.SaveToFile(m_ini.c_str()));
    CScanOptions scanRead;
    ASSERT_TRUE(scanRead.LoadFromFile(m_ini.c_str()));
    EXPECT_EQ(scanRead.GetMaxSubDirDepth(), 5);
    EXPECT_EQ(scanRead.GetUsingFrontPage(), 1);
    EXPECT_EQ(scanRead.GetExtractorBeta1000(), 1500);
    EXPECT_DOUBLE_EQ(scanRead.GetExtractorBeta(), 1.5);
    EXPECT_EQ(scanRead.GetDisabledAccessibility(), 1);
    EXPECT_EQ(scanRead.GetJavaScript(), 1);
    EXPECT_EQ(scanRead.GetVBScript(), 1);
}

TEST_F(OptionRecordsTest, IniFileNamesAndValues)
{
    CConnectOptions options;
    FillConnect(options);
    ASSERT_TRUE(options.SaveToFile(m_ini.c_str()));
    EXPECT_EQ(IniValue("ConnectOptions", "AccessType"), "3");
    EXPECT_EQ(IniValue("ConnectOptions", "ProxyHttp"), "hp");
    EXPECT_EQ(IniValue("ConnectOptions", "ProxyHttpPort"), "1001");
    EXPECT_EQ(IniValue("ConnectOptions", "ProxyFtpCern"), "1");
    EXPECT_EQ(IniValue("ConnectOptions", "ProxyAllSame"), "1");
    EXPECT_EQ(IniValue("ConnectOptions", "QXindexFilename"), "index.html");
    EXPECT_EQ(IniValue("ConnectOptions", "FileRoot"), "/srv/site");
    EXPECT_EQ(IniValue("ConnectOptions", "HttpAcceptCookies"), "0");
    EXPECT_EQ(IniValue("ConnectOptions", "NumThreads"), "4");
    EXPECT_EQ(IniValue("TuningOptions", "MaxHttpTasksPerHost"), "21");
    EXPECT_EQ(IniValue("TuningOptions", "MaxTotalTasks"), "29");
    EXPECT_EQ(IniValue("ConnectOptions", "MaxTotalTasks"), "<none>");

    CScanOptions scan;
    scan.SetMaxSubDirDepth(-4);
    ASSERT_TRUE(scan.SaveToFile(m_ini.c_str()));
    EXPECT_EQ(IniValue("ScanOptions", "MaxSubDirDepth"), "-4");
    EXPECT_EQ(IniValue("ScanOptions", "ExtractorBeta1000"), "1000");
    EXPECT_EQ(IniValue("ScanOptions", "AutoLowercase"), "1");
    EXPECT_EQ(IniValue("ScanOptions", "AutoStrip"), "");
    EXPECT_EQ(IniValue("ScanOptions", "VBScript"), "0");
    CScanOptions back;
    ASSERT_TRUE(back.LoadFromFile(m_ini.c_str()));
    EXPECT_EQ(back.GetMaxSubDirDepth(), -4);
}

TEST_F(OptionRecordsTest, WordsAreCutAndFlagsNormalisedOnRead)
{
    WriteFileBytes(m_ini, "[ConnectOptions]\nProxyHttpPort=65537\nProxySocksPort=-1\nProxyAllSame=7\n"
                          "ConnectTimeout=junk\nDataTimeout=45s\n");
    CConnectOptions options;
    ASSERT_TRUE(options.LoadFromFile(m_ini.c_str()));
    EXPECT_EQ(options.GetProxyHttpPort(), 1);
    EXPECT_EQ(options.GetProxySocksPort(), 65535);
    EXPECT_EQ(options.GetProxyAllSame(), 1);
    EXPECT_EQ(options.GetConnectTimeout(), 30); // not a number: the default stays
    EXPECT_EQ(options.GetDataTimeout(), 45);
}

TEST_F(OptionRecordsTest, LongStringsComeBackWhole)
{
    std::string list;
    for (int i = 0; i < 100; ++i)
        list += "host" + std::to_string(i) + ".intranet.example;";
    ASSERT_GT(list.size(), 1000u);
    CConnectOptions options;
    options.SetProxyBypassList(list.c_str());
    ASSERT_TRUE(options.SaveToFile(m_ini.c_str()));
    CConnectOptions read;
    ASSERT_TRUE(read.LoadFromFile(m_ini.c_str()));
    EXPECT_EQ(std::string(read.GetProxyBypassList()), list);
}

TEST_F(OptionRecordsTest, AFailedWriteIsReported)
{
    CConnectOptions options;
    options.SetAgentName("two\nlines");
    EXPECT_FALSE(options.SaveToFile(m_ini.c_str()));
    // The other keys were written all the same.
    EXPECT_EQ(IniValue("ConnectOptions", "NumThreads"), "10");
    EXPECT_FALSE(options.Exchange(99, m_ini.c_str(), 0));
}

TEST_F(OptionRecordsTest, ProfileRoundTripAndNames)
{
    CConnectOptions written;
    FillConnect(written);
    ASSERT_TRUE(written.SaveToProfile());
    EXPECT_EQ(m_profile.GetProfileInt("ConnectOptions", "ProxyGopherPort", 0), 1004u);
    EXPECT_STREQ(m_profile.GetProfileString("ConnectOptions", "ProxyPassword", ""), "pw");
    EXPECT_STREQ(m_profile.GetProfileString("ConnectOptions", "QXindexFilename", ""), "index.html");
    EXPECT_EQ(m_profile.GetProfileInt("ConnectOptions", "HttpsIgnoreCertErrors", 0), 1u);
    EXPECT_EQ(m_profile.GetProfileInt("TuningOptions", "UrlsPerExtraFtpTask", 0), 26u);
    CConnectOptions read;
    ASSERT_TRUE(read.LoadFromProfile());
    ExpectFilled(read);

    CScanOptions scan;
    scan.SetExtractorBeta1000(750);
    scan.SetUsingFrontPage(1);
    ASSERT_TRUE(scan.SaveToProfile());
    EXPECT_EQ(m_profile.GetProfileInt("ScanOptions", "ExtractorBeta1000", 0), 750u);
    EXPECT_EQ(m_profile.GetProfileInt("ScanOptions", "UsingFrontPage", 0), 1u);
    CScanOptions scanRead;
    ASSERT_TRUE(scanRead.LoadFromProfile());
    EXPECT_EQ(scanRead.GetExtractorBeta1000(), 750);
    EXPECT_EQ(scanRead.GetUsingFrontPage(), 1);
}

TEST_F(OptionRecordsTest, EmptyProfileGivesDefaults)
{
    CConnectOptions connect;
    FillConnect(connect);
    ASSERT_TRUE(connect.LoadFromProfile());
    ExpectConnectDefaults(connect);
    m_profile.WriteProfileInt("ConnectOptions", "ProxyFtpPort", 70000);
    ASSERT_TRUE(connect.LoadFromProfile());
    EXPECT_EQ(connect.GetProxyFtpPort(), 70000 & 0xFFFF);
}

TEST_F(OptionRecordsTest, ResetToDefaults)
{
    CConnectOptions connect;
    FillConnect(connect);
    EXPECT_TRUE(connect.ResetToDefaults());
    ExpectConnectDefaults(connect);
    CScanOptions scan;
    scan.SetVBScript(1);
    scan.SetExtractorBeta1000(3);
    EXPECT_TRUE(scan.ResetToDefaults());
    ExpectScanDefaults(scan);
}

TEST_F(OptionRecordsTest, CopiesAreDeep)
{
    CConnectOptions connect;
    FillConnect(connect);
    const CConnectOptions copy(connect);
    connect.SetProxyHttp("changed", 1);
    ExpectFilled(copy);

    CScanOptions scan;
    scan.SetIgnoreScriptType(0);
    scan.GetExcludePatterns().AddTail("x");
    CScanOptions scanCopy(scan);
    scan.GetIncludePatterns().RemoveAll();
    scan.GetExcludePatterns().AddTail("y");
    EXPECT_EQ(scanCopy.GetIgnoreScriptType(), 0u);
    EXPECT_EQ(scanCopy.GetIncludePatterns().GetCount(), 2);
    EXPECT_EQ(ToVector(scanCopy.GetExcludePatterns()), std::vector<std::string>{"x"});
    scanCopy = scan;
    EXPECT_TRUE(scanCopy.GetIncludePatterns().IsEmpty());
    EXPECT_EQ(ToVector(scanCopy.GetExcludePatterns()), (std::vector<std::string>{"x", "y"}));
}

TEST_F(OptionRecordsTest, ProxyAllSameAlsoSetsFtpCern)
{
    CConnectOptions options;
    options.SetProxyAllSame(1);
    EXPECT_EQ(options.GetProxyFtpCern(), 1);
    options.SetProxyAllSame(0);
    EXPECT_EQ(options.GetProxyFtpCern(), 1);
}

TEST_F(OptionRecordsTest, ProxyList)
{
    CConnectOptions options;
    options.SetProxyHttp("proxy", 8080);
    EXPECT_STREQ(options.GetProxyList(), ""); // not access type 3
    options.SetAccessType(3);
    EXPECT_STREQ(options.GetProxyList(), "http=proxy:8080 ");

    CConnectOptions ftp;
    ftp.SetAccessType(3);
    ftp.SetProxyFtp("fp", 21, 0);
    EXPECT_STREQ(ftp.GetProxyList(), "ftp=ftp://fp:21 ");
    ftp.SetProxyFtp("fp", 21, 1);
    EXPECT_STREQ(ftp.GetProxyList(), "ftp=fp:21 ");

    CConnectOptions all;
    all.SetAccessType(3);
    all.SetProxyHttp("h", 1);
    all.SetProxyHttps("s", 2);
    all.SetProxyFtp("f", 3, 0);
    all.SetProxyGopher("g", 4);
    all.SetProxySocks("k", 5);
    EXPECT_STREQ(all.GetProxyList(), "http=h:1 https=s:2 ftp=ftp://f:3 gopher=g:4 socks=k:5 ");
    all.SetProxyAllSame(1);
    EXPECT_STREQ(all.GetProxyList(), "h:1");

    CConnectOptions noHost;
    noHost.SetAccessType(3);
    noHost.SetProxyAllSame(1);
    EXPECT_STREQ(noHost.GetProxyList(), "");
}

TEST_F(OptionRecordsTest, ProxyBypass)
{
    CConnectOptions options;
    options.SetProxyBypassLocal(1);
    EXPECT_STREQ(options.GetProxyBypass(), "");
    options.SetAccessType(3);
    EXPECT_STREQ(options.GetProxyBypass(), "<local>");
    options.SetProxyBypassList("intranet");
    EXPECT_STREQ(options.GetProxyBypass(), "intranet <local>");
    options.SetProxyBypassLocal(0);
    EXPECT_STREQ(options.GetProxyBypass(), "intranet");
}

TEST_F(OptionRecordsTest, MapFileUrlToPath)
{
    CConnectOptions options;
    EXPECT_STREQ(options.MapFileUrlToPath("", "/c|/web/a%20b.htm"), "c:/web/a b.htm");
    EXPECT_STREQ(options.MapFileUrlToPath(nullptr, "/home/me/a+b%2Bc%7e.htm"), "/home/me/a b+c~.htm");
    EXPECT_STREQ(options.MapFileUrlToPath("", "/web/100%/x%4"), "/web/100%/x%4");
    EXPECT_STREQ(options.MapFileUrlToPath("", "/web\\sub\\x.htm"), "/web/sub/x.htm");
    EXPECT_STREQ(options.MapFileUrlToPath("srv", "/web/x.htm"), "//srv/web/x.htm");
    options.SetFileRoot("/srv/site");
    EXPECT_STREQ(options.MapFileUrlToPath("", "/web/x.htm"), "/srv/site/web/x.htm");
    options.SetFileRoot("/srv/site/");
    EXPECT_STREQ(options.MapFileUrlToPath("", "/web/x.htm"), "/srv/site/web/x.htm");
    EXPECT_STREQ(options.MapFileUrlToPath("", "/c|/x.htm"), "c:/x.htm");
    EXPECT_STREQ(options.MapFileUrlToPath("srv", "/web/x.htm"), "//srv/web/x.htm");
}

TEST_F(OptionRecordsTest, ExistingPathsIgnoreTheFileRoot)
{
    // A project's own pages are found where they are, whatever the file root says.
    const std::filesystem::path page = TempDir() / "my page.htm";
    WriteFileBytes(page, "<html></html>");
    CConnectOptions options;
    options.SetFileRoot("/srv/site");
    const std::string url = "/" + page.string().substr(1);
    std::string escaped;
    for (char ch : url)
        escaped += ch == ' ' ? std::string("%20") : std::string(1, ch);
    EXPECT_EQ(std::string(options.MapFileUrlToPath("", escaped.c_str())), page.string());
    const std::string missing = (TempDir() / "missing.htm").string();
    EXPECT_EQ(std::string(options.MapFileUrlToPath("", missing.c_str())), "/srv/site" + missing);
    const std::string overlong = "/" + std::string(10000, 'a');
    EXPECT_EQ(std::string(options.MapFileUrlToPath("", overlong.c_str())), "/srv/site" + overlong);
}

TEST_F(OptionRecordsTest, EscapedNulStaysEscaped)
{
    const CConnectOptions options;
    const CString strPath = options.MapFileUrlToPath("", "/home/me/a%00/../../etc/passwd");
    EXPECT_EQ(strPath.GetLength(), static_cast<int>(std::string("/home/me/a%00/../../etc/passwd").size()));
    EXPECT_STREQ(strPath, "/home/me/a%00/../../etc/passwd");
}

} // namespace
