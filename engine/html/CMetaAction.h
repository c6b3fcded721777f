// The action of the META tag, the reason a scan exists: it reports every META tag by name or
// HTTP-EQUIV, the author, the keywords one by one, the description, client-pull links,
// Last-Modified dates and the page's event-script language.
#pragma once

#include "engine/html/CAction.h"

class CMetaAction : public CAction {
    DECLARE_DYNCREATE(CMetaAction)
public:
    BOOL OnTagComplete() override;

    // The target of a REFRESH content such as "5; URL=next.htm" or "5;url='next.htm'"; FALSE
    // when the content names none.
    static BOOL ParseRefreshUrl(LPCSTR lpszContent, CString& strUrl);
    // An HTTP date in one of its three formats ("Sun, 06 Nov 1994 08:49:37 GMT",
    // "Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37 1994") as seconds since 1970,
    // the fields taken as UTC; FALSE when no format reads it or the date is out of range.
    static BOOL ParseHttpDate(LPCSTR lpszDate, LONG& nTime);
};
