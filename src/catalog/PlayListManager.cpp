#include "catalog/PlayListManager.h"

#include "catalog/CurrentPlaylist.h"
#include "catalog/PlayListPanel.h"
#include "catalog/PlayListStore.h"
#include "library/PlayListText.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

PlayListManager::PlayListManager(PlayListStore& store, CurrentPlaylist& current,
                                 MessageCatalog& catalog, Prompter& prompter, CurrentError& error,
                                 ErrorCheck& check, QString settingsFile, const ErrorLog& log)
    : store_(store),
      current_(current),
      catalog_(catalog),
      prompter_(prompter),
      error_(error),
      check_(check),
      settingsFile_(std::move(settingsFile)),
      log_(log),
      loaded_(Placeholder()) {}

QString PlayListManager::Placeholder() const {
  return u'(' + catalog_.GetMsg(RC_New) + u')';
}

bool PlayListManager::IsPlaceholder(const QString& name) const {
  return name.trimmed().compare(Placeholder(), Qt::CaseInsensitive) == 0;
}

QStringList PlayListManager::Titles() const {
  QStringList titles;
  error_.Trap([&] { titles = store_.Names(Placeholder()); });
  check_.CheckError(u"in PlayListMgr.ListPlayLists"_s);
  titles.append(Placeholder());
  return titles;
}

bool PlayListManager::Load(const QString& name, const Presence& present) {
  missing_.clear();
  std::optional<QList<PlayListEntry>> songs;
  error_.Trap([&] { songs = store_.Songs(name); });
  check_.CheckError(u"in PlayListMgr.lstPlayListTitle_Click"_s);
  if (!songs) return false;
  current_.Clear();
  QList<PlayListEntry> found;
  for (const PlayListEntry& song : *songs) {
    if (present(song.path)) {
      found.append(song);
    } else {
      missing_.append(song.path);
    }
  }
  current_.AppendMany(found);
  current_.Loaded(name);
  loaded_ = name;
  changed_ = false;
  if (!missing_.isEmpty()) prompter_.Tell(MissingSongsText(missing_), MessageIcon::Exclamation);
  return true;
}

QString PlayListManager::MissingSongsText(const QStringList& files) {
  if (files.size() == 1) {
    return u"Can't find the following song:\n"_s + files.first() +
           u"\nThis song will be omitted from the playlist."_s;
  }
  return u"Can't find the following songs:\n"_s + files.join(u'\n') +
         u"\nThey will be omitted from the playlist."_s;
}

QString PlayListManager::UnstorableNameText(const QString& name) {
  return u"The playlist name \""_s + name.simplified() +
         u"\" cannot be used: a name may not contain \"]\" or a line break, nor start with \"[\"."_s;
}

std::optional<QString> PlayListManager::GetSavePlaylistName(const QString& proposal, bool ask) {
  QString name = proposal;
  if (name.trimmed().startsWith(Placeholder(), Qt::CaseInsensitive)) {
    name = name.trimmed().mid(Placeholder().size()).trimmed();
    ask = true;
  }
  if (ask) {
    const std::optional<QString> answer =
        prompter_.InputText(catalog_.GetMsg(RC_SavePlayList), catalog_.GetMsg(RC_SavePLName), name);
    if (!answer) return std::nullopt;
    name = *answer;
  }
  name = name.trimmed();
  if (name.isEmpty()) return std::nullopt;
  return name;
}

bool PlayListManager::Save(const QString& name) {
  if (!Store(name, current_.Entries())) return false;
  current_.Loaded(name);
  loaded_ = name;
  changed_ = false;
  return true;
}

bool PlayListManager::Store(const QString& name, const QList<PlayListEntry>& songs) {
  if (IsPlaceholder(name)) {
    prompter_.Tell(catalog_.GetMsg(RC_NewReserveWord), MessageIcon::Exclamation);
    return false;
  }
  if (!PlayListText::IsStorableName(name)) {
    prompter_.Tell(UnstorableNameText(name), MessageIcon::Exclamation);
    return false;
  }
  bool stored = false;
  error_.Trap([&] { stored = name != loaded_ && store_.Contains(name); });
  if (stored) {
    const QString question = catalog_.GetMsgWithValue(RC_DB_Existed_Message1, name) + u'\n' +
                             catalog_.GetMsg(RC_DB_Existed_Message2);
    const QString buttons = catalog_.GetMsg(RC_Yes) + u'|' + catalog_.GetMsg(RC_No);
    if (prompter_.Ask(question, buttons, MessageIcon::Question) != 1) return false;
  }
  const bool saved = error_.Trap([&] { store_.Save(name, songs); });
  check_.CheckError(u"in PlayListMgr.SavePlayList"_s);
  return saved;
}

bool PlayListManager::Delete(const QString& name) {
  if (name.trimmed().isEmpty()) {
    prompter_.Tell(catalog_.GetMsg(RC_Highlight_Playlist), MessageIcon::Exclamation);
    return false;
  }
  if (IsPlaceholder(name)) {
    prompter_.Tell(catalog_.GetMsg(RC_NewReserved), MessageIcon::Exclamation);
    return false;
  }
  const QString question = catalog_.GetMsgWithValue(RC_RemovePlaylist, u'"' + name + u'"');
  const QString buttons = catalog_.GetMsg(RC_Yes) + u'|' + catalog_.GetMsg(RC_No);
  if (prompter_.Ask(question, buttons, MessageIcon::Question) != 1) return false;
  bool removed = false;
  error_.Trap([&] { removed = store_.Remove(name); });
  check_.CheckError(u"in PlayListMgr.DeletePlayList"_s);
  if (removed && loaded_ == name) loaded_ = Placeholder();
  return removed;
}

void PlayListManager::New() {
  current_.Clear();
  current_.Loaded({});
  loaded_ = Placeholder();
  changed_ = false;
}

bool PlayListManager::LoadIntoPanel(const QString& name, PlayListPanel& panel) {
  std::optional<QList<PlayListEntry>> songs;
  error_.Trap([&] { songs = store_.Songs(name); });
  check_.CheckError(u"in PlayList.LoadPlayList"_s);
  if (!songs) return false;
  const QString buttons = catalog_.GetMsg(RC_OK) + u'|' + catalog_.GetMsg(RC_DontAskAgain) + u'|' +
                          catalog_.GetMsg(RC_Cancel);
  bool ask = true;
  for (const PlayListEntry& song : *songs) {
    if (panel.AddSongByFile(song.path) || !ask) continue;
    const int answer = prompter_.Ask(catalog_.GetMsgWithValue(RC_DB_CannotFind, song.path), buttons,
                                     MessageIcon::Exclamation);
    if (answer == 3) break;
    ask = answer == 1;
  }
  panel.SetTitle(name);
  return true;
}

void PlayListManager::LoadRecentPlayList(PlayListPanel& panel) {
  panel.Clear();
  panel.SetTitle(ReadIniString(settingsFile_, u"PlayList"_s, u"Recent Playlist"_s));
  QStringList files;
  error_.Trap([&] { files = store_.RecentFiles(); });
  error_.Clear();  // an unreadable recent playlist starts the panel empty
  for (const QString& file : files) panel.AddSongByFile(file);
}

void PlayListManager::SaveRecentPlayList(const PlayListPanel& panel) {
  WriteIniString(settingsFile_, u"PlayList"_s, u"Recent Playlist"_s, panel.Title());
  if (error_.Trap([&] { store_.WriteRecentFiles(panel.Files()); })) return;
  error_.Clear();
  for (const PlayListPanel::Entry& entry : panel.Entries()) {
    log_.Append(entry.title + u", index="_s + QString::number(entry.row));
  }
  prompter_.Tell(u"Error while saving recent playlist"_s, MessageIcon::Exclamation);
}

}  // namespace audiolume
