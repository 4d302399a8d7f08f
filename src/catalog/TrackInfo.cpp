#include "catalog/TrackInfo.h"

#include "catalog/SongRowWriter.h"
#include "library/ArtPicture.h"
#include "library/DatabaseCommands.h"
#include "library/SongLibrary.h"
#include "library/TrailerTag.h"
#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

QString Folded(const QString& text) {
  return text.trimmed().toLower();
}

}  // namespace

TrackInfo::TrackInfo(CurrentSong& song, SongLibrary& library, TrailerTag& trailer,
                     DatabaseCommands& database)
    : song_(song), library_(library), trailer_(trailer), database_(database) {}

bool TrackInfo::Load(const QString& path) {
  // A picture chosen for the song stays with its other edits.
  const bool keepPicture = path == Path() && pictureChanged_;
  if (!song_.Open(path)) return false;
  if (!keepPicture) ReadPicture();
  return true;
}

void TrackInfo::Revert() {
  song_.Revert();
  ReadPicture();
}

void TrackInfo::ReadPicture() {
  SongRecord ignored;
  QString type;
  picture_ = ArtPicture::FromBytes(trailer_.ReadSongTagsWithArt(Path(), ignored, type));
  pictureChanged_ = false;
}

bool TrackInfo::IsChanged() const {
  return song_.IsChanged() || pictureChanged_;
}

QByteArray TrackInfo::Picture() const {
  return picture_ ? picture_->bytes : QByteArray();
}

bool TrackInfo::SetPicture(const QString& picturePath) {
  auto chosen = ArtPicture::FromFile(picturePath);
  if (!chosen) return false;
  picture_ = std::move(chosen);
  pictureChanged_ = true;
  return true;
}

int TrackInfo::Save() {
  const int written = song_.Save(pictureChanged_ ? &*picture_ : nullptr);
  pictureChanged_ = false;
  return written;
}

bool TrackInfo::OnSameAlbum(int row) const {
  const SongRecord& song = Current().record;
  const bool sameName =
      Folded(library_.SongText(row, 1)) == Folded(song.Album) && !Folded(song.Album).isEmpty();
  const QString serial = Folded(song.SerialNumber);
  if (serial.isEmpty()) return sameName;
  const QString theirs = Folded(library_.SongRecords(row).SerialNumber);
  return theirs.isEmpty() ? sameName : theirs == serial;
}

void TrackInfo::CopyTicked(const Boxes& boxes, Song& song) const {
  const SongRecord& from = Current().record;
  SongRecord& to = song.record;
  QString SongRecord::*const fields[] = {
      &SongRecord::Album, &SongRecord::Artist,    &SongRecord::Genre,     &SongRecord::Tempo,
      &SongRecord::Mood,  &SongRecord::Situation, &SongRecord::Preference};
  for (int box = kAlbum; box <= kPreference; ++box) {
    if (boxes[std::size_t(box)]) to.*fields[box] = from.*fields[box];
  }
  if (boxes[kYear]) song.year = Current().year;
  if (boxes[kComment]) song.comment = Current().comment;
  if (boxes[kSerialNumber]) to.SerialNumber = from.SerialNumber;
  if (boxes[kArtistURL]) to.ArtistURL = from.ArtistURL;
  if (boxes[kBuyCDURL]) to.BuyCDURL = from.BuyCDURL;
  if (boxes[kArtistEmail]) to.ArtistEmail = from.ArtistEmail;
  if (boxes[kBios]) to.Bios = from.Bios;
}

QList<TrackInfo::Changed> TrackInfo::ApplyToAlbum(const Boxes& boxes) {
  QList<Changed> changed;
  if (std::find(boxes.begin(), boxes.end(), true) == boxes.end()) return changed;
  // The members are found first: rewriting a record may reorder nothing, but reading
  // their files moves the ID3 working copy, which this song's values must not depend on.
  QStringList members;
  for (int row = 1; row <= library_.SongCount(); ++row) {
    const QString path = library_.SongText(row, SongLibrary::kFilenameColumn);
    if (path != Path() && OnSameAlbum(row)) members.append(path);
  }
  const ArtPicture* picture = boxes[kArt] && picture_ ? &*picture_ : nullptr;
  song_.Writer().Gather();
  for (const QString& path : members) {
    Song song = song_.Read(path);
    CopyTicked(boxes, song);
    const ID3Edits edits{boxes[kYear] ? std::optional(song.year) : std::nullopt,
                         boxes[kComment] ? std::optional(song.comment) : std::nullopt};
    song_.Store(path, song, edits, picture);
    changed.append({library_.FindSongByFilename(path), path});
  }
  song_.Writer().TellGathered();
  database_.SaveQuietly(u"in GetSongInfoFromUser.ApplyToAlbum"_s);
  return changed;
}

TrackInfo::Boxes TrackInfo::ReadBoxes(const QString& settingsFile) {
  Boxes boxes{};
  for (int box = 0; box < kBoxes; ++box) {
    boxes[std::size_t(box)] =
        ReadIniDefault(settingsFile, u"Tag"_s, u"ChkBox"_s + QString::number(box), u"0"_s)
            .trimmed() == u"1";
  }
  return boxes;
}

void TrackInfo::WriteBoxes(const QString& settingsFile, const Boxes& boxes) {
  for (int box = 0; box < kBoxes; ++box) {
    WriteIniString(settingsFile, u"Tag"_s, u"ChkBox"_s + QString::number(box),
                   boxes[std::size_t(box)] ? u"1"_s : u"0"_s);
  }
}

}  // namespace audiolume
