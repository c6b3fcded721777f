// ListDefs: the exchange records, masks, state bits and notification codes of the toolkit's list.
#pragma once

#include "platform/controls/StatusBar.h"   // NM_CLICK and the other common notifications
#include "platform/controls/ToolTip.h"     // LPSTR_TEXTCALLBACK
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

#ifndef NM_SETFOCUS
#define NM_SETFOCUS (NM_FIRST - 7)
#define NM_KILLFOCUS (NM_FIRST - 8)
#endif

// Hit-test codes; several may combine.
#define LVHT_NOWHERE 0x0001
#define LVHT_ONITEMICON 0x0002
#define LVHT_ONITEMLABEL 0x0004
#define LVHT_ONITEMSTATEICON 0x0008
#define LVHT_ABOVE 0x0008
#define LVHT_BELOW 0x0010
#define LVHT_TORIGHT 0x0020
#define LVHT_TOLEFT 0x0040
#define LVHT_ONDIVIDER 0x0800
#define LVHT_ONHEADER 0x1000
#define LVHT_ONITEM 0x2000
#define LVHT_LEFTOFLABEL 0x4000
#define LVHT_RIGHTOFLABEL 0x8000

#define LVNI_ALL 0x0000
#define LVNI_FOCUSED 0x0001
#define LVNI_SELECTED 0x0002
#define LVNI_CUT 0x0004
#define LVNI_DROPHILITED 0x0008
#define LVNI_ABOVE 0x0100
#define LVNI_BELOW 0x0200
#define LVNI_TOLEFT 0x0400
#define LVNI_TORIGHT 0x0800

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
