// The PDF printer's settings and the blocks that carry them.
#include "platform/controls/PrinterSettings.h"

#include "platform/core/UserDirs.h"

#include <cmath>
#include <cstring>
#include <cstdlib>

namespace {

const PaperSize kPapers[] = {
    {DMPAPER_LETTER, "Letter", 2159, 2794},   {DMPAPER_LEGAL, "Legal", 2159, 3556},
    {DMPAPER_EXECUTIVE, "Executive", 1842, 2667}, {DMPAPER_TABLOID, "Tabloid", 2794, 4318},
    {DMPAPER_A3, "A3", 2970, 4200},           {DMPAPER_A4, "A4", 2100, 2970},
    {DMPAPER_A5, "A5", 1480, 2100},           {DMPAPER_B5, "B5 (JIS)", 1820, 2570},
};

constexpr char kDriver[] = "PDF";

} // namespace

std::span<const PaperSize> PaperSizes()
{
    return kPapers;
}

const PaperSize* FindPaperSize(short id)
{
    for (const PaperSize& p : kPapers)
        if (p.id == id)
            return &p;
    return nullptr;
}

PrinterSettings PrinterSettings::Defaults()
{
    PrinterSettings s;
    const std::string home = GetUserHomeDir();
    s.output = (home.empty() ? std::string("/tmp") : home) + "/output.pdf";
    return s;
}

PrinterSettings PrinterSettings::From(HGLOBAL devMode, HGLOBAL devNames)
{
    PrinterSettings s = Defaults();
    if (devMode && GlobalSize(devMode) >= sizeof(DEVMODE)) {
        if (const auto* dm = static_cast<const DEVMODE*>(GlobalLock(devMode))) {
            if (dm->dmSize == sizeof(DEVMODE)) {
                if ((dm->dmFields & DM_PAPERSIZE) && FindPaperSize(dm->dmPaperSize))
                    s.paper = dm->dmPaperSize;
                if ((dm->dmFields & DM_ORIENTATION) &&
                    (dm->dmOrientation == DMORIENT_PORTRAIT || dm->dmOrientation == DMORIENT_LANDSCAPE))
                    s.orientation = dm->dmOrientation;
                if ((dm->dmFields & DM_COPIES) && dm->dmCopies >= 1)
                    s.copies = dm->dmCopies;
                if (dm->dmFields & DM_COLLATE)
                    s.collate = dm->dmCollate == DMCOLLATE_TRUE;
            }
            GlobalUnlock(devMode);
        }
    }
    const SIZE_T size = devNames ? GlobalSize(devNames) : 0;
    if (size > sizeof(DEVNAMES)) {
        if (const auto* dn = static_cast<const DEVNAMES*>(GlobalLock(devNames))) {
            const char* base = reinterpret_cast<const char*>(dn);
            // The output string must lie inside the block and end in it.
            if (dn->wOutputOffset >= sizeof(DEVNAMES) && dn->wOutputOffset < size) {
                const char* out = base + dn->wOutputOffset;
                const size_t room = size - dn->wOutputOffset;
                const size_t length = strnlen(out, room);
                if (length < room && length > 0 && out[0] == '/')
                    s.output.assign(out, length);
            }
            GlobalUnlock(devNames);
        }
    }
    return s;
}

bool PrinterSettings::To(HGLOBAL& devMode, HGLOBAL& devNames) const
{
    if (!devMode || GlobalSize(devMode) < sizeof(DEVMODE)) {
        if (devMode)
            GlobalFree(devMode);
        devMode = GlobalAlloc(GHND, sizeof(DEVMODE));
    }
    auto* dm = devMode ? static_cast<DEVMODE*>(GlobalLock(devMode)) : nullptr;
    if (!dm)
        return false;
    std::memset(dm, 0, sizeof(DEVMODE));
    std::strncpy(dm->dmDeviceName, kPdfPrinterName, CCHDEVICENAME - 1);
    dm->dmSpecVersion = 0x0401;
    dm->dmSize = sizeof(DEVMODE);
    dm->dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES | DM_COLLATE | DM_FORMNAME;
    dm->dmOrientation = orientation;
    dm->dmPaperSize = paper;
    const PaperSize* p = FindPaperSize(paper);
    dm->dmPaperWidth = p ? p->widthTenthsMm : 0;
    dm->dmPaperLength = p ? p->lengthTenthsMm : 0;
    dm->dmScale = 100;
    dm->dmCopies = copies;
    dm->dmCollate = collate ? DMCOLLATE_TRUE : DMCOLLATE_FALSE;
    if (p)
        std::strncpy(dm->dmFormName, p->name, CCHFORMNAME - 1);
    GlobalUnlock(devMode);

    const size_t size = sizeof(DEVNAMES) + sizeof kDriver + sizeof kPdfPrinterName + output.size() + 1;
    if (size > 0xFFFF)
        return false;
    if (!devNames || GlobalSize(devNames) < size) {
        if (devNames)
            GlobalFree(devNames);
        devNames = GlobalAlloc(GHND, size);
    }
    auto* dn = devNames ? static_cast<DEVNAMES*>(GlobalLock(devNames)) : nullptr;
    if (!dn)
        return false;
    char* base = reinterpret_cast<char*>(dn);
    std::memset(base, 0, size);
    size_t at = sizeof(DEVNAMES);
    dn->wDriverOffset = static_cast<WORD>(at);
    std::memcpy(base + at, kDriver, sizeof kDriver);
    at += sizeof kDriver;
    dn->wDeviceOffset = static_cast<WORD>(at);
    std::memcpy(base + at, kPdfPrinterName, sizeof kPdfPrinterName);
    at += sizeof kPdfPrinterName;
    dn->wOutputOffset = static_cast<WORD>(at);
    std::memcpy(base + at, output.c_str(), output.size() + 1);
    dn->wDefault = DN_DEFAULTPRN;
    GlobalUnlock(devNames);
    return true;
}

SIZE PrinterSettings::PaperTenthsMm() const
{
    const PaperSize* p = FindPaperSize(paper);
    SIZE s{p ? p->widthTenthsMm : 2159, p ? p->lengthTenthsMm : 2794};
    if (orientation == DMORIENT_LANDSCAPE)
        std::swap(s.cx, s.cy);
    return s;
}

LONG FromTenthsMm(LONG tenths, MarginUnit unit)
{
    if (unit == MarginUnit::HundredthsOfMillimetres)
        return tenths * 10;
    return static_cast<LONG>(std::lround(tenths * 1000.0 / 254.0));
}

std::string FormatMargin(LONG value, MarginUnit unit)
{
    char text[32];
    if (unit == MarginUnit::ThousandthsOfInches)
        std::snprintf(text, sizeof text, "%.2f", value / 1000.0);
    else
        std::snprintf(text, sizeof text, "%.1f", value / 100.0);
    return text;
}

std::optional<LONG> ParseMargin(const std::string& text, MarginUnit unit)
{
    std::string t;
    for (char c : text)
        if (c != ' ')
            t += c == ',' ? '.' : c;
    if (t.empty() || t.size() > 12)
        return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (!end || *end != '\0' || !std::isfinite(v) || v < 0 || t[0] == '-' || t[0] == '+')
        return std::nullopt;
    const double scaled = v * (unit == MarginUnit::ThousandthsOfInches ? 1000.0 : 100.0);
    if (scaled > 1e6)
        return std::nullopt;
    return static_cast<LONG>(std::lround(scaled));
}
