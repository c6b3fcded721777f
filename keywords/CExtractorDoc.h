// The keyword engine document of one page: fed the page text, asked for its key phrases.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/Types.h"

struct KxEngine;
struct KxDocument;
class CExtractor;

// 0 when a keyword engine status is 0, nonzero otherwise; a failure is traced with its text.
int CheckExtractorStatus(int nStatus);

// Used by one thread at a time. Every operation answers 0 on success and nonzero otherwise.
class CExtractorDoc : public CObject {
    DECLARE_DYNAMIC(CExtractorDoc)
public:
    CExtractorDoc(CExtractor* pOwner, const KxEngine* pEngine);
    ~CExtractorDoc() override;
    CExtractorDoc(const CExtractorDoc&) = delete;
    CExtractorDoc& operator=(const CExtractorDoc&) = delete;

    // Sets beta to dValue x 7.5: the scan option "ExtractorBeta1000" x 0.001 gives 7.5 for
    // its default.
    int SetScaledBeta(double dValue);
    int SetBeta(double dValue);
    // Prepares the document for HTML text.
    int Reset();
    int AddText(const char* pText, int nLength);
    int Extract();
    // 0 when the count cannot be read.
    int GetPhraseCount() const;
    // The phrase text, owned by the document; NULL when the index is out of range.
    LPCSTR GetPhrase(int nIndex) const;

    CExtractor* GetOwner() const { return m_pOwner; }

private:
    CExtractor* m_pOwner;            // not owned
    const KxEngine* m_pEngine;       // the owner's
    KxDocument* m_pDocument = nullptr;   // owned
};
