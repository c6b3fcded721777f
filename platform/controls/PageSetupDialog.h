// The page-setup dialog: paper size, orientation and margins for the PDF printer, with a
// sample page drawn to scale, in thousandths of inches or hundredths of millimetres.
#pragma once

#include "platform/controls/CommonDialog.h"
#include "platform/controls/PrinterSettings.h"
#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

#define PSD_DEFAULTMINMARGINS 0x00000000
#define PSD_INWININIINTLMEASURE 0x00000000
#define PSD_MINMARGINS 0x00000001
#define PSD_MARGINS 0x00000002
#define PSD_INTHOUSANDTHSOFINCHES 0x00000004
#define PSD_INHUNDREDTHSOFMILLIMETERS 0x00000008
#define PSD_DISABLEMARGINS 0x00000010
#define PSD_DISABLEPRINTER 0x00000020
#define PSD_NOWARNING 0x00000080
#define PSD_DISABLEORIENTATION 0x00000100
#define PSD_RETURNDEFAULT 0x00000400
#define PSD_DISABLEPAPER 0x00000200
#define PSD_SHOWHELP 0x00000800
#define PSD_ENABLEPAGESETUPHOOK 0x00002000
#define PSD_ENABLEPAGESETUPTEMPLATE 0x00008000
#define PSD_ENABLEPAGESETUPTEMPLATEHANDLE 0x00020000
#define PSD_ENABLEPAGEPAINTHOOK 0x00040000
#define PSD_DISABLEPAGEPAINTING 0x00080000
#define PSD_NONETWORKBUTTON 0x00200000

typedef UINT_PTR(CALLBACK* LPPAGESETUPHOOK)(HWND, UINT, WPARAM, LPARAM);
typedef UINT_PTR(CALLBACK* LPPAGEPAINTHOOK)(HWND, UINT, WPARAM, LPARAM);

struct PAGESETUPDLG {
    DWORD lStructSize;
    HWND hwndOwner;
    HGLOBAL hDevMode;      // in and out, as PrintDlg's
    HGLOBAL hDevNames;
    DWORD Flags;
    POINT ptPaperSize;     // out: the sheet as printed (landscape swaps the sides)
    RECT rtMinMargin;      // with PSD_MINMARGINS, the smallest margins accepted; else out: 0
    RECT rtMargin;         // with PSD_MARGINS, the margins shown first; out: the chosen ones
    HINSTANCE hInstance;
    LPARAM lCustData;
    LPPAGESETUPHOOK lpfnPageSetupHook;   // hooks and custom templates are not offered
    LPPAGEPAINTHOOK lpfnPagePaintHook;
    LPCSTR lpPageSetupTemplateName;
    HGLOBAL hPageSetupTemplate;
};
typedef PAGESETUPDLG* LPPAGESETUPDLG;

// Runs the dialog (or, with PSD_RETURNDEFAULT, fills empty blocks with the defaults). Values
// are in the unit the flags name; with neither unit flag, thousandths of inches, and that flag
// is set on return. Margins that overlap or leave the sheet, or fall below the minimum, are
// refused with a message and the dialog stays open. FALSE on Cancel (CommDlgExtendedError 0)
// or an error (CDERR_STRUCTSIZE, CDERR_NOHOOK, CDERR_NOTEMPLATE, PDERR_RETDEFFAILURE,
// CDERR_MEMALLOCFAILURE).
BOOL PageSetupDlg(LPPAGESETUPDLG lppsd);
