#include <QtEndian>

#include "fakes/SineFiles.h"
#include "fakes/TaggedFiles.h"
#include "library/RecordCodec.h"
#include "library/SongEntryReader.h"
#include "library/TagFixture.h"
#include "support/AppError.h"

namespace audiolume::test {
namespace {

QByteArray Int32(qint32 value) {
  QByteArray bytes(4, '\0');
  qToLittleEndian(value, bytes.data());
  return bytes;
}

QByteArray Footer(qint64 artType) {
  return Int32(qint32(artType)) + Int32(qint32(artType + 4)) + Int32(qint32(artType + 8)) +
         Int32(qint32(artType + 12)) + Int32(qint32(artType + 268)) +
         QByteArray("Velto Software Inc.").leftJustified(32, ' ') +
         QByteArray("3.12").leftJustified(16, ' ');
}

// A trailer without art, as this program writes it, for a record, starting at artType.
QByteArray HandMadeTrailer(const SongRecord& record, qint64 artType, qsizetype padTo) {
  QByteArray bytes = "    " + Int32(0) + Int32(0) + TrailerTag::NewHeader();
  QByteArray recordBytes;
  RecordCodec::AppendRecord(recordBytes, record);
  return bytes + recordBytes + QByteArray(padTo - recordBytes.size(), '-') + Footer(artType);
}

using TrailerTagTest = TagFixture;

TEST_F(TrailerTagTest, NewTrailerIsByteExactAndARewriteKeepsTheLength) {
  const QByteArray audio = Audio();
  const QByteArray oldTag = Id3(u"Title"_s, u"Artist"_s);
  const QString path = Song(audio + oldTag);
  SongRecord record = SampleRecord(u"x"_s);
  record.Title = u"Title"_s;
  record.Artist = u"Artist"_s;
  record.Album = u"Album"_s;
  record.Lyrics = u"words"_s;
  ASSERT_EQ(trailer_.WriteSongTrailer(path, record, false), 0);

  const QByteArray header = TrailerTag::NewHeader();
  EXPECT_EQ(header.left(30), QByteArray("18273645\0\0"
                                        "1.010000\0\0"
                                        "3.120000\0\0",
                                        30));
  EXPECT_EQ(header.mid(30), QByteArray(226, ' '));
  const qint64 artType = audio.size() + oldTag.size() + 1;
  QByteArray expected = audio + oldTag + HandMadeTrailer(record, artType, 8132);
  ID3Tag tag;
  tag.Parse(oldTag);
  expected += tag.Bytes();
  EXPECT_EQ(test::ReadAll(path), expected);

  record.Title = u"Title Two"_s;
  ASSERT_EQ(trailer_.WriteSongTrailer(path, record, false), 0);  // answers "Use Tunewright Tag"
  EXPECT_EQ(QFileInfo(path).size(), expected.size());
  EXPECT_TRUE(test::ReadAll(path).startsWith(audio + oldTag));
  SongRecord read;
  trailer_.ReadSongTags(path, read);
  EXPECT_EQ(read.Title, u"Title Two");
  EXPECT_EQ(read.Lyrics, u"words");
  EXPECT_EQ(id3_.ID3Title.trimmed(), u"Title Two");
}

// Batched trailers are written while new ones join the next batch; the end of the batch
// waits for all of them.
TEST_F(TrailerTagTest, BatchedTrailersAreAllWrittenWhenTheBatchEnds) {
  const QByteArray audio = Audio();
  QStringList paths;
  trailer_.BatchWrites(true);
  for (int i = 0; i < 6; ++i) {
    paths.append(Song(audio + Id3(u"Title %1"_s.arg(i), u"Artist"_s), u"song%1.mp3"_s.arg(i)));
    SongRecord record = SampleRecord(QString::number(i));
    ASSERT_EQ(trailer_.WriteSongTrailer(paths.last(), record, true), 0);
    EXPECT_EQ(QFileInfo(paths.last()).size(), audio.size() + 128);  // not yet
    if (i % 2 == 1) trailer_.CommitWrites();
  }
  trailer_.BatchWrites(false);
  for (int i = 0; i < 6; ++i) {
    SongRecord read;
    trailer_.ReadSongTags(paths[i], read);
    EXPECT_EQ(read.Title, u"Title "_s + QString::number(i));
    EXPECT_TRUE(trailer_.LastScan().found);
    EXPECT_FALSE(QFile::exists(paths[i] + u".audiolume-journal"_s));
  }
}

TEST_F(TrailerTagTest, BothFootersAndNegativePositionsAreFound) {
  const QByteArray audio = Audio();
  const QByteArray tag = Id3(u"T"_s, u"A"_s);
  SongRecord record = SampleRecord(u"y"_s);
  const qint64 artType = audio.size() + tag.size() + 1;
  // The trailer is the very end, its ID3 tag in front of it (an older writer's layout).
  const QString path = Song(audio + tag + HandMadeTrailer(record, artType, 8004));
  ASSERT_TRUE(Scan(path));
  EXPECT_EQ(trailer_.LastScan().footerOffset, -48);
  EXPECT_TRUE(trailer_.LastScan().ID3BeforeTrailer);
  EXPECT_EQ(trailer_.LastScan().record, record);

  // The tag conversion, and reading, put a copy of the tag at the end, so that it ends
  // the file again.
  const QByteArray before = test::ReadAll(path);
  EXPECT_TRUE(trailer_.ConvertID3Tag(path));
  EXPECT_EQ(test::ReadAll(path), before + tag);
  EXPECT_FALSE(trailer_.ConvertID3Tag(path));
  test::WriteAll(path, before);
  SongRecord read;
  trailer_.ReadSongTags(path, read);
  EXPECT_TRUE(test::ReadAll(path).endsWith(tag));
  ASSERT_TRUE(Scan(path));
  EXPECT_EQ(trailer_.LastScan().footerOffset, -176);
  EXPECT_FALSE(trailer_.LastScan().ID3BeforeTrailer);

  // Positions stored relative to the end of the file.
  QByteArray file = test::ReadAll(path);
  const qint64 length = file.size();
  const qint64 positionsAt = length - 196;
  for (int i = 0; i < 5; ++i) {
    const qint32 absolute = qFromLittleEndian<qint32>(file.constData() + positionsAt + 4 * i);
    const QByteArray relative = Int32(qint32(absolute - length));
    file.replace(positionsAt + 4 * i, 4, relative);
  }
  test::WriteAll(path, file);
  ASSERT_TRUE(Scan(path));
  EXPECT_EQ(trailer_.LastScan().positions.artType, artType);
  EXPECT_EQ(trailer_.LastScan().record, record);
}

TEST_F(TrailerTagTest, NestedTrailerIsCutBackToTheOlderOneAndABadHeaderRepaired) {
  const QByteArray audio = Audio();
  const QByteArray tag = Id3(u"T"_s, u"A"_s);
  const SongRecord older = SampleRecord(u"older"_s);
  QByteArray olderFile = audio + HandMadeTrailer(older, audio.size() + 1, 8132) + tag;
  const qint64 artType = olderFile.size() + 1;
  const QString path = Song(olderFile + HandMadeTrailer(SampleRecord(u"newer"_s), artType, 8004));
  ASSERT_TRUE(Scan(path));
  EXPECT_EQ(test::ReadAll(path), olderFile);
  EXPECT_EQ(trailer_.LastScan().record, older);

  olderFile.replace(audio.size() + 12, 8, "BROKEN!!");
  test::WriteAll(path, olderFile);
  ASSERT_TRUE(Scan(path));
  EXPECT_EQ(test::ReadAll(path).mid(audio.size() + 12, 8), "18273645");
}

TEST_F(TrailerTagTest, ShortFilesAreNeverTaggedAndLongRecordsShrinkCleanly) {
  const QString tiny = Song(Id3(u"T"_s, u"A"_s) + "1234567890", u"tiny.mp3"_s);
  EXPECT_FALSE(Scan(tiny));
  EXPECT_FALSE(id3_.ID3Present);

  const QByteArray audio = Audio();
  const QString path = Song(audio);
  SongRecord record = SampleRecord(u"z"_s);
  record.Lyrics = QString(20000, u'l');
  ASSERT_EQ(trailer_.WriteSongTrailer(path, record, false), 0);
  record.Lyrics = u"short"_s;
  ASSERT_EQ(trailer_.WriteSongTrailer(path, record, false), 0);
  const QByteArray bytes = test::ReadAll(path);
  EXPECT_TRUE(bytes.startsWith(audio));
  EXPECT_EQ(bytes.right(128).left(3), "TAG");
  EXPECT_EQ(bytes.size(), audio.size() + 12 + 256 + 8132 + 68 + 128);
  SongRecord read;
  trailer_.ReadSongTags(path, read);
  EXPECT_EQ(read.Lyrics, u"short");
}

TEST_F(TrailerTagTest, ArtRoundTripKeepsTheRecordAndRefusesOtherExtensions) {
  const QByteArray audio = Audio();
  const QString path = Song(audio + Id3(u"T"_s, u"A"_s));
  SongRecord record = SampleRecord(u"art"_s);
  record.Notes = u"keep these notes"_s;
  ASSERT_EQ(trailer_.WriteSongTrailer(path, record, false), 0);
  const QByteArray picture = Audio(777) + "JFIF";
  test::WriteAll(Path(u"cover.jpg"_s), picture);
  test::WriteAll(Path(u"cover.JPG"_s), picture);

  EXPECT_EQ(trailer_.PutArtIntoTrailer(path, Path(u"cover.JPG"_s)), 4);
  EXPECT_EQ(trailer_.PutArtIntoTrailer(Path(u"none.mp3"_s), Path(u"cover.jpg"_s)), 1);
  ASSERT_EQ(trailer_.PutArtIntoTrailer(path, Path(u"cover.jpg"_s)), 0);
  SongRecord read;
  QString type;
  EXPECT_EQ(trailer_.ReadSongTagsWithArt(path, read, type), picture);
  EXPECT_EQ(type, u"jpg");
  EXPECT_EQ(read.Notes, u"keep these notes");
  EXPECT_EQ(test::ReadAll(path).mid(trailer_.LastScan().positions.artType - 1, 4), "jpg ");

  // A later record write keeps the picture.
  read.Title = u"Retitled"_s;
  ASSERT_EQ(trailer_.WriteSongTrailer(path, read, false), 0);
  SongRecord again;
  EXPECT_EQ(trailer_.ReadSongTagsWithArt(path, again, type), picture);
  EXPECT_EQ(again.Title, u"Retitled");
  EXPECT_TRUE(test::ReadAll(path).startsWith(audio));
}

TEST_F(TrailerTagTest, ReadOnlyFileIsWrittenOnlyWhenTheUserAgrees) {
  const QByteArray original = Audio();
  const QString path = Song(original);
  QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
  SongRecord record = SampleRecord(u"ro"_s);
  prompter_.QueueAnswer(2);
  EXPECT_EQ(trailer_.WriteSongTrailer(path, record, false), kErrPermissionDenied);
  EXPECT_EQ(test::ReadAll(path), original);
  EXPECT_EQ(prompter_.ShownMessages().last().text,
            u"This file is marked Read-Only.\nWrite anyway?"_s);

  prompter_.QueueAnswer(1);
  EXPECT_EQ(trailer_.WriteSongTrailer(path, record, false), 0);
  EXPECT_TRUE(Scan(path));
  EXPECT_EQ(trailer_.WriteSongTrailer(Path(u"missing.mp3"_s), record, false), 1);
}

TEST_F(TrailerTagTest, SongInformationComesFromTrailerThenID3ThenLibrary) {
  const QString tagged = Song(Audio() + Id3(u"Tag Title"_s, u"Tag Artist"_s), u"id3.mp3"_s);
  SongRecord read;
  read.Title = u"ignored"_s;
  trailer_.ReadSongTags(tagged, read);
  EXPECT_EQ(read.Title, u"Tag Title");
  EXPECT_EQ(read.Genre, u"Rock");

  const QString bare = Song(Audio(), u"bare.mp3"_s);
  SongRecord known = SampleRecord(u"bare"_s);
  known.Filename = bare;
  library_.AddOrReplaceRecord(known);
  SongRecord fromLibrary;
  trailer_.ReadSongTags(bare, fromLibrary);
  EXPECT_EQ(fromLibrary, known);

  EXPECT_FALSE(trailer_.GetTrailerVersion(bare).has_value());
  ASSERT_EQ(trailer_.WriteSongTrailer(bare, known, false), 0);
  EXPECT_EQ(trailer_.GetTrailerVersion(bare), u"3.12"_s);
}

// Songs are named in the queue, in playlists and on the player by the first of: their
// library row, their trailer, their standard tag, their ID3v1 tag, their file name.
TEST_F(TrailerTagTest, SongEntriesGoByTheLibraryTheTrailerTheTagsThenTheName) {
  const SongEntryReader reader(library_, trailer_);
  const QString song = Path(u"song.mp3"_s);
  ASSERT_TRUE(WriteSineMp3(song, 0.3));
  EXPECT_EQ(reader.EntryOf(song), (PlayListEntry{song, u"song"_s, {}, {}}));
  WriteAll(song, ReadAll(song) + Id3(u"Id3 Title"_s, u"Id3 Artist"_s));
  EXPECT_EQ(reader.EntryOf(song), (PlayListEntry{song, u"Id3 Title"_s, u"Id3 Artist"_s, {}}));
  StandardTagValues values;
  values.title = u"Std Title"_s;
  values.artist = u"Std Artist"_s;
  ASSERT_TRUE(AddId3v2Frames(song, {{"TIT2", values.title}, {"TPE1", values.artist}}));
  EXPECT_EQ(reader.EntryOf(song), (PlayListEntry{song, u"Std Title"_s, u"Std Artist"_s, {}}));
  SongRecord record;
  record.Title = u"Trailer Title"_s;
  ASSERT_EQ(trailer_.WriteSongTrailer(song, record, true), 0);
  // The trailer's empty artist is filled from the ID3v1 tag, as every reader of it does.
  EXPECT_EQ(reader.EntryOf(song), (PlayListEntry{song, u"Trailer Title"_s, u"Id3 Artist"_s, {}}));
  library_.AddSongRow(u"Row Title"_s, {}, u"Row Artist"_s, u"0:01"_s, song);
  EXPECT_EQ(reader.EntryOf(song), (PlayListEntry{song, u"Row Title"_s, u"Row Artist"_s, {}}));
  const QString gone = Path(u"Gone Song.v2.mp3"_s);
  EXPECT_EQ(reader.EntryOf(gone), (PlayListEntry{gone, u"Gone Song.v2"_s, {}, {}}));

  // Reading never repairs: a nested trailer and a broken header stay as they are.
  const QByteArray audio = Audio();
  const QByteArray older = audio +
                           HandMadeTrailer(SampleRecord(u"older"_s), audio.size() + 1, 8132) +
                           Id3(u"T"_s, u"A"_s);
  QByteArray nested = older + HandMadeTrailer(SampleRecord(u"newer"_s), older.size() + 1, 8004);
  nested.replace(older.size() + 12, 8, "BROKEN!!");  // the newer trailer's header
  const QString damaged = Song(nested, u"damaged.mp3"_s);
  EXPECT_EQ(reader.EntryOf(damaged).title, u"Title newer");
  EXPECT_EQ(ReadAll(damaged), nested);
}

// Damaged files must never crash the reader, read outside the file or lose the audio.
TEST_F(TrailerTagTest, TruncatedAndCorruptedFilesAreReadSafely) {
  const QByteArray audio = Audio(1000);
  const QString path = Song(audio + Id3(u"T"_s, u"A"_s));
  SongRecord record = SampleRecord(u"fuzz"_s);
  ASSERT_EQ(trailer_.WriteSongTrailer(path, record, false), 0);
  test::WriteAll(Path(u"p.bmp"_s), Audio(300));
  ASSERT_EQ(trailer_.PutArtIntoTrailer(path, Path(u"p.bmp"_s)), 0);
  const QByteArray tagged = test::ReadAll(path);

  for (qsizetype cut = audio.size(); cut < tagged.size(); cut += 37) {
    test::WriteAll(path, tagged.left(cut));
    SongRecord read;
    trailer_.ReadSongTags(path, read);
    EXPECT_TRUE(test::ReadAll(path).startsWith(audio)) << cut;
  }
  for (qsizetype at = audio.size(); at < tagged.size(); at += 13) {
    QByteArray damaged = tagged;
    damaged[at] = static_cast<char>(damaged[at] ^ 0xA5);
    test::WriteAll(path, damaged);
    SongRecord read;
    QString type;
    trailer_.ReadSongTagsWithArt(path, read, type);
    EXPECT_TRUE(test::ReadAll(path).startsWith(audio)) << at;
  }
}

}  // namespace
}  // namespace audiolume::test
