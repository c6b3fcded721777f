#include "grid/data/CGXCommandFactory.h"

#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXLongOperation.h"

#include <memory>
#include <vector>

IMPLEMENT_DYNAMIC(CGXCommandFactory, CObject)

namespace {

CString MenuText(LPCTSTR lpszFormat, const CObList& list)
{
    if (list.IsEmpty())
        return CString();
    CString text;
    text.FormatMessage(lpszFormat, static_cast<const CGXCommand*>(list.GetHead())->m_sDescription.GetString());
    return text;
}

// The long-operation switches a step's replay changes, given back when it ends.
class ReplaySwitches {
public:
    ReplaySwitches()
        : m_nMaxShownLevel(GXGetLongOperationState().m_nMaxShownLevel), m_bCanCancel(GXGetLongOperationState().m_bCanCancel),
          m_nQuestionMode(GXGetLongOperationState().m_nQuestionMode)
    {
    }
    ~ReplaySwitches()
    {
        CGXLongOperation::SetMaxShownLevel(m_nMaxShownLevel);
        CGXLongOperation::SetCanCancel(m_bCanCancel);
        CGXLongOperation::SetQuestionMode(m_nQuestionMode);
    }
    ReplaySwitches(const ReplaySwitches&) = delete;
    ReplaySwitches& operator=(const ReplaySwitches&) = delete;

private:
    int m_nMaxShownLevel;
    BOOL m_bCanCancel;
    int m_nQuestionMode;
};

} // namespace

void CGXCommandFactory::Trim(CObList& list, size_t nMax)
{
    while (static_cast<size_t>(list.GetCount()) > nMax && !list.IsEmpty())
        delete list.RemoveTail();
}

void CGXCommandFactory::AddCommand(CGXGridParam& param, CGXCommand* pCmd, int nMode)
{
    std::unique_ptr<CGXCommand> cmd(pCmd);
    if (!cmd || nMode == gxRollback)
        return;
    if (!param.m_TransactionBlocks.IsEmpty()) {
        static_cast<CGXBlockCmd*>(param.m_TransactionBlocks.GetHead())->Add(cmd.release());
        return;
    }
    if (!param.IsEnableUndo())
        return;
    switch (nMode) {
    case gxDo:
        param.EmptyRedoList();
        [[fallthrough]];
    case gxRedo:
        param.m_UndoList.AddHead(cmd.release());
        Trim(param.m_UndoList, param.m_nMaxUndoCommands);
        break;
    case gxUndo:
        param.m_RedoList.AddHead(cmd.release());
        Trim(param.m_RedoList, param.m_nMaxUndoCommands);
        break;
    default:
        break; // an unknown mode records nothing
    }
}

BOOL CGXCommandFactory::RemoveCommand(CGXGridParam& param, CGXCommand* pCmd)
{
    for (CObList* pList : {&param.m_UndoList, &param.m_RedoList}) {
        if (POSITION pos = pList->Find(pCmd)) {
            pList->RemoveAt(pos);
            delete pCmd;
            return TRUE;
        }
    }
    return FALSE;
}

void CGXCommandFactory::BeginTransaction(CGXGridParam& param, const CString& description)
{
    param.m_TransactionBlocks.AddHead(new CGXBlockCmd(description));
    param.m_nTransactionLevel = static_cast<int>(param.m_TransactionBlocks.GetCount());
}

BOOL CGXCommandFactory::CommitTransaction(CGXGridParam& param)
{
    if (param.m_TransactionBlocks.IsEmpty())
        return FALSE;
    std::unique_ptr<CGXBlockCmd> block(static_cast<CGXBlockCmd*>(param.m_TransactionBlocks.RemoveHead()));
    param.m_nTransactionLevel = static_cast<int>(param.m_TransactionBlocks.GetCount());
    if (block->GetCount() == 0 || block->IsBroken())
        return TRUE;
    // Joins the enclosing block, or at the outer level becomes one undo step.
    AddCommand(param, block.release(), gxDo);
    return TRUE;
}

BOOL CGXCommandFactory::RollbackTransaction(CGXGridParam& param, IGXCommandTarget& target)
{
    if (param.m_TransactionBlocks.IsEmpty())
        return FALSE;
    std::unique_ptr<CGXBlockCmd> block(static_cast<CGXBlockCmd*>(param.m_TransactionBlocks.RemoveHead()));
    param.m_nTransactionLevel = static_cast<int>(param.m_TransactionBlocks.GetCount());
    // Every level undoes its own work: a nested rollback that kept its changes would leave
    // them in place with nothing left to undo them by.
    return !block->IsBroken() && TakeBack(*block, target);
}

void CGXCommandFactory::EndHistory(CGXGridParam& param)
{
    while (!param.m_UndoList.IsEmpty())
        delete param.m_UndoList.RemoveHead();
    param.EmptyRedoList();
    // What the open transactions did so far cannot be taken back whole either.
    for (POSITION pos = param.m_TransactionBlocks.GetHeadPosition(); pos != nullptr;)
        static_cast<CGXBlockCmd*>(param.m_TransactionBlocks.GetNext(pos))->Break();
}

BOOL CGXCommandFactory::Replay(CGXGridParam& param, IGXCommandTarget& target, CObList& from, int nMode)
{
    if (from.IsEmpty() || !param.m_TransactionBlocks.IsEmpty())
        return FALSE;
    // The replay and the way back from a stop are one long operation: once the replay showed
    // its meter, the way back shows its own at once.
    CGXLongOperation op;
    std::unique_ptr<CGXCommand> cmd(static_cast<CGXCommand*>(from.RemoveHead()));
    // The inverses the replay records are caught in a block of their own, which becomes the
    // one step that reverses this one.
    std::unique_ptr<CGXBlockCmd> capture(new CGXBlockCmd(cmd->m_sDescription));
    param.m_TransactionBlocks.AddHead(capture.get());
    BOOL bDone = FALSE;
    BOOL bStopped = FALSE;
    try {
        auto* pBlock = dynamic_cast<CGXBlockCmd*>(cmd.get());
        bDone = pBlock != nullptr ? ReplayBlock(*pBlock, target, nMode, bStopped) : ReplayOne(*cmd, target, nMode, bStopped);
    } catch (...) {
        // The capture block must not stay open as a transaction nobody closes.
        param.m_TransactionBlocks.RemoveHead();
        throw;
    }
    param.m_TransactionBlocks.RemoveHead();
    // A replay that went on without undo ended the history: there is nothing to go back to.
    const BOOL bHistoryEnded = capture->IsBroken();
    if (bStopped && !bHistoryEnded) {
        // Stopped by the user: what was undone (redone) so far is done (undone) again, and the
        // step stays whole at the head of its list, as if it had never run. Kept half undone,
        // it would be offered on both lists, and a save would write cells of both halves.
        TakeBack(*capture, target);
        from.AddHead(cmd.release());
        return FALSE;
    }
    if (capture->GetCount() > 0) {
        CGXCommand* pInverse = capture->GetCount() == 1 ? capture->DetachSingle() : capture.release();
        pInverse->m_sDescription = cmd->m_sDescription;
        AddCommand(param, pInverse, nMode);
    }
    if (cmd->m_nRow != GX_INVALID)
        target.ShowCommandPosition(cmd->m_nRow, cmd->m_nCol, TRUE);
    return bDone;
}

BOOL CGXCommandFactory::ReplayOne(CGXCommand& cmd, IGXCommandTarget& target, int nMode, BOOL& bStopped)
{
    const DWORD nStops = CGXLongOperation::GetStopCount();
    if (cmd.CanStopInside()) {
        const BOOL bDone = cmd.Execute(target, nMode);
        bStopped = CGXLongOperation::GetStopCount() != nStops;
        return bDone;
    }
    // Stopped inside, any other command would leave a step neither done nor to be done: its
    // long operations keep quiet about ESC.
    CGXLongOperation op;
    ReplaySwitches switches;
    CGXLongOperation::SetCanCancel(FALSE);
    bStopped = FALSE;
    return cmd.Execute(target, nMode);
}

BOOL CGXCommandFactory::ReplayBlock(CGXBlockCmd& block, IGXCommandTarget& target, int nMode, BOOL& bStopped)
{
    // A step of many commands is a long operation of its own: the meter counts its commands,
    // the window paints between them, and ESC stops it between two of them, or inside one that
    // may be stopped part-way, which then stays in the block whole; the long operations of any
    // other keep quiet about the key.
    CGXLongOperation op;
    CString strText;
    if (!block.m_sDescription.IsEmpty())
        strText.FormatMessage(nMode == gxRedo ? "Redo %1" : "Undo %1", block.m_sDescription.GetString());
    if (!strText.IsEmpty())
        op.SetStatusText(strText, TRUE);
    ReplaySwitches switches;
    CGXLongOperation::SetMaxShownLevel(CGXLongOperation::GetLevel() - 1);
    const INT_PTR nTotal = block.GetCount();
    BOOL bAll = TRUE;
    bStopped = FALSE;
    // The commands run so far, newest first: a stop puts them back, for the block to stay whole.
    std::vector<std::unique_ptr<CGXCommand>> run;
    for (INT_PTR nDone = 0; block.GetCount() > 0; ++nDone) {
        if (nDone > 0) {
            CGXLongOperation::SetPercentDone(static_cast<int>(static_cast<long long>(nDone) * 100 / nTotal));
            CGXLongOperation::SetCanCancel(TRUE);
            CGXLongOperation::SetQuestionMode(0);
            BOOL bCancelled = FALSE;
            op.DoMessages(bCancelled);
            if (bCancelled) {
                bStopped = TRUE;
                break;
            }
        }
        std::unique_ptr<CGXCommand> pCmd(block.DetachNewest());
        const BOOL bInside = pCmd->CanStopInside();
        CGXLongOperation::SetCanCancel(bInside);
        CGXLongOperation::SetQuestionMode(0);
        const DWORD nStops = CGXLongOperation::GetStopCount();
        if (!pCmd->Execute(target, nMode))
            bAll = FALSE;
        run.push_back(std::move(pCmd));
        if (bInside && CGXLongOperation::GetStopCount() != nStops) {
            bStopped = TRUE;
            break;
        }
    }
    if (bStopped)
        for (auto it = run.rbegin(); it != run.rend(); ++it)
            block.Add(it->release());
    return bAll;
}

BOOL CGXCommandFactory::TakeBack(CGXBlockCmd& block, IGXCommandTarget& target)
{
    // The commands run newest first and record nothing, under a meter of their own, unless an
    // operation around keeps its own meter shown; the user, who asked for the stop, cannot stop
    // the way back half done as well.
    CGXLongOperation op;
    op.SetStatusText("Restoring cells ...", TRUE);
    const CGXInnerLevelsQuiet quiet;
    const CGXCancelLock noCancel;
    const INT_PTR nTotal = block.GetCount();
    BOOL bAll = TRUE;
    for (INT_PTR nDone = 0; block.GetCount() > 0; ++nDone) {
        CGXLongOperation::SetPercentDone(static_cast<int>(static_cast<long long>(nDone) * 100 / nTotal));
        op.DoMessages();
        const std::unique_ptr<CGXCommand> pCmd(block.DetachNewest());
        if (!pCmd->Execute(target, gxRollback))
            bAll = FALSE;
    }
    CGXLongOperation::NoteTakenBack();
    return bAll;
}

BOOL CGXCommandFactory::Undo(CGXGridParam& param, IGXCommandTarget& target)
{
    return Replay(param, target, param.m_UndoList, gxUndo);
}

BOOL CGXCommandFactory::Redo(CGXGridParam& param, IGXCommandTarget& target)
{
    return Replay(param, target, param.m_RedoList, gxRedo);
}

BOOL CGXCommandFactory::CanUndo(const CGXGridParam& param) const
{
    return !param.m_UndoList.IsEmpty() && param.m_TransactionBlocks.IsEmpty();
}

BOOL CGXCommandFactory::CanRedo(const CGXGridParam& param) const
{
    return !param.m_RedoList.IsEmpty() && param.m_TransactionBlocks.IsEmpty();
}

CString CGXCommandFactory::GetUndoMenuText(const CGXGridParam& param) const
{
    return MenuText("Undo %1", param.m_UndoList);
}

CString CGXCommandFactory::GetRedoMenuText(const CGXGridParam& param) const
{
    return MenuText("Redo %1", param.m_RedoList);
}
