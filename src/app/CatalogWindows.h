#pragma once

#include <QPointer>
#include <functional>
#include <memory>

#include "app/PlayerPlaylist.h"
#include "catalog/AutoDj.h"
#include "catalog/CategoryLists.h"
#include "catalog/CurrentSong.h"
#include "catalog/LibraryView.h"
#include "catalog/PlayListManager.h"
#include "catalog/PlayListPanel.h"
#include "catalog/PlayListStore.h"
#include "catalog/SongTexts.h"
#include "catalog/TrackInfo.h"

class QMenu;

namespace audiolume {

class AppServices;
class Collection;
class PlayList;
class PlayListMgr;
class Lyrics;
class GetSongInfoFromUser;
class Edit_pic;

/**
 * The library window and the playlist manager beside the player: the state they share
 * (the library view, the panel, the stored playlists), the windows made when first
 * opened, and the player's menu items and signals that reach them. UI thread only.
 */
class CatalogWindows {
 public:
  CatalogWindows(Collection& collection, AppServices& services, Play& play, PlayerEngine& engine,
                 std::function<void()> openAddSongs, std::function<void(QMenu*)> fillPortableMenu);
  ~CatalogWindows();

  PlayList* Library();
  PlayListMgr* Manager();
  Lyrics* LyricsWindow();
  GetSongInfoFromUser* TrackInfoWindow();
  /** Shows the track information of a song file, docked under the player. */
  void EditTrackInfo(const QString& file);
  /** Shows the picture chooser for a song file's art. */
  void EditArt(const QString& file);
  /** Rows were added to the library (the adding window). */
  void SongsAdded();
  /** Whether a cell of the library window is open for editing. */
  bool EditingLibrary() const { return view_.IsEditing(); }

 private:
  void ConnectPlayer();
  void ExportToWav(const QStringList& files);
  void OpenWebAddress(const QString& address);
  QString MoveInLibrary(const QString& from, int step);
  /** AutoDJ and the library panel replace the player's playlist through the manager
   *  when it is open, so that it shows the new list. */
  void ClearCurrent();

  Collection& collection_;
  AppServices& services_;
  Play& play_;
  PlayerEngine& engine_;
  std::function<void()> openAddSongs_;
  std::function<void(QMenu*)> fillPortableMenu_;
  PlayerPlaylist current_;
  PlayListPanel panel_;
  LibraryView view_;
  CategoryLists categories_;
  AutoDj autoDj_;
  PlayListStore store_;
  PlayListManager manager_;
  QPointer<PlayList> library_;
  QPointer<PlayListMgr> managerWindow_;
  CurrentSong song_;  // what the track information and the lyrics editor edit
  SongTexts texts_;
  QPointer<Lyrics> lyrics_;
  TrackInfo trackInfo_;
  QPointer<GetSongInfoFromUser> trackInfoWindow_;
  QPointer<Edit_pic> artWindow_;
};

}  // namespace audiolume
