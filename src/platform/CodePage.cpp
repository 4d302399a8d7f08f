#include "platform/CodePage.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace audiolume::platform {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five unassigned bytes map to
// the C1 controls of the same value, as Windows' own conversion does.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeWindows1252(QByteArrayView bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    text[i] =
        (byte >= 0x80 && byte < 0xA0) ? QChar(kHighControls[byte - 0x80]) : QChar(char16_t(byte));
  }
  return text;
}

}  // namespace

QString DecodeText(QByteArrayView bytes) {
  // Most texts are plain ASCII, which both encodings read alike; this is the hot path of
  // loading a large library.
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return QString::fromLatin1(bytes);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  return utf8.hasError() ? DecodeWindows1252(bytes) : text;
}

QByteArray EncodeText(const QString& text) {
  return text.toUtf8();
}

QByteArray EncodeTextCut(const QString& text, qsizetype maxBytes) {
  QByteArray bytes = text.toUtf8();
  if (bytes.size() <= maxBytes) return bytes;
  qsizetype end = maxBytes;
  // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
  while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) --end;
  bytes.truncate(end);
  return bytes;
}

}  // namespace audiolume::platform
