#include "player/RioOptions.h"

#include <algorithm>

#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kSection = u"General"_s;

}  // namespace

RioOptions RioOptions::Read(const QString& iniFile) {
  RioOptions options;
  const int bitRate = ReadIniString(iniFile, kSection, u"Bit rate"_s).toInt();
  if (std::ranges::find(kBitRates, bitRate) != std::end(kBitRates)) options.bitRate = bitRate;
  options.clearMemory = ReadIniString(iniFile, kSection, u"Clear memory"_s) == u"1";
  options.device = ReadIniString(iniFile, kSection, u"Device Path"_s);
  return options;
}

bool RioOptions::WriteBitRate(const QString& iniFile, int bitRate) {
  return WriteIniString(iniFile, kSection, u"Bit rate"_s, QString::number(bitRate));
}

bool RioOptions::WriteClearMemory(const QString& iniFile, bool clear) {
  return WriteIniString(iniFile, kSection, u"Clear memory"_s, clear ? u"1"_s : u"0"_s);
}

bool RioOptions::WriteDevice(const QString& iniFile, const QString& folder) {
  return WriteIniString(iniFile, kSection, u"Device Path"_s, folder);
}

}  // namespace audiolume
