#include "platform/ReadOptions.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace audiolume::platform {

namespace {

// The whole number in text, or fallback when there is none.
int Number(const QString& text, int fallback) {
  bool ok = false;
  const int number = text.trimmed().toInt(&ok);
  return ok ? number : fallback;
}

}  // namespace

ReadOptions ReadOptions::FromDriveSection(const std::function<QString(const QString& key)>& value) {
  ReadOptions options;
  options.speed = std::clamp(Number(value(u"SPEED"_s), 0), 0, 100);
  // The limits are those of libcdio's own ripper, cd-paranoia.
  const int block = Number(value(u"BLOCK"_s), 0);
  options.sectorsPerRead = block <= 0 ? 0 : std::min(block, 100);
  options.overlap = std::clamp(Number(value(u"OVERLAP"_s), 0), 0, 75);
  const int retries = Number(value(u"MAX_MISMATCHES"_s), 0);
  options.retries = retries <= 0 ? ReadOptions().retries : std::min(retries, 1000);
  if (value(u"MULTIPASS"_s).trimmed().compare(u"NO"_s, Qt::CaseInsensitive) == 0) {
    options.checking = Checking::OverlapOnly;
  }
  if (value(u"NJF"_s).trimmed().compare(u"NO"_s, Qt::CaseInsensitive) == 0) {
    options.checking = Checking::Off;
  }
  return options;
}

QString ReadOptions::CheckingText() const {
  switch (checking) {
    case Checking::Full: return u"FULL"_s;
    case Checking::OverlapOnly: return u"OVERLAP"_s;
    case Checking::Off: break;
  }
  return u"OFF"_s;
}

}  // namespace audiolume::platform
