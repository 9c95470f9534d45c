#include "base/message_box_qt.h"
#include <QMessageBox>

namespace tolvex {

void show_notice(QWidget* parent, const QString& text) {
  QMessageBox box(parent);
  box.setWindowTitle(QStringLiteral("Tolvex"));
  // Messages quote replies, file lines and values from outside: never read as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
  box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
  box.exec();
}

}  // namespace tolvex
