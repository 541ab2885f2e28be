// The header check Outlook makes before it accepts a file, and what else
// makes Outlook refuse or endanger it.
#include "pst/file_facts.h"

#include "outlook/pst_header.h"

namespace pelorin::pst {

namespace {

using outlook::PstCheck;

PstCheck headerCheck(const FileFacts& facts) {
    return outlook::checkPstHeader(facts.head.data(), facts.head.size(),
                                   static_cast<std::uint64_t>(facts.size));
}

bool isOst(const FileFacts& facts) {
    return facts.head.size() >= 10 && facts.head[8] == 'S' && facts.head[9] == 'O';
}

// The reason a header is not accepted, in a few words; empty when it is.
std::wstring problemOf(const FileFacts& facts, PstCheck check) {
    if (outlook::accepted(check)) return {};
    if (check == PstCheck::NotPst && isOst(facts))
        return L"an OST (offline copy of a mailbox), not a PST";
    switch (check) {
    case PstCheck::TooShort: return L"damaged: shorter than a PST header";
    case PstCheck::BadMagic: return L"damaged: no PST signature";
    case PstCheck::BadVersion: return L"damaged: unknown PST version";
    case PstCheck::BadSentinel: return L"damaged: bad header sentinel";
    case PstCheck::BadCrc: return L"damaged: header checksum does not match";
    case PstCheck::BadLength: return L"damaged: length differs from the header (truncated?)";
    default: return L"not a PST";
    }
}

void add(std::wstring& reasons, const std::wstring& reason) {
    if (!reasons.empty()) reasons += L"; ";
    reasons += reason;
}

std::wstring gigabytes(std::int64_t bytes) {
    const auto tenths = bytes * 10 / (1024LL * 1024 * 1024);
    return std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10) + L" GB";
}

// Against Outlook's default limit for the format: a problem at or past it,
// a warning near it.
FileVerdict sizeVerdict(const FileFacts& facts, bool unicode) {
    const std::int64_t limit = unicode ? kUnicodeLimit : kAnsiLimit;
    const std::int64_t warn = unicode ? kUnicodeWarn : kAnsiWarn;
    const std::wstring what =
        std::wstring(unicode ? L"Unicode" : L"ANSI") + L" limit of " + gigabytes(limit);
    if (facts.size >= limit) return {L"size " + gigabytes(facts.size) + L" over the " + what, {}};
    if (facts.size >= warn) return {{}, L"size " + gigabytes(facts.size) + L" near the " + what};
    return {};
}

}  // namespace

std::wstring absenceText(Absence absence) {
    switch (absence) {
    case Absence::FileNotFound: return L"file not found";
    case Absence::FolderNotFound: return L"folder not found (a drive not mapped yet?)";
    case Absence::Unreachable: return L"network path not found (a share that is down?)";
    case Absence::Denied: return L"access denied";
    case Absence::Folder: return L"a folder, not a file";
    case Absence::Unknown: break;
    }
    return L"cannot be reached";
}

std::wstring headerProblem(const FileFacts& facts) {
    return facts.headRead ? problemOf(facts, headerCheck(facts)) : std::wstring();
}

bool insideFolder(const std::wstring& path, const std::wstring& folder) {
    const auto fold = [](wchar_t c) {
        if (c == L'/') return L'\\';
        return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    };
    std::size_t n = folder.size();
    while (n > 0 && fold(folder[n - 1]) == L'\\') --n;
    if (n == 0 || path.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (fold(path[i]) != fold(folder[i])) return false;
    return path.size() == n || fold(path[n]) == L'\\';
}

std::wstring formatOf(const FileFacts& facts) {
    if (!facts.exists || !facts.headRead) return {};
    const PstCheck check = headerCheck(facts);
    if (check == PstCheck::Unicode) return L"Unicode PST";
    if (check == PstCheck::Ansi) return L"ANSI PST";
    if (check == PstCheck::NotPst) return isOst(facts) ? L"OST" : L"not a PST";
    return L"damaged";
}

std::wstring attachRefusal(const FileFacts& facts) {
    if (facts.inUse) return L"in use by another program";
    if (!facts.headRead) return L"cannot be read";
    const PstCheck check = headerCheck(facts);
    if (std::wstring problem = problemOf(facts, check); !problem.empty()) return problem;
    // A Unicode PST past its limit opens (the limit is a setting); an ANSI
    // one cannot grow, and Outlook may damage it.
    if (check == PstCheck::Ansi)
        if (std::wstring size = sizeVerdict(facts, false).problems; !size.empty()) return size;
    if (facts.readOnly) return L"read-only";
    return {};
}

FileVerdict judgeFile(const FileFacts& facts) {
    FileVerdict verdict;
    std::wstring& problems = verdict.problems;
    std::wstring& warnings = verdict.warnings;
    if (!facts.headRead) {
        // A file held without sharing cannot be read either: one reason.
        if (!facts.inUse) add(problems, L"cannot be read");
    } else {
        const PstCheck check = headerCheck(facts);
        if (const std::wstring problem = problemOf(facts, check); !problem.empty()) {
            add(problems, problem);
        } else {
            const FileVerdict size = sizeVerdict(facts, check == PstCheck::Unicode);
            if (!size.problems.empty()) add(problems, size.problems);
            if (!size.warnings.empty()) add(warnings, size.warnings);
        }
    }
    if (facts.readOnly) add(problems, L"read-only");
    if (facts.inUse) add(problems, L"in use by another program");
    if (facts.network)
        add(warnings, L"on a network path (Outlook does not support PSTs on shares)");
    if (facts.oneDrive) add(warnings, L"in a OneDrive-synced folder");
    return verdict;
}

}  // namespace pelorin::pst
