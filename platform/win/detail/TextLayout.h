// Fonts realised over pango with integer metrics, text shaped once and kept in an LRU cache
// keyed by font and string, and glyphs drawn from cached coverage masks.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/GdiTypes.h"
#include "platform/win/detail/RasterOps.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

typedef struct _PangoFont PangoFont;

// Decodes UTF-8 into code points; every byte that does not start a valid sequence is taken as
// its Windows-1252 character, so stray Latin-1 bytes read as the letters they were meant to be.
// byteStart[i] is the offset of code point i; byteStart has one more entry, the text length.
void DecodeText(std::string_view bytes, std::vector<uint32_t>& codePoints, std::vector<int>& byteStart);

// A glyph's coverage (0..255) with its offset from the pen position on the baseline.
struct GlyphMask {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;
};

// Text laid out in one font, without kerning or ligatures (each character keeps its own
// advance, as the platform's text functions measure it).
struct ShapedText {
    std::vector<uint32_t> codePoints;
    std::vector<int> byteStart;  // per character, plus the end
    std::vector<int> advance;    // per character, pixels
    int width = 0;               // sum of the advances
    struct Glyph {
        int charIndex;
        int dx; // offset from the start of its character
        int dy;
        PangoFont* font;  // null in the test font
        uint32_t glyph;
        // Looked up on first drawing; masks live as long as the process.
        mutable const GlyphMask* mask;
    };
    std::vector<Glyph> glyphs;
};

class RealizedFont {
public:
    // The realised font for a description whose height and width are in device pixels.
    // Shared: every caller with the same description gets the same object.
    static std::shared_ptr<RealizedFont> Get(const LOGFONT& deviceLogFont);

    ~RealizedFont();
    RealizedFont(const RealizedFont&) = delete;
    RealizedFont& operator=(const RealizedFont&) = delete;

    const TEXTMETRIC& Metrics() const { return m_tm; }
    const LOGFONT& LogFont() const { return m_lf; }
    bool IsTestFont() const { return m_test; }
    // The installed family the face name maps to.
    const std::string& Family() const { return m_family; }
    // Rows relative to the baseline (positive downwards) and thicknesses of the decorations.
    int UnderlineOffset() const { return m_underlineOffset; }
    int UnderlineThickness() const { return m_underlineThickness; }
    int StrikeOffset() const { return m_strikeOffset; }
    int StrikeThickness() const { return m_strikeThickness; }

    // The layout of a string, from the cache when it was laid out before.
    std::shared_ptr<const ShapedText> Shape(std::string_view bytes);
    // The advance of one character.
    int CharAdvance(uint32_t codePoint);
    // Ink extents of one character for ABC widths: left bearing and ink width.
    void CharInk(uint32_t codePoint, int& left, int& width);

    // Draws shaped text on the target: characters start at the given x positions (device
    // pixels, one per character), the baseline at y. Coverage blends the colour over the
    // destination; a monochrome target takes coverage of one half or more as set.
    void Draw(const PixelTarget& target, const Region& clip, const ShapedText& text, const std::vector<int>& charX,
              int baseline, uint32_t color) const;
    // Draws text turned by angle tenths of a degree counter-clockwise around the reference
    // point; xShift and yShift place the text's start relative to that point before turning.
    void DrawRotated(const PixelTarget& target, const Region& clip, const ShapedText& text, int refX, int refY,
                     int xShift, int yShift, int angle, uint32_t color) const;

    struct Impl;

private:
    RealizedFont() = default;
    void RealizeTest(const LOGFONT& lf);
    void RealizePango(const LOGFONT& lf);
    void FillShaped(ShapedText& out);

    LOGFONT m_lf{};
    TEXTMETRIC m_tm{};
    bool m_test = false;
    std::string m_family;
    int m_underlineOffset = 1;
    int m_underlineThickness = 1;
    int m_strikeOffset = 0;
    int m_strikeThickness = 1;
    uint64_t m_id = 0;
    std::unique_ptr<Impl> m_impl;
    friend struct RealizedFontAccess;
};

// Statistics of the shaped-text cache, for the benchmark and tests.
struct TextCacheStats {
    size_t hits = 0;
    size_t misses = 0;
    size_t layouts = 0; // pango layouts made for shaping
};
TextCacheStats GetTextCacheStats();
