// Platforms without a known global hot key service: nothing is registered, and the caller logs why.
#include "platform/platform.h"

namespace tolvex {
namespace {

class NoHotKey : public GlobalHotKey {
 public:
  using GlobalHotKey::GlobalHotKey;
  bool register_ctrl_shift_f12() override {
    last_error_ = QStringLiteral("esta plataforma no ofrece atajos de teclado globales");
    return false;
  }
  void unregister() override {}
};

}  // namespace

std::unique_ptr<GlobalHotKey> GlobalHotKey::create(QObject* parent) { return std::make_unique<NoHotKey>(parent); }

}  // namespace tolvex
