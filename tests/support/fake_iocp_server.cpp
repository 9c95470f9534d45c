#include "support/fake_iocp_server.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QMetaObject>

#include <algorithm>
#include <stdexcept>

namespace tolvex::test {

FakeIocpServer::FakeIocpServer(simfeed::FeedBehaviour behaviour, simfeed::IocpVariables sample, quint16 port)
    : sample_(sample) {
  server_ = new simfeed::FeedServer(behaviour, [this] {
    std::lock_guard lock(mutex_);
    return sample_;
  });
  server_->on_line = [this](int connection, const std::string& line) {
    std::lock_guard lock(mutex_);
    events_.push_back({connection, line, false});
  };
  server_->on_disconnected = [this](int connection) {
    std::lock_guard lock(mutex_);
    events_.push_back({connection, "", true});
  };
  server_->moveToThread(&thread_);
  thread_.start();
  bool listening = false;
  QMetaObject::invokeMethod(
      server_, [&] { listening = server_->listen(QHostAddress::LocalHost, port); }, Qt::BlockingQueuedConnection);
  if (!listening) {
    QMetaObject::invokeMethod(server_, [this] { delete server_; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    throw std::runtime_error("the fake IOCP server cannot listen");
  }
  port_ = server_->port();
}

FakeIocpServer::~FakeIocpServer() {
  QMetaObject::invokeMethod(server_, [this] { delete server_; }, Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
}

void FakeIocpServer::set_sample(simfeed::IocpVariables sample) {
  std::lock_guard lock(mutex_);
  sample_ = sample;
}

std::vector<FakeIocpServer::Event> FakeIocpServer::events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

std::vector<std::string> FakeIocpServer::lines() const {
  std::vector<std::string> out;
  for (const Event& e : events())
    if (!e.closed) out.push_back(e.line);
  return out;
}

int FakeIocpServer::count_lines(const std::string& line) const {
  const auto all = lines();
  return static_cast<int>(std::count(all.begin(), all.end(), line));
}

int FakeIocpServer::connections_closed() const {
  const auto all = events();
  return static_cast<int>(std::count_if(all.begin(), all.end(), [](const Event& e) { return e.closed; }));
}

bool FakeIocpServer::wait_until(const std::function<bool()>& condition, int timeout_ms) const {
  const QDeadlineTimer deadline(timeout_ms);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QThread::msleep(2);
  }
  return true;
}

}  // namespace tolvex::test
