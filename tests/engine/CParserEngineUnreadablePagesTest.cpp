// Files of a page's name that are no page: what the walk of the project folder tells of them, and
// how their bytes tell a picture or an archive from a page.
#include "EngineTestSupport.h"
#include "MessageSink.h"

#include "engine/project/CPageBytesCheck.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/IScanHost.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
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

// Each file's bytes, given whole and a byte at a time, and read from its file: formats known by
// their header even without a NUL, text that only looks like one, UTF-16 without its mark (its
// Japanese text with an ideographic space and U+4E00, whose low bytes are NUL) and bytes that
// only resemble it, and text pages with stray control bytes, which stay pages.
TEST(PageBytesCheckTest, TheBytesTellPicturesAndArchivesFromPagesInAnyCharset)
{
    using Kind = CPageBytesCheck::Kind;
    const std::string page = "<html><head><title>T</title></head><body>";
    std::string wide;
    for (const char ch : page + "x")
        wide += std::string{ch, '\0'};
    wide += std::string("\x00\x30\x00\x4E", 4) + wide;
    const std::vector<std::pair<std::string, Kind>> cases = {
        {"GIF87a" + page, Kind::Binary},
        {"\xFF\xD8\xFF\xE0" + page, Kind::Binary},
        {"%PDF-1.7\n" + page, Kind::Binary},
        {"PK\x05\x06" + page, Kind::Binary},
        {"\x1F\x8B\x08\x08" + page, Kind::Binary},
        {"7z\xBC\xAF\x27\x1C" + page, Kind::Binary},
        {"\x7F" "ELF\x02\x01\x01" + page, Kind::Binary},
        {"RIFF\x24\x08\x01\x02WEBPVP8 " + page, Kind::Binary},
        {"BZh91AY&SY\x12" + page, Kind::Binary},
        {"RIFF and WAVE files " + page, Kind::Text},
        {"BZh9 " + page, Kind::Text},
        {page + std::string(70000, 'x') + '\0', Kind::Binary},
        {"\xEF\xBB\xBF" + page + "\x01\x1A\x1B$B\x0B\x0C\x7F", Kind::Text},
        {wide, Kind::Wide},
        {std::string(wide.rbegin(), wide.rend()), Kind::Wide},
        {wide + "x", Kind::Binary},
        {wide + std::string(2, '\0'), Kind::Binary},
        {wide.substr(0, 8) + std::string(24, '\0'), Kind::Binary},
        {std::string("\xFF\xFE\0\0<\0\0\0", 8), Kind::Wide},
    };
    const fs::path path = fs::temp_directory_path() / ("bytes-" + std::to_string(::getpid()) + ".htm");
    for (const auto& [bytes, kind] : cases) {
        SCOPED_TRACE(::testing::PrintToString(bytes.substr(0, 24)));
        CPageBytesCheck whole, piecewise;
        whole.Add(bytes.data(), bytes.size());
        for (const char ch : bytes)
            piecewise.Add(&ch, 1);
        WriteFileBytes(path, bytes);
        const int fd = ::open(path.c_str(), O_RDONLY);
        const CPageBytesCheck read = CPageBytesCheck::OfFile(fd);
        ::close(fd);
        EXPECT_EQ(whole.GetKind(), kind);
        EXPECT_EQ(piecewise.GetKind(), kind);
        EXPECT_EQ(read.GetKind(), kind);
    }
    fs::remove(path);
    CPageBytesCheck utf32;
    utf32.Add("\xFF\xFE\0\0", 4);
    EXPECT_STREQ(utf32.GetText(), "The page is written in UTF-32, a charset this program does not write: it is left as it is.");
}
