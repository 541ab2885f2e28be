// The check of a personal folders file's header: the header fields Outlook
// looks at before it accepts a file as a store. Portable: bytes in, verdict
// out.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelorin::outlook {

enum class PstCheck {
    Ansi,      // a valid ANSI PST (version 14 or 15)
    Unicode,   // a valid Unicode PST (version 23, 36 or 37)
    TooShort,  // shorter than its header
    BadMagic,  // not "!BDN"
    NotPst,    // a header of another kind: "SO" (OST), "AB" (address book), ...
    BadVersion,
    BadSentinel,
    BadCrc,     // a header CRC does not match
    BadLength,  // ibFileEof is not the file's length
};

inline bool accepted(PstCheck c) { return c == PstCheck::Ansi || c == PstCheck::Unicode; }

// The header's CRC: the reflected CRC-32 table (polynomial 0xEDB88320),
// started at 0 and not inverted at the end.
std::uint32_t pstCrc(const std::uint8_t* data, std::size_t length, std::uint32_t crc = 0);

// The number of bytes the check needs from the start of the file.
inline constexpr std::size_t kPstHeaderBytes = 564;

// A new, empty personal folders file as Outlook writes one for a path that
// does not exist: a Unicode header (version 23) with valid CRCs and
// ibFileEof = `length` (at least the header's 564 bytes), the rest zeros.
std::vector<std::uint8_t> newPstBytes(std::uint64_t length = 8192);

// `head` holds the first min(fileLength, kPstHeaderBytes) bytes of a file.
PstCheck checkPstHeader(const std::uint8_t* head, std::size_t headLength, std::uint64_t fileLength);

}  // namespace pelorin::outlook
