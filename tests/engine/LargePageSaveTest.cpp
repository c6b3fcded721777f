// A large page given another charset through the save: the save dialog learns of it as soon as its
// rewrite begins and then how far it came, and a stop in its middle leaves it as it was. A large
// page given a title it lacks is written as it is read.
#include "EngineTestSupport.h"
#include "MessageSink.h"
#include "support/IconvProgram.h"
#include "support/LegacySitePages.h"
#include "support/PeakGrowth.h"

#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaEditEngine.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "platform/core/CFile.h"

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

class LargePageSaveTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_pModel->GetMetaSettings().SetDefaults();
        m_pModel->SetProjectSettings(std::make_unique<CProjectSettings>());
        AddContentTypeSetting(m_pModel->GetMetaSettings());
        m_root.SetKind(CPageNode::kindRoot);
    }
    // The engine waits for its save before the pages and the catalogue it reads go, also where a
    // test left while the save ran.
    void TearDown() override
    {
        m_engine.reset();
        EngineTest::TearDown();
    }

    // A page of the temporary folder as its scan left it, its Content-Type given UTF-8 and, with
    // bHeld, a Held tag, which holds the save there.
    CPageNode* AddPageGivenUtf8(const char* pszName, bool bHeld, CMetaContent** ppContentType = nullptr,
                                CMetaContent** ppHeld = nullptr)
    {
        auto* pPage = new CPageNode;
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetScanState(0);
        pPage->SetName(pszName);
        pPage->SetFolder(TempDir().c_str());
        NoteFileAsScanned(*pPage);
        m_root.AddChild(pPage);
        CMetaContentList* pList = nullptr;
        pPage->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent("Content-Type", "text/html; charset=UTF-8", 1, pContent);
        if (ppContentType != nullptr)
            *ppContentType = pContent;
        if (bHeld)
            pList->AddContent("Held", "h", 1, pContent);
        if (bHeld && ppHeld != nullptr)
            *ppHeld = pContent;
        return pPage;
    }

    CPageNode m_root;
    std::optional<CParserEngine> m_engine{std::in_place};
};

} // namespace

// A Russian page of some megabytes in windows-1251 given UTF-8, held while its head is written,
// after its bytes were judged, and stopped there: the dialog was told of the page and of how far
// it came before any page was done, the save ends stopped, and the page, its folder and its edits
// are as they were.
TEST_F(LargePageSaveTest, AStopInTheMiddleOfALargePageLeavesItAsItWas)
{
    std::string body;
    while (body.size() < (6u << 20))
        body += legacy_site::kRussian.pszBody;
    const legacy_site::GuidePage text{legacy_site::kRussian.pszTitle, body.c_str()};
    const fs::path path = TempDir() / "large.htm";
    const std::string page = iconv_program::Convert(legacy_site::Page(text, legacy_site::ContentType("windows-1251")),
                                                    "UTF-8", "CP1251", (TempDir() / "scratch").string());
    ASSERT_GT(page.size(), 3u << 20) << page.substr(0, 40);
    fs::remove(TempDir() / "scratch");
    WriteFileBytes(path, page);

    auto* pHeld = new HeldTagSetting; // the catalogue owns it
    m_pModel->GetMetaSettings().AddTail(pHeld);
    const HeldTagRelease release{pHeld};
    CMetaContent* pContentType = nullptr;
    CMetaContent* pHeldContent = nullptr;
    CPageNode* pPage = AddPageGivenUtf8("large.htm", true, &pContentType, &pHeldContent);
    CSelNodesCol selection;
    selection.AddTail(pPage);

    MessageSink sink;
    ASSERT_EQ(m_engine->StartSave(selection, sink.Handle(), sink.Handle()), 0u);
    ASSERT_TRUE(pHeld->WaitUntilEntered()) << "the save never came to the page's tags";
    sink.Drain();
    ASSERT_TRUE(sink.Has(kMsgSavePageProgress)) << "the page was not named while it was judged";
    EXPECT_FALSE(sink.Has(kMsgSavePageBegin));
    for (const PostedMessage& message : sink.messages) {
        if (message.message != kMsgSavePageProgress)
            continue;
        EXPECT_EQ(reinterpret_cast<CPageNode*>(message.lParam), pPage);
        EXPECT_LT(message.wParam, 1000u);
    }
    EXPECT_EQ(m_engine->StopSave(), 0u);
    pHeld->Release();
    ASSERT_TRUE(sink.WaitFor(kMsgSaveStopped));
    EXPECT_FALSE(sink.Has(kMsgSavePageDone));
    EXPECT_FALSE(sink.Has(kMsgSaveFinished));
    EXPECT_TRUE(sink.Lines().empty()) << sink.Lines().front();
    EXPECT_TRUE(ReadFileBytes(path) == page) << "the page stopped in its middle was changed";
    EXPECT_EQ(std::distance(fs::directory_iterator(TempDir()), fs::directory_iterator()), 1) << "a copy or a backup was left";
    EXPECT_EQ(pContentType->GetModified(), 1u);
    EXPECT_EQ(pHeldContent->GetModified(), 1u);
}

// A large Russian page in windows-1251 and a small page after it, both given UTF-8, saved: the
// large one is in its place, converted, by the time the save writes the tags of the next, not only
// when the whole save ends.
TEST_F(LargePageSaveTest, ALargePageIsPutInItsPlaceBeforeTheNextPageIsWritten)
{
    std::string body;
    while (body.size() < (34u << 20))
        body += legacy_site::kRussian.pszBody;
    const legacy_site::GuidePage text{legacy_site::kRussian.pszTitle, body.c_str()};
    const std::string inUtf8 = legacy_site::Page(text, legacy_site::ContentType("windows-1251"));
    const std::string large = iconv_program::Convert(inUtf8, "UTF-8", "CP1251", (TempDir() / "scratch").string());
    ASSERT_GT(large.size(), 17u << 20) << large.substr(0, 40);
    fs::remove(TempDir() / "scratch");
    WriteFileBytes(TempDir() / "large.htm", large);
    const std::string small = "<html><head><title>Klein</title></head><body>Seite</body></html>\n";
    WriteFileBytes(TempDir() / "next.htm", small);

    auto* pHeld = new HeldTagSetting; // the catalogue owns it
    m_pModel->GetMetaSettings().AddTail(pHeld);
    const HeldTagRelease release{pHeld};
    CSelNodesCol selection;
    selection.AddTail(AddPageGivenUtf8("large.htm", false));
    selection.AddTail(AddPageGivenUtf8("next.htm", true));

    MessageSink sink;
    ASSERT_EQ(m_engine->StartSave(selection, sink.Handle(), sink.Handle()), 0u);
    ASSERT_TRUE(pHeld->WaitUntilEntered()) << "the save never came to the next page's tags";
    const std::string converted = ReadFileBytes(TempDir() / "large.htm");
    EXPECT_TRUE(converted.find(legacy_site::kRussian.pszTitle) != std::string::npos)
        << "the large page was not in its place while the next was written: " << converted.substr(0, 200);
    EXPECT_EQ(converted.find("windows-1251"), std::string::npos);
    pHeld->Release();
    ASSERT_TRUE(sink.WaitFor(kMsgSaveFinished));
    EXPECT_TRUE(ReadFileBytes(TempDir() / "large.htm") == converted);
    EXPECT_NE(ReadFileBytes(TempDir() / "next.htm"), small);
}

namespace {

// Pages that lack a TITLE element of their own, or whose TITLE or head is never closed, given a
// title (a Content-Type without one): the head, the body's line repeated to some tens of
// megabytes and the end, where "@" stands for what the page has there and what the copy has in
// its place.
struct UntitledPage {
    const char* pszShape;
    const char* pszTitle;
    std::string head, line, end;
    std::string was, added;
};

const UntitledPage kUntitledPages[] = {
    {"a head without a TITLE, LF", "New", "<html>\n<head>\n  <meta name=\"description\" content=\"d\">\n@</head>\n<body>\n",
     "<p>A line of the page, <b>bold</b> &amp; plain.</p>\n", "</body>\n</html>\n", "", "  <title>New</title>\n"},
    {"CR LF, upper case", "New", "<HTML>\r\n<HEAD>\r\n<META NAME=\"Author\" CONTENT=\"a\">\r\n@</HEAD>\r\n<BODY>\r\n",
     "<P>A line of the page.</P>\r\n", "</BODY>\r\n</HTML>\r\n", "", "<TITLE>New</TITLE>\r\n"},
    {"one line, <meta charset>", "New", "<html><head><meta charset=\"utf-8\">@</head><body>",
     "<div class=\"x\">caf\xC3\xA9 <i>au</i> lait</div>", "</body></html>", "", "\n<title>New</title>\n"},
    {"a legacy charset declared", "Caf\xC3\xA9",
     "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\n@</head>\n<body>\n",
     "<p>Un caf\xE9 cr\xE8me, s'il vous pla\xEEt.</p>\n", "</body>\n", "", "<title>Caf\xE9</title>\n"},
    {"a TITLE only far down in the body", "New", "<html>\n<head>\n</head>\n<body>\n", "<p>A line of the page.</p>\n",
     "<div><title>@</title></div>\n</body>\n", "Old", "New"},
    {"a head never closed", "New", "<html>\n<head>\n<meta name=\"description\" content=\"d\">\n@<body>\n",
     "<p>A line of the page.</p>\n", "</body>\n", "", ""},
    {"a head never closed, given UTF-8", nullptr, "<html><head><meta name=\"description\" content=\"d\">\n@<body>\n",
     "<p>A line of the page.</p>\n", "</body>\n", "", ""},
    {"no head at all", "New", "<html>\n@", "<p>A line of the page.</p>\n", "</html>\n", "", ""},
    {"a head never closed nor a body, given UTF-8", nullptr, "<html><head><meta name=\"description\" content=\"d\">\n@",
     "<p>A line of the page.</p>\n", "</html>\n", "", ""},
    {"a head never closed nor a body", "New", "<html><head>\n@", "<p>A line of the page.</p>\n", "</html>\n", "", ""},
    {"a head never closed nor a body, one line, given UTF-8", nullptr, "<html><head><meta name=\"author\" content=\"a\">@",
     "<p>A line of the page.</p>", "</html>", "", ""},
    {"a head closed only far down, given UTF-8", nullptr, "<html>\n<head>@\n", "<link rel=\"next\" href=\"n.htm\">\n",
     "</head>\n<body>\n</body>\n</html>\n", "", "\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"},
    {"a TITLE in the body never closed", "New", "<html>\n<head>\n</head>\n<body>\n<div><title>Old @\n",
     "<p>A line of the page.</p>\n", "</div>\n</body>\n</html>\n", "", ""},
    {"a TITLE in the body never closed, one line", "New", "<html><head></head><body><title>Old @",
     "<p>A line of the page.</p>", "</body></html>", "", ""},
    {"a TITLE in a head never closed", "New", "<html>\n<head>\n<title>Old @\n", "<p>A line of the page.</p>\n",
     "</html>\n", "", ""},
    {"a TITLE in a head never closed, given UTF-8", nullptr, "<html>\n<head>\n<title>Old @\n",
     "<p>A line of the page.</p>\n", "</html>\n", "", ""},
    {"a TITLE in a head never closed, then a body", "New", "<html>\n<head>\n<title>Old @\n<body>\n",
     "<p>A line of the page.</p>\n", "</body>\n</html>\n", "", ""},
};

} // namespace

// A large page without a TITLE element, or with one never closed, given a title, or a charset, is
// written as it is read: the copy is the page with the title alone added, and the rewrite holds a
// small part of the page at most.
TEST_F(LargePageSaveTest, ALargeUntitledPageIsRewrittenAsItIsRead)
{
    // Large enough that holding it shows beside what the rewrite holds of its own (a megabyte or
    // two); where the peak does not tell what was held, the bytes alone are checked, on less.
    constexpr size_t kPageSize = kPeakTellsHeldMemory ? 8u << 20 : 1u << 20;
    for (const UntitledPage& shape : kUntitledPages) {
        SCOPED_TRACE(shape.pszShape);
        std::string page = shape.head;
        while (page.size() < kPageSize)
            page += shape.line;
        page += shape.end;
        const size_t nAt = page.find('@');
        const std::string expected = std::string(page).replace(nAt, 1, shape.added);
        WriteFileBytes(TempDir() / "page.htm", page.replace(nAt, 1, shape.was));
        CPageNode node;
        CMetaContentList edits;
        CMetaContent* pContent = nullptr;
        if (shape.pszTitle != nullptr) {
            node.SetTitle(shape.pszTitle);
            node.SetTitleModified(1);
        } else {
            edits.AddContent("Content-Type", "text/html; charset=UTF-8", 1, pContent);
        }
        const double dGrowth = PeakGrowthInChild([&] {
            CFile input((TempDir() / "page.htm").c_str(), CFile::modeRead);
            CFile output((TempDir() / "copy.htm").c_str(), CFile::modeCreate | CFile::modeReadWrite);
            CMetaEditEngine engine(&edits, &node, &input, &output, nullptr);
            engine.Run();
            return !engine.GetWriteFailed();
        });
        ASSERT_GE(dGrowth, 0) << "the rewrite failed";
        if (kPeakTellsHeldMemory) {
            EXPECT_LT(dGrowth, kPageSize / 2) << "the rewrite held the page";
        }
        EXPECT_TRUE(ReadFileBytes(TempDir() / "copy.htm") == expected) << "the copy is not the page with its title";
    }
}
