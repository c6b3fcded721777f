// CEditCtrlWrapper: the editor window of the change preview: it numbers the lines of the text in
// its margin, four digits at least, with a margin wide enough for them.
#pragma once

#include "toolkit/editor/wnd/SECEditCtrl.h"

class CEditCtrlWrapper : public SECEditCtrl {
    DECLARE_DYNCREATE(CEditCtrlWrapper)
public:
    CEditCtrlWrapper() = default;

    // The line's number ("%04d") in the margin, over the margin's pattern.
    void DrawMargin(CDC* pDC, const CRect& rect, SECEditLine* pLine) override;
    // The editor's own start, then a margin two and a half times as wide.
    void InitView() override;

protected:
    // A read-only text takes no Tab: Tab and Shift+Tab go on to the dialog's next control.
    UINT OnGetDlgCode();
    DECLARE_MESSAGE_MAP()
};
