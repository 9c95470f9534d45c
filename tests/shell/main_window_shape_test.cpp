// The skinned window: its outline, dragging by the skin, and the adjustable mode.
#include <QMouseEvent>

#include "shell/main_window_fixture.h"

namespace tolvex::test {
namespace {

TEST_F(MainWindowTest, FixedModesAreCutToTheSkin) {
  start(default_config("SIZE=0\r\n"));
  const QRegion mask = window->mask();
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(window->size(), QSize(505, 394));
  EXPECT_TRUE(mask.contains(QPoint(252, 197)));   // the map panel
  EXPECT_TRUE(mask.contains(QPoint(30, 2)));      // the panel's top edge, past the cut corner
  for (const QPoint corner : {QPoint(0, 0), QPoint(8, 8), QPoint(500, 3), QPoint(3, 390), QPoint(501, 390)})
    EXPECT_FALSE(mask.contains(corner)) << corner.x() << "," << corner.y();
  EXPECT_FALSE(mask.contains(QPoint(504, 200)));  // the outline leaves out the rightmost column

  // "Grande" then back to "Normal" without a restart.
  for (const auto& [mode, size] : {std::pair{2, QSize(1000, 700)}, std::pair{0, QSize(505, 394)}}) {
    window->cfg.mapsize = mode;
    window->apply_size_mode();
    window->SetTheRegion();
    EXPECT_EQ(window->size(), size);
    EXPECT_EQ(window->mask().boundingRect(), QRect(QPoint(0, 0), size - QSize(1, 1)));
    EXPECT_EQ(window->fondo->geometry().topLeft(), mode == 2 ? QPoint(35, 46) : QPoint(51, 55));
  }
}

TEST_F(MainWindowTest, DraggingTheSkinMovesTheWindowAndTheMapDoesNot) {
  start(default_config("SIZE=0\r\n"));
  QWidget* skin = window->centralWidget();
  const auto drag = [](QWidget* w, QPoint from, QPoint by) {
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QTest::mouseMove(w, from + by);
    QTest::mouseRelease(w, Qt::LeftButton, {}, from + by);
  };
  const QPoint start_at = window->pos();
  drag(window->fondo, QPoint(100, 100), QPoint(40, 30));
  EXPECT_EQ(window->pos(), start_at);
  drag(skin, QPoint(20, 200), QPoint(40, 30));  // left of the map panel
  EXPECT_EQ(window->pos(), start_at + QPoint(40, 30));
}

TEST_F(MainWindowTest, AdjustableModeIsAnOrdinaryWindow) {
  start(default_config("SIZE=3\r\n"));
  EXPECT_TRUE(window->mask().isEmpty());
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(window->minimumSize(), QSize(430, 280));
  EXPECT_EQ(window->size(), QSize(800, 600)) << "a usable size, not the minimum";
  EXPECT_FALSE(window->cerrar_apli->isVisibleTo(window.get()));
  window->resize(900, 600);
  QApplication::processEvents();
  EXPECT_EQ(window->fondo->geometry(), window->centralWidget()->rect());
}

// [VENTANA]: the window opens where it was closed (and, in "Ajustable", at that size) when that
// place is on the screen (Xvfb's 1280 x 1024), and is written back at close.
TEST_F(MainWindowTest, WindowOpensWhereThePilotLeftIt) {
  struct Case {
    const char* name;
    std::string config;
    QPoint at;
    QSize size;
    const char* written;  // [VENTANA] after moving by (20, 10) and closing
  };
  const Case cases[] = {
      {"Ajustable", "SIZE=3\r\n[VENTANA]\r\nIZQUIERDA=100\r\nARRIBA=50\r\nANCHO=700\r\nALTO=500\r\n",
       {100, 50}, {700, 500}, "[VENTANA]\r\nIZQUIERDA=120\r\nARRIBA=60\r\nANCHO=700\r\nALTO=500\r\n"},
      {"Normal keeps ANCHO and ALTO", "SIZE=0\r\n[VENTANA]\r\nIZQUIERDA=30\r\nARRIBA=40\r\nANCHO=700\r\nALTO=500\r\n",
       {30, 40}, {505, 394}, "[VENTANA]\r\nIZQUIERDA=50\r\nARRIBA=50\r\nANCHO=700\r\nALTO=500\r\n"},
      {"off every screen: centred", "SIZE=3\r\n[VENTANA]\r\nIZQUIERDA=3000\r\nARRIBA=50\r\nANCHO=600\r\nALTO=400\r\n",
       {340, 312}, {600, 400}, "[VENTANA]\r\nIZQUIERDA=360\r\nARRIBA=322\r\nANCHO=600\r\nALTO=400\r\n"},
      {"nothing saved", "SIZE=1\r\n", {240, 232}, {800, 560}, "[VENTANA]\r\nIZQUIERDA=260\r\nARRIBA=242\r\n"},
  };
  for (const Case& c : cases) {
    start(default_config(c.config));
    EXPECT_EQ(window->pos(), c.at) << c.name;
    EXPECT_EQ(window->size(), c.size) << c.name;
    window->move(window->pos() + QPoint(20, 10));
    window->close();
    const std::string text = folder.read("CONFIG.INI");
    EXPECT_NE(text.find(c.written), std::string::npos) << c.name << "\n" << text;
    window.reset();
  }
}

}  // namespace
}  // namespace tolvex::test
