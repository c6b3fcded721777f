#include "app/views/CGroupHistory.h"

#include "grid/data/CGXCommand.h"

CGroupHistory::~CGroupHistory()
{
    for (CObList* pList : {&m_UndoList, &m_RedoList})
        while (!pList->IsEmpty())
            delete static_cast<CGXCommand*>(pList->RemoveHead());
}
