#include "library/RecordCodec.h"

#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/CodePage.h"
#include "support/AppError.h"

namespace audiolume {

namespace {

template <typename T>
T ReadLittle(QByteArrayView bytes) {
  T value;
  std::memcpy(&value, bytes.data(), sizeof(T));
  return qFromLittleEndian(value);
}

template <typename T>
void AppendLittle(QByteArray& out, T value) {
  value = qToLittleEndian(value);
  out.append(reinterpret_cast<const char*>(&value), sizeof(T));
}

}  // namespace

QByteArrayView ByteReader::Bytes(qsizetype count) {
  if (count < 0 || count > bytes_.size() - position_) throw AppError(kErrInputPastEnd);
  const QByteArrayView part = bytes_.sliced(position_, count);
  position_ += count;
  return part;
}

QString ByteReader::Text() {
  const auto length = static_cast<quint16>(Int16());
  return length == 0 ? QString() : platform::DecodeText(Bytes(length));
}

QString ByteReader::Text(const QString& same) {
  const auto length = static_cast<quint16>(Int16());
  if (length == 0) return {};
  const QByteArrayView bytes = Bytes(length);
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii && same.size() == length && same == QLatin1StringView(bytes)) return same;
  return platform::DecodeText(bytes);
}

qint16 ByteReader::Int16() {
  return ReadLittle<qint16>(Bytes(2));
}
qint32 ByteReader::Int32() {
  return ReadLittle<qint32>(Bytes(4));
}
double ByteReader::Double() {
  return std::bit_cast<double>(ReadLittle<quint64>(Bytes(8)));
}

void RecordCodec::AppendText(QByteArray& out, const QString& text) {
  // Most texts are short ASCII: written straight into out, without a converted copy.
  if (text.size() <= kMaxTextBytes &&
      std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; })) {
    const qsizetype at = out.size();
    out.resize(at + 2 + text.size());
    char* to = out.data() + at;
    qToLittleEndian<quint16>(static_cast<quint16>(text.size()), to);
    std::transform(text.begin(), text.end(), to + 2,
                   [](QChar c) { return static_cast<char>(c.unicode()); });
    return;
  }
  const QByteArray bytes = platform::EncodeTextCut(text, kMaxTextBytes);
  AppendLittle<quint16>(out, static_cast<quint16>(bytes.size()));
  out.append(bytes);
}

void RecordCodec::AppendRecord(QByteArray& out, const SongRecord& r) {
  for (const QString* text : {&r.Title, &r.Album, &r.Artist, &r.Genre, &r.Tempo, &r.Mood,
                              &r.Situation, &r.Preference, &r.TrackTime}) {
    AppendText(out, *text);
  }
  AppendLittle<quint64>(out, std::bit_cast<quint64>(r.LastPlayed));
  AppendLittle<qint32>(out, r.PlayFreq);
  AppendText(out, r.Filename);
  AppendText(out, r.SerialNumber);
  AppendLittle<qint16>(out, r.TrackNumber);
  for (const QString* text :
       {&r.Notes, &r.Bios, &r.Lyrics, &r.ArtistURL, &r.BuyCDURL, &r.ArtistEmail}) {
    AppendText(out, *text);
  }
  for (const QString& text : r.Reserved) AppendText(out, text);
}

SongRecord RecordCodec::ReadRecord(ByteReader& in, const SongRecord& previous) {
  using Field = QString SongRecord::*;
  SongRecord r;
  for (const Field text :
       {&SongRecord::Title, &SongRecord::Album, &SongRecord::Artist, &SongRecord::Genre,
        &SongRecord::Tempo, &SongRecord::Mood, &SongRecord::Situation, &SongRecord::Preference,
        &SongRecord::TrackTime}) {
    r.*text = in.Text(previous.*text);
  }
  r.LastPlayed = in.Double();
  r.PlayFreq = in.Int32();
  r.Filename = in.Text();
  r.SerialNumber = in.Text(previous.SerialNumber);
  r.TrackNumber = in.Int16();
  for (const Field text :
       {&SongRecord::Notes, &SongRecord::Bios, &SongRecord::Lyrics, &SongRecord::ArtistURL,
        &SongRecord::BuyCDURL, &SongRecord::ArtistEmail}) {
    r.*text = in.Text(previous.*text);
  }
  for (int i = 0; i < SongRecord::kReservedCount; ++i)
    r.Reserved[i] = in.Text(previous.Reserved[i]);
  return r;
}

SongRecord RecordCodec::ReadLegacyRecord(ByteReader& in) {
  SongRecord r;
  for (QString* text : {&r.Title, &r.Album, &r.Artist, &r.Genre}) *text = in.Text();
  in.Text();  // the old Tempo field held something else; it is not carried over
  for (QString* text : {&r.Mood, &r.Situation, &r.Preference, &r.TrackTime}) *text = in.Text();
  in.Double();  // the old date is not carried over either
  r.PlayFreq = in.Int32();
  r.Filename = in.Text();
  r.SerialNumber = in.Text();
  r.TrackNumber = in.Int16();
  return r;
}

bool RecordCodec::IsFullLayout(const QString& version) {
  return QString::compare(version.trimmed(), QStringLiteral("1.28"), Qt::CaseSensitive) >= 0;
}

}  // namespace audiolume
