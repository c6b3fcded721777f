// CSingleDoc: the document of one page's text.
#pragma once

#include "platform/afx/doc/CDocument.h"

class CSingleDoc : public CDocument {
    DECLARE_DYNCREATE(CSingleDoc)
};
