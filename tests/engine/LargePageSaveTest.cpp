// A large page given another charset through the save: the save dialog learns of it as soon as its
// rewrite begins and then how far it came, and a stop in its middle leaves it as it was.
#include "EngineTestSupport.h"
#include "MessageSink.h"
#include "support/IconvProgram.h"
#include "support/LegacySitePages.h"

#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"

#include <memory>
#include <string>

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

    CParserEngine m_engine;
    CPageNode m_root;
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
    auto* pPage = new CPageNode;
    pPage->SetKind(CPageNode::kindPage);
    pPage->SetScanState(0);
    pPage->SetName("large.htm");
    pPage->SetFolder(TempDir().c_str());
    NoteFileAsScanned(*pPage);
    m_root.AddChild(pPage);
    CMetaContentList* pList = nullptr;
    pPage->CreateContentList(pList);
    CMetaContent* pContentType = nullptr;
    pList->AddContent("Content-Type", "text/html; charset=UTF-8", 1, pContentType);
    CMetaContent* pHeldContent = nullptr;
    pList->AddContent("Held", "h", 1, pHeldContent);
    CSelNodesCol selection;
    selection.AddTail(pPage);

    MessageSink sink;
    ASSERT_EQ(m_engine.StartSave(selection, sink.Handle(), sink.Handle()), 0u);
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
    EXPECT_EQ(m_engine.StopSave(), 0u);
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
