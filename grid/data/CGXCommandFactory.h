// CGXCommandFactory: records undo commands on a parameter object's undo and redo lists, groups
// them in (nested) transactions, and replays them for undo, redo and rollback.
#pragma once

#include "grid/data/CGXCommand.h"

class CGXGridParam;

class CGXCommandFactory : public CObject {
    DECLARE_DYNAMIC(CGXCommandFactory)
public:
    CGXCommandFactory() = default;
    ~CGXCommandFactory() override = default;

    // Records a command (the factory owns it from here on) as the mode says: gxDo clears the
    // redo list and adds to the undo list, gxRedo adds to the undo list, gxUndo to the redo
    // list; inside a transaction it goes into the open block. Nothing is recorded in
    // gxRollback mode or while undo is off: the command is deleted. Past the parameter
    // object's limit the oldest command is dropped.
    virtual void AddCommand(CGXGridParam& param, CGXCommand* pCmd, int nMode);
    // Drops a recorded command from either list; TRUE when found.
    virtual BOOL RemoveCommand(CGXGridParam& param, CGXCommand* pCmd);

    virtual void BeginTransaction(CGXGridParam& param, const CString& description);
    // Closes the innermost block: an empty or broken block is dropped, a nested one joins its
    // parent, an outermost one is recorded as one command.
    virtual BOOL CommitTransaction(CGXGridParam& param);
    // Closes the innermost block and undoes what was done inside it, recording nothing.
    virtual BOOL RollbackTransaction(CGXGridParam& param, IGXCommandTarget& target);

    // An edit went on without undo: the steps before it would replay over what it wrote, so
    // the history ends here. Both lists empty, and the transactions still open record nothing.
    virtual void EndHistory(CGXGridParam& param);

    // Undo and redo the newest command; FALSE when there is none or a transaction is open.
    virtual BOOL Undo(CGXGridParam& param, IGXCommandTarget& target);
    virtual BOOL Redo(CGXGridParam& param, IGXCommandTarget& target);
    BOOL CanUndo(const CGXGridParam& param) const;
    BOOL CanRedo(const CGXGridParam& param) const;
    // "Undo %1" / "Redo %1" with the newest command's description; empty when none.
    CString GetUndoMenuText(const CGXGridParam& param) const;
    CString GetRedoMenuText(const CGXGridParam& param) const;

private:
    BOOL Replay(CGXGridParam& param, IGXCommandTarget& target, CObList& from, int nMode);
    // Runs one command; bStopped tells that the user stopped it part-way, which only a command
    // that may be stopped inside lets happen.
    BOOL ReplayOne(CGXCommand& cmd, IGXCommandTarget& target, int nMode, BOOL& bStopped);
    // Runs the block's commands newest first; bStopped tells that the user stopped it, and the
    // block is then whole again, a command stopped inside among the others.
    BOOL ReplayBlock(CGXBlockCmd& block, IGXCommandTarget& target, int nMode, BOOL& bStopped);
    // Takes back what a block's commands did, by running them in rollback mode, each given up
    // as it runs: the inverses a stopped replay recorded, or a transaction rolled back. FALSE
    // when a command failed.
    static BOOL TakeBack(CGXBlockCmd& block, IGXCommandTarget& target);
    static void Trim(CObList& list, size_t nMax);
};
