#include "cli/TagCommands.h"

#include <QFile>
#include <QFileInfo>

#include "cli/TableField.h"
#include "library/ID3Tag.h"
#include "library/SongRecord.h"
#include "library/TrailerTag.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "platform/StandardTags.h"
#include "support/CommandLinePrompter.h"
#include "support/Runtime.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kDateFormat = u"yyyy-MM-dd hh:mm:ss"_s;

// The record's fields as text, by name, in layout order.
QStringList FieldTexts(const SongRecord& r) {
  QStringList texts{r.Title,
                    r.Album,
                    r.Artist,
                    r.Genre,
                    r.Tempo,
                    r.Mood,
                    r.Situation,
                    r.Preference,
                    r.TrackTime,
                    FromOleDate(r.LastPlayed).toString(kDateFormat),
                    QString::number(r.PlayFreq),
                    r.Filename,
                    r.SerialNumber,
                    QString::number(r.TrackNumber),
                    r.Notes,
                    r.Bios,
                    r.Lyrics,
                    r.ArtistURL,
                    r.BuyCDURL,
                    r.ArtistEmail};
  for (const QString& reserved : r.Reserved) texts.append(reserved);
  return texts;
}

}  // namespace

bool TagCommands::SetField(SongRecord& r, const QString& name, const QString& value) {
  const auto& names = SongRecord::FieldNames();
  const auto found = std::find(names.begin(), names.end(), name);
  if (found == names.end()) return false;
  const auto index = static_cast<int>(found - names.begin());
  bool ok = true;
  switch (index) {
    case 9: {
      const QDateTime date = QDateTime::fromString(value, kDateFormat);
      ok = date.isValid();
      if (ok) r.LastPlayed = ToOleDate(date);
      return ok;
    }
    case 10: r.PlayFreq = value.toInt(&ok); return ok;
    case 13: r.TrackNumber = value.toShort(&ok); return ok;
    default: break;
  }
  QString* texts[] = {&r.Title, &r.Album,     &r.Artist,       &r.Genre,     &r.Tempo,
                      &r.Mood,  &r.Situation, &r.Preference,   &r.TrackTime, nullptr,
                      nullptr,  &r.Filename,  &r.SerialNumber, nullptr,      &r.Notes,
                      &r.Bios,  &r.Lyrics,    &r.ArtistURL,    &r.BuyCDURL,  &r.ArtistEmail};
  QString* text = index < 20 ? texts[index] : &r.Reserved[index - 20];
  *text = TableField::Unescaped(value);
  return true;
}

TagCommands::TagCommands(TrailerTag& trailer, ID3Tag& id3, CommandLinePrompter& prompter,
                         std::FILE* out, std::FILE* err)
    : trailer_(trailer), id3_(id3), prompter_(prompter), out_(out), err_(err) {}

int TagCommands::Run(const QString& command, QStringList args) {
  if (command == u"show") return Show(args);
  if (command == u"write") return Write(args);
  if (command == u"art") return Art(args);
  if (command == u"extract-art") return ExtractArt(args);
  return Problem(u"unknown tags command '"_s + command + u"'"_s);
}

int TagCommands::Problem(const QString& text, int code) const {
  std::fprintf(err_, "twpl: %s\n", text.toUtf8().constData());
  return code;
}

void TagCommands::Print(const QString& name, const QString& value) const {
  std::fprintf(out_, "%s\t%s\n", name.toUtf8().constData(),
               TableField::Escaped(value).toUtf8().constData());
}

void TagCommands::PrintRecord(const SongRecord& record) const {
  const QStringList texts = FieldTexts(record);
  for (int i = 0; i < SongRecord::kFieldCount; ++i) Print(SongRecord::FieldNames()[i], texts[i]);
}

int TagCommands::Show(const QStringList& args) {
  if (args.size() != 1) return Problem(u"tags show needs FILE"_s);
  if (!QFileInfo(args[0]).isFile()) return Problem(u"no such file: "_s + args[0], 1);
  SongRecord record;
  QString artType;
  const QByteArray art = trailer_.ReadSongTagsWithArt(args[0], record, artType);
  const TrailerScan& scan = trailer_.LastScan();
  Print(u"Trailer"_s, scan.found ? u"yes"_s : u"no"_s);
  Print(u"TrailerVersion"_s, scan.version);
  PrintRecord(record);
  Print(u"ID3Present"_s, id3_.ID3Present ? u"yes"_s : u"no"_s);
  Print(u"ID3Title"_s, id3_.ID3Title.trimmed());
  Print(u"ID3Artist"_s, id3_.ID3Artist.trimmed());
  Print(u"ID3Album"_s, id3_.ID3Album.trimmed());
  Print(u"ID3Year"_s, id3_.ID3Year.trimmed());
  Print(u"ID3Comment"_s, id3_.ID3Comment.trimmed());
  Print(u"ID3Genre"_s, QString::number(id3_.ID3Genre));
  Print(u"ArtType"_s, artType);
  Print(u"ArtLength"_s, QString::number(art.size()));
  PrintStandardTags(args[0]);
  return 0;
}

void TagCommands::PrintStandardTags(const QString& path) const {
  const auto tags = platform::ReadStandardTags(path, true);
  const platform::StandardTagFields fields = tags ? tags->fields : platform::StandardTagFields();
  const auto number = [](int value) { return value > 0 ? QString::number(value) : QString(); };
  Print(u"StdTitle"_s, fields.title);
  Print(u"StdArtist"_s, fields.artist);
  Print(u"StdAlbum"_s, fields.album);
  Print(u"StdGenre"_s, fields.genre);
  Print(u"StdYear"_s, number(fields.year));
  Print(u"StdTrack"_s, number(fields.track));
  Print(u"StdPicture"_s, tags ? tags->pictureMime : QString());
}

int TagCommands::Write(QStringList args) {
  const bool keepTag = args.removeAll(u"--keep-id3"_s) > 0;
  const qsizetype answerAt = args.indexOf(u"--answer"_s);
  QString answer = u"tunewright"_s;
  if (answerAt >= 0) {
    if (answerAt + 1 >= args.size()) return Problem(u"--answer needs tunewright, id3 or cancel"_s);
    answer = args.takeAt(answerAt + 1);
    args.removeAt(answerAt);
  }
  const QMap<QString, QString> captions = {{u"tunewright"_s, u"Use Tunewright Tag"_s},
                                           {u"id3"_s, u"Use ID3 Tag"_s},
                                           {u"cancel"_s, u"Cancel"_s}};
  if (!captions.contains(answer)) return Problem(u"--answer needs tunewright, id3 or cancel"_s);
  if (args.isEmpty()) return Problem(u"tags write needs FILE NAME=VALUE..."_s);
  const QString file = args.takeFirst();

  SongRecord record;
  trailer_.ReadSongTags(file, record);
  if (record.Filename.isEmpty()) record.Filename = file;
  ID3Edits edits;
  for (const QString& assignment : args) {
    const qsizetype equals = assignment.indexOf(u'=');
    const QString name = assignment.left(equals);
    const QString value = assignment.mid(equals + 1);
    if (equals < 0) return Problem(u"not NAME=VALUE: "_s + assignment);
    if (name == u"ID3Year") {
      edits.year = value;
    } else if (name == u"ID3Comment") {
      edits.comment = value;
    } else if (!SetField(record, name, value)) {
      return Problem(u"unknown field or bad value: "_s + assignment);
    }
  }
  prompter_.SetPreferredCaptions({captions[answer]});
  return Written(file, trailer_.WriteSongTrailer(file, record, keepTag, edits));
}

int TagCommands::Art(const QStringList& args) {
  if (args.size() != 2) return Problem(u"tags art needs FILE PICTURE"_s);
  return Written(args[0], trailer_.PutArtIntoTrailer(args[0], args[1]));
}

int TagCommands::Written(const QString& file, int result) const {
  std::fprintf(out_, "%d\n", result);
  if (result != 0 && QFileInfo(file).isFile() && !TrailerTag::TakesTrailer(file)) {
    Problem(file + u": only MP3 files take the trailer tag; this file was left as it was"_s);
  }
  return result == 0 ? 0 : 1;
}

int TagCommands::ExtractArt(const QStringList& args) {
  if (args.size() != 2) return Problem(u"tags extract-art needs FILE OUT"_s);
  SongRecord record;
  QString artType;
  const QByteArray art = trailer_.ReadSongTagsWithArt(args[0], record, artType);
  if (art.isEmpty()) return 1;
  // Renamed over OUT when whole, so that a failed write leaves a picture there intact.
  try {
    platform::FileOps::ReplaceFileContents(args[1], art);
  } catch (const platform::FileError& error) {
    return Problem(QString::fromLocal8Bit(error.what()), 1);
  }
  return 0;
}

}  // namespace audiolume
