#pragma once
// The client area of the main window. In the fixed-size modes it paints the skin as the whole
// background and moves the window when the pilot drags any part of it that is not a control;
// in the adjustable mode it is a plain background.
#include <QImage>
#include <QPoint>
#include <QWidget>

#include <optional>

namespace tolvex {

class SkinSurface : public QWidget {
  Q_OBJECT

 public:
  explicit SkinSurface(QWidget* parent = nullptr);

  // The picture painted at the origin; a null picture gives the plain background.
  void set_skin(const QImage& skin);
  const QImage& skin() const { return skin_; }
  // Pressing the surface outside its controls drags the window (fixed-size modes).
  void set_drags_window(bool on) { drags_window_ = on; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage skin_;
  bool drags_window_ = false;
  // Where the pointer holds the window, while we move it ourselves (no window manager move).
  std::optional<QPoint> grab_;
};

}  // namespace tolvex
