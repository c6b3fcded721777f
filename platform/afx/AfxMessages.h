// The framework's private window messages, command codes and the records they carry: every
// message id the framework adds to the window layer's lives here.
#pragma once

#include "platform/core/CRect.h"
#include "platform/core/Types.h"
#include "platform/core/WinMessages.h"

// ---- Private messages (the range the window layer leaves to the framework) ----
#define WM_SIZEPARENT 0x0361        // lParam: AFX_SIZEPARENTPARAMS*; a bar takes its slice
#define WM_SETMESSAGESTRING 0x0362  // wParam: string id, or lParam: text; the frame's message bar
#define WM_IDLEUPDATECMDUI 0x0363   // wParam: disable commands without a handler
#define WM_INITIALUPDATE 0x0364     // sent to views once their frame is shown
#define WM_COMMANDHELP 0x0365
#define WM_HELPHITTEST 0x0366
#define WM_EXITHELPMODE 0x0367
#define WM_RECALCPARENT 0x0368      // a bar asks its frame to lay out again
#define WM_SIZECHILD 0x0369
#define WM_KICKIDLE 0x036A          // posted to get a modal loop's idle processing going
#define WM_QUERYCENTERWND 0x036B    // answers the window to centre on
#define WM_DISABLEMODAL 0x036C
#define WM_FLOATSTATUS 0x036D       // wParam: FS_ flags
#define WM_ACTIVATETOPLEVEL 0x036E
#define WM_POPMESSAGESTRING 0x0375

// Notifications and owner-draw messages handed back to the child that caused them are sent to
// it as WM_REFLECT_BASE + the message.
#define WM_REFLECT_BASE 0xBC00

// WM_FLOATSTATUS flags.
#define FS_SHOW 0x01
#define FS_HIDE 0x02
#define FS_ACTIVATE 0x04
#define FS_DEACTIVATE 0x08
#define FS_ENABLE 0x10
#define FS_DISABLE 0x20
#define FS_SYNCACTIVE 0x40

// Command codes that routing carries besides the controls' own notification codes.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI (static_cast<UINT>(-1))

// What WM_SIZEPARENT carries: the rectangle still free (each bar takes its part off it), the
// deferred-position handle (null when the layout is only asked for), whether the bars stretch
// across the whole side, and the total size the bars asked for.
struct AFX_SIZEPARENTPARAMS {
    HDWP hDWP;
    RECT rect;
    SIZE sizeTotal;
    BOOL bStretch;
};

// Window flags the framework keeps on its window objects (CWnd::m_nFlags).
#define WF_TOOLTIPS 0x0001
#define WF_TEMPHIDE 0x0002
#define WF_STAYDISABLED 0x0004
#define WF_MODALLOOP 0x0008
#define WF_CONTINUEMODAL 0x0010
#define WF_OLECTLCONTAINER 0x0100
#define WF_TRACKINGTOOLTIPS 0x0400
#define WF_STAYACTIVE 0x0020
#define WF_NOPOPMSG 0x0040
#define WF_MODALDISABLE 0x0080
