#include "cli/CdCommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>

#include "app/AppHome.h"
#include "app/AppServices.h"
#include "app/CdRecorder.h"
#include "app/Collection.h"
#include "cli/TableField.h"
#include "platform/FileError.h"
#include "recorder/AccurateRip.h"
#include "recorder/AccurateRipCheck.h"
#include "recorder/CdDisc.h"
#include "recorder/CddbSettings.h"
#include "recorder/CddbSites.h"
#include "recorder/DriveSetup.h"
#include "recorder/MusicBrainzLookup.h"
#include "recorder/RecordList.h"
#include "recorder/RecordSettings.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/ReplaceQuestion.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

/** Removes "--name VALUE" from args; the value, or nothing when the option is absent. */
std::optional<QString> TakeValue(QStringList& args, const QString& name, bool& missing) {
  const qsizetype at = args.indexOf(name);
  if (at < 0) return std::nullopt;
  if (at + 1 >= args.size()) {
    missing = true;
    return std::nullopt;
  }
  const QString value = args[at + 1];
  args.remove(at, 2);
  return value;
}

}  // namespace

CdCommands::CdCommands(QList<platform::CdDrive> drives, AppServices& services,
                       Collection& collection, std::FILE* out, std::FILE* err)
    : drives_(std::move(drives)),
      services_(services),
      collection_(collection),
      out_(out),
      err_(err) {}

std::unique_ptr<CdRecorder> CdCommands::MakeRecorder() const {
  return std::make_unique<CdRecorder>(
      drives_, services_, collection_.library, collection_.trailer,
      AppHome::HelperProgramDir(QCoreApplication::applicationDirPath()) + u"/twcd"_s);
}

void CdCommands::Print(const QString& line) const {
  std::fprintf(out_, "%s\n", line.toUtf8().constData());
}

void CdCommands::PrintError(const QString& line) const {
  std::fprintf(err_, "%s\n", line.toUtf8().constData());
}

int CdCommands::Problem(const QString& text) const {
  PrintError(u"twpl: "_s + text);
  return 2;
}

int CdCommands::Drives() const {
  for (const platform::CdDrive& drive : drives_) Print(drive.letter + u'\t' + drive.device);
  return 0;
}

int CdCommands::Open(CdRecorder& recorder, QStringList& args) const {
  bool missing = false;
  const std::optional<QString> drive = TakeValue(args, u"--drive"_s, missing);
  if (missing) return Problem(u"--drive needs a drive letter"_s);
  if (drive && !recorder.SelectDrive(*drive)) return Problem(u"no CD drive "_s + *drive);
  recorder.disc.SetLookupSuppressed(true);
  return recorder.disc.OpenCD(false) == 0 ? 0 : 1;
}

void CdCommands::PrintDisc(CdRecorder& recorder) const {
  const CdDisc& disc = recorder.disc.Disc();
  Print(u"id\t"_s + disc.discId);
  Print(u"musicbrainz\t"_s + disc.musicBrainzId);
  Print(u"serial\t"_s + disc.serialNumber);
  Print(u"length\t"_s + QString::number(disc.discLength));
  Print(u"tracks\t"_s + QString::number(disc.numberOfTracks));
  Print(u"artist\t"_s + TableField::Escaped(disc.artist));
  Print(u"album\t"_s + TableField::Escaped(disc.album));
  for (qsizetype i = 0; i < disc.tracks.size(); ++i) {
    const CdDisc::TrackInfo& track = disc.tracks[i];
    Print(QString::number(i + 1) + u'\t' + QString::number(track.startOffset) + u'\t' +
          track.LengthText() + u'\t' + TableField::Escaped(disc.titles.value(i)));
  }
}

int CdCommands::Info(QStringList args) const {
  const std::unique_ptr<CdRecorder> made = MakeRecorder();
  CdRecorder& recorder = *made;
  if (const int code = Open(recorder, args); code != 0) return code;
  if (!args.isEmpty()) return Problem(u"cd info: unexpected "_s + args.first());
  PrintDisc(recorder);
  recorder.disc.CloseMCI();
  return 0;
}

int CdCommands::Lookup(QStringList args) const {
  const std::unique_ptr<CdRecorder> made = MakeRecorder();
  CdRecorder& recorder = *made;
  CddbSettings settings = recorder.cddb.Settings();
  bool missing = false;
  const bool musicBrainz = args.removeAll(u"--musicbrainz"_s) > 0;
  if (const auto server = TakeValue(args, u"--server"_s, missing))
    (musicBrainz ? settings.musicBrainzUrl : settings.server) = *server;
  if (const auto port = TakeValue(args, u"--port"_s, missing)) settings.port = port->toInt();
  if (const auto user = TakeValue(args, u"--user"_s, missing)) settings.user = *user;
  const std::optional<QString> pick = TakeValue(args, u"--pick"_s, missing);
  if (missing) return Problem(u"an option needs its value"_s);
  if (args.removeAll(u"--http"_s) > 0) settings.useHttp = true;
  if (settings.port < 1) return Problem(u"--port needs a number"_s);
  if (!settings.useCddb) {
    PrintError(u"CDDB lookups are turned off in the CDDB preferences"_s);
    return 1;
  }
  if (const int code = Open(recorder, args); code != 0) return code;
  if (!args.isEmpty()) return Problem(u"cd lookup: unexpected "_s + args.first());
  recorder.disc.SaveCDPlayerData();
  const int picked = pick ? pick->toInt() : 0;
  if ((musicBrainz ? RunMusicBrainz(recorder, settings, picked)
                   : RunLookup(recorder, settings, picked)) != 0) {
    return 1;
  }
  if (!recorder.disc.SaveCDPlayerData()) return 1;  // the box's text went to stderr
  PrintDisc(recorder);
  recorder.disc.CloseMCI();
  return 0;
}

int CdCommands::RunToTheEnd(TitleLookup& lookup, const CddbSettings& settings, int pick,
                            const std::function<void()>& listMatches) const {
  QEventLoop loop;
  bool unpicked = false;
  QObject::connect(&lookup, &TitleLookup::Finished, &loop, &QEventLoop::quit);
  QObject::connect(&lookup, &TitleLookup::MatchesShown, &loop, [&](const QStringList& items) {
    if (pick >= 1 && pick <= items.size()) {
      lookup.Choose(pick - 1);
      return;
    }
    listMatches();
    unpicked = true;
    lookup.Cancel();
  });
  lookup.SetSettings(settings);
  lookup.Start();
  if (lookup.IsBusy()) loop.exec();
  if (unpicked) return 1;
  if (!lookup.TitlesRead()) {
    PrintError(lookup.FailureText());
    return 1;
  }
  return 0;
}

int CdCommands::RunLookup(CdRecorder& recorder, const CddbSettings& settings, int pick) const {
  return RunToTheEnd(recorder.cddb, settings, pick, [this, &recorder] {
    const QStringList& items = recorder.cddb.Matches();
    for (qsizetype i = 0; i < items.size(); ++i) {
      const QStringList parts = items[i].split(u" \\ "_s);
      Print(u"match\t"_s + QString::number(i + 1) + u'\t' + parts.value(2) + u'\t' +
            parts.value(1) + u'\t' + parts.value(3) + u'\t' + parts.value(4));
    }
  });
}

int CdCommands::RunMusicBrainz(CdRecorder& recorder, const CddbSettings& settings, int pick) const {
  return RunToTheEnd(recorder.musicBrainz, settings, pick, [this, &recorder] {
    const QList<MusicBrainzRelease>& releases = recorder.musicBrainz.Releases();
    for (qsizetype i = 0; i < releases.size(); ++i) {
      const MusicBrainzRelease& release = releases[i];
      Print(u"match\t"_s + QString::number(i + 1) + u'\t' + release.id + u'\t' +
            TableField::Escaped(release.album) + u'\t' + TableField::Escaped(release.artist) +
            u'\t' + release.country + u'\t' + release.date);
    }
  });
}

int CdCommands::RunChosenLookup(CdRecorder& recorder, const CddbSettings& settings) const {
  if (settings.AsksMusicBrainz()) {
    if (RunMusicBrainz(recorder, settings, 0) == 0) return 0;
    // A choice left to the user is no failure: CDDB is asked only when MusicBrainz failed.
    if (!settings.AsksCddb() || recorder.musicBrainz.FailureText().isEmpty()) return 1;
  }
  return RunLookup(recorder, settings, 0);
}

int CdCommands::Record(QStringList args, int presetToAll) const {
  const std::unique_ptr<CdRecorder> made = MakeRecorder();
  CdRecorder& recorder = *made;
  const QString settingsFile = services_.SettingsFile();
  bool missing = false;
  const std::optional<QString> tracks = TakeValue(args, u"--tracks"_s, missing);
  const std::optional<QString> format = TakeValue(args, u"--format"_s, missing);
  const std::optional<QString> folder = TakeValue(args, u"--to"_s, missing);
  const std::optional<QString> accurateRip = TakeValue(args, u"--accuraterip"_s, missing);
  const bool lookup = args.removeAll(u"--lookup"_s) > 0;
  if (missing) return Problem(u"an option needs its value"_s);
  static const QList<int> kFormats = {0, 1, 2, 4, 6, 7, 8, 9};
  if (format && !kFormats.contains(format->toInt()))
    return Problem(u"--format takes 0, 1, 2, 4, 6, 7, 8 or 9"_s);
  if (const int code = Open(recorder, args); code != 0) return code;
  if (!args.isEmpty()) return Problem(u"cd record: unexpected "_s + args.first());
  if (format) WriteIniString(settingsFile, u"Record"_s, u"RF"_s, QString::number(format->toInt()));
  if (folder) {
    WriteIniString(settingsFile, u"Record"_s, u"NewSongPath"_s, QDir(*folder).absolutePath());
  }
  CdDisc& disc = recorder.disc.Disc();
  if (lookup) RunChosenLookup(recorder, recorder.cddb.Settings());  // else the cached titles
  QList<bool> ticked(disc.tracks.size(), !tracks || *tracks == u"all");
  if (tracks && *tracks != u"all") {
    for (const QString& number : tracks->split(u',', Qt::SkipEmptyParts)) {
      const int track = number.toInt();
      if (track < 1 || track > ticked.size()) return Problem(u"no track "_s + number);
      ticked[track - 1] = true;
    }
  }
  RecordSettings settings = RecordSettings::Load(settingsFile, services_.Home());
  if (accurateRip) settings.AccurateRipUrl = *accurateRip;
  ReplaceQuestion replace(services_.Catalog(), services_.Asker());
  replace.Reset(presetToAll);
  QList<RecordItem> items;
  try {
    items = RecordList::BuildRecordList(settings, disc, ticked, replace);
  } catch (const platform::FileError& error) {
    PrintError(error.Path() + u": "_s + QString::fromLocal8Bit(error.what()));
    return 1;
  }
  if (const QString refusal = recorder.job.Refusal(settings, recorder.disc.DriveDevice());
      !refusal.isEmpty()) {
    PrintError(refusal);
    return 1;
  }
  recorder.disc.CloseMCI();
  RecordJob& job = recorder.job;
  bool failed = false;
  QEventLoop loop;
  QObject::connect(&job, &RecordJob::TrackFinished, &loop,
                   [this, &failed](int track, int code, const QString& path) {
                     failed = failed || (code != 0 && code != 33);
                     Print(QString::number(track) + u'\t' + QString::number(code) + u'\t' + path);
                   });
  QObject::connect(&job, &RecordJob::JobEnded, &loop, &QEventLoop::quit);
  job.Start(settings, RecordJob::TracksOf(items, disc), recorder.disc.SelectedDrive(),
            recorder.disc.DriveLetter(), recorder.disc.DriveDevice(),
            AccurateRip::IdsOf(disc).EntryPath(), disc.cover);
  job.Timer().setInterval(100);  // nobody watches the window: the ripper is looked at more often
  loop.exec();
  return failed ? 1 : 0;
}

int CdCommands::Verify(const QString& folder, QStringList args) const {
  bool missing = false;
  const QString url = TakeValue(args, u"--accuraterip"_s, missing)
                          .value_or(RecordSettings::LoadAccurateRipUrl(services_.SettingsFile()));
  if (missing || !args.isEmpty()) return Problem(u"cd verify DIR [--accuraterip URL]"_s);
  AccurateRipCheck check;
  if (!check.Start(folder + u"/rip.log"_s, url)) {
    PrintError(check.Problem());
    return 1;
  }
  bool allAccurate = true;
  QEventLoop loop;
  QObject::connect(
      &check, &AccurateRipCheck::Finished, &loop,
      [&](const QList<AccurateRipCheck::TrackVerdict>& verdicts, const QString& summary) {
        for (const AccurateRipCheck::TrackVerdict& verdict : verdicts) {
          allAccurate = allAccurate && verdict.verdict.kind == AccurateRip::Verdict::Kind::Accurate;
          // The log's words without their "AccurateRip: ".
          Print(QString::number(verdict.track) + u'\t' +
                verdict.verdict.LogLine().section(u": "_s, 1));
        }
        Print(summary);
        loop.quit();
      });
  loop.exec();
  if (!check.Problem().isEmpty()) {
    PrintError(check.Problem());
    return 1;
  }
  return allAccurate ? 0 : 1;
}

int CdCommands::Configure(QStringList args) const {
  const std::unique_ptr<CdRecorder> made = MakeRecorder();
  CdRecorder& recorder = *made;
  bool missing = false;
  const std::optional<QString> drive = TakeValue(args, u"--drive"_s, missing);
  const std::optional<QString> length = TakeValue(args, u"--length"_s, missing);
  if (missing || !args.isEmpty())
    return Problem(u"cd configure [--drive D:] [--length short|medium|long]"_s);
  if (drive && !recorder.SelectDrive(*drive)) return Problem(u"no CD drive "_s + *drive);
  if (length)
    WriteIniString(services_.SettingsFile(), u"Record"_s, u"InitLength"_s, length->toLower());
  DriveSetup setup({recorder.disc, services_.Catalog(), services_.Asker(), services_.SettingsFile(),
                    services_.Home(),
                    AppHome::HelperProgramDir(QCoreApplication::applicationDirPath())});
  const QString result = setup.RunDriveTest();
  Print(result);
  return result == u"YES" || result == u"33" ? 0 : 1;
}

int CdCommands::Sites(QStringList args) const {
  bool missing = false;
  const QString host = TakeValue(args, u"--server"_s, missing)
                           .value_or(QString::fromLatin1(CddbSettings::kDefaultServer));
  const int port = TakeValue(args, u"--port"_s, missing)
                       .value_or(QString::number(CddbSettings::kDefaultPort))
                       .toInt();
  if (missing || port < 1 || !args.isEmpty())
    return Problem(u"cddb sites [--server HOST] [--port N]"_s);
  CddbSites sites(services_.Catalog());
  QString status;
  QEventLoop loop;
  QObject::connect(&sites, &CddbSites::StatusChanged, &loop, [&status](const QString& text) {
    if (!text.isEmpty()) status = text;
  });
  QObject::connect(&sites, &CddbSites::Finished, &loop, &QEventLoop::quit);
  sites.Fetch(host, port);
  loop.exec();
  if (sites.Sites().isEmpty()) {
    PrintError(status);
    return 1;
  }
  for (const CddbSites::Site& site : sites.Sites()) {
    Print(site.host + u'\t' + QString::number(site.port) + u'\t' + site.description);
  }
  return 0;
}

}  // namespace audiolume
