// While they live, the grid's long operations keep another pace: ProgressAtEveryTurn shows
// their progress from their start and at every turn, so that a test on a machine of any speed
// sees it and its ESC is heard at once; ProgressOnlyOnEsc shows nothing of their own however
// long they run, until the user presses ESC, so that what the status bar says is what the
// program said when the work began. LookAtEveryTurn looks at the queue at every turn as well,
// and counts the looks that ran the thread's idle work through to the freeing of the temporary
// objects of the handle maps, which whatever holds such an object across the work finds gone;
// LongWorkWindow runs such work from a message that a loop of the program dispatches.
#pragma once

#include "grid/core/CGXLongOperationImp.h"
#include "grid/data/CGXLongOperation.h"
#include "platform/afx/gdi/CGdiObject.h"
#include "platform/afx/wnd/AfxThreadState.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/Gdi.h"

#include <functional>
#include <map>
#include <string>
#include <utility>

class LongOperationPace {
public:
    LongOperationPace(DWORD nFirstWait, DWORD nUpdateInterval)
    {
        state.m_nFirstWait = nFirstWait;
        state.m_nUpdateInterval = nUpdateInterval;
    }
    ~LongOperationPace()
    {
        state.m_nFirstWait = nOldFirstWait;
        state.m_nUpdateInterval = nOldUpdateInterval;
    }
    LongOperationPace(const LongOperationPace&) = delete;
    LongOperationPace& operator=(const LongOperationPace&) = delete;

private:
    CGXLongOperationState& state = GXGetLongOperationState();
    const DWORD nOldFirstWait = state.m_nFirstWait;
    const DWORD nOldUpdateInterval = state.m_nUpdateInterval;
};

struct ProgressAtEveryTurn : LongOperationPace {
    ProgressAtEveryTurn() : LongOperationPace(0, 0) {}
};

struct ProgressOnlyOnEsc : LongOperationPace {
    ProgressOnlyOnEsc() : LongOperationPace(0x7FFFFFFF, GXGetLongOperationState().m_nUpdateInterval) {}
};

class LookAtEveryTurn : public CGXLongOperationImp {
public:
    LookAtEveryTurn() = default;
    ~LookAtEveryTurn() override
    {
        GXSetLongOperationImp(pOldImp);
        state.m_nPollInterval = nOldPollInterval;
    }
    LookAtEveryTurn(const LookAtEveryTurn&) = delete;
    LookAtEveryTurn& operator=(const LookAtEveryTurn&) = delete;

    // A temporary object made before the look tells whether the look freed them.
    void PumpMessages(CGXLongOperation& op) override
    {
        const HGDIOBJ hMark = ::GetStockObject(NULL_PEN);
        auto& objects = AfxGetThreadState()->m_gdiObjects;
        const bool bMarked = CGdiObject::FromHandle(hMark) == objects.LookupTemporary(hMark);
        CGXLongOperationImp::PumpMessages(op);
        if (bMarked && objects.LookupTemporary(hMark) == nullptr)
            ++freed[state.GetText(state.m_nLevel)];
        if (atEachLook)
            atEachLook();
    }
    // Runs after each look, as whatever the look lets run may: reads what the work leaves in
    // sight meanwhile.
    std::function<void()> atEachLook;
    // The looks of the operations showing the text that freed the temporary objects.
    int Freed(const std::string& text) const
    {
        auto it = freed.find(text);
        return it != freed.end() ? it->second : 0;
    }
    // The looks of all operations that freed them.
    int Freed() const
    {
        int n = 0;
        for (const auto& [text, count] : freed)
            n += count;
        return n;
    }

private:
    ProgressAtEveryTurn pace;
    CGXLongOperationState& state = GXGetLongOperationState();
    const DWORD nOldPollInterval = std::exchange(state.m_nPollInterval, 0);
    CGXAbstractLongOperationImp* const pOldImp = GXSetLongOperationImp(this);
    std::map<std::string, int> freed;
};

class LongWorkWindow : public CWnd {
public:
    static constexpr UINT kMsgWork = WM_APP + 0x2A;
    LongWorkWindow() { CreateEx(0, nullptr, "Long work", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr); }
    ~LongWorkWindow() override { DestroyWindow(); }
    LongWorkWindow(const LongWorkWindow&) = delete;
    LongWorkWindow& operator=(const LongWorkWindow&) = delete;

    // Posted: the work runs when the loop that takes the message dispatches it, and then what
    // comes after it. The work takes out the user's input that waits at its looks and at its
    // end, as the work of the program does: input meant for after the work is given by `after`.
    void PostWork(std::function<void()> after = {})
    {
        then = std::move(after);
        PostMessage(kMsgWork);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != kMsgWork)
            return CWnd::WindowProc(message, wParam, lParam);
        {
            CGXLongOperation op;
            op.DoMessages();
        }
        ++done;
        if (then)
            std::exchange(then, nullptr)();
        return 0;
    }
    int done = 0;

private:
    std::function<void()> then;
};
