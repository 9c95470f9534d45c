// The route editor's longer handlers: route files, "Aceptar", and the flight plan with its pause.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>

#include <utility>

#include "base/number_format.h"
#include "base/text_file.h"
#include "map/browser_bridge.h"
#include "map/view_statements.h"
#include "route/flight_plan.h"
#include "route/flight_plan_report_window.h"
#include "route/route_editor_window.h"
#include "route/route_file.h"

namespace tolvex {

// The computation's view of the window: its page, its pause and its progress label.
class RouteEditor::PlanPage : public FlightPlanPage {
 public:
  explicit PlanPage(RouteEditor& w) : w_(w) {}
  void run(const std::string& statement) override { w_.run(statement); }
  std::string read(const std::string& field) override { return w_.read(field.c_str()); }
  bool esperar(int ms) override { return w_.esperar(ms, true); }
  bool progreso(int n) override {
    w_.Label9->setText(QStringLiteral("Calculando altura: %1").arg(n));
    QCoreApplication::processEvents();
    return !w_.cerrando_;
  }

 private:
  RouteEditor& w_;
};

std::string RouteEditor::ruta_de_pagina() {
  run("cargaDatos();");
  return read("PuntosRuta");
}

void RouteEditor::Button2Click() {
  const QString path = inputs_.elegir_fichero(this, false);
  if (path.isEmpty()) return;
  // The file first: one that cannot be read leaves the route in the page as it was.
  std::string text;
  try {
    text = read_text_file(path.toStdString());
  } catch (const std::exception& e) {
    error(e);
    return;
  }
  mostrar_espera(QStringLiteral("Cargando Ruta"));
  QCoreApplication::processEvents();
  run(std::string(clear_ruta_statement));
  const RouteFileContents fichero = parse_route_file(text);
  if (fichero.tiene_cabecera) {
    Edit4->setText(QString::fromStdString(fichero.velocidad));
    Edit2->setText(QString::fromStdString(fichero.consumo));
  }
  // Each point a batch of its own; a line whose texts are not numbers adds nothing.
  for (const RouteFilePoint& p : fichero.puntos) run(agregar_punto_statement(p.latitud, p.longitud));
  run("centrarRuta();");
  Button7Click();
  ocultar_espera();
}

void RouteEditor::Button8Click() {
  try {
    const std::string ruta = ruta_de_pagina();
    if (trim(ruta).empty()) {
      mensaje(QStringLiteral("No hay ruta creada para poder almacenar"));
      return;
    }
    const QString chosen = inputs_.elegir_fichero(this, true);
    if (chosen.isEmpty()) return;
    const std::string path = with_default_extension(chosen.toStdString());
    const std::string text = route_file_text(Edit4->text().toStdString(), Edit2->text().toStdString(), ruta);
    write_file_atomically(path, encode_text(text, platform_text_encoding()));
  } catch (const std::exception& e) {
    error(e);
    return;
  }
  mensaje(QStringLiteral("Ruta guardada en el fichero seleccionado"));
}

void RouteEditor::Button1Click() {
  RouteEditorResult r;
  try {
    // Without a map there was nothing to edit: the route handed in goes back as it came.
    r.ruta_ruta = bridge_->is_loaded() ? ruta_de_pagina() : ruta_actual;
  } catch (const std::exception& e) {
    error(e);
    return;
  }
  if (trim(r.ruta_ruta).empty())
    mensaje(QStringLiteral("Aviso. No hay ruta creada. Se borrará la anteriormente configurada."));
  r.ruta_ancho = parse_int32(trim(Edit3->text().toStdString())).value_or(4);
  r.ruta_color = ComboBox1->currentIndex();
  // No item chosen: the stored opacity stays as it was.
  r.ruta_trans = ComboBox2->currentIndex() >= 0 ? ComboBox2->currentText().toStdString() : inputs_.ruta_trans;
  r.velo = Edit4->text().toStdString();
  r.cons = Edit2->text().toStdString();
  result_ = std::move(r);
  accept();
}

void RouteEditor::Button10Click() {
  if (calculando_) return;  // never two computations on the same page fields
  calculando_ = true;
  esperado_ms_ = 0;
  mostrar_espera(QStringLiteral("Calculando Plan Vuelo"));
  QCoreApplication::processEvents();
  try {
    PlanPage page(*this);
    const FlightPlanOutcome plan = calcular_plan_vuelo(page, multptos->currentIndex() + 1);
    if (const std::string_view text = flight_plan_message(plan.error); !text.empty()) {
      mensaje(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    } else if (plan.error == FlightPlanError::ninguno && !cerrando_) {
      FlightPlanReport report({inputs_.program_folder, inputs_.abrir_texto, inputs_.mensaje, inputs_.on_error}, this);
      report.veloc = Edit4->text().toStdString();
      report.consumo = Edit2->text().toStdString();
      report.longitud = plan.longitud;
      report.alturas = plan.alturas;
      ocultar_espera();
      report.exec();
    }
  } catch (const std::exception& e) {
    error(e);
  }
  Label9->clear();
  ocultar_espera();
  calculando_ = false;
  if (const std::optional<int> closing = std::exchange(pending_done_, std::nullopt)) done(*closing);
}

bool RouteEditor::esperar(int ms, bool hasta_respuesta) {
  QElapsedTimer pausa;
  pausa.start();
  activo = true;
  Timer2.start(ms);
  if (hasta_respuesta) {
    ++listo_generation_;
    listo_poll_pending_ = false;
    listo_poll_.start();
  }
  while (activo && !cerrando_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  listo_poll_.stop();
  Timer2.stop();
  activo = false;
  esperado_ms_ += pausa.elapsed();
  return !cerrando_;
}

void RouteEditor::Timer2Timer() {
  Timer2.stop();
  activo = false;
}

void RouteEditor::poll_listo() {
  if (listo_poll_pending_) return;
  listo_poll_pending_ = true;
  QPointer<RouteEditor> self(this);
  const unsigned generation = listo_generation_;
  bridge_->read_field_later(QStringLiteral("Listo"), [self, generation](const QString& listo) {
    // An answer read for an earlier pause says nothing about this one.
    if (!self || generation != self->listo_generation_) return;
    self->listo_poll_pending_ = false;
    if (listo == QLatin1String("1") || listo == QLatin1String("-1")) self->activo = false;
  });
}

void RouteEditor::done(int result) {
  if (calculando_) {
    // Closing while the flight plan runs: it stops at its next step, then the window closes.
    cerrando_ = true;
    pending_done_ = result;
    return;
  }
  Timer_cargaruta.stop();
  Timer2.stop();
  listo_poll_.stop();
  busy_cursor_.set(false);
  QDialog::done(result);
}

}  // namespace tolvex
