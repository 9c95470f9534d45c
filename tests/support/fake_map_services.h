#pragma once
// Local stand-in for the keyless provider's web services (elevation, address search), answering
// as Open-Meteo and Nominatim do. It can fail, stay silent or answer late on purpose.
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

#include <string>

namespace tolvex::test {

class FakeMapServices {
 public:
  enum class Elevation { values, server_error, silence, late };

  FakeMapServices();
  quint16 port() const { return server_.serverPort(); }
  // Address templates of the two services, as CONFIG.INI's ELEVACION and GEOCODIFICADOR take them.
  std::string elevation_template() const;
  std::string geocoder_template() const;

  // How an elevation request whose first latitude is `latitude` (as written in the address) is
  // answered; `values` (the default): 100, 101, ... one per point. `late` answers after 1.5 s.
  void set_elevation(const QString& latitude, Elevation how) { elevation_[latitude] = how; }
  // A place found for exactly this address; any other address finds nothing.
  void add_place(const QString& address, double lat, double lon) { places_[address] = {lat, lon}; }
  // Every address search is answered with a server error.
  void fail_searches() { searches_fail_ = true; }

  QStringList requests;  // path, '?' and decoded query of every request, in order

 private:
  void answer(QTcpSocket* s);

  QTcpServer server_;
  QHash<QTcpSocket*, QByteArray> pending_;
  QHash<QString, Elevation> elevation_;
  QHash<QString, QPair<double, double>> places_;
  bool searches_fail_ = false;
  QList<QPointer<QTcpSocket>> silent_;  // kept open, never answered
};

}  // namespace tolvex::test
