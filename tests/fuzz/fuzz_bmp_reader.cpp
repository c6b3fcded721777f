// Feeds arbitrary bytes to the BMP reader: it may refuse them, but never read past them or
// allocate what their sizes claim; an image it accepts writes back into a file that reads the
// same again, and a refused file leaves the image already held as it was.
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/core/CMemFile.h"
#include "toolkit/toolbars/SECDib.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

BOOL Load(SECDib& dib, const std::vector<BYTE>& bytes)
{
    CMemFile file;
    if (!bytes.empty())
        file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    file.SeekToBegin();
    return dib.LoadImage(&file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool installed = (HeadlessBackend::Install(), true);
    (void)installed;
    const std::vector<BYTE> input(data, data + size);
    // A small image held before: a refusal must keep it.
    static const std::vector<BYTE> kHeld = [] {
        std::vector<BYTE> f(14 + 40 + 4, 0);
        f[0] = 'B';
        f[1] = 'M';
        f[2] = static_cast<BYTE>(f.size());
        f[10] = 54;
        f[14] = 40;
        f[18] = 1;
        f[22] = 1;
        f[26] = 1;
        f[28] = 24;
        return f;
    }();
    SECDib dib;
    Check(Load(dib, kHeld));
    const std::vector<BYTE> before = dib.ToFileBytes();
    if (!Load(dib, input)) {
        Check(dib.ToFileBytes() == before);
        return 0;
    }
    const std::vector<BYTE> written = dib.ToFileBytes();
    SECDib again;
    Check(Load(again, written));
    Check(again.ToFileBytes() == written);
    return 0;
}
