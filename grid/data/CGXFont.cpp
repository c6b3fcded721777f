#include "grid/data/CGXFont.h"

#include "grid/data/CGXStyle.h"
#include "platform/core/CArchive.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// Face names are few and live for the whole program, so fonts keep a 16-bit index into this
// append-only table; index 0 is the empty name. Styles may be composed on any thread.
class FaceTable {
public:
    static FaceTable& Instance()
    {
        static FaceTable table;
        return table;
    }
    UINT IndexOf(LPCTSTR lpszName)
    {
        const std::string name = lpszName != nullptr ? lpszName : "";
        if (name.empty())
            return 0;
        std::lock_guard lock(m_mutex);
        auto it = m_index.find(name);
        if (it != m_index.end())
            return it->second;
        if (m_names.size() > 0xFFFF)
            return 0; // the table is full: the font falls back to the default face
        m_names.push_back(name);
        const UINT n = static_cast<UINT>(m_names.size() - 1);
        m_index.emplace(name, n);
        return n;
    }
    CString NameOf(UINT nIndex)
    {
        std::lock_guard lock(m_mutex);
        return nIndex < m_names.size() ? CString(m_names[nIndex].c_str()) : CString();
    }

private:
    FaceTable() { m_names.emplace_back(); }
    std::mutex m_mutex;
    std::vector<std::string> m_names;
    std::unordered_map<std::string, UINT> m_index;
};

} // namespace

CGXFont& CGXFont::Put(const FieldDef& f, ULONGLONG value)
{
    const ULONGLONG mask = ((1ull << f.width) - 1) << f.shift;
    m_bits = (m_bits & ~mask) | ((value << f.shift) & mask);
    if (f.include != 0)
        SetInclude(f.include, TRUE);
    return *this;
}

CGXFont& CGXFont::SetInclude(UINT nAttribute, BOOL bInclude)
{
    const ULONGLONG mask = static_cast<ULONGLONG>(nAttribute & GX_FONT_ALL) << kInclude.shift;
    m_bits = bInclude ? (m_bits | mask) : (m_bits & ~mask);
    return *this;
}

CGXFont& CGXFont::SetWeight(LONG nWeight)
{
    const LONG n = std::clamp<LONG>((nWeight + 50) / 100, 0, 9);
    return Put(kWeight, static_cast<ULONGLONG>(n));
}

CGXFont& CGXFont::SetItalic(BOOL b) { return Put(kItalic, b ? 1 : 0); }
CGXFont& CGXFont::SetUnderline(BOOL b) { return Put(kUnderline, b ? 1 : 0); }
CGXFont& CGXFont::SetStrikeOut(BOOL b) { return Put(kStrikeOut, b ? 1 : 0); }
CGXFont& CGXFont::SetSize(double dPoints) { return Put(kSize, EncodeSize(dPoints)); }
CGXFont& CGXFont::SetOrientation(LONG nTenths) { return Put(kOrientation, EncodeOrientation(nTenths)); }
CGXFont& CGXFont::SetCharSet(BYTE nCharSet) { return Put(kCharSet, nCharSet); }

CGXFont& CGXFont::SetFaceName(LPCTSTR lpszFaceName)
{
    return Put(kFace, FaceTable::Instance().IndexOf(lpszFaceName));
}

CString CGXFont::GetFaceName() const
{
    return FaceTable::Instance().NameOf(static_cast<UINT>(Field(kFace)));
}

UINT CGXFont::EncodeSize(double dPoints)
{
    if (!(dPoints > 0)) // also NaN
        return 0;
    return static_cast<UINT>(std::min(1023.0, std::round(dPoints * 4)));
}

UINT CGXFont::EncodeOrientation(LONG nTenths)
{
    LONG nDegrees = static_cast<LONG>(std::lround(nTenths / 10.0)) % 360;
    if (nDegrees < 0)
        nDegrees += 360;
    return static_cast<UINT>(nDegrees);
}

void CGXFont::ChangeFont(const CGXFont& font, int nMode)
{
    if (nMode == gxCopy) {
        *this = font;
        return;
    }
    const UINT nSource = font.GetInclude();
    const UINT nMine = GetInclude();
    for (const FieldDef& f : kAll) {
        if ((nSource & f.include) == 0)
            continue;
        if (nMode == gxExclude)
            SetInclude(f.include, FALSE);
        else if (nMode == gxOverride || (nMine & f.include) == 0)
            Put(f, font.Field(f));
    }
}

BOOL CGXFont::IsSubSet(const CGXFont& other) const
{
    const UINT nMine = GetInclude();
    if ((nMine & ~other.GetInclude()) != 0)
        return FALSE;
    for (const FieldDef& f : kAll)
        if ((nMine & f.include) != 0 && Field(f) != other.Field(f))
            return FALSE;
    return TRUE;
}

// Fonts are stored as their attributes, face by name: face indices differ between processes.
CArchive& operator<<(CArchive& ar, const CGXFont& font)
{
    CGXFont copy = font;
    copy.SetFaceName(nullptr);
    copy.SetInclude(GX_FONT_FACENAME, font.GetInclude(GX_FONT_FACENAME));
    ar << copy.GetPacked() << font.GetFaceName();
    return ar;
}

CArchive& operator>>(CArchive& ar, CGXFont& font)
{
    ULONGLONG bits = 0;
    CString face;
    ar >> bits >> face;
    CGXFont loaded;
    loaded.SetPacked(bits & ((1ull << 58) - 1));
    const BOOL bFace = loaded.GetInclude(GX_FONT_FACENAME);
    loaded.SetFaceName(face);
    loaded.SetInclude(GX_FONT_FACENAME, bFace);
    font = loaded;
    return ar;
}
