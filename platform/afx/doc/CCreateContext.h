// CCreateContext: what a frame needs to make its view: the view's class, the document it
// shows, the template, and the frame it came from (a new window of the same document).
#pragma once

#include "platform/core/CObject.h"

class CDocument;
class CDocTemplate;
class CFrameWnd;
class CView;

struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};
