#include "base/placed_controls_qt.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tolvex {

QPushButton* placed_button(const char* name, const QString& text, const QString& hint, QWidget* parent,
                           QRect where) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setToolTip(hint);
  b->setGeometry(where);
  b->setAutoDefault(false);
  return b;
}

QLineEdit* placed_edit(const char* name, QWidget* parent, QRect where, const QString& text) {
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(QString::fromLatin1(name));
  e->setGeometry(where);
  return e;
}

QLabel* placed_label(const QString& text, QWidget* parent, QRect where, QWidget* buddy) {
  auto* l = new QLabel(text, parent);
  l->setTextFormat(Qt::PlainText);
  l->setGeometry(where);
  if (buddy) l->setBuddy(buddy);
  return l;
}

}  // namespace tolvex
