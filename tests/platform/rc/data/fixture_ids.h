// Ids of the fixture script; C++ around the definitions is skipped by the compiler.
#pragma once

#define IDD_FIXTURE 100
#define IDR_FIXTURE 100            // the menu shares the dialog's id
#define IDR_FIXTURE_EX (IDR_FIXTURE + 1)
#define IDC_NAME 1001
#define IDC_KIND 1002
#define IDC_LIST 1003
#define IDC_SCROLL 1004
#define IDC_CUSTOM 1005
#define IDC_CHECK 1006
#define IDC_RADIO 1007
#define IDB_STRIP 200
#define IDI_APP 201
#define IDC_DRAG 202
#define ID_FILE_OPEN 0xE101
#define ID_FILE_SAVE 0xE103
#define ID_APP_EXIT 0xE141
#define ID_VIEW_BIG 32800
#define IDS_FIRST 63012
#define IDS_SECOND 63013
#define IDS_OTHER_BLOCK 7

#ifndef RC_INVOKED
inline int NotSeenByTheCompiler() { return "#define"[0]; }
#endif
