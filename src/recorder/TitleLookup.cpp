#include "recorder/TitleLookup.h"

#include "recorder/CdDisc.h"

namespace audiolume {

TitleLookup::TitleLookup(CdDisc& disc, QObject* parent) : QObject(parent), disc_(disc) {}

QString TitleLookup::DiscKey() const {
  return disc_.serialNumber + u'/' + DiscIdentifier();
}

void TitleLookup::Begin() {
  running_ = true;
  askedFor_ = DiscKey();
  titlesRead_ = false;
  failure_.clear();
  Q_EMIT BusyChanged(true);
}

void TitleLookup::End() {
  running_ = false;  // first: what halting sets off finds the lookup over
  Halt();
  // A failure stays on the status line for the user to read; success leaves it empty.
  if (failure_.isEmpty()) Q_EMIT StatusChanged(QString());
  Q_EMIT BusyChanged(false);
  Q_EMIT Finished();
}

void TitleLookup::SetFailure(const QString& text) {
  failure_ = text;
  Q_EMIT StatusChanged(failure_);
}

bool TitleLookup::DiscChanged() {
  if (!running_ || DiscKey() == askedFor_) return false;
  Cancel();
  return true;
}

}  // namespace audiolume
