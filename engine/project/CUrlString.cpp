#include "engine/project/CUrlString.h"

#include "engine/html/CCharClassSet.h"

#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"

#include <string>
#include <string_view>
#include <vector>

IMPLEMENT_SERIAL(CUrlString, CObject, 1)

namespace {

const CUrlString::SchemeEntry s_schemes[CUrlString::kSchemeCount] = {
    {"unknown", 0, -1, FALSE, FALSE},
    {"http", 80, 3, TRUE, TRUE},
    {"ftp", 21, 1, TRUE, TRUE},
    {"https", 443, 4, TRUE, TRUE},
    {"file", 0, 5, TRUE, TRUE},
    {"news", 0, 6, FALSE, FALSE},
    {"mailto", 0, 7, FALSE, FALSE},
    {"gopher", 70, 2, FALSE, FALSE},
    {"telnet", 23, -1, FALSE, FALSE},
    {"wais", 210, -1, FALSE, FALSE},
    {"nntp", 119, -1, FALSE, FALSE},
    {"prospero", 1525, -1, FALSE, FALSE},
};

bool IsControlChar(char ch)
{
    return g_ControlChars.Contains(static_cast<unsigned char>(ch)) != 0;
}
bool IsAsciiAlpha(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}
bool IsAsciiDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}
bool IsSchemeChar(char ch)
{
    return IsAsciiAlpha(ch) || IsAsciiDigit(ch) || ch == '+' || ch == '-';
}

std::string ToLowerAscii(std::string_view text)
{
    std::string result(text);
    for (char& ch : result) {
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    return result;
}

std::string_view TrimWhitespace(std::string_view text)
{
    const auto blank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string TrimTrailingWhitespace(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'
                             || text.back() == '\v' || text.back() == '\f'))
        text.pop_back();
    return text;
}

CString ToCString(std::string_view text)
{
    return CString(text.data(), static_cast<int>(text.size()));
}

std::string_view View(const CString& text)
{
    return std::string_view(text.GetString(), static_cast<size_t>(text.GetLength()));
}

// Whether a segment of the path is "." or "..".
bool HasDotSegment(std::string_view path)
{
    for (size_t i = path.find('.'); i != std::string_view::npos; i = path.find('.', i + 1)) {
        if (i > 0 && path[i - 1] != '/')
            continue;
        size_t end = i + 1;
        if (end < path.size() && path[end] == '.')
            ++end;
        if (end == path.size() || path[end] == '/')
            return true;
    }
    return false;
}

} // namespace

const CUrlString::SchemeEntry& CUrlString::GetSchemeEntry(UINT nIndex)
{
    return s_schemes[nIndex < kSchemeCount ? nIndex : 0];
}

CUrlString::CUrlString()
{
    Reset();
}

CUrlString::CUrlString(LPCTSTR pszText, const CUrlString* pBase)
{
    Parse(pszText, pBase);
}

CUrlString::CUrlString(const CUrlString& other) = default;
CUrlString& CUrlString::operator=(const CUrlString& other) = default;

void CUrlString::Reset()
{
    m_bError = 1;
    m_bResolved = 0;
    m_strErrorText = "Uninitialized URL";
    m_nSchemeType = -1;
    m_strScheme.Empty();
    m_strHost.Empty();
    m_nPort = 0;
    m_strUser.Empty();
    m_strPassword.Empty();
    m_strPath.Empty();
    m_strFragment.Empty();
    m_strQuery.Empty();
    m_strParams.Empty();
    m_nSchemeIndex = 0;
}

void CUrlString::SetError(LPCTSTR pszText)
{
    // The first problem found is the one reported.
    if (m_bError != 0)
        return;
    m_bError = 1;
    m_strErrorText = pszText;
}

void CUrlString::SetScheme(const CString& strScheme)
{
    m_strScheme = strScheme;
    m_nSchemeIndex = FindSchemeEntry(strScheme);
    m_nSchemeType = Row().nSchemeType;
    m_nPort = Row().nDefaultPort;
}

void CUrlString::Parse(LPCTSTR pszText, const CUrlString* pBase)
{
    Reset();
    m_bError = 0;
    m_strErrorText.Empty();

    std::string_view text(pszText != nullptr ? pszText : "");
    while (!text.empty() && IsControlChar(text.back()))
        text.remove_suffix(1);
    while (!text.empty() && IsControlChar(text.front()))
        text.remove_prefix(1);

    if (text.empty()) {
        if (pBase == nullptr) {
            Reset();
            m_strErrorText = "http://";
            return;
        }
        if (pBase->HasError()) {
            *this = *pBase;
            return;
        }
    }

    std::string rest(text);
    const size_t nHash = rest.find('#');
    if (nHash != std::string::npos) {
        if (nHash + 1 < rest.size())
            m_strFragment = ToCString(std::string_view(rest).substr(nHash + 1));
        rest.resize(nHash);
    }

    // A scheme is a letter followed by letters, digits, "+" and "-" up to a ":"; anything else
    // before a ":" (a "/" or "." of a relative path) makes the text relative.
    bool bOwnScheme = false;
    const size_t nColon = rest.find(':');
    if (nColon != std::string::npos && nColon > 0 && IsAsciiAlpha(rest[0])) {
        bool bScheme = true;
        for (size_t i = 1; i < nColon && bScheme; ++i)
            bScheme = IsSchemeChar(rest[i]);
        if (bScheme) {
            SetScheme(ToCString(ToLowerAscii(std::string_view(rest).substr(0, nColon))));
            rest.erase(0, nColon + 1);
            bOwnScheme = true;
        }
    }
    if (!bOwnScheme && pBase == nullptr)
        SetScheme("http");

    // The authority ends at the path or at the query, so that "http://h?x" names the host "h".
    bool bAuthority = false;
    std::string authority;
    if (rest.compare(0, 2, "//") == 0) {
        const size_t nEnd = rest.find_first_of("/?", 2);
        authority = rest.substr(2, nEnd == std::string::npos ? std::string::npos : nEnd - 2);
        rest.erase(0, nEnd == std::string::npos ? rest.size() : nEnd);
        bAuthority = true;
    } else if (pBase == nullptr && m_nSchemeType == 3) {
        const size_t nEnd = rest.find_first_of("/?");
        authority = rest.substr(0, nEnd);
        rest.erase(0, nEnd == std::string::npos ? rest.size() : nEnd);
        bAuthority = true;
    }

    bool bPortWritten = false;
    UINT nWrittenPort = 0;
    if (bAuthority) {
        std::string_view hostPart(authority);
        const size_t nAt = hostPart.find('@');
        if (nAt != std::string_view::npos) {
            const std::string_view userInfo = hostPart.substr(0, nAt);
            hostPart.remove_prefix(nAt + 1);
            const size_t nPass = userInfo.find(':');
            m_strUser = ToCString(userInfo.substr(0, nPass));
            if (nPass != std::string_view::npos)
                m_strPassword = ToCString(userInfo.substr(nPass + 1));
        }
        const size_t nPortColon = hostPart.find(':');
        if (nPortColon != std::string_view::npos) {
            const std::string_view portText = TrimWhitespace(hostPart.substr(nPortColon + 1));
            hostPart = hostPart.substr(0, nPortColon);
            bPortWritten = true;
            if (portText.empty()) {
                SetError("Missing port number");
            } else {
                // Digits only and within 16 bits: a port that would wrap round names another
                // service than the one written.
                UINT nValue = 0;
                bool bGood = true;
                for (char ch : portText) {
                    if (!IsAsciiDigit(ch) || nValue > 65535) {
                        bGood = false;
                        break;
                    }
                    nValue = nValue * 10 + static_cast<UINT>(ch - '0');
                }
                if (!bGood || nValue > 65535)
                    SetError("Bad port number");
                else
                    nWrittenPort = nValue;
            }
        }
        m_strHost = ToCString(ToLowerAscii(hostPart));
        if (bPortWritten && m_bError == 0)
            m_nPort = nWrittenPort;
    }

    const size_t nQuestion = rest.find('?');
    if (nQuestion != std::string::npos) {
        if (nQuestion + 1 < rest.size())
            m_strQuery = ToCString(TrimTrailingWhitespace(rest.substr(nQuestion)));
        rest.resize(nQuestion);
    }
    const size_t nSemicolon = rest.find(';');
    if (nSemicolon != std::string::npos) {
        if (nSemicolon + 1 < rest.size())
            m_strParams = ToCString(TrimTrailingWhitespace(rest.substr(nSemicolon)));
        rest.resize(nSemicolon);
    }
    m_strPath = ToCString(rest);

    // Against a base, the resolved flag tells that a relative path was joined to the base's
    // folder; a URL that needed nothing of the base's path leaves it clear. Dot segments go from
    // every hierarchical path, so that the same page always has the same canonical text.
    if (pBase == nullptr || bOwnScheme) {
        if (Row().bHierarchical && !m_strPath.IsEmpty())
            m_strPath = RemoveDotSegments(m_strPath);
        if (pBase == nullptr)
            m_bResolved = (m_strPath.IsEmpty() || m_strPath[0] == '/') ? 1 : 0;
    } else if (pBase->HasError()) {
        // Nothing sound can be made of a relative URL whose base is wrong.
        const CString strFragment = m_strFragment;
        *this = *pBase;
        m_strFragment = strFragment;
        return;
    } else if (!bAuthority && m_strPath.IsEmpty() && m_strQuery.IsEmpty() && m_strParams.IsEmpty()) {
        const CString strFragment = m_strFragment;
        *this = *pBase;
        m_bResolved = 0;
        if (!strFragment.IsEmpty())
            m_strFragment = strFragment;
    } else {
        m_strScheme = pBase->m_strScheme;
        m_nSchemeIndex = pBase->m_nSchemeIndex;
        m_nSchemeType = pBase->m_nSchemeType;
        if (bAuthority) {
            if (!bPortWritten || m_bError != 0)
                m_nPort = Row().nDefaultPort;
            if (Row().bHierarchical && !m_strPath.IsEmpty())
                m_strPath = RemoveDotSegments(m_strPath);
        } else {
            m_strHost = pBase->m_strHost;
            m_nPort = pBase->m_nPort;
            m_strUser = pBase->m_strUser;
            m_strPassword = pBase->m_strPassword;
            if (m_strPath.IsEmpty()) {
                m_strPath = pBase->m_strPath;
                if (m_strParams.IsEmpty()) {
                    m_strParams = pBase->m_strParams;
                    if (m_strQuery.IsEmpty())
                        m_strQuery = pBase->m_strQuery;
                }
            } else {
                if (m_strPath[0] != '/') {
                    const int nSlash = pBase->m_strPath.ReverseFind('/');
                    const CString strDirectory = nSlash >= 0 ? pBase->m_strPath.Left(nSlash + 1) : CString("/");
                    m_strPath = strDirectory + m_strPath;
                    m_bResolved = 1;
                }
                if (Row().bHierarchical)
                    m_strPath = RemoveDotSegments(m_strPath);
            }
        }
    }

    CheckHost();
}

void CUrlString::CheckHost()
{
    const std::string_view host = View(m_strHost);
    if (m_nSchemeType >= 1 && m_nSchemeType <= 4) {
        if (host.empty()) {
            SetError("Missing hostname");
            return;
        }
        if (!g_HostChars.ContainsAll(m_strHost) || host.front() == '.' || host.back() == '.') {
            SetError("Bad hostname");
            return;
        }
        if (!g_IpChars.ContainsAll(m_strHost))
            return;
        // Four numbers and nothing else; anything else made of digits and dots is no host.
        std::vector<std::string_view> parts;
        size_t nStart = 0;
        for (;;) {
            const size_t nDot = host.find('.', nStart);
            parts.push_back(host.substr(nStart, nDot == std::string_view::npos ? std::string_view::npos : nDot - nStart));
            if (nDot == std::string_view::npos)
                break;
            nStart = nDot + 1;
        }
        UINT numbers[4] = {};
        bool bFour = parts.size() == 4;
        for (size_t i = 0; bFour && i < 4; ++i) {
            if (parts[i].empty()) {
                bFour = false;
                break;
            }
            UINT nValue = 0;
            for (char ch : parts[i])
                nValue = nValue > 1000 ? nValue : nValue * 10 + static_cast<UINT>(ch - '0');
            numbers[i] = nValue;
        }
        if (!bFour)
            SetError("Bad hostname");
        else if (!IsValidIPv4(numbers[0], numbers[1], numbers[2], numbers[3]))
            SetError("Illegal IP");
    } else if (m_nSchemeType == 5) {
        if (!g_ServerNameChars.ContainsAll(m_strHost))
            SetError("Bad hostname");
    }
}

CString CUrlString::RemoveDotSegments(const CString& strPath)
{
    const std::string_view path = View(strPath);
    // Most paths have nothing to remove: they stay as they are.
    if (!path.empty() && !HasDotSegment(path))
        return strPath;
    const bool bAbsolute = !path.empty() && path.front() == '/';
    std::string_view body = bAbsolute ? path.substr(1) : path;

    std::vector<std::string_view> kept;
    bool bTrailingSlash = false;
    while (true) {
        const size_t nSlash = body.find('/');
        const std::string_view segment = body.substr(0, nSlash);
        const bool bLast = nSlash == std::string_view::npos;
        if (segment == ".") {
            bTrailingSlash = bLast;
        } else if (segment == "..") {
            if (!kept.empty() && kept.back() != "..") {
                kept.pop_back();
                bTrailingSlash = bLast;
            } else {
                // Nothing to climb out of: the ".." stays as it is.
                kept.push_back(segment);
                bTrailingSlash = false;
            }
        } else if (!bLast || !segment.empty()) {
            kept.push_back(segment);
            bTrailingSlash = false;
        } else {
            bTrailingSlash = true;
        }
        if (bLast)
            break;
        body.remove_prefix(nSlash + 1);
    }

    std::string result;
    result.reserve(path.size());
    if (bAbsolute)
        result += '/';
    for (size_t i = 0; i < kept.size(); ++i) {
        if (i > 0)
            result += '/';
        result += kept[i];
    }
    if (bTrailingSlash && !kept.empty())
        result += '/';
    if (result.empty())
        result.push_back('/');
    return ToCString(result);
}

CString CUrlString::GetRoot(BOOL bWithSlash) const
{
    CString strRoot;
    if (!m_strScheme.IsEmpty()) {
        strRoot += m_strScheme;
        strRoot += ':';
    }
    if (!m_strHost.IsEmpty()) {
        strRoot += "//";
        strRoot += m_strUser;
        if (!m_strPassword.IsEmpty()) {
            strRoot += ':';
            strRoot += m_strPassword;
        }
        if (!m_strUser.IsEmpty() || !m_strPassword.IsEmpty())
            strRoot += '@';
        strRoot += m_strHost;
    } else if (Row().bAlwaysSlashes) {
        strRoot += "//";
    }
    if (m_nPort != Row().nDefaultPort)
        strRoot.AppendFormat(":%u", m_nPort);
    if (bWithSlash && Row().bHierarchical)
        strRoot += '/';
    return strRoot;
}

CString CUrlString::GetUrl(BOOL bWithFragment) const
{
    CString strUrl = GetRoot(FALSE);
    if (m_strPath.IsEmpty() && Row().bHierarchical)
        strUrl += '/';
    else
        strUrl += m_strPath;
    strUrl += m_strParams;
    strUrl += m_strQuery;
    if (bWithFragment && !m_strFragment.IsEmpty()) {
        strUrl += '#';
        strUrl += m_strFragment;
    }
    return strUrl;
}

BOOL CUrlString::HasInvalidChars() const
{
    bool bValid;
    if (m_nSchemeType == 5) {
        bValid = g_UrlCharsTilde.ContainsAll(m_strHost) && g_UrlCharsTilde.ContainsAll(m_strUser)
                 && g_UrlCharsTilde.ContainsAll(m_strPassword) && g_UrlCharsTilde.ContainsAll(m_strQuery)
                 && g_UrlCharsTilde.ContainsAll(m_strFragment) && g_UrlCharsBar.ContainsAll(m_strPath);
    } else if (m_nSchemeType == 7) {
        bValid = g_UrlCharsTilde.ContainsAll(m_strHost) && g_UrlCharsTilde.ContainsAll(m_strPath)
                 && g_UrlCharsTildeBlank.ContainsAll(m_strQuery);
    } else {
        bValid = g_UrlCharsTilde.ContainsAll(m_strHost) && g_UrlCharsTilde.ContainsAll(m_strUser)
                 && g_UrlCharsTilde.ContainsAll(m_strPassword) && g_UrlCharsTilde.ContainsAll(m_strPath)
                 && g_UrlCharsTilde.ContainsAll(m_strQuery) && g_UrlCharsTilde.ContainsAll(m_strFragment);
    }
    return bValid ? 0 : 1;
}

UINT CUrlString::FindSchemeEntry(LPCTSTR pszScheme)
{
    if (pszScheme == nullptr)
        return 0;
    const std::string_view scheme(pszScheme);
    for (UINT i = 1; i < kSchemeCount; ++i) {
        if (scheme == s_schemes[i].pszScheme)
            return i;
    }
    return 0;
}

UINT CUrlString::FindSchemeEntryByType(int nSchemeType)
{
    for (UINT i = 1; i < kSchemeCount; ++i) {
        if (s_schemes[i].nSchemeType == nSchemeType)
            return i;
    }
    return 0;
}

BOOL CUrlString::IsValidPortForScheme(int nSchemeType, UINT nPort)
{
    if (nSchemeType >= 1 && nSchemeType <= 4)
        return (nPort >= 1 && nPort <= 65535) ? TRUE : FALSE;
    return TRUE;
}

BOOL CUrlString::IsValidIPv4(UINT n1, UINT n2, UINT n3, UINT n4)
{
    if (n1 > 255 || n2 > 255 || n3 > 255 || n4 > 255)
        return FALSE;
    if (n1 == 0 && n2 == 0 && n3 == 0 && n4 == 0)
        return FALSE;
    return n1 < 224 ? TRUE : FALSE;
}

void CUrlString::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_bError) << static_cast<DWORD>(m_bResolved) << m_strErrorText;
        ar << static_cast<DWORD>(m_nSchemeType) << m_strScheme << m_strHost << static_cast<DWORD>(m_nPort);
        ar << m_strUser << m_strPassword << m_strPath << m_strFragment << m_strQuery << m_strParams;
        ar << static_cast<DWORD>(m_nSchemeIndex);
        return;
    }
    DWORD dwError = 0, dwResolved = 0, dwType = 0, dwPort = 0, dwIndex = 0;
    CString strErrorText, strScheme, strHost, strUser, strPassword, strPath, strFragment, strQuery, strParams;
    ar >> dwError >> dwResolved >> strErrorText >> dwType >> strScheme >> strHost >> dwPort;
    ar >> strUser >> strPassword >> strPath >> strFragment >> strQuery >> strParams >> dwIndex;
    // The index picks a row of the scheme table; one beyond it comes only from a damaged file.
    if (dwIndex >= kSchemeCount)
        AfxThrowArchiveException(CArchiveException::badIndex);
    m_bError = dwError;
    m_bResolved = dwResolved;
    m_strErrorText = strErrorText;
    m_nSchemeType = static_cast<int>(dwType);
    m_strScheme = strScheme;
    m_strHost = strHost;
    m_nPort = dwPort;
    m_strUser = strUser;
    m_strPassword = strPassword;
    m_strPath = strPath;
    m_strFragment = strFragment;
    m_strQuery = strQuery;
    m_strParams = strParams;
    m_nSchemeIndex = dwIndex;
}
