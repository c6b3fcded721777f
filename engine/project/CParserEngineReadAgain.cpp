// The engine's reading of saved pages again: after a save, a page shows what its file holds,
// also when another program changed the file since the page was scanned.
#include "engine/html/CHtmlParser.h"
#include "engine/html/CTranslatingFile.h"
#include "engine/html/HtmlLinkTypes.h"
#include "engine/html/IHtmlParserSink.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CScanNameLookup.h"
#include "engine/project/CVostrelAppModel.h"
#include "engine/project/SavedPageValues.h"
#include "platform/core/CFile.h"
#include "platform/core/CFileException.h"

#include <memory>
#include <optional>
#include <system_error>

namespace {

// Keeps what the parser finds in one page as the scan's reference checker hands it on: the
// title and the META tags, in the parser's order; the KEYWORDS tag's content comes whole with
// the named tags.
class RecordingSink : public IHtmlParserSink {
public:
    explicit RecordingSink(SavedPageValues& values) : m_values(values) {}

    BOOL IsStopRequested() override { return FALSE; }
    void AddKeywordText(const char*, int) override {}
    void ReportLink(LPCSTR, LPCSTR, int, DWORD, int, int) override {}
    void ReportCodebaseLink(LPCSTR, LPCSTR, LPCSTR, int, DWORD, int, int) override {}
    void OnTitle(LPCSTR lpszTitle) override { Keep(SavedPageValues::Kind::Title, lpszTitle, "", ""); }
    void OnAnchor(LPCSTR) override {}
    void OnBase(LPCSTR) override {}
    void OnExtraLink(LPCSTR, LPCSTR, LPCSTR, int, DWORD, int, int) override {}
    void OnAuthor(LPCSTR) override {}
    void OnKeyword(LPCSTR) override {}
    void OnDescription(LPCSTR) override {}
    void OnOtherMeta(LPCSTR, LPCSTR, LPCSTR) override {}
    void OnFormEnd(LPCSTR, DWORD) override {}
    void OnNamedMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme) override
    {
        Keep(SavedPageValues::Kind::NamedMeta, lpszName, lpszContent, lpszScheme);
    }
    void OnHttpEquivMeta(LPCSTR lpszName, LPCSTR lpszContent) override
    {
        Keep(SavedPageValues::Kind::HttpEquivMeta, lpszName, lpszContent, "");
    }
    void OnLastModified(LONG) override {}

private:
    void Keep(SavedPageValues::Kind kind, LPCSTR a, LPCSTR b, LPCSTR c)
    {
        m_values.found.push_back({kind, CString(a != nullptr ? a : ""), CString(b != nullptr ? b : ""),
                                  CString(c != nullptr ? c : "")});
    }
    SavedPageValues& m_values;
};

// The values read hand over to the engine as the parser would have.
void Replay(ITaskManager& engine, const SavedPageValues& values, CPageNode& read)
{
    const auto dwPage = reinterpret_cast<DWORD_PTR>(&read);
    for (const SavedPageValues::Found& found : values.found) {
        switch (found.kind) {
        case SavedPageValues::Kind::Title:
            engine.OnTitle(dwPage, found.strName);
            break;
        case SavedPageValues::Kind::NamedMeta:
            engine.OnNamedMeta(dwPage, found.strName, found.strContent, found.strScheme);
            break;
        case SavedPageValues::Kind::HttpEquivMeta:
            engine.OnHttpEquivMeta(dwPage, found.strName, found.strContent);
            break;
        }
    }
}

// The page's file read into the scratch node; false when it could not be read.
bool ReadInto(ITaskManager& engine, const CPageNode& page, CPageNode& read)
{
    CString strPath;
    page.GetFullPath(strPath);
    SavedPageValues values;
    if (!ReadSavedPageValues(strPath, values))
        return false;
    Replay(engine, values, read);
    return true;
}

// The page takes the values read that differ from its own, except edits still to be saved;
// the names of those it took ("" for the title).
std::vector<CString> TakeReadValues(CPageNode& page, const CPageNode& read)
{
    std::vector<CString> taken;
    if (!page.GetTitleModified() && page.GetTitle() != read.GetTitle()) {
        page.SetTitle(read.GetTitle());
        taken.emplace_back();
    }
    CMetaContentList* pRead = nullptr;
    if (read.GetContentList(pRead) != 0)
        pRead = nullptr;
    CMetaContentList* pList = nullptr;
    if (page.GetContentList(pList) != 0)
        page.CreateContentList(pList);
    for (POSITION pos = pRead != nullptr ? pRead->GetHeadPosition() : nullptr; pos != nullptr;) {
        const CMetaContent* pNow = pRead->GetNext(pos);
        CMetaContent* pContent = nullptr;
        if (pList->FindByName(pNow->GetName(), pContent) != 0) {
            CMetaContent* pAdded = nullptr;
            pList->AddContent(pNow->GetName(), pNow->GetContent(), 0, pAdded);
            pAdded->SetType(pNow->GetType());
            taken.push_back(pNow->GetName());
        } else if (!pContent->GetModified() && pContent->GetContent() != pNow->GetContent()) {
            pContent->SetContent(pNow->GetContent());
            taken.push_back(pContent->GetName());
        }
    }
    // A tag the file no longer has shows empty, as a page without it does.
    for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
        CMetaContent* pContent = pList->GetNext(pos);
        CMetaContent* pNow = nullptr;
        if (pContent->GetModified() || pContent->GetContent().IsEmpty() ||
            (pRead != nullptr && pRead->FindByName(pContent->GetName(), pNow) == 0))
            continue;
        pContent->SetContent(CString());
        taken.push_back(pContent->GetName());
    }
    return taken;
}

} // namespace

bool ReadSavedPageValues(const CString& strPath, SavedPageValues& values, const CPageCharset* pCharset)
{
    values.found.clear();
    CFile file;
    if (!file.Open(strPath, CFile::modeRead | CFile::shareDenyNone))
        return false;
    try {
        CTranslatingFile translated = pCharset != nullptr ? CTranslatingFile(&file, *pCharset) : CTranslatingFile(&file);
        RecordingSink sink(values);
        CHtmlParser parser(&sink, &translated, FALSE, FALSE, SCRIPT_KIND_JAVASCRIPT);
        parser.Parse();
    } catch (CFileException* e) {
        e->Delete();
        return false;
    }
    return true;
}

SavedPagesReader::SavedPagesReader(std::shared_ptr<SavedPagesRead> pReads) : m_pReads(std::move(pReads))
{
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // Read inline.
    }
}

SavedPagesReader::~SavedPagesReader()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bEnding = true;
    }
    m_queued.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

void SavedPagesReader::Read(CPageNode* pPage, const CString& strPath, const CPageCharset& charset)
{
    if (!m_thread.joinable()) {
        if (SavedPageValues values; ReadSavedPageValues(strPath, values, &charset))
            m_pReads->Put(pPage, std::move(values));
        return;
    }
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_queue.push_back(Queued{pPage, strPath, charset});
    }
    m_queued.notify_one();
}

void SavedPagesReader::Run()
{
    for (;;) {
        std::optional<Queued> next;
        {
            std::unique_lock<std::mutex> lock(m_lock);
            m_queued.wait(lock, [this] { return m_bEnding || !m_queue.empty(); });
            if (m_queue.empty())
                return;
            next.emplace(std::move(m_queue.front()));
            m_queue.pop_front();
        }
        // A page that cannot be read now is read by the window, which tells what it finds.
        try {
            if (SavedPageValues values; ReadSavedPageValues(next->strPath, values, &next->charset))
                m_pReads->Put(next->pPage, std::move(values));
        } catch (...) {
        }
    }
}

std::vector<std::pair<CPageNode*, std::vector<CString>>> CParserEngine::ReadSavedPagesAgain(const std::vector<CPageNode*>& pages)
{
    std::vector<std::pair<CPageNode*, std::vector<CString>>> changed;
    if (GetAppModel().GetRunState() != CVostrelAppModel::runIdle || m_pNames)
        return changed;
    // The lookup keeps the content lists it has seen: the pages read outlive it.
    std::vector<std::unique_ptr<CPageNode>> read;
    m_pNames = std::make_unique<CScanNameLookup>(GetAppModel().GetMetaSettings());
    // A page read again shows no column: the user may have hidden a setting since the scan.
    const BOOL bShowAllFound = m_bShowAllFound.exchange(0);
    for (CPageNode* pPage : pages) {
        if (pPage == nullptr)
            continue;
        read.push_back(std::make_unique<CPageNode>());
        // The save read what it wrote on its worker; a page it did not read is read here.
        if (std::optional<SavedPageValues> values = m_pSavedReads ? m_pSavedReads->Take(pPage) : std::nullopt)
            Replay(*this, *values, *read.back());
        else if (!ReadInto(*this, *pPage, *read.back()))
            continue;
        std::vector<CString> taken = TakeReadValues(*pPage, *read.back());
        if (!taken.empty())
            changed.emplace_back(pPage, std::move(taken));
    }
    m_pNames.reset();
    m_bShowAllFound.store(bShowAllFound);
    return changed;
}
