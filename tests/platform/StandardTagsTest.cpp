#include "platform/StandardTags.h"

#include <gtest/gtest.h>
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

  QTemporaryDir dir_;
};

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
  struct Case {
    QString name;
    bool (*write)(const QString&, double);
  };
  const QByteArray jpeg = [] {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.save(&buffer, "JPG");
    return bytes;
  }();
  for (const Case& c : {Case{u"song.flac"_s, WriteSineFlac}, Case{u"song.ogg"_s, WriteSineOgg},
                        Case{u"song.opus"_s, WriteSineOpus}}) {
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

}  // namespace
}  // namespace audiolume::test
