#include "support/pst_files.h"

#include <fstream>
#include <stdexcept>

namespace pelorin::test {

namespace {
void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
}  // namespace

// Bit by bit on purpose: the stand-in uses a table, so the two can disagree.
std::uint32_t pstHeaderCrc(const std::uint8_t* data, std::size_t length) {
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc;
}

std::vector<std::uint8_t> pstBytes(const PstShape& shape) {
    const bool unicode = shape.layout == PstLayout::Unicode;
    const std::size_t header = unicode ? 564 : 512;
    if (shape.length < header) throw std::invalid_argument("a PST is at least its header");
    std::vector<std::uint8_t> b(static_cast<std::size_t>(shape.length), 0);
    b[0] = '!', b[1] = 'B', b[2] = 'D', b[3] = 'N';
    b[8] = static_cast<std::uint8_t>(shape.client[0]);
    b[9] = static_cast<std::uint8_t>(shape.client[1]);
    const std::uint16_t version = shape.version ? shape.version : (unicode ? 23 : 14);
    b[10] = static_cast<std::uint8_t>(version), b[11] = static_cast<std::uint8_t>(version >> 8);
    b[12] = 19;  // wVerClient
    b[14] = 1;   // bPlatformCreate
    b[15] = 1;   // bPlatformAccess
    if (unicode) {
        put32(b, 184, static_cast<std::uint32_t>(shape.length));
        put32(b, 188, static_cast<std::uint32_t>(shape.length >> 32));
        b[512] = 0x80;  // bSentinel
        b[513] = 1;     // bCryptMethod: permute
    } else {
        put32(b, 168, static_cast<std::uint32_t>(shape.length));
        b[460] = 0x80;
        b[461] = 1;
    }
    put32(b, 4, pstHeaderCrc(b.data() + 8, 471));
    if (unicode) put32(b, 524, pstHeaderCrc(b.data() + 8, 516));
    return b;
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write a test file");
}

std::filesystem::path writePst(const std::filesystem::path& path, const PstShape& shape) {
    writeBytes(path, pstBytes(shape));
    return path;
}

// The header of a file `size` bytes long: a small file's header with the
// big length recorded in it and its CRCs made again.
std::vector<std::uint8_t> pstHeaderRecording(PstLayout layout, std::uint64_t size) {
    PstShape shape{layout};
    shape.length = 1024;
    auto b = pstBytes(shape);
    const bool unicode = layout == PstLayout::Unicode;
    const auto put = [&](std::size_t at, int bytes, std::uint64_t v) {
        for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(unicode ? 184 : 168, unicode ? 8 : 4, size);
    put(4, 4, pstHeaderCrc(b.data() + 8, 471));
    if (unicode) put(524, 4, pstHeaderCrc(b.data() + 8, 516));
    return b;
}

}  // namespace pelorin::test
