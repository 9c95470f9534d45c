// Where the main window opens, given what [VENTANA] holds and the screens there are now.
#include "shell/window_placement.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace tolvex {
namespace {

TEST(PlaceWindow, SavedPlaceOnlyOnAScreenThatExists) {
  const WindowRect primary{0, 0, 1920, 1080};
  const WindowRect left_screen{-1280, 56, 1280, 1024};  // a second screen, left of the primary one
  const WindowRect small{0, 0, 1024, 600};
  const WindowRect normal{0, 0, 505, 394};
  struct Case {
    const char* name;
    SavedWindow saved;
    std::optional<WindowRect> fixed;
    std::vector<WindowRect> screens;
    WindowRect expected;
  };
  const Case cases[] = {
      {"nothing saved, Ajustable: a usable size, centred", {}, std::nullopt, {primary}, {560, 240, 800, 600}},
      {"nothing saved, Normal: centred", {}, normal, {primary}, {707, 343, 505, 394}},
      {"saved place and size", {100, 50, 700, 500}, std::nullopt, {primary}, {100, 50, 700, 500}},
      {"fixed modes keep their size", {100, 50, 700, 500}, normal, {primary}, {100, 50, 505, 394}},
      {"on the second screen", {-1000, 300, 640, 480}, std::nullopt, {primary, left_screen}, {-1000, 300, 640, 480}},
      {"second screen gone: centred on the primary", {-1000, 300, 640, 480}, std::nullopt, {primary},
       {640, 300, 640, 480}},
      {"below the last screen", {100, 1200}, normal, {primary}, {707, 343, 505, 394}},
      {"top edge above the screen", {100, -10}, normal, {primary}, {707, 343, 505, 394}},
      {"top edge 40 px above the bottom", {100, 1040}, normal, {primary}, {100, 1040, 505, 394}},
      {"top edge 39 px above the bottom", {100, 1041}, normal, {primary}, {707, 343, 505, 394}},
      {"100 px of the edge on the screen", {1820, 10}, normal, {primary}, {1820, 10, 505, 394}},
      {"99 px of the edge on the screen", {1821, 10}, normal, {primary}, {707, 343, 505, 394}},
      {"mostly off the left edge, 100 px on", {-405, 10}, normal, {primary}, {-405, 10, 505, 394}},
      {"corner without the other key", {100, std::nullopt}, normal, {primary}, {707, 343, 505, 394}},
      {"below the minimum", {10, 10, 200, 100}, std::nullopt, {primary}, {10, 10, 430, 280}},
      {"larger than the screen it opens on", {0, 0, 3000, 2000}, std::nullopt, {small}, {0, 0, 1024, 600}},
      {"larger and centred", {5000, 5000, 3000, 2000}, std::nullopt, {small}, {0, 0, 1024, 600}},
      {"corner near the 32-bit limit", {2147483000, 10}, normal, {primary}, {707, 343, 505, 394}},
      {"no screen at all", {100, 50}, normal, {}, {0, 0, 505, 394}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(place_window(c.saved, c.fixed, c.screens), c.expected) << c.name;
}

}  // namespace
}  // namespace tolvex
