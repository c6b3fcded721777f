// Files of a page's name that are no page: what the walk of the project folder tells of them, and
// what a save tells of a page in a charset the program does not write.
#include "EngineTestSupport.h"
#include "MessageSink.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/IScanHost.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

// The main window as the engine sees it, with an Output Area of its own.
class OutputAreaHost : public IScanHost {
public:
    HWND GetMainWindow() override { return main.Handle(); }
    void ReloadGroupView(CSelNodesCol&) override {}
    HWND GetOutputPane() override { return pane.Handle(); }

    MessageSink main;
    MessageSink pane;
};

class UnreadablePagesTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        auto pSettings = std::make_unique<CProjectSettings>();
        m_pSettings = pSettings.get();
        m_pModel->SetProjectSettings(std::move(pSettings));
        m_root.SetKind(CPageNode::kindRoot);
        m_engine.SetScanHost(&m_host);
    }
    void TearDown() override
    {
        m_root.GetChildren().DeleteAll();
        EngineTest::TearDown();
    }

    std::vector<std::string> SortedLines()
    {
        m_host.pane.Drain();
        std::vector<std::string> lines = m_host.pane.Lines();
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    CParserEngine m_engine;
    OutputAreaHost m_host;
    CProjectSettings* m_pSettings = nullptr;
    CPageNode m_root;
};

TEST_F(UnreadablePagesTest, TheWalkTellsEachFileOfAPagesNameThatIsNoPage)
{
    const fs::path site = TempDir() / "site";
    fs::create_directories(site / "guide");
    WriteFileBytes(site / "index.htm", "<html><head></head></html>");
    ASSERT_EQ(mkfifo((site / "pipe.htm").c_str(), 0644), 0);
    fs::create_symlink("moved.htm", site / "old.htm");
    fs::create_symlink("loop.html", site / "guide" / "loop.html");
    fs::create_symlink("/dev/null", site / "guide" / "null.htm");
    // Files of other names are none of the project's business, whatever they are.
    ASSERT_EQ(mkfifo((site / "log.fifo").c_str(), 0644), 0);
    fs::create_symlink("nothing.css", site / "style.css");
    fs::create_symlink("no-folder", site / "pictures");

    MessageSink dialog;
    ASSERT_EQ(m_engine.StartEnumeration(site.string().c_str(), &m_root, dialog.Handle(), *m_pSettings), 0u);
    ASSERT_TRUE(dialog.WaitFor(kMsgEnumFinished));
    EXPECT_EQ(dialog.Count(kMsgEnumPageFound), 1u);
    EXPECT_EQ(SortedLines(), (std::vector<std::string>{
                                 "guide/loop.html : Left out of the project: It is a link that leads back to itself.",
                                 "guide/null.htm : Left out of the project: It is a device, not a file.",
                                 "old.htm : Left out of the project: It is a link to a file that does not exist.",
                                 "pipe.htm : Left out of the project: It is a named pipe, not a file.",
                             }));
}

TEST_F(UnreadablePagesTest, ASaveLeavesAUtf16PageAloneAndSaysWhy)
{
    // A page as an editor writes it in UTF-16 with its byte order mark, little and big endian.
    const std::string strText = "<html><head><title>Caf\xC3\xA9</title></head><body>x</body></html>";
    std::string strLittle = "\xFF\xFE";
    std::string strBig = "\xFE\xFF";
    for (const char ch : strText) {
        // The page's text is ASCII but for the é (U+00E9).
        const char chUnit = ch == '\xC3' ? '\0' : ch == '\xA9' ? '\xE9' : ch;
        if (ch == '\xC3')
            continue;
        strLittle += std::string{chUnit, '\0'};
        strBig += std::string{'\0', chUnit};
    }
    CSelNodesCol pages;
    for (const auto& [name, bytes] : {std::pair{"little.htm", strLittle}, std::pair{"big.htm", strBig}}) {
        WriteFileBytes(TempDir() / name, bytes);
        auto pPage = std::make_unique<CPageNode>();
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetName(name);
        pPage->SetFolder(TempDir().c_str());
        CMetaContentList* pList = nullptr;
        pPage->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent("Keywords", "k", 1, pContent);
        pages.AddTail(pPage.get());
        m_root.AddChild(pPage.release());
    }
    MessageSink sink;
    ASSERT_EQ(m_engine.StartSave(pages, sink.Handle(), sink.Handle()), 0u);
    ASSERT_TRUE(sink.WaitFor(kMsgSaveFinished));
    const std::string strWhy = " : The page is written in UTF-16, a charset this program does not write: it is left as it is.";
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"LITTLE.HTM" + strWhy, "BIG.HTM" + strWhy}));
    EXPECT_EQ(ReadFileBytes(TempDir() / "little.htm"), strLittle);
    EXPECT_EQ(ReadFileBytes(TempDir() / "big.htm"), strBig);
    EXPECT_FALSE(fs::exists(TempDir() / "little.htm.old"));
}

} // namespace
