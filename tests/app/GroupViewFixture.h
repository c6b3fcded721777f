// The project grid on a generated site (pages a.htm and sub/b.htm): the program started, the
// project opened with three shown settings, and helpers to find rows, columns and contents.
#pragma once

#include "VostrelAppFixture.h"

#include "GroupViewLookup.h"

#include "app/views/CGroupDoc.h"
#include "app/views/CGroupFrame.h"
#include "app/views/CGroupView.h"
#include "app/res/AppRes.h"
#include "app/res/GroupViewRes.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "platform/controls/CommonDialog.h"
#include "tests/support/CommonDialogAutomation.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXStyle.h"

#include <functional>
#include <string>
#include <vector>

class GroupViewTest : public VostrelAppTest {
protected:
    // Opens a project of a generated site (pages a.htm and sub/b.htm) and, when asked, scans it.
    void OpenSite(bool bScan, UINT bShowTitle = 0)
    {
        site = config.Path() + "/site";
        MakeSite(site);
        for (const std::string& name : extraPages)
            WriteFile(site + "/" + name, "<html><head><title>Extra</title></head><body>x</body></html>\n");
        ASSERT_TRUE(Start());
        // The default catalogue shows nothing: three settings get columns, in catalogue order.
        CMetaSettingList* pList = nullptr;
        ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
        for (const char* pszName : {"Description", "Author", "Keywords"}) {
            CMetaSetting* pSetting = nullptr;
            ASSERT_EQ(pList->FindByName(pszName, pSetting), 0u) << pszName;
            pSetting->SetShow(1);
        }
        if (extendCatalogue)
            extendCatalogue(*pList);
        ASSERT_EQ(pList->SaveToFile(CString(SettingsPath().c_str())), 0u);
        const std::string project = config.Path() + "/site.vsp";
        CProjectSettings* pSettings = nullptr;
        app->NewProjectSettings(pSettings);
        pSettings->m_strProjectDirectory = site.c_str();
        pSettings->m_bShowTitle = bShowTitle;
        pSettings->m_bAutoScan = 0;
        pSettings->m_bShowAllFound = 0;
        pSettings->SetSettingsFilePath(CString(SettingsPath().c_str()));
        ASSERT_EQ(Frame().WriteProjectFile(CString(project.c_str())), 0u);
        ASSERT_EQ(Frame().OpenProjectFile(CString(project.c_str())), CMainFrame::kOpenDone);
        if (bScan) {
            Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
            const UINT nPages = static_cast<UINT>(2 + extraPages.size());
            ASSERT_TRUE(PumpUntil(*backend, [&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == nPages; }));
        }
        ASSERT_EQ(app->ActivateGroupView(view), 0u);
        ASSERT_NE(view, nullptr);
    }
    // File > Print through the print dialog, its file field typed over with the path; whether
    // the dialog came.
    bool PrintTo(const std::string& file)
    {
        bool asked = false;
        dialog_automation::WhenWindowOpens(
            *backend, [] { return dialog_automation::DialogWith({cmb1, edt6, IDOK}); },
            [&](HWND dlg) {
                asked = true;
                dialog_automation::Retype(*backend, GetDlgItem(dlg, edt6), file);
                backend->Click(1, dialog_automation::CentreOf(GetDlgItem(dlg, IDOK)));
            },
            nullptr);
        view->SendMessage(WM_COMMAND, ID_FILE_PRINT);
        return asked;
    }
    std::vector<std::string> Headers()
    {
        std::vector<std::string> headers;
        for (ROWCOL nCol = 1; nCol <= view->GetColCount(); ++nCol)
            headers.push_back(static_cast<LPCTSTR>(view->GetCellValue(0, nCol)));
        return headers;
    }
    ROWCOL ColumnOf(const char* pszName) { return group_view_lookup::ColumnOf(*view, pszName); }
    ROWCOL RowOf(const char* pszName) { return group_view_lookup::RowOf(*view, pszName); }
    CPageNode* PageOf(const char* pszName)
    {
        CPageNode* pPage = nullptr;
        view->GetRowPage(RowOf(pszName), pPage);
        return pPage;
    }
    CMetaContent* ContentOf(const char* pszPage, const char* pszTag)
    {
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        CPageNode* pPage = PageOf(pszPage);
        if (pPage == nullptr || pPage->GetContentList(pList) != 0 || pList->FindByName(pszTag, pContent) != 0)
            return nullptr;
        return pContent;
    }
    CGXStyle Composed(ROWCOL nRow, ROWCOL nCol)
    {
        CGXStyle style;
        view->ComposeCellStyle(nRow, nCol, style);
        return style;
    }
    std::vector<std::string> ShownSettings()
    {
        std::vector<std::string> names;
        CMetaSettingList* pList = nullptr;
        app->GetMetaSettingList(pList);
        for (POSITION pos = pList->GetHeadPosition(); pos;) {
            CMetaSetting* pSetting = pList->GetNext(pos);
            if (pSetting->IsShown())
                names.push_back(static_cast<LPCTSTR>(pSetting->Name()));
        }
        return names;
    }

    // Pages the site gets besides its own, by name under its root.
    std::vector<std::string> extraPages;
    // Settings the catalogue gets besides its own, added before the project opens.
    std::function<void(CMetaSettingList&)> extendCatalogue;
    std::string site;
    CGroupView* view = nullptr;
};
