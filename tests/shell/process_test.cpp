// The real program as a process: a termination signal runs the normal close sequence, and the
// process ends within 5 s whatever the link is doing and whatever window is open.
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <iostream>

#include "support/fake_iocp_server.h"
#include "support/temp_program_folder.h"

namespace tolvex::test {
namespace {

int count_of(const std::string& text, const std::string& piece) {
  int n = 0;
  for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

TEST(ProcessTest, TerminationSignalClosesTheNormalWay) {
  const QString program = qEnvironmentVariable("TOLVEX_EXECUTABLE");
  ASSERT_FALSE(program.isEmpty());
  for (int signal_number : {SIGTERM, SIGINT}) {
    TempProgramFolder folder;
    // A port that is not a number is logged at start-up: the sign that the window exists.
    folder.write("CONFIG.INI", "[INICIO]\r\nDEBUG=S\r\nPUERTO=x\r\n");
    QProcess tolvex;
    tolvex.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tolvex.start(program, {QStringLiteral("--folder"), folder.qpath()});
    ASSERT_TRUE(tolvex.waitForStarted(10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return folder.exists("tolvex.log"); }, 20000));
    QTest::qWait(500);
    ::kill(static_cast<pid_t>(tolvex.processId()), signal_number);
    ASSERT_TRUE(tolvex.waitForFinished(20000));
    EXPECT_EQ(tolvex.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tolvex.exitCode(), 0);
    const std::string config = folder.read("CONFIG.INI");
    EXPECT_NE(config.find("TIPOMAPA=N\r\n"), std::string::npos) << config;
    EXPECT_NE(folder.read("tolvex.log").find(" - Cerrando\r\n"), std::string::npos);
    EXPECT_NE(folder.read("tolvex.log").find(" - Traducciones de Qt cargadas: "), std::string::npos)
        << "Qt's own dialogs speak Spanish";
  }
}

TEST(ProcessTest, TerminationSignalEndsWithinFiveSecondsWhateverTheLinkDoes) {
  const QString program = qEnvironmentVariable("TOLVEX_EXECUTABLE");
  ASSERT_FALSE(program.isEmpty());
  struct Case {
    const char* name;
    simfeed::FeedBehaviour behaviour;
    int goodbyes;  // "Arn.Fin:" lines the server gets
  };
  simfeed::FeedBehaviour dies, stalls;
  dies.drop_after = 1;  // the second poll fails: Tolvex is reconnecting when the signal comes
  dies.serve_connections = 1;
  stalls.stall_after = 1;  // the second poll waits for a reply when the signal comes
  stalls.keepalive_while_stalled = true;
  stalls.keepalive_ms = 100;
  const Case cases[] = {{"dead link, reconnecting", dies, 0}, {"poll waiting on a live link", stalls, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeIocpServer server(c.behaviour);
    TempProgramFolder folder(false);
    const std::string no_tiles = "http://127.0.0.1:9/{z}/{x}/{y}.png\r\n";
    folder.write("CONFIG.INI", "[INICIO]\r\nDEBUG=S\r\nTIPOCONEXION=I\r\nDIRIP=127.0.0.1\r\nPUERTO=" +
                                   std::to_string(server.port()) + "\r\nINTERVALO=0,2\r\nSONIDOS=N\r\n[MAPAS]\r\n" +
                                   "TESELAS=" + no_tiles + "TESELASSAT=" + no_tiles + "TESELASHIB=" + no_tiles +
                                   "TESELASREL=" + no_tiles);
    QProcess tolvex;
    tolvex.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tolvex.start(program, {QStringLiteral("--folder"), folder.qpath(), QStringLiteral("--connect")});
    ASSERT_TRUE(tolvex.waitForStarted(10000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return count_of(folder.read("tolvex.log"), "Solicitar datos al IOCPSERVER") >= 2; }, 30000));
    QTest::qWait(300);
    ::kill(static_cast<pid_t>(tolvex.processId()), SIGTERM);
    QElapsedTimer waited;
    waited.start();
    const bool ended = tolvex.waitForFinished(5000);
    if (!ended) tolvex.kill();
    ASSERT_TRUE(ended) << "still running 5 s after the signal";
    EXPECT_EQ(tolvex.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tolvex.exitCode(), 0) << "the close sequence ended the program, not its last-resort deadline";
    EXPECT_NE(folder.read("CONFIG.INI").find("AUTOMAT=N\r\n"), std::string::npos) << "preferences saved";
    EXPECT_TRUE(server.wait_until([&] { return server.count_lines("Arn.Fin:") == c.goodbyes; }, 1000));
    EXPECT_EQ(server.count_lines("Arn.Fin:"), c.goodbyes);
    std::cout << c.name << ": ended " << waited.elapsed() << " ms after the signal\n";
  }
}

}  // namespace
}  // namespace tolvex::test
