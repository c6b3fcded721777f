// SECGripperInfo: the measures of a docked bar's gripper (its two grip lines and the spaces
// around them) and the tooltips of its close and expand buttons.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class SECGripperInfo : public CObject {
public:
    SECGripperInfo();
    ~SECGripperInfo() override = default;

    // The whole gripper across a horizontal bar's length (at its left) and across a vertical
    // bar's top.
    virtual int GetHorzExtent() const;
    virtual int GetVertExtent() const;

    int m_cxLead = 4, m_cxLine1 = 3, m_cxGap = 1, m_cxLine2 = 3, m_cxTail = 6;
    int m_cyLead = 4, m_cyLine1 = 3, m_cyGap = 1, m_cyLine2 = 3, m_cyTail = 6;
    int m_nMargin = 3;
    CString m_strCloseTip;
    CString m_strExpandTip;
    CString m_strContractTip;
};
