#include "toolkit/docking/SECGripperInfo.h"

#include "toolkit/res/ToolkitRes.h"

SECGripperInfo::SECGripperInfo()
{
    m_strCloseTip.LoadString(SEC_IDS_HIDEDOCKED);
    m_strExpandTip.LoadString(SEC_IDS_EXPANDDOCKED);
    m_strContractTip.LoadString(SEC_IDS_CONTRACTDOCKED);
}

int SECGripperInfo::GetHorzExtent() const
{
    return m_cxLead + m_cxLine1 + m_cxGap + m_cxLine2 + m_cxTail;
}

int SECGripperInfo::GetVertExtent() const
{
    return m_cyLead + m_cyLine1 + m_cyGap + m_cyLine2 + m_cyTail;
}
