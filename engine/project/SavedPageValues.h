// SavedPageValues: the title and META tags of a page as the file a save has just written holds
// them, read on the save's worker, so that the window shows the saved pages without reading
// their files again itself; SavedPagesRead keeps them per page until the window takes them.
#pragma once

#include "engine/html/CPageCharset.h"
#include "platform/core/CString.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
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

// Reads pages a save has written back on a thread of its own, into the save's SavedPagesRead,
// while the save goes on with the next pages: reading a page costs about as much as writing it.
class SavedPagesReader {
public:
    explicit SavedPagesReader(std::shared_ptr<SavedPagesRead> pReads);
    // Reads whatever is still queued, then ends its thread.
    ~SavedPagesReader();
    SavedPagesReader(const SavedPagesReader&) = delete;
    SavedPagesReader& operator=(const SavedPagesReader&) = delete;

    // Queues the page, whose file is at the path and in the charset the save wrote it in. Read
    // at once where no thread could be had.
    void Read(CPageNode* pPage, const CString& strPath, const CPageCharset& charset);

private:
    void Run();

    std::shared_ptr<SavedPagesRead> m_pReads;
    std::mutex m_lock;
    std::condition_variable m_queued;
    struct Queued {
        CPageNode* pPage;
        CString strPath;
        CPageCharset charset;
    };
    std::deque<Queued> m_queue;
    bool m_bEnding = false;
    std::thread m_thread;
};
