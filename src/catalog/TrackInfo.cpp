#include "catalog/TrackInfo.h"

#include <QFileInfo>

#include "catalog/SongAdder.h"
#include "catalog/SongRowWriter.h"
#include "library/DatabaseCommands.h"
#include "library/ID3Tag.h"
#include "library/SongLibrary.h"
#include "library/TrailerTag.h"
#include "platform/StandardTags.h"
#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

QString Folded(const QString& text) {
  return text.trimmed().toLower();
}

void TrimAll(TrackInfo::Song& song) {
  SongRecord& r = song.record;
  for (QString* text : {&r.Title, &r.Album, &r.Artist, &r.Genre, &r.Tempo, &r.Mood, &r.Situation,
                        &r.Preference, &r.TrackTime, &r.SerialNumber, &r.ArtistURL, &r.BuyCDURL,
                        &r.ArtistEmail, &song.year, &song.comment}) {
    *text = text->trimmed();
  }
}

}  // namespace

TrackInfo::TrackInfo(SongLibrary& library, SongAdder& reader, TrailerTag& trailer,
                     const ID3Tag& id3, SongRowWriter& writer, DatabaseCommands& database,
                     QString workingDir)
    : library_(library),
      reader_(reader),
      trailer_(trailer),
      id3_(id3),
      writer_(writer),
      database_(database),
      workingDir_(std::move(workingDir)) {}

// The ID3 tag holds the year and comment, which the record has no field for; a file
// without one may have them in its standard tag.
TrackInfo::Song TrackInfo::ReadSong(const QString& path) const {
  Song song;
  reader_.ReadSongInformation(path, song.record);
  song.record.Filename = path;
  if (id3_.ID3Present) {
    song.year = id3_.ID3Year.trimmed();
    song.comment = id3_.ID3Comment.trimmed();
  } else if (const auto standard = platform::ReadStandardTags(path, false)) {
    if (standard->fields.year > 0) song.year = QString::number(standard->fields.year);
    song.comment = standard->fields.comment;
  }
  return song;
}

bool TrackInfo::Load(const QString& path) {
  if (!QFileInfo(path).isFile()) return false;
  path_ = path;
  loaded_ = ReadSong(path);
  id3Genre_ = id3_.ID3Present ? id3_.ID3Genre : -1;
  // The library row holds the play statistics the player keeps.
  if (const int row = library_.FindSongByFilename(path); row > 0) {
    const SongRecord& stored = library_.SongRecords(row);
    loaded_.record.LastPlayed = stored.LastPlayed;
    loaded_.record.PlayFreq = stored.PlayFreq;
  }
  current_ = loaded_;
  SongRecord ignored;
  QString type;
  picture_ = ArtPicture::FromBytes(trailer_.ReadSongTagsWithArt(path, ignored, type));
  pictureChanged_ = false;
  return true;
}

bool TrackInfo::IsChanged() const {
  return current_ != loaded_ || pictureChanged_;
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
  TrimAll(current_);
  current_.record.Filename = path_;
  const int written =
      writer_.WriteSong(path_, current_.record, ID3Edits{current_.year, current_.comment},
                        pictureChanged_ ? &*picture_ : nullptr);
  pictureChanged_ = false;
  if (library_.FindSongByFilename(path_) > 0) {
    library_.AddOrReplaceRecord(current_.record);
    database_.SaveQuietly(u"in GetSongInfoFromUser.Save"_s);
  }
  loaded_ = current_;
  return written;
}

bool TrackInfo::OnSameAlbum(int row) const {
  const SongRecord& song = current_.record;
  const bool sameName =
      Folded(library_.SongText(row, 1)) == Folded(song.Album) && !Folded(song.Album).isEmpty();
  const QString serial = Folded(song.SerialNumber);
  if (serial.isEmpty()) return sameName;
  const QString theirs = Folded(library_.SongRecords(row).SerialNumber);
  return theirs.isEmpty() ? sameName : theirs == serial;
}

void TrackInfo::CopyTicked(const Boxes& boxes, Song& song) const {
  const SongRecord& from = current_.record;
  SongRecord& to = song.record;
  QString SongRecord::*const fields[] = {
      &SongRecord::Album, &SongRecord::Artist,    &SongRecord::Genre,     &SongRecord::Tempo,
      &SongRecord::Mood,  &SongRecord::Situation, &SongRecord::Preference};
  for (int box = kAlbum; box <= kPreference; ++box) {
    if (boxes[std::size_t(box)]) to.*fields[box] = from.*fields[box];
  }
  if (boxes[kYear]) song.year = current_.year;
  if (boxes[kComment]) song.comment = current_.comment;
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
    if (path.compare(path_, Qt::CaseInsensitive) != 0 && OnSameAlbum(row)) members.append(path);
  }
  const ArtPicture* picture = boxes[kArt] && picture_ ? &*picture_ : nullptr;
  for (const QString& path : members) {
    Song song = ReadSong(path);
    const int row = library_.FindSongByFilename(path);
    song.record.LastPlayed = library_.SongRecords(row).LastPlayed;
    song.record.PlayFreq = library_.SongRecords(row).PlayFreq;
    CopyTicked(boxes, song);
    const ID3Edits edits{boxes[kYear] ? std::optional(song.year) : std::nullopt,
                         boxes[kComment] ? std::optional(song.comment) : std::nullopt};
    writer_.WriteSong(path, song.record, edits, picture);
    changed.append({library_.AddOrReplaceRecord(song.record), path});
  }
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
