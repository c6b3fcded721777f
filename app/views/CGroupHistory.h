// CGroupHistory: the project grid's way back while no window shows the pages: its undo and redo
// steps, each kept over a copy of the rows it was taken on, and what the pages held before their
// first edit. The grid that shows the pages again takes it over whole.
#pragma once

#include "engine/meta/CMetaContent.h"
#include "platform/core/CPtrList.h"
#include "platform/core/CString.h"

#include <map>
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

    CGroupHistory() = default;
    // The steps kept go with it.
    ~CGroupHistory();
    CGroupHistory(const CGroupHistory&) = delete;
    CGroupHistory& operator=(const CGroupHistory&) = delete;

    // The steps, the newest at the head, as the grid's lists hold them.
    CObList m_UndoList;
    CObList m_RedoList;
    Originals m_originals;
};
