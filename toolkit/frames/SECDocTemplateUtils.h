// SECDocTemplateUtils: lookups of the registered template of a document, view and frame, and
// of templates by their file-type name.
#pragma once

#include "platform/afx/doc/CDocTemplate.h"

#include <vector>

class CDocument;
class CFrameWnd;
class CView;

class SECDocTemplateUtils {
public:
    using TemplateList = std::vector<CDocTemplate*>;

    int GetTemplateIndex(CDocTemplate* pTemplate, const CString& strTypeName) const;
    CDocTemplate* FindTemplate(const CString& strTypeName, int nIndex) const;
    CDocTemplate* FindTemplate(CDocument* pDoc, CView* pView, CFrameWnd* pFrame) const;
    UINT GetFrameResourceId(CFrameWnd* pFrame) const;
    BOOL GetAllTemplates(TemplateList& list) const;
    void FilterByViewAndFrame(TemplateList& list, CView* pView, CFrameWnd* pFrame) const;
    void FilterByResource(TemplateList& list, CFrameWnd* pFrame) const;
    void FilterByDocument(TemplateList& list, CDocument* pDoc) const;
    BOOL GetSingleTemplate(const TemplateList& list, CDocTemplate*& pOut) const;
    BOOL IsDockableFrameClass(CRuntimeClass* pClass) const;
    CRuntimeClass* GetFrameClass(CDocTemplate* pTemplate, BOOL bDocked) const;
};
