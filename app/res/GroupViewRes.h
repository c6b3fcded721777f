// Resource ids of the project grid: its pictures, pop-up menus, preview dialog and texts.
#pragma once

// Page-status pictures of the file column.
#define IDB_NOT_SCANNED 180
#define IDB_SCANNED 183
#define IDB_DIRTY 184
#define IDB_UNREADABLE 187

// Pop-up menus of the grid.
#define IDR_POPUP_GROUP_ACTIONS 154  // "Group Actions..." over several cells of one column
#define IDR_POPUP_FILE_CELL 185      // "View Web Page", "View HTML Source" over a file cell

// The preview of a page's changes.
#define IDD_PREVIEW_CHANGES 147
#define IDC_PREVIEW_SPLITTER 60911
// The buttons that take a way of a page whose charset is in doubt or not known: converted from
// the charset it was read in or from the other its bytes read in, its bytes kept under the new
// declaration; and the one that takes the way taken back.
#define IDC_PREVIEW_CONVERT 2010
#define IDC_PREVIEW_KEEP 2011
#define IDC_PREVIEW_CONVERT_OTHER 2012
#define IDC_PREVIEW_TAKE_BACK 2013

// Texts.
#define IDS_HTML_FILE_HEADER 63002
#define IDS_PREVIEW_MODIFIED 63033
#define IDS_PREVIEW_CURRENT 63034
#define IDS_PREVIEW_REPEATS_TAKEN_OUT 62930
#define IDS_PREVIEW_CONVERTED 62931
#define IDS_PREVIEW_RELABELLED 62932
#define IDS_PREVIEW_UNDECLARED 64000
#define IDS_CHARSET_BY_MARK 64001
#define IDS_CHARSET_DECLARED 64002
#define IDS_CHARSET_BY_BYTES 64003
#define IDS_CHARSET_GUESSED 64004
#define IDS_CHARSET_WEAK_GUESS 64005
#define IDS_PREVIEW_READ_AS 64006
#define IDS_PREVIEW_IN_DOUBT 64007
#define IDS_PREVIEW_TAKE_CONVERT 64008
#define IDS_PREVIEW_TAKE_KEEP 64009
#define IDS_PREVIEW_WOULD_LOSE 64010
#define IDS_PREVIEW_NEITHER 64011
#define IDS_PREVIEW_TAKE_CONVERT_OTHER 64012
#define IDS_PREVIEW_TAKE_BACK_CONVERT 64013
#define IDS_PREVIEW_TAKE_BACK_KEEP 64014
#define IDS_PREVIEW_RELABELLED_OTHER_TEXT 64015
#define IDS_CHARSET_GIVEN 64016
#define IDS_NOT_SCANNED_CELL 63211
#define IDS_SCANNED_CELL 63212
#define IDS_DIRTY_CELL 63213
#define IDS_UNREADABLE_CELL 63214
#define IDS_TEMP_FILE_ERROR 62005
#define IDS_ASK_UNDO_ALL 62525
#define IDS_CANNOT_START_EDITOR 62900
#define IDS_NO_TEXT_EDITOR 62901
#define IDS_EDITOR_FAILED 62902
#define IDS_SOURCE_NOT_SHOWN 62903
#define IDS_FIND_NOT_FOUND_DOWN 62904
#define IDS_FIND_NOT_FOUND_UP 62905
#define IDS_PRINT_PAGE_NUMBER 62906
#define IDS_REPLACED_ONE 62920
#define IDS_REPLACED_MANY 62921
// Said in the status bar, with a beep, when the grid leaves something the user did undone.
#define IDS_PASTE_NO_PAGE_NAMES 62940
#define IDS_PASTE_LEFT_OUT_ONE 62941
#define IDS_PASTE_LEFT_OUT_MANY 62942
#define IDS_EDIT_WAITS_FOR_SCAN 62943
#define IDS_FIELD_NO_PAGE_NAMES 62944
#define IDS_NOT_READ_ONE 62960
#define IDS_NOT_READ_MANY 62961
#define IDS_LEFT_UNREAD_ONE 62967
#define IDS_UNREADABLE_ONE 62962
#define IDS_UNREADABLE_MANY 62963
// A group action: its text in the status bar while it runs, and its name in Undo and Redo.
#define IDS_GROUP_ACTION_RUNNING 62964
#define IDS_GROUP_ACTION_UNDO 62965
#define IDS_FILL_DOWN_RUNNING 62966
#define IDS_KEYWORDS_ADDED 63346
#define IDS_KEYWORDS_REPLACED 63347
#define IDS_KEYWORDS_NONE_CHANGED 63348
#define IDS_KEYWORDS_LEFT 63349
#define IDS_KEYWORDS_LEFT_WITHOUT 63350
#define IDS_KEYWORDS_LEFT_ALREADY 63351
// Said when Undo or Redo cannot show what it would change, and so leaves it as it is.
#define IDS_STEP_OUT_OF_SIGHT 62985
// Said when a key would start typing into a value too long to be typed into.
#define IDS_VALUE_TOO_LONG_TO_TYPE 62970
// What the preview of a page's changes could not show, and why; its text is read-only.
#define IDS_PREVIEW_CANNOT_SHOW 64600
#define IDS_PREVIEW_NOT_A_FILE 64601
#define IDS_PREVIEW_READ_ONLY 64602
// Said in the status bar while the Preview of a page is made ready.
#define IDS_PREVIEW_PREPARING 64603
