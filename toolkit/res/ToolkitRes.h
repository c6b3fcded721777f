// Resource ids of the toolkit's own strings and cursors.
#pragma once

// ---- Docking ----
#define SEC_IDC_HSPLITBAR 30980   // cursor over a splitter moved left and right
#define SEC_IDC_VSPLITBAR 30981   // cursor over a splitter moved up and down
#define SEC_IDS_CLOSE 61457       // the Close item of a floating frame's system menu
#define SEC_IDS_PRESSCTRL 20535   // prompt while a bar is dragged
#define SEC_IDS_HIDEDOCKED 20655
#define SEC_IDS_EXPANDDOCKED 20657
#define SEC_IDS_CONTRACTDOCKED 20658
#define SEC_IDS_ALLOWDOCKING 43040
#define SEC_IDS_HIDE 43041
#define SEC_IDS_FLOATINMAIN 43042

// ---- Toolbars ----
#define SEC_IDS_MENUBAR 20619      // title of the menu bar
#define SEC_IDS_TOOLBARN 20674     // title of a bar the user makes, by its number
#define SEC_IDC_COPYBUTTON 20691   // cursor while a button is dragged as a copy

// ---- Frames ----
#define SEC_IDR_MDIFLOAT 20514    // the window of a bar floating in the main frame's client
