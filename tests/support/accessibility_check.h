#pragma once
// Every control a pilot can reach has an accessible name: screen readers and UI automation
// find controls by it.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>

namespace tolvex::test {

// Object names (or class names) of the controls under `window` without an accessible name.
inline QStringList unnamed_controls(const QWidget* window) {
  QStringList unnamed;
  for (const QWidget* w : window->findChildren<QWidget*>()) {
    const bool control = qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
                         qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
                         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QTextEdit*>(w);
    if (!control || qobject_cast<const QComboBox*>(w->parentWidget())) continue;
    // Qt's own parts of a composite control (scroll bars, a view's corner button) are not ours.
    if (w->objectName().startsWith(QLatin1String("qt_"))) continue;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(w));
    const QString name = iface ? iface->text(QAccessible::Name) : w->accessibleName();
    if (name.trimmed().isEmpty())
      unnamed << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
  }
  return unnamed;
}

}  // namespace tolvex::test
