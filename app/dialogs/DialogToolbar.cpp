#include "app/dialogs/DialogToolbar.h"

#include "platform/afx/bars/CToolBar.h"
#include "platform/controls/ToolTip.h"
#include "platform/core/ResourceTable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
constexpr DWORD kToolbarStyle = 0x50002800;
constexpr DWORD kToolbarExtraBarStyle = 0x34;
constexpr size_t kToolTipLength = 80;
} // namespace

BOOL CreateDialogToolbar(CToolBar& bar, CWnd* pDialog, UINT nBarId, UINT nResource)
{
    if (!bar.Create(pDialog, kToolbarStyle, nBarId) || !bar.LoadToolBar(nResource))
        return FALSE;
    bar.SetBarStyle(bar.GetBarStyle() | kToolbarExtraBarStyle);
    return TRUE;
}

int MakeRoomForToolbar(CToolBar& bar, CWnd* pDialog)
{
    const int nHeight = bar.CalcFixedLayout(TRUE, TRUE).cy;
    if (nHeight <= 0)
        return 0;
    for (CWnd* pChild = pDialog->GetWindow(GW_CHILD); pChild != nullptr; pChild = pChild->GetWindow(GW_HWNDNEXT)) {
        if (pChild->GetSafeHwnd() == bar.GetSafeHwnd())
            continue;
        CRect rect;
        pChild->GetWindowRect(&rect);
        pDialog->ScreenToClient(&rect);
        pChild->SetWindowPos(nullptr, rect.left, rect.top + nHeight, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CRect client;
    pDialog->GetClientRect(&client);
    bar.SetWindowPos(nullptr, 0, 0, client.Width(), nHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    CRect window;
    pDialog->GetWindowRect(&window);
    pDialog->SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() + nHeight,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return nHeight;
}

BOOL FillToolbarTipText(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pInfo = reinterpret_cast<NMTTDISPINFO*>(pNMHDR);
    UINT_PTR nId = pNMHDR->idFrom;
    if (pInfo->uFlags & TTF_IDISHWND)
        nId = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(nId)));
    pInfo->szText[0] = '\0';
    if (nId != 0)
        if (LPCSTR pszFull = FindResourceString(static_cast<UINT>(nId))) {
            const char* pszTip = std::strchr(pszFull, '\n');
            if (pszTip != nullptr)
                std::snprintf(pInfo->szText, std::min(sizeof pInfo->szText, kToolTipLength), "%s", pszTip + 1);
        }
    if (pResult != nullptr)
        *pResult = 0;
    if (HWND hTip = pNMHDR->hwndFrom)
        ::SetWindowPos(hTip, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}
