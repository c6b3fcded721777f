// How the value dialogs read a page's META text into their fields and write it back: lists cut
// at a separator, and the seconds and address of a refresh value.
#pragma once

#include "platform/core/CString.h"

class CStringList;

// Empties the list and appends the text's items cut at each whole occurrence of the separator,
// each without the blanks around it, empty items left out. An empty separator counts as ",".
void SplitAtSeparator(const CString& strText, const CString& strSeparator, CStringList& items);
// Takes the blanks from around each item, then leaves out empty items and items seen before.
void TrimItems(CStringList& items);
// The items with the separator between them, nothing before the first or after the last.
CString JoinWithSeparator(const CStringList& items, const CString& strSeparator);

// A refresh value "seconds; URL=address". The seconds are the leading digits of the part before
// the first ";" (after blanks and a sign), held at the int range; the address is what follows
// "URL", matched in any case and with blanks allowed around "=", in the part after the ";".
struct RefreshValue {
    int nSeconds = 0;
    CString strUrl;
};
RefreshValue ParseRefresh(const CString& strText);
// "%d; URL=%s", or "%d" without an address.
CString FormatRefresh(const RefreshValue& value);
