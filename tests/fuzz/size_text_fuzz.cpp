// Fuzzes the size text: any 64-bit length gives plain decimal text (digits,
// at most one separator, no trailing zero after it, at most 15 significant
// digits) that reads back within rounding of length / 1024.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "pstlist/pst_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9) return 0;
    std::int64_t bytes;
    std::memcpy(&bytes, data, sizeof bytes);
    if (bytes < 0) bytes = -(bytes + 1);  // lengths are never negative
    const wchar_t sep = (data[8] & 1) ? L',' : L'.';
    const std::wstring text = pelorin::pstlist::sizeText(bytes, sep);
    if (text.empty()) __builtin_trap();
    int seps = 0, digits = 0;
    bool leading = true;
    for (wchar_t c : text) {
        if (c == sep) {
            ++seps;
            continue;
        }
        if (c < L'0' || c > L'9') __builtin_trap();
        if (c != L'0') leading = false;
        if (!leading) ++digits;
    }
    if (seps > 1) __builtin_trap();
    if (seps == 1 && (text.back() == L'0' || text.back() == sep)) __builtin_trap();
    std::string narrow(text.begin(), text.end());
    for (char& c : narrow)
        if (c == ',') c = '.';
    const double shown = std::strtod(narrow.c_str(), nullptr);
    const double exact = static_cast<double>(bytes) / 1024.0;
    if (std::fabs(shown - exact) > std::fabs(exact) * 1e-14 + 1e-300) __builtin_trap();
    (void)digits;
    return 0;
}
