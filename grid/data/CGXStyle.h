// CGXStyle: the attribute set of a cell, a row, a column or a base style. Every attribute has
// an "included" mark; styles combine attribute by attribute in one of the change modes.
#pragma once

#include "grid/data/CGXBrush.h"
#include "grid/data/CGXFont.h"
#include "grid/data/CGXPen.h"
#include "grid/data/CGXUserAttribute.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <memory>
#include <utility>
#include <vector>

class CGXStylesMap;

// Change modes of CGXStyle::ChangeStyle; the store operations also take gxRemove.
enum GXModifyType : int {
    gxOverride = 0, // included attributes of the source replace ours
    gxApplyNew = 1, // included attributes of the source fill only what we lack
    gxCopy = 2,     // we become a copy of the source
    gxExclude = 3,  // attributes included in the source are dropped from ours
    gxRemove = 4,   // (stores only) the stored style is removed
};

// Included marks; GetMask gives them as one word, 0 for an empty style.
enum : DWORD {
    GX_INCL_CONTROL = 1u << 0,
    GX_INCL_VALUE = 1u << 1,
    GX_INCL_VALUETYPE = 1u << 2,
    GX_INCL_ENABLED = 1u << 3,
    GX_INCL_READONLY = 1u << 4,
    GX_INCL_HORZALIGN = 1u << 5,
    GX_INCL_VERTALIGN = 1u << 6,
    GX_INCL_WRAPTEXT = 1u << 7,
    GX_INCL_DRAW3DFRAME = 1u << 8,
    GX_INCL_INTERIOR = 1u << 9,
    GX_INCL_BORDER_LEFT = 1u << 10,
    GX_INCL_BORDER_RIGHT = 1u << 11,
    GX_INCL_BORDER_TOP = 1u << 12,
    GX_INCL_BORDER_BOTTOM = 1u << 13,
    GX_INCL_TEXTCOLOR = 1u << 14,
    GX_INCL_FONT = 1u << 15,
    GX_INCL_CHOICELIST = 1u << 16,
    GX_INCL_ITEMDATAPTR = 1u << 17,
    GX_INCL_MERGECELL = 1u << 18,
    GX_INCL_FLOATCELL = 1u << 19,
    GX_INCL_FLOODCELL = 1u << 20,
    GX_INCL_BASESTYLE = 1u << 21,
    GX_INCL_USERATTR = 1u << 22,
    GX_INCL_BORDERS = GX_INCL_BORDER_LEFT | GX_INCL_BORDER_RIGHT | GX_INCL_BORDER_TOP | GX_INCL_BORDER_BOTTOM,
};

enum GXBorderType : int { gxBorderLeft = 0, gxBorderRight = 1, gxBorderTop = 2, gxBorderBottom = 3 };

enum : UINT { GX_VT_STRING = 0, GX_VT_NUMERIC = 1 };
enum : UINT { GX_ALIGN_LEFT_TOP = 0, GX_ALIGN_CENTER = 1, GX_ALIGN_RIGHT_BOTTOM = 2 };
enum : UINT { GX_3D_NONE = 0, GX_3D_RAISED = 1, GX_3D_INSET = 2 };
enum : UINT { GX_MERGE_HORIZONTAL = 1, GX_MERGE_VERTICAL = 2, GX_MERGE_COMPVALUE = 4 };

// Control ids by their string ids.
enum : WORD {
    GX_IDS_CTRL_EDIT = 52512,
    GX_IDS_CTRL_STATIC = 52513,
    GX_IDS_CTRL_PUSHBTN = 52514,
    GX_IDS_CTRL_CBS_NOTEXTFIT = 52517,
    GX_IDS_CTRL_HOTSPOT = 52518,
    GX_IDS_CTRL_SCROLLEDIT = 52521,
    GX_IDS_CTRL_CHECKBOX3D = 52523,
    GX_IDS_CTRL_CBS_DROPDOWNLIST = 52529,
    GX_IDS_CTRL_HEADER = 52530,
};

class CGXStyleIncludeBits {
public:
    DWORD GetMask() const { return m_mask; }
    BOOL Get(DWORD nBit) const { return (m_mask & nBit) != 0; }
    void Set(DWORD nBit, BOOL b) { m_mask = b ? (m_mask | nBit) : (m_mask & ~nBit); }
    void SetMask(DWORD mask) { m_mask = mask; }
    bool operator==(const CGXStyleIncludeBits&) const = default;

private:
    DWORD m_mask = 0;
};

class CGXStyle : public CObject {
    DECLARE_SERIAL(CGXStyle)
public:
    CGXStyle() = default;
    CGXStyle(const CGXStyle& other);
    CGXStyle& operator=(const CGXStyle& other);
    CGXStyle(CGXStyle&&) noexcept = default;
    CGXStyle& operator=(CGXStyle&&) noexcept = default;
    ~CGXStyle() override;

    // Empties the style for reuse.
    void Free();
    void Clear() { Free(); }
    CGXStyle& CopyFrom(const CGXStyle& other) { return *this = other; }
    // Combines the other style into this one; see GXModifyType.
    CGXStyle& ChangeStyle(const CGXStyle& other, int nMode);
    // Fills what is unset from the base-style chain (this style's base, its base's base, ...).
    void LoadBaseStyle(const CGXStylesMap& stylesMap);
    // TRUE when every attribute this style includes is included in the other with the same value.
    BOOL IsSubSet(const CGXStyle& other) const;
    bool operator==(const CGXStyle& other) const;
    // A hash over the included attributes, consistent with operator==.
    size_t GetHash() const;

    const CGXStyleIncludeBits& GetIncludeBits() const { return m_include; }
    DWORD GetMask() const { return m_include.GetMask(); }
    BOOL IsEmpty() const { return m_include.GetMask() == 0; }
    BOOL GetInclude(DWORD nBit) const { return m_include.Get(nBit); }
    CGXStyle& SetInclude(DWORD nBit, BOOL bInclude);

    // Attribute access: each setter also marks its attribute included.
    CGXStyle& SetControl(WORD nControl);
    WORD GetControl() const { return m_nControl; }
    CGXStyle& SetValue(const CString& value);
    CGXStyle& SetValue(LPCTSTR value) { return SetValue(CString(value)); }
    // "%lu" and value type number.
    CGXStyle& SetValue(DWORD nValue);
    const CString& GetValue() const { return m_value; }
    CGXStyle& SetValueType(UINT nType);
    UINT GetValueType() const { return m_nValueType; }
    CGXStyle& SetEnabled(BOOL b);
    BOOL GetEnabled() const { return m_bEnabled; }
    CGXStyle& SetReadOnly(BOOL b);
    BOOL GetReadOnly() const { return m_bReadOnly; }
    CGXStyle& SetHorizontalAlignment(UINT n);
    UINT GetHorizontalAlignment() const { return m_nHorzAlign; }
    CGXStyle& SetVerticalAlignment(UINT n);
    UINT GetVerticalAlignment() const { return m_nVertAlign; }
    CGXStyle& SetWrapText(BOOL b);
    BOOL GetWrapText() const { return m_bWrapText; }
    CGXStyle& SetDraw3dFrame(UINT n3dEffect);
    UINT GetDraw3dFrame() const { return m_n3dFrame; }
    CGXStyle& SetInterior(const CGXBrush& brush);
    CGXStyle& SetInterior(COLORREF color) { return SetInterior(CGXBrush(GX_BS_SOLID, color, 0)); }
    const CGXBrush& GetInterior() const { return m_interior; }
    CGXStyle& SetBorders(int nSide, const CGXPen& pen);
    const CGXPen& GetBorders(int nSide) const { return m_borders[ClampSide(nSide)]; }
    // TRUE when the style includes that side's border and its pen is set.
    BOOL HasBorder(int nSide) const;
    CGXStyle& SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return m_textColor; }
    CGXStyle& SetFont(const CGXFont& font, int nMode = gxOverride);
    const CGXFont& GetFont() const { return m_font; }
    CGXStyle& SetChoiceList(const CString& list);
    const CString& GetChoiceList() const { return m_choiceList; }
    CGXStyle& SetItemDataPtr(void* p);
    void* GetItemDataPtr() const { return m_pItemData; }
    CGXStyle& SetMergeCell(UINT nMerge);
    UINT GetMergeCell() const { return m_nMerge; }
    CGXStyle& SetFloatCell(BOOL b);
    BOOL GetFloatCell() const { return m_bFloatCell; }
    CGXStyle& SetFloodCell(BOOL b);
    BOOL GetFloodCell() const { return m_bFloodCell; }
    CGXStyle& SetBaseStyle(WORD nBaseStyle);
    WORD GetBaseStyle() const { return m_nBaseStyle; }

    // User attributes: the style takes the object over (replacing one stored before); copies of
    // the style share it, and the last one frees it. Stored attributes are never changed.
    CGXStyle& SetUserAttribute(WORD nID, CGXAbstractUserAttribute* pAttribute);
    CGXStyle& SetUserAttribute(WORD nID, const CString& value);
    CGXStyle& SetUserAttribute(WORD nID, LONG nValue);
    BOOL HasUserAttribute(WORD nID) const;
    // The attribute, or a shared empty one when the style lacks it.
    const CGXAbstractUserAttribute& GetUserAttribute(WORD nID) const;
    CGXStyle& RemoveUserAttribute(WORD nID);
    size_t GetUserAttributeCount() const { return m_pUserAttributes ? m_pUserAttributes->size() : 0; }

    void Serialize(CArchive& ar) override;

private:
    // Attributes are immutable once stored, so styles share them, and share a whole list until
    // one of them changes it: composing a cell's style copies no attribute.
    using UserAttributeList = std::vector<std::pair<WORD, std::shared_ptr<const CGXAbstractUserAttribute>>>;
    UserAttributeList& MutableUserAttributes();
    static int ClampSide(int nSide) { return nSide < 0 ? 0 : (nSide > 3 ? 3 : nSide); }
    void CopyAttribute(const CGXStyle& other, DWORD nBit);
    BOOL SameAttribute(const CGXStyle& other, DWORD nBit) const;
    const CGXAbstractUserAttribute* FindUserAttribute(WORD nID) const;
    void ChangeUserAttributes(const CGXStyle& other, int nMode);
    void SyncUserAttributeMark();

    CGXStyleIncludeBits m_include;
    WORD m_nControl = 0;
    WORD m_nBaseStyle = 0;
    BYTE m_nValueType = GX_VT_STRING;
    BYTE m_nHorzAlign = 0;
    BYTE m_nVertAlign = 0;
    BYTE m_n3dFrame = 0;
    BYTE m_nMerge = 0;
    bool m_bEnabled = true;
    bool m_bReadOnly = false;
    bool m_bWrapText = false;
    bool m_bFloatCell = false;
    bool m_bFloodCell = false;
    COLORREF m_textColor = 0;
    CGXBrush m_interior;
    CGXPen m_borders[4];
    CGXFont m_font;
    CString m_value;
    CString m_choiceList;
    void* m_pItemData = nullptr;
    std::shared_ptr<const UserAttributeList> m_pUserAttributes;
};
