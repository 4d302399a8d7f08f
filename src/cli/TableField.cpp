#include "cli/TableField.h"

namespace audiolume {

QString TableField::Escaped(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\\') {
      out += QStringLiteral("\\\\");
    } else if (c == u'\t') {
      out += QStringLiteral("\\t");
    } else if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      out += QStringLiteral("\\n");
    } else {
      out += c;
    }
  }
  return out;
}

QString TableField::Unescaped(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != u'\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const QChar next = text[++i];
    if (next == u'n') {
      out += QStringLiteral("\r\n");
    } else if (next == u't') {
      out += u'\t';
    } else if (next == u'\\') {
      out += u'\\';
    } else {
      out += u'\\';  // not an escape: both characters stand
      out += next;
    }
  }
  return out;
}

}  // namespace audiolume
