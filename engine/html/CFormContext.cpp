#include "engine/html/CFormContext.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CFormContext, CObject)

CFormContext::CFormContext(LPCSTR lpszName)
    : m_strName(lpszName != nullptr ? lpszName : "")
{
}

DWORD CFormContext::HashText(LPCSTR lpszText, int nLength)
{
    if (lpszText == nullptr)
        nLength = 0;
    else if (nLength < 0)
        nLength = static_cast<int>(strlen(lpszText));
    DWORD h = 9141;
    for (int i = 0; i < nLength; ++i) {
        // Bytes count as signed: a byte of 128 or more adds a negative value.
        auto c = static_cast<DWORD>(static_cast<LONG>(static_cast<signed char>(lpszText[i])));
        h = c + h * 3113u + 17u;
    }
    return h;
}

void CFormContext::AddField(LPCSTR lpszText, int nLength)
{
    m_dwChecksum += HashText(lpszText, nLength);
}
