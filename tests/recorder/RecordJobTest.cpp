#include <sndfile.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/xiphcomment.h>

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cstring>

#include "fakes/AccurateRipEntries.h"
#include "fakes/FakeHttpServer.h"
#include "fakes/SineFiles.h"
#include "fakes/TestFiles.h"
#include "platform/AudioCapture.h"
#include "platform/FileConverter.h"
#include "platform/StandardTags.h"
#include "recorder/AccurateRip.h"
#include "recorder/CdDisc.h"
#include "recorder/RecordJob.h"
#include "recorder/RecordList.h"
#include "recorder/RecorderFixture.h"
#include "support/IniSettings.h"
#include "support/ReplaceQuestion.h"

namespace audiolume::test {
namespace {

using Mark = RecordJob::Mark;

// The rip log's sums of 16-bit stereo audio, worked out plainly: CRC-32 (bit by bit), and
// AccurateRip v1 and v2 over the frames from 1 that count (a last track leaves out its
// last five sectors).
struct Sums {
  quint32 crc = 0;
  quint32 v1 = 0;
  quint32 v2 = 0;
  int peak = 0;
};
Sums SumsOf(const QByteArray& audio, bool lastTrack) {
  Sums sums;
  quint32 crc = 0xFFFFFFFFu;
  for (const char byte : audio) {
    crc ^= quint8(byte);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  sums.crc = ~crc;
  const qint64 frames = audio.size() / 4;
  const qint64 counted = frames - (lastTrack ? 5 * 588 : 0);
  for (qint64 frame = 0; frame < frames; ++frame) {
    quint32 sample = 0;
    std::memcpy(&sample, audio.constData() + frame * 4, 4);
    for (const qint16 half : {qint16(sample & 0xFFFF), qint16(sample >> 16)}) {
      sums.peak = std::max(sums.peak, std::abs(int(half)));
    }
    if (frame >= counted) continue;
    const quint64 position = quint64(frame + 1);
    sums.v1 += quint32(position * sample);
    const quint64 product = position * sample;
    sums.v2 += quint32(product) + quint32(product >> 32);
  }
  return sums;
}

QString Hex(quint32 value) {
  return QString::number(value, 16).toUpper().rightJustified(8, u'0');
}

/** A capture that records the track in a few polls and writes a small file. */
class FakeCapture : public platform::AudioCapture {
 public:
  explicit FakeCapture(int code) : code_(code) {}
  void _a2d_SetRecSource(const QString&) override {}
  void _a2d_SetSPDIFVolume(int) override {}
  void _a2d_SetInt(const QString&, int) override {}
  void _a2d_SetString(const QString& name, const QString& value) override {
    if (name == u"/f") file_ = value;
    if (name == u"/format") flac_ = value == u"FLAC";
  }
  int _a2d_Start() override {
    if (flac_) return WriteSineFlac(file_, 1.0) ? 0 : 2;
    WriteAll(file_, "captured");
    return 0;
  }
  int _a2d_GetProgress() override { return progress_ >= 100 ? -1 : progress_ += 50; }
  void _a2d_Stop() override {}
  int _a2d_CloseWithReturnCode() override { return code_; }

 private:
  int code_;
  int progress_ = 0;
  QString file_;
  bool flac_ = false;  // asked for FLAC rather than MP3 or WAV
};

// Shell lines of a ripper that writes its log and the song file it was given.
const QString kRipsTheSong =
    u"printf '[TWCD]\\nDONE=ok\\nPERCENT=100\\nCRC32=1234ABCD\\nAVERAGE_SPEED=7.5\\n' > "
    u"TWCD.log\nprintf song > \"$(sed -n 's/^FILENAME=//p' TWCD.ini)\"\n"_s;

class RecordJobTest : public RecorderFixture {
 protected:
  RecordJobTest() {
    settings_.NewSongPath = Path(u"Music"_s);
    WriteAll(Path(u"TWCD.ini"_s), "[DRIVE_1]\nCONFIG_OK=YES\n");
    QFile::copy(QString::fromUtf8(SHIPPED_DIR) + u"/Rec_err.txt"_s, Path(u"Rec_err.txt"_s));
  }

  /** A script standing in for the ripper: writes the log as told, then exits. */
  QString FakeRipper(const QString& percent, const QString& done, int code) {
    const QString script = Path(u"fake-ripper.sh"_s);
    WriteAll(script, (u"#!/bin/sh\nprintf '[TWCD]\\nDONE=%1\\nPERCENT=%2\\nJITTER_ERRORS=4\\n' > "
                      u"TWCD.log\nexit %3\n"_s.arg(done, percent)
                          .arg(code))
                         .toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script;
  }

  /** The job over ripper; a capture answering captureCode when that is 0 or more. */
  RecordJob& Job(const QString& ripper, int captureCode = -1) {
    RecordJob::Context context{library_,
                               trailer_,
                               catalog_,
                               prompter_,
                               Path(u"VeltoDj.ini"_s),
                               dir_.path(),
                               ripper,
                               [this](const QString& text) { failures_.append(text); },
                               {}};
    context.ripperTimeOutMs = ripperTimeOutMs_;
    context.accurateRipTimeLimitMs = accurateRipTimeLimitMs_;
    if (captureCode >= 0) {
      context.makeCapture = [captureCode]() -> std::unique_ptr<platform::AudioCapture> {
        return std::make_unique<FakeCapture>(captureCode);
      };
    }
    job_ = std::make_unique<RecordJob>(std::move(context));
    QObject::connect(job_.get(), &RecordJob::TrackFinished,
                     [this](int track, int code, const QString&) {
                       codes_.append({track, code});
                     });
    QObject::connect(job_.get(), &RecordJob::TrackMarked,
                     [this](int track, Mark mark) { marks_[track] = mark; });
    QObject::connect(job_.get(), &RecordJob::TrackVerified,
                     [this](int track, const AccurateRip::Verdict& verdict) {
                       verified_[track] = verdict.LogLine();
                     });
    return *job_;
  }

  QList<RecordJob::Track> Tracks(const QList<int>& numbers, int seconds = 2) {
    QList<RecordJob::Track> tracks;
    for (const int number : numbers) {
      const QString path = RecordList::OutputFolder(settings_, u"Band"_s, u"Album"_s, true) + u'/' +
                           QString::number(number).rightJustified(2, u'0') + settings_.Extension();
      tracks.append({{number, u"Song %1"_s.arg(number), u"Band"_s, u"Album"_s, path, {}, {}},
                     seconds,
                     u"0:02"_s});
    }
    return tracks;
  }

  /** Runs the job's ticks until it ends, letting the ripper work between them. */
  void RunToTheEnd(RecordJob& job) {
    job.Timer().stop();
    for (int i = 0; i < 400 && job.IsRecording(); ++i) {
      job.timerRecord_Timer();
      QTest::qWait(10);
    }
    ASSERT_FALSE(job.IsRecording());
  }

  /** The disc as a CDDB entry describes it, year and genre included: "Song N" by Band on
   *  Album, its tracks of these lengths in seconds. */
  static CdDisc DescribedDisc(const QList<int>& seconds) {
    CdDisc disc;
    disc.artist = u"Band"_s;
    disc.album = u"Album"_s;
    disc.year = u"1999"_s;
    disc.genre = u"Trip-Hop"_s;
    for (qsizetype i = 0; i < seconds.size(); ++i) {
      disc.titles.append(u"Song %1"_s.arg(i + 1));
      disc.tracks.append({0, seconds[i]});
    }
    return disc;
  }

  /** Records the ticked tracks of disc, named as the settings say, with the ripper;
   *  what was recorded. */
  QList<RecordItem> RecordWithTwcd(const CdDisc& disc, QList<bool> ticked) {
    ReplaceQuestion replace(catalog_, prompter_);
    const QList<RecordItem> items = RecordList::BuildRecordList(settings_, disc, ticked, replace);
    RecordJob& job = Job(QString::fromUtf8(TWCD_PATH));
    job.Start(settings_, RecordJob::TracksOf(items, disc), 0, u"D:"_s);
    RunToTheEnd(job);
    qunsetenv("AUDIOLUME_CD_DRIVES");
    return items;
  }

  /** A script standing in for the ripper, of these shell lines. */
  QString Script(const QString& name, const QString& lines) {
    const QString script = Path(name);
    WriteAll(script, (u"#!/bin/sh\n"_s + lines).toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script;
  }

  RecordSettings settings_;
  qint64 ripperTimeOutMs_ = 60000;
  int accurateRipTimeLimitMs_ = 5000;
  std::unique_ptr<RecordJob> job_;
  QList<std::pair<int, int>> codes_;
  QMap<int, Mark> marks_;
  QMap<int, QString> verified_;  // the AccurateRip verdicts, as the rip log words them
  QStringList failures_;
};

TEST_F(RecordJobTest, RipsAWavEqualToTheDiscAndAddsItThroughTheImportFile) {
  const QList<ImageTrack> tracks = {{150}, {150}};
  const QString cue = Image(u"disc"_s, tracks);
  qputenv("AUDIOLUME_CD_DRIVES", (u"D="_s + cue).toUtf8());
  settings_.RF = 1;
  settings_.EC = 1;
  RecordJob& job = Job(QString::fromUtf8(TWCD_PATH));
  job.Start(settings_, Tracks({2}), 0, u"D:"_s);
  RunToTheEnd(job);
  qunsetenv("AUDIOLUME_CD_DRIVES");
  ASSERT_EQ(codes_, (QList<std::pair<int, int>>{{2, 0}})) << failures_.join(u'\n').toStdString();
  EXPECT_EQ(marks_[2], Mark::Done);
  const QString song = Path(u"Music/Album/02.wav"_s);
  SF_INFO info{};
  SNDFILE* wav = sf_open(song.toUtf8().constData(), SFM_READ, &info);
  ASSERT_NE(wav, nullptr);
  QByteArray samples(int(info.frames) * 4, '\0');
  sf_readf_short(wav, reinterpret_cast<short*>(samples.data()), info.frames);
  sf_close(wav);
  EXPECT_TRUE(samples == AudioOfTrack(tracks, 2)) << "sample for sample";
  // The rip log's sums are those of the audio, the last track's last sectors left out.
  const Sums sums = SumsOf(AudioOfTrack(tracks, 2), true);
  const QString ripLog = QString::fromUtf8(ReadAll(Path(u"Music/Album/rip.log"_s)));
  EXPECT_TRUE(ripLog.contains(u"CRC32 of the audio: "_s + Hex(sums.crc))) << ripLog.toStdString();
  EXPECT_TRUE(ripLog.contains(u"AccurateRip v1: "_s + Hex(sums.v1) + u"   v2: "_s + Hex(sums.v2)))
      << ripLog.toStdString();
  EXPECT_TRUE(
      ripLog.contains(u"Peak level: "_s + QString::number(sums.peak * 100 / 32768.0, 'f', 1)))
      << ripLog.toStdString();
  // The library was empty: the song waits in the import file.
  EXPECT_TRUE(ReadAll(Path(u"VeltoDj.dat"_s))
                  .contains("Song 2\xFF"
                            "Album\xFF"
                            "Band\xFF"));
  EXPECT_TRUE(ReadAll(Path(u"Record.log"_s)).contains(", Tk= 2 , 02.wav, RecordTime="));
  // Log lines begin with the date as month, day and year.
  EXPECT_TRUE(ReadAll(Path(u"Record.log"_s))
                  .startsWith(QDate::currentDate().toString(u"MM-dd-yyyy"_s).toUtf8() + ", "));
  EXPECT_TRUE(ReadIniString(Path(u"VeltoDj.ini"_s), u"Record"_s, u"CMD"_s)
                  .endsWith(u"/T 2 /O /format WAV"_s));
  EXPECT_TRUE(ripLog.contains(u"\nRead offset: 0 samples\n"_s)) << ripLog.toStdString();
}

TEST_F(RecordJobTest, RipsAFlacOfTheDiscsAudioWithVorbisCommentsAndNoTrailer) {
  const QList<ImageTrack> tracks = {{150}, {300, true, true}};
  qputenv("AUDIOLUME_CD_DRIVES", (u"D="_s + Image(u"disc"_s, tracks)).toUtf8());
  settings_.RF = RecordSettings::kFlac;
  settings_.EC = 1;
  CdDisc disc = DescribedDisc({2, 4});
  disc.artist = u"Bänd"_s;
  RecordWithTwcd(disc, {true, true});
  ASSERT_EQ(codes_, (QList<std::pair<int, int>>{{1, 0}, {2, 0}}))
      << failures_.join(u'\n').toStdString();
  const QString ripLog = QString::fromUtf8(ReadAll(Path(u"Music/Album/rip.log"_s)));
  EXPECT_TRUE(ripLog.contains(u"Format: FLAC"_s)) << ripLog.toStdString();
  // The rip log's sums are those of the audio, as for a WAV rip.
  const Sums sums = SumsOf(AudioOfTrack(tracks, 2), true);
  EXPECT_TRUE(ripLog.contains(u"CRC32 of the audio: "_s + Hex(sums.crc)));
  EXPECT_TRUE(ripLog.contains(u"AccurateRip v1: "_s + Hex(sums.v1) + u"   v2: "_s + Hex(sums.v2)))
      << ripLog.toStdString();
  for (const int number : {1, 2}) {
    const QString song =
        Path(u"Music/Album/%1_Song %2.flac"_s.arg(number, 2, 10, QChar(u'0')).arg(number));
    EXPECT_TRUE(DecodedAudio(song) == AudioOfTrack(tracks, number)) << number;
    TagLib::FLAC::File flac(QFile::encodeName(song).constData());
    ASSERT_TRUE(flac.isValid() && flac.hasXiphComment()) << number;
    EXPECT_FALSE(flac.hasID3v1Tag() || flac.hasID3v2Tag());
    const TagLib::Ogg::XiphComment* comments = flac.xiphComment();
    EXPECT_EQ(comments->title().to8Bit(true), u"Song %1"_s.arg(number).toStdString());
    EXPECT_EQ(comments->artist().to8Bit(true), "Bänd");
    EXPECT_EQ(comments->album().to8Bit(true), "Album");
    EXPECT_EQ(comments->track(), unsigned(number));
    EXPECT_EQ(comments->year(), 1999u);
    EXPECT_EQ(comments->genre().to8Bit(true), "Trip-Hop");
    // The jukebox keeps its own tag out of FLAC files.
    EXPECT_FALSE(ReadAll(song).contains(TrailerTag::kMaker.toUtf8()));
  }
}

TEST_F(RecordJobTest, TheRipHonoursTheDrivesReadOffsetAndTheRipLogSaysWhichWasUsed) {
  const QList<ImageTrack> tracks = {{150, true, true}, {150, true, true}};
  qputenv("AUDIOLUME_CD_DRIVES", (u"D="_s + Image(u"disc"_s, tracks)).toUtf8());
  settings_.RF = RecordSettings::kWav;
  settings_.EC = 1;
  settings_.TrackOffset = u"+667"_s;
  RecordJob& job = Job(QString::fromUtf8(TWCD_PATH));
  job.Start(settings_, Tracks({1, 2}), 0, u"D:"_s);
  RunToTheEnd(job);
  qunsetenv("AUDIOLUME_CD_DRIVES");
  ASSERT_EQ(codes_, (QList<std::pair<int, int>>{{1, 0}, {2, 0}}))
      << failures_.join(u'\n').toStdString();
  // The drive delivers 667 samples late: each track is read that much later, the last
  // one running past the disc's end into silence.
  for (const int number : {1, 2}) {
    const QByteArray expected = AudioOfTrackShifted(tracks, number, 667);
    EXPECT_TRUE(DecodedAudio(Path(u"Music/Album/0%1.wav"_s.arg(number))) == expected) << number;
  }
  const QString ripLog = QString::fromUtf8(ReadAll(Path(u"Music/Album/rip.log"_s)));
  EXPECT_TRUE(ripLog.contains(u"\nRead offset: 667 samples\n"_s)) << ripLog.toStdString();
  const Sums sums = SumsOf(AudioOfTrackShifted(tracks, 2, 667), true);
  EXPECT_TRUE(ripLog.contains(u"AccurateRip v1: "_s + Hex(sums.v1) + u"   v2: "_s + Hex(sums.v2)))
      << ripLog.toStdString();
}

TEST_F(RecordJobTest, TheDrivesReadingSettingsReachTheRipper) {
  const QString cue = Image(u"disc"_s, {{150}});
  qputenv("AUDIOLUME_CD_DRIVES", (u"D="_s + cue).toUtf8());
  // As the advanced options write them.
  WriteAll(Path(u"TWCD.ini"_s),
           "[DRIVE_1]\nCONFIG_OK=YES\nSPEED=8\nMULTIPASS=NO\nBLOCK=10\nOVERLAP=5\n"
           "MAX_MISMATCHES=7\n");
  settings_.RF = 1;
  RecordJob& job = Job(QString::fromUtf8(TWCD_PATH));
  job.Start(settings_, Tracks({1}), 0, u"D:"_s, cue);
  RunToTheEnd(job);
  qunsetenv("AUDIOLUME_CD_DRIVES");
  ASSERT_EQ(codes_, (QList<std::pair<int, int>>{{1, 0}})) << failures_.join(u'\n').toStdString();
  // The ripper says what the drive took: the image's reads came in blocks of ten sectors;
  // it has no speed, and it is read plainly, as an image always is.
  const auto applied = [this](const QString& key) {
    return ReadIniString(Path(u"TWCD.log"_s), u"TWCD"_s, key);
  };
  EXPECT_EQ(applied(u"SECTORS_PER_READ"_s), u"10"_s);
  EXPECT_EQ(applied(u"READ_SPEED"_s), u"-1"_s);
  EXPECT_EQ(applied(u"PARANOIA"_s), u"OFF"_s);
  EXPECT_TRUE(ReadAll(Path(u"Music/Album/rip.log"_s))
                  .contains("Reading: paranoia OFF, speed -1, 10 sectors per read, overlap 0, "
                            "0 retries"));
}

// The AccurateRip sums of a ripped track's WAV file as whipper's checksum module, which
// the AccurateRip database is matched with, works them out, in the rip log's words.
QString ReferenceSums(const QString& wav, int track, int tracks) {
  QProcess python;
  python.start(u"/usr/bin/python3"_s,
               {u"-c"_s,
                u"import sys, accuraterip\n"
                u"v1, v2 = accuraterip.compute(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]))\n"
                u"print('AccurateRip v1: %08X   v2: %08X' % (v1, v2))"_s,
                wav, QString::number(track), QString::number(tracks)});
  python.waitForFinished(60000);
  return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}

TEST_F(RecordJobTest, AccurateRipSumsAreThoseTheDatabaseIsMatchedWith) {
  // Noise, unlike a tone or silence, gives every sample position its own weight.
  const QList<ImageTrack> tracks = {{600, true, true}, {300}, {450, true, true}};
  qputenv("AUDIOLUME_CD_DRIVES", (u"D="_s + Image(u"disc"_s, tracks)).toUtf8());
  settings_.RF = 1;
  settings_.EC = 1;
  RecordJob& job = Job(QString::fromUtf8(TWCD_PATH));
  job.Start(settings_, Tracks({1, 2, 3}), 0, u"D:"_s);
  RunToTheEnd(job);
  qunsetenv("AUDIOLUME_CD_DRIVES");
  ASSERT_EQ(codes_, (QList<std::pair<int, int>>{{1, 0}, {2, 0}, {3, 0}}))
      << failures_.join(u'\n').toStdString();
  const QString ripLog = QString::fromUtf8(ReadAll(Path(u"Music/Album/rip.log"_s)));
  for (const int track : {1, 2, 3}) {
    const QString reference =
        ReferenceSums(Path(u"Music/Album/%1.wav"_s.arg(track, 2, 10, QChar(u'0'))), track, 3);
    if (reference.isEmpty()) GTEST_SKIP() << "whipper's accuraterip module is not installed";
    EXPECT_TRUE(ripLog.contains(reference)) << track << ": " << reference.toStdString() << "\n"
                                            << ripLog.toStdString();
  }
}

TEST_F(RecordJobTest, RipsAnMp3OfTheTracksLength) {
  const QString cue = Image(u"disc"_s, {{300}, {450}});
  qputenv("AUDIOLUME_CD_DRIVES", (u"D="_s + cue).toUtf8());
  settings_.EC = 1;
  settings_.Filename = {u"0,1"_s, u"0,2"_s, u"1,3"_s, u"0,4"_s};
  RecordWithTwcd(DescribedDisc({4, 6}), {false, true});
  ASSERT_EQ(codes_, (QList<std::pair<int, int>>{{2, 0}})) << failures_.join(u'\n').toStdString();
  platform::Mp3Info info;
  ASSERT_EQ(platform::_QueryMp3File(Path(u"Music/Album/02.mp3"_s), info), 0);
  // Six seconds, give or take the encoder's padding; the song's tag after the audio is no
  // part of it.
  EXPECT_NEAR(double(info.durationMs), 6000.0, 60.0);
  EXPECT_EQ(info.bitRate, 128000);
  // Other players read the standard tag at the start; the jukebox's own tag is there too.
  const auto tags = platform::ReadStandardTags(Path(u"Music/Album/02.mp3"_s), false);
  ASSERT_TRUE(tags.has_value());
  EXPECT_EQ(tags->fields, (platform::StandardTagFields{
                              u"Song 2"_s, u"Band"_s, u"Album"_s, u"Trip-Hop"_s, {}, 1999, 2, {}}));
  // In the ID3v2 frames other players read: the recording time and the content type.
  TagLib::MPEG::File mp3(QFile::encodeName(Path(u"Music/Album/02.mp3"_s)).constData(), false);
  ASSERT_NE(mp3.ID3v2Tag(), nullptr);
  const TagLib::ID3v2::FrameListMap& frames = mp3.ID3v2Tag()->frameListMap();
  ASSERT_FALSE(frames["TDRC"].isEmpty());
  EXPECT_EQ(frames["TDRC"].front()->toString().to8Bit(true), "1999");
  ASSERT_FALSE(frames["TCON"].isEmpty());
  EXPECT_EQ(frames["TCON"].front()->toString().to8Bit(true), "Trip-Hop");
  EXPECT_TRUE(ReadAll(Path(u"Music/Album/02.mp3"_s)).right(128).startsWith("TAGSong 2"));
}

TEST_F(RecordJobTest, TheRipperSayingDoneIsNotEnough) {
  library_.AddSongRow(u"Old"_s, {}, {}, u"1:00"_s, Path(u"old.mp3"_s));
  RecordJob& job = Job(FakeRipper(u"94"_s, u"ok"_s, 0));
  job.Start(settings_, Tracks({1}), 0, u"D:"_s);
  RunToTheEnd(job);
  EXPECT_EQ(codes_.value(0).second, 51);
  EXPECT_EQ(marks_[1], Mark::Failed);
  ASSERT_EQ(failures_.size(), 1);
  EXPECT_TRUE(failures_[0].contains(u"The ripper ended before the whole track was read."_s));

  codes_.clear();
  RecordJob& notOk = Job(FakeRipper(u"100"_s, u"not_ok"_s, 0));
  notOk.Start(settings_, Tracks({1}), 0, u"D:"_s);
  RunToTheEnd(notOk);
  EXPECT_EQ(codes_.value(0).second, 51);
  EXPECT_EQ(library_.SongCount(), 1);

  // All of it read, says the ripper, and yet no song file: nothing was recorded.
  codes_.clear();
  RecordJob& nothing = Job(FakeRipper(u"100"_s, u"ok"_s, 0));
  nothing.Start(settings_, Tracks({2}), 0, u"D:"_s);
  RunToTheEnd(nothing);
  EXPECT_EQ(codes_.value(0).second, 51);
  EXPECT_EQ(marks_[2], Mark::Failed);
  EXPECT_EQ(library_.SongCount(), 1);

  // Done with jitter errors still counts: the song joins the library.
  codes_.clear();
  RecordJob& jitter = Job(FakeRipper(u"100"_s, u"ok"_s, 33));
  WriteAll(Tracks({3}).first().item.path, "ID3");
  jitter.Start(settings_, Tracks({3}), 0, u"D:"_s);
  RunToTheEnd(jitter);
  EXPECT_EQ(codes_.value(0).second, 33);
  EXPECT_EQ(marks_[3], Mark::Warning);
  EXPECT_EQ(library_.SongCount(), 2);
  EXPECT_EQ(library_.SongText(2, 0), u"Song 3"_s);
}

TEST_F(RecordJobTest, LongPathsReachTheRipperWholeAndClashingNamesEachKeepTheirFile) {
  const QList<ImageTrack> tracks = {{75}, {75}, {75}};
  qputenv("AUDIOLUME_CD_DRIVES", (u"D="_s + Image(u"disc"_s, tracks)).toUtf8());
  settings_.RF = 1;
  settings_.EC = 1;
  settings_.NewSongPath = Path(u"Music/"_s + QString(200, u'f') + u'/' + QString(200, u'g'));
  settings_.Filename = {u"0,1"_s, u"0,2"_s, u"0,3"_s, u"1,4"_s};
  CdDisc disc;
  disc.album = u"Album"_s;
  const QString shared(300, u'\u00e9');
  disc.titles = {shared + u'1', shared + u'2', shared + u'3'};
  disc.tracks = {{0, 1}, {0, 1}, {0, 1}};
  const QList<RecordItem> items = RecordWithTwcd(disc, QList<bool>(3, true));
  ASSERT_EQ(codes_, (QList<std::pair<int, int>>{{1, 0}, {2, 0}, {3, 0}}))
      << failures_.join(u'\n').toStdString();
  const QString folder = settings_.NewSongPath + u"/Album"_s;
  EXPECT_EQ(QDir(folder).entryList({u"*.wav"_s}, QDir::Files).size(), 3);
  for (const RecordItem& item : items) {
    EXPECT_TRUE(item.path.startsWith(folder)) << item.path.toStdString();
    EXPECT_GT(QFileInfo(item.path).size(), 75 * 2352) << item.path.toStdString();
  }
}

TEST_F(RecordJobTest, ARipperThatEndsEarlyLeavesNoFiguresOfTheTrackBefore) {
  // Track 1 rips; for track 2 the ripper refuses its command line before it writes a log.
  RecordJob& job = Job(Script(u"ripper.sh"_s, u"[ \"$2\" = 1 ] || exit 45\n"_s + kRipsTheSong));
  job.Start(settings_, Tracks({1, 2}), 0, u"D:"_s);
  RunToTheEnd(job);
  EXPECT_EQ(codes_, (QList<std::pair<int, int>>{{1, 0}, {2, 45}}));
  EXPECT_EQ(ReadAll(Path(u"Music/Album/rip.log"_s)).count("1234ABCD"), 1);
  EXPECT_EQ(ReadAll(Path(u"Record.log"_s)).count("Speed=7.5"), 1);
}

TEST_F(RecordJobTest, ALogThatIsNoFileAndARipperThatNeverEndsDoNotHoldTheJob) {
  RecordJob& job = Job(Script(u"ripper.sh"_s, u"ln -sf /dev/zero TWCD.log\n"_s));
  job.Start(settings_, Tracks({1}), 0, u"D:"_s);
  RunToTheEnd(job);
  EXPECT_EQ(codes_.value(0).second, 51);

  codes_.clear();
  ripperTimeOutMs_ = 300;
  RecordJob& stuck = Job(Script(u"stuck.sh"_s,
                                u"printf '[TWCD]\\nDONE=started\\nPERCENT=10\\n' > TWCD.log\n"
                                u"touch \"$(sed -n 's/^FILENAME=//p' TWCD.ini).part\"\n"
                                u"exec sleep 30\n"_s));
  stuck.Start(settings_, Tracks({2}), 0, u"D:"_s);
  QElapsedTimer clock;
  clock.start();
  RunToTheEnd(stuck);
  EXPECT_LT(clock.elapsed(), 3000);
  EXPECT_EQ(codes_.value(0).second, 52);
  EXPECT_EQ(marks_[2], Mark::Failed);
  EXPECT_TRUE(failures_.value(1).contains(u"made no progress"_s))
      << failures_.join(u'\n').toStdString();
  EXPECT_FALSE(QFile::exists(Tracks({2}).first().item.path + u".part"_s));
}

TEST_F(RecordJobTest, RecordingASongAgainReplacesItsRow) {
  const QString path = Tracks({1}).first().item.path;
  QString otherCase = path;
  otherCase.replace(u"01.mp3"_s, u"01.MP3"_s);
  library_.AddSongRow(u"Other case"_s, {}, {}, u"1:00"_s, otherCase);
  library_.AddSongRow(u"Old title"_s, {}, {}, u"1:00"_s, path);
  RecordJob& job = Job(Script(u"ripper.sh"_s, kRipsTheSong));
  job.Start(settings_, Tracks({1}), 0, u"D:"_s);
  RunToTheEnd(job);
  ASSERT_EQ(codes_, (QList<std::pair<int, int>>{{1, 0}}));
  ASSERT_EQ(library_.SongCount(), 2);
  EXPECT_EQ(library_.SongText(1, 0), u"Other case"_s);
  EXPECT_EQ(library_.SongText(2, 0), u"Song 1"_s);
  EXPECT_EQ(library_.SongText(2, 8), u"0:02"_s);
}

TEST_F(RecordJobTest, AnalogCaptureAndTheFallbackAfterADigitalFailure) {
  library_.AddSongRow(u"Old"_s, {}, {}, u"1:00"_s, Path(u"old.mp3"_s));
  // Digital fails with 42; the same track is then captured through the sound card.
  RecordJob& job = Job(FakeRipper(u"30"_s, u"not_ok"_s, 42), 0);
  job.Start(settings_, Tracks({1, 2}), 0, u"D:"_s);
  bool quietPlayer = false;
  QObject::connect(&job, &RecordJob::TrackProgress,
                   [&] { quietPlayer = quietPlayer || job.IsRecordingAnalog(); });
  RunToTheEnd(job);
  EXPECT_EQ(codes_, (QList<std::pair<int, int>>{{1, 42}, {1, 0}, {2, 42}, {2, 0}}));
  EXPECT_TRUE(quietPlayer) << "the player is refused while the card's input is recorded";
  EXPECT_FALSE(job.IsRecordingAnalog());
  EXPECT_TRUE(ReadAll(Tracks({1}).first().item.path).startsWith("captured"))
      << "moved, then tagged";
  EXPECT_EQ(ReadAll(Path(u"Record.log"_s)).count(", Analog Recording"), 2);
  EXPECT_EQ(failures_.value(0).count(u"Will try analog mode now."_s), 1);
  EXPECT_EQ(library_.SongCount(), 3);
  EXPECT_EQ(prompter_.ShownMessages().size(), 1) << "asked once for the whole recording";

  // Analog chosen outright; a capture that fails shows its code on the error line.
  codes_.clear();
  settings_.AR = 1;
  RecordJob& analog = Job({}, 7);
  QStringList errors;
  QObject::connect(&analog, &RecordJob::ErrorLineChanged,
                   [&](const QString& text) { errors.append(text); });
  EXPECT_TRUE(analog.Refusal(settings_, {}).isEmpty());
  analog.Start(settings_, Tracks({3}), 0, u"D:"_s);
  RunToTheEnd(analog);
  EXPECT_EQ(codes_, (QList<std::pair<int, int>>{{3, 7}}));
  EXPECT_EQ(errors.value(0), u"Track 3 Recording Error 7"_s);
  EXPECT_FALSE(QFile::exists(Path(u"tw_a2d.tmp"_s)));
  EXPECT_FALSE(Job({}).Refusal(settings_, {}).isEmpty()) << "no card input, no analog recording";
}

TEST_F(RecordJobTest, AnAnalogFlacCaptureGetsItsVorbisCommentsAfterwards) {
  settings_.AR = 1;
  settings_.RF = RecordSettings::kFlac;
  RecordJob& job = Job({}, 0);
  job.Start(settings_, Tracks({3}), 0, u"D:"_s);
  RunToTheEnd(job);
  ASSERT_EQ(codes_, (QList<std::pair<int, int>>{{3, 0}}));
  TagLib::FLAC::File flac(QFile::encodeName(Path(u"Music/Album/03.flac"_s)).constData());
  ASSERT_TRUE(flac.isValid() && flac.hasXiphComment());
  EXPECT_EQ(flac.xiphComment()->title().to8Bit(true), "Song 3");
  EXPECT_EQ(flac.xiphComment()->artist().to8Bit(true), "Band");
  EXPECT_EQ(flac.xiphComment()->album().to8Bit(true), "Album");
  EXPECT_EQ(flac.xiphComment()->track(), 3u);
}

TEST_F(RecordJobTest, AnalogCaptureOnlyWhenTheUserAgreesAndNeverOverAGoodSong) {
  // The user says no: the failed tracks stay failed, and nothing is captured.
  prompter_.QueueAnswer(2);
  RecordJob& job = Job(FakeRipper(u"30"_s, u"not_ok"_s, 42), 0);
  job.Start(settings_, Tracks({1, 2}), 0, u"D:"_s);
  RunToTheEnd(job);
  EXPECT_EQ(codes_, (QList<std::pair<int, int>>{{1, 42}, {2, 42}}));
  EXPECT_FALSE(failures_.join(u'\n').contains(u"Will try analog mode now."_s));

  // A disc image is never played: it is not asked about.
  codes_.clear();
  prompter_.ClearRecord();
  const QString cue = Image(u"disc"_s, {{75}});
  RecordJob& image = Job(FakeRipper(u"30"_s, u"not_ok"_s, 42), 0);
  image.Start(settings_, Tracks({1}), 0, u"D:"_s, cue);
  RunToTheEnd(image);
  EXPECT_EQ(codes_, (QList<std::pair<int, int>>{{1, 42}}));
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
  // Nor is it recorded analog when analog is chosen: nothing would play it.
  RecordSettings analog = settings_;
  analog.AR = 1;
  EXPECT_TRUE(image.Refusal(analog, cue).contains(u"disc image"_s));
  EXPECT_TRUE(image.Refusal(analog, u"/dev/sr0"_s).isEmpty());

  // A capture that fails leaves the earlier song of the track as it was.
  codes_.clear();
  const QString song = Tracks({1}).first().item.path;
  WriteAll(song, "good rip");
  RecordJob& failing = Job(FakeRipper(u"30"_s, u"not_ok"_s, 42), 4);
  failing.Start(settings_, Tracks({1}), 0, u"D:"_s);
  RunToTheEnd(failing);
  EXPECT_EQ(codes_, (QList<std::pair<int, int>>{{1, 42}, {1, 4}}));
  EXPECT_EQ(ReadAll(song), "good rip");
}

TEST_F(RecordJobTest, NoRoomForAnyTrackStartsNoRipper) {
  settings_.RF = 1;
  RecordJob& job = Job(FakeRipper(u"100"_s, u"ok"_s, 0));
  job.Start(settings_, Tracks({1, 2}, 1000000000), 0, u"D:"_s);
  RunToTheEnd(job);
  EXPECT_EQ(codes_, (QList<std::pair<int, int>>{{1, 53}, {2, 53}}));
  EXPECT_FALSE(QFile::exists(Path(u"TWCD.log"_s)) &&
               ReadAll(Path(u"TWCD.log"_s)).contains("DONE=ok"));
  EXPECT_EQ(ReadAll(Path(u"Rec_err.log"_s)).count("********"), 2);
  EXPECT_TRUE(prompter_.ShownMessages().first().text.contains(u" MB needed for recording."_s));
}

TEST_F(RecordJobTest, CancelStopsTheRipperAndKeepsEarlierSongs) {
  const QString script = Path(u"slow-ripper.sh"_s);
  WriteAll(script,
           "#!/bin/sh\nprintf '[TWCD]\\nDONE=started\\nPERCENT=10\\n' > TWCD.log\n"
           "touch \"$PWD/partial.part\"\nexec sleep 30\n");
  QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  RecordJob& job = Job(script);
  job.Start(settings_, Tracks({1}), 0, u"D:"_s);
  job.Timer().stop();
  job.timerRecord_Timer();
  QTest::qWait(200);
  job.timerRecord_Timer();
  job.timerRecord_Timer();
  EXPECT_TRUE(job.IsRecording());
  QElapsedTimer clock;
  clock.start();
  job.Cancel();
  EXPECT_LT(clock.elapsed(), 3000);
  EXPECT_FALSE(job.IsRecording());
  EXPECT_TRUE(codes_.isEmpty());
}

TEST_F(RecordJobTest, CommandLineCarriesOffsetPreviewAndErrorCorrection) {
  RecordJob& job = Job(FakeRipper(u"100"_s, u"ok"_s, 0));
  settings_.TrackOffset = u"-48"_s;
  settings_.StartTime = u"10"_s;
  settings_.EC = 0;
  job.Start(settings_, {}, 0, u"D:"_s);
  RecordJob::Track track = Tracks({4}, 100).first();
  EXPECT_EQ(job.CommandLine(track),
            (QStringList{u"/T"_s, u"4"_s, u"/O"_s, u"/format"_s, u"MP3 128:103:8"_s, u"/offset"_s,
                         u"-48"_s, u"/prevu"_s, u"750:6750"_s, u"/NJC"_s}));
  settings_.RecordLength = u"5"_s;
  settings_.EC = 1;
  job.Start(settings_, {}, 0, u"D:"_s);
  EXPECT_EQ(job.CommandLine(track).mid(7), (QStringList{u"/prevu"_s, u"750:375"_s}));
}

// The v1 and v2 sums of each track in a rip log, in its order.
QList<Sums> LoggedAccurateRipSums(const QString& ripLog) {
  QList<Sums> logged;
  static const QRegularExpression line(u"AccurateRip v1: (\\w{8})   v2: (\\w{8})"_s);
  for (auto it = line.globalMatch(ripLog); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    logged.append(
        {0, match.captured(1).toUInt(nullptr, 16), match.captured(2).toUInt(nullptr, 16)});
  }
  return logged;
}

QString SumsLine(const Sums& sums) {
  return u"  AccurateRip v1: "_s + Hex(sums.v1) + u"   v2: "_s + Hex(sums.v2) + u'\n';
}

TEST_F(RecordJobTest, RipsAreCheckedWithEveryPressingOfTheirAccurateRipEntry) {
  const QList<ImageTrack> tracks = {{600, true, true}, {300, true, true}, {450, true, true}};
  const QString cue = Image(u"disc"_s, tracks);
  qputenv("AUDIOLUME_CD_DRIVES", (u"D="_s + cue).toUtf8());
  RecordDisc& disc = Disc({cue});
  disc.SetLookupSuppressed(true);
  ASSERT_EQ(disc.OpenCD(false), 0);
  const AccurateRip::DiscIds ids = AccurateRip::IdsOf(disc.Disc());
  disc.CloseMCI();
  settings_.RF = 1;
  FakeHttpServer server;
  settings_.AccurateRipUrl = server.BaseUrl() + u"/accuraterip"_s;
  RecordJob& job = Job(QString::fromUtf8(TWCD_PATH));
  // The sums the rip log has (whipper's, as a test above shows), once the last track is in:
  // track 1 has only its v1 sum in the first pressing, track 2 only its v2 sum in the
  // second; track 3 is in neither.
  Sums first, second, third;
  QObject::connect(&job, &RecordJob::TrackFinished, [&](int track, int, const QString&) {
    const QList<Sums> logged =
        LoggedAccurateRipSums(QString::fromUtf8(ReadAll(Path(u"Music/Album/rip.log"_s))));
    if (track != 3 || logged.size() != 3) return;
    first = logged[0];
    second = logged[1];
    third = logged[2];
    server.routes[u"/accuraterip/"_s + ids.EntryPath()] = {
        200, AccurateRipEntry(ids.id1, ids.id2, ids.cddb,
                              {{{3, first.v1}, {7, second.v1 + 1}, {2, third.v2 + 1}},
                               {{9, first.v1 + 1}, {4, second.v2}, {5, third.v1 + 1}}})};
  });
  job.Start(settings_, Tracks({1, 2, 3}), 0, u"D:"_s, cue, ids.EntryPath());
  RunToTheEnd(job);
  qunsetenv("AUDIOLUME_CD_DRIVES");
  ASSERT_EQ(codes_, (QList<std::pair<int, int>>{{1, 0}, {2, 0}, {3, 0}}))
      << failures_.join(u'\n').toStdString();
  ASSERT_NE(first.v1, first.v2);
  ASSERT_NE(second.v1, second.v2);
  ASSERT_EQ(server.received.size(), 1);
  EXPECT_EQ(server.received[0].target, u"/accuraterip/"_s + ids.EntryPath());
  EXPECT_TRUE(server.received[0].headers.value("user-agent").startsWith("Audiolume/"));

  const QString accurateV1 = u"  AccurateRip: accurately ripped (confidence 3, v1)"_s;
  const QString accurateV2 = u"  AccurateRip: accurately ripped (confidence 4, v2)"_s;
  const QString notAccurate =
      u"  AccurateRip: not accurate (the database has confidence 5 for another sum)"_s;
  const QString ripLog = QString::fromUtf8(ReadAll(Path(u"Music/Album/rip.log"_s)));
  // Each verdict right under the sums it is about; the album's under the head.
  EXPECT_TRUE(ripLog.contains(SumsLine(first) + accurateV1 + u'\n')) << ripLog.toStdString();
  EXPECT_TRUE(ripLog.contains(SumsLine(second) + accurateV2 + u'\n')) << ripLog.toStdString();
  EXPECT_TRUE(ripLog.contains(SumsLine(third) + notAccurate + u'\n')) << ripLog.toStdString();
  EXPECT_TRUE(ripLog.contains(u"Format: WAV\nAccurateRip entry: "_s + ids.EntryPath() +
                              u"\nAccurateRip: 2 of 3 tracks accurately ripped\n"_s))
      << ripLog.toStdString();
  EXPECT_EQ(verified_, (QMap<int, QString>{{1, accurateV1}, {2, accurateV2}, {3, notAccurate}}));
}

// Shell lines of a ripper that rips the song with these sums.
QString RipsTheSongWithSums(const QString& v1, const QString& v2) {
  return u"printf '[TWCD]\\nDONE=ok\\nPERCENT=100\\nACCURATERIP_V1=%1\\nACCURATERIP_V2=%2\\n' > "
         u"TWCD.log\nprintf song > \"$(sed -n 's/^FILENAME=//p' TWCD.ini)\"\n"_s.arg(v1, v2);
}

TEST_F(RecordJobTest, ADiscUnknownToAccurateRipOrADatabaseThatNeverAnswersFailsNoRecording) {
  FakeHttpServer server;
  settings_.AccurateRipUrl = server.BaseUrl() + u'/';
  const QString entry = u"8/7/1/dBAR-002-00001178-00002a5e-0b007402.bin"_s;
  RecordJob& job = Job(Script(u"ripper.sh"_s, RipsTheSongWithSums(u"0000ABCD"_s, u"1234ABCD"_s)));
  job.Start(settings_, Tracks({1, 2}), 0, u"D:"_s, {}, entry);
  RunToTheEnd(job);
  ASSERT_EQ(codes_, (QList<std::pair<int, int>>{{1, 0}, {2, 0}}));
  const QString notThere = u"  AccurateRip: the disc is not in the database"_s;
  EXPECT_EQ(verified_, (QMap<int, QString>{{1, notThere}, {2, notThere}}));
  EXPECT_EQ(server.received.value(0).target, u'/' + entry);

  // The same album again, while the database keeps silent.
  server.neverAnswer = true;
  accurateRipTimeLimitMs_ = 500;
  codes_.clear();
  verified_.clear();
  RecordJob& again = Job(Script(u"ripper.sh"_s, RipsTheSongWithSums(u"0000ABCD"_s, u"1234ABCD"_s)));
  QSignalSpy ended(&again, &RecordJob::JobEnded);
  QElapsedTimer clock;
  QObject::connect(&again, &RecordJob::TrackFinished, [&clock](int track, int, const QString&) {
    if (track == 2) clock.start();
  });
  again.Start(settings_, Tracks({1, 2}), 0, u"D:"_s, {}, entry);
  RunToTheEnd(again);
  EXPECT_EQ(ended.count(), 1);
  EXPECT_LT(clock.elapsed(), 3000) << "the job waits no longer than the time limit";
  EXPECT_EQ(codes_, (QList<std::pair<int, int>>{{1, 0}, {2, 0}}));
  EXPECT_EQ(marks_[2], Mark::Done);
  const QString unchecked =
      u"  AccurateRip: not checked (the database could not be asked: no answer within 0.5 "
      u"seconds)"_s;
  EXPECT_EQ(verified_, (QMap<int, QString>{{1, unchecked}, {2, unchecked}}));
  // The first recording keeps what the database said of it.
  const QString ripLog = QString::fromUtf8(ReadAll(Path(u"Music/Album/rip.log"_s)));
  const qsizetype secondPart = ripLog.lastIndexOf(u" rip log, "_s);
  EXPECT_EQ(ripLog.left(secondPart).count(notThere), 2) << ripLog.toStdString();
  EXPECT_EQ(ripLog.mid(secondPart).count(unchecked), 2) << ripLog.toStdString();
  EXPECT_TRUE(
      ripLog.mid(secondPart)
          .contains(
              u"\nAccurateRip: not checked (the database could not be asked: no answer within 0.5 "
              u"seconds)\n"_s))
      << ripLog.toStdString();
}

}  // namespace
}  // namespace audiolume::test
