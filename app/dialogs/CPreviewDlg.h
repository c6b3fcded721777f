// CPreviewDlg: "Preview Changes to HTML File": a page as it is on disk beside the page as the
// pending META edits would write it, two read-only panes in a splitter that fills the dialog.
#pragma once

#include "app/dialogs/CFileContentsWnd.h"
#include "app/res/GroupViewRes.h"
#include "engine/meta/CMetaEditEngine.h"
#include "engine/meta/ReadingChange.h"
#include "platform/afx/dlg/CDialog.h"
#include "toolkit/layout/SECLayoutFactory.h"
#include "toolkit/layout/SECLayoutSplitter.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class CPreviewDlg : public CDialog {
public:
    enum { IDD = IDD_PREVIEW_CHANGES };

    explicit CPreviewDlg(CWnd* pParent = nullptr) : CDialog(IDD, pParent) {}

    // The page on disk and its rewritten copy; called before DoModal.
    void SetFiles(const CString& strPathOnDisk, const CString& strPathRewritten);
    // The repeated tags the rewrite takes out, as [from, to) bytes of the page on disk: the page's
    // pane shows their lines marked. Called before DoModal.
    void SetRemovedTags(std::vector<std::pair<ULONGLONG, ULONGLONG>> tags)
    {
        m_removedTags = std::move(tags);
        m_wndLeft.SetRemovedParts(m_removedTags);
    }
    // How the page on disk is read (or what it is converted from) and how its rewritten copy
    // will be read, with what each rests on: the panes show their characters so. What an edited
    // Content-Type does to the page the right pane's caption tells. Called before DoModal.
    void SetCharsets(const PageCharsetReading& onDisk, const PageCharsetReading& rewritten, CharsetChange change)
    {
        m_charsetOnDisk = onDisk;
        m_charsetRewritten = rewritten;
        m_charsetChange = change;
        m_wndLeft.SetCharset(onDisk.charset);
        m_wndRight.SetCharset(rewritten.charset);
    }

    // A page the save refuses because its bytes read two ways and nothing tells which is meant:
    // both panes show the page on disk, the left one read the first way, the right one the other.
    // Called before DoModal, instead of SetCharsets.
    void SetReadingsInDoubt(const PageCharsetReading& first, const PageCharsetReading& second)
    {
        m_charsetOnDisk = first;
        m_charsetRewritten = second;
        m_bInDoubt = true;
        m_wndLeft.SetCharset(first.charset);
        m_wndRight.SetCharset(second.charset);
    }
    // Reads the panes' texts, the page on disk's from fdOnDisk and the rewritten page's from
    // fdRewritten (for a page in doubt, the page on disk's again), a piece at a time: between two
    // pieces goOn is asked with the pane (0 the left, 1 the right) and how many of its bytes were
    // read; false when it said no. After the setters above and before DoModal: panes not read so
    // read their files when they are made.
    bool ReadTexts(int fdOnDisk, int fdRewritten, const std::function<bool(int nPane, ULONGLONG nDone)>& goOn)
    {
        return m_wndLeft.ReadText(fdOnDisk, [&](ULONGLONG nDone) { return goOn(0, nDone); })
            && m_wndRight.ReadText(m_bInDoubt ? fdOnDisk : fdRewritten, [&](ULONGLONG nDone) { return goOn(1, nDone); });
    }

    // A page whose bytes read two ways under its new charset, where nothing tells which is
    // meant, or whose charset is not known: a button below each pane takes the way that gives
    // its reading, the page's own reading, converted from (IDC_PREVIEW_CONVERT, left), or the
    // other, its bytes kept under the new declaration (IDC_PREVIEW_KEEP) or converted from the
    // other charset (IDC_PREVIEW_CONVERT_OTHER, right); DoModal gives the button's id. The way
    // taken already, if any, has its button take it back (IDC_PREVIEW_TAKE_BACK); a way the save
    // cannot carry out has its button disabled, with a word of why beside it, and one it can, a
    // word of what its reading changes: the first word the page's own reading makes odd, the
    // characters the other reads otherwise. Called before DoModal.
    void SetCharsetChoice(const CharsetChoices& choices, const CharsetWay& taken);
    // How the bytes kept under the new declaration read otherwise than before: the right pane's
    // caption tells the text changes. Called before DoModal.
    void SetReadingChange(const ReadingChange& change) { m_readingChange = change; }
    // Whether an id is one of a take button's: DoModal gave it for a way taken or taken back.
    static bool IsTakeId(INT_PTR nID)
    {
        return nID == IDC_PREVIEW_CONVERT || nID == IDC_PREVIEW_KEEP || nID == IDC_PREVIEW_CONVERT_OTHER
            || nID == IDC_PREVIEW_TAKE_BACK;
    }

    // Where the Preview stands: the line and column its page's own reading shows at the caret,
    // and its window, where it stands on the screen and how large it is when not maximised
    // (empty where the Preview opens as it opens at first) and whether it is maximised.
    struct Place {
        int nLine = 0;
        int nColumn = 0;
        CRect rectWindow;
        bool bMaximised = false;
    };
    // The Preview opens at the place of the page the one before it showed when a way was taken
    // in it, its window where and as large as the user left that one's. Called before DoModal.
    void KeepPlace(const Place& place) { m_kept = place; }
    // Where the Preview stood when a take button ended it.
    const Place& GetPlaceTaken() const { return m_taken; }

    CFileContentsWnd& GetLeftPane() { return m_wndLeft; }
    CFileContentsWnd& GetRightPane() { return m_wndRight; }
    SECLayoutNodeSplitter* GetSplitter() const { return m_pSplitter; }

protected:
    BOOL OnInitDialog() override;
    // The preview only shows: Escape closes it, and Page Up, Page Down, Home and End page
    // through the pane with the focus, Home and End to its first and last line. F6 and
    // Shift+F6 go from pane to pane.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // A take button ends the Preview with its id.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    CString m_strPathOnDisk;
    CString m_strPathRewritten;
    std::vector<std::pair<ULONGLONG, ULONGLONG>> m_removedTags;
    // The right pane's caption for a page given another charset, or none, ahead of strPlain.
    CString CharsetCaption(const CString& strPlain) const;
    // Widens the dialog, within the screen, so that each pane's caption fits on one line.
    void FitCaptions();
    // Brings the first place where the two panes' texts differ into sight in both, the caret on
    // it: what the readings of a page in doubt differ in.
    void ShowFirstDifference();
    // Alt and a take button's underlined letter press it, wherever the keys are in the Preview:
    // in a pane's text too. Whether the key was one.
    BOOL PressTakeButtonOf(const MSG& msg);

    // Shows the line and column of the page's own reading in both panes, the caret on them: in
    // the other pane the same place, found among the kLinesSought lines on either side.
    void ShowLine(int nLine, int nColumn);
    static constexpr int kLinesSought = 64;
    // Where the other text, around its line pAround, holds the place at byte nAt of pOne: on the
    // line of the same text, or else after the text that leads to the place (the kLeadBytes
    // before it, or fewer where a line of the other text, cut at the editor's width, starts
    // within them), on the nearest line and nearest to the same byte. The line, its byte in
    // nPlace; null where neither is found.
    static SECEditLine* SamePlace(SECEditLine* pOne, int nAt, SECEditLine* pAround, int& nPlace);
    static constexpr int kLeadBytes = 64;
    // Puts the window where the one before it stood, as large, and maximised when that one was.
    void KeepWindow();

    Place m_kept;
    Place m_taken;
    PageCharsetReading m_charsetOnDisk;
    PageCharsetReading m_charsetRewritten;
    CharsetChange m_charsetChange = CharsetChange::None;
    bool m_bInDoubt = false;
    bool m_bNeitherWay = false; // in doubt, and no way can be carried out
    ReadingChange m_readingChange;
    CFileContentsWnd m_wndLeft;
    CFileContentsWnd m_wndRight;
    SECLayoutFactory m_factory;
    SECClassFactory_T<SECLayoutNodeSplitter, SECLayoutNode> m_splitterFactory;
    SECLayoutNodeSplitter* m_pSplitter = nullptr;
};
