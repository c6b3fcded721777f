// The print and print-setup dialogs of the one printer this layer has, "PDF file": its output
// file, the paper and orientation, the page range and the copies, handed back in the caller's
// PRINTDLG and its DEVMODE and DEVNAMES blocks (PrinterSettings.h).
#pragma once

#include "platform/controls/CommonDialog.h"
#include "platform/controls/PrintDialogTypes.h"
#include "platform/controls/PrinterSettings.h"
#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

// The ids the print and print-setup dialogs' help is asked for by.
#define PRINTDLGORD 1538
#define PRNSETUPDLGORD 1539

// Runs the print dialog, or the print-setup dialog with PD_PRINTSETUP, or with
// PD_RETURNDEFAULT fills empty blocks with the defaults without showing anything. TRUE on OK
// with the choices in Flags (PD_SELECTION, PD_PAGENUMS, PD_COLLATE), the page range, the
// copies (in the DEVMODE with PD_USEDEVMODECOPIES, else in nCopies) and the blocks. FALSE on
// Cancel (CommDlgExtendedError 0) or an error (CDERR_STRUCTSIZE, CDERR_NOHOOK,
// CDERR_NOTEMPLATE, PDERR_RETDEFFAILURE when PD_RETURNDEFAULT finds blocks already there,
// CDERR_MEMALLOCFAILURE, PDERR_CREATEICFAILURE when PD_RETURNDC or PD_RETURNIC cannot make
// the printer's device context). With PD_RETURNDC or PD_RETURNIC, hDC is a PDF printer device
// context for the chosen settings, writing to the chosen file; the caller deletes it.
BOOL PrintDlg(LPPRINTDLG lppd);
