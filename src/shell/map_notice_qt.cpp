#include "shell/map_notice_qt.h"

#include <QEvent>

namespace tolvex {
namespace {

constexpr int kMarginPx = 6;

}  // namespace

MapNotice::MapNotice(QWidget* parent) : QLabel(parent) {
  setObjectName(QStringLiteral("aviso_mapa"));
  setAccessibleName(QStringLiteral("Aviso del enlace con el simulador"));
  // The reasons come from the network: never read as markup.
  setTextFormat(Qt::PlainText);
  setWordWrap(true);
  setAlignment(Qt::AlignCenter);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setStyleSheet(QStringLiteral(
      "#aviso_mapa { background: rgba(40, 44, 52, 225); color: #ffffff; border: 1px solid #f0b429;"
      " border-radius: 4px; padding: 4px 8px; }"));
  hide_timer_.setSingleShot(true);
  connect(&hide_timer_, &QTimer::timeout, this, &MapNotice::clear_notice);
  parent->installEventFilter(this);
  hide();
}

void MapNotice::show_notice(const QString& text, int hide_after_ms) {
  setText(text);
  place();
  show();
  raise();
  if (hide_after_ms > 0)
    hide_timer_.start(hide_after_ms);
  else
    hide_timer_.stop();
}

void MapNotice::clear_notice() {
  hide_timer_.stop();
  clear();
  hide();
}

bool MapNotice::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget()) {
    if (event->type() == QEvent::Resize) place();
    // A browser view created anew would cover the caption: raised again once it is in place.
    if (event->type() == QEvent::ChildAdded && isVisible()) QTimer::singleShot(0, this, [this] { raise(); });
  }
  return QLabel::eventFilter(watched, event);
}

void MapNotice::place() {
  QWidget* panel = parentWidget();
  const int width = std::max(panel->width() - 2 * kMarginPx, 0);
  setFixedWidth(width);
  const int height = std::min(heightForWidth(width), std::max(panel->height() - 2 * kMarginPx, 0));
  setGeometry(kMarginPx, kMarginPx, width, std::max(height, 0));
}

}  // namespace tolvex
