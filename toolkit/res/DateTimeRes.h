// Resource ids of the calendar, date-time, calculator and currency widgets and their grid cells.
#pragma once

// Strings: the cells' choice lists and the calculator's texts.
#define GX_IDS_DTNOEDIT 20060
#define GX_IDS_DTVALIDATION 20061
#define GX_IDS_DTFORMATTYPE 20062
#define GX_IDS_CURNEGFORMATS 20064
#define GX_IDS_CURPOSFORMATS 20065
#define GX_IDS_CALCENTER 20124
#define GX_IDS_CALCERROR 20125
// Strings: names of the cells' user attributes.
#define GX_IDS_UA_DTNOEDIT 51034
#define GX_IDS_UA_DTMIN 51035
#define GX_IDS_UA_DTMAX 51036
#define GX_IDS_UA_DTVALIDATION 51037
#define GX_IDS_UA_DTFORMATTYPE 51038
#define GX_IDS_UA_DTCUSTOMFORMAT 51039
#define GX_IDS_UA_DTFASTINPUT 51044
#define GX_IDS_UA_CURSEPARATORS 51045
#define GX_IDS_UA_CURATTRIBUTES 51046
#define GX_IDS_UA_CURPOSFORMAT 51047
#define GX_IDS_UA_CURNEGFORMAT 51048
#define GX_IDS_UA_CURINTDIGITS 51049
#define GX_IDS_UA_CURFRACDIGITS 51050
#define GX_IDS_UA_CURSYMBOL 51054

// Bitmaps (the grid's drop-down arrow 20028 comes with the grid's own resources).
#define GX_IDB_CALCBUTTON 20036
#define GX_IDB_CALCENTER 20037
#define SEC_IDB_DTDROPDOWN 23000

// The calendars' navigation commands.
#define SEC_IDC_CAL_NEXTMONTH 20520
#define SEC_IDC_CAL_PREVYEAR 20521
#define SEC_IDC_CAL_NEXTYEAR 20522
#define SEC_IDC_CAL_PREVMONTH 20523
#define GX_IDC_CAL_NEXTMONTH 20029
#define GX_IDC_CAL_PREVYEAR 20030
#define GX_IDC_CAL_NEXTYEAR 20031
#define GX_IDC_CAL_PREVMONTH 20032
