// The clipboard: in-process round trips, ownership, delayed rendering, registered formats and
// text exchanged through the backend.
#include "platform/win/HeadlessFixture.h"

#include "platform/core/GlobalMemory.h"
#include "platform/core/WinError.h"
#include "platform/win/Clipboard.h"

#include <cstring>
#include <string>

namespace {

HGLOBAL ClipboardText(const char* text)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::memcpy(GlobalLock(h), text, std::strlen(text) + 1);
    GlobalUnlock(h);
    return h;
}

std::string Read(HANDLE h)
{
    auto* p = static_cast<const char*>(GlobalLock(h));
    std::string s = p ? p : "";
    GlobalUnlock(h);
    return s;
}

class ClipboardTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        owner = Make(WS_POPUP, 0, 0, 10, 10);
        // Start from an empty clipboard owned by nobody in particular.
        ASSERT_TRUE(OpenClipboard(owner));
        EmptyClipboard();
        CloseClipboard();
        Log().clear();
    }
    HWND owner = nullptr;
};

TEST_F(ClipboardTest, TextRoundTripsAndReachesOtherPrograms)
{
    ASSERT_TRUE(OpenClipboard(owner));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL h = ClipboardText("grüße");
    EXPECT_EQ(SetClipboardData(CF_TEXT, h), h);
    ASSERT_TRUE(CloseClipboard());
    std::string outside;
    ASSERT_TRUE(backend->GetClipboardText(outside));
    EXPECT_EQ(outside, "grüße");
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(Read(GetClipboardData(CF_TEXT)), "grüße");
    EXPECT_EQ(GetClipboardOwner(), owner);
    CloseClipboard();
}

TEST_F(ClipboardTest, ClosedClipboardRefusesAccess)
{
    EXPECT_EQ(SetClipboardData(CF_TEXT, ClipboardText("x")), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());
    ASSERT_TRUE(OpenClipboard(owner));
    HWND other = Make(WS_POPUP, 0, 0, 10, 10);
    EXPECT_FALSE(OpenClipboard(other)) << "open by another window";
    EXPECT_EQ(GetOpenClipboardWindow(), owner);
    CloseClipboard();
}

TEST_F(ClipboardTest, EmptyingTellsThePreviousOwner)
{
    HWND next = Make(WS_POPUP, 0, 0, 10, 10);
    ASSERT_TRUE(OpenClipboard(next));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(Of(owner, WM_DESTROYCLIPBOARD).size(), 1u);
    EXPECT_EQ(GetClipboardOwner(), next);
}

TEST_F(ClipboardTest, RegisteredFormatsAreSharedNamesWithoutCase)
{
    const UINT format = RegisterClipboardFormat("Vostrel Meta Rows");
    EXPECT_GE(format, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("VOSTREL META ROWS"), format);
    EXPECT_EQ(RegisterWindowMessage("vostrel meta rows"), format) << "shared with message names";
    char name[64];
    ASSERT_GT(GetClipboardFormatName(format, name, sizeof(name)), 0);
    EXPECT_STREQ(name, "Vostrel Meta Rows");
    EXPECT_EQ(GetClipboardFormatName(CF_TEXT, name, sizeof(name)), 0);
}

TEST_F(ClipboardTest, FormatsEnumerateInTheOrderPlacedAndPrivateOnesStayInside)
{
    const UINT rows = RegisterClipboardFormat("Vostrel Meta Rows");
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    SetClipboardData(rows, ClipboardText("row data"));
    SetClipboardData(CF_TEXT, ClipboardText("plain"));
    CloseClipboard();
    ASSERT_TRUE(OpenClipboard(owner));
    EXPECT_EQ(CountClipboardFormats(), 2);
    UINT f = EnumClipboardFormats(0);
    EXPECT_EQ(f, rows);
    f = EnumClipboardFormats(f);
    EXPECT_EQ(f, static_cast<UINT>(CF_TEXT));
    EXPECT_EQ(EnumClipboardFormats(f), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
    EXPECT_EQ(Read(GetClipboardData(rows)), "row data");
    CloseClipboard();
    std::string outside;
    backend->GetClipboardText(outside);
    EXPECT_EQ(outside, "plain") << "only the text leaves the process";
}

TEST_F(ClipboardTest, DelayedFormatsAreRenderedOnRequest)
{
    const UINT rows = RegisterClipboardFormat("Vostrel Meta Rows");
    Handler() = [this, rows](HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (hwnd == owner && message == WM_RENDERFORMAT && wParam == rows) {
            SetClipboardData(rows, ClipboardText("rendered"));
            result = 0;
            return true;
        }
        return false;
    };
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    EXPECT_EQ(SetClipboardData(rows, nullptr), nullptr);
    CloseClipboard();
    EXPECT_TRUE(IsClipboardFormatAvailable(rows));
    EXPECT_TRUE(Of(owner, WM_RENDERFORMAT).empty()) << "rendered only when asked";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(Read(GetClipboardData(rows)), "rendered");
    EXPECT_EQ(Of(owner, WM_RENDERFORMAT).size(), 1u);
    EXPECT_EQ(Read(GetClipboardData(rows)), "rendered");
    EXPECT_EQ(Of(owner, WM_RENDERFORMAT).size(), 1u) << "kept once rendered";
    CloseClipboard();
}

TEST_F(ClipboardTest, TextFromAnotherProgramReplacesTheProcessFormats)
{
    const UINT rows = RegisterClipboardFormat("Vostrel Meta Rows");
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    SetClipboardData(rows, ClipboardText("row data"));
    SetClipboardData(CF_TEXT, ClipboardText("ours"));
    CloseClipboard();
    backend->SetClipboardText("theirs");   // another program copied text
    EXPECT_FALSE(IsClipboardFormatAvailable(rows));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(Read(GetClipboardData(CF_TEXT)), "theirs");
    EXPECT_EQ(GetClipboardOwner(), nullptr);
    CloseClipboard();
}

} // namespace
