#include "route/flight_plan_report_window.h"

#include <QAbstractButton>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

#include "base/accessibility_qt.h"
#include "base/dialog_font_qt.h"
#include "base/message_box_qt.h"
#include "base/text_file.h"
#include "platform/platform.h"
#include "route/flight_plan_table.h"

namespace tolvex {
namespace {

constexpr int kColumnWidths[kColumnasPlan] = {27, 57, 66, 72, 66, 74, 64, 70};
constexpr int kAltitudeLabels = 8;   // labels the 249-pixel chart has room for
constexpr int kSampleLabels = 12;

QString qt(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

FlightPlanReport::FlightPlanReport(FlightPlanReportInputs inputs, QWidget* parent)
    : QDialog(parent), inputs_(std::move(inputs)) {
  if (!inputs_.abrir_texto) inputs_.abrir_texto = open_in_text_editor;
  setObjectName(QStringLiteral("FlightPlanReport"));
  setWindowTitle(QStringLiteral("Plan de Vuelo"));
  // No system menu and no caption buttons: "Cerrar" is the way out.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  build_controls();
  name_controls(this);
  if (const QScreen* screen = parent ? parent->screen() : this->screen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

void FlightPlanReport::build_controls() {
  setFont(dialog_font(11));
  resize(618, 536);
  setMinimumSize(611, 536);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(5, 5, 5, 5);
  layout->setSpacing(0);

  auto* top = new QHBoxLayout();
  top->setContentsMargins(4, 0, 4, 0);
  Button2 = new QPushButton(QStringLiteral("Exportar"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button1 = new QPushButton(QStringLiteral("Cerrar"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  for (QPushButton* b : {Button2, Button1}) {
    b->setAutoDefault(false);
    b->setFixedSize(90, 28);
  }
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setTextFormat(Qt::PlainText);  // speed and consumption may come from a route file
  Label1->setMinimumWidth(377);
  top->addWidget(Button2);
  top->addStretch();
  top->addWidget(Label1);
  top->addStretch();
  top->addWidget(Button1);
  auto* strip = new QWidget(this);
  strip->setFixedHeight(41);
  strip->setLayout(top);
  layout->addWidget(strip);
  connect(Button2, &QPushButton::clicked, this, &FlightPlanReport::Button2Click);
  connect(Button1, &QPushButton::clicked, this, &FlightPlanReport::Button1Click);

  auto* chart = new QChart();
  QFont bold = font();
  bold.setBold(true);
  chart->setTitle(QStringLiteral("Perfil de altura (ft) del terreno en los diferentes puntos de control<br>"
                                 "(Nota: La altura mostrada entre los puntos de control no es real)"));
  chart->setTitleFont(bold);
  chart->setTitleBrush(Qt::black);
  chart->legend()->hide();
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(4, 0, 12, 0));
  // Numbers as "#,##0" writes them with the decimal comma: thousands with a point from four
  // digits on (1.200). The Spanish locale groups only from five digits, the German one from four.
  chart->setLocalizeNumbers(true);
  chart->setLocale(QLocale(QLocale::German, QLocale::Germany));

  auto* upper = new QLineSeries();
  Series1 = new QAreaSeries(upper);
  upper->setParent(Series1);
  Series1->setName(QStringLiteral("Series1"));
  Series1->setPen(QPen(QColor(0x80, 0x00, 0x00), 1));  // maroon
  Series1->setBrush(QColor(0x80, 0x80, 0x80));          // grey
  Series1->setPointsVisible(false);
  Series1->setPointLabelsVisible(true);
  Series1->setPointLabelsFormat(QStringLiteral("@yPoint"));
  Series1->setPointLabelsClipping(false);  // the marks of the first and last points stay whole
  Series1->setPointLabelsColor(Qt::black);
  chart->addSeries(Series1);

  eje_tramos = new QValueAxis();
  eje_tramos->setTitleText(QStringLiteral("Tramos"));
  eje_tramos->setLabelFormat(QStringLiteral("%.0f"));
  eje_tramos->setTickType(QValueAxis::TicksDynamic);
  eje_tramos->setTickAnchor(1);
  eje_altura = new QValueAxis();
  eje_altura->setTitleText(QStringLiteral("Altura ( ft )"));
  eje_altura->setTitleFont(bold);
  eje_altura->setLabelFormat(QStringLiteral("%.0f"));
  eje_altura->setTickType(QValueAxis::TicksDynamic);
  eje_altura->setTickAnchor(0);
  chart->addAxis(eje_tramos, Qt::AlignBottom);
  chart->addAxis(eje_altura, Qt::AlignLeft);
  Series1->attachAxis(eje_tramos);
  Series1->attachAxis(eje_altura);

  Chart1 = new QChartView(chart, this);
  Chart1->setObjectName(QStringLiteral("Chart1"));
  Chart1->setRenderHint(QPainter::Antialiasing);
  Chart1->setFixedHeight(249);
  Chart1->setAccessibleName(QStringLiteral("Perfil de altura del terreno"));
  layout->addWidget(Chart1);

  aviso_terreno = new QLabel(this);
  aviso_terreno->setObjectName(QStringLiteral("aviso_terreno"));
  aviso_terreno->setWordWrap(true);
  aviso_terreno->setAlignment(Qt::AlignCenter);
  aviso_terreno->setStyleSheet(QStringLiteral("color: #800000; font-weight: bold; padding: 2px;"));
  aviso_terreno->hide();
  layout->addWidget(aviso_terreno);

  sg = new QTableWidget(0, static_cast<int>(kColumnasPlan), this);
  sg->setObjectName(QStringLiteral("sg"));
  sg->setAccessibleName(QStringLiteral("Plan de vuelo por tramos"));
  QStringList headers;
  for (std::string_view h : kCabecerasPlan) headers << qt(h);
  sg->setHorizontalHeaderLabels(headers);
  sg->verticalHeader()->hide();
  // The table's own parts have names too: its headers and its select-all corner.
  sg->horizontalHeader()->setAccessibleName(QStringLiteral("Columnas del plan de vuelo"));
  sg->verticalHeader()->setAccessibleName(QStringLiteral("Tramos del plan de vuelo"));
  if (auto* corner = sg->findChild<QAbstractButton*>()) corner->setAccessibleName(QStringLiteral("Seleccionar todo"));
  sg->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int c = 0; c < static_cast<int>(kColumnasPlan); ++c) sg->setColumnWidth(c, kColumnWidths[c] + 6);
  layout->addWidget(sg, 1);
}

bool FlightPlanReport::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) FormActivate();
  return QDialog::event(e);
}

void FlightPlanReport::keyPressEvent(QKeyEvent* e) {
  // Escape does not close the report: only "Cerrar" does.
  if (e->key() == Qt::Key_Escape) {
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

void FlightPlanReport::FormActivate() {
  rellenar_plan();
  rellenar_perfil();
}

void FlightPlanReport::rellenar_plan() {
  Label1->setText(qt(etiqueta_plan(veloc, consumo)));
  const std::vector<FilaPlan> filas = tolvex::rellenar_plan(veloc, consumo, longitud);
  sg->clearContents();
  sg->setRowCount(static_cast<int>(filas.size()));
  for (int r = 0; r < static_cast<int>(filas.size()); ++r)
    for (int c = 0; c < static_cast<int>(kColumnasPlan); ++c) {
      auto* item = new QTableWidgetItem(qt(filas[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      sg->setItem(r, c, item);
    }
}

void FlightPlanReport::rellenar_perfil() {
  const PerfilTerreno perfil = tolvex::rellenar_perfil(alturas);
  // A repeated activation draws the same profile, never a second copy of it.
  QList<QPointF> puntos;
  for (const auto& [x, ft] : perfil.puntos) puntos << QPointF(x, ft);
  Series1->upperSeries()->replace(puntos);

  const QString aviso = qt(aviso_perfil(perfil));
  aviso_terreno->setText(aviso);
  aviso_terreno->setVisible(!aviso.isEmpty());

  const double muestras = std::max<double>(2, perfil.muestras);
  eje_tramos->setRange(1, muestras);
  eje_tramos->setTickInterval(paso_eje(muestras - 1, 1, kSampleLabels));
  eje_altura->setRange(0, perfil.eje_max_ft());
  eje_altura->setTickInterval(paso_eje(perfil.eje_max_ft(), 100, kAltitudeLabels));
}

void FlightPlanReport::Button2Click() {
  if (sg->rowCount() == 0 || !sg->item(0, 0) || sg->item(0, 0)->text().isEmpty()) return;
  std::vector<FilaPlan> filas(static_cast<std::size_t>(sg->rowCount()));
  for (int r = 0; r < sg->rowCount(); ++r)
    for (int c = 0; c < static_cast<int>(kColumnasPlan); ++c)
      if (const QTableWidgetItem* item = sg->item(r, c))
        filas[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = item->text().toStdString();
  const std::string path = inputs_.program_folder + "RutaImp.txt";
  try {
    write_file_atomically(path, encode_text(exportar_plan(filas), platform_text_encoding()));
  } catch (const std::exception& e) {
    // The editor is not started for a file that is not there.
    if (inputs_.on_error) inputs_.on_error(QString::fromStdString(e.what()));
    return;
  }
  const QString file = QString::fromStdString(path);
  if (inputs_.abrir_texto(file)) return;
  const QString text = QStringLiteral("El plan de vuelo se ha guardado en %1, pero no se ha podido abrir el editor de textos.")
                           .arg(QDir::toNativeSeparators(file));
  if (inputs_.mensaje) {
    inputs_.mensaje(text);
    return;
  }
  show_notice(this, text);
}

void FlightPlanReport::Button1Click() { accept(); }

}  // namespace tolvex
