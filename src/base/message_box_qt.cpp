#include "base/message_box_qt.h"
#include <QMessageBox>
#include <QPushButton>

namespace tolvex {
namespace {

void prepare(QMessageBox& box, const QString& text, QMessageBox::Icon icon) {
  box.setWindowTitle(QStringLiteral("Tolvex - Información"));
  box.setIcon(icon);
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
}

}  // namespace

void show_notice(QWidget* parent, const QString& text) {
  QMessageBox box(parent);
  prepare(box, text, QMessageBox::Information);
  box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
  box.exec();
}

bool ask_confirmation(QWidget* parent, const QString& text) {
  QMessageBox box(parent);
  prepare(box, text, QMessageBox::Question);
  QPushButton* aceptar = box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
  box.setDefaultButton(box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole));
  box.exec();
  return box.clickedButton() == aceptar;
}

}  // namespace tolvex
