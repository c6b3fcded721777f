// The private messages between the tab strip, the tab window and the tab window's owner.
#pragma once

#include "platform/core/WinMessages.h"

#define TCM_TABSEL (WM_USER + 1000)         // a tab was activated; wParam: its index
#define TCM_TABDBLCLK (WM_USER + 1001)      // the strip was double-clicked; wParam: the tab hit (0: none)
#define TCM_TABSELCLR (WM_USER + 1002)      // the selection was cleared
#define TCM_TABREACTIVATE (WM_USER + 1003)  // the active tab was clicked again; wParam: its index
