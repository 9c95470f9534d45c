#pragma once
// Screen readers and UI automation find controls by their accessible names. Every window calls
// this once its controls are built: a button without a name takes its caption or, without one,
// its hint; a field, list or box takes the text of its label (the QLabel whose buddy it is) or
// the title of the group it sits alone in, else its hint.
class QWidget;

namespace tolvex {

void name_controls(QWidget* window);

}  // namespace tolvex
