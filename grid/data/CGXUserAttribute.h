// User attributes: values that a style carries under a 16-bit id beside its fixed attributes
// (tool tips, ellipsis mode, the colour of negative numbers, ...).
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

// Ids the grid itself reads.
enum : WORD {
    GX_IDS_UA_TOOLTIPTEXT = 51022,
    GX_IDS_UA_ELLIPSISTYPE = 52792,
    GX_IDS_UA_NEGATIVECOLOR = 52797, // "Formatting color for negative numbers"
};

class CGXAbstractUserAttribute : public CObject {
    DECLARE_DYNAMIC(CGXAbstractUserAttribute)
public:
    ~CGXAbstractUserAttribute() override = default;

    virtual CGXAbstractUserAttribute* Clone() const = 0;
    virtual CString GetValueText() const = 0;
    // The value as a number: the text read as a decimal (leading blanks allowed), 0 when it is
    // not one.
    virtual LONG GetLongValue() const;
    virtual double GetDoubleValue() const;
    virtual BOOL IsEqual(const CGXAbstractUserAttribute& other) const;
    // Two texts equal byte for byte over their whole length, a NUL inside included, as a
    // style's hash reads them: styles that compare equal must hash alike, or the style pool
    // hands out one for the other.
    static BOOL SameText(const CString& a, const CString& b);

protected:
    CGXAbstractUserAttribute() = default;
};

// A user attribute holding a text.
class CGXUserAttribute : public CGXAbstractUserAttribute {
    DECLARE_SERIAL(CGXUserAttribute)
public:
    CGXUserAttribute() = default;
    explicit CGXUserAttribute(const CString& value) : m_value(value) {}
    explicit CGXUserAttribute(LONG nValue);

    CGXAbstractUserAttribute* Clone() const override { return new CGXUserAttribute(m_value); }
    CString GetValueText() const override { return m_value; }
    BOOL IsEqual(const CGXAbstractUserAttribute& other) const override;
    void Serialize(CArchive& ar) override;

private:
    CString m_value;
};

// The attribute answered for an id a style does not hold: empty text, value 0.
const CGXAbstractUserAttribute& GXGetEmptyUserAttribute();
