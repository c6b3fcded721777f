// Font realisation, shaping and glyph drawing over pango and cairo.
#include "platform/win/detail/TextLayout.h"

#include "platform/core/CodePage.h"

#include "platform/win/Gdi.h"
#include "platform/win/detail/VectorPage.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace {

// pango's font maps are not thread-safe: every text call holds this lock.
std::recursive_mutex g_textLock;
int g_testMode = -1;
uint64_t g_nextFontId = 1;
TextCacheStats g_stats;

struct Engine {
    PangoFontMap* map = nullptr;
    PangoContext* context = nullptr;
    PangoAttrList* plain = nullptr;
};

// Fonts the caches refer to, each held once for the life of the process.
std::unordered_map<PangoFont*, int>& HeldFonts()
{
    static auto* held = new std::unordered_map<PangoFont*, int>();
    return *held;
}

PangoFont* Hold(PangoFont* font)
{
    if (HeldFonts().emplace(font, 0).second) {
        g_object_ref(font);
    }
    return font;
}

Engine& TheEngine()
{
    static Engine e = [] {
        Engine n;
        n.map = pango_cairo_font_map_new();
        n.context = pango_font_map_create_context(n.map);
        cairo_font_options_t* o = cairo_font_options_create();
        cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_SLIGHT);
        cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_ON);
        pango_cairo_context_set_font_options(n.context, o);
        cairo_font_options_destroy(o);
        pango_cairo_context_set_resolution(n.context, 96);
        // Characters keep their own advances: no kerning, no ligatures.
        n.plain = pango_attr_list_new();
        pango_attr_list_insert(n.plain, pango_attr_font_features_new("kern 0, liga 0, clig 0, calt 0, dlig 0"));
        return n;
    }();
    return e;
}

bool TestModeOn()
{
    if (g_testMode < 0) {
        const char* v = std::getenv("VOSTREL_TEST_FONT");
        g_testMode = v && std::strcmp(v, "1") == 0 ? 1 : 0;
    }
    return g_testMode == 1;
}

std::string ToLower(const char* s)
{
    std::string out;
    for (; *s; ++s) {
        out += static_cast<char>(*s >= 'A' && *s <= 'Z' ? *s + 32 : *s);
    }
    return out;
}

// Narrow: the condensed sans face (tab strips), where it is installed.
enum class Kind { Sans, Mono, Serif, Narrow };

// What fontconfig makes of a face name: the family of the installed face it picks.
struct FontMatch {
    std::string family;
    bool found = false;
};

FontMatch MatchThroughFontconfig(const std::string& name)
{
    FontMatch result;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return result;
    if (!name.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult outcome = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &outcome);
    FcPatternDestroy(pattern);
    if (!match)
        return result;
    FcChar8* family = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch && family)
        result.family = reinterpret_cast<const char*>(family);
    result.found = true;
    FcPatternDestroy(match);
    return result;
}

// Whether the printable ASCII characters of an installed family all advance alike: what makes a
// face monospaced, told from the face itself. fontconfig's spacing property cannot tell it, since
// a monospaced face with a few wide or zero-width glyphs beyond ASCII is filed without one.
bool AdvancesAreFixed(const std::string& family)
{
    std::lock_guard<std::recursive_mutex> lock(g_textLock);
    Engine& e = TheEngine();
    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, family.c_str());
    // Large enough that whole-pixel advances keep apart characters a few units apart.
    pango_font_description_set_absolute_size(desc, 100.0 * PANGO_SCALE);
    std::string ascii;
    for (char c = '!'; c <= '~'; ++c)
        ascii += c;
    PangoLayout* layout = pango_layout_new(e.context);
    pango_layout_set_font_description(layout, desc);
    pango_layout_set_attributes(layout, e.plain);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    pango_layout_set_text(layout, ascii.c_str(), static_cast<int>(ascii.size()));
    size_t glyphs = 0;
    int advance = 0;
    bool fixed = true;
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    do {
        PangoLayoutRun* run = pango_layout_iter_get_run_readonly(iter);
        if (!run)
            continue;
        for (int g = 0; g < run->glyphs->num_glyphs; ++g, ++glyphs) {
            int width = run->glyphs->glyphs[g].geometry.width;
            if (glyphs == 0)
                advance = width;
            fixed = fixed && width == advance && width > 0;
        }
    } while (pango_layout_iter_next_run(iter));
    pango_layout_iter_free(iter);
    g_object_unref(layout);
    pango_font_description_free(desc);
    return fixed && glyphs == ascii.size();
}

// A face name the built-in table does not know goes through fontconfig, whose aliases know the
// generic families and which installed faces are serif; the face it picks says by its own
// advances whether it is monospaced. A name it knows nothing of comes back as the default
// face: then the family the caller asked for decides.
std::optional<Kind> KindFromFontconfig(const std::string& lowerName)
{
    static std::mutex mutex;
    static std::map<std::string, std::optional<Kind>> cache;
    std::lock_guard lock(mutex);
    if (auto it = cache.find(lowerName); it != cache.end())
        return it->second;
    static const FontMatch fallback = MatchThroughFontconfig(std::string());
    static const FontMatch serif = MatchThroughFontconfig("serif");
    std::optional<Kind> kind;
    FontMatch m = MatchThroughFontconfig(lowerName);
    if (m.found) {
        if (AdvancesAreFixed(m.family))
            kind = Kind::Mono;
        else if (!serif.family.empty() && m.family == serif.family && serif.family != fallback.family)
            kind = Kind::Serif;
        else if (m.family != fallback.family || lowerName == "sans" || lowerName == "sans-serif")
            kind = Kind::Sans;
    }
    cache.emplace(lowerName, kind);
    return kind;
}

// Whether the narrow sans face is there; without it narrow faces fall back to the sans face.
bool NarrowFaceInstalled()
{
    static const bool installed = ToLower(MatchThroughFontconfig("Liberation Sans Narrow").family.c_str()) ==
                                  "liberation sans narrow";
    return installed;
}

Kind MapFace(const LOGFONT& lf)
{
    static const std::map<std::string, Kind> known = {
        {"ms sans serif", Kind::Sans},  {"arial", Kind::Sans},          {"tahoma", Kind::Sans},
        {"helvetica", Kind::Sans},      {"system", Kind::Sans},         {"microsoft sans serif", Kind::Sans},
        {"ms shell dlg", Kind::Sans},   {"ms shell dlg 2", Kind::Sans}, {"segoe ui", Kind::Sans},
        {"verdana", Kind::Sans},        {"courier", Kind::Mono},        {"courier new", Kind::Mono},
        {"fixedsys", Kind::Mono},       {"terminal", Kind::Mono},       {"lucida console", Kind::Mono},
        {"consolas", Kind::Mono},       {"times new roman", Kind::Serif}, {"times", Kind::Serif},
        {"liberation sans", Kind::Sans}, {"liberation mono", Kind::Mono}, {"liberation serif", Kind::Serif},
        {"arial narrow", Kind::Narrow}, {"liberation sans narrow", Kind::Narrow},
    };
    const std::string name = ToLower(lf.lfFaceName);
    auto it = known.find(name);
    if (it != known.end()) {
        return it->second;
    }
    if (!name.empty()) {
        if (auto kind = KindFromFontconfig(name))
            return *kind;
    }
    // Unknown names go by the family the caller asked for, sans serif by default.
    int family = lf.lfPitchAndFamily & 0xF0;
    if ((lf.lfPitchAndFamily & 0x03) == FIXED_PITCH || family == FF_MODERN) {
        return Kind::Mono;
    }
    if (family == FF_ROMAN) {
        return Kind::Serif;
    }
    return Kind::Sans;
}

int PangoPx(int units)
{
    return static_cast<int>(std::lround(units / static_cast<double>(PANGO_SCALE)));
}

int PangoPxCeil(int units)
{
    return static_cast<int>(std::ceil(units / static_cast<double>(PANGO_SCALE) - 1e-6));
}

bool IsControlChar(uint32_t cp)
{
    return cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0);
}

// Characters whose shaping needs no context: each one is one glyph.
bool IsSimple(uint32_t cp)
{
    return cp < 0x0300 || (cp >= 0x0370 && cp < 0x0483) || (cp >= 0x048A && cp < 0x0590) ||
           (cp >= 0x1E00 && cp < 0x2000) || (cp >= 0x2010 && cp < 0x2060) || (cp >= 0x20A0 && cp < 0x20C0) ||
           (cp >= 0x2100 && cp < 0x2400) || (cp >= 0x2500 && cp < 0x2800);
}

// Glyph masks of every font, keyed by horizontal scale, then font and glyph.
std::unordered_map<uint64_t, std::unique_ptr<GlyphMask>>& MaskCache(double xscale)
{
    static auto* caches = new std::map<long, std::unordered_map<uint64_t, std::unique_ptr<GlyphMask>>>();
    return (*caches)[std::lround(xscale * 65536)];
}

// A font's horizontal scale (a width asked for in lfWidth) stretches its glyphs and advances.
int Scaled(double units, double xscale)
{
    return static_cast<int>(std::lround(units * xscale));
}

const GlyphMask* MaskFor(PangoFont* font, uint32_t glyph, double xscale)
{
    uint64_t key = (reinterpret_cast<uintptr_t>(font) << 20) ^ glyph;
    auto& cache = MaskCache(xscale);
    auto it = cache.find(key);
    if (it != cache.end()) {
        return it->second.get();
    }
    auto mask = std::make_unique<GlyphMask>();
    PangoRectangle ink;
    PangoRectangle logical;
    pango_font_get_glyph_extents(font, glyph, &ink, &logical);
    ink.x = Scaled(ink.x, xscale);
    ink.width = Scaled(ink.width, xscale);
    if (ink.width > 0 && ink.height > 0) {
        int x0 = static_cast<int>(std::floor(ink.x / double(PANGO_SCALE))) - 1;
        int y0 = static_cast<int>(std::floor(ink.y / double(PANGO_SCALE))) - 1;
        int x1 = static_cast<int>(std::ceil((ink.x + ink.width) / double(PANGO_SCALE))) + 1;
        int y1 = static_cast<int>(std::ceil((ink.y + ink.height) / double(PANGO_SCALE))) + 1;
        mask->left = x0;
        mask->top = y0;
        mask->width = x1 - x0;
        mask->height = y1 - y0;
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, mask->width, mask->height);
        cairo_t* cr = cairo_create(s);
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        cairo_translate(cr, -x0, -y0);
        cairo_scale(cr, xscale, 1.0);
        cairo_move_to(cr, 0, 0);
        PangoGlyphString* gs = pango_glyph_string_new();
        pango_glyph_string_set_size(gs, 1);
        gs->glyphs[0].glyph = glyph;
        // The box of a character no font has is centred in the width it is given: given its
        // own, it stands where its extents say, inside the mask.
        gs->glyphs[0].geometry.width = (glyph & PANGO_GLYPH_UNKNOWN_FLAG) ? logical.width : 0;
        gs->glyphs[0].geometry.x_offset = 0;
        gs->glyphs[0].geometry.y_offset = 0;
        gs->glyphs[0].attr.is_cluster_start = 1;
        pango_cairo_show_glyph_string(cr, font, gs);
        pango_glyph_string_free(gs);
        cairo_destroy(cr);
        cairo_surface_flush(s);
        const unsigned char* data = cairo_image_surface_get_data(s);
        int stride = cairo_image_surface_get_stride(s);
        mask->coverage.resize(static_cast<size_t>(mask->width) * mask->height);
        for (int y = 0; y < mask->height; ++y) {
            std::memcpy(&mask->coverage[static_cast<size_t>(y) * mask->width], data + static_cast<size_t>(y) * stride,
                        static_cast<size_t>(mask->width));
        }
        cairo_surface_destroy(s);
    }
    const GlyphMask* result = mask.get();
    cache.emplace(key, std::move(mask));
    return result;
}

// The shaped-text cache: least recently used strings go first.
class ShapeCache {
public:
    std::shared_ptr<const ShapedText> Find(const std::string& key)
    {
        auto it = m_index.find(key);
        if (it == m_index.end()) {
            return nullptr;
        }
        m_order.splice(m_order.begin(), m_order, it->second);
        return it->second->second;
    }
    void Add(std::string key, std::shared_ptr<const ShapedText> value)
    {
        m_order.emplace_front(key, std::move(value));
        m_index[std::move(key)] = m_order.begin();
        if (m_order.size() > kCapacity) {
            m_index.erase(m_order.back().first);
            m_order.pop_back();
        }
    }
    // Gives back the index's buckets as well as the entries. Layouts a caller still holds stay
    // with it.
    void Clear()
    {
        decltype(m_index)().swap(m_index);
        m_order.clear();
    }

private:
    static constexpr size_t kCapacity = 16384;
    std::list<std::pair<std::string, std::shared_ptr<const ShapedText>>> m_order;
    std::unordered_map<std::string, std::list<std::pair<std::string, std::shared_ptr<const ShapedText>>>::iterator>
        m_index;
};

ShapeCache& TheShapeCache()
{
    static auto* cache = new ShapeCache();
    return *cache;
}

} // namespace

struct RealizedFont::Impl {
    PangoFontDescription* desc = nullptr;
    double xscale = 1.0;   // lfWidth over the face's own average width
    struct CharGlyph {
        PangoFont* font = nullptr;
        uint32_t glyph = 0;
        int advance = 0;
        int dy = 0;
        bool known = false;
    };
    std::array<CharGlyph, 256> low{};
    std::unordered_map<uint32_t, CharGlyph> high;

    ~Impl()
    {
        if (desc) {
            pango_font_description_free(desc);
        }
    }

    PangoLayout* NewLayout(const std::string& utf8)
    {
        ++g_stats.layouts;
        PangoLayout* layout = pango_layout_new(TheEngine().context);
        pango_layout_set_font_description(layout, desc);
        pango_layout_set_attributes(layout, TheEngine().plain);
        pango_layout_set_single_paragraph_mode(layout, TRUE);
        pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
        return layout;
    }

    // Shapes characters one glyph each and records them.
    void Learn(const std::vector<uint32_t>& cps)
    {
        std::string utf8;
        std::vector<int> offsets;
        for (uint32_t cp : cps) {
            offsets.push_back(static_cast<int>(utf8.size()));
            Utf8Encode(cp, utf8);
        }
        PangoLayout* layout = NewLayout(utf8);
        PangoLayoutIter* iter = pango_layout_get_iter(layout);
        do {
            PangoLayoutRun* run = pango_layout_iter_get_run_readonly(iter);
            if (!run) {
                continue;
            }
            for (int g = 0; g < run->glyphs->num_glyphs; ++g) {
                int byte = run->item->offset + run->glyphs->log_clusters[g];
                auto pos = std::lower_bound(offsets.begin(), offsets.end(), byte);
                if (pos == offsets.end() || *pos != byte) {
                    continue;
                }
                uint32_t cp = cps[static_cast<size_t>(pos - offsets.begin())];
                CharGlyph cg;
                cg.font = Hold(run->item->analysis.font);
                const PangoGlyphInfo& gi = run->glyphs->glyphs[g];
                // A character no installed font has keeps pango's unknown glyph, drawn as the
                // missing-glyph box: blank space would hide that text stands there.
                cg.glyph = gi.glyph == PANGO_GLYPH_EMPTY ? 0 : gi.glyph;
                cg.advance = PangoPx(Scaled(gi.geometry.width, xscale));
                cg.dy = PangoPx(gi.geometry.y_offset);
                cg.known = true;
                if (cp < 256) {
                    if (!low[cp].known) low[cp] = cg;
                } else if (!high.count(cp)) {
                    high[cp] = cg;
                }
            }
        } while (pango_layout_iter_next_run(iter));
        pango_layout_iter_free(iter);
        g_object_unref(layout);
        // Anything pango did not give a glyph of its own is still known: as empty.
        for (uint32_t cp : cps) {
            CharGlyph& slot = cp < 256 ? low[cp] : high[cp];
            slot.known = true;
        }
    }

    const CharGlyph& Lookup(uint32_t cp)
    {
        if (cp < 256) {
            if (!low[cp].known) {
                Learn({cp});
            }
            return low[cp];
        }
        auto it = high.find(cp);
        if (it == high.end()) {
            Learn({cp});
            it = high.find(cp);
        }
        return it->second;
    }
};

void DecodeText(std::string_view bytes, std::vector<uint32_t>& cps, std::vector<int>& starts)
{
    cps.clear();
    starts.clear();
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        auto b = static_cast<unsigned char>(bytes[i]);
        starts.push_back(static_cast<int>(i));
        if (b < 0x80) {
            cps.push_back(b);
            ++i;
            continue;
        }
        int len = 0;
        uint32_t cp = 0;
        uint32_t min = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2, cp = b & 0x1F, min = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3, cp = b & 0x0F, min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4, cp = b & 0x07, min = 0x10000;
        }
        bool ok = len > 0 && i + static_cast<size_t>(len) <= n;
        for (int k = 1; ok && k < len; ++k) {
            auto c = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
            if ((c & 0xC0) != 0x80) {
                ok = false;
            } else {
                cp = (cp << 6) | (c & 0x3F);
            }
        }
        ok = ok && cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        if (ok) {
            cps.push_back(cp);
            i += static_cast<size_t>(len);
        } else {
            // A stray byte shows as its Windows-1252 character.
            cps.push_back(b < 0xA0 ? kCp1252High[b - 0x80] : b);
            ++i;
        }
    }
    starts.push_back(static_cast<int>(n));
}

void SetTestFontMode(bool on)
{
    std::lock_guard<std::recursive_mutex> lock(g_textLock);
    g_testMode = on ? 1 : 0;
}

bool IsTestFontMode()
{
    std::lock_guard<std::recursive_mutex> lock(g_textLock);
    return TestModeOn();
}

void ForgetTextLayouts()
{
    std::lock_guard<std::recursive_mutex> lock(g_textLock);
    TheShapeCache().Clear();
}

TextCacheStats GetTextCacheStats()
{
    std::lock_guard<std::recursive_mutex> lock(g_textLock);
    return g_stats;
}

RealizedFont::~RealizedFont() = default;

std::shared_ptr<RealizedFont> RealizedFont::Get(const LOGFONT& deviceLogFont)
{
    std::lock_guard<std::recursive_mutex> lock(g_textLock);
    LOGFONT lf = deviceLogFont;
    size_t faceLen = strnlen(lf.lfFaceName, LF_FACESIZE - 1);
    std::memset(lf.lfFaceName + faceLen, 0, LF_FACESIZE - faceLen);
    bool test = TestModeOn();
    std::string key(reinterpret_cast<const char*>(&lf), sizeof(lf));
    key += test ? 'T' : 'P';
    // Fonts live as long as the process: there are few distinct ones, and shaped text and
    // glyph masks refer to them.
    static auto* fonts = new std::unordered_map<std::string, std::shared_ptr<RealizedFont>>();
    auto it = fonts->find(key);
    if (it != fonts->end()) {
        return it->second;
    }
    std::shared_ptr<RealizedFont> f(new RealizedFont());
    f->m_lf = lf;
    f->m_id = g_nextFontId++;
    if (test) {
        f->RealizeTest(lf);
    } else {
        f->RealizePango(lf);
    }
    fonts->emplace(std::move(key), f);
    return f;
}

namespace {
// What every realised font reports alike: a 96 dpi screen, the Latin-1 range, and the
// attributes asked for.
void SetCommonMetrics(TEXTMETRIC& tm, const LOGFONT& lf)
{
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = lf.lfItalic ? 1 : 0;
    tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
    tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
}
} // namespace

void RealizedFont::RealizeTest(const LOGFONT& lf)
{
    m_test = true;
    m_family = "Test";
    int h = lf.lfHeight == 0 ? 16 : std::abs(lf.lfHeight);
    int a = lf.lfWidth > 0 ? lf.lfWidth : std::max(1, h / 2);
    TEXTMETRIC& tm = m_tm;
    tm.tmHeight = h;
    tm.tmAscent = h * 4 / 5;
    tm.tmDescent = h - tm.tmAscent;
    tm.tmAveCharWidth = a;
    tm.tmMaxCharWidth = a;
    tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    SetCommonMetrics(tm, lf);
    tm.tmPitchAndFamily = TMPF_VECTOR | TMPF_TRUETYPE | FF_MODERN;
    tm.tmCharSet = lf.lfCharSet;
    m_underlineOffset = 0;
    m_underlineThickness = 1;
    m_strikeOffset = -(tm.tmAscent / 2) - 1;
    m_strikeThickness = 1;
}

void RealizedFont::RealizePango(const LOGFONT& lf)
{
    Engine& e = TheEngine();
    m_impl = std::make_unique<Impl>();
    Kind kind = MapFace(lf);
    m_family = kind == Kind::Mono ? "Liberation Mono" : kind == Kind::Serif ? "Liberation Serif" : "Liberation Sans";
    if (kind == Kind::Narrow && NarrowFaceInstalled())
        m_family = "Liberation Sans Narrow";
    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, m_family.c_str());
    int weight = lf.lfWeight == 0 ? FW_NORMAL : std::clamp<int>(lf.lfWeight, 100, 1000);
    pango_font_description_set_weight(desc, static_cast<PangoWeight>(weight));
    pango_font_description_set_style(desc, lf.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    int height = lf.lfHeight == 0 ? 16 : lf.lfHeight;
    double em = std::abs(height);
    if (height > 0) {
        // A positive height is the cell (ascent plus descent): find the em size that gives it.
        pango_font_description_set_absolute_size(desc, 1000.0 * PANGO_SCALE);
        PangoFont* probe = pango_font_map_load_font(e.map, e.context, desc);
        if (probe) {
            PangoFontMetrics* m = pango_font_get_metrics(probe, nullptr);
            double cell = (pango_font_metrics_get_ascent(m) + pango_font_metrics_get_descent(m)) / double(PANGO_SCALE);
            if (cell > 0) {
                em = height * 1000.0 / cell;
            }
            pango_font_metrics_unref(m);
            g_object_unref(probe);
        }
    }
    pango_font_description_set_absolute_size(desc, em * PANGO_SCALE);
    m_impl->desc = desc;
    PangoFont* font = pango_font_map_load_font(e.map, e.context, desc);
    TEXTMETRIC& tm = m_tm;
    int ascent = 0, descent = 0, lineHeight = 0, approx = 0;
    if (font) {
        PangoFontMetrics* m = pango_font_get_metrics(font, nullptr);
        ascent = pango_font_metrics_get_ascent(m);
        descent = pango_font_metrics_get_descent(m);
        lineHeight = pango_font_metrics_get_height(m);
        approx = pango_font_metrics_get_approximate_char_width(m);
        m_underlineOffset = std::max(1, PangoPx(-pango_font_metrics_get_underline_position(m)));
        m_underlineThickness = std::max(1, PangoPx(pango_font_metrics_get_underline_thickness(m)));
        m_strikeOffset = -PangoPx(pango_font_metrics_get_strikethrough_position(m));
        m_strikeThickness = std::max(1, PangoPx(pango_font_metrics_get_strikethrough_thickness(m)));
        pango_font_metrics_unref(m);
        g_object_unref(font);
    }
    if (height > 0) {
        tm.tmHeight = height;
        tm.tmAscent = std::min(height, PangoPx(ascent));
        tm.tmDescent = height - tm.tmAscent;
    } else {
        tm.tmAscent = PangoPxCeil(ascent);
        tm.tmDescent = PangoPxCeil(descent);
        tm.tmHeight = tm.tmAscent + tm.tmDescent;
    }
    tm.tmInternalLeading = std::max(0, tm.tmHeight - static_cast<int>(std::lround(em)));
    tm.tmExternalLeading = std::max(0, PangoPx(lineHeight - ascent - descent));
    tm.tmAveCharWidth = std::max(1, PangoPx(approx));
    if (lf.lfWidth > 0) {
        // A width asked for stretches or narrows the face to that average character width.
        m_impl->xscale = static_cast<double>(lf.lfWidth) * PANGO_SCALE / std::max(1, approx);
        tm.tmAveCharWidth = lf.lfWidth;
    }
    // Learn the Latin-1 and Windows-1252 characters at once, which also gives the widest.
    std::vector<uint32_t> latin;
    for (uint32_t cp = 0x20; cp < 0x100; ++cp) {
        if (!IsControlChar(cp)) {
            latin.push_back(cp);
        }
    }
    for (uint16_t cp : kCp1252High) {
        if (!IsControlChar(cp)) {
            latin.push_back(cp);
        }
    }
    m_impl->Learn(latin);
    int widest = 0;
    for (uint32_t cp : latin) {
        widest = std::max(widest, m_impl->Lookup(cp).advance);
    }
    tm.tmMaxCharWidth = std::max(widest, tm.tmAveCharWidth);
    tm.tmWeight = weight;
    tm.tmOverhang = 0;
    SetCommonMetrics(tm, lf);
    int family = kind == Kind::Mono ? FF_MODERN : kind == Kind::Serif ? FF_ROMAN : FF_SWISS;
    // The pitch bit is set for variable-pitch fonts.
    tm.tmPitchAndFamily = static_cast<BYTE>(TMPF_VECTOR | TMPF_TRUETYPE | (kind == Kind::Mono ? 0 : TMPF_FIXED_PITCH) | family);
    tm.tmCharSet = lf.lfCharSet;
}

int RealizedFont::CharAdvance(uint32_t cp)
{
    std::lock_guard<std::recursive_mutex> lock(g_textLock);
    if (m_test) {
        return m_tm.tmAveCharWidth;
    }
    if (IsControlChar(cp)) {
        return 0;
    }
    return m_impl->Lookup(cp).advance;
}

void RealizedFont::CharInk(uint32_t cp, int& left, int& width)
{
    std::lock_guard<std::recursive_mutex> lock(g_textLock);
    if (m_test) {
        left = 0;
        width = cp > 0x20 && !IsControlChar(cp) ? m_tm.tmAveCharWidth - 1 : 0;
        return;
    }
    left = 0;
    width = 0;
    if (IsControlChar(cp)) {
        return;
    }
    const Impl::CharGlyph& cg = m_impl->Lookup(cp);
    if (!cg.font) {
        return;
    }
    PangoRectangle ink;
    pango_font_get_glyph_extents(cg.font, cg.glyph, &ink, nullptr);
    ink.x = Scaled(ink.x, m_impl->xscale);
    ink.width = Scaled(ink.width, m_impl->xscale);
    left = static_cast<int>(std::floor(ink.x / double(PANGO_SCALE)));
    width = static_cast<int>(std::ceil((ink.x + ink.width) / double(PANGO_SCALE))) - left;
}

void RealizedFont::FillShaped(ShapedText& out)
{
    size_t n = out.codePoints.size();
    out.advance.assign(n, 0);
    if (m_test) {
        for (size_t i = 0; i < n; ++i) {
            out.advance[i] = m_tm.tmAveCharWidth;
            uint32_t cp = out.codePoints[i];
            if (cp > 0x20 && !IsControlChar(cp)) {
                out.glyphs.push_back(ShapedText::Glyph{static_cast<int>(i), 0, 0, nullptr, cp, nullptr});
            }
        }
    } else {
        bool simple = std::all_of(out.codePoints.begin(), out.codePoints.end(), IsSimple);
        if (simple) {
            for (size_t i = 0; i < n; ++i) {
                uint32_t cp = out.codePoints[i];
                if (IsControlChar(cp)) {
                    continue;
                }
                const Impl::CharGlyph& cg = m_impl->Lookup(cp);
                out.advance[i] = cg.advance;
                if (cg.font && cg.glyph != 0) {
                    out.glyphs.push_back(ShapedText::Glyph{static_cast<int>(i), 0, cg.dy, cg.font, cg.glyph, nullptr});
                }
            }
        } else {
            // Scripts that need context are laid out whole; each glyph's width counts for the
            // character its cluster starts with.
            std::string utf8;
            std::vector<int> offsets;
            for (uint32_t cp : out.codePoints) {
                offsets.push_back(static_cast<int>(utf8.size()));
                Utf8Encode(IsControlChar(cp) ? 0x200B : cp, utf8);
            }
            PangoLayout* layout = m_impl->NewLayout(utf8);
            PangoLayoutIter* iter = pango_layout_get_iter(layout);
            struct Placed {
                int charIndex;
                int x;
                int dy;
                PangoFont* font;
                uint32_t glyph;
            };
            std::vector<Placed> placed;
            do {
                PangoLayoutRun* run = pango_layout_iter_get_run_readonly(iter);
                if (!run) {
                    continue;
                }
                PangoRectangle logical;
                pango_layout_iter_get_run_extents(iter, nullptr, &logical);
                // In the layout's units a line of some two million pixels (a value of a megabyte)
                // passes what an int holds: the pen is kept wider, its pixels fit.
                long long x = logical.x;
                for (int g = 0; g < run->glyphs->num_glyphs; ++g) {
                    const PangoGlyphInfo& gi = run->glyphs->glyphs[g];
                    int byte = run->item->offset + run->glyphs->log_clusters[g];
                    auto pos = std::upper_bound(offsets.begin(), offsets.end(), byte);
                    int ci = static_cast<int>(pos - offsets.begin()) - 1;
                    ci = std::clamp(ci, 0, static_cast<int>(n) - 1);
                    const double k = m_impl->xscale;
                    out.advance[static_cast<size_t>(ci)] += PangoPx(Scaled(gi.geometry.width, k));
                    if (gi.glyph != PANGO_GLYPH_EMPTY && !((gi.glyph & PANGO_GLYPH_UNKNOWN_FLAG) && IsControlChar(out.codePoints[static_cast<size_t>(ci)]))) {
                        Hold(run->item->analysis.font);
                        const double dx = static_cast<double>(x + gi.geometry.x_offset) * k / PANGO_SCALE;
                        placed.push_back(Placed{ci, static_cast<int>(std::lround(dx)), PangoPx(gi.geometry.y_offset),
                                                run->item->analysis.font, gi.glyph});
                    }
                    x += gi.geometry.width;
                }
            } while (pango_layout_iter_next_run(iter));
            pango_layout_iter_free(iter);
            g_object_unref(layout);
            std::vector<int> start(n + 1, 0);
            for (size_t i = 0; i < n; ++i) {
                start[i + 1] = start[i] + out.advance[i];
            }
            for (const Placed& p : placed) {
                out.glyphs.push_back(ShapedText::Glyph{p.charIndex, p.x - start[static_cast<size_t>(p.charIndex)], p.dy,
                                                       p.font, p.glyph, nullptr});
            }
        }
    }
    out.width = 0;
    for (int a : out.advance) {
        out.width += a;
    }
}

std::shared_ptr<const ShapedText> RealizedFont::Shape(std::string_view bytes)
{
    std::lock_guard<std::recursive_mutex> lock(g_textLock);
    std::string key(reinterpret_cast<const char*>(&m_id), sizeof(m_id));
    key.append(bytes.data(), bytes.size());
    ShapeCache& cache = TheShapeCache();
    if (auto hit = cache.Find(key)) {
        ++g_stats.hits;
        return hit;
    }
    ++g_stats.misses;
    auto shaped = std::make_shared<ShapedText>();
    DecodeText(bytes, shaped->codePoints, shaped->byteStart);
    FillShaped(*shaped);
    cache.Add(std::move(key), shaped);
    return shaped;
}

namespace {

// Shaped text on a printed page: the glyphs of each font as the PDF's own text, with the
// characters they stand for so that the text can be found and copied there.
void DrawOnPage(VectorPage& page, const Region& clip, const ShapedText& text, const std::vector<int>& charX,
                int baseline, uint32_t color, const TEXTMETRIC& tm, double xscale)
{
    if (text.glyphs.empty()) {
        return;
    }
    // Generous bounds of the ink: the clip is applied only when it cuts into them.
    const RECT box{charX.front() - tm.tmMaxCharWidth - tm.tmHeight, baseline - 2 * tm.tmHeight,
                   charX.back() + tm.tmMaxCharWidth + tm.tmHeight, baseline + tm.tmHeight};
    const auto& glyphs = text.glyphs;
    size_t i = 0;
    while (i < glyphs.size()) {
        PangoFont* font = glyphs[i].font;
        const bool unknown = (glyphs[i].glyph & PANGO_GLYPH_UNKNOWN_FLAG) != 0;
        size_t j = i;
        bool inOrder = true;
        while (j < glyphs.size() && glyphs[j].font == font && ((glyphs[j].glyph & PANGO_GLYPH_UNKNOWN_FLAG) != 0) == unknown) {
            inOrder = inOrder && (j == i || glyphs[j].charIndex >= glyphs[j - 1].charIndex);
            ++j;
        }
        auto x = [&](size_t k) { return charX[static_cast<size_t>(glyphs[k].charIndex)] + glyphs[k].dx; };
        if (unknown || font == nullptr) {
            // A character no font has is drawn as pango's box of its code.
            if (cairo_t* cr = page.BeginDirect(clip, box); cr && font) {
                cairo_set_source_rgb(cr, ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0, (color & 0xFF) / 255.0);
                for (size_t k = i; k < j; ++k) {
                    cairo_save(cr);
                    cairo_translate(cr, x(k), baseline + glyphs[k].dy);
                    cairo_scale(cr, xscale, 1.0);
                    cairo_move_to(cr, 0, 0);
                    PangoGlyphString* gs = pango_glyph_string_new();
                    pango_glyph_string_set_size(gs, 1);
                    gs->glyphs[0].glyph = glyphs[k].glyph;
                    // The box stands in the character's own advance.
                    const int advance = text.advance[static_cast<size_t>(glyphs[k].charIndex)];
                    gs->glyphs[0].geometry = PangoGlyphGeometry{static_cast<int>(advance * PANGO_SCALE / xscale), 0, 0};
                    gs->glyphs[0].attr.is_cluster_start = 1;
                    pango_cairo_show_glyph_string(cr, font, gs);
                    pango_glyph_string_free(gs);
                    cairo_restore(cr);
                }
                page.EndDirect();
            } else if (cr) {
                page.EndDirect();
            }
            i = j;
            continue;
        }
        std::vector<cairo_glyph_t> run;
        for (size_t k = i; k < j; ++k) {
            run.push_back(cairo_glyph_t{glyphs[k].glyph, static_cast<double>(x(k)), static_cast<double>(baseline + glyphs[k].dy)});
        }
        std::string utf8;
        std::vector<cairo_text_cluster_t> clusters;
        if (inOrder) {
            // One cluster per character: its bytes and its glyphs.
            size_t k = i;
            for (int ch = glyphs[i].charIndex; ch <= glyphs[j - 1].charIndex; ++ch) {
                const size_t before = utf8.size();
                const uint32_t cp = text.codePoints[static_cast<size_t>(ch)];
                Utf8Encode(IsControlChar(cp) ? ' ' : cp, utf8);
                int count = 0;
                while (k < j && glyphs[k].charIndex == ch) {
                    ++count;
                    ++k;
                }
                clusters.push_back(cairo_text_cluster_t{static_cast<int>(utf8.size() - before), count});
            }
        }
        page.ShowGlyphs(clip, box, pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(font)), xscale, run, utf8, clusters,
                        color);
        i = j;
    }
}

} // namespace

void RealizedFont::Draw(const PixelTarget& t, const Region& clip, const ShapedText& text, const std::vector<int>& charX,
                        int baseline, uint32_t color) const
{
    if (!t.Valid()) {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(g_textLock);
    uint32_t c = color & 0x00FFFFFFu;
    if (m_test) {
        FillPaint paint;
        paint.kind = FillPaint::Kind::Solid;
        paint.color = c;
        for (const ShapedText::Glyph& g : text.glyphs) {
            int x = charX[static_cast<size_t>(g.charIndex)];
            int w = text.advance[static_cast<size_t>(g.charIndex)] - 1;
            FillRectClipped(t, clip, RECT{x, baseline - m_tm.tmAscent, x + w, baseline}, paint, R2_COPYPEN);
        }
        return;
    }
    if (t.vector) {
        DrawOnPage(*t.vector, clip, text, charX, baseline, c, m_tm, m_impl->xscale);
        return;
    }
    bool threshold = t.mono || m_lf.lfQuality == NONANTIALIASED_QUALITY;
    const uint32_t cr = (c >> 16) & 0xFF, cg = (c >> 8) & 0xFF, cb = c & 0xFF;
    for (const ShapedText::Glyph& g : text.glyphs) {
        if (!g.mask) {
            g.mask = MaskFor(g.font, g.glyph, m_impl->xscale);
        }
        const GlyphMask& m = *g.mask;
        if (m.width == 0) {
            continue;
        }
        int gx = charX[static_cast<size_t>(g.charIndex)] + g.dx + m.left;
        int gy = baseline + g.dy + m.top;
        ForEachClipped(clip, RECT{gx, gy, gx + m.width, gy + m.height}, [&](const RECT& r) {
            for (int y = r.top; y < r.bottom; ++y) {
                const uint8_t* cov = &m.coverage[static_cast<size_t>(y - gy) * m.width + (r.left - gx)];
                uint32_t* d = t.At(r.left, y);
                for (int x = r.left; x < r.right; ++x, ++cov, ++d) {
                    unsigned a = *cov;
                    if (a == 0) {
                        continue;
                    }
                    if (threshold) {
                        if (a >= 128) *d = c | t.alphaOr;
                        continue;
                    }
                    if (a == 255) {
                        *d = c | t.alphaOr;
                        continue;
                    }
                    uint32_t v = *d;
                    uint32_t dr = (v >> 16) & 0xFF, dg = (v >> 8) & 0xFF, db = v & 0xFF;
                    dr = dr + ((static_cast<int>(cr) - static_cast<int>(dr)) * static_cast<int>(a) + 127) / 255;
                    dg = dg + ((static_cast<int>(cg) - static_cast<int>(dg)) * static_cast<int>(a) + 127) / 255;
                    db = db + ((static_cast<int>(cb) - static_cast<int>(db)) * static_cast<int>(a) + 127) / 255;
                    *d = (dr << 16) | (dg << 8) | db | t.alphaOr;
                }
            }
        });
    }
}

void RealizedFont::DrawRotated(const PixelTarget& t, const Region& clip, const ShapedText& text, int refX, int refY,
                               int xShift, int yShift, int angle, uint32_t color) const
{
    if (!t.Valid() || t.stride <= 0) {
        // Turned text is drawn on surfaces whose rows run top-down only; the program makes no
        // bottom-up DIB section to draw it on.
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(g_textLock);
    // The text on a context whose origin is device (0, 0) shifted by (ox, oy).
    auto paint = [&](cairo_t* cr, int ox, int oy) {
        cairo_set_source_rgb(cr, ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0, (color & 0xFF) / 255.0);
        cairo_translate(cr, refX + ox, refY + oy);
        cairo_rotate(cr, -angle * M_PI / 1800.0);
        if (m_test) {
            int x = xShift;
            for (size_t i = 0; i < text.codePoints.size(); ++i) {
                uint32_t cp = text.codePoints[i];
                if (cp > 0x20 && !IsControlChar(cp)) {
                    cairo_rectangle(cr, x, yShift - m_tm.tmAscent, text.advance[i] - 1, m_tm.tmAscent);
                }
                x += text.advance[i];
            }
            cairo_fill(cr);
            return;
        }
        std::string utf8;
        for (uint32_t cp : text.codePoints) {
            Utf8Encode(IsControlChar(cp) ? 0x200B : cp, utf8);
        }
        PangoLayout* layout = pango_cairo_create_layout(cr);
        pango_cairo_context_set_font_options(pango_layout_get_context(layout),
                                             pango_cairo_context_get_font_options(TheEngine().context));
        pango_layout_set_font_description(layout, m_impl->desc);
        pango_layout_set_attributes(layout, TheEngine().plain);
        pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
        cairo_move_to(cr, xShift, yShift);
        cairo_scale(cr, m_impl->xscale, 1.0);
        pango_cairo_show_layout_line(cr, pango_layout_get_line_readonly(layout, 0));
        g_object_unref(layout);
    };
    if (t.vector) {
        // On a printed page the turned text stays text.
        if (cairo_t* cr = t.vector->BeginDirect(clip, clip.Bounds())) {
            paint(cr, 0, 0);
            t.vector->EndDirect();
        }
        return;
    }
    cairo_surface_t* s = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(t.bits),
                                                             t.alphaOr ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24,
                                                             t.width, t.height, static_cast<int>(t.stride * 4));
    cairo_t* cr = cairo_create(s);
    cairo_set_antialias(cr, t.mono ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
    for (const RECT& r : clip.Rects()) {
        cairo_rectangle(cr, r.left + t.ox, r.top + t.oy, r.right - r.left, r.bottom - r.top);
    }
    cairo_clip(cr);
    paint(cr, t.ox, t.oy);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    cairo_surface_destroy(s);
}
