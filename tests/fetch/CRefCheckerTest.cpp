#include "FakeTaskSink.h"
#include "support/ScopedTempDir.h"

#include "engine/html/HtmlLinkTypes.h"
#include "engine/project/CConnectOptions.h"
#include "engine/project/CScanOptions.h"
#include "engine/project/CUrlString.h"
#include "engine/project/PathToFileUrl.h"
#include "fetch/CHPSTable.h"
#include "fetch/CMailtoRefChecker.h"
#include "fetch/CRefChecker.h"
#include "fetch/CTaskManager.h"
#include "fetch/ResultCodes.h"

#include <gtest/gtest.h>

#include <sys/time.h>

#include <ctime>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace {

class CRefCheckerTest : public ::testing::Test {
protected:
    fs::path Write(const std::string& name, const std::string& text)
    {
        m_dir.WriteFile(name, text);
        return m_folder / name;
    }
    static CString Url(const fs::path& path)
    {
        CString strUrl = path.string().c_str();
        PathToFileUrl(strUrl);
        return strUrl;
    }

    // Checks one URL through the whole engine and answers what its page heard.
    FakePage CheckOne(LPCTSTR lpszUrl, int nLinkKind = LINK_KIND_PLAIN,
        const std::function<void(CScanOptions&)>& adjust = {}, LPCTSTR lpszIndex = "")
    {
        CConnectOptions options;
        options.SetNumThreads(1);
        options.SetIndexFilename(lpszIndex);
        CTaskManager manager(&m_sink, nullptr, 0, &options);
        CScanOptions scanOptions;
        if (adjust)
            adjust(scanOptions);
        manager.SetScanOptions(scanOptions);
        const DWORD_PTR dwPage = ++m_nextPage;
        EXPECT_TRUE(manager.QueueUrl(dwPage, lpszUrl, nLinkKind, TRUE));
        manager.StartThreads();
        EXPECT_TRUE(m_sink.WaitForDone(static_cast<int>(dwPage)));
        manager.RequestStop();
        manager.StopThreads();
        return m_sink.Page(dwPage);
    }

    static std::vector<DWORD> Codes(const FakePage& page)
    {
        std::vector<DWORD> codes;
        for (const FakeResult& result : page.results)
            codes.push_back(result.dwCode);
        return codes;
    }

    ScopedTempDir m_dir;
    const fs::path m_folder = m_dir.Path();
    FakeTaskSink m_sink;
    DWORD_PTR m_nextPage = 0;
};

TEST_F(CRefCheckerTest, MailtoSyntax)
{
    EXPECT_TRUE(CMailtoRefChecker::IsValidAddress("Joe Bloggs <joe@example.com>"));
    EXPECT_TRUE(CMailtoRefChecker::IsValidAddress("joe@localhost"));
    EXPECT_FALSE(CMailtoRefChecker::IsValidAddress("joe@"));
    EXPECT_FALSE(CMailtoRefChecker::IsValidAddress("@example.com"));
    EXPECT_FALSE(CMailtoRefChecker::IsValidAddress("joe@example.com."));
    EXPECT_FALSE(CMailtoRefChecker::IsValidAddress("joe@.example.com"));
    EXPECT_FALSE(CMailtoRefChecker::IsValidAddress("joe.example.com"));
    EXPECT_FALSE(CMailtoRefChecker::IsValidAddress("Joe <>"));
    EXPECT_FALSE(CMailtoRefChecker::IsValidAddress("Joe <joe@example.com"));
    EXPECT_FALSE(CMailtoRefChecker::IsValidAddress("joe@example.com>"));
}

TEST_F(CRefCheckerTest, MailtoResults)
{
    FakePage page = CheckOne("mailto:joe@example.com", LINK_KIND_ANCHOR);
    EXPECT_EQ(Codes(page), (std::vector<DWORD> {RC_CHECKING, RC_MAILTO_OK}));
    EXPECT_EQ(page.results.back().text, "Ok (Syntax Only)");
    EXPECT_EQ(page.done, 1);

    page = CheckOne("mailto:joe@", LINK_KIND_ANCHOR);
    EXPECT_EQ(page.results.back().dwCode, RC_MAILTO_BAD_SYNTAX);
    EXPECT_EQ(page.results.back().text, "Bad syntax");

    page = CheckOne("mailto:joe@example.com", LINK_KIND_IMAGE);
    EXPECT_EQ(page.results.back().dwCode, RC_MAILTO_NOT_ALLOWED);
    EXPECT_EQ(page.results.back().dwClass, RESULT_CLASS_NOT_ALLOWED);
    EXPECT_EQ(page.results.back().text, "mailto: not allowed here");

    page = CheckOne("mailto:joe@example.com#top", LINK_KIND_OTHER);
    EXPECT_EQ(page.results.back().dwCode, RC_MAILTO_NOT_ALWAYS);
}

TEST_F(CRefCheckerTest, OtherSchemesAreUnsupported)
{
    const FakePage page = CheckOne("gopher://gopher.example/1/menu");
    EXPECT_EQ(Codes(page), (std::vector<DWORD> {RC_CHECKING, RC_UNSUPPORTED_SCHEME}));
    EXPECT_EQ(page.results.back().dwClass, RESULT_CLASS_WARNING);
    EXPECT_EQ(page.results.back().text, "Unsupported internet scheme");
    EXPECT_EQ(page.done, 1);
}

TEST_F(CRefCheckerTest, ServerSideImageMapLinks)
{
    const fs::path path = Write("map.htm", "<html></html>");
    FakePage page = CheckOne(Url(path), LINK_KIND_SERVER_MAP);
    EXPECT_EQ(Codes(page), (std::vector<DWORD> {RC_CHECKING, RC_SERVER_MAP_UNSUPPORTED}));
    page = CheckOne("gopher://gopher.example/map", LINK_KIND_SERVER_MAP);
    EXPECT_EQ(Codes(page), (std::vector<DWORD> {RC_CHECKING, RC_SERVER_MAP_WRONG_PROTOCOL}));
}

TEST_F(CRefCheckerTest, MissingFileIsNotFoundWithItsName)
{
    const fs::path path = m_folder / "missing.htm";
    const FakePage page = CheckOne(Url(path));
    ASSERT_FALSE(page.results.empty());
    EXPECT_EQ(page.results.back().dwCode, RC_FILE_NOT_FOUND);
    EXPECT_EQ(page.results.back().text, "Not found (" + path.string() + ")");
    EXPECT_EQ(page.done, 1);
}

TEST_F(CRefCheckerTest, FolderWithoutSlashRedirects)
{
    fs::create_directory(m_folder / "sub");
    const CString strUrl = CString("file://") + (m_folder / "sub").string().c_str();
    const FakePage page = CheckOne(strUrl);
    ASSERT_EQ(page.redirects.size(), 1u);
    EXPECT_EQ(page.redirects[0], std::string(strUrl) + "/");
    const std::vector<DWORD> codes = Codes(page);
    EXPECT_TRUE(std::find(codes.begin(), codes.end(), RC_FILE_FOLDER_REDIRECT) != codes.end());
    // The redirect is reported as a link too, with its own result.
    ASSERT_EQ(page.links.size(), 1u);
    EXPECT_EQ(page.links[0], std::string(strUrl) + "/");
}

TEST_F(CRefCheckerTest, FolderWithSlashAndNoIndexNameIsOk)
{
    fs::create_directory(m_folder / "sub");
    const CString strUrl = CString("file://") + (m_folder / "sub").string().c_str() + "/";
    FakePage page = CheckOne(strUrl);
    EXPECT_EQ(page.results.back().dwCode, RC_FILE_OK);
    EXPECT_EQ(page.contentLength, -1);

    Write("sub/index.htm", "<title>Index</title>");
    page = CheckOne(strUrl, LINK_KIND_PLAIN, {}, "index.htm");
    EXPECT_EQ(page.title, "Index");
    page = CheckOne(strUrl, LINK_KIND_PLAIN, {}, "default.htm");
    EXPECT_EQ(page.results.back().dwCode, RC_FILE_NO_INDEX);
}

TEST_F(CRefCheckerTest, FileDatedAheadWarnsAndGivesNoOk)
{
    const fs::path path = Write("future.htm", "<title>Later</title>");
    const std::time_t later = std::time(nullptr) + 2 * 24 * 60 * 60;
    struct timeval times[2] = {{later, 0}, {later, 0}};
    ASSERT_EQ(::utimes(path.c_str(), times), 0);
    const FakePage page = CheckOne(Url(path));
    EXPECT_EQ(page.title, "Later");
    EXPECT_EQ(page.results.back().dwCode, RC_FILE_BAD_DATE);
    EXPECT_EQ(page.results.back().text, "Bad last modified date");
    EXPECT_EQ(page.lastModified, static_cast<long>(later));
}

TEST_F(CRefCheckerTest, FileUrlWithAHostWarnsAndIsStillReadLocally)
{
    const fs::path path = Write("remote.htm", "<title>Here</title>");
    const CString strUrl = CString("file://somehost") + path.string().c_str();
    const FakePage page = CheckOne(strUrl);
    EXPECT_EQ(page.title, "Here");
    EXPECT_EQ(page.results.back().dwCode, RC_FILE_REMOTE_HOST);
}

TEST_F(CRefCheckerTest, TextFilesGoToTheKeywordReaderOnlyWithScriptTypesHonoured)
{
    const fs::path path = Write("notes.txt", "<title>Not a title</title> plain words");
    FakePage page = CheckOne(Url(path));
    EXPECT_EQ(page.title, "Not a title");

    page = CheckOne(Url(path), LINK_KIND_PLAIN, [](CScanOptions& options) { options.SetIgnoreScriptType(0); });
    EXPECT_EQ(page.title, "");
    EXPECT_EQ(page.contentLength, static_cast<long>(fs::file_size(path)));
    EXPECT_EQ(page.results.back().dwCode, RC_FILE_OK);
}

TEST_F(CRefCheckerTest, ImagesAreCheckedButNotRead)
{
    const fs::path path = Write("pic.htm", "<title>Never read</title>");
    const FakePage page = CheckOne(Url(path), LINK_KIND_IMAGE);
    EXPECT_EQ(page.title, "");
    EXPECT_EQ(page.results.back().dwCode, RC_FILE_OK);
}

// The base's own rules, driven directly on one worker's checker.
class CRefCheckerBaseTest : public ::testing::Test {
protected:
    CRefCheckerBaseTest() : m_manager(&m_sink, nullptr, 0, nullptr) {}

    CURLToCheck* Take(LPCTSTR lpszUrl, int nLinkKind = LINK_KIND_PLAIN)
    {
        const CUrlString url(lpszUrl);
        m_manager.GetHostTable().AddUrl(1, nLinkKind, 1, url.GetHost(), url.GetPort(), url.GetSchemeIndex(), nullptr,
            nullptr, url.GetPath(), url.GetParams(), url.GetQuery(), url.GetFragment(), nullptr);
        return m_manager.GetHostTable().TakeNextUrl();
    }

    FakeTaskSink m_sink;
    CTaskManager m_manager;
};

TEST_F(CRefCheckerBaseTest, OnlyTheWorstResultIsReported)
{
    CURLToCheck* pRecord = Take("gopher://g.example/a b");
    ASSERT_NE(pRecord, nullptr);
    auto pChecker = CreateRefChecker(&m_manager, &m_sink, pRecord->GetHpsup());
    // The blank is unsafe: a warning, after which in-progress and warning results are dropped.
    EXPECT_TRUE(pChecker->Check(pRecord));
    EXPECT_EQ(m_sink.Codes(1), (std::vector<DWORD> {RC_CHECKING, RC_UNSAFE_CHARS}));
    pChecker->ReportResultCode(RC_CHECKING);
    pChecker->CheckMore();
    EXPECT_EQ(m_sink.Codes(1).size(), 2u);
    pChecker->ReportResultCode(0x8000000d);
    pChecker->ReportResultCode(0x8000000e);
    EXPECT_EQ(m_sink.Codes(1), (std::vector<DWORD> {RC_CHECKING, RC_UNSAFE_CHARS, 0x8000000d}));
    // A code the table lacks arrives as the default row (checked on a new URL).
    pChecker->Finish();
    pChecker->Check(pRecord);
    pChecker->ReportResultCode(0x8400001c, "odd");
    const FakePage page = m_sink.Page(1);
    EXPECT_EQ(page.results.back().dwCode, RC_DEFAULT);
    EXPECT_EQ(page.results.back().text, "Problem: odd");
    pChecker->Finish();
    EXPECT_EQ(m_sink.Page(1).done, 2);
    pRecord->GetHpsup()->ReleaseHps();
    m_manager.GetHostTable().ReleaseUrl(pRecord);
}

TEST_F(CRefCheckerBaseTest, HostNotFoundIsNeverFetched)
{
    CURLToCheck* pRecord = Take("gopher://gone.example/x");
    ASSERT_NE(pRecord, nullptr);
    pRecord->GetHpsup()->GetHost()->SetNotFound();
    auto pChecker = CreateRefChecker(&m_manager, &m_sink, pRecord->GetHpsup());
    EXPECT_FALSE(pChecker->Check(pRecord));
    const FakePage page = m_sink.Page(1);
    ASSERT_EQ(page.results.size(), 2u);
    EXPECT_EQ(page.results[1].dwCode, RC_ERROR_TEXT);
    EXPECT_EQ(page.results[1].text, "Host not found");
    m_manager.GetHostTable().ReleaseUrl(pRecord);
}

TEST_F(CRefCheckerBaseTest, ServerMapLinksNeedDisabledAccessibility)
{
    CURLToCheck* pRecord = Take("gopher://g.example/x");
    ASSERT_NE(pRecord, nullptr);
    auto pChecker = CreateRefChecker(&m_manager, &m_sink, pRecord->GetHpsup());
    pChecker->Check(pRecord);
    pChecker->ReportLink("map.cgi", "", LINK_KIND_ANCHOR, LINK_FLAG_SERVER_MAP, -1, -1);
    pChecker->ReportLink("plain.htm", "", LINK_KIND_ANCHOR, 0, -1, -1);
    EXPECT_EQ(m_sink.Page(1).links, (std::vector<std::string> {"plain.htm"}));
    CScanOptions options;
    options.SetDisabledAccessibility(1);
    m_manager.SetScanOptions(options);
    pChecker->ReportLink("map.cgi", "", LINK_KIND_ANCHOR, LINK_FLAG_SERVER_MAP, -1, -1);
    EXPECT_EQ(m_sink.Page(1).links, (std::vector<std::string> {"plain.htm", "map.cgi"}));
    m_manager.GetHostTable().ReleaseUrl(pRecord);
}

TEST_F(CRefCheckerBaseTest, RelativeBaseIsReportedButStillUsed)
{
    CURLToCheck* pRecord = Take("file:///site/dir/page.htm");
    ASSERT_NE(pRecord, nullptr);
    auto pChecker = CreateRefChecker(&m_manager, &m_sink, pRecord->GetHpsup());
    pChecker->Check(pRecord);
    pChecker->OnBase("other/");
    EXPECT_EQ(m_sink.Page(1).results.back().dwCode, RC_RELATIVE_BASE_URL);
    EXPECT_EQ(m_sink.Page(1).results.back().text, "Relative base URL (other/)");
    EXPECT_STREQ(pChecker->GetBaseUrl(), "file:///site/dir/other/");
    pChecker->ReportCodebaseLink("classes/", "App.class", "", LINK_KIND_JAVA, 0, -1, -1);
    EXPECT_EQ(m_sink.Page(1).links.back(), "file:///site/dir/other/classes/App.class");
    m_manager.GetHostTable().ReleaseUrl(pRecord);
}

} // namespace
