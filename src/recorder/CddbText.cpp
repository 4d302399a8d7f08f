#include "recorder/CddbText.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume::CddbText {

QString ParseIt(QString& text, const QString& delimiter) {
  const qsizetype at = text.indexOf(delimiter);
  if (at < 0) {
    const QString token = text;
    text.remove(0, delimiter.size() - 1);
    return token;
  }
  const QString token = text.left(at);
  text.remove(0, at + delimiter.size());
  return token;
}

int ReadReplyCode(QString& buffer) {
  qsizetype digits = 0;
  while (digits < buffer.size() && buffer[digits].isDigit()) ++digits;
  const int code = buffer.left(digits).toInt();
  const qsizetype end = buffer.indexOf(u"\r\n"_s);
  buffer.remove(0, end < 0 ? buffer.size() : end + 2);
  return code;
}

Match SplitMatchLine(QString line) {
  Match match;
  match.category = ParseIt(line, u" "_s);
  match.discId = ParseIt(line, u" "_s);
  SplitArtistTitle(line, match.artist, match.album);
  match.artist = EntryText(match.artist);
  match.album = EntryText(match.album);
  return match;
}

void SplitArtistTitle(QString rest, QString& artist, QString& album) {
  const QString delimiter = rest.contains(u" / "_s) ? u" / "_s
                            : rest.contains(u'/')   ? u"/"_s
                                                    : QString();
  if (delimiter.isEmpty()) {
    artist = u"Unknown"_s;
    album = ParseIt(rest, u"\r\n"_s);
    return;
  }
  artist = ParseIt(rest, delimiter);
  album = ParseIt(rest, u"\r\n"_s);
}

QString CleanUserName(const QString& user) {
  const QString name = user.trimmed().remove(u' ');
  return name.isEmpty() ? u"unknown"_s : name;
}

QString EntryText(const QString& raw) {
  QString text;
  text.reserve(raw.size());
  for (qsizetype i = 0; i < raw.size(); ++i) {
    const QChar next = i + 1 < raw.size() ? raw[i + 1] : QChar();
    if (raw[i] == u'\\' && (next == u'n' || next == u't' || next == u'\\')) {
      text += next == u'\\' ? next : QChar(u' ');
      ++i;
    } else {
      text += raw[i].category() == QChar::Other_Control ? QChar(u' ') : raw[i];
    }
  }
  return text;
}

bool HasEndMarker(const QString& buffer) {
  // Looked at from its end: the reply may be megabytes long, and is asked as it grows.
  qsizetype end = buffer.size();
  while (end > 0 && buffer[end - 1].isSpace()) --end;
  if (end == 0 || buffer[end - 1] != u'.') return false;
  return end == 1 || buffer[end - 2] == u'\n' ||
         QStringView(buffer).first(end - 1).trimmed().isEmpty();
}

QString MatchListLine(const QString& album, const QString& artist, const QString& note,
                      const QString& id, const QString& kind) {
  const auto column = [](const QString& text) { return text.left(39).leftJustified(40, u' '); };
  const QString separator = u" \\ "_s;
  return column(album) + column(artist) + note + separator + id + separator + kind + separator +
         album + separator + artist;
}

}  // namespace audiolume::CddbText
