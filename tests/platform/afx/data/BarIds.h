// Ids of the bar tests' resources.
#pragma once

#define IDS_CMD_OPEN 0x8101
#define IDS_CMD_SAVE 0x8102
#define IDS_INDICATOR_LONG 0x8103
#define IDS_MISSING 0x81FF
#define IDR_MAINBAR 0x8200
#define IDD_FINDBAR 0x8201
#define IDC_FIND_TEXT 0x8202
#define ID_CMD_FIND 0x8203
