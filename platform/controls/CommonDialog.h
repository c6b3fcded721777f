// What the common dialogs share: the extended error of the last one that failed, and the ids of
// the controls in their templates (which a caller's own template must keep for them to work).
#pragma once

#include "platform/core/Types.h"

// ---- CommDlgExtendedError ----
#define CDERR_DIALOGFAILURE 0xFFFF
#define CDERR_GENERALCODES 0x0000
#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define CDERR_NOTEMPLATE 0x0003
#define CDERR_NOHINSTANCE 0x0004
#define CDERR_LOADSTRFAILURE 0x0005
#define CDERR_FINDRESFAILURE 0x0006
#define CDERR_LOADRESFAILURE 0x0007
#define CDERR_LOCKRESFAILURE 0x0008
#define CDERR_MEMALLOCFAILURE 0x0009
#define CDERR_MEMLOCKFAILURE 0x000A
#define CDERR_NOHOOK 0x000B
#define CDERR_REGISTERMSGFAIL 0x000C
#define PDERR_SETUPFAILURE 0x1001
#define PDERR_PARSEFAILURE 0x1002
#define PDERR_RETDEFFAILURE 0x1003
#define PDERR_NODEVICES 0x1007
#define PDERR_CREATEICFAILURE 0x100A
#define PDERR_PRINTERNOTFOUND 0x100B
#define FNERR_SUBCLASSFAILURE 0x3001
#define FNERR_INVALIDFILENAME 0x3002
#define FNERR_BUFFERTOOSMALL 0x3003
#define FRERR_BUFFERLENGTHZERO 0x4001

// Why the last common dialog of this thread failed or was cancelled: 0 after a cancel or a
// success, else one of the codes above.
DWORD CommDlgExtendedError();

// ---- Control ids of the common dialogs' templates ----
#define chx1 0x0410
#define chx2 0x0411
#define rad1 0x0420
#define rad2 0x0421
#define rad3 0x0422
#define grp1 0x0430
#define grp2 0x0431
#define grp3 0x0432
#define grp4 0x0433
#define stc1 0x0440
#define stc2 0x0441
#define stc3 0x0442
#define stc4 0x0443
#define stc5 0x0444
#define lst1 0x0460
#define lst2 0x0461
#define cmb1 0x0470
#define cmb2 0x0471
#define edt1 0x0480
#define edt2 0x0481
#define edt3 0x0482
#define edt4 0x0483
#define edt5 0x0484
#define edt6 0x0485
#define edt7 0x0486
#define psh1 0x0400
#define psh2 0x0401
#define pshHelp 0x040E
