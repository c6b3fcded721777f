// One node of the project's page tree: the project root, a folder or a page, with the page's
// title, scan state and the META contents found in it.
#pragma once

#include "engine/project/CPageNodeCol.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <atomic>
#include <memory>
#include <optional>
#include <sys/stat.h>

class CMetaContentList;

class CPageNode : public CObject {
public:
    enum Kind : UINT { kindRoot = 1, kindFolder = 2, kindPage = 3 };

    CPageNode();
    // Destroys the children with their content lists.
    ~CPageNode() override;
    CPageNode(const CPageNode&) = delete;
    CPageNode& operator=(const CPageNode&) = delete;

    // Copies title, title edited, name, kind, parent and the view word, then appends a deep
    // copy of each of the other node's children, each copy a child of this node. Scan state,
    // contents, folder and attributes are not copied.
    void CopyFrom(const CPageNode& other);
    // Appends to the children, which take the node over; 0.
    UINT AddChild(CPageNode* pNode);
    // The folder, a "/" unless the folder is empty or ends in one, then the name; 0.
    UINT GetFullPath(CString& strPath) const;
    // Appends every modified content to the list (which should only borrow them); 0 when one
    // was found, 1 when none was or the page has no contents.
    UINT GetModifiedContents(CMetaContentList& list) const;
    // 2 when the title was edited or a content is modified, 3 otherwise; always 3 for a page the
    // last scan did not read (IsRead), whatever marks reached it.
    UINT GetEditState() const;
    // The page-status cell: 1 without contents, 2 with a modified content of a page read, else
    // the scan state.
    UINT GetCellState() const;
    // 0 with the page's contents, 1 when it has none yet.
    UINT GetContentList(CMetaContentList*& pList) const;
    // Makes a new, owning, empty content list for the page (replacing any old one); 0.
    UINT CreateContentList(CMetaContentList*& pList);

    void SetTitle(const CString& strTitle) { m_strTitle = strTitle; }
    UINT GetTitle(CString& strTitle) const { strTitle = m_strTitle; return 0; }
    const CString& GetTitle() const { return m_strTitle; }
    void ClearTitle() { m_strTitle.Empty(); }
    void SetTitleModified(UINT bModified) { m_bTitleEdited = bModified; }
    UINT GetTitleModified() const { return m_bTitleEdited; }

    // The scan's worker threads set the state of a page they report while the views read it:
    // what a worker filed in the page is there for whoever sees the state it set after.
    UINT GetScanState() const { return m_nScanState.load(std::memory_order_acquire); }
    void SetScanState(UINT nState) { m_nScanState.store(nState, std::memory_order_release); }
    UINT GetKind() const { return m_nKind; }
    void SetKind(UINT nKind) { m_nKind = nKind; }
    CPageNode* GetParent() const { return m_pParent; }
    void SetParent(CPageNode* pParent) { m_pParent = pParent; }
    const CString& GetName() const { return m_strName; }
    void SetName(const CString& strName) { m_strName = strName; }
    const CString& GetFolder() const { return m_strFolder; }
    void SetFolder(const CString& strFolder) { m_strFolder = strFolder; }
    const CString& GetAttributes() const { return m_strAttributes; }
    void SetAttributes(const CString& strAttributes) { m_strAttributes = strAttributes; }
    // Why the last scan could not read the page (the fetch engine's result text); empty when it
    // could. A page that could not be read shows so in the views and is never written by a save.
    void SetReadFailure(const CString& strText) { m_strReadFailure = strText; }
    const CString& GetReadFailure() const { return m_strReadFailure; }
    // The file the page was last read from or written to: the one whose tags the page shows, by
    // device and inode, with its size and time of change, the checksum of its bytes once they
    // were read (CPageChecksum), and where the page's name led (every link followed; empty for
    // the page's own path, as for most pages). A save writes only into that file, or into one
    // saved anew in its place, and tells when another program changed its bytes; a page whose
    // name has come to lead elsewhere (a link put in its place) is not written through to a file
    // the user never saw. Forgotten when a scan starts.
    void SetReadFile(const struct stat& file, const CString& strResolved = CString())
    {
        SetReadFileState(file);
        m_strReadResolved = strResolved;
    }
    // The same file's state now, its name leading where it led; its bytes not read yet.
    void SetReadFileState(const struct stat& file)
    {
        m_readFile = FileState{file.st_dev, file.st_ino, file.st_size, file.st_mtim.tv_sec, file.st_mtim.tv_nsec};
        m_bReadFileKnown = true;
    }
    // The same with the checksum of the bytes it holds.
    void SetReadFileState(const struct stat& file, ULONGLONG nChecksum)
    {
        SetReadFileState(file);
        SetReadChecksum(nChecksum);
    }
    // The checksum of the bytes read from the file the page was read from.
    void SetReadChecksum(ULONGLONG nChecksum)
    {
        m_readFile.nChecksum = nChecksum;
        m_readFile.bChecksumKnown = true;
    }
    // Whether the bytes of that checksum are those the page was read from; unknown when they
    // were never read whole (a file the scan did not take for a page), and then only size and
    // time tell.
    std::optional<bool> IsReadBytes(ULONGLONG nChecksum) const
    {
        if (!m_bReadFileKnown || !m_readFile.bChecksumKnown)
            return std::nullopt;
        return m_readFile.nChecksum == nChecksum;
    }
    void ForgetReadFile()
    {
        m_bReadFileKnown = false;
        m_strReadResolved.Empty();
    }
    // Whether the page's file is known and is the one given.
    bool IsReadFile(ULONGLONG nDevice, ULONGLONG nInode) const
    {
        return m_bReadFileKnown && m_readFile.nDevice == nDevice && m_readFile.nInode == nInode;
    }
    // Whether the file is the page's, as it was: neither its size nor its time of change differ.
    bool IsReadFileAsItWas(const struct stat& file) const
    {
        return IsReadFile(file.st_dev, file.st_ino) && m_readFile.nSize == file.st_size
            && m_readFile.nModifiedSec == file.st_mtim.tv_sec && m_readFile.nModifiedNsec == file.st_mtim.tv_nsec;
    }
    bool IsReadFileKnown() const { return m_bReadFileKnown; }
    // Where the page's name led when its file was read; empty for its own path.
    const CString& GetReadFileResolved() const { return m_strReadResolved; }
    // Whether the page shows what its file holds: the last scan read it whole. A page the scan
    // never came to, or could not read, shows nothing of its own tags; a value given to it would
    // replace one the user never saw, so it takes no edits and no save writes it.
    bool IsRead() const { return GetScanState() == 0 && m_strReadFailure.IsEmpty(); }
    // Whether the last scan came to the page and left it unread for its size: it is not read, as
    // a page the scan did not come to, although the scan did not stop before it. Set by the
    // scan's worker before the page's end is reported.
    void SetLeftUnread(bool bLeftUnread) { m_bLeftUnread = bLeftUnread; }
    bool IsLeftUnread() const { return m_bLeftUnread; }
    // The page's path below the project folder ("en/guide.html"): how the user knows the page
    // in a site where many pages share a name. The name alone for a node outside a project tree.
    CString GetSitePath() const;
    CPageNodeCol& GetChildren() { return m_Children; }
    const CPageNodeCol& GetChildren() const { return m_Children; }

    // The Project Area's tree item of this node and a word for the views; the shell's business.
    DWORD_PTR m_dwTreeItem = 0;
    DWORD_PTR m_dwViewWord = 0;

private:
    std::atomic<UINT> m_nScanState{1};
    UINT m_bTitleEdited = 0;
    CString m_strTitle;
    std::unique_ptr<CMetaContentList> m_pContents;
    CString m_strAttributes;
    CString m_strFolder;
    CPageNode* m_pParent = nullptr;
    CString m_strName;
    UINT m_nKind = 0;
    CString m_strReadFailure;
    struct FileState {
        ULONGLONG nDevice = 0;
        ULONGLONG nInode = 0;
        LONGLONG nSize = 0;
        LONGLONG nModifiedSec = 0;
        LONGLONG nModifiedNsec = 0;
        ULONGLONG nChecksum = 0;
        bool bChecksumKnown = false;
    };
    FileState m_readFile;
    CString m_strReadResolved;
    bool m_bReadFileKnown = false;
    bool m_bLeftUnread = false;
    CPageNodeCol m_Children;
};
