#include "platform/StandardTags.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/tpropertymap.h>
#include <taglib/xiphcomment.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "fakes/QtPrinters.h"
#include "fakes/SineFiles.h"
#include "fakes/TaggedFiles.h"
#include "platform/AudioDecoder.h"
#include "platform/Id3v2Writer.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume::test {
namespace {

class StandardTagsTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }

  static QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  static StandardTagValues Values(const QString& title) {
    StandardTagValues values;
    values.title = title;
    values.artist = u"Ana Mo\u00f1iz"_s;
    values.album = u"Second Album"_s;
    values.genre = u"Trip-Hop"_s;
    values.year = 2004;
    values.track = 7;
    return values;
  }

  QStringList FilesIn(const QString& folder) const {
    return QDir(Path(folder)).entryList(QDir::Files | QDir::Hidden | QDir::System);
  }

  QTemporaryDir dir_;
};

struct SongKind {
  QString name;
  bool (*write)(const QString&, double);
};

const SongKind kVorbisCommentKinds[] = {{u"song.flac"_s, WriteSineFlac},
                                        {u"song.ogg"_s, WriteSineOgg},
                                        {u"song.opus"_s, WriteSineOpus}};

TEST_F(StandardTagsTest, ReadsTheTagsOfEachFormatWithTheirFrontCover) {
  const QByteArray png = SmallPng();
  struct Case {
    QString name;
    bool (*write)(const QString&, double);
    int id3v2Version;
  };
  const Case cases[] = {
      {u"v23.mp3"_s, [](const QString& p, double s) { return WriteSineMp3(p, s); }, 3},
      {u"v24.mp3"_s, [](const QString& p, double s) { return WriteSineMp3(p, s); }, 4},
      {u"song.flac"_s, WriteSineFlac, 0},
      {u"song.ogg"_s, WriteSineOgg, 0},
      {u"song.opus"_s, WriteSineOpus, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name.toStdString());
    ASSERT_TRUE(c.write(Path(c.name), 1.0));
    StandardTagValues values = Values(u"Title of "_s + c.name);
    values.picture = png;
    values.pictureMime = u"image/png"_s;
    ASSERT_TRUE(WriteStandardTag(Path(c.name), values, c.id3v2Version));
    const auto tags = platform::ReadStandardTags(Path(c.name), true);
    ASSERT_TRUE(tags.has_value());
    EXPECT_EQ(tags->fields.title, values.title);
    EXPECT_EQ(tags->fields.artist, values.artist);
    EXPECT_EQ(tags->fields.album, u"Second Album");
    EXPECT_EQ(tags->fields.genre, u"Trip-Hop");
    EXPECT_EQ(tags->fields.year, 2004);
    EXPECT_EQ(tags->fields.track, 7);
    EXPECT_EQ(tags->pictureMime, u"image/png");
    EXPECT_EQ(tags->picture, png);
    // Without the picture asked for, none is read.
    EXPECT_TRUE(platform::ReadStandardTags(Path(c.name), false)->picture.isEmpty());
  }
}

TEST_F(StandardTagsTest, AnId3v1TagAloneOrNoTagIsNoStandardTag) {
  ASSERT_TRUE(WriteSineMp3(Path(u"plain.mp3"_s), 1.0));
  EXPECT_FALSE(platform::ReadStandardTags(Path(u"plain.mp3"_s), true).has_value());
  QByteArray id3v1("TAG");
  id3v1.append(QByteArray("Old Title").leftJustified(30, '\0'));
  id3v1.append(QByteArray(125 - 30, '\0'));
  QFile file(Path(u"plain.mp3"_s));
  ASSERT_TRUE(file.open(QIODevice::Append));
  file.write(id3v1);
  file.close();
  EXPECT_FALSE(platform::ReadStandardTags(Path(u"plain.mp3"_s), false).has_value());
  EXPECT_FALSE(platform::ReadStandardTags(Path(u"missing.flac"_s), false).has_value());
  QFile junk(Path(u"junk.flac"_s));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not a flac file at all");
  junk.close();
  EXPECT_FALSE(platform::ReadStandardTags(Path(u"junk.flac"_s), false).has_value());
}

TEST_F(StandardTagsTest, WritingKeepsTheAudioAndLeavesAFileItCannotWriteAlone) {
  ASSERT_TRUE(WriteSineFlac(Path(u"song.flac"_s), 2.0));
  ASSERT_TRUE(WriteStandardTag(Path(u"song.flac"_s), Values(u"Before"_s)));
  const qint64 frames = platform::OpenSongDecoder(Path(u"song.flac"_s))->LengthFrames();
  platform::StandardTagFields fields{
      u"After"_s, u"Other Artist"_s, u"Album"_s, u"Jazz"_s, u"note"_s, 1999, 3, {}};
  ASSERT_TRUE(platform::WriteStandardTags(Path(u"song.flac"_s), fields));
  const auto tags = platform::ReadStandardTags(Path(u"song.flac"_s), false);
  ASSERT_TRUE(tags.has_value());
  EXPECT_EQ(tags->fields.title, u"After");
  EXPECT_EQ(tags->fields.genre, u"Jazz");
  EXPECT_EQ(tags->fields.track, 3);
  EXPECT_EQ(platform::OpenSongDecoder(Path(u"song.flac"_s))->LengthFrames(), frames);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"song.flac"_s});

  // A file TagLib cannot take is left as it was, with no copy beside it.
  const QByteArray junk("fLaC but nothing a FLAC file holds");
  QFile file(Path(u"junk.flac"_s));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(junk);
  file.close();
  EXPECT_FALSE(platform::WriteStandardTags(Path(u"junk.flac"_s), fields));
  EXPECT_TRUE(ReadAll(Path(u"junk.flac"_s)) == junk);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
  if (geteuid() != 0) {  // root writes read-only files
    const QByteArray before = ReadAll(Path(u"song.flac"_s));
    QFile::setPermissions(Path(u"song.flac"_s), QFile::ReadOwner);
    fields.title = u"Refused"_s;
    EXPECT_FALSE(platform::WriteStandardTags(Path(u"song.flac"_s), fields));
    EXPECT_TRUE(ReadAll(Path(u"song.flac"_s)) == before);
  }

  EXPECT_TRUE(platform::TakesTrailingTags(u"/m/a.MP3"_s));
  EXPECT_TRUE(platform::TakesTrailingTags(u"/m/a.wav"_s));
  EXPECT_FALSE(platform::TakesTrailingTags(u"/m/a.flac"_s));
  EXPECT_FALSE(platform::TakesTrailingTags(u"/m/a.opus"_s));
}

// What other players read: a LYRICS comment, the front cover as a FLAC picture block or,
// in Ogg files, as METADATA_BLOCK_PICTURE, in place of the old front cover while other
// pictures stay; a field that does not change keeps its form.
TEST_F(StandardTagsTest, WritesLyricsAndTheFrontCoverAndOnlyTheFieldsThatChange) {
  using Case = SongKind;
  const QByteArray jpeg = [] {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.save(&buffer, "JPG");
    return bytes;
  }();
  for (const Case& c : kVorbisCommentKinds) {
    SCOPED_TRACE(c.name.toStdString());
    const QString path = Path(c.name);
    const QByteArray name = QFile::encodeName(path);
    ASSERT_TRUE(c.write(path, 1.0));
    StandardTagValues values = Values(u"Before"_s);
    values.picture = SmallPng();
    values.pictureMime = u"image/png"_s;
    ASSERT_TRUE(WriteStandardTag(path, values));
    {
      // A full date and a back cover, as a careful tagger leaves them.
      TagLib::FileRef ref(name.constData());
      TagLib::PropertyMap properties = ref.file()->properties();
      properties.replace("DATE", TagLib::StringList("2004-05-01"));
      ref.file()->setProperties(properties);
      auto* back = new TagLib::FLAC::Picture;
      back->setType(TagLib::FLAC::Picture::BackCover);
      back->setMimeType("image/png");
      back->setData(
          TagLib::ByteVector(values.picture.constData(), unsigned(values.picture.size())));
      if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(ref.file())) {
        flac->addPicture(back);
      } else {
        dynamic_cast<TagLib::Ogg::XiphComment*>(ref.tag())->addPicture(back);
      }
      ASSERT_TRUE(ref.save());
    }
    platform::StandardTagFields fields = platform::ReadStandardTags(path, false)->fields;
    EXPECT_TRUE(fields.lyrics.isEmpty());
    fields.title = u"After"_s;
    fields.lyrics = u"la la\nsecond line\n"_s;
    ASSERT_TRUE(platform::WriteStandardTags(path, fields, jpeg, u"image/jpeg"_s));

    const auto tags = platform::ReadStandardTags(path, true);
    ASSERT_TRUE(tags.has_value());
    EXPECT_EQ(tags->fields, fields);
    EXPECT_TRUE(tags->picture == jpeg);
    EXPECT_EQ(tags->pictureMime, u"image/jpeg");
    TagLib::FileRef ref(name.constData());
    const TagLib::PropertyMap properties = ref.file()->properties();
    EXPECT_EQ(properties["DATE"].toString(), "2004-05-01");
    EXPECT_EQ(properties["LYRICS"].toString(), TagLib::String("la la\nsecond line\n"));
    const auto* flac = dynamic_cast<TagLib::FLAC::File*>(ref.file());
    const TagLib::List<TagLib::FLAC::Picture*> pictures =
        flac ? const_cast<TagLib::FLAC::File*>(flac)->pictureList()
             : dynamic_cast<TagLib::Ogg::XiphComment*>(ref.tag())->pictureList();
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0]->type(), TagLib::FLAC::Picture::BackCover);
    EXPECT_EQ(pictures[1]->type(), TagLib::FLAC::Picture::FrontCover);

    fields.lyrics.clear();
    ASSERT_TRUE(platform::WriteStandardTags(path, fields));
    EXPECT_TRUE(platform::ReadStandardTags(path, false)->fields.lyrics.isEmpty());
    EXPECT_TRUE(platform::ReadStandardTags(path, true)->picture == jpeg);
  }
  EXPECT_TRUE(platform::HoldsLyricsAndCover(u"/m/a.FLAC"_s));
  EXPECT_TRUE(platform::HoldsLyricsAndCover(u"/m/a.opus"_s));
  EXPECT_FALSE(platform::HoldsLyricsAndCover(u"/m/a.aiff"_s));
  EXPECT_FALSE(platform::HoldsLyricsAndCover(u"/m/a.mp3"_s));
}

// Downloads and voice messages are often misnamed: an Opus stream named ".ogg", FLAC named
// ".oga", Vorbis named ".opus". Each is read and edited as what it is, and keeps the
// fields that were not edited.
TEST_F(StandardTagsTest, ASongWhoseNameLiesIsReadAndEditedAsItsContentIs) {
  struct Case {
    QString made;
    QString named;
    bool (*write)(const QString&, double);
  };
  const Case cases[] = {{u"a.opus"_s, u"a.ogg"_s, WriteSineOpus},
                        {u"b.flac"_s, u"b.oga"_s, WriteSineFlac},
                        {u"c.ogg"_s, u"c.opus"_s, WriteSineOgg}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.named.toStdString());
    ASSERT_TRUE(c.write(Path(c.made), 1.0));
    ASSERT_TRUE(WriteStandardTag(Path(c.made), Values(u"Before"_s)));
    PropertyValues expected = ReadTagProperties(Path(c.made));
    ASSERT_TRUE(QFile::rename(Path(c.made), Path(c.named)));
    const QString path = Path(c.named);
    EXPECT_TRUE(platform::HoldsLyricsAndCover(path));
    EXPECT_FALSE(platform::TakesTrailingTags(path));
    const auto tags = platform::ReadStandardTags(path, false);
    ASSERT_TRUE(tags.has_value());
    EXPECT_EQ(tags->fields.title, u"Before");
    EXPECT_EQ(tags->fields.year, 2004);

    platform::StandardTagFields fields = tags->fields;
    fields.title = u"After"_s;
    fields.lyrics = u"words"_s;
    ASSERT_TRUE(platform::WriteStandardTags(path, fields));
    EXPECT_EQ(platform::ReadStandardTags(path, false)->fields, fields);
    // TagLib, told the format by the right name, finds the same.
    ASSERT_TRUE(QFile::rename(path, Path(c.made)));
    expected.insert(u"TITLE"_s, {u"After"_s});
    expected.insert(u"LYRICS"_s, {u"words"_s});
    EXPECT_EQ(ReadTagProperties(Path(c.made)), expected);
  }
}

// An MP3 named ".wav" or ".flac" is MPEG audio: its ID3v2 tag is read, it takes the
// trailer, and the writer for tags inside FLAC and Ogg files leaves it alone. A FLAC file
// named ".mp3" takes no ID3v2 tag.
TEST_F(StandardTagsTest, AnMp3WhoseNameLiesIsTreatedAsAnMp3) {
  ASSERT_TRUE(WriteSineMp3(Path(u"made.mp3"_s), 1.0));
  ASSERT_TRUE(WriteStandardTag(Path(u"made.mp3"_s), Values(u"Mp3 Title"_s)));
  for (const QString& name : {u"song.wav"_s, u"song.flac"_s}) {
    SCOPED_TRACE(name.toStdString());
    const QString path = Path(name);
    ASSERT_TRUE(QFile::copy(Path(u"made.mp3"_s), path));
    EXPECT_TRUE(platform::TakesTrailingTags(path));
    EXPECT_FALSE(platform::HoldsLyricsAndCover(path));
    const auto tags = platform::ReadStandardTags(path, false);
    ASSERT_TRUE(tags.has_value());
    EXPECT_EQ(tags->fields.title, u"Mp3 Title");

    platform::StandardTagFields fields = tags->fields;
    fields.title = u"Edited"_s;
    const QByteArray before = ReadAll(path);
    EXPECT_FALSE(platform::WriteStandardTags(path, fields));
    EXPECT_TRUE(ReadAll(path) == before);
    ASSERT_TRUE(platform::WriteId3v2Tag(path, fields));
    EXPECT_EQ(platform::ReadStandardTags(path, false)->fields, fields);
  }

  ASSERT_TRUE(WriteSineFlac(Path(u"flac.mp3"_s), 1.0));
  EXPECT_FALSE(platform::TakesTrailingTags(Path(u"flac.mp3"_s)));
  EXPECT_TRUE(platform::HoldsLyricsAndCover(Path(u"flac.mp3"_s)));
  const QByteArray flac = ReadAll(Path(u"flac.mp3"_s));
  platform::StandardTagFields title;
  title.title = u"Not into FLAC"_s;
  EXPECT_FALSE(platform::WriteId3v2Tag(Path(u"flac.mp3"_s), title));
  EXPECT_TRUE(ReadAll(Path(u"flac.mp3"_s)) == flac);

  // MPEG audio with neither an ID3v2 tag nor an APE tag holds no standard tag, whatever
  // its name; the first bytes of other files do not say so.
  ASSERT_TRUE(WriteSineMp3(Path(u"bare.wav"_s), 1.0));
  EXPECT_FALSE(platform::MayHoldStandardTag(ReadAll(Path(u"bare.wav"_s)).left(3), {}));
  EXPECT_TRUE(platform::MayHoldStandardTag(ReadAll(Path(u"song.wav"_s)).left(3), {}));
  EXPECT_TRUE(platform::MayHoldStandardTag(flac.left(3), {}));
}

// A careful tagger's fields (two artists, a full date, "3/12") outlive an edit of another
// field, read back by TagLib and by mutagen; artists and genres read as "A; B" and are
// written back as separate values.
TEST_F(StandardTagsTest, EditingOneFieldLeavesEveryOtherValueAsItWas) {
  const PropertyValues careful{{u"ARTIST"_s, {u"Artist A"_s, u"Artist B"_s}},
                               {u"GENRE"_s, {u"Jazz"_s, u"Funk"_s}},
                               {u"DATE"_s, {u"2003-05-01"_s}},
                               {u"TRACKNUMBER"_s, {u"3/12"_s}},
                               {u"ALBUMARTIST"_s, {u"Various"_s}}};
  for (const SongKind& kind : kVorbisCommentKinds) {
    SCOPED_TRACE(kind.name.toStdString());
    const QString path = Path(kind.name);
    ASSERT_TRUE(kind.write(path, 1.0));
    ASSERT_TRUE(WriteStandardTag(path, Values(u"Old Title"_s)));
    ASSERT_TRUE(SetTagProperties(path, careful));
    PropertyValues expected = ReadTagProperties(path);
    const auto tags = platform::ReadStandardTags(path, false);
    ASSERT_TRUE(tags.has_value());
    EXPECT_EQ(tags->fields.artist, u"Artist A; Artist B");
    EXPECT_EQ(tags->fields.genre, u"Jazz; Funk");
    EXPECT_EQ(tags->fields.year, 2003);
    EXPECT_EQ(tags->fields.track, 3);
    EXPECT_EQ(tags->albumArtist, u"Various");

    platform::StandardTagFields fields = tags->fields;
    fields.title = u"New Title"_s;
    ASSERT_TRUE(platform::WriteStandardTags(path, fields));
    expected.insert(u"TITLE"_s, {u"New Title"_s});
    EXPECT_EQ(ReadTagProperties(path), expected);
    if (const PropertyValues other = MutagenTagProperties(path); !other.isEmpty()) {
      EXPECT_EQ(other, expected);
    }

    fields.artist = u"Artist A; Artist B;Artist C"_s;
    fields.track = 4;
    ASSERT_TRUE(platform::WriteStandardTags(path, fields));
    expected.insert(u"ARTIST"_s, {u"Artist A"_s, u"Artist B"_s, u"Artist C"_s});
    expected.insert(u"TRACKNUMBER"_s, {u"4/12"_s});
    EXPECT_EQ(ReadTagProperties(path), expected);
    fields.year = 1999;
    fields.genre.clear();
    ASSERT_TRUE(platform::WriteStandardTags(path, fields));
    expected.insert(u"DATE"_s, {u"1999"_s});
    expected.remove(u"GENRE"_s);
    EXPECT_EQ(ReadTagProperties(path), expected);
  }
}

// The same for the ID3v2 tag of an MP3: only the frames of edited fields change, several
// artists in one TPE1 frame stay several, and a version 2.3 tag stays 2.3.
TEST_F(StandardTagsTest, AnId3v2EditReplacesOnlyTheFramesOfEditedFields) {
  for (const int version : {4, 3}) {
    SCOPED_TRACE(version);
    const QString path = Path(u"v%1.mp3"_s.arg(version));
    ASSERT_TRUE(WriteSineMp3(path, 1.0));
    ASSERT_TRUE(WriteStandardTag(path, Values(u"Old Title"_s), version));
    if (version == 4) {
      ASSERT_TRUE(SetTagProperties(path, {{u"ARTIST"_s, {u"Artist A"_s, u"Artist B"_s}},
                                          {u"DATE"_s, {u"2003-05-01"_s}},
                                          {u"TRACKNUMBER"_s, {u"3/12"_s}}}));
    }
    const PropertyValues before = ReadTagProperties(path);
    platform::StandardTagFields fields = platform::ReadStandardTags(path, false)->fields;
    if (version == 4) {
      EXPECT_EQ(fields.artist, u"Artist A; Artist B");
    }
    fields.title = u"New Title"_s;
    ASSERT_TRUE(platform::WriteId3v2Tag(path, fields));
    PropertyValues expected = before;
    expected.insert(u"TITLE"_s, {u"New Title"_s});
    EXPECT_EQ(ReadTagProperties(path), expected);
    EXPECT_EQ(ReadAll(path).at(3), char(version));
    if (version == 4) {
      const PropertyValues other = MutagenTagProperties(path);
      if (!other.isEmpty()) {
        EXPECT_EQ(other[u"TPE1"_s], (QStringList{u"Artist A"_s, u"Artist B"_s}));
        EXPECT_EQ(other[u"TDRC"_s], QStringList{u"2003-05-01"_s});
        EXPECT_EQ(other[u"TRCK"_s], QStringList{u"3/12"_s});
      }
    }
  }
}

// An edit through a symbolic link changes the file the link leads to, which keeps its
// mode; the link stays a link, and no copy is left in either folder.
TEST_F(StandardTagsTest, AnEditThroughASymbolicLinkChangesTheFileItLeadsTo) {
  ASSERT_TRUE(QDir(dir_.path()).mkpath(u"real"_s));
  ASSERT_TRUE(QDir(dir_.path()).mkpath(u"links"_s));
  const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
  const auto write = [](const QString& path, const platform::StandardTagFields& fields) {
    return path.endsWith(u".mp3"_s) ? platform::WriteId3v2Tag(path, fields)
                                    : platform::WriteStandardTags(path, fields);
  };
  for (const SongKind& kind :
       {SongKind{u"song.flac"_s, WriteSineFlac},
        SongKind{u"song.mp3"_s, [](const QString&p, double s) { return WriteSineMp3(p, s); }}}) {
    SCOPED_TRACE(kind.name.toStdString());
    const QString real = Path(u"real/"_s + kind.name);
    const QString link = Path(u"links/"_s + kind.name);
    ASSERT_TRUE(kind.write(real, 1.0));
    ASSERT_TRUE(WriteStandardTag(real, Values(u"Before"_s)));
    ASSERT_TRUE(QFile::setPermissions(real, mode));
    ASSERT_TRUE(QFile::link(real, link));

    platform::StandardTagFields fields = platform::ReadStandardTags(link, false)->fields;
    fields.title = u"Through the link"_s;
    ASSERT_TRUE(write(link, fields));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), real);
    EXPECT_EQ(platform::ReadStandardTags(real, false)->fields.title, u"Through the link");
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(status.st_uid, ::getuid());
  }
  EXPECT_EQ(FilesIn(u"real"_s), (QStringList{u"song.flac"_s, u"song.mp3"_s}));
  EXPECT_EQ(FilesIn(u"links"_s), (QStringList{u"song.flac"_s, u"song.mp3"_s}));
}

}  // namespace
}  // namespace audiolume::test
