// The route editor and the flight plan report with the real route page (keyless provider, local
// stand-ins for the elevation and address services, no network).
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QAreaSeries>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>
#include <gtest/gtest.h>

#include <functional>

#include "map/browser_bridge.h"
#include "map/page_harness.h"
#include "route/flight_plan_report_window.h"
#include "route/route_editor_window.h"
#include "support/accessibility_check.h"
#include "support/fake_map_services.h"

namespace tolvex::test {
namespace {

class RouteEditorTest : public ::testing::Test {
 protected:
  RouteEditorTest() : folder(false) {
    ensure_test_environment();
    set_remote_requests_blocked(true);
  }

  RouteEditorInputs inputs() {
    RouteEditorInputs in;
    in.program_folder = folder.path();
    in.files_folder = built_program_folder();
    in.maps.proveedor = "osm";
    const std::string no_tiles = "http://127.0.0.1:9/{z}/{x}/{y}.png";
    in.maps.teselas_normal = in.maps.teselas_satelite = in.maps.teselas_hibrido = in.maps.teselas_relieve = no_tiles;
    in.maps.elevacion = services.elevation_template();
    in.maps.geocodificador = services.geocoder_template();
    in.mensaje = [this](const QString& text) { messages.push_back(text.toStdString()); };
    in.on_error = [this](const QString& text) { errors.push_back(text.toStdString()); };
    in.elegir_fichero = [this](QWidget*, bool) { return chosen; };
    in.abrir_texto = [this](const QString& path) {
      opened.push_back(path.toStdString());
      return true;
    };
    return in;
  }

  std::unique_ptr<RouteEditor> open(RouteEditorInputs in) {
    auto w = std::make_unique<RouteEditor>(std::move(in));
    w->show();
    QElapsedTimer clock;
    clock.start();
    while (!w->ready() && clock.elapsed() < 20000) pump_events(20);
    EXPECT_TRUE(w->ready()) << "the editor never became ready";
    return w;
  }

  static QVariant eval(RouteEditor& w, const QString& expression) { return w.bridge()->evaluate(expression); }
  static int vertices(RouteEditor& w) { return eval(w, QStringLiteral("polyShape.getPath().getLength()")).toInt(); }
  static void add_points(RouteEditor& w, std::initializer_list<const char*> statements) {
    for (const char* s : statements) w.bridge()->run_statement(QString::fromLatin1(s));
  }

  // Presses "Generar Plan de Vuelo" and runs `act` on the report once it shows; then closes it.
  bool flight_plan(RouteEditor& w, const std::function<void(FlightPlanReport&)>& act) {
    bool shown = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* report = qobject_cast<FlightPlanReport*>(QApplication::activeModalWidget());
      if (shown || !report || !report->isVisible()) return;
      shown = true;
      poll.stop();
      act(*report);
      report->Button1->click();
    });
    poll.start();
    w.Button10->click();
    return shown;
  }

  TempProgramFolder folder;
  FakeMapServices services;
  QString chosen;
  std::vector<std::string> messages, errors, opened;
};

TEST_F(RouteEditorTest, OpensOnTheDefaultCentreAndAcceptsAnEmptyRoute) {
  auto w = open(inputs());
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Configuración de Ruta"));
  EXPECT_EQ(unnamed_controls(w.get()), QStringList());
  EXPECT_FALSE(w->Panel7->isVisible());
  EXPECT_FALSE(folder.exists("pageruta.htm")) << "pages are served from memory";
  EXPECT_EQ(eval(*w, QStringLiteral("[map.getCenter().toUrlValue(3), map.getZoom()]")).toList(),
            (QVariantList{QStringLiteral("37.426,-4.845"), 7}));
  EXPECT_EQ(w->ComboBox1->currentText(), QStringLiteral("NEGRO"));

  w->Button5->click();  // "Borrar Último Punto" on an empty route: nothing
  w->Edit3->clear();
  w->Button1->click();
  EXPECT_EQ(messages, std::vector<std::string>{"Aviso. No hay ruta creada. Se borrará la anteriormente configurada."});
  ASSERT_TRUE(w->result());
  EXPECT_EQ(w->result()->ruta_ruta, "");
  EXPECT_EQ(w->result()->ruta_ancho, 4) << "an emptied width is stored as 4";
  EXPECT_EQ(w->result()->ruta_trans, "1");
  EXPECT_EQ(w->result()->velo, "120");
  EXPECT_EQ(w->result()->cons, "12,5");
}

TEST_F(RouteEditorTest, DrawsTheHandedInRouteBeforeItIsReady) {
  RouteEditorInputs in = inputs();
  in.conectado = true;
  in.posicion_Actual = "40.4,-3.7";
  in.ruta_actual = "-3.7, 40.4\n-3.6, 40.5\nx, 40.6\n-3.5, 40.6);window.malo=1;(\n";
  auto w = open(std::move(in));
  EXPECT_EQ(vertices(*w), 2) << "lines that are not two numbers add no point";
  EXPECT_TRUE(eval(*w, QStringLiteral("window.malo === undefined")).toBool());
  // Fitted to the route: zoomed in on its middle.
  EXPECT_TRUE(eval(*w, QStringLiteral("map.getZoom() > 7 && Math.abs(map.getCenter().lat() - 40.45) < 0.03 && "
                                      "Math.abs(map.getCenter().lng() + 3.65) < 0.03")).toBool());
}

TEST_F(RouteEditorTest, SavesAndLoadsRouteFiles) {
  auto w = open(inputs());
  add_points(*w, {"AgregarPunto(40.4168,-3.7038)", "AgregarPunto(41.6488,-0.8891)"});
  chosen = folder.qpath() + QStringLiteral("mi_ruta");
  w->Button8->click();
  EXPECT_EQ(messages, std::vector<std::string>{"Ruta guardada en el fichero seleccionado"});
  EXPECT_EQ(folder.read("mi_ruta.txt"), "120|12,5\r\n-3.7038, 40.4168\n-0.8891, 41.6488\n\r\n");

  // A file with a comment, a point that is a comment, and a line trying to run script.
  folder.write("otra.txt", "# vuelo\r\n95|8,5\r\n#-1, 1\r\n-1, 39);window.malo=1;(\r\n-2, 39\r\n");
  chosen = folder.qpath() + QStringLiteral("otra.txt");
  w->Button2->click();
  EXPECT_EQ(w->Edit4->text(), QStringLiteral("95"));
  EXPECT_EQ(w->Edit2->text(), QStringLiteral("8,5"));
  EXPECT_EQ(vertices(*w), 1);
  EXPECT_TRUE(eval(*w, QStringLiteral("window.malo === undefined")).toBool());

  // A file that cannot be read leaves the route as it was.
  chosen = folder.qpath() + QStringLiteral("no_existe.txt");
  w->Button2->click();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(vertices(*w), 1);

  chosen = folder.qpath() + QStringLiteral("mi_ruta.txt");
  w->Button2->click();
  EXPECT_EQ(w->Edit4->text(), QStringLiteral("120"));
  w->Button1->click();
  ASSERT_TRUE(w->result());
  EXPECT_EQ(w->result()->ruta_ruta, "-3.7038, 40.4168\n-0.8891, 41.6488\n");
}

TEST_F(RouteEditorTest, FlightPlanShowsLegsAndProfileAndExports) {
  auto w = open(inputs());
  w->Button10->click();
  add_points(*w, {"AgregarPunto(0,0)"});
  w->Button10->click();
  EXPECT_EQ(messages, (std::vector<std::string>{"Error. Debe crear primero la ruta de vuelo",
                                                "Error. No hay sido posible calcular la longitud de la ruta"}));
  EXPECT_FALSE(w->Panel7->isVisible());

  add_points(*w, {"AgregarPunto(0,1)", "AgregarPunto(0,2)"});
  w->multptos->setCurrentIndex(1);  // x2: three vertices and two points between them
  const bool shown = flight_plan(*w, [&](FlightPlanReport& r) {
    EXPECT_EQ(r.windowTitle(), QStringLiteral("Plan de Vuelo"));
    EXPECT_EQ(unnamed_controls(&r), QStringList());
    EXPECT_EQ(r.Label1->text(), QStringLiteral("Velocidad media: 120    -   Consumo medio por hora: 12,5"));
    ASSERT_EQ(r.sg->rowCount(), 2);
    // The grid's cells as a screen reader reads them.
    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(r.sg)->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->cellAt(1, 5)->text(QAccessible::Name), QStringLiteral("01:00"));
    const QList<QAccessibleInterface*> header = table->cellAt(1, 5)->tableCellInterface()->columnHeaderCells();
    ASSERT_EQ(header.size(), 1);
    EXPECT_EQ(header[0]->text(QAccessible::Name), QStringLiteral("Ac.Time(h:m)"));
    EXPECT_EQ(r.Series1->upperSeries()->count(), 5);
    EXPECT_EQ(r.Series1->upperSeries()->at(4), QPointF(5, 328));  // 100 m
    EXPECT_EQ(r.eje_altura->max(), 1328);

    r.Button2->click();
    EXPECT_EQ(opened, std::vector<std::string>{folder.file("RutaImp.txt")});
    const std::string text = folder.read("RutaImp.txt");
    EXPECT_NE(text.find("\r\n   2     90        60       120,00     00:30        01:00      6,3        12,6\r\n"),
              std::string::npos)
        << text;
  });
  EXPECT_TRUE(shown);
  const QStringList asked = services.requests.filter(QStringLiteral("/elevation"));
  EXPECT_EQ(asked.size(), 5);
  EXPECT_TRUE(asked.value(3).contains(QStringLiteral("longitude=0.666"))) << asked.value(3).toStdString();
}

TEST_F(RouteEditorTest, ButtonsAreLockedWhileWaitingAndCancelEndsTheWait) {
  services.set_elevation(QStringLiteral("0"), FakeMapServices::Elevation::silence);
  auto w = open(inputs());
  add_points(*w, {"AgregarPunto(0,0)", "AgregarPunto(0,1)"});
  // Once the first point has waited a while: the buttons, then "Cancelar".
  bool locked = false;
  QElapsedTimer waiting;
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (w->Label9->text() != QStringLiteral("Calculando altura: 1")) return;
    if (!waiting.isValid()) waiting.start();
    if (waiting.elapsed() < 500) return;
    poll.stop();
    locked = w->calculando() && !w->Button10->isEnabled() && !w->Button1->isEnabled() && w->Button9->isEnabled();
    w->Button9->click();
  });
  poll.start();
  QElapsedTimer clock;
  clock.start();
  w->Button10->click();
  EXPECT_TRUE(locked);
  EXPECT_LT(clock.elapsed(), 10000) << "Cancelar does not wait out the 20 s of a silent service";
  EXPECT_FALSE(w->isVisible());
  EXPECT_FALSE(w->result());
}

TEST_F(RouteEditorTest, ReportOfElevationsAtOrBelowSeaLevel) {
  FlightPlanReport r({folder.path(), [this](const QString& p) { return opened.emplace_back(p.toStdString()), false; },
                      [this](const QString& m) { messages.push_back(m.toStdString()); }, {}});
  r.veloc = "120";
  r.consumo = "12,5";
  r.alturas = "-3|0|";
  r.show();
  EXPECT_EQ(r.eje_altura->min(), 0);
  EXPECT_EQ(r.eje_altura->max(), 1000);
  r.Button2->click();  // no legs: nothing to export
  EXPECT_FALSE(folder.exists("RutaImp.txt"));
  QTest::keyClick(&r, Qt::Key_Escape);
  EXPECT_TRUE(r.isVisible()) << "only \"Cerrar\" closes the report";

  // Exported, but no text editor could be started: the pilot is told where the file is.
  r.longitud = "30|90\n";
  r.FormActivate();
  r.Button2->click();
  EXPECT_TRUE(folder.exists("RutaImp.txt"));
  EXPECT_EQ(opened, std::vector<std::string>{folder.file("RutaImp.txt")});
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("no se ha podido abrir el editor de textos"), std::string::npos);
}

}  // namespace
}  // namespace tolvex::test
