#include "cli/CatalogCommands.h"

#include <optional>

#include <QDateTime>
#include <QFileInfo>
#include <QRandomGenerator>

#include "app/AppServices.h"
#include "app/Collection.h"
#include "catalog/AutoDj.h"
#include "catalog/CategoryLists.h"
#include "catalog/LibraryView.h"
#include "catalog/PlayListManager.h"
#include "catalog/PlayListPanel.h"
#include "catalog/PlayListStore.h"
#include "catalog/SongRowWriter.h"
#include "catalog/SongSearch.h"
#include "catalog/SongSort.h"
#include "catalog/StartupPlaylistFile.h"
#include "catalog/TrackInfo.h"
#include "cli/TableField.h"
#include "cli/TagCommands.h"
#include "support/CommandLinePrompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QStringList kEditableNames{u"Title"_s, u"Album"_s, u"Artist"_s,    u"Genre"_s,
                                 u"Tempo"_s, u"Mood"_s,  u"Situation"_s, u"Preference"_s};
const QStringList kCriterionNames{u"album"_s, u"artist"_s,    u"genre"_s,     u"tempo"_s,
                                  u"mood"_s,  u"situation"_s, u"preference"_s};

// The library column of an AutoDJ criterion's name; 0 when it names none.
int CriterionColumn(const QString& name) {
  return int(kCriterionNames.indexOf(name.toLower())) + 1;
}

}  // namespace

CatalogCommands::CatalogCommands(Collection& collection, AppServices& services,
                                 CommandLinePrompter& prompter, QString home, std::FILE* out,
                                 std::FILE* err)
    : collection_(collection),
      services_(services),
      prompter_(prompter),
      home_(std::move(home)),
      out_(out),
      err_(err),
      panel_(std::make_unique<PlayListPanel>(collection.library)),
      view_(std::make_unique<LibraryView>(
          collection.library, *panel_, services.Log(), services.SettingsFile(),
          [&collection](int row) { return collection.rowWriter.Write(row); })),
      current_(std::make_unique<StartupPlaylistFile>(home_ + u"/PlayList.txt"_s,
                                                     services.SettingsFile())),
      store_(std::make_unique<PlayListStore>(home_)),
      manager_(std::make_unique<PlayListManager>(*store_, *current_, services.Catalog(), prompter,
                                                 services.Error(), services.Check(),
                                                 services.SettingsFile(), services.Log())),
      autoDj_(std::make_unique<AutoDj>(
          collection.library, [] { return QRandomGenerator::global()->generateDouble(); })) {}

CatalogCommands::~CatalogCommands() = default;

void CatalogCommands::Print(const QString& line) const {
  std::fputs(line.toUtf8().constData(), out_);
  std::fputc('\n', out_);
}

int CatalogCommands::Problem(const QString& text) const {
  std::fprintf(err_, "twpl: %s\n", text.toUtf8().constData());
  return 2;
}

int CatalogCommands::Fail(const QString& text) const {
  std::fprintf(err_, "twpl: %s\n", text.toUtf8().constData());
  return 1;
}

int CatalogCommands::LibraryList(QStringList args) {
  const bool descending = args.removeAll(u"--descending"_s) > 0;
  if (args.size() == 2 && args[0] == u"--sort") {
    bool ok = false;
    const int column = args[1].toInt(&ok);
    if (!ok || column < 0 || column > SongSort::kTrackNumberColumn) {
      return Problem(u"--sort needs a column from 0 to 13"_s);
    }
    view_->Sort(column, descending);
  } else if (!args.isEmpty() || descending) {
    return Problem(u"library list takes only --sort K [--descending]"_s);
  } else {
    view_->ApplyStoredSort();
  }
  PrintShownRows();
  return 0;
}

int CatalogCommands::LibraryFind(const QStringList& words) {
  if (SongSearch::Words(words.join(u' ')).isEmpty())
    return Problem(u"library find needs WORD..."_s);
  view_->ApplyStoredSort();
  view_->SetSearch(words.join(u' '));
  PrintShownRows();
  return 0;
}

void CatalogCommands::PrintShownRows() const {
  const SongLibrary& library = collection_.library;
  for (int position = 1; position <= view_->Count(); ++position) {
    const int row = view_->RowAt(position);
    QStringList columns;
    for (int column = 0; column <= SongLibrary::kFilenameColumn; ++column) {
      columns.append(TableField::Escaped(library.SongText(row, column)));
    }
    Print(columns.join(u'\t'));
  }
}

int CatalogCommands::LibraryEdit(QStringList args) {
  if (args.size() < 2) return Problem(u"library edit needs FILE NAME=VALUE..."_s);
  const QString file = args.takeFirst();
  QList<std::pair<int, QString>> edits;
  for (const QString& arg : args) {
    const qsizetype equals = arg.indexOf(u'=');
    const int column = equals < 0 ? -1 : int(kEditableNames.indexOf(arg.left(equals)));
    if (column < 0) return Problem(u"not an editable column: "_s + arg);
    edits.append({column, arg.mid(equals + 1)});
  }
  const int row = view_->FindSongIndex(file);
  if (row == 0) return Fail(u"not in the library: "_s + file);
  int position = 1;
  while (view_->RowAt(position) != row) ++position;
  for (const auto& [column, value] : edits) {
    view_->BeginEdit(position, column);
    view_->SetEditText(value);
    view_->CloseEdit();
  }
  view_->LeaveRow();
  return collection_.library.SaveSongData() ? 0 : 1;
}

int CatalogCommands::LibraryDelete(QStringList args) {
  const bool withFiles = args.removeAll(u"--with-files"_s) > 0;
  if (args.isEmpty()) return Problem(u"library delete needs FILE..."_s);
  int removed = 0;
  int code = 0;
  for (const QString& file : args) {
    if (view_->RemoveSongFromDatabase(file, withFiles)) {
      ++removed;
    } else {
      code = Fail(u"not in the library: "_s + file);
    }
  }
  if (removed > 0 && !collection_.library.SaveSongData()) code = 1;
  Print(u"removed "_s + QString::number(removed));
  return code;
}

int CatalogCommands::PlayList(const QString& command, QStringList args) {
  if (command == u"list") {
    if (!args.isEmpty()) return Problem(u"playlist list takes no arguments"_s);
    QStringList names;
    if (!services_.Error().Trap([&] { names = store_->Names(manager_->Placeholder()); })) {
      return Fail(services_.Error().Description());
    }
    for (const QString& name : names) Print(TableField::Escaped(name));
    return 0;
  }
  if (command == u"show") return PlayListShow(args);
  if (command == u"save") return PlayListSave(args);
  if (command == u"delete") return PlayListDelete(args);
  if (command == u"load") return PlayListLoad(args);
  if (command == u"add-startup") return PlayListAddStartup(args);
  return Problem(u"playlist needs list, show, save, delete, load or add-startup"_s);
}

void CatalogCommands::PrintSongs(const QList<PlayListEntry>& songs) const {
  for (qsizetype i = 0; i < songs.size(); ++i) {
    const PlayListEntry& song = songs[i];
    Print(QString::number(i + 1) + u'\t' + TableField::Escaped(song.path) + u'\t' +
          TableField::Escaped(song.title) + u'\t' + TableField::Escaped(song.artist) + u'\t' +
          TableField::Escaped(song.preset));
  }
}

int CatalogCommands::PlayListShow(const QStringList& args) {
  if (args.size() != 1) return Problem(u"playlist show needs NAME"_s);
  std::optional<QList<PlayListEntry>> songs;
  if (!services_.Error().Trap([&] { songs = store_->Songs(args[0]); })) {
    return Fail(services_.Error().Description());
  }
  if (!songs) return Fail(u"no such playlist: "_s + args[0]);
  PrintSongs(*songs);
  return 0;
}

int CatalogCommands::PlayListSave(QStringList args) {
  const bool replace = args.removeAll(u"--replace"_s) > 0;
  if (args.size() < 2) return Problem(u"playlist save needs NAME FILE..."_s);
  const QString name = args.takeFirst().trimmed();
  if (name.isEmpty()) return Problem(u"playlist save needs a NAME"_s);
  if (replace) prompter_.SetPreferredCaptions({u"Yes"_s});
  for (const QString& file : args) current_->Append(collection_.entries.EntryOf(file));
  return manager_->Save(name) ? 0 : 1;
}

int CatalogCommands::PlayListDelete(QStringList args) {
  if (args.removeAll(u"--yes"_s) > 0) prompter_.SetPreferredCaptions({u"Yes"_s});
  if (args.size() != 1) return Problem(u"playlist delete needs NAME --yes"_s);
  return manager_->Delete(args[0]) ? 0 : 1;
}

int CatalogCommands::PlayListLoad(const QStringList& args) {
  if (args.size() != 1) return Problem(u"playlist load needs NAME"_s);
  if (!manager_->Load(args[0], [](const QString& file) { return QFileInfo::exists(file); })) {
    return Fail(u"no such playlist: "_s + args[0]);
  }
  PrintSongs(current_->Entries());
  return WriteCurrent();
}

// As sample songs are installed: each song joins the library, and its line, numbered 1,
// the end of the start-up playlist.
int CatalogCommands::PlayListAddStartup(const QStringList& args) {
  if (args.isEmpty()) return Problem(u"playlist add-startup needs FILE..."_s);
  collection_.adder.SetAnswers(false, true);  // a song already in the library stays as it is
  const QList<SongAdder::Added> added = collection_.adder.AddSongs(args);
  for (const SongAdder::Added& song : added) {
    const PlayListEntry entry = collection_.library.PlayListEntryOf(song.row);
    if (!services_.Error().Trap([&] { current_->AppendToFile(entry); })) {
      return Fail(services_.Error().Description());
    }
    Print(QString::number(song.row) + u'\t' + TableField::Escaped(song.path));
  }
  return added.size() == args.size() ? 0 : 1;
}

int CatalogCommands::WriteCurrent() {
  if (services_.Error().Trap([&] { current_->Write(); })) return 0;
  return Fail(services_.Error().Description());
}

int CatalogCommands::AutoDjCommand(QStringList args) {
  const AutoDj& autoDj = *autoDj_;
  if (!args.isEmpty() && args[0] == u"values") {
    const int column = args.size() == 2 ? CriterionColumn(args[1]) : 0;
    if (column == 0)
      return Problem(
          u"autodj values needs album, artist, genre, tempo, mood, situation or preference"_s);
    for (const QString& value : autoDj.ValueList(column)) Print(TableField::Escaped(value));
    return 0;
  }
  return AutoDjSelect(args);
}

int CatalogCommands::AutoDjSelect(QStringList args) {
  const AutoDj& autoDj = *autoDj_;
  AutoDj::Selection selection;
  selection.random = args.removeAll(u"--random"_s) > 0;
  bool hasFirst = false;
  // COLUMN=V1;V2… with every value one the criterion's list offers.
  auto criterion = [&](const QString& text) -> std::optional<AutoDj::Criterion> {
    const qsizetype equals = text.indexOf(u'=');
    const int column = equals < 0 ? 0 : CriterionColumn(text.left(equals));
    if (column == 0) return std::nullopt;
    const QStringList values = text.mid(equals + 1).split(u';', Qt::SkipEmptyParts);
    const QStringList offered = autoDj.ValueList(column);
    for (const QString& value : values) {
      if (!offered.contains(value)) return std::nullopt;
    }
    return AutoDj::Criterion{column, values, false};
  };
  while (!args.isEmpty()) {
    const QString option = args.takeFirst();
    const bool narrowing = option == u"--second" || option == u"--third";
    if (args.size() < (narrowing ? 2 : 1)) return Problem(option + u" needs a value"_s);
    if (option == u"--hours") {
      selection.hours = args.takeFirst();
    } else if (option == u"--first") {
      const auto first = criterion(args.takeFirst());
      if (!first) return Problem(u"--first needs COLUMN=VALUE[;VALUE...] from its value list"_s);
      selection.first = *first;
      hasFirst = true;
    } else if (narrowing) {
      const QString logic = args.takeFirst();
      auto next = criterion(args.takeFirst());
      if (!next || (logic != u"and" && logic != u"andnot")) {
        return Problem(option + u" needs and|andnot COLUMN=VALUE[;VALUE...] from its value list"_s);
      }
      next->andNot = logic == u"andnot";
      (option == u"--second" ? selection.second : selection.third) = next;
    } else {
      return Problem(u"unknown autodj option: "_s + option);
    }
  }
  if (!hasFirst) return Problem(u"autodj needs --first COLUMN=VALUE"_s);
  if (selection.third && !selection.second) return Problem(u"--third needs --second"_s);

  const AutoDj::Result result = autoDj.Select(selection);
  for (const PlayListEntry& entry : autoDj.Entries(result)) current_->Append(entry);
  for (const int row : result.rows) {
    const SongLibrary& library = collection_.library;
    Print(TableField::Escaped(library.SongText(row, SongLibrary::kFilenameColumn)) + u'\t' +
          TableField::Escaped(library.SongText(row, 0)) + u'\t' +
          TableField::Escaped(library.SongText(row, 8)));
  }
  std::fprintf(err_, "%s\n", AutoDj::Report(result, services_.Catalog()).toUtf8().constData());
  return WriteCurrent();
}

int CatalogCommands::Categories() const {
  CategoryLists lists;
  lists.Load(home_ + u"/VeltoDj.cat"_s, collection_.genres);
  const QString names[CategoryLists::kLists] = {u"genre"_s, u"tempo"_s, u"mood"_s, u"situation"_s,
                                                u"preference"_s};
  for (int list = 0; list < CategoryLists::kLists; ++list) {
    for (const QString& entry : lists.List(list)) Print(names[list] + u'\t' + entry);
  }
  return 0;
}

namespace {

// The apply-to-album boxes by the names of the fields they copy.
std::optional<TrackInfo::Boxes> BoxesNamed(const QString& names) {
  const QStringList boxNames = {u"Album"_s,       u"Artist"_s,       u"Genre"_s,      u"Tempo"_s,
                                u"Mood"_s,        u"Situation"_s,    u"Preference"_s, u"Year"_s,
                                u"Comment"_s,     u"SerialNumber"_s, u"ArtistURL"_s,  u"BuyCDURL"_s,
                                u"ArtistEmail"_s, u"Bios"_s,         u"Art"_s};
  TrackInfo::Boxes boxes{};
  for (const QString& name : names.split(u',', Qt::SkipEmptyParts)) {
    const qsizetype box = boxNames.indexOf(name.trimmed());
    if (box < 0) return std::nullopt;
    boxes[std::size_t(box)] = true;
  }
  return boxes;
}

}  // namespace

int CatalogCommands::InfoSave(QStringList args) {
  TrackInfo::Boxes boxes{};
  if (const qsizetype at = args.indexOf(u"--apply-to-album"_s); at >= 0) {
    if (at + 1 >= args.size()) return Problem(u"--apply-to-album needs field names"_s);
    const auto named = BoxesNamed(args[at + 1]);
    if (!named) return Problem(u"not an apply-to-album field in "_s + args[at + 1]);
    boxes = *named;
    args.remove(at, 2);
  }
  if (args.isEmpty()) return Problem(u"info save needs FILE NAME=VALUE…"_s);
  const QString file = args.takeFirst();
  CurrentSong edited(collection_.library, collection_.adder, collection_.id3, collection_.rowWriter,
                     collection_.database);
  TrackInfo info(edited, collection_.library, collection_.trailer, collection_.database);
  if (!info.Load(file)) return Fail(u"no such file: "_s + file);
  TrackInfo::Song& song = info.Current();
  for (const QString& arg : args) {
    const qsizetype equals = arg.indexOf(u'=');
    const QString name = arg.left(equals);
    const QString value = arg.mid(equals + 1);
    const bool fits =
        equals > 0 && (name == u"Year"      ? (song.year = value, true)
                       : name == u"Comment" ? (song.comment = value, true)
                       : name == u"Art"     ? info.SetPicture(value)
                                            : TagCommands::SetField(song.record, name, value));
    if (!fits) return Problem(u"cannot set "_s + arg);
  }
  const int written = info.Save();
  for (const TrackInfo::Changed& changed : info.ApplyToAlbum(boxes)) {
    Print(QString::number(changed.row) + u'\t' + changed.path);
  }
  return written == 0 ? 0 : 1;
}

}  // namespace audiolume
