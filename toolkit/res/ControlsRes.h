// Resource ids of the toolkit controls' own strings and cursors (list, tree, tabs, splash).
#pragma once

#define IDC_SEC_COLUMN_SIZE 20692    // over a column divider of the list's header
#define IDS_SEC_SPLASHWND 20661      // the splash window's title when none is given
#define IDS_SEC_SPLASHPARENT 20662   // the splash window's hidden owner
