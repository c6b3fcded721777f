// The keyword engine document of one page: fed the page text, asked for its key phrases.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/Types.h"

#include <string>
#include <vector>

struct KxEngine;
struct KxDocument;
class CExtractor;

// 0 when a keyword engine status is 0, nonzero otherwise; a failure is traced with its text.
int CheckExtractorStatus(int nStatus);

// Used by one thread at a time. Every operation answers 0 on success and nonzero otherwise.
//
// Text goes in and phrases come out in UTF-8, the program's text: the engine counts in Latin-1,
// and the document converts at its edge. Characters beyond Latin-1 separate words. A byte that
// is not part of a well-formed UTF-8 sequence is read as a Latin-1 character, so a caller that
// hands the raw bytes of a Latin-1 page still gets that page's words; the scan hands the page
// converted to UTF-8 from the charset it declares.
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
    // A piece of the page's UTF-8 text; a character cut between two pieces is joined.
    int AddText(const char* pText, int nLength);
    int Extract();
    // 0 when the count cannot be read.
    int GetPhraseCount() const;
    // The phrase text in UTF-8, owned by the document; NULL when the index is out of range.
    LPCSTR GetPhrase(int nIndex) const;

    CExtractor* GetOwner() const { return m_pOwner; }

private:
    CExtractor* m_pOwner;            // not owned
    const KxEngine* m_pEngine;       // the owner's
    KxDocument* m_pDocument = nullptr;   // owned
    std::string m_strCarry;              // a UTF-8 sequence cut at the end of the last piece
    std::string m_strLatin1;             // the piece as the engine reads it, reused
    std::vector<std::string> m_phrases;  // the engine's phrases in UTF-8, made by Extract
};
