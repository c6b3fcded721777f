// The one printer of this layer, "PDF file", and the records the print and page-setup dialogs
// exchange with callers: DEVMODE (paper, orientation, copies) and DEVNAMES (driver, device and
// output, the output being the PDF file's path), in moveable global blocks; the paper sizes it
// offers; and margin values in the two units callers use.
#pragma once

#include "platform/controls/PrintDialogTypes.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/GdiTypes.h"
#include "platform/core/Types.h"

#include <optional>
#include <span>
#include <string>

// DEVMODE and its DM_ flags are the window layer's (GdiTypes.h), DEVNAMES the dialogs' records'.
#ifndef DM_FORMNAME
#define DM_FORMNAME 0x00010000L
#endif
#define DMCOLLATE_FALSE 0
#define DMCOLLATE_TRUE 1
#ifndef DMPAPER_TABLOID
#define DMPAPER_TABLOID 3
#endif
#ifndef DMPAPER_EXECUTIVE
#define DMPAPER_EXECUTIVE 7
#endif
#ifndef DMPAPER_A3
#define DMPAPER_A3 8
#endif
#ifndef DMPAPER_B5
#define DMPAPER_B5 13
#endif

// The name of the printer that writes PDF files.
constexpr char kPdfPrinterName[] = "PDF file";

struct PaperSize {
    short id;              // DMPAPER_…
    const char* name;
    short widthTenthsMm;   // portrait
    short lengthTenthsMm;
};
std::span<const PaperSize> PaperSizes();
const PaperSize* FindPaperSize(short id);

// The settings the dialogs show, read from and written to the callers' blocks.
struct PrinterSettings {
    short paper = DMPAPER_LETTER;
    short orientation = DMORIENT_PORTRAIT;
    short copies = 1;
    bool collate = false;
    std::string output;   // the PDF file written

    // Defaults: Letter, portrait, one copy, "output.pdf" in the home folder.
    static PrinterSettings Defaults();
    // Reads what the blocks hold over the defaults; a block too small or of another size is
    // ignored rather than trusted.
    static PrinterSettings From(HGLOBAL devMode, HGLOBAL devNames);
    // Writes the blocks, reusing the caller's when there are, else allocating moveable ones.
    // False when memory runs out.
    bool To(HGLOBAL& devMode, HGLOBAL& devNames) const;

    // The paper's size as printed (landscape swaps the sides), in tenths of a millimetre.
    SIZE PaperTenthsMm() const;
};

// Margin units.
enum class MarginUnit { ThousandthsOfInches, HundredthsOfMillimetres };
// Tenths of a millimetre in the unit, rounded.
LONG FromTenthsMm(LONG tenths, MarginUnit unit);
// A value in the unit as the dialogs show it: inches with two decimals, millimetres with one.
std::string FormatMargin(LONG value, MarginUnit unit);
// Reads what a person typed ("1", "0.75", "1,5", "25.4"); nothing for text that is not a
// number or is negative.
std::optional<LONG> ParseMargin(const std::string& text, MarginUnit unit);
