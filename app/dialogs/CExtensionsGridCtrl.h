// CExtensionsGridCtrl: the project's list of page file extensions, one per row.
#pragma once

#include "app/dialogs/CGridWndWrapper.h"

class CExtensionsGridCtrl : public CGridWndWrapper {
    DECLARE_DYNCREATE(CExtensionsGridCtrl)

public:
    void LoadList(const CStringList& list);
};
