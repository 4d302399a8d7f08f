#include "app/MprisService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include "app/MprisPlayer.h"
#include "app/MprisRoot.h"
#include "player/PlayerRemote.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

const QString MprisService::kObjectPath = u"/org/mpris/MediaPlayer2"_s;

MprisService::MprisService(PlayerRemote& remote, std::function<void()> raise,
                           std::function<void()> quit)
    : remote_(remote) {
  new MprisRoot(this, std::move(raise), std::move(quit));
  auto* player = new MprisPlayer(this, remote_);
  // Without the bus nobody listens: the player's changes cost nothing then.
  Register();
  if (serviceName_.isEmpty()) return;
  connect(&remote_, &PlayerRemote::StatusChanged, this, [this, player] {
    AnnounceChanged({{u"PlaybackStatus"_s, player->PlaybackStatus()}});
  });
  connect(&remote_, &PlayerRemote::SongChanged, this, [this, player] {
    AnnounceChanged({{u"Metadata"_s, player->Metadata()}, {u"CanGoNext"_s, player->CanGo()}});
  });
  connect(&remote_, &PlayerRemote::VolumeChanged, this, [this, player] {
    AnnounceChanged({{u"Volume"_s, player->Volume()}});
  });
  connect(&remote_, &PlayerRemote::OrderChanged, this, [this, player] {
    AnnounceChanged({{u"LoopStatus"_s, player->LoopStatus()}, {u"Shuffle"_s, player->Shuffle()}});
  });
  connect(&remote_, &PlayerRemote::QueueChanged, this, [this, player] {
    const bool can = player->CanGo();
    AnnounceChanged({{u"CanGoNext"_s, can},
                     {u"CanGoPrevious"_s, can},
                     {u"CanPlay"_s, can},
                     {u"CanPause"_s, can},
                     {u"CanSeek"_s, can}});
  });
}

MprisService::~MprisService() {
  if (serviceName_.isEmpty()) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterObject(kObjectPath);
  bus.unregisterService(serviceName_);
}

// A second copy of the player (another user's home, a test) takes a name of its own, as
// the interface asks.
void MprisService::Register() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  if (!bus.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors)) return;
  const QString base = u"org.mpris.MediaPlayer2.audiolume"_s;
  for (const QString& name :
       {base, base + u".instance"_s + QString::number(QCoreApplication::applicationPid())}) {
    if (bus.registerService(name)) {
      serviceName_ = name;
      return;
    }
  }
  bus.unregisterObject(kObjectPath);
}

void MprisService::AnnounceChanged(const QVariantMap& changed) {
  QDBusMessage signal = QDBusMessage::createSignal(
      kObjectPath, u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s);
  signal << u"org.mpris.MediaPlayer2.Player"_s << changed << QStringList();
  QDBusConnection::sessionBus().send(signal);
}

}  // namespace audiolume
