// CEditCtrlWrapper: the editor window of the change preview: it numbers the lines of the text in
// its margin, four digits at least, with a margin wide enough for the text's last number.
#pragma once

#include "toolkit/editor/wnd/SECEditCtrl.h"

#include <vector>

class CEditCtrlWrapper : public SECEditCtrl {
    DECLARE_DYNCREATE(CEditCtrlWrapper)
public:
    CEditCtrlWrapper() = default;

    // The line's number ("%04d") in the margin, over the margin's pattern; on a line marked as
    // taken out, white on red.
    void DrawMargin(CDC* pDC, const CRect& rect, SECEditLine* pLine) override;
    // Marks the lines (numbered from 1, in order) whose text the save takes out.
    void SetRemovedLines(std::vector<int> lines) { m_removedLines = std::move(lines); }
    BOOL IsRemovedLine(int nLine) const;
    // The editor's own start, then a margin two and a half times as wide, or as wide as the
    // numbers of the text's lines need.
    void InitView() override;
    // A replace refused by the read-only text says that the Preview is read-only.
    int ReportError(int nID, BOOL bShow) override;
    // Lines cut at the maximum width are kept to be told by the Preview, which shows two texts
    // and tells it once for both.
    void OnLinesCut(int nMaxWidth) override { m_nLinesCutAt = nMaxWidth; }
    BOOL HasLinesCut() const { return m_nLinesCutAt > 0; }
    // Tells the user that lines were cut, as the editor tells it.
    void TellLinesCut() { SECEditCtrl::OnLinesCut(m_nLinesCutAt); }
    // Puts the caret on the line and column and shows them with what leads to them: the line a
    // third of the way down the text, and a column beyond the first screen's width a third of
    // the way across. As the editor changes size (the dialog laid out, or made smaller to fit
    // the screen) the place stays so shown, until the caret or the view is moved.
    void ShowPlace(SECEditLine* pLine, int nColumn);

protected:
    // A read-only text takes no Tab: Tab and Shift+Tab go on to the dialog's next control.
    UINT OnGetDlgCode();
    // A new size keeps the place ShowPlace showed in sight.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    DECLARE_MESSAGE_MAP()

private:
    // The place ShowPlace shows, and where the caret and the view stood once it was shown.
    struct Place {
        SECEditLine* pLine = nullptr;
        int nColumn = 0;
        int nCaretLine = 0;
        int nCaretColumn = 0;
        int nTopLine = 0;
        int nLeftColumn = 0;
    };
    Place m_place;
    // Whether the caret and the view stand where ShowPlace left them.
    BOOL IsPlaceShown() const;
    std::vector<int> m_removedLines;
    int m_nLinesCutAt = 0;
};
