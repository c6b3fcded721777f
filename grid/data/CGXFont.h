// CGXFont: a packed font description of a cell style. Each attribute has its own included
// mark, so styles can be combined attribute by attribute; the face name is kept as an index
// into the program-wide face-name table.
#pragma once

#include "platform/core/CString.h"

class CArchive;

// Included marks of the font's attributes.
enum : UINT {
    GX_FONT_WEIGHT = 1u << 0,
    GX_FONT_ITALIC = 1u << 1,
    GX_FONT_UNDERLINE = 1u << 2,
    GX_FONT_STRIKEOUT = 1u << 3,
    GX_FONT_SIZE = 1u << 4,
    GX_FONT_FACENAME = 1u << 5,
    GX_FONT_ORIENTATION = 1u << 6,
    GX_FONT_CHARSET = 1u << 7,
    GX_FONT_ALL = 0xFFu,
};

class CGXFont {
public:
    CGXFont() = default;

    // Weight 0..900 in steps of 100 (rounded; above 900 clamped).
    CGXFont& SetWeight(LONG nWeight);
    CGXFont& SetBold(BOOL bBold) { return SetWeight(bBold ? 700 : 400); }
    CGXFont& SetItalic(BOOL b);
    CGXFont& SetUnderline(BOOL b);
    CGXFont& SetStrikeOut(BOOL b);
    // Points, stored in quarter points up to 1023 (255.75 pt).
    CGXFont& SetSize(double dPoints);
    // Tenths of a degree, stored in whole degrees 0..359.
    CGXFont& SetOrientation(LONG nTenths);
    CGXFont& SetFaceName(LPCTSTR lpszFaceName);
    CGXFont& SetCharSet(BYTE nCharSet);

    LONG GetWeight() const { return static_cast<LONG>(Field(kWeight)) * 100; }
    BOOL GetBold() const { return GetWeight() >= 700; }
    BOOL GetItalic() const { return static_cast<BOOL>(Field(kItalic)); }
    BOOL GetUnderline() const { return static_cast<BOOL>(Field(kUnderline)); }
    BOOL GetStrikeOut() const { return static_cast<BOOL>(Field(kStrikeOut)); }
    double GetSize() const { return Field(kSize) / 4.0; }
    LONG GetOrientation() const { return DecodeOrientation(static_cast<UINT>(Field(kOrientation))); }
    CString GetFaceName() const;
    BYTE GetCharSet() const { return static_cast<BYTE>(Field(kCharSet)); }

    static UINT EncodeSize(double dPoints);
    static UINT EncodeOrientation(LONG nTenths);
    static LONG DecodeOrientation(UINT nStored) { return static_cast<LONG>(nStored) * 10; }

    UINT GetInclude() const { return static_cast<UINT>(Field(kInclude)); }
    BOOL GetInclude(UINT nAttribute) const { return (GetInclude() & nAttribute) != 0; }
    CGXFont& SetInclude(UINT nAttribute, BOOL bInclude);

    // Combines two fonts attribute by attribute in a style change mode (see CGXStyle).
    void ChangeFont(const CGXFont& font, int nMode);
    BOOL IsSubSet(const CGXFont& other) const;

    ULONGLONG GetPacked() const { return m_bits; }
    void SetPacked(ULONGLONG bits) { m_bits = bits; }
    bool operator==(const CGXFont&) const = default;

private:
    struct FieldDef {
        int shift;
        int width;
        UINT include;
    };
    static constexpr FieldDef kWeight{0, 4, GX_FONT_WEIGHT};
    static constexpr FieldDef kItalic{4, 1, GX_FONT_ITALIC};
    static constexpr FieldDef kUnderline{5, 1, GX_FONT_UNDERLINE};
    static constexpr FieldDef kStrikeOut{6, 1, GX_FONT_STRIKEOUT};
    static constexpr FieldDef kSize{7, 10, GX_FONT_SIZE};
    static constexpr FieldDef kOrientation{17, 9, GX_FONT_ORIENTATION};
    static constexpr FieldDef kFace{26, 16, GX_FONT_FACENAME};
    static constexpr FieldDef kCharSet{42, 8, GX_FONT_CHARSET};
    static constexpr FieldDef kInclude{50, 8, 0};
    static constexpr FieldDef kAll[] = {kWeight, kItalic, kUnderline, kStrikeOut, kSize, kOrientation, kFace, kCharSet};

    ULONGLONG Field(const FieldDef& f) const { return (m_bits >> f.shift) & ((1ull << f.width) - 1); }
    CGXFont& Put(const FieldDef& f, ULONGLONG value);

    ULONGLONG m_bits = 0;
};

CArchive& operator<<(CArchive& ar, const CGXFont& font);
CArchive& operator>>(CArchive& ar, CGXFont& font);
