// A test suite run once per harness kind (the headless toolkit, and the
// real window under Wine): `h` is fresh for every test. Instantiate with
// PELORIN_FOR_EACH_HARNESS(Suite).
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/harness.h"
#include "support/rows.h"

namespace pelorin::test {

class HarnessTest : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override { h = makeHarness(GetParam()); }
    ui::Toolkit& ui() { return h->ui(); }
    ui::ListView& list() { return h->ui().pstList(); }
    std::vector<std::wstring> texts() { return rowTexts(list()); }

    std::unique_ptr<Harness> h;
};

}  // namespace pelorin::test

#define PELORIN_FOR_EACH_HARNESS(Suite)                                                        \
    INSTANTIATE_TEST_SUITE_P(Kinds, Suite, testing::ValuesIn(::pelorin::test::harnessKinds()), \
                             [](const auto& info) { return info.param; })
