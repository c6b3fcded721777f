// A printed page kept as shapes, text and pictures rather than as pixels: the drawing calls on
// a printer put rectangles, glyphs and images on a cairo recording at the printer's dots, which
// the PDF then holds as its own vectors and fonts. What has no such form (a pen that combines
// with what lies below, a dotted line, a focus frame) is drawn on a raster layer of the page's
// size; the part of it that was touched goes onto the page as one picture before anything else
// is drawn, so the order of the drawing is kept.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/detail/RasterOps.h"
#include "platform/win/detail/Region.h"

#include <cairo.h>

#include <string>
#include <vector>

class VectorPage {
public:
    // A page of width x height device dots; the raster layer is the same size.
    VectorPage(int width, int height);
    ~VectorPage();
    VectorPage(const VectorPage&) = delete;
    VectorPage& operator=(const VectorPage&) = delete;

    // Starts a new, empty page (the raster layer is kept, clear).
    void Clear();
    // The page as the drawing calls see it: the raster layer, with this page attached, so
    // that the calls with a vector form use it and the others mark what they draw.
    PixelTarget Target();

    // Fills the parts of a rectangle inside the clip: a solid colour (0xRRGGBB) or a tiled
    // pattern. False when the raster operation needs the pixels below (the caller draws it on
    // the raster layer).
    bool Fill(const Region& clip, const RECT& rect, const FillPaint& paint, int rop2);
    // Glyphs of one font at device positions, with the text they stand for, in a colour,
    // clipped; box bounds their ink.
    void ShowGlyphs(const Region& clip, const RECT& box, cairo_scaled_font_t* font, double xscale,
                    const std::vector<cairo_glyph_t>& glyphs, const std::string& utf8,
                    const std::vector<cairo_text_cluster_t>& clusters, uint32_t color);
    // A picture stretched over a device rectangle (mirrored when asked), clipped, each of its
    // pixels a sharp square.
    void PaintImage(const Region& clip, const RECT& dest, cairo_surface_t* image, bool mirrorX, bool mirrorY);
    // A cairo context in device dots, clipped to what of the box the clip holds, for drawing
    // that needs cairo itself (turned text); null when nothing of the box is visible. Ended
    // with EndDirect.
    cairo_t* BeginDirect(const Region& clip, const RECT& box);
    void EndDirect();

    // Announces drawing on the raster layer inside rect; with readsBelow, the page's own
    // drawing is put under it first, so that operations combining with what lies below see it.
    void Raster(const RECT& rect, bool readsBelow);

    // The page as pixels (white paper), for reading back; valid until the next drawing.
    PixelTarget Snapshot();
    // Paints the page on a context whose units are device dots.
    void PaintOn(cairo_t* cr, double x, double y);

    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    void FlushFills();
    void FlushRaster();
    // Before any drawing in vector form: what was drawn before it is on the page.
    void BeforeVector();
    void Changed();
    // The page drawn so far, on white paper, into an area of an image.
    void PaintOnPaper(cairo_surface_t* target, const RECT& area);
    // Adds the clip's rectangles that meet box as the context's clip; false when none does.
    bool ClipTo(cairo_t* cr, const Region& clip, const RECT& box);

    int m_width;
    int m_height;
    cairo_surface_t* m_recording = nullptr;
    cairo_t* m_cr = nullptr;
    // Solid fills of one colour gathered into one path.
    bool m_fillPending = false;
    uint32_t m_fillColor = 0;
    // The raster layer: untouched pixels are 0 (transparent); touched ones are opaque.
    cairo_surface_t* m_raster = nullptr;
    RECT m_touched{0, 0, 0, 0};
    // The part of the touched layer that holds a copy of the page below it.
    RECT m_prepared{0, 0, 0, 0};
    // The pixels handed out for reading back, drawn again once the page has changed (the
    // memory stays, so that a reader in the middle of a copy keeps its pixels).
    cairo_surface_t* m_snapshot = nullptr;
    bool m_snapshotValid = false;
};

// Marks a rectangle of a target's raster layer as drawn on: a page's raster layer goes onto
// the page; other targets need nothing.
inline void RasterTouch(const PixelTarget& t, const RECT& rect, bool readsBelow)
{
    if (t.vector) {
        t.vector->Raster(rect, readsBelow);
    }
}

// Whether a binary raster operation combines the pen with what lies below.
inline bool Rop2ReadsBelow(int rop2)
{
    return rop2 != R2_COPYPEN && rop2 != R2_BLACK && rop2 != R2_WHITE && rop2 != R2_NOP && rop2 != R2_NOTCOPYPEN;
}
