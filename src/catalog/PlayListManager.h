#pragma once

#include <QStringList>
#include <functional>
#include <optional>

#include "library/PlayListText.h"

namespace audiolume {

class CurrentError;
class CurrentPlaylist;
class ErrorCheck;
class ErrorLog;
class PlayListPanel;
class MessageCatalog;
class PlayListStore;
class Prompter;

/**
 * What the playlist manager does with the stored playlists and the player's current
 * playlist: list, load, save under a name, delete, start a new one; and the library
 * window's panel: a stored playlist loaded into it, the recent playlist kept from one run
 * to the next. The placeholder "(New)" stands for a playlist not stored yet and is never
 * a stored name. Questions and messages go to the prompter. UI thread only.
 */
class PlayListManager {
 public:
  /** Whether a song file can be found. */
  using Presence = std::function<bool(const QString& file)>;

  PlayListManager(PlayListStore& store, CurrentPlaylist& current, MessageCatalog& catalog,
                  Prompter& prompter, CurrentError& error, ErrorCheck& check, QString settingsFile,
                  const ErrorLog& log);

  /** "(New)" in the message language. */
  QString Placeholder() const;
  bool IsPlaceholder(const QString& name) const;
  /** lstPlayListTitle: the stored names in file order, then the placeholder. */
  QStringList Titles() const;

  /** The stored playlist that is the current one; the placeholder when none is. */
  const QString& LoadedName() const { return loaded_; }
  /** Whether the current playlist changed since it was loaded or saved. */
  bool Changed() const { return changed_; }
  void MarkChanged() { changed_ = true; }

  /** Makes the stored playlist the current one. Songs whose files are missing are left
   *  out and shown in one report. False when there is no such playlist. */
  bool Load(const QString& name, const Presence& present);
  /** The files that Load left out, in order. */
  const QStringList& Missing() const { return missing_; }
  /** The missing-songs report's text. */
  static QString MissingSongsText(const QStringList& files);

  /** The name to save under: asked with the proposal as default when ask is set or the
   *  proposal is the placeholder; nothing when the user gives no name. */
  std::optional<QString> GetSavePlaylistName(const QString& proposal, bool ask);
  /** Stores the current playlist under name: refuses the placeholder and names the
   *  playlist file cannot hold, asks before replacing another stored playlist of that
   *  name. True when stored. */
  bool Save(const QString& name);
  /** The refusal of a name the playlist file cannot hold. */
  static QString UnstorableNameText(const QString& name);
  /** Stores songs under name, refusing and asking as Save does; the current playlist
   *  stays as it is. True when stored. */
  bool Store(const QString& name, const QList<PlayListEntry>& songs);
  /** Removes a stored playlist after asking; true when removed. */
  bool Delete(const QString& name);
  /** An empty new playlist: the placeholder becomes the current name. */
  void New();

  /** Appends a stored playlist's songs to the panel. A song not in the library is asked
   *  about: OK skips it, "Don't ask again" skips it and the rest silently, Cancel stops.
   *  False when there is no such playlist. */
  bool LoadIntoPanel(const QString& name, PlayListPanel& panel);
  /** The panel as the last run left it ("Recent Playlist", "RecentPlayList.txt"). */
  void LoadRecentPlayList(PlayListPanel& panel);
  /** Keeps the panel for the next run; when that fails its entries go to the error log
   *  and the user is told. */
  void SaveRecentPlayList(const PlayListPanel& panel);

 private:
  PlayListStore& store_;
  CurrentPlaylist& current_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  CurrentError& error_;
  ErrorCheck& check_;
  QString settingsFile_;
  const ErrorLog& log_;
  QString loaded_;
  QStringList missing_;
  bool changed_ = false;
};

}  // namespace audiolume
