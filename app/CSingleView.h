// CSingleView: the view of one page's text.
#pragma once

#include "platform/afx/doc/CView.h"

class CSingleView : public CView {
    DECLARE_DYNCREATE(CSingleView)
public:
    void OnDraw(CDC* pDC) override;
};
