// Titles typed into pages in the legacy charsets of East Asia, saved: the bytes of their
// characters hold "<", ">", "~" and "\", which are no markup there, and each title the user typed
// is what the page on disk reads, save after save, with nothing else of the page changed.
#include "EngineTestSupport.h"
#include "MessageSink.h"
#include "support/IconvProgram.h"
#include "support/LegacySitePages.h"

#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "platform/core/CodePage.h"

#include <memory>
#include <string>
#include <vector>

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

// UTF-8 text with the decimal character references in it read as the characters they stand for.
std::string ReferencesRead(const std::string& text)
{
    std::string read;
    for (size_t at = 0; at < text.size(); ++at) {
        const size_t nEnd = text.find(';', at);
        if (text.compare(at, 2, "&#") != 0 || nEnd == std::string::npos
            || text.find_first_not_of("0123456789", at + 2) != nEnd) {
            read += text[at];
            continue;
        }
        Utf8Encode(static_cast<char32_t>(std::stoul(text.substr(at + 2, nEnd - at - 2))), read);
        at = nEnd;
    }
    return read;
}

// The text between the first "<title>" and the "</title>" after it; "<none>" when there is none.
std::string TitleOf(const std::string& text)
{
    const size_t nStart = text.find("<title>");
    const size_t nEnd = text.find("</title>", nStart);
    if (nStart == std::string::npos || nEnd == std::string::npos)
        return "<none>";
    return text.substr(nStart + 7, nEnd - nStart - 7);
}

// Whether the page's bytes are those it had before but its title's, which ASCII tags enclose.
::testing::AssertionResult OnlyTitleDiffers(const std::string& before, const std::string& saved)
{
    const size_t nStart = before.find("<title>") + 7;
    const size_t nEnd = saved.find("</title>");
    if (nEnd == std::string::npos || saved.compare(0, nStart, before, 0, nStart) != 0)
        return ::testing::AssertionFailure() << "the page differs before its title";
    if (saved.substr(nEnd) != before.substr(before.find("</title>")))
        return ::testing::AssertionFailure() << "the page differs after its title";
    return ::testing::AssertionSuccess();
}

// A charset, the name the C library's converter knows it by, and three titles whose bytes in it
// hold the ASCII bytes named inside a character: the page's own, then the two the user types.
struct TitledCharset {
    const char* pszName;
    const char* pszConverter;
    const char* pszBytes; // the ASCII bytes the titles' characters hold
    const char* pszTitles[3];
    const char* pszDescription;
    const char* pszBody;
};

const TitledCharset kLegacyCharsets[] = {
    {"ISO-2022-JP", "ISO-2022-JP", "<>~",
     {"ソフトの入手", "入手と設定、昇る", "昇る (入手)"}, "あうの設定", "<p>ソフトの入手と設定</p>\n"},
    {"Shift_JIS", "CP932", "\\~",
     {"ソフトの表示", "能力とミラー", "表示 - ソフト"}, "あうの設定", "<p>ソフトの表示と能力</p>\n"},
    {"Big5", "BIG5", "\\",
     {"功能", "許可與功能", "功能 (許可)"}, "功能說明", "<p>許可與功能</p>\n"},
    {"GBK", "GBK", "\\",
     {"乗客", "乗客與乗務", "乗務 - 乗客"}, "乗客说明", "<p>乗客與乗務</p>\n"},
};

std::string LegacyPageText(const TitledCharset& charset, const std::string& title)
{
    // The description before the title: in ISO-2022-JP its characters hold a quote and an "&".
    return std::string("<html><head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=") + charset.pszName
         + "\">\n<meta name=\"description\" content=\"" + charset.pszDescription + "\">\n<title>" + title + "</title>\n</head><body>\n"
         + charset.pszBody + "</body></html>\n";
}

class LegacyTitleSaveTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_pModel->GetMetaSettings().SetDefaults();
        m_pModel->SetProjectSettings(std::make_unique<CProjectSettings>());
        m_root.SetKind(CPageNode::kindRoot);
    }

    CPageNode* AddPage(const fs::path& path, const std::string& bytes, const std::string& title)
    {
        WriteFileBytes(path, bytes);
        auto pPage = std::make_unique<CPageNode>();
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetScanState(0);
        pPage->SetName(path.filename().c_str());
        pPage->SetFolder(path.parent_path().c_str());
        pPage->SetTitle(title.c_str());
        NoteFileAsScanned(*pPage);
        CMetaContentList* pList = nullptr;
        pPage->CreateContentList(pList);
        CPageNode* p = pPage.get();
        m_root.AddChild(pPage.release());
        return p;
    }

    // The lines the save told, by the page's name as they have it.
    // The bytes in one charset in another, by the system's converter.
    std::string Iconv(const std::string& bytes, const std::string& from, const std::string& to)
    {
        return iconv_program::Convert(bytes, from, to, (TempDir() / "iconv.scratch").string());
    }

    std::vector<std::string> Save(CSelNodesCol& selection)
    {
        MessageSink sink;
        EXPECT_EQ(m_engine.StartSave(selection, sink.Handle(), sink.Handle()), 0u);
        EXPECT_TRUE(sink.WaitFor(kMsgSaveFinished));
        return sink.Lines();
    }

    CParserEngine m_engine;
    CPageNode m_root;
};

} // namespace

// Each page's title is typed anew twice, a save after each: read in its charset, the page on disk
// holds the title typed, and its bytes are those of the page with that title in every other place.
TEST_F(LegacyTitleSaveTest, ATitleWhoseBytesHoldMarkupCharactersIsWrittenSaveAfterSave)
{
    std::vector<CPageNode*> pages;
    std::vector<std::string> before;
    CSelNodesCol selection;
    for (const TitledCharset& charset : kLegacyCharsets) {
        for (const char* pszTitle : charset.pszTitles) {
            // What the test rests on: the title holds none of the bytes as a character of its own,
            // and its characters hold one of them.
            const std::string bytes = Iconv(pszTitle, "UTF-8", charset.pszConverter);
            ASSERT_NE(bytes.rfind("(not ", 0), 0u) << charset.pszName << ": " << pszTitle;
            EXPECT_EQ(std::string(pszTitle).find_first_of(charset.pszBytes), std::string::npos) << pszTitle;
            EXPECT_NE(bytes.find_first_of(charset.pszBytes), std::string::npos) << charset.pszName << ": " << pszTitle;
        }
        const std::string page = Iconv(LegacyPageText(charset, charset.pszTitles[0]), "UTF-8", charset.pszConverter);
        ASSERT_NE(page.rfind("(not ", 0), 0u) << charset.pszName;
        before.push_back(page);
        CPageNode* pPage = AddPage(TempDir() / (std::string(charset.pszName) + ".htm"), page, charset.pszTitles[0]);
        pages.push_back(pPage);
        selection.AddTail(pPage);
    }
    for (int nEdit = 1; nEdit <= 2; ++nEdit) {
        for (size_t i = 0; i < pages.size(); ++i) {
            pages[i]->SetTitle(kLegacyCharsets[i].pszTitles[nEdit]);
            pages[i]->SetTitleModified(1);
        }
        const std::vector<std::string> lines = Save(selection);
        EXPECT_TRUE(lines.empty()) << "save " << nEdit << ": " << lines.front();
        for (size_t i = 0; i < pages.size(); ++i) {
            const TitledCharset& charset = kLegacyCharsets[i];
            SCOPED_TRACE(std::string(charset.pszName) + ", save " + std::to_string(nEdit));
            const std::string saved = ReadFileBytes(TempDir() / (std::string(charset.pszName) + ".htm"));
            const std::string text = Iconv(saved, charset.pszConverter, "UTF-8");
            EXPECT_EQ(TitleOf(text), charset.pszTitles[nEdit]);
            EXPECT_EQ(text, LegacyPageText(charset, charset.pszTitles[nEdit]));
            EXPECT_TRUE(OnlyTitleDiffers(before[i], saved));
            EXPECT_EQ(pages[i]->GetTitleModified(), 0u);
        }
    }
}

// Pages whose label names another charset than their bytes are in, as the charset detector reads
// them, each given a title typed anew: the title is written as references, so that it reads as
// typed in the charset the label names and in the one the bytes are in, and nothing else of the
// page changes. A page whose label is right gets the title in its own bytes.
TEST_F(LegacyTitleSaveTest, ATitleTypedOnAPageItsLabelDoesNotReadReadsRightEitherWay)
{
    const struct {
        const char* pszIn;    // the charset the bytes are in, as the converter names it
        const char* pszLabel; // the charset the page declares, and the converter for it
        const char* pszLabelConverter;
        const legacy_site::GuidePage& text;
        const char* pszTitle;
    } pages[] = {
        {"EUC-JP", "Shift_JIS", "CP932", legacy_site::kJapanese, "ネットワークの設定と入手"},
        {"CP1253", "ISO-8859-1", "CP1252", legacy_site::kGreek, "Καφές — café"},
        {"KOI8-R", "windows-1251", "CP1251", legacy_site::kRussian, "Сетевые приложения"},
        {"EUC-JP", "EUC-JP", "EUC-JP", legacy_site::kJapanese, "ネットワークの設定と入手"},
        {"CP1253", "windows-1253", "CP1253", legacy_site::kGreek, "Καφές και δίκτυο"},
    };
    CSelNodesCol selection;
    std::vector<std::string> before;
    for (size_t i = 0; i < std::size(pages); ++i) {
        const auto& page = pages[i];
        before.push_back(Iconv(legacy_site::Page(page.text, legacy_site::ContentType(page.pszLabel)), "UTF-8", page.pszIn));
        CPageNode* pPage = AddPage(TempDir() / ("p" + std::to_string(i) + ".htm"), before.back(), page.text.pszTitle);
        pPage->SetTitle(page.pszTitle);
        pPage->SetTitleModified(1);
        selection.AddTail(pPage);
    }
    const std::vector<std::string> lines = Save(selection);
    EXPECT_TRUE(lines.empty()) << lines.front();
    for (size_t i = 0; i < std::size(pages); ++i) {
        const auto& page = pages[i];
        SCOPED_TRACE(std::string(page.pszIn) + " labelled " + page.pszLabel);
        const std::string saved = ReadFileBytes(TempDir() / ("p" + std::to_string(i) + ".htm"));
        ASSERT_TRUE(OnlyTitleDiffers(before[i], saved));
        const size_t nStart = saved.find("<title>") + 7;
        const std::string title = saved.substr(nStart, saved.find("</title>") - nStart);
        EXPECT_EQ(ReferencesRead(Iconv(title, page.pszIn, "UTF-8")), page.pszTitle);
        EXPECT_EQ(ReferencesRead(Iconv(title, page.pszLabelConverter, "UTF-8")), page.pszTitle);
        if (std::string(page.pszIn) == page.pszLabelConverter) {
            EXPECT_EQ(title.find("&#"), std::string::npos) << "a right label's page gets the title in its bytes";
        }
    }
}
