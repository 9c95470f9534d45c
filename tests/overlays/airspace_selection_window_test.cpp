// The airspace selection window with its real page (keyless provider, no network).
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "base/radio_list_qt.h"
#include "map/browser_bridge.h"
#include "map/page_harness.h"
#include "overlays/airspace_selection_window.h"
#include "support/accessibility_check.h"

namespace tolvex::test {
namespace {

TAirSpace airspace(std::string ac, std::string an, bool visible) {
  TAirSpace a;
  a.AC = std::move(ac);
  a.AN = std::move(an);
  a.AH = "FL 95";
  a.AL = "SFC";
  a.SP = "0,2,AZUL";
  a.dibujos = {"DP -0.5,38.1", "DP -0.4,38.2", "DP -0.4,38.1"};
  a.visible = visible;
  return a;
}

class SelectionWindowTest : public ::testing::Test {
 protected:
  SelectionWindowTest() : folder_(false) {
    ensure_test_environment();
    set_remote_requests_blocked(true);
    catalogue = {airspace("R", "LED 71", true), airspace("R", "<b>LED</b> 72", false), airspace("CTR", "MADRID", false)};
  }

  std::unique_ptr<AirspaceSelectionWindow> open() {
    AirspaceSelectionInputs in;
    in.program_folder = folder_.path();
    in.files_folder = built_program_folder();
    in.maps.proveedor = "osm";
    in.maps.teselas_normal = "http://127.0.0.1:9/{z}/{x}/{y}.png";
    in.omitidos = omitidos;
    in.on_error = [this](const QString& text) { errors.push_back(text.toStdString()); };
    auto w = std::make_unique<AirspaceSelectionWindow>(catalogue, in);
    w->show();
    w->activateWindow();
    QElapsedTimer clock;
    clock.start();
    while (!w->ready() && clock.elapsed() < 20000) pump_events(50);
    EXPECT_TRUE(w->ready()) << "the page never became ready";
    return w;
  }

  QVariant eval(AirspaceSelectionWindow& w, const char* expression) {
    return w.bridge()->evaluate(QString::fromLatin1(expression));
  }

  static QString swatch(AirspaceSelectionWindow& w, int k) {
    const QString style = w.Shapes[static_cast<std::size_t>(k)]->styleSheet();
    return style.mid(style.indexOf(QLatin1Char('#')), 7);
  }

  TempProgramFolder folder_;
  AirspaceCatalogue catalogue;
  std::size_t omitidos = 0;
  std::vector<std::string> errors;
};

TEST_F(SelectionWindowTest, MarksPreviewsAndSaves) {
  auto w = open();
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Espacios Aéreos"));
  EXPECT_EQ(unnamed_controls(w.get()), QStringList());
  EXPECT_FALSE(folder_.exists("page6.htm")) << "pages are served from memory";
  EXPECT_EQ(eval(*w, "nomespacios.join('|')").toString(), QStringLiteral("LED 71"));
  EXPECT_EQ(swatch(*w, 0), QStringLiteral("#FFFF00"));
  EXPECT_EQ(swatch(*w, 1), QStringLiteral("#FFFFFF"));
  EXPECT_FALSE(w->BitBtn2->isEnabled()) << "no class chosen yet";
  EXPECT_EQ(w->RadioGroup1->button(1)->text(), QStringLiteral("CTR Clase CTR"));

  w->RadioGroup1->button(0)->click();
  ASSERT_EQ(w->clbEspacios->count(), 2);
  EXPECT_TRUE(w->BitBtn2->isEnabled());
  EXPECT_EQ(w->clbEspacios->item(0)->checkState(), Qt::Checked);
  w->clbEspacios->item(1)->setCheckState(Qt::Checked);
  EXPECT_EQ(swatch(*w, 0), QStringLiteral("#008000"));
  EXPECT_EQ(eval(*w, "espacios.length").toInt(), 2);
  // A name is shown as text in the information window, never as markup.
  EXPECT_EQ(eval(*w, "google.maps.event.trigger(espacios[1], 'click', {latLng: new google.maps.LatLng(38.15, -0.45)});"
                     "infowindow.getContent()").toString(),
            QStringLiteral("Restringida<br>&lt;b&gt;LED&lt;/b&gt; 72<br>Límite superior: FL 95<br>Límite inferior: SFC"));

  w->clbEspacios->setCurrentRow(0);
  EXPECT_EQ(w->Label1->text(), QStringLiteral("Límite superior: FL 95"));
  EXPECT_EQ(w->Label2->text(), QStringLiteral("Límite inferior: SFC"));
  for (QLabel* l : {w->Label1, w->Label2}) EXPECT_EQ(l->textFormat(), Qt::PlainText) << "the file's text, never markup";
  EXPECT_EQ(eval(*w, "actdibujo.length").toInt(), 1);
  EXPECT_TRUE(eval(*w, "map.getBounds().contains(new google.maps.LatLng(38.15, -0.45))").toBool())
      << "the highlighted airspace is brought into view";

  w->clbEspacios->item(0)->setCheckState(Qt::Unchecked);
  EXPECT_EQ(eval(*w, "nomespacios.join('|')").toString(), QStringLiteral("<b>LED</b> 72"));
  EXPECT_EQ(swatch(*w, 0), QStringLiteral("#FFFF00"));

  // A click on the name already selected shows its limits and highlight again, after "Marcar
  // Todo" has cleared them.
  w->RadioGroup1->button(1)->click();
  const auto click_first = [&w] {
    QListWidget* list = w->clbEspacios;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
  };
  click_first();
  EXPECT_EQ(w->Label1->text(), QStringLiteral("Límite superior: FL 95"));
  w->BitBtn2->click();  // Marcar Todo
  EXPECT_EQ(w->Label1->text(), QString());
  eval(*w, "BorrarResaltado()");
  click_first();
  EXPECT_EQ(w->Label1->text(), QStringLiteral("Límite superior: FL 95"));
  EXPECT_EQ(eval(*w, "actdibujo.length").toInt(), 1);
  EXPECT_EQ(swatch(*w, 1), QStringLiteral("#008000"));
  w->BitBtn1->click();
  EXPECT_EQ(folder_.read("airspsel.txt"), "<b>LED</b> 72\r\nMADRID\r\n");
  EXPECT_EQ((std::vector<bool>{catalogue[0].visible, catalogue[1].visible, catalogue[2].visible}),
            (std::vector<bool>{false, true, true}));
  EXPECT_TRUE(errors.empty());
  EXPECT_FALSE(w->lblOmitidos->isVisibleTo(w.get())) << "nothing was skipped";
}

TEST_F(SelectionWindowTest, SkippedAirspacesAreToldAndLimitsAreText) {
  omitidos = 3;
  catalogue[0].AH = "<i>FL</i> 95";
  auto w = open();
  EXPECT_TRUE(w->lblOmitidos->isVisibleTo(w.get()));
  EXPECT_TRUE(w->lblOmitidos->text().startsWith(QStringLiteral("3 espacios aéreos de airspaces.txt no se pudieron leer")));
  w->RadioGroup1->button(0)->click();
  w->clbEspacios->setCurrentRow(0);
  EXPECT_EQ(w->Label1->text(), QStringLiteral("Límite superior: <i>FL</i> 95"));
  EXPECT_EQ(w->Label1->textFormat(), Qt::PlainText);
}

TEST_F(SelectionWindowTest, CancelThenReopenShowsTheOldSelection) {
  folder_.write("airspsel.txt", "LED 71\r\n");
  {
    auto w = open();
    w->RadioGroup1->button(0)->click();
    w->BitBtn4->click();  // Desmarcar Todo
    EXPECT_FALSE(catalogue[0].previs);
    w->BitBtn3->click();  // Cancelar
  }
  EXPECT_EQ(folder_.read("airspsel.txt"), "LED 71\r\n");
  EXPECT_TRUE(catalogue[0].visible);
  auto w = open();
  w->RadioGroup1->button(0)->click();
  EXPECT_EQ(w->clbEspacios->item(0)->checkState(), Qt::Checked);
  EXPECT_EQ(eval(*w, "espacios.length").toInt(), 1);
}

TEST_F(SelectionWindowTest, EscapeWaitsForThePage) {
  AirspaceSelectionInputs in;
  in.program_folder = folder_.path();
  in.files_folder = built_program_folder();
  AirspaceSelectionWindow w(catalogue, in);
  w.show();
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_TRUE(w.isVisible()) << "Escape does nothing before the page has loaded";
  QElapsedTimer clock;
  clock.start();
  while (!w.ready() && clock.elapsed() < 20000) pump_events(50);
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_FALSE(w.isVisible());
}

}  // namespace
}  // namespace tolvex::test
