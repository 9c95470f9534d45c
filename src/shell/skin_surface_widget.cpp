#include "shell/skin_surface_widget.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace tolvex {

SkinSurface::SkinSurface(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void SkinSurface::set_skin(const QImage& skin) {
  skin_ = skin;
  update();
}

void SkinSurface::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  if (!skin_.isNull()) {
    // The window's own colour first, for whatever the picture does not cover.
    p.fillRect(rect(), palette().button());
    p.drawImage(QPoint(0, 0), skin_);
    return;
  }
  QLinearGradient g(0, 0, 0, height());
  g.setColorAt(0, QColor(0x1D, 0x35, 0x57));
  g.setColorAt(1, QColor(0x0B, 0x1A, 0x2E));
  p.fillRect(rect(), g);
}

void SkinSurface::mousePressEvent(QMouseEvent* event) {
  // Presses on a control never reach here unless the control ignores them; the map panel and
  // the title buttons are controls, so only bare skin moves the window.
  if (!drags_window_ || event->button() != Qt::LeftButton || childAt(event->position().toPoint())) {
    event->ignore();
    return;
  }
  event->accept();
  QWidget* top = window();
  if (QWindow* handle = top->windowHandle(); handle && handle->startSystemMove()) return;
  // No window manager to move us (a bare X server, for one): follow the pointer ourselves.
  grab_ = event->globalPosition().toPoint() - top->frameGeometry().topLeft();
}

void SkinSurface::mouseMoveEvent(QMouseEvent* event) {
  if (!grab_ || !(event->buttons() & Qt::LeftButton)) {
    event->ignore();
    return;
  }
  window()->move(event->globalPosition().toPoint() - *grab_);
  event->accept();
}

void SkinSurface::mouseReleaseEvent(QMouseEvent* event) {
  if (!grab_) {
    event->ignore();
    return;
  }
  grab_.reset();
  event->accept();
}

}  // namespace tolvex
