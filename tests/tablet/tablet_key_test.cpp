#include "tablet/tablet_key.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolvex {
namespace {

TEST(TabletKey, MadeFromRandomBytesOneUrlSafeCharacterEach) {
  const std::vector<std::uint8_t> bytes{0, 25, 26, 51, 52, 61, 62, 63, 64, 255};
  EXPECT_EQ(key_from_random(bytes), "AZaz09-_A_");
  const std::vector<std::uint8_t> random(kKeyLength, 200);
  EXPECT_TRUE(is_valid_key(key_from_random(random)));
}

TEST(TabletKey, Validity) {
  struct Case { std::string key; bool valid; } cases[] = {
      {"", false},
      {std::string(23, 'a'), false},
      {std::string(24, 'a'), true},
      {"abcdefghijklmnopqrstuvwxyz-_0123456789", true},
      {std::string(23, 'a') + "+", false},
      {std::string(23, 'a') + "/", false},
      {std::string(23, 'a') + "=", false},
      {std::string(23, 'a') + "%", false},
      {std::string(23, 'a') + "#", false},
      {std::string(23, 'a') + " ", false},
      {std::string(23, 'a') + "\xC3\xB1", false},
  };
  for (const Case& c : cases) EXPECT_EQ(is_valid_key(c.key), c.valid) << c.key;
}

TEST(TabletKey, MatchesOnlyTheWholeKey) {
  const std::string key = "Abcdefghijklmnopqrstuvwx";
  struct Case { std::string given, expected; bool match; } cases[] = {
      {key, key, true},
      {"", key, false},
      {key.substr(0, 23), key, false},
      {key + "y", key, false},
      {"X" + key.substr(1), key, false},
      {key.substr(0, 23) + "X", key, false},
      {std::string("Abcdefghijklmnopqrstuvw\0", 24), key, false},
      {"", "", false},
      {"algo", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(key_matches(c.given, c.expected), c.match) << c.given << " / " << c.expected;
}

TEST(TabletKey, QueryParameter) {
  struct Case { const char* query; std::optional<std::string_view> value; } cases[] = {
      {"clave=abc", "abc"},
      {"a=1&clave=x", "x"},
      {"clave=a&clave=b", "a"},
      {"xclave=1&clave=2", "2"},
      {"claveX=1", std::nullopt},
      {"clave", ""},
      {"clave=", ""},
      {"", std::nullopt},
      {"clave=a%3Db", "a%3Db"},
  };
  for (const Case& c : cases) EXPECT_EQ(query_parameter(c.query, "clave"), c.value) << c.query;
}

TEST(TabletKey, Addresses) {
  EXPECT_EQ(tablet_address("192.168.1.20", 8091, "Abc-_"), "http://192.168.1.20:8091/?clave=Abc-_");
  const std::vector<std::string> found{"172.17.0.1", "127.0.0.1", "10.0.0.5", "169.254.3.4", "192.168.1.20",
                                       "83.45.1.2", "192.168.1.20", "0.0.0.0", "224.0.0.1", "192.168.1", "300.1.1.1"};
  const std::vector<std::string> expected{"http://192.168.1.20:80/?clave=k", "http://10.0.0.5:80/?clave=k",
                                          "http://172.17.0.1:80/?clave=k", "http://83.45.1.2:80/?clave=k"};
  EXPECT_EQ(tablet_addresses(found, 80, "k"), expected);
  EXPECT_TRUE(tablet_addresses({"127.0.0.1"}, 80, "k").empty());
}

}  // namespace
}  // namespace tolvex
