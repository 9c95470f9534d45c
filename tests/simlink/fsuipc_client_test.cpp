// The FSUIPC link on a fake transport: opening, the queue and its limit, processing and its
// failures, closing.
#include "simlink/fsuipc_client.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <memory>

#include "support/fake_fsuipc.h"

namespace tolvex {
namespace {

using test::FakeFsuipcTransport;
using Reply = FsuipcTransport::Reply;

class FsuipcLinkTest : public ::testing::Test {
 protected:
  FsuipcLinkTest() : link(std::make_unique<FakeFsuipcTransport>(fake)) {
    fake.memory.set_versions(test::kFakeFsuipcVersion, test::kFakeSimulatorVersion);
  }
  bool open(std::uint16_t simulator = 0) { return link.ipc_abrir(simulator, code); }
  void expect_closed() {
    EXPECT_FALSE(link.is_open());
    EXPECT_EQ(fake.atoms, 0);
    EXPECT_EQ(fake.views, 0);
    EXPECT_EQ(fake.mappings, 0);
  }

  FakeFsuipcTransport::State fake;
  FsuipcLink link;
  IpcCode code = IpcCode::ok;
};

TEST_F(FsuipcLinkTest, OpensWithTheHandshakeAndReadsThroughTheBlock) {
  ASSERT_TRUE(open());
  EXPECT_EQ(code, IpcCode::ok);
  EXPECT_EQ(fake.atom_name, "FsasmLib:IPC:1A2C:1");
  EXPECT_EQ(fake.mapping_name, fake.atom_name);
  EXPECT_EQ(fake.last_wparam, 0xC001u);
  EXPECT_EQ(link.simulator_version(), 8u);  // the low 16 bits only
  // One pass: the two version reads and the write of 0 at 0x330A.
  EXPECT_EQ(fake.served_offsets, (std::vector<std::uint32_t>{0x3304, 0x3308, 0x330A}));
  using Write = std::pair<std::uint32_t, std::vector<unsigned char>>;
  EXPECT_EQ(fake.memory.writes, (std::vector<Write>{{0x330A, {0, 0}}}));

  fake.memory.set<std::uint32_t>(0x0580, 0x11223344);
  const std::uint16_t value = 0xBEEF;
  std::uint32_t heading = 0;
  ASSERT_TRUE(link.ipc_escribir(0x0BC0, 2, &value, code));
  ASSERT_TRUE(link.ipc_leer(0x0580, 4, &heading, code));
  ASSERT_TRUE(link.ipc_leer(0x0BC0, 2, nullptr, code));
  ASSERT_TRUE(link.ipc_procesar(code));
  EXPECT_EQ(heading, 0x11223344u);
  EXPECT_EQ(fake.memory.get<std::uint16_t>(0x0BC0), 0xBEEF);
  EXPECT_EQ(fake.send_timeouts.back(), 2000u);

  link.ipc_cerrar();
  expect_closed();
  link.ipc_cerrar();  // harmless twice
  EXPECT_FALSE(link.ipc_leer(0x0580, 4, &heading, code));
  EXPECT_EQ(code, IpcCode::not_open);
}

TEST_F(FsuipcLinkTest, OpeningTwiceFailsAndKeepsTheFirstLink) {
  ASSERT_TRUE(open());
  EXPECT_FALSE(open());
  EXPECT_EQ(code, IpcCode::already_open);
  std::uint32_t version = 0;
  ASSERT_TRUE(link.ipc_leer(0x3304, 4, &version, code));
  ASSERT_TRUE(link.ipc_procesar(code));
  EXPECT_EQ(version, test::kFakeFsuipcVersion);
}

struct OpenCase {
  const char* name;
  std::set<std::string> windows;
  std::uint32_t fsuipc_version, simulator_version;
  std::uint16_t requested;
  bool mapping_exists;
  IpcCode expected;
};

void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }

class OpenFailure : public FsuipcLinkTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenFailure, ClosesEverythingAndGivesItsCode) {
  const OpenCase& c = GetParam();
  fake.windows = c.windows;
  fake.memory.set_versions(c.fsuipc_version, c.simulator_version);
  fake.mapping_exists = c.mapping_exists;
  EXPECT_EQ(open(c.requested), c.expected == IpcCode::ok);
  EXPECT_EQ(code, c.expected);
  if (c.expected != IpcCode::ok) expect_closed();
}

constexpr std::uint32_t kV = test::kFakeFsuipcVersion, kSim = test::kFakeSimulatorVersion;
INSTANTIATE_TEST_SUITE_P(
    Table, OpenFailure,
    ::testing::Values(OpenCase{"NoWindow", {}, kV, kSim, 0, false, IpcCode::no_window},
                      OpenCase{"FallbackWindowWorks", {"FS98MAIN"}, kV, kSim, 0, false, IpcCode::ok},
                      OpenCase{"FallbackWindowWithoutAnswers", {"FS98MAIN"}, 0, 0, 0, false,
                               IpcCode::bad_version_fallback_window},
                      OpenCase{"MainWindowWithoutAnswers", {"UIPCMAIN", "FS98MAIN"}, 0, 0, 0, false, IpcCode::bad_version},
                      OpenCase{"FsuipcTooOld", {"UIPCMAIN"}, kV - 1, kSim, 0, false, IpcCode::bad_version},
                      OpenCase{"NoSimulatorMark", {"UIPCMAIN"}, kV, 0xFADF0008, 0, false, IpcCode::bad_version},
                      OpenCase{"RequestedSimulator", {"UIPCMAIN"}, kV, kSim, 8, false, IpcCode::ok},
                      OpenCase{"OtherSimulator", {"UIPCMAIN"}, kV, kSim, 7, false, IpcCode::wrong_simulator},
                      OpenCase{"BlockNameTaken", {"UIPCMAIN"}, kV, kSim, 0, true, IpcCode::no_block}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FsuipcLinkTest, HandshakeTriesFivePassesAndWritesOnlyInTheFirst) {
  fake.memory.set_versions(0, 0);
  EXPECT_FALSE(open());
  EXPECT_EQ(fake.send_timeouts.size(), 5u);
  EXPECT_EQ(fake.pauses, std::vector<unsigned>(5, 100));
  EXPECT_EQ(std::count(fake.served_offsets.begin(), fake.served_offsets.end(), 0x330A), 1);
}

TEST_F(FsuipcLinkTest, ZeroByteReadIsAHeaderAndCopiesNothing) {
  ASSERT_TRUE(open());
  std::uint32_t untouched = 0x5A5A5A5A;
  ASSERT_TRUE(link.ipc_leer(0x0580, 0, &untouched, code));
  EXPECT_EQ(link.queued_bytes(), 16u);
  ASSERT_TRUE(link.ipc_procesar(code));
  EXPECT_EQ(untouched, 0x5A5A5A5Au);
}

TEST_F(FsuipcLinkTest, QueueLimitCountsTheEndMark) {
  ASSERT_TRUE(open());
  constexpr std::uint32_t kReadLimit = 0x7F00 - 16 - 4, kWriteLimit = 0x7F00 - 12 - 4;
  static std::byte data[0x7F00];
  struct Case {
    bool read;
    std::uint32_t size;
    bool accepted;
  } cases[] = {{true, kReadLimit, true}, {true, kReadLimit + 1, false}, {false, kWriteLimit, true},
               {false, kWriteLimit + 1, false}, {true, 0xFFFFFFFF, false}};
  for (const Case& c : cases) {
    link.discard_queue();
    std::memset(fake.block.data(), 0xAB, fake.block.size());
    const bool ok = c.read ? link.ipc_leer(1, c.size, data, code) : link.ipc_escribir(1, c.size, data, code);
    EXPECT_EQ(ok, c.accepted) << c.read << " " << c.size;
    EXPECT_EQ(code, c.accepted ? IpcCode::ok : IpcCode::too_big);
    if (!c.accepted) {
      EXPECT_EQ(link.queued_bytes(), 0u);
      EXPECT_EQ(fake.block[0], std::byte{0xAB});  // nothing written
    }
  }
  // A full queue is still sent with its end mark.
  link.discard_queue();
  ASSERT_TRUE(link.ipc_leer(1, kReadLimit, data, code));
  EXPECT_FALSE(link.ipc_leer(2, 0, nullptr, code));
  EXPECT_TRUE(link.ipc_procesar(code));
}

TEST_F(FsuipcLinkTest, ProcessNeedsAQueueAndAlwaysConsumesIt) {
  ASSERT_TRUE(open());
  EXPECT_FALSE(link.ipc_procesar(code));
  EXPECT_EQ(code, IpcCode::nothing_queued);
  std::uint32_t value = 0;
  fake.reply = {Reply::answered, 0};
  ASSERT_TRUE(link.ipc_leer(0x3304, 4, &value, code));
  EXPECT_FALSE(link.ipc_procesar(code));
  EXPECT_EQ(code, IpcCode::bad_answer);
  EXPECT_EQ(value, 0u);
  EXPECT_FALSE(link.ipc_procesar(code));
  EXPECT_EQ(code, IpcCode::nothing_queued);
}

TEST_F(FsuipcLinkTest, SendRetriesTenTimesAndTheLastFailureNamesTheCode) {
  struct Case {
    std::vector<Reply> replies;
    bool ok;
    IpcCode code;
    std::size_t sends;
  } cases[] = {
      {std::vector<Reply>(10, Reply{Reply::timed_out, 0}), false, IpcCode::timed_out, 10},
      {std::vector<Reply>(10, Reply{Reply::failed, 0}), false, IpcCode::send_failed, 10},
      {{{Reply::failed, 0}, {Reply::timed_out, 0}, {Reply::timed_out, 0}, {Reply::timed_out, 0},
        {Reply::timed_out, 0}, {Reply::timed_out, 0}, {Reply::timed_out, 0}, {Reply::timed_out, 0},
        {Reply::timed_out, 0}, {Reply::failed, 0}},
       false, IpcCode::send_failed, 10},
      {{{Reply::timed_out, 0}, {Reply::failed, 0}, {Reply::answered, 1}}, true, IpcCode::ok, 3},
      {{{Reply::timed_out, 0}, {Reply::answered, 2}}, false, IpcCode::bad_answer, 2},
  };
  ASSERT_TRUE(open());
  for (const Case& c : cases) {
    fake.replies = c.replies;
    fake.send_timeouts.clear();
    fake.pauses.clear();
    std::uint32_t value = 0;
    ASSERT_TRUE(link.ipc_leer(0x3304, 4, &value, code));
    EXPECT_EQ(link.ipc_procesar(code), c.ok);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(fake.send_timeouts, std::vector<unsigned>(c.sends, 2000));
    EXPECT_EQ(fake.pauses.size(), c.ok || c.code == IpcCode::bad_answer ? c.sends - 1 : c.sends);
    EXPECT_EQ(value, c.ok ? test::kFakeFsuipcVersion : 0u);
  }
}

TEST_F(FsuipcLinkTest, DamagedReplyRecordsAreNotFollowed) {
  ASSERT_TRUE(open());
  std::uint32_t first = 0, second = 0;
  fake.memory.set<std::uint32_t>(0x0580, 7);
  ASSERT_TRUE(link.ipc_leer(0x0580, 4, &first, code));
  ASSERT_TRUE(link.ipc_leer(0x0580, 4, &second, code));
  fake.serve = false;
  // The server fills the first read and grows the second one's size: the walk stops there
  // instead of copying 0x7000 bytes into a 4-byte destination.
  const std::uint32_t seven = 7;
  std::memcpy(fake.block.data() + 16, &seven, 4);
  const std::uint32_t grown = 0x7000;
  std::memcpy(fake.block.data() + 20 + 8, &grown, 4);
  ASSERT_TRUE(link.ipc_procesar(code));
  EXPECT_EQ(first, 7u);
  EXPECT_EQ(second, 0u);
}

}  // namespace
}  // namespace tolvex
