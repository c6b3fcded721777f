#include "engine/project/OutputAreaLine.h"

#include "engine/project/EngineMessages.h"
#include "platform/core/AtomTable.h"
#include "platform/core/MessageQueue.h"

CString FormatOutputAreaLine(const CString& strSource, const CString& strMessage)
{
    if (strSource.IsEmpty())
        return strMessage;
    CString strUpper(strSource);
    strUpper.MakeUpper();
    CString strLine;
    strLine.Format("%s : %s", strUpper, strMessage);
    return strLine;
}

BOOL PostOutputAreaLine(HWND hPane, const CString& strSource, const CString& strMessage)
{
    if (hPane == nullptr)
        return FALSE;
    const CString strLine = FormatOutputAreaLine(strSource, strMessage);
    const ATOM nAtom = AddAtom(strLine);
    if (nAtom == 0)
        return FALSE;
    if (!PostMessage(hPane, kMsgOutputAddLine, static_cast<WPARAM>(nAtom), 0)) {
        // Nobody will read it: give the reference back so the table does not fill up.
        DeleteAtom(nAtom);
        return FALSE;
    }
    return TRUE;
}
