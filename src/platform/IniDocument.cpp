#include "platform/IniDocument.h"

#include <QFile>
#include <QSaveFile>

#include "platform/CodePage.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"

namespace audiolume::platform {

namespace {

std::optional<QString> SectionName(const QString& line) {
  const QString trimmed = line.trimmed();
  if (!trimmed.startsWith(u'[')) return std::nullopt;
  const qsizetype close = trimmed.indexOf(u']');
  return trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

struct Entry {
  QString key;
  QString value;
};

std::optional<Entry> ParseEntry(const QString& line) {
  const qsizetype equals = line.indexOf(u'=');
  if (equals < 0) return std::nullopt;
  const QString key = line.left(equals).trimmed();
  if (key.isEmpty() || key.startsWith(u';')) return std::nullopt;
  return Entry{key, line.mid(equals + 1).trimmed()};
}

bool SameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

IniDocument IniDocument::Load(const QString& path) {
  IniDocument doc;
  if (!QFile::exists(path)) return doc;
  // No settings file comes near this size; a larger one is not one to read many times.
  constexpr qint64 kMaxBytes = qint64(16) << 20;
  const QByteArray bytes = FileOps::ReadFile(path, kMaxBytes);
  if (bytes.contains("\r\n")) doc.lineEnd_ = "\r\n";
  for (QByteArray line : bytes.split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    doc.lines_.push_back(line);
  }
  // split() leaves one empty piece after a final line end.
  if (!doc.lines_.empty() && doc.lines_.back().isEmpty()) doc.lines_.pop_back();
  return doc;
}

void IniDocument::Save(const QString& path) const {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) ThrowFileError(file);
  for (const QByteArray& line : lines_) {
    file.write(line);
    file.write(lineEnd_);
  }
  if (!file.commit()) ThrowFileError(file);
}

std::optional<IniDocument::Range> IniDocument::FindSection(const QString& section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(DecodeText(lines_[i]));
    if (!name || !SameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionName(DecodeText(lines_[end]))) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> IniDocument::FindKey(const Range& range, const QString& key) const {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    const auto entry = ParseEntry(DecodeText(lines_[i]));
    if (entry && SameName(entry->key, key)) return i;
  }
  return std::nullopt;
}

std::optional<QString> IniDocument::Value(const QString& section, const QString& key) const {
  const auto range = FindSection(section);
  if (!range) return std::nullopt;
  const auto index = FindKey(*range, key);
  if (!index) return std::nullopt;
  return ParseEntry(DecodeText(lines_[*index]))->value;
}

namespace {

// A line break inside a name or value would start a line of its own, which the next read
// takes for a key or a section; a value never spans lines.
QString OneLine(QString text) {
  for (QChar& c : text) {
    if (c == u'\r' || c == u'\n') c = u' ';
  }
  return text;
}

}  // namespace

void IniDocument::SetValue(const QString& rawSection, const QString& rawKey,
                           const QString& rawValue) {
  const QString section = OneLine(rawSection);
  const QString key = OneLine(rawKey);
  const QString value = OneLine(rawValue);
  AddSection(section);
  const Range range = *FindSection(section);
  if (const auto index = FindKey(range, key)) {
    // Keep the key as the file spells it; only the value changes.
    const QString spelled = ParseEntry(DecodeText(lines_[*index]))->key;
    lines_[*index] = EncodeText(spelled + u'=' + value);
    return;
  }
  std::size_t after = range.end;
  while (after > range.header + 1 && DecodeText(lines_[after - 1]).trimmed().isEmpty()) --after;
  InsertLine(after, key + u'=' + value);
}

void IniDocument::AddSection(const QString& section) {
  if (HasSection(section)) return;
  if (!lines_.empty() && !lines_.back().trimmed().isEmpty()) InsertLine(lines_.size(), {});
  InsertLine(lines_.size(), u'[' + section + u']');
}

bool IniDocument::HasSection(const QString& section) const {
  return FindSection(section).has_value();
}

QStringList IniDocument::Sections() const {
  QStringList names;
  for (const QByteArray& line : lines_) {
    const auto name = SectionName(DecodeText(line));
    if (name && !names.contains(*name, Qt::CaseInsensitive)) names.append(*name);
  }
  return names;
}

QList<QPair<QString, QString>> IniDocument::Entries(const QString& section) const {
  QList<QPair<QString, QString>> entries;
  const auto range = FindSection(section);
  if (!range) return entries;
  QStringList seen;
  for (std::size_t i = range->header + 1; i < range->end; ++i) {
    const auto entry = ParseEntry(DecodeText(lines_[i]));
    if (!entry || seen.contains(entry->key, Qt::CaseInsensitive)) continue;
    seen.append(entry->key);
    entries.append({entry->key, entry->value});
  }
  return entries;
}

void IniDocument::InsertLine(std::size_t index, const QString& text) {
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), EncodeText(text));
}

}  // namespace audiolume::platform
