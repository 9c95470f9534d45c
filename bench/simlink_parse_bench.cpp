// Cost of turning one IOCP reply line into a sample, and of framing received bytes.
#include <benchmark/benchmark.h>

#include <string>

#include "simlink/iocp_protocol.h"

namespace {

void BM_ParseReply(benchmark::State& state) {
  const std::string line = "Arn.Resp:69=4047123:70=-370912:79=27049:";
  double lat = 0, lon = 0;
  std::int32_t heading = 0;
  for (auto _ : state) {
    tolvex::parse_iocp_reply(line, lat, lon, heading);
    benchmark::DoNotOptimize(lat);
    benchmark::DoNotOptimize(lon);
    benchmark::DoNotOptimize(heading);
  }
}
BENCHMARK(BM_ParseReply);

void BM_FrameAndParseReply(benchmark::State& state) {
  const std::string bytes = "Arn.Resp:69=4047123:70=-370912:79=27049:\r\n";
  tolvex::IocpLineFramer framer;
  double lat = 0, lon = 0;
  std::int32_t heading = 0;
  for (auto _ : state) {
    framer.feed(bytes);
    tolvex::parse_iocp_reply(*framer.next_line(), lat, lon, heading);
    benchmark::DoNotOptimize(heading);
  }
}
BENCHMARK(BM_FrameAndParseReply);

}  // namespace

BENCHMARK_MAIN();
