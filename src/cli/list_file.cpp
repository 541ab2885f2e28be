#include "cli/list_file.h"

#include <cstdint>

#include "base/text.h"

namespace pelorin::cli {

namespace {

using Decoded = std::variant<std::wstring, ListProblem>;

// The 1-based line a position of the text lies on; "\r\n", "\r" and "\n"
// each end one line.
template <typename Text>
std::size_t lineAt(const Text& text, std::size_t pos) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < pos && i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
            ++line;
    return line;
}

ListProblem atLine(std::size_t line, const std::wstring& what) {
    return {L"line " + std::to_wstring(line) + L" " + what};
}

std::wstring fromUnits(const std::u16string& units) {
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

Decoded decodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
    }
    if (bytes.size() % 2) return atLine(lineAt(units, units.size()), L"ends in half a character");
    return fromUnits(units);
}

// Where the bytes stop being UTF-8 (overlong forms, surrogates and code points
// past U+10FFFF included); npos when they are UTF-8 throughout.
std::size_t firstNonUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const int more = c < 0x80                 ? 0
                         : c >= 0xC2 && c <= 0xDF ? 1
                         : (c & 0xF0) == 0xE0     ? 2
                         : c >= 0xF0 && c <= 0xF4 ? 3
                                                  : -1;
        if (more < 0 || (more > 0 && i + more >= bytes.size())) return i;
        std::uint32_t cp = more == 0 ? c : c & (0x3F >> more);
        for (int k = 1; k <= more; ++k) {
            const auto t = static_cast<unsigned char>(bytes[i + k]);
            if ((t & 0xC0) != 0x80) return i;
            cp = cp << 6 | (t & 0x3F);
        }
        if ((more == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (more == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return i;
        i += more + 1;
    }
    return std::string_view::npos;
}

// UTF-16 without a byte-order mark, as `cmd /u` writes it: its NULs are the
// zero halves of characters, many and nearly all on one side of each pair
// (a stray NUL in other text is not that). 0: not UTF-16 by that pattern;
// 1: little-endian; 2: big-endian.
int utf16Pattern(std::string_view bytes) {
    std::size_t even = 0, odd = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0') ++(i % 2 ? odd : even);
    const std::size_t pairs = bytes.size() / 2;
    const auto dominant = [&](std::size_t side, std::size_t other) {
        return side > 0 && side * 4 >= pairs && other * 4 < side;
    };
    if (bytes.size() % 2) return 0;
    return dominant(odd, even) ? 1 : dominant(even, odd) ? 2 : 0;
}

Decoded decode(std::string_view bytes, ListEncoding encoding, const CodePageDecoder& codePage) {
    if (bytes.starts_with("!BDN")) return ListProblem{L"it is a PST file, not a list of paths"};
    if (bytes.starts_with("\xFF\xFE")) return decodeUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF")) return decodeUtf16(bytes.substr(2), true);
    if (bytes.find('\0') != std::string_view::npos) {
        if (const int pattern = utf16Pattern(bytes)) return decodeUtf16(bytes, pattern == 2);
        return ListProblem{L"it holds NUL bytes; it is not a list of paths"};
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    } else if (encoding != ListEncoding::Auto) {
        const wchar_t* name = encoding == ListEncoding::Ansi ? L"ANSI" : L"OEM";
        if (auto text = codePage(bytes, encoding)) return std::move(*text);
        return ListProblem{std::wstring(L"it is not text in the ") + name + L" code page"};
    }
    if (const std::size_t bad = firstNonUtf8(bytes); bad != std::string_view::npos)
        return atLine(lineAt(bytes, bad),
                      L"is neither UTF-8 nor UTF-16: save the list as UTF-8, or name its code "
                      L"page with --list-encoding ansi or --list-encoding oem");
    return fromUtf8(bytes);
}

std::wstring trimmed(const std::wstring& line) {
    const auto first = line.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    std::wstring t = line.substr(first, line.find_last_not_of(L" \t") - first + 1);
    if (t.size() >= 2 && t.front() == L'"' && t.back() == L'"') t = t.substr(1, t.size() - 2);
    return t;
}

// A name between two '%' that the shell would look up: not empty, no path
// separator, no '='. "100%\a%b" holds none.
bool variableName(const std::wstring& name) {
    return !name.empty() && name.find_first_of(L"\\/:=") == std::wstring::npos;
}

// The line with %NAME% replaced by its value; a problem when a variable is
// not defined or is empty (the line would name another place than meant).
std::variant<ListLine, ListProblem> expandLine(ListLine line, const VariableLookup& lookup) {
    const std::wstring text = line.path;
    std::wstring out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find(L'%', i);
        const std::size_t close = open == std::wstring::npos ? open : text.find(L'%', open + 1);
        if (close == std::wstring::npos) break;
        out.append(text, i, open - i);
        const std::wstring name = text.substr(open + 1, close - open - 1);
        if (!variableName(name)) {
            out += L'%';  // the first '%' stays, the second may open a variable
            i = open + 1;
            continue;
        }
        const std::optional<std::wstring> value = lookup(name);
        if (!value || value->empty())
            return atLine(line.number,
                          L"uses %" + name + L"%, which is " + (value ? L"empty" : L"not defined"));
        out += *value;
        line.viaVariables = true;
        i = close + 1;
    }
    line.path = out + text.substr(i);
    return line;
}

std::wstring codePoint(wchar_t c) {
    static const wchar_t hex[] = L"0123456789ABCDEF";
    std::wstring out = L"U+";
    for (int shift = 12; shift >= 0; shift -= 4) out += hex[(c >> shift) & 0xF];
    return out;
}

bool isControl(wchar_t c) { return (c < 0x20 && c != L'\t') || (c >= 0x7F && c <= 0x9F); }

}  // namespace

ListRead readList(std::string_view bytes, ListEncoding encoding, const CodePageDecoder& decodePage,
                  const VariableLookup& lookup) {
    Decoded decoded = decode(bytes, encoding, decodePage);
    if (auto* problem = std::get_if<ListProblem>(&decoded)) return std::move(*problem);
    const std::wstring& text = std::get<std::wstring>(decoded);
    std::vector<ListLine> lines;
    std::size_t start = 0, number = 1;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring raw = text.substr(start, end - start);
        for (wchar_t c : raw)
            if (isControl(c))
                return atLine(number, L"holds a control character (" + codePoint(c) + L")");
        const std::wstring line = trimmed(raw);
        if (!line.empty() && line[0] != L'#') {
            auto expanded = expandLine(ListLine{number, line, false}, lookup);
            if (auto* problem = std::get_if<ListProblem>(&expanded)) return std::move(*problem);
            lines.push_back(std::move(std::get<ListLine>(expanded)));
        }
        start = end + (end + 1 < text.size() && text[end] == L'\r' && text[end + 1] == L'\n') + 1;
        ++number;
    }
    return lines;
}

}  // namespace pelorin::cli
