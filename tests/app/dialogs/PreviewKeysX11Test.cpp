// The keys of the Preview's page of text on the X server, as View > Changes opens it: Home and
// End keep to the caret's line, Ctrl+Home and Ctrl+End go to the top and the bottom, with Shift
// they choose as far; what they chose is judged by what Ctrl+C copies, its lines ending
// in CR LF as copied text does.
#include "tests/app/ShownPreview.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/ClipboardText.h"
#include "tests/support/X11KeyboardLetters.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class PreviewKeysX11Test : public MainWindowStepsX11Test {
protected:
    // In the Preview that holds the keys: the keys, then Ctrl+C; what it copied goes to the list.
    void CopyInPreview(const std::string& keys)
    {
        When("the Preview holds the keys before " + keys, [this] { return PreviewShows(); }, [this, keys] {
            sequence = ::GetClipboardSequenceNumber();
            XdoNow("key --delay 30 " + keys + " ctrl+c");
        });
        When("the Preview copied after " + keys, [this] { return ::GetClipboardSequenceNumber() != sequence; },
             [this] { copied.push_back(clipboard_text::Get(nullptr)); });
    }
    bool PreviewShows() { return ShownPreview() != nullptr && ViewableWindowTitled("Preview Changes to HTML File") && ShowsNow(); }

    DWORD sequence = 0;
    std::vector<std::string> copied;
};

} // namespace

TEST_F(PreviewKeysX11Test, HomeAndEndKeepToTheCaretsLineAndCtrlTakesThemToTheTopAndBottom)
{
    const std::string typed = "Ωμέγα";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    std::ofstream(site + "/page.htm", std::ios::binary)
        << "<html>\n<head>\n  <title>Grüße &mdash; ß</title>\n<meta name=\"description\" content=\"Old\">\n"
           "</head>\n<body>\n  <p>Ελληνικά 日本語</p>\n</body>\n</html>\n";
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(1));
    view = View();
    ASSERT_TRUE(GoToByKeys(1, ColumnOf("Description")) && Xdo("type --delay 30 '" + typed + "'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(1, ColumnOf("Description")) == typed.c_str(); }));

    Type("the main window", "^Vostrel -", "alt+v c");
    // The caret starts at the top; Down twice takes it to the indented title's line.
    CopyInPreview("Down Down End shift+Home");
    CopyInPreview("End Home shift+End");
    CopyInPreview("Down Down Down Down End shift+Home");
    // The page's last line end leaves an empty line at the bottom.
    CopyInPreview("ctrl+End Up End shift+Home");
    CopyInPreview("ctrl+Home shift+End");
    CopyInPreview("ctrl+End Up Up Up shift+ctrl+End");
    When("the keys were judged", [this] { return PreviewShows(); }, [this] {
        cairo_surface_destroy(Shot("preview-keys"));
        XdoNow("key Escape");
    });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([] { return ShownPreview() == nullptr; }));
    EXPECT_EQ(copied, (std::vector<std::string>{"  <title>Grüße &mdash; ß</title>", "  <title>Grüße &mdash; ß</title>",
                                                "  <p>Ελληνικά 日本語</p>", "</html>", "<html>",
                                                "  <p>Ελληνικά 日本語</p>\r\n</body>\r\n</html>\r\n"}));
}
