#include "dialogs/sound_cues.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QDir>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

#include <cstdlib>

namespace tolvex {

MediaSoundPlayer::MediaSoundPlayer(std::function<void(const QString&)> on_error, QObject* parent)
    : QObject(parent), on_error_(std::move(on_error)) {}

MediaSoundPlayer::~MediaSoundPlayer() = default;

bool MediaSoundPlayer::has_output() { return !QMediaDevices::audioOutputs().isEmpty(); }

void MediaSoundPlayer::play(const QString& path) {
  if (!player_) {
    player_ = new QMediaPlayer(this);
    output_ = new QAudioOutput(this);
    player_->setAudioOutput(output_);
    connect(player_, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error, const QString& text) {
      // The backend may report one bad file more than once: the pilot hears of it once.
      if (reported_) return;
      reported_ = true;
      if (on_error_)
        on_error_(QStringLiteral("No se puede reproducir el sonido ") + QDir::toNativeSeparators(current_) +
                  QStringLiteral(": ") + text);
    });
  }
  current_ = path;
  reported_ = false;
  player_->stop();
  player_->setSource(QUrl::fromLocalFile(path));
  player_->play();
}

SoundCues::SoundCues(const QString& folder, std::unique_ptr<SoundPlayer> player,
                     std::function<void(const std::string&)> log)
    : folder_(folder), MediaPlayer1(std::move(player)), log_(std::move(log)) {
  QDir dir(folder);
  dir.setNameFilters({QStringLiteral("*.mp3")});
  dir.setFilter(QDir::Files | QDir::Readable);  // no CaseSensitive flag: "*.MP3" counts too
  dir.setSorting(QDir::Name);
  FileListBox = dir.entryList();
}

bool SoundCues::play_random() {
  if (FileListBox.isEmpty() || !MediaPlayer1) return false;
  if (!MediaPlayer1->has_output()) {
    if (log_) log_("Sin salida de audio: el sonido no se reproduce");
    return false;
  }
  const int index = std::rand() % static_cast<int>(FileListBox.size());
  MediaPlayer1->play(QDir(folder_).filePath(FileListBox[index]));
  return true;
}

}  // namespace tolvex
