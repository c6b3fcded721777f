// The status bar: part layout, texts and owner-drawn parts, its place at the parent's bottom,
// the simple mode and its click notifications.
#include "platform/controls/StatusBar.h"
#include "tests/platform/controls/ControlsFixture.h"

TEST(StatusBarModelTest, PartsLieSideBySideAndTheLastStopsAtTheGrip)
{
    StatusBarModel model;
    const int edges[] = {100, 160, -1};
    ASSERT_TRUE(model.SetParts(3, edges));
    const RECT client{0, 0, 400, 20};
    const RECT first = model.PartRect(0, client, 20);
    const RECT second = model.PartRect(1, client, 20);
    const RECT last = model.PartRect(2, client, 20);
    EXPECT_EQ(first.left, 0);
    EXPECT_EQ(first.right, 100);
    EXPECT_EQ(first.top, StatusBarModel::kVertBorder);
    EXPECT_EQ(second.left, 100 + StatusBarModel::kGap);
    EXPECT_EQ(second.right, 160);
    EXPECT_EQ(last.left, 162);
    EXPECT_EQ(last.right, 380) << "the size grip keeps its square";
    EXPECT_EQ(model.PartAt(POINT{130, 10}, client, 20), 1);
    EXPECT_EQ(model.PartAt(POINT{101, 10}, client, 20), -1) << "the gap belongs to no part";

    EXPECT_FALSE(model.SetParts(0, edges));
    EXPECT_FALSE(model.SetParts(StatusBarModel::kMaxParts + 1, edges));
    EXPECT_EQ(model.PartCount(), 3);
    EXPECT_FALSE(model.SetText(3, 0, reinterpret_cast<LPARAM>("x")));
    EXPECT_TRUE(model.SetText(1, SBT_POPOUT, reinterpret_cast<LPARAM>("Ready")));
    EXPECT_EQ(model.TextInfo(1), static_cast<DWORD>(MAKELONG(5, SBT_POPOUT)));
    EXPECT_TRUE(model.SetText(2, SBT_OWNERDRAW, 1234));
    EXPECT_EQ(model.PartAt(2).data, 1234);
    EXPECT_TRUE(model.PartAt(2).text.empty());
}

class StatusBarTest : public ControlsTest {};

TEST_F(StatusBarTest, SitsAtTheBottomDrawsItsPartsAndTellsWhichWasClicked)
{
    std::vector<DRAWITEMSTRUCT> drawn;
    std::vector<std::pair<UINT, DWORD_PTR>> clicks;   // code, part
    OnMessage() = [&](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (message == WM_NOTIFY) {
            const auto* nm = reinterpret_cast<const NMMOUSE*>(lParam);
            clicks.emplace_back(nm->hdr.code, nm->dwItemSpec);
        }
        if (message == WM_DRAWITEM) {
            drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            result = TRUE;
            return true;
        }
        return false;
    };
    HWND bar = CreateWindowEx(0, STATUSCLASSNAME, "Ready", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(59393), nullptr, nullptr);
    ASSERT_NE(bar, nullptr);
    RECT area, place;
    GetClientRect(parent, &area);
    GetWindowRect(bar, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.bottom, area.bottom);
    EXPECT_EQ(place.right - place.left, area.right);
    EXPECT_GT(place.bottom - place.top, 10);

    const int edges[] = {120, 200, -1};
    EXPECT_TRUE(SendMessage(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges)));
    SendMessage(bar, SB_SETTEXT, 1 | SBT_NOBORDERS, reinterpret_cast<LPARAM>("Line 3"));
    SendMessage(bar, SB_SETTEXT, 2 | SBT_OWNERDRAW, 77);
    char text[32] = {};
    EXPECT_EQ(SendMessage(bar, SB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), MAKELONG(6, SBT_NOBORDERS));
    EXPECT_STREQ(text, "Line 3");
    EXPECT_EQ(SendMessage(bar, SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text)), MAKELONG(5, 0));
    EXPECT_STREQ(text, "Ready");
    UpdateWindow(bar);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].itemID, 2u);
    EXPECT_EQ(drawn[0].itemData, 77u);
    EXPECT_EQ(drawn[0].hwndItem, bar);

    // The parent grows: it passes WM_SIZE on and the bar follows.
    SetWindowPos(parent, nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    SendMessage(bar, WM_SIZE, 0, 0);
    GetClientRect(parent, &area);
    GetWindowRect(bar, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.bottom, area.bottom);
    EXPECT_EQ(place.right, area.right);

    RECT second;
    SendMessage(bar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&second));
    backend->Click(1, At(bar, (second.left + second.right) / 2, 8));
    backend->ProcessMessages();
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].first, static_cast<UINT>(NM_CLICK));
    EXPECT_EQ(clicks[0].second, 1u);

    SendMessage(bar, SB_SIMPLE, TRUE, 0);
    EXPECT_TRUE(SendMessage(bar, SB_ISSIMPLE, 0, 0));
}
