// Message boxes of the application and the formatting of its messages.
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/MessageBox.h"


int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp)
{
    if (CWinApp* app = AfxGetApp())
        return app->DoMessageBox(lpszText ? lpszText : "", nType, nIDHelp);
    return ::MessageBox(nullptr, lpszText ? lpszText : "", "", nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    if (!text.LoadString(nIDPrompt)) {
        TRACE("no string %u for a message box\n", nIDPrompt);
        return 0;
    }
    return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}
