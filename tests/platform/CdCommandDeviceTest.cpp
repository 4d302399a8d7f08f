#include "platform/CdCommandDevice.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "fakes/CurrentDirGuard.h"
#include "fakes/DiscImages.h"
#include "fakes/QtPrinters.h"
#include "fakes/StalledPipe.h"
#include "platform/AudioDecoder.h"
#include "platform/CdDevice.h"
#include "platform/CdRipper.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume::platform {
namespace {

using test::ImageTrack;

struct Reply {
  int code;
  QString text;
};

Reply Send(CdCommandDevice& device, const QString& command) {
  Reply reply{0, {}};
  reply.code = device.SendString(command, reply.text);
  return reply;
}

class CdCommandDeviceTest : public ::testing::Test {
 protected:
  QString Image(const QString& name, const QList<ImageTrack>& tracks) {
    return test::WriteCueBin(dir_.path(), name, tracks);
  }
  QString Write(const QString& name, const QByteArray& bytes) {
    QFile file(dir_.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    file.write(bytes);
    return file.fileName();
  }
  QTemporaryDir dir_;
};

TEST_F(CdCommandDeviceTest, AnswersTheTrackTableInMsfAndTmsf) {
  CdCommandDevice mci({{u"D:"_s, Image(u"three"_s, {{3000}, {4500}, {1234}})}});
  ASSERT_EQ(Send(mci, u"open D: type CDAudio alias twplcd"_s).code, 0);
  EXPECT_EQ(Send(mci, u"open D: type CDAudio alias twplcd"_s).code,
            CdCommandDevice::kDuplicateAlias);
  EXPECT_EQ(Send(mci, u"status twplcd number of tracks"_s).text, u"3"_s);
  ASSERT_EQ(Send(mci, u"set twplcd time format tmsf"_s).code, 0);
  const QStringList starts = {u"00:02:00"_s, u"00:42:00"_s, u"01:42:00"_s};
  const QStringList lengths = {u"00:40:00"_s, u"01:00:00"_s, u"00:16:34"_s};
  for (int track = 1; track <= 3; ++track) {
    ASSERT_EQ(Send(mci, QString(u"seek twplcd to %1"_s).arg(track)).code, 0);
    EXPECT_EQ(Send(mci, u"status twplcd position"_s).text,
              QString(u"%1:00:00:00"_s).arg(track, 2, 10, QChar(u'0')));
    Send(mci, u"set twplcd time format msf"_s);
    EXPECT_EQ(Send(mci, u"status twplcd position"_s).text, starts[track - 1]);
    Send(mci, u"set twplcd time format tmsf"_s);
    EXPECT_EQ(Send(mci, QString(u"status twplcd length track %1"_s).arg(track)).text,
              lengths[track - 1]);
  }
  EXPECT_EQ(Send(mci, u"status twplcd length"_s).text, u"01:56:34"_s);
  EXPECT_EQ(Send(mci, u"status twplcd type track 1 wait"_s).text, u"audio"_s);
  EXPECT_EQ(Send(mci, u"seek twplcd to 4"_s).code, CdCommandDevice::kOutOfRange);
  EXPECT_EQ(Send(mci, u"play twplcd"_s).code, CdCommandDevice::kUnrecognizedCommand);
  EXPECT_EQ(Send(mci, u"stop twplcd"_s).code, 0);
  EXPECT_EQ(Send(mci, u"close twplcd"_s).code, 0);
  EXPECT_EQ(Send(mci, u"status twplcd number of tracks"_s).code,
            CdCommandDevice::kInvalidDeviceName);
  EXPECT_EQ(mci.SerialNumber(u"D:"_s), 0x15600u);
}

TEST_F(CdCommandDeviceTest, DataTracksEmptyDrivesAndUnknownDrives) {
  const QString data = Image(u"data"_s, {{1500, false}, {3000}});
  const QString gone = dir_.path() + u"/gone.cue"_s;
  CdCommandDevice mci({{u"D:"_s, data}, {u"E:"_s, gone}});
  ASSERT_EQ(Send(mci, u"open D: type CDAudio alias twplcd"_s).code, 0);
  EXPECT_EQ(Send(mci, u"status twplcd number of tracks"_s).text, u"2"_s);
  EXPECT_EQ(Send(mci, u"status twplcd type track 1 wait"_s).text, u"other"_s);
  EXPECT_EQ(Send(mci, u"status twplcd type track 2"_s).text, u"audio"_s);
  Send(mci, u"close twplcd"_s);
  // A drive with no disc opens; asking it for its tracks is the hardware error.
  ASSERT_EQ(Send(mci, u"open E: type CDAudio alias twplcd"_s).code, 0);
  EXPECT_EQ(Send(mci, u"status twplcd number of tracks"_s).code, CdCommandDevice::kHardware);
  // The disc goes in while the drive is open.
  test::WriteCueBin(dir_.path(), u"gone"_s, {{750}});
  EXPECT_EQ(Send(mci, u"status twplcd number of tracks"_s).text, u"1"_s);
  QFile::remove(gone);
  EXPECT_EQ(Send(mci, u"status twplcd number of tracks"_s).code, CdCommandDevice::kHardware);
  Send(mci, u"close twplcd"_s);
  EXPECT_EQ(Send(mci, u"open F: type CDAudio alias twplcd"_s).code,
            CdCommandDevice::kInvalidDeviceName);
  EXPECT_FALSE(CdCommandDevice::ErrorString(CdCommandDevice::kMustUseShareable).isEmpty());
  // Two tracks: the serial also counts the frame field of the first start (0 at 00:02:00,
  // not its 150 frames) and the disc's length.
  EXPECT_EQ(mci.SerialNumber(u"D:"_s), 0x200u + 0x1600u + 0u + 4500u);
}

TEST_F(CdCommandDeviceTest, AnImageWhoseDataIsNoRegularFileIsRefusedWithoutWaiting) {
  const QString cue = Image(u"fifo"_s, {{750}, {750}, {750}});
  const QString bin = dir_.path() + u"/fifo.bin"_s;
  ASSERT_TRUE(QFile::remove(bin));
  test::StalledPipe pipe(bin, 3000);
  ASSERT_TRUE(pipe.Made());
  QElapsedTimer clock;
  clock.start();
  CdCommandDevice mci({{u"D:"_s, cue}});
  ASSERT_EQ(Send(mci, u"open D: type CDAudio alias twplcd"_s).code, 0);
  // Opening the FIFO would wait for its writer.
  const Reply reply = Send(mci, u"status twplcd number of tracks"_s);
  EXPECT_EQ(reply.code, CdCommandDevice::kInvalidFile);
  EXPECT_TRUE(reply.text.contains(u"fifo.bin, which is not a regular file"_s))
      << reply.text.toStdString();
  EXPECT_EQ(mci.SerialNumber(u"D:"_s), 0u);
  EXPECT_THROW(OpenCdTrackDecoder(CdTrackPath(cue, 1)), DecodeError);
  EXPECT_LT(clock.elapsed(), 1500);
}

TEST_F(CdCommandDeviceTest, TheRipperWaitsOnNoFifoInsteadOfAnImageOrASong) {
  const QString cue = Image(u"rip"_s, {{300}, {300}});
  const QString stalledCue = Image(u"stalled"_s, {{300}});
  ASSERT_TRUE(QFile::remove(dir_.path() + u"/stalled.bin"_s));
  test::StalledPipe data(dir_.path() + u"/stalled.bin"_s, 2000);
  test::StalledPipe wav(dir_.path() + u"/song.wav.part"_s, 2000);
  test::StalledPipe mp3(dir_.path() + u"/song.mp3.part"_s, 2000);
  ASSERT_TRUE(data.Made() && wav.Made() && mp3.Made());
  QElapsedTimer clock;
  clock.start();
  RipProgress result;
  RipRequest request;
  request.device = stalledCue;
  request.format = RipRequest::Format::Wav;
  request.output = dir_.path() + u"/song.wav"_s;
  EXPECT_EQ(CdRipper::Rip(request, {}, result), CdRipper::kNoDisc);
  request.device = cue;
  EXPECT_EQ(CdRipper::Rip(request, {}, result), CdRipper::kWriteFailed);
  request.format = RipRequest::Format::Mp3;
  request.output = dir_.path() + u"/song.mp3"_s;
  EXPECT_EQ(CdRipper::Rip(request, {}, result), CdRipper::kWriteFailed);
  EXPECT_LT(clock.elapsed(), 1500);
}

TEST_F(CdCommandDeviceTest, DamagedNeroImagesAreRefusedWithTheirReason) {
  const QList<ImageTrack> tracks = {{750}, {300}};
  const QString good = Write(u"good.nrg"_s, test::NrgImage(tracks));
  QByteArray pastEnd = test::NrgImage(tracks);
  pastEnd.replace(pastEnd.size() - 8, 8, QByteArray("\0\0\0\0\x7F\0\0\0", 8));
  // A kilobyte made by hand: a track list far longer than the file.
  const QByteArray handMade = QByteArray(1000, '\0') + QByteArray("ETN2\xFF\xFF\xFF\xF0", 8) +
                              QByteArray(8, '\0') + QByteArray("NER5\0\0\0\0\0\0\x03\xE8", 12);
  const QList<std::pair<QByteArray, QString>> damaged = {
      {handMade, u"a chunk runs past the end of the file"_s},
      {pastEnd, u"its footer points outside the file"_s},
      // libcdio reads before its buffer for an empty cue chunk, and writes past its track
      // table for more than 99 tracks.
      {test::NrgImage(tracks, QByteArray("CUES\0\0\0\0", 8)), u"its cue chunk is cut short"_s},
      {test::NrgImage(QList<ImageTrack>(120, ImageTrack{1})), u"it lists more than 99 tracks"_s},
      {test::NrgImage({}), u"it lists no tracks"_s},
      {test::NrgImage(tracks, QByteArray("SINF\0\0\0\0", 8)), u"its SINF chunk"_s},
      {QByteArray(4096, 'x'), u"it does not end with a Nero footer"_s},
  };
  for (const auto& [bytes, reason] : damaged) {
    const QString image = Write(u"damaged.nrg"_s, bytes);
    CdCommandDevice mci({{u"D:"_s, good}, {u"E:"_s, image}});
    ASSERT_EQ(Send(mci, u"open E: type CDAudio alias twplcd"_s).code, 0);
    const Reply reply = Send(mci, u"status twplcd number of tracks"_s);
    EXPECT_EQ(reply.code, CdCommandDevice::kInvalidFile) << reason.toStdString();
    EXPECT_TRUE(reply.text.contains(u"damaged.nrg cannot be read: "_s + reason))
        << reply.text.toStdString();
    EXPECT_EQ(mci.SerialNumber(u"E:"_s), 0u);
    EXPECT_THROW(OpenCdTrackDecoder(CdTrackPath(image, 1)), DecodeError);
  }
  // A sound image reads as ever.
  CdCommandDevice mci({{u"D:"_s, good}});
  ASSERT_EQ(Send(mci, u"open D: type CDAudio alias twplcd"_s).code, 0);
  EXPECT_EQ(Send(mci, u"status twplcd number of tracks"_s).text, u"2"_s);
  const auto decoder = OpenCdTrackDecoder(CdTrackPath(good, 2));
  QByteArray audio(300 * 2352, '\0');
  EXPECT_EQ(decoder->Read(reinterpret_cast<qint16*>(audio.data()), 300 * 588), 300 * 588);
  EXPECT_TRUE(audio == test::AudioOfTrack(tracks, 2));
}

TEST_F(CdCommandDeviceTest, ATocNamingItsFileRelativelyOpensFromAnyFolder) {
  const QList<ImageTrack> tracks = {{1500, false}, {300}, {200}};
  const QString toc = test::WriteToc(dir_.path(), u"relative"_s, tracks);
  QTemporaryDir elsewhere;
  test::CurrentDirGuard guard;
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  CdCommandDevice mci({{u"D:"_s, toc}});
  ASSERT_EQ(Send(mci, u"open D: type CDAudio alias twplcd"_s).code, 0);
  EXPECT_EQ(Send(mci, u"status twplcd number of tracks"_s).text, u"3"_s);
  EXPECT_EQ(Send(mci, u"status twplcd length track 2"_s).text, u"00:04:00"_s);
  const auto decoder = OpenCdTrackDecoder(CdTrackPath(toc, 2));
  QByteArray audio(300 * 2352, '\0');
  EXPECT_EQ(decoder->Read(reinterpret_cast<qint16*>(audio.data()), 300 * 588), 300 * 588);
  EXPECT_TRUE(audio == test::AudioOfTrack(tracks, 2));

  // libcdio's track table holds 99 tracks, and a TOC names a track before its code.
  const QString many = test::WriteToc(dir_.path(), u"many"_s, QList<ImageTrack>(120, {75}));
  CdCommandDevice tooMany({{u"D:"_s, many}});
  Send(tooMany, u"open D: type CDAudio alias twplcd"_s);
  EXPECT_TRUE(Send(tooMany, u"status twplcd number of tracks"_s)
                  .text.contains(u"it lists more than 99 tracks"_s));
  const QString isrc = Write(u"isrc.toc"_s, "CD_DA\nISRC \"ABCDE1234567\"\nTRACK AUDIO\n");
  CdCommandDevice early({{u"D:"_s, isrc}});
  Send(early, u"open D: type CDAudio alias twplcd"_s);
  EXPECT_TRUE(Send(early, u"status twplcd number of tracks"_s)
                  .text.contains(u"ISRC comes before the first track"_s));
}

TEST_F(CdCommandDeviceTest, TracksDecodeSampleForSampleAndSeek) {
  const QList<ImageTrack> tracks = {{1500, false}, {300}, {200}};
  const QString cue = Image(u"rip"_s, tracks);
  const auto decoder = OpenCdTrackDecoder(CdTrackPath(cue, 2));
  ASSERT_EQ(decoder->LengthFrames(), 300 * 588);
  QByteArray audio(300 * 2352, '\0');
  EXPECT_EQ(decoder->Read(reinterpret_cast<qint16*>(audio.data()), 300 * 588 + 10), 300 * 588);
  EXPECT_TRUE(audio == test::AudioOfTrack(tracks, 2));
  decoder->Seek(1000);
  qint16 frame[2] = {};
  ASSERT_EQ(decoder->Read(frame, 1), 1);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(frame), 4),
            test::AudioOfTrack(tracks, 2).mid(4000, 4));
  EXPECT_THROW(OpenCdTrackDecoder(CdTrackPath(cue, 1)), DecodeError);  // a data track
  EXPECT_THROW(OpenCdTrackDecoder(CdTrackPath(dir_.path() + u"/none.cue"_s, 1)), DecodeError);
}

TEST(AudioCdSerialTest, PacksEachStartAsMinutesSecondsFrames) {
  CdToc toc;
  toc.tracks = {{1, 150}, {2, 59 * 4500 + 59 * 75 + 38}, {3, 60 * 4500 + 74}};
  toc.leadout = 70 * 4500;
  EXPECT_EQ(AudioCdSerial(toc), 0x000200u + 0x3B3B26u + 0x3C004Au);
  EXPECT_EQ(toc.TrackLength(3), 70 * 4500 - (60 * 4500 + 74));
  toc.tracks = {{1, 2 * 75 + 33}};
  EXPECT_EQ(AudioCdSerial(toc), 0x000221u + 33u + quint32(70 * 4500 - 183));
}

}  // namespace
}  // namespace audiolume::platform
