// How the toolkit's frames use their caption filters: the descriptor table of each kind of
// frame, the caption mask applied to it, and the three places a frame hands messages to its
// filter tree (before its default handling for the non-client mouse, after it for what repaints
// the caption, and the system-command extension's registered message).
#pragma once

#include "toolkit/caption/SECMsgFilter.h"

namespace SECCaptionFeatures {

enum FrameKind { kMDIFrame, kMDIChild, kDockableFrame };

// Filter keys of the frames.
enum : UINT { kKeyList = 256, kKeyRequests = 257, kKeyButton = 258, kKeyDblClk = 259, kKeyMaxButton = 260,
              kKeyMaxDblClk = 261, kKeyContextMenu = 262 };

// Caption mask bits: the extension on; with it, the button, the double click and the menu
// kept off.
enum : int { kMaskOn = 0x1, kMaskNoButton = 0x2, kMaskNoDblClk = 0x4, kMaskNoMenu = 0x8 };

const SECMsgFilter::DescriptorTable& Table(FrameKind kind);
// Switches the features of a frame's tree by its caption mask; the caption list's standard
// buttons stay off so that they only keep their places.
void ApplyMask(SECMsgFilter* root, FrameKind kind, int nMask);

// Before the default handling: TRUE when the filters claimed the message (*pResult is theirs).
BOOL FilterBefore(SECMsgFilter* root, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
// After the default handling of what repaints the caption.
void FilterAfter(SECMsgFilter* root, UINT msg, WPARAM wParam, LPARAM lParam);
// The extension's registered message: TRUE when it was one (*pResult its answer).
BOOL FilterRequest(SECMsgFilter* root, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

}   // namespace SECCaptionFeatures
