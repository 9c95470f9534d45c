#include "simlink/xgps_client_qt.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QUdpSocket>

#include <chrono>
#include <stdexcept>
#include <string_view>

namespace tolvex {
namespace {

std::int64_t steady_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string bind_error_text(const QUdpSocket& socket) {
  switch (socket.error()) {
    case QAbstractSocket::AddressInUseError: return "el puerto ya está en uso por otro programa";
    case QAbstractSocket::SocketAccessError: return "sin permiso para usar ese puerto";
    default: return socket.errorString().toStdString();
  }
}

}  // namespace

XgpsClient::XgpsClient() : clock_(steady_ms) {}

XgpsClient::~XgpsClient() { close(); }

void XgpsClient::open(std::int32_t port) {
  close();
  receiver_.clear();
  reported_ignored_ = 0;
  reported_sender_.reset();
  heading_from_attitude_ = false;
  if (port < 0 || port > 65535)
    throw std::runtime_error("Puerto UDP no válido para la red (XGPS): " + std::to_string(port));

  auto socket = std::make_unique<QUdpSocket>();
  // Not shared: a second program on the port would take some of the datagrams meant for us.
  if (!socket->bind(QHostAddress::AnyIPv4, static_cast<quint16>(port), QAbstractSocket::DontShareAddress))
    throw std::runtime_error("No se pudo abrir el puerto UDP " + std::to_string(port) + " (" +
                             bind_error_text(*socket) + ")");
  port_ = socket->localPort();
  QObject::connect(socket.get(), &QUdpSocket::readyRead, socket.get(), [this] { read_pending(); });
  socket_ = std::move(socket);

  // Connected means a simulator is sending: wait for its first position.
  const QDeadlineTimer deadline(std::max(timeouts_.first_fix_ms, 0));
  for (;;) {
    read_pending();
    if (receiver_.has_fix()) return;
    if (deadline.hasExpired()) break;
    socket_->waitForReadyRead(static_cast<int>(deadline.remainingTime()));
  }
  const XgpsSilence silence{std::nullopt, receiver_.counters().total_ignored()};
  close();
  throw std::runtime_error(silence_message(silence, port_));
}

void XgpsClient::poll(double& latitud, double& longitud, std::int32_t& heading) {
  if (!socket_) throw std::runtime_error("No está abierta la conexión por red (XGPS)");
  read_pending();
  const auto newest = receiver_.newest(clock_());
  if (const auto* silence = std::get_if<XgpsSilence>(&newest)) throw std::runtime_error(silence_message(*silence, port_));
  const XgpsSample& sample = std::get<XgpsSample>(newest);
  latitud = sample.latitud;
  longitud = sample.longitud;
  heading = sample.heading;
  heading_from_attitude_ = sample.heading_from_attitude;
}

void XgpsClient::close() {
  if (!socket_) return;
  std::unique_ptr<QUdpSocket> socket = std::move(socket_);
  socket->disconnect();
  socket->close();
}

std::optional<std::string> XgpsClient::sender_report() {
  if (receiver_.sender() == reported_sender_ || !receiver_.sender()) return std::nullopt;
  reported_sender_ = receiver_.sender();
  return "Posiciones por red (XGPS) de " + *reported_sender_;
}

std::optional<std::string> XgpsClient::ignored_report() {
  const std::int64_t ignored = receiver_.counters().total_ignored();
  if (ignored == reported_ignored_) return std::nullopt;
  reported_ignored_ = ignored;
  return ignored_summary(receiver_.counters());
}

void XgpsClient::read_pending() {
  if (!socket_) return;
  char buffer[kXgpsMaxDatagramBytes];
  QHostAddress from;
  quint16 from_port = 0;
  for (int n = 0; n < kMaxDatagramsPerRead && socket_->hasPendingDatagrams(); ++n) {
    const qint64 size = socket_->pendingDatagramSize();
    const qint64 got = socket_->readDatagram(buffer, sizeof buffer, &from, &from_port);
    if (got < 0) break;
    // Longer than the buffer: what was read is only its start, and the rest is gone.
    if (size > static_cast<qint64>(sizeof buffer)) {
      receiver_.receive_oversized();
      continue;
    }
    const std::string sender = from.toString().toStdString() + ":" + std::to_string(from_port);
    receiver_.receive(std::string_view(buffer, static_cast<std::size_t>(got)), clock_(), sender);
  }
}

}  // namespace tolvex
