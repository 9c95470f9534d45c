#include "overlays/airspace_selection_window.h"

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedLayout>
#include <QUrl>
#include <QWebEngineView>

#include "base/accessibility_qt.h"
#include "base/dialog_font_qt.h"
#include "base/placed_controls_qt.h"
#include "base/radio_list_qt.h"
#include "base/text_file.h"
#include "map/browser_bridge.h"
#include "map/web_profile_qt.h"

namespace tolvex {
namespace {

constexpr int kRadioTop = 74;    // the class list's top in the window
constexpr int kRowTop = 22;      // its first row inside it
constexpr int kRowHeight = 24;   // swatch k stands at y 98 + 24 k
constexpr int kRadioHeight = 294;
constexpr int kLoadLimitMs = 15000;

// Locked until the page is ready.
QPushButton* locked_button(const char* name, const QString& text, const QString& hint, QWidget* parent, QRect where) {
  auto* b = placed_button(name, text, hint, parent, where);
  b->setEnabled(false);
  return b;
}

QFrame* swatch(QWidget* parent, QRect where, const QString& colour) {
  auto* f = new QFrame(parent);
  f->setGeometry(where);
  f->setStyleSheet(QStringLiteral("background: %1; border: 1px solid black;").arg(colour));
  return f;
}

QStringList to_qt(const AirspaceSelection::Batch& batch) {
  QStringList out;
  out.reserve(static_cast<qsizetype>(batch.size()));
  for (const std::string& s : batch) out << QString::fromStdString(s);
  return out;
}

}  // namespace

AirspaceSelectionWindow::AirspaceSelectionWindow(AirspaceCatalogue& catalogue, AirspaceSelectionInputs inputs,
                                                 QWidget* parent)
    : QDialog(parent), catalogue_(catalogue), inputs_(std::move(inputs)) {
  setObjectName(QStringLiteral("AirspaceSelectionWindow"));
  setWindowTitle(QStringLiteral("Espacios Aéreos"));
  build_controls();
  // FormCreate: the working selection starts as the committed one.
  primera_vez = true;
  seleccion_ = std::make_unique<AirspaceSelection>(catalogue_);
  QStringList items;
  for (const std::string& code : seleccion_->lesp()) items << QString::fromStdString(elemento_clase(code));
  const int rows = std::max<int>(static_cast<int>(kMuestras), static_cast<int>(items.size()));
  RadioGroup1->set_items(items, RadioList::Placement{1, 8, kRowTop, std::min(kRowHeight, (kRadioHeight - kRowTop - 4) / rows)});
  place_swatches();
  colour_swatches();
  laceptado = false;
  name_controls(this);

  AgregarEspacios.setInterval(250);
  AgregarEspacios.setSingleShot(true);
  connect(&AgregarEspacios, &QTimer::timeout, this, &AirspaceSelectionWindow::AgregarEspaciosTimer);
  watchdog_.setSingleShot(true);
  watchdog_.setInterval(kLoadLimitMs);
  connect(&watchdog_, &QTimer::timeout, this, [this] {
    // A map script that never answers must not leave the window unusable: go on without the map.
    if (WebBrowser1) WebBrowser1->stop();
    page_loaded();
  });
  if (const QScreen* screen = parent ? parent->screen() : this->screen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

AirspaceSelectionWindow::~AirspaceSelectionWindow() {
  if (!laceptado) seleccion_->discard();
}

void AirspaceSelectionWindow::build_controls() {
  const QFont font = dialog_font(11);
  setFont(font);
  setFixedSize(960, 614);

  Label3 = new QLabel(QStringLiteral("Para comenzar, seleccione una clase\nde Espacio Aéreo en la lista siguiente:"), this);
  Label3->setGeometry(10, 18, 210, 44);
  Label3->setWordWrap(true);
  QFont bold = dialog_font(10);
  bold.setBold(true);
  Label3->setFont(bold);

  RadioGroup1 = new RadioList(QStringLiteral("Seleccione la clase"), this);
  RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
  RadioGroup1->setGeometry(10, kRadioTop, 207, kRadioHeight);
  RadioGroup1->setEnabled(false);
  connect(RadioGroup1, &RadioList::clicked, this, [this] { RadioGroup1Click(); });
  for (std::size_t k = 0; k < kMuestras; ++k) {
    Shapes[k] = swatch(this, {190, 98 + 24 * static_cast<int>(k), 18, 18}, QStringLiteral("#FFFFFF"));
    Shapes[k]->setObjectName(QStringLiteral("Shape%1").arg(k + 1));
  }

  const std::pair<const char*, const char*> legend[] = {{"#FFFFFF", "Ningún área marcada"},
                                                        {"#FFFF00", "Algunas áreas marcadas"},
                                                        {"#008000", "Todas las áreas marcadas"}};
  for (int i = 0; i < 3; ++i) {
    swatch(this, {16, 377 + 16 * i, 10, 10}, QString::fromLatin1(legend[i].first));
    (new QLabel(QString::fromUtf8(legend[i].second), this))->setGeometry(32, 374 + 16 * i, 180, 16);
  }

  BitBtn2 = locked_button("BitBtn2", QStringLiteral("Marcar Todo"),
                   QStringLiteral("Marcar todos los espacios aéreos de la clase seleccionada"), this, {10, 428, 102, 26});
  BitBtn4 = locked_button("BitBtn4", QStringLiteral("Desmarcar Todo"),
                   QStringLiteral("Desmarcar todos los espacios aéreos de la clase seleccionada"), this, {115, 428, 102, 26});
  BitBtn5 = locked_button("BitBtn5", QStringLiteral("Marcar SFC"),
                   QStringLiteral("Marcar zonas con límite inferior desde la superficie"), this, {10, 458, 102, 26});
  BitBtn6 = locked_button("BitBtn6", QStringLiteral("Marcar no SFC"),
                   QStringLiteral("Marcar zonas cuyo límite inferior NO sea superficie"), this, {115, 458, 102, 26});
  connect(BitBtn2, &QPushButton::clicked, this, &AirspaceSelectionWindow::BitBtn2Click);
  connect(BitBtn4, &QPushButton::clicked, this, &AirspaceSelectionWindow::BitBtn4Click);
  connect(BitBtn5, &QPushButton::clicked, this, &AirspaceSelectionWindow::BitBtn5Click);
  connect(BitBtn6, &QPushButton::clicked, this, &AirspaceSelectionWindow::BitBtn6Click);

  auto* grpInfo = new QGroupBox(QStringLiteral("Datos del área seleccionada"), this);
  grpInfo->setObjectName(QStringLiteral("grpInfo"));
  grpInfo->setGeometry(10, 492, 207, 70);
  Label1 = new QLabel(QStringLiteral("Límite superior: "), grpInfo);
  Label1->setGeometry(8, 20, 195, 18);
  Label2 = new QLabel(QStringLiteral("Límite inferior:"), grpInfo);
  Label2->setGeometry(8, 42, 195, 18);
  // The limits are the file's text.
  Label1->setTextFormat(Qt::PlainText);
  Label2->setTextFormat(Qt::PlainText);

  lblOmitidos = new QLabel(this);
  lblOmitidos->setObjectName(QStringLiteral("lblOmitidos"));
  lblOmitidos->setGeometry(10, 566, 580, 40);
  lblOmitidos->setWordWrap(true);
  lblOmitidos->setStyleSheet(QStringLiteral("color: #A00000;"));
  if (inputs_.omitidos > 0) {
    lblOmitidos->setText(inputs_.omitidos == 1
                             ? QStringLiteral("1 espacio aéreo de airspaces.txt no se pudo leer y no se muestra "
                                              "(el motivo, en tolvex.log con DEBUG=S).")
                             : QStringLiteral("%1 espacios aéreos de airspaces.txt no se pudieron leer y no se "
                                              "muestran (los motivos, en tolvex.log con DEBUG=S).")
                                   .arg(inputs_.omitidos));
  } else {
    lblOmitidos->hide();
  }

  clbEspacios = new QListWidget(this);
  clbEspacios->setObjectName(QStringLiteral("clbEspacios"));
  clbEspacios->setGeometry(228, 5, 362, 557);
  clbEspacios->setAccessibleName(QStringLiteral("Espacios aéreos de la clase"));
  connect(clbEspacios, &QListWidget::currentRowChanged, this, [this] { clbEspaciosClick(); });
  // A click on the name already selected changes no row: it shows its limits and highlight again.
  clbEspacios->viewport()->installEventFilter(this);
  connect(clbEspacios, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    if (clbEspacios->row(item) == row_at_press_) clbEspaciosClick();
  });
  connect(clbEspacios, &QListWidget::itemChanged, this, &AirspaceSelectionWindow::clbEspaciosClickCheck);

  auto* banner = new QLabel(this);
  banner->setGeometry(596, 5, 359, 50);
  banner->setScaledContents(true);
  banner->setPixmap(QPixmap(inputs_.files_folder + QStringLiteral("/iconos/banner.png")));

  Panel4 = new QFrame(this);
  Panel4->setObjectName(QStringLiteral("Panel4"));
  Panel4->setGeometry(596, 58, 359, 504);
  Panel4->setFrameShape(QFrame::StyledPanel);
  auto* stack = new QStackedLayout(Panel4);
  stack->setStackingMode(QStackedLayout::StackAll);
  WebBrowser1 = new QWebEngineView(Panel4);
  configure_view(WebBrowser1);
  bridge_ = new BrowserBridge(WebBrowser1);
  stack->addWidget(WebBrowser1);
  auto* cargando = new QLabel(QStringLiteral("Cargando. Por favor, espere ..."), Panel4);
  cargando->setAlignment(Qt::AlignCenter);
  stack->addWidget(cargando);
  stack->setCurrentWidget(WebBrowser1);

  BitBtn1 = locked_button("BitBtn1", QStringLiteral("Aceptar"), QStringLiteral("Aceptar y guardar"), this, {770, 575, 88, 28});
  BitBtn3 = locked_button("BitBtn3", QStringLiteral("Cancelar"), QStringLiteral("Salir sin guardar los cambios"), this,
                   {866, 575, 88, 28});
  connect(BitBtn1, &QPushButton::clicked, this, &AirspaceSelectionWindow::BitBtn1Click);
  connect(BitBtn3, &QPushButton::clicked, this, [this] {
    BitBtn3->setEnabled(false);
    reject();
  });

  Panel5 = new QLabel(QStringLiteral("Cargando. Por favor, espere ..."), this);
  Panel5->setObjectName(QStringLiteral("Panel5"));
  Panel5->setGeometry(0, 0, 960, 614);
  Panel5->setAlignment(Qt::AlignCenter);
  Panel5->setStyleSheet(QStringLiteral("background: #008080; color: white; font-weight: bold;"));
  Panel5->raise();
}

void AirspaceSelectionWindow::place_swatches() {
  for (std::size_t k = 0; k < kMuestras; ++k) {
    QRadioButton* row = RadioGroup1->button(static_cast<int>(k));
    Shapes[k]->setVisible(row != nullptr);
    if (row)
      Shapes[k]->move(190, kRadioTop + row->geometry().center().y() - 9);
  }
}

void AirspaceSelectionWindow::colour_swatches() {
  for (std::size_t k = 0; k < kMuestras; ++k) {
    const std::string colour = seleccion_->swatch(k);
    Shapes[k]->setStyleSheet(QStringLiteral("background: %1; border: 1px solid black;")
                                 .arg(QString::fromStdString(colour.empty() ? "#FFFFFF" : colour)));
  }
}

bool AirspaceSelectionWindow::event(QEvent* e) {
  // First activation; a desktop without a window manager never activates, so showing counts too.
  if ((e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) && primera_vez)
    QTimer::singleShot(0, this, &AirspaceSelectionWindow::FormActivate);
  return QDialog::event(e);
}

bool AirspaceSelectionWindow::eventFilter(QObject* watched, QEvent* e) {
  if (watched == clbEspacios->viewport() && e->type() == QEvent::MouseButtonPress)
    row_at_press_ = clbEspacios->currentRow();
  return QDialog::eventFilter(watched, e);
}

void AirspaceSelectionWindow::keyPressEvent(QKeyEvent* e) {
  // Escape is "Cancelar", and only once that button can be pressed.
  if (e->key() == Qt::Key_Escape && !BitBtn3->isEnabled()) {
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

void AirspaceSelectionWindow::done(int result) {
  // FormCloseQuery: whatever closes the window, only "Aceptar" keeps the marks.
  if (!laceptado) seleccion_->discard();
  watchdog_.stop();
  AgregarEspacios.stop();
  QDialog::done(result);
}

void AirspaceSelectionWindow::FormActivate() {
  if (!primera_vez) return;
  primera_vez = false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    const std::string page = build_airspace_page(inputs_.maps);
    connect(bridge_, &BrowserBridge::loaded, this, [this] { page_loaded(); });
    watchdog_.start();
    bridge_->show_page("page6.htm", page, inputs_.files_folder);
  } catch (const std::exception& error) {
    QApplication::restoreOverrideCursor();
    page_loaded();  // the lists work without the map
    if (inputs_.on_error) inputs_.on_error(QString::fromStdString(error.what()));
    return;
  }
  QApplication::restoreOverrideCursor();
}

void AirspaceSelectionWindow::page_loaded() {
  if (page_done_) return;
  page_done_ = true;
  watchdog_.stop();
  AgregarEspacios.start();
  BitBtn3->setEnabled(true);
  BitBtn1->setEnabled(true);
}

void AirspaceSelectionWindow::run(const AirspaceSelection::Batch& batch) {
  if (!batch.empty()) bridge_->run_statements(to_qt(batch));
}

void AirspaceSelectionWindow::AgregarEspaciosTimer() {
  AgregarEspacios.stop();
  for (const AirspaceSelection::Batch& b : seleccion_->initial_batches()) run(b);
  RadioGroup1->setEnabled(true);
  if (RadioGroup1->item_index() >= 0) set_six_buttons(true);
  Panel5->hide();
  ready_ = true;
}

void AirspaceSelectionWindow::set_six_buttons(bool on) {
  for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5, BitBtn6}) b->setEnabled(on);
}

void AirspaceSelectionWindow::clear_limits() {
  Label1->clear();
  Label2->clear();
}

void AirspaceSelectionWindow::show_limits(const TAirSpace& a) {
  Label1->setText(QStringLiteral("Límite superior: ") + QString::fromStdString(a.AH));
  Label2->setText(QStringLiteral("Límite inferior: ") + QString::fromStdString(a.AL));
}

void AirspaceSelectionWindow::fill_list() {
  filling_ = true;
  clbEspacios->clear();
  for (const AirspaceSelection::Item& item : seleccion_->items(static_cast<std::size_t>(RadioGroup1->item_index()))) {
    auto* row = new QListWidgetItem(QString::fromStdString(item.name), clbEspacios);
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    row->setCheckState(item.ticked ? Qt::Checked : Qt::Unchecked);
  }
  filling_ = false;
}

void AirspaceSelectionWindow::RadioGroup1Click() {
  if (RadioGroup1->item_index() < 0) {
    set_six_buttons(false);
    return;
  }
  fill_list();
  clear_limits();
  set_six_buttons(true);
}

void AirspaceSelectionWindow::clbEspaciosClick() {
  if (filling_ || clbEspacios->count() == 0 || !clbEspacios->currentItem()) return;
  clear_limits();
  const std::string name = clbEspacios->currentItem()->text().toStdString();
  const TAirSpace* a = seleccion_->find(name);
  if (!a) return;
  show_limits(*a);
  run(seleccion_->highlight(name));
}

void AirspaceSelectionWindow::clbEspaciosClickCheck(QListWidgetItem* item) {
  if (filling_ || !item) return;
  clear_limits();
  const std::string name = item->text().toStdString();
  const AirspaceSelection::Batch batch = seleccion_->set_ticked(name, item->checkState() == Qt::Checked);
  const TAirSpace* a = seleccion_->find(name);
  if (!a) return;
  show_limits(*a);
  run(batch);
  colour_swatches();
}

void AirspaceSelectionWindow::set_all_ticks(bool ticked) {
  filling_ = true;
  for (int i = 0; i < clbEspacios->count(); ++i) clbEspacios->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
  filling_ = false;
}

void AirspaceSelectionWindow::BitBtn2Click() {
  if (clbEspacios->count() == 0) return;
  clear_limits();
  for (const AirspaceSelection::Batch& b : seleccion_->mark_all(static_cast<std::size_t>(RadioGroup1->item_index()))) run(b);
  set_all_ticks(true);
  colour_swatches();
}

void AirspaceSelectionWindow::BitBtn4Click() {
  if (clbEspacios->count() == 0) return;
  clear_limits();
  for (const AirspaceSelection::Batch& b : seleccion_->unmark_all(static_cast<std::size_t>(RadioGroup1->item_index())))
    run(b);
  set_all_ticks(false);
  colour_swatches();
}

namespace {
void mark_by_floor(AirspaceSelectionWindow& w, AirspaceSelection& s, bool sfc,
                   const std::function<void(const AirspaceSelection::Batch&)>& run,
                   const std::function<void(int, bool)>& tick) {
  std::vector<std::string> names;
  for (int i = 0; i < w.clbEspacios->count(); ++i) names.push_back(w.clbEspacios->item(i)->text().toStdString());
  std::vector<bool> ticks;
  for (const AirspaceSelection::Batch& b : s.mark_by_floor(static_cast<std::size_t>(w.RadioGroup1->item_index()), sfc, names, &ticks))
    run(b);
  for (std::size_t i = 0; i < ticks.size(); ++i) tick(static_cast<int>(i), ticks[i]);
}
}  // namespace

void AirspaceSelectionWindow::BitBtn5Click() {
  if (RadioGroup1->item_index() < 0 || clbEspacios->count() == 0) return;
  clear_limits();
  filling_ = true;
  mark_by_floor(*this, *seleccion_, true, [this](const AirspaceSelection::Batch& b) { run(b); },
                [this](int i, bool on) { clbEspacios->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked); });
  filling_ = false;
  colour_swatches();
}

void AirspaceSelectionWindow::BitBtn6Click() {
  if (RadioGroup1->item_index() < 0 || clbEspacios->count() == 0) return;
  clear_limits();
  filling_ = true;
  mark_by_floor(*this, *seleccion_, false, [this](const AirspaceSelection::Batch& b) { run(b); },
                [this](int i, bool on) { clbEspacios->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked); });
  filling_ = false;
  colour_swatches();
}

void AirspaceSelectionWindow::BitBtn1Click() {
  BitBtn1->setEnabled(false);
  // The file first: the drawn set changes only once the selection is safely on disk.
  try {
    write_file_atomically(inputs_.program_folder + "airspsel.txt",
                          encode_text(seleccion_->selection_text(), platform_text_encoding()));
  } catch (const std::exception& error) {
    BitBtn1->setEnabled(true);
    if (inputs_.on_error) inputs_.on_error(QString::fromStdString(error.what()));
    return;
  }
  laceptado = true;
  seleccion_->commit();
  accept();
}

}  // namespace tolvex
