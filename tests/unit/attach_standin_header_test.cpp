// The stand-in Outlook's check of a personal folders file header, against
// files made by the test generator (which computes its CRCs independently).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "outlook/pst_header.h"
#include "support/pst_files.h"

namespace {

using pelorin::outlook::PstCheck;
using pelorin::test::PstLayout;
using pelorin::test::PstShape;
using Bytes = std::vector<std::uint8_t>;

PstCheck check(const Bytes& file) {
    const std::size_t head = std::min(file.size(), pelorin::outlook::kPstHeaderBytes);
    return pelorin::outlook::checkPstHeader(file.data(), head, file.size());
}

PstShape shape(PstLayout layout, std::uint16_t version = 0, const char* client = "SM",
               std::uint64_t length = 8192) {
    PstShape s;
    s.layout = layout;
    s.version = version;
    s.client[0] = client[0];
    s.client[1] = client[1];
    s.length = length;
    return s;
}

Bytes damaged(Bytes b, const std::function<void(Bytes&)>& change) {
    change(b);
    return b;
}

// Sets bytes and fixes both CRCs again, so only the changed field is wrong.
Bytes rewritten(PstLayout layout, std::size_t at, std::vector<std::uint8_t> value) {
    Bytes b = pelorin::test::pstBytes(shape(layout));
    std::copy(value.begin(), value.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    const std::uint32_t partial = pelorin::test::pstHeaderCrc(b.data() + 8, 471);
    std::memcpy(b.data() + 4, &partial, 4);
    if (layout == PstLayout::Unicode) {
        const std::uint32_t full = pelorin::test::pstHeaderCrc(b.data() + 8, 516);
        std::memcpy(b.data() + 524, &full, 4);
    }
    return b;
}

TEST(StandinHeader, AcceptsEveryKnownVersionAndRefusesTheRest) {
    const Bytes ansi = pelorin::test::pstBytes(shape(PstLayout::Ansi));
    const Bytes unicode = pelorin::test::pstBytes(shape(PstLayout::Unicode));
    struct Case {
        const char* name;
        Bytes file;
        PstCheck expected;
    } cases[] = {
        {"ANSI 14", ansi, PstCheck::Ansi},
        {"ANSI 15", pelorin::test::pstBytes(shape(PstLayout::Ansi, 15)), PstCheck::Ansi},
        {"ANSI, header only", pelorin::test::pstBytes(shape(PstLayout::Ansi, 14, "SM", 512)),
         PstCheck::Ansi},
        {"Unicode 23", unicode, PstCheck::Unicode},
        {"Unicode 36", pelorin::test::pstBytes(shape(PstLayout::Unicode, 36)), PstCheck::Unicode},
        {"Unicode 37", pelorin::test::pstBytes(shape(PstLayout::Unicode, 37)), PstCheck::Unicode},
        {"Unicode over 4 GiB length field", rewritten(PstLayout::Unicode, 188, {1, 0, 0, 0}),
         PstCheck::BadLength},
        {"OST", pelorin::test::pstBytes(shape(PstLayout::Unicode, 23, "SO")), PstCheck::NotPst},
        {"address book", pelorin::test::pstBytes(shape(PstLayout::Ansi, 14, "AB")),
         PstCheck::NotPst},
        {"unknown version 16", rewritten(PstLayout::Ansi, 10, {16, 0}), PstCheck::BadVersion},
        {"ANSI layout claiming Unicode", rewritten(PstLayout::Ansi, 10, {23, 0}),
         PstCheck::BadSentinel},
        {"no sentinel", rewritten(PstLayout::Unicode, 512, {0}), PstCheck::BadSentinel},
        {"empty file", Bytes{}, PstCheck::TooShort},
        {"not a PST at all", Bytes(4096, 'x'), PstCheck::BadMagic},
        {"zlib-style CRC",
         damaged(ansi,
                 [](Bytes& b) {
                     const std::uint32_t wrong = ~pelorin::test::pstHeaderCrc(b.data() + 8, 471);
                     std::memcpy(b.data() + 4, &wrong, 4);
                 }),
         PstCheck::BadCrc},
        // A byte inside the partial CRC's range, and one only the full CRC covers.
        {"flipped byte in the header", damaged(unicode, [](Bytes& b) { b[100] ^= 0x01; }),
         PstCheck::BadCrc},
        {"flipped byte past 479", damaged(unicode, [](Bytes& b) { b[500] ^= 0x40; }),
         PstCheck::BadCrc},
        {"flipped byte in the body is not checked",
         damaged(ansi, [](Bytes& b) { b[4000] ^= 0xFF; }), PstCheck::Ansi},
        {"truncated", damaged(unicode, [](Bytes& b) { b.resize(4096); }), PstCheck::BadLength},
        {"truncated inside the header", damaged(unicode, [](Bytes& b) { b.resize(530); }),
         PstCheck::TooShort},
        {"grown", damaged(ansi, [](Bytes& b) { b.resize(9000); }), PstCheck::BadLength},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(check(c.file), c.expected) << c.name;
    }
}

// The new, empty file the stand-in writes for a missing path: accepted by
// the check, its CRCs the same as the independent bitwise ones, byte for
// byte the test generator's Unicode file.
TEST(StandinHeader, NewEmptyFilesPassTheCheck) {
    for (std::uint64_t length : {564ull, 8192ull, 271360ull}) {
        const Bytes file = pelorin::outlook::newPstBytes(length);
        EXPECT_EQ(check(file), PstCheck::Unicode) << length;
        EXPECT_EQ(file, pelorin::test::pstBytes({PstLayout::Unicode, 23, {'S', 'M'}, length}))
            << length;
    }
}

}  // namespace
