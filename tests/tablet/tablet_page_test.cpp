#include "tablet/tablet_page.h"

#include <gtest/gtest.h>

#include <regex>

namespace tolvex {
namespace {

const std::string kKey = "ClaveDePrueba_0123456789abcdef";

MapSettings maps() {
  MapSettings m;
  m.teselas_normal = "https://{s}.tile.example.org/{z}/{x}/{y}.png";
  m.teselas_satelite = "https://sat.example.com:8443/t/{z}/{y}/{x}";
  m.teselas_hibrido = "https://sat.example.com:8443/h/{z}/{y}/{x}";
  m.teselas_relieve = "http://127.0.0.1:9/{z}/{x}/{y}.png\"</script><script>alert(1)</script>";
  m.marca_naranja = "mm_20_orange.png";
  m.marca_azul = "https://pins.example.net/blue.png";
  m.marca_roja = "../CONFIG.INI";
  return m;
}

TEST(TabletPage, OriginOfAnAddress) {
  struct Case { const char* address; const char* origin; } cases[] = {
      {"https://tile.openstreetmap.org/{z}/{x}/{y}.png", "https://tile.openstreetmap.org"},
      {"https://{s}.tile.example.org/{z}/{x}/{y}.png", "https://*.tile.example.org"},
      {"http://127.0.0.1:9/{z}/{x}/{y}.png", "http://127.0.0.1:9"},
      {"https://a.example.org?x=1", "https://a.example.org"},
      {"mm_20_orange.png", ""},
      {"file:///etc/passwd", ""},
      {"javascript:alert(1)", ""},
      {"https://{z}.example.org/x", ""},
      {"https://a.example.org;script-src *", ""},
      {"https://", ""},
      {"https://a.*.org/", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(address_origin(c.address), c.origin) << c.address;
}

TEST(TabletPage, PolicyRunsOnlyOwnScriptsAndAllowsTheTileHosts) {
  const std::string policy = tablet_page_policy(maps());
  EXPECT_EQ(policy,
            "default-src 'none'; script-src 'self'; style-src 'self' 'unsafe-inline'; img-src 'self' data: "
            "https://*.tile.example.org https://sat.example.com:8443 http://127.0.0.1:9 https://pins.example.net; "
            "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'");
}

TEST(TabletPage, EveryAddressCarriesTheKeyAndNoScriptIsInline) {
  std::string page = build_tablet_page(kKey, maps());
  // The settings block cannot end early, whatever an address holds.
  const auto block = page.find(R"(id="ajustes">)") + 13;
  ASSERT_NE(block, std::string::npos + 13);
  const auto block_end = page.find("</script>", block);
  const std::string settings = page.substr(block, block_end - block);
  EXPECT_NE(settings.find(R"("naranja":"mm_20_orange.png?clave=)" + kKey + "\""), std::string::npos) << settings;
  EXPECT_NE(settings.find(R"("azul":"https://pins.example.net/blue.png")"), std::string::npos) << settings;
  EXPECT_NE(settings.find(R"("roja":"")"), std::string::npos) << settings;
  EXPECT_NE(settings.find(R"(<\/script><script>alert(1)<\/script>)"), std::string::npos) << settings;
  EXPECT_EQ(page.find("##"), std::string::npos);

  // Each script element either loads a file of ours with the key or is that data block.
  page.erase(block, block_end - block);
  const std::regex script(R"(<script([^>]*)>)");
  int scripts = 0;
  for (auto it = std::sregex_iterator(page.begin(), page.end(), script); it != std::sregex_iterator(); ++it) {
    const std::string attributes = (*it)[1];
    ++scripts;
    const bool data = attributes == R"( type="application/json" id="ajustes")";
    const bool file = std::regex_search(attributes, std::regex(R"(^ src="[a-z_/]+\.js\?clave=)" + kKey + R"("$)"));
    EXPECT_TRUE(data || file) << attributes;
  }
  EXPECT_EQ(scripts, 6);
  const std::regex link(R"re((href|src)="([^"]*)")re");
  for (auto it = std::sregex_iterator(page.begin(), page.end(), link); it != std::sregex_iterator(); ++it)
    EXPECT_NE(std::string((*it)[2]).find("?clave=" + kKey), std::string::npos) << (*it)[2];
}

}  // namespace
}  // namespace tolvex
