#pragma once

#include <QString>

namespace audiolume {

/** Section "CDDB" of the settings file: which server the title lookup asks, and how. */
struct CddbSettings {
  /** Where titles are looked up: key "Lookup", "MusicBrainz", "CDDB" or "MusicBrainz then
   *  CDDB" (CDDB asked when MusicBrainz does not know the disc or cannot be reached). */
  enum class Source { MusicBrainz, Cddb, MusicBrainzThenCddb };

  static constexpr const char* kDefaultServer = "gnudb.gnudb.org";
  static constexpr const char* kDefaultMusicBrainzUrl = "https://musicbrainz.org";
  static constexpr const char* kDefaultCoverArtUrl = "https://coverartarchive.org";
  static constexpr int kDefaultPort = 8880;
  static constexpr int kDefaultHttpPort = 80;

  QString server = QString::fromLatin1(kDefaultServer);
  int port = kDefaultPort;
  QString user;
  bool useCddb = true;
  bool useHttp = false;
  bool showCddbDlg = true;
  bool notConfigured = true;  // the section had no server
  Source source = Source::MusicBrainzThenCddb;
  QString musicBrainzUrl = QString::fromLatin1(kDefaultMusicBrainzUrl);  // key "MusicBrainz URL"
  QString coverArtUrl = QString::fromLatin1(kDefaultCoverArtUrl);        // key "Cover Art URL"

  bool AsksMusicBrainz() const { return source != Source::Cddb; }
  bool AsksCddb() const { return source != Source::MusicBrainz; }

  /** Reads the section; a missing server gives the defaults above, a missing port the
   *  protocol's usual one. Settings written before MusicBrainz was offered (a server and
   *  no "Lookup") keep asking CDDB alone. */
  static CddbSettings Load(const QString& settingsFile);
  /** Writes the seven keys the preferences set (not the web addresses); false when the
   *  file could not be written. */
  bool Save(const QString& settingsFile) const;
};

}  // namespace audiolume
