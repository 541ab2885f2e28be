// Wildcards in the last part of a path: what matches (whole long names, case
// ignored) and which paths are refused (a wildcard in a folder's name).
#include <gtest/gtest.h>

#include "pst/name_pattern.h"

namespace pelorin::test {
namespace {

TEST(NamePattern, MatchesWholeNamesIgnoringCase) {
    const struct {
        const wchar_t *pattern, *name;
        bool matches;
    } cases[] = {
        {L"*.pst", L"A.PST", true},
        {L"*.pst", L"a.pstx", false},  // as an 8.3 name would
        {L"?.pst", L"ab.pst", false},
        {L"a?c.pst", L"abc.pst", true},
        {L"*a*b", L"abab", true},
        {L"*a*b", L"abba", false},
        {L"*", L"", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pst::nameMatches(c.pattern, c.name), c.matches) << c.pattern << L" " << c.name;
}

TEST(NamePattern, OnlyTheLastPartMayHoldAWildcard) {
    const struct {
        const wchar_t* path;
        bool pattern, refused;  // a wildcard in the last part, in a folder's name
    } cases[] = {
        {L"D:\\Archive\\*.pst", true, false},
        {L"D:\\Archive\\2019.pst", false, false},
        {L"D:\\A?\\b/*.pst", true, true},
        {L"\\\\?\\D:\\Archive\\a.pst", false, false},
        {L"\\\\?\\UNC\\server\\sh*re\\?.pst", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pst::isPattern(c.path), c.pattern) << c.path;
        EXPECT_EQ(!pst::patternProblem(c.path).empty(), c.refused) << c.path;
    }
}

}  // namespace
}  // namespace pelorin::test
