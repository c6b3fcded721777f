#include "grid/data/CGXStyle.h"
#include "grid/data/CGXStylesMap.h"
#include "grid/data/GXColor.h"

#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CMemFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// One setter per included mark, each giving a value that differs from the default, so that
// every mark is exercised by the mode tests below.
struct Attribute {
    DWORD bit;
    std::function<void(CGXStyle&, int)> set; // the int picks one of two distinct values
};

const std::vector<Attribute>& Attributes()
{
    static const std::vector<Attribute> all = {
        {GX_INCL_CONTROL, [](CGXStyle& s, int v) { s.SetControl(static_cast<WORD>(GX_IDS_CTRL_STATIC + v)); }},
        {GX_INCL_VALUE, [](CGXStyle& s, int v) { s.SetValue(v ? "two" : "one"); }},
        {GX_INCL_VALUETYPE, [](CGXStyle& s, int v) { s.SetValueType(static_cast<UINT>(v)); }},
        {GX_INCL_ENABLED, [](CGXStyle& s, int v) { s.SetEnabled(v); }},
        {GX_INCL_READONLY, [](CGXStyle& s, int v) { s.SetReadOnly(v); }},
        {GX_INCL_HORZALIGN, [](CGXStyle& s, int v) { s.SetHorizontalAlignment(static_cast<UINT>(v + 1)); }},
        {GX_INCL_VERTALIGN, [](CGXStyle& s, int v) { s.SetVerticalAlignment(static_cast<UINT>(v + 1)); }},
        {GX_INCL_WRAPTEXT, [](CGXStyle& s, int v) { s.SetWrapText(v); }},
        {GX_INCL_DRAW3DFRAME, [](CGXStyle& s, int v) { s.SetDraw3dFrame(static_cast<UINT>(v + 1)); }},
        {GX_INCL_INTERIOR, [](CGXStyle& s, int v) { s.SetInterior(RGB(10, 20, v)); }},
        {GX_INCL_BORDER_LEFT, [](CGXStyle& s, int v) { s.SetBorders(gxBorderLeft, CGXPen(GX_PS_SOLID, 1 + v, 0)); }},
        {GX_INCL_BORDER_RIGHT, [](CGXStyle& s, int v) { s.SetBorders(gxBorderRight, CGXPen(GX_PS_DOT, 1, v)); }},
        {GX_INCL_BORDER_TOP, [](CGXStyle& s, int v) { s.SetBorders(gxBorderTop, CGXPen(GX_PS_DASH + v, 1, 0)); }},
        {GX_INCL_BORDER_BOTTOM, [](CGXStyle& s, int v) { s.SetBorders(gxBorderBottom, CGXPen(GX_PS_SOLID, 2, v)); }},
        {GX_INCL_TEXTCOLOR, [](CGXStyle& s, int v) { s.SetTextColor(RGB(v, 1, 2)); }},
        {GX_INCL_FONT, [](CGXStyle& s, int v) { s.SetFont(CGXFont().SetSize(8 + v)); }},
        {GX_INCL_CHOICELIST, [](CGXStyle& s, int v) { s.SetChoiceList(v ? "a\nb" : "c"); }},
        {GX_INCL_ITEMDATAPTR, [](CGXStyle& s, int v) { s.SetItemDataPtr(reinterpret_cast<void*>(static_cast<uintptr_t>(16 + v))); }},
        {GX_INCL_MERGECELL, [](CGXStyle& s, int v) { s.SetMergeCell(static_cast<UINT>(1 + v)); }},
        {GX_INCL_FLOATCELL, [](CGXStyle& s, int v) { s.SetFloatCell(v); }},
        {GX_INCL_FLOODCELL, [](CGXStyle& s, int v) { s.SetFloodCell(v); }},
        {GX_INCL_BASESTYLE, [](CGXStyle& s, int v) { s.SetBaseStyle(static_cast<WORD>(5 + v)); }},
        {GX_INCL_USERATTR, [](CGXStyle& s, int v) { s.SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, v ? "tip two" : "tip one"); }},
    };
    return all;
}

CGXStyle With(const Attribute& a, int v)
{
    CGXStyle s;
    a.set(s, v);
    return s;
}

} // namespace

TEST(CGXStyleTest, EveryChangeModeActsOnEveryIncludedMark)
{
    for (const Attribute& a : Attributes()) {
        SCOPED_TRACE(a.bit);
        const CGXStyle one = With(a, 0), two = With(a, 1);
        ASSERT_EQ(one.GetMask(), a.bit);
        ASSERT_FALSE(one == two);

        CGXStyle s = one;
        s.ChangeStyle(two, gxOverride);
        EXPECT_EQ(s, two);

        s = one;
        s.ChangeStyle(two, gxApplyNew);
        EXPECT_EQ(s, one); // already included: kept
        CGXStyle empty;
        empty.ChangeStyle(two, gxApplyNew);
        EXPECT_EQ(empty, two);

        s = one;
        s.ChangeStyle(two, gxExclude);
        EXPECT_TRUE(s.IsEmpty());
        EXPECT_EQ(s, CGXStyle());

        // Copy replaces everything, including marks the source lacks.
        CGXStyle other;
        other.SetControl(1).SetValue("x");
        other.ChangeStyle(two, gxCopy);
        EXPECT_EQ(other, two);

        EXPECT_TRUE(one.IsSubSet(one));
        EXPECT_FALSE(one.IsSubSet(two));
        EXPECT_FALSE(one.IsSubSet(CGXStyle()));
        EXPECT_TRUE(CGXStyle().IsSubSet(one));
        EXPECT_EQ(one.GetHash(), With(a, 0).GetHash());
    }

    // Marks combine independently: override touches only the source's marks.
    CGXStyle base;
    base.SetValue("keep").SetControl(GX_IDS_CTRL_EDIT).SetTextColor(RGB(1, 2, 3));
    CGXStyle change;
    change.SetControl(GX_IDS_CTRL_STATIC).SetReadOnly(TRUE);
    base.ChangeStyle(change, gxOverride);
    EXPECT_EQ(base.GetValue(), CString("keep"));
    EXPECT_EQ(base.GetControl(), GX_IDS_CTRL_STATIC);
    EXPECT_TRUE(base.GetReadOnly());
    EXPECT_EQ(base.GetTextColor(), RGB(1, 2, 3));
    base.ChangeStyle(change, gxExclude);
    EXPECT_EQ(base.GetMask(), GX_INCL_VALUE | GX_INCL_TEXTCOLOR);
}

TEST(CGXStyleTest, FontAttributesCombineOneByOne)
{
    CGXStyle a, b;
    a.SetFont(CGXFont().SetBold(TRUE).SetSize(12));
    b.SetFont(CGXFont().SetSize(8).SetItalic(TRUE).SetFaceName("Courier"));
    CGXStyle s = a;
    s.ChangeStyle(b, gxApplyNew);
    EXPECT_TRUE(s.GetFont().GetBold());
    EXPECT_EQ(s.GetFont().GetSize(), 12.0);
    EXPECT_TRUE(s.GetFont().GetItalic());
    EXPECT_EQ(s.GetFont().GetFaceName(), CString("Courier"));
    s.ChangeStyle(b, gxOverride);
    EXPECT_EQ(s.GetFont().GetSize(), 8.0);
    EXPECT_TRUE(s.GetFont().GetBold());
    s.ChangeStyle(a, gxExclude);
    EXPECT_FALSE(s.GetFont().GetInclude(GX_FONT_WEIGHT | GX_FONT_SIZE));
    EXPECT_TRUE(s.GetFont().GetInclude(GX_FONT_ITALIC));
    EXPECT_TRUE(s.GetInclude(GX_INCL_FONT));
    s.ChangeStyle(b, gxExclude);
    EXPECT_FALSE(s.GetInclude(GX_INCL_FONT));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CGXStyleTest, UserAttributesAreOwnedCopiedAndCombined)
{
    CGXStyle s;
    EXPECT_FALSE(s.HasUserAttribute(GX_IDS_UA_NEGATIVECOLOR));
    EXPECT_EQ(s.GetUserAttribute(GX_IDS_UA_NEGATIVECOLOR).GetValueText(), CString());
    EXPECT_EQ(s.GetUserAttribute(GX_IDS_UA_NEGATIVECOLOR).GetLongValue(), 0);
    s.SetUserAttribute(GX_IDS_UA_NEGATIVECOLOR, LONG{255});
    s.SetUserAttribute(GX_IDS_UA_ELLIPSISTYPE, "2");
    s.SetUserAttribute(GX_IDS_UA_NEGATIVECOLOR, " 65280"); // replaces (and frees) the first
    EXPECT_EQ(s.GetUserAttributeCount(), 2u);
    EXPECT_EQ(s.GetUserAttribute(GX_IDS_UA_NEGATIVECOLOR).GetLongValue(), 65280);
    EXPECT_EQ(s.GetUserAttribute(GX_IDS_UA_ELLIPSISTYPE).GetDoubleValue(), 2.0);

    CGXStyle copy = s; // deep copy: changing one leaves the other
    copy.SetUserAttribute(GX_IDS_UA_ELLIPSISTYPE, "1");
    EXPECT_EQ(s.GetUserAttribute(GX_IDS_UA_ELLIPSISTYPE).GetValueText(), CString("2"));

    CGXStyle other;
    other.SetUserAttribute(GX_IDS_UA_ELLIPSISTYPE, "3").SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, "tip");
    CGXStyle applied = s;
    applied.ChangeStyle(other, gxApplyNew);
    EXPECT_EQ(applied.GetUserAttribute(GX_IDS_UA_ELLIPSISTYPE).GetValueText(), CString("2"));
    EXPECT_EQ(applied.GetUserAttribute(GX_IDS_UA_TOOLTIPTEXT).GetValueText(), CString("tip"));
    applied.ChangeStyle(other, gxOverride);
    EXPECT_EQ(applied.GetUserAttribute(GX_IDS_UA_ELLIPSISTYPE).GetValueText(), CString("3"));
    applied.ChangeStyle(other, gxExclude);
    EXPECT_EQ(applied.GetUserAttributeCount(), 1u);
    EXPECT_TRUE(s.IsSubSet(applied) == FALSE); // the ellipsis value was removed there
    applied.RemoveUserAttribute(GX_IDS_UA_NEGATIVECOLOR);
    EXPECT_FALSE(applied.GetInclude(GX_INCL_USERATTR));
    applied.SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, static_cast<CGXAbstractUserAttribute*>(nullptr));
    EXPECT_TRUE(applied.IsEmpty());
}

TEST(CGXStyleTest, PackedPenBrushAndFontRoundTrip)
{
    CGXPen pen(GX_PS_DASHDOT, 70000, GXSysColor(16));
    EXPECT_EQ(pen.GetStyle(), GX_PS_DASHDOT);
    EXPECT_EQ(pen.GetWidth(), 0xFFFFu); // clamped to the field
    EXPECT_EQ(pen.GetColor(), GXSysColor(16));
    pen.SetWidth(3).SetColor(RGB(1, 2, 3));
    EXPECT_EQ(pen.GetStyle(), GX_PS_DASHDOT);
    EXPECT_EQ(pen.GetWidth(), 3u);
    EXPECT_EQ(pen.GetColor(), RGB(1, 2, 3));
    CGXPen unset;
    EXPECT_EQ(unset.GetStyle(), GX_PS_NONE);
    unset.SetColor(0xFF123456); // setting a colour makes the pen visible, colour kept whole
    EXPECT_EQ(unset.GetStyle(), GX_PS_SOLID);
    EXPECT_EQ(unset.GetColor(), 0xFF123456u);
    unset.SetVisible(FALSE);
    EXPECT_EQ(unset.GetColor(), 0xFF123456u);
    BYTE pattern[8];
    EXPECT_TRUE(pen.GetLinePattern(TRUE, pattern));
    EXPECT_FALSE(unset.GetLinePattern(TRUE, pattern));

    CGXStyle bordered;
    bordered.SetBorders(gxBorderTop, unset);
    EXPECT_FALSE(bordered.HasBorder(gxBorderTop)); // included, but the pen is unset
    EXPECT_FALSE(bordered.HasBorder(gxBorderLeft));
    bordered.SetBorders(gxBorderLeft, pen);
    EXPECT_TRUE(bordered.HasBorder(gxBorderLeft));

    CGXBrush brush;
    brush.Set(GX_BS_HATCHED, GXSysColor(15), 5).SetBackColor(RGB(9, 8, 7));
    EXPECT_EQ(brush.GetForeColor(), GXSysColor(15));
    EXPECT_EQ(brush.GetBackColor(), RGB(9, 8, 7));
    EXPECT_EQ(brush.GetHatch(), 5u);
    brush.SetPattern(200);
    EXPECT_EQ(brush.GetStyle(), GX_BS_PATTERN);
    EXPECT_EQ(brush.GetPattern(), 63u);
    EXPECT_EQ(brush.GetForeColor(), GXSysColor(15));

    CGXFont font;
    font.SetWeight(650).SetItalic(TRUE).SetSize(300).SetOrientation(-900).SetFaceName("Verdana").SetCharSet(238);
    EXPECT_EQ(font.GetWeight(), 700);
    EXPECT_TRUE(font.GetItalic());
    EXPECT_FALSE(font.GetUnderline());
    EXPECT_EQ(font.GetSize(), 255.75);
    EXPECT_EQ(CGXFont::EncodeSize(10.3), 41u);
    EXPECT_EQ(CGXFont::EncodeSize(-1), 0u);
    EXPECT_EQ(font.GetOrientation(), 2700);
    EXPECT_EQ(font.GetFaceName(), CString("Verdana"));
    EXPECT_EQ(font.GetCharSet(), 238);
    EXPECT_EQ(font.GetInclude(), static_cast<UINT>(GX_FONT_ALL & ~(GX_FONT_UNDERLINE | GX_FONT_STRIKEOUT)));
    font.SetUnderline(TRUE).SetItalic(FALSE);
    EXPECT_EQ(font.GetFaceName(), CString("Verdana"));
    EXPECT_EQ(font.GetWeight(), 700);
    EXPECT_TRUE(font.GetUnderline());
    EXPECT_EQ(font.GetCharSet(), 238);
}

TEST(CGXStyleTest, ArchiveKeepsEveryAttributeAndRejectsUnknownMarks)
{
    CGXStyle s;
    for (const Attribute& a : Attributes())
        if (a.bit != GX_INCL_ITEMDATAPTR) // process-local: not stored
            a.set(s, 1);
    s.SetFont(CGXFont().SetFaceName("Georgia").SetBold(TRUE));
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        s.Serialize(ar);
        ar.Close();
    }
    file.SeekToBegin();
    CGXStyle loaded;
    {
        CArchive ar(&file, CArchive::load);
        loaded.Serialize(ar);
    }
    EXPECT_EQ(loaded, s);

    CMemFile bad;
    {
        CArchive ar(&bad, CArchive::store);
        ar << DWORD{0x80000000u};
        ar.Close();
    }
    bad.SeekToBegin();
    CArchive ar(&bad, CArchive::load);
    int cause = -1;
    try {
        loaded.Serialize(ar);
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(cause, CArchiveException::genericException);
    EXPECT_EQ(loaded, s); // untouched by the failed load
}

TEST(CGXStyleTest, BaseStyleChainsResolveAndStopAtLoops)
{
    CGXStylesMap map;
    map.CreateStandardStyles();
    ASSERT_NE(map.m_wStyleStandard, 0);
    EXPECT_EQ(map.GetStyleName(map.m_wStyleRowHeader), CString("Row Header"));
    EXPECT_EQ(map.GetBaseStyleId("column header"), map.m_wStyleColHeader);
    EXPECT_FALSE(map.UnregisterStyle(map.m_wStyleStandard));

    CGXStyle red;
    red.SetTextColor(RGB(255, 0, 0)).SetBaseStyle(map.m_wStyleColHeader);
    const WORD nRed = map.RegisterStyle("Red", red);
    CGXStyle cell;
    cell.SetBaseStyle(nRed).SetValue("v");
    cell.LoadBaseStyle(map);
    EXPECT_EQ(cell.GetTextColor(), RGB(255, 0, 0));
    EXPECT_EQ(cell.GetControl(), GX_IDS_CTRL_STATIC); // from Column Header
    EXPECT_EQ(cell.GetHorizontalAlignment(), GX_ALIGN_CENTER);
    EXPECT_EQ(cell.GetFont().GetFaceName(), CString("Arial")); // from Standard, two steps up
    EXPECT_EQ(cell.GetValue(), CString("v"));

    // A loop in the chain ends instead of hanging.
    CGXStyle loop1, loop2;
    const WORD n1 = map.RegisterStyle("Loop1", loop1);
    loop2.SetBaseStyle(n1).SetWrapText(TRUE);
    const WORD n2 = map.RegisterStyle("Loop2", loop2);
    map.LookupStyle(n1)->SetBaseStyle(n2);
    CGXStyle looped;
    looped.SetBaseStyle(n1);
    looped.LoadBaseStyle(map);
    EXPECT_TRUE(looped.GetWrapText());

    CGXStylesMap copy(map);
    EXPECT_EQ(copy.LookupStyle(nRed)->GetTextColor(), RGB(255, 0, 0));
    map.LookupStyle(nRed)->SetTextColor(0);
    EXPECT_EQ(copy.LookupStyle(nRed)->GetTextColor(), RGB(255, 0, 0));
}

TEST(GXColorTest, SystemColoursResolveWithinTheTableOnly)
{
    const COLORREF table[3] = {RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3)};
    EXPECT_EQ(GXResolveColor(GXSysColor(2), table), RGB(3, 3, 3));
    EXPECT_EQ(GXResolveColor(GXSysColor(3), table), 0u);
    EXPECT_EQ(GXResolveColor(GXSysColor(189), table), 0u);
    EXPECT_EQ(GXResolveColor(RGB(4, 5, 6), table), RGB(4, 5, 6));
    EXPECT_EQ(GXResolveColor(0xFF010203, table), 0x00010203u); // 255 is not a system colour
    EXPECT_EQ(GXSysColorIndex(0x40000000), -1);
}
