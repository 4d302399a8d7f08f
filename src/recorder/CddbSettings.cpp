#include "recorder/CddbSettings.h"

#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kCddbSection = u"CDDB"_s;

bool IsTrue(const QString& value) {
  return value.compare(u"True"_s, Qt::CaseInsensitive) == 0 || value == u"1"_s || value == u"-1"_s;
}

QString Flag(bool on) {
  return on ? u"True"_s : u"False"_s;
}

const QString kSourceNames[] = {u"MusicBrainz"_s, u"CDDB"_s, u"MusicBrainz then CDDB"_s};

CddbSettings::Source SourceNamed(const QString& name, CddbSettings::Source otherwise) {
  for (int i = 0; i < 3; ++i) {
    if (name.compare(kSourceNames[i], Qt::CaseInsensitive) == 0) return CddbSettings::Source(i);
  }
  return otherwise;
}

}  // namespace

CddbSettings CddbSettings::Load(const QString& settingsFile) {
  CddbSettings settings;
  const auto read = [&settingsFile](const char* key) {
    return ReadIniString(settingsFile, kCddbSection, QString::fromLatin1(key));
  };
  const auto readUrl = [&read](const char* key, const char* otherwise) {
    const QString url = read(key);
    return url.isEmpty() ? QString::fromLatin1(otherwise) : url;
  };
  settings.musicBrainzUrl = readUrl("MusicBrainz URL", kDefaultMusicBrainzUrl);
  settings.coverArtUrl = readUrl("Cover Art URL", kDefaultCoverArtUrl);
  const QString server = read("Server");
  settings.source = SourceNamed(read("Lookup"), server.isEmpty() ? settings.source : Source::Cddb);
  if (server.isEmpty()) return settings;
  settings.notConfigured = false;
  settings.server = server;
  settings.user = read("User");
  settings.useCddb = IsTrue(read("UseCDDB"));
  settings.useHttp = IsTrue(read("UseHTTP"));
  settings.port = read("Port").toInt();
  if (settings.port < 1) settings.port = settings.useHttp ? kDefaultHttpPort : kDefaultPort;
  settings.showCddbDlg = IsTrue(read("ShowCDDBDlg"));
  return settings;
}

bool CddbSettings::Save(const QString& settingsFile) const {
  bool ok = WriteIniString(settingsFile, kCddbSection, u"Server"_s, server);
  ok = WriteIniString(settingsFile, kCddbSection, u"User"_s, user) && ok;
  ok = WriteIniString(settingsFile, kCddbSection, u"Port"_s, QString::number(port)) && ok;
  ok = WriteIniString(settingsFile, kCddbSection, u"UseCDDB"_s, Flag(useCddb)) && ok;
  ok = WriteIniString(settingsFile, kCddbSection, u"UseHTTP"_s, Flag(useHttp)) && ok;
  ok = WriteIniString(settingsFile, kCddbSection, u"Lookup"_s, kSourceNames[int(source)]) && ok;
  return WriteIniString(settingsFile, kCddbSection, u"ShowCDDBDlg"_s, Flag(showCddbDlg)) && ok;
}

}  // namespace audiolume
