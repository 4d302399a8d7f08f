#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace audiolume {

class PlayerEngine;
class SongLibrary;
struct SongRecord;

/**
 * The player as the desktop's media keys and sound menus see it: a playback status, the
 * song playing with its details, position and volume in their units, and the transport
 * commands, all driving the same engine as the player window. Changes come as signals.
 * The song's picture is written into the cache folder when first asked for, so that a
 * sound menu can show it by its file URL. UI thread only.
 */
class PlayerRemote : public QObject {
  Q_OBJECT

 public:
  enum class Status { Playing, Paused, Stopped };

  /** What a sound menu shows of the song playing. */
  struct Song {
    int index = 0;  // in the queue, from 1; 0 when nothing has played
    QString file;
    QString title;
    QString artist;
    QString album;
    QString genre;
    int trackNumber = 0;  // 0 when unknown
    qint64 lengthMicroseconds = 0;
  };

  /** Reads a song file's record from its tags, for a song outside the library. */
  using SongReader = std::function<void(const QString& file, SongRecord& record)>;
  /** Reads a song file's picture (bytes, and its type such as "jpg"). */
  using ArtReader = std::function<QByteArray(const QString& file, QString& type)>;

  PlayerRemote(PlayerEngine& engine, const SongLibrary& library, SongReader readSong,
               ArtReader readArt, QString cacheFolder);

  Status PlaybackStatus() const;
  const Song& CurrentSong() const { return song_; }
  /** The song's picture in the cache folder, written the first time it is asked for;
   *  empty when the song has none. */
  QString ArtPath();
  qint64 PositionMicroseconds() const;
  /** 0.0 silent to 1.0 full: the level the user chose, which a fade-in rises to. */
  double Volume() const;
  void SetVolume(double volume);
  /** Whether the queue plays in random order. */
  bool Shuffle() const;
  void SetShuffle(bool shuffle);
  /** Whether the queue starts again after its last song. */
  bool Repeats() const;
  void SetRepeats(bool repeats);
  bool HasSongs() const;

  void Play();
  void Pause();
  void PlayPause();
  void Stop();
  void Next();
  void Previous();
  /** Plays one song file at once, outside the queue. */
  void PlayFile(const QString& file);
  /** Moves by an offset; past the end it goes on to the next song, before the start to 0. */
  void Seek(qint64 offsetMicroseconds);
  /** Moves to a place in the song playing; ignored for another song or outside it. */
  void SetPosition(int songIndex, qint64 positionMicroseconds);

 Q_SIGNALS:
  void StatusChanged();
  void SongChanged();
  void VolumeChanged();
  void Seeked(qint64 positionMicroseconds);
  void QueueChanged();
  void OrderChanged();

 private:
  void TakeSong(int index, const QString& file, const QString& title, const QString& artist);
  void NoteStatus();
  void NoteVolume();
  QString StoreArt(const QString& file);
  void MoveTo(double seconds);

  PlayerEngine& engine_;
  const SongLibrary& library_;
  SongReader readSong_;
  ArtReader readArt_;
  QString cacheFolder_;
  Song song_;
  std::optional<QString> artPath_;  // once looked for, for the current song
  Status lastStatus_ = Status::Stopped;
  int lastVolume_ = -1;  // the level last told; -1 before any
};

}  // namespace audiolume
