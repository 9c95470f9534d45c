#include "simlink/link_recovery.h"

#include <algorithm>

namespace tolvex {

void LinkRecovery::reset() {
  state_ = LinkState::live;
  streak_.reset();
  told_lost_ = false;
  last_attempt_ms_.reset();
}

LinkNotice LinkRecovery::poll_succeeded() {
  const bool ended_streak = streak_.failing();
  streak_.record_success();
  state_ = LinkState::live;
  told_lost_ = false;
  return ended_streak ? LinkNotice::back : LinkNotice::none;
}

LinkNotice LinkRecovery::poll_failed(bool link_down) {
  const bool first = streak_.record_failure();
  if (!link_down) {
    // A failing poll on a connection that is there: it stays as it is.
    if (state_ == LinkState::back) state_ = LinkState::live;
    return first ? LinkNotice::no_positions : LinkNotice::none;
  }
  state_ = LinkState::lost;
  if (told_lost_) return LinkNotice::none;
  told_lost_ = true;
  return LinkNotice::lost;
}

std::optional<std::int64_t> LinkRecovery::next_attempt_in(std::int64_t now_ms) const {
  if (state_ != LinkState::lost) return std::nullopt;
  if (!last_attempt_ms_) return 0;
  return std::max<std::int64_t>(0, *last_attempt_ms_ + retry_ms_ - now_ms);
}

void LinkRecovery::attempt_started(std::int64_t now_ms) {
  state_ = LinkState::reconnecting;
  last_attempt_ms_ = now_ms;
}

void LinkRecovery::attempt_failed() {
  if (state_ == LinkState::reconnecting) state_ = LinkState::lost;
}

void LinkRecovery::attempt_succeeded() {
  if (state_ == LinkState::reconnecting) state_ = LinkState::back;
}

namespace {

// A reason may quote what a server sent: a caption shows no more than this of it.
constexpr std::size_t kReasonChars = 200;

std::string sentence(std::string text) {
  if (text.size() > kReasonChars) {
    std::size_t cut = kReasonChars;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
    text = text.substr(0, cut) + "...";
  }
  if (!text.empty() && text.back() != '.') text += '.';
  return text;
}

}  // namespace

std::string link_notice_text(LinkNotice notice, LinkSource source, const std::string& reason, std::int64_t retry_ms) {
  const bool iocp = source == LinkSource::iocp;
  switch (notice) {
    case LinkNotice::none: return {};
    case LinkNotice::lost:
      return "Se ha perdido la conexión con el simulador: " + sentence(reason) +
             (iocp ? " Compruebe que el simulador y el IOCP Server siguen en marcha." : "") +
             " Tolvex vuelve a conectar solo cada " + std::to_string(std::max<std::int64_t>(retry_ms / 1000, 1)) +
             " s.";
    case LinkNotice::no_positions:
      return iocp ? "El IOCP Server no envía una posición válida: " + sentence(reason) +
                        " El avión se moverá en cuanto llegue una."
                  : sentence(reason);
    case LinkNotice::back:
      return iocp ? "Conexión con el simulador recuperada: el mapa vuelve a seguir al avión."
                  : "Vuelven a llegar posiciones del simulador: el mapa vuelve a seguir al avión.";
  }
  return {};
}

}  // namespace tolvex
