// Pages given a charset through the save, byte for byte on disk: every declaration of a page says
// the charset typed, in the name typed; a page whose charset is in doubt or not known is left alone
// with its ways on, each of which the save carries out once taken on the page's bytes; a page
// converted into a charset that lacks some of its letters is told so; and how bytes kept under a
// new declaration read otherwise is counted.
#include "EngineTestSupport.h"
#include "MessageSink.h"
#include "support/EncodingIndexes.h"
#include "support/IconvProgram.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaEditEngine.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/meta/CMetaUndefinedSetting.h"
#include "engine/meta/ReadingChange.h"
#include "engine/project/CPageChecksum.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "platform/core/CMemFile.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace enginetest;

namespace {

std::string WaysReplaced(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// A page's text in UTF-8, with what stands for its declarations.
const std::string kChinese = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n<html><head>\nDECLARATION\n"
                             "<title>网络应用程序</title>\n</head><body>\n<p>在建立网络连接之后，您可以安装各种网络应用程序。"
                             "本章介绍最常用的几种：网页浏览器、电子邮件客户端、邮件服务器以及远程访问工具。</p>\n</body></html>\n";
const std::string kThai = "<html><head>\n<meta charset=\"windows-874\">\n<title>ภาษาไทย</title>\n</head><body>\n"
                          "<p>บทนี้อธิบายการตั้งค่าเครือข่ายและโปรแกรมที่ใช้บ่อยที่สุด</p>\n</body></html>\n";
// A Korean title under a Chinese label, and a Japanese page that declares nothing, short enough
// that its bytes could be taken for anything.
const std::string kKoreanUnderGbk = "<html><head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=GBK\">\n"
                                    "<title>한국어 설명서</title>\n</head><body>\n<p>Manual</p>\n</body></html>\n";
const std::string kShortJapanese = "<html><head>\n<title>はじめに</title>\n</head><body>\n</body></html>\n";
// A price in euros in a page that declares nothing, which the scan reads in the charset of the euro.
const std::string kEuroPrice = "<html><head>\n<title>Tarif</title>\n</head><body>\n<p>Prix : 5 €.</p>\n</body></html>\n";
// A Vietnamese line in windows-1258 under a Latin label.
const std::string kVietnamese = "<html><head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">\n"
                                "<title>Trang chủ</title>\n</head><body>\n<p>Chào mừng các bạn đến với trang của chúng tôi. "
                                "Chúng tôi cung cấp các sản phẩm tốt nhất với giá cả hợp lý cho mọi người.</p>\n"
                                "</body></html>\n";
// A page in UTF-8 whose letters a Latin charset lacks in part.
const std::string kHungarianUtf8 = "<html><head>\n<meta charset=\"utf-8\">\n<title>Tűzfal és őrség</title>\n</head><body>\n"
                               "<p>Grüße aus Győr</p>\n</body></html>\n";

const std::string kUtf8Tag = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">";

class CharsetWaysSaveTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_pModel->GetMetaSettings().SetDefaults();
        m_pModel->SetProjectSettings(std::make_unique<CProjectSettings>());
        AddContentTypeSetting(m_pModel->GetMetaSettings());
        m_root.SetKind(CPageNode::kindRoot);
    }

    // The page written to the site, as a scan read it, with its Content-Type given the value.
    CMetaContent* AddPage(const std::string& name, const std::string& bytes, const std::string& value)
    {
        WriteFileBytes(TempDir() / name, bytes);
        auto pPage = std::make_unique<CPageNode>();
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetScanState(0);
        pPage->SetName(name.c_str());
        pPage->SetFolder(TempDir().c_str());
        NoteFileAsScanned(*pPage);
        CMetaContentList* pList = nullptr;
        pPage->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent("Content-Type", value.c_str(), 1, pContent);
        m_selection.AddTail(pPage.get());
        m_pages[name] = pPage.get();
        m_root.AddChild(pPage.release());
        return pContent;
    }

    // Saves the pages added since the last save; what the Output Area told of each, by its
    // name as the lines have it.
    std::map<std::string, std::string> Save()
    {
        MessageSink sink;
        std::map<std::string, std::string> told;
        EXPECT_EQ(m_engine.StartSave(m_selection, sink.Handle(), sink.Handle()), 0u);
        m_selection.RemoveAll();
        if (!sink.WaitFor(kMsgSaveFinished))
            return told;
        for (const std::string& line : sink.Lines()) {
            std::string& text = told[line.substr(0, line.find(" : "))];
            text += (text.empty() ? "" : "\n") + line.substr(line.find(" : ") + 3);
        }
        return told;
    }

    std::string InCharset(const std::string& utf8, const char* pszCharset)
    {
        return iconv_program::Convert(utf8, "UTF-8", pszCharset, (TempDir() / "scratch").string());
    }

    CParserEngine m_engine;
    CPageNode m_root;
    CSelNodesCol m_selection;
    std::map<std::string, CPageNode*> m_pages;
};

} // namespace

// Every declaration a page holds, the XML declaration's encoding, a "<meta charset>" and a
// Content-Type, says the charset the user typed, in the name typed, also where that is another name
// of the charset the page is in already; nothing else of the page changes.
TEST_F(CharsetWaysSaveTest, EveryDeclarationOfAPageSaysTheCharsetTypedInTheNameTyped)
{
    const std::string metaCharset = WaysReplaced(kChinese, "DECLARATION", "<meta charset=\"GB2312\">");
    const std::string httpEquiv = WaysReplaced(kChinese, "DECLARATION",
                                           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=GB2312\">");
    struct Row {
        const char* pszName;
        std::string page;   // in UTF-8
        const char* pszIn;  // the charset its bytes are in
        std::string typed;
        std::string written; // in UTF-8
    } rows[] = {
        {"gbk-meta.htm", metaCharset, "GB2312", "text/html; charset=GBK", WaysReplaced(metaCharset, "GB2312", "GBK")},
        {"gbk-equiv.htm", httpEquiv, "GB2312", "text/html; charset=GBK", WaysReplaced(httpEquiv, "GB2312", "GBK")},
        {"thai.htm", kThai, "CP874", "text/html; charset=TIS-620", WaysReplaced(kThai, "windows-874", "TIS-620")},
        {"utf8.htm", httpEquiv, "GB2312", "text/html; charset=UTF-8", WaysReplaced(httpEquiv, "GB2312", "UTF-8")},
    };
    for (Row& row : rows) {
        row.page = InCharset(row.page, row.pszIn);
        AddPage(row.pszName, row.page, row.typed);
    }
    std::map<std::string, std::string> told = Save();
    for (const Row& row : rows) {
        const std::string bytes = ReadFileBytes(TempDir() / row.pszName);
        const bool bConverted = row.typed.find("UTF-8") != std::string::npos;
        EXPECT_EQ(bytes, bConverted ? row.written : InCharset(row.written, row.pszIn)) << row.pszName;
        EXPECT_EQ(told[CString(row.pszName).MakeUpper().GetString()], "") << row.pszName;
    }
}

// A page whose charset is in doubt or not known is left alone, its bytes as they were, and the line
// names the ways on the Preview shows, never a charset to declare first; the way taken on its bytes
// is carried out, and one taken on other bytes is not. A conversion that writes letters as
// references says so.
TEST_F(CharsetWaysSaveTest, APageLeftAloneHasItsWaysOnAndTheWayTakenIsCarriedOut)
{
    const std::string korean = InCharset(kKoreanUnderGbk, "EUC-KR");
    const std::string japanese = InCharset(kShortJapanese, "SHIFT_JIS");
    const std::string vietnamese = InCharset(kVietnamese, "CP1258");
    const std::string euro = InCharset(kEuroPrice, "ISO-8859-15");
    struct Row {
        const char* pszName;
        std::string page;
        std::string typed;
        std::vector<std::string> ways; // the ways the line names, in its words
        CharsetWay way;                // the way then taken, on the page's bytes
        std::string written;
    } rows[] = {
        {"korean.htm", korean, "text/html; charset=UTF-8", {"converted from EUC-KR"},
         {CharsetChoice::Convert, "EUC-KR"}, WaysReplaced(kKoreanUnderGbk, "GBK", "UTF-8")},
        {"japanese.htm", japanese, "text/html; charset=UTF-8", {"converted from Shift_JIS"},
         {CharsetChoice::Convert, "Shift_JIS"}, WaysReplaced(kShortJapanese, "</head>", kUtf8Tag + "\n</head>")},
        // Its tone marks stand apart from their letters in windows-1258, and so they are written.
        {"vietnamese.htm", vietnamese, "text/html; charset=UTF-8", {"converted from windows-1258"},
         {CharsetChoice::Convert, "windows-1258"},
         WaysReplaced(encoding_indexes::ReadOneByteAsUtf8("windows-1258", vietnamese), "ISO-8859-1", "UTF-8")},
        // The first way named reads the page as the scan did: "5 €", not "5 ¤"; the other says what
        // it reads otherwise.
        {"euro.htm", euro, "text/html; charset=UTF-8",
         {"converted from ISO-8859-15 or converted from windows-1252",
          "Converted from windows-1252, 1 character reads otherwise: € → ¤."},
         {CharsetChoice::Convert, "ISO-8859-15"}, WaysReplaced(kEuroPrice, "</head>", kUtf8Tag + "\n</head>")},
        // Taken on other bytes: left alone again.
        {"changed.htm", korean, "text/html; charset=UTF-8", {"converted from EUC-KR"},
         {CharsetChoice::Convert, "EUC-KR", 1}, korean},
    };
    std::vector<CMetaContent*> edits;
    for (const Row& row : rows)
        edits.push_back(AddPage(row.pszName, row.page, row.typed));
    CMetaContent* pLatin = AddPage("latin.htm", kHungarianUtf8, "text/html; charset=ISO-8859-2");
    CMetaContent* pWestern = AddPage("western.htm", kHungarianUtf8, "text/html; charset=windows-1252");
    std::map<std::string, std::string> told = Save();
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        const std::string& line = told[CString(row.pszName).MakeUpper().GetString()];
        EXPECT_EQ(ReadFileBytes(TempDir() / row.pszName), row.page) << row.pszName;
        EXPECT_NE(line.find("View > Changes shows how each way reads"), std::string::npos) << row.pszName << ": " << line;
        EXPECT_TRUE(line.find("Declare ") == std::string::npos && line.find(", declare ") == std::string::npos)
            << row.pszName << ": " << line;
        for (const std::string& way : row.ways)
            EXPECT_NE(line.find(way), std::string::npos) << row.pszName << ": " << line;
        CPageChecksum checksum;
        checksum.Add(row.page.data(), row.page.size());
        CharsetWay way = row.way;
        way.nChecksum = way.nChecksum == 0 ? checksum.Get() : checksum.Get() + way.nChecksum;
        edits[i]->SetCharsetWay(way);
        m_selection.AddTail(m_pages[row.pszName]);
    }
    // ISO-8859-2 has every letter of the Hungarian page; windows-1252 lacks ő and ű, written as
    // references, and the line says so.
    EXPECT_EQ(ReadFileBytes(TempDir() / "latin.htm"),
              InCharset(WaysReplaced(kHungarianUtf8, "utf-8", "ISO-8859-2"), "ISO-8859-2"));
    EXPECT_EQ(told["LATIN.HTM"], "");
    EXPECT_EQ(ReadFileBytes(TempDir() / "western.htm"),
              InCharset(WaysReplaced(WaysReplaced(WaysReplaced(kHungarianUtf8, "utf-8", "windows-1252"), "ű", "&#369;"), "ő", "&#337;"),
                        "CP1252"));
    EXPECT_EQ(told["WESTERN.HTM"], "windows-1252 lacks 3 of its characters (the first is \"ű\", U+0171): they were "
                                   "written as character references or escapes, which browsers read as the characters.");
    EXPECT_FALSE(pLatin->GetModified() || pWestern->GetModified());

    told = Save();
    for (const Row& row : rows)
        EXPECT_EQ(ReadFileBytes(TempDir() / row.pszName), row.written) << row.pszName << ": "
                                                                          << told[CString(row.pszName).MakeUpper().GetString()];
    EXPECT_NE(told["CHANGED.HTM"].find("as taken in View > Changes, but the page has changed since"), std::string::npos)
        << told["CHANGED.HTM"];
}

// Bytes kept under a new declaration read otherwise where the two charsets read a byte as other
// letters: each character of the new reading whose bytes the old one reads otherwise counts, the
// first told as each reads it.
TEST(ReadingChangeTest, CountsTheCharactersThatReadOtherwiseUnderTheNewDeclaration)
{
    struct Row {
        std::string bytes;
        const char* pszBefore;
        const char* pszAfter;
        size_t nCount;
        std::string before, after;
        std::string words; // how many, and which, each once
    } rows[] = {
        {"pu\xF2 \xE8 pi\xF9 \xF2", "windows-1252", "windows-1258", 2, "ò", "\u0323",
         "2 characters read otherwise: ò → \u25CC\u0323"},
        {"caf\xE9 \x80", "ISO-8859-1", "windows-1252", 0, "", "", ""},
        {"\xCF\xF0\xE8\xE2\xE5\xF2 ok", "windows-1251", "KOI8-R", 6, "П", "о",
         "6 characters read otherwise: П → о, р → П, и → Х, в → Б, and others"},
        {"\xA4 5", "ISO-8859-1", "ISO-8859-15", 1, "¤", "€", "1 character reads otherwise: ¤ → €"},
        {"caf\xC3\xA9 \xE2\x80\x94 ok", "ISO-8859-1", "UTF-8", 2, "Ã©", "é", "2 characters read otherwise: Ã© → é, â€” → —"},
        {"\xC4\xE3\xBA\xC3", "GB2312", "GBK", 0, "", "", ""},
        {"plain", "UTF-8", "windows-1252", 0, "", "", ""},
        {"Exposici\xF3n\xA2 \xA1Ma\xF1" "ana! \xF1", "ISO-8859-1", "ISO-8859-16", 4, "¢", "ą",
         "4 characters read otherwise: ¢ → ą, ¡ → Ą, ñ → ń"},
    };
    for (const Row& row : rows) {
        const ReadingChange change = CompareReadings(row.bytes, CPageCharset::FromName(row.pszBefore),
                                                     CPageCharset::FromName(row.pszAfter));
        EXPECT_EQ(change.nCount, row.nCount) << row.pszBefore << " to " << row.pszAfter;
        EXPECT_EQ(change.before, row.before) << row.pszBefore << " to " << row.pszAfter;
        EXPECT_EQ(change.after, row.after) << row.pszBefore << " to " << row.pszAfter;
        EXPECT_EQ(change.Describe(), row.words) << row.pszBefore << " to " << row.pszAfter;
        // A long page is compared a piece at a time: pieces cut within a character count alike.
        CReadingComparer pieces(CPageCharset::FromName(row.pszBefore), CPageCharset::FromName(row.pszAfter));
        for (const char byte : row.bytes)
            pieces.Add(std::string_view(&byte, 1));
        EXPECT_EQ(pieces.GetChange().nCount, row.nCount) << row.pszBefore << " to " << row.pszAfter << " in pieces";
        EXPECT_EQ(pieces.GetChange().after, row.after) << row.pszBefore << " to " << row.pszAfter << " in pieces";
    }
}
