#include "recorder/AccurateRip.h"

#include <QtEndian>

#include "recorder/CdDisc.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

// Addresses in the table of contents count the 2-second lead-in; the database's do not.
constexpr int kLeadInFrames = 150;
// A pressing's head: track count, id 1, id 2 and the CDDB id.
constexpr qsizetype kPressingHead = 13;
// Per track: confidence, the sum, and a sum of one sector the database finds offsets with.
constexpr qsizetype kPressingTrack = 9;

QString EntryHex(quint32 value) {
  return QString::number(value, 16).rightJustified(8, u'0');
}

}  // namespace

QString AccurateRip::DiscIds::EntryPath() const {
  const QString hex1 = EntryHex(id1);
  return u"%1/%2/%3/dBAR-%4-%5-%6-%7.bin"_s.arg(hex1[7])
      .arg(hex1[6])
      .arg(hex1[5])
      .arg(audioTracks, 3, 10, QChar(u'0'))
      .arg(hex1, EntryHex(id2), EntryHex(cddb));
}

AccurateRip::DiscIds AccurateRip::IdsOf(const CdDisc& disc) {
  DiscIds ids;
  for (qsizetype k = 0; k < disc.tracks.size(); ++k) {
    if (!disc.tracks[k].audio) continue;
    const quint32 start = quint32(disc.tracks[k].startOffset - kLeadInFrames);
    ++ids.audioTracks;
    ids.id1 += start;
    ids.id2 += std::max(start, 1u) * quint32(k + 1);
  }
  // A data track after the audio still counts towards the lead-out.
  const quint32 leadout = quint32(disc.leadout - kLeadInFrames);
  ids.id1 += leadout;
  ids.id2 += leadout * quint32(ids.audioTracks + 1);
  ids.cddb = disc.discId.toUInt(nullptr, 16);
  return ids;
}

QList<AccurateRip::Pressing> AccurateRip::ParseEntry(const QByteArray& entry) {
  QList<Pressing> pressings;
  const auto* bytes = reinterpret_cast<const uchar*>(entry.constData());
  qsizetype at = 0;
  while (at + kPressingHead <= entry.size()) {
    const int count = bytes[at];
    const qsizetype size = kPressingHead + count * kPressingTrack;
    if (count == 0 || at + size > entry.size()) break;
    Pressing pressing;
    pressing.id1 = qFromLittleEndian<quint32>(bytes + at + 1);
    pressing.id2 = qFromLittleEndian<quint32>(bytes + at + 5);
    pressing.cddb = qFromLittleEndian<quint32>(bytes + at + 9);
    for (int track = 0; track < count; ++track) {
      const uchar* field = bytes + at + kPressingHead + track * kPressingTrack;
      pressing.tracks.append({field[0], qFromLittleEndian<quint32>(field + 1)});
    }
    pressings.append(pressing);
    at += size;
  }
  return pressings;
}

AccurateRip::Verdict AccurateRip::Compare(const QList<Pressing>& pressings, int track, quint32 v1,
                                          quint32 v2) {
  Verdict verdict;
  verdict.kind = Verdict::Kind::NotInDatabase;
  int highest = 0;
  for (const Pressing& pressing : pressings) {
    if (track < 1 || track > pressing.tracks.size()) continue;
    const Pressing::Track& known = pressing.tracks[track - 1];
    highest = std::max(highest, known.confidence);
    // Version 2 is the database's newer sum; where both match at once, it is named.
    const int version = known.sum == v2 ? 2 : known.sum == v1 ? 1 : 0;
    if (version == 0) {
      if (verdict.kind == Verdict::Kind::NotInDatabase) verdict.kind = Verdict::Kind::NotAccurate;
      continue;
    }
    if (verdict.kind != Verdict::Kind::Accurate || known.confidence > verdict.confidence ||
        (known.confidence == verdict.confidence && version > verdict.version)) {
      verdict.kind = Verdict::Kind::Accurate;
      verdict.confidence = known.confidence;
      verdict.version = version;
    }
  }
  if (verdict.kind == Verdict::Kind::NotAccurate) verdict.confidence = highest;
  return verdict;
}

QString AccurateRip::Verdict::LogLine() const {
  switch (kind) {
    case Kind::Accurate:
      return u"  AccurateRip: accurately ripped (confidence %1, v%2)"_s.arg(confidence)
          .arg(version);
    case Kind::NotAccurate:
      return u"  AccurateRip: not accurate (the database has confidence %1 for another sum)"_s.arg(
          confidence);
    case Kind::NotInDatabase: return u"  AccurateRip: the disc is not in the database"_s;
    case Kind::Unchecked: break;
  }
  return u"  AccurateRip: not checked ("_s + reason + u')';
}

QString AccurateRip::Summary(const QList<Verdict>& verdicts) {
  qsizetype accurate = 0;
  qsizetype unknown = 0;
  QString reason;
  for (const Verdict& verdict : verdicts) {
    if (verdict.kind == Verdict::Kind::Accurate) ++accurate;
    if (verdict.kind == Verdict::Kind::NotInDatabase) ++unknown;
    if (verdict.kind == Verdict::Kind::Unchecked) reason = verdict.reason;
  }
  if (!reason.isEmpty()) return u"AccurateRip: not checked ("_s + reason + u')';
  if (unknown == verdicts.size()) return u"AccurateRip: the disc is not in the database"_s;
  if (accurate == verdicts.size()) {
    return u"AccurateRip: all %1 tracks accurately ripped"_s.arg(verdicts.size());
  }
  return u"AccurateRip: %1 of %2 tracks accurately ripped"_s.arg(accurate).arg(verdicts.size());
}

}  // namespace audiolume
