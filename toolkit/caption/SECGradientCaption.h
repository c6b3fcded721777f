// The caption a toolkit frame paints itself: a horizontal gradient from black to the active
// caption colour (a flat inactive colour otherwise), the window's icon, and the title split at
// its first "-" into an application part and a document part in two fonts. Painted through a
// memory bitmap in one block.
#pragma once

#include <functional>
#include <vector>

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/win/UserApi.h"

enum SECCaptionAlign { SEC_CAPTION_LEFT = 0, SEC_CAPTION_CENTER = 1, SEC_CAPTION_RIGHT = 2 };

// The caption's metrics: the system's normal caption, or the small one of tool windows.
enum class SECCaptionSize { Normal, Small };

struct SECCaptionBand {
    CRect rect;
    COLORREF colour;
};

class SECGradientCaption {
public:
    // The caption bar in window coordinates, leaving room for the caption buttons.
    static CRect GetCaptionRect(HWND hWnd);
    // The gradient bands over a width: min(60, width) of them, black to the end colour in 8.8
    // fixed point. No band for a width of 0 or less.
    static std::vector<SECCaptionBand> GradientBands(const CRect& rect, COLORREF end);
    // The title's application part (before the first "-") and document part (from it on).
    static void SplitTitle(const CString& title, CString& app, CString& doc);
    // The two title fonts from the system's caption font: the application part in italics.
    static BOOL CreateAppTitleFont(LOGFONT& font, SECCaptionSize size = SECCaptionSize::Normal);
    static BOOL CreateDocTitleFont(LOGFONT& font, SECCaptionSize size = SECCaptionSize::Normal);

    // Paints the caption of the window. FALSE when the memory bitmap could not be made (the
    // caller then goes back to the system's caption); an empty caption paints nothing.
    static BOOL DrawCaption(HWND hWnd, BOOL bActive, int nAlign, HFONT hAppFont, HFONT hDocFont);
};

// The custom-caption state a frame keeps, and its handling of the three messages that paint
// the caption. The frame decides the active state itself and passes it with WM_NCACTIVATE.
class SECCustomCaption {
public:
    using DefaultHandler = std::function<LRESULT(UINT, WPARAM, LPARAM)>;

    SECCustomCaption() = default;
    ~SECCustomCaption();
    SECCustomCaption(const SECCustomCaption&) = delete;
    SECCustomCaption& operator=(const SECCustomCaption&) = delete;

    // Switches the custom caption; answers the previous value. With bRedraw the non-client
    // area is repainted at once; a deactivation is posted so the frame works out its state.
    BOOL Enable(HWND hWnd, BOOL bEnable, BOOL bRedraw);
    BOOL IsEnabled() const { return m_bEnabled; }
    BOOL IsActive() const { return m_bActive; }
    void SetAlignment(int nAlign) { m_nAlign = nAlign; }
    int GetAlignment() const { return m_nAlign; }

    // WM_SETTEXT, WM_NCACTIVATE and WM_NCPAINT while the custom caption is on: TRUE when the
    // message was handled (its result in *pResult). bActive is the frame's state for
    // WM_NCACTIVATE. defProc runs the window's default handling.
    BOOL Handle(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, BOOL bActive, const DefaultHandler& defProc,
                LRESULT* pResult);
    // Paints the caption now; a failure to make the painting resources switches the custom
    // caption off for good.
    void Draw(HWND hWnd);

private:
    void EnsureFonts(HWND hWnd);
    void DeleteFonts();
    // Runs the default handling with the window's visible bit cleared, so it paints no caption.
    LRESULT DefaultHidden(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, const DefaultHandler& defProc);

    BOOL m_bEnabled = FALSE;
    BOOL m_bActive = FALSE;
    int m_nAlign = SEC_CAPTION_LEFT;
    HFONT m_hAppFont = nullptr;
    HFONT m_hDocFont = nullptr;
    SECCaptionSize m_fontSize = SECCaptionSize::Normal;
};
