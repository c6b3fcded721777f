// CBitmapButton: an owner-drawn button showing one of four bitmaps for its states: up, down
// (selected), focused and disabled. AutoLoad names them after the button's text, without its
// mnemonic mark, with the suffixes U, D, F and X. The dialog's default button shows its image in
// a black frame.
#pragma once

#include "platform/afx/dlg/CButton.h"
#include "platform/afx/gdi/GdiObjects.h"

class CBitmapButton : public CButton {
    DECLARE_DYNAMIC(CBitmapButton)
public:
    CBitmapButton() = default;

    // Loads the bitmaps by name or id; only the up image is required. FALSE when it, or a
    // named other image, is missing.
    BOOL LoadBitmaps(LPCTSTR lpszBitmapResource, LPCTSTR lpszBitmapResourceSel = nullptr,
                     LPCTSTR lpszBitmapResourceFocus = nullptr, LPCTSTR lpszBitmapResourceDisabled = nullptr);
    BOOL LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel = 0, UINT nIDBitmapResourceFocus = 0,
                     UINT nIDBitmapResourceDisabled = 0);
    // Takes over the dialog's button nID (which must be owner-drawn), loads the bitmaps named
    // after its text and sizes the button to them.
    BOOL AutoLoad(UINT nID, CWnd* pParent);
    // Resizes the button to its up bitmap.
    void SizeToContent();

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    CBitmap m_bitmap;
    CBitmap m_bitmapSel;
    CBitmap m_bitmapFocus;
    CBitmap m_bitmapDisabled;
};
