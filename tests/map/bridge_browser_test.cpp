// The browser bridge against a real browser view: loading, statement batches, form reads.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QStringList>

#include <stdexcept>
#include <string>
#include <vector>

#include "map/browser_bridge.h"
#include "map/page_harness.h"

namespace tolvex::test {
namespace {

const char kFormPage[] =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"/><title>formulario</title></head><body>"
    "<form name=\"f1\">"
    "<input type=\"hidden\" name=\"PuntosRuta\" value=\"\"/>"
    "<input type=\"hidden\" name=\"Longitud\" value=\"12|90\"/>"
    "<input type=\"text\" name=\"texto\" value=\"hola\"/>"
    "<input type=\"radio\" name=\"radio_si\" value=\"1\" checked/>"
    "<input type=\"radio\" name=\"radio_no\" value=\"2\"/>"
    "<input type=\"checkbox\" name=\"casilla_si\" value=\"x\" checked/>"
    "<input type=\"CHECKBOX\" name=\"casilla_no\" value=\"x\"/>"
    "<select name=\"lista\"><option value=\"a\">A</option><option value=\"b\" selected>B</option></select>"
    "<textarea name=\"notas\">linea 1\nlinea 2</textarea>"
    "<button type=\"button\" name=\"boton\" value=\"v\">B</button>"
    "<fieldset name=\"grupo\"></fieldset>"
    "</form>"
    "<form name=\"otro\"><input type=\"text\" name=\"ajeno\" value=\"no\"/></form>"
    "</body></html>";

const char kNoFormPage[] = "<!DOCTYPE html><html><head><title>sin formulario</title></head><body></body></html>";

TEST(BrowserBridge, RunsNothingBeforeAPageHasLoaded) {
  PageHarness h;
  QSignalSpy titles(&h.view(), &QWebEngineView::titleChanged);
  EXPECT_FALSE(h.bridge().is_loaded());
  h.bridge().run_statement("document.title='antes';");
  pump_events(300);

  ASSERT_TRUE(h.load(kFormPage));
  ASSERT_TRUE(h.load(kNoFormPage, "otra.html"));
  // The statement sent while the next page is on its way must not land in the old document.
  h.bridge().show_page("tercera.html", kFormPage, h.folder().qpath());
  EXPECT_FALSE(h.bridge().is_loaded());
  h.bridge().run_statement("document.title='durante';");
  ASSERT_TRUE(wait_for_loaded(h.bridge()));
  EXPECT_TRUE(h.bridge().is_loaded());

  h.bridge().run_statement("document.title='despues';");
  pump_events(200);
  QStringList seen;
  for (const QList<QVariant>& args : titles) seen << args.at(0).toString();
  EXPECT_FALSE(seen.contains("antes")) << seen.join(",").toStdString();
  EXPECT_FALSE(seen.contains("durante")) << seen.join(",").toStdString();
  EXPECT_TRUE(seen.contains("despues")) << seen.join(",").toStdString();
}

TEST(BrowserBridge, ReadingBeforeAnyPageIsAnError) {
  PageHarness h;
  EXPECT_THROW(h.bridge().read_field("PuntosRuta"), std::runtime_error);
}

TEST(BrowserBridge, AFailingLineEndsItsBatchOnly) {
  PageHarness h;
  ASSERT_TRUE(h.load(kFormPage));
  h.bridge().run_statements({"window.uno = 1;", "noExiste();", "window.tres = 3;"});
  h.bridge().run_statements({"var cuatro = 4;"});  // the next batch runs, and var outlives it
  EXPECT_EQ(h.eval("window.uno").toInt(), 1);
  EXPECT_EQ(h.eval("typeof window.tres").toString(), "undefined");
  EXPECT_EQ(h.eval("window.cuatro").toInt(), 4);

  // A line that does not even parse stops its batch the same way.
  h.bridge().run_statements({"window.cinco = 5;", "window.seis = (;", "window.siete = 7;"});
  EXPECT_EQ(h.eval("window.cinco").toInt(), 5);
  EXPECT_EQ(h.eval("typeof window.siete").toString(), "undefined");

  // Batches delivered together keep a guard each.
  h.bridge().run_batches({{"window.r = ['a'];", "noExiste();", "r.push('x');"},
                          {"r.push('b');"},
                          {},
                          {"r.push(;", "r.push('y');"},
                          {"r.push('c');", "r.push('d');"}});
  EXPECT_EQ(h.eval("r.join()").toString(), "a,b,c,d");
}

TEST(BrowserBridge, StatementsReachThePageVerbatim) {
  PageHarness h;
  ASSERT_TRUE(h.load(kFormPage));
  struct Case {
    QString statement;
    QString expected;  // value of window.r afterwards
  };
  const std::vector<Case> cases = {
      {"window.r = 'comilla \\' y \"doble\"';", "comilla ' y \"doble\""},
      {"window.r = 'barra \\\\ invertida';", "barra \\ invertida"},
      {"window.r = '</script><b>x</b>';", "</script><b>x</b>"},
      {"window.r = 'a';\nwindow.r += 'b';\r\nwindow.r += 'c';", "abc"},
      {QStringLiteral("window.r = 'a\u2028b\u2029c';"), QStringLiteral("a\u2028b\u2029c")},
      {QStringLiteral("window.r = 'Avi\u00f3n \u00f1';"), QStringLiteral("Avi\u00f3n \u00f1")},
  };
  for (const Case& c : cases) {
    h.bridge().run_statement("window.r = null;");
    h.bridge().run_statement(c.statement);
    EXPECT_EQ(h.eval("window.r").toString(), c.expected) << c.statement.toStdString();
  }
}

TEST(BrowserBridge, ObserverSeesEveryStatementAskedFor) {
  QStringList seen;
  BrowserBridge::set_statement_observer([&](const QString& s) { seen << s; });
  {
    PageHarness h;
    h.bridge().run_statement("primera();");  // not loaded: still seen
    h.bridge().run_statements({"segunda();", "tercera();"});
    h.bridge().run_batches({{"cuarta();"}, {"quinta();", "sexta();"}});
  }
  BrowserBridge::set_statement_observer(nullptr);
  EXPECT_EQ(seen, (QStringList{"primera();", "segunda();", "tercera();", "cuarta();", "quinta();", "sexta();"}));
}

TEST(BrowserBridge, ReadsFieldsOfFormF1ByTheirKind) {
  PageHarness h;
  ASSERT_TRUE(h.load(kFormPage));
  struct Case {
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {"PuntosRuta", ""},          // an empty form field
      {"Longitud", "12|90"},
      {"texto", "hola"},
      {"radio_si", "checked"},
      {"radio_no", "unchecked"},
      {"casilla_si", "checked"},
      {"casilla_no", "unchecked"},
      {"lista", "b"},
      {"notas", "linea 1\nlinea 2"},
      {"boton", ""},               // other tags give the empty text
      {"grupo", ""},
      {"no_existe", ""},           // a missing field is not an error
      {"ajeno", ""},               // only form f1 is searched
  };
  for (const Case& c : cases) {
    EXPECT_EQ(h.bridge().read_field(c.name), QString::fromUtf8(c.expected)) << c.name;
  }
}

TEST(BrowserBridge, AFieldWrittenByAStatementCanBeReadAtOnce) {
  PageHarness h;
  ASSERT_TRUE(h.load(kFormPage));
  h.bridge().run_statement("document.forms['f1'].PuntosRuta.value = '-3.5, 40.1\\n-3.6, 40.2\\n';");
  EXPECT_EQ(h.bridge().read_field("PuntosRuta"), "-3.5, 40.1\n-3.6, 40.2\n");
  h.bridge().run_statement("document.forms['f1'].casilla_si.checked = false;");
  EXPECT_EQ(h.bridge().read_field("casilla_si"), "unchecked");
  // Names are data, never script.
  EXPECT_EQ(h.bridge().read_field("x'];alert(1);//"), "");
}

TEST(BrowserBridge, APageWithoutFormF1IsAnError) {
  PageHarness h;
  ASSERT_TRUE(h.load(kNoFormPage));
  EXPECT_THROW(h.bridge().read_field("PuntosRuta"), std::runtime_error);
}

TEST(BrowserBridge, ABusyPageTimesOutInsteadOfFreezing) {
  PageHarness h;
  ASSERT_TRUE(h.load(kFormPage));
  QElapsedTimer clock;
  clock.start();
  EXPECT_THROW(h.bridge().evaluate("var t0 = Date.now(); while (Date.now() - t0 < 1500) {} 1", 200),
               std::runtime_error);
  EXPECT_LT(clock.elapsed(), 1200);
  // The late answer is dropped, and the bridge keeps working afterwards.
  pump_events(1600);
  EXPECT_EQ(h.eval("2 + 2").toInt(), 4);
}

}  // namespace
}  // namespace tolvex::test
