// Where a control goes for a client size and dpi: anchors and scaling.
#include <gtest/gtest.h>

#include "ui/placement.h"

namespace pelorin::ui {
namespace {

TEST(Placement, AnchorsAndDpiMoveTheDesignRectangle) {
    constexpr Box design{100, 50, 200, 80};
    constexpr Extent designClient{600, 410};
    const struct {
        const char* name;
        Anchor anchor;
        Extent client;
        int dpi;
        Box want;
    } cases[] = {
        {"design size", Anchor::Grows, {600, 410}, 96, design},
        {"fixed", Anchor::Fixed, {800, 500}, 96, design},
        {"right", Anchor::Right, {800, 500}, 96, {300, 50, 400, 80}},
        {"bottom", Anchor::Bottom, {800, 500}, 96, {100, 140, 200, 170}},
        {"corner", Anchor::BottomRight, {800, 500}, 96, {300, 140, 400, 170}},
        {"wide", Anchor::Wide, {800, 500}, 96, {100, 50, 400, 80}},
        {"grows", Anchor::Grows, {800, 500}, 96, {100, 50, 400, 170}},
        {"smaller than design", Anchor::Grows, {300, 200}, 96, design},
        {"144 dpi at its design size", Anchor::BottomRight, {900, 615}, 144, {150, 75, 300, 120}},
        {"144 dpi, wider", Anchor::Right, {1000, 615}, 144, {250, 75, 400, 120}},
        {"120 dpi rounds halves up", Anchor::Fixed, {750, 513}, 120, {125, 63, 250, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(placed(design, c.anchor, DpiScaling::Scale, designClient, c.client, c.dpi),
                  c.want);
    }
    EXPECT_EQ(placed(design, Anchor::Fixed, DpiScaling::None, designClient, {900, 615}, 144),
              design);
}

}  // namespace
}  // namespace pelorin::ui
