// SECBtnDrawContext: what the buttons of one toolbar manager's bars share while painting: a
// monochrome mask context, the image-strip context, the context a button is composed in, and
// the dither brush of checked and indeterminate buttons.
#pragma once

#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/GdiObjects.h"

class SECBtnDrawContext {
public:
    // Throws the platform's resource exception when a context or the brush cannot be made.
    SECBtnDrawContext();
    ~SECBtnDrawContext();
    SECBtnDrawContext(const SECBtnDrawContext&) = delete;
    SECBtnDrawContext& operator=(const SECBtnDrawContext&) = delete;

    // Makes the dither brush again in the current button colours.
    void RebuildDitherBrush();
    // Gives the mask and composing contexts bitmaps of the given size (a toolbar's widest
    // button by its button height) for one paint; ReleaseBitmaps gives the old ones back.
    BOOL PrepareBitmaps(CDC* pTarget, int cx, int cy);
    void ReleaseBitmaps();
    // Selects a strip into the image context (null deselects it).
    void SelectStrip(HBITMAP hStrip);

    CDC m_dcMono;   // 0: the monochrome mask
    CDC m_dcGlyphs; // 1: the image strip
    CDC m_dcButton; // 2: the button being composed
    CBrush m_brDither;

private:
    CBitmap m_bmMono;
    CBitmap m_bmButton;
    HGDIOBJ m_hOldMono = nullptr;
    HGDIOBJ m_hOldButton = nullptr;
    HGDIOBJ m_hOldGlyphs = nullptr;
    int m_cx = 0;
    int m_cy = 0;
};
