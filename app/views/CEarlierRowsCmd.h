// CEarlierRowsCmd: an undo step of the project grid recorded while it showed other rows (before
// another folder was picked, or the settings were changed and the grid was loaded again). It is
// replayed on a copy of the grid as it was then, and what it changes in that copy's cells goes
// into the pages the cells showed, so that the step still undoes the edit it undid before.
#pragma once

#include "grid/data/CGXCommand.h"
#include "grid/data/CGXCommandFactory.h"
#include "grid/data/CGXGridParam.h"

#include <functional>
#include <memory>
#include <set>
#include <vector>

class CGroupView;
class CPageNode;

// The grid's cells as they stood when it was loaded with other rows: the row's page in the file
// column's cell, the tag in each column's header, and the values the undo steps put back. The
// steps of that time replay on it one after another, as they did on the grid, so that a sort
// or a moved row undone among them keeps the later steps' rows right.
class CEarlierRows {
public:
    // A copy of the view's cells as they are now.
    explicit CEarlierRows(CGroupView& view);
    CEarlierRows(const CEarlierRows&) = delete;
    CEarlierRows& operator=(const CEarlierRows&) = delete;

    CGXGridParam& Param() { return m_param; }
    CGXCommandFactory& Factory() { return m_factory; }
    // Whether a header cell is the file column's or the Title column's.
    static BOOL IsFileHeader(const CGXStyle* pStyle);
    static BOOL IsTitleHeader(const CGXStyle* pStyle);

    // The rows of these pages are cut off from their pages: what the steps change in them
    // reaches no page any more.
    void DropPages(const std::set<CPageNode*>& pages);
    // The columns of the tags the test names are cut off from their tags: what the steps
    // change in them reaches no page any more. Whether a column was cut.
    BOOL DropTags(const std::function<BOOL(const CString&)>& bGone);

private:
    CGXGridParam m_param;
    CGXCommandFactory m_factory;
};

class CEarlierRowsCmd : public CGXCommand {
    DECLARE_DYNAMIC(CEarlierRowsCmd)
public:
    // Takes over the step; the rows are shared with the other steps of their time.
    CEarlierRowsCmd(CGXCommand* pStep, std::shared_ptr<CEarlierRows> rows);
    ~CEarlierRowsCmd() override = default;

    // Replays the step on the earlier rows and writes what it changed into their pages; the
    // step that reverses it is recorded in the view that runs it (the target's) as one of the
    // same rows: the step outlives the window it was taken in, which may have been closed and
    // opened again since. A part of the step that only concerned the grid's look (a column's
    // width) has nothing left to do: the step counts as done.
    BOOL Execute(IGXCommandTarget& target, int nMode) override;

    // What the step would change, told before it runs so that the grid can show it first: the
    // pages' values it gives back, each a page with the title or a tag, and, when it puts its
    // rows in another order (a sort or a move undone or redone), its rows' pages in their new
    // order. Found by replaying it on a copy of its rows; nothing is changed.
    struct Cell {
        CPageNode* pPage = nullptr;
        BOOL bTitle = FALSE;
        CString strTag;
    };
    struct Reach {
        std::vector<Cell> cells;
        std::vector<CPageNode*> rowOrder;
    };
    Reach Foresee(int nMode) const;
    // The step replayed on the earlier rows.
    const CGXCommand* GetStep() const { return m_pStep.get(); }

    // Start Scan reads these pages again in place of their edits: the steps of both lists
    // forget them, and a step left with nothing to give any other page goes from its list.
    static void ForgetPages(CObList& undoList, CObList& redoList, const std::set<CPageNode*>& pages);
    // The tags the test names have no setting any more, so no column and no save: the steps of
    // both lists forget them, and a step left with nothing to give any page goes from its list.
    static void ForgetTags(CObList& undoList, CObList& redoList, const std::function<BOOL(const CString&)>& bGone);

private:
    // Drops the steps of both lists that, replayed in their order, change no cell that
    // reaches a page, no header and no place of a row or column.
    static void DropStepsThatChangeNoPage(CObList& undoList, CObList& redoList);

    std::unique_ptr<CGXCommand> m_pStep;
    std::shared_ptr<CEarlierRows> m_rows;
};
