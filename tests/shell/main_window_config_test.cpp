// The configuration window opened from the main window: what is saved, what the main window takes
// over, restart notices, size-mode changes; the about window; the sound cue after a refresh.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QEventLoop>
#include <QFocusEvent>

#include "base/ini_file.h"
#include "base/radio_list_qt.h"
#include "dialogs/about_window.h"
#include "dialogs/config_window.h"
#include "dialogs/sound_cues.h"
#include "route/route_editor_window.h"
#include "shell/main_window_fixture.h"
#include "support/accessibility_check.h"
#include "support/fake_iocp_server.h"

namespace tolvex::test {
namespace {

void pump_events(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

class ConfigTest : public MainWindowTest {
 protected:
  void start_comma(const std::string& config) {
    MainWindowOptions options;
    options.decimal_separator = ',';
    start(config, options);
  }

  void configure(const std::function<void(ConfigWindow&)>& act) { run_on_config_window(*window, act); }

  // Types into a field and leaves it (the focus event itself: a window that is not active, as
  // under a busy test run, gets no focus changes).
  static void leave(QLineEdit* field, const QString& text) {
    field->setText(text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field, &out);
  }
};

TEST_F(ConfigTest, EverySettingIsSavedAndSurvivesARestart) {
  start_comma("; kept\r\n[INICIO]\r\nDEBUG=S\r\nTIPOCONEXION=F\r\nXPLANE=S\r\nSIZE=0\r\n[OTRA]\r\nX=1\r\n");
  configure([&](ConfigWindow& w) {
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Configuración de Tolvex"));
    EXPECT_EQ(unnamed_controls(&w), QStringList());
    EXPECT_TRUE(w.chkEspacios->isVisibleTo(&w));
    EXPECT_TRUE(w.BitBtn4->isVisibleTo(&w));
    EXPECT_TRUE(w.chkXPlane->isChecked());
    EXPECT_TRUE(w.check_suave->isChecked()) << "on unless SUAVE says otherwise";
    EXPECT_FALSE(w.Edit1->isVisibleTo(&w)) << "FSUIPC shows its note instead of the address";
    EXPECT_TRUE(w.memofsuipc->isVisibleTo(&w));
    w.conecrg->button(0)->click();
    EXPECT_TRUE(w.Edit1->isVisibleTo(&w));
    EXPECT_FALSE(w.memofsuipc->isVisibleTo(&w));
    w.Edit1->setText(QStringLiteral("10.1.2.3"));
    w.Edit2->setText(QStringLiteral("9000"));
    w.origen->button(1)->click();
    w.tamano->button(1)->click();
    w.tipog->button(2)->click();
    w.cbpuntos->setChecked(true);
    w.soncb->setChecked(false);
    w.autocb->setChecked(true);
    w.cbruta->setChecked(true);
    w.chkXPlane->setChecked(false);
    w.chkEspacios->setChecked(true);
    w.check_suave->setChecked(false);
    w.autoint->setText(QStringLiteral("2.75"));
    w.Edit3->setText(QStringLiteral("6"));
    w.ComboBox1->setCurrentIndex(2);
    w.ComboBox2->setCurrentText(QStringLiteral("0.5"));
    w.BitBtn1->click();
  });
  const std::string text = folder.read("CONFIG.INI");
  EXPECT_EQ(text.find("XPLANE"), std::string::npos) << "unticked X-Plane deletes the key";
  EXPECT_EQ(text.rfind("; kept\r\n", 0), 0u);
  EXPECT_NE(text.find("[OTRA]\r\nX=1\r\n"), std::string::npos);

  const Settings s = load_settings(IniFile(folder.file("CONFIG.INI")), ',');
  EXPECT_TRUE(s.iocpserver);
  EXPECT_EQ(s.dirip, "10.1.2.3");
  EXPECT_EQ(s.puerto, 9000);
  EXPECT_TRUE(s.MapaSK);
  EXPECT_EQ(s.mapsize, 1);
  EXPECT_TRUE(s.puntosvfr);
  EXPECT_FALSE(s.Sonidos);
  EXPECT_TRUE(s.auto_);
  EXPECT_TRUE(s.ruta_visible);
  EXPECT_FALSE(s.xplane);
  EXPECT_TRUE(s.lespaciosaereos);
  EXPECT_FALSE(s.suave);
  EXPECT_EQ(s.intervalorgm, "2,7");
  EXPECT_EQ(s.intervalo_ms, 2700);
  EXPECT_EQ(s.rutadin_ancho, 6);
  EXPECT_EQ(s.rutadin_color, 2);
  EXPECT_EQ(s.rutadin_trans, "0.5");
  EXPECT_TRUE(s.debug);
  EXPECT_EQ(IniFile(folder.file("CONFIG.INI")).read_string("INICIO", "TIPOG", ""), "3");

  // Taken over by the running window; the link waits for a restart.
  EXPECT_EQ(messages, std::vector<std::string>{"Los cambios en el modo de conexión no serán efectivos\nhasta que no "
                                               "reinicie la aplicación Tolvex."});
  EXPECT_FALSE(window->cfg.iocpserver);
  EXPECT_EQ(window->tipogooglemap, 3);
  EXPECT_TRUE(window->cfg.MapaSK);
  EXPECT_FALSE(window->cfg.suave);
  EXPECT_EQ(window->Timer_auto.interval(), 20000) << "the chart service polls every 20 s";
  EXPECT_EQ(window->seguimiento->property("imagen").toInt(), 1);
  EXPECT_EQ(window->size(), QSize(800, 560));
  EXPECT_FALSE(window->Timer_auto.isActive()) << "not connected: connecting restarts the poll";
}

TEST_F(ConfigTest, CancelLeavesTheFileByteForByte) {
  const std::string config = "[INICIO]\nDEBUG=S\n  TIPOCONEXION = I \n;note\nXPLANE=S\n[RUTA]\nVIS=N\n";
  start_comma(config);
  configure([&](ConfigWindow& w) {
    w.conecrg->button(1)->click();
    w.chkXPlane->setChecked(false);
    leave(w.autoint, QStringLiteral("0.3"));
    EXPECT_EQ(w.autoint->text(), QStringLiteral("0,3"));
    w.BitBtn2->click();
  });
  EXPECT_EQ(folder.read("CONFIG.INI"), config);
  EXPECT_TRUE(window->Timer_auto.isActive()) << "Cancel restarts the poll";
  EXPECT_TRUE(messages.empty());
}

// Either separator is read on every system: a point-separator system keeps "1,5" too.
TEST_F(ConfigTest, IntervalAcceptsEitherSeparatorOnEverySystem) {
  for (const char separator : {',', '.'}) {
    MainWindowOptions options;
    options.decimal_separator = separator;
    start(default_config("INTERVALO=10\r\n"), options);
    configure([&](ConfigWindow& w) {
      leave(w.autoint, QStringLiteral("1,55"));
      EXPECT_EQ(w.autoint->text(), QStringLiteral("1,5"));
      leave(w.autoint, QStringLiteral("2.5"));
      EXPECT_EQ(w.autoint->text(), QStringLiteral("2,5"));
      w.autoint->setText(QStringLiteral("0,05"));  // Aceptar normalises again
      w.BitBtn1->click();
    });
    // Cut to "0,0", which polls at the timer's floor of a tenth of a second.
    EXPECT_EQ(window->cfg.intervalorgm, "0,0");
    EXPECT_EQ(window->Timer_auto.interval(), 100);
    EXPECT_TRUE(messages.empty());
    window->close();
    window.reset();
  }
}

// A value replaced by its fallback is saved and the pilot is told which and why, once, at
// "Aceptar": also when the field was left (and showed "1") long before.
TEST_F(ConfigTest, FallbacksAreToldToThePilot) {
  start_comma(default_config("INTERVALO=10\r\n"));
  configure([&](ConfigWindow& w) {
    leave(w.autoint, QStringLiteral("0"));
    EXPECT_EQ(w.autoint->text(), QStringLiteral("1"));
    w.Edit1->setText(QString());
    w.Edit2->setText(QStringLiteral("99999"));
    w.BitBtn1->click();
  });
  EXPECT_EQ(messages, std::vector<std::string>{
                          "No se ha indicado la dirección del equipo del Flight Simulator. Se ha guardado 127.0.0.1.\n"
                          "Puerto \"99999\" no válido: debe ser un número entero de 1 a 65535. Se ha guardado 8090.\n"
                          "Intervalo de actualización \"0\" no válido: debe ser mayor que cero. Se usa 1 segundo."});
  const IniFile ini(folder.file("CONFIG.INI"));
  EXPECT_EQ(ini.read_string("INICIO", "DIRIP", ""), "127.0.0.1");
  EXPECT_EQ(ini.read_string("INICIO", "PUERTO", ""), "8090");
  EXPECT_EQ(ini.read_string("INICIO", "INTERVALO", ""), "1");
}

// A link change saved for the next start is what the window shows when opened again, and
// "Aceptar" for another change keeps it; a host name stays a host name.
TEST_F(ConfigTest, ReopenedWindowShowsTheSavedLinkNotTheRunningOne) {
  start(default_config("PUERTO=8090\r\nDIRIP=127.0.0.1\r\n"));
  configure([&](ConfigWindow& w) {
    w.Edit1->setText(QStringLiteral("SIMPC.LOCAL"));
    w.Edit2->setText(QStringLiteral("9000"));
    w.BitBtn1->click();
  });
  configure([&](ConfigWindow& w) {
    EXPECT_EQ(w.conecrg->item_index(), 0);
    EXPECT_EQ(w.Edit1->text(), QStringLiteral("SIMPC.LOCAL"));
    EXPECT_EQ(w.Edit2->text(), QStringLiteral("9000"));
    w.soncb->setChecked(!w.soncb->isChecked());
    w.BitBtn1->click();
  });
  configure([&](ConfigWindow& w) {
    w.conecrg->button(2)->click();  // the network link, for the next start
    w.BitBtn1->click();
  });
  configure([&](ConfigWindow& w) {
    EXPECT_EQ(w.conecrg->item_index(), 2);
    w.BitBtn1->click();
  });
  const IniFile ini(folder.file("CONFIG.INI"));
  EXPECT_EQ(ini.read_string("INICIO", "DIRIP", ""), "SIMPC.LOCAL");
  EXPECT_EQ(ini.read_string("INICIO", "PUERTO", ""), "9000");
  EXPECT_EQ(ini.read_string("INICIO", "TIPOCONEXION", ""), "X");
  EXPECT_EQ(window->cfg.dirip, "127.0.0.1") << "the running link changes only with a restart";
  EXPECT_EQ(window->cfg.puerto, 8090);
  EXPECT_TRUE(window->cfg.iocpserver);
}

TEST_F(ConfigTest, RestartNoticeForAddressOrPortOnly) {
  start(default_config("PUERTO=8090\r\nDIRIP=127.0.0.1\r\n"));
  struct Case {
    const char* host;
    const char* port;
    std::vector<std::string> expected;
  };
  const std::string notice =
      "Los cambios en la configuración de IP o Puerto no serán efectivos\nhasta que no reinicie la aplicación Tolvex.";
  const Case cases[] = {
      {"127.0.0.1", "8091", {notice}},
      // Falls back to the running 8090: no restart, but the pilot learns of the fallback.
      {"127.0.0.1", "puerto",
       {"Puerto \"puerto\" no válido: debe ser un número entero de 1 a 65535. Se ha guardado 8090."}},
      {"127.0.0.1", "8090", {}}};
  for (const Case& c : cases) {
    messages.clear();
    configure([&](ConfigWindow& w) {
      w.Edit1->setText(QString::fromLatin1(c.host));
      w.Edit2->setText(QString::fromLatin1(c.port));
      w.BitBtn1->click();
    });
    EXPECT_EQ(messages, c.expected) << c.port;
    EXPECT_EQ(window->cfg.puerto, 8090) << "the running link keeps its port";
  }
}

TEST_F(ConfigTest, NetworkLinkIsChosenWithItsPort) {
  start(default_config());  // IOCP Server
  configure([&](ConfigWindow& w) {
    EXPECT_FALSE(w.Image1->pixmap().isNull()) << "the header picture comes from the executable's folder";
    w.conecrg->button(2)->click();
    EXPECT_TRUE(w.edit_puerto_udp->isVisibleTo(&w));
    EXPECT_FALSE(w.Edit1->isVisibleTo(&w));
    w.edit_puerto_udp->setText(QStringLiteral("49010"));
    w.BitBtn1->click();
  });
  const IniFile ini(folder.file("CONFIG.INI"));
  EXPECT_EQ(ini.read_string("INICIO", "TIPOCONEXION", ""), "X");
  EXPECT_EQ(ini.read_string("INICIO", "PUERTOUDP", ""), "49010");
  EXPECT_EQ(messages, std::vector<std::string>{"Los cambios en el modo de conexión no serán efectivos\nhasta que no "
                                               "reinicie la aplicación Tolvex."});
  EXPECT_TRUE(window->cfg.iocpserver) << "the running link changes only with a restart";
}

TEST_F(ConfigTest, FixedToAdjustableClosesAfterTheMessage) {
  start(default_config("SIZE=1\r\n"));
  QSignalSpy closed(window.get(), &MainWindow::closed);
  configure([&](ConfigWindow& w) {
    w.tamano->button(3)->click();
    w.BitBtn1->click();
  });
  EXPECT_EQ(messages, std::vector<std::string>{kAvisoAjustable});
  EXPECT_EQ(IniFile(folder.file("CONFIG.INI")).read_string("INICIO", "SIZE", ""), "3");
  EXPECT_TRUE(closed.wait(3000)) << "the application closes";

  messages.clear();
  start(default_config("SIZE=3\r\n"));
  configure([&](ConfigWindow& w) {
    w.tamano->button(0)->click();
    w.BitBtn1->click();
  });
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(window->tmr_close.isActive());
  EXPECT_EQ(window->size(), QSize(505, 394)) << "reshaped without closing";
}

TEST_F(ConfigTest, RouteButtonOpensTheEditorOnTheMainWindowsRoute) {
  FakeIocpServer server;
  start("[INICIO]\r\nTIPOCONEXION=I\r\nPUERTO=" + std::to_string(server.port()) +
        "\r\nSONIDOS=N\r\nINTERVALO=60\r\n[RUTA]\r\nANCHO=6\r\nCOLOR=3\r\nTRANS=\r\nVIS=S\r\nVELOCIDAD=95\r\nCONSUMO=8,5\r\n");
  window->ruta_ruta = "-3.7, 40.4\n-3.6, 40.5\n";
  window->conexionClick();
  ASSERT_TRUE(wait_page());
  bool edited = false;
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* editor = qobject_cast<RouteEditor*>(QApplication::activeModalWidget());
    if (edited || !editor || !editor->ready()) return;
    edited = true;
    poll.stop();
    EXPECT_EQ(editor->posicion_Actual, "40.47123,-3.70912");
    EXPECT_EQ(editor->Edit3->text(), QStringLiteral("6"));
    EXPECT_EQ(editor->ComboBox1->currentIndex(), 3);
    EXPECT_EQ(editor->ComboBox2->currentText(), QStringLiteral("1")) << "an empty opacity chooses \"1\"";
    EXPECT_EQ(editor->Edit4->text(), QStringLiteral("95"));
    EXPECT_EQ(editor->Edit2->text(), QStringLiteral("8,5"));
    EXPECT_EQ(editor->bridge()->evaluate(QStringLiteral("polyShape.getPath().getLength()")).toInt(), 2);
    editor->Button5->click();  // "Borrar Último Punto"
    editor->ComboBox2->setCurrentIndex(4);
    editor->Edit4->setText(QStringLiteral("110"));
    editor->Button1->click();
  });
  configure([&](ConfigWindow& w) {
    poll.start();
    w.BitBtn3->click();
    w.BitBtn2->click();  // the route is the main window's even when the configuration is cancelled
  });
  EXPECT_TRUE(edited) << "the route editor never became ready";
  EXPECT_EQ(window->ruta_ruta, "-3.7, 40.4\n");
  EXPECT_EQ(window->cfg.ruta_ancho, 6);
  EXPECT_EQ(window->cfg.ruta_color, 3);
  EXPECT_EQ(window->cfg.ruta_trans, "0.5");
  EXPECT_EQ(window->cfg.velo, "110");
  EXPECT_EQ(window->cfg.cons, "8,5");
  EXPECT_TRUE(messages.empty());
  // The route shown on the moving map is drawn again as it now is.
  ASSERT_GE(statements.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(statements.end() - 3, statements.end()),
            (std::vector<std::string>{"clearRuta();", "AgregarPunto( 40.4,-3.7)", "cambiarLinea(6,'#80FFFF',0.5);"}));
}

TEST_F(ConfigTest, AboutWindowShowsTheVersion) {
  const std::pair<std::optional<std::pair<int, int>>, const char*> cases[] = {
      {std::make_pair(1, 0), "(Versión v1.00)"}, {std::make_pair(5, 51), "(Versión v5.51)"},
      {std::make_pair(5, 7), "(Versión v5.07)"}, {std::nullopt, "(Versión )"}};
  for (const auto& [version, line] : cases) {
    AboutWindow w(version, folder.qpath());
    w.FormActivate();
    EXPECT_EQ(w.StaticText6->text().toStdString(), line);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Acerca de ..."));
    EXPECT_EQ(unnamed_controls(&w), QStringList());
  }
}

// Records what would have been played.
class RecordingPlayer : public SoundPlayer {
 public:
  RecordingPlayer(std::vector<QString>* played, bool output) : played_(played), output_(output) {}
  bool has_output() override { return output_; }
  void play(const QString& path) override { played_->push_back(path); }

 private:
  std::vector<QString>* played_;
  bool output_;
};

class SoundTest : public ConfigTest {
 protected:
  void start_linked(FakeIocpServer& server, bool output = true) {
    start("[INICIO]\r\nDEBUG=S\r\nTIPOCONEXION=I\r\nDIRIP=127.0.0.1\r\nPUERTO=" + std::to_string(server.port()) +
          "\r\nSONIDOS=S\r\nINTERVALO=60\r\n");
    window->sound_cues->set_player(std::make_unique<RecordingPlayer>(&played, output));
    QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
    window->conexionClick();
    ASSERT_TRUE(loaded.wait(15000));
  }
  std::vector<QString> played;
};

TEST_F(SoundTest, ManualRefreshPlaysOnceAutomaticNever) {
  folder.write("aviso.mp3", "not really");
  folder.write("OTRO.MP3", "not really");
  folder.write("nota.txt", "");
  FakeIocpServer server;
  start_linked(server);
  EXPECT_EQ(window->sound_cues->files(), (QStringList{"OTRO.MP3", "aviso.mp3"}));
  pump_events(400);
  ASSERT_EQ(played.size(), 1u) << "the first refresh after connecting";
  EXPECT_TRUE(played[0].endsWith(QStringLiteral(".mp3"), Qt::CaseInsensitive));

  window->Timer_autoTimer();
  pump_events(400);
  EXPECT_EQ(played.size(), 1u) << "automatic polls are silent";

  window->ActualizarClick();
  window->ActualizarClick();  // the second press restarts the one timer
  pump_events(400);
  EXPECT_EQ(played.size(), 2u) << "two presses within 200 ms play once";
  EXPECT_FALSE(window->pulsaboton);
  EXPECT_TRUE(messages.empty());
}

TEST_F(SoundTest, NoFilesOrNoOutputIsSilence) {
  {
    FakeIocpServer server;
    start_linked(server);
    EXPECT_TRUE(window->sound_cues->files().isEmpty());
    pump_events(400);
    EXPECT_TRUE(played.empty());
    window->close();
    window.reset();
  }
  folder.write("aviso.mp3", "not really");
  FakeIocpServer server;
  start_linked(server, false);
  pump_events(400);
  EXPECT_TRUE(played.empty());
  EXPECT_TRUE(messages.empty()) << "no audio output: nothing is shown";
  const auto log = log_lines();
  EXPECT_NE(std::find(log.begin(), log.end(), "Sin salida de audio: el sonido no se reproduce"), log.end());
}

}  // namespace
}  // namespace tolvex::test
