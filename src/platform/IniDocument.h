#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace audiolume::platform {

/**
 * One INI file held as its lines, with the semantics of the Windows profile functions:
 * section and key names compare without regard to case, the first matching section and
 * the first matching key in it win, values are trimmed. Lines that are not touched by an
 * update are written back byte for byte. Not thread-safe; a value type.
 */
class IniDocument {
 public:
  /** Reads path; a missing file gives an empty document. Throws std::system_error. */
  static IniDocument Load(const QString& path);

  /** Writes through a temporary file renamed over path. Throws std::system_error. */
  void Save(const QString& path) const;

  std::optional<QString> Value(const QString& section, const QString& key) const;

  /**
   * Updates the key in place; a new key goes after the last entry of its section, a new
   * section at the end of the document.
   */
  void SetValue(const QString& section, const QString& key, const QString& value);

  /** Adds an empty section at the end unless one of that name exists. */
  void AddSection(const QString& section);

  bool HasSection(const QString& section) const;

  /** Section names in file order, each name once (its first spelling). */
  QStringList Sections() const;

  /** The entries of the first section of that name, in order, each key once. */
  QList<QPair<QString, QString>> Entries(const QString& section) const;

 private:
  struct Range {
    std::size_t header;  // index of the "[section]" line
    std::size_t end;     // one past the section's last line
  };

  std::optional<Range> FindSection(const QString& section) const;
  std::optional<std::size_t> FindKey(const Range& range, const QString& key) const;
  void InsertLine(std::size_t index, const QString& text);

  std::vector<QByteArray> lines_;
  QByteArray lineEnd_ = "\n";
};

}  // namespace audiolume::platform
