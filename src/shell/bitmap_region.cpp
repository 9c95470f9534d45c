#include "shell/bitmap_region.h"

#include <cstring>
#include <utility>

namespace tolvex {
namespace {

// The occupancy grid: every pixel of the picture, with a one-pixel transparent frame around it,
// becomes a block of 3 x 3 cells. One allocation, filled row by row.
class CellGrid {
 public:
  CellGrid(std::vector<std::uint8_t> cells, std::int32_t columns, std::int32_t rows)
      : columns_(columns), rows_(rows), cells_(std::move(cells)) {
    for (std::uint8_t& cell : cells_) cell = cell ? 1 : 0;
  }

  explicit CellGrid(const RgbPicture& picture)
      : columns_(3 * (picture.width + 2)), rows_(3 * (picture.height + 2)),
        cells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0) {
    const std::uint8_t* first = picture.rows;
    std::vector<std::uint8_t> pixel_row(static_cast<std::size_t>(columns_));
    for (std::int32_t y = 0; y < picture.height; ++y) {
      const std::uint8_t* source = picture.rows + y * picture.stride;
      std::memset(pixel_row.data(), 0, pixel_row.size());
      bool any = false;
      for (std::int32_t x = 0; x < picture.width; ++x) {
        const std::uint8_t* p = source + 3 * x;
        if (p[0] != first[0] || p[1] != first[1] || p[2] != first[2]) {
          std::uint8_t* block = pixel_row.data() + 3 * (x + 1);
          block[0] = block[1] = block[2] = 1;
          any = true;
        }
      }
      if (!any) continue;
      for (std::int32_t i = 0; i < 3; ++i)
        std::memcpy(&cells_[static_cast<std::size_t>(3 * (y + 1) + i) * columns_], pixel_row.data(), pixel_row.size());
    }
  }

  bool opaque(std::int32_t c, std::int32_t r) const {
    if (c < 0 || r < 0 || c >= columns_ || r >= rows_) return false;
    return (cells_[index(c, r)] & 1) != 0;
  }

  // Counts one more entry into an opaque cell; false once the walk has come back so often that
  // it must be going round a loop that misses its start (its state has repeated by then).
  bool enter(std::int32_t c, std::int32_t r) {
    std::uint8_t& cell = cells_[index(c, r)];
    if (cell >= kMostEntries) return false;
    cell = static_cast<std::uint8_t>(cell + 2);
    return true;
  }

  // An opaque cell with at least one of its eight neighbours not opaque.
  bool boundary(std::int32_t c, std::int32_t r) const {
    if (!opaque(c, r)) return false;
    for (std::int32_t dr = -1; dr <= 1; ++dr)
      for (std::int32_t dc = -1; dc <= 1; ++dc)
        if ((dr || dc) && !opaque(c + dc, r + dr)) return true;
    return false;
  }

  std::size_t cell_count() const { return cells_.size(); }

  // First opaque cell scanning rows from the top, columns from the left.
  bool first_opaque(std::int32_t& c, std::int32_t& r) const {
    for (std::size_t i = 0; i < cells_.size(); ++i) {
      if (cells_[i] & 1) {
        c = static_cast<std::int32_t>(i % static_cast<std::size_t>(columns_));
        r = static_cast<std::int32_t>(i / static_cast<std::size_t>(columns_));
        return true;
      }
    }
    return false;
  }

 private:
  // Bit 0: opaque; the bits above it count the walk's entries into the cell. The walk's state
  // is the cell with its two predecessors among its neighbours: more entries than that means a loop.
  static constexpr std::uint8_t kMostEntries = 2 * 40;

  std::size_t index(std::int32_t c, std::int32_t r) const {
    return static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(c);
  }

  std::int32_t columns_;
  std::int32_t rows_;
  std::vector<std::uint8_t> cells_;
};

struct Cell {
  std::int32_t c = 0;
  std::int32_t r = 0;
  friend bool operator==(const Cell&, const Cell&) = default;
};

Outline walk(CellGrid& grid, FrameOffset offset) {
  Outline out;
  Cell start;
  if (!grid.first_opaque(start.c, start.r)) return out;

  std::vector<OutlinePoint>& points = out.points;
  points.reserve(grid.cell_count() / 9 + 1);  // one point per pixel of the framed picture at most
  points.push_back({start.c / 3, start.r / 3});

  Cell current = start;
  if (grid.opaque(start.c + 1, start.r))
    current = {start.c + 1, start.r};
  else if (grid.opaque(start.c, start.r + 1))
    current = {start.c, start.r + 1};
  Cell previous = start;
  Cell before_previous{0, 0};

  for (;;) {
    const Cell candidates[4] = {{current.c, current.r - 1},
                                {current.c + 1, current.r},
                                {current.c, current.r + 1},
                                {current.c - 1, current.r}};
    const Cell* next = nullptr;
    for (const Cell& k : candidates) {
      if (k == previous || k == before_previous) continue;
      if (grid.boundary(k.c, k.r)) {
        next = &k;
        break;
      }
    }
    if (!next || !grid.enter(next->c, next->r)) {
      out.points.clear();
      out.failure = "Unclosed at  " + std::to_string(current.c) + "," + std::to_string(current.r);
      return out;
    }
    if (*next == start) break;
    const OutlinePoint p{next->c / 3, next->r / 3};
    if (!(p == points.back())) points.push_back(p);
    before_previous = previous;
    previous = current;
    current = *next;
  }

  points.shrink_to_fit();
  for (OutlinePoint& p : points) {
    p.x += offset.dx;
    p.y += offset.dy;
  }
  return out;
}

}  // namespace

Outline build_outline(const RgbPicture& picture, FrameOffset offset) {
  if (picture.width <= 0 || picture.height <= 0 || !picture.rows) return {};
  CellGrid grid(picture);
  return walk(grid, offset);
}

Outline walk_occupancy(std::vector<std::uint8_t> cells, std::int32_t columns, std::int32_t rows, FrameOffset offset) {
  if (columns <= 0 || rows <= 0 || cells.size() != static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows))
    return {};
  CellGrid grid(std::move(cells), columns, rows);
  return walk(grid, offset);
}

}  // namespace tolvex
