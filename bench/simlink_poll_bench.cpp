// One poll over loopback against simfeed's server (on a thread of its own, as simfeed runs
// it): request written until the sample is stored. Reports the median and the 99th percentile.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "feed_server.h"
#include "flight_model.h"
#include "simlink/iocp_client_qt.h"

namespace {

class ServerThread {
 public:
  ServerThread() {
    auto model = std::make_shared<simfeed::FlightModel>(simfeed::FlightModel::madrid_circuit());
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    server_ = new simfeed::FeedServer({}, [model, clock] {
      model->advance_to(static_cast<double>(clock->elapsed()) / 1000.0);
      return simfeed::to_iocp_variables(model->state());
    });
    server_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(
        server_, [this] { server_->listen(QHostAddress::LocalHost, 0); }, Qt::BlockingQueuedConnection);
  }
  ~ServerThread() {
    QMetaObject::invokeMethod(server_, [this] { delete server_; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
  }
  quint16 port() const { return server_->port(); }

 private:
  QThread thread_;
  simfeed::FeedServer* server_;
};

void BM_PollRoundTrip(benchmark::State& state) {
  ServerThread server;
  tolvex::IocpClient client;
  client.open("127.0.0.1", server.port());
  double lat = 0, lon = 0;
  std::int32_t heading = 0;
  std::vector<double> us;
  us.reserve(static_cast<std::size_t>(state.max_iterations));
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    client.poll(lat, lon, heading);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    us.push_back(took.count() * 1e6);
  }
  client.close();
  std::sort(us.begin(), us.end());
  const auto at = [&](double q) { return us[static_cast<std::size_t>(q * static_cast<double>(us.size() - 1))]; };
  state.counters["median_us"] = at(0.5);
  state.counters["p99_us"] = at(0.99);
  state.counters["max_us"] = us.back();
}
BENCHMARK(BM_PollRoundTrip)->UseManualTime()->Iterations(20000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
