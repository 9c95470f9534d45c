#pragma once
// Where the main window opens: at the place (and, in "Ajustable", the size) the pilot left it,
// kept in CONFIG.INI's [VENTANA], as long as that place lies on a screen that exists now.
#include <cstdint>
#include <optional>
#include <vector>

namespace tolvex {

struct WindowRect {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const WindowRect&) const = default;
};

// [VENTANA]: IZQUIERDA, ARRIBA (the window's outer top-left corner, every mode) and ANCHO, ALTO
// (the inner size of the "Ajustable" window). A key missing or unusable is nullopt.
struct SavedWindow {
  std::optional<std::int32_t> izquierda, arriba, ancho, alto;
};

inline constexpr std::int32_t kAdjustableMinWidth = 430, kAdjustableMinHeight = 280;
inline constexpr std::int32_t kAdjustableDefaultWidth = 800, kAdjustableDefaultHeight = 600;

// A window at `where` lies on `screen` when its top edge is on it, at least 40 px above its
// bottom, with at least 100 px of that edge (its whole width when narrower) on the screen: enough
// to see it and grab its caption.
bool lies_on_screen(const WindowRect& where, const WindowRect& screen);

// The rectangle to open at. `fixed_size` is the skin's size in "Normal", "Medio" and "Grande";
// without it ("Ajustable") the size is the saved one or 800 x 600, at least 430 x 280 and at most
// the screen. The saved corner is used when the window placed there lies on one of `screens`;
// otherwise the window is centred on the first screen (the primary one). No screens: at 0, 0.
WindowRect place_window(const SavedWindow& saved, std::optional<WindowRect> fixed_size,
                        const std::vector<WindowRect>& screens);

}  // namespace tolvex
