#include "platform/DiscImage.h"

#include <cdio/logging.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace audiolume::platform {

namespace {

constexpr int kMaxTracks = 99;             // libcdio's track table holds no more
constexpr qint64 kMaxSheet = 1024 * 1024;  // a cue sheet or TOC is a few kilobytes

void QuietLog(cdio_log_level_t, const char*) {}

bool IsRegularFile(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

quint64 BigEndian(const QByteArray& bytes, qsizetype at, int size) {
  quint64 value = 0;
  for (int i = 0; i < size; ++i) value = value << 8 | quint8(bytes[at + i]);
  return value;
}

// One chunk of a Nero image's table: what libcdio's reader takes from it must be inside
// it. tracks counts the tracks listed so far.
QString NrgChunkFault(const QByteArray& id, quint32 length, int& tracks) {
  constexpr quint32 kDaoHeader = 22;
  if (id == "CUES" || id == "CUEX") {
    // Entries of 8 bytes in pairs: a lead-in pair, then one pair a track.
    if (length < 16 || length % 16 != 0) return u"its cue chunk is cut short"_s;
    tracks += int(length / 16) - 1;
  } else if (id == "ETNF" || id == "ETN2") {
    const quint32 entry = id == "ETNF" ? 20 : 32;
    if (length % entry != 0) return u"its track chunk is cut short"_s;
    tracks += int(length / entry);
  } else if (id == "DAOX" || id == "DAOI") {
    const quint32 entry = id == "DAOX" ? 42 : 30;
    if (length < kDaoHeader + entry * quint32(std::clamp(tracks, 1, kMaxTracks)))
      return u"its disc-at-once chunk is cut short"_s;
  } else if ((id == "SINF" || id == "MTYP") && length != 4) {
    return u"its %1 chunk is not 4 bytes long"_s.arg(QString::fromLatin1(id));
  } else if (id == "CDTX" && length % 18 != 0) {
    return u"its CD-TEXT chunk is cut short"_s;
  }
  return tracks > kMaxTracks ? u"it lists more than 99 tracks"_s : QString();
}

// A Nero image ends with "NER5" and a 64-bit offset, or "NERO" and a 32-bit one, of a table
// of chunks (four-letter name, 32-bit length, data) closed by "END!".
QString NrgFault(const QString& image) {
  QFile file(image);
  if (!file.open(QIODevice::ReadOnly)) return file.errorString();
  const qint64 size = file.size();
  constexpr qint64 kFooter = 12;
  constexpr qint64 kMaxTable = 4096;  // libcdio's limit
  if (size < kFooter || !file.seek(size - kFooter)) return u"it is too short"_s;
  const QByteArray footer = file.read(kFooter);
  quint64 table = 0;
  if (footer.mid(4, 4) == "NERO") {
    table = BigEndian(footer, 8, 4);
  } else if (footer.left(4) == "NER5") {
    table = BigEndian(footer, 4, 8);
  } else {
    return u"it does not end with a Nero footer"_s;
  }
  if (table > quint64(size - kFooter) || quint64(size) - table > quint64(kMaxTable))
    return u"its footer points outside the file"_s;
  file.seek(qint64(table));
  const QByteArray chunks = file.read(size - qint64(table));
  int tracks = 0;
  for (qsizetype at = 0;;) {
    if (at + 8 > chunks.size()) return u"its chunk table has no end"_s;
    const QByteArray id = chunks.mid(at, 4);
    if (id == "END!") break;
    const quint64 length = BigEndian(chunks, at + 4, 4);
    if (length > quint64(chunks.size() - at - 8)) return u"a chunk runs past the end of the file"_s;
    if (QString fault = NrgChunkFault(id, quint32(length), tracks); !fault.isEmpty()) return fault;
    at += 8 + qsizetype(length);
  }
  return tracks == 0 ? u"it lists no tracks"_s : QString();
}

// The file name a cue sheet or TOC line gives, in quotes or as one word.
QString NameOnLine(const QString& line) {
  const QString rest = line.section(u' ', 1).trimmed();
  return rest.startsWith(u'"') ? rest.section(u'"', 1, 1) : rest.section(u' ', 0, 0);
}

bool NamesFile(const QString& word) {
  return word == u"FILE" || word == u"AUDIOFILE" || word == u"DATAFILE";
}

}  // namespace

DiscImage::DiscImage(const QString& path)
    : driver_(DriverFor(path)), path_(QFile::encodeName(path)) {
  if (!IsRegularFile(path)) {
    fault_ = u"it is not a regular file"_s;
  } else if (driver_ == DRIVER_NRG) {
    fault_ = NrgFault(path);
  } else if (driver_ == DRIVER_BINCUE || driver_ == DRIVER_CDRDAO) {
    fault_ = CheckSheet(path);
  }
  if (!fault_.isEmpty()) {
    fault_ = u"The disc image %1 cannot be read: %2."_s.arg(QDir::toNativeSeparators(path), fault_);
  }
}

DiscImage::~DiscImage() = default;

void DiscImage::QuietLibcdio() {
  cdio_log_set_handler(QuietLog);
}

driver_id_t DiscImage::DriverFor(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == u"cue" || suffix == u"bin") return DRIVER_BINCUE;
  if (suffix == u"toc") return DRIVER_CDRDAO;
  if (suffix == u"nrg") return DRIVER_NRG;
  return DRIVER_DEVICE;
}

// The files a cue sheet or TOC names must be regular files (libcdio opens them blocking);
// its tracks must fit libcdio's table, and a TOC names a track before it gives one a code.
QString DiscImage::CheckSheet(const QString& image) {
  QFile file(image);
  if (!file.open(QIODevice::ReadOnly)) return file.errorString();
  const QByteArray sheet = file.read(kMaxSheet);
  const QString folder = QFileInfo(image).absolutePath();
  bool relative = false;
  int tracks = 0;
  for (const QByteArray& raw : sheet.split('\n')) {
    const QString line = QString::fromUtf8(raw).simplified();
    const QString word = line.section(u' ', 0, 0).toUpper();
    if (word == u"TRACK") ++tracks;
    if (driver_ == DRIVER_CDRDAO && tracks == 0 && (word == u"ISRC" || word == u"SILENCE"))
      return word + u" comes before the first track"_s;
    if (!NamesFile(word)) continue;
    const QString name = NameOnLine(line);
    const bool absolute = QFileInfo(name).isAbsolute();
    relative = relative || !absolute;
    const QString path = absolute ? name : folder + u'/' + name;
    if (QFileInfo::exists(path) && !IsRegularFile(path))
      return u"it names %1, which is not a regular file"_s.arg(QDir::toNativeSeparators(path));
  }
  if (tracks == 0) return u"it lists no tracks"_s;
  if (tracks > kMaxTracks) return u"it lists more than 99 tracks"_s;
  return driver_ == DRIVER_CDRDAO && relative ? CopyToc(image, sheet) : QString();
}

// libcdio opens a TOC's files from the current folder. The copy names them through a link
// to the TOC's folder: a short path, so that no line grows past what libcdio reads of it.
QString DiscImage::CopyToc(const QString& image, const QByteArray& sheet) {
  copy_ = std::make_unique<QTemporaryDir>();
  const QString link = copy_->path() + u"/d"_s;
  if (!copy_->isValid() || !QFile::link(QFileInfo(image).absolutePath(), link))
    return u"no temporary copy of it can be made"_s;
  QByteArray text;
  for (const QByteArray& raw : sheet.split('\n')) {
    const QString line = QString::fromUtf8(raw);
    const qsizetype open = line.indexOf(u'"');
    const qsizetype close = line.indexOf(u'"', open + 1);
    const QString name = NameOnLine(line.simplified());
    if (!NamesFile(line.simplified().section(u' ', 0, 0).toUpper()) || open < 0 || close < 0 ||
        QFileInfo(name).isAbsolute()) {
      text += raw + '\n';
      continue;
    }
    text += (line.left(open + 1) + link + u'/' + name + line.mid(close)).toUtf8() + '\n';
  }
  QFile copy(copy_->path() + u"/disc.toc"_s);
  if (!copy.open(QIODevice::WriteOnly) || copy.write(text) != text.size())
    return u"no temporary copy of it can be made"_s;
  path_ = QFile::encodeName(copy.fileName());
  return {};
}

}  // namespace audiolume::platform
