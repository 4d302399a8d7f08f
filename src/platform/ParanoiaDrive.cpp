#include "platform/ParanoiaDrive.h"

namespace audiolume::platform {

namespace {

// Paranoia's callback carries no context; each ripping thread counts its own events.
thread_local int tJitterErrors = 0;
thread_local int tCorrections = 0;

}  // namespace

void ParanoiaDrive::CountEvent(long /*position*/, paranoia_cb_mode_t event) {
  switch (event) {
    case PARANOIA_CB_SKIP:
    case PARANOIA_CB_READERR: ++tJitterErrors; break;
    case PARANOIA_CB_FIXUP_EDGE:
    case PARANOIA_CB_FIXUP_ATOM:
    case PARANOIA_CB_DRIFT: ++tCorrections; break;
    default: break;
  }
}

int ParanoiaDrive::JitterErrors() {
  return tJitterErrors;
}

int ParanoiaDrive::Corrections() {
  return tCorrections;
}

void ParanoiaDrive::ResetCounts() {
  tJitterErrors = 0;
  tCorrections = 0;
}

}  // namespace audiolume::platform
