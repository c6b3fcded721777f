// CBitmapButton: loading the state images and drawing the one the button's state asks for.
#include "platform/afx/dlg/CBitmapButton.h"

#include "platform/win/Gdi.h"

IMPLEMENT_DYNAMIC(CBitmapButton, CButton)

namespace {

// Loads an image into bitmap (emptied first); an absent name leaves it empty and succeeds.
bool LoadOne(CBitmap& bitmap, LPCTSTR name)
{
    bitmap.DeleteObject();
    if (!name)
        return true;
    if (bitmap.LoadBitmap(name))
        return true;
    TRACE("bitmap button: no bitmap %s\n", IS_INTRESOURCE(name) ? "(by id)" : name);
    return false;
}

} // namespace

BOOL CBitmapButton::LoadBitmaps(LPCTSTR lpszBitmapResource, LPCTSTR lpszBitmapResourceSel,
                                LPCTSTR lpszBitmapResourceFocus, LPCTSTR lpszBitmapResourceDisabled)
{
    if (!lpszBitmapResource || !LoadOne(m_bitmap, lpszBitmapResource)) {
        m_bitmap.DeleteObject();
        return FALSE;
    }
    bool ok = LoadOne(m_bitmapSel, lpszBitmapResourceSel);
    ok = LoadOne(m_bitmapFocus, lpszBitmapResourceFocus) && ok;
    ok = LoadOne(m_bitmapDisabled, lpszBitmapResourceDisabled) && ok;
    return ok ? TRUE : FALSE;
}

BOOL CBitmapButton::LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel, UINT nIDBitmapResourceFocus,
                                UINT nIDBitmapResourceDisabled)
{
    auto name = [](UINT id) { return id ? MAKEINTRESOURCE(id) : static_cast<LPCTSTR>(nullptr); };
    return LoadBitmaps(name(nIDBitmapResource), name(nIDBitmapResourceSel), name(nIDBitmapResourceFocus),
                       name(nIDBitmapResourceDisabled));
}

BOOL CBitmapButton::AutoLoad(UINT nID, CWnd* pParent)
{
    if (!m_hWnd && !SubclassDlgItem(nID, pParent))
        return FALSE;
    CString name;
    GetWindowText(name);
    // "&OK" underlines its letter and names the images of "OK".
    name.Remove('&');
    if (name.IsEmpty())
        return FALSE;
    // The up image is required; the others are used when present.
    if (!m_bitmap.LoadBitmap((name + "U").GetString()))
        return FALSE;
    const CString suffixes[] = {name + "D", name + "F", name + "X"};
    CBitmap* others[] = {&m_bitmapSel, &m_bitmapFocus, &m_bitmapDisabled};
    for (int i = 0; i < 3; ++i) {
        others[i]->DeleteObject();
        others[i]->LoadBitmap(suffixes[i].GetString());
    }
    SizeToContent();
    return TRUE;
}

void CBitmapButton::SizeToContent()
{
    BITMAP bm{};
    if (!m_bitmap.GetSafeHandle() || !m_bitmap.GetBitmap(&bm))
        return;
    SetWindowPos(nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (!lpDIS || !m_bitmap.GetSafeHandle())
        return;
    // Pressed first, then focused, then disabled; the up image when the state has none.
    const CBitmap* image = &m_bitmap;
    const UINT state = lpDIS->itemState;
    if ((state & ODS_SELECTED) && m_bitmapSel.GetSafeHandle())
        image = &m_bitmapSel;
    else if ((state & ODS_FOCUS) && m_bitmapFocus.GetSafeHandle())
        image = &m_bitmapFocus;
    else if ((state & ODS_DISABLED) && m_bitmapDisabled.GetSafeHandle())
        image = &m_bitmapDisabled;
    HDC memory = ::CreateCompatibleDC(lpDIS->hDC);
    if (!memory)
        return;
    HGDIOBJ old = ::SelectObject(memory, image->GetSafeHandle());
    const RECT& r = lpDIS->rcItem;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if ((state & ODS_DEFAULT) && !(state & ODS_SELECTED) && w > 4 && h > 4) {
        // The default button wears a black frame outside its raised edge, as a default push
        // button does. The image moves in by a pixel at the top and left and gives up the column
        // and row just inside its bottom-right edge, so that its edge stays whole in the frame.
        // (Pressed, its image is sunken inside a black frame already.)
        HDC dc = lpDIS->hDC;
        ::BitBlt(dc, r.left + 1, r.top + 1, w - 3, h - 3, memory, 0, 0, SRCCOPY);
        ::BitBlt(dc, r.right - 2, r.top + 1, 1, h - 3, memory, w - 2, 0, SRCCOPY);
        ::BitBlt(dc, r.left + 1, r.bottom - 2, w - 3, 1, memory, 0, h - 2, SRCCOPY);
        ::BitBlt(dc, r.right - 2, r.bottom - 2, 1, 1, memory, w - 2, h - 2, SRCCOPY);
        ::FrameRect(dc, &r, ::GetSysColorBrush(COLOR_WINDOWFRAME));
    } else {
        ::BitBlt(lpDIS->hDC, r.left, r.top, w, h, memory, 0, 0, SRCCOPY);
    }
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}
