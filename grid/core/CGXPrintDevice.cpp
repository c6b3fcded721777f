#include "grid/core/CGXPrintDevice.h"

#include "platform/controls/PrintDialogTypes.h"
#include "platform/core/GlobalMemory.h"

#include <cstring>

IMPLEMENT_DYNCREATE(CGXPrintDevice, CObject)

namespace {
// A moveable block with the same bytes, or null.
HGLOBAL CopyBlock(HGLOBAL hSource)
{
    if (hSource == nullptr)
        return nullptr;
    const SIZE_T nSize = GlobalSize(hSource);
    HGLOBAL hCopy = GlobalAlloc(GMEM_MOVEABLE, nSize);
    if (hCopy == nullptr)
        return nullptr;
    const void* pFrom = GlobalLock(hSource);
    void* pTo = GlobalLock(hCopy);
    if (pFrom != nullptr && pTo != nullptr && nSize != 0)
        std::memcpy(pTo, pFrom, nSize);
    GlobalUnlock(hCopy);
    GlobalUnlock(hSource);
    return hCopy;
}

void Replace(HGLOBAL& hBlock, HGLOBAL hWith)
{
    if (hBlock != nullptr && hBlock != hWith)
        GlobalFree(hBlock);
    hBlock = hWith;
}
} // namespace

CGXPrintDevice::~CGXPrintDevice()
{
    ResetPrinter();
}

BOOL CGXPrintDevice::GetPrinter(PRINTDLG& pd) const
{
    if (m_hDevNames == nullptr)
        return FALSE;
    Replace(pd.hDevMode, CopyBlock(m_hDevMode));
    Replace(pd.hDevNames, CopyBlock(m_hDevNames));
    return pd.hDevNames != nullptr;
}

BOOL CGXPrintDevice::SetPrinter(const PRINTDLG& pd)
{
    if (pd.hDevNames == nullptr)
        return FALSE;
    Replace(m_hDevMode, CopyBlock(pd.hDevMode));
    Replace(m_hDevNames, CopyBlock(pd.hDevNames));
    return m_hDevNames != nullptr;
}

void CGXPrintDevice::ResetPrinter()
{
    Replace(m_hDevMode, nullptr);
    Replace(m_hDevNames, nullptr);
}
