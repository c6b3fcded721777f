// Ids of the bar tests' resources.
#pragma once

#define IDS_CMD_OPEN 0x8101
#define IDS_CMD_SAVE 0x8102
#define IDS_INDICATOR_LONG 0x8103
#define IDS_MISSING 0x81FF
