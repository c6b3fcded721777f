// The actions whose links carry a kind or flags of their own: LINK (style sheets), typed
// resources (USES, PARAM, SPAN), backgrounds (BGSOUND, TABLE, TD, TH, BODY), the BASE URL and
// SCRIPT, which also decides the script language of its content.
#pragma once

#include "engine/html/CAction.h"

// LINK: only with REL; a REL of "stylesheet" makes the HREF a style sheet.
class CLinkAction : public CAction {
    DECLARE_DYNCREATE(CLinkAction)
public:
    void ReportLinks() override;
};

// USES: typed resources, their kind taken from TYPE.
class CUsesAction : public CAction {
    DECLARE_DYNCREATE(CUsesAction)
public:
    void ReportLinks() override;
};

// PARAM: a VALUE is a link only when VALUETYPE is "REF".
class CParamAction : public CAction {
    DECLARE_DYNCREATE(CParamAction)
public:
    void ReportLinks() override;
};

// SPAN: an HREF is a secondary resource of the kind its TYPE gives.
class CSpanAction : public CAction {
    DECLARE_DYNCREATE(CSpanAction)
public:
    void ReportLinks() override;
};

// BGSOUND, TABLE, TD, TH: background resources of the row's kind.
class CBackgroundAction : public CAction {
    DECLARE_DYNCREATE(CBackgroundAction)
public:
    void ReportLinks() override;
};

// BODY: the background image, and the CREDITS and LOGO resources.
class CBodyAction : public CAction {
    DECLARE_DYNCREATE(CBodyAction)
public:
    void ReportLinks() override;
};

// BASE: the HREF becomes the base of the page's links.
class CBaseAction : public CAction {
    DECLARE_DYNCREATE(CBaseAction)
public:
    BOOL OnTagComplete() override;
};

// SCRIPT: tells the parser which language the content is in, then reports an SRC link.
class CScriptAction : public CAction {
    DECLARE_DYNCREATE(CScriptAction)
public:
    BOOL OnTagComplete() override;
};
