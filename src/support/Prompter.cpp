#include "support/Prompter.h"

namespace audiolume {

QStringList ButtonCaptions(const QString& buttons) {
  if (buttons.isEmpty()) return {QStringLiteral("&OK")};
  return buttons.split(u'|');
}

QString PlainCaption(const QString& caption) {
  QString plain = caption;
  return plain.remove(u'&');
}

}  // namespace audiolume
