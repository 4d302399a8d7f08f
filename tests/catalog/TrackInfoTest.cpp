#include "catalog/TrackInfo.h"

#include <sndfile.h>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <memory>

#include "catalog/CategoryLists.h"
#include "catalog/Edit_pic.h"
#include "catalog/GetSongInfoFromUser.h"
#include "catalog/Lyrics.h"
#include "catalog/SongAdder.h"
#include "catalog/SongRowWriter.h"
#include "catalog/SongTexts.h"
#include "fakes/SineFiles.h"
#include "fakes/TaggedFiles.h"
#include "library/DatabaseCommands.h"
#include "library/SongFilePresence.h"
#include "library/TagFixture.h"
#include "platform/StandardTags.h"
#include "support/IniSettings.h"

namespace audiolume::test {
namespace {

class TrackInfoTest : public TagFixture {
 protected:
  void SetUp() override {
    TagFixture::SetUp();
    library_.LoadSongData();
  }

  // An MP3 song in the library with a trailer holding this album, serial and year.
  QString AddSong(const QString& name, const QString& album, const QString& serial,
                  const QString& year = u"1990"_s) {
    const QString path = Path(name + u".mp3"_s);
    EXPECT_TRUE(WriteSineMp3(path, 0.3));
    SongRecord record;
    record.Title = name;
    record.Album = album;
    record.Artist = u"Artist of "_s + name;
    record.Mood = u"Calm"_s;
    record.Genre = u"Rock"_s;
    record.SerialNumber = serial;
    record.Filename = path;
    EXPECT_EQ(trailer_.WriteSongTrailer(path, record, false, {year, {}}), 0);
    library_.AddOrReplaceRecord(record);
    return path;
  }
  // A song whose tag and row hold these lyrics, biography and buy-CD address.
  QString AddSungSong(const QString& name, const QString& lyrics, const QString& bios,
                      const QString& buyCd) {
    const QString path = AddSong(name, u"Words"_s, {});
    SongRecord record = Stored(path);
    record.Lyrics = lyrics;
    record.Bios = bios;
    record.BuyCDURL = buyCd;
    EXPECT_EQ(trailer_.WriteSongTrailer(path, record, false), 0);
    library_.AddOrReplaceRecord(record);
    return path;
  }
  // A FLAC or Ogg song (by its name) whose library row has every field set; the file's own
  // tag holds only what such a tag can: title, artist, album and genre.
  QString AddTaggedSong(const QString& name, const QString& album) {
    const QString path = Path(name);
    EXPECT_TRUE(name.endsWith(u".flac"_s) ? WriteSineFlac(path, 0.3) : WriteSineOgg(path, 0.3));
    SongRecord record = SampleRecord(name);
    record.Album = album;
    record.Filename = path;
    StandardTagValues tag;
    tag.title = record.Title;
    tag.artist = record.Artist;
    tag.album = album;
    tag.genre = record.Genre;
    EXPECT_TRUE(WriteStandardTag(path, tag));
    library_.AddOrReplaceRecord(record);
    return path;
  }
  SongRecord Stored(const QString& path) {
    SongRecord record;
    trailer_.ReadSongTags(path, record);
    return record;
  }
  // A song of a format that takes no trailer, tagged as other programs tag it, in the
  // library.
  QString AddTagged(const QString& name, bool (*write)(const QString&, double),
                    const QString& album) {
    const QString path = Path(name);
    EXPECT_TRUE(write(path, 0.3));
    StandardTagValues values;
    values.title = name;
    values.album = album;
    values.artist = u"Tagged"_s;
    EXPECT_TRUE(WriteStandardTag(path, values));
    SongRecord record;
    record.Title = name;
    record.Album = album;
    record.Artist = values.artist;
    record.Mood = u"Calm"_s;
    record.Filename = path;
    library_.AddOrReplaceRecord(record);
    return path;
  }
  // An MP3 song in the library as other programs tagged it, an ID3v2 tag with a cover, a
  // user text frame, a full date, "3/12" and two artists, and as this program added it,
  // with a trailer.
  QString AddTaggedMp3(const QString& name, const QString& album) {
    const QString path = Path(name + u".mp3"_s);
    EXPECT_TRUE(WriteSineMp3(path, 0.3));
    StandardTagValues values;
    values.title = name;
    values.album = album;
    values.genre = u"Rock"_s;
    values.picture = SmallPng();
    values.pictureMime = u"image/png"_s;
    EXPECT_TRUE(WriteStandardTag(path, values));
    EXPECT_TRUE(AddId3v2Frames(path, {{"TPE1", u"Band\nGuest"_s},
                                      {"TDRC", u"2003-05-01"_s},
                                      {"TRCK", u"3/12"_s},
                                      {"TXXX", u"MusicBrainz Album Id=1234"_s}}));
    EXPECT_EQ(adder_.AddSongs({path}).size(), 1);
    return path;
  }
  // The texts of the messages shown that say something was not stored.
  QStringList NotStoredTexts() const {
    QStringList texts;
    for (const auto& message : prompter_.ShownMessages()) {
      if (message.text.contains(u"could not be written"_s)) texts.append(message.text);
    }
    return texts;
  }
  // The frames but those of the ID named.
  static QStringList FramesBut(QStringList frames, const QString& id) {
    frames.removeIf([&id](const QString& frame) { return frame.startsWith(id + u' '); });
    return frames;
  }
  // A picture file of the given Qt format ("PNG", "BMP", "JPG"); returns its bytes.
  static QByteArray WritePicture(const QString& path, const char* format, Qt::GlobalColor color) {
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(color);
    EXPECT_TRUE(image.save(path, format));
    return ReadAll(path);
  }
  static QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QByteArray TrailerArt(const QString& path, QString& type) {
    SongRecord record;
    return trailer_.ReadSongTagsWithArt(path, record, type);
  }
  Edit_pic* PictureChooser() {
    return new Edit_pic({trailer_,
                         writer_,
                         catalog_,
                         prompter_,
                         Path(u"VeltoDj.ini"_s),
                         [](const QString&, const QString&) { return true; },
                         {}});
  }

  // The track information window's context over this fixture.
  TrackInfoContext WindowContext(const CategoryLists& categories,
                                 std::function<QString(const QString&, int)> move = {},
                                 std::function<void(const QString&, int)> editTexts = {},
                                 std::function<void()> reloaded = {}) {
    return {info_,
            categories,
            genres_,
            catalog_,
            prompter_,
            Path(u"VeltoDj.ini"_s),
            std::move(move),
            std::move(editTexts),
            {},
            {},
            std::move(reloaded)};
  }

  QList<platform::CdMount> cdMounts_;
  SongFilePresence presence_{[this] { return cdMounts_; }, catalog_, prompter_};
  SongAdder adder_{library_, trailer_, presence_, catalog_, prompter_, check_, dir_.path()};
  SongRowWriter writer_{library_, adder_, trailer_, id3_, presence_, prompter_};
  DatabaseCommands database_{library_, catalog_, prompter_, error_, check_};
  CurrentSong song_{library_, adder_, id3_, writer_, database_};
  TrackInfo info_{song_, library_, trailer_, database_};
};

TEST_F(TrackInfoTest, SavingWritesTheFileAndTheRowAndAsksOnlyAfterARealChange) {
  const QString path = AddSong(u"one"_s, u"Blue"_s, {});
  ASSERT_TRUE(info_.Load(path));
  EXPECT_EQ(info_.Current().record.Title, u"one");
  EXPECT_EQ(info_.Current().year, u"1990");
  EXPECT_FALSE(info_.IsChanged());
  info_.Current().record.Title = u" one "_s;  // the same once trimmed: still a change
  EXPECT_TRUE(info_.IsChanged());
  info_.Current().record.Title = u"  Renamed  "_s;
  info_.Current().year = u"2001"_s;
  info_.Current().record.Notes = u"A note"_s;
  EXPECT_EQ(info_.Save(), 0);
  EXPECT_FALSE(info_.IsChanged());
  EXPECT_EQ(Stored(path).Title, u"Renamed");
  EXPECT_EQ(Stored(path).Notes, u"A note");
  EXPECT_EQ(id3_.ID3Year.trimmed(), u"2001");
  EXPECT_EQ(library_.SongText(1, 0), u"Renamed");
  EXPECT_TRUE(QFile::exists(library_.DatabasePath()));
  EXPECT_FALSE(info_.Load(Path(u"missing.mp3"_s)));
}

TEST_F(TrackInfoTest, ApplyToAlbumCopiesOnlyTheTickedFieldsToTheAlbum) {
  const QString edited = AddSong(u"edited"_s, u"Greatest Hits"_s, u"AB-1"_s);
  const QString sameSerial = AddSong(u"sameSerial"_s, u"Other Name"_s, u"ab-1 "_s);
  const QString noSerial = AddSong(u"noSerial"_s, u" greatest hits"_s, {});
  const QString otherDisc = AddSong(u"otherDisc"_s, u"Greatest Hits"_s, u"CD-2"_s);
  ASSERT_TRUE(info_.Load(edited));
  info_.Current().year = u"1977"_s;
  info_.Current().record.Mood = u"Happy"_s;
  info_.Current().record.Artist = u"Edited Artist"_s;
  ASSERT_EQ(info_.Save(), 0);
  TrackInfo::Boxes boxes{};
  boxes[TrackInfo::kYear] = true;
  boxes[TrackInfo::kMood] = true;
  const QList<TrackInfo::Changed> changed = info_.ApplyToAlbum(boxes);
  ASSERT_EQ(changed.size(), 2);
  EXPECT_EQ(changed[0].path, sameSerial);  // the same disc under another album name
  EXPECT_EQ(changed[1].path, noSerial);    // no serial number: joins by album name
  for (const QString& member : {sameSerial, noSerial}) {
    const SongRecord record = Stored(member);
    EXPECT_EQ(id3_.ID3Year.trimmed(), u"1977");
    EXPECT_EQ(record.Mood, u"Happy");
    EXPECT_EQ(record.Artist, u"Artist of "_s + record.Title);  // not ticked
  }
  EXPECT_EQ(Stored(otherDisc).Mood, u"Calm");  // same name, another disc
  EXPECT_EQ(id3_.ID3Year.trimmed(), u"1990");
  EXPECT_EQ(library_.SongText(library_.FindSongByFilename(noSerial), 5), u"Happy");

  // Without a serial number the edited song's album name decides.
  ASSERT_TRUE(info_.Load(noSerial));
  boxes = {};
  boxes[TrackInfo::kArtist] = true;
  const QList<TrackInfo::Changed> byName = info_.ApplyToAlbum(boxes);
  ASSERT_EQ(byName.size(), 2);  // the edited song and the other disc, not "Other Name"
  EXPECT_EQ(Stored(otherDisc).Artist, u"Artist of noSerial");
}

TEST_F(TrackInfoTest, BoxStatesAndPicturesAreKept) {
  const QString settings = Path(u"VeltoDj.ini"_s);
  EXPECT_EQ(TrackInfo::ReadBoxes(settings), TrackInfo::Boxes{});
  TrackInfo::Boxes boxes{};
  boxes[3] = boxes[14] = true;
  TrackInfo::WriteBoxes(settings, boxes);
  EXPECT_EQ(ReadIniString(settings, u"Tag"_s, u"ChkBox3"_s), u"1");
  EXPECT_EQ(ReadIniString(settings, u"Tag"_s, u"ChkBox0"_s), u"0");
  EXPECT_EQ(TrackInfo::ReadBoxes(settings), boxes);

  // A PNG picture is stored as JPEG art, and shown from memory.
  const QString path = AddSong(u"pictured"_s, u"Art"_s, {});
  ASSERT_TRUE(info_.Load(path));
  EXPECT_TRUE(info_.Picture().isEmpty());
  const QString png = Path(u"cover.png"_s);
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(Qt::blue);
  ASSERT_TRUE(image.save(png));
  EXPECT_FALSE(info_.SetPicture(Path(u"notes.txt"_s)));
  ASSERT_TRUE(info_.SetPicture(png));
  EXPECT_TRUE(info_.IsChanged());
  ASSERT_EQ(info_.Save(), 0);
  SongRecord record;
  QString type;
  const QByteArray art = trailer_.ReadSongTagsWithArt(path, record, type);
  EXPECT_EQ(type, u"jpg");
  EXPECT_EQ(QImage::fromData(art).size(), QSize(40, 30));
  ASSERT_TRUE(info_.Load(path));
  EXPECT_TRUE(info_.Picture() == art);
  EXPECT_FALSE(info_.IsChanged());
  EXPECT_FALSE(QFile::exists(Path(u"Temp.jpg"_s)));
}

// Saving starts from the library row: the categories, play time, serial number and
// addresses a FLAC or Ogg file has no room for stay, and so do the plays of this session,
// for the song and for the rest of its album.
TEST_F(TrackInfoTest, SavingKeepsWhatOnlyTheLibraryHoldsAndThePlaysOfThisSession) {
  const QString flac = AddTaggedSong(u"a.flac"_s, u"Night"_s);
  const QString ogg = AddTaggedSong(u"b.ogg"_s, u"Night"_s);
  const QString mp3 = AddSong(u"c"_s, u"Night"_s, u"1234-ABCD"_s);
  for (const QString& played : {flac, flac, ogg, mp3}) library_.NoteSongPlayed(played);
  ASSERT_TRUE(info_.Load(flac));
  EXPECT_EQ(info_.Current().record.Tempo, u"Fast");
  EXPECT_EQ(info_.Current().record.PlayFreq, 14);  // 12 stored, 2 played
  info_.Current().year = u"2000"_s;
  ASSERT_EQ(info_.Save(), 0);
  TrackInfo::Boxes boxes{};
  boxes[TrackInfo::kYear] = true;
  ASSERT_EQ(info_.ApplyToAlbum(boxes).size(), 2);

  const QString today = QDate::currentDate().toString(u"MM-dd-yy"_s);
  for (const auto& [path, plays] : {std::pair{flac, 14}, std::pair{ogg, 13}, std::pair{mp3, 1}}) {
    const SongRecord record = library_.RecordAsSaved(library_.FindSongByFilename(path));
    EXPECT_EQ(record.PlayFreq, plays) << path.toStdString();
    EXPECT_EQ(SongLibrary::FormatLastPlayed(record.LastPlayed).left(8), today);
    ASSERT_TRUE(info_.Load(path));
    EXPECT_EQ(info_.Current().year, u"2000");
  }
  for (const QString& path : {flac, ogg}) {
    const SongRecord record = library_.RecordAsSaved(library_.FindSongByFilename(path));
    SongRecord expected = SampleRecord(QFileInfo(path).fileName());
    expected.Album = u"Night"_s;
    expected.Filename = path;
    expected.LastPlayed = record.LastPlayed;
    expected.PlayFreq = record.PlayFreq;
    EXPECT_EQ(record, expected) << path.toStdString();
  }
  EXPECT_EQ(Stored(mp3).Mood, u"Calm");
}

// The lyrics window's texts: an edit in progress outlives a song change in the player,
// and saving writes the notes typed on one tab with the unchanged lyrics of another.
TEST_F(TrackInfoTest, LyricsEditsSurviveASongChangeAndSaveAllThreeTexts) {
  const QString path =
      AddSungSong(u"sung"_s, u"First line\r\nSecond line"_s, u"Born somewhere"_s, {});

  SongTexts texts(adder_, song_);
  texts.ShowLyrics(u"playing"_s, {}, {});
  texts.SetTrackInfo(u"next song"_s, u"its notes"_s, {});
  EXPECT_EQ(texts.Text(SongTexts::kLyrics), u"next song");

  ASSERT_TRUE(texts.EditLyrics(path));
  EXPECT_EQ(texts.CurrentMode(), SongTexts::Mode::Edit);
  EXPECT_EQ(texts.Text(SongTexts::kLyrics), u"First line\r\nSecond line");
  texts.SetText(SongTexts::kNotes, u"Typed notes"_s);
  texts.SetTrackInfo(u"another song"_s, u"other notes"_s, u"other bios"_s);
  EXPECT_EQ(texts.Text(SongTexts::kNotes), u"Typed notes");
  EXPECT_EQ(texts.Text(SongTexts::kLyrics), u"First line\r\nSecond line");

  ASSERT_EQ(texts.Save(), 0);
  EXPECT_EQ(texts.CurrentMode(), SongTexts::Mode::Display);
  const SongRecord saved = Stored(path);
  EXPECT_EQ(saved.Notes, u"Typed notes");
  EXPECT_EQ(saved.Lyrics, u"First line\r\nSecond line");
  EXPECT_EQ(saved.Bios, u"Born somewhere");
  EXPECT_EQ(saved.Mood, u"Calm");  // the rest of the tag stays
  EXPECT_FALSE(texts.EditLyrics(Path(u"gone.mp3"_s)));
}

// The window over those texts, driven by clicks and keys: the notes tab typed into, the
// lyrics tab chosen, a song change in between, then OK.
TEST_F(TrackInfoTest, TheLyricsWindowEditsWithRealKeys) {
  const QString path = AddSungSong(u"sung"_s, u"Old lyrics"_s, {}, u"shop.example/words"_s);
  const QString other = AddSong(u"other"_s, u"Words"_s, {});
  SongTexts texts(adder_, song_);
  QStringList opened;
  Lyrics window({texts,
                 catalog_,
                 prompter_,
                 {},
                 [&opened](const QString& address) { opened.append(address); },
                 [&opened](const QString& file) { opened.append(u"art:"_s + file); }});
  window.show();
  auto* ok = window.findChild<QPushButton*>(u"imgOK"_s);
  auto* notes = window.findChild<QPlainTextEdit*>(u"txtNotes"_s);
  window.SetSongFile(other);
  EXPECT_FALSE(ok->isVisible());
  EXPECT_TRUE(notes->isReadOnly());

  ASSERT_TRUE(window.EditLyrics(path, SongTexts::kNotes));
  EXPECT_TRUE(ok->isVisible());
  EXPECT_EQ(window.CurrentTab(), SongTexts::kNotes);
  QTest::keyClicks(notes, u"Fresh notes"_s);
  window.SetSongFile(other);  // the player moved on
  EXPECT_EQ(notes->toPlainText(), u"Fresh notes");
  auto* tabs = window.findChild<QTabBar*>();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
  EXPECT_EQ(window.CurrentTab(), SongTexts::kLyrics);
  QTest::mouseClick(window.findChild<QPushButton*>(u"imgBuyCD"_s), Qt::LeftButton);
  EXPECT_EQ(opened, QStringList{u"shop.example/words"_s});
  window.OptionsMenu()->findChild<QAction*>(u"mnuTagArt"_s)->trigger();
  EXPECT_EQ(opened.last(), u"art:"_s + path);
  EXPECT_FALSE(window.OptionsMenu()->findChild<QAction*>(u"mnuArtistWebSite"_s)->isEnabled());
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(Stored(path).Notes, u"Fresh notes");
  EXPECT_EQ(Stored(path).Lyrics, u"Old lyrics");
}

// The window with real keys and clicks: a change asks before moving on, no change asks
// nothing, Save copies the ticked fields to the album, and the boxes are kept.
TEST_F(TrackInfoTest, TheTrackInformationWindowAsksOnlyAfterARealChange) {
  const QString first = AddSong(u"first"_s, u"Album"_s, {});
  const QString second = AddSong(u"second"_s, u"Album"_s, {});
  CategoryLists categories;
  categories.Load(Path(u"VeltoDj.cat"_s), genres_);
  QList<int> moves;
  GetSongInfoFromUser window(WindowContext(categories, [&](const QString&, int step) {
    moves.append(step);
    return step > 0 ? second : first;
  }));
  window.show();
  ASSERT_TRUE(window.EditTrackInfo(first));
  auto* title = window.findChild<QLineEdit*>(u"txtTrackInfo0"_s);
  EXPECT_EQ(title->text(), u"first");
  // The trailer writer put an ID3v1 tag behind the song; its genre is shown.
  EXPECT_EQ(window.findChild<QLabel*>(u"lblID3Genre"_s)->text(), u"17  Rock");
  QTest::keyClick(&window, Qt::Key_Down);  // nothing changed: no question
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
  EXPECT_EQ(title->text(), u"second");

  title->clear();
  QTest::keyClicks(title, u"Second Song"_s);
  prompter_.QueueAnswer(1);  // Yes, save
  prompter_.QueueAnswer(1);  // the trailer writer: the new title for the ID3 tag too
  QTest::keyClick(&window, Qt::Key_PageUp);
  ASSERT_EQ(prompter_.ShownMessages().size(), 2);
  EXPECT_EQ(prompter_.ShownMessages()[0].text,
            u"Do you want to save the track into of 'second.mp3'?"_s);
  EXPECT_EQ(moves, (QList<int>{1, -10}));
  EXPECT_EQ(Stored(second).Title, u"Second Song");
  EXPECT_EQ(title->text(), u"first");

  auto* mood = window.findChild<QComboBox*>(u"cmbDropDown2"_s);
  mood->setEditText(u"Dreamy"_s);
  auto* moodBox = window.findChild<QCheckBox*>(u"chkApplyToAlbum4"_s);
  QTest::mouseClick(moodBox, Qt::LeftButton, {}, QPoint(6, moodBox->height() / 2));
  QTest::mouseClick(window.findChild<QPushButton*>(u"imgOK"_s), Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(Stored(first).Mood, u"Dreamy");
  EXPECT_EQ(Stored(second).Mood, u"Dreamy");
  EXPECT_EQ(Stored(second).Title, u"Second Song");
  EXPECT_EQ(ReadIniString(Path(u"VeltoDj.ini"_s), u"Tag"_s, u"ChkBox4"_s), u"1");
  EXPECT_EQ(prompter_.ShownMessages().size(), 2);  // saving asked nothing more
}

// One song, two windows: lyrics typed and saved in the lyrics editor opened from the track
// information stay when the track information is saved afterwards.
TEST_F(TrackInfoTest, LyricsSavedInTheLyricsEditorSurviveTheTrackInformationsSave) {
  const QString path = AddSungSong(u"sung"_s, u"Old lyrics"_s, u"Old bios"_s, {});
  CategoryLists categories;
  SongTexts texts(adder_, song_);
  Lyrics lyrics({texts, catalog_, prompter_, {}, {}, {}});
  GetSongInfoFromUser window(WindowContext(
      categories, {},
      [&lyrics](const QString& file, int tab) {
        lyrics.show();
        lyrics.EditLyrics(file, tab);
      },
      [&lyrics] { lyrics.SongReloaded(); }));
  window.show();
  ASSERT_TRUE(window.EditTrackInfo(path));
  auto* title = window.findChild<QLineEdit*>(u"txtTrackInfo0"_s);
  QTest::keyClicks(title, u" Again"_s);  // typed before the lyrics
  QTest::mouseClick(window.findChild<QPushButton*>(u"lblLyrics"_s), Qt::LeftButton);
  ASSERT_TRUE(lyrics.isVisible());
  auto* box = lyrics.findChild<QPlainTextEdit*>(u"txtLyrics"_s);
  EXPECT_EQ(box->toPlainText(), u"Old lyrics");
  box->selectAll();
  QTest::keyClicks(box, u"New words"_s);
  QTest::mouseClick(lyrics.findChild<QPushButton*>(u"imgOK"_s), Qt::LeftButton);
  EXPECT_FALSE(lyrics.isVisible());
  EXPECT_EQ(Stored(path).Lyrics, u"New words");
  EXPECT_EQ(Stored(path).Title, u"sung");  // the track information is not saved yet

  QTest::mouseClick(window.findChild<QPushButton*>(u"imgOK"_s), Qt::LeftButton);
  const SongRecord saved = Stored(path);
  EXPECT_EQ(saved.Title, u"sung Again");
  EXPECT_EQ(saved.Lyrics, u"New words");
  EXPECT_EQ(saved.Bios, u"Old bios");

  // What is typed goes into the song at once: the track information's Save takes it too.
  window.show();
  QTest::mouseClick(window.findChild<QPushButton*>(u"lblLyrics"_s), Qt::LeftButton);
  box->selectAll();
  QTest::keyClicks(box, u"Typed only"_s);
  QTest::mouseClick(window.findChild<QPushButton*>(u"imgOK"_s), Qt::LeftButton);
  EXPECT_EQ(Stored(path).Lyrics, u"Typed only");
  EXPECT_FALSE(texts.IsChanged());
}

// The lyrics window closed by its title bar leaves the edit: it asks about what was typed,
// then follows the song playing again.
TEST_F(TrackInfoTest, ClosingTheLyricsWindowLeavesTheEdit) {
  const QString path = AddSungSong(u"sung"_s, u"Old lyrics"_s, {}, {});
  const QString playing = AddSungSong(u"playing"_s, u"Playing lyrics"_s, {}, {});
  SongTexts texts(adder_, song_);
  Lyrics window({texts, catalog_, prompter_, {}, {}, {}});
  auto* box = window.findChild<QPlainTextEdit*>(u"txtLyrics"_s);
  window.show();
  ASSERT_TRUE(window.EditLyrics(path, SongTexts::kLyrics));
  window.close();  // nothing typed: nothing asked
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
  EXPECT_EQ(texts.CurrentMode(), SongTexts::Mode::Display);

  window.show();
  ASSERT_TRUE(window.EditLyrics(path, SongTexts::kLyrics));
  QTest::keyClicks(box, u"Dropped "_s);
  prompter_.QueueAnswer(2);  // No
  window.close();
  ASSERT_EQ(prompter_.ShownMessages().size(), 1);
  EXPECT_EQ(prompter_.ShownMessages()[0].text,
            u"Do you want to save the track into of 'sung.mp3'?"_s);
  window.SetSongFile(playing);
  window.show();
  EXPECT_EQ(box->toPlainText(), u"Playing lyrics");
  EXPECT_TRUE(box->isReadOnly());
  EXPECT_EQ(Stored(path).Lyrics, u"Old lyrics");
  EXPECT_FALSE(song_.IsChanged());

  ASSERT_TRUE(window.EditLyrics(path, SongTexts::kLyrics));
  box->selectAll();
  QTest::keyClicks(box, u"Kept"_s);
  prompter_.QueueAnswer(1);  // Yes
  window.close();
  EXPECT_EQ(Stored(path).Lyrics, u"Kept");
  window.SetSongFile(playing);
  EXPECT_EQ(box->toPlainText(), u"Playing lyrics");
}

// A last-played time with milliseconds is no change; opening another song asks about the
// edits as moving does, and Yes saves the album too.
TEST_F(TrackInfoTest, OpeningAnotherSongAsksAndYesSavesTheAlbumToo) {
  const QString first = AddSong(u"first"_s, u"Album"_s, {});
  const QString second = AddSong(u"second"_s, u"Album"_s, {});
  SongRecord played = library_.SongRecords(library_.FindSongByFilename(second));
  played.LastPlayed = 45000.123456789;
  library_.AddOrReplaceRecord(played);
  CategoryLists categories;
  GetSongInfoFromUser window(
      WindowContext(categories, [&](const QString&, int) { return second; }));
  window.show();
  ASSERT_TRUE(window.EditTrackInfo(first));
  QTest::keyClick(&window, Qt::Key_Down);
  ASSERT_EQ(window.findChild<QLineEdit*>(u"txtTrackInfo0"_s)->text(), u"second");
  window.EditTrackInfo(first);  // as the player or the playlist manager opens a song
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
  window.EditTrackInfo(second);

  window.findChild<QComboBox*>(u"cmbDropDown2"_s)->setEditText(u"Dreamy"_s);
  auto* moodBox = window.findChild<QCheckBox*>(u"chkApplyToAlbum4"_s);
  QTest::mouseClick(moodBox, Qt::LeftButton, {}, QPoint(6, moodBox->height() / 2));
  prompter_.QueueAnswer(1);  // Yes
  window.EditTrackInfo(first);
  ASSERT_EQ(prompter_.ShownMessages().size(), 1);
  EXPECT_EQ(Stored(second).Mood, u"Dreamy");
  EXPECT_EQ(Stored(first).Mood, u"Dreamy");
  EXPECT_EQ(window.findChild<QComboBox*>(u"cmbDropDown2"_s)->currentText(), u"Dreamy");
}

// The picture chooser: the picture kinds listed, the preview's size, a PNG stored as JPEG
// art, a bitmap named in capitals stored as it is, the folder remembered, and a set paint
// program that is missing.
TEST_F(TrackInfoTest, ThePictureChooserStoresAPngAsJpegArt) {
  const QString song = AddSong(u"pictured"_s, u"Art"_s, {});
  QDir(dir_.path()).mkdir(u"pictures"_s);
  QImage image(64, 48, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  ASSERT_TRUE(image.save(Path(u"pictures/cover.png"_s)));
  ASSERT_TRUE(image.save(Path(u"pictures/OLD.BMP"_s), "BMP"));
  WriteAll(Path(u"pictures/notes.txt"_s), "not a picture");
  WriteAll(Path(u"pictures/fake.jpg"_s), "not a picture either");
  QStringList started;
  Edit_pic window({trailer_,
                   writer_,
                   catalog_,
                   prompter_,
                   Path(u"VeltoDj.ini"_s),
                   [&started](const QString& program, const QString&) {
                     started.append(program);
                     return true;
                   },
                   {}});
  window.show();
  window.LinkPicture(song);
  window.Dir1_Change(Path(u"pictures"_s));
  EXPECT_EQ(ReadIniString(Path(u"VeltoDj.ini"_s), u"PlayList"_s, u"EditPicPath"_s),
            Path(u"pictures"_s));
  auto* files = window.findChild<QListWidget*>(u"File1"_s);
  ASSERT_EQ(files->count(), 3);  // cover.png, fake.jpg and OLD.BMP, not notes.txt
  QTest::mouseClick(
      files->viewport(), Qt::LeftButton, {},
      files->visualItemRect(files->findItems(u"cover.png"_s, Qt::MatchExactly)[0]).center());
  EXPECT_EQ(window.SizeText(), u" 64, 48");

  WriteIniString(Path(u"VeltoDj.ini"_s), u"PlayList"_s, u"Paint Program"_s, u"/no/such/paint"_s);
  QTest::mouseClick(window.findChild<QPushButton*>(u"cmdOpenPaint"_s), Qt::LeftButton);
  ASSERT_EQ(prompter_.ShownMessages().size(), 1);
  EXPECT_EQ(prompter_.ShownMessages()[0].text, u"Can't find /no/such/paint"_s);
  EXPECT_TRUE(started.isEmpty());

  QTest::mouseClick(window.findChild<QPushButton*>(u"imgDone"_s), Qt::LeftButton);
  SongRecord record;
  QString type;
  const QByteArray art = trailer_.ReadSongTagsWithArt(song, record, type);
  EXPECT_EQ(type, u"jpg");
  EXPECT_EQ(QImage::fromData(art).size(), QSize(64, 48));

  // A file named as a picture that is none is refused, and another may be chosen.
  window.LinkPicture(song);
  window.show();
  files->setCurrentItem(files->findItems(u"fake.jpg"_s, Qt::MatchExactly)[0]);
  QTest::mouseClick(window.findChild<QPushButton*>(u"imgDone"_s), Qt::LeftButton);
  ASSERT_EQ(prompter_.ShownMessages().size(), 2);
  EXPECT_EQ(prompter_.ShownMessages()[1].text,
            Path(u"pictures/fake.jpg"_s) + u"\nThis file is not a picture."_s);
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(TrailerArt(song, type) == art);
  files->setCurrentItem(files->findItems(u"OLD.BMP"_s, Qt::MatchExactly)[0]);
  QTest::mouseClick(window.findChild<QPushButton*>(u"imgDone"_s), Qt::LeftButton);
  EXPECT_TRUE(TrailerArt(song, type) == ReadAll(Path(u"pictures/OLD.BMP"_s)));
  EXPECT_EQ(type, u"bmp");
}

// FLAC, Ogg and Opus songs keep their lyrics and picture in their own tag, where other
// players read them, and their notes and biography in the library row, which a save of
// the library no longer empties for them; a change the tag does not hold leaves the file
// untouched.
TEST_F(TrackInfoTest, FlacOggAndOpusSongsKeepLyricsInTheirTagAndNotesInTheLibrary) {
  const QString mp3 = AddSong(u"trailered"_s, u"Mixed"_s, {});
  const QByteArray bmp = WritePicture(Path(u"COVER.BMP"_s), "BMP", Qt::red);
  const QStringList songs = {AddTagged(u"song.flac"_s, WriteSineFlac, u"Mixed"_s),
                             AddTagged(u"song.ogg"_s, WriteSineOgg, u"Mixed"_s),
                             AddTagged(u"song.opus"_s, WriteSineOpus, u"Mixed"_s), mp3};
  for (const QString& path : songs) {
    SCOPED_TRACE(path.toStdString());
    ASSERT_TRUE(info_.Load(path));
    info_.Current().record.Lyrics = u"la la\nla"_s;
    info_.Current().record.Notes = u"Recorded live"_s;
    info_.Current().record.Bios = u"Born in Lyon"_s;
    ASSERT_TRUE(info_.SetPicture(Path(u"COVER.BMP"_s)));
    EXPECT_EQ(info_.Save(), 0);
  }
  for (const QString& path : songs.mid(0, 3)) {
    const auto tags = platform::ReadStandardTags(path, true);
    ASSERT_TRUE(tags.has_value());
    EXPECT_EQ(tags->fields.lyrics, u"la la\nla");
    EXPECT_TRUE(tags->picture == bmp);
    EXPECT_EQ(tags->pictureMime, u"image/bmp");
    EXPECT_EQ(tags->fields.title, QFileInfo(path).fileName());  // the rest as it was
  }
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());

  // Only the notes change: the FLAC file is not rewritten.
  const QByteArray flacBefore = ReadAll(songs[0]);
  ASSERT_TRUE(info_.Load(songs[0]));
  info_.Current().record.Notes = u"Recorded in the studio"_s;
  EXPECT_EQ(info_.Save(), 0);
  EXPECT_TRUE(ReadAll(songs[0]) == flacBefore);

  library_.LoadSongData();  // as the next start reads it
  EXPECT_TRUE(library_.SongRecords(library_.FindSongByFilename(mp3)).Notes.isEmpty());
  const QString notes[] = {u"Recorded in the studio"_s, u"Recorded live"_s, u"Recorded live"_s,
                           u"Recorded live"_s};
  for (int i = 0; i < songs.size(); ++i) {
    SCOPED_TRACE(songs[i].toStdString());
    ASSERT_TRUE(info_.Load(songs[i]));
    EXPECT_EQ(info_.Current().record.Lyrics, u"la la\nla");
    EXPECT_EQ(info_.Current().record.Notes, notes[i]);
    EXPECT_EQ(info_.Current().record.Bios, u"Born in Lyon");
    EXPECT_TRUE(info_.Picture() == bmp);
  }
}

// Nothing typed is dropped without a word: a format with no place for lyrics, a file
// that cannot be written, notes of a song the library does not hold.
TEST_F(TrackInfoTest, WhatASongFileCannotHoldIsToldNotDropped) {
  const QString aiff = Path(u"song.aiff"_s);
  ASSERT_TRUE(WriteSineSndfile(aiff, 0.3, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 440.0));
  ASSERT_TRUE(info_.Load(aiff));
  info_.Current().record.Lyrics = u"la la"_s;
  EXPECT_NE(info_.Save(), 0);
  ASSERT_EQ(prompter_.ShownMessages().size(), 1);
  EXPECT_TRUE(prompter_.ShownMessages()[0].text.contains(u"no place for lyrics"_s));

  const QString flac = Path(u"loose.flac"_s);  // not in the library
  ASSERT_TRUE(WriteSineFlac(flac, 0.3));
  ASSERT_TRUE(info_.Load(flac));
  info_.Current().record.Notes = u"A note"_s;
  EXPECT_NE(info_.Save(), 0);
  ASSERT_EQ(prompter_.ShownMessages().size(), 2);
  EXPECT_TRUE(prompter_.ShownMessages()[1].text.contains(u"does not hold this song"_s));

  // A file TagLib cannot take is left as it was; its notes still reach the library.
  const QByteArray junk("fLaC and nothing a FLAC file holds");
  WriteAll(Path(u"junk.flac"_s), junk);
  SongRecord record;
  record.Title = u"junk"_s;
  record.Filename = Path(u"junk.flac"_s);
  library_.AddOrReplaceRecord(record);
  ASSERT_TRUE(info_.Load(Path(u"junk.flac"_s)));
  info_.Current().record.Lyrics = u"la la"_s;
  info_.Current().record.Notes = u"Kept"_s;
  EXPECT_NE(info_.Save(), 0);
  ASSERT_EQ(prompter_.ShownMessages().size(), 3);
  EXPECT_TRUE(prompter_.ShownMessages()[2].text.contains(u"could not be written"_s));
  EXPECT_TRUE(ReadAll(Path(u"junk.flac"_s)) == junk);
  EXPECT_EQ(library_.SongRecords(library_.FindSongByFilename(Path(u"junk.flac"_s))).Notes, u"Kept");
}

// Apply to album copies the picture the window holds, whatever its kind, to MP3 and FLAC
// songs alike; the picture chooser of another song does not change it meanwhile.
TEST_F(TrackInfoTest, ApplyToAlbumCopiesTheChosenPictureWhateverItsKind) {
  const QString edited = AddSong(u"edited"_s, u"Covers"_s, {});
  const QString mp3 = AddSong(u"member"_s, u"Covers"_s, {});
  const QString flac = AddTagged(u"member.flac"_s, WriteSineFlac, u"Covers"_s);
  const QString other = AddSong(u"other"_s, u"Elsewhere"_s, {});
  const QByteArray jpeg = WritePicture(Path(u"old.jpg"_s), "JPG", Qt::green);
  const QByteArray png = WritePicture(Path(u"other.png"_s), "PNG", Qt::yellow);
  const QByteArray bmp = WritePicture(Path(u"COVER.BMP"_s), "BMP", Qt::red);
  ASSERT_TRUE(info_.Load(edited));
  ASSERT_TRUE(info_.SetPicture(Path(u"old.jpg"_s)));
  ASSERT_EQ(info_.Save(), 0);
  TrackInfo::Boxes boxes{};
  boxes[TrackInfo::kArt] = true;

  ASSERT_TRUE(info_.Load(edited));
  std::unique_ptr<Edit_pic> chooser(PictureChooser());
  chooser->LinkPicture(other);
  chooser->Dir1_Change(dir_.path());
  auto* files = chooser->findChild<QListWidget*>(u"File1"_s);
  files->setCurrentItem(files->findItems(u"other.png"_s, Qt::MatchExactly)[0]);
  chooser->imgDone_Click();
  EXPECT_EQ(info_.ApplyToAlbum(boxes).size(), 2);
  QString type;
  EXPECT_TRUE(TrailerArt(mp3, type) == jpeg);
  EXPECT_TRUE(platform::ReadStandardTags(flac, true)->picture == jpeg);
  EXPECT_EQ(QImage::fromData(TrailerArt(other, type)).pixelColor(0, 0), QColor(Qt::yellow));

  ASSERT_TRUE(info_.SetPicture(Path(u"COVER.BMP"_s)));
  ASSERT_EQ(info_.Save(), 0);
  EXPECT_EQ(info_.ApplyToAlbum(boxes).size(), 2);
  for (const QString& song : {edited, mp3}) {
    EXPECT_TRUE(TrailerArt(song, type) == bmp);
    EXPECT_EQ(type, u"bmp");
  }
  const auto tags = platform::ReadStandardTags(flac, true);
  EXPECT_TRUE(tags->picture == bmp);
  EXPECT_EQ(tags->pictureMime, u"image/bmp");
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
}

// The track information's own picture chooser: the button or a click on the picture
// opens the file dialog; the picture chosen shows at once and is stored on Save.
TEST_F(TrackInfoTest, TheTrackInformationWindowChoosesAPicture) {
  const QString song = AddSong(u"pictured"_s, u"Art"_s, {});
  const QByteArray bmp = WritePicture(Path(u"COVER.BMP"_s), "BMP", Qt::red);
  WriteAll(Path(u"notes.txt"_s), "not a picture");
  CategoryLists categories;
  GetSongInfoFromUser window({info_,
                              categories,
                              genres_,
                              catalog_,
                              prompter_,
                              Path(u"VeltoDj.ini"_s),
                              {},
                              {},
                              {},
                              {},
                              {}});
  window.show();
  ASSERT_TRUE(window.EditTrackInfo(song));
  auto* picture = window.findChild<QLabel*>(u"imgArt"_s);
  auto* button = window.findChild<QPushButton*>(u"imgEditArt"_s);
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(picture->pixmap().isNull());

  prompter_.QueueFiles({Path(u"notes.txt"_s)});
  QTest::mouseClick(button, Qt::LeftButton);
  ASSERT_EQ(prompter_.ShownMessages().size(), 2);  // the file dialog, then the message
  EXPECT_EQ(prompter_.ShownMessages()[0].text, u"Tag Art"_s);
  EXPECT_EQ(prompter_.ShownMessages()[1].text,
            Path(u"notes.txt"_s) + u"\nThis file is not a picture."_s);
  EXPECT_EQ(prompter_.LastFolder(), dir_.path());
  EXPECT_FALSE(window.IsChanged());

  prompter_.QueueFiles({Path(u"COVER.BMP"_s)});
  QTest::mouseClick(picture, Qt::LeftButton);
  EXPECT_FALSE(picture->pixmap().isNull());
  EXPECT_TRUE(window.IsChanged());
  QTest::mouseClick(window.findChild<QPushButton*>(u"imgOK"_s), Qt::LeftButton);
  QString type;
  EXPECT_TRUE(TrailerArt(song, type) == bmp);
  EXPECT_EQ(type, u"bmp");
  EXPECT_EQ(prompter_.ShownMessages().size(), 3);  // the second file dialog, no question
}

// An edit of an MP3 reaches the ID3v2 tag other players read: only the fields edited,
// every other frame as it was; the trailer and its picture stay readable.
TEST_F(TrackInfoTest, Mp3EditsReachItsId3v2TagAndKeepEveryOtherFrame) {
  const QString path = AddTaggedMp3(u"song"_s, u"Blue"_s);
  const QByteArray bmp = WritePicture(Path(u"COVER.BMP"_s), "BMP", Qt::red);
  const QStringList before = Id3v2Frames(path);
  ASSERT_TRUE(before.contains(u"TPE1 Band\nGuest"_s)) << before.join(u'|').toStdString();
  ASSERT_TRUE(info_.Load(path));
  info_.Current().record.Title = u"Renamed"_s;
  info_.Current().comment = u"Live"_s;
  ASSERT_TRUE(info_.SetPicture(Path(u"COVER.BMP"_s)));
  ASSERT_EQ(info_.Save(), 0);
  const QStringList after = Id3v2Frames(path);
  EXPECT_TRUE(after.contains(u"TIT2 Renamed"_s)) << after.join(u'|').toStdString();
  EXPECT_TRUE(after.contains(u"COMM Live"_s)) << after.join(u'|').toStdString();
  QStringList kept = FramesBut(after, u"TIT2"_s);
  kept.removeAll(u"COMM Live"_s);
  // The cover, the user text, the full date, "3/12" and both artists as they were.
  EXPECT_EQ(kept, FramesBut(before, u"TIT2"_s));
  EXPECT_EQ(Stored(path).Title, u"Renamed");
  QString type;
  EXPECT_TRUE(TrailerArt(path, type) == bmp);
  EXPECT_EQ(NotStoredTexts(), QStringList());

  // Only what the tag does not hold changes: the file's front is not rewritten.
  const QByteArray front = ReadAll(path).left(4096);
  ASSERT_TRUE(info_.Load(path));
  info_.Current().record.Mood = u"Sad"_s;
  ASSERT_EQ(info_.Save(), 0);
  EXPECT_TRUE(ReadAll(path).left(4096) == front);
}

// This program's own rips carry only the trailer and an ID3v1 tag: the first edit makes
// an ID3v2 tag of the whole record, in front of the audio, and the trailer moves with it.
TEST_F(TrackInfoTest, AnMp3WithoutId3v2GetsOneMadeFromItsRecordOnTheFirstEdit) {
  const QString path = AddSong(u"ripped"_s, u"Rips"_s, {}, u"1984"_s);
  const QByteArray bmp = WritePicture(Path(u"COVER.BMP"_s), "BMP", Qt::red);
  ASSERT_TRUE(info_.Load(path));
  ASSERT_TRUE(info_.SetPicture(Path(u"COVER.BMP"_s)));
  info_.Current().record.Notes = u"Kept"_s;
  ASSERT_EQ(info_.Save(), 0);
  ASSERT_TRUE(Id3v2Frames(path).isEmpty());  // nothing the tag holds was edited
  const qint64 length = QFileInfo(path).size();

  ASSERT_TRUE(info_.Load(path));
  info_.Current().record.TrackNumber = 4;
  ASSERT_EQ(info_.Save(), 0);
  const QStringList frames = Id3v2Frames(path);
  for (const QString& frame : {u"TIT2 ripped"_s, u"TPE1 Artist of ripped"_s, u"TALB Rips"_s,
                               u"TCON Rock"_s, u"TRCK 4"_s, u"TDRC 1984"_s}) {
    EXPECT_TRUE(frames.contains(frame)) << frame.toStdString() << frames.join(u'|').toStdString();
  }
  EXPECT_GT(QFileInfo(path).size(), length);
  const SongRecord stored = Stored(path);
  EXPECT_EQ(stored.Notes, u"Kept");
  EXPECT_EQ(stored.TrackNumber, 4);
  QString type;
  EXPECT_TRUE(TrailerArt(path, type) == bmp);
  EXPECT_EQ(id3_.ID3Title.trimmed(), u"ripped");
  EXPECT_EQ(NotStoredTexts(), QStringList());
}

// The library grid and "apply to album" go the same way.
TEST_F(TrackInfoTest, GridEditsAndApplyToAlbumReachTheId3v2Tags) {
  const QString edited = AddTaggedMp3(u"edited"_s, u"Hits"_s);
  const QString member = AddTaggedMp3(u"member"_s, u"Hits"_s);
  const int row = library_.FindSongByFilename(member);
  library_.SongText(row, 0) = u"From the grid"_s;
  library_.SongText(row, 1) = u"Greatest Hits"_s;
  ASSERT_EQ(writer_.Write(row), 0);
  QStringList frames = Id3v2Frames(member);
  EXPECT_TRUE(frames.contains(u"TIT2 From the grid"_s)) << frames.join(u'|').toStdString();
  EXPECT_TRUE(frames.contains(u"TALB Greatest Hits"_s)) << frames.join(u'|').toStdString();
  EXPECT_TRUE(frames.contains(u"TDRC 2003-05-01"_s)) << frames.join(u'|').toStdString();

  ASSERT_TRUE(info_.Load(edited));
  info_.Current().record.Album = u"Greatest Hits"_s;
  info_.Current().record.Artist = u"Solo"_s;
  info_.Current().year = u"1999"_s;
  ASSERT_EQ(info_.Save(), 0);
  TrackInfo::Boxes boxes{};
  boxes[TrackInfo::kArtist] = true;
  boxes[TrackInfo::kYear] = true;
  ASSERT_EQ(info_.ApplyToAlbum(boxes).size(), 1);
  frames = Id3v2Frames(member);
  EXPECT_TRUE(frames.contains(u"TPE1 Solo"_s)) << frames.join(u'|').toStdString();
  EXPECT_TRUE(frames.contains(u"TDRC 1999"_s)) << frames.join(u'|').toStdString();
  EXPECT_TRUE(frames.contains(u"TIT2 From the grid"_s)) << frames.join(u'|').toStdString();
  EXPECT_TRUE(frames.contains(u"TRCK 3/12"_s)) << frames.join(u'|').toStdString();
  EXPECT_EQ(frames.filter(u"APIC"_s).size(), 1);
  EXPECT_EQ(NotStoredTexts(), QStringList());
}

// The songs of an album that could not be written take one message, not one each.
TEST_F(TrackInfoTest, ApplyToAlbumTellsOnceWhatItCouldNotStore) {
  const QString edited = AddSong(u"edited"_s, u"Junk"_s, {});
  QStringList junk;
  for (const QString& name : {u"one.flac"_s, u"two.flac"_s}) {
    junk.append(Path(name));
    WriteAll(junk.last(), "fLaC and nothing a FLAC file holds");
    SongRecord record;
    record.Title = name;
    record.Album = u"Junk"_s;
    record.Filename = junk.last();
    library_.AddOrReplaceRecord(record);
  }
  ASSERT_TRUE(info_.Load(edited));
  info_.Current().record.Artist = u"New Artist"_s;
  ASSERT_EQ(info_.Save(), 0);
  TrackInfo::Boxes boxes{};
  boxes[TrackInfo::kArtist] = true;
  EXPECT_EQ(info_.ApplyToAlbum(boxes).size(), 2);
  const QStringList told = NotStoredTexts();
  ASSERT_EQ(told.size(), 1);
  EXPECT_TRUE(
      told[0].startsWith(junk.join(u'\n') + u"\nThe tag of this file could not be written"_s))
      << told[0].toStdString();
}

// Saving the lyrics of a FLAC song whose tag has no title writes the lyrics alone: the
// title the reader made from the file's name is no edit, and the careful tagger's fields
// (two artists, a full date, "3/12") stay exactly as they were, the year too when it is
// typed again as it was.
TEST_F(TrackInfoTest, SavingOneFieldOfAFlacSongWritesThatFieldAlone) {
  const QString flac = Path(u"untitled.flac"_s);
  ASSERT_TRUE(WriteSineFlac(flac, 0.3));
  const PropertyValues careful{{u"ARTIST"_s, {u"Artist A"_s, u"Artist B"_s}},
                               {u"DATE"_s, {u"2003-05-01"_s}},
                               {u"TRACKNUMBER"_s, {u"3/12"_s}}};
  ASSERT_TRUE(SetTagProperties(flac, careful));
  ASSERT_TRUE(info_.Load(flac));
  EXPECT_EQ(info_.Current().record.Artist, u"Artist A; Artist B");
  info_.Current().record.Lyrics = u"la la"_s;
  info_.Current().year = u"2003"_s;
  EXPECT_EQ(info_.Save(), 0);
  PropertyValues expected = careful;
  expected.insert(u"LYRICS"_s, {u"la la"_s});
  EXPECT_EQ(ReadTagProperties(flac), expected);
}

}  // namespace
}  // namespace audiolume::test
