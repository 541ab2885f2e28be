#include "outlook/pst_header.h"

#include <array>

namespace pelorin::outlook {

namespace {

constexpr std::array<std::uint32_t, 256> makeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}
constexpr auto kTable = makeTable();

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint64_t le64(const std::uint8_t* p) { return le32(p) | std::uint64_t(le32(p + 4)) << 32; }

// Offsets of the fields that differ between the two header layouts.
struct Layout {
    std::size_t size, eof, eofBytes, sentinel;
};
constexpr Layout kAnsi{512, 168, 4, 460};
constexpr Layout kUnicode{564, 184, 8, 512};

}  // namespace

std::uint32_t pstCrc(const std::uint8_t* data, std::size_t length, std::uint32_t crc) {
    for (std::size_t i = 0; i < length; ++i) crc = kTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

std::vector<std::uint8_t> newPstBytes(std::uint64_t length) {
    if (length < kUnicode.size) length = kUnicode.size;
    std::vector<std::uint8_t> b(static_cast<std::size_t>(length), 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = '!', b[1] = 'B', b[2] = 'D', b[3] = 'N';
    b[8] = 'S', b[9] = 'M';
    b[10] = 23;  // wVer: Unicode
    b[12] = 19;  // wVerClient
    b[14] = 1;   // bPlatformCreate
    b[15] = 1;   // bPlatformAccess
    put32(kUnicode.eof, static_cast<std::uint32_t>(length));
    put32(kUnicode.eof + 4, static_cast<std::uint32_t>(length >> 32));
    b[kUnicode.sentinel] = 0x80;
    b[kUnicode.sentinel + 1] = 1;  // bCryptMethod: permute
    put32(4, pstCrc(b.data() + 8, 471));
    put32(524, pstCrc(b.data() + 8, 516));
    return b;
}

PstCheck checkPstHeader(const std::uint8_t* head, std::size_t headLength,
                        std::uint64_t fileLength) {
    // Both layouts share the first 12 bytes: magic, partial CRC, client, version.
    if (headLength < 12) return PstCheck::TooShort;
    if (head[0] != '!' || head[1] != 'B' || head[2] != 'D' || head[3] != 'N')
        return PstCheck::BadMagic;
    if (head[8] != 'S' || head[9] != 'M') return PstCheck::NotPst;
    const unsigned version = head[10] | head[11] << 8;
    bool unicode;
    if (version == 14 || version == 15)
        unicode = false;
    else if (version == 23 || version == 36 || version == 37)
        unicode = true;
    else
        return PstCheck::BadVersion;

    const Layout& l = unicode ? kUnicode : kAnsi;
    if (headLength < l.size || fileLength < l.size) return PstCheck::TooShort;
    if (head[l.sentinel] != 0x80) return PstCheck::BadSentinel;
    if (pstCrc(head + 8, 471) != le32(head + 4)) return PstCheck::BadCrc;
    if (unicode && pstCrc(head + 8, 516) != le32(head + 524)) return PstCheck::BadCrc;
    const std::uint64_t eof = l.eofBytes == 8 ? le64(head + l.eof) : le32(head + l.eof);
    if (eof != fileLength) return PstCheck::BadLength;
    return unicode ? PstCheck::Unicode : PstCheck::Ansi;
}

}  // namespace pelorin::outlook
