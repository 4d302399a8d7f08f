#include "player/PlayerRemote.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>

#include "library/PlayTime.h"
#include "library/SongLibrary.h"
#include "library/SongRecord.h"
#include "player/PlayQueue.h"
#include "player/PlayerEngine.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr double kMicroseconds = 1e6;

}  // namespace

PlayerRemote::PlayerRemote(PlayerEngine& engine, const SongLibrary& library, SongReader readSong,
                           ArtReader readArt, QString cacheFolder)
    : engine_(engine),
      library_(library),
      readSong_(std::move(readSong)),
      readArt_(std::move(readArt)),
      cacheFolder_(std::move(cacheFolder)) {
  connect(&engine_, &PlayerEngine::SongStarted, this, &PlayerRemote::TakeSong);
  // The engine turns its buttons before its state: the status is read once it is done.
  connect(&engine_, &PlayerEngine::ButtonsChanged, this, &PlayerRemote::NoteStatus,
          Qt::QueuedConnection);
  connect(&engine_, &PlayerEngine::VolumeChosen, this, &PlayerRemote::NoteVolume);
  connect(&engine_, &PlayerEngine::Sought, this,
          [this](double seconds) { Q_EMIT Seeked(qint64(seconds * kMicroseconds)); });
  connect(&engine_, &PlayerEngine::QueueChanged, this, &PlayerRemote::QueueChanged);
  connect(&engine_, &PlayerEngine::OrderChanged, this, &PlayerRemote::OrderChanged);
  lastVolume_ = engine_.ChosenVolumeLevel();
}

PlayerRemote::Status PlayerRemote::PlaybackStatus() const {
  if (engine_.IsPlaying()) return Status::Playing;
  return engine_.IsPaused() ? Status::Paused : Status::Stopped;
}

qint64 PlayerRemote::PositionMicroseconds() const {
  return qint64(engine_.PositionSeconds() * kMicroseconds);
}

double PlayerRemote::Volume() const {
  return double(engine_.ChosenVolumeLevel()) / PlayerEngine::kVolumeMaximum;
}

// The window's slider and the desktop both set the level; each level is told once.
void PlayerRemote::NoteVolume() {
  if (engine_.ChosenVolumeLevel() == lastVolume_) return;
  lastVolume_ = engine_.ChosenVolumeLevel();
  Q_EMIT VolumeChanged();
}

bool PlayerRemote::Shuffle() const {
  return engine_.Queue().PlayOrder() == PlayQueue::Order::Random;
}

void PlayerRemote::SetShuffle(bool shuffle) {
  engine_.SetPlayOrder(shuffle ? PlayQueue::Order::Random : PlayQueue::Order::Fixed);
}

bool PlayerRemote::Repeats() const {
  return engine_.Queue().PlayCycle() == PlayQueue::Cycle::Continuous;
}

void PlayerRemote::SetRepeats(bool repeats) {
  engine_.SetPlayCycle(repeats ? PlayQueue::Cycle::Continuous : PlayQueue::Cycle::Single);
}

void PlayerRemote::SetVolume(double volume) {
  const int level = int(std::clamp(volume, 0.0, 1.0) * PlayerEngine::kVolumeMaximum + 0.5);
  engine_.MoveVolumeSlider(PlayerEngine::kVolumeMaximum - level);
}

bool PlayerRemote::HasSongs() const {
  return engine_.Queue().Length() > 0;
}

void PlayerRemote::Play() {
  if (!engine_.IsPlaying()) engine_.Button_Play_MouseDown();
}

// The window's pause button is pressed and let go; pressing it again resumes, which is
// Play's work here.
void PlayerRemote::Pause() {
  if (!engine_.IsPlaying()) return;
  engine_.Button_Pause_MouseDown();
  engine_.Button_Pause_MouseUp();
}

void PlayerRemote::PlayPause() {
  if (engine_.IsPlaying()) {
    Pause();
  } else {
    Play();
  }
}

void PlayerRemote::Stop() {
  engine_.Button_Stop_MouseDown();
}

void PlayerRemote::Next() {
  engine_.cmdSkipForward_Click();
}

void PlayerRemote::Previous() {
  engine_.cmdSkipBack_Click();
}

void PlayerRemote::PlayFile(const QString& file) {
  engine_.Play_Single_Song(file);
}

void PlayerRemote::Seek(qint64 offsetMicroseconds) {
  const double target = engine_.PositionSeconds() + double(offsetMicroseconds) / kMicroseconds;
  if (engine_.LengthSeconds() > 0 && target >= engine_.LengthSeconds()) {
    Next();
    return;
  }
  MoveTo(std::max(0.0, target));
}

void PlayerRemote::SetPosition(int songIndex, qint64 positionMicroseconds) {
  const double target = double(positionMicroseconds) / kMicroseconds;
  if (songIndex != song_.index || target < 0 || target > engine_.LengthSeconds()) return;
  MoveTo(target);
}

void PlayerRemote::MoveTo(double seconds) {
  engine_.SeekToSeconds(seconds);
}

void PlayerRemote::TakeSong(int index, const QString& file, const QString& title,
                            const QString& artist) {
  song_ = Song{index, file, title, artist, {}, {}, 0, 0};
  artPath_.reset();
  if (const int row = library_.FindSongByFilename(file); row > 0) {
    song_.album = library_.SongText(row, 1);
    song_.genre = library_.SongText(row, 3);
    song_.trackNumber = library_.SongRecords(row).TrackNumber;
    song_.lengthMicroseconds =
        PlayTime::ConvertToSeconds(library_.SongText(row, 8)) * qint64(kMicroseconds);
  } else if (readSong_ && !file.isEmpty()) {
    SongRecord record;
    readSong_(file, record);
    song_.album = record.Album.trimmed();
    song_.genre = record.Genre.trimmed();
    song_.trackNumber = record.TrackNumber;
  }
  if (song_.lengthMicroseconds == 0) {
    song_.lengthMicroseconds = qint64(engine_.LengthSeconds() * kMicroseconds);
  }
  Q_EMIT SongChanged();
  NoteStatus();
}

void PlayerRemote::NoteStatus() {
  if (PlaybackStatus() == lastStatus_) return;
  lastStatus_ = PlaybackStatus();
  Q_EMIT StatusChanged();
}

QString PlayerRemote::ArtPath() {
  if (!artPath_) artPath_ = song_.file.isEmpty() ? QString() : StoreArt(song_.file);
  return *artPath_;
}

// Named after the picture's contents, so that a song's picture is written once and two
// songs with the same cover share the file.
QString PlayerRemote::StoreArt(const QString& file) {
  QString type;
  const QByteArray art = readArt_ ? readArt_(file, type) : QByteArray();
  if (art.isEmpty() || cacheFolder_.isEmpty() || !QDir().mkpath(cacheFolder_)) return {};
  const QString name =
      QString::fromLatin1(QCryptographicHash::hash(art, QCryptographicHash::Sha1).toHex().left(20));
  const QString path =
      cacheFolder_ + u"/cover-"_s + name + u'.' + (type.isEmpty() ? u"jpg"_s : type);
  if (QFile::exists(path)) return path;
  QSaveFile out(path);
  if (!out.open(QIODevice::WriteOnly) || out.write(art) != art.size() || !out.commit()) return {};
  return path;
}

}  // namespace audiolume
