#include "toolkit/frames/SECCaptionFeatures.h"

#include "toolkit/caption/SECCaptionMsgFilter.h"
#include "toolkit/frames/SECSysCommandEx.h"

namespace SECCaptionFeatures {

namespace {

using nsSysCommandEx::ScxButtonMDIChildMsgFilter;
using nsSysCommandEx::ScxButtonMDIMaxChildMsgFilter;
using nsSysCommandEx::ScxButtonMsgFilter;
using nsSysCommandEx::ScxCaptionNCRDBLClkFilter;
using nsSysCommandEx::ScxContextMenuFilter;
using nsSysCommandEx::ScxMsgFilter;
using nsSysCommandEx::ScxNCRDBLClkMDIMaxChildMsgFilter;

std::unique_ptr<SECMsgFilter::DescriptorTable> MakeTable(FrameKind kind)
{
    auto table = std::make_unique<SECMsgFilter::DescriptorTable>();
    const UINT none = SEC_FILTER_NOID;
    table->AddDescriptor(kKeyRequests, none, RUNTIME_CLASS(ScxMsgFilter));
    switch (kind) {
    case kMDIFrame:
        table->AddDescriptor(kKeyList, none, RUNTIME_CLASS(SECCapConLstMDIMaxChildMsgFilter));
        table->AddDescriptor(kKeyMaxButton, kKeyList, RUNTIME_CLASS(ScxButtonMDIMaxChildMsgFilter));
        table->AddDescriptor(kKeyMaxDblClk, none, RUNTIME_CLASS(ScxNCRDBLClkMDIMaxChildMsgFilter));
        break;
    case kMDIChild:
    case kDockableFrame:
        table->AddDescriptor(kKeyList, none, RUNTIME_CLASS(SECCaptionControlListMsgFilter), SECMsgFilter::kKeepEnabled);
        table->AddDescriptor(kKeyButton, kKeyList,
                             kind == kMDIChild ? RUNTIME_CLASS(ScxButtonMDIChildMsgFilter) : RUNTIME_CLASS(ScxButtonMsgFilter));
        table->AddDescriptor(kKeyDblClk, none, RUNTIME_CLASS(ScxCaptionNCRDBLClkFilter));
        table->AddDescriptor(kKeyContextMenu, none, RUNTIME_CLASS(ScxContextMenuFilter));
        break;
    }
    return table;
}

}   // namespace

const SECMsgFilter::DescriptorTable& Table(FrameKind kind)
{
    static const auto frame = MakeTable(kMDIFrame);
    static const auto child = MakeTable(kMDIChild);
    static const auto dockable = MakeTable(kDockableFrame);
    return kind == kMDIFrame ? *frame : kind == kMDIChild ? *child : *dockable;
}

void ApplyMask(SECMsgFilter* root, FrameKind kind, int nMask)
{
    if (root == nullptr)
        return;
    const bool on = (nMask & kMaskOn) != 0;
    if (kind == kMDIFrame) {
        // The list, its button for a maximized child and that child's double click are the
        // frame's own and always there; only the requests follow the mask.
        const BOOL rows[4] = {on, TRUE, TRUE, TRUE};
        root->ApplyDescriptorTable(Table(kind), rows);
    } else {
        const BOOL rows[5] = {on, on, on && !(nMask & kMaskNoButton), on && !(nMask & kMaskNoDblClk), on && !(nMask & kMaskNoMenu)};
        root->ApplyDescriptorTable(Table(kind), rows);
    }
    if (auto* list = dynamic_cast<SECCaptionControlListMsgFilter*>(root->FindFilter(kKeyList)))
        list->EnableStandardButtons(FALSE);
}

BOOL FilterBefore(SECMsgFilter* root, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (root == nullptr)
        return FALSE;
    switch (msg) {
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCRBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
        LRESULT unused = 0;
        const LRESULT result = root->FilterMessage(msg, wParam, lParam, &unused);
        if (!(result & SEC_FILTER_HANDLED))
            return FALSE;
        *pResult = result;
        return TRUE;
    }
    default: return FALSE;
    }
}

void FilterAfter(SECMsgFilter* root, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (root == nullptr)
        return;
    const bool sizingBorder = msg == WM_SETCURSOR && LOWORD(lParam) >= HTLEFT && LOWORD(lParam) <= HTBOTTOMRIGHT;
    if (msg == WM_NCPAINT || msg == WM_NCACTIVATE || msg == WM_SETTEXT || sizingBorder) {
        LRESULT unused = 0;
        root->FilterMessage(msg, wParam, lParam, &unused);
    }
}

BOOL FilterRequest(SECMsgFilter* root, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (root == nullptr || msg != nsSysCommandEx::SysCommandExMessage())
        return FALSE;
    LRESULT result = 0;
    root->FilterMessage(msg, wParam, lParam, &result);
    *pResult = result;
    return TRUE;
}

}   // namespace SECCaptionFeatures
