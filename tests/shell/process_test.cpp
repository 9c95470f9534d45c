// The real program as a process: a termination signal runs the normal close sequence.
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>

#include "support/temp_program_folder.h"

namespace tolvex::test {
namespace {

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
  }
}

}  // namespace
}  // namespace tolvex::test
