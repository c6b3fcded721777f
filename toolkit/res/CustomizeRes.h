// Resource ids of the toolbar customisation dialogs.
#pragma once

#define SEC_IDD_TOOLBARCMDPAGE 20509   // the page of command buttons (palettes)
#define SEC_IDD_TOOLBARSDLG 20510      // the Toolbars dialog
#define SEC_IDD_NEWTOOLBAR 20511       // asks for a new toolbar's name
#define SEC_IDD_TOOLBARSPAGE 20513     // the Toolbars page of the Customize sheet

#define SEC_IDC_BTNGROUP 43093         // where the palettes go
#define SEC_IDC_TOOLBARLIST 43094      // toolbars (dialog, page) or categories (command page)
#define SEC_IDC_DESCRIPTION 43095
#define SEC_IDC_NEWNAME 43096
#define SEC_IDC_NAMELABEL 43097
#define SEC_IDC_NEWTOOLBAR 43098
#define SEC_IDC_CUSTOMIZE 43099        // also the Toolbars dialog's result for "go on customising"
#define SEC_IDC_RESET 43100
#define SEC_IDC_TOOLTIPS 43101
#define SEC_IDC_TOOLBARNAME 43102
#define SEC_IDC_LARGEBUTTONS 43103
#define SEC_IDC_COOLLOOK 43104
#define SEC_IDC_HELP 57670

#define SEC_IDS_RESET 20536
#define SEC_IDS_DELETE 20537
#define SEC_IDS_CUSTOMIZE 20538
