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

CdDisc::Msf CdDisc::ParseMsf(const QString& reply) {
  const QStringList fields = reply.trimmed().split(u':');
  return {fields.value(0).toInt(), fields.value(1).toInt(), fields.value(2).toInt()};
}

int CdDisc::RoundedSeconds(const QString& msf) {
  return (ParseMsf(msf).Frames() + 37) / 75;
}

QString CdDisc::DiscIdentifier(int digitTotal, int discSeconds, int trackCount) {
  const auto hex = [](int value, int width) {
    return QString::number(value, 16).toUpper().rightJustified(width, u'0');
  };
  return hex(digitTotal % 255, 2) + hex(discSeconds, 4) + hex(trackCount, 2);
}

int CdDisc::IdentifierSeconds() const {
  const int first = tracks.isEmpty() ? 0 : tracks.first().startOffset;
  return leadout / 75 - first / 75;
}

bool CdDisc::HasTitles(const std::function<QString(int track)>& defaultTitle) const {
  if (!artist.trimmed().isEmpty() || !album.trimmed().isEmpty()) return true;
  for (qsizetype k = 0; k < titles.size(); ++k) {
    if (titles[k].trimmed() != defaultTitle(int(k) + 1)) return true;
  }
  return false;
}

void CdDisc::ResetTitles(const std::function<QString(int track)>& defaultTitle) {
  titles.clear();
  for (int track = 1; track <= numberOfTracks; ++track) titles.append(defaultTitle(track));
}

}  // namespace audiolume
