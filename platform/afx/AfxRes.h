// The framework's standard command ids and the ids of its own strings (res/afx.rc). Programs
// use the same ids in their menus so that the framework's handlers answer them.
#pragma once

// ---- Commands ----
#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_FILE_CLOSE 0xE102
#define ID_FILE_SAVE 0xE103
#define ID_FILE_SAVE_AS 0xE104
#define ID_FILE_PAGE_SETUP 0xE105
#define ID_FILE_PRINT_SETUP 0xE106
#define ID_FILE_PRINT 0xE107
#define ID_FILE_PRINT_DIRECT 0xE108
#define ID_FILE_PRINT_PREVIEW 0xE109
#define ID_FILE_MRU_FIRST 0xE110
#define ID_FILE_MRU_FILE1 0xE110
#define ID_FILE_MRU_FILE2 0xE111
#define ID_FILE_MRU_FILE3 0xE112
#define ID_FILE_MRU_FILE4 0xE113
#define ID_FILE_MRU_FILE16 0xE11F
#define ID_FILE_MRU_LAST 0xE11F
#define ID_EDIT_CLEAR 0xE120
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_FIND 0xE124
#define ID_EDIT_PASTE 0xE125
#define ID_EDIT_REPLACE 0xE129
#define ID_EDIT_SELECT_ALL 0xE12A
#define ID_EDIT_UNDO 0xE12B
#define ID_EDIT_REDO 0xE12C
#define ID_WINDOW_NEW 0xE130
#define ID_WINDOW_ARRANGE 0xE131
#define ID_WINDOW_CASCADE 0xE132
#define ID_WINDOW_TILE_HORZ 0xE133
#define ID_WINDOW_TILE_VERT 0xE134
#define ID_WINDOW_SPLIT 0xE135
#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141
#define ID_HELP_INDEX 0xE142
#define ID_HELP_FINDER 0xE143
#define ID_HELP_USING 0xE144
#define ID_CONTEXT_HELP 0xE145
#define ID_HELP 0xE146
#define ID_DEFAULT_HELP 0xE147
#define ID_NEXT_PANE 0xE150
#define ID_PREV_PANE 0xE151
#define ID_VIEW_TOOLBAR 0xE800
#define ID_VIEW_STATUS_BAR 0xE801

// ---- Help contexts: a command's or a resource's id plus its base ----
#define HID_BASE_COMMAND 0x00010000UL
#define HID_BASE_RESOURCE 0x00020000UL

// ---- Bars and panes of a frame ----
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_STATUS_BAR 0xE801
#define AFX_IDW_PANE_FIRST 0xE900
#define AFX_IDW_PANE_LAST 0xE9FF

// ---- Strings ----
#define AFX_IDS_APP_TITLE 0xE000
#define AFX_IDS_IDLEMESSAGE 0xE001
#define AFX_IDS_HELPMODEMESSAGE 0xE002
#define AFX_IDS_UNTITLED 0xE00A
#define AFX_IDS_RECENT_FILE 0xF000
#define AFX_IDS_HELP_UNAVAILABLE 0xF001
#define AFX_IDP_FILE_NOT_FOUND 0xF002
#define AFX_IDP_FAILED_TO_START_PRINT 0xF0C8
// The running print job's window: the page it prints, and the printer it prints on.
#define AFX_IDS_PRINTPAGENUM 64500
#define AFX_IDS_PRINTPAGEOFNUM 64501
#define AFX_IDS_PRINTONPRINTER 64502

// The File New chooser of document types: a list of the templates' file-new names.
#define AFX_IDD_NEWTYPEDLG 0x7801
#define AFX_IDC_LISTBOX 100

// The window a print job shows while it runs: the document, the printer, its file, the page.
#define AFX_IDD_PRINTDLG 0x7802
#define AFX_IDC_PRINT_DOCNAME 101
#define AFX_IDC_PRINT_PRINTERNAME 102
#define AFX_IDC_PRINT_PORTNAME 103
#define AFX_IDC_PRINT_PAGENUM 104
