// A site in four charsets scanned through the real fetch engine, edited with values that need
// escaping and characters some charsets lack, saved, and scanned again: every value must read
// back as typed, every page must stay in its own charset, and every byte outside the edited tags
// must stay where it was. XHTML manuals must still parse as XML after the save, and a tag the page
// has keeps its kind and spelling: only its value changes.
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/IScanHost.h"
#include "engine/project/OutputAreaLine.h"
#include "fetch/CFetchScanBackend.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/SyncApi.h"
#include "platform/core/WindowHandle.h"
#include "support/WithoutFileOverride.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <sys/stat.h>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What the save tells of a page its edits change no byte of.
constexpr const char* kNothingToWrite =
    "Nothing to write: the page holds its edits already, byte for byte. It was left as it was, without a backup.";

// The frame, the save dialog and the Output Area in one message-only window.
class SiteFrame : public IScanHost {
public:
    explicit SiteFrame(CVostrelAppModel& app) : m_app(app) { m_hWnd = CreateMessageWindow(&SiteFrame::WndProc, this); }
    ~SiteFrame() override { DestroyMessageWindow(m_hWnd); }
    SiteFrame(const SiteFrame&) = delete;
    SiteFrame& operator=(const SiteFrame&) = delete;

    HWND GetMainWindow() override { return m_hWnd; }
    HWND GetOutputPane() override { return m_hWnd; }

    // Pumps until the flag is set; false after two minutes (a guard against a hang only).
    bool WaitFor(const bool& flag)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while (!flag) {
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

    bool scanned = false;
    bool saved = false;
    int outputLines = 0;
    std::vector<std::string> lines;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = static_cast<SiteFrame*>(GetMessageWindowData(hWnd));
        if (self == nullptr)
            return 0;
        if (message == kMsgShowSetting) {
            SetEvent(reinterpret_cast<HANDLE>(wParam));
        } else if (message == kMsgScanFinished) {
            self->scanned = true;
            self->m_app.SetRunState(0);
        } else if (message == kMsgSaveFinished) {
            self->saved = true;
        } else if (message == kMsgOutputAddLine) {
            std::string line;
            if (ReadOutputAreaLinePiece(wParam, lParam, self->m_pending, line)) {
                ++self->outputLines;
                self->lines.push_back(line);
            }
        }
        return 0;
    }

    CVostrelAppModel& m_app;
    HWND m_hWnd = nullptr;
    OutputAreaPieces m_pending;
};

// One page: its charset and its bytes, cut where the edited parts (the title's text and the
// description and keywords tags) stand, so that what lies between can be checked after the save.
struct SitePage {
    std::string name;
    std::string charset; // the converter name, to check the saved page is in it
    std::vector<std::string> kept; // the bytes around the edited parts: five pieces
    std::vector<std::string> edited; // the title text, the description tag, the keywords tag
    // What the scan must read, in UTF-8.
    std::string title;
    std::string description;
    std::string keywords;

    std::string Bytes() const { return kept[0] + edited[0] + kept[1] + edited[1] + kept[2] + edited[2] + kept[3]; }
};

SitePage MakePage(std::string name, std::string charset, const std::string& declaration, std::string titleBytes,
                  std::string descriptionBytes, std::string keywordsBytes, std::string title, std::string description,
                  std::string keywords)
{
    SitePage page{std::move(name), std::move(charset), {}, {}, std::move(title), std::move(description),
                  std::move(keywords)};
    page.kept = {"<html>\r\n<head>\r\n" + declaration + "\r\n<title>",
                 "</title>\r\n",
                 "\r\n<!-- a <meta name=\"description\" content=\"x\"> in a comment stays -->\r\n",
                 "\r\n</head>\r\n<body>\r\n<p>Body &amp; text &lt;b&gt; stays byte for byte.</p>\r\n</body>\r\n</html>\r\n"};
    page.edited = {std::move(titleBytes), "<meta name=\"description\" content=\"" + descriptionBytes + "\">",
                   "<meta name=\"keywords\" content=\"" + keywordsBytes + "\">"};
    return page;
}

// Whether the bytes are valid text in the charset.
bool IsValidIn(const std::string& bytes, const std::string& charset)
{
    iconv_t cd = iconv_open("UTF-8", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string in = bytes;
    char* pIn = in.data();
    size_t inLeft = in.size();
    bool bValid = true;
    while (inLeft > 0 && bValid) {
        char buffer[4096];
        char* pOut = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(cd, &pIn, &inLeft, &pOut, &outLeft) == static_cast<size_t>(-1) && errno != E2BIG)
            bValid = false;
    }
    iconv_close(cd);
    return bValid;
}

std::string ReadSiteFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file read by an XML parser: each META element's attributes as "name=value|...", one line
// each; false when the file is not well-formed XML.
bool ParseAsXml(const fs::path& path, std::string& metas)
{
    const std::string command = "PYTHONIOENCODING=utf-8 /usr/bin/python3 -c \"import sys, xml.dom.minidom\n"
                                "for m in xml.dom.minidom.parse(sys.argv[1]).getElementsByTagName(\\\"meta\\\"):\n"
                                "    print(\\\"|\\\".join(k + \\\"=\\\" + v for k, v in m.attributes.items()))\" '"
        + path.string() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return false;
    metas.clear();
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        metas.append(buffer, n);
    return ::pclose(pipe) == 0;
}

class MultilingualSiteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char szTemplate[] = "/tmp/site-test-XXXXXX";
        m_folder = ::mkdtemp(szTemplate);
        const char* home = std::getenv("XDG_CONFIG_HOME");
        m_oldConfigHome = home != nullptr ? home : "";
        m_hadConfigHome = home != nullptr;
        fs::create_directory(m_folder / "config");
        ::setenv("XDG_CONFIG_HOME", (m_folder / "config").c_str(), 1);
        m_pModel = std::make_unique<CVostrelAppModel>();
        m_pModel->Install();
        m_pModel->GetMetaSettings().SetDefaults();
        m_pModel->SetProjectSettings(std::make_unique<CProjectSettings>());
        fs::create_directory(m_folder / "site");
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

    // Scans the pages as a new tree of nodes, one per page, in order.
    std::vector<CPageNode*> Scan(const std::vector<SitePage>& pages, std::vector<std::string>* pLines = nullptr)
    {
        m_pRoot = std::make_unique<CPageNode>();
        m_pRoot->SetKind(CPageNode::kindRoot);
        m_selection.RemoveAll();
        std::vector<CPageNode*> nodes;
        for (const SitePage& page : pages) {
            auto pPage = std::make_unique<CPageNode>();
            pPage->SetKind(CPageNode::kindPage);
            pPage->SetName(page.name.c_str());
            pPage->SetFolder((m_folder / "site").string().c_str());
            nodes.push_back(pPage.get());
            m_selection.AddTail(pPage.get());
            m_pRoot->AddChild(pPage.release());
        }
        CProjectSettings* pSettings = nullptr;
        m_pModel->GetProjectSettings(pSettings);
        CFetchScanBackend backend;
        SiteFrame frame(*m_pModel);
        CParserEngine engine;
        engine.SetScanBackend(&backend);
        engine.SetScanHost(&frame);
        EXPECT_EQ(engine.StartScan(m_selection, *pSettings), 0u);
        EXPECT_TRUE(frame.WaitFor(frame.scanned));
        if (pLines != nullptr)
            *pLines = frame.lines;
        return nodes;
    }

    // Saves the selected pages; the Output Area's lines.
    std::vector<std::string> Save()
    {
        SiteFrame frame(*m_pModel);
        CParserEngine engine;
        EXPECT_EQ(engine.StartSave(m_selection, frame.GetMainWindow(), frame.GetMainWindow()), 0u);
        EXPECT_TRUE(frame.WaitFor(frame.saved));
        return frame.lines;
    }

    // Sets a content of the page, made when the page has none, as an edit.
    static void Edit(CPageNode* pPage, const char* name, const std::string& value)
    {
        CMetaContentList* pList = nullptr;
        if (pPage->GetContentList(pList) != 0)
            pPage->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        if (pList->FindByName(name, pContent) != 0)
            pList->AddContent(name, "", 0, pContent);
        pContent->SetContent(value.c_str());
        pContent->SetModified(1);
    }

    static CMetaContent* Content(CPageNode* pPage, const char* name)
    {
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        if (pPage->GetContentList(pList) != 0 || pList->FindByName(name, pContent) != 0)
            return nullptr;
        return pContent;
    }

    static void ExpectReads(CPageNode* pPage, const std::string& title, const std::string& description,
                            const std::string& keywords)
    {
        SCOPED_TRACE(pPage->GetName().GetString());
        EXPECT_EQ(std::string(pPage->GetTitle().GetString()), title);
        CMetaContent* pDescription = Content(pPage, "description");
        CMetaContent* pKeywords = Content(pPage, "keywords");
        ASSERT_NE(pDescription, nullptr);
        ASSERT_NE(pKeywords, nullptr);
        EXPECT_EQ(std::string(pDescription->GetContent().GetString()), description);
        // The page's own keywords are found again, not added a second time.
        EXPECT_EQ(std::string(pKeywords->GetContent().GetString()), keywords);
        EXPECT_EQ(pKeywords->GetModified(), 0u);
    }

    fs::path m_folder;
    std::string m_oldConfigHome;
    bool m_hadConfigHome = false;
    std::unique_ptr<CVostrelAppModel> m_pModel;
    std::unique_ptr<CPageNode> m_pRoot;
    CSelNodesCol m_selection;
};

} // namespace

TEST_F(MultilingualSiteTest, ValuesRoundTripInEachPagesCharsetAndNothingElseMoves)
{
    const std::vector<SitePage> pages = {
        MakePage("utf8.htm", "UTF-8", "<meta charset=\"utf-8\">",
                 "Caf&eacute; &amp; Cr\xC3\xA8me &#8212; \xE6\x9D\xB1\xE4\xBA\xAC &lt;1&gt;",
                 "Home > Products < Shoes &amp; more", "alpha, beta,  gamma",
                 "Caf\xC3\xA9 & Cr\xC3\xA8me \xE2\x80\x94 \xE6\x9D\xB1\xE4\xBA\xAC <1>", "Home > Products < Shoes & more",
                 "alpha, beta,  gamma"),
        MakePage("latin1.htm", "ISO-8859-1",
                 "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">",
                 "Endere&ccedil;os \xE9t\xE9 &#169;", "a > b &gt; c", "un, deux, \xE9t\xE9",
                 "Endere\xC3\xA7os \xC3\xA9t\xC3\xA9 \xC2\xA9", "a > b > c", "un, deux, \xC3\xA9t\xC3\xA9"),
        MakePage("euckr.htm", "EUC-KR",
                 "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=EUC-KR\">",
                 "\xC7\xD1\xB1\xDB &lt;b&gt; &quot;q&quot;", "\xC7\xD1 > \xB1\xDB", "\xC7\xD1, \xB1\xDB",
                 "\xED\x95\x9C\xEA\xB8\x80 <b> \"q\"", "\xED\x95\x9C > \xEA\xB8\x80", "\xED\x95\x9C, \xEA\xB8\x80"),
        MakePage("sjis.htm", "CP932", "<meta charset=\"Shift_JIS\">", "\x93\xFA\x96\x7B &amp; co",
                 "x < \x93\xFA > y", "\x93\xFA, \x96\x7B", "\xE6\x97\xA5\xE6\x9C\xAC & co",
                 "x < \xE6\x97\xA5 > y", "\xE6\x97\xA5, \xE6\x9C\xAC"),
    };
    for (const SitePage& page : pages)
        std::ofstream(m_folder / "site" / page.name, std::ios::binary) << page.Bytes();

    std::vector<CPageNode*> nodes = Scan(pages);
    ASSERT_EQ(nodes.size(), pages.size());
    for (size_t i = 0; i < pages.size(); ++i)
        ExpectReads(nodes[i], pages[i].title, pages[i].description, pages[i].keywords);

    // Values with every character that needs escaping and characters each charset lacks.
    const std::string title = "T & <T> \"x\" \xC3\xBC \xED\x95\x9C \xE6\x97\xA5 \xE2\x82\xAC";
    const std::string description = "Fish & <Chips> \"to go\" caf\xC3\xA9 \xED\x95\x9C\xEA\xB8\x80 \xE6\x9D\xB1";
    const std::string keywords = "one, two & three, \xC3\xA9t\xC3\xA9, \xED\x95\x9C";
    for (CPageNode* pPage : nodes) {
        pPage->SetTitle(title.c_str());
        pPage->SetTitleModified(1);
        Content(pPage, "description")->SetContent(description.c_str());
        Content(pPage, "description")->SetModified(1);
        Content(pPage, "keywords")->SetContent(keywords.c_str());
        Content(pPage, "keywords")->SetModified(1);
    }
    {
        SiteFrame frame(*m_pModel);
        CParserEngine engine;
        ASSERT_EQ(engine.StartSave(m_selection, frame.GetMainWindow(), frame.GetMainWindow()), 0u);
        ASSERT_TRUE(frame.WaitFor(frame.saved));
        EXPECT_EQ(frame.outputLines, 0);
    }

    for (const SitePage& page : pages) {
        SCOPED_TRACE(page.name);
        const std::string saved = ReadSiteFile(m_folder / "site" / page.name);
        EXPECT_EQ(ReadSiteFile(m_folder / "site" / (page.name + ".old")), page.Bytes());
        EXPECT_TRUE(IsValidIn(saved, page.charset));
        if (page.charset == "ISO-8859-1") {
            EXPECT_EQ(saved.find("\xC3"), std::string::npos) << "UTF-8 written into a Latin-1 page";
        }
        // The kept pieces stand in order, unchanged; only the edited parts between them differ:
        // the title's text holds no markup, and each replaced tag is one whole tag.
        std::vector<std::string> between;
        size_t at = 0;
        for (size_t k = 0; k < page.kept.size(); ++k) {
            const size_t found = saved.find(page.kept[k], at);
            ASSERT_NE(found, std::string::npos) << "piece " << k;
            if (k == 0) {
                EXPECT_EQ(found, 0u);
            } else {
                between.push_back(saved.substr(at, found - at));
            }
            at = found + page.kept[k].size();
        }
        EXPECT_EQ(at, saved.size());
        ASSERT_EQ(between.size(), 3u);
        EXPECT_EQ(between[0].find_first_of("<>"), std::string::npos) << between[0];
        for (const std::string& tag : {between[1], between[2]}) {
            EXPECT_EQ(tag.find('<'), 0u) << tag;
            EXPECT_EQ(tag.find('>'), tag.size() - 1) << tag;
            EXPECT_EQ(tag.find('<', 1), std::string::npos) << tag;
        }
    }

    nodes = Scan(pages);
    for (CPageNode* pPage : nodes)
        ExpectReads(pPage, title, description, keywords);
}

TEST_F(MultilingualSiteTest, EveryValueShapeReadsBackAsSaved)
{
    // Tags a page repeats, and keywords whose items carry punctuation, read once as written.
    const std::string head = "<html>\r\n<head>\r\n<title>t</title>\r\n"
                             "<meta name=\"keywords\" content=\"fish &amp; chips, &quot;quoted&quot;, R&amp;D, (beta)\">\r\n"
                             "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1.0\">\r\n"
                             "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1.0\">\r\n"
                             "<meta name=\"description\" content=\"d\">\r\n</head>\r\n<body>b</body>\r\n</html>\r\n";
    std::ofstream(m_folder / "site" / "shapes.htm", std::ios::binary) << head;
    SitePage page;
    page.name = "shapes.htm";
    std::vector<CPageNode*> nodes = Scan({page});
    ASSERT_EQ(nodes.size(), 1u);
    ASSERT_NE(Content(nodes[0], "keywords"), nullptr);
    EXPECT_STREQ(Content(nodes[0], "keywords")->GetContent(), "fish & chips, \"quoted\", R&D, (beta)");
    EXPECT_STREQ(Content(nodes[0], "viewport")->GetContent(), "width=device-width, initial-scale=1.0");

    // Each shape written and read back: punctuation, line breaks, carriage returns and tabs.
    const std::vector<std::pair<const char*, std::string>> values = {
        {"keywords", "fish & chips, \"quoted\", R&D, (beta), [x]; y"},
        {"viewport", "width=device-width, initial-scale=1.0"},
        {"description", "first line\nsecond line\r\nthird\tcolumn\n"},
    };
    for (int nRound = 0; nRound < 2; ++nRound) {
        SCOPED_TRACE(nRound);
        for (const auto& [name, value] : values) {
            Content(nodes[0], name)->SetContent(value.c_str());
            Content(nodes[0], name)->SetModified(1);
        }
        {
            SiteFrame frame(*m_pModel);
            CParserEngine engine;
            ASSERT_EQ(engine.StartSave(m_selection, frame.GetMainWindow(), frame.GetMainWindow()), 0u);
            ASSERT_TRUE(frame.WaitFor(frame.saved));
            // The repeated viewport tag goes with the first save, which says so; the second finds
            // the page holding its values already, and writes nothing.
            const std::string told = nRound == 0
                ? "SHAPES.HTM : Saved with 1 repeated META tag taken out (\"viewport\": 1): a page keeps one tag of a "
                  "name, the first, which holds the value."
                : "SHAPES.HTM : " + std::string(kNothingToWrite);
            EXPECT_EQ(frame.lines, std::vector<std::string>{told});
        }
        nodes = Scan({page});
        for (const auto& [name, value] : values) {
            SCOPED_TRACE(name);
            ASSERT_NE(Content(nodes[0], name), nullptr);
            // Leading and trailing blanks of a value are not kept by the scan.
            std::string expected = value;
            expected.erase(expected.find_last_not_of(" \t\r\n") + 1);
            EXPECT_EQ(std::string(Content(nodes[0], name)->GetContent().GetString()), expected);
        }
    }
}

TEST_F(MultilingualSiteTest, APageThatCannotBeReadIsToldAndNeverSaved)
{
    const std::string bytes = "<html><head><meta name=\"keywords\" content=\"k\"></head><body></body></html>";
    SitePage open;
    open.name = "open.htm";
    SitePage closed;
    closed.name = "closed.htm";
    std::ofstream(m_folder / "site" / open.name, std::ios::binary) << bytes;
    std::ofstream(m_folder / "site" / closed.name, std::ios::binary) << bytes;
    ::chmod((m_folder / "site" / closed.name).c_str(), 0);
    std::vector<CPageNode*> nodes;
    std::vector<std::string> lines;
    {
        WithoutFileOverride plainUser;
        ASSERT_TRUE(plainUser.Holds());
        nodes = Scan({open, closed}, &lines);
    }
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_STREQ(nodes[0]->GetReadFailure(), "");
    ASSERT_NE(Content(nodes[0], "keywords"), nullptr);
    const std::string reason = nodes[1]->GetReadFailure().GetString();
    EXPECT_NE(reason.find("Could not open file"), std::string::npos) << reason;
    EXPECT_NE(reason.find("closed.htm"), std::string::npos) << reason;
    EXPECT_EQ(lines, std::vector<std::string>{"closed.htm : " + reason});

    // An edit typed into it is not saved: the page's tags were never known.
    CMetaContentList* pList = nullptr;
    nodes[1]->CreateContentList(pList);
    CMetaContent* pContent = nullptr;
    pList->AddContent("keywords", "new", 1, pContent);
    ::chmod((m_folder / "site" / closed.name).c_str(), 0644);
    SiteFrame frame(*m_pModel);
    CParserEngine engine;
    ASSERT_EQ(engine.StartSave(m_selection, frame.GetMainWindow(), frame.GetMainWindow()), 0u);
    ASSERT_TRUE(frame.WaitFor(frame.saved));
    EXPECT_EQ(ReadSiteFile(m_folder / "site" / closed.name), bytes);
    EXPECT_FALSE(fs::exists(m_folder / "site" / (closed.name + ".old")));
    EXPECT_EQ(pContent->GetModified(), 1u);
    // The page that was read has no edits: nothing is written to it either.
    ASSERT_EQ(frame.lines.size(), 2u);
    EXPECT_EQ(frame.lines[0], "OPEN.HTM : " + std::string(kNothingToWrite));
    EXPECT_EQ(frame.lines[1].rfind("CLOSED.HTM : Not saved: the page could not be read", 0), 0u) << frame.lines[1];
}

// Files a site holds under page names that are no pages, whatever HTML is among their bytes:
// pictures, an archive and a PDF, a page with a NUL far into it, and pages in UTF-16 with their
// byte order mark and without one, their Japanese text holding ideographic spaces. Beside them,
// pages in a legacy charset, one with a stray control byte. The scan tells each file as what it
// is and reads the text pages; a save of edits made to them all writes the text pages only,
// and one file put in a text page's place after its edit is refused by the save's own look.
TEST_F(MultilingualSiteTest, FilesThatAreNoPagesAreToldAndNeverWritten)
{
    const std::string html = "<html><head><title>Bild</title><meta name=\"description\" content=\"alt\"></head><body>";
    const auto utf16 = [](const std::string& text, const char* charset) {
        iconv_t cd = iconv_open(charset, "UTF-8");
        std::string in = text, out(text.size() * 4, '\0');
        char* pIn = in.data();
        char* pOut = out.data();
        size_t nIn = in.size(), nOut = out.size();
        const size_t nDone = iconv(cd, &pIn, &nIn, &pOut, &nOut);
        iconv_close(cd);
        return nDone == static_cast<size_t>(-1) ? std::string("(not converted)") : out.substr(0, out.size() - nOut);
    };
    const std::string japanese = "<html><head><title>\xE8\xAA\xAC\xE6\x98\x8E\xE3\x80\x80\xE6\x9B\xB8</title>"
                                 "<meta name=\"description\" content=\"\xE6\x97\xA5\xE6\x9C\xAC\"></head><body>"
                                 "\xE6\x9C\xAC\xE6\x96\x87\xE3\x80\x80\xE4\xB8\x80</body></html>\r\n";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"logo.htm", std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x10\0\0\0\x10\x08\x02\0\0\0\x90\x91h6", 33) +
                         std::string("\0\0\0\x60tEXtComment\0", 16) + html + "\x7F\x1B\xEE\xD1" +
                         std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12)},
        {"anim.htm", std::string("GIF89a\x10\0\x10\0\x80\0\0\0\0\0\xFF\xFF\xFF!\xFE\x7F", 22) + html + "</body>" +
                         std::string("\0;", 2)},
        {"site.htm", std::string("PK\x03\x04\x14\0\0\0\0\0\0\0!\0\0\0\0\0\x60\0\0\0\x60\0\0\0", 26) +
                         std::string("\x0A\0\0\0", 4) + "index.html" + html + "</body></html>"},
        {"manual.htm", "%PDF-1.4\n1 0 obj\n<< /Title (" + html + ") >>\nendobj\n%%EOF\n"},
        {"late.htm", html + std::string(9000, 'x') + std::string(1, '\0') + "</body></html>\n"},
        {"wide-mark.htm", "\xFF\xFE" + utf16(japanese, "UTF-16LE")},
        {"wide-le.htm", utf16(japanese, "UTF-16LE")},
        {"wide-be.htm", utf16(japanese, "UTF-16BE")},
        {"latin.htm", "<html><head><meta charset=\"windows-1252\"><title>Caf\xE9</title><meta name=\"description\" "
                      "content=\"alt\"></head><body>Cr\xE8me\x01 br\xFBl\xE9\x1A</body></html>\r\n"},
        {"sjis.htm", "<html>\n<head>\n<meta charset=\"Shift_JIS\">\n<title>\x93\xFA\x96\x7B</title>\n</head>\n"
                     "<body>\x96\x7B\x95\xB6</body>\n</html>\n"},
    };
    std::vector<SitePage> pages;
    for (const auto& [name, bytes] : files) {
        std::ofstream(m_folder / "site" / name, std::ios::binary) << bytes;
        pages.push_back(SitePage{name, "", {}, {}, "", "", ""});
    }
    std::vector<std::string> lines;
    std::vector<CPageNode*> nodes = Scan(pages, &lines);
    ASSERT_EQ(nodes.size(), files.size());
    const std::string binary = "The file holds binary data, not the text of an HTML page.";
    const std::string wide = "The page is written in UTF-16, a charset this program does not write: it is left as it is.";
    std::vector<std::string> told;
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].first);
        const std::string failure = nodes[i]->GetReadFailure().GetString();
        if (i < 5)
            EXPECT_EQ(failure, binary);
        else if (i < 8)
            EXPECT_EQ(failure, wide);
        else
            EXPECT_EQ(failure, "");
        if (!failure.empty())
            told.push_back(files[i].first + " : " + failure);
        EXPECT_EQ(nodes[i]->GetTitle().IsEmpty(), i < 8) << nodes[i]->GetTitle().GetString();
    }
    EXPECT_EQ(lines, told);

    // A description given to every file; the save writes the two text pages and tells the rest.
    for (CPageNode* pPage : nodes)
        Edit(pPage, "description", "neu");
    const std::vector<std::string> saved = Save();
    EXPECT_EQ(saved.size(), 8u) << ::testing::PrintToString(saved);
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].first);
        std::string expected = files[i].second;
        if (i == 8)
            expected.replace(expected.find("content=\"alt\""), 13, "content=\"neu\"");
        if (i == 9)
            expected.replace(expected.find("</head>"), 0, "<meta name=\"Description\" content=\"neu\">\n");
        EXPECT_EQ(ReadSiteFile(m_folder / "site" / files[i].first), expected);
        EXPECT_EQ(fs::exists(m_folder / "site" / (files[i].first + ".old")), i >= 8);
        EXPECT_EQ(Content(nodes[i], "description")->GetModified(), i >= 8 ? 0u : 1u);
    }

    // The Latin-1 page edited again, and a picture holding its head put in its place since.
    Edit(nodes[8], "description", "wieder");
    const std::string picture = files[0].second;
    std::ofstream(m_folder / "site" / "latin.htm", std::ios::binary | std::ios::trunc) << picture;
    m_selection.RemoveAll();
    m_selection.AddTail(nodes[8]);
    EXPECT_EQ(Save(), std::vector<std::string>{"LATIN.HTM : " + binary});
    EXPECT_EQ(ReadSiteFile(m_folder / "site" / "latin.htm"), picture);
    EXPECT_EQ(Content(nodes[8], "description")->GetModified(), 1u);
    size_t nBackups = 0;
    for (const auto& entry : fs::directory_iterator(m_folder / "site"))
        nBackups += entry.path().filename().string().find(".old") != std::string::npos ? 1 : 0;
    EXPECT_EQ(nBackups, 2u);
}

TEST_F(MultilingualSiteTest, XhtmlManualsStayWellFormedAndEveryTagKeepsItsKind)
{
    // A database manual's chapter as DocBook writes it (an XML declaration, an XHTML DOCTYPE, the
    // namespace, the head on one line, empty elements closed with "/>"), and a guide's page that
    // is XHTML by its namespace alone, its head one element a line.
    SitePage manual;
    manual.name = "ch03.html";
    const std::string manualHead =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
        "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><meta http-equiv=\"Content-Type\" content=\"";
    const std::string manualMiddle = "\" /><title>Chapter 3. Tutorial</title><link rel=\"stylesheet\" type=\"text/css\" "
                                     "href=\"stylesheet.css\" /><meta name=\"generator\" content=\"";
    const std::string manualEnd =
        "\" /><link rel=\"prev\" href=\"ch02.html\" title=\"Chapter 2. Installation\" />";
    const std::string manualBody = "</head><body><div class=\"navheader\"><p>Chapter 3 &#8212; Tutorial</p></div><hr />"
                                   "<p>Rows &amp; columns.</p><br /></body></html>\n";
    const std::string manualBytes = manualHead + "text/html; charset=UTF-8" + manualMiddle
        + "DocBook XSL Stylesheets V1.79.1" + manualEnd + manualBody;
    SitePage guide;
    guide.name = "start.html";
    const std::string guideTop = "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"de\" xml:lang=\"de\">\n"
                                 "  <head>\n    <meta charset=\"utf-8\" />\n"
                                 "    <meta http-equiv=\"content-language\" content=\"";
    const std::string guideMiddle = "\" />\n    <meta name=\"description\" content=\"";
    const std::string guideTitle = "\" />\n    <title>Erste Schritte</title>\n";
    const std::string guideEnd = "  </head>\n  <body>\n    <p>Gr\xC3\xBC\xC3\x9F" "e</p>\n  </body>\n</html>\n";
    const std::string guideBytes = guideTop + "de" + guideMiddle + "Erste Schritte" + guideTitle + guideEnd;
    std::ofstream(m_folder / "site" / manual.name, std::ios::binary) << manualBytes;
    std::ofstream(m_folder / "site" / guide.name, std::ios::binary) << guideBytes;
    std::string metas;
    ASSERT_TRUE(ParseAsXml(m_folder / "site" / manual.name, metas)) << metas;
    ASSERT_TRUE(ParseAsXml(m_folder / "site" / guide.name, metas)) << metas;

    std::vector<CPageNode*> nodes = Scan({manual, guide});
    ASSERT_EQ(nodes.size(), 2u);
    // The scan files the tags it found under settings of their own kind.
    for (const char* name : {"Content-Type", "content-language"}) {
        CMetaSetting* pSetting = nullptr;
        ASSERT_EQ(m_pModel->GetMetaSettings().FindByName(name, pSetting), 0u) << name;
        UINT bHttpEquiv = 0;
        pSetting->GetHttpEquiv(bHttpEquiv);
        EXPECT_EQ(bHttpEquiv, 1u) << name;
    }
    Edit(nodes[0], "Content-Type", "text/html; charset=utf-8");
    Edit(nodes[0], "generator", "DocBook & Vostrel");
    Edit(nodes[0], "Keywords", "tutorial, sql");
    Edit(nodes[0], "Expires", "Tue, 01 Jan 2030 00:00:00 GMT");
    Edit(nodes[1], "content-language", "de-DE");
    Edit(nodes[1], "description", "Erste Schritte mit \"Anf\xC3\xBChrung\" & mehr");
    Edit(nodes[1], "Keywords", "anleitung");
    Edit(nodes[1], "Robots", "index, follow");
    // A page declaring its charset by "<meta charset>" keeps that one declaration.
    Edit(nodes[1], "Content-Type", "text/html; charset=utf-8");
    EXPECT_EQ(Save(), std::vector<std::string>{});

    // Existing tags: the value alone changes. New tags: a line of their own, closed as XHTML
    // closes them, indented as the head's META lines are.
    const std::string savedManual = manualHead + "text/html; charset=utf-8" + manualMiddle + "DocBook &amp; Vostrel"
        + manualEnd + "\n<meta name=\"Keywords\" content=\"tutorial, sql\" />\n"
          "<meta http-equiv=\"Expires\" content=\"Tue, 01 Jan 2030 00:00:00 GMT\" />\n" + manualBody;
    const std::string savedGuide = guideTop + "de-DE" + guideMiddle
        + "Erste Schritte mit &quot;Anf\xC3\xBChrung&quot; &amp; mehr" + guideTitle
        + "    <meta name=\"Keywords\" content=\"anleitung\" />\n    <meta name=\"Robots\" content=\"index, follow\" />\n"
        + guideEnd;
    EXPECT_EQ(ReadSiteFile(m_folder / "site" / manual.name), savedManual);
    EXPECT_EQ(ReadSiteFile(m_folder / "site" / guide.name), savedGuide);
    ASSERT_TRUE(ParseAsXml(m_folder / "site" / manual.name, metas)) << metas;
    EXPECT_EQ(metas, "http-equiv=Content-Type|content=text/html; charset=utf-8\n"
                     "name=generator|content=DocBook & Vostrel\n"
                     "name=Keywords|content=tutorial, sql\n"
                     "http-equiv=Expires|content=Tue, 01 Jan 2030 00:00:00 GMT\n");
    ASSERT_TRUE(ParseAsXml(m_folder / "site" / guide.name, metas)) << metas;
    EXPECT_EQ(metas, "charset=utf-8\nhttp-equiv=content-language|content=de-DE\n"
                     "name=description|content=Erste Schritte mit \"Anf\xC3\xBChrung\" & mehr\n"
                     "name=Keywords|content=anleitung\nname=Robots|content=index, follow\n");

    // Values emptied again take their tags and lines away: the page is as it was before they
    // were added. The manual, without edits now, is not written.
    Edit(nodes[1], "Keywords", "");
    Edit(nodes[1], "Robots", "");
    EXPECT_EQ(Save(), std::vector<std::string>{"CH03.HTML : " + std::string(kNothingToWrite)});
    EXPECT_EQ(ReadSiteFile(m_folder / "site" / guide.name), guideTop + "de-DE" + guideMiddle
                  + "Erste Schritte mit &quot;Anf\xC3\xBChrung&quot; &amp; mehr" + guideTitle + guideEnd);

    nodes = Scan({manual, guide});
    EXPECT_STREQ(Content(nodes[0], "Content-Type")->GetContent(), "text/html; charset=utf-8");
    EXPECT_STREQ(Content(nodes[0], "generator")->GetContent(), "DocBook & Vostrel");
    EXPECT_STREQ(Content(nodes[1], "content-language")->GetContent(), "de-DE");
    EXPECT_STREQ(Content(nodes[1], "Content-Type")->GetContent(), "text/html; charset=utf-8");
}

TEST_F(MultilingualSiteTest, AnEditedTagChangesItsValueAndNothingElse)
{
    // Lower-case names and HTTP-EQUIV tags, quoted every way, in a page that is not XHTML.
    const std::vector<std::pair<std::string, std::string>> tags = {
        {"<meta http-equiv=\"refresh\" content=\"", "30; url=news.html\">"},
        {"<meta http-equiv='Content-Type' content='", "text/html; charset=iso-8859-1'>"},
        {"<meta name=\"description\" content=\"", "Old text\">"},
        {"<META NAME=generator CONTENT=", "Editor>"},
        {"<meta name=\"author\" lang=\"en\" content = \"", "Ann\"  >"},
        {"<meta name='copyright' content='", "2001'>"},
        {"<meta name=\"robots\">", ""},
    };
    const std::vector<std::pair<const char*, std::string>> edits = {
        {"Refresh", "10; URL=index.html"}, {"Content-Type", "text/html; charset=ISO-8859-1"},
        {"Description", "It's \"new\""},  {"Generator", "Vostrel"},
        {"Author", "Ann & Bob"},          {"Copyright", "Ann's site"},
        {"Robots", "noindex"},
    };
    const std::vector<std::string> written = {
        "<meta http-equiv=\"refresh\" content=\"10; URL=index.html\">",
        "<meta http-equiv='Content-Type' content='text/html; charset=ISO-8859-1'>",
        "<meta name=\"description\" content=\"It's &quot;new&quot;\">",
        "<META NAME=generator CONTENT=Vostrel>",
        "<meta name=\"author\" lang=\"en\" content = \"Ann &amp; Bob\"  >",
        "<meta name='copyright' content='Ann&#39;s site'>",
        "<meta name=\"robots\" content=\"noindex\">",
    };
    auto pageOf = [](const std::vector<std::string>& lines) {
        std::string page = "<html>\r\n<head>\r\n";
        for (const std::string& line : lines)
            page += line + "\r\n";
        return page + "<meta name=\"keywords\" content=\"kept\">\r\n<title>News</title>\r\n</head>\r\n<body>b</body>\r\n</html>\r\n";
    };
    std::vector<std::string> before;
    for (const auto& [head, tail] : tags)
        before.push_back(head + tail);
    SitePage page;
    page.name = "news.htm";
    std::ofstream(m_folder / "site" / page.name, std::ios::binary) << pageOf(before);

    std::vector<CPageNode*> nodes = Scan({page});
    ASSERT_EQ(nodes.size(), 1u);
    for (const auto& [name, value] : edits)
        Edit(nodes[0], name, value);
    EXPECT_EQ(Save(), std::vector<std::string>{});
    EXPECT_EQ(ReadSiteFile(m_folder / "site" / page.name), pageOf(written));
    nodes = Scan({page});
    for (const auto& [name, value] : edits) {
        ASSERT_NE(Content(nodes[0], name), nullptr) << name;
        EXPECT_EQ(std::string(Content(nodes[0], name)->GetContent().GetString()), value) << name;
    }
}
