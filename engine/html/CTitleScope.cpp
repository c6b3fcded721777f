#include "engine/html/CTitleScope.h"

#include <strings.h>

namespace {

template <size_t N>
bool IsName(LPCSTR pszName, int nLength, const char (&name)[N])
{
    return nLength == static_cast<int>(N - 1) && strncasecmp(pszName, name, N - 1) == 0;
}

bool IsPicture(LPCSTR pszName, int nLength)
{
    return IsName(pszName, nLength, "SVG") || IsName(pszName, nLength, "MATH");
}

} // namespace

void CTitleScope::OnStartTag(LPCSTR pszName, int nLength)
{
    m_opening = Opening::None;
    if (IsPicture(pszName, nLength))
        m_opening = Opening::Picture;
    else if (IsName(pszName, nLength, "TEMPLATE"))
        m_opening = Opening::Template;
    else if (IsName(pszName, nLength, "NOSCRIPT"))
        m_opening = Opening::NoScript;
    else if (IsName(pszName, nLength, "PLAINTEXT"))
        m_opening = Opening::PlainText;
}

void CTitleScope::OnTagEnd(BOOL bClosesItself)
{
    const Opening opening = m_opening;
    m_opening = Opening::None;
    // Only a picture, or an element within one, closes itself; a browser opens a template or
    // NOSCRIPT whatever its "/".
    switch (opening) {
    case Opening::Picture:
        m_nPictureDepth += bClosesItself ? 0 : 1;
        break;
    case Opening::Template:
        ++m_nTemplateDepth;
        break;
    case Opening::NoScript:
        m_bInNoScript = TRUE;
        break;
    case Opening::PlainText:
        // In a picture "<plaintext/>" is an empty element like any other closed there.
        m_bPlainText = m_bPlainText || !(bClosesItself && m_nPictureDepth > 0);
        break;
    case Opening::None:
        break;
    }
}

void CTitleScope::OnEndTag(LPCSTR pszName, int nLength)
{
    if (m_nPictureDepth > 0 && IsPicture(pszName, nLength))
        --m_nPictureDepth;
    else if (m_nTemplateDepth > 0 && IsName(pszName, nLength, "TEMPLATE"))
        --m_nTemplateDepth;
    else if (IsName(pszName, nLength, "NOSCRIPT"))
        m_bInNoScript = FALSE;
}

BOOL CTitleScope::IsPageTitleHere() const
{
    return m_nPictureDepth == 0 && m_nTemplateDepth == 0 && !m_bInNoScript && !m_bPlainText;
}
