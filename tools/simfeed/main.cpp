// simfeed: an IOCP Server stand-in for demos and tests. Serves the position of an aircraft
// flying a circuit near Madrid (or a route file) on 127.0.0.1:8090; with --xgps it sends that
// position instead as the network GPS datagrams (XGPS 1 Hz, XATT 10 Hz) to HOST:PORT over UDP.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostInfo>
#include <QTimer>
#include <QUdpSocket>

#include <cstdio>
#include <memory>

#include "feed_protocol.h"
#include "feed_server.h"
#include "flight_model.h"

namespace {

// "HOST:PORT" -> an IPv4 address (a name is looked up) and a port; false when it is not one.
bool parse_target(const QString& text, QHostAddress& address, quint16& port) {
  const qsizetype colon = text.lastIndexOf(':');
  if (colon <= 0) return false;
  bool ok = false;
  const int number = text.mid(colon + 1).toInt(&ok);
  if (!ok || number < 1 || number > 65535) return false;
  port = static_cast<quint16>(number);
  const QString host = text.left(colon);
  if (address.setAddress(host)) return address.protocol() == QAbstractSocket::IPv4Protocol;
  for (const QHostAddress& a : QHostInfo::fromName(host).addresses()) {
    if (a.protocol() == QAbstractSocket::IPv4Protocol) {
      address = a;
      return true;
    }
  }
  return false;
}

// Sends the flight as a simulator's network GPS output: XGPS every second, XATT ten times a
// second, both from the model at the time of sending.
int send_xgps(QCoreApplication& app, std::shared_ptr<simfeed::FlightModel> model, const QHostAddress& address,
              quint16 port, bool verbose) {
  QUdpSocket socket;
  QElapsedTimer clock;
  clock.start();
  const auto send = [&](bool position) {
    model->advance_to(static_cast<double>(clock.elapsed()) / 1000.0);
    const std::string datagram = position ? simfeed::xgps_datagram(model->state(), model->speed_ms())
                                          : simfeed::xatt_datagram(model->state(), model->speed_ms());
    // A receiver that is not there yet is no reason to stop: the next datagram may find it.
    socket.writeDatagram(datagram.data(), static_cast<qint64>(datagram.size()), address, port);
    if (verbose) {
      std::printf("%s\n", datagram.c_str());
      std::fflush(stdout);
    }
  };
  QTimer positions, attitudes;
  positions.setTimerType(Qt::PreciseTimer);
  attitudes.setTimerType(Qt::PreciseTimer);
  QObject::connect(&positions, &QTimer::timeout, [&] { send(true); });
  QObject::connect(&attitudes, &QTimer::timeout, [&] { send(false); });
  positions.start(1000);
  attitudes.start(100);
  std::printf("simfeed: enviando XGPS (1 Hz) y XATT (10 Hz) a %s:%u\n", qPrintable(address.toString()), port);
  std::fflush(stdout);
  send(true);
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("simfeed");
  QCommandLineParser parser;
  parser.setApplicationDescription("Servidor IOCP de prueba: sirve las variables 69, 70 y 79 de un avión simulado.");
  parser.addHelpOption();
  const QCommandLineOption port_opt("port", "Puerto TCP (8090).", "puerto", "8090");
  const QCommandLineOption route_opt("route", "Fichero de ruta (cabecera y líneas \"lon, lat\") a volar en bucle.",
                                     "fichero");
  const QCommandLineOption keepalive_opt("keepalive-ms", "Periodo de Arn.Vivo: en ms (15000; 0: nunca).", "ms",
                                         "15000");
  const QCommandLineOption no_greeting("no-greeting", "No saludar al conectar.");
  const QCommandLineOption stall_after("stall-after", "Responder N peticiones y callar.", "N");
  const QCommandLineOption drop_after("drop-after", "Responder N peticiones y cerrar en la siguiente.", "N");
  const QCommandLineOption drop_mid_line("drop-mid-line", "Cerrar a mitad de una línea de respuesta.");
  const QCommandLineOption garbage("garbage", "Respuestas con un valor no numérico.");
  const QCommandLineOption overlong("overlong", "Respuestas de más de 64 KiB.");
  const QCommandLineOption lf_only("lf-only", "Terminar las líneas solo con LF.");
  const QCommandLineOption keepalive_between("keepalive-between", "Un Arn.Vivo: entre petición y respuesta.");
  const QCommandLineOption split("split", "Partir las líneas en varios paquetes.");
  const QCommandLineOption keepalive_stalled("keepalive-while-stalled", "Seguir enviando Arn.Vivo: tras callar.");
  const QCommandLineOption unsolicited("unsolicited", "Tras cada respuesta, N respuestas viejas que nadie pidió.", "N");
  const QCommandLineOption flood("flood-keepalives", "Enviar Arn.Vivo: sin pausa y no leer nada.");
  const QCommandLineOption verbose("verbose", "Mostrar cada línea recibida (con --xgps, cada datagrama enviado).");
  const QCommandLineOption xgps_opt("xgps",
                                    "En lugar de servir por TCP, enviar XGPS (1 Hz) y XATT (10 Hz) por UDP a "
                                    "HOST:PUERTO (por ejemplo 127.0.0.1:49002).",
                                    "host:puerto");
  parser.addOptions({port_opt, route_opt, keepalive_opt, no_greeting, stall_after, drop_after, drop_mid_line,
                     garbage, overlong, lf_only, keepalive_between, split, keepalive_stalled, unsolicited, flood, verbose,
                     xgps_opt});
  parser.process(app);

  bool ok = true;
  const int port = parser.value(port_opt).toInt(&ok);
  if (!ok || port < 0 || port > 65535) {
    std::fprintf(stderr, "simfeed: puerto no válido: %s\n", qPrintable(parser.value(port_opt)));
    return 2;
  }
  simfeed::FeedBehaviour behaviour;
  behaviour.greeting = !parser.isSet(no_greeting);
  if (parser.isSet(stall_after)) behaviour.stall_after = parser.value(stall_after).toInt();
  if (parser.isSet(drop_after)) behaviour.drop_after = parser.value(drop_after).toInt();
  behaviour.drop_mid_line = parser.isSet(drop_mid_line);
  behaviour.garbage = parser.isSet(garbage);
  behaviour.overlong = parser.isSet(overlong);
  behaviour.lf_only = parser.isSet(lf_only);
  behaviour.keepalive_between = parser.isSet(keepalive_between);
  behaviour.split = parser.isSet(split);
  behaviour.keepalive_ms = parser.value(keepalive_opt).toInt();
  behaviour.keepalive_while_stalled = parser.isSet(keepalive_stalled);
  if (parser.isSet(unsolicited)) behaviour.unsolicited_lines = parser.value(unsolicited).toInt();
  behaviour.flood_keepalives = parser.isSet(flood);

  std::vector<simfeed::GeoPoint> waypoints = simfeed::FlightModel::madrid_circuit();
  if (parser.isSet(route_opt)) {
    QFile file(parser.value(route_opt));
    if (!file.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "simfeed: no se puede abrir %s\n", qPrintable(file.fileName()));
      return 2;
    }
    const QByteArray text = file.readAll();
    try {
      waypoints = simfeed::parse_route_file(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "simfeed: %s\n", e.what());
      return 2;
    }
  }

  auto model = std::make_shared<simfeed::FlightModel>(std::move(waypoints));
  if (parser.isSet(xgps_opt)) {
    QHostAddress address;
    quint16 target_port = 0;
    if (!parse_target(parser.value(xgps_opt), address, target_port)) {
      std::fprintf(stderr, "simfeed: destino no válido para --xgps (se espera HOST:PUERTO): %s\n",
                   qPrintable(parser.value(xgps_opt)));
      return 2;
    }
    return send_xgps(app, model, address, target_port, parser.isSet(verbose));
  }
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  simfeed::FeedServer server(behaviour, [model, clock] {
    model->advance_to(static_cast<double>(clock->elapsed()) / 1000.0);
    return simfeed::to_iocp_variables(model->state());
  });
  if (parser.isSet(verbose)) {
    server.on_line = [](int id, const std::string& line) {
      std::printf("[%d] %s\n", id, line.c_str());
      std::fflush(stdout);
    };
  }
  server.on_connected = [](int id) { std::printf("[%d] cliente conectado\n", id), std::fflush(stdout); };
  server.on_disconnected = [](int id) { std::printf("[%d] cliente desconectado\n", id), std::fflush(stdout); };
  if (!server.listen(QHostAddress::LocalHost, static_cast<quint16>(port))) {
    std::fprintf(stderr, "simfeed: no se puede escuchar en 127.0.0.1:%d: %s\n", port,
                 qPrintable(server.error_text()));
    return 1;
  }
  std::printf("simfeed: escuchando en 127.0.0.1:%u\n", server.port());
  std::fflush(stdout);
  return app.exec();
}
