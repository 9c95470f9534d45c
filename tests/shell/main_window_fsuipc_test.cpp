// The FSUIPC branch of the link as the pilot drives it, with the process's link on a fake
// transport (the real one runs under Wine, tests/windows).
#include <algorithm>
#include <memory>

#include "shell/main_window_fixture.h"
#include "simlink/fsuipc_client.h"
#include "support/fake_fsuipc.h"

namespace tolvex::test {
namespace {

using Names = std::vector<std::string>;

class FsuipcLinkWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    fake.memory.set_versions(kFakeFsuipcVersion, kFakeSimulatorVersion);
    fake.memory.set<std::int64_t>(0x0560, 10001750LL * 4294967296LL / 2);  // 45 N
    fake.memory.set<std::int64_t>(0x0568, -(1LL << 61));                    // 45 W
    fake.memory.set<double>(0x6010, 40.4711234567);
    fake.memory.set<double>(0x6018, -3.7091234567);
    fake.memory.set<std::uint32_t>(0x0580, 3221225472u);  // 270 degrees
    fsuipc_link().use_transport(std::make_unique<FakeFsuipcTransport>(fake));
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    fsuipc_link().use_transport(make_system_fsuipc_transport());
  }
  bool logged(const std::string& line) const {
    const Names log = log_lines();
    return std::find(log.begin(), log.end(), line) != log.end();
  }

  FakeFsuipcTransport::State fake;
};

TEST_F(FsuipcLinkWindowTest, PollsTheSwitchedSourceKeepsTheSampleWhenSilentAndCloses) {
  start("[INICIO]\r\nDEBUG=S\r\nTIPOCONEXION=F\r\nXPLANE=S\r\nSONIDOS=N\r\nINTERVALO=60\r\n");
  QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
  window->conexionClick();
  ASSERT_TRUE(window->conectado);
  ASSERT_TRUE(loaded.wait(15000)) << "the first map page never loaded";
  EXPECT_EQ(window->latitud, 45.0);
  EXPECT_EQ(window->longitud, -45.0);
  EXPECT_EQ(window->heading, 270);
  EXPECT_TRUE(logged("Datos leidos de FSUIPC:45.000 | -45.000 | 270")) << ::testing::PrintToString(log_lines());

  // A simulator that stopped answering: no message, and the map is handed the last sample.
  fake.reply = {FsuipcTransport::Reply::timed_out, 0};
  fake.memory.set<std::uint32_t>(0x0580, 0);
  statements.clear();
  window->Timer_autoTimer();
  EXPECT_EQ(window->heading, 270);
  EXPECT_TRUE(messages.empty());
  ASSERT_EQ(statements.size(), 1u);
  EXPECT_NE(statements[0].find("MueveAvion(45,-45,270"), std::string::npos) << statements[0];

  window->conexionClick();
  EXPECT_FALSE(window->conectado);
  EXPECT_FALSE(fsuipc_link().is_open());
  EXPECT_TRUE(logged("Desconectar FSUIPC"));
}

}  // namespace
}  // namespace tolvex::test
