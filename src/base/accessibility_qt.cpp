#include "base/accessibility_qt.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace tolvex {
namespace {

// Label texts may carry mnemonics ("&Ancho:") and line breaks; a name reads as one line.
QString plain(QString text) {
  text.remove(QLatin1Char('&'));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text.simplified();
}

bool is_field(const QWidget* w) {
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
         qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
         qobject_cast<const QAbstractSlider*>(w);
}

// The title of the closest group box that holds this field and no other field.
QString lone_group_title(const QWidget* field) {
  for (const QWidget* p = field->parentWidget(); p; p = p->parentWidget()) {
    if (const auto* group = qobject_cast<const QGroupBox*>(p)) {
      int fields = 0;
      for (const QWidget* child : group->findChildren<QWidget*>())
        if (is_field(child)) ++fields;
      return fields == 1 ? group->title() : QString();
    }
  }
  return {};
}

}  // namespace

void name_controls(QWidget* window) {
  if (!window) return;
  QHash<const QWidget*, QString> label_of;
  for (const QLabel* label : window->findChildren<QLabel*>())
    if (label->buddy() && !label->text().isEmpty()) label_of.insert(label->buddy(), plain(label->text()));

  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->accessibleName().isEmpty()) continue;
    QString name;
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
      name = plain(button->text());
    } else if (is_field(w)) {
      // A combo box's own line edit is named through the combo box.
      if (qobject_cast<const QComboBox*>(w->parentWidget())) continue;
      name = label_of.value(w);
      if (name.isEmpty()) name = plain(lone_group_title(w));
    } else {
      continue;
    }
    if (name.isEmpty()) name = plain(w->toolTip());
    if (!name.isEmpty()) w->setAccessibleName(name);
  }
}

}  // namespace tolvex
