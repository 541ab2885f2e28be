// Personal folders files for tests and the demo: a header good enough for the
// stand-in's check (magic, client, version, sentinel, CRCs, length), in the
// ANSI or the Unicode layout, and the ways such files go wrong.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pelorin::test {

enum class PstLayout { Ansi, Unicode };

struct PstShape {
    PstLayout layout = PstLayout::Unicode;
    std::uint16_t version = 0;    // 0: 14 for ANSI, 23 for Unicode
    char client[2] = {'S', 'M'};  // "SO" makes an OST
    std::uint64_t length = 8192;  // the whole file, recorded as ibFileEof
};

// The header's CRC (reflected 0xEDB88320, started at 0, not inverted).
std::uint32_t pstHeaderCrc(const std::uint8_t* data, std::size_t length);

std::vector<std::uint8_t> pstBytes(const PstShape& shape = {});

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Writes a valid file; gives its path.
std::filesystem::path writePst(const std::filesystem::path& path, const PstShape& shape = {});

// The first 1024 bytes of a sound PST `size` bytes long (its header records
// that length): with a file extended to `size`, a big PST without its bytes.
std::vector<std::uint8_t> pstHeaderRecording(PstLayout layout, std::uint64_t size);

}  // namespace pelorin::test
