// CGXDrawingAndFormatting: the grid library's one object that lays out and draws cell text
// (lines broken like a multi-line edit, ellipses and pound marks, rotated text through its
// feature), finds the character under a point, and draws static cells and 3D frames.
#pragma once

#include "grid/data/CGXData.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/CGXUserAttribute.h"
#include "platform/core/CRect.h"

#include <memory>

class CBitmap;
class CDC;
class CGXControl;


class CGXDrawingAndFormatting {
public:
    // Pixels of air a cell's text keeps from the lines at its left and right.
    static constexpr int kTextAir = 2;
    virtual ~CGXDrawingAndFormatting();
    // Created on first use and kept for the program's life; a program may install its own.
    static CGXDrawingAndFormatting* GetInstance();
    static void SetInstance(std::unique_ptr<CGXDrawingAndFormatting> pInstance);

    // The 8x8 monochrome pattern nIndex (0..40), or null for an index the table does not hold.
    virtual CBitmap* GetPatternBitmap(int nIndex);
    virtual int DrawTextEllipsis(CDC* pDC, LPCTSTR lpszString, int nCount, const CRect& rect, UINT nFormat, LPCRECT lpRectClip, int nEllipsisMode);
    virtual int DrawMultiLineText(CDC* pDC, LPCTSTR lpszString, int nCount, const CRect& rect, UINT nFormat, LPCRECT lpRectClip);
    virtual int DrawRotatedText(CDC* pDC, LPCTSTR lpszString, int nCount, const CRect& rect, UINT nFormat, LONG lfOrientation, LPCRECT lpRectClip);
    virtual int GetCharIndexFromPoint(CDC* pDC, LPCTSTR lpszString, int nCount, const CRect& rect, UINT nFormat, int x, int y);
    virtual int CalcTextLineCount(CDC* pDC, LPCTSTR lpszString, int nCount, CRect& rect, UINT nFormat);
    virtual int CalcTextLines(CDC* pDC, LPCTSTR lpszString, int nCount, CRect& rect, UINT nFormat, int* anStarts, int* anLengths, int nMaxLines);
    virtual CString FormatValue(const CGXStyle& style, LPCTSTR pszValue);
    virtual BOOL ParseValue(const CGXStyle& style, CString& sValue);
    virtual void Draw3dRect(CDC* pDC, int left, int top, int right, int bottom, int nWidth, COLORREF rgbTopLeft, COLORREF rgbBottomRight);
    virtual void Draw3dFrame(CDC* pDC, CRect rect, BOOL bFrame, BOOL bSunken);
    virtual void DrawFocusText(CDC* pDC, const CRect& rect, LPCTSTR lpszText, UINT nFormat, BOOL bFocus);
    virtual void DrawStaticCell(CGXControl* pControl, CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle);
    // The bitmap of the pool that a cell's text names, or null; a control whose window is an
    // edit window shows its text as text.
    static HBITMAP LookupCellBitmap(CGXControl* pControl, const CString& sText);

    // The ellipsis mode (user attribute GX_IDS_UA_ELLIPSISTYPE) of text that gives up its end to
    // "..." when it does not fit.
    static constexpr int kDottedEllipsis = 1;
    // The ellipsis mode (user attribute GX_IDS_UA_ELLIPSISTYPE) of a single line that shows the
    // end of a path: its start gives way to "..." so that the file's name always shows.
    static constexpr int kPathEllipsis = 3;
    // The most lines a cell lays out.
    static constexpr int kMaxLines = 32;
    static constexpr int kPatternCount = 41;

protected:
    CGXDrawingAndFormatting() = default;
    friend struct std::default_delete<CGXDrawingAndFormatting>;

private:
    // The user patterns, then the dash patterns of line brushes (CGXPen::kLinePatternFirst on).
    std::unique_ptr<CBitmap> m_patterns[kPatternCount + 8];
};

// The application-wide feature that draws rotated cell text.
// The number-formatting feature: turns a stored value into the text a cell shows by its
// style's format, and typed text back into a value. The library supplies none; a program that
// needs formats installs one in the library's number-formatting slot.
class CGXAbstractNumberFormattingImp : public CObject {
public:
    virtual CString FormatValue(const CGXStyle& style, LPCTSTR pszValue) = 0;
    virtual BOOL ParseValue(const CGXStyle& style, CString& sValue) = 0;
};

class CGXAbstractDrawRotatedTextImp : public CObject {
public:
    virtual int DrawRotatedText(CDC* pDC, LPCTSTR lpszString, int nCount, const CRect& rect, UINT nFormat, LONG lfOrientation, LPCRECT lpRectClip) = 0;
};

class CGXDrawRotatedTextImp : public CGXAbstractDrawRotatedTextImp {
public:
    static void Install();
    int DrawRotatedText(CDC* pDC, LPCTSTR lpszString, int nCount, const CRect& rect, UINT nFormat, LONG lfOrientation, LPCRECT lpRectClip) override;
};
