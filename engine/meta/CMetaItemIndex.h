// CMetaItemIndex: the items of a content text, as CMetaContent::SplitContent cuts them, each found
// in constant time and kept up as the text grows at its end. A page that repeats a tag by the
// thousand adds each value to one text; cutting the whole text again for every tag would cost the
// square of their number.
#pragma once

#include "platform/core/CString.h"

#include <string>
#include <string_view>
#include <unordered_map>

class CMetaItemIndex {
public:
    // The list separator the text is cut at, as the project gives it.
    explicit CMetaItemIndex(const CString& strSeparator);
    CMetaItemIndex(const CMetaItemIndex&) = delete;
    CMetaItemIndex& operator=(const CMetaItemIndex&) = delete;

    const CString& GetSeparator() const { return m_strSeparator; }
    // Takes in what the text has gained at its end since the last call; the text must begin
    // with everything it held then.
    void Follow(const CString& strText);
    // Whether the text holds the item, which is taken without the blanks around it.
    bool Holds(std::string_view item) const;

private:
    // Counts the item of [nFrom, nTo) of the text, without the blanks around it, by nStep.
    void Count(const CString& strText, int nFrom, int nTo, int nStep);

    CString m_strSeparator;
    CString m_strCut;          // what cuts the text: CMetaContent::ListCut of the separator
    int m_nFollowed = 0;       // the length of the text taken in
    int m_nLastStart = 0;      // where its last item starts: text added may reach back into it
    std::unordered_map<std::string, unsigned> m_items; // each item and how often it stands
};
