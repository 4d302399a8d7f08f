#pragma once

#include <QString>

namespace audiolume {

/** Section "CDDB" of the settings file: which server the title lookup asks, and how. */
struct CddbSettings {
  static constexpr const char* kDefaultServer = "gnudb.gnudb.org";
  static constexpr int kDefaultPort = 8880;
  static constexpr int kDefaultHttpPort = 80;

  QString server = QString::fromLatin1(kDefaultServer);
  int port = kDefaultPort;
  QString user;
  bool useCddb = true;
  bool useHttp = false;
  bool showCddbDlg = true;
  bool notConfigured = true;  // the section had no server

  /** Reads the section; a missing server gives the defaults above, a missing port the
   *  protocol's usual one. */
  static CddbSettings Load(const QString& settingsFile);
  /** Writes all six keys; false when the file could not be written. */
  bool Save(const QString& settingsFile) const;
};

}  // namespace audiolume
