// CSingleView: a plain grid view in its own child frame, with the grid component's defaults;
// it holds no project data.
#pragma once

#include "app/views/CGridViewWrapper.h"

class CSingleView : public CGridViewWrapper {
    DECLARE_DYNCREATE(CSingleView)
};
