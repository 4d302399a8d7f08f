#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageReader>

#include "fakes/SineFiles.h"
#include "fakes/TaggedFiles.h"
#include "fakes/TestFiles.h"
#include "platform/StandardTags.h"
#include "recorder/AlbumCover.h"
#include "recorder/RecorderFixture.h"

namespace audiolume::test {
namespace {

QByteArray ImageFormat(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  return QImageReader::imageFormat(&buffer);
}

class AlbumCoverTest : public RecorderFixture {
 protected:
  AlbumCoverTest() { QDir().mkpath(Path(u"Album"_s)); }

  AlbumCover cover_{trailer_, catalog_, prompter_};
};

TEST_F(AlbumCoverTest, EverySongGetsTheCoverAndTheFolderAJpegOfIt) {
  const QString mp3 = Path(u"Album/01_One.mp3"_s);
  const QString flac = Path(u"Album/02_Two.flac"_s);
  const QString wav = Path(u"Album/03_Three.wav"_s);
  ASSERT_TRUE(WriteSineMp3(mp3, 0.5));
  ASSERT_TRUE(WriteSineFlac(flac, 0.5));
  ASSERT_TRUE(WriteStandardTag(flac, {u"Two"_s, u"Band"_s, u"Album"_s}));
  ASSERT_TRUE(WriteSineWav(wav, 0.5));
  for (const QString& song : {mp3, flac, wav}) {
    EXPECT_EQ(cover_.Store(song, SmallPng()), QString()) << song.toStdString();
  }
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());

  // The trailer keeps JPEG; the FLAC file's own tag keeps the picture as it came, and
  // what it held stays.
  SongRecord record;
  QString type;
  const QByteArray inMp3 = trailer_.ReadSongTagsWithArt(mp3, record, type);
  EXPECT_EQ(type, u"jpg"_s);
  EXPECT_EQ(ImageFormat(inMp3), "jpeg");
  const auto tag = platform::ReadStandardTags(flac, true);
  ASSERT_TRUE(tag.has_value());
  EXPECT_TRUE(tag->picture == SmallPng());
  EXPECT_EQ(tag->pictureMime, u"image/png"_s);
  EXPECT_EQ(tag->fields.title, u"Two"_s);
  EXPECT_EQ(tag->fields.artist, u"Band"_s);
  EXPECT_EQ(ImageFormat(ReadAll(Path(u"Album/folder.jpg"_s))), "jpeg");
}

TEST_F(AlbumCoverTest, AFolderJpgOfTheUsersIsReplacedOnlyWhenTheySaySo) {
  const QString song = Path(u"Album/01_One.wav"_s);
  ASSERT_TRUE(WriteSineWav(song, 0.5));
  const QString folderJpg = Path(u"Album/folder.jpg"_s);
  WriteAll(folderJpg, "the user's own picture");
  prompter_.QueueAnswer(2);  // No
  EXPECT_EQ(cover_.Store(song, SmallPng()), QString());
  ASSERT_EQ(prompter_.ShownMessages().size(), 1);
  EXPECT_TRUE(prompter_.ShownMessages()[0].text.startsWith(folderJpg));
  EXPECT_EQ(ReadAll(folderJpg), QByteArray("the user's own picture"));
  cover_.Store(song, SmallPng());
  EXPECT_EQ(prompter_.ShownMessages().size(), 1) << "one question a folder and recording";

  cover_.Reset();
  prompter_.QueueAnswer(1);  // Yes
  cover_.Store(song, SmallPng());
  EXPECT_EQ(prompter_.ShownMessages().size(), 2);
  const QByteArray written = ReadAll(folderJpg);
  EXPECT_EQ(ImageFormat(written), "jpeg");

  // The same picture again changes nothing and asks nothing.
  cover_.Reset();
  cover_.Store(song, SmallPng());
  EXPECT_EQ(prompter_.ShownMessages().size(), 2);
  EXPECT_EQ(ReadAll(folderJpg), written);
}

TEST_F(AlbumCoverTest, WhatIsNoPictureIsPutNowhere) {
  const QString song = Path(u"Album/01_One.mp3"_s);
  ASSERT_TRUE(WriteSineMp3(song, 0.5));
  EXPECT_EQ(cover_.Store(song, "<html>no picture</html>"), QString());
  EXPECT_FALSE(QFileInfo::exists(Path(u"Album/folder.jpg"_s)));
  SongRecord record;
  QString type;
  EXPECT_TRUE(trailer_.ReadSongTagsWithArt(song, record, type).isEmpty());
}

}  // namespace
}  // namespace audiolume::test
