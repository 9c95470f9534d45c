#pragma once
// The flight plan report: the legs with heading, distance, time and fuel and their running
// totals, the terrain profile in feet, and the export of the table to RutaImp.txt.
#include <QDialog>
#include <QString>

#include <functional>
#include <string>

class QAreaSeries;
class QChartView;
class QLabel;
class QPushButton;
class QTableWidget;
class QValueAxis;

namespace tolvex {

struct FlightPlanReportInputs {
  std::string program_folder;  // with a trailing separator: RutaImp.txt goes there
  // Opens the exported file in the desktop's text editor (the platform's open_in_text_editor by
  // default);
  // false when no editor could be started.
  std::function<bool(const QString& path)> abrir_texto;
  // Messages to the pilot (a modal box by default).
  std::function<void(const QString&)> mensaje;
  // Errors no one else handles (RutaImp.txt that cannot be written): the application's handler.
  std::function<void(const QString&)> on_error;
};

class FlightPlanReport : public QDialog {
  Q_OBJECT

 public:
  explicit FlightPlanReport(FlightPlanReportInputs inputs, QWidget* parent = nullptr);

  // --- set by the opener before the window is shown ---
  std::string veloc;     // speed text, whole knots, as typed
  std::string consumo;   // consumption text, gallons per hour with decimal comma, as typed
  std::string longitud;  // "distance|heading" LF per leg
  std::string alturas;   // elevation in metres and '|' per sample point

  // --- controls ---
  QPushButton* Button2 = nullptr;  // "Exportar"
  QLabel* Label1 = nullptr;
  QPushButton* Button1 = nullptr;  // "Cerrar"
  QChartView* Chart1 = nullptr;
  QAreaSeries* Series1 = nullptr;
  QValueAxis* eje_tramos = nullptr;
  QValueAxis* eje_altura = nullptr;
  QLabel* aviso_terreno = nullptr;  // shown when samples have no terrain (the service failed)
  QTableWidget* sg = nullptr;

  // --- handlers ---
  void FormActivate();
  void rellenar_plan();
  void rellenar_perfil();
  void Button2Click();
  void Button1Click();

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void build_controls();

  FlightPlanReportInputs inputs_;
};

}  // namespace tolvex
