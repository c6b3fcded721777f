#include "grid/core/CGXFindReplaceState.h"

#include "platform/core/CrtStrings.h"
#include "platform/core/WinMessages.h"
#include "platform/core/WindowHandle.h"
#include "platform/win/UserApi.h"

void CGXFindReplaceState::PrepareFindText()
{
    m_strFindUpper = PrepareCellText(m_strFind);
}

CString CGXFindReplaceState::PrepareCellText(const CString& sText) const
{
    if (m_bCase)
        return sText;
    const std::string folded = UpperCaseKeepOffsets(std::string_view(sText.GetString(), static_cast<size_t>(sText.GetLength())));
    return CString(folded.data(), static_cast<int>(folded.size()));
}

BOOL CGXFindReplaceState::IsDialogOpen() const
{
    return m_hWndDialog != nullptr && ::IsWindow(m_hWndDialog);
}

void CGXFindReplaceState::ForgetGrid(CGXGridCore* pGrid)
{
    if (pGrid == nullptr)
        return;
    if (m_pActiveGrid == pGrid)
        m_pActiveGrid = nullptr;
    if (m_pDialogGrid != pGrid)
        return;
    m_pDialogGrid = nullptr;
    const HWND hDialog = m_hWndDialog;
    m_hWndDialog = nullptr;
    m_pDialog = nullptr;
    if (hDialog != nullptr && ::IsWindow(hDialog))
        ::SendMessage(hDialog, WM_CLOSE, 0, 0);
}

CGXFindReplaceState& GXGetFindReplaceState()
{
    static CGXFindReplaceState s_state;
    return s_state;
}
