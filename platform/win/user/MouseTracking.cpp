// TrackMouseEvent: WM_MOUSELEAVE, WM_NCMOUSELEAVE, WM_MOUSEHOVER and WM_NCMOUSEHOVER.
#include "platform/win/detail/MouseTracking.h"

#include "platform/core/MessageQueue.h"
#include "platform/core/WinError.h"
#include "platform/win/detail/Input.h"
#include "platform/win/detail/KeyStates.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowManager.h"

#include <cstdlib>

namespace {

// A timer id out of the range programs use for their own timers.
constexpr UINT_PTR kHoverTimerId = 0xFFFF'FF01;

struct Tracking {
    HWND hwnd = nullptr;
    DWORD flags = 0;          // TME_HOVER, TME_LEAVE, TME_NONCLIENT
    DWORD hoverTime = 0;
    POINT hoverStart{0, 0};   // screen; the hover rectangle is centred on it
};

Tracking& TrackingState()
{
    thread_local Tracking tracking;
    return tracking;
}

bool InTrackedArea(const Tracking& t, HWND hwnd, int hitTest)
{
    if (hwnd != t.hwnd)
        return false;
    const bool client = hitTest == HTCLIENT;
    return (t.flags & TME_NONCLIENT) ? !client : client;
}

DWORD HoverTime(DWORD asked)
{
    if (asked != HOVER_DEFAULT)
        return asked;
    UINT ms = 400;
    SystemParametersInfo(SPI_GETMOUSEHOVERTIME, 0, &ms, 0);
    return ms;
}

WPARAM MouseKeys()
{
    WPARAM keys = 0;
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000)
        keys |= MK_LBUTTON;
    if (GetAsyncKeyState(VK_RBUTTON) & 0x8000)
        keys |= MK_RBUTTON;
    if (GetAsyncKeyState(VK_MBUTTON) & 0x8000)
        keys |= MK_MBUTTON;
    if (GetAsyncKeyState(VK_SHIFT) & 0x8000)
        keys |= MK_SHIFT;
    if (GetAsyncKeyState(VK_CONTROL) & 0x8000)
        keys |= MK_CONTROL;
    return keys;
}

void StopHover(Tracking& t)
{
    if ((t.flags & TME_HOVER) && IsWindow(t.hwnd))
        KillTimer(t.hwnd, kHoverTimerId);
    t.flags &= ~static_cast<DWORD>(TME_HOVER);
}

void CALLBACK HoverElapsed(HWND hwnd, UINT, UINT_PTR, DWORD);

void StartHover(Tracking& t, POINT screen)
{
    t.hoverStart = screen;
    SetTimer(t.hwnd, kHoverTimerId, t.hoverTime, HoverElapsed);
}

void CALLBACK HoverElapsed(HWND hwnd, UINT, UINT_PTR, DWORD)
{
    KillTimer(hwnd, kHoverTimerId);
    Tracking& t = TrackingState();
    if (t.hwnd != hwnd || !(t.flags & TME_HOVER))
        return;
    t.flags &= ~static_cast<DWORD>(TME_HOVER);
    POINT pt = WindowManager::Get().cursorPos();
    if (t.flags & TME_NONCLIENT) {
        int hit = HTNOWHERE;
        if (InputTranslator::HitTest(pt, hit) != hwnd || hit == HTCLIENT)
            return;
        PostMessage(hwnd, WM_NCMOUSEHOVER, static_cast<WPARAM>(hit), MAKELPARAM(pt.x, pt.y));
    } else {
        ScreenToClient(hwnd, &pt);
        PostMessage(hwnd, WM_MOUSEHOVER, MouseKeys(), MAKELPARAM(pt.x, pt.y));
    }
    if (!(t.flags & TME_LEAVE))
        t = Tracking{};
}

void Leave(Tracking& t)
{
    const HWND hwnd = t.hwnd;
    const bool nonClient = (t.flags & TME_NONCLIENT) != 0;
    const bool leave = (t.flags & TME_LEAVE) != 0;
    StopHover(t);
    t = Tracking{};
    if (leave && IsWindow(hwnd))
        PostMessage(hwnd, nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
}

} // namespace

void MouseTracking::OnPointerAt(HWND hwnd, int hitTest, POINT screen)
{
    Tracking& t = TrackingState();
    if (!t.hwnd)
        return;
    if (!IsWindow(t.hwnd)) {
        t = Tracking{};
        return;
    }
    if (!InTrackedArea(t, hwnd, hitTest)) {
        Leave(t);
        return;
    }
    if (!(t.flags & TME_HOVER))
        return;
    UINT width = 4;
    UINT height = 4;
    SystemParametersInfo(SPI_GETMOUSEHOVERWIDTH, 0, &width, 0);
    SystemParametersInfo(SPI_GETMOUSEHOVERHEIGHT, 0, &height, 0);
    // Moving within the hover rectangle keeps the wait going; moving out of it starts it over.
    if (std::abs(screen.x - t.hoverStart.x) > static_cast<int>(width / 2) ||
        std::abs(screen.y - t.hoverStart.y) > static_cast<int>(height / 2))
        StartHover(t, screen);
}

void MouseTracking::OnPointerGone()
{
    Tracking& t = TrackingState();
    if (t.hwnd)
        Leave(t);
}

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT lpEventTrack)
{
    if (!lpEventTrack || lpEventTrack->cbSize != sizeof(TRACKMOUSEEVENT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Tracking& t = TrackingState();
    if (t.hwnd && !IsWindow(t.hwnd))
        t = Tracking{};
    const DWORD flags = lpEventTrack->dwFlags;
    if (flags & TME_QUERY) {
        lpEventTrack->dwFlags = t.flags;
        lpEventTrack->hwndTrack = t.hwnd;
        lpEventTrack->dwHoverTime = t.hwnd ? t.hoverTime : 0;
        return TRUE;
    }
    HWND hwnd = lpEventTrack->hwndTrack;
    if (!WindowManager::FindOwned(hwnd))
        return FALSE;
    const DWORD kinds = flags & (TME_HOVER | TME_LEAVE);
    const DWORD area = flags & TME_NONCLIENT;
    if (flags & TME_CANCEL) {
        // Only the request that is in force for this window and area is withdrawn.
        if (t.hwnd == hwnd && (t.flags & TME_NONCLIENT) == area) {
            if (kinds & TME_HOVER)
                StopHover(t);
            t.flags &= ~(kinds & TME_LEAVE);
            if (!(t.flags & (TME_HOVER | TME_LEAVE)))
                t = Tracking{};
        }
        return TRUE;
    }
    if (!kinds)
        return TRUE;

    // Where the pointer is now decides whether the request can wait at all.
    const POINT pt = WindowManager::Get().cursorPos();
    int hit = HTNOWHERE;
    HWND under = InputTranslator::HitTest(pt, hit);
    const bool inside = under == hwnd && ((area != 0) == (hit != HTCLIENT));
    if (!inside) {
        if (kinds & TME_LEAVE)
            PostMessage(hwnd, area ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
        return TRUE;
    }
    if (t.hwnd != hwnd || (t.flags & TME_NONCLIENT) != area) {
        StopHover(t);
        t = Tracking{};
    }
    t.hwnd = hwnd;
    t.flags |= kinds | area;
    if (kinds & TME_HOVER) {
        t.hoverTime = HoverTime(lpEventTrack->dwHoverTime);
        StartHover(t, pt);
    }
    return TRUE;
}
