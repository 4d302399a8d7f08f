#include <QDir>
#include <cstdio>

#include "catalog/SongAdder.h"
#include "fakes/FfmpegSongs.h"
#include "fakes/SineFiles.h"
#include "fakes/TaggedFiles.h"
#include "library/ID3Tag.h"
#include "library/SongFilePresence.h"
#include "library/TagFixture.h"
#include "platform/StandardTags.h"

namespace audiolume::test {
namespace {

class SongAdderTest : public TagFixture {
 protected:
  QStringList AddedPaths(const QList<SongAdder::Added>& added) {
    QStringList paths;
    for (const auto& song : added) paths.append(song.path);
    return paths;
  }

  QList<platform::CdMount> cdMounts_;
  SongFilePresence presence_{[this] { return cdMounts_; }, catalog_, prompter_};
  SongAdder adder_{library_, trailer_, presence_, catalog_, prompter_, check_, dir_.path()};
};

TEST_F(SongAdderTest, InformationComesFromTagsOrTheNameAndTrailersAreWritten) {
  ASSERT_TRUE(WriteSineMp3(Path(u"Track.01.mp3"_s), 1.0));
  const QByteArray untagged = ReadAll(Path(u"Track.01.mp3"_s));
  WriteAll(Path(u"tagged.mp3"_s), untagged + Id3(u"Tag Title"_s, u"Tag Artist"_s));
  const auto added = adder_.AddSongs({Path(u"Track.01.mp3"_s), Path(u"tagged.mp3"_s)});
  EXPECT_EQ(AddedPaths(added), (QStringList{Path(u"Track.01.mp3"_s), Path(u"tagged.mp3"_s)}));
  EXPECT_EQ(library_.SongText(1, 0), u"Track");
  EXPECT_EQ(library_.SongText(1, 8), u"0:01");
  EXPECT_EQ(library_.SongText(2, 0), u"Tag Title");
  EXPECT_EQ(library_.SongText(2, 3), u"Rock");
  EXPECT_TRUE(QFile::exists(library_.DatabasePath()));  // saved once at the end
  EXPECT_TRUE(ReadAll(Path(u"Track.01.mp3"_s)).startsWith(untagged));
  EXPECT_TRUE(trailer_.GetTrailerVersion(Path(u"Track.01.mp3"_s)).has_value());
}

TEST_F(SongAdderTest, ReplaceAnswersHoldForTheRun) {
  ASSERT_TRUE(WriteSineMp3(Path(u"a.mp3"_s), 0.3));
  ASSERT_TRUE(WriteSineMp3(Path(u"b.mp3"_s), 0.3));
  adder_.AddSongs({Path(u"a.mp3"_s), Path(u"b.mp3"_s)});
  prompter_.ClearRecord();

  prompter_.QueueAnswer(4);  // No to All
  EXPECT_TRUE(adder_.AddSongs({Path(u"a.mp3"_s), Path(u"b.mp3"_s)}).isEmpty());
  EXPECT_EQ(prompter_.ShownMessages().size(), 1);
  EXPECT_EQ(prompter_.ShownMessages()[0].text,
            u"The database already has the song file:\n"_s + Path(u"a.mp3"_s) +
                u"\nDo you want to replace the existing record?"_s);

  prompter_.ClearRecord();
  prompter_.QueueAnswer(2);  // Yes to All
  EXPECT_EQ(adder_.AddSongs({Path(u"a.mp3"_s), Path(u"b.mp3"_s)}).size(), 2);
  EXPECT_EQ(prompter_.ShownMessages().size(), 1);
  EXPECT_EQ(library_.SongCount(), 2);

  adder_.SetAnswers(false, true);
  EXPECT_TRUE(adder_.AddSongs({Path(u"a.mp3"_s)}).isEmpty());
}

TEST_F(SongAdderTest, FilesOnACdDriveGetNoTrailerAndMissingOnesAreSkipped) {
  // The temporary folder stands for the disc in drive E:.
  QDir(dir_.path()).mkdir(u"cdrom"_s);
  cdMounts_ = {{u"E:"_s, Path(u"cdrom"_s)}};
  ASSERT_TRUE(WriteSineMp3(Path(u"cdrom/cd.mp3"_s), 0.3));
  const QByteArray before = ReadAll(Path(u"cdrom/cd.mp3"_s));
  EXPECT_EQ(adder_.AddSongs({Path(u"cdrom/cd.mp3"_s)}).size(), 1);
  EXPECT_EQ(ReadAll(Path(u"cdrom/cd.mp3"_s)), before);

  prompter_.QueueAnswer(2);  // Skip this one
  prompter_.QueueAnswer(3);  // Don't ask again
  EXPECT_TRUE(
      adder_.AddSongs({Path(u"cdrom/gone.mp3"_s), Path(u"gone.mp3"_s), Path(u"gone2.mp3"_s)})
          .isEmpty());
  ASSERT_EQ(prompter_.ShownMessages().size(), 2);
  EXPECT_TRUE(prompter_.ShownMessages()[0].text.startsWith(u"E:Please insert the CD"_s));
  EXPECT_EQ(prompter_.ShownMessages().last().buttons, u"Retry|Skip this one song|Don't ask again");

  // Reading a missing song's tags (a playlist entry, the track information) makes no file.
  SongRecord record;
  EXPECT_FALSE(adder_.ReadSongInformation(Path(u"gone.mp3"_s), record));
  EXPECT_FALSE(QFile::exists(Path(u"gone.mp3"_s)));
}

TEST_F(SongAdderTest, ANameInAnOldEncodingIsSaidToBeUnreadable) {
  // "café.mp3" in Latin-1, as an old collection has it, reaches the program (a command
  // line, a drop) with a replacement character where its "é" was.
  const QByteArray latin1 = QFile::encodeName(dir_.path()) + "/caf\xe9.mp3";
  ASSERT_TRUE(WriteSineMp3(Path(u"placeholder.mp3"_s), 0.3));
  ASSERT_EQ(
      std::rename(QFile::encodeName(Path(u"placeholder.mp3"_s)).constData(), latin1.constData()),
      0);
  EXPECT_TRUE(adder_.AddSongs({QFile::decodeName(latin1)}).isEmpty());
  std::remove(latin1.constData());
  ASSERT_EQ(prompter_.ShownMessages().size(), 1);
  EXPECT_TRUE(prompter_.ShownMessages()[0].text.contains(u"cannot be opened"_s));
  EXPECT_EQ(prompter_.ShownMessages()[0].buttons, u"Skip this one song|Don't ask again");
}

TEST_F(SongAdderTest, WavFilesAreConvertedAndTheLibraryHoldsTheMp3) {
  const QString longName = QString(46, u'x') + u".wav"_s;  // 50 characters
  ASSERT_TRUE(WriteSineWav(Path(longName), 2.0));
  const qint64 bytes = QFileInfo(Path(longName)).size();
  const auto added = adder_.AddSongs({Path(longName)});
  ASSERT_EQ(added.size(), 1);
  const QString mp3 = Path(QString(40, u'x') + u".mp3"_s);
  EXPECT_EQ(added[0].path, mp3);
  EXPECT_TRUE(QFile::exists(Path(QString(40, u'x') + u".wav"_s)));
  EXPECT_EQ(library_.SongText(1, 11), mp3);
  EXPECT_EQ(library_.SongText(1, 0), QString(40, u'x'));
  const int seconds = int(std::nearbyint(double(bytes) / 176400));
  EXPECT_EQ(library_.SongText(1, 8), u"0:0"_s + QString::number(seconds));
  EXPECT_TRUE(trailer_.GetTrailerVersion(mp3).has_value());
}

TEST_F(SongAdderTest, AnExistingMp3BesideAWavFileIsReplacedOnlyWhenTheAnswerSaysSo) {
  ASSERT_TRUE(WriteSineWav(Path(u"song.wav"_s), 0.5));
  ASSERT_TRUE(WriteSineMp3(Path(u"song.mp3"_s), 1.0));
  WriteAll(Path(u"song.mp3"_s), ReadAll(Path(u"song.mp3"_s)) + Id3(u"Mine"_s, u"Me"_s));
  const QByteArray mine = ReadAll(Path(u"song.mp3"_s));
  prompter_.QueueAnswer(3);  // No
  EXPECT_TRUE(adder_.AddSongs({Path(u"song.wav"_s)}).isEmpty());
  EXPECT_EQ(ReadAll(Path(u"song.mp3"_s)), mine);
  EXPECT_EQ(prompter_.ShownMessages().last().buttons, u"&Yes|Yes to All|&No|No to All");
  EXPECT_TRUE(prompter_.ShownMessages().last().text.contains(Path(u"song.mp3"_s)));

  // A ".wav" in a folder's name makes no WAV file of an MP3.
  QDir(dir_.path()).mkdir(u"old.wav.rips"_s);
  const QString inFolder = Path(u"old.wav.rips/track.mp3"_s);
  ASSERT_TRUE(WriteSineMp3(inFolder, 0.5));
  const auto added = adder_.AddSongs({inFolder});
  ASSERT_EQ(added.size(), 1);
  EXPECT_EQ(added[0].path, inFolder);
  EXPECT_EQ(library_.SongText(added[0].row, 0), u"track");

  prompter_.QueueAnswer(1);  // Yes: the conversion takes the MP3's place
  ASSERT_EQ(adder_.AddSongs({Path(u"song.wav"_s)}).size(), 1);
  EXPECT_NE(ReadAll(Path(u"song.mp3"_s)), mine);
}

TEST_F(SongAdderTest, FilesNoDecoderOpensAreRefusedAndOtherFormatsAreNotWrittenInto) {
  WriteAll(Path(u"empty.mp3"_s), "");
  QByteArray noise(20000, '\0');
  for (int i = 0; i < noise.size(); ++i) noise[i] = char((i * 7919) % 251);
  WriteAll(Path(u"noise.mp3"_s), noise);
  EXPECT_TRUE(adder_.AddSongs({Path(u"empty.mp3"_s), Path(u"noise.mp3"_s)}).isEmpty());
  EXPECT_EQ(ReadAll(Path(u"empty.mp3"_s)), "");
  EXPECT_EQ(ReadAll(Path(u"noise.mp3"_s)), noise);
  ASSERT_EQ(prompter_.ShownMessages().size(), 2);
  EXPECT_EQ(prompter_.ShownMessages()[0].text,
            Path(u"empty.mp3"_s) +
                u"\nThis file cannot be played: it is damaged or not a song "
                u"file, so it was not added."_s);

  ASSERT_TRUE(WriteSineFlac(Path(u"song.flac"_s), 2.0));
  ASSERT_TRUE(WriteSineOgg(Path(u"song.ogg"_s), 3.0));
  const QByteArray flac = ReadAll(Path(u"song.flac"_s));
  const QByteArray ogg = ReadAll(Path(u"song.ogg"_s));
  EXPECT_EQ(adder_.AddSongs({Path(u"song.flac"_s), Path(u"song.ogg"_s)}).size(), 2);
  EXPECT_EQ(ReadAll(Path(u"song.flac"_s)), flac);
  EXPECT_EQ(ReadAll(Path(u"song.ogg"_s)), ogg);
  EXPECT_EQ(library_.SongText(1, 8), u"0:02");
  EXPECT_EQ(library_.SongText(2, 8), u"0:03");
}

// Without a LAME or Info header the decoder guesses the length from the file's size, and a
// large cover picture makes that guess seconds too long: such a file is measured.
TEST_F(SongAdderTest, APlayTimeIsMeasuredWhereTheStreamDoesNotTellIt) {
  ASSERT_TRUE(WriteSineMp3(Path(u"cover.mp3"_s), 1.0));
  StandardTagValues values;
  values.title = u"With Cover"_s;
  values.picture = QByteArray(100000, '\x55').prepend(SmallPng());
  values.pictureMime = u"image/png"_s;
  ASSERT_TRUE(WriteStandardTag(Path(u"cover.mp3"_s), values, 3));
  ASSERT_EQ(adder_.AddSongs({Path(u"cover.mp3"_s)}).size(), 1);
  EXPECT_EQ(library_.SongText(1, 0), u"With Cover");
  EXPECT_EQ(library_.SongText(1, 8), u"0:01");
}

TEST_F(SongAdderTest, StandardTagsComeAfterTheTrailerAndBeforeTheId3v1Tag) {
  // ID3v2 (no album) with an ID3v1 tag behind: the ID3v2 fields win, the ID3v1 tag fills
  // what the ID3v2 tag lacks.
  // Long enough that its ID3v2 tag lies before the last bytes the trailer scan reads.
  ASSERT_TRUE(WriteSineMp3(Path(u"both.mp3"_s), 5.0));
  StandardTagValues values;
  values.title = u"Modern Title"_s;
  values.artist = u"Modern Artist"_s;
  values.genre = u"Shoegaze"_s;
  values.track = 4;
  ASSERT_TRUE(WriteStandardTag(Path(u"both.mp3"_s), values, 3));
  WriteAll(Path(u"both.mp3"_s), ReadAll(Path(u"both.mp3"_s)) + Id3(u"Old"_s, u"Old Artist"_s));
  SongRecord record;
  EXPECT_TRUE(adder_.ReadSongInformation(Path(u"both.mp3"_s), record));
  EXPECT_EQ(record.Title, u"Modern Title");
  EXPECT_EQ(record.Artist, u"Modern Artist");
  EXPECT_EQ(record.Album, u"Album");
  EXPECT_EQ(record.Genre, u"Shoegaze");
  EXPECT_EQ(record.TrackNumber, 4);

  // Once added, the trailer is the song's store and comes first.
  ASSERT_EQ(adder_.AddSongs({Path(u"both.mp3"_s)}).size(), 1);
  library_.SongText(1, 0) = u"Edited Title"_s;
  record.Title = u"Edited Title"_s;
  ASSERT_EQ(trailer_.WriteSongTrailer(Path(u"both.mp3"_s), record, false), 0);
  SongRecord again;
  EXPECT_FALSE(adder_.ReadSongInformation(Path(u"both.mp3"_s), again));
  EXPECT_EQ(again.Title, u"Edited Title");
  EXPECT_TRUE(platform::ReadStandardTags(Path(u"both.mp3"_s), false).has_value());

  // FLAC and Opus files: their Vorbis comments, their own play time, no byte changed.
  ASSERT_TRUE(WriteSineFlac(Path(u"song.flac"_s), 2.0));
  ASSERT_TRUE(WriteSineOpus(Path(u"song.opus"_s), 3.0));
  values.picture = SmallPng();
  values.pictureMime = u"image/png"_s;
  for (const QString& name : {u"song.flac"_s, u"song.opus"_s}) {
    values.title = u"Title of "_s + name;
    ASSERT_TRUE(WriteStandardTag(Path(name), values));
  }
  const QByteArray flac = ReadAll(Path(u"song.flac"_s));
  const QByteArray opus = ReadAll(Path(u"song.opus"_s));
  ASSERT_EQ(adder_.AddSongs({Path(u"song.flac"_s), Path(u"song.opus"_s)}).size(), 2);
  EXPECT_TRUE(ReadAll(Path(u"song.flac"_s)) == flac);
  EXPECT_TRUE(ReadAll(Path(u"song.opus"_s)) == opus);
  EXPECT_EQ(library_.SongText(2, 0), u"Title of song.flac");
  EXPECT_EQ(library_.SongText(2, 2), u"Modern Artist");
  EXPECT_EQ(library_.SongText(2, 8), u"0:02");
  EXPECT_EQ(library_.SongText(3, 0), u"Title of song.opus");
  EXPECT_EQ(library_.SongText(3, 8), u"0:03");

  // The previews show the standard tag's picture where there is no trailer picture.
  SongRecord shown;
  QString type;
  EXPECT_TRUE(trailer_.ReadSongTagsWithArt(Path(u"song.flac"_s), shown, type) == SmallPng());
  EXPECT_EQ(type, u"png");
  EXPECT_EQ(shown.Title, u"Title of song.flac");
  EXPECT_TRUE(trailer_.ReadSongTagsWithArt(Path(u"both.mp3"_s), shown, type).isEmpty());
  EXPECT_EQ(shown.Title, u"Edited Title");

  // A trailer is never written into them, even when asked.
  EXPECT_NE(trailer_.WriteSongTrailer(Path(u"song.flac"_s), shown, false), 0);
  EXPECT_TRUE(ReadAll(Path(u"song.flac"_s)) == flac);
}

// M4A (AAC and ALAC) and WavPack songs, named as an MP3 or a WAV too: their own tags, the
// play time their decoder measures, never a byte written into them and no conversion.
TEST_F(SongAdderTest, SongsOfTheFormatsFfmpegPlaysJoinWithTheirTagsAndPlayTimes) {
  const std::vector<qint16> tone = TwoToneStereo(44100 * 3 + 4321);
  const struct {
    QString name;
    const char* encoder;
    const char* muxer;
  } songs[] = {{u"phone.m4a"_s, "aac", "ipod"},
               {u"store.m4a"_s, "alac", "ipod"},
               {u"pack.wv"_s, "wavpack", "wv"},
               {u"misnamed.mp3"_s, "aac", "ipod"},
               {u"misnamed.wav"_s, "wavpack", "wv"}};
  QStringList paths;
  QList<QByteArray> bytes;
  for (const auto& song : songs) {
    paths.append(Path(song.name));
    ASSERT_TRUE(WriteFfmpegSong(paths.last(), tone, song.encoder, song.muxer,
                                u"Title of "_s + song.name, u"Artist \u00e9"_s));
    bytes.append(ReadAll(paths.last()));
  }
  EXPECT_EQ(AddedPaths(adder_.AddSongs(paths)), paths);
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
  for (int row = 1; row <= 5; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(library_.SongText(row, 0), u"Title of "_s + songs[row - 1].name);
    EXPECT_EQ(library_.SongText(row, 2), u"Artist \u00e9");
    EXPECT_EQ(library_.SongText(row, 8), u"0:03");
    EXPECT_TRUE(ReadAll(paths[row - 1]) == bytes[row - 1]);
  }
  SongRecord record;
  EXPECT_NE(trailer_.WriteSongTrailer(Path(u"misnamed.mp3"_s), record, false), 0);
  EXPECT_TRUE(ReadAll(Path(u"misnamed.mp3"_s)) == bytes[3]);
}

// MP3, FLAC, Ogg and Opus songs in sub-folders beside pictures, texts and a file that only
// looks like a song by its name; a link back up the tree and one to a folder seen already.
// Folders are read on two threads, as the adding window and twpl read them.
class SongFolderTest : public SongAdderTest {
 protected:
  void SetUp() override {
    SongAdderTest::SetUp();
    adder_.SetSecondReader(otherTrailer_);
    for (const QString& folder : {u"tree/A/B"_s, u"tree/C"_s}) QDir(dir_.path()).mkpath(folder);
    ASSERT_TRUE(WriteSineMp3(Path(u"tree/A/one? yes: one.mp3"_s), 0.3));
    ASSERT_TRUE(WriteSineFlac(Path(u"tree/A/B/two.flac"_s), 0.3));
    ASSERT_TRUE(WriteSineOgg(Path(u"tree/C/three.ogg"_s), 0.3));
    ASSERT_TRUE(WriteSineOpus(Path(u"tree/C/four.opus"_s), 0.3));
    ASSERT_TRUE(WriteSineMp3(Path(u"tree/C/Song.mp3"_s), 0.3));
    ASSERT_TRUE(WriteSineMp3(Path(u"tree/C/song.mp3"_s), 0.3));
    WriteAll(Path(u"tree/A/cover.jpg"_s), "picture");
    WriteAll(Path(u"tree/C/notes.txt"_s), "notes");
    WriteAll(Path(u"tree/C/fake.mp3"_s), QByteArray(4000, 'x'));
    ASSERT_TRUE(QFile::link(Path(u"tree"_s), Path(u"tree/C/loop"_s)));
    ASSERT_TRUE(QFile::link(Path(u"tree/A"_s), Path(u"tree/D"_s)));
  }

  ID3Tag otherId3_;
  ID3Sync otherSync_{otherId3_, genres_, catalog_, prompter_};
  TrailerTag otherTrailer_{otherId3_, otherSync_, library_, catalog_, prompter_, log_};
};

TEST_F(SongFolderTest, AFolderTreeAddsEachSongOnceCountsOtherFilesAndSavesAtTheEnd) {
  bool savedEarly = false;
  const auto report = adder_.AddPaths({Path(u"tree"_s)}, true, [&](const auto&) {
    savedEarly = savedEarly || QFile::exists(library_.DatabasePath());
  });
  EXPECT_EQ(AddedPaths(report.added),
            (QStringList{Path(u"tree/A/one? yes: one.mp3"_s), Path(u"tree/A/B/two.flac"_s),
                         Path(u"tree/C/four.opus"_s), Path(u"tree/C/song.mp3"_s),
                         Path(u"tree/C/Song.mp3"_s), Path(u"tree/C/three.ogg"_s)}));
  EXPECT_EQ(report.otherFiles, 3);
  EXPECT_EQ(report.Summary(), u"6 songs added, 3 other files skipped");
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());  // skipped without a word
  EXPECT_FALSE(adder_.Failed());
  EXPECT_FALSE(savedEarly);
  EXPECT_TRUE(QFile::exists(library_.DatabasePath()));
  EXPECT_EQ(library_.SongCount(), 6);

  // Again: the question about songs in the library comes once, answered for all.
  prompter_.QueueAnswer(4);  // No to All
  EXPECT_TRUE(adder_.AddPaths({Path(u"tree"_s)}, true).added.isEmpty());
  EXPECT_EQ(prompter_.ShownMessages().size(), 1);

  // Without sub-folders only the folder's own files.
  SongLibrary fresh{dir_.path(), error_, check_};
  SongAdder plain{fresh, trailer_, presence_, catalog_, prompter_, check_, dir_.path()};
  const auto top = plain.AddPaths({Path(u"tree/A"_s)}, false);
  EXPECT_EQ(AddedPaths(top.added), QStringList{Path(u"tree/A/one? yes: one.mp3"_s)});
  EXPECT_EQ(top.Summary(), u"1 song added, 1 other file skipped");
}

// Read on two threads, each song keeps its own tags: in its row and in the ID3 tag behind
// its new trailer.
TEST_F(SongAdderTest, ASecondReaderGivesEachSongItsOwnTags) {
  ID3Tag otherId3;
  ID3Sync otherSync{otherId3, genres_, catalog_, prompter_};
  TrailerTag other{otherId3, otherSync, library_, catalog_, prompter_, log_};
  adder_.SetSecondReader(other);
  const auto Genre = [](int song) { return quint8(song % 2 == 0 ? 17 : 13); };  // Rock, Pop
  ASSERT_TRUE(WriteSineMp3(Path(u"seed.mp3"_s), 0.3));
  const QByteArray audio = ReadAll(Path(u"seed.mp3"_s));
  QStringList files;
  for (int i = 0; i < 7; ++i) {
    files.append(Path(u"song %1.mp3"_s.arg(i)));
    WriteAll(files.last(), audio + Id3(u"Title %1"_s.arg(i), u"Artist %1"_s.arg(i), Genre(i)));
  }
  ASSERT_TRUE(WriteSineFlac(Path(u"song.flac"_s), 0.3));
  files.insert(3, Path(u"song.flac"_s));
  WriteAll(Path(u"fake.mp3"_s), QByteArray(4000, 'x'));
  files.insert(5, Path(u"fake.mp3"_s));
  QList<FolderWalk::Found> list;
  for (const QString& file : files) list.append({file, true});

  const SongAdder::Report report = adder_.AddFound(list, 0);
  files.removeAt(5);
  EXPECT_EQ(AddedPaths(report.added), files);
  EXPECT_EQ(report.otherFiles, 1);
  for (int row = 1; row <= library_.SongCount(); ++row) {
    const QString& path = library_.SongText(row, SongLibrary::kFilenameColumn);
    if (path.endsWith(u".flac"_s)) continue;
    const QString number = path.section(u' ', -1).section(u'.', 0, 0);
    EXPECT_EQ(library_.SongText(row, 0), u"Title "_s + number);
    EXPECT_EQ(library_.SongText(row, 2), u"Artist "_s + number);
    EXPECT_TRUE(ReadAll(path).endsWith(
        Id3(u"Title "_s + number, u"Artist "_s + number, Genre(number.toInt()))))
        << path.toStdString();
  }
}

TEST_F(SongFolderTest, ACancelledRunKeepsWhatWasAddedAndSavesIt) {
  std::atomic_bool cancel = false;
  adder_.SetCancel(&cancel);
  const auto report = adder_.AddPaths({Path(u"tree"_s)}, true, [&](const auto& progress) {
    if (progress.done == 2) cancel = true;
  });
  EXPECT_EQ(report.added.size(), 2);
  SongLibrary saved{dir_.path(), error_, check_};
  saved.LoadSongData();
  EXPECT_EQ(saved.SongCount(), 2);
}

// A named file that is no song is refused aloud; a folder that does not exist is a file
// that does not exist.
TEST_F(SongFolderTest, NamedFilesAreStillRefusedAloud) {
  const auto report = adder_.AddPaths({Path(u"tree/C/fake.mp3"_s)}, true);
  EXPECT_TRUE(report.added.isEmpty());
  EXPECT_TRUE(adder_.Failed());
  ASSERT_EQ(prompter_.ShownMessages().size(), 1);
  EXPECT_TRUE(prompter_.ShownMessages()[0].text.contains(u"cannot be played"_s));
}

// Tags made by other programs: ID3v2 in full, ID3v1 in what its bytes hold.
class Id3QuestionTest : public SongAdderTest {
 protected:
  QString TaggedMp3(const QString& name, const QString& title, const QString& v1Title) {
    const QString path = Path(name);
    EXPECT_TRUE(WriteSineMp3(path, 0.3));
    StandardTagValues values;
    values.title = title;
    values.artist = u"Artist"_s;
    EXPECT_TRUE(WriteStandardTag(path, values, 3));
    WriteAll(path, ReadAll(path) + Id3(v1Title, u"Artist"_s));
    return path;
  }
  /** The ID3v1 title at the file's end. */
  QString Id3v1Title(const QString& path) {
    ID3Tag tag;
    EXPECT_TRUE(tag.Parse(ReadAll(path).right(ID3Tag::kSize)));
    return tag.ID3Title.trimmed();
  }
  /** Gives the file's ID3v1 tag another title, as another program might. */
  void RetitleId3v1(const QString& path, const QString& title) {
    const QByteArray bytes = ReadAll(path);
    WriteAll(path, bytes.left(bytes.size() - ID3Tag::kSize) + Id3(title, u"Artist"_s));
  }
};

TEST_F(Id3QuestionTest, ASongWithoutTrailerTakesItsTagsWithoutAQuestion) {
  const QString path = TaggedMp3(u"russian.mp3"_s, u"Привет мир"_s, u"?????"_s);
  ASSERT_EQ(adder_.AddSongs({path}).size(), 1);
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
  EXPECT_EQ(library_.SongText(1, 0), u"Привет мир");
  SongRecord record;
  trailer_.ReadSongTags(path, record);
  EXPECT_EQ(record.Title, u"Привет мир");
  // The ID3v1 tag was written from the record, as far as its bytes can hold it.
  EXPECT_EQ(Id3v1Title(path), ID3Tag::Fixed(u"Привет мир"_s, ID3Tag::kTextWidth).trimmed());
}

TEST_F(Id3QuestionTest, ATrailerThatDisagreesIsAskedAboutOnceForAll) {
  QStringList paths;
  for (const QString& name : {u"a.mp3"_s, u"b.mp3"_s, u"c.mp3"_s}) {
    paths.append(TaggedMp3(name, u"Title "_s + name, u"Title "_s + name));
  }
  ASSERT_EQ(adder_.AddSongs(paths).size(), 3);
  ASSERT_TRUE(prompter_.ShownMessages().isEmpty());
  for (const QString& path : paths) RetitleId3v1(path, u"Other"_s);

  adder_.SetAnswers(true, false);  // the records are replaced without asking
  prompter_.QueueAnswer(4);        // Use ID3 Tags for All
  ASSERT_EQ(adder_.AddSongs(paths).size(), 3);
  ASSERT_EQ(prompter_.ShownMessages().size(), 1);
  const auto& question = prompter_.ShownMessages()[0];
  EXPECT_EQ(question.text, u"The Tunewright and ID3 tag are different\nTunewright Tag:\n"_s +
                               QString(10, u' ') + u"Title a.mp3\n\nID3 Tag:\n"_s +
                               QString(10, u' ') + u"Other"_s);
  EXPECT_EQ(question.buttons,
            u"Use \"Title a.mp3\"|Use \"Other\"|Use Tunewright Tags for All|"
            u"Use ID3 Tags for All|Leave Both"_s);
  for (int row = 1; row <= 3; ++row) EXPECT_EQ(library_.SongText(row, 0), u"Other");
  SongRecord record;
  trailer_.ReadSongTags(paths[2], record);
  EXPECT_EQ(record.Title, u"Other");

  // Agreeing again: no question.
  prompter_.ClearRecord();
  ASSERT_EQ(adder_.AddSongs(paths).size(), 3);
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());

  // One answer for one file: the next one is asked about again.
  RetitleId3v1(paths[0], u"Third"_s);
  RetitleId3v1(paths[1], u"Fourth"_s);
  prompter_.QueueAnswer(1);  // Use "Other": the trailer's
  prompter_.QueueAnswer(5);  // Leave Both
  ASSERT_EQ(adder_.AddSongs(paths).size(), 3);
  EXPECT_EQ(prompter_.ShownMessages().size(), 2);
  EXPECT_EQ(Id3v1Title(paths[0]), u"Other");
  EXPECT_EQ(Id3v1Title(paths[1]), u"Fourth");
}

}  // namespace
}  // namespace audiolume::test
