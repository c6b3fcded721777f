// CGroupDoc: the document of the project's grid of pages. It holds no data: the project lives
// in the application object, and the document only groups the views that show it.
#pragma once

#include "platform/afx/doc/CDocument.h"

class CGroupView;

class CGroupDoc : public CDocument {
    DECLARE_DYNCREATE(CGroupDoc)
public:
    // 0 and the document's group view, 1 when it has none.
    UINT GetGroupView(CGroupView*& pView) const;
    // Brings the group view's frame to the front; 0 and the view, 1 when there is none.
    UINT ActivateGroupView(CGroupView*& pView);
};
