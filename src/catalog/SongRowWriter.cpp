#include "catalog/SongRowWriter.h"

#include "catalog/SongAdder.h"
#include "library/ArtPicture.h"
#include "library/ID3Tag.h"
#include "library/SongFilePresence.h"
#include "library/SongLibrary.h"
#include "library/SongRecord.h"
#include "library/TrailerTag.h"
#include "platform/Id3v2Writer.h"
#include "platform/StandardTags.h"
#include "support/AppError.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

platform::StandardTagFields Held(const std::optional<platform::StandardTags>& tag) {
  return tag ? tag->fields : platform::StandardTagFields();
}

// What an edit gives a standard tag: the fields it holds now, with each field the edit
// changes in the song's record (from before to record) and the year and comment edited; a
// tag still to be made takes every field the song has, its ID3v1 year and comment too.
// Nothing when the edit changes none of them.
std::optional<platform::StandardTagFields> EditedFields(
    const std::optional<platform::StandardTags>& tag, const SongRecord& before,
    const SongRecord& record, const ID3Edits& edits, const ID3Tag& id3) {
  platform::StandardTagFields fields = Held(tag);
  bool changed = edits.year || edits.comment;
  const auto take = [&changed, made = !tag](QString& field, const QString& was,
                                            const QString& now) {
    changed = changed || now.trimmed() != was.trimmed();
    if (made || now.trimmed() != was.trimmed()) field = now.trimmed();
  };
  take(fields.title, before.Title, record.Title);
  take(fields.album, before.Album, record.Album);
  take(fields.artist, before.Artist, record.Artist);
  take(fields.genre, before.Genre, record.Genre);
  changed = changed || record.TrackNumber != before.TrackNumber;
  if (!changed) return std::nullopt;
  if (!tag || record.TrackNumber != before.TrackNumber) fields.track = record.TrackNumber;
  const bool fromId3v1 = !tag && id3.ID3Present;
  const auto year = edits.year ? edits.year : fromId3v1 ? std::optional(id3.ID3Year) : std::nullopt;
  const auto comment = edits.comment ? edits.comment
                       : fromId3v1   ? std::optional(id3.ID3Comment)
                                     : std::nullopt;
  if (year) fields.year = year->trimmed().toInt();
  if (comment) fields.comment = comment->trimmed();
  return fields;
}

}  // namespace

int SongRowWriter::Write(int row) {
  const QString path = library_.SongText(row, SongLibrary::kFilenameColumn);
  SongRecord before;
  adder_.ReadSongInformation(path, before);
  SongRecord record = before;
  QString* fields[kEditableColumns] = {&record.Title,     &record.Album,     &record.Artist,
                                       &record.Genre,     &record.Tempo,     &record.Mood,
                                       &record.Situation, &record.Preference};
  for (int column = 0; column < kEditableColumns; ++column) {
    *fields[column] = library_.SongText(row, column);
  }
  record.Filename = path;
  return Store(path, before, record, {}, nullptr);
}

int SongRowWriter::WriteSong(const QString& path, SongRecord& record, const ID3Edits& edits,
                             const ArtPicture* art) {
  SongRecord before;
  adder_.ReadSongInformation(path, before);
  return Store(path, before, record, edits, art);
}

int SongRowWriter::Store(const QString& path, const SongRecord& before, SongRecord& record,
                         const ID3Edits& edits, const ArtPicture* art) {
  if (presence_.IsOnCdDrive(path)) return 0;
  if (!TrailerTag::TakesTrailer(path)) {
    const int tagged = WriteStandardTag(path, before, record, edits, art);
    const int kept = KeepInRow(path, record);
    return tagged != 0 ? tagged : kept;
  }
  // Read before the trailer's write moves the ID3v1 working copy on.
  const auto tag = platform::ReadStandardTags(path, false);
  const auto fields = EditedFields(tag, before, record, edits, id3_);
  int written = trailer_.WriteSongTrailer(path, record, false, edits);
  if (written == 0 && fields && *fields != Held(tag)) written = WriteId3v2Tag(path, *fields);
  return written == 0 && art != nullptr ? WriteTrailerArt(path, *art) : written;
}

int SongRowWriter::WriteArt(const QString& path, const ArtPicture& art) {
  if (presence_.IsOnCdDrive(path)) return 0;
  if (TrailerTag::TakesTrailer(path)) return WriteTrailerArt(path, art);
  SongRecord record;
  adder_.ReadSongInformation(path, record);
  return WriteStandardTag(path, record, record, {}, &art);
}

int SongRowWriter::WriteTrailerArt(const QString& path, const ArtPicture& art) {
  const ArtPicture stored = art.ForTrailer();
  return trailer_.PutArtIntoTrailer(path, stored.bytes, stored.type);
}

// Other players and phones read an MP3's ID3v2 tag, which lies in front of the audio: when
// it grows, the trailer's positions move with the audio in the copy that is written.
int SongRowWriter::WriteId3v2Tag(const QString& path, const platform::StandardTagFields& fields) {
  const bool written = platform::WriteId3v2Tag(
      path, fields, platform::Id3v1::Leave, [this](const QString& copy, qint64 grewBy) {
        return grewBy == 0 || trailer_.MoveTrailer(copy, grewBy);
      });
  return written ? 0
                 : NotStored(path,
                             u"The ID3v2 tag of this file, which other players read, could not "
                             u"be written: they still show the song as it was."_s);
}

// Only when something the tag holds changes: a rewrite of a large FLAC file is not free.
int SongRowWriter::WriteStandardTag(const QString& path, const SongRecord& before,
                                    const SongRecord& record, const ID3Edits& edits,
                                    const ArtPicture* art) {
  const auto tag = platform::ReadStandardTags(path, false);
  platform::StandardTagFields fields =
      EditedFields(tag, before, record, edits, id3_).value_or(Held(tag));
  int result = 0;
  const bool holds = platform::HoldsLyricsAndCover(path);
  if (holds) {
    fields.lyrics = record.Lyrics;
  } else if (!record.Lyrics.trimmed().isEmpty() || art != nullptr) {
    result = NotStored(path,
                       u"This kind of file has no place for lyrics or a picture: they "
                       u"were not stored."_s);
  }
  const bool withCover = holds && art != nullptr;
  if (fields == Held(tag) && !withCover) return result;
  const bool written = platform::WriteStandardTags(
      path, fields, withCover ? art->bytes : QByteArray(), withCover ? art->MimeType() : QString());
  return written ? result
                 : NotStored(path,
                             u"The tag of this file could not be written (it may be "
                             u"read-only): the changes to it were not stored."_s);
}

// The library row is the one place for the notes and biography of songs without a trailer.
int SongRowWriter::KeepInRow(const QString& path, const SongRecord& record) {
  const int row = library_.FindSongByFilename(path);
  if (row == 0) {
    if (record.Notes.trimmed().isEmpty() && record.Bios.trimmed().isEmpty()) return 0;
    return NotStored(path,
                     u"The notes and biography of this kind of file are kept in the "
                     u"library, which does not hold this song: they were not stored."_s);
  }
  SongRecord& stored = library_.SongRecords(row);
  if (stored.Notes != record.Notes || stored.Bios != record.Bios) {
    stored.Notes = record.Notes;
    stored.Bios = record.Bios;
    library_.SetSongDataModified(true);
  }
  return 0;
}

int SongRowWriter::NotStored(const QString& path, const QString& why) {
  if (gathering_) {
    gathered_[why].append(path);
  } else {
    prompter_.Tell(path + u'\n' + why, MessageIcon::Exclamation);
  }
  return kErrPermissionDenied;
}

void SongRowWriter::TellGathered() {
  QStringList texts;
  for (auto reason = gathered_.cbegin(); reason != gathered_.cend(); ++reason) {
    texts.append(reason.value().join(u'\n') + u'\n' + reason.key());
  }
  gathering_ = false;
  gathered_.clear();
  if (!texts.isEmpty()) prompter_.Tell(texts.join(u"\n\n"_s), MessageIcon::Exclamation);
}

}  // namespace audiolume
