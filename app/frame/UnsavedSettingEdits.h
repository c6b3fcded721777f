// The pages' edits not yet saved, seen by the settings of the META catalogue that show them:
// what the user would lose with a setting deleted or renamed, and the dropping of such edits.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <utility>
#include <vector>

class CGroupView;
class CMetaSettingList;
class CPageNodeCol;

// Each setting of the catalogue whose tag some page holds an unsaved edit of: its name and the
// number of such pages, in the catalogue's order.
std::vector<std::pair<CString, UINT>> UnsavedEditsBySetting(const CPageNodeCol& pages, CMetaSettingList& catalogue);

// The edits of tags the catalogue holds no setting for any more go: each such tag takes back
// what it held before the edit where the view remembers it, else it is no longer marked. The
// pages' tags on disk are left as they are. The number of pages that lost an edit.
size_t DropEditsWithoutSetting(const CPageNodeCol& pages, CMetaSettingList& catalogue, CGroupView* pView);
