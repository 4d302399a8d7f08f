#include "player/RioOptions.h"

#include <algorithm>
#include <system_error>

#include "platform/IniDocument.h"

#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kRioSection = u"General"_s;

}  // namespace

RioOptions RioOptions::Read(const QString& iniFile) {
  RioOptions options;
  const int bitRate = ReadIniString(iniFile, kRioSection, u"Bit rate"_s).toInt();
  if (std::ranges::find(kBitRates, bitRate) != std::end(kBitRates)) options.bitRate = bitRate;
  options.clearMemory = ReadIniString(iniFile, kRioSection, u"Clear memory"_s) == u"1";
  options.device = ReadDevice(iniFile);
  return options;
}

// The folder's path is read whole: a profile read cuts values at 255 characters, which
// would turn a long path into one of its parent folders.
QString RioOptions::ReadDevice(const QString& iniFile) {
  try {
    return platform::IniDocument::Load(ResolveIniPath(iniFile))
        .Value(kRioSection, u"Device Path"_s)
        .value_or(QString());
  } catch (const std::system_error&) {
    return {};
  }
}

bool RioOptions::WriteBitRate(const QString& iniFile, int bitRate) {
  return WriteIniString(iniFile, kRioSection, u"Bit rate"_s, QString::number(bitRate));
}

bool RioOptions::WriteClearMemory(const QString& iniFile, bool clear) {
  return WriteIniString(iniFile, kRioSection, u"Clear memory"_s, clear ? u"1"_s : u"0"_s);
}

bool RioOptions::WriteDevice(const QString& iniFile, const QString& folder) {
  return WriteIniString(iniFile, kRioSection, u"Device Path"_s, folder);
}

}  // namespace audiolume
