#include "engine/html/CTextScanner.h"

#include <cctype>
#include <climits>

namespace {

bool IsScannerSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\f' || ch == '\v';
}

} // namespace

void CTextScanner::SkipSpace()
{
    while (IsScannerSpace(*m_p))
        ++m_p;
}

BOOL CTextScanner::Literal(char ch)
{
    if (*m_p == '\0' || *m_p != ch)
        return FALSE;
    ++m_p;
    return TRUE;
}

BOOL CTextScanner::Int(int& nValue, int nWidth)
{
    SkipSpace();
    LPCSTR p = m_p;
    int nLeft = nWidth > 0 ? nWidth : INT_MAX;
    bool bNegative = false;
    if (nLeft > 0 && (*p == '+' || *p == '-')) {
        bNegative = *p == '-';
        ++p;
        --nLeft;
    }
    if (nLeft == 0 || !isdigit(static_cast<unsigned char>(*p)))
        return FALSE;
    long long nAccum = 0;
    while (nLeft > 0 && isdigit(static_cast<unsigned char>(*p))) {
        if (nAccum <= INT_MAX)
            nAccum = nAccum * 10 + (*p - '0');
        ++p;
        --nLeft;
    }
    if (bNegative)
        nAccum = -nAccum;
    if (nAccum > INT_MAX)
        nAccum = INT_MAX;
    if (nAccum < INT_MIN)
        nAccum = INT_MIN;
    nValue = static_cast<int>(nAccum);
    m_p = p;
    return TRUE;
}

BOOL CTextScanner::String(CString& strValue, int nWidth)
{
    SkipSpace();
    LPCSTR pStart = m_p;
    int nLeft = nWidth > 0 ? nWidth : INT_MAX;
    while (nLeft > 0 && *m_p != '\0' && !IsScannerSpace(*m_p)) {
        ++m_p;
        --nLeft;
    }
    if (m_p == pStart)
        return FALSE;
    strValue = CString(pStart, static_cast<int>(m_p - pStart));
    return TRUE;
}

BOOL CTextScanner::Char(char& ch)
{
    if (*m_p == '\0')
        return FALSE;
    ch = *m_p++;
    return TRUE;
}

BOOL CTextScanner::Until(char chStop, CString& strValue)
{
    LPCSTR pStart = m_p;
    while (*m_p != '\0' && *m_p != chStop)
        ++m_p;
    if (m_p == pStart)
        return FALSE;
    strValue = CString(pStart, static_cast<int>(m_p - pStart));
    return TRUE;
}
