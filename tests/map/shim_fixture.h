#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "map/shim_harness.h"

namespace tolvex::test {

class ShimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    page = std::make_unique<ShimPage>(services());
    ASSERT_TRUE(page->load()) << "test page did not load";
  }
  void TearDown() override {
    QStringList uncaught;
    for (const QString& e : page->errors())
      if (e.contains(QStringLiteral("Uncaught"))) uncaught << e;
    EXPECT_TRUE(uncaught.isEmpty()) << uncaught.join(QLatin1Char('\n')).toStdString();
  }
  virtual ShimServices services() const { return {}; }

  // Runs a function body and expects it to return true; otherwise prints what it returned.
  void expect_true(const QString& body) {
    const QVariant v = page->run(body);
    EXPECT_TRUE(v.userType() == QMetaType::Bool && v.toBool()) << v.toString().toStdString();
  }
  double number(const QString& expression) { return page->eval(expression).toDouble(); }
  std::string text(const QString& expression) { return page->eval(expression).toString().toStdString(); }

  std::unique_ptr<ShimPage> page;
};

}  // namespace tolvex::test
