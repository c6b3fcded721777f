#include "grid/core/CGXTypingUndo.h"

#include "grid/data/IGXCommandTarget.h"
#include "platform/afx/dlg/CEdit.h"

BOOL CGXTypingUndo::Can(CEdit& wnd, int nMode) const
{
    if (wnd.GetSafeHwnd() == nullptr || (wnd.GetStyle() & ES_READONLY) != 0 || !wnd.CanUndo())
        return FALSE;
    return nMode == gxRedo ? m_bUndone : !m_bUndone;
}

BOOL CGXTypingUndo::Do(CEdit& wnd, int nMode)
{
    if (!Can(wnd, nMode))
        return FALSE;
    m_bDoing = TRUE;
    wnd.Undo();
    m_bDoing = FALSE;
    m_bUndone = nMode != gxRedo;
    return TRUE;
}

void CGXTypingUndo::OnTextChanged()
{
    if (!m_bDoing)
        m_bUndone = FALSE;
}
