#include "shell/bitmap_region.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tolvex {
namespace {

// A picture drawn in text: '.' has the top-left pixel's colour, any other character is opaque.
struct TextPicture {
  explicit TextPicture(std::vector<std::string> rows) : rows_(std::move(rows)) {
    for (const std::string& row : rows_)
      for (char c : row) {
        const std::uint8_t v = c == '.' ? 0x20 : 0xC0;
        bytes_.insert(bytes_.end(), {v, static_cast<std::uint8_t>(v / 2), 0x10});
      }
  }
  RgbPicture view() const {
    const auto w = static_cast<std::int32_t>(rows_.front().size());
    return {w, static_cast<std::int32_t>(rows_.size()), bytes_.data(), 3 * w};
  }
  std::vector<std::string> rows_;
  std::vector<std::uint8_t> bytes_;
};

// Twice the area of the closed polygon (shoelace).
long long doubled_area(const std::vector<OutlinePoint>& p) {
  long long sum = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const OutlinePoint& a = p[i];
    const OutlinePoint& b = p[(i + 1) % p.size()];
    sum += static_cast<long long>(a.x) * b.y - static_cast<long long>(b.x) * a.y;
  }
  return sum < 0 ? -sum : sum;
}

TEST(BitmapOutline, ThreeByThreeBlockInAFourByFourPicture) {
  const TextPicture picture({"....", ".XXX", ".XXX", ".XXX"});
  const Outline o = build_outline(picture.view(), {0, 0});
  const std::vector<OutlinePoint> expected{{2, 2}, {3, 2}, {4, 2}, {4, 3}, {4, 4}, {3, 4}, {2, 4}, {2, 3}, {2, 2}};
  EXPECT_EQ(o.points, expected);
  EXPECT_TRUE(o.failure.empty());
  EXPECT_EQ(doubled_area(o.points), 2 * 2 * 2);  // 2 x 2 pixels: the right and bottom edges fall outside

  // A frameless window takes back the walk's one-pixel frame; a framed one shifts by its frame.
  EXPECT_EQ(build_outline(picture.view()).points.front(), (OutlinePoint{1, 1}));
  EXPECT_EQ(build_outline(picture.view(), {3, 25}).points.front(), (OutlinePoint{5, 27}));
}

TEST(BitmapOutline, ShapesWithoutArea) {
  struct Case {
    const char* what;
    std::vector<std::string> rows;
    bool has_points;
  };
  const Case cases[] = {
      {"all transparent", {"...", "...", "..."}, false},
      {"single pixel", {"...", ".X.", "..."}, true},
      {"one-pixel line", {".....", ".XXX.", "....."}, true},
      {"one-pixel column", {"...", ".X.", ".X.", ".X.", "..."}, true},
  };
  for (const Case& c : cases) {
    const Outline o = build_outline(TextPicture(c.rows).view());
    EXPECT_EQ(!o.points.empty(), c.has_points) << c.what;
    EXPECT_EQ(doubled_area(o.points), 0) << c.what;
    EXPECT_TRUE(o.failure.empty()) << c.what;
  }
}

TEST(BitmapOutline, OnlyTheFirstAreaIsTracedAndHolesAreKept) {
  // A ring with a hole, and a separate island further down.
  const TextPicture picture({".......", ".XXXXX.", ".X...X.", ".XXXXX.", ".......", "...X...", "......."});
  const Outline o = build_outline(picture.view());
  ASSERT_FALSE(o.points.empty());
  EXPECT_EQ(doubled_area(o.points), 2 * 4 * 2);  // the ring's outer outline, 5 x 3 less right/bottom edges
  for (const OutlinePoint& p : o.points) EXPECT_LE(p.y, 3);
}

TEST(BitmapOutline, AStuckWalkReportsWhereItStopped) {
  // Two cells side by side: from the second, the only way on is back.
  const Outline o = walk_occupancy({0, 1, 1, 0}, 4, 1);
  EXPECT_TRUE(o.points.empty());
  EXPECT_EQ(o.failure, "Unclosed at  2,0");
}

}  // namespace
}  // namespace tolvex
