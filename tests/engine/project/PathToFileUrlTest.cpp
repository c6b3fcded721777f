#include "../EngineTestSupport.h"

#include "engine/project/CConnectOptions.h"
#include "engine/project/CUrlString.h"
#include "engine/project/PathToFileUrl.h"

#include <filesystem>
#include <string>

using namespace enginetest;

namespace {

class PathToFileUrlTest : public EngineTest {};

std::string UrlOf(const char* pszPath)
{
    CString strPath(pszPath);
    PathToFileUrl(strPath);
    return strPath.GetString();
}

TEST_F(PathToFileUrlTest, PosixPaths)
{
    EXPECT_EQ(UrlOf("/home/me/site/index.htm"), "file:///home/me/site/index.htm");
    EXPECT_EQ(UrlOf("/home/me/my site/a+b#1?.htm"), "file:///home/me/my%20site/a%2Bb%231%3F.htm");
    EXPECT_EQ(UrlOf("/w/100%;~|\"x\xC3\xA9"), "file:///w/100%25%3B%7E%7C%22x%C3%A9");
    EXPECT_EQ(UrlOf("/w/a:b@c=d&e$f(g)!h*i'j,k-l_m.n"), "file:///w/a:b@c=d&e$f(g)!h*i'j,k-l_m.n");
}

TEST_F(PathToFileUrlTest, FolderGetsTheIndexFileName)
{
    EXPECT_EQ(UrlOf("/home/me/site/"), "file:///home/me/site/");
    m_pModel->GetAppOptions().m_strIndexFileName = "index page.html";
    EXPECT_EQ(UrlOf("/home/me/site/"), "file:///home/me/site/index%20page.html");
    EXPECT_EQ(UrlOf("/home/me/site/a.htm"), "file:///home/me/site/a.htm");
    // An existing folder named without its slash is a folder all the same.
    const std::string folder = TempDir().string();
    EXPECT_EQ(UrlOf(folder.c_str()), "file://" + folder + "/index%20page.html");
}

TEST_F(PathToFileUrlTest, RelativePathsStartAtTheCurrentFolder)
{
    const std::string cwd = std::filesystem::current_path().string();
    const std::string url = UrlOf("page.htm");
    EXPECT_EQ(url.rfind("file://", 0), 0u);
    EXPECT_EQ(url.substr(url.size() - 9), "/page.htm");
    EXPECT_NE(url.find(UrlOf(cwd.c_str()).substr(7)), std::string::npos);
}

TEST_F(PathToFileUrlTest, OldFormsStillConvert)
{
    EXPECT_EQ(UrlOf("c:\\web\\a b.htm"), "file:///c|/web/a%20b.htm");
    EXPECT_EQ(UrlOf("\\\\srv\\share\\x.htm"), "file://srv/share/x.htm");
}

TEST_F(PathToFileUrlTest, RoundTripThroughTheFileMapping)
{
    const CConnectOptions options;
    for (const char* pszPath : {"/home/me/site/index.htm", "/tmp/a b/c+d/%41/#x?y;z~|.html", "/w/\xC3\xA9t\xC3\xA9.htm",
                                "/w/:colon/@at/&amp"}) {
        CString strUrl(pszPath);
        PathToFileUrl(strUrl);
        const CUrlString url(strUrl);
        ASSERT_FALSE(url.HasError()) << strUrl.GetString();
        EXPECT_EQ(url.HasInvalidChars(), 0) << strUrl.GetString();
        EXPECT_STREQ(options.MapFileUrlToPath(url.GetHost(), url.GetPath()), pszPath);
    }
    CString strDrive("c:\\web\\a b.htm");
    PathToFileUrl(strDrive);
    const CUrlString drive(strDrive);
    EXPECT_STREQ(options.MapFileUrlToPath(drive.GetHost(), drive.GetPath()), "c:/web/a b.htm");
}

} // namespace
