// The group document.
#include "app/views/CGroupDoc.h"

#include "app/views/CGroupView.h"
#include "platform/afx/frame/CFrameWnd.h"

IMPLEMENT_DYNCREATE(CGroupDoc, CDocument)

UINT CGroupDoc::GetGroupView(CGroupView*& pView) const
{
    pView = nullptr;
    for (POSITION pos = GetFirstViewPosition(); pos;) {
        if (auto* pGroup = dynamic_cast<CGroupView*>(GetNextView(pos))) {
            pView = pGroup;
            return 0;
        }
    }
    return 1;
}

UINT CGroupDoc::ActivateGroupView(CGroupView*& pView)
{
    if (GetGroupView(pView) != 0)
        return 1;
    if (CFrameWnd* pFrame = pView->GetParentFrame())
        pFrame->ActivateFrame();
    return 0;
}
