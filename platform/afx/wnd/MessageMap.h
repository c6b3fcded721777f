// Message maps: each class's table of the window messages, commands and notifications it
// handles. An entry holds a small function that decodes the message's wParam and lParam into
// the handler's typed arguments, so decoding happens once, in the entry, and nowhere else.
#pragma once

#include "platform/afx/AfxMessages.h"
#include "platform/core/CRect.h"
#include "platform/core/Types.h"
#include "platform/win/WinUser.h"

class CCmdTarget;
class CCmdUI;
class CWnd;

// One call through a map entry: the window message as sent, or, for routed commands and
// notifications, the id, code and extra data; the handler's answer goes into result.
struct AFX_MSGCALL {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;
    UINT nCode;
    void* pExtra;
    LRESULT result;
};

// Calls the handler; FALSE when the handler declined (the _EX forms) so that routing goes on.
using AFX_PTHUNK = BOOL (*)(CCmdTarget* pTarget, AFX_MSGCALL& call);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;              // window message, or WM_COMMAND / WM_NOTIFY for routed entries
    UINT nCode;                 // command or notification code (routed and reflected entries)
    UINT nID;                   // first control or command id
    UINT nLastID;               // last id of a range (nID for a single id)
    const UINT* pnRegistered;   // ON_REGISTERED_MESSAGE: where the registered number is kept
    AFX_PTHUNK pfn;             // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// What a routed WM_NOTIFY carries to ON_NOTIFY handlers.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// Filled by OnCmdMsg when it is asked only whether a handler exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    const AFX_MSGMAP_ENTRY* pEntry;
};

class CDC;
class CMenu;

// Turn the handles of a message into the objects handlers take (temporary ones when needed).
CWnd* AfxWndFromHandle(HWND hWnd);
CDC* AfxDCFromHandle(HDC hDC);
CMenu* AfxMenuFromHandle(HMENU hMenu);

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override; \
\
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        static_assert(sizeof(ThisClass) > 0); \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            {0, 0, 0, 0, nullptr, nullptr}}; \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap; \
    }

// The body of an entry's function: `p` is the object as the map's class, `c` the call.
#define AFX_THUNK(body) \
    +[](CCmdTarget* t_, [[maybe_unused]] AFX_MSGCALL& c) -> BOOL { \
        [[maybe_unused]] ThisClass* p = static_cast<ThisClass*>(t_); \
        body \
    }

#define AFX_WM_ENTRY(msg, body) {msg, 0, 0, 0, nullptr, AFX_THUNK(body)},
#define AFX_POINT_LPARAM CPoint(GET_X_LPARAM(c.lParam), GET_Y_LPARAM(c.lParam))

// ---- Any message ----
// LRESULT memberFxn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn) \
    AFX_WM_ENTRY(message, c.result = (p->*memberFxn)(c.wParam, c.lParam); return TRUE;)
// LRESULT memberFxn(WPARAM, LPARAM); nMessageVariable holds RegisterWindowMessage's number.
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) \
    {0xC000, 0, 0, 0, &nMessageVariable, \
     AFX_THUNK(c.result = (p->*memberFxn)(c.wParam, c.lParam); return TRUE;)},

// ---- Commands (menu items, accelerators, buttons) ----
// void memberFxn()
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id), nullptr, \
     AFX_THUNK((p->*memberFxn)(); return TRUE;)},
// BOOL memberFxn(UINT nID): FALSE lets routing go on to the next target.
#define ON_COMMAND_EX(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id), nullptr, \
     AFX_THUNK(return (p->*memberFxn)(c.nID);)},
// void memberFxn(UINT nID)
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(idLast), nullptr, \
     AFX_THUNK((p->*memberFxn)(c.nID); return TRUE;)},
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(idLast), nullptr, \
     AFX_THUNK(return (p->*memberFxn)(c.nID);)},
// void memberFxn(CCmdUI* pCmdUI)
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, static_cast<UINT>(id), static_cast<UINT>(id), nullptr, \
     AFX_THUNK(return AfxCallUpdateHandler(static_cast<CCmdUI*>(c.pExtra), \
                                           [&](CCmdUI* u) { (p->*memberFxn)(u); });)},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, static_cast<UINT>(id), static_cast<UINT>(idLast), nullptr, \
     AFX_THUNK(return AfxCallUpdateHandler(static_cast<CCmdUI*>(c.pExtra), \
                                           [&](CCmdUI* u) { (p->*memberFxn)(u); });)},

// ---- Control notifications through WM_COMMAND ----
// void memberFxn()
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    {WM_COMMAND, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), nullptr, \
     AFX_THUNK((p->*memberFxn)(); return TRUE;)},
// void memberFxn(UINT nID)
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn) \
    {WM_COMMAND, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(idLast), nullptr, \
     AFX_THUNK((p->*memberFxn)(c.nID); return TRUE;)},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(0 /*BN_CLICKED*/, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(5 /*BN_DOUBLECLICKED*/, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(6 /*BN_SETFOCUS*/, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(7 /*BN_KILLFOCUS*/, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(0x0100 /*EN_SETFOCUS*/, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(0x0200 /*EN_KILLFOCUS*/, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(0x0300 /*EN_CHANGE*/, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(0x0400 /*EN_UPDATE*/, id, memberFxn)
#define ON_EN_ERRSPACE(id, memberFxn) ON_CONTROL(0x0500 /*EN_ERRSPACE*/, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(0x0501 /*EN_MAXTEXT*/, id, memberFxn)
#define ON_EN_HSCROLL(id, memberFxn) ON_CONTROL(0x0601 /*EN_HSCROLL*/, id, memberFxn)
#define ON_EN_VSCROLL(id, memberFxn) ON_CONTROL(0x0602 /*EN_VSCROLL*/, id, memberFxn)
#define ON_CBN_ERRSPACE(id, memberFxn) ON_CONTROL(static_cast<UINT>(-1) & 0xFFFF, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(1 /*CBN_SELCHANGE*/, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(2 /*CBN_DBLCLK*/, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(3 /*CBN_SETFOCUS*/, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(4 /*CBN_KILLFOCUS*/, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(5 /*CBN_EDITCHANGE*/, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(6 /*CBN_EDITUPDATE*/, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(7 /*CBN_DROPDOWN*/, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(8 /*CBN_CLOSEUP*/, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(9 /*CBN_SELENDOK*/, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(10 /*CBN_SELENDCANCEL*/, id, memberFxn)
#define ON_LBN_ERRSPACE(id, memberFxn) ON_CONTROL(static_cast<UINT>(-2) & 0xFFFF, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(1 /*LBN_SELCHANGE*/, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(2 /*LBN_DBLCLK*/, id, memberFxn)
#define ON_LBN_SELCANCEL(id, memberFxn) ON_CONTROL(3 /*LBN_SELCANCEL*/, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(4 /*LBN_SETFOCUS*/, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(5 /*LBN_KILLFOCUS*/, id, memberFxn)

// ---- WM_NOTIFY ----
// void memberFxn(NMHDR* pNotifyStruct, LRESULT* pResult)
#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
    {WM_NOTIFY, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), nullptr, \
     AFX_THUNK(auto* n = static_cast<AFX_NOTIFY*>(c.pExtra); (p->*memberFxn)(n->pNMHDR, n->pResult); \
               return TRUE;)},
// void memberFxn(UINT nID, NMHDR* pNotifyStruct, LRESULT* pResult)
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn) \
    {WM_NOTIFY, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(idLast), nullptr, \
     AFX_THUNK(auto* n = static_cast<AFX_NOTIFY*>(c.pExtra); (p->*memberFxn)(c.nID, n->pNMHDR, n->pResult); \
               return TRUE;)},
// BOOL memberFxn(UINT nID, NMHDR* pNotifyStruct, LRESULT* pResult): FALSE lets routing go on.
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn) \
    {WM_NOTIFY, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), nullptr, \
     AFX_THUNK(auto* n = static_cast<AFX_NOTIFY*>(c.pExtra); \
               return (p->*memberFxn)(c.nID, n->pNMHDR, n->pResult);)},
#define ON_NOTIFY_EX_RANGE(wNotifyCode, id, idLast, memberFxn) \
    {WM_NOTIFY, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(idLast), nullptr, \
     AFX_THUNK(auto* n = static_cast<AFX_NOTIFY*>(c.pExtra); \
               return (p->*memberFxn)(c.nID, n->pNMHDR, n->pResult);)},

// ---- Reflected to the child that sent them ----
// void memberFxn()
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(wNotifyCode), 0, 0, nullptr, \
     AFX_THUNK((p->*memberFxn)(); return TRUE;)},
// BOOL memberFxn(): FALSE lets the parent handle the notification as well.
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(wNotifyCode), 0, 0, nullptr, \
     AFX_THUNK(return (p->*memberFxn)();)},
// void memberFxn(NMHDR* pNotifyStruct, LRESULT* pResult)
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(wNotifyCode), 0, 0, nullptr, \
     AFX_THUNK((p->*memberFxn)(reinterpret_cast<NMHDR*>(c.lParam), &c.result); return TRUE;)},
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(wNotifyCode), 0, 0, nullptr, \
     AFX_THUNK(return (p->*memberFxn)(reinterpret_cast<NMHDR*>(c.lParam), &c.result);)},
// void DrawItem(LPDRAWITEMSTRUCT) and the other owner-draw messages, reflected.
#define ON_WM_DRAWITEM_REFLECT() \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_DRAWITEM, \
                 p->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(c.lParam)); c.result = TRUE; return TRUE;)
#define ON_WM_MEASUREITEM_REFLECT() \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_MEASUREITEM, \
                 p->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(c.lParam)); c.result = TRUE; return TRUE;)
#define ON_WM_COMPAREITEM_REFLECT() \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_COMPAREITEM, \
                 c.result = p->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(c.lParam)); return TRUE;)
#define ON_WM_DELETEITEM_REFLECT() \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_DELETEITEM, \
                 p->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(c.lParam)); c.result = TRUE; return TRUE;)
#define ON_WM_PARENTNOTIFY_REFLECT() \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_PARENTNOTIFY, \
                 p->ParentNotify(LOWORD(c.wParam), c.lParam); return TRUE;)

// ---- Window messages with typed handlers ----
#define ON_WM_CREATE() \
    AFX_WM_ENTRY(WM_CREATE, c.result = p->OnCreate(reinterpret_cast<LPCREATESTRUCT>(c.lParam)); return TRUE;)
#define ON_WM_NCCREATE() \
    AFX_WM_ENTRY(WM_NCCREATE, c.result = p->OnNcCreate(reinterpret_cast<LPCREATESTRUCT>(c.lParam)); return TRUE;)
#define ON_WM_DESTROY() AFX_WM_ENTRY(WM_DESTROY, p->OnDestroy(); return TRUE;)
#define ON_WM_NCDESTROY() AFX_WM_ENTRY(WM_NCDESTROY, p->OnNcDestroy(); return TRUE;)
#define ON_WM_CLOSE() AFX_WM_ENTRY(WM_CLOSE, p->OnClose(); return TRUE;)
#define ON_WM_PAINT() AFX_WM_ENTRY(WM_PAINT, p->OnPaint(); return TRUE;)
#define ON_WM_SIZE() \
    AFX_WM_ENTRY(WM_SIZE, p->OnSize(static_cast<UINT>(c.wParam), static_cast<short>(LOWORD(c.lParam)), \
                                    static_cast<short>(HIWORD(c.lParam))); return TRUE;)
#define ON_WM_MOVE() \
    AFX_WM_ENTRY(WM_MOVE, p->OnMove(static_cast<short>(LOWORD(c.lParam)), static_cast<short>(HIWORD(c.lParam))); \
                 return TRUE;)
#define ON_WM_TIMER() AFX_WM_ENTRY(WM_TIMER, p->OnTimer(static_cast<UINT_PTR>(c.wParam)); return TRUE;)
#define ON_WM_SETFOCUS() \
    AFX_WM_ENTRY(WM_SETFOCUS, p->OnSetFocus(AfxWndFromHandle(reinterpret_cast<HWND>(c.wParam))); return TRUE;)
#define ON_WM_KILLFOCUS() \
    AFX_WM_ENTRY(WM_KILLFOCUS, p->OnKillFocus(AfxWndFromHandle(reinterpret_cast<HWND>(c.wParam))); return TRUE;)
#define ON_WM_SHOWWINDOW() \
    AFX_WM_ENTRY(WM_SHOWWINDOW, p->OnShowWindow(static_cast<BOOL>(c.wParam), static_cast<UINT>(c.lParam)); \
                 return TRUE;)
#define ON_WM_ENABLE() AFX_WM_ENTRY(WM_ENABLE, p->OnEnable(static_cast<BOOL>(c.wParam)); return TRUE;)
#define ON_WM_ACTIVATE() \
    AFX_WM_ENTRY(WM_ACTIVATE, p->OnActivate(LOWORD(c.wParam), AfxWndFromHandle(reinterpret_cast<HWND>(c.lParam)), \
                                            HIWORD(c.wParam) != 0); return TRUE;)
#define ON_WM_MOUSEACTIVATE() \
    AFX_WM_ENTRY(WM_MOUSEACTIVATE, \
                 c.result = p->OnMouseActivate(AfxWndFromHandle(reinterpret_cast<HWND>(c.wParam)), \
                                               static_cast<short>(LOWORD(c.lParam)), HIWORD(c.lParam)); return TRUE;)
#define ON_WM_NCACTIVATE() \
    AFX_WM_ENTRY(WM_NCACTIVATE, c.result = p->OnNcActivate(static_cast<BOOL>(c.wParam)); return TRUE;)
#define ON_WM_GETMINMAXINFO() \
    AFX_WM_ENTRY(WM_GETMINMAXINFO, p->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(c.lParam)); return TRUE;)
#define ON_WM_WINDOWPOSCHANGING() \
    AFX_WM_ENTRY(WM_WINDOWPOSCHANGING, p->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(c.lParam)); return TRUE;)
#define ON_WM_WINDOWPOSCHANGED() \
    AFX_WM_ENTRY(WM_WINDOWPOSCHANGED, p->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(c.lParam)); return TRUE;)
#define ON_WM_NCHITTEST() AFX_WM_ENTRY(WM_NCHITTEST, c.result = p->OnNcHitTest(AFX_POINT_LPARAM); return TRUE;)
#define ON_WM_SETCURSOR() \
    AFX_WM_ENTRY(WM_SETCURSOR, c.result = p->OnSetCursor(AfxWndFromHandle(reinterpret_cast<HWND>(c.wParam)), \
                                                         static_cast<short>(LOWORD(c.lParam)), HIWORD(c.lParam)); \
                 return TRUE;)
#define ON_WM_CAPTURECHANGED() \
    AFX_WM_ENTRY(WM_CAPTURECHANGED, p->OnCaptureChanged(AfxWndFromHandle(reinterpret_cast<HWND>(c.lParam))); \
                 return TRUE;)
#define ON_WM_GETDLGCODE() AFX_WM_ENTRY(WM_GETDLGCODE, c.result = p->OnGetDlgCode(); return TRUE;)
#define ON_WM_SYSCOMMAND() \
    AFX_WM_ENTRY(WM_SYSCOMMAND, p->OnSysCommand(static_cast<UINT>(c.wParam), c.lParam); return TRUE;)
#define ON_WM_CONTEXTMENU() \
    AFX_WM_ENTRY(WM_CONTEXTMENU, \
                 p->OnContextMenu(AfxWndFromHandle(reinterpret_cast<HWND>(c.wParam)), AFX_POINT_LPARAM); return TRUE;)
#define ON_WM_PARENTNOTIFY() \
    AFX_WM_ENTRY(WM_PARENTNOTIFY, p->OnParentNotify(LOWORD(c.wParam), c.lParam); return TRUE;)
#define ON_WM_DRAWITEM() \
    AFX_WM_ENTRY(WM_DRAWITEM, p->OnDrawItem(static_cast<int>(c.wParam), \
                                            reinterpret_cast<LPDRAWITEMSTRUCT>(c.lParam)); c.result = TRUE; \
                 return TRUE;)
#define ON_WM_MEASUREITEM() \
    AFX_WM_ENTRY(WM_MEASUREITEM, p->OnMeasureItem(static_cast<int>(c.wParam), \
                                                  reinterpret_cast<LPMEASUREITEMSTRUCT>(c.lParam)); c.result = TRUE; \
                 return TRUE;)
#define ON_WM_COMPAREITEM() \
    AFX_WM_ENTRY(WM_COMPAREITEM, c.result = p->OnCompareItem(static_cast<int>(c.wParam), \
                                                             reinterpret_cast<LPCOMPAREITEMSTRUCT>(c.lParam)); \
                 return TRUE;)
#define ON_WM_DELETEITEM() \
    AFX_WM_ENTRY(WM_DELETEITEM, p->OnDeleteItem(static_cast<int>(c.wParam), \
                                                reinterpret_cast<LPDELETEITEMSTRUCT>(c.lParam)); c.result = TRUE; \
                 return TRUE;)

#define ON_WM_SYSCOLORCHANGE() AFX_WM_ENTRY(WM_SYSCOLORCHANGE, p->OnSysColorChange(); return TRUE;)
#define ON_WM_SETTINGCHANGE() \
    AFX_WM_ENTRY(WM_SETTINGCHANGE, p->OnSettingChange(static_cast<UINT>(c.wParam), \
                                                      reinterpret_cast<LPCTSTR>(c.lParam)); return TRUE;)
#define ON_WM_CANCELMODE() AFX_WM_ENTRY(WM_CANCELMODE, p->OnCancelMode(); return TRUE;)
#define ON_WM_ACTIVATEAPP() \
    AFX_WM_ENTRY(WM_ACTIVATEAPP, p->OnActivateApp(static_cast<BOOL>(c.wParam), static_cast<DWORD>(c.lParam)); \
                 return TRUE;)
#define ON_WM_ENTERIDLE() \
    AFX_WM_ENTRY(WM_ENTERIDLE, p->OnEnterIdle(static_cast<UINT>(c.wParam), \
                                              AfxWndFromHandle(reinterpret_cast<HWND>(c.lParam))); return TRUE;)
#define ON_WM_NCPAINT() AFX_WM_ENTRY(WM_NCPAINT, p->OnNcPaint(); return TRUE;)
#define ON_WM_NCCALCSIZE() \
    AFX_WM_ENTRY(WM_NCCALCSIZE, p->OnNcCalcSize(static_cast<BOOL>(c.wParam), \
                                                reinterpret_cast<NCCALCSIZE_PARAMS*>(c.lParam)); return TRUE;)
// Non-client mouse messages: the hit-test code and the point on the screen.
#define AFX_NCMOUSE_ENTRY(msg, fn) \
    AFX_WM_ENTRY(msg, p->fn(static_cast<UINT>(c.wParam), AFX_POINT_LPARAM); return TRUE;)
#define ON_WM_NCMOUSEMOVE() AFX_NCMOUSE_ENTRY(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_NCLBUTTONDOWN() AFX_NCMOUSE_ENTRY(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() AFX_NCMOUSE_ENTRY(WM_NCLBUTTONUP, OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() AFX_NCMOUSE_ENTRY(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() AFX_NCMOUSE_ENTRY(WM_NCRBUTTONDOWN, OnNcRButtonDown)

#define AFX_MOUSE_ENTRY(msg, fn) \
    AFX_WM_ENTRY(msg, p->fn(static_cast<UINT>(c.wParam), AFX_POINT_LPARAM); return TRUE;)
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() AFX_MOUSE_ENTRY(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() AFX_MOUSE_ENTRY(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MOUSEWHEEL() \
    AFX_WM_ENTRY(WM_MOUSEWHEEL, c.result = p->OnMouseWheel(LOWORD(c.wParam), static_cast<short>(HIWORD(c.wParam)), \
                                                           AFX_POINT_LPARAM); return TRUE;)
#define ON_WM_MOUSEHWHEEL() \
    AFX_WM_ENTRY(WM_MOUSEHWHEEL, p->OnMouseHWheel(LOWORD(c.wParam), static_cast<short>(HIWORD(c.wParam)), \
                                                 AFX_POINT_LPARAM); c.result = 0; return TRUE;)

#define AFX_KEY_ENTRY(msg, fn) \
    AFX_WM_ENTRY(msg, p->fn(static_cast<UINT>(c.wParam), LOWORD(c.lParam), HIWORD(c.lParam)); return TRUE;)
#define ON_WM_KEYDOWN() AFX_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() AFX_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_SYSKEYDOWN() AFX_KEY_ENTRY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSKEYUP() AFX_KEY_ENTRY(WM_SYSKEYUP, OnSysKeyUp)
#define ON_WM_SYSCHAR() AFX_KEY_ENTRY(WM_SYSCHAR, OnSysChar)

#define ON_WM_ERASEBKGND() \
    AFX_WM_ENTRY(WM_ERASEBKGND, c.result = p->OnEraseBkgnd(AfxDCFromHandle(reinterpret_cast<HDC>(c.wParam))); \
                 return TRUE;)
#define ON_WM_MENUSELECT() \
    AFX_WM_ENTRY(WM_MENUSELECT, p->OnMenuSelect(LOWORD(c.wParam), HIWORD(c.wParam), reinterpret_cast<HMENU>(c.lParam)); \
                 return TRUE;)
#define ON_WM_INITMENUPOPUP() \
    AFX_WM_ENTRY(WM_INITMENUPOPUP, p->OnInitMenuPopup(AfxMenuFromHandle(reinterpret_cast<HMENU>(c.wParam)), \
                                                      LOWORD(c.lParam), HIWORD(c.lParam) != 0); return TRUE;)
// HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) for every WM_CTLCOLOR... message;
// nCtlColor is the kind (CTLCOLOR_EDIT…), counted from WM_CTLCOLORMSGBOX.
#define AFX_CTLCOLOR_ENTRY(msg) \
    AFX_WM_ENTRY(msg, c.result = reinterpret_cast<LRESULT>(p->OnCtlColor( \
                          AfxDCFromHandle(reinterpret_cast<HDC>(c.wParam)), \
                          AfxWndFromHandle(reinterpret_cast<HWND>(c.lParam)), c.message - WM_CTLCOLORMSGBOX)); \
                 return TRUE;)
#define ON_WM_CTLCOLOR() \
    AFX_CTLCOLOR_ENTRY(WM_CTLCOLORMSGBOX) AFX_CTLCOLOR_ENTRY(WM_CTLCOLOREDIT) AFX_CTLCOLOR_ENTRY(WM_CTLCOLORLISTBOX) \
    AFX_CTLCOLOR_ENTRY(WM_CTLCOLORBTN) AFX_CTLCOLOR_ENTRY(WM_CTLCOLORDLG) AFX_CTLCOLOR_ENTRY(WM_CTLCOLORSCROLLBAR) \
    AFX_CTLCOLOR_ENTRY(WM_CTLCOLORSTATIC)
// HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) in the control: a null brush leaves it to the parent.
#define AFX_CTLCOLOR_REFLECT_ENTRY(msg) \
    AFX_WM_ENTRY(WM_REFLECT_BASE + msg, \
                 HBRUSH brush = p->CtlColor(AfxDCFromHandle(reinterpret_cast<HDC>(c.wParam)), msg - WM_CTLCOLORMSGBOX); \
                 c.result = reinterpret_cast<LRESULT>(brush); return brush != nullptr;)
#define ON_WM_CTLCOLOR_REFLECT() \
    AFX_CTLCOLOR_REFLECT_ENTRY(WM_CTLCOLORMSGBOX) AFX_CTLCOLOR_REFLECT_ENTRY(WM_CTLCOLOREDIT) \
    AFX_CTLCOLOR_REFLECT_ENTRY(WM_CTLCOLORLISTBOX) AFX_CTLCOLOR_REFLECT_ENTRY(WM_CTLCOLORBTN) \
    AFX_CTLCOLOR_REFLECT_ENTRY(WM_CTLCOLORDLG) AFX_CTLCOLOR_REFLECT_ENTRY(WM_CTLCOLORSCROLLBAR) \
    AFX_CTLCOLOR_REFLECT_ENTRY(WM_CTLCOLORSTATIC)

// The framework's own messages.
#define ON_WM_SIZEPARENT() ON_MESSAGE(WM_SIZEPARENT, &ThisClass::OnSizeParent)
