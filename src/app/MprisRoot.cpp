#include "app/MprisRoot.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

MprisRoot::MprisRoot(QObject* exported, std::function<void()> raise, std::function<void()> quit)
    : QDBusAbstractAdaptor(exported), raise_(std::move(raise)), quit_(std::move(quit)) {}

QString MprisRoot::Identity() const {
  return u"Audiolume"_s;
}

QString MprisRoot::DesktopEntry() const {
  return u"audiolume"_s;
}

QStringList MprisRoot::SupportedUriSchemes() const {
  return {u"file"_s};
}

// The types the decoders play, as the desktop entry lists them.
QStringList MprisRoot::SupportedMimeTypes() const {
  return {u"audio/mpeg"_s,         u"audio/x-wav"_s,      u"audio/flac"_s,      u"audio/ogg"_s,
          u"audio/x-vorbis+ogg"_s, u"audio/x-opus+ogg"_s, u"audio/mp4"_s,       u"audio/x-m4a"_s,
          u"audio/aac"_s,          u"audio/x-ms-wma"_s,   u"audio/x-wavpack"_s, u"audio/x-ape"_s};
}

void MprisRoot::Raise() {
  if (raise_) raise_();
}

void MprisRoot::Quit() {
  if (quit_) quit_();
}

}  // namespace audiolume
