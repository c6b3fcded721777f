// Layout and relations: bars taking their slices in z-order through WM_SIZEPARENT, the query
// and extra modes, the left-over pane; frames and owners up the tree; centring; style changes;
// dialog initialisation data.
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/controls/ListBoxDefs.h"
#include "tests/platform/afx/AfxFixture.h"

#include <cstring>
#include <vector>

namespace {

// A bar along the top or the bottom of its parent, as tall as it says.
class CLayoutBar : public CWnd {
public:
    CLayoutBar(bool atTop, int height) : m_atTop(atTop), m_height(height) {}
    LRESULT OnSizeParent(WPARAM, LPARAM lParam)
    {
        auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
        CRect rect(layout->rect);
        if (m_atTop) {
            rect.bottom = rect.top + m_height;
            layout->rect.top += m_height;
        } else {
            rect.top = rect.bottom - m_height;
            layout->rect.bottom -= m_height;
        }
        layout->sizeTotal.cy += m_height;
        layout->sizeTotal.cx = std::max<LONG>(layout->sizeTotal.cx, 50);
        if (layout->hDWP)
            AfxRepositionWindow(layout, m_hWnd, &rect);
        return 0;
    }
    DECLARE_MESSAGE_MAP()

private:
    bool m_atTop;
    int m_height;
};

BEGIN_MESSAGE_MAP(CLayoutBar, CWnd)
    ON_WM_SIZEPARENT()
END_MESSAGE_MAP()

CRect ChildRect(const CWnd& child)
{
    CRect rect;
    child.GetWindowRect(&rect);
    child.GetParent()->ScreenToClient(&rect);
    return rect;
}

} // namespace

TEST_F(AfxTest, BarsTakeTheirSlicesInZOrderAndTheLeftOverPaneGetsTheRest)
{
    CWnd host;
    ASSERT_TRUE(host.Create(nullptr, "host", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 150), top.get(), 1));
    CLayoutBar toolbar(true, 20), second(true, 10), status(false, 15);
    CWnd pane;
    ASSERT_TRUE(toolbar.Create(nullptr, "tb", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), &host, 0xE800));
    ASSERT_TRUE(pane.CreateEx(WS_EX_CLIENTEDGE, nullptr, "pane", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), &host,
                              0xE900));
    ASSERT_TRUE(second.Create(nullptr, "tb2", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), &host, 0xE801));
    ASSERT_TRUE(status.Create(nullptr, "sb", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), &host, 0xE802));
    HWND raw = ::CreateWindowEx(0, "Button", "raw", WS_CHILD, 0, 0, 1, 1, host.m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0xE803)), nullptr, nullptr);

    CRect query;
    host.RepositionBars(0xE800, 0xE8FF, 0xE900, CWnd::reposQuery, &query);
    EXPECT_EQ(query, CRect(0, 30, 200, 135));
    EXPECT_EQ(ChildRect(toolbar), CRect(0, 0, 1, 1)) << "a query moves nothing";
    host.RepositionBars(0xE800, 0xE8FF, 0xE900, CWnd::reposQuery, &query, nullptr, FALSE);
    EXPECT_EQ(query, CRect(0, 0, 50, 45)) << "without stretching, the size the bars want";

    host.RepositionBars(0xE800, 0xE8FF, 0xE900);
    EXPECT_EQ(ChildRect(toolbar), CRect(0, 0, 200, 20)) << "the first in z-order is at the edge";
    EXPECT_EQ(ChildRect(second), CRect(0, 20, 200, 30));
    EXPECT_EQ(ChildRect(status), CRect(0, 135, 200, 150));
    // The pane's client area is what the bars leave: its window rectangle includes its edge.
    CRect client;
    pane.GetClientRect(&client);
    EXPECT_EQ(ChildRect(pane), CRect(0, 30, 200, 135));
    EXPECT_EQ(client.Width(), 200 - 4);
    CRect rawRect;
    ::GetWindowRect(raw, &rawRect);
    EXPECT_EQ(rawRect.Width(), 1) << "a window without an object is no bar";

    CRect border(5, 6, 7, 8);
    host.RepositionBars(0xE800, 0xE8FF, 0xE900, CWnd::reposExtra, &border);
    EXPECT_EQ(ChildRect(pane), CRect(5, 36, 193, 127));
    host.DestroyWindow();
}

TEST_F(AfxTest, FramesOwnersCentringAndStyles)
{
    auto* frame = new CFrameWnd;   // frames delete themselves with their windows
    ASSERT_TRUE(frame->CreateEx(0, nullptr, "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                                nullptr));
    auto* innerFrame = new CFrameWnd;
    CFrameWnd& inner = *innerFrame;
    ASSERT_TRUE(inner.CreateEx(0, nullptr, "inner", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), frame, 1));
    CWnd view;
    ASSERT_TRUE(view.Create(nullptr, "view", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 60), &inner, 2));
    EXPECT_EQ(view.GetParentFrame(), &inner);
    EXPECT_EQ(view.GetTopLevelFrame(), frame);
    EXPECT_EQ(inner.GetTopLevelFrame(), frame);
    EXPECT_EQ(view.GetTopLevelParent(), frame);
    EXPECT_EQ(frame->GetParentFrame(), nullptr);
    EXPECT_EQ(view.GetOwner(), &inner) << "without an owner set, the parent";
    view.SetOwner(frame);
    EXPECT_EQ(view.GetOwner(), frame);

    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, "popup", WS_POPUP | WS_VISIBLE, 0, 0, 100, 40, frame->m_hWnd, nullptr));
    EXPECT_EQ(popup.GetTopLevelParent(), frame) << "an owned pop-up belongs to its owner";
    popup.CenterWindow();
    CRect frameRect, popupRect;
    frame->GetWindowRect(&frameRect);
    popup.GetWindowRect(&popupRect);
    EXPECT_EQ(popupRect.CenterPoint(), frameRect.CenterPoint());
    view.CenterWindow();
    CRect innerClient;
    inner.GetClientRect(&innerClient);
    EXPECT_EQ(ChildRect(view), CRect(50, 25, 150, 75)) << "a child centres in its parent's client area";

    EXPECT_FALSE(view.ModifyStyle(0, WS_VISIBLE)) << "nothing to change";
    EXPECT_TRUE(view.ModifyStyle(0, WS_BORDER, SWP_FRAMECHANGED));
    EXPECT_TRUE(view.GetStyle() & WS_BORDER);
    CRect viewClient;
    view.GetClientRect(&viewClient);
    EXPECT_EQ(viewClient.Width(), 98) << "the frame was recalculated";
    EXPECT_TRUE(view.ModifyStyleEx(0, WS_EX_CLIENTEDGE));
    CRect outer(0, 0, 100, 50);
    view.CalcWindowRect(&outer, CWnd::adjustOutside);
    EXPECT_EQ(outer, CRect(-3, -3, 103, 53)) << "border and client edge";

    popup.DestroyWindow();
    view.DestroyWindow();
    frame->DestroyWindow();   // the inner frame goes with it
}

TEST_F(AfxTest, DialogInitialisationDataFillsListsAndRefusesBrokenRecords)
{
    CWnd list;
    ASSERT_TRUE(list.Create("ListBox", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), top.get(), 1000));
    std::vector<BYTE> data;
    auto add = [&](WORD id, WORD message, const char* text, DWORD length) {
        const BYTE head[8] = {static_cast<BYTE>(id), static_cast<BYTE>(id >> 8), static_cast<BYTE>(message),
                              static_cast<BYTE>(message >> 8), static_cast<BYTE>(length), static_cast<BYTE>(length >> 8),
                              0, 0};
        data.insert(data.end(), head, head + 8);
        data.insert(data.end(), text, text + length);
    };
    add(1000, 0x0401, "First", 6);          // the 16-bit numbering
    add(1000, LB_ADDSTRING, "Second", 7);
    add(1000, LB_ADDSTRING, "NoNul", 5);    // no terminator inside the record
    data.push_back(0);
    data.push_back(0);
    EXPECT_TRUE(top->ExecuteDlgInit(data.data(), static_cast<DWORD>(data.size())));
    EXPECT_EQ(list.SendMessage(LB_GETCOUNT), 3);
    char text[32] = "";
    list.SendMessage(LB_GETTEXT, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "NoNul");

    std::vector<BYTE> cut(data.begin(), data.begin() + 10);
    EXPECT_FALSE(top->ExecuteDlgInit(cut.data(), static_cast<DWORD>(cut.size()))) << "a record running past the end";
    data.clear();
    add(1001, LB_ADDSTRING, "x", 2);
    data.push_back(0);
    data.push_back(0);
    EXPECT_FALSE(top->ExecuteDlgInit(data.data(), static_cast<DWORD>(data.size()))) << "no such control";
    EXPECT_EQ(list.SendMessage(LB_GETCOUNT), 3) << "nothing half-done elsewhere";
    EXPECT_TRUE(top->ExecuteDlgInit("NoSuchDialog")) << "no data, nothing to do";
    list.DestroyWindow();
}
