// Tool tips: the tools and delays of the model, and the pop-up's timing on the virtual clock:
// the initial delay, the automatic pop, the short reshow, a click, asked-for texts and tracking.
#include "platform/controls/ToolTip.h"
#include "tests/platform/controls/ControlsFixture.h"

TEST(ToolTipModelTest, ToolsAreFoundByWindowAndRectangleAndDelaysFollowOneAnother)
{
    ToolTipModel model;
    HWND a = reinterpret_cast<HWND>(0x10);
    HWND b = reinterpret_cast<HWND>(0x20);
    TOOLINFO info{sizeof(TOOLINFO), 0, a, 7, RECT{0, 0, 10, 10}, nullptr, const_cast<LPSTR>("Open"), 0, nullptr};
    EXPECT_TRUE(model.Add(info));
    info.uId = 8;
    info.rect = RECT{10, 0, 20, 10};
    info.lpszText = LPSTR_TEXTCALLBACK;
    model.Add(info);
    TOOLINFO whole{sizeof(TOOLINFO), TTF_IDISHWND, a, reinterpret_cast<UINT_PTR>(b), {}, nullptr,
                   MAKEINTRESOURCE(63024), 0, nullptr};
    model.Add(whole);
    EXPECT_EQ(model.Count(), 3);
    EXPECT_EQ(model.HitTest(a, POINT{5, 5}), 0);
    EXPECT_EQ(model.HitTest(a, POINT{15, 5}), 1);
    EXPECT_EQ(model.HitTest(a, POINT{25, 5}), -1);
    EXPECT_EQ(model.HitTest(b, POINT{500, 500}), 2) << "a whole-window tool covers its window";
    EXPECT_TRUE(model.At(1).callback);
    EXPECT_EQ(model.At(2).resource, 63024u);
    info.uId = 7;
    info.lpszText = const_cast<LPSTR>("Open file");
    model.Add(info);
    EXPECT_EQ(model.Count(), 3) << "the same window and id replace the tool";
    EXPECT_EQ(model.At(0).text, "Open file");
    model.current = 2;
    EXPECT_TRUE(model.Remove(a, 7));
    EXPECT_EQ(model.current, 1) << "the current tool keeps pointing at the same tool";

    EXPECT_EQ(model.Delay(TTDT_INITIAL), static_cast<int>(GetDoubleClickTime()));
    model.SetDelay(TTDT_AUTOMATIC, 400);
    EXPECT_EQ(model.Delay(TTDT_AUTOPOP), 4000);
    EXPECT_EQ(model.Delay(TTDT_RESHOW), 80);
    model.SetDelay(TTDT_RESHOW, 10);
    EXPECT_EQ(model.Delay(TTDT_RESHOW), 10);
    model.SetDelay(TTDT_AUTOMATIC, -1);
    EXPECT_EQ(model.Delay(TTDT_AUTOPOP), static_cast<int>(GetDoubleClickTime()) * 10);
}

class ToolTipTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        tip = CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, parent,
                             nullptr, nullptr, nullptr);
        child = CreateWindowEx(0, "ControlsTestParent", "", WS_CHILD | WS_VISIBLE, 200, 10, 80, 30, parent,
                               reinterpret_cast<HMENU>(300), nullptr, nullptr);
        TOOLINFO area{sizeof(TOOLINFO), TTF_SUBCLASS, parent, 1, RECT{10, 10, 60, 40}, nullptr, LPSTR_TEXTCALLBACK,
                      42, nullptr};
        SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&area));
        TOOLINFO window{sizeof(TOOLINFO), TTF_SUBCLASS | TTF_IDISHWND, parent, reinterpret_cast<UINT_PTR>(child),
                        {}, nullptr, const_cast<LPSTR>("Save"), 0, nullptr};
        SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&window));
        OnMessage() = [this](UINT message, WPARAM, LPARAM lParam, LRESULT&) {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (message != WM_NOTIFY || header->hwndFrom != tip)
                return false;
            codes.push_back(header->code);
            if (header->code == TTN_NEEDTEXT) {
                auto* info = reinterpret_cast<NMTTDISPINFO*>(lParam);
                snprintf(info->szText, sizeof info->szText, "Tool %d", static_cast<int>(info->lParam));
            }
            return false;
        };
    }
    void Move(HWND window, int x, int y)
    {
        backend->MouseMove(At(window, x, y));
        backend->ProcessMessages();
    }
    std::string Shown()
    {
        if (!IsWindowVisible(tip))
            return "";
        char text[80] = {};
        TOOLINFO info{sizeof(TOOLINFO), 0, nullptr, 0, {}, nullptr, text, 0, nullptr};
        if (!SendMessage(tip, TTM_GETCURRENTTOOL, 0, reinterpret_cast<LPARAM>(&info)))
            return "?";
        info.lpszText = text;
        SendMessage(tip, TTM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(&info));
        return text;
    }

    HWND tip = nullptr;
    HWND child = nullptr;
    std::vector<UINT> codes;
};

TEST_F(ToolTipTest, ShowsAfterTheInitialDelayPopsAndReshowsQuickly)
{
    Move(parent, 20, 20);
    backend->Advance(GetDoubleClickTime() - 10);
    EXPECT_EQ(Shown(), "") << "not before the initial delay";
    backend->Advance(20);
    EXPECT_EQ(Shown(), "Tool 42") << "the owner gave the text";
    RECT r;
    GetWindowRect(tip, &r);
    EXPECT_EQ(r.top, At(parent, 20, 20).y + 20) << "below the pointer";
    EXPECT_EQ(r.left, At(parent, 20, 20).x);

    // Moving within the tool keeps the tip; after the automatic pop it stays hidden there.
    Move(parent, 25, 22);
    EXPECT_EQ(Shown(), "Tool 42");
    backend->Advance(GetDoubleClickTime() * 10 + 10);
    EXPECT_EQ(Shown(), "");
    Move(parent, 30, 25);
    backend->Advance(GetDoubleClickTime() + 10);
    EXPECT_EQ(Shown(), "");

    // Another tool: the full delay again, then from a shown tip only the short reshow.
    Move(child, 10, 10);
    backend->Advance(GetDoubleClickTime() + 10);
    EXPECT_EQ(Shown(), "Save");
    Move(parent, 20, 20);
    EXPECT_EQ(Shown(), "") << "the old tip goes at once";
    backend->Advance(GetDoubleClickTime() / 5 + 10);
    EXPECT_EQ(Shown(), "Tool 42");

    // A click puts it away; the pointer outside every tool starts nothing.
    backend->MouseDown(1, At(parent, 20, 20));
    backend->MouseUp(1, At(parent, 20, 20));
    backend->ProcessMessages();
    EXPECT_EQ(Shown(), "");
    Move(parent, 150, 100);
    backend->Advance(GetDoubleClickTime() * 2);
    EXPECT_EQ(Shown(), "");
    EXPECT_NE(std::find(codes.begin(), codes.end(), TTN_SHOW), codes.end());
    EXPECT_NE(std::find(codes.begin(), codes.end(), TTN_POP), codes.end());
}

TEST_F(ToolTipTest, DelaysAreSetAndTrackingShowsAtOnceWhereAsked)
{
    SendMessage(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 50);
    EXPECT_EQ(SendMessage(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 50);
    Move(child, 5, 5);
    backend->Advance(60);
    EXPECT_EQ(Shown(), "Save");
    SendMessage(tip, TTM_POP, 0, 0);
    EXPECT_EQ(Shown(), "");

    TOOLINFO info{sizeof(TOOLINFO), 0, parent, 1, {}, nullptr, nullptr, 0, nullptr};
    SendMessage(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(300, 200));
    SendMessage(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(Shown(), "Tool 42");
    RECT r;
    GetWindowRect(tip, &r);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 200);
    SendMessage(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(320, 210));
    GetWindowRect(tip, &r);
    EXPECT_EQ(r.left, 320);
    backend->Advance(GetDoubleClickTime() * 20);
    EXPECT_EQ(Shown(), "Tool 42") << "a tracked tip does not pop by itself";
    SendMessage(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(Shown(), "");

    // Tools go away with TTM_DELTOOL; the tip then shows nothing over them.
    SendMessage(tip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    Move(parent, 20, 20);
    backend->Advance(100);
    EXPECT_EQ(Shown(), "");
}
