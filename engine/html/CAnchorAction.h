// The actions of the elements whose text describes them: anchors (A), the TITLE, and images,
// whose description an enclosing anchor takes over.
#pragma once

#include "engine/html/CAction.h"

// A: a NAME is an anchor; with an HREF the element stays open and its text (or the
// description of an image inside it) describes the link, reported at its end.
class CAnchorAction : public CAction {
    DECLARE_DYNCREATE(CAnchorAction)
public:
    BOOL OnTagComplete() override;
    // An image inside the anchor is a server-side image map: the link is reported as a click.
    void MarkServerMap() override;
};

// TITLE: collects the element's whole text and reports it as the page title.
class CTitleAction : public CAction {
    DECLARE_DYNCREATE(CTitleAction)
public:
    BOOL OnTagComplete() override;
    // The title is kept whole, however long: a title cut here would be what an edit of it, or
    // of anything else shown beside it, writes back into the page.
    void AppendText(LPCSTR lpszText, int nLength) override;
    // The title is the element's own text; descriptions of inner elements do not replace it.
    void SetDescription(LPCSTR lpszDescription) override;
    void ReportLinks() override;
};

// IMG: reports SRC, LOWSRC and DYNSRC with the size flags; with ISMAP it marks the enclosing
// anchor as a server-side image map.
class CImageAction : public CAction {
    DECLARE_DYNCREATE(CImageAction)
public:
    BOOL OnTagComplete() override;
    void ReportLinks() override;
};
