#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

namespace audiolume {

class PlayerRemote;

/**
 * The org.mpris.MediaPlayer2.Player interface over the player's remote control. The
 * properties are read when asked; their changes go out through MprisService.
 */
class MprisPlayer : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(double Rate READ Rate WRITE SetRate)
  Q_PROPERTY(double MinimumRate READ Rate)
  Q_PROPERTY(double MaximumRate READ Rate)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
  Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE SetLoopStatus)
  Q_PROPERTY(bool Shuffle READ Shuffle WRITE SetShuffle)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(bool CanGoNext READ CanGo)
  Q_PROPERTY(bool CanGoPrevious READ CanGo)
  Q_PROPERTY(bool CanPlay READ CanGo)
  Q_PROPERTY(bool CanPause READ CanGo)
  Q_PROPERTY(bool CanSeek READ CanGo)
  Q_PROPERTY(bool CanControl READ CanControl)

 public:
  MprisPlayer(QObject* exported, PlayerRemote& remote);

  QString PlaybackStatus() const;
  double Rate() const { return 1.0; }
  void SetRate(double) {}  // one rate only
  QVariantMap Metadata() const;
  double Volume() const;
  void SetVolume(double volume);
  /** "Playlist" when the queue starts again after its last song, else "None"; the player
   *  has no repeat of one song, so "Track" is taken as "Playlist". */
  QString LoopStatus() const;
  void SetLoopStatus(const QString& status);
  bool Shuffle() const;
  void SetShuffle(bool shuffle);
  qlonglong Position() const;
  bool CanGo() const;
  bool CanControl() const { return true; }

  /** The object path that names a song of the queue in Metadata and SetPosition. */
  static QDBusObjectPath TrackId(int songIndex);

 public Q_SLOTS:
  void Play();
  void Pause();
  void PlayPause();
  void Stop();
  void Next();
  void Previous();
  void Seek(qlonglong Offset);
  void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position);
  void OpenUri(const QString& Uri);

 Q_SIGNALS:
  void Seeked(qlonglong Position);

 private:
  void ReadAlbumArtist();

  PlayerRemote& remote_;
  QString albumArtist_;  // of the song playing, from its file's tag: the library has none
};

}  // namespace audiolume
