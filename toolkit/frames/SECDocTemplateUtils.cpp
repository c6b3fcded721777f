#include "toolkit/frames/SECDocTemplateUtils.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CDocManager.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "toolkit/frames/SECDockableFrame.h"
#include "toolkit/frames/SECMDIChildWnd.h"
#include "toolkit/frames/SECMDIFrameWnd.h"
#include "toolkit/frames/SECMultiDocTemplate.h"

#include <algorithm>

namespace {

CString TypeName(CDocTemplate* t)
{
    CString name;
    t->GetDocString(name, CDocTemplate::regFileTypeName);
    return name;
}

} // namespace

BOOL SECDocTemplateUtils::GetAllTemplates(TemplateList& list) const
{
    CWinApp* app = AfxGetApp();
    if (!app || !app->m_pDocManager)
        return FALSE;
    for (CDocTemplate* t : app->m_pDocManager->GetTemplates())
        list.push_back(t);
    return TRUE;
}

int SECDocTemplateUtils::GetTemplateIndex(CDocTemplate* pTemplate, const CString& strTypeName) const
{
    TemplateList all;
    if (!GetAllTemplates(all))
        return -1;
    int count = -1;
    for (CDocTemplate* t : all) {
        if (TypeName(t) == strTypeName)
            ++count;
        if (t == pTemplate)
            return count;
    }
    return -1;
}

CDocTemplate* SECDocTemplateUtils::FindTemplate(const CString& strTypeName, int nIndex) const
{
    TemplateList all;
    GetAllTemplates(all);
    CDocTemplate* last = nullptr;
    int count = 0;
    for (CDocTemplate* t : all) {
        if (TypeName(t) != strTypeName)
            continue;
        if (count++ == nIndex)
            return t;
        last = t;
    }
    return last;
}

UINT SECDocTemplateUtils::GetFrameResourceId(CFrameWnd* pFrame) const
{
    if (!pFrame)
        return 0;
    if (auto* f = dynamic_cast<SECFrameWnd*>(pFrame))
        return f->m_nIDHelp;
    if (auto* f = dynamic_cast<SECMDIChildWnd*>(pFrame))
        return f->m_nIDHelp;
    return 0;
}

BOOL SECDocTemplateUtils::IsDockableFrameClass(CRuntimeClass* pClass) const
{
    return pClass && pClass->IsDerivedFrom(RUNTIME_CLASS(SECDockableFrame));
}

CRuntimeClass* SECDocTemplateUtils::GetFrameClass(CDocTemplate* pTemplate, BOOL bDocked) const
{
    if (!pTemplate)
        return nullptr;
    if (!bDocked)
        return pTemplate->m_pFrameClass;
    if (pTemplate->IsKindOf(RUNTIME_CLASS(SECMultiDocTemplate)))
        return static_cast<SECMultiDocTemplate*>(pTemplate)->m_pDockedFrameClass;
    return nullptr;
}

void SECDocTemplateUtils::FilterByViewAndFrame(TemplateList& list, CView* pView, CFrameWnd* pFrame) const
{
    const BOOL docked = IsDockableFrameClass(pFrame->GetRuntimeClass());
    std::erase_if(list, [&](CDocTemplate* t) {
        return t->m_pViewClass != pView->GetRuntimeClass() || GetFrameClass(t, docked) != pFrame->GetRuntimeClass();
    });
}

void SECDocTemplateUtils::FilterByResource(TemplateList& list, CFrameWnd* pFrame) const
{
    const UINT id = GetFrameResourceId(pFrame);
    std::erase_if(list, [&](CDocTemplate* t) { return t->m_nIDResource != id; });
}

void SECDocTemplateUtils::FilterByDocument(TemplateList& list, CDocument* pDoc) const
{
    std::erase_if(list, [&](CDocTemplate* t) { return t->m_pDocClass != pDoc->GetRuntimeClass(); });
}

BOOL SECDocTemplateUtils::GetSingleTemplate(const TemplateList& list, CDocTemplate*& pOut) const
{
    if (list.size() > 1)
        return FALSE;
    pOut = list.empty() ? nullptr : list.front();
    return TRUE;
}

CDocTemplate* SECDocTemplateUtils::FindTemplate(CDocument* pDoc, CView* pView, CFrameWnd* pFrame) const
{
    if (!pDoc || !pView || !pFrame)
        return nullptr;
    TemplateList list;
    GetAllTemplates(list);
    CDocTemplate* single = nullptr;
    FilterByViewAndFrame(list, pView, pFrame);
    if (GetSingleTemplate(list, single))
        return single;
    FilterByResource(list, pFrame);
    if (GetSingleTemplate(list, single))
        return single;
    FilterByDocument(list, pDoc);
    if (GetSingleTemplate(list, single))
        return single;
    if (std::find(list.begin(), list.end(), pDoc->GetDocTemplate()) != list.end())
        return pDoc->GetDocTemplate();
    return list.front();
}
