#include "recorder/CdDisc.h"

namespace audiolume {

QString CdDisc::TrackInfo::LengthText() const {
  return QString::number(lengthMinutes) + u':' +
         QString::number(lengthSeconds).rightJustified(2, u'0');
}

int CdDisc::DigitSum(int value) {
  int sum = 0;
  for (; value > 0; value /= 10) sum += value % 10;
  return sum;
}

int CdDisc::Field(const QString& reply, int first) {
  return reply.mid(first - 1, 2).toInt();
}

int CdDisc::RoundedSeconds(const QString& msf) {
  const int frames = (Field(msf, 1) * 60 + Field(msf, 4)) * 75 + Field(msf, 7);
  return (frames + 37) / 75;
}

QString CdDisc::DiscIdentifier(int digitTotal, int discSeconds, int trackCount) {
  const auto hex = [](int value, int width) {
    return QString::number(value, 16).toUpper().rightJustified(width, u'0');
  };
  return hex(digitTotal % 255, 2) + hex(discSeconds, 4) + hex(trackCount, 2);
}

void CdDisc::ResetTitles(const std::function<QString(int track)>& defaultTitle) {
  titles.clear();
  for (int track = 1; track <= numberOfTracks; ++track) titles.append(defaultTitle(track));
}

}  // namespace audiolume
