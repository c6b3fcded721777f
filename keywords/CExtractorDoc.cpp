#include "keywords/CExtractorDoc.h"

#include "keywords/CExtractor.h"
#include "keywords/KxApi.h"
#include "platform/core/Interlocked.h"

#include <cstdlib>

IMPLEMENT_DYNAMIC(CExtractorDoc, CObject)

int CheckExtractorStatus(int nStatus)
{
    if (nStatus == KX_OK)
        return 0;
    if (AfxTraceEnabled()) {
        char* text = nullptr;
        kxGetErrorText(nStatus, &text);
        TRACE("Keyword extractor error %d: %s", nStatus, text != nullptr ? text : "");
        std::free(text);
    }
    return nStatus;
}

CExtractorDoc::CExtractorDoc(CExtractor* pOwner, const KxEngine* pEngine)
    : m_pOwner(pOwner), m_pEngine(pEngine)
{
    if (CheckExtractorStatus(kxCreateDocument(&m_pDocument)) != 0)
        m_pDocument = nullptr;
    if (m_pOwner != nullptr) {
        InterlockedIncrement(&m_pOwner->m_nRefCount);
        SetBeta(m_pOwner->m_dBeta);
    }
}

CExtractorDoc::~CExtractorDoc()
{
    if (m_pDocument != nullptr)
        (void)kxDestroyDocument(m_pDocument);
    if (m_pOwner != nullptr)
        InterlockedDecrement(&m_pOwner->m_nRefCount);
}

int CExtractorDoc::SetScaledBeta(double dValue)
{
    return SetBeta(dValue * 7.5);
}

int CExtractorDoc::SetBeta(double dValue)
{
    return CheckExtractorStatus(kxSetBeta(m_pDocument, dValue));
}

int CExtractorDoc::Reset()
{
    return CheckExtractorStatus(kxResetDocument(m_pDocument, m_pEngine));
}

int CExtractorDoc::AddText(const char* pText, int nLength)
{
    return CheckExtractorStatus(kxAddText(m_pDocument, m_pEngine, pText, nLength));
}

int CExtractorDoc::Extract()
{
    return CheckExtractorStatus(kxExtract(m_pDocument, m_pEngine));
}

int CExtractorDoc::GetPhraseCount() const
{
    int count = 0;
    if (CheckExtractorStatus(kxGetPhraseCount(m_pDocument, &count)) != 0)
        return 0;
    return count;
}

LPCSTR CExtractorDoc::GetPhrase(int nIndex) const
{
    const char* phrase = nullptr;
    if (CheckExtractorStatus(kxGetPhrase(m_pDocument, nIndex, &phrase)) != 0)
        return nullptr;
    return phrase;
}
