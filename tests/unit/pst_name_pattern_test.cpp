// Wildcards in the last part of a path: what matches (whole long names, case
// ignored) and which paths are refused (a wildcard in a folder's name).
#include <gtest/gtest.h>

#include "pst/name_pattern.h"

namespace pelorin::test {
namespace {

struct MatchCase {
    const wchar_t* pattern;
    const wchar_t* name;
    bool matches;
};

TEST(NamePattern, MatchesWholeNamesIgnoringCase) {
    const MatchCase cases[] = {
        {L"*.pst", L"a.pst", true},
        {L"*.pst", L"a.pstx", false},  // what an 8.3 name would let through
        {L"*.pst", L"A.PST", true},
        {L"*.pst", L".pst", true},
        {L"*.pst", L"a.pst.bak", false},
        {L"?.pst", L"ab.pst", false},
        {L"?.pst", L".pst", false},
        {L"a?c.pst", L"abc.pst", true},
        {L"*a*b*", L"xxaxxbxx", true},
        {L"*a*b", L"abab", true},
        {L"*a*b", L"abba", false},
        {L"2019-*", L"2019-", true},
        {L"*", L"", true},
        {L"a", L"b", false},
    };
    for (const MatchCase& c : cases)
        EXPECT_EQ(pst::nameMatches(c.pattern, c.name), c.matches) << c.pattern << L" " << c.name;
}

struct PathCase {
    const wchar_t* path;
    bool pattern;  // a wildcard in the last part
    bool refused;  // one in a folder's name
};

TEST(NamePattern, OnlyTheLastPartMayHoldAWildcard) {
    const PathCase cases[] = {
        {L"D:\\Archive\\*.pst", true, false},
        {L"D:\\Archive\\2019.pst", false, false},
        {L"D:\\Arch*\\2019.pst", false, true},
        {L"D:\\A?\\b\\*.pst", true, true},
        {L"D:/Archive/*.pst", true, false},
        {L"\\\\?\\D:\\Archive\\a.pst", false, false},
        {L"\\\\?\\D:\\Archive\\?.pst", true, false},
        {L"\\\\?\\UNC\\server\\share\\*.pst", true, false},
        {L"\\\\?\\UNC\\server\\sh?re\\a.pst", false, true},
        {L"*.pst", true, false},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(pst::isPattern(c.path), c.pattern) << c.path;
        EXPECT_EQ(!pst::patternProblem(c.path).empty(), c.refused) << c.path;
    }
}

}  // namespace
}  // namespace pelorin::test
