#include "engine/project/SavePageWatch.h"

#include "engine/project/EngineMessages.h"
#include "engine/project/SaveHold.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/TickCount.h"

#include <algorithm>

void SavePageWatch::Watch(CPageNode* pPage, size_t nIndex)
{
    m_pPage = pPage;
    m_nIndex = nIndex;
    m_nSize = 0;
    m_bTold = false;
}

void SavePageWatch::OnProgress(ULONGLONG nDone, ULONGLONG nTotal)
{
    if (m_pPage != nullptr)
        HoldSaveAt(SaveStep::PagePiece, *m_pPage, nDone);
    if (m_hDialog == nullptr || m_nSize < kLargePage || nTotal == 0)
        return;
    const DWORD dwNow = ::GetTickCount();
    if (m_bTold && dwNow - m_dwLast < kIntervalMs)
        return;
    m_bTold = true;
    m_dwLast = dwNow;
    // Progress lost to a full queue is told again soon: the save does not wait for room.
    const ULONGLONG nThousandths = std::min(nDone, nTotal) * 1000 / nTotal;
    PostMessage(m_hDialog, kMsgSavePageProgress, static_cast<WPARAM>(m_nIndex * 1000 + nThousandths),
                reinterpret_cast<LPARAM>(m_pPage));
}
