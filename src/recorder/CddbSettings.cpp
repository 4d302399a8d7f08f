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

}  // namespace

CddbSettings CddbSettings::Load(const QString& settingsFile) {
  CddbSettings settings;
  const auto read = [&settingsFile](const char* key) {
    return ReadIniString(settingsFile, kCddbSection, QString::fromLatin1(key));
  };
  const QString server = read("Server");
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
  return WriteIniString(settingsFile, kCddbSection, u"ShowCDDBDlg"_s, Flag(showCddbDlg)) && ok;
}

}  // namespace audiolume
