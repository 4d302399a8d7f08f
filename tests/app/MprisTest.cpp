// Runs on a private session bus (dbus-run-session): a second connection of this process
// is the desktop's client, calling the player's methods and reading its properties.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QUrl>

#include "app/MprisService.h"
#include "fakes/SineFiles.h"
#include "fakes/TaggedFiles.h"
#include "library/LibraryFixture.h"
#include "platform/AudioSink.h"
#include "player/PlayQueue.h"
#include "player/PlayerEngine.h"
#include "player/PlayerRemote.h"
#include "support/MessageCatalog.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kPlayer = u"org.mpris.MediaPlayer2.Player"_s;

// What the desktop hears: each PropertiesChanged and Seeked signal.
class SignalRecorder : public QObject {
  Q_OBJECT

 public:
  QList<QVariantMap> changed;
  QList<qlonglong> seeked;

 public Q_SLOTS:
  void PropertiesChanged(const QString& interface, const QVariantMap& properties,
                         const QStringList&) {
    if (interface == kPlayer) changed.append(properties);
  }
  void Seeked(qlonglong position) { seeked.append(position); }
};

class MprisTest : public test::LibraryFixture {
 protected:
  void SetUp() override {
    if (!QDBusConnection::sessionBus().isConnected()) GTEST_SKIP() << "no session bus";
    library_.LoadSongData();
    for (const QString& name : {u"one"_s, u"two"_s}) {
      ASSERT_TRUE(test::WriteSineMp3(Path(name + u".mp3"_s), 20.0));
      const int row = library_.AddSongRow(u"Song "_s + name, u"The Album"_s, u"The Artist"_s,
                                          u"0:20"_s, Path(name + u".mp3"_s));
      library_.SongText(row, 3) = u"Jazz"_s;
      library_.SongRecords(row).TrackNumber = qint16(row);
      queue_.Insert(row, library_.PlayListEntryOf(row));
    }
    service_ = std::make_unique<MprisService>(
        remote_, [this] { ++raised_; }, [this] { ++quit_; });
    ASSERT_EQ(service_->ServiceName(), u"org.mpris.MediaPlayer2.audiolume");
    client_.connect(service_->ServiceName(), MprisService::kObjectPath,
                    u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s, &recorder_,
                    SLOT(PropertiesChanged(QString, QVariantMap, QStringList)));
    client_.connect(service_->ServiceName(), MprisService::kObjectPath, kPlayer, u"Seeked"_s,
                    &recorder_, SLOT(Seeked(qlonglong)));
  }
  void TearDown() override {
    service_.reset();
    QDBusConnection::disconnectFromBus(u"desktop"_s);
  }

  // Calls over the bus while this thread's event loop answers them.
  QDBusMessage Call(const QString& interface, const QString& method,
                    const QVariantList& args = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        service_->ServiceName(), MprisService::kObjectPath, interface, method);
    call.setArguments(args);
    const QDBusPendingCall pending = client_.asyncCall(call);
    QElapsedTimer timer;
    timer.start();
    while (!pending.isFinished() && timer.elapsed() < 5000) QCoreApplication::processEvents();
    EXPECT_TRUE(pending.isFinished()) << method.toStdString();
    EXPECT_FALSE(pending.isError())
        << method.toStdString() << ": " << pending.error().message().toStdString();
    return pending.reply();
  }
  QVariant Property(const QString& interface, const QString& name) {
    const QDBusMessage reply =
        Call(u"org.freedesktop.DBus.Properties"_s, u"Get"_s, {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage) return {};
    return reply.arguments().value(0).value<QDBusVariant>().variant();
  }
  QVariantMap Metadata() { return qdbus_cast<QVariantMap>(Property(kPlayer, u"Metadata"_s)); }
  void Settle(int milliseconds) { QTest::qWait(milliseconds); }

  MessageCatalog catalog_{dir_.path(), dir_.filePath(u"VeltoDj.ini"_s), log_, prompter_};
  PlayQueue queue_{[] { return 0.5; }};
  PlayerEngine engine_{queue_, library_, catalog_, prompter_, {}, {platform::MakeNullAudioSink()}};
  PlayerRemote remote_{engine_, library_,
                       [](const QString& file, SongRecord& record) {
                         // The song reader of the jukebox reads the file's own tag.
                         if (file.endsWith(u".flac"_s)) {
                           record.Album = u"Outside"_s;
                           record.TrackNumber = 7;
                         }
                       },
                       [](const QString&, QString& type) {
                         type = u"png"_s;
                         return test::SmallPng();
                       },
                       dir_.filePath(u"cache"_s)};
  std::unique_ptr<MprisService> service_;
  QDBusConnection client_ =
      QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"desktop"_s);
  SignalRecorder recorder_;
  int raised_ = 0;
  int quit_ = 0;
};

TEST_F(MprisTest, TheDesktopSeesAndDrivesThePlayer) {
  const QString root = u"org.mpris.MediaPlayer2"_s;
  EXPECT_EQ(Property(root, u"Identity"_s).toString(), u"Audiolume");
  EXPECT_EQ(Property(root, u"DesktopEntry"_s).toString(), u"audiolume");
  EXPECT_EQ(Property(kPlayer, u"PlaybackStatus"_s).toString(), u"Stopped");
  EXPECT_TRUE(Property(kPlayer, u"CanGoNext"_s).toBool());

  Call(kPlayer, u"Play"_s);
  EXPECT_TRUE(engine_.IsPlaying());
  EXPECT_EQ(Property(kPlayer, u"PlaybackStatus"_s).toString(), u"Playing");
  QVariantMap metadata = Metadata();
  EXPECT_EQ(metadata.value(u"xesam:title"_s).toString(), u"Song one");
  EXPECT_EQ(metadata.value(u"xesam:artist"_s).toStringList(), QStringList{u"The Artist"_s});
  EXPECT_EQ(metadata.value(u"xesam:album"_s).toString(), u"The Album");
  EXPECT_EQ(metadata.value(u"mpris:length"_s).toLongLong(), 20'000'000);
  EXPECT_EQ(metadata.value(u"mpris:trackid"_s).value<QDBusObjectPath>().path(),
            u"/org/audiolume/Track/1");
  const QString art = QUrl(metadata.value(u"mpris:artUrl"_s).toString()).toLocalFile();
  ASSERT_TRUE(QFile::exists(art));
  QFile cover(art);
  ASSERT_TRUE(cover.open(QIODevice::ReadOnly));
  EXPECT_TRUE(cover.readAll() == test::SmallPng());

  Settle(1500);  // the position bar moves
  const qlonglong position = Property(kPlayer, u"Position"_s).toLongLong();
  EXPECT_GT(position, 200'000);
  EXPECT_LT(position, 5'000'000);

  Call(kPlayer, u"SetPosition"_s,
       {QVariant::fromValue(QDBusObjectPath(u"/org/audiolume/Track/1"_s)), qlonglong(10'000'000)});
  Call(kPlayer, u"Seek"_s, {qlonglong(-2'000'000)});
  Settle(200);
  EXPECT_EQ(recorder_.seeked, (QList<qlonglong>{10'000'000, 8'000'000}));
  // Another song's id is not the song playing: nothing moves.
  Call(kPlayer, u"SetPosition"_s,
       {QVariant::fromValue(QDBusObjectPath(u"/org/audiolume/Track/2"_s)), qlonglong(1'000'000)});

  Call(kPlayer, u"Pause"_s);
  EXPECT_EQ(Property(kPlayer, u"PlaybackStatus"_s).toString(), u"Paused");
  Call(kPlayer, u"PlayPause"_s);
  EXPECT_EQ(Property(kPlayer, u"PlaybackStatus"_s).toString(), u"Playing");

  Call(u"org.freedesktop.DBus.Properties"_s, u"Set"_s,
       {kPlayer, u"Volume"_s, QVariant::fromValue(QDBusVariant(0.25))});
  EXPECT_EQ(engine_.VolumeLevel(), 25);

  Call(kPlayer, u"Next"_s);
  EXPECT_EQ(Metadata().value(u"xesam:title"_s).toString(), u"Song two");
  Call(kPlayer, u"Previous"_s);
  EXPECT_EQ(Metadata().value(u"xesam:title"_s).toString(), u"Song one");
  Call(kPlayer, u"Stop"_s);
  EXPECT_EQ(Property(kPlayer, u"PlaybackStatus"_s).toString(), u"Stopped");
  Call(root, u"Raise"_s);
  Call(root, u"Quit"_s);
  EXPECT_EQ(raised_, 1);
  EXPECT_EQ(quit_, 1);

  // Each change was announced as it happened.
  Settle(200);
  QStringList statuses;
  double volume = -1;
  QStringList titles;
  for (const QVariantMap& change : recorder_.changed) {
    if (change.contains(u"PlaybackStatus"_s)) {
      statuses.append(change.value(u"PlaybackStatus"_s).toString());
    }
    if (change.contains(u"Volume"_s)) volume = change.value(u"Volume"_s).toDouble();
    if (change.contains(u"Metadata"_s)) {
      titles.append(
          qdbus_cast<QVariantMap>(change.value(u"Metadata"_s)).value(u"xesam:title"_s).toString());
    }
  }
  EXPECT_EQ(statuses.first(), u"Playing");
  EXPECT_TRUE(statuses.contains(u"Paused"_s));
  EXPECT_EQ(statuses.last(), u"Stopped");
  EXPECT_DOUBLE_EQ(volume, 0.25);
  EXPECT_EQ(titles.mid(0, 1), QStringList{u"Song one"_s});
  EXPECT_TRUE(titles.contains(u"Song two"_s));
}

// What the window changes (volume, place in the song, order and cycle) the desktop hears of
// once each; a fade-in is not a change of volume; a song outside the library keeps its
// details; addresses are percent-encoded.
TEST_F(MprisTest, ChangesMadeInThePlayerAreAnnouncedOnce) {
  engine_.VolumeSlider_Change(40);  // the window's slider: level 60
  engine_.MoveVolumeSlider(40);     // the same level again, as the desktop would set it
  engine_.SetPlayOrder(PlayQueue::Order::Random);
  engine_.SetPlayCycle(PlayQueue::Cycle::Continuous);
  EXPECT_EQ(Property(kPlayer, u"LoopStatus"_s).toString(), u"Playlist");
  EXPECT_TRUE(Property(kPlayer, u"Shuffle"_s).toBool());
  Call(u"org.freedesktop.DBus.Properties"_s, u"Set"_s,
       {kPlayer, u"Shuffle"_s, QVariant::fromValue(QDBusVariant(false))});
  Call(u"org.freedesktop.DBus.Properties"_s, u"Set"_s,
       {kPlayer, u"LoopStatus"_s, QVariant::fromValue(QDBusVariant(u"None"_s))});
  EXPECT_EQ(queue_.PlayOrder(), PlayQueue::Order::Fixed);
  EXPECT_EQ(queue_.PlayCycle(), PlayQueue::Cycle::Single);

  Call(kPlayer, u"Play"_s);
  QVariantMap metadata = Metadata();
  EXPECT_EQ(metadata.value(u"xesam:genre"_s).toStringList(), QStringList{u"Jazz"_s});
  EXPECT_EQ(metadata.value(u"xesam:trackNumber"_s).toInt(), 1);
  Settle(300);
  engine_.PositionScroll_Scroll(0);  // the position bar dragged to the start
  Settle(100);
  EXPECT_EQ(recorder_.seeked, QList<qlonglong>{0});

  // A FLAC song from outside the library starts with a fade-in.
  const QString outside = Path(u"Late #2 ?.flac"_s);
  ASSERT_TRUE(test::WriteSineFlac(outside, 2.0));
  Call(u"org.mpris.MediaPlayer2.Player"_s, u"OpenUri"_s,
       {QString::fromLatin1(QUrl::fromLocalFile(outside).toEncoded())});
  Settle(400);
  metadata = Metadata();
  EXPECT_EQ(metadata.value(u"xesam:album"_s).toString(), u"Outside");
  EXPECT_EQ(metadata.value(u"xesam:trackNumber"_s).toInt(), 7);
  EXPECT_TRUE(metadata.value(u"xesam:url"_s).toString().endsWith(u"/Late%20%232%20%3F.flac"_s))
      << metadata.value(u"xesam:url"_s).toString().toStdString();
  EXPECT_DOUBLE_EQ(Property(kPlayer, u"Volume"_s).toDouble(), 0.6);
  Call(kPlayer, u"Stop"_s);

  Settle(200);
  QList<double> volumes;
  QStringList loops;
  for (const QVariantMap& change : recorder_.changed) {
    if (change.contains(u"Volume"_s)) volumes.append(change.value(u"Volume"_s).toDouble());
    if (change.contains(u"LoopStatus"_s)) loops.append(change.value(u"LoopStatus"_s).toString());
  }
  EXPECT_EQ(volumes, QList<double>{0.6});
  EXPECT_EQ(loops, (QStringList{u"None"_s, u"Playlist"_s, u"Playlist"_s, u"None"_s}));
}

// Several artists, kept as "A; B", go out as a list, with the album artist of the song's
// own tag.
TEST_F(MprisTest, ArtistsGoOutAsAListWithTheAlbumArtistOfTheTag) {
  const QString flac = Path(u"compilation.flac"_s);
  ASSERT_TRUE(test::WriteSineFlac(flac, 20.0));
  ASSERT_TRUE(test::SetTagProperties(flac, {{u"ALBUMARTIST"_s, {u"Various"_s, u"Others"_s}}}));
  const int row =
      library_.AddSongRow(u"Duet"_s, u"Pairs"_s, u"Artist A; Artist B"_s, u"0:20"_s, flac);
  queue_.Insert(1, library_.PlayListEntryOf(row));
  Call(kPlayer, u"Play"_s);
  Settle(400);  // a FLAC song is announced once its back-end runs
  const QVariantMap metadata = Metadata();
  EXPECT_EQ(metadata.value(u"xesam:title"_s).toString(), u"Duet");
  EXPECT_EQ(metadata.value(u"xesam:artist"_s).toStringList(),
            (QStringList{u"Artist A"_s, u"Artist B"_s}));
  EXPECT_EQ(metadata.value(u"xesam:albumArtist"_s).toStringList(),
            (QStringList{u"Various"_s, u"Others"_s}));
  Call(kPlayer, u"Next"_s);
  EXPECT_EQ(Metadata().value(u"xesam:title"_s).toString(), u"Song one");
  EXPECT_FALSE(Metadata().contains(u"xesam:albumArtist"_s));
  Call(kPlayer, u"Stop"_s);
}

}  // namespace
}  // namespace audiolume

#include "MprisTest.moc"
