// The printed page in vector form: fills, glyphs and pictures recorded with cairo, and the
// raster layer for the rest.
#include "platform/win/detail/VectorPage.h"

#include "platform/win/GdiTypes.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A pixel operation that reads what lies below prepares at least this much of it at once, so
// that a dotted line of such pixels does not become a picture per pixel.
constexpr int kPrepareMargin = 32;

void SetColor(cairo_t* cr, uint32_t color)
{
    cairo_set_source_rgb(cr, ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0, (color & 0xFF) / 255.0);
}

bool Empty(const RECT& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

RECT Intersect(const RECT& a, const RECT& b)
{
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

RECT Union(const RECT& a, const RECT& b)
{
    if (Empty(a)) {
        return b;
    }
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

// Names a picture by its pixels, so that the PDF holds each distinct picture once however often
// it is drawn (the status picture of every row of a grid, for one).
void NameByContent(cairo_surface_t* picture)
{
    cairo_surface_flush(picture);
    const int w = cairo_image_surface_get_width(picture);
    const int h = cairo_image_surface_get_height(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    const unsigned char* data = cairo_image_surface_get_data(picture);
    uint64_t hash = 1469598103934665603ull;
    auto mix = [&hash](unsigned char byte) {
        hash ^= byte;
        hash *= 1099511628211ull;
    };
    for (int v : {w, h, static_cast<int>(cairo_image_surface_get_format(picture))}) {
        for (int i = 0; i < 4; ++i) {
            mix(static_cast<unsigned char>(v >> (8 * i)));
        }
    }
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = data + static_cast<size_t>(y) * stride;
        for (int x = 0; x < w * 4; ++x) {
            mix(row[x]);
        }
    }
    char name[48];
    const int n = std::snprintf(name, sizeof name, "vostrel-picture-%016llx", static_cast<unsigned long long>(hash));
    auto* copy = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(n)));
    if (copy == nullptr) {
        return;
    }
    std::memcpy(copy, name, static_cast<size_t>(n));
    if (cairo_surface_set_mime_data(picture, CAIRO_MIME_TYPE_UNIQUE_ID, copy, static_cast<unsigned long>(n), std::free,
                                    copy) != CAIRO_STATUS_SUCCESS) {
        std::free(copy);
    }
}

} // namespace

VectorPage::VectorPage(int width, int height) : m_width(std::max(width, 1)), m_height(std::max(height, 1))
{
    // The raster layer's memory is the kernel's zero pages until something is drawn on it.
    m_raster = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, m_width, m_height);
    Clear();
}

VectorPage::~VectorPage()
{
    if (m_cr) {
        cairo_destroy(m_cr);
    }
    if (m_recording) {
        cairo_surface_destroy(m_recording);
    }
    if (m_snapshot) {
        cairo_surface_destroy(m_snapshot);
    }
    cairo_surface_destroy(m_raster);
}

void VectorPage::Clear()
{
    if (m_cr) {
        cairo_destroy(m_cr);
    }
    if (m_recording) {
        cairo_surface_destroy(m_recording);
    }
    const cairo_rectangle_t extents{0, 0, static_cast<double>(m_width), static_cast<double>(m_height)};
    m_recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
    m_cr = cairo_create(m_recording);
    // Shapes on whole dots, as the screen draws them: a page shown in pixels keeps its lines
    // sharp, and the PDF does not care.
    cairo_set_antialias(m_cr, CAIRO_ANTIALIAS_NONE);
    m_fillPending = false;
    if (!Empty(m_touched)) {
        // A page abandoned half drawn leaves nothing for the next.
        cairo_surface_flush(m_raster);
        unsigned char* data = cairo_image_surface_get_data(m_raster);
        const int stride = cairo_image_surface_get_stride(m_raster);
        for (int y = m_touched.top; y < m_touched.bottom; ++y) {
            std::memset(data + static_cast<size_t>(y) * stride + static_cast<size_t>(m_touched.left) * 4, 0,
                        static_cast<size_t>(m_touched.right - m_touched.left) * 4);
        }
        cairo_surface_mark_dirty(m_raster);
    }
    m_touched = RECT{0, 0, 0, 0};
    m_prepared = RECT{0, 0, 0, 0};
    Changed();
}

PixelTarget VectorPage::Target()
{
    PixelTarget t;
    if (cairo_surface_status(m_raster) != CAIRO_STATUS_SUCCESS) {
        return t;
    }
    t.bits = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(m_raster));
    t.stride = cairo_image_surface_get_stride(m_raster) / 4;
    t.width = m_width;
    t.height = m_height;
    t.alphaOr = 0xFF000000u;
    t.vector = this;
    return t;
}

void VectorPage::Changed()
{
    m_snapshotValid = false;
}

void VectorPage::FlushFills()
{
    if (m_fillPending) {
        SetColor(m_cr, m_fillColor);
        cairo_fill(m_cr);
        m_fillPending = false;
    }
}

void VectorPage::FlushRaster()
{
    FlushFills();
    if (Empty(m_touched)) {
        return;
    }
    const RECT r = m_touched;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    cairo_surface_flush(m_raster);
    unsigned char* data = cairo_image_surface_get_data(m_raster);
    const int stride = cairo_image_surface_get_stride(m_raster);
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    unsigned char* out = cairo_image_surface_get_data(picture);
    const int outStride = cairo_image_surface_get_stride(picture);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(r.top + y) * stride) + r.left;
        auto* dst = reinterpret_cast<uint32_t*>(out + static_cast<size_t>(y) * outStride);
        for (int x = 0; x < w; ++x) {
            // Touched pixels are whole; the rest of the rectangle lets the page show through.
            if (row[x] >> 24) {
                dst[x] = 0xFF000000u | (row[x] & 0x00FFFFFFu);
            } else {
                dst[x] = 0;
            }
        }
        std::memset(row, 0, static_cast<size_t>(w) * 4);
    }
    cairo_surface_mark_dirty(m_raster);
    cairo_surface_mark_dirty(picture);
    NameByContent(picture);
    cairo_save(m_cr);
    cairo_set_source_surface(m_cr, picture, r.left, r.top);
    cairo_pattern_set_filter(cairo_get_source(m_cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(m_cr, r.left, r.top, w, h);
    cairo_fill(m_cr);
    cairo_restore(m_cr);
    cairo_surface_destroy(picture);
    m_touched = RECT{0, 0, 0, 0};
    m_prepared = RECT{0, 0, 0, 0};
}

void VectorPage::BeforeVector()
{
    if (!Empty(m_touched)) {
        FlushRaster();
    }
    Changed();
}

bool VectorPage::ClipTo(cairo_t* cr, const Region& clip, const RECT& box)
{
    const RECT& bounds = clip.Bounds();
    if (Empty(Intersect(bounds, box))) {
        return false;
    }
    bool any = false;
    for (const RECT& c : clip.Rects()) {
        if (Contains(c, box)) {
            // Wholly inside one piece of the clip: nothing to cut.
            cairo_new_path(cr);
            return true;
        }
    }
    cairo_new_path(cr);
    for (const RECT& c : clip.Rects()) {
        const RECT piece = Intersect(c, box);
        if (!Empty(piece)) {
            cairo_rectangle(cr, piece.left, piece.top, piece.right - piece.left, piece.bottom - piece.top);
            any = true;
        }
    }
    if (any) {
        cairo_clip(cr);
    }
    return any;
}

bool VectorPage::Fill(const Region& clip, const RECT& rect, const FillPaint& paint, int rop2)
{
    if (paint.kind == FillPaint::Kind::None || rop2 == R2_NOP) {
        return true;
    }
    if (Rop2ReadsBelow(rop2) || (paint.kind == FillPaint::Kind::Pattern && rop2 != R2_COPYPEN)) {
        return false;
    }
    if (paint.kind == FillPaint::Kind::Solid) {
        uint32_t color = paint.color & 0x00FFFFFFu;
        if (rop2 == R2_BLACK) {
            color = 0;
        } else if (rop2 == R2_WHITE) {
            color = 0x00FFFFFFu;
        } else if (rop2 == R2_NOTCOPYPEN) {
            color = ~color & 0x00FFFFFFu;
        }
        bool started = false;
        ForEachClipped(clip, rect, [&](const RECT& r) {
            if (!started) {
                BeforeVector();
                if (m_fillPending && m_fillColor != color) {
                    FlushFills();
                }
                started = true;
            }
            cairo_rectangle(m_cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
            m_fillPending = true;
            m_fillColor = color;
        });
        return true;
    }
    // A tiled pattern: one tile, repeated from the paint's origin; holes let the page show.
    const RECT visible = Intersect(rect, clip.Bounds());
    if (Empty(visible) || paint.pw <= 0 || paint.ph <= 0) {
        return true;
    }
    BeforeVector();
    FlushFills();
    cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, paint.pw, paint.ph);
    unsigned char* data = cairo_image_surface_get_data(tile);
    const int stride = cairo_image_surface_get_stride(tile);
    for (int y = 0; y < paint.ph; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < paint.pw; ++x) {
            const uint32_t c = paint.pattern[static_cast<size_t>(y) * paint.pw + x];
            row[x] = (c & FillPaint::kHole) ? 0u : (0xFF000000u | (c & 0x00FFFFFFu));
        }
    }
    cairo_surface_mark_dirty(tile);
    NameByContent(tile);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, -paint.orgX, -paint.orgY);
    cairo_pattern_set_matrix(pattern, &m);
    cairo_save(m_cr);
    cairo_new_path(m_cr);
    ForEachClipped(clip, rect, [&](const RECT& r) {
        cairo_rectangle(m_cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    });
    cairo_set_source(m_cr, pattern);
    cairo_fill(m_cr);
    cairo_restore(m_cr);
    cairo_pattern_destroy(pattern);
    cairo_surface_destroy(tile);
    return true;
}

void VectorPage::ShowGlyphs(const Region& clip, const RECT& box, cairo_scaled_font_t* font, double xscale,
                            const std::vector<cairo_glyph_t>& glyphs, const std::string& utf8,
                            const std::vector<cairo_text_cluster_t>& clusters, uint32_t color)
{
    if (glyphs.empty() || font == nullptr) {
        return;
    }
    cairo_t* cr = BeginDirect(clip, box);
    if (!cr) {
        return;
    }
    if (xscale == 1.0) {
        cairo_set_scaled_font(cr, font);
    } else {
        // A font made narrower or wider than its face: the glyphs are scaled along x only.
        cairo_matrix_t matrix;
        cairo_scaled_font_get_font_matrix(font, &matrix);
        cairo_matrix_scale(&matrix, xscale, 1.0);
        cairo_set_font_face(cr, cairo_scaled_font_get_font_face(font));
        cairo_set_font_matrix(cr, &matrix);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_scaled_font_get_font_options(font, options);
        cairo_set_font_options(cr, options);
        cairo_font_options_destroy(options);
    }
    SetColor(cr, color);
    if (clusters.empty()) {
        cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
    } else {
        cairo_show_text_glyphs(cr, utf8.data(), static_cast<int>(utf8.size()), glyphs.data(),
                               static_cast<int>(glyphs.size()), clusters.data(), static_cast<int>(clusters.size()),
                               static_cast<cairo_text_cluster_flags_t>(0));
    }
    EndDirect();
}

void VectorPage::PaintImage(const Region& clip, const RECT& dest, cairo_surface_t* image, bool mirrorX, bool mirrorY)
{
    const int w = cairo_image_surface_get_width(image);
    const int h = cairo_image_surface_get_height(image);
    if (w <= 0 || h <= 0 || Empty(dest)) {
        return;
    }
    cairo_t* cr = BeginDirect(clip, dest);
    if (!cr) {
        return;
    }
    NameByContent(image);
    cairo_translate(cr, mirrorX ? dest.right : dest.left, mirrorY ? dest.bottom : dest.top);
    cairo_scale(cr, (mirrorX ? -1.0 : 1.0) * (dest.right - dest.left) / w, (mirrorY ? -1.0 : 1.0) * (dest.bottom - dest.top) / h);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    EndDirect();
}

cairo_t* VectorPage::BeginDirect(const Region& clip, const RECT& box)
{
    BeforeVector();
    FlushFills();
    cairo_save(m_cr);
    if (!ClipTo(m_cr, clip, box)) {
        cairo_restore(m_cr);
        return nullptr;
    }
    return m_cr;
}

void VectorPage::EndDirect()
{
    cairo_new_path(m_cr);
    cairo_restore(m_cr);
}

void VectorPage::Raster(const RECT& rect, bool readsBelow)
{
    const RECT r = Intersect(rect, RECT{0, 0, m_width, m_height});
    if (Empty(r)) {
        return;
    }
    Changed();
    if (readsBelow && !Contains(m_prepared, r)) {
        // What lies below is the page drawn so far: earlier raster drawing goes onto it, then
        // the page is copied into the layer around the operation.
        FlushRaster();
        const RECT area = Intersect(RECT{r.left - kPrepareMargin, r.top - kPrepareMargin, r.right + kPrepareMargin,
                                         r.bottom + kPrepareMargin},
                                    RECT{0, 0, m_width, m_height});
        PaintOnPaper(m_raster, area);
        m_prepared = area;
        m_touched = Union(m_touched, area);
        return;
    }
    m_touched = Union(m_touched, r);
}

void VectorPage::PaintOnPaper(cairo_surface_t* target, const RECT& area)
{
    cairo_t* cr = cairo_create(target);
    cairo_rectangle(cr, area.left, area.top, area.right - area.left, area.bottom - area.top);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_surface(cr, m_recording, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(target);
}

PixelTarget VectorPage::Snapshot()
{
    if (!m_snapshot) {
        m_snapshot = cairo_image_surface_create(CAIRO_FORMAT_RGB24, m_width, m_height);
    }
    if (!m_snapshotValid) {
        FlushRaster();
        PaintOnPaper(m_snapshot, RECT{0, 0, m_width, m_height});
        m_snapshotValid = true;
    }
    PixelTarget t;
    t.bits = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(m_snapshot));
    t.stride = cairo_image_surface_get_stride(m_snapshot) / 4;
    t.width = m_width;
    t.height = m_height;
    return t;
}

void VectorPage::PaintOn(cairo_t* cr, double x, double y)
{
    FlushRaster();
    cairo_surface_flush(m_recording);
    cairo_save(cr);
    cairo_set_source_surface(cr, m_recording, x, y);
    cairo_paint(cr);
    cairo_restore(cr);
}
