#include "platform/CdCommandDevice.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "fakes/DiscImages.h"
#include "fakes/QtPrinters.h"
#include "platform/AudioDecoder.h"
#include "platform/CdDevice.h"

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

TEST_F(CdCommandDeviceTest, AnImageWhoseDataIsNoRegularFileIsNoDisc) {
  const QString cue = Image(u"fifo"_s, {{750}, {750}, {750}});
  const QString bin = dir_.path() + u"/fifo.bin"_s;
  ASSERT_TRUE(QFile::remove(bin));
  ASSERT_EQ(::mkfifo(QFile::encodeName(bin).constData(), 0600), 0);
  CdCommandDevice mci({{u"D:"_s, cue}});
  ASSERT_EQ(Send(mci, u"open D: type CDAudio alias twplcd"_s).code, 0);
  // Opening the FIFO would wait for a writer for ever.
  EXPECT_EQ(Send(mci, u"status twplcd number of tracks"_s).code, CdCommandDevice::kHardware);
  EXPECT_EQ(mci.SerialNumber(u"D:"_s), 0u);
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
