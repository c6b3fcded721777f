// The framework's per-thread state: the handle maps from window handles to window objects,
// the message being processed (which Default passes on), the window being created, and the
// tool tip shared by the thread's windows.
#pragma once

#include "platform/core/Types.h"
#include "platform/core/WinMessages.h"

#include <unordered_map>

class CWnd;
class CMenu;
class CGdiObject;
class CDC;
class CImageList;

// Handles mapped to their objects. Permanent objects belong to their creators; temporary ones
// are made by FromHandle for handles no object owns, and deleted when the thread is idle.
template <class Handle, class Object>
struct CHandleMap {
    std::unordered_map<Handle, Object*> permanent;
    std::unordered_map<Handle, Object*> temporary;

    Object* LookupPermanent(Handle h) const
    {
        auto it = permanent.find(h);
        return it == permanent.end() ? nullptr : it->second;
    }
    Object* LookupTemporary(Handle h) const
    {
        auto it = temporary.find(h);
        return it == temporary.end() ? nullptr : it->second;
    }
};

struct AFX_THREAD_STATE {
    AFX_THREAD_STATE();
    ~AFX_THREAD_STATE();
    AFX_THREAD_STATE(const AFX_THREAD_STATE&) = delete;
    AFX_THREAD_STATE& operator=(const AFX_THREAD_STATE&) = delete;

    MSG m_lastSentMsg{};         // the message the innermost framework window procedure has
    CWnd* m_pWndInit = nullptr;  // the object waiting for the window being created
    HHOOK m_hHookOldCbtFilter = nullptr;
    HWND m_hLockoutNotifyWindow = nullptr;   // notifications from it are dropped
    MSG m_msgCur{};              // the message the thread's loop is working on
    CHandleMap<HWND, CWnd> m_windows;
    CHandleMap<HMENU, CMenu> m_menus;
    CHandleMap<HGDIOBJ, CGdiObject> m_gdiObjects;
    CHandleMap<HDC, CDC> m_dcs;
    CHandleMap<HIMAGELIST, CImageList> m_imageLists;

    // The thread's tool tip and what it shows now.
    HWND m_hToolTip = nullptr;
    HWND m_hLastHitWnd = nullptr;
    INT_PTR m_nLastHit = -1;
    UINT_PTR m_nLastToolId = 0;
    HWND m_hLastToolWnd = nullptr;

    // The idle loop's counters (CWinThread::Run).
    int m_nDisablePumpCount = 0;
    UINT m_nMsgLast = 0;
    POINT m_ptCursorLast{-1, -1};
};

AFX_THREAD_STATE* AfxGetThreadState();
