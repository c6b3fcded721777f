#include "grid/core/CGXFindReplaceState.h"

void CGXFindReplaceState::PrepareFindText()
{
    m_strFindUpper = m_strFind;
    if (!m_bCase)
        m_strFindUpper.MakeUpper();
}

CGXFindReplaceState& GXGetFindReplaceState()
{
    static CGXFindReplaceState s_state;
    return s_state;
}
