#pragma once
// The airspace selection window: the pilot marks airspaces by class and name, previews them on
// the window's own map, and "Aceptar" makes the marks the drawn set and saves airspsel.txt.
#include <QDialog>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "map/map_settings.h"
#include "overlays/airspace_selection.h"

class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QWebEngineView;

namespace tolvex {

class BrowserBridge;
class RadioList;

struct AirspaceSelectionInputs {
  std::string program_folder;  // with a trailing separator: airspsel.txt goes there
  QString files_folder;        // the executable's folder: page scripts, Leaflet, pictures
  MapSettings maps;
  std::size_t omitidos = 0;    // airspaces of the file that could not be read: told once here
  // Errors no one else handles (airspsel.txt that cannot be written): the application's handler.
  std::function<void(const QString&)> on_error;
};

class AirspaceSelectionWindow : public QDialog {
  Q_OBJECT

 public:
  AirspaceSelectionWindow(AirspaceCatalogue& catalogue, AirspaceSelectionInputs inputs, QWidget* parent = nullptr);
  ~AirspaceSelectionWindow() override;

  const AirspaceSelection& selection() const { return *seleccion_; }
  BrowserBridge* bridge() const { return bridge_; }
  // True once the marked airspaces were sent to the page and the class list is enabled.
  bool ready() const { return ready_; }

  // --- controls ---
  RadioList* RadioGroup1 = nullptr;
  QListWidget* clbEspacios = nullptr;
  std::array<QFrame*, kMuestras> Shapes{};  // Shape1 ... Shape11
  QPushButton *BitBtn2 = nullptr, *BitBtn4 = nullptr, *BitBtn5 = nullptr, *BitBtn6 = nullptr;
  QPushButton *BitBtn1 = nullptr, *BitBtn3 = nullptr;
  QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;
  QLabel* lblOmitidos = nullptr;  // the skipped airspaces of the file, when there are any
  QFrame* Panel4 = nullptr;
  QLabel* Panel5 = nullptr;
  QWebEngineView* WebBrowser1 = nullptr;
  QTimer AgregarEspacios;
  bool primera_vez = true;
  bool laceptado = false;

  // --- handlers ---
  void FormActivate();
  void RadioGroup1Click();
  void clbEspaciosClick();
  void clbEspaciosClickCheck(QListWidgetItem* item);
  void BitBtn2Click();
  void BitBtn4Click();
  void BitBtn5Click();
  void BitBtn6Click();
  void BitBtn1Click();
  void AgregarEspaciosTimer();

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void done(int result) override;

 private:
  void build_controls();
  void place_swatches();
  void colour_swatches();
  void set_six_buttons(bool on);
  void clear_limits();
  void show_limits(const TAirSpace& a);
  void run(const AirspaceSelection::Batch& batch);
  void page_loaded();
  void fill_list();
  void set_all_ticks(bool ticked);

  AirspaceCatalogue& catalogue_;
  AirspaceSelectionInputs inputs_;
  std::unique_ptr<AirspaceSelection> seleccion_;
  BrowserBridge* bridge_ = nullptr;
  QTimer watchdog_;
  bool page_done_ = false;
  bool ready_ = false;
  bool filling_ = false;
  int row_at_press_ = -1;  // the list's current row before the mouse pressed on it
};

}  // namespace tolvex
