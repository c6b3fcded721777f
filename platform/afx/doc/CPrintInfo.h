// CPrintInfo: what one print or preview job knows: its dialog, the pages and the current one,
// and the part of the page the view may draw on.
#pragma once

#include "platform/core/CRect.h"
#include "platform/core/CString.h"

#include <memory>

class CPrintDialog;

struct CPrintInfo {
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    CPrintDialog* m_pPD;        // the job's print dialog, owned
    BOOL m_bDocObject = FALSE;
    BOOL m_bDirect = FALSE;     // print on the default printer without asking
    BOOL m_bPreview = FALSE;
    BOOL m_bContinuePrinting = TRUE;
    UINT m_nCurPage = 1;
    UINT m_nNumPreviewPages = 1;
    CString m_strPageDesc = "Page %u\nPages %u-%u\n";
    LPVOID m_lpUserData = nullptr;
    CRect m_rectDraw;           // the page's printable area in logical units

    void SetMinPage(UINT nMinPage);
    void SetMaxPage(UINT nMaxPage);
    UINT GetMinPage() const;
    UINT GetMaxPage() const;
    // The pages to print: the dialog's range, else every page.
    UINT GetFromPage() const;
    UINT GetToPage() const;
    UINT GetOffsetPage() const;

private:
    std::unique_ptr<CPrintDialog> m_ownedPD;
};
