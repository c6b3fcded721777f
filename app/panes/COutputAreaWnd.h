// The read-only text of the Output Area: warning and error lines, one per line.
#pragma once

#include "platform/afx/dlg/CRichEditCtrl.h"

class COutputAreaWnd : public CRichEditCtrl {
    DECLARE_DYNCREATE(COutputAreaWnd)

public:
    COutputAreaWnd() = default;
    ~COutputAreaWnd() override = default;
    COutputAreaWnd(const COutputAreaWnd&) = delete;
    COutputAreaWnd& operator=(const COutputAreaWnd&) = delete;
};
