#include "platform/afx/AfxFixture.h"

#include "platform/afx/ole/COleDataSource.h"
#include "platform/afx/ole/COleDropSource.h"
#include "platform/afx/ole/COleDropTarget.h"
#include "platform/core/CFile.h"
#include "platform/win/Cursor.h"
#include "platform/win/ScrollBar.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A target that takes CF_TEXT: move, or copy with Ctrl; it writes down what it was told.
class TextTarget : public COleDropTarget {
public:
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* data, DWORD keys, CPoint point) override
    {
        log.push_back("enter " + std::to_string(point.x) + "," + std::to_string(point.y));
        return Effect(data, keys);
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject* data, DWORD keys, CPoint) override
    {
        ++overs;
        return Effect(data, keys);
    }
    void OnDragLeave(CWnd*) override { log.push_back("leave"); }
    BOOL OnDrop(CWnd*, COleDataObject* data, DROPEFFECT effect, CPoint point) override
    {
        HGLOBAL block = data->GetGlobalData(CF_TEXT);
        if (!block) {
            return FALSE;
        }
        dropped = static_cast<const char*>(GlobalLock(block));
        GlobalUnlock(block);
        GlobalFree(block);
        // The same bytes as a file, the string's end included.
        std::unique_ptr<CFile> file(data->GetFileData(CF_TEXT));
        char bytes[64] = {};
        fileBytes = file ? static_cast<int>(file->Read(bytes, sizeof bytes)) : -1;
        if (fileBytes <= 0 || std::string(bytes) != dropped) {
            fileBytes = -1;
        }
        EXPECT_EQ(data->GetFileData(CF_BITMAP), nullptr);
        log.push_back("drop " + std::to_string(effect) + " " + std::to_string(point.x) + "," + std::to_string(point.y));
        return TRUE;
    }
    static DROPEFFECT Effect(COleDataObject* data, DWORD keys)
    {
        if (!data->IsDataAvailable(CF_TEXT)) {
            return DROPEFFECT_NONE;
        }
        return (keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    }

    std::vector<std::string> log;
    int overs = 0;
    int fileBytes = 0;
    std::string dropped;
};

// A window with a vertical scroll bar of 100 lines, 10 to a page, that scrolls by lines.
class ScrollingWnd : public CWnd {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_VSCROLL) {
            int pos = GetScrollPos(m_hWnd, SB_VERT);
            if (LOWORD(wParam) == SB_LINEDOWN) {
                SetScrollPos(m_hWnd, SB_VERT, pos + 1, TRUE);
            } else if (LOWORD(wParam) == SB_LINEUP) {
                SetScrollPos(m_hWnd, SB_VERT, pos - 1, TRUE);
            }
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

HGLOBAL TextBlock(const char* text)
{
    size_t n = std::strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, n);
    std::memcpy(GlobalLock(block), text, n);
    GlobalUnlock(block);
    return block;
}

class OleDragDropTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_EQ(OleInitialize(nullptr), S_OK);
        EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
        OleUninitialize();
        ASSERT_TRUE(source.Create(nullptr, "source", WS_CHILD | WS_VISIBLE, CRect(10, 10, 150, 100), top.get(), 1));
        ASSERT_TRUE(
            other.Create(nullptr, "target", WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(180, 10, 360, 210), top.get(), 2));
        SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
        SetScrollInfo(other.m_hWnd, SB_VERT, &si, TRUE);
        ASSERT_TRUE(target.Register(&other));
        data.CacheGlobalData(CF_TEXT, TextBlock("dragged text"));
        backend->ProcessMessages();
    }
    void TearDown() override
    {
        target.Revoke();
        OleUninitialize();
        AfxTest::TearDown();
    }
    // Presses the left button on the source and runs the drag, with the queued actions taken
    // one at each wait of its loop.
    DROPEFFECT Drag(DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE, LPCRECT start = nullptr)
    {
        backend->MouseMove(At(source.m_hWnd, 20, 20));
        backend->MouseDown(1, At(source.m_hWnd, 20, 20));
        backend->ProcessMessages();
        for (auto& step : steps) {
            backend->WhenIdle(std::move(step));
        }
        steps.clear();
        DROPEFFECT effect = data.DoDragDrop(allowed, start);
        backend->ProcessMessages();
        return effect;
    }
    void Then(std::function<void()> action) { steps.push_back(std::move(action)); }

    CWnd source;
    ScrollingWnd other;
    TextTarget target;
    COleDataSource data;
    std::vector<std::function<void()>> steps;
};

} // namespace

TEST_F(OleDragDropTest, DragToAnotherWindowDeliversTheTextWithTheKeysEffect)
{
    HCURSOR overTarget = nullptr;
    HCURSOR overSource = nullptr;
    Then([&] { backend->MouseMove(At(other.m_hWnd, 50, 60)); });
    Then([&] { overTarget = backend->CurrentCursor(); backend->MouseMove(At(source.m_hWnd, 30, 30)); });
    Then([&] { overSource = backend->CurrentCursor(); backend->MouseMove(At(other.m_hWnd, 70, 80)); });
    Then([&] { backend->MouseUp(1, At(other.m_hWnd, 70, 80)); });
    EXPECT_EQ(Drag(), static_cast<DROPEFFECT>(DROPEFFECT_MOVE));
    EXPECT_EQ(target.dropped, "dragged text");
    EXPECT_EQ(target.fileBytes, 13);
    EXPECT_EQ(target.log, (std::vector<std::string>{"enter 50,60", "leave", "enter 70,80", "drop 2 70,80", "leave"}));
    EXPECT_EQ(overTarget, AfxGetDragCursor(DROPEFFECT_MOVE));
    EXPECT_EQ(overSource, LoadCursor(nullptr, IDC_NO));
    EXPECT_NE(AfxGetDragCursor(DROPEFFECT_COPY), AfxGetDragCursor(DROPEFFECT_MOVE));
    EXPECT_EQ(GetCapture(), nullptr);

    // Ctrl held makes it a copy.
    target.log.clear();
    target.dropped.clear();
    Then([&] { backend->KeyDown(VK_CONTROL); backend->MouseMove(At(other.m_hWnd, 40, 40)); });
    Then([&] { backend->MouseUp(1, At(other.m_hWnd, 40, 40)); });
    EXPECT_EQ(Drag(), static_cast<DROPEFFECT>(DROPEFFECT_COPY));
    EXPECT_EQ(target.dropped, "dragged text");
    backend->KeyUp(VK_CONTROL);
    backend->ProcessMessages();

    // A move the source does not allow is no drop at all.
    target.log.clear();
    target.dropped.clear();
    Then([&] { backend->MouseMove(At(other.m_hWnd, 40, 40)); });
    Then([&] { backend->MouseUp(1, At(other.m_hWnd, 40, 40)); });
    EXPECT_EQ(Drag(DROPEFFECT_COPY), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_EQ(target.dropped, "");
    EXPECT_EQ(target.log, (std::vector<std::string>{"enter 40,40", "leave"}));
}

TEST_F(OleDragDropTest, CancelledDragsDeliverNothing)
{
    // Escape over the target.
    Then([&] { backend->MouseMove(At(other.m_hWnd, 50, 60)); });
    Then([&] { backend->Key(VK_ESCAPE); });
    Then([&] { backend->MouseUp(1, At(other.m_hWnd, 50, 60)); });
    EXPECT_EQ(Drag(), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_EQ(target.log, (std::vector<std::string>{"enter 50,60", "leave"}));
    EXPECT_EQ(GetCapture(), nullptr);

    // The other button.
    target.log.clear();
    Then([&] { backend->MouseMove(At(other.m_hWnd, 50, 60)); });
    Then([&] { backend->MouseDown(3, At(other.m_hWnd, 50, 60)); });
    Then([&] { backend->MouseUp(1, At(other.m_hWnd, 50, 60)); });
    EXPECT_EQ(Drag(), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    backend->MouseUp(3, At(other.m_hWnd, 50, 60));
    backend->ProcessMessages();
    EXPECT_EQ(target.log, (std::vector<std::string>{"enter 50,60", "leave"}));

    // Let go over a window without a target, and over one whose target was revoked.
    target.log.clear();
    Then([&] { backend->MouseMove(At(source.m_hWnd, 60, 60)); });
    Then([&] { backend->MouseUp(1, At(source.m_hWnd, 60, 60)); });
    EXPECT_EQ(Drag(), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    target.Revoke();
    Then([&] { backend->MouseMove(At(other.m_hWnd, 50, 60)); });
    Then([&] { backend->MouseUp(1, At(other.m_hWnd, 50, 60)); });
    EXPECT_EQ(Drag(), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_TRUE(target.log.empty());
    EXPECT_EQ(target.dropped, "");
}

TEST_F(OleDragDropTest, WithAStartRectangleTheDragBeginsOnlyOutsideIt)
{
    POINT corner = At(source.m_hWnd, 10, 10);
    RECT start{corner.x, corner.y, corner.x + 20, corner.y + 20};
    // Let go inside: nothing was dragged, and the source keeps no capture.
    Then([&] { backend->MouseMove(At(source.m_hWnd, 22, 22)); });
    Then([&] { backend->MouseUp(1, At(source.m_hWnd, 22, 22)); });
    EXPECT_EQ(Drag(DROPEFFECT_MOVE, &start), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(target.log.empty());

    // Out of the rectangle, the drag goes on to the target.
    Then([&] { backend->MouseMove(At(source.m_hWnd, 60, 60)); });
    Then([&] { backend->MouseMove(At(other.m_hWnd, 30, 30)); });
    Then([&] { backend->MouseUp(1, At(other.m_hWnd, 30, 30)); });
    EXPECT_EQ(Drag(DROPEFFECT_MOVE, &start), static_cast<DROPEFFECT>(DROPEFFECT_MOVE));
    EXPECT_EQ(target.dropped, "dragged text");
}

TEST_F(OleDragDropTest, RestingNearTheBorderScrollsAfterTheDelayThenEveryInterval)
{
    RECT client;
    GetClientRect(other.m_hWnd, &client);
    const int nearBottom = client.bottom - COleDropTarget::nScrollInset + 2;
    const int nearTop = 3;
    auto pos = [&] { return GetScrollPos(other.m_hWnd, SB_VERT); };
    std::vector<int> seen;
    DROPEFFECT effectAtTop = 0;
    // At the first line, the top border gives no scrolling and the ordinary effect.
    Then([&] { backend->MouseMove(At(other.m_hWnd, 50, nearTop)); });
    Then([&] { backend->AdvanceClock(200); });
    Then([&] { seen.push_back(pos()); effectAtTop = target.overs; backend->MouseMove(At(other.m_hWnd, 50, nearBottom)); });
    // Not before the delay; then one line, and one more per interval, also while the mouse
    // rests.
    Then([&] { backend->AdvanceClock(COleDropTarget::nScrollDelay / 2); backend->MouseMove(At(other.m_hWnd, 51, nearBottom)); });
    Then([&] { seen.push_back(pos()); backend->AdvanceClock(COleDropTarget::nScrollDelay / 2 + 5); backend->MouseMove(At(other.m_hWnd, 52, nearBottom)); });
    Then([&] { seen.push_back(pos()); backend->AdvanceClock(COleDropTarget::nScrollInterval + 10); });
    Then([&] { seen.push_back(pos()); backend->MouseMove(At(other.m_hWnd, 50, 100)); });
    Then([&] { backend->AdvanceClock(500); });
    Then([&] { seen.push_back(pos()); backend->MouseUp(1, At(other.m_hWnd, 50, 100)); });
    EXPECT_EQ(Drag(), static_cast<DROPEFFECT>(DROPEFFECT_MOVE));
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 1, 2, 2}));
    EXPECT_GT(effectAtTop, 0);   // the top border went to OnDragOver, not to scrolling
    // Scrolling took the drop feedback away and entering again brought it back.
    EXPECT_EQ(target.log, (std::vector<std::string>{"enter 50,3", "leave", "enter 50,100", "drop 2 50,100", "leave"}));
    EXPECT_EQ(target.dropped, "dragged text");
}
