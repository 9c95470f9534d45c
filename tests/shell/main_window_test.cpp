// The main window driven through its handlers under Xvfb, with a real browser.
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>

#ifdef TOLVEX_TEST_X11
#include <QAbstractNativeEventFilter>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#endif

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "base/message_box_qt.h"
#include "platform/platform.h"
#include "shell/main_window_fixture.h"
#include "shell/qt_translations.h"
#include "support/accessibility_check.h"

namespace tolvex::test {
namespace {

using Names = std::vector<std::string>;

TEST_F(MainWindowTest, BlankPageLeavesOnlyConnectAndConfigure) {
  start(default_config());
  EXPECT_EQ(visible_buttons(), (Names{"conexion", "configurar"}));
  EXPECT_FALSE(window->Timer_auto.isActive());
  EXPECT_FALSE(window->Timer_PuntosVFR.isActive());
  EXPECT_FALSE(window->TimerEA.isActive());
  EXPECT_TRUE(window->Timer_Liberar.isActive());
  EXPECT_EQ(window->pp_caption->text(), QString());
  // The program's icon for the window and the tray (drawn at build time).
  EXPECT_FALSE(window->windowIcon().availableSizes().isEmpty());
  EXPECT_FALSE(window->CoolTrayIcon->icon().availableSizes().isEmpty());
}

TEST_F(MainWindowTest, ToolbarVisibilityFollowsMapSource) {
  start(default_config());
  struct Case {
    bool on;
    bool chart;
    Names expected;
  };
  const Case cases[] = {
      {true, false, {"conexion", "actualizar", "cambiar", "bpuntosvfr", "bruta", "bespacios", "mapnormal", "mapsatelite",
                     "maphibrido", "maprelieve", "seguimiento", "configurar"}},
      {true, true, {"conexion", "actualizar", "cambiar", "zoomin", "zoomout", "configurar"}},
      {false, false, {"conexion", "configurar"}},
      {false, true, {"conexion", "configurar"}},
  };
  for (const Case& c : cases) {
    window->cfg.MapaSK = c.chart;
    window->mostrar_botones(c.on);
    EXPECT_EQ(visible_buttons(), c.expected) << "on=" << c.on << " chart=" << c.chart;
  }
}

TEST_F(MainWindowTest, CaptionCarriesTheProgramVersion) {
  struct Case {
    std::optional<std::pair<int, int>> version;
    const char* caption;
  };
  const Case cases[] = {
      {std::make_pair(1, 0), "Tolvex v1.00 - Velmora Airlines"},
      {std::make_pair(5, 51), "Tolvex v5.51 - Velmora Airlines"},
      {std::make_pair(5, 4), "Tolvex v5.04 - Velmora Airlines"},
      {std::nullopt, "Tolvex  - Velmora Airlines"},
  };
  for (const Case& c : cases) {
    MainWindowOptions options;
    options.folder = folder.qpath();
    options.register_hot_key = false;
    options.version = c.version;
    MainWindow w(options);
    EXPECT_EQ(w.windowTitle().toStdString(), c.caption);
  }
}

TEST_F(MainWindowTest, HandsOutControlsWithTheirHints) {
  start(default_config());
  const std::pair<QToolButton*, const char*> hints[] = {
      {window->conexion, "Conectar/Desconectar Flight Simulator"},
      {window->actualizar, "Actualizar mapa"},
      {window->cambiar, "Cambiar tipo de mapa"},
      {window->bpuntosvfr, "Mostrar puntos VFR"},
      {window->zoomin, "Acercar"},
      {window->zoomout, "Alejar"},
      {window->bruta, "Mostrar/Ocultar Ruta "},
      {window->bespacios, "Mostrar/Ocultar espacios aéreos"},
      {window->mapnormal, "Mapa normal"},
      {window->mapsatelite, "Mapa satélite"},
      {window->maphibrido, "Mapa híbrido"},
      {window->maprelieve, "Mapa relieve"},
      {window->seguimiento, "Modo seguimiento/desplazamiento"},
      {window->configurar, "Configurar"},
      {window->cerrar_apli, "Cerrar"},
      {window->minimizar_apli, "Minimizar"},
      {window->acercade_apli, "Acerca de ..."},
  };
  for (const auto& [button, hint] : hints) {
    EXPECT_EQ(button->toolTip().toStdString(), hint);
    EXPECT_EQ(button->accessibleName(), QString::fromUtf8(hint).simplified());
  }
  EXPECT_EQ(unnamed_controls(window.get()), QStringList());
  EXPECT_EQ(window->centralWidget()->size(), QSize(505, 394));
  EXPECT_EQ(window->fondo->geometry(), QRect(51, 55, 401, 281));
}

TEST_F(MainWindowTest, MinimiseAndRestoreKeepOnePendingUpdate) {
  start(default_config());
  window->hayact = true;
  window->minimizar_apliClick();
  EXPECT_TRUE(window->minimizada);
  EXPECT_FALSE(window->hayact);
  EXPECT_TRUE(window->in_tray());

  // Ticks while minimised and connected only remember that an update is due.
  window->conectado = true;
  window->Timer_autoTimer();
  EXPECT_TRUE(window->hayact);
  window->conectado = false;  // restore must not poll a link that is not open
  window->CoolTrayIconDblClick();
  EXPECT_FALSE(window->minimizada);
  EXPECT_FALSE(window->in_tray());
  EXPECT_TRUE(window->hayact) << "no poll while disconnected, so the update stays pending";
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, TrayIconRestoresOnADoubleClickOrItsMenu) {
  start(default_config());
  const std::pair<const char*, std::function<void()>> restores[] = {
      {"double click", [&] { emit window->CoolTrayIcon->activated(QSystemTrayIcon::DoubleClick); }},
      {"menu", [&] { window->CoolTrayIcon->contextMenu()->actions().value(0)->trigger(); }},
  };
  for (const auto& [name, restore] : restores) {
    window->minimizar_apliClick();
    emit window->CoolTrayIcon->activated(QSystemTrayIcon::Trigger);
    emit window->CoolTrayIcon->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_TRUE(window->in_tray()) << "a single click leaves Tolvex in the tray";
    restore();
    EXPECT_FALSE(window->in_tray()) << name;
    EXPECT_FALSE(window->minimizada) << name;
  }
  EXPECT_EQ(window->CoolTrayIcon->contextMenu()->actions().value(0)->text(), QStringLiteral("Mostrar Tolvex"));
}

TEST_F(MainWindowTest, HotKeyTogglesBetweenWindowAndTray) {
  start(default_config());
  window->hayact = true;
  window->HotKeyManager1HotKeyPressed();
  EXPECT_TRUE(window->minimizada);
  EXPECT_FALSE(window->hayact) << "a minimise clears any pending update";
  EXPECT_TRUE(window->in_tray());
  window->HotKeyManager1HotKeyPressed();
  EXPECT_FALSE(window->minimizada);
  EXPECT_FALSE(window->in_tray());
}

TEST_F(MainWindowTest, HotKeyRestoreGoesThroughTheErrorHandler) {
  hot_key = true;
  start("[INICIO]\r\nDEBUG=S\r\n");
  ASSERT_NE(window->HotKeyManager1, nullptr);
  window->minimizar_apliClick();
  // The restore's catch-up poll rebuilds the page, which cannot read its VFR points here; the
  // notice of that fails too, and that error must reach the application's error handler.
  ASSERT_TRUE(QDir(folder.qpath()).mkdir(QStringLiteral("PuntosVFR.txt")));
  window->message_hook = [this](const QString& text) {
    if (text.startsWith(QStringLiteral("No se ha podido preparar el mapa"))) throw std::runtime_error("sin aviso");
    messages.push_back(text.toStdString());
  };
  window->conectado = true;
  window->hayact = true;
  window->pulsaboton = true;
  emit window->HotKeyManager1->pressed();  // as from the platform's event filter, outside any event
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->in_tray(); }, 2000));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Opps. Se produjo una excepción no controlada: sin aviso");
  window->conectado = false;
}

#ifdef TOLVEX_TEST_X11
// Key events as the X server sends them to the grab: holding the keys must not toggle.
TEST(HotKeyX11, HoldingTheKeysTogglesOnce) {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) GTEST_SKIP() << "not on X11";
  auto hot_key = GlobalHotKey::create();
  if (!hot_key->register_ctrl_shift_f12()) GTEST_SKIP() << hot_key->last_error().toStdString();
  auto* filter = dynamic_cast<QAbstractNativeEventFilter*>(hot_key.get());
  ASSERT_NE(filter, nullptr);
  xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(x11->connection());
  xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, 0xffc9);  // F12
  ASSERT_NE(codes, nullptr);
  const xcb_keycode_t f12 = codes[0];
  free(codes);
  xcb_key_symbols_free(symbols);

  struct Key {
    bool press;
    xcb_timestamp_t time;
  };
  struct Case {
    const char* name;
    std::vector<Key> keys;
    int toggles;
  };
  const Case cases[] = {
      {"press and release", {{true, 1000}, {false, 1100}}, 1},
      {"held, repeated presses", {{true, 2000}, {true, 2660}, {true, 2700}, {true, 2740}, {false, 2800}}, 1},
      {"held, release and press pairs", {{true, 3000}, {false, 3660}, {true, 3660}, {false, 3700}, {true, 3700},
                                         {false, 3750}}, 1},
      {"pressed twice", {{true, 4000}, {false, 4100}, {true, 4300}, {false, 4400}}, 2},
      {"release lost, pressed again later", {{true, 5000}, {true, 9000}, {false, 9100}}, 2},
  };
  for (const Case& c : cases) {
    QSignalSpy toggles(hot_key.get(), &GlobalHotKey::pressed);
    for (const Key& k : c.keys) {
      xcb_key_press_event_t event{};
      event.response_type = k.press ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
      event.detail = f12;
      event.time = k.time;
      event.state = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
      filter->nativeEventFilter("xcb_generic_event_t", &event, nullptr);
    }
    EXPECT_EQ(toggles.count(), c.toggles) << c.name;
  }
}
#endif

TEST_F(MainWindowTest, UnattendedCloseClosesModalWindowsAndWaitsForNobody) {
  ASSERT_TRUE(QDir(folder.qpath()).mkdir(QStringLiteral("CONFIG.INI")));  // the preferences cannot be saved
  start("");
  window->message_hook = nullptr;  // real modal windows
  QSignalSpy closed(window.get(), &MainWindow::closed);
  QString first, second;
  QTimer::singleShot(0, window.get(), [&] {
    QTimer::singleShot(100, window.get(), [&] {
      QTimer::singleShot(100, window.get(), [&] {
        second = QString::fromLatin1(QApplication::activeModalWidget()->metaObject()->className());
        window->close_unattended();
      });
      first = QString::fromLatin1(QApplication::activeModalWidget()->metaObject()->className());
      QDialog over_the_message(window.get());
      over_the_message.exec();
    });
    window->mostrar_mensaje(QStringLiteral("Un mensaje abierto"));
  });
  ASSERT_TRUE(closed.wait(5000));
  EXPECT_EQ(first, QStringLiteral("QMessageBox"));
  EXPECT_EQ(second, QStringLiteral("QDialog"));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, TickWhileDisconnectedOnlyClearsTheManualFlag) {
  start(default_config());
  window->pulsaboton = true;
  window->Timer_autoTimer();
  EXPECT_FALSE(window->pulsaboton);
  EXPECT_FALSE(window->hayact);
  window->ActualizarClick();
  EXPECT_TRUE(window->pulsaboton);
  EXPECT_TRUE(statements.empty());
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, CloseSavesThePreferencesInOrder) {
  start("; mis ajustes\r\n[INICIO]\r\nDEBUG=S\r\nDIRIP=10.0.0.7\r\n[OTRA]\r\nCLAVE=valor\r\n");
  window->cfg.auto_ = true;
  window->cfg.velo = "  95 ";
  window->cfg.cons = "   ";
  window->close();
  EXPECT_EQ(folder.read("CONFIG.INI"),
            "; mis ajustes\r\n[INICIO]\r\nDEBUG=S\r\nDIRIP=10.0.0.7\r\nTIPOMAPA=N\r\nSONIDOS=S\r\nAUTOMAT=S\r\n"
            "PUNTOSVFR=N\r\nXPLANE=N\r\n[OTRA]\r\nCLAVE=valor\r\n"
            "[RUTA]\r\nANCHO=4\r\nCOLOR=10\r\nTRANS=1\r\nVIS=N\r\nVELOCIDAD=95\r\n"
            "[RUTADIN]\r\nANCHO=4\r\nCOLOR=10\r\nTRANS=1\r\n"
            "[VENTANA]\r\nIZQUIERDA=387\r\nARRIBA=315\r\n");  // "Normal", centred on Xvfb's screen
  const Names log = log_lines();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "Cerrando");
}

TEST_F(MainWindowTest, WithoutDebugNoLogIsWritten) {
  start("[INICIO]\r\nDEBUG=N\r\n");
  window->ApplicationEvents1Exception(QStringLiteral("algo"));
  window->close();
  EXPECT_FALSE(folder.exists("tolvex.log"));
}

TEST_F(MainWindowTest, ErrorInAHandlerReachesTheErrorHandlerOnce) {
  start(default_config());
  auto* app = dynamic_cast<TolvexApplication*>(QApplication::instance());
  ASSERT_NE(app, nullptr) << "tests must run on the program's own application object";

  QPushButton button;
  QObject::connect(&button, &QPushButton::clicked, [] { throw std::runtime_error("fallo del botón"); });
  button.show();
  QTest::mouseClick(&button, Qt::LeftButton);
  QTimer::singleShot(0, window.get(), [] { throw std::runtime_error("fallo del temporizador"); });
  QTest::qWait(50);

  EXPECT_EQ(messages, (Names{"Opps. Se produjo una excepción no controlada: fallo del botón",
                             "Opps. Se produjo una excepción no controlada: fallo del temporizador"}));
  const Names log = log_lines();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Excepción: fallo del botón"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "Excepción: fallo del temporizador"), 1);
}

// Qt's own buttons and dialogs in Spanish; without the translation files, Qt's English words.
TEST(QtTranslations, SpanishWhenFoundEnglishOtherwise) {
  const auto words = [] {
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    QStringList texts;
    for (QAbstractButton* b : box.buttons()) texts << b->text().remove(QLatin1Char('&'));
    texts.sort();
    return texts;
  };
  const QStringList english = words();
  ASSERT_EQ(english, (QStringList{"Cancel", "OK", "Open"}));
  struct Case {
    const char* name;
    QStringList folders;
    bool loaded;
    QStringList shown;
  };
  const Case cases[] = {
      {"Debian's translations", SpanishQtTranslations::default_folders(), true, {"Abrir", "Aceptar", "Cancelar"}},
      {"no translations", {QStringLiteral("/nonexistent")}, false, english},
  };
  for (const Case& c : cases) {
    const SpanishQtTranslations spanish(c.folders);
    EXPECT_EQ(spanish.loaded(), c.loaded) << c.name;
    EXPECT_EQ(words(), c.shown) << c.name;
    EXPECT_TRUE(spanish.log_line().contains(c.loaded ? QStringLiteral("qtbase_es.qm") : QStringLiteral("/nonexistent")))
        << spanish.log_line().toStdString();
  }
  EXPECT_EQ(words(), english) << "uninstalled with the object";
}

// A reply, a file line or a limit quoted in a message is shown as written, never as markup.
TEST_F(MainWindowTest, MessagesShowOutsideTextAsPlainText) {
  start(default_config());
  window->message_hook = nullptr;  // real modal boxes
  const QString markup = QStringLiteral("<h1>Arn.Resp</h1><img src=\"x.png\"><a href=\"http://x\">x</a>");
  const std::pair<const char*, std::function<void()>> shows[] = {
      {"error handler", [&] { window->ApplicationEvents1Exception(markup); }},
      {"notice", [&] { show_notice(window.get(), markup); }},
  };
  for (const auto& [name, show] : shows) {
    Qt::TextFormat format = Qt::AutoText;
    QString text;
    QTimer::singleShot(0, window.get(), [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
      format = label->textFormat();
      text = label->text();
      box->buttons().constFirst()->click();
    });
    show();
    EXPECT_EQ(format, Qt::PlainText) << name;
    EXPECT_TRUE(text.endsWith(markup)) << name;
  }
}

TEST_F(MainWindowTest, BadSettingsFilesStartWithDefaultsAndKeepTheirBytes) {
  const char garbage[] = "\x00\xff\xfe garbage \x01\x02\r\n\x80\x81";
  const std::string long_line = "DIRIP=" + std::string(1 << 20, 'x');
  struct Case {
    std::string bytes;
    std::string survives;  // bytes the close-time save must leave in place
  };
  const Case cases[] = {
      {std::string(garbage, sizeof garbage - 1), std::string(garbage, sizeof garbage - 1)},
      {"no sections at all\nTIPOCONEXION=I\n", "no sections at all\nTIPOCONEXION=I\n"},
      {"\xEF\xBB\xBF[INICIO]\r\nSIZE=1\rAUTOMAT=S\n[INICIO]\r\nAUTOMAT=N\r\n", "\xEF\xBB\xBF[INICIO]\r\nSIZE=1\r"},
      {"[INICIO]\r\n" + long_line + "\r\nPUERTO=abc\r\nINTERVALO=x\r\n", long_line + "\r\nPUERTO=abc\r\n"},
      {"[INICIO]\r\nDIRIP=m\xe1quina\r\n", "DIRIP=m\xe1quina\r\n"},
  };
  for (const Case& c : cases) {
    TempProgramFolder f;
    f.write("CONFIG.INI", c.bytes);
    MainWindowOptions options;
    options.folder = f.qpath();
    options.register_hot_key = false;
    MainWindow w(options);
    EXPECT_EQ(w.cfg.puerto, 8090);
    EXPECT_EQ(w.Timer_auto.interval(), 10000);
    EXPECT_FALSE(w.cfg.iocpserver);
    w.close();
    const std::string after = f.read("CONFIG.INI");
    EXPECT_NE(after.find(c.survives), std::string::npos) << c.bytes.substr(0, 40);
    EXPECT_NE(after.find("AUTOMAT="), std::string::npos) << "the preferences were saved";
  }
}

// A folder nobody can write to: a read-only tmpfs when running as root (where permission bits do
// not stop writes), permission bits otherwise.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const std::string& path) : path_(path) {
    if (::geteuid() == 0) {
      mounted_ = std::system(("mount -t tmpfs -o size=4m tmpfs '" + path_ + "' 2>/dev/null").c_str()) == 0;
    }
  }
  bool usable() const { return ::geteuid() != 0 || mounted_; }
  void seal() {
    if (mounted_)
      sealed_ = std::system(("mount -o remount,ro '" + path_ + "'").c_str()) == 0;
    else
      sealed_ = ::chmod(path_.c_str(), 0555) == 0;
  }
  bool sealed() const { return sealed_; }
  ~ReadOnlyFolder() {
    if (mounted_) {
      const int r = std::system(("umount '" + path_ + "'").c_str());
      (void)r;
    } else {
      ::chmod(path_.c_str(), 0755);
    }
  }

 private:
  std::string path_;
  bool mounted_ = false;
  bool sealed_ = false;
};

TEST_F(MainWindowTest, ReadOnlyProgramFolderStartsAndClosesWithoutLosingTheFile) {
  TempProgramFolder outer(false);
  const std::string dir = outer.path() + "ro";
  ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
  ReadOnlyFolder ro(dir);
  if (!ro.usable()) GTEST_SKIP() << "cannot make a read-only folder here (no tmpfs mount as root)";
  const std::string original = "[INICIO]\r\nDEBUG=S\r\nAUTOMAT=N\r\n";
  {
    FILE* f = std::fopen((dir + "/CONFIG.INI").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(original.data(), 1, original.size(), f);
    std::fclose(f);
  }
  ro.seal();
  ASSERT_TRUE(ro.sealed());

  MainWindowOptions options;
  options.folder = QString::fromStdString(dir);
  options.register_hot_key = false;
  auto w = std::make_unique<MainWindow>(options);
  w->message_hook = [this](const QString& text) { messages.push_back(text.toStdString()); };
  QSignalSpy loaded(w.get(), &MainWindow::map_page_loaded);
  w->show();
  EXPECT_TRUE(loaded.wait(15000));
  w->cfg.auto_ = true;
  w->close();
  w.reset();

  FILE* f = std::fopen((dir + "/CONFIG.INI").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char buffer[256] = {};
  const size_t n = std::fread(buffer, 1, sizeof buffer, f);
  std::fclose(f);
  EXPECT_EQ(std::string(buffer, n), original);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("No se han podido guardar las preferencias en CONFIG.INI: ", 0), 0u) << messages[0];
}

}  // namespace
}  // namespace tolvex::test
