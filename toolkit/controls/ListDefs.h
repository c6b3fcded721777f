// ListDefs: the exchange records, masks, state bits and notification codes of the toolkit's list.
#pragma once

#include "platform/controls/ToolTip.h"   // LPSTR_TEXTCALLBACK
#include "platform/core/Types.h"
#include "platform/win/WinUser.h"

#define LVIF_TEXT 0x0001
#define LVIF_IMAGE 0x0002
#define LVIF_PARAM 0x0004
#define LVIF_STATE 0x0008
#define LVIF_DI_SETITEM 0x1000

#define LVIS_FOCUSED 0x0001
#define LVIS_SELECTED 0x0002
#define LVIS_DROPHILITED 0x0008

#define LVCF_FMT 0x0001
#define LVCF_WIDTH 0x0002
#define LVCF_TEXT 0x0004
#define LVCF_SUBITEM 0x0008

#define I_IMAGECALLBACK (-1)

#define LVN_INSERTITEM (-102)
#define LVN_DELETEITEM (-103)
#define LVN_BEGINLABELEDITA (-105)
#define LVN_ENDLABELEDITA (-106)
#define LVN_GETDISPINFOA (-150)
#define LVN_KEYDOWN (-155)

#define LVSIL_NORMAL 0
#define LVSIL_SMALL 1
#define LVSIL_STATE 2

// The application value is pointer-sized: callers keep node pointers in it.
struct LV_ITEM {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};

struct LV_COLUMN {
    UINT mask;
    int fmt;
    int cx;
    LPSTR pszText;
    int cchTextMax;
    int iSubItem;
};

struct LV_DISPINFO {
    NMHDR hdr;
    LV_ITEM item;
};

struct NM_LISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
};
