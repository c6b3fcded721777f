#include "keywords/CExtractorDoc.h"

#include "keywords/CExtractor.h"
#include "keywords/KxApi.h"
#include "keywords/KxCharUtil.h"
#include "platform/core/Interlocked.h"

#include <cstdlib>
#include <new>

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
    if (m_pDocument == nullptr || m_pEngine == nullptr)
        return CheckExtractorStatus(kxAddText(m_pDocument, m_pEngine, pText, nLength));
    try {
        m_strLatin1.clear();
        if (pText != nullptr && nLength > 0)
            kx::Utf8ToLatin1(std::string_view(pText, static_cast<size_t>(nLength)), m_strCarry, false, m_strLatin1);
    } catch (const std::bad_alloc&) {
        return CheckExtractorStatus(KX_ERR_MEMORY);
    }
    if (m_strLatin1.empty())
        return 0;
    return CheckExtractorStatus(
        kxAddText(m_pDocument, m_pEngine, m_strLatin1.data(), static_cast<int>(m_strLatin1.size())));
}

int CExtractorDoc::Extract()
{
    m_phrases.clear();
    if (m_pDocument != nullptr && m_pEngine != nullptr && !m_strCarry.empty()) {
        // A sequence left unfinished at the end of the text is read as Latin-1 characters.
        int status = 0;
        try {
            m_strLatin1.clear();
            kx::Utf8ToLatin1({}, m_strCarry, true, m_strLatin1);
            status = kxAddText(m_pDocument, m_pEngine, m_strLatin1.data(), static_cast<int>(m_strLatin1.size()));
        } catch (const std::bad_alloc&) {
            status = KX_ERR_MEMORY;
        }
        if (status != KX_OK)
            return CheckExtractorStatus(status);
    }
    const int status = CheckExtractorStatus(kxExtract(m_pDocument, m_pEngine));
    if (status != 0)
        return status;
    int count = 0;
    (void)kxGetPhraseCount(m_pDocument, &count);
    try {
        m_phrases.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            const char* phrase = nullptr;
            if (kxGetPhrase(m_pDocument, i, &phrase) != KX_OK || phrase == nullptr)
                phrase = "";
            m_phrases.push_back(kx::Latin1ToUtf8(phrase));
        }
    } catch (const std::bad_alloc&) {
        m_phrases.clear();
        return CheckExtractorStatus(KX_ERR_MEMORY);
    }
    return 0;
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
    // Phrases are read after Extract, which has converted every one.
    if (static_cast<size_t>(nIndex) >= m_phrases.size())
        return nullptr;
    return m_phrases[static_cast<size_t>(nIndex)].c_str();
}
