// CGroupHistory: the project grid's way back while no window shows the pages: its undo and redo
// steps, each kept over a copy of the rows it was taken on, and what the pages held before their
// first edit. The grid that shows the pages again takes it over whole.
#pragma once

#include "app/views/CUserGridLayout.h"
#include "engine/meta/CMetaContent.h"
#include "platform/core/CPtrList.h"
#include "platform/core/CString.h"

#include <map>
#include <optional>
#include <string>
#include <utility>

class CPageNode;

class CGroupHistory {
public:
    // What a page held before its first edit: whether the tag existed, its text and its edit
    // mark; and the ways the user took in the Preview for values the tag was given since, by
    // value, for an undo, a redo or the same value typed again to give back with it.
    struct Original {
        BOOL bExisted = FALSE;
        CString strText;
        UINT bModified = 0;
        std::map<std::string, CharsetWay> ways;
    };
    // By page and tag (an empty tag for the title).
    using Originals = std::map<std::pair<CPageNode*, std::string>, Original>;
    // The sort each step that puts the rows in another order leaves standing once replayed (the
    // one there was before the step it reverses), by the step's command that moves the rows.
    using RowOrderSorts = std::map<const CObject*, std::optional<CUserGridLayout::Sort>>;

    CGroupHistory() = default;
    // The steps kept go with it.
    ~CGroupHistory();
    CGroupHistory(const CGroupHistory&) = delete;
    CGroupHistory& operator=(const CGroupHistory&) = delete;

    // The steps, the newest at the head, as the grid's lists hold them.
    CObList m_UndoList;
    CObList m_RedoList;
    Originals m_originals;
    RowOrderSorts m_rowOrderSorts;
};
