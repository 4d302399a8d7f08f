#pragma once

#include <QList>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <memory>

#include "platform/CdDriveList.h"

namespace audiolume {

class AppServices;
class CdRecorder;
class Collection;
class TitleLookup;
struct CddbSettings;

/**
 * "twpl cd drives|info|lookup|record|configure|verify" and "twpl cddb sites": the recorder's drive
 * search, disc identity, title cache and CDDB lookup, headless. Tables are tab-separated.
 */
class CdCommands {
 public:
  CdCommands(QList<platform::CdDrive> drives, AppServices& services, Collection& collection,
             std::FILE* out, std::FILE* err);

  /** "LETTER:<TAB>device or image" per drive. */
  int Drives() const;
  /** [--drive D:]: opens the disc and prints what is known about it. */
  int Info(QStringList args) const;
  /** [--drive D:] [--server HOST] [--port N] [--user NAME] [--http] [--pick N], or
   *  --musicbrainz [--drive D:] [--server URL] [--pick N]. */
  int Lookup(QStringList args) const;
  /** [--drive D:] [--tracks N,N…|all] [--format CODE] [--to DIR] [--lookup]
   *  [--accuraterip URL]: records the
   *  disc's tracks; presetToAll answers the replace question (0: No for each). */
  int Record(QStringList args, int presetToAll) const;
  /** FOLDER [--accuraterip URL]: checks the album's rip log with the AccurateRip database
   *  and writes the verdicts into it; prints "N<TAB>verdict" per track, then the summary.
   *  0 when every track was accurately ripped. */
  int Verify(const QString& folder, QStringList args) const;
  /** [--drive D:] [--length short|medium|long]: the drive test; prints CONFIG_OK. */
  int Configure(QStringList args) const;
  /** [--server HOST] [--port N]: the public sites a server lists. */
  int Sites(QStringList args) const;

 private:
  /** The recorder's parts, the ripper beside this program. */
  std::unique_ptr<CdRecorder> MakeRecorder() const;
  /** Opens the disc of the drive named by --drive (else the first); 0 when open. */
  int Open(CdRecorder& recorder, QStringList& args) const;
  void PrintDisc(CdRecorder& recorder) const;
  /** Runs the title lookup to its end; pick chooses among several matches (1-based, 0
   *  lists them). 0 when the titles were read, 1 otherwise. */
  int RunLookup(CdRecorder& recorder, const CddbSettings& settings, int pick) const;
  /** Runs a lookup with settings to its end; several matches are chosen by pick, or listed
   *  by listMatches, which ends the lookup. 0 when the titles were read, 1 otherwise. */
  int RunToTheEnd(TitleLookup& lookup, const CddbSettings& settings, int pick,
                  const std::function<void()>& listMatches) const;
  /** The same through MusicBrainz, the release's cover included. */
  int RunMusicBrainz(CdRecorder& recorder, const CddbSettings& settings, int pick) const;
  /** The lookup the CDDB preferences choose: MusicBrainz, CDDB, or CDDB after MusicBrainz
   *  failed. */
  int RunChosenLookup(CdRecorder& recorder, const CddbSettings& settings) const;
  int Problem(const QString& text) const;
  void Print(const QString& line) const;
  void PrintError(const QString& line) const;

  QList<platform::CdDrive> drives_;
  AppServices& services_;
  Collection& collection_;
  std::FILE* out_;
  std::FILE* err_;
};

}  // namespace audiolume
