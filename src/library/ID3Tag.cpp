#include "library/ID3Tag.h"

#include "platform/CodePage.h"

namespace audiolume {

namespace {

QString FieldText(QByteArrayView bytes) {
  const qsizetype nul = bytes.indexOf('\0');
  return platform::DecodeText(nul < 0 ? bytes : bytes.first(nul));
}

QByteArray FieldBytes(const QString& text, qsizetype width) {
  return platform::EncodeTextCut(text, width).leftJustified(width, ' ', true);
}

}  // namespace

QString ID3Tag::Fixed(const QString& text, qsizetype width) {
  const QString held = platform::DecodeText(platform::EncodeTextCut(text, width));
  // Each blank takes one byte, so the padded text fills the field exactly.
  return held + QString(width - platform::EncodeText(held).size(), u' ');
}

bool ID3Tag::Parse(QByteArrayView bytes) {
  if (bytes.size() < kSize || !bytes.startsWith("TAG")) return false;
  ID3Present = true;
  SetTitle(FieldText(bytes.sliced(3, kTextWidth)));
  SetArtist(FieldText(bytes.sliced(33, kTextWidth)));
  SetAlbum(FieldText(bytes.sliced(63, kTextWidth)));
  SetYear(FieldText(bytes.sliced(93, kYearWidth)));
  ID3Track = bytes[125] == '\0' ? static_cast<quint8>(bytes[126]) : 0;
  SetComment(FieldText(bytes.sliced(97, CommentWidth())));
  ID3Genre = static_cast<quint8>(bytes[127]);
  return true;
}

QByteArray ID3Tag::Bytes() const {
  QByteArray bytes = "TAG";
  bytes += FieldBytes(ID3Title, kTextWidth);
  bytes += FieldBytes(ID3Artist, kTextWidth);
  bytes += FieldBytes(ID3Album, kTextWidth);
  bytes += FieldBytes(ID3Year, kYearWidth);
  bytes += FieldBytes(ID3Comment, CommentWidth());
  if (ID3Track != 0) bytes += QByteArray(1, '\0') + static_cast<char>(ID3Track);
  bytes += static_cast<char>(ID3Genre);
  return bytes;
}

}  // namespace audiolume
