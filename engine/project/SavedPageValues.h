// SavedPageValues: the title and META tags of a page as the file a save has just written holds
// them, read on the save's worker, so that the window shows the saved pages without reading
// their files again itself; SavedPagesRead keeps them per page until the window takes them.
#pragma once

#include "engine/html/CPageCharset.h"
#include "platform/core/CString.h"

#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

class CPageNode;

struct SavedPageValues {
    enum class Kind { Title, NamedMeta, HttpEquivMeta };
    // What the parser reported, in its order.
    struct Found {
        Kind kind;
        CString strName; // the title's text for Kind::Title
        CString strContent;
        CString strScheme;
    };
    std::vector<Found> found;
};

// Reads the page file's title and META tags as a scan reads them, in the charset given when
// there is one (the one the save wrote the page in); false when the file could not be read. Any
// thread.
bool ReadSavedPageValues(const CString& strPath, SavedPageValues& values, const CPageCharset* pCharset = nullptr);

class SavedPagesRead {
public:
    // Any thread.
    void Put(CPageNode* pPage, SavedPageValues values)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_pages[pPage] = std::move(values);
    }
    // The page's values, handed over once; none when the save did not read it. Any thread.
    std::optional<SavedPageValues> Take(CPageNode* pPage)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        const auto found = m_pages.find(pPage);
        if (found == m_pages.end())
            return std::nullopt;
        std::optional<SavedPageValues> values(std::move(found->second));
        m_pages.erase(found);
        return values;
    }

private:
    std::mutex m_lock;
    std::unordered_map<CPageNode*, SavedPageValues> m_pages;
};
