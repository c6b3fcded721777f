// The Edit commands' way to the window that holds the keys.
#include "app/frame/CEditCommandRoute.h"

#include "app/res/AppRes.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/afx/AfxMessages.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/EditDefs.h"
#include "platform/win/Clipboard.h"

namespace {

// The window a window stands in at the top: its parents', then its owners' way up.
HWND TopOwnerOf(HWND hWnd)
{
    HWND hTop = hWnd;
    for (HWND hUp = hWnd; hUp != nullptr;
         hUp = (::GetWindowLong(hUp, GWL_STYLE) & WS_CHILD) ? ::GetParent(hUp) : ::GetWindow(hUp, GW_OWNER))
        hTop = hUp;
    return hTop;
}

bool IsFrameWindow(HWND hWnd)
{
    const CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    return pWnd != nullptr && pWnd->IsFrameWnd();
}

// Whether the keys are in one of the main window's own windows: the window itself, a window in
// it, or a frame of its own it stands over (a pane floated off it). Not a dialog: a dialog
// takes its keys itself, and the main window's toolbar is out of the user's reach meanwhile.
bool KeysInMainWindow(HWND hMain, HWND hFocus)
{
    if (hFocus == hMain || ::IsChild(hMain, hFocus))
        return true;
    const HWND hTop = ::GetAncestor(hFocus, GA_ROOT);
    return hTop != nullptr && IsFrameWindow(hTop) && TopOwnerOf(hTop) == hMain;
}

} // namespace

bool CEditCommandRoute::IsEditCommand(UINT nID)
{
    switch (nID) {
    case ID_EDIT_UNDO:
    case ID_UNDO_ALL:
    case ID_EDIT_REDO:
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
    case ID_EDIT_PASTE:
    case ID_EDIT_DELETE_META:
    case ID_EDIT_CLEAR:
    case ID_EDIT_SELECT_ALL:
    case ID_EDIT_FIND:
    case ID_EDIT_REPLACE:
    case ID_FILL_DOWN:
        return true;
    default:
        return false;
    }
}

bool CEditCommandRoute::Route(CWnd& mainWnd, CWnd* pFirst, UINT nID, int nCode, void* pExtra)
{
    if (!IsEditCommand(nID) || (nCode != CN_COMMAND && nCode != static_cast<int>(CN_UPDATE_COMMAND_UI)))
        return false;
    const HWND hFocus = ::GetFocus();
    if (hFocus == nullptr || mainWnd.m_hWnd == nullptr || !KeysInMainWindow(mainWnd.m_hWnd, hFocus))
        return false;
    // A frame that holds the keys itself holds no control for them to act on (a floated
    // toolbar's, whose button was clicked): the frame's route goes on, to the grid.
    if (IsFrameWindow(hFocus))
        return false;
    // The window with the keys, and those it lies in, first: the grid's edit field acts on its
    // own text, the grid on its cells.
    for (HWND hWnd = hFocus; hWnd != nullptr && !IsFrameWindow(hWnd); hWnd = ::GetParent(hWnd))
        if (CWnd* pWnd = CWnd::FromHandlePermanent(hWnd); pWnd != nullptr && pWnd->OnCmdMsg(nID, nCode, pExtra, nullptr))
            return true;
    // In the grid's frame the frame's route goes on: to its view, which holds the grid.
    const HWND hFirst = pFirst != nullptr ? pFirst->m_hWnd : nullptr;
    if (hFirst != nullptr && (hFocus == hFirst || ::IsChild(hFirst, hFocus)))
        return false;
    auto* pCmdUI = nCode == CN_COMMAND ? nullptr : static_cast<CCmdUI*>(pExtra);
    if (::SendMessage(hFocus, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        ToEdit(hFocus, nID, nCode, pCmdUI);
    else
        ToNothing(nID, nCode, pCmdUI);
    return true;
}

void CEditCommandRoute::ToEdit(HWND hEdit, UINT nID, int nCode, CCmdUI* pCmdUI)
{
    const bool bWritable = (::GetWindowLong(hEdit, GWL_STYLE) & ES_READONLY) == 0;
    DWORD dwStart = 0, dwEnd = 0;
    ::SendMessage(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
    const bool bChosen = dwStart != dwEnd;
    UINT message = 0;
    bool bCan = false;
    switch (nID) {
    case ID_EDIT_CUT:
        message = WM_CUT;
        bCan = bWritable && bChosen;
        break;
    case ID_EDIT_COPY:
        message = WM_COPY;
        bCan = bChosen;
        break;
    case ID_EDIT_PASTE:
        message = WM_PASTE;
        bCan = bWritable && ::IsClipboardFormatAvailable(CF_TEXT);
        break;
    case ID_EDIT_DELETE_META:
    case ID_EDIT_CLEAR:
        message = WM_CLEAR;
        bCan = bWritable && bChosen;
        break;
    case ID_EDIT_UNDO:
        message = WM_UNDO;
        bCan = bWritable && ::SendMessage(hEdit, EM_CANUNDO, 0, 0) != 0;
        if (pCmdUI != nullptr)
            CGXGridCore::UpdateTypingUndoItem(gxUndo, bCan, pCmdUI);
        break;
    case ID_EDIT_SELECT_ALL:
        message = EM_SETSEL;
        bCan = ::GetWindowTextLength(hEdit) > 0;
        break;
    default:
        ToNothing(nID, nCode, pCmdUI);
        return;
    }
    if (pCmdUI != nullptr)
        pCmdUI->Enable(bCan);
    else if (bCan && message == EM_SETSEL)
        ::SendMessage(hEdit, EM_SETSEL, 0, -1);
    else if (bCan)
        ::SendMessage(hEdit, message, 0, 0);
}

void CEditCommandRoute::ToNothing(UINT nID, int nCode, CCmdUI* pCmdUI)
{
    if (nCode == CN_COMMAND || pCmdUI == nullptr)
        return;
    if (nID == ID_EDIT_UNDO || nID == ID_EDIT_REDO)
        CGXGridCore::UpdateTypingUndoItem(nID == ID_EDIT_UNDO ? gxUndo : gxRedo, FALSE, pCmdUI);
    else
        pCmdUI->Enable(FALSE);
}
