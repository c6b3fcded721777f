// The Preview of a page's changes while it is on the screen, found among the program's windows.
#pragma once

#include "app/dialogs/CPreviewDlg.h"
#include "platform/core/ThreadApi.h"
#include "platform/win/UserApi.h"

// The Preview shown now; null when none is.
inline CPreviewDlg* ShownPreview()
{
    CPreviewDlg* pFound = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND top, LPARAM lParam) -> BOOL {
        if (auto* pDlg = dynamic_cast<CPreviewDlg*>(CWnd::FromHandlePermanent(top)); pDlg != nullptr && IsWindowVisible(top))
            *reinterpret_cast<CPreviewDlg**>(lParam) = pDlg;
        return TRUE;
    }, reinterpret_cast<LPARAM>(&pFound));
    return pFound;
}
