// The link keeps going by itself: the pilot is told over the map, without being stopped, once
// when polls start failing and once when samples come again, and an IOCP connection that went is
// made again in the background while the window goes on.
#include "base/diagnostic_log.h"
#include "shell/main_window.h"
#include "shell/map_notice_qt.h"
#include "simlink/iocp_client_qt.h"

namespace tolvex {
namespace {

// How long "back" stays over the map.
constexpr int kBackNoticeMs = 5000;

}  // namespace

void MainWindow::show_notice(const QString& text, int hide_after_ms) {
  link_notice->show_notice(text, hide_after_ms);
  if (notice_hook) notice_hook(text);
}

void MainWindow::set_receiving(bool receiving) {
  if (receiving_ == receiving) return;
  receiving_ = receiving;
  emit link_state_changed(receiving);
}

void MainWindow::reset_link() {
  link_recovery_.reset();
  reconnect_timer_.stop();
  link_state_text_.clear();
  link_notice->clear_notice();
  map_page_built_ = false;
}

void MainWindow::link_poll_succeeded() {
  if (link_recovery_.poll_succeeded() == LinkNotice::back) {
    escribir_log("Conexión con el simulador recuperada");
    link_state_text_.clear();
    const LinkSource source = cfg.iocpserver ? LinkSource::iocp : LinkSource::xgps;
    show_notice(QString::fromStdString(link_notice_text(LinkNotice::back, source, {}, link_recovery_.retry_ms())),
                kBackNoticeMs);
  }
  set_receiving(true);
}

void MainWindow::link_poll_failed(const std::string& reason, bool link_down) {
  // The log gets every failure; the pilot hears of the streak once.
  escribir_log((cfg.iocpserver ? "Sin datos del IOCP Server: " : "Sin datos por red (XGPS): ") + reason);
  if (closing_unattended()) return;  // a poll cut short by the close: nothing to tell or mend
  const LinkNotice notice = link_recovery_.poll_failed(link_down);
  if (notice == LinkNotice::lost) escribir_log("Conexión con el simulador perdida: " + reason);
  if (notice != LinkNotice::none) {
    const LinkSource source = cfg.iocpserver ? LinkSource::iocp : LinkSource::xgps;
    link_state_text_ = QString::fromStdString(link_notice_text(notice, source, reason, link_recovery_.retry_ms()));
    show_notice(link_state_text_);
  }
  set_receiving(false);
  if (link_down) schedule_reconnect();
}

void MainWindow::link_down_poll() {
  // No request goes to a connection that is being made again.
  escribir_log("Sin conexión con el IOCP Server: se está reconectando");
  // The pilot asked for the map: the state is shown again.
  if (pulsaboton && !link_state_text_.isEmpty()) link_notice->show_notice(link_state_text_);
}

void MainWindow::schedule_reconnect() {
  if (const auto in = link_recovery_.next_attempt_in(link_clock_.elapsed()))
    reconnect_timer_.start(static_cast<int>(*in));
}

void MainWindow::reconnect_now() {
  if (!conectado || !cfg.iocpserver) return;
  const std::int64_t now = link_clock_.elapsed();
  const auto in = link_recovery_.next_attempt_in(now);
  if (!in) return;
  if (*in > 0) {
    reconnect_timer_.start(static_cast<int>(*in));
    return;
  }
  link_recovery_.attempt_started(now);
  escribir_log("Reconectando con el IOCP Server " + std::to_string(cfg.puerto) + " - " + cfg.dirip);
  IdTCPClient->reopen_async([this](const std::string& error) { reconnect_finished(error); });
}

void MainWindow::reconnect_finished(const std::string& error) {
  if (!conectado) return;
  if (!error.empty()) {
    link_recovery_.attempt_failed();
    escribir_log("No se pudo reconectar con el IOCP Server: " + error);
    schedule_reconnect();
    return;
  }
  link_recovery_.attempt_succeeded();
  escribir_log("Reconectado con el IOCP Server");
  // Polling resumes at once where it runs (the first good poll ends the streak); a page being
  // loaded or the configuration window starts it again later.
  if (Timer_auto.isActive()) Timer_autoTimer();
}

}  // namespace tolvex
