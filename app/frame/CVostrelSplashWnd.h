// CVostrelSplashWnd: the start-up picture with the program's name, purpose and version written
// on it, so that the words stay crisp in whatever font the system gives.
#pragma once

#include "platform/core/CString.h"
#include "toolkit/controls/SECSplashWnd.h"

class CVostrelSplashWnd : public SECSplashWnd {
public:
    CVostrelSplashWnd(UINT nBitmapID, UINT nDisplayTime, const CString& strVersion);

    void DrawExtra(CDC* pDC, const RECT& rcClient) override;

private:
    CString m_strVersion;
};
