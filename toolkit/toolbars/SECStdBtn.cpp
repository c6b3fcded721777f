#include "toolkit/toolbars/SECStdBtn.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/controls/ToolTip.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/toolbars/SECBmpMgr.h"
#include "toolkit/toolbars/SECBtnDrawContext.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECToolBarManager.h"

#include <algorithm>

namespace {

SECStdBtn* NewStdBtn()
{
    return new SECStdBtn;
}

SECStdBtn* NewTextBtn()
{
    return new SECTBTextButton;
}

// Raster operations of the state drawings.
constexpr DWORD kRopPSDPxax = 0x00B8074A; // pattern where the mask is 0, the button elsewhere
constexpr DWORD kRopDSPDxax = 0x00E20746; // pattern where the mask is 1, the button elsewhere
constexpr DWORD kRopDSna = 0x00220326;

const SECGlobalData& Colors()
{
    return SECGetGlobalData();
}

} // namespace

const SECButtonClass SECStdBtn::classSECStdBtn = {&NewStdBtn};
const SECButtonClass SECTBTextButton::classSECTBTextButton = {&NewTextBtn};

SECStdBtn::SECStdBtn() = default;
SECStdBtn::~SECStdBtn() = default;

const SECButtonClass* SECStdBtn::GetBtnClass() const
{
    return &classSECStdBtn;
}

void SECStdBtn::SetMode(DWORD)
{
}

void SECStdBtn::SetPos(int x, int y)
{
    m_x = x;
    m_y = y;
}

void SECStdBtn::Invalidate(BOOL bErase) const
{
    if (m_pToolBar && m_pToolBar->m_hWnd) {
        const CRect rect = GetRect();
        m_pToolBar->InvalidateRect(&rect, bErase);
    }
}

void SECStdBtn::Init(SECCustomToolBar* pToolBar, const UINT*)
{
    m_pToolBar = pToolBar;
    AdjustSize();
}

int SECStdBtn::ImageWidth() const
{
    return m_pToolBar ? m_pToolBar->GetImageWidth() : 16;
}

int SECStdBtn::ImageHeight() const
{
    return m_pToolBar ? m_pToolBar->GetImageHeight() : 15;
}

BOOL SECStdBtn::IsFlat() const
{
    return m_pToolBar && (m_pToolBar->GetExBarStyle() & CBRS_EX_COOLBORDERS);
}

BOOL SECStdBtn::IsTransparent() const
{
    return m_pToolBar && (m_pToolBar->GetExBarStyle() & (CBRS_EX_COOLBORDERS | 0x1000)) == (CBRS_EX_COOLBORDERS | 0x1000);
}

BOOL SECStdBtn::InCustomize() const
{
    return m_pToolBar && m_pToolBar->InCustomizeMode();
}

void SECStdBtn::AdjustSize()
{
    const int iw = ImageWidth();
    m_cx = IsSeparator() ? (iw + 8) / 3 : iw + 7;
    m_cy = ImageHeight() + 7;
    if (m_pToolBar)
        m_pToolBar->m_nMaxBtnWidth = std::max(m_pToolBar->m_nMaxBtnWidth, m_cx);
}

void SECStdBtn::BarStyleChanged(DWORD)
{
}

void SECStdBtn::GetBtnInfo(BYTE& nLen, const BYTE*& pBytes) const
{
    nLen = 0;
    pBytes = nullptr;
}

void SECStdBtn::SetBtnInfo(BYTE, const BYTE*)
{
}

CRect SECStdBtn::ImageRect(int nImageWidth) const
{
    const int iw = nImageWidth < 0 ? ImageWidth() : nImageWidth;
    const int ih = ImageHeight();
    const int x = (m_cx - iw - 1) / 2;
    const int y = (m_cy - ih) / 2;
    return CRect(x, y, x + iw, y + ih);
}

void SECStdBtn::Paint(CDC& dc, SECBtnDrawContext& ctx)
{
    const CRect rect = GetRect();
    if (!dc.RectVisible(&rect))
        return;
    if (DrawSeparator(dc))
        return;
    SelectImage(ctx);
    DrawFace(ctx);
    if (IsTransparent())
        BlendBackground(dc, ctx);
    DrawSelectionIfSelected(ctx);
    BlitToDC(dc, ctx);
}

BOOL SECStdBtn::DrawSeparator(CDC& dc)
{
    if (!IsSeparator())
        return FALSE;
    if (IsFlat() && !(m_nStyle & SEC_TBBS_WRAPPED)) {
        if (!IsTransparent())
            dc.FillSolidRect(m_x, m_y, m_cx, m_cy, Colors().clrBtnFace);
        // The line stands in the middle of the separator's own width: a separator made after a
        // size change keeps the bar's separator width, not the one the images would give.
        const int x = m_x + m_cx / 2;
        dc.FillSolidRect(x, m_y, 1, m_cy, Colors().clrBtnShadow);
        dc.FillSolidRect(x + 1, m_y, 1, m_cy, Colors().clrBtnHilite);
    }
    return TRUE;
}

BOOL SECStdBtn::SelectImage(SECBtnDrawContext& ctx)
{
    m_hStrip = nullptr;
    SECBmpMgr* mgr = m_pToolBar ? m_pToolBar->GetBmpMgr() : nullptr;
    int index = 0;
    if (!mgr || !mgr->GetImage(m_nID, m_hStrip, index) || !m_hStrip) {
        m_hStrip = nullptr;
        return FALSE;
    }
    m_nImage = index;
    ctx.SelectStrip(m_hStrip);
    return TRUE;
}

void SECStdBtn::DrawFace(SECBtnDrawContext& ctx)
{
    CDC& dc = ctx.m_dcButton;
    const CRect rect(0, 0, m_cx, m_cy);
    if (InCustomize()) {
        // Customising shows every button at rest: no pressed or hot frame.
        const DWORD kept = m_nStyle;
        m_nStyle &= ~static_cast<DWORD>(SEC_TBBS_PRESSED | SEC_TBBS_HOT);
        DrawFrame(dc, ctx, FALSE, rect);
        m_nStyle = kept;
        return;
    }
    DrawFrame(dc, ctx, FALSE, rect);
    CRect image = ImageRect(-1);
    if (m_nStyle & (SEC_TBBS_CHECKED | SEC_TBBS_PRESSED))
        image.OffsetRect(1, 1);
    if (m_nStyle & SEC_TBBS_PRESSED)
        return;
    if (m_nStyle & SEC_TBBS_DISABLED)
        DrawDisabled(dc, ctx, image);
    else if (m_nStyle & SEC_TBBS_CHECKED)
        DrawChecked(dc, ctx, image);
    else if (m_nStyle & SEC_TBBS_INDETERMINATE)
        DrawIndeterminate(dc, ctx, image);
}

void SECStdBtn::DrawFrame(CDC& dc, SECBtnDrawContext& ctx, BOOL bForce, const CRect& rect, int nImageWidth)
{
    const SECGlobalData& c = Colors();
    const int iw = nImageWidth < 0 ? ImageWidth() : nImageWidth;
    int x = rect.left + (rect.Width() - iw - 1) / 2;
    int y = rect.top + (rect.Height() - ImageHeight()) / 2;
    dc.FillSolidRect(&rect, c.clrBtnFace);
    if ((m_nStyle & (SEC_TBBS_CHECKED | SEC_TBBS_PRESSED)) && !bForce) {
        if (IsFlat()) {
            dc.Draw3dRect(&rect, c.clrBtnShadow, c.clrBtnHilite);
        } else {
            dc.Draw3dRect(&rect, c.clrWindowFrame, c.clrBtnHilite);
            CRect inner = rect;
            inner.DeflateRect(1, 1);
            dc.Draw3dRect(&inner, c.clrBtnShadow, c.clrBtnFace);
        }
        ++x;
        ++y;
    } else if (IsFlat()) {
        if (m_nStyle & SEC_TBBS_HOT)
            dc.Draw3dRect(&rect, c.clrBtnHilite, c.clrBtnShadow);
    } else {
        dc.Draw3dRect(&rect, c.clrBtnHilite, c.clrWindowFrame);
        CRect inner = rect;
        inner.DeflateRect(1, 1);
        dc.Draw3dRect(&inner, c.clrBtnFace, c.clrBtnShadow);
    }
    DrawImage(dc, ctx, x, y);
}

void SECStdBtn::DrawImage(CDC& dc, SECBtnDrawContext& ctx, int x, int y)
{
    if (!m_hStrip)
        return; // a command without an image shows its face and frame only
    const int iw = ImageWidth();
    dc.BitBlt(x, y, iw, ImageHeight(), &ctx.m_dcGlyphs, m_nImage * iw, 0, SRCCOPY);
}

void SECStdBtn::CreateMask(SECBtnDrawContext& ctx, const CRect& image)
{
    const SECGlobalData& c = Colors();
    ctx.m_dcMono.PatBlt(image.left, image.top, image.Width(), image.Height(), WHITENESS);
    const COLORREF oldBk = ctx.m_dcButton.SetBkColor(c.clrBtnFace);
    ctx.m_dcMono.BitBlt(image.left, image.top, image.Width(), image.Height(), &ctx.m_dcButton, image.left, image.top,
                        SRCCOPY);
    ctx.m_dcButton.SetBkColor(c.clrBtnHilite);
    ctx.m_dcMono.BitBlt(image.left, image.top, image.Width(), image.Height(), &ctx.m_dcButton, image.left, image.top,
                        SRCPAINT);
    ctx.m_dcButton.SetBkColor(oldBk);
}

void SECStdBtn::DrawDisabled(CDC& dc, SECBtnDrawContext& ctx, const CRect& image)
{
    const SECGlobalData& c = Colors();
    CreateMask(ctx, image);
    dc.FillSolidRect(&image, c.clrBtnFace);
    const COLORREF oldText = dc.SetTextColor(RGB(0, 0, 0));
    const COLORREF oldBk = dc.SetBkColor(RGB(255, 255, 255));
    CBrush light(c.clrBtnHilite), shadow(c.clrBtnShadow);
    CBrush* old = dc.SelectObject(&light);
    dc.BitBlt(image.left + 1, image.top + 1, image.Width() - 1, image.Height() - 1, &ctx.m_dcMono, image.left,
              image.top, kRopPSDPxax);
    dc.SelectObject(&shadow);
    dc.BitBlt(image.left, image.top, image.Width(), image.Height(), &ctx.m_dcMono, image.left, image.top, kRopPSDPxax);
    if (m_nStyle & SEC_TBBS_CHECKED) {
        CreateMask(ctx, image);
        dc.SelectObject(&ctx.m_brDither);
        dc.BitBlt(image.left, image.top, image.Width(), image.Height(), &ctx.m_dcMono, image.left, image.top,
                  kRopDSPDxax);
    }
    dc.SelectObject(old);
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBk);
}

void SECStdBtn::DrawChecked(CDC& dc, SECBtnDrawContext& ctx, const CRect& image)
{
    CreateMask(ctx, image);
    const COLORREF oldText = dc.SetTextColor(RGB(0, 0, 0));
    const COLORREF oldBk = dc.SetBkColor(RGB(255, 255, 255));
    CBrush* old = dc.SelectObject(&ctx.m_brDither);
    dc.BitBlt(image.left, image.top, image.Width(), image.Height(), &ctx.m_dcMono, image.left, image.top, kRopDSPDxax);
    dc.SelectObject(old);
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBk);
}

void SECStdBtn::DrawIndeterminate(CDC& dc, SECBtnDrawContext& ctx, const CRect& image)
{
    CreateMask(ctx, image);
    const COLORREF oldText = dc.SetTextColor(RGB(0, 0, 0));
    const COLORREF oldBk = dc.SetBkColor(RGB(255, 255, 255));
    CBrush shadow(Colors().clrBtnShadow);
    CBrush* old = dc.SelectObject(&shadow);
    dc.BitBlt(image.left, image.top, image.Width(), image.Height(), &ctx.m_dcMono, image.left, image.top, kRopPSDPxax);
    dc.SelectObject(&ctx.m_brDither);
    dc.BitBlt(image.left, image.top, image.Width(), image.Height(), &ctx.m_dcMono, image.left, image.top, kRopDSPDxax);
    dc.SelectObject(old);
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBk);
}

void SECStdBtn::BlendBackground(CDC& dc, SECBtnDrawContext& ctx)
{
    // Face-coloured pixels show what lies under the button.
    const CRect rect(0, 0, m_cx, m_cy);
    const COLORREF oldBk = ctx.m_dcButton.SetBkColor(Colors().clrBtnFace);
    ctx.m_dcMono.BitBlt(0, 0, m_cx, m_cy, &ctx.m_dcButton, 0, 0, SRCCOPY);
    ctx.m_dcButton.SetBkColor(RGB(255, 255, 255));
    const COLORREF oldText = ctx.m_dcButton.SetTextColor(RGB(0, 0, 0));
    ctx.m_dcButton.BitBlt(0, 0, m_cx, m_cy, &dc, m_x, m_y, SRCINVERT);
    ctx.m_dcButton.BitBlt(0, 0, m_cx, m_cy, &ctx.m_dcMono, 0, 0, kRopDSna);
    ctx.m_dcButton.BitBlt(0, 0, m_cx, m_cy, &dc, m_x, m_y, SRCINVERT);
    ctx.m_dcButton.SetBkColor(oldBk);
    ctx.m_dcButton.SetTextColor(oldText);
}

void SECStdBtn::DrawSelection(CDC& dc)
{
    const CRect rect(0, 0, m_cx, m_cy);
    dc.DrawDragRect(&rect, CSize(3, 3), nullptr, CSize(0, 0));
}

void SECStdBtn::DrawSelectionIfSelected(SECBtnDrawContext& ctx)
{
    if (m_nStyle & SEC_TBBS_SELECTED)
        DrawSelection(ctx.m_dcButton);
}

void SECStdBtn::BlitToDC(CDC& dc, SECBtnDrawContext& ctx)
{
    dc.BitBlt(m_x, m_y, m_cx, m_cy, &ctx.m_dcButton, 0, 0, SRCCOPY);
}

BOOL SECStdBtn::BtnPressed(CPoint)
{
    if (m_nStyle & SEC_TBBS_DISABLED)
        return FALSE;
    if (m_nStyle & SEC_TBBS_DROPDOWN) {
        m_nStyle |= SEC_TBBS_PRESSED;
        Invalidate();
        if (m_pToolBar && m_pToolBar->m_hWnd)
            m_pToolBar->UpdateWindow();
        SECCustomToolBar::SetDispatching(TRUE);
        SendNotify(TBN_DROPDOWN);
        SECCustomToolBar::SetDispatching(FALSE);
        m_nStyle &= ~static_cast<DWORD>(SEC_TBBS_PRESSED);
        Invalidate();
        if (m_pToolBar)
            m_pToolBar->UpdateHotTracking();
        return FALSE;
    }
    m_nStyle |= SEC_TBBS_PRESSED;
    return TRUE;
}

void SECStdBtn::BtnMouseMove(CPoint point)
{
    const DWORD before = m_nStyle;
    if (GetRect().PtInRect(point))
        m_nStyle |= SEC_TBBS_PRESSED;
    else
        m_nStyle &= ~static_cast<DWORD>(SEC_TBBS_PRESSED);
    if (before != m_nStyle)
        Invalidate();
}

void SECStdBtn::BtnCancel()
{
    m_nStyle &= ~static_cast<DWORD>(SEC_TBBS_PRESSED);
    Invalidate();
}

UINT SECStdBtn::BtnReleased(CPoint point)
{
    m_nStyle &= ~static_cast<DWORD>(SEC_TBBS_PRESSED);
    Invalidate();
    if (!GetRect().PtInRect(point))
        return 0;
    if ((m_nStyle & SEC_TBBS_CHECKBOX) && !(m_nStyle & SEC_TBBS_DISABLED) && m_pToolBar
        && m_pToolBar->GetManager()) {
        DWORD set = 0, clear = 0;
        if (m_nStyle & SEC_TBBS_CHECKED) {
            clear = SEC_TBBS_CHECKED | SEC_TBBS_INDETERMINATE;
        } else {
            set = SEC_TBBS_CHECKED;
            clear = SEC_TBBS_INDETERMINATE;
        }
        m_pToolBar->GetManager()->InformBtns(m_nID, 1, set, clear);
    }
    return m_nID;
}

void SECStdBtn::InformBtn(UINT nCode, DWORD dwSet, DWORD dwClear)
{
    if (nCode != 1)
        return;
    m_nStyle = (m_nStyle & ~dwClear) | dwSet;
    Invalidate();
}

LRESULT SECStdBtn::SendNotify(int nCode, LPARAM a, LPARAM b)
{
    if (!m_pToolBar || !m_pToolBar->m_hWnd)
        return 0;
    CWnd* owner = m_pToolBar->GetNotifyOwner();
    if (!owner || !owner->m_hWnd)
        return 0;
    SECToolBarNotify notify{};
    notify.hdr.hwndFrom = m_pToolBar->m_hWnd;
    notify.hdr.idFrom = static_cast<UINT_PTR>(m_pToolBar->GetDlgCtrlID());
    notify.hdr.code = static_cast<UINT>(nCode);
    notify.iItem = static_cast<int>(m_nID);
    notify.tbButton.idCommand = static_cast<int>(m_nID);
    notify.iIndex = m_pToolBar->BtnToIndex(this);
    notify.lParamA = a;
    notify.lParamB = b;
    return owner->SendMessage(WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
}

INT_PTR SECStdBtn::OnToolHitTest(CPoint, TOOLINFO* pTI) const
{
    if (pTI) {
        pTI->hwnd = m_pToolBar ? m_pToolBar->m_hWnd : nullptr;
        pTI->uId = m_nID;
        pTI->rect = GetRect();
        pTI->lpszText = LPSTR_TEXTCALLBACK;
    }
    return static_cast<INT_PTR>(m_nID);
}

// ---- Text buttons ----

namespace {

int g_nTextButtons = 0;
CFont* g_pTextFont = nullptr;

} // namespace

SECTBTextButton::SECTBTextButton()
{
    m_nType = kText;
    if (g_nTextButtons++ == 0) {
        g_pTextFont = new CFont;
        LOGFONT lf{};
        lf.lfHeight = -12;
        lf.lfWeight = FW_NORMAL;
        lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
        std::strncpy(lf.lfFaceName, "Times Roman", LF_FACESIZE - 1);
        g_pTextFont->CreateFontIndirect(&lf);
    }
}

SECTBTextButton::~SECTBTextButton()
{
    if (--g_nTextButtons == 0) {
        delete g_pTextFont;
        g_pTextFont = nullptr;
    }
}

CFont* SECTBTextButton::GetSharedFont()
{
    return g_pTextFont;
}

const SECButtonClass* SECTBTextButton::GetBtnClass() const
{
    return &classSECTBTextButton;
}

void SECTBTextButton::Init(SECCustomToolBar* pToolBar, const UINT* pData)
{
    SECStdBtn::Init(pToolBar, pData);
    const UINT stringId = pData && pData[0] ? pData[0] : m_nID;
    CString text;
    if (stringId && text.LoadString(stringId)) {
        const int newline = text.Find('\n');
        m_strText = newline >= 0 ? text.Mid(newline + 1) : text;
    }
}

BOOL SECTBTextButton::ShowsText() const
{
    SECToolBarManager* mgr = m_pToolBar ? m_pToolBar->GetManager() : nullptr;
    return !mgr || mgr->IsLargeButtons();
}

void SECTBTextButton::DrawImage(CDC& dc, SECBtnDrawContext& ctx, int x, int y)
{
    if (!ShowsText()) {
        SECStdBtn::DrawImage(dc, ctx, x, y);
        return;
    }
    CFont* old = g_pTextFont ? dc.SelectObject(g_pTextFont) : nullptr;
    const CSize extent = dc.GetTextExtent(m_strText);
    if (old)
        dc.SelectObject(old);
    // The image moves up to make room for the caption under it.
    if (m_hStrip) {
        const int iw = ImageWidth();
        const int skip = std::clamp(static_cast<int>(extent.cy) / 2 - 4, 0, ImageHeight());
        dc.BitBlt(x, y, iw, ImageHeight() - skip, &ctx.m_dcGlyphs, m_nImage * iw, skip, SRCCOPY);
    }
    DrawText(dc);
}

void SECTBTextButton::DrawText(CDC& dc)
{
    CFont* old = g_pTextFont ? dc.SelectObject(g_pTextFont) : nullptr;
    const CSize extent = dc.GetTextExtent(m_strText);
    CRect rect(2, static_cast<int>(extent.cy) + 7, m_cx - 2, m_cy);
    if (m_nStyle & SEC_TBBS_PRESSED)
        rect.OffsetRect(1, 1);
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF oldColor = dc.SetTextColor(Colors().clrWindowText);
    dc.DrawText(m_strText, &rect, DT_END_ELLIPSIS | DT_SINGLELINE | DT_CENTER);
    dc.SetTextColor(oldColor);
    dc.SetBkMode(oldMode);
    if (old)
        dc.SelectObject(old);
}
