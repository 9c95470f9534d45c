#pragma once
// The outline of a skin picture: the polygon that cuts a skinned window to the picture's opaque
// area. Every pixel whose colour differs from the top-left pixel's is opaque; the outline is
// walked around the first opaque area found (holes and islands are not traced) through the
// top-left corners of its boundary pixels, so the polygon covers the area less the pixels along
// its right and bottom edges. Standard C++: the window hands in the picture's rows.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tolvex {

struct OutlinePoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const OutlinePoint&, const OutlinePoint&) = default;
};

// A picture as 24-bit rows: `stride` bytes from one row to the next, 3 bytes (R, G, B) a pixel.
struct RgbPicture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  const std::uint8_t* rows = nullptr;
  std::ptrdiff_t stride = 0;
};

// Where the window system puts the client area inside the window (frame and caption); a
// frameless window uses {-1, -1}, which takes back the one-pixel frame the walk adds.
struct FrameOffset {
  std::int32_t dx = -1;
  std::int32_t dy = -1;
};

struct Outline {
  std::vector<OutlinePoint> points;  // empty: no region (all transparent, or the walk got stuck)
  std::string failure;               // "Unclosed at  c,r" when the walk got stuck, else empty
};

// Builds the outline; the figure closes from the last point back to the first.
Outline build_outline(const RgbPicture& picture, FrameOffset offset = {});

// The walk itself over an occupancy grid given cell by cell (row-major, non-zero = opaque),
// points being cells divided by 3 as for a picture's 3 x 3 blocks. Grids that are not made of
// pixel blocks can leave the walk stuck.
Outline walk_occupancy(std::vector<std::uint8_t> cells, std::int32_t columns, std::int32_t rows, FrameOffset offset = {});

}  // namespace tolvex
