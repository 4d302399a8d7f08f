#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace audiolume {

class PlayerRemote;

/**
 * Puts the player on the desktop's session bus as an MPRIS 2 media player, so that media
 * keys, sound menus and panel applets can see and drive it. Without a session bus, or
 * when the bus refuses the name, the jukebox goes on without it, silently. UI thread only.
 */
class MprisService : public QObject {
  Q_OBJECT

 public:
  static const QString kObjectPath;

  /** raise shows the main window; quit closes it as the user would. */
  MprisService(PlayerRemote& remote, std::function<void()> raise, std::function<void()> quit);
  ~MprisService() override;

  /** The bus name taken ("org.mpris.MediaPlayer2.audiolume…"); empty when none. */
  const QString& ServiceName() const { return serviceName_; }

 private:
  void Register();
  void AnnounceChanged(const QVariantMap& changed);

  PlayerRemote& remote_;
  QString serviceName_;
};

}  // namespace audiolume
