// SECCustomToolBarInfoEx: a custom toolbar's part of a saved docking layout: its title and its
// buttons, in the profile ("Title", "Buttons"), in an archive, and in the tree form.
#pragma once

#include "platform/core/CString.h"
#include "toolkit/docking/SECDockState.h"

#include <vector>

// The extra saved state of a custom toolbar: its title and its buttons.
class SECCustomToolBarInfoEx : public SECControlBarInfoEx {
    DECLARE_DYNCREATE(SECCustomToolBarInfoEx)
public:
    struct SECBtnInfo {
        UINT nID = 0; // 0: a separator
        std::vector<BYTE> bytes; // at most 255
    };

    void Serialize(CArchive& ar, SECDockState* pDockState) override;
    BOOL LoadState(LPCTSTR lpszSection, SECDockState* pDockState) override;
    BOOL SaveState(LPCTSTR lpszSection) override;
    // The tree form: a child "ToolBarInfoEx" with "Title" (even when empty) and "Buttons".
    BOOL LoadFromNode(SECPersistentTreeNode* pNode) override;
    BOOL SaveToNode(SECPTNFactory& factory, SECPersistentTreeNode* pNode) override;

    // The "Buttons" value: per button its command (4 bytes, little-endian), a length byte and
    // that many bytes. Parsing stops at a record that would run past the end.
    std::vector<BYTE> EncodeButtons() const;
    void DecodeButtons(const BYTE* pData, size_t nSize);

    CString m_strTitle;
    std::vector<SECBtnInfo> m_btnInfo;
};
