#include "grid/core/CGXLongOperationImp.h"

#include "platform/core/MessageQueue.h"
#include "platform/win/HeadlessFixture.h"
#include "platform/win/VirtualKeys.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr UINT kWorkerMessage = WM_USER + 0x0C; // as a worker thread reports a line of text

class LongOperationPumpTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        CGXLongOperationImp::Install();
    }
    void TearDown() override
    {
        CGXLongOperationImp::Uninstall();
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        HeadlessTest::TearDown();
    }
};

} // namespace

TEST_F(LongOperationPumpTest, PaintsAndTimersRunInputIsDroppedWorkerMessagesWait)
{
    ASSERT_NE(GXGetLongOperationImp(), nullptr);
    HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100);
    backend->ProcessMessages();
    Log().clear();

    std::thread worker([hwnd] { PostMessage(hwnd, kWorkerMessage, 1, 2); });
    worker.join();
    PostMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessage(hwnd, WM_COMMAND, 100, 0);
    PostMessage(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessage(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
    ASSERT_NE(SetTimer(hwnd, 7, 10, nullptr), 0u);
    backend->AdvanceClock(20); // due, without handling anything yet

    {
        CGXLongOperation op;
        op.PumpMessages();
        EXPECT_TRUE(GXGetLongOperationState().m_bEscPressed);
        EXPECT_TRUE(GXGetLongOperationState().m_bBusy);
    }
    KillTimer(hwnd, 7);

    EXPECT_FALSE(Of(hwnd, WM_PAINT).empty());
    EXPECT_FALSE(Of(hwnd, WM_TIMER).empty());
    for (UINT held : {static_cast<UINT>(WM_LBUTTONDOWN), static_cast<UINT>(WM_COMMAND), static_cast<UINT>(WM_KEYDOWN),
                      static_cast<UINT>(WM_NCLBUTTONDOWN), kWorkerMessage})
        EXPECT_TRUE(Of(hwnd, held).empty()) << "message " << held << " was dispatched";

    // Input was dropped; the worker's message is still waiting for the ordinary loop.
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, hwnd, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessage(&msg, hwnd, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessage(&msg, hwnd, kWorkerMessage, kWorkerMessage, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_EQ(msg.lParam, 2);
}

TEST_F(LongOperationPumpTest, StatusTextReachesTheStatusWindowAndQuitIsKept)
{
    HWND status = Make(WS_OVERLAPPEDWINDOW, 0, 0, 100, 20);
    static_cast<CGXLongOperationImp*>(GXGetLongOperationImp())->SetStatusWindow(status);
    std::vector<std::string> texts;
    Handler() = [&](HWND h, UINT m, WPARAM, LPARAM l, LRESULT& r) {
        if (h != status || m != GX_WM_SETMESSAGESTRING)
            return false;
        texts.emplace_back(reinterpret_cast<LPCSTR>(l));
        r = 0;
        return true;
    };
    // The spinner's sign is the process's: earlier tests have turned it.
    GXGetLongOperationState().m_nSpinner = 0;
    {
        CGXLongOperation op;
        op.SetStatusText("Removing rows");
        op.m_dwStart -= 1000; // as if it had run for a second
        BOOL bCancelled = TRUE;
        EXPECT_TRUE(op.DoMessages(bCancelled));
        EXPECT_FALSE(bCancelled);
        PostQuitMessage(3);
        op.PumpMessages();
    }
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Removing rows   Press ESC to cancel  -");
    EXPECT_EQ(texts[1], "Done.");
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(LongOperationPumpTest, InputGivenAfterTheLastLookIsDroppedWhenABusyOperationEnds)
{
    HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100);
    backend->ProcessMessages();
    {
        CGXLongOperation op;
        op.PumpMessages();
        // Pressed after the operation's last look: meant for it, not for what follows it.
        PostMessage(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    }
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessage(&msg, hwnd, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE));

    // An operation that ended before it showed anything leaves the keys typed meanwhile.
    {
        CGXLongOperation op;
        PostMessage(hwnd, WM_KEYDOWN, 'A', 0);
    }
    EXPECT_TRUE(PeekMessage(&msg, hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
}

namespace {

// The window side's implementation, whose question is answered Yes without a box.
class AnsweringImp : public CGXLongOperationImp {
public:
    int asked = 0;

protected:
    GXAbortAnswer AskAbort(int) override
    {
        ++asked;
        return gxAnswerCancel;
    }
};

} // namespace

// ESC typed before an operation's first wait stops it: seen first in line in the queue, or by
// the key's state while it waits behind the key-up of the keys that started the work. A key
// before it stays for after the work; an ESC handled before the work began is not one.
TEST_F(LongOperationPumpTest, EscTypedBeforeTheFirstWaitIsHeard)
{
    HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100);
    backend->ProcessMessages();
    ::SetFocus(hwnd);
    AnsweringImp imp;
    CGXAbstractLongOperationImp* pOld = GXSetLongOperationImp(&imp);
    const DWORD nInterval = GXGetLongOperationState().m_nPollInterval;
    MSG msg;
    BOOL bCancelled = FALSE;
    {
        CGXLongOperation op;
        PostMessage(hwnd, WM_KEYDOWN, 'Z', 0);
        PostMessage(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        backend->AdvanceClock(nInterval);
        EXPECT_FALSE(op.DoMessages(bCancelled));
        ASSERT_TRUE(PeekMessage(&msg, hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE) && msg.wParam == 'Z');
        backend->AdvanceClock(nInterval);
        EXPECT_TRUE(op.DoMessages(bCancelled) && bCancelled);
    }
    backend->Key(VK_ESCAPE);
    backend->ProcessMessages();
    {
        CGXLongOperation op;
        backend->AdvanceClock(nInterval);
        EXPECT_FALSE(op.DoMessages(bCancelled));
        backend->KeyUp('Y');
        backend->KeyDown(VK_ESCAPE);
        backend->AdvanceClock(nInterval);
        EXPECT_TRUE(op.DoMessages(bCancelled) && bCancelled);
        EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
    }
    EXPECT_EQ(imp.asked, 2);
    backend->KeyUp(VK_ESCAPE);
    backend->ProcessMessages();
    GXSetLongOperationImp(pOld);
}
