#pragma once
// The configuration window: every setting in one modal dialog. It shows the values it is given,
// checks what the pilot typed, and hands the choice to its opener, which saves it.
#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "dialogs/config_rules.h"
#include "dialogs/tablet_group_qt.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tolvex {

class RadioList;

// What the window shows when it opens (the main window's state).
struct ConfigWindowInputs {
  std::int32_t tipogooglemap = 1;
  bool iocpserver = false;
  bool xgps = false;  // the network GPS link
  std::string host = "127.0.0.1";
  std::int32_t port = 8090;
  std::int32_t puertoudp = 49002;
  bool MapaSK = false;
  bool Sonidos = true;
  bool auto_ = false;
  bool puntosvfr = false;
  bool ruta_visible = false;
  bool lespaciosaereos = false;
  bool suave = true;
  std::string intervalorgm = "10";
  std::int32_t mapsize = 0;
  bool xplane = false;
  std::int32_t rutadin_ancho = 4;
  std::int32_t rutadin_color = 10;
  std::string rutadin_trans = "1";
  bool conectado = false;
  double latitud = 0;
  double longitud = 0;
  QString pictures_folder;       // holds iconos/
  TabletGroupInputs tableta;     // "Vista en tableta"
};

struct ConfigWindowCallbacks {
  // Saves the choice and says what was saved; nothing when it could not (the window then stays
  // open).
  std::function<std::optional<ConfigDecision>(const ConfigChoice&)> guardar;
  // The main window's information message.
  std::function<void(const QString&)> mensaje;
  // "Ruta": the route editor, modal over `parent`, told whether the simulator is connected and
  // where the aircraft is ("latitude,longitude").
  std::function<void(QWidget* parent, bool conec, const std::string& posact)> abrir_ruta;
  // The hidden "Espacios Aéreos" button: the airspace selection window, modal over `parent`.
  std::function<void(QWidget* parent)> abrir_espacios;
};

class ConfigWindow : public QDialog {
  Q_OBJECT

 public:
  ConfigWindow(const ConfigWindowInputs& inputs, ConfigWindowCallbacks callbacks, QWidget* parent = nullptr);

  // The controls as they stand (the interval as last normalised).
  ConfigChoice choice() const;
  std::int32_t oldtam = 0;  // size mode at opening
  bool conec = false;
  std::string posact;

  // --- controls ---
  QLabel* Image1 = nullptr;  // header picture
  RadioList* conecrg = nullptr;
  QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLabel* memoiocp = nullptr;
  QLabel* memofsuipc = nullptr;
  QLabel* label_puerto_udp = nullptr;
  QLineEdit* edit_puerto_udp = nullptr;
  QLabel* nota_xgps = nullptr;
  RadioList* origen = nullptr;
  RadioList* tamano = nullptr;
  RadioList* tipog = nullptr;
  QCheckBox *cbpuntos = nullptr, *soncb = nullptr, *autocb = nullptr, *cbruta = nullptr, *chkXPlane = nullptr,
            *chkEspacios = nullptr, *check_suave = nullptr;
  QLineEdit* autoint = nullptr;
  QLineEdit* Edit3 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QComboBox* ComboBox2 = nullptr;
  QPushButton *BitBtn3 = nullptr, *BitBtn4 = nullptr, *BitBtn1 = nullptr, *BitBtn2 = nullptr;
  TabletGroup* tableta = nullptr;

  // --- handlers ---
  void conecrgClick();
  void autointExit();
  void BitBtn1Click();
  void BitBtn3Click();
  void BitBtn4Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build_controls();
  void fill(const ConfigWindowInputs& inputs);

  ConfigWindowCallbacks callbacks_;
  std::string aviso_intervalo_;  // why the last normalisation replaced the pilot's interval
  QString pictures_folder_;
};

}  // namespace tolvex
