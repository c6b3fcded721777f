// CFileContentsWnd: one pane of the change preview: a caption bar naming the file above a
// read-only, line-numbered view of its text.
#pragma once

#include "app/dialogs/CEditCtrlWrapper.h"
#include "engine/html/CPageCharset.h"
#include "platform/afx/bars/CStatusBar.h"
#include "platform/afx/dlg/CButton.h"
#include "platform/afx/dlg/CStatic.h"
#include "platform/afx/wnd/CWnd.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class CFileContentsWnd : public CWnd {
    DECLARE_DYNAMIC(CFileContentsWnd)
public:
    static constexpr UINT kPaneId = 2000;
    static constexpr UINT kEditorId = 2001;
    static constexpr UINT kCaptionBarId = 59393;
    // The caption's height for one line, and the gap between the caption and the editor.
    static constexpr int kCaptionHeight = 20;
    static constexpr int kEditorTop = 23;

    CFileContentsWnd() = default;

    // The caption and the file the pane shows; set before Create.
    void SetFile(const CString& strCaption, const CString& strPath);
    // Reads the file's text from the descriptor, from its first byte, a piece at a time, into the
    // editor: its characters as the pane's charset reads them, without the byte order mark, the
    // lines of the removed parts marked. Between two pieces goOn is asked how many bytes were
    // read so far; when it says no, the pane stops there and false is returned. A failed read
    // throws the file's error. Called after SetCharset and SetRemovedParts and before Create:
    // a pane that read nothing reads its path when it is made.
    bool ReadText(int fd, const std::function<bool(ULONGLONG)>& goOn);
    // The charset the file's bytes are in, which the pane shows its characters by (as a stray
    // byte of UTF-8 when none is set). Set before Create.
    void SetCharset(const CPageCharset& charset) { m_charset = charset; }
    // Parts of the file, [from, to) in bytes, that the save takes out: their lines are marked.
    // Set before Create.
    void SetRemovedParts(std::vector<std::pair<ULONGLONG, ULONGLONG>> parts) { m_removedParts = std::move(parts); }
    // The lines (numbered from 1) that hold any byte of the parts.
    static std::vector<int> LinesOfParts(const std::string& text,
                                         const std::vector<std::pair<ULONGLONG, ULONGLONG>>& parts);
    // A push button below the text that takes what the pane shows; its command goes to the
    // dialog. One not enabled stands for what was taken already, or for what cannot be taken,
    // the note beside it saying why. Set before Create.
    void SetTakeButton(UINT nID, const CString& strText, bool bEnabled, const CString& strNote = CString())
    {
        m_nTakeID = nID;
        m_strTake = strText;
        m_bTakeEnabled = bEnabled;
        m_strTakeNote = strNote;
    }
    // Makes the pane, reads the whole file into its editor unless ReadText did, and makes the
    // text read-only. A file that cannot be read is told and leaves the pane empty.
    BOOL Create(const RECT& rect, CWnd* pParent);

    // The pane whose caption stands beside this one's: both captions take the height of the
    // taller, so that the panes' lines stay side by side. Set before Create.
    void SetPartner(CFileContentsWnd* pPartner) { m_pPartner = pPartner; }
    // The height the caption takes, whole, in a pane of the width: one line as long as it fits,
    // more where it does not, broken between words and, within a word too long for a line
    // (a long path), between characters.
    int CaptionHeightFor(int cx);
    // The width of the caption on one line, the bar's edges included.
    int CaptionWidthOnOneLine();

    CEditCtrlWrapper& GetEditor() { return m_wndEdit; }
    CButton& GetTakeButton() { return m_wndTake; }
    CStatic& GetTakeNote() { return m_wndTakeNote; }
    CStatusBar& GetCaptionBar() { return m_wndCaption; }
    const CString& GetCaption() const { return m_strCaption; }

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

private:
    CString m_strCaption;
    CString m_strPath;
    bool m_bTextRead = false;
    CPageCharset m_charset;
    std::vector<std::pair<ULONGLONG, ULONGLONG>> m_removedParts;
    CStatusBar m_wndCaption;
    CEditCtrlWrapper m_wndEdit;
    UINT m_nTakeID = 0;
    CString m_strTake;
    bool m_bTakeEnabled = true;
    CString m_strTakeNote;
    CButton m_wndTake;
    CStatic m_wndTakeNote;
    CFileContentsWnd* m_pPartner = nullptr;
    int m_nCaptionHeight = kCaptionHeight;
    int m_nBandHeight = 0;
    // Places the caption and the editor in the pane's client area.
    void Arrange(int cx, int cy);
    // The caption's text box: its width in the bar and the height it takes at that width.
    CSize MeasureCaption(int nTextWidth, UINT nFormat);
    // The take button's size, by its text in its font; none without the button.
    CSize TakeButtonSize();
    // The height the note beside the take button takes, broken into lines of the width.
    int TakeNoteHeight(int nWidth);
    // The height of the band below the text that holds the take button and its note, in a pane
    // of the width; 0 without the button. Both panes' bands take the height of the taller, so
    // that their texts end side by side.
    int TakeBandHeightFor(int cx);
};
