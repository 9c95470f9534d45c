#pragma once
// The configuration window's group "Vista en tableta": the switch of the tablet view, its port,
// the address a tablet opens (one per address of this PC), the same as a QR code, and
// "Nueva clave". The opener supplies the addresses and makes new keys.
#include <QGroupBox>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tolvex {

struct TabletGroupInputs {
  bool servidor = false;
  std::int32_t puerto = 8091;
  std::string clave;  // empty until the view is first switched on
  // The addresses a tablet opens for this port and key, the best first; empty when this PC has
  // no network address a tablet could reach.
  std::function<std::vector<std::string>(std::int32_t puerto, const std::string& clave)> direcciones;
  // Makes, saves and applies a new key (every open tablet is dropped); empty when it could not.
  std::function<std::string()> nueva_clave;
};

class TabletGroup : public QGroupBox {
  Q_OBJECT

 public:
  explicit TabletGroup(TabletGroupInputs inputs, QWidget* parent = nullptr);

  bool servidor_on() const;
  std::string puerto_text() const;
  std::string clave() const { return clave_; }
  // The address the QR code shows (the first one); empty while the view is off.
  QString qr_address() const { return qr_address_; }

  QCheckBox* servidor = nullptr;
  QLineEdit* puerto = nullptr;
  QPlainTextEdit* direcciones = nullptr;
  QLabel* qr = nullptr;
  QPushButton* nueva_clave = nullptr;

 private:
  void refresh();
  void make_key();

  TabletGroupInputs inputs_;
  std::string clave_;
  QString qr_address_;
};

}  // namespace tolvex
