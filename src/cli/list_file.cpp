#include "cli/list_file.h"

#include "base/text.h"

namespace pelorin::cli {

namespace {

std::wstring decodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
    }
    if constexpr (sizeof(wchar_t) == 2) {
        return std::wstring(units.begin(), units.end());
    } else {
        std::wstring out;  // UTF-32: pairs joined
        for (std::size_t i = 0; i < units.size(); ++i) {
            char32_t c = units[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                units[i + 1] <= 0xDFFF)
                c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
            out.push_back(static_cast<wchar_t>(c));
        }
        return out;
    }
}

std::wstring trimmed(const std::wstring& line) {
    const auto first = line.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    std::wstring t = line.substr(first, line.find_last_not_of(L" \t") - first + 1);
    if (t.size() >= 2 && t.front() == L'"' && t.back() == L'"') t = t.substr(1, t.size() - 2);
    return t;
}

}  // namespace

std::wstring decodeText(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) return decodeUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF")) return decodeUtf16(bytes.substr(2), true);
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return fromUtf8(bytes);
}

std::wstring expandVariables(const std::wstring& text, const VariableLookup& lookup) {
    std::wstring out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find(L'%', i);
        const std::size_t close = open == std::wstring::npos ? open : text.find(L'%', open + 1);
        if (close == std::wstring::npos) break;
        out.append(text, i, open - i);
        const auto value =
            close > open + 1 ? lookup(text.substr(open + 1, close - open - 1)) : std::nullopt;
        if (value) {
            out += *value;
            i = close + 1;
        } else {
            // Not a variable: the first '%' stays, the second may open one.
            out += L'%';
            i = open + 1;
        }
    }
    return out + text.substr(i);
}

std::vector<std::wstring> listFilePaths(std::string_view bytes, const VariableLookup& lookup) {
    const std::wstring text = decodeText(bytes);
    std::vector<std::wstring> paths;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = trimmed(text.substr(start, end - start));
        if (!line.empty() && line[0] != L'#') paths.push_back(expandVariables(line, lookup));
        start = end + 1;
    }
    return paths;
}

}  // namespace pelorin::cli
