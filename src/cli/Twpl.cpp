#include "cli/Twpl.h"

#include <QDir>
#include <map>

#include "app/AppHome.h"
#include "app/Collection.h"
#include "app/VeltoDj.h"
#include "cli/CatalogCommands.h"
#include "cli/CdCommands.h"
#include "cli/PlayCommand.h"
#include "cli/ReplayGainCommand.h"
#include "cli/RioCommand.h"
#include "cli/TableField.h"
#include "cli/TagCommands.h"
#include "library/DatabaseCommands.h"
#include "library/SongLibrary.h"
#include "platform/FileConverter.h"
#include "support/CommandLinePrompter.h"
#include "support/MessageTable.h"
#include "support/ReplaceQuestion.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const char* const kUsage =
    "usage: twpl [--home DIR] COMMAND ...\n"
    "commands:\n"
    "  messages                         every message: number, name, built-in text\n"
    "  msg N [VALUE]                    the text of message N, VALUE in its placeholder\n"
    "  diagnostics                      capture diagnostics; prints Diagnostic.log's path\n"
    "  library list [--sort K [--descending]]\n"
    "                                   the songs: text columns 0 to 11, tab-separated, in the\n"
    "                                   stored sort order (--sort K sorts by column K first)\n"
    "  library find WORD...             the songs holding every word, printed as list does\n"
    "  library edit FILE NAME=VALUE...  edit Title, Album, Artist, Genre, Tempo, Mood,\n"
    "                                   Situation or Preference, in the library and the file\n"
    "  library delete [--with-files] FILE...\n"
    "                                   remove songs (and their files); prints removed N\n"
    "  library export FILE [--replace]  write the tab-separated export file\n"
    "  library save                     save the library database\n"
    "  library save-as FILE [--replace] copy the library database to FILE\n"
    "  library load FILE                replace the library by the database FILE\n"
    "  library clear --yes              empty the library (keeps \"TWPL saved.TWD\")\n"
    "  tags show FILE                   the song's trailer tag, record and ID3 tag\n"
    "  tags write FILE NAME=VALUE... [--keep-id3] [--answer tunewright|id3|cancel]\n"
    "                                   write record fields (and ID3Year, ID3Comment)\n"
    "  tags art FILE PICTURE            store a .bmp/.jpg/.wmf/.ico picture in the song\n"
    "  tags extract-art FILE OUT        write the stored picture to OUT\n"
    "  play [--null-audio] [--speed F] [--replaygain off|track|album] FILE...\n"
    "                                   play the files in order; prints N<TAB>path as each\n"
    "                                   starts, then done\n"
    "  convert --to DIR (--wav | --mp3 [--bitrate BPS]) FILE...\n"
    "                                   convert the files; prints converted N\n"
    "  query FILE                       bitrate, duration_ms, samplerate_code, channels\n"
    "  library add [--yes-to-all | --no-to-all] PATH...\n"
    "                                   add songs; prints N<TAB>path for each\n"
    "  playlist list                    the stored playlists\n"
    "  playlist show NAME               N, path, song name, artist, preset of each song\n"
    "  playlist save NAME [--replace] FILE...\n"
    "                                   store a playlist of those songs\n"
    "  playlist delete NAME --yes       remove a stored playlist\n"
    "  playlist load NAME               make it the start-up playlist; prints it as show\n"
    "  playlist add-startup FILE...     add songs to the library and to the end of the\n"
    "                                   start-up playlist; prints N<TAB>path for each\n"
    "  autodj values COLUMN             the values of album, artist, genre, tempo, mood,\n"
    "                                   situation or preference\n"
    "  autodj --first COLUMN=V[;V...] [--second and|andnot COLUMN=V...]\n"
    "         [--third and|andnot COLUMN=V...] [--hours H] [--random]\n"
    "                                   pick songs; prints path, title, play time of each\n"
    "  categories                       the genre, tempo, mood, situation and preference\n"
    "                                   lists: LIST<TAB>entry\n"
    "  info save FILE NAME=VALUE... [--apply-to-album NAME,...]\n"
    "                                   save track information (Year, Comment, Art=PICTURE\n"
    "                                   too); prints N, path of each other song changed\n"
    "  cd drives                        LETTER:<TAB>device or image of each CD drive\n"
    "  cd info [--drive D:]             the disc: id, serial, length, tracks, artist, album,\n"
    "                                   then N<TAB>start frame<TAB>m:ss<TAB>title per track\n"
    "  cd lookup [--drive D:] [--server HOST] [--port N] [--user NAME] [--http] [--pick N]\n"
    "                                   fetch the titles from a CDDB server, store them in\n"
    "                                   the title cache and print them as cd info\n"
    "  cd configure [--drive D:] [--length short|medium|long]\n"
    "                                   test the drive for digital recording; prints\n"
    "                                   CONFIG_OK (exit 1: recording switched to analog)\n"
    "  cd record [--drive D:] [--tracks N,N...|all] [--format CODE] [--to DIR] [--lookup]\n"
    "            [--yes-to-all | --no-to-all] [--accuraterip URL]\n"
    "                                   record the disc's tracks; prints N<TAB>code<TAB>path\n"
    "                                   as each finishes, then checks them with AccurateRip\n"
    "  cd verify DIR [--accuraterip URL]\n"
    "                                   check the album's rip.log with AccurateRip; prints\n"
    "                                   N<TAB>verdict per track, then the summary\n"
    "  cddb sites [--server HOST] [--port N]\n"
    "                                   host<TAB>port<TAB>description of each CDDB site\n"
    "  rio export [--device DIR] [--bitrate BPS] [--clear [--yes]] FILE...\n"
    "                                   send the songs to the portable player (BPS 0: as\n"
    "                                   they are); prints N<TAB>path on the player for each,\n"
    "                                   then the count\n"
    "  replaygain scan [--album] [--write] FILE...\n"
    "                                   measure the files' loudness; prints gain<TAB>peak<TAB>\n"
    "                                   path of each, then album<TAB>gain<TAB>peak with\n"
    "                                   --album; --write stores the values in the files' tags\n";

int ExitCode(DatabaseCommands::Outcome outcome) {
  return outcome == DatabaseCommands::Outcome::Done ? 0 : 1;
}

}  // namespace

QString Twpl::Session::Absolute(const QString& file) const {
  return QDir(callerDir).absoluteFilePath(file);
}

Twpl::Twpl(LaunchEnvironment env, QString executableDir, std::FILE* out, std::FILE* err)
    : env_(std::move(env)), executableDir_(std::move(executableDir)), out_(out), err_(err) {}

void Twpl::Print(const QString& line) const {
  std::fputs(line.toUtf8().constData(), out_);
  std::fputc('\n', out_);
}

int Twpl::Usage(const QString& problem) const {
  if (!problem.isEmpty()) std::fprintf(err_, "twpl: %s\n", problem.toUtf8().constData());
  std::fputs(kUsage, err_);
  return 2;
}

bool Twpl::TakeFlag(QStringList& args, const QString& flag) {
  return args.removeAll(flag) > 0;
}

int Twpl::Run(QStringList args) {
  QString home = env_.home;
  if (!args.isEmpty() && args.first() == u"--home") {
    if (args.size() < 2) return Usage(u"--home needs a folder"_s);
    home = args[1];
    args = args.mid(2);
  }
  if (args.isEmpty()) return Usage({});
  const QString command = args.takeFirst();
  const std::map<QString, Handler> commands = {{u"messages"_s, &Twpl::Messages},
                                               {u"msg"_s, &Twpl::Msg},
                                               {u"diagnostics"_s, &Twpl::Diagnose},
                                               {u"library"_s, &Twpl::Library},
                                               {u"tags"_s, &Twpl::Tags},
                                               {u"play"_s, &Twpl::Play},
                                               {u"convert"_s, &Twpl::Convert},
                                               {u"query"_s, &Twpl::Query},
                                               {u"playlist"_s, &Twpl::PlayList},
                                               {u"autodj"_s, &Twpl::AutoDj},
                                               {u"categories"_s, &Twpl::Categories},
                                               {u"info"_s, &Twpl::Info},
                                               {u"cd"_s, &Twpl::Cd},
                                               {u"cddb"_s, &Twpl::Cddb},
                                               {u"rio"_s, &Twpl::Rio},
                                               {u"replaygain"_s, &Twpl::ReplayGain}};
  const auto found = commands.find(command);
  if (found == commands.end()) return Usage(u"unknown command '"_s + command + u"'"_s);

  const QString callerDir = QDir::currentPath();
  CommandLinePrompter prompter({}, err_);
  VeltoDj veltoDj({home,
                   env_.registryPath,
                   env_.dataHome,
                   AppHome::ShippedDataDir(executableDir_),
                   env_.cdDrives,
                   {},
                   env_.audio,
                   {}},
                  prompter);
  veltoDj.Initialize();
  veltoDj.BootstrapSettings();
  Collection collection(veltoDj.WorkingDirectory(), veltoDj.Services(), [&veltoDj] {
    return platform::CdDriveList::MountPoints(veltoDj.CdDrives());
  });
  // Every command that reads or changes the library finds it loaded, without each having to.
  static const QStringList kWithoutLibrary = {u"messages"_s, u"msg"_s, u"diagnostics"_s};
  if (!kWithoutLibrary.contains(command)) collection.library.LoadSongData();
  Session session{veltoDj, collection, prompter, callerDir};
  return (this->*found->second)(session, args);
}

int Twpl::Cd(Session& session, QStringList args) const {
  const QString command = args.isEmpty() ? QString() : args.takeFirst();
  const CdCommands cd(session.veltoDj.CdDrives(), session.veltoDj.Services(), session.collection,
                      out_, err_);
  if (command == u"drives" && args.isEmpty()) return cd.Drives();
  if (command == u"info") return UsageOnTwo(cd.Info(args));
  if (command == u"lookup") return UsageOnTwo(cd.Lookup(args));
  if (command == u"configure") return UsageOnTwo(cd.Configure(args));
  if (command == u"verify" && !args.isEmpty()) {
    const QString folder = session.Absolute(args.takeFirst());
    return UsageOnTwo(cd.Verify(folder, args));
  }
  if (command == u"record") {
    const bool yes = TakeFlag(args, u"--yes-to-all"_s);
    const bool no = TakeFlag(args, u"--no-to-all"_s);
    if (yes && no) return Usage(u"cd record takes --yes-to-all or --no-to-all"_s);
    return UsageOnTwo(cd.Record(args, yes  ? ReplaceQuestion::kYesToAll
                                      : no ? ReplaceQuestion::kNoToAll
                                           : 0));
  }
  return Usage(u"cd needs drives, info, lookup, configure, record or verify DIR"_s);
}

int Twpl::Cddb(Session& session, QStringList args) const {
  if (args.isEmpty() || args.takeFirst() != u"sites") return Usage(u"cddb needs sites"_s);
  const CdCommands cd(session.veltoDj.CdDrives(), session.veltoDj.Services(), session.collection,
                      out_, err_);
  return UsageOnTwo(cd.Sites(args));
}

int Twpl::Rio(Session& session, QStringList args) const {
  if (args.isEmpty() || args.takeFirst() != u"export") return Usage(u"rio needs export"_s);
  for (qsizetype i = 0; i < args.size(); ++i) {
    const bool isBitRate = i > 0 && args[i - 1] == u"--bitrate";
    if (!isBitRate && !args[i].startsWith(u"--"_s)) args[i] = session.Absolute(args[i]);
  }
  RioCommand rio(session.collection, session.veltoDj.Services().Catalog(), session.prompter,
                 session.veltoDj.WorkingDirectory(), out_, err_);
  return UsageOnTwo(rio.Export(args));
}

int Twpl::ReplayGain(Session& session, QStringList args) const {
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (!args[i].startsWith(u"--"_s)) args[i] = session.Absolute(args[i]);
  }
  ReplayGainCommand replayGain(session.collection.trailer, out_, err_);
  return UsageOnTwo(replayGain.Run(args));
}

int Twpl::Messages(Session& /*session*/, QStringList args) const {
  if (!args.isEmpty()) return Usage(u"messages takes no arguments"_s);
  for (int number = MessageTable::kFirst; number <= MessageTable::kLast; ++number) {
    Print(QString::number(number) + u'\t' + MessageTable::NameAt(number - 500) + u'\t' +
          TableField::Escaped(MessageTable::Text(number)));
  }
  return 0;
}

int Twpl::Msg(Session& session, QStringList args) const {
  if (args.isEmpty() || args.size() > 2) return Usage(u"msg needs N [VALUE]"_s);
  bool ok = false;
  const int number = args[0].toInt(&ok);
  if (!ok) return Usage(u"not a message number: "_s + args[0]);
  MessageCatalog& catalog = session.veltoDj.Services().Catalog();
  Print(args.size() == 2 ? catalog.GetMsgWithValue(number, args[1]) : catalog.GetMsg(number));
  return 0;
}

int Twpl::Diagnose(Session& session, QStringList args) const {
  if (!args.isEmpty()) return Usage(u"diagnostics takes no arguments"_s);
  Print(session.veltoDj.Services().Diagnose().CaptureDiagnostics());
  return 0;
}

int Twpl::Library(Session& session, QStringList args) const {
  const std::map<QString, Handler> commands = {
      {u"list"_s, &Twpl::LibraryList},      {u"find"_s, &Twpl::LibraryFind},
      {u"export"_s, &Twpl::LibraryExport},  {u"save"_s, &Twpl::LibrarySave},
      {u"save-as"_s, &Twpl::LibrarySaveAs}, {u"load"_s, &Twpl::LibraryLoad},
      {u"clear"_s, &Twpl::LibraryClear},    {u"add"_s, &Twpl::LibraryAdd},
      {u"edit"_s, &Twpl::LibraryEdit},      {u"delete"_s, &Twpl::LibraryDelete}};
  const auto found = args.isEmpty() ? commands.end() : commands.find(args.takeFirst());
  if (found == commands.end()) return Usage(u"library needs a subcommand"_s);
  // Questions about replacing a file or clearing are answered Yes only when asked for.
  if (TakeFlag(args, u"--replace"_s) || TakeFlag(args, u"--yes"_s)) {
    session.prompter.SetPreferredCaptions({u"Yes"_s});
  }
  return (this->*found->second)(session, args);
}

int Twpl::LibraryList(Session& session, QStringList args) const {
  return Catalog(session).LibraryList(args);
}

int Twpl::LibraryFind(Session& session, QStringList args) const {
  return UsageOnTwo(Catalog(session).LibraryFind(args));
}

int Twpl::LibraryEdit(Session& session, QStringList args) const {
  for (QString& arg : args) {
    if (!arg.contains(u'=')) arg = session.Absolute(arg);
  }
  return Catalog(session).LibraryEdit(args);
}

int Twpl::LibraryDelete(Session& session, QStringList args) const {
  for (QString& arg : args) {
    if (!arg.startsWith(u"--"_s)) arg = session.Absolute(arg);
  }
  return Catalog(session).LibraryDelete(args);
}

int Twpl::PlayList(Session& session, QStringList args) const {
  if (args.isEmpty()) return Usage(u"playlist needs a subcommand"_s);
  const QString command = args.takeFirst();
  if (command == u"save") {
    // The first argument that is not the flag is the name; the files follow it.
    bool named = false;
    for (QString& arg : args) {
      if (arg == u"--replace") continue;
      if (named) arg = session.Absolute(arg);
      named = true;
    }
  }
  if (command == u"add-startup") {
    for (QString& file : args) file = session.Absolute(file);
  }
  return UsageOnTwo(Catalog(session).PlayList(command, args));
}

int Twpl::AutoDj(Session& session, QStringList args) const {
  return UsageOnTwo(Catalog(session).AutoDjCommand(args));
}

int Twpl::Categories(Session& session, QStringList args) const {
  if (!args.isEmpty()) return Usage(u"categories takes no arguments"_s);
  return Catalog(session).Categories();
}

int Twpl::Info(Session& session, QStringList args) const {
  if (args.size() < 2 || args.takeFirst() != u"save") return Usage(u"info needs save FILE"_s);
  args[0] = session.Absolute(args[0]);
  for (QString& arg : args) {
    if (arg.startsWith(u"Art="_s)) arg = u"Art="_s + session.Absolute(arg.mid(4));
  }
  return UsageOnTwo(Catalog(session).InfoSave(args));
}

CatalogCommands Twpl::Catalog(Session& session) const {
  return CatalogCommands(session.collection, session.veltoDj.Services(), session.prompter,
                         session.veltoDj.WorkingDirectory(), out_, err_);
}

int Twpl::UsageOnTwo(int code) const {
  if (code == 2) std::fputs(kUsage, err_);
  return code;
}

int Twpl::LibraryExport(Session& session, QStringList args) const {
  if (args.size() != 1) return Usage(u"library export needs FILE"_s);
  return ExitCode(session.collection.database.ExportDatabaseTo(session.Absolute(args[0])));
}

int Twpl::LibrarySave(Session& session, QStringList args) const {
  if (!args.isEmpty()) return Usage(u"library save takes no arguments"_s);
  return session.collection.database.SaveDatabase() ? 0 : 1;
}

int Twpl::LibrarySaveAs(Session& session, QStringList args) const {
  if (args.size() != 1) return Usage(u"library save-as needs FILE"_s);
  return ExitCode(session.collection.database.SaveDatabaseAsTo(session.Absolute(args[0])));
}

int Twpl::LibraryLoad(Session& session, QStringList args) const {
  if (args.size() != 1) return Usage(u"library load needs FILE"_s);
  return session.collection.database.LoadDatabaseFrom(session.Absolute(args[0])) ? 0 : 1;
}

int Twpl::LibraryClear(Session& session, QStringList args) const {
  if (!args.isEmpty()) return Usage(u"library clear takes only --yes"_s);
  return session.collection.database.ClearDatabase() ? 0 : 1;
}

int Twpl::Play(Session& session, QStringList args) const {
  for (qsizetype i = 0; i < args.size(); ++i) {
    const bool isOptionValue =
        i > 0 && (args[i - 1] == u"--speed" || args[i - 1] == u"--replaygain");
    if (!isOptionValue && !args[i].startsWith(u"--"_s)) args[i] = session.Absolute(args[i]);
  }
  SongLibrary& library = session.collection.library;
  PlayCommand play(library, session.veltoDj.Services().Catalog(), session.prompter, env_.audio,
                   session.veltoDj.SettingsFile(), out_, err_);
  const int code = play.Run(args);
  if (code == 2) std::fputs(kUsage, err_);
  // Songs of the library count their plays, as in the jukebox.
  if (!library.SavePlayCounts()) {
    session.veltoDj.Services().Check().CheckError(u"in twpl play"_s);
    return 1;
  }
  return code;
}

int Twpl::Convert(Session& session, QStringList args) const {
  const qsizetype to = args.indexOf(u"--to"_s);
  if (to < 0 || to + 1 >= args.size()) return Usage(u"convert needs --to DIR"_s);
  const QString folder = session.Absolute(args.takeAt(to + 1));
  args.removeAt(to);
  int bitRate = 128000;
  if (const qsizetype at = args.indexOf(u"--bitrate"_s); at >= 0) {
    bool ok = false;
    bitRate = at + 1 < args.size() ? args[at + 1].toInt(&ok) : 0;
    if (!ok || bitRate <= 0) return Usage(u"--bitrate needs bits per second"_s);
    args.remove(at, 2);
  }
  const bool toWav = TakeFlag(args, u"--wav"_s);
  const bool toMp3 = TakeFlag(args, u"--mp3"_s);
  if (toWav == toMp3 || args.isEmpty()) return Usage(u"convert needs --wav or --mp3 and FILE..."_s);
  for (QString& file : args) file = session.Absolute(file);
  const auto result = session.collection.conversion.ConvertFiles(
      args, folder,
      toWav ? FileConversion::Direction::Mp3ToWav : FileConversion::Direction::WavToMp3, bitRate);
  Print(u"converted "_s + QString::number(result.converted));
  return result.failed > 0 ? 1 : 0;
}

int Twpl::Query(Session& session, QStringList args) const {
  if (args.size() != 1) return Usage(u"query needs FILE"_s);
  platform::Mp3Info info;
  if (const int code = platform::_QueryMp3File(session.Absolute(args[0]), info)) {
    std::fprintf(err_, "twpl: cannot read %s (%d)\n", args[0].toUtf8().constData(), code);
    return 1;
  }
  Print(QString::number(info.bitRate) + u'\t' + QString::number(info.durationMs) + u'\t' +
        QString::number(info.sampleRateCode) + u'\t' + QString::number(info.channels));
  return 0;
}

int Twpl::LibraryAdd(Session& session, QStringList args) const {
  const bool yes = TakeFlag(args, u"--yes-to-all"_s);
  const bool no = TakeFlag(args, u"--no-to-all"_s);
  if (args.isEmpty() || (yes && no)) return Usage(u"library add needs PATH..."_s);
  for (QString& file : args) file = session.Absolute(file);
  SongAdder& adder = session.collection.adder;
  adder.SetAnswers(yes, no);
  const SongAdder::Report report = adder.AddPaths(args, true);
  for (const SongAdder::Added& song : report.added) {
    Print(QString::number(song.row) + u'\t' + TableField::Escaped(song.path));
  }
  std::fprintf(err_, "%s\n", report.Summary().toUtf8().constData());
  return adder.Failed() ? 1 : 0;
}

int Twpl::Tags(Session& session, QStringList args) const {
  if (args.isEmpty()) return Usage(u"tags needs a subcommand"_s);
  const QString command = args.takeFirst();
  // File arguments are relative to where twpl started; NAME=VALUE ones are left alone.
  for (qsizetype i = 0; i < args.size(); ++i) {
    const bool isOptionValue = i > 0 && args[i - 1] == u"--answer";
    if (!isOptionValue && !args[i].startsWith(u"--"_s) && !args[i].contains(u'=')) {
      args[i] = session.Absolute(args[i]);
    }
  }
  TagCommands tags(session.collection.trailer, session.collection.id3, session.prompter, out_,
                   err_);
  return UsageOnTwo(tags.Run(command, args));
}

}  // namespace audiolume
