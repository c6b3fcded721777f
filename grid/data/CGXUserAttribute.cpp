#include "grid/data/CGXUserAttribute.h"

#include "platform/core/CArchive.h"

#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CGXAbstractUserAttribute, CObject)
IMPLEMENT_SERIAL(CGXUserAttribute, CGXAbstractUserAttribute, 1)

LONG CGXAbstractUserAttribute::GetLongValue() const
{
    const CString text = GetValueText();
    return static_cast<LONG>(std::strtol(text.GetString(), nullptr, 10));
}

double CGXAbstractUserAttribute::GetDoubleValue() const
{
    const CString text = GetValueText();
    return std::strtod(text.GetString(), nullptr);
}

BOOL CGXAbstractUserAttribute::IsEqual(const CGXAbstractUserAttribute& other) const
{
    return SameText(GetValueText(), other.GetValueText());
}

BOOL CGXAbstractUserAttribute::SameText(const CString& a, const CString& b)
{
    return a.GetLength() == b.GetLength() &&
           std::memcmp(a.GetString(), b.GetString(), static_cast<size_t>(a.GetLength())) == 0;
}

CGXUserAttribute::CGXUserAttribute(LONG nValue)
{
    m_value.Format("%ld", static_cast<long>(nValue));
}

BOOL CGXUserAttribute::IsEqual(const CGXAbstractUserAttribute& other) const
{
    if (other.GetRuntimeClass() == RUNTIME_CLASS(CGXUserAttribute))
        return SameText(m_value, static_cast<const CGXUserAttribute&>(other).m_value);
    return CGXAbstractUserAttribute::IsEqual(other);
}

void CGXUserAttribute::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_value;
    else
        ar >> m_value;
}

const CGXAbstractUserAttribute& GXGetEmptyUserAttribute()
{
    static const CGXUserAttribute empty;
    return empty;
}
