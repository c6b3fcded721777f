// TreeDefs: the tree's exchange record, handles, masks, states, codes and notifications.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/WinUser.h"

struct _TREEITEM;
typedef _TREEITEM* HTREEITEM;

#define TVI_ROOT (reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(0xFFFF0000)))
#define TVI_FIRST (reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(0xFFFF0001)))
#define TVI_LAST (reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(0xFFFF0002)))
#define TVI_SORT (reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(0xFFFF0003)))
// Inserts into children kept in descending order of their labels.
#define TVI_SORTDESCENDING (reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(0xFFFF0010)))

#define TVIF_TEXT 0x0001
#define TVIF_IMAGE 0x0002
#define TVIF_PARAM 0x0004
#define TVIF_STATE 0x0008
#define TVIF_HANDLE 0x0010
#define TVIF_SELECTEDIMAGE 0x0020
#define TVIF_CHILDREN 0x0040

#define TVIS_SELECTED 0x0002
#define TVIS_CUT 0x0004
#define TVIS_DROPHILITED 0x0008
#define TVIS_BOLD 0x0010
#define TVIS_EXPANDED 0x0020
#define TVIS_OVERLAYMASK 0x0F00
#define TVIS_STATEIMAGEMASK 0xF000

#define TVE_COLLAPSE 0x0001
#define TVE_EXPAND 0x0002
#define TVE_TOGGLE 0x0003
#define TVE_COLLAPSERESET 0x8000

#define TVGN_FIRSTVISIBLE 0x0005
#define TVGN_DROPHILITE 0x0008
#define TVGN_CARET 0x0009

#define TVC_UNKNOWN 0
#define TVC_BYMOUSE 1
#define TVC_BYKEYBOARD 2

#define TVHT_NOWHERE 0x0001
#define TVHT_ONITEMICON 0x0002
#define TVHT_ONITEMLABEL 0x0004
#define TVHT_ONITEMINDENT 0x0008
#define TVHT_ONITEMBUTTON 0x0010
#define TVHT_ONITEMRIGHT 0x0020
#define TVHT_ONITEMSTATEICON 0x0040
#define TVHT_ABOVE 0x0100
#define TVHT_BELOW 0x0200
#define TVHT_TORIGHT 0x0400
#define TVHT_TOLEFT 0x0800
#define TVHT_ONDIVIDER 0x1000
#define TVHT_ONHEADER 0x2000
#define TVHT_ONROW 0x4000

#define TVS_HASBUTTONS 0x0001
#define TVS_HASLINES 0x0002
#define TVS_LINESATROOT 0x0004
#define TVS_EDITLABELS 0x0008
#define TVS_DISABLEDRAGDROP 0x0010
#define TVS_SHOWSELALWAYS 0x0020

#define TVXS_MULTISEL 0x00100000
#define TVXS_WORDWRAP 0x00200000
#define TVXS_COLUMNHEADER 0x00400000
#define TVXS_FLYBYTOOLTIPS 0x00800000

#define TVN_SELCHANGING (-401)
#define TVN_SELCHANGED (-402)
#define TVN_GETDISPINFO (-403)
#define TVN_SETDISPINFO (-404)
#define TVN_ITEMEXPANDING (-405)
#define TVN_ITEMEXPANDED (-406)
#define TVN_BEGINDRAG (-407)
#define TVN_BEGINRDRAG (-408)
#define TVN_DELETEITEM (-409)
#define TVN_BEGINLABELEDIT (-410)
#define TVN_ENDLABELEDIT (-411)
#define TVN_KEYDOWN (-412)

// No image: a node's image and selected image start here.
#define SEC_TREE_NOIMAGE (-12)
// List-level states a tree item keeps in its own word: 0x200 hides the item and its subtree.
#define SEC_TVIS_LIST100 0x0100
#define SEC_TVIS_HIDDEN 0x0200

// The application value and the handle are pointer-sized: the application keeps node pointers.
struct TV_ITEM {
    UINT mask;
    HTREEITEM hItem;
    UINT state;
    UINT stateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    int iSelectedImage;
    int cChildren;
    LPARAM lParam;
};

struct TV_INSERTSTRUCT {
    HTREEITEM hParent;
    HTREEITEM hInsertAfter;
    TV_ITEM item;
};

struct NM_TREEVIEW {
    NMHDR hdr;
    UINT action;
    TV_ITEM itemOld;
    TV_ITEM itemNew;
    POINT ptDrag;
};

struct TV_DISPINFO {
    NMHDR hdr;
    TV_ITEM item;
};

struct TV_KEYDOWN {
    NMHDR hdr;
    WORD wVKey;
    UINT flags;
};
