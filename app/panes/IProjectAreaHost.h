// What the Project Area asks of the application when the user picks a node: bring up the group
// view over the picked pages, and give it the keys. The main frame implements it; tests
// implement it with fakes.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CPageNode;
class CSelNodesCol;

class IProjectAreaHost {
public:
    virtual ~IProjectAreaHost() = default;

    // The pages now selected (they already replace the application's selection); the node they
    // came from, the view's full-path flag (TRUE for the project root) and the view's title.
    virtual void ShowSelectedPages(const CSelNodesCol& pages, CPageNode* pNode, BOOL bFullPath,
                                   const CString& strTitle) = 0;
    // The keys go to the group view that shows the pages last picked; FALSE when none does (its
    // window was closed), and the keys stay where they are.
    virtual BOOL GiveKeysToShownPages() { return FALSE; }
};
