#include "app/MprisPlayer.h"

#include <QUrl>

#include "platform/StandardTags.h"
#include "player/PlayerRemote.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

MprisPlayer::MprisPlayer(QObject* exported, PlayerRemote& remote)
    : QDBusAbstractAdaptor(exported), remote_(remote) {
  connect(&remote_, &PlayerRemote::Seeked, this, &MprisPlayer::Seeked);
  // Before the service announces the new song's metadata, which it connects to later.
  connect(&remote_, &PlayerRemote::SongChanged, this, &MprisPlayer::ReadAlbumArtist);
}

void MprisPlayer::ReadAlbumArtist() {
  const QString& file = remote_.CurrentSong().file;
  const auto tags = file.isEmpty() ? std::nullopt : platform::ReadStandardTags(file, false);
  albumArtist_ = tags ? tags->albumArtist : QString();
}

QString MprisPlayer::PlaybackStatus() const {
  switch (remote_.PlaybackStatus()) {
    case PlayerRemote::Status::Playing: return u"Playing"_s;
    case PlayerRemote::Status::Paused: return u"Paused"_s;
    case PlayerRemote::Status::Stopped: break;
  }
  return u"Stopped"_s;
}

QDBusObjectPath MprisPlayer::TrackId(int songIndex) {
  return QDBusObjectPath(songIndex > 0 ? u"/org/audiolume/Track/"_s + QString::number(songIndex)
                                       : u"/org/mpris/MediaPlayer2/TrackList/NoTrack"_s);
}

namespace {

// Sound menus fetch these addresses as they stand: spaces, "#" and "?" in a name must be
// percent-encoded.
QString FileUrl(const QString& path) {
  return QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded());
}

}  // namespace

QVariantMap MprisPlayer::Metadata() const {
  const PlayerRemote::Song& song = remote_.CurrentSong();
  if (song.index <= 0 && song.file.isEmpty())
    return {{u"mpris:trackid"_s, QVariant::fromValue(TrackId(0))}};
  QVariantMap metadata{{u"mpris:trackid"_s, QVariant::fromValue(TrackId(song.index))},
                       {u"xesam:title"_s, song.title},
                       {u"xesam:url"_s, FileUrl(song.file)}};
  if (!song.artist.isEmpty()) metadata.insert(u"xesam:artist"_s, platform::SplitNames(song.artist));
  if (!albumArtist_.isEmpty())
    metadata.insert(u"xesam:albumArtist"_s, platform::SplitNames(albumArtist_));
  if (!song.album.isEmpty()) metadata.insert(u"xesam:album"_s, song.album);
  if (!song.genre.isEmpty()) metadata.insert(u"xesam:genre"_s, platform::SplitNames(song.genre));
  if (song.trackNumber > 0) metadata.insert(u"xesam:trackNumber"_s, song.trackNumber);
  if (song.lengthMicroseconds > 0) {
    metadata.insert(u"mpris:length"_s, qlonglong(song.lengthMicroseconds));
  }
  if (const QString art = remote_.ArtPath(); !art.isEmpty()) {
    metadata.insert(u"mpris:artUrl"_s, FileUrl(art));
  }
  return metadata;
}

double MprisPlayer::Volume() const {
  return remote_.Volume();
}

void MprisPlayer::SetVolume(double volume) {
  remote_.SetVolume(volume);
}

QString MprisPlayer::LoopStatus() const {
  return remote_.Repeats() ? u"Playlist"_s : u"None"_s;
}

void MprisPlayer::SetLoopStatus(const QString& status) {
  remote_.SetRepeats(status != u"None");
}

bool MprisPlayer::Shuffle() const {
  return remote_.Shuffle();
}

void MprisPlayer::SetShuffle(bool shuffle) {
  remote_.SetShuffle(shuffle);
}

qlonglong MprisPlayer::Position() const {
  return remote_.PositionMicroseconds();
}

bool MprisPlayer::CanGo() const {
  return remote_.HasSongs();
}

void MprisPlayer::Play() {
  remote_.Play();
}

void MprisPlayer::Pause() {
  remote_.Pause();
}

void MprisPlayer::PlayPause() {
  remote_.PlayPause();
}

void MprisPlayer::Stop() {
  remote_.Stop();
}

void MprisPlayer::Next() {
  remote_.Next();
}

void MprisPlayer::Previous() {
  remote_.Previous();
}

void MprisPlayer::Seek(qlonglong Offset) {
  remote_.Seek(Offset);
}

void MprisPlayer::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
  const QString prefix = u"/org/audiolume/Track/"_s;
  if (!TrackId.path().startsWith(prefix)) return;
  remote_.SetPosition(TrackId.path().mid(prefix.size()).toInt(), Position);
}

// A song file opened from outside plays as one dropped on the player does; other URIs
// do nothing, as the interface allows.
void MprisPlayer::OpenUri(const QString& Uri) {
  const QUrl url(Uri);
  if (url.isLocalFile()) remote_.PlayFile(url.toLocalFile());
}

}  // namespace audiolume
