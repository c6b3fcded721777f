// The keyword engine of one scan: owns the engine's word tables and hands out one document
// per page.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/Types.h"

struct KxEngine;
class CExtractorDoc;

// Made once per scan and only read afterwards, so check threads share it; its documents each
// belong to one thread. The reference count follows the live documents and changes only by
// interlocked operations.
class CExtractor : public CObject {
    DECLARE_DYNAMIC(CExtractor)
public:
    CExtractor();
    ~CExtractor() override;
    CExtractor(const CExtractor&) = delete;
    CExtractor& operator=(const CExtractor&) = delete;

    // A new document for this extractor, owned by the caller; NULL when it cannot be made.
    // Callable from any thread.
    CExtractorDoc* NewDocument();

    // The number of documents alive. Callable from any thread.
    LONG GetRefCount() const;
    double GetBeta() const { return m_dBeta; }
    // Null when the engine could not be built; every document call then fails.
    const KxEngine* GetEngine() const { return m_pEngine; }

private:
    friend class CExtractorDoc;

    volatile LONG m_nRefCount = 0;
    KxEngine* m_pEngine = nullptr;   // owned
    double m_dBeta = 7.0;
};
