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
#include "platform/core/CFile.h"
#include "platform/core/CFileException.h"

#include <memory>

namespace {

// Hands what the parser finds in one page to the engine as the scan's reference checker does
// with a page it reads: the title and the META tags; the KEYWORDS tag's content comes whole
// with the named tags.
class PageValuesSink : public IHtmlParserSink {
public:
    PageValuesSink(ITaskManager& engine, CPageNode& page) : m_engine(engine), m_dwPage(reinterpret_cast<DWORD_PTR>(&page)) {}

    BOOL IsStopRequested() override { return FALSE; }
    void AddKeywordText(const char*, int) override {}
    void ReportLink(LPCSTR, LPCSTR, int, DWORD, int, int) override {}
    void ReportCodebaseLink(LPCSTR, LPCSTR, LPCSTR, int, DWORD, int, int) override {}
    void OnTitle(LPCSTR lpszTitle) override { m_engine.OnTitle(m_dwPage, lpszTitle); }
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
        m_engine.OnNamedMeta(m_dwPage, lpszName, lpszContent, lpszScheme);
    }
    void OnHttpEquivMeta(LPCSTR lpszName, LPCSTR lpszContent) override { m_engine.OnHttpEquivMeta(m_dwPage, lpszName, lpszContent); }
    void OnLastModified(LONG) override {}

private:
    ITaskManager& m_engine;
    DWORD_PTR m_dwPage;
};

// The page's file read into the scratch node; false when it could not be read.
bool ReadInto(ITaskManager& engine, const CPageNode& page, CPageNode& read)
{
    CString strPath;
    page.GetFullPath(strPath);
    CFile file;
    if (!file.Open(strPath, CFile::modeRead | CFile::shareDenyNone))
        return false;
    try {
        CTranslatingFile translated(&file);
        PageValuesSink sink(engine, read);
        CHtmlParser parser(&sink, &translated, FALSE, FALSE, SCRIPT_KIND_JAVASCRIPT);
        parser.Parse();
    } catch (CFileException* e) {
        e->Delete();
        return false;
    }
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
        if (!ReadInto(*this, *pPage, *read.back()))
            continue;
        std::vector<CString> taken = TakeReadValues(*pPage, *read.back());
        if (!taken.empty())
            changed.emplace_back(pPage, std::move(taken));
    }
    m_pNames.reset();
    m_bShowAllFound.store(bShowAllFound);
    return changed;
}
