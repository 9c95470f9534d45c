#include "shell/window_placement.h"

#include <algorithm>

namespace tolvex {
namespace {

constexpr std::int32_t kVisibleEdge = 100;
constexpr std::int32_t kVisibleBelowTop = 40;

// 64-bit sums: a hand-edited corner near the 32-bit limits must not overflow.
std::int64_t right_of(const WindowRect& r) { return std::int64_t{r.left} + r.width; }

}  // namespace

bool lies_on_screen(const WindowRect& where, const WindowRect& screen) {
  if (where.top < screen.top || std::int64_t{where.top} > std::int64_t{screen.top} + screen.height - kVisibleBelowTop)
    return false;
  const std::int64_t overlap =
      std::min(right_of(where), right_of(screen)) - std::max<std::int64_t>(where.left, screen.left);
  return overlap >= std::min<std::int64_t>(where.width, kVisibleEdge);
}

WindowRect place_window(const SavedWindow& saved, std::optional<WindowRect> fixed_size,
                        const std::vector<WindowRect>& screens) {
  WindowRect r;
  if (fixed_size) {
    r.width = fixed_size->width;
    r.height = fixed_size->height;
  } else {
    r.width = std::max(saved.ancho.value_or(kAdjustableDefaultWidth), kAdjustableMinWidth);
    r.height = std::max(saved.alto.value_or(kAdjustableDefaultHeight), kAdjustableMinHeight);
  }
  if (screens.empty()) return r;

  const WindowRect* screen = &screens.front();
  bool keep_corner = false;
  if (saved.izquierda && saved.arriba) {
    const WindowRect at{*saved.izquierda, *saved.arriba, r.width, r.height};
    for (const WindowRect& s : screens) {
      if (lies_on_screen(at, s)) {
        screen = &s;
        keep_corner = true;
        break;
      }
    }
  }
  // A size saved on a larger screen (or typed by hand) fits the screen it opens on.
  if (!fixed_size) {
    r.width = std::max(std::min(r.width, screen->width), kAdjustableMinWidth);
    r.height = std::max(std::min(r.height, screen->height), kAdjustableMinHeight);
  }
  if (keep_corner) {
    r.left = *saved.izquierda;
    r.top = *saved.arriba;
  } else {
    r.left = screen->left + (screen->width - r.width) / 2;
    r.top = screen->top + (screen->height - r.height) / 2;
  }
  return r;
}

}  // namespace tolvex
