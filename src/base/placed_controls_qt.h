#pragma once
// Controls of the fixed-layout windows, each placed at its rectangle. A control with a name
// can be found by tests and UI automation; buttons never take Return from the fields.
#include <QRect>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tolvex {

QPushButton* placed_button(const char* name, const QString& text, const QString& hint, QWidget* parent,
                           QRect where);
QLineEdit* placed_edit(const char* name, QWidget* parent, QRect where, const QString& text = {});
QLabel* placed_label(const QString& text, QWidget* parent, QRect where, QWidget* buddy = nullptr);

}  // namespace tolvex
