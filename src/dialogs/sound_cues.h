#pragma once
// Sound cues: the MP3 files of the program folder, read once at start-up, and one of them
// played at random when the pilot refreshed the map by hand.
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace tolvex {

// What plays a file; tests put a recorder in its place.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // False on a machine without audio output.
  virtual bool has_output() = 0;
  // Starts playing and returns at once; ends any sound still playing.
  virtual void play(const QString& path) = 0;
};

// Qt Multimedia. A file it cannot open or decode is reported through on_error.
class MediaSoundPlayer : public QObject, public SoundPlayer {
  Q_OBJECT

 public:
  explicit MediaSoundPlayer(std::function<void(const QString&)> on_error, QObject* parent = nullptr);
  ~MediaSoundPlayer() override;
  bool has_output() override;
  void play(const QString& path) override;

 private:
  std::function<void(const QString&)> on_error_;
  QMediaPlayer* player_ = nullptr;  // made at the first cue: most runs never play one
  QAudioOutput* output_ = nullptr;
  QString current_;
  bool reported_ = false;
};

class SoundCues {
 public:
  // Reads the folder's *.mp3 names now (any letter case); they are not read again.
  SoundCues(const QString& folder, std::unique_ptr<SoundPlayer> player, std::function<void(const std::string&)> log);

  const QStringList& files() const { return FileListBox; }
  void set_player(std::unique_ptr<SoundPlayer> player) { MediaPlayer1 = std::move(player); }
  // One file at random; false when there is nothing to play or nothing to play it on.
  bool play_random();

 private:
  QString folder_;
  QStringList FileListBox;
  std::unique_ptr<SoundPlayer> MediaPlayer1;
  std::function<void(const std::string&)> log_;
};

}  // namespace tolvex
