#include "grid/data/CGXCommandFactory.h"

#include "grid/data/CGXGridParam.h"

#include <memory>

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
    if (block->GetCount() == 0)
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
    return block->Execute(target, gxRollback);
}

BOOL CGXCommandFactory::Replay(CGXGridParam& param, IGXCommandTarget& target, CObList& from, int nMode)
{
    if (from.IsEmpty() || !param.m_TransactionBlocks.IsEmpty())
        return FALSE;
    std::unique_ptr<CGXCommand> cmd(static_cast<CGXCommand*>(from.RemoveHead()));
    // The inverses the replay records are caught in a block of their own, which becomes the
    // one step that reverses this one.
    std::unique_ptr<CGXBlockCmd> capture(new CGXBlockCmd(cmd->m_sDescription));
    param.m_TransactionBlocks.AddHead(capture.get());
    BOOL bDone = FALSE;
    try {
        bDone = cmd->Execute(target, nMode);
    } catch (...) {
        // The capture block must not stay open as a transaction nobody closes.
        param.m_TransactionBlocks.RemoveHead();
        throw;
    }
    param.m_TransactionBlocks.RemoveHead();
    if (capture->GetCount() > 0) {
        CGXCommand* pInverse = capture->GetCount() == 1 ? capture->DetachSingle() : capture.release();
        pInverse->m_sDescription = cmd->m_sDescription;
        AddCommand(param, pInverse, nMode);
    }
    if (cmd->m_nRow != GX_INVALID)
        target.ShowCommandPosition(cmd->m_nRow, cmd->m_nCol, TRUE);
    return bDone;
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
