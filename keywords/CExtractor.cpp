#include "keywords/CExtractor.h"

#include "keywords/CExtractorDoc.h"
#include "keywords/KxApi.h"
#include "platform/core/Interlocked.h"

#include <new>

IMPLEMENT_DYNAMIC(CExtractor, CObject)

CExtractor::CExtractor()
{
    if (CheckExtractorStatus(kxCreateEngine(&m_pEngine)) != 0)
        m_pEngine = nullptr;
}

CExtractor::~CExtractor()
{
    // Documents hold the engine; destroying it under them would leave them dangling.
    ASSERT(GetRefCount() == 0);
    if (m_pEngine != nullptr)
        (void)kxDestroyEngine(m_pEngine);
}

CExtractorDoc* CExtractor::NewDocument()
{
    return new (std::nothrow) CExtractorDoc(this, m_pEngine);
}

LONG CExtractor::GetRefCount() const
{
    // An interlocked add of 0 reads the count with the same ordering as the changes.
    return InterlockedExchangeAdd(const_cast<volatile LONG*>(&m_nRefCount), 0);
}
