// The actions of embedded programs, APPLET and OBJECT: their code, class and archive links are
// relative to a code base, and their sizes are reported with the links.
#pragma once

#include "engine/html/CAction.h"

class CAppletAction : public CAction {
    DECLARE_DYNCREATE(CAppletAction)
public:
    BOOL OnTagComplete() override;
    void ReportLinks() override;
    // Reports each entry of a blank- or tab-separated archive list as an archive link relative
    // to the code base.
    virtual void ReportArchiveList(LPCSTR lpszCodebase, LPCSTR lpszList, int nLinkKind);
};

class CObjectAction : public CAction {
    DECLARE_DYNCREATE(CObjectAction)
public:
    BOOL OnTagComplete() override;
    void ReportLinks() override;
    virtual void ReportArchiveList(LPCSTR lpszCodebase, LPCSTR lpszList, int nLinkKind);
};
