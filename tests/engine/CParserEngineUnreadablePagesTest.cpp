// Files of a page's name that are no page: what the walk of the project folder tells of them.
#include "EngineTestSupport.h"
#include "MessageSink.h"

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

} // namespace
