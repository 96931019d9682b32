// Reading a number from arbitrary text: never crashes, and the value is
// either finite or the text is reported as too large.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "format/number_text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const numtext::ReadResult r = numtext::ReadNumber(text);
    if (!std::isfinite(r.value)) std::abort();
    if (r.overflow && r.value != 0) std::abort();
    if (r.value == 0 && std::signbit(r.value)) std::abort();
    return 0;
}
