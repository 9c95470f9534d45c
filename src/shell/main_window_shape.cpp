// The window's shape: the skin of each fixed-size mode, the outline that cuts the window to it,
// and the layout of the four size modes.
#include <QGuiApplication>
#include <QPolygon>
#include <QRegion>
#include <QScreen>
#include <QToolButton>

#include "shell/bitmap_region.h"
#include "shell/main_window.h"
#include "shell/skin_surface_widget.h"
#include "shell/window_placement.h"

namespace tolvex {
namespace {

// Client size, map panel and title buttons of the "Normal", "Medio" and "Grande" windows.
struct SizeMode {
  QSize client;
  QRect fondo;
  int about_left, minimise_left, close_left, buttons_top;
};
constexpr int kFixedModes = 3;
const SizeMode kSizeModes[kFixedModes] = {
    {{505, 394}, {51, 55, 401, 281}, 412, 429, 446, 27},
    {{800, 560}, {33, 36, 736, 462}, 718, 735, 752, 15},
    {{1000, 700}, {35, 46, 919, 575}, 912, 929, 946, 20},
};

bool fixed_mode(std::int32_t mapsize) { return mapsize >= 0 && mapsize < kFixedModes; }

WindowRect window_rect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// The screens as they are now, the primary one first.
std::vector<WindowRect> screen_rects() {
  std::vector<WindowRect> rects;
  if (const QScreen* primary = QGuiApplication::primaryScreen()) rects.push_back(window_rect(primary->geometry()));
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen != QGuiApplication::primaryScreen()) rects.push_back(window_rect(screen->geometry()));
  return rects;
}

}  // namespace

void MainWindow::load_skins() {
  const QString folder = QString::fromStdString(page_files_folder) + QStringLiteral("skins/");
  Image1a = QImage(folder + QStringLiteral("normal.png"));
  Image2 = QImage(folder + QStringLiteral("medio.png"));
  Image3 = QImage(folder + QStringLiteral("grande.png"));
}

void MainWindow::SetTheRegion() {
  if (cfg.mapsize > 2) return;
  if (Image1.isNull()) {
    clearMask();
    return;
  }
  const QImage rgb = Image1.convertToFormat(QImage::Format_RGB888);
  // The window is frameless in these modes: its client area is the whole window.
  const Outline outline = build_outline({rgb.width(), rgb.height(), rgb.constBits(), rgb.bytesPerLine()}, FrameOffset{-1, -1});
  if (!outline.failure.empty()) mostrar_mensaje(QString::fromStdString(outline.failure));
  if (outline.points.empty()) {
    clearMask();  // no region: the window keeps its full rectangle
  } else {
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(outline.points.size()));
    for (const OutlinePoint& p : outline.points) polygon << QPoint(p.x, p.y);
    setMask(QRegion(polygon, Qt::OddEvenFill));
  }
  update();
}

void MainWindow::apply_size_mode() {
  const bool fixed = fixed_mode(cfg.mapsize);
  // Fixed modes are frameless (the skin is the frame); a change of frame hides the window.
  if (fixed != windowFlags().testFlag(Qt::FramelessWindowHint)) {
    const bool shown = isVisible();
    setWindowFlag(Qt::FramelessWindowHint, fixed);
    if (shown) show();
  }
  // At start-up the window opens where the pilot left it; a later change of mode recentres it.
  std::optional<WindowRect> placed;
  if (!placement_done_) {
    const std::optional<WindowRect> skin_size =
        fixed ? std::optional<WindowRect>(WindowRect{0, 0, kSizeModes[cfg.mapsize].client.width(),
                                                     kSizeModes[cfg.mapsize].client.height()})
              : std::nullopt;
    placed = place_window(cfg.ventana, skin_size, screen_rects());
  }
  if (fixed) {
    const SizeMode& mode = kSizeModes[cfg.mapsize];
    const QImage* skins[kFixedModes] = {&Image1a, &Image2, &Image3};
    Image1 = *skins[cfg.mapsize];
    surface_->set_skin(Image1);
    surface_->set_drags_window(true);
    setMinimumSize(0, 0);
    setFixedSize(Image1.isNull() ? mode.client : Image1.size());
    fondo->setGeometry(mode.fondo);
    acercade_apli->move(mode.about_left, mode.buttons_top);
    minimizar_apli->move(mode.minimise_left, mode.buttons_top);
    cerrar_apli->move(mode.close_left, mode.buttons_top);
    for (QToolButton* b : {acercade_apli, minimizar_apli, cerrar_apli}) b->show();
  } else {
    // "Ajustable": an ordinary sizeable window without skin, whose map panel fills it.
    Image1 = QImage();
    surface_->set_skin(Image1);
    surface_->set_drags_window(false);
    clearMask();
    // Sized before the minimum is set: the minimum alone would leave it at 430 x 280.
    const bool was_fixed = minimumSize() == maximumSize();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (placed)
      resize(placed->width, placed->height);
    else if (was_fixed)
      resize(kAdjustableDefaultWidth, kAdjustableDefaultHeight);
    setMinimumSize(kAdjustableMinWidth, kAdjustableMinHeight);
    fondo->setGeometry(centralWidget()->rect());
    for (QToolButton* b : {acercade_apli, minimizar_apli, cerrar_apli}) b->hide();
  }
  if (placed)
    move(placed->left, placed->top);
  else
    centre_on_screen();
}

void MainWindow::remember_placement() {
  // A maximised window is remembered at its normal place and size, corner of the frame included.
  const bool normal = !(isMaximized() || isFullScreen());
  const QRect inner = normal ? geometry() : normalGeometry();
  const QPoint corner = inner.topLeft() - (geometry().topLeft() - pos());
  cfg.ventana.izquierda = corner.x();
  cfg.ventana.arriba = corner.y();
  if (!fixed_mode(cfg.mapsize) && !windowFlags().testFlag(Qt::FramelessWindowHint)) {
    cfg.ventana.ancho = inner.width();
    cfg.ventana.alto = inner.height();
  }
}

void MainWindow::centre_on_screen() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  move((area.width() - frameGeometry().width()) / 2, (area.height() - frameGeometry().height()) / 2);
}

}  // namespace tolvex
