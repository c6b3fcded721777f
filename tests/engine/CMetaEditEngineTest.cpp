#include "EngineTestSupport.h"
#include "MessageSink.h"
#include "engine/html/HtmlParserTestSupport.h"
#include "support/IconvProgram.h"
#include "support/LegacySitePages.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaEditEngine.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/meta/CMetaUndefinedSetting.h"
#include "engine/html/CPageCharset.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CProjectSettings.h"
#include "platform/core/CFileException.h"
#include "platform/core/CMemFile.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace enginetest;

namespace {

// A literal with its NUL bytes.
template <size_t N>
std::string Raw(const char (&s)[N])
{
    return std::string(s, N - 1);
}

// An output file whose writes fail as a full disk would.
class FullDiskFile : public CMemFile {
public:
    void Write(const void*, UINT) override { AfxThrowFileException(CFileException::diskFull, -1, "SAV1A.tmp"); }
};

// An input file whose reads fail after the first bytes.
class FailingReadFile : public CMemFile {
public:
    explicit FailingReadFile(std::string data) : m_data(std::move(data)) {}
    UINT Read(void* lpBuf, UINT nCount) override
    {
        if (m_bServed)
            AfxThrowFileException(CFileException::hardIO, -1, "page.htm");
        m_bServed = true;
        const UINT n = std::min<UINT>(nCount, static_cast<UINT>(m_data.size()));
        std::memcpy(lpBuf, m_data.data(), n);
        return n;
    }

private:
    std::string m_data;
    bool m_bServed = false;
};

std::string Contents(CMemFile& file)
{
    std::string data(static_cast<size_t>(file.GetLength()), '\0');
    file.SeekToBegin();
    if (!data.empty())
        file.Read(data.data(), static_cast<UINT>(data.size()));
    return data;
}

class MetaEditEngineTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_pModel->GetMetaSettings().SetDefaults();
        m_pModel->SetProjectSettings(std::make_unique<CProjectSettings>());
    }

    CProjectSettings& Settings()
    {
        CProjectSettings* p = nullptr;
        m_pModel->GetProjectSettings(p);
        return *p;
    }

    // Adds an edited content to the list the engine gets.
    void Edit(const char* pszName, const char* pszText)
    {
        CMetaContent* pContent = nullptr;
        m_edits.AddContent(pszName, pszText, 1, pContent);
    }

    // Rewrites the page; the result is the output's bytes.
    std::string Rewrite(const std::string& page, HWND hPane = nullptr)
    {
        CMemFile input;
        input.Write(page.data(), static_cast<UINT>(page.size()));
        input.SeekToBegin();
        CMemFile output;
        CMetaEditEngine engine(&m_edits, &m_page, &input, &output, hPane);
        EXPECT_EQ(engine.Run(), 0);
        m_nError = 0;
        m_bError = engine.GetError(m_nError);
        EXPECT_FALSE(engine.GetWriteFailed());
        m_removed = engine.GetRemovedRepeats();
        m_strUnwritable = engine.GetUnwritableCharset().GetString();
        m_strRefusal = engine.GetRefusal().GetString();
        m_change = engine.GetCharsetChange();
        m_strPageCharset = engine.GetPageCharset().GetName();
        m_source = engine.GetPageReading();
        m_after = engine.GetReadingAfterSave();
        m_choices = engine.GetCharsetChoices();
        return Contents(output);
    }

    CMetaContentList m_edits;
    std::vector<CMetaEditEngine::RemovedRepeat> m_removed;
    std::string m_strUnwritable;
    std::string m_strRefusal;
    CharsetChange m_change = CharsetChange::None;
    std::string m_strPageCharset;
    PageCharsetReading m_source; // what the page is converted from, or was read in
    PageCharsetReading m_after;  // how the copy will be read
    CharsetChoices m_choices;    // of a page in doubt, the ways its Preview offers
    CPageNode m_page;
    UINT m_bError = 0;
    UINT m_nError = 0;
};

TEST_F(MetaEditEngineTest, InsertsAnEditedTagBeforeTheHeadEndTag)
{
    Edit("Keywords", "red,green");
    const std::string page = "<html>\r\n<head>\r\n<title>Colours</title>\r\n</head>\r\n<body>x</body></html>\r\n";
    EXPECT_EQ(Rewrite(page),
              "<html>\r\n<head>\r\n<title>Colours</title>\r\n"
              "<meta name=\"Keywords\" content=\"red,green\">\r\n</head>\r\n<body>x</body></html>\r\n");
    EXPECT_EQ(m_bError, 0u);
    EXPECT_EQ(m_edits.GetHead()->GetModified(), 0u);
    EXPECT_EQ(Settings().GetUpperCase(), 0u);
}

TEST_F(MetaEditEngineTest, ReplacesAnOldTagInPlace)
{
    Edit("keywords", "new");
    const std::string page = "<HTML><HEAD><META NAME=\"KEYWORDS\" CONTENT=\"old\">\n<TITLE>t</TITLE></HEAD><BODY></BODY></HTML>";
    EXPECT_EQ(Rewrite(page),
              "<HTML><HEAD><META NAME=\"KEYWORDS\" CONTENT=\"new\">\n<TITLE>t</TITLE></HEAD><BODY></BODY></HTML>");
    EXPECT_EQ(Settings().GetUpperCase(), 1u);
}

TEST_F(MetaEditEngineTest, AValueHoldingTagCharactersIsReplacedWholeAndWrittenEscaped)
{
    Edit("Description", "Fish & <Chips> \"to go\"");
    const std::string page = "<html><head><meta name=\"description\" content=\"Home > Products > Shoes\">\n</head><body>";
    EXPECT_EQ(Rewrite(page), "<html><head><meta name=\"description\" "
                             "content=\"Fish &amp; &lt;Chips&gt; &quot;to go&quot;\">\n</head><body>");
}

TEST_F(MetaEditEngineTest, LineBreaksAndTabsInAValueAreWrittenAsReferences)
{
    // Raw, they would be folded away by every reader, the scan included.
    Edit("Description", "one\ntwo\r\nthree\tfour");
    const std::string page = "<html><head><meta name=\"description\" content=\"old\"></head><body></body></html>";
    EXPECT_EQ(Rewrite(page), "<html><head><meta name=\"description\" content=\"one&#10;two&#13;&#10;three&#9;four\">"
                             "</head><body></body></html>");
}

TEST_F(MetaEditEngineTest, EditsAreWrittenInThePagesCharset)
{
    Edit("Description", "caf\xC3\xA9 \xED\x95\x9C");
    m_page.SetTitle("\xED\x95\x9C \xE2\x82\xAC");
    m_page.SetTitleModified(1);
    const std::string korean = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\">"
                               "<title>\xC7\xD1</title></head><body>\xC7\xD1";
    EXPECT_EQ(Rewrite(korean), "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\">"
                               "<title>\xC7\xD1 \xA2\xE6</title>\n<meta name=\"Description\" content=\"caf&#233; \xC7\xD1\">"
                               "\n</head><body>\xC7\xD1");
    Edit("Keywords", "\xC3\xA9t\xC3\xA9, \xE2\x80\x94");
    m_page.SetTitleModified(1);
    const std::string latin = "<html><head><meta charset=\"iso-8859-1\"></head><body>";
    EXPECT_EQ(Rewrite(latin), "<html><head><meta charset=\"iso-8859-1\">\n<meta name=\"Keywords\" content=\"\xE9t\xE9, &#8212;\">"
                              "\n<title>&#54620; &#8364;</title>\n</head><body>");
}

TEST_F(MetaEditEngineTest, AnEmptyEditRemovesTheTag)
{
    Edit("Description", "");
    const std::string page = "<html><head><meta name=description content=\"gone\"><title>t</title></head><body>b";
    EXPECT_EQ(Rewrite(page), "<html><head><title>t</title></head><body>b");
    EXPECT_EQ(m_edits.GetHead()->GetModified(), 0u);
}

TEST_F(MetaEditEngineTest, AValueEmptiedBeforeItWasWrittenAddsNothing)
{
    Edit("Keywords", "");
    const std::string page = "<html>\n<head>\n  <title>t</title>\n</head>\n<body>";
    EXPECT_EQ(Rewrite(page), page);
    EXPECT_EQ(m_edits.GetHead()->GetModified(), 0u);
}

TEST_F(MetaEditEngineTest, EachSignOfXhtmlClosesTheTagsWrittenIn)
{
    Edit("Keywords", "k");
    const std::string tag = "<meta name=\"Keywords\" content=\"k\"";
    const std::vector<std::pair<std::string, std::string>> pages = {
        {"<?xml version=\"1.0\"?>\n<html><head>", " />"},
        {"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" \"xhtml11.dtd\">\n<html><head>", " />"},
        {"<html xmlns=\"http://www.w3.org/1999/xhtml\">\n<head>", " />"},
        {"<html>\n<head>\n<link rel=\"icon\" href=\"i.png\"/>", " />"},
        {"<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<link rel=\"icon\" href=\"a/b/\">", ">"},
        {"<?php echo 1 ?>\n<html xmlns=\"urn:other\"><head><br clear=all>", ">"},
    };
    for (const auto& [top, end] : pages) {
        m_edits.SetModifiedAll(1);
        EXPECT_EQ(Rewrite(top + "</head>"), top + "\n" + tag + end + "\n</head>") << top;
    }
}

TEST_F(MetaEditEngineTest, ASecondTagOfTheSameNameIsDropped)
{
    Edit("Keywords", "k");
    const std::string page =
        "<html><head>\n<meta name=\"keywords\" content=\"a\">\n<meta name=\"Keywords\" content=\"b\">\n</head><body>";
    // The second goes with its line.
    EXPECT_EQ(Rewrite(page), "<html><head>\n<meta name=\"keywords\" content=\"k\">\n</head><body>");
}

TEST_F(MetaEditEngineTest, EachRepeatedTagTakenOutIsToldWithItsPlaceInThePage)
{
    // A head longer than the engine's first read, so that the places are counted across reads.
    Edit("Keywords", "k");
    Edit("Description", "d");
    const std::string strFirst = "<meta name=\"keywords\" content=\"a\">";
    const std::string strSecond = "<META NAME=\"KEYWORDS\" CONTENT='b'>";
    const std::string strCut = "<meta name=\"Keywords\" content=\"c\"";
    const std::string strDescription = "<meta content=\"x\" name=\"description\">";
    const std::string strUnedited = "<meta name=\"author\" content=\"me\">";
    const std::string page = "<html><head>\n<!-- " + std::string(3000, '-') + " -->\n" + strFirst + "\n" + strUnedited
        + "\n" + strUnedited + "\n<meta name=\"description\" content=\"y\">\n" + strSecond + "\n" + strCut
        + "<title>t</title>\n" + strDescription + "\n</head><body>";
    const std::string out = Rewrite(page);
    EXPECT_EQ(out.find(strSecond), std::string::npos);
    EXPECT_EQ(out.find(strDescription), std::string::npos);
    ASSERT_EQ(m_removed.size(), 3u);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"KEYWORDS", strSecond}, {"Keywords", strCut}, {"description", strDescription}};
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m_removed[i].strName.GetString(), expected[i].first);
        ASSERT_LE(m_removed[i].nFrom, m_removed[i].nTo);
        ASSERT_LE(m_removed[i].nTo, page.size());
        EXPECT_EQ(page.substr(m_removed[i].nFrom, m_removed[i].nTo - m_removed[i].nFrom), expected[i].second);
    }
}

TEST_F(MetaEditEngineTest, TheKeyIsTheNameWhereverItStandsAndHoweverItIsQuoted)
{
    // The scan reads NAME wherever it stands, so the tag it found is the one replaced.
    Edit("Keywords", "k");
    EXPECT_EQ(Rewrite("<html><head><meta content='old' name='keywords'></head><body>"),
              "<html><head><meta content='k' name='keywords'></head><body>");
    m_edits.SetModifiedAll(1);
    EXPECT_EQ(Rewrite("<html><head><meta NAME=keywords CONTENT=old></head><body>"),
              "<html><head><meta NAME=keywords CONTENT=k></head><body>");
    // A value that cannot stand without quotes gets them.
    m_edits.GetHead()->SetContent("k, l");
    m_edits.SetModifiedAll(1);
    EXPECT_EQ(Rewrite("<html><head><meta NAME=keywords CONTENT=old/></head><body>"),
              "<html><head><meta NAME=keywords CONTENT=\"k, l\"></head><body>");
    m_edits.GetHead()->SetContent("k");
    m_edits.SetModifiedAll(1);
    EXPECT_EQ(Rewrite("<html><head><meta http-equiv=\"Expires\" content=\"x\"><meta charset=\"utf-8\"></head><body>"),
              "<html><head><meta http-equiv=\"Expires\" content=\"x\"><meta charset=\"utf-8\">\n"
              "<meta name=\"Keywords\" content=\"k\">\n</head><body>");
}

TEST_F(MetaEditEngineTest, AnHttpEquivTagIsReplacedByItsSetting)
{
    Edit("Expires", "Tue, 01 Jan 2030 00:00:00 GMT");
    EXPECT_EQ(Rewrite("<HTML><HEAD><META HTTP-EQUIV=\"expires\" CONTENT=\"0\"></HEAD><BODY>"),
              "<HTML><HEAD><META HTTP-EQUIV=\"expires\" CONTENT=\"Tue, 01 Jan 2030 00:00:00 GMT\"></HEAD><BODY>");
}

TEST_F(MetaEditEngineTest, TagsThatAreNotEditedKeepTheirQuotesAndLineBreaks)
{
    Edit("Keywords", "k");
    const std::string head = "<meta name='author' content='Ann \"A\"\r\nSmith'>";
    EXPECT_EQ(Rewrite("<html><head>" + head + "</head><body>"),
              "<html><head>" + head + "\r\n<meta name=\"Keywords\" content=\"k\">\r\n</head><body>");
}

TEST_F(MetaEditEngineTest, AddedTagsFollowLineFeedOnlyPages)
{
    Edit("Keywords", "k");
    Edit("Description", "d");
    EXPECT_EQ(Rewrite("<html>\n<head>\n</head>\n"),
              "<html>\n<head>\n<meta name=\"Keywords\" content=\"k\">\n<meta name=\"Description\" content=\"d\">\n</head>\n");
}

TEST_F(MetaEditEngineTest, AMissingTitleIsAddedInThePagesCase)
{
    m_page.SetTitle("Home");
    m_page.SetTitleModified(1);
    EXPECT_EQ(Rewrite("<html><head></head><body>"), "<html><head>\n<title>Home</title>\n</head><body>");
    EXPECT_EQ(m_page.GetTitleModified(), 0u);
    m_page.SetTitleModified(1);
    EXPECT_EQ(Rewrite("<HTML><HEAD></HEAD><BODY>"), "<HTML><HEAD>\n<TITLE>Home</TITLE>\n</HEAD><BODY>");
}

TEST_F(MetaEditEngineTest, AnEditedTitleReplacesTheOldTextAndKeepsItsMarkup)
{
    m_page.SetTitle("New & <better>");
    m_page.SetTitleModified(1);
    EXPECT_EQ(Rewrite("<html><head><title lang=en>Old <b>one</b></title></head><body>"),
              "<html><head><title lang=en>New &amp; &lt;better&gt;</title></head><body>");
    EXPECT_EQ(m_page.GetTitleModified(), 0u);
    // Not edited: the old text goes out as it was, references undecoded.
    EXPECT_EQ(Rewrite("<html><head><title>A &amp; B</title></head><body>"),
              "<html><head><title>A &amp; B</title></head><body>");
}

// Pages whose only TITLE element stands outside the head, as generators and hand-written sites
// have them: after an inline icon's own title, in a DIV, before the head; one line, LF, CR LF
// and lone CR.
std::vector<std::string> PagesTitledOutsideTheHead()
{
    const std::string icon = "<svg viewBox=\"0 0 24 24\" aria-hidden=\"true\"><title>Open menu</title>"
                             "<path d=\"M3 6h18\"/></svg>";
    return {
        "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><meta name=\"description\" content=\"old\">"
        "</head><body><header><button>" + icon + "</button></header><title>Guide</title><p>x</p></body></html>\n",
        "<html>\n<head>\n  <meta name=\"description\" content=\"old\">\n</head>\n<body>\n  <div class=\"doc\"><title>Guide</title>"
        "</div>\n</body>\n</html>\n",
        "<HTML>\r\n<HEAD>\r\n<META NAME=\"DESCRIPTION\" CONTENT=\"old\">\r\n</HEAD>\r\n<BODY>\r\n" + icon +
        "\r\n<DIV><TITLE>Guide</TITLE></DIV>\r\n</BODY>\r\n</HTML>\r\n",
        "<html>\r<head>\r<meta name=\"description\" content=\"old\">\r</head>\r<body>\r<div><svg><title>Icon</title></svg>"
        "<title>Guide</title></div>\r</body>\r</html>\r",
        "<html><title>Guide</title><head><meta name=\"description\" content=\"old\"></head><body>x</body></html>\n",
        // Past what the engine gathers before it writes.
        "<html><head><meta name=\"description\" content=\"old\"></head><body>" + std::string(100000, 'b') + icon +
        "<div><title>Guide</title></div></body></html>\n",
    };
}

// Whether a copy is what was expected; told by where they first differ, since the pages are long.
::testing::AssertionResult SameBytes(const std::string& copy, const std::string& expected)
{
    if (copy == expected)
        return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < copy.size() && at < expected.size() && copy[at] == expected[at])
        ++at;
    const size_t from = at > 40 ? at - 40 : 0;
    return ::testing::AssertionFailure() << "they differ at byte " << at << ":\n  copy:     \""
                                         << copy.substr(from, 120) << "\"\n  expected: \"" << expected.substr(from, 120) << "\"";
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// A page's title is touched only when the user edited it, and then in the page's own TITLE
// element wherever it stands; no second one is ever added.
TEST_F(MetaEditEngineTest, ATitleOutsideTheHeadIsTheOneAnEditRewritesAndNoneIsAdded)
{
    for (const std::string& page : PagesTitledOutsideTheHead()) {
        const std::string description = page.find("CONTENT=") != std::string::npos ? "CONTENT=\"old\"" : "content=\"old\"";
        const std::string newDescription = Replaced(description, "old", "new");
        // As the scan read the page: its title, not edited. Only the description changes.
        m_page.SetTitle("Guide");
        m_page.SetTitleModified(0);
        m_edits.DeleteAll();
        Edit("Description", "new");
        EXPECT_TRUE(SameBytes(Rewrite(page), Replaced(page, description, newDescription)));
        // The title edited: its own element takes it, the icon's keeps its own.
        m_page.SetTitle("Guide & more");
        m_page.SetTitleModified(1);
        m_edits.DeleteAll();
        Edit("Description", "new");
        const std::string element = page.find("<TITLE>") != std::string::npos ? "<TITLE>Guide</TITLE>" : "<title>Guide</title>";
        EXPECT_TRUE(SameBytes(Rewrite(page), Replaced(Replaced(page, description, newDescription), element,
                                                    Replaced(element, "Guide", "Guide &amp; more"))));
        EXPECT_EQ(m_page.GetTitleModified(), 0u);
    }
}

// An edited title of a page without a TITLE element of its own goes in the head, after the other
// tags added there, also when the page's end is far off or only an icon has a title.
TEST_F(MetaEditEngineTest, AnEditedTitleThePageLacksIsAddedInTheHead)
{
    const auto rewrite = [&](const std::string& page) {
        m_page.SetTitle("New");
        m_page.SetTitleModified(1);
        return Rewrite(page);
    };
    const std::string body = "<body><svg><title>Icon</title></svg>" + std::string(100000, 'b') + "</body></html>\n";
    EXPECT_TRUE(SameBytes(rewrite("<html><head></head>" + body), "<html><head>\n<title>New</title>\n</head>" + body));
    EXPECT_EQ(m_page.GetTitleModified(), 0u);
    Edit("Keywords", "k");
    EXPECT_TRUE(SameBytes(rewrite("<html>\r<head>\r  <meta charset=\"utf-8\">\r</head>\r" + body),
              "<html>\r<head>\r  <meta charset=\"utf-8\">\r  <meta name=\"Keywords\" content=\"k\">\r  <title>New</title>\r</head>\r" +
                  body));
    // A page without a body start tag is read to its end as well.
    EXPECT_EQ(rewrite("<html><head></head><p>x</p><svg/><title>Old</title>"), "<html><head></head><p>x</p><svg/><title>New</title>");
    // Emptied, the title empties the page's element and adds none where there is none.
    m_page.SetTitle("");
    m_page.SetTitleModified(1);
    EXPECT_EQ(Rewrite("<html><head></head><body><div><title>Old</title></div>"),
              "<html><head></head><body><div><title></title></div>");
    m_page.SetTitleModified(1);
    EXPECT_EQ(Rewrite("<html><head></head><body>x"), "<html><head></head><body>x");
}

TEST_F(MetaEditEngineTest, AnUnclosedTitleIsCopiedAndNoSecondIsAdded)
{
    m_page.SetTitle("T");
    m_page.SetTitleModified(1);
    EXPECT_EQ(Rewrite("<html><head><title>Open</head><body>x"), "<html><head><title>Open</head><body>x");
    EXPECT_EQ(Rewrite("<html><head><title>Open <b"), "<html><head><title>Open <b");
}

// A title longer than what is held of it in memory: given a new title, it is replaced, its
// spelling kept where the two share their ends; never closed, or not edited, it is copied as it
// stands.
TEST_F(MetaEditEngineTest, ALongTitleIsReplacedWholeOrCopied)
{
    std::string words;
    while (words.size() < 200000)
        words += "A w&amp;rd\n";
    const std::string closed = "<html><head><title>" + words + "</title></head><body>x";
    const struct {
        const char* pszShape;
        const char* pszTitle; // null: not edited
        std::string page, expected;
    } cases[] = {
        {"closed, edited", "New", closed, "<html><head><title>New\n</title></head><body>x"},
        {"closed, sharing its start", "A w&rd new", closed, "<html><head><title>A w&amp;rd\nnew\n</title></head><body>x"},
        {"closed, not edited", nullptr, closed, ""},
        {"in the body, never closed", "New", "<html><head></head><body><title>" + words, ""},
        {"in a head never closed, then a body", "New", "<html><head><title>" + words + "<body>" + words, ""},
    };
    for (const auto& shape : cases) {
        SCOPED_TRACE(shape.pszShape);
        m_page.SetTitle(shape.pszTitle != nullptr ? shape.pszTitle : "New");
        m_page.SetTitleModified(shape.pszTitle != nullptr);
        EXPECT_TRUE(Rewrite(shape.page) == (shape.expected.empty() ? shape.page : shape.expected));
    }
}

TEST_F(MetaEditEngineTest, ScriptContentInTheHeadIsNeverTakenForTags)
{
    Edit("Keywords", "k");
    const std::string script =
        "<script>if (a<b) document.write('<meta name=\"keywords\" content=\"x\"></head><title>');</script>";
    EXPECT_EQ(Rewrite("<html><head>" + script + "</head><body>"),
              "<html><head>" + script + "\n<meta name=\"Keywords\" content=\"k\">\n</head><body>");
}

// A TITLE element in text that browsers show as text or keep inert is no title of the page: the
// scan does not report it, and an edited title goes in the head, the text staying as it was.
TEST_F(MetaEditEngineTest, TitlesInTextAndInertContainersAreNotThePages)
{
    const std::string containers[] = {
        "<textarea name=\"sample\">&lt;p&gt; <title>Sample</title> <b>bold</b></textarea>",
        "<xmp><title>Listing</title> &amp; <b></xmp>",
        "<iframe src=\"frame.html\"><title>Fallback</title></iframe>",
        "<template id=\"row\"><tr><td><title>Row</title></td></tr></template>",
        "<noscript><title>Scripts off</title></noscript>",
        "<style>/* <title>Note</title> */ p::before { content: \"<!--\" }</style>",
        "<noembed><title>No player</title></noembed><noframes><title>No frames</title></noframes>",
        "<plaintext>Listing: <title>One</title></plaintext> <title>Two</title>",
    };
    const std::string title = "Gr\xC3\xBC\xC3\x9F" "e \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE6\x97\xA5\xE6\x9C\xAC";
    const auto scanned = [](const std::string& page) {
        htmltest::RecordingSink sink;
        htmltest::Parse(page, sink);
        return sink.With("title ");
    };
    const auto saved = [&](const std::string& page) {
        m_page.SetTitle(title.c_str());
        m_page.SetTitleModified(1);
        const std::string copy = Rewrite(page);
        EXPECT_EQ(m_page.GetTitleModified(), 0u);
        return copy;
    };
    for (const std::string& container : containers) {
        SCOPED_TRACE(container);
        // The container's title only: the head gets one.
        const std::string page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><p>Text</p>" + container
            + "</body></html>\n";
        EXPECT_EQ(scanned(page), std::vector<std::string>());
        EXPECT_TRUE(SameBytes(saved(page), Replaced(page, "</head>", "\n<title>" + title + "</title>\n</head>")));
        if (container.find("<plaintext>") == 0)
            continue; // the rest of a page after it is all text
        // The page's own title after it is the one shown and rewritten.
        const std::string titled = "<html><head><meta charset=\"utf-8\">" + container
            + "<title>Own</title></head><body><p>Text</p></body></html>\n";
        EXPECT_EQ(scanned(titled), std::vector<std::string>({"title Own"}));
        EXPECT_TRUE(SameBytes(saved(titled), Replaced(titled, "<title>Own</title>", "<title>" + title + "</title>")));
    }
    // A title that names such an element, or a script, ends at its own end tag all the same, and
    // the page goes on after it.
    for (const std::string element : {"style", "script", "plaintext", "textarea"}) {
        const std::string named = "<html><head><meta charset=\"utf-8\"><title>The <" + element
            + "> element</title><meta name=\"description\" content=\"d\"></head><body><p>Text</p></body></html>\n";
        SCOPED_TRACE(named);
        htmltest::RecordingSink sink;
        htmltest::Parse(named, sink);
        EXPECT_EQ(sink.With("title ").size(), 1u);
        EXPECT_EQ(sink.With("description "), std::vector<std::string>({"description d"}));
        EXPECT_TRUE(SameBytes(saved(named), Replaced(named, "The <" + element + "> element", title)));
    }
    // A picture's "<title/>" holds no text, with attributes or without: a script after it is
    // still a script.
    for (const std::string tag : {"<title/>", "<title id=\"t\"/>", "<title lang='en' />"}) {
        const std::string icon = "<html><head><meta charset=\"utf-8\"></head><body><svg>" + tag
            + "</svg><script>var s = '<title>No</title>';</script></body></html>\n";
        EXPECT_EQ(scanned(icon), std::vector<std::string>()) << tag;
        EXPECT_TRUE(SameBytes(saved(icon), Replaced(icon, "</head>", "\n<title>" + title + "</title>\n</head>"))) << tag;
    }
}

// An element read as text ends where browsers end it: at an end tag with attributes or a "/",
// and at once when a picture or formula closes it by "/>". The page after it is the page's: its
// title is read and a typed one takes its place, every other byte as it was.
TEST_F(MetaEditEngineTest, TextElementsEndWhereBrowsersEndThem)
{
    const std::string title = "Gr\xC3\xBC\xC3\x9F" "e \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE6\x97\xA5\xE6\x9C\xAC";
    // The page's title and description are read, and a typed title replaces only the old one.
    const auto check = [&](const std::string& page, const std::string& from, const std::string& to) {
        SCOPED_TRACE(page);
        htmltest::RecordingSink sink;
        htmltest::Parse(page, sink);
        EXPECT_EQ(sink.With("title "), std::vector<std::string>({"title Own"}));
        EXPECT_EQ(sink.With("description "), std::vector<std::string>({"description d"}));
        m_page.SetTitle(title.c_str());
        m_page.SetTitleModified(1);
        EXPECT_TRUE(SameBytes(Rewrite(page), Replaced(page, from, to)));
        EXPECT_FALSE(m_bError) << GetMetaEditErrorText(m_nError).GetString();
    };
    std::vector<std::string> parts;
    for (const std::string e : {"style", "script", "textarea", "xmp", "iframe", "noembed", "noframes"}) {
        parts.push_back("<" + e + ">a < b { }</" + e + " foo=\"1\">");
        parts.push_back("<" + e + ">a</" + e + "/>");
        parts.push_back("<" + e + ">a</" + e + "\tclass='x>y' id=z>");
        parts.push_back("<svg><" + e + "/></svg>");
        parts.push_back("<math><mi>x</mi><" + e + " id=\"m\" /></math>");
    }
    parts.push_back("<svg><plaintext/></svg>");
    for (const std::string& part : parts)
        check("<!DOCTYPE html><html><head><meta charset=\"utf-8\">" + part
                  + "<title>Own</title><meta name=\"description\" content=\"d\"></head><body><p>Text</p></body></html>\n",
              "<title>Own</title>", "<title>" + title + "</title>");
    // The title's own end tag likewise.
    for (const std::string end : {"</title foo=\"1\">", "</title/>", "</TITLE class=\"a>b\">"})
        check("<html><head><meta charset=\"utf-8\"><title>Own" + end
                  + "<meta name=\"description\" content=\"d\"></head><body>x</body></html>\n",
              ">Own<", ">" + title + "<");
}

TEST_F(MetaEditEngineTest, PlainTextContentIsCopiedThrough)
{
    const std::string page = "<HTML><HEAD><PLAINTEXT>a <b> & c\r\n</PLAINTEXT></HEAD><BODY>";
    EXPECT_EQ(Rewrite(page), page);
    const std::string open = "<html><head><plaintext>no end <meta name=keywords content=x></head><body>";
    Edit("Keywords", "k");
    EXPECT_EQ(Rewrite(open), open);
    EXPECT_EQ(m_bError, 1u);
    EXPECT_EQ(m_nError, kIdsMissingHeadEnd);
    EXPECT_EQ(m_edits.GetHead()->GetModified(), 1u);
}

TEST_F(MetaEditEngineTest, WithoutAHeadNothingIsReplacedOrAdded)
{
    Edit("Keywords", "k");
    m_page.SetTitle("T");
    m_page.SetTitleModified(1);
    const std::string page = "<html><meta name=\"keywords\" content=\"x\"><body>text";
    EXPECT_EQ(Rewrite(page), page);
    EXPECT_EQ(m_bError, 1u);
    EXPECT_EQ(m_nError, kIdsMissingHeadStart);
    EXPECT_EQ(m_edits.GetHead()->GetModified(), 1u);
    EXPECT_EQ(m_page.GetTitleModified(), 1u);
}

TEST_F(MetaEditEngineTest, ErrorsNameTheFirstMissingTag)
{
    Rewrite("<head></head>");
    EXPECT_EQ(m_nError, kIdsMissingHtmlStart);
    EXPECT_STREQ(GetMetaEditErrorText(m_nError), "Missing HTML start tag.");
    Rewrite("<html><head>");
    EXPECT_EQ(m_nError, kIdsMissingHeadEnd);
    EXPECT_STREQ(GetMetaEditErrorText(m_nError), "Missing HEAD end tag.");
    Rewrite("<html>");
    EXPECT_STREQ(GetMetaEditErrorText(m_nError), "Missing HEAD start tag.");
    Rewrite("<html><head></head>");
    EXPECT_EQ(m_bError, 0u);
    // "<h>" is no abbreviation of HTML or HEAD.
    Rewrite("<h><he></he>");
    EXPECT_EQ(m_nError, kIdsMissingHtmlStart);
}

TEST_F(MetaEditEngineTest, TheCaseOfComposedTagsFollowsEachPage)
{
    Edit("Keywords", "k");
    EXPECT_EQ(Rewrite("<html><head></head>"), "<html><head>\n<meta name=\"Keywords\" content=\"k\">\n</head>");
    EXPECT_EQ(Settings().GetUpperCase(), 0u);
    // An upper-case page after a lower-case one gets upper-case tags.
    m_edits.SetModifiedAll(1);
    EXPECT_EQ(Rewrite("<HTML><HEAD></HEAD>"), "<HTML><HEAD>\n<META NAME=\"Keywords\" CONTENT=\"k\">\n</HEAD>");
    EXPECT_EQ(Settings().GetUpperCase(), 1u);
    // The last change of case before the head's end counts.
    m_edits.SetModifiedAll(1);
    EXPECT_EQ(Rewrite("<HTML><head></head>"), "<HTML><head>\n<meta name=\"Keywords\" content=\"k\">\n</head>");
}

TEST_F(MetaEditEngineTest, TheRestAfterTheBodyStartTagIsCopiedByteForByte)
{
    Edit("Keywords", "k");
    const std::string rest = Raw("<body bgcolor='#fff'>&amp; &#65; <meta name=keywords content=x></head>\0\r\nend");
    EXPECT_EQ(Rewrite("<html><head></head>" + rest),
              "<html><head>\r\n<meta name=\"Keywords\" content=\"k\">\r\n</head>" + rest);
}

TEST_F(MetaEditEngineTest, AMetaTagCutShortByATagKeepsTheNextTag)
{
    Edit("Keywords", "k");
    EXPECT_EQ(Rewrite("<html><head><meta name=keywords content=\"old\"<title>t</title></head>"),
              "<html><head><meta name=keywords content=\"k\"><title>t</title></head>");
}

TEST_F(MetaEditEngineTest, AnUnclosedMetaTagAtTheEndIsCopied)
{
    Edit("Keywords", "k");
    EXPECT_EQ(Rewrite("<html><head><meta name=\"keywords\" content=\"x"),
              "<html><head><meta name=\"keywords\" content=\"x");
}

TEST_F(MetaEditEngineTest, AContentWithoutASettingLeavesItsTagAsItIs)
{
    Edit("No-Such-Setting", "v");
    EXPECT_EQ(Rewrite("<html><head><meta name=\"no-such-setting\" content=\"old\"></head>"),
              "<html><head><meta name=\"no-such-setting\" content=\"old\"></head>");
}

// A name with characters of markup, as a scan reads it from a page ("Q&amp;A" is "Q&A"), finds
// the page's tag and changes only its value; a tag added for such a name writes it escaped, a
// quotation mark without any angle bracket too, so that the page reads the name back whole.
TEST_F(MetaEditEngineTest, ANameHoldingMarkupCharactersIsFoundAndWrittenEscaped)
{
    for (const char* pszName : {"Q&A", "Zitat \"ja\" ß", "a<b>"}) {
        auto pSetting = std::make_unique<CMetaUndefinedSetting>();
        pSetting->SetName(pszName);
        m_pModel->GetMetaSettings().AddTail(pSetting.release());
    }
    Edit("Q&A", "neu & mehr");
    Edit("Zitat \"ja\" ß", "Ωμέγα");
    Edit("a<b>", "x");
    const std::string page = "<html><head><meta charset=\"utf-8\"><title>Fragen &mdash; Antworten</title>"
                             "<meta name=\"Q&amp;A\" content=\"Frage &amp; Antwort\"></head><body>x</body></html>\n";
    EXPECT_EQ(Rewrite(page), "<html><head><meta charset=\"utf-8\"><title>Fragen &mdash; Antworten</title>"
                             "<meta name=\"Q&amp;A\" "
                             "content=\"neu &amp; mehr\">\n"
                             "<meta name=\"Zitat &quot;ja&quot; ß\" content=\"Ωμέγα\">\n"
                             "<meta name=\"a&lt;b&gt;\" content=\"x\">\n</head><body>x</body></html>\n");
}

TEST_F(MetaEditEngineTest, AFailedWriteIsToldOnceAndMarked)
{
    MessageSink sink;
    Edit("Keywords", "k");
    const std::string page = "<html><head></head><body>";
    CMemFile input;
    input.Write(page.data(), static_cast<UINT>(page.size()));
    input.SeekToBegin();
    FullDiskFile output;
    output.SetFilePath("/tmp/SAV1A.tmp");
    CMetaEditEngine engine(&m_edits, &m_page, &input, &output, sink.Handle());
    EXPECT_EQ(engine.Run(), 0);
    EXPECT_TRUE(engine.GetWriteFailed());
    sink.Drain();
    const std::vector<std::string> lines = sink.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("SAV1A : ", 0), 0u) << lines[0];
}

// What follows the place of a title the head lacks waits beside the copy while the page's own
// TITLE element is sought: where it cannot be kept, the copy failed as a write of it would.
TEST_F(MetaEditEngineTest, BytesHeldBesideTheCopyThatCannotBeKeptFailIt)
{
    MessageSink sink;
    m_page.SetTitle("New");
    m_page.SetTitleModified(1);
    // The rest of a page sought for its title, and a long title never closed.
    for (const char* pszStart : {"<html><head></head><body>", "<html><head><title>"}) {
        SCOPED_TRACE(pszStart);
        const std::string page = pszStart + std::string(200000, 'b');
        CMemFile input;
        input.Write(page.data(), static_cast<UINT>(page.size()));
        input.SeekToBegin();
        CMemFile output;
        output.SetFilePath((TempDir() / "gone" / "SAV1A.tmp").c_str());
        CMetaEditEngine engine(&m_edits, &m_page, &input, &output, sink.Handle());
        EXPECT_EQ(engine.Run(), 0);
        EXPECT_TRUE(engine.GetWriteFailed());
        EXPECT_NE(engine.GetHeldWriteError(), 0u);
        sink.Drain();
        const std::vector<std::string> lines = sink.Lines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].rfind("SAV1A : ", 0), 0u) << lines[0];
        sink.messages.clear();
    }
}

TEST_F(MetaEditEngineTest, AReadFailureRaisesAFileExceptionAfterWritingWhatWasRead)
{
    FailingReadFile input("<html><head>");
    CMemFile output;
    CMetaEditEngine engine(&m_edits, &m_page, &input, &output, nullptr);
    bool bRaised = false;
    try {
        engine.Run();
    } catch (CFileException* e) {
        bRaised = true;
        e->Delete();
    }
    EXPECT_TRUE(bRaised);
    EXPECT_EQ(Contents(output), "<html><head>");
}

// Pages whose every byte must come back when nothing is edited.
std::vector<std::string> TrickyPages()
{
    std::vector<std::string> pages = {
        "",
        "plain text only",
        "<html><head><title>T</title></head><body>b</body></html>",
        "<HTML>\r\n<HEAD>\r\n<META NAME=\"Keywords\" CONTENT=\"a, b\">\r\n<TITLE>T</TITLE>\r\n</HEAD>\r\n<BODY>\r\n</BODY>\r\n</HTML>\r\n",
        "<html><head><!-- a -- b -- > still --><!-- <meta name=x> --></head></html>",
        "<html><head><!DOCTYPE html PUBLIC \"-//W3C//DTD > HTML//EN\" -- c > -- ><?php echo '>' ?></head>",
        "<html><head><script language=JavaScript>if (a<b && c>d) x='</head>';</SCRIPT ></head>",
        "<html><head><script>unterminated <meta name=keywords content=x>",
        "<html><head><style><![CDATA[ a > b { } ]]></style><![CDATA[<meta>]]></head>",
        "<html><head><meta name=\"k\" content='single \"double\" inside'>\r\n<meta name=k content=a/b%20c>",
        "<html><head><meta name=\"k\" content=\"line\r\nbreak\n\ragain\"></head>",
        "<html><head><meta name=\"k\" content=\"a > b\"></head>",
        "<html><head><meta name='k' content='a > b < c'></head>",
        "<html><head><title>A &amp; B &#65; &#x41; &nbsp &copy; &bogus; & < ></title></head>",
        "<html><head>&lt;meta&gt; &#1234; &amp</head><body>&amp;</body>",
        "<html><head><a href=x <b>c</b> <img src=\"a.gif\" <p>\"=$ - 9></head>",
        "<html><head><meta\tname = \"x\"\r\n content\n=\n\"y\" / ><meta/></head>",
        "<html><head></ head></h1 x><//><><!></></head>",
        "<html><head><title>unterminated title",
        "<html><head><title></title></head><title>second</title><body>",
        "<HTML><HEAD><PLAINTEXT>raw <b> text & more</PLAINTEXT ></HEAD><BODY>",
        "<html><head><plaintext>raw </plaintext> <b>",
        "<html><head><PLAINTEXT>never closed <meta name=x content=y></head><body>",
        "no head <meta name=\"keywords\" content=\"x\"> <body> and no tags",
        "<html><head></head>no body tag",
        "<body>before anything<head></head>",
        "<HtMl><HeAd><MeTa NaMe=KeYwOrDs CoNtEnT=x></hEaD><bOdY>",
        "<html>\n<head>\n</head>\n<body>\r\n</body>",
        "<html><head><meta name=\"keywords\" content=\"x\"<meta name=\"description\" content=\"y\"></head>",
        "<html><head><meta name=\"keywords\" content=\"x",
        "<html><head><meta name=\"keywords\" content=\"x\">",
        "<",
        "&",
        "<html",
        "<html><head><meta name=",
        "<html><head><meta name='",
        "<html><head><!--",
        "<html><head><!DOCTYPE",
        "<html><head><?xml",
        "\xEF\xBB\xBF<html><head><title>\xE6\x97\xA5\xE6\x9C\xAC \xE9</title></head>",
    };
    // NUL bytes in text, tags, values and after the body.
    pages.push_back(Raw("<html>\0<head><title>a\0b</title><meta name=\"k\0\" content=\"\0\">\0</head>\0<body>\0x"));
    pages.push_back(Raw("\0\0\0<\0>\0"));
    // A token longer than the lexer's first buffer.
    pages.push_back("<html><head><meta name=\"k\" content=\"" + std::string(20000, 'v') + "\"><title>" +
                    std::string(9000, 't') + "</title></head><body>" + std::string(70000, 'b'));
    pages.push_back("<html><head>" + std::string(100000, ' ') + "</head>");
    return pages;
}

TEST_F(MetaEditEngineTest, PagesWithoutEditsComeOutIdentical)
{
    const std::vector<std::string> pages = TrickyPages();
    for (size_t i = 0; i < pages.size(); ++i)
        EXPECT_EQ(Rewrite(pages[i]), pages[i]) << "page " << i;
}

TEST_F(MetaEditEngineTest, EditsOfTagsAPageDoesNotHaveLeaveTheRestIdentical)
{
    // An edited title and contents only add text before the head's end.
    Edit("Generator", "ed");
    const std::string page = "<html><head><title>T</title>\r\n<script>x<y</script></head><body>z";
    const std::string expected =
        "<html><head><title>T</title>\r\n<script>x<y</script>\r\n<meta name=\"Generator\" content=\"ed\">\r\n</head><body>z";
    EXPECT_EQ(Rewrite(page), expected);
}

// Titles and values as generators write them, with references HTML names, edited at their end:
// what the user did not change keeps the page's spelling, references and a charset's bytes
// included, and only what was typed is written anew, in the page's charset. At the edges of a
// change a reference or character is kept or written anew whole, and the bytes kept never end
// where the new letters would be read with them.
TEST_F(MetaEditEngineTest, AnEditedValueKeepsThePagesSpellingOfWhatWasNotChanged)
{
    const std::string title = "add_test \xE2\x80\x94 CMake\xC2\xA0" "3 \xE2\x82\xAC \xCE\xA9 X";
    const std::string description = "\xCE\xB1 &nosuch; \xE2\x80\x93 \xE2\x80\x94\xC2\xA0\xE2\x82\xAC AT&T";
    const std::string tail = "<meta name=\"keywords\" content=\"a &mdash; b\"></head><body>&euro;&nbsp;</body></html>\n";
    for (const char* pszCharset : {"utf-8", "iso-8859-1"}) {
        m_edits.DeleteAll();
        Edit("Description", description.c_str());
        m_page.SetTitle(title.c_str());
        m_page.SetTitleModified(1);
        const std::string head = std::string("<html><head><meta charset=\"") + pszCharset + "\">";
        EXPECT_EQ(Rewrite(head + "<title>add_test &mdash; CMake&nbsp;3 &euro; &Omega;</title>"
                                 "<meta name=\"description\" content=\"&alpha; &nosuch; &ndash; &mdash;&nbsp;&euro;\">" + tail),
                  head + "<title>add_test &mdash; CMake&nbsp;3 &euro; &Omega; X</title>"
                         "<meta name=\"description\" content=\"&alpha; &nosuch; &ndash; &mdash;&nbsp;&euro; AT&amp;T\">" + tail);
    }

    struct Case {
        const char* pszCharset;
        std::string title, description; // as the page spells them
        const char* pszTitle;            // the new ones
        const char* pszDescription;
        std::string titleWritten, descriptionWritten;
    };
    const Case cases[] = {
        // A Latin-1 page keeps its bytes; what it lacks is written as a reference.
        {"iso-8859-1", "Caf\xE9 &mdash; cr\xE8me", "caf\xE9 &amp; th\xE9", "Caf\xC3\xA9 \xE2\x80\x94 cr\xC3\xA8mes \xCE\xA9",
         "caf\xC3\xA9 & th\xC3\xA9s", "Caf\xE9 &mdash; cr\xE8mes &#937;", "caf\xE9 &amp; th\xE9s"},
        // A reference the change reaches is written anew whole; one beside it is kept.
        {"utf-8", "a &mdash;&ndash; b", "x&#233;y", "a \xE2\x80\x93\xE2\x80\x93 b", "x\xC3\xA8y",
         "a \xE2\x80\x93&ndash; b", "x\xC3\xA8y"},
        // An "&" kept before new letters would begin a reference with them.
        {"utf-8", "AT&amp T", "AT&amp T & Co", "AT&T", "AT&T & Co", "AT&amp;T", "AT&amp;T & Co"},
        // Line breaks and blanks the reader folds stay as they were.
        {"utf-8", "\n  Guide\n  Tools\n", "one\n two", "Guide Tools!", "one two!", "\n  Guide\n  Tools!\n", "one\n two!"},
    };
    for (const Case& one : cases) {
        m_edits.DeleteAll();
        Edit("Description", one.pszDescription);
        m_page.SetTitle(one.pszTitle);
        m_page.SetTitleModified(1);
        const std::string head = std::string("<html><head><meta charset=\"") + one.pszCharset + "\"><title>";
        EXPECT_EQ(Rewrite(head + one.title + "</title><meta name=\"description\" content=\"" + one.description + "\"></head>"),
                  head + one.titleWritten + "</title><meta name=\"description\" content=\"" + one.descriptionWritten
                      + "\"></head>")
            << one.title;
    }

    // A page converted to another charset keeps its references; its own bytes go over converted.
    auto* pSetting = new CMetaUndefinedSetting;
    pSetting->SetName("Content-Type");
    pSetting->SetHttpEquiv(1);
    m_pModel->GetMetaSettings().AddTail(pSetting);
    m_edits.DeleteAll();
    Edit("Content-Type", "text/html; charset=UTF-8");
    m_page.SetTitle("Caf\xC3\xA9 \xE2\x80\x94 cr\xC3\xA8mes");
    m_page.SetTitleModified(1);
    EXPECT_EQ(Rewrite("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">"
                      "<title>Caf\xE9 &mdash; cr\xE8me</title></head>"),
              "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"
              "<title>Caf\xC3\xA9 &mdash; cr\xC3\xA8mes</title></head>");
}

// A tag the page lacks goes on a line ended as the page ends its lines: by its first line end,
// wherever that is, and by LF when it has none.
TEST_F(MetaEditEngineTest, AnAddedTagTakesThePagesOwnLineEnd)
{
    const auto added = [&](const std::string& page) {
        m_edits.DeleteAll();
        Edit("Keywords", "k");
        return Rewrite(page);
    };
    // One line ending in one LF, as generators write pages.
    EXPECT_EQ(added("<html><head><title>T</title></head><body>x</body></html>\n"),
              "<html><head><title>T</title>\n<meta name=\"Keywords\" content=\"k\">\n</head><body>x</body></html>\n");
    EXPECT_EQ(added("<html><head></head><body>"), "<html><head>\n<meta name=\"Keywords\" content=\"k\">\n</head><body>");
    // Its first line end past what the first read takes in.
    const std::string body = std::string(70000, 'b');
    EXPECT_EQ(added("<html><head></head><body>" + body + "\r\nx\n"),
              "<html><head>\r\n<meta name=\"Keywords\" content=\"k\">\r\n</head><body>" + body + "\r\nx\n");
    EXPECT_EQ(added("<html>\r<head></head>\n"), "<html>\r<head>\r<meta name=\"Keywords\" content=\"k\">\r</head>\n");
    EXPECT_EQ(added("<html>\n<head>\r\n</head>"), "<html>\n<head>\r\n<meta name=\"Keywords\" content=\"k\">\n</head>");
}

// A page whose lines end in a lone CR: a tag added or taken out makes or takes one line, ended
// and indented as the page's own.
TEST_F(MetaEditEngineTest, ALoneCarriageReturnEndsTheLinesOfAddedAndRemovedTagsOnce)
{
    Edit("Keywords", "k");
    EXPECT_EQ(Rewrite("<html>\r<head>\r<title>T</title>\r</head>\r<body>\r</body>\r</html>\r"),
              "<html>\r<head>\r<title>T</title>\r<meta name=\"Keywords\" content=\"k\">\r</head>\r<body>\r</body>\r</html>\r");
    m_edits.DeleteAll();
    Edit("Keywords", "k");
    EXPECT_EQ(Rewrite("<html>\r<head>\r\t<meta charset=\"utf-8\">\r\t<title>T</title>\r</head>\r"),
              "<html>\r<head>\r\t<meta charset=\"utf-8\">\r\t<title>T</title>\r\t<meta name=\"Keywords\" content=\"k\">\r</head>\r");
    m_edits.DeleteAll();
    Edit("Keywords", "");
    EXPECT_EQ(Rewrite("<html>\r<head>\r  <meta name=\"keywords\" content=\"x\">\r  <title>T</title>\r</head>\r"),
              "<html>\r<head>\r  <title>T</title>\r</head>\r");
}

// A META tag with two CHARSET attributes is read by its first, by the scan as by browsers: a
// new charset is written there, not into the second, which would leave the page declaring the
// charset it is no longer written in.
TEST_F(MetaEditEngineTest, OfTwoCharsetAttributesTheFirstIsRewritten)
{
    auto* pSetting = new CMetaUndefinedSetting;
    pSetting->SetName("Content-Type");
    pSetting->SetHttpEquiv(1);
    m_pModel->GetMetaSettings().AddTail(pSetting);
    Edit("Content-Type", "text/html; charset=Shift_JIS");
    Edit("Description", "d");
    EXPECT_EQ(Rewrite("<html><head><meta charset=\"utf-8\" charset=\"iso-8859-1\"><meta http-equiv=\"content-type\" content=\"text/html\">"
                      "<title>\xE6\x97\xA5</title></head><body>x</body></html>\n"),
              "<html><head><meta charset=\"Shift_JIS\" charset=\"iso-8859-1\"><meta http-equiv=\"content-type\" content=\"text/html; charset=Shift_JIS\">"
              "<title>\x93\xFA</title>\n<meta name=\"Description\" content=\"d\">\n</head><body>x</body></html>\n");
    EXPECT_EQ(m_change, CharsetChange::Converted);
}

// A Content-Type given another charset: the page is written again in it, declarations and all.
TEST_F(MetaEditEngineTest, APageGivenAnotherCharsetIsWrittenInIt)
{
    auto* pSetting = new CMetaUndefinedSetting;
    pSetting->SetName("Content-Type");
    pSetting->SetHttpEquiv(1);
    m_pModel->GetMetaSettings().AddTail(pSetting);
    const auto recharset = [&](const char* pszCharset) {
        m_edits.DeleteAll();
        Edit("Content-Type", (std::string("text/html; charset=") + pszCharset).c_str());
        Edit("Description", "\xE6\x97\xA5\xE6\x9C\xAC \xC3\xA9t\xC3\xA9");
    };
    recharset("UTF-8");
    EXPECT_EQ(Rewrite("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<html><head>"
                      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">"
                      "<title>Caf\xE9</title></head><body>\xE9t\xE9 &euro; \x80</body></html>\n"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<html><head>"
              "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"
              "<title>Caf\xC3\xA9</title>\n<meta name=\"Description\" content=\"\xE6\x97\xA5\xE6\x9C\xAC \xC3\xA9t\xC3\xA9\" />\n"
              "</head><body>\xC3\xA9t\xC3\xA9 &euro; \xE2\x82\xAC</body></html>\n");
    // Characters the new charset lacks become references; a "<meta charset>" follows too.
    recharset("Shift_JIS");
    EXPECT_EQ(Rewrite("<html><head><meta charset=\"utf-8\"><meta http-equiv=\"content-type\" content=\"text/html\">"
                      "<title>\xE6\x97\xA5 caf\xC3\xA9</title></head><body>\xE3\x81\x82</body></html>\n"),
              "<html><head><meta charset=\"Shift_JIS\"><meta http-equiv=\"content-type\" content=\"text/html; charset=Shift_JIS\">"
              "<title>\x93\xFA caf&#233;</title>\n<meta name=\"Description\" content=\"\x93\xFA\x96\x7B &#233;t&#233;\">\n"
              "</head><body>\x82\xA0</body></html>\n");
    EXPECT_TRUE(m_strUnwritable.empty());
    // A UTF-8 page's byte order mark goes with its charset.
    recharset("iso-8859-1");
    EXPECT_EQ(Rewrite("\xEF\xBB\xBF<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
                      "</head><body>\xC3\xA9</body></html>\n"),
              "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n"
              "<meta name=\"Description\" content=\"&#26085;&#26412; \xE9t\xE9\">\n</head><body>\xE9</body></html>\n");
    // A charset no converter knows: the page keeps its own, and the engine tells.
    recharset("x-nosuch");
    const std::string latin = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"
                              "</head><body>\xE9</body></html>\n";
    const std::string kept = Rewrite(latin);
    EXPECT_EQ(m_strUnwritable, "x-nosuch");
    EXPECT_NE(kept.find("<body>\xE9</body>"), std::string::npos) << kept;
    EXPECT_NE(kept.find("content=\"&#26085;&#26412; \xE9t\xE9\""), std::string::npos) << kept;
}

// A page declaring UTF-8 that holds Latin-1 bytes is read as Latin-1: its edits are written so,
// never as a second encoding in the same page.
TEST_F(MetaEditEngineTest, AnEditGoesInTheCharsetThePageWasReadIn)
{
    Edit("Description", "\xC3\xA9t\xC3\xA9 \xE2\x80\x94");
    const std::string body = std::string(5000, 'b') + "Caf\xE9";
    EXPECT_EQ(Rewrite("<html><head><meta charset=\"utf-8\"></head><body>" + body),
              "<html><head><meta charset=\"utf-8\">\n<meta name=\"Description\" content=\"\xE9t\xE9 \x97\">\n</head><body>" + body);
    m_edits.DeleteAll();
    Edit("Description", "\xC3\xA9t\xC3\xA9");
    // A page that is UTF-8 keeps it, even with a stray byte that is not.
    EXPECT_EQ(Rewrite("<html><head><meta charset=\"utf-8\"></head><body>\xC3\xA9\xE9"),
              "<html><head><meta charset=\"utf-8\">\n<meta name=\"Description\" content=\"\xC3\xA9t\xC3\xA9\">\n</head><body>\xC3\xA9\xE9");
}

// A page's Content-Type given a charset by the user, with pages as sites have them.
class CharsetChangeTest : public MetaEditEngineTest {
protected:
    void SetUp() override
    {
        MetaEditEngineTest::SetUp();
        auto* pSetting = new CMetaUndefinedSetting;
        pSetting->SetName("Content-Type");
        pSetting->SetHttpEquiv(1);
        m_pModel->GetMetaSettings().AddTail(pSetting);
    }
    // The page rewritten with only its Content-Type given the charset, besides the edits made
    // before.
    std::string Recharset(const std::string& page, const std::string& charset)
    {
        Edit("Content-Type", ("text/html; charset=" + charset).c_str());
        const std::string out = Rewrite(page);
        m_edits.DeleteAll();
        return out;
    }
    static std::string Replaced(std::string text, const std::string& from, const std::string& to)
    {
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
        return text;
    }
    static std::string Page(const std::string& charset, const std::string& head, const std::string& body)
    {
        return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset + "\">\n" + head +
               "</head><body>" + body + "</body></html>\n";
    }
    // The page with a Content-Type declaring the charset added at its head's end.
    static std::string Declared(const std::string& page, const std::string& charset, const char* pszEnd = ">")
    {
        return Replaced(page, "</head>", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset +
                                             "\"" + pszEnd + "\n</head>");
    }
    // The bytes run through the system's iconv program, a reader and writer independent of the
    // program's own: a page made by it from a text and converted back by the program must be
    // that text, character for character.
    std::string Iconv(const std::string& bytes, const std::string& from, const std::string& to = "UTF-8")
    {
        return iconv_program::Convert(bytes, from, to, (TempDir() / "iconv-input").string());
    }

    const std::string kMark = "\xEF\xBB\xBF";
    // A page that declares nothing, whose registered sign far down reads as a UTF-8 letter too:
    // its bytes read two ways given UTF-8, and either can be written.
    const std::string kBrands = [] {
        std::string page = "<html><head>\n<title>Brands</title>\n</head><body>\n";
        for (int i = 1; i <= 40; ++i)
            page += "<p>Line " + std::to_string(i) + " of the catalogue.</p>\n";
        return page + "<p>NESTL\xC9\xAE coffee.</p>\n</body></html>\n";
    }();
};

// The usual reason to edit the cell: a page labelled ISO-8859-1 whose bytes are UTF-8. Given
// UTF-8 it keeps its bytes and only its declaration changes, with or without a byte order mark;
// the mark decides how the page is read, so given another charset it is converted from UTF-8.
TEST_F(CharsetChangeTest, APageWhoseBytesReadAsTheCharsetGivenOnlyChangesItsDeclaration)
{
    const std::string page = Page("ISO-8859-1", "<title>Caf\xC3\xA9 \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC</title>\n",
                                  "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC");
    const std::string relabelled = Replaced(page, "ISO-8859-1", "UTF-8");
    EXPECT_EQ(Recharset(page, "UTF-8"), relabelled);
    EXPECT_EQ(m_change, CharsetChange::Relabelled);
    EXPECT_EQ(Recharset(kMark + page, "UTF-8"), kMark + relabelled);
    EXPECT_EQ(m_change, CharsetChange::Relabelled);
    // What is edited with it goes in UTF-8 too.
    Edit("Description", "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(Recharset(page, "utf-8"), Replaced(Replaced(page, "ISO-8859-1", "utf-8"), "</title>\n",
                                                 "</title>\n<meta name=\"Description\" content=\"\xC3\xA9t\xC3\xA9\">\n"));
    // A page of ASCII alone reads alike in any charset.
    const std::string ascii = Page("ISO-8859-1", "<title>Cafe &eacute;</title>\n", "x");
    EXPECT_EQ(Recharset(ascii, "Shift_JIS"), Replaced(ascii, "ISO-8859-1", "Shift_JIS"));
    EXPECT_EQ(m_change, CharsetChange::Relabelled);

    // The mark decides: the page is UTF-8, converted, and the mark is not written as text.
    EXPECT_EQ(Recharset(kMark + page, "windows-1252"),
              Page("windows-1252", "<title>Caf\xE9 \x97 &#26085;&#26412;</title>\n", "\xE9t\xE9 \x80"));
    EXPECT_EQ(m_change, CharsetChange::Converted);
    // A page that is Latin-1 indeed is converted.
    EXPECT_EQ(Recharset(Page("ISO-8859-1", "<title>Caf\xE9</title>\n", "\xE9t\xE9"), "UTF-8"),
              Page("UTF-8", "<title>Caf\xC3\xA9</title>\n", "\xC3\xA9t\xC3\xA9"));
    EXPECT_EQ(m_change, CharsetChange::Converted);
    // A page that declares nothing and whose first bytes are ASCII is what its later bytes are:
    // UTF-8, kept under the new declaration; other bytes are not converted from a guess.
    const std::string undeclared = "<html><head><title>T</title></head><body>" + std::string(3000, 'x');
    EXPECT_EQ(Recharset(undeclared + "caf\xC3\xA9</body></html>\n", "UTF-8"),
              "<html><head><title>T</title>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\n"
              "</head><body>" + std::string(3000, 'x') + "caf\xC3\xA9</body></html>\n");
    EXPECT_EQ(m_change, CharsetChange::Relabelled);
    Recharset(undeclared + "caf\xE9</body></html>\n", "UTF-8");
    EXPECT_EQ(m_strPageCharset, "windows-1252");
    EXPECT_NE(m_strRefusal.find("it declares no charset"), std::string::npos) << m_strRefusal;
    // Half UTF-8, half Latin-1 (a title a generator wrote in UTF-8 over a Latin-1 text): neither
    // way is right, and the page is left alone.
    const std::string half = Page("ISO-8859-1", "<title>Gr\xC3\xB6\xC3\x9F" "e der Partition</title>\n",
                                  Iconv(legacy_site::kGrosse.pszBody, "UTF-8", "ISO-8859-1"));
    Recharset(half, "UTF-8");
    EXPECT_NE(m_strRefusal.find("holds UTF-8 characters and also bytes that are no UTF-8 (the first is byte"),
              std::string::npos) << m_strRefusal;
}

// Only a charset browsers read pages in is written; any other name is refused like one no
// converter knows, the page left as it was.
TEST_F(CharsetChangeTest, ACharsetBrowsersReadNoPageInIsRefusedByItsName)
{
    const std::string page = Page("ISO-8859-1", "<title>Caf\xE9</title>\n", "\xE9t\xE9");
    for (const char* pszName : {"UTF-32", "UCS-2", "UTF-7", "IBM037", "UTF-16", "utf-16le", "x-nosuch"}) {
        SCOPED_TRACE(pszName);
        const std::string out = Recharset(page, pszName);
        EXPECT_EQ(m_strUnwritable, pszName);
        EXPECT_EQ(m_strRefusal, GetUnwritableCharsetText(pszName).GetString());
        EXPECT_EQ(out.find('\0'), std::string::npos);
        EXPECT_NE(out.find("<body>\xE9t\xE9</body>"), std::string::npos) << out;
    }
    // The labels browsers read, however a page spells them. A right label is converted from, also
    // to another charset of its script.
    const std::string cyrillic = Page("windows-1251", "<title>\xCF\xF0\xE8\xE2\xE5\xF2</title>\n", "\xE0");
    EXPECT_EQ(Recharset(cyrillic, "KOI8-U"), Page("KOI8-U", "<title>\xF0\xD2\xC9\xD7\xC5\xD4</title>\n", "\xC1"));
    EXPECT_EQ(Recharset(cyrillic, "x-mac-cyrillic"), Replaced(Replaced(cyrillic, "windows-1251", "x-mac-cyrillic"),
                                                              "\xCF", "\x8F"));
    EXPECT_EQ(Recharset(page, "latin1"), Replaced(page, "ISO-8859-1", "latin1"));
    EXPECT_TRUE(m_strRefusal.empty()) << m_strRefusal;
}

// An XHTML page's XML declaration names the charset it is written in: one without an encoding
// means UTF-8 and gains one; one with an encoding has it replaced, its quotes kept.
TEST_F(CharsetChangeTest, AnXmlDeclarationNamesTheCharsetThePageIsWrittenIn)
{
    const std::string rest = "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                             "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n"
                             "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head>"
                             "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />"
                             "<title>Caf\xC3\xA9</title></head><body>\xE2\x80\x94</body></html>\n";
    const std::string latin = Replaced(Replaced(Replaced(rest, "utf-8", "ISO-8859-1"), "Caf\xC3\xA9", "Caf\xE9"),
                                       "\xE2\x80\x94", "&#8212;");
    EXPECT_EQ(Recharset("<?xml version=\"1.0\"?>\n" + rest, "ISO-8859-1"),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" + latin);
    EXPECT_EQ(Recharset("<?xml version='1.0' standalone='yes'?>\n" + rest, "ISO-8859-1"),
              "<?xml version='1.0' encoding=\"ISO-8859-1\" standalone='yes'?>\n" + latin);
    EXPECT_EQ(Recharset("<?xml version=\"1.0\" encoding='UTF-8'?>\n" + rest, "ISO-8859-1"),
              "<?xml version=\"1.0\" encoding='ISO-8859-1'?>\n" + latin);
    // Written in UTF-8, a declaration without an encoding says so already.
    EXPECT_EQ(Recharset("<?xml version=\"1.0\"?>\n" + latin, "UTF-8"),
              "<?xml version=\"1.0\"?>\n" + Replaced(Replaced(latin, "ISO-8859-1", "UTF-8"), "Caf\xE9", "Caf\xC3\xA9"));
}

// What a new charset lacks inside scripts and style sheets is written in their own escapes,
// which they read; where none is read, the page is refused, naming the character.
TEST_F(CharsetChangeTest, ScriptsAndStylesGetTheirOwnEscapesOrThePageIsRefused)
{
    const std::string head = "<style>li:before{content:\"\xE2\x80\xA2\"} .a:after{content:\"\xE2\x86\x92" "a\"}</style>\n"
                             "<script>var s=\"\xE2\x86\x92\", t='\\\xE2\x86\x92', e=\"\xF0\x9F\x98\x80\"; "
                             "// \xE2\x80\x94 caf\xC3\xA9\n</script>\n";
    const std::string page = Page("utf-8", head, "<p>\xE2\x86\x92 caf\xC3\xA9</p>");
    EXPECT_EQ(Recharset(page, "ISO-8859-1"),
              Page("ISO-8859-1",
                   "<style>li:before{content:\"\\2022\"} .a:after{content:\"\\2192 a\"}</style>\n"
                   "<script>var s=\"\\u2192\", t='\\u2192', e=\"\\uD83D\\uDE00\"; // \\u2014 caf\xE9\n</script>\n",
                   "<p>&#8594; caf\xE9</p>"));
    EXPECT_TRUE(m_strRefusal.empty()) << m_strRefusal;
    // A character in the script's code itself, and in a script that is a template.
    Recharset(Page("utf-8", "<script>var \xCF\x80 = 3.14;</script>\n", "x"), "ISO-8859-1");
    EXPECT_EQ(m_strRefusal, "Not saved: ISO-8859-1 has no character \"\xCF\x80\" (U+03C0), which stands in a script's "
                            "code, where neither a character reference nor an escape would be read. The page was left "
                            "as it was, and its edits are kept.");
    Recharset(Page("utf-8", "", "<script type=\"text/x-template\"><b>\xE2\x86\x92</b></script>"), "windows-1252");
    EXPECT_NE(m_strRefusal.find("(U+2192), which stands in a script of type \"text/x-template\""), std::string::npos)
        << m_strRefusal;

    // An inline SVG picture's CDATA sections read no references: its style sheet and script get
    // their escapes there, and a section of another element refuses the page.
    const std::string svg = "<svg><style><![CDATA[ text::before { content: \"\xE2\x80\xA2\"; } ]]></style><script><![CDATA["
                            " var s = \"\xE2\x86\x92\"; ]]></script><text>\xE2\x80\xA2 caf\xC3\xA9</text></svg>";
    EXPECT_EQ(Recharset(Page("utf-8", "", svg), "ISO-8859-1"),
              Page("ISO-8859-1", "", "<svg><style><![CDATA[ text::before { content: \"\\2022\"; } ]]></style><script>"
                                     "<![CDATA[ var s = \"\\u2192\"; ]]></script><text>&#8226; caf\xE9</text></svg>"));
    EXPECT_TRUE(m_strRefusal.empty()) << m_strRefusal;
    Recharset(Page("utf-8", "", "<svg><text><![CDATA[\xE2\x80\xA2]]></text></svg>"), "ISO-8859-1");
    EXPECT_NE(m_strRefusal.find("(U+2022), which stands in a CDATA section of its <text> element"), std::string::npos)
        << m_strRefusal;
}

// A page is converted only when all of its bytes read in its own charset.
TEST_F(CharsetChangeTest, APageWhoseBytesDoNotAllReadIsNotConverted)
{
    const std::string sjis = Page("Shift_JIS", "<title>\x93\xFA\x96\x7B</title>\n", "\x82\xA0\x82\xA2");
    EXPECT_EQ(Recharset(sjis, "UTF-8"), Page("UTF-8", "<title>\xE6\x97\xA5\xE6\x9C\xAC</title>\n",
                                             "\xE3\x81\x82\xE3\x81\x84"));
    EXPECT_TRUE(m_strRefusal.empty()) << m_strRefusal;
    // A stray byte: a lead byte without its second.
    const std::string stray = Page("Shift_JIS", "<title>\x93\xFA\x96\x7B</title>\n", "\x82\xA0 \x82 \x82\xA2");
    const std::string out = Recharset(stray, "UTF-8");
    EXPECT_EQ(out.find("&#65533;"), std::string::npos);
    EXPECT_EQ(m_strRefusal, "Not saved: its bytes do not all read as Shift_JIS, the charset it is in (the first that "
                            "does not is byte " + std::to_string(stray.find("\x82 \x82")) + ", 0x82), so it cannot be "
                            "converted to UTF-8. The page was left as it was, and its edits are kept.");
    // A UTF-8 page with a stray Latin-1 byte, given Latin-1.
    Recharset(Page("utf-8", "<title>Caf\xC3\xA9</title>\n", "\xE9t\xE9"), "ISO-8859-1");
    EXPECT_NE(m_strRefusal.find("do not all read as UTF-8"), std::string::npos) << m_strRefusal;
}

// A page whose bytes read two ways is written as the user took it in the Preview, where that
// loses no character; a way taken that would leaves the page alone, and the refusal says what was
// taken and names the ways that are left. A page with UTF-8 characters among bytes of its own
// charset is not converted from that charset, which would write each of them as two letters.
TEST_F(CharsetChangeTest, AWayTakenForAPageInDoubtIsCarriedOutOnlyWhereItLosesNoText)
{
    const std::string latin = Page("windows-1252", "<title>Ni\xC3\xB1o</title>\n", "<p>Ni\xF1os.</p>\n");
    const std::string hebrew = Page("ISO-8859-8", "<title>\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D</title>\n",
                                    "<p>\xF9\xEC\xE5\xED \xF2\xE5\xEC\xED, \xE6\xE4\xE5 \xE3\xF3.</p>\n");
    const std::string twice = "windows-1252 reads the bytes of its UTF-8 characters as other letters, \"\xC3\xB1\" as "
                              "\"\xC3\x83\xC2\xB1\"";
    const std::string noUtf8 = "UTF-8 does not read byte ";
    const struct {
        const std::string& page;
        CharsetChoice taken;
        std::string refusal; // empty: written
    } rows[] = {
        {kBrands, CharsetChoice::Convert, ""},
        {kBrands, CharsetChoice::KeepBytes, ""},
        {latin, CharsetChoice::Convert,
         "It was to be converted from windows-1252, as taken in View > Changes, but that would lose text. No way keeps "
         "all of its text: it cannot be converted from windows-1252, for " + twice + ", and its bytes cannot be kept, "
         "declared UTF-8, for " + noUtf8 + std::to_string(latin.find('\xF1')) + " (0xF1)."},
        {latin, CharsetChoice::KeepBytes,
         "Its bytes were to be kept, declared UTF-8, as taken in View > Changes, but that would leave text unreadable."},
        {hebrew, CharsetChoice::Convert,
         "It was to be converted from ISO-8859-8, as taken in View > Changes, but that would lose text. No way keeps "
         "all of its text: it cannot be converted from ISO-8859-8, for ISO-8859-8 does not read byte "},
    };
    for (const auto& row : rows) {
        // The Preview shows the page in doubt; the way is taken on what it showed.
        CMetaContent* pContent = nullptr;
        m_edits.AddContent("Content-Type", "text/html; charset=UTF-8", 1, pContent);
        Rewrite(row.page);
        ASSERT_NE(m_strRefusal.find("View > Changes shows how"), std::string::npos) << m_strRefusal;
        pContent->SetModified(1);
        pContent->SetCharsetWay({row.taken, m_choices.strSource, m_choices.nChecksum});
        const std::string out = Rewrite(row.page);
        m_edits.DeleteAll();
        if (row.refusal.empty()) {
            EXPECT_TRUE(m_strRefusal.empty()) << m_strRefusal;
            EXPECT_EQ(out, Declared(row.taken == CharsetChoice::Convert ? Iconv(row.page, "WINDOWS-1252") : row.page, "UTF-8"));
            continue;
        }
        EXPECT_NE(m_strRefusal.find(row.refusal), std::string::npos) << m_strRefusal << "\n" << row.refusal;
    }
}

// A way taken holds for the bytes the Preview showed, read from the charset it showed them in:
// a page still in doubt that changed since, or reads otherwise, is left alone, the line telling
// what was taken and naming the ways on, and is asked of again.
TEST_F(CharsetChangeTest, AWayTakenIsNotCarriedOutOnAPageChangedSince)
{
    const std::string& shown = kBrands;
    CMetaContent* pContent = nullptr;
    m_edits.AddContent("Content-Type", "text/html; charset=UTF-8", 1, pContent);
    Rewrite(shown);
    const CharsetChoices choices = m_choices;
    ASSERT_EQ(choices.strSource, "windows-1252");
    const std::string changed = Replaced(shown, "Line 7 ", "Line 8 ");
    const struct {
        std::string page;
        CharsetWay way;
        const char* pszTaken;
    } rows[] = {
        {changed, {CharsetChoice::Convert, choices.strSource, choices.nChecksum},
         "It was to be converted from windows-1252, as taken in View > Changes, but the page has changed since."},
        {changed, {CharsetChoice::KeepBytes, choices.strSource, choices.nChecksum},
         "Its bytes were to be kept, declared UTF-8, as taken in View > Changes, but the page has changed since."},
        {shown, {CharsetChoice::Convert, "ISO-8859-15", choices.nChecksum},
         "It was to be converted from ISO-8859-15, as taken in View > Changes, but the page has changed since."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszTaken);
        pContent->SetModified(1);
        pContent->SetCharsetWay(row.way);
        Rewrite(row.page);
        EXPECT_NE(m_strRefusal.find(std::string(row.pszTaken) + " View > Changes shows how each way reads: take there "
                                    "the one meant"), std::string::npos) << m_strRefusal;
    }
    // Taken again on the bytes as they are, the way is carried out.
    pContent->SetModified(1);
    Rewrite(changed);
    pContent->SetModified(1);
    pContent->SetCharsetWay({CharsetChoice::Convert, m_choices.strSource, m_choices.nChecksum});
    EXPECT_EQ(Rewrite(changed), Declared(Iconv(changed, "WINDOWS-1252"), "UTF-8"));
    EXPECT_TRUE(m_strRefusal.empty()) << m_strRefusal;
}

// Only the page's own declarations of its charset change: a META tag's CHARSET and its
// Content-Type, not the word in another tag's value.
TEST_F(CharsetChangeTest, OnlyThePagesOwnDeclarationsChange)
{
    const std::string head = "<meta property=\"og:note\" content=\"a charset=koi8-r\">\n<meta charset=\"ISO-8859-1\">\n"
                             "<meta name=\"description\" content=\"use charset=latin1\">\n";
    const std::string page = "<html><head>" + head + "<title>Caf\xE9</title></head><body>x</body></html>\n";
    EXPECT_EQ(Recharset(page, "UTF-8"),
              "<html><head><meta property=\"og:note\" content=\"a charset=koi8-r\">\n<meta charset=\"UTF-8\">\n"
              "<meta name=\"description\" content=\"use charset=latin1\">\n<title>Caf\xC3\xA9</title></head><body>x</body></html>\n");
}

// Korean and Japanese pages as a web server's manual holds them: their Hangul, kanji and
// half-width katakana make pairs that read as UTF-8, which no longer refuse them. Declared (by a
// META tag or the XML declaration), they are converted from their charset; undeclared or
// labelled ISO-8859-1, they are taken to be in the charset given, and refused another.
TEST_F(CharsetChangeTest, KoreanAndJapanesePagesWhosePairsLookLikeUtf8AreConvertedFromTheirCharset)
{
    const struct {
        const char* pszCharset;
        std::string head, body;
    } sites[] = {
        {"EUC-KR", "<title>Apache HTTP 서버 버전 2.4 문서 - 한국어</title>\n",
         "<p>이 문서는 아파치 웹서버의 설치와 설정을 설명합니다. 한국어 번역은 최신 영문판과 다를 수 있습니다.</p>"},
        {"Shift_JIS", "<title>日本語のマニュアル ｱﾊﾟｯﾁ</title>\n",
         "<p>ウェブサーバーの設定と起動を説明します。ｻｰﾊﾞｰ の文書です。</p>"},
    };
    for (const auto& site : sites) {
        SCOPED_TRACE(site.pszCharset);
        const std::string cs = site.pszCharset;
        const std::string utf8 = Page("UTF-8", site.head, site.body);
        const std::string declared = Iconv(Page(cs, site.head, site.body), "UTF-8", cs);
        CUtf8Census census;
        census.Add(declared.data(), declared.size());
        ASSERT_TRUE(census.HasMultibyte()) << "no pair of the page reads as UTF-8";

        EXPECT_EQ(Recharset(declared, "UTF-8"), utf8);
        EXPECT_EQ(m_change, CharsetChange::Converted);
        EXPECT_EQ(m_source.evidence, CharsetEvidence::Declaration);
        EXPECT_EQ(Recharset(utf8, cs), declared);

        const std::string xml = "<?xml version=\"1.0\" encoding=\"" + cs + "\"?>\n<html><head>\n" + site.head +
                                "</head><body>" + site.body + "</body></html>\n";
        EXPECT_EQ(Recharset(Iconv(xml, "UTF-8", cs), "UTF-8"), Declared(Replaced(xml, cs, "UTF-8"), "UTF-8", " />"));
        EXPECT_EQ(m_source.evidence, CharsetEvidence::Declaration);

        const std::string plain = "<html><head>\n" + site.head + "</head><body>" + site.body + "</body></html>\n";
        const std::string undeclared = Iconv(plain, "UTF-8", cs);
        EXPECT_EQ(Recharset(undeclared, cs), Declared(undeclared, cs));
        EXPECT_EQ(m_change, CharsetChange::Relabelled);
        // Given UTF-8, an undeclared page is not converted from the guess: it is left alone, the
        // guess named.
        EXPECT_EQ(Recharset(undeclared, "UTF-8"), Declared(undeclared, "UTF-8"));
        EXPECT_EQ(m_strPageCharset, cs);
        EXPECT_NE(m_strRefusal.find("they look like " + cs + ", but that is only a guess"), std::string::npos)
            << m_strRefusal;
        // Its first byte beyond ASCII far from its start (a style sheet before the title): the
        // guess is made from the bytes there. The head's end lies beyond where browsers look for
        // a declaration: the one added goes after the head's start tag.
        const std::string late = "<html><head>\n<style>/*" + std::string(3000, '-') + "*/</style>\n" + site.head
            + "</head><body>" + site.body + "</body></html>\n";
        EXPECT_EQ(Recharset(Iconv(late, "UTF-8", cs), cs),
                  Replaced(Iconv(late, "UTF-8", cs), "<head>", "<head>\n<meta http-equiv=\"Content-Type\" "
                                                               "content=\"text/html; charset=" + cs + "\">"));
        EXPECT_EQ(m_strPageCharset, cs);

        const std::string mislabelled = Iconv(Page("ISO-8859-1", site.head, site.body), "UTF-8", cs);
        EXPECT_EQ(Recharset(mislabelled, cs), Replaced(mislabelled, "ISO-8859-1", cs));
        EXPECT_EQ(m_change, CharsetChange::Relabelled);
        EXPECT_TRUE(m_strRefusal.empty()) << m_strRefusal;
        // Given UTF-8, which its bytes do not read in, it is not converted from the label they
        // contradict.
        Recharset(mislabelled, "UTF-8");
        EXPECT_NE(m_strRefusal.find("its bytes are not the ISO-8859-1 text it declares"), std::string::npos)
            << m_strRefusal;
    }
}

// A Latin-1 page's accented capital before a no-break space or a guillemet ("CAFÉ" and a
// no-break space) makes a pair that reads as UTF-8 by chance: the page is Latin-1 all the same,
// converted from what it declares.
TEST_F(CharsetChangeTest, LatinPagesWithAccentedCapitalsBeforeANoBreakSpaceAreConverted)
{
    const std::string head = "<title>CAFÉ\u00A0» CRÈME BRÛLÉE</title>\n";
    const std::string body = "<p>L'été à Noël, ÉTÉ\u00A0« à la française ».</p>";
    const std::string declared = Iconv(Page("ISO-8859-1", head, body), "UTF-8", "ISO-8859-1");
    ASSERT_NE(declared.find("CAF\xC9\xA0\xBB"), std::string::npos);
    EXPECT_EQ(Recharset(declared, "UTF-8"), Page("UTF-8", head, body));
    EXPECT_TRUE(m_strRefusal.empty()) << m_strRefusal;
    EXPECT_EQ(m_change, CharsetChange::Converted);
    // Undeclared, it is read as the guess, but not converted from it.
    const std::string plain = Iconv("<html><head>\n" + head + "</head><body>" + body + "</body></html>\n", "UTF-8",
                                    "ISO-8859-1");
    EXPECT_EQ(Recharset(plain, "UTF-8"), Declared(plain, "UTF-8"));
    EXPECT_EQ(m_strPageCharset, "windows-1252");
    EXPECT_NE(m_strRefusal.find("it declares no charset"), std::string::npos) << m_strRefusal;
}

// A page that declares its charset by "<meta charset>" keeps that one declaration, naming the
// charset given; a Content-Type emptied takes it out, and the copy will be read by the guess; one
// that names no charset takes its place.
TEST_F(CharsetChangeTest, AMetaCharsetPageKeepsOneDeclaration)
{
    const std::string html5 = "<!DOCTYPE html>\n<html><head>\n<meta charset=\"UTF-8\">\n<title>서버 문서 - 한국어</title>\n"
                              "</head><body><p>이 문서는 아파치 웹서버의 설치와 설정을 설명합니다.</p></body></html>\n";
    const std::string euckr = Iconv(Replaced(html5, "UTF-8", "EUC-KR"), "UTF-8", "EUC-KR");
    EXPECT_EQ(Recharset(html5, "EUC-KR"), euckr);
    EXPECT_EQ(m_change, CharsetChange::Converted);

    Edit("Content-Type", "");
    EXPECT_EQ(Rewrite(euckr), Replaced(euckr, "<meta charset=\"EUC-KR\">\n", ""));
    EXPECT_EQ(m_change, CharsetChange::Undeclared);
    EXPECT_EQ(m_source.evidence, CharsetEvidence::Declaration);
    EXPECT_EQ(m_after.evidence, CharsetEvidence::Guess);
    m_edits.DeleteAll();
    Edit("Content-Type", "text/html");
    EXPECT_EQ(Rewrite(html5), Replaced(html5, "<meta charset=\"UTF-8\">",
                                       "<meta http-equiv=\"Content-Type\" content=\"text/html\">"));
    EXPECT_EQ(m_change, CharsetChange::Undeclared);
    EXPECT_EQ(m_after.charset.GetName(), "UTF-8");
    // A page of ASCII alone loses its declaration too, and is told so.
    const std::string ascii = "<html><head>\n<meta charset=\"ISO-8859-2\">\n<title>Plain</title>\n</head><body>x</body></html>\n";
    m_edits.DeleteAll();
    Edit("Content-Type", "text/html");
    EXPECT_EQ(Rewrite(ascii), Replaced(ascii, "<meta charset=\"ISO-8859-2\">",
                                       "<meta http-equiv=\"Content-Type\" content=\"text/html\">"));
    EXPECT_EQ(m_change, CharsetChange::Undeclared);
    EXPECT_EQ(m_source.charset.GetName(), "ISO-8859-2");
}

// A chapter in Romanian as its own charset writes it, the s and t with a comma below, which
// windows-1250 and ISO-8859-2 have with a cedilla instead.
const legacy_site::GuidePage kRomanian{
    "Capitolul 6. Aplicații de rețea",
    "<h1>Capitolul 6. Aplicații de rețea</h1>\n"
    "<p>După ce ați stabilit conexiunea la rețea, puteți instala diverse aplicații de rețea. Acest capitol descrie "
    "cele mai folosite: navigatorul web, clientul de poștă electronică, serverul de poștă și instrumentele de acces "
    "de la distanță.</p>\n"
    "<p>Navigatorul este instrumentul cel mai folosit pentru a consulta paginile rețelei. Este bine să verificați "
    "des actualizările de securitate, deoarece breșele găsite în navigatoare sunt exploatate repede.</p>\n"
    "<h2>6.1. Serverul de poștă</h2>\n"
    "<p>Dacă doriți să configurați un server de poștă, alegeți mai întâi agentul de transport. Sistemul oferă "
    "implicit un agent ușor, care ajunge pentru cele mai multe stații de lucru.</p>\n"};

// The start of a Czech guide, written on a Mac: ISO-8859-2 reads its í, á and Č as control
// characters inside words, and no charset a page is read in reads them as letters.
const legacy_site::GuidePage kCzechWelcome{
    "Kapitola 6. Síťové aplikace",
    "<h1>Kapitola 6. Síťové aplikace</h1>\n"
    "<p>Vítejte na našich stránkách. Najdete zde informace o výrobcích, otevírací době a cenách. Těšíme se na vaši "
    "návštěvu.</p>\n"};

// Pages of a guide as an old site holds them, each given a charset in its Content-Type: the page
// is written so that its text read in the new charset is its text before, its bytes kept or
// converted; or it is refused by name, and the save leaves it as it was. A page is converted only
// from a charset that is known, and a label its bytes contradict is not converted from.
TEST_F(CharsetChangeTest, PagesAreRelabelledConvertedOrRefusedByWhatTheirBytesAre)
{
    using namespace legacy_site;
    enum class Outcome { Relabelled, Converted, Refused };
    const struct {
        const GuidePage& page;
        const char* pszBytes; // the charset the page's bytes are in
        const char* pszLabel; // what it declares; null: nothing
        const char* pszGiven;
        Outcome outcome;
        const char* pszRefusal; // what the refusal says
    } rows[] = {
        {kFrench, "WINDOWS-1252", nullptr, "windows-1252", Outcome::Relabelled, nullptr},
        {kFrench, "WINDOWS-1252", nullptr, "UTF-8", Outcome::Refused,
         "it declares no charset, and its bytes, neither ASCII nor UTF-8, do not read as UTF-8 text: they look like "
         "windows-1252, but that is only a guess from its text. View > Changes shows how each way reads: take there "
         "the one meant (converted from windows-1252)"},
        {kRussian, "WINDOWS-1251", nullptr, "windows-1251", Outcome::Relabelled, nullptr},
        {kRussian, "WINDOWS-1251", nullptr, "UTF-8", Outcome::Refused,
         "they look like windows-1251, but that is only a guess from its text."},
        {kRussian, "WINDOWS-1251", nullptr, "windows-1252", Outcome::Refused,
         "do not read as windows-1252 text: they look like windows-1251"},
        {kChinese, "GBK", nullptr, "GBK", Outcome::Relabelled, nullptr},
        {kChinese, "GBK", nullptr, "UTF-8", Outcome::Refused, "they look like gb18030, but that is only a guess"},
        {kChinese, "GBK", nullptr, "EUC-JP", Outcome::Refused, "do not read as EUC-JP text: they look like gb18030"},
        {kJapanese, "SHIFT_JIS", nullptr, "Shift_JIS", Outcome::Relabelled, nullptr},
        {kJapanese, "SHIFT_JIS", "ISO-8859-1", "UTF-8", Outcome::Refused,
         "its bytes are not the ISO-8859-1 text it declares: ISO-8859-1 reads them as control characters or bytes it "
         "leaves undefined (the first is byte "},
        {kJapanese, "SHIFT_JIS", "ISO-8859-1", "Shift_JIS", Outcome::Relabelled, nullptr},
        {kCzechWelcome, "MAC-CENTRALEUROPE", "ISO-8859-2", "UTF-8", Outcome::Refused,
         "its bytes are not the ISO-8859-2 text it declares: ISO-8859-2 reads them as control characters or bytes it "
         "leaves undefined (the first is byte 106, 0x92, in the word \"S<U+0092>\u00E9ov<U+008E>\")"},
        {kCzech, "MAC-CENTRALEUROPE", "ISO-8859-2", "UTF-8", Outcome::Refused,
         "leaves undefined (the first is byte 106, 0x92), and ISO-8859-2 reads byte 106 (0x92) in the word "
         "\"S<U+0092>\u00E9ov<U+008E>\", where windows-1254 reads \"S\u2019\u00E9ov<U+008E>\"."},
        {kRussian, "WINDOWS-1251", "ISO-8859-1", "UTF-8", Outcome::Refused,
         "its bytes are not the ISO-8859-1 text it declares: their text reads likelier in windows-1251 than in "
         "ISO-8859-1: ISO-8859-1 reads byte 93 (0xC3) in the word \"\u00C3\u00EB\u00E0\u00E2\u00E0\", where windows-1251 "
         "reads \"\u0413\u043B\u0430\u0432\u0430\". View > Changes shows how each way reads: take there the one meant "
         "(converted from ISO-8859-1 or converted from windows-1251), and save again."},
        {kRussian, "WINDOWS-1251", "ISO-8859-1", "windows-1251", Outcome::Relabelled, nullptr},
        {kNestle, "ISO-8859-1", "ISO-8859-1", "UTF-8", Outcome::Converted, nullptr},
        {kCafe, "WINDOWS-1252", "windows-1252", "UTF-8", Outcome::Converted, nullptr},
        {kFuss, "WINDOWS-1252", "windows-1252", "UTF-8", Outcome::Converted, nullptr},
        {kGrosse, "ISO-8859-1", "ISO-8859-1", "UTF-8", Outcome::Converted, nullptr},
        {kGroesse, "UTF-8", "ISO-8859-1", "UTF-8", Outcome::Relabelled, nullptr},
        {kNaive, "UTF-8", "ISO-8859-1", "UTF-8", Outcome::Relabelled, nullptr},
        // The charset typed reads the letters of a long page otherwise than its label: both
        // readings are put to the user, in words that say so.
        {kRomanian, "ISO-8859-16", "windows-1250", "ISO-8859-16", Outcome::Refused,
         "its label, windows-1250, and ISO-8859-16, the charset given, read its letters differently: byte "},
        {kNestle, "ISO-8859-1", nullptr, "UTF-8", Outcome::Refused,
         "its bytes read as UTF-8 and also as windows-1252 (a guess from too little text to be sure)"},
    };
    for (const auto& row : rows) {
        const std::string declaration = row.pszLabel != nullptr ? ContentType(row.pszLabel) : std::string();
        const std::string text = legacy_site::Page(row.page, declaration);
        const std::string page = Iconv(text, "UTF-8", row.pszBytes);
        SCOPED_TRACE(std::string(row.page.pszTitle) + " in " + row.pszBytes + " labelled " +
                     (row.pszLabel != nullptr ? row.pszLabel : "nothing") + ", given " + row.pszGiven);
        ASSERT_EQ(Iconv(page, row.pszBytes), text) << "the page was not made";
        const std::string out = Recharset(page, row.pszGiven);
        if (row.outcome == Outcome::Refused) {
            EXPECT_NE(m_strRefusal.find(row.pszRefusal), std::string::npos) << m_strRefusal;
            // No page is told to declare a charset before its way on is shown.
            EXPECT_EQ(m_strRefusal.find("the charset it is in first"), std::string::npos) << m_strRefusal;
            continue;
        }
        EXPECT_TRUE(m_strRefusal.empty()) << m_strRefusal;
        EXPECT_EQ(m_change, row.outcome == Outcome::Relabelled ? CharsetChange::Relabelled : CharsetChange::Converted);
        // Read in its new charset, the page holds its text as before, but for its declaration.
        const std::string expected = row.pszLabel != nullptr ? legacy_site::Page(row.page, ContentType(row.pszGiven))
                                                             : Declared(text, row.pszGiven);
        EXPECT_EQ(Iconv(out, row.pszGiven), expected);
        if (row.outcome == Outcome::Relabelled) {
            EXPECT_EQ(out, row.pszLabel != nullptr ? Replaced(page, row.pszLabel, row.pszGiven) : Declared(page, row.pszGiven));
        }
    }
}

} // namespace
