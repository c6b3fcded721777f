// Feeds arbitrary bytes to the parser of a toolbar's saved "Buttons" value: it reads whole
// records only, never past the value, and what it read writes back as exactly the bytes of those
// records, which read the same again.
#include "toolkit/toolbars/SECCustomToolBarInfoEx.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<BYTE> input(data, data + size);
    SECCustomToolBarInfoEx info;
    info.DecodeButtons(input.data(), input.size());
    const std::vector<BYTE> written = info.EncodeButtons();
    Check(written.size() <= input.size());
    Check(std::equal(written.begin(), written.end(), input.begin()));
    SECCustomToolBarInfoEx again;
    again.DecodeButtons(written.data(), written.size());
    Check(again.EncodeButtons() == written);
    return 0;
}
