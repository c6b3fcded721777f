// The small toolbars of the catalogue and classification dialogs: a child bar at the top of the
// dialog, room made for it below, and tool tips from the commands' strings.
#pragma once

#include "platform/core/Types.h"

class CToolBar;
class CWnd;
struct NMHDR;

// Makes the bar a child of the dialog from the toolbar resource; FALSE when it could not be made.
BOOL CreateDialogToolbar(CToolBar& bar, CWnd* pDialog, UINT nBarId, UINT nResource);
// Moves every other child of the dialog down by the bar's height, spreads the bar over the top
// and grows the dialog by that height, so that nothing is covered. The height.
int MakeRoomForToolbar(CToolBar& bar, CWnd* pDialog);
// Answers a tool tip's request for text: the part after the first "\n" of the command's
// string, at most 80 characters; the tip is brought to the top. Always TRUE.
BOOL FillToolbarTipText(NMHDR* pNMHDR, LRESULT* pResult);
