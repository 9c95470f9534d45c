#include "tablet/request_gate.h"

#include <gtest/gtest.h>

namespace tolvex {
namespace {

const std::string kKey = "ClaveDePrueba_0123456789abcdef";

std::string get(const std::string& target, const std::string& headers = "") {
  return "GET " + target + " HTTP/1.1\r\nHost: 10.0.0.2:8091\r\n" + headers + "\r\n";
}

const std::string kUpgrade = "Upgrade: websocket\r\nConnection: keep-alive, Upgrade\r\n";

TEST(RequestGate, Decisions) {
  const std::string k = "?clave=" + kKey;
  struct Case {
    const char* what;
    std::string bytes;
    bool sockets_full;
    GateAction action;
    int status;
    const char* file;
  } cases[] = {
      {"nothing yet", "", false, GateAction::wait, 0, ""},
      {"request line not complete", "GET /?clave=" + kKey, false, GateAction::wait, 0, ""},
      {"headers not complete", "GET /" + k + " HTTP/1.1\r\nHost: x\r\n", false, GateAction::wait, 0, ""},
      {"line without a key, headers still coming", "GET / HTTP/1.1\r\nHo", false, GateAction::refuse, 403, ""},
      {"page", get("/" + k), false, GateAction::page, 0, ""},
      {"page, key among other parameters", get("/?a=1&clave=" + kKey + "&b"), false, GateAction::page, 0, ""},
      {"HTTP/1.0", "GET /" + k + " HTTP/1.0\r\n\r\n", false, GateAction::page, 0, ""},
      {"page file", get("/leaflet/leaflet.js" + k), false, GateAction::file, 0, "leaflet/leaflet.js"},
      {"picture", get("/AvionN.png" + k), false, GateAction::file, 0, "AvionN.png"},
      {"socket", get("/enlace" + k, kUpgrade), false, GateAction::socket, 0, ""},
      {"socket when full", get("/enlace" + k, kUpgrade), true, GateAction::refuse, 503, ""},
      {"socket without upgrade", get("/enlace" + k), false, GateAction::refuse, 400, ""},
      {"no key", get("/"), false, GateAction::refuse, 403, ""},
      {"empty key", get("/?clave="), false, GateAction::refuse, 403, ""},
      {"wrong key", get("/?clave=" + kKey.substr(0, kKey.size() - 1) + "X"), false, GateAction::refuse, 403, ""},
      {"key cut short", get("/?clave=" + kKey.substr(1)), false, GateAction::refuse, 403, ""},
      {"key percent-encoded", get("/?clave=%43laveDePrueba_0123456789abcdef"), false, GateAction::refuse, 403, ""},
      {"socket without a key", get("/enlace", kUpgrade), false, GateAction::refuse, 403, ""},
      {"body without a key", "POST / HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", false, GateAction::refuse, 403, ""},
      {"settings file", get("/CONFIG.INI" + k), false, GateAction::refuse, 404, ""},
      {"log", get("/tolvex.log" + k), false, GateAction::refuse, 404, ""},
      {"step up", get("/../secreto.js" + k), false, GateAction::refuse, 404, ""},
      {"hidden file", get("/.oculto.js" + k), false, GateAction::refuse, 404, ""},
      {"unknown page", get("/otra.html" + k), false, GateAction::refuse, 404, ""},
      {"body", "POST /" + k + " HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", false, GateAction::refuse, 413, ""},
      {"chunked body", get("/" + k, "Transfer-Encoding: chunked\r\n"), false, GateAction::refuse, 413, ""},
      {"empty body is none", get("/" + k, "Content-Length: 0\r\n"), false, GateAction::page, 0, ""},
      {"bytes after the head", get("/" + k) + "x", false, GateAction::refuse, 400, ""},
      {"two requests", get("/" + k) + get("/" + k), false, GateAction::refuse, 400, ""},
      {"other method", "HEAD /" + k + " HTTP/1.1\r\n\r\n", false, GateAction::refuse, 405, ""},
      {"absolute target", "GET http://x/" + k + " HTTP/1.1\r\n\r\n", false, GateAction::refuse, 403, ""},
      {"bare LF in a header", "GET /" + k + " HTTP/1.1\r\nHost: x\nX-A: y\r\n\r\n", false, GateAction::refuse, 400, ""},
      {"bare LF lines", "GET /" + k + " HTTP/1.1\nHost: x\n\r\n\r\n", false, GateAction::refuse, 403, ""},
      {"folded header", get("/" + k, "X-A: 1\r\n  sigue\r\n"), false, GateAction::refuse, 400, ""},
      {"nameless header", get("/" + k, ": 1\r\n"), false, GateAction::refuse, 400, ""},
      {"control character", get("/" + k, "X-A: a\x01" "b\r\n"), false, GateAction::refuse, 400, ""},
      {"HTTP/2.0", "GET /" + k + " HTTP/2.0\r\n\r\n", false, GateAction::refuse, 403, ""},
      {"head of exactly the limit", get("/" + k, "X-R: " + std::string(kMaxHeadBytes - get("/" + k).size() - 7, 'r') + "\r\n"),
       false, GateAction::page, 0, ""},
      {"head over the limit", get("/" + k, "X-R: " + std::string(kMaxHeadBytes, 'r') + "\r\n"), false,
       GateAction::refuse, 431, ""},
      {"head over the limit, not ended", "GET /" + k + " HTTP/1.1\r\nX-R: " + std::string(kMaxHeadBytes, 'r'), false,
       GateAction::refuse, 431, ""},
      {"request line over the limit", "GET /" + k + "&" + std::string(kMaxHeadBytes, 'r'), false, GateAction::refuse,
       403, ""},
      {"too many headers", get("/" + k, [] { std::string h; for (int i = 0; i < 70; ++i) h += "X-A: 1\r\n"; return h; }()),
       false, GateAction::refuse, 400, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const GateDecision d = examine_request(c.bytes, kKey, c.sockets_full);
    EXPECT_EQ(d.action, c.action) << c.what;
    EXPECT_EQ(d.status, c.status) << c.what;
    EXPECT_EQ(d.file, c.file) << c.what;
  }
}

TEST(RequestGate, NoKeyConfiguredRefusesEverything) {
  EXPECT_EQ(examine_request(get("/?clave="), "", false).status, 403);
  EXPECT_EQ(examine_request(get("/"), "", false).status, 403);
}

}  // namespace
}  // namespace tolvex
