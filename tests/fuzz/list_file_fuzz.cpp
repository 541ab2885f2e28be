// Fuzzes the list-file reader over every encoding: the first byte picks
// Auto, ANSI or OEM, the rest is the file. Any bytes give paths or a refusal
// without a crash; a path is never empty and never holds a control character
// (a NUL would cut it short at the Windows calls).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cli/list_file.h"

using namespace pelorin::cli;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const ListEncoding encoding = static_cast<ListEncoding>(data[0] % 3);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    // A code page where 0x81 has no character; every other byte is Latin-1.
    const CodePageDecoder codePage = [](std::string_view text,
                                        ListEncoding) -> std::optional<std::wstring> {
        std::wstring out;
        for (char c : text) {
            if (static_cast<unsigned char>(c) == 0x81) return std::nullopt;
            out += static_cast<wchar_t>(static_cast<unsigned char>(c));
        }
        return out;
    };
    const VariableLookup lookup = [](const std::wstring& name) -> std::optional<std::wstring> {
        if (name == L"A") return L"C:\\a";
        if (name == L"E") return L"";
        return std::nullopt;
    };
    const ListRead read = readList(bytes, encoding, codePage, lookup);
    if (const auto* problem = std::get_if<ListProblem>(&read)) {
        if (problem->message.empty()) __builtin_trap();
        return 0;
    }
    std::size_t last = 0;
    for (const ListLine& line : std::get<std::vector<ListLine>>(read)) {
        if (line.path.empty() || line.number <= last) __builtin_trap();
        last = line.number;
        for (wchar_t c : line.path)
            if ((c < 0x20 && c != L'\t') || (c >= 0x7F && c <= 0x9F)) __builtin_trap();
    }
    return 0;
}
