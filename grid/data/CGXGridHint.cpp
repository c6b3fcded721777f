#include "grid/data/CGXGridHint.h"

IMPLEMENT_DYNAMIC(CGXGridHint, CObject)

CGXGridHint::CGXGridHint(DWORD nHintId, int nGridId) : m_id(nHintId), m_nGridId(nGridId) {}

const CGXGridHint* CGXGridHint::FromObject(const CObject* pHint)
{
    if (pHint == nullptr || !pHint->IsKindOf(RUNTIME_CLASS(CGXGridHint)))
        return nullptr;
    return static_cast<const CGXGridHint*>(pHint);
}
