// CPreviewWnd: print preview: a view's printed pages one at a time, drawn as on paper and
// scaled to fit, with Next Page, Prev Page and Close. In a frame it takes the place of the
// frame's pane (the frame puts its bars, menu and keys aside meanwhile); a view outside any
// frame gets a window of its own.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/wnd/CWnd.h"

#include <memory>

class CDC;
class CView;

// The preview's buttons.
#define AFX_ID_PREVIEW_CLOSE 0xE300
#define AFX_ID_PREVIEW_NEXT 0xE301
#define AFX_ID_PREVIEW_PREV 0xE302

class CPreviewWnd : public CWnd {
    DECLARE_DYNAMIC(CPreviewWnd)
public:
    explicit CPreviewWnd(CView* pView);
    ~CPreviewWnd() override;

    // Prepares the job through the view's hooks and shows the first page; FALSE when the
    // view declined or no page could be drawn (the object is then the caller's to delete).
    BOOL Open();
    // The page shown, and whether there are pages before and after it.
    UINT GetCurrentPage() const { return m_info.m_nCurPage; }
    BOOL CanGoNext() const;
    BOOL CanGoPrev() const;
    BOOL GoToPage(UINT nPage);
    // The window's client area where the sheet is drawn.
    CRect GetSheetRect() const;
    // The frame whose pane the preview stands in for, or null for a window of its own.
    CFrameWnd* GetPreviewFrame() const;

    // Pages are drawn at this many dots per inch.
    static const int nPreviewDpi;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;


private:
    bool ViewAlive() const;
    bool RenderPage(UINT nPage);
    void Paint();
    void Layout();
    void UpdateButtons();
    void Close();
    static BOOL PASCAL CloseFromFrame(CFrameWnd* pFrameWnd);

    CView* m_pView;
    HWND m_hWndView;
    CPrintInfo m_info;
    HDC m_hPrinter = nullptr;       // the preview's printer, at nPreviewDpi
    std::unique_ptr<CDC> m_pPrinter;
    HDC m_hPage = nullptr;          // the drawn page (printable area)
    HBITMAP m_hPageBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    bool m_begun = false;
    bool m_nextKnownMissing = false;
    HWND m_hNext = nullptr;
    HWND m_hPrev = nullptr;
    HWND m_hClose = nullptr;
    HWND m_hWndFrame = nullptr;       // the frame it stands in, when in one
    CFrameWnd* m_pFrame = nullptr;
    CPrintPreviewState m_state;
};
