#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace audiolume {

/** One song of a playlist: its file, the name and artist shown, the effect preset. */
struct PlayListEntry {
  QString path;
  QString title;
  QString artist;
  QString preset;

  bool operator==(const PlayListEntry&) const = default;
};

/**
 * The song-line format of the playlist files ("PlayList.txt" and the blocks of
 * "Playlist.dat"): " 1 ", 0xFF, path, 0xFF, title, 0xFF, artist (+ "!SB!" + preset),
 * lines ending in CR LF.
 */
class PlayListText {
 public:
  static QByteArray SongLine(int position, const PlayListEntry& entry);

  /** Parses song lines. The position is ignored; a line with fewer than two 0xFF bytes
   *  continues on the next line; lines without any 0xFF are skipped. */
  static QList<PlayListEntry> ParseSongLines(const QByteArray& bytes);

  /** Reads a file of song lines; a missing file is an empty playlist. Throws FileError. */
  static QList<PlayListEntry> Read(const QString& path);

  /** Replaces the file with the entries numbered from 1. Throws FileError. */
  static void Write(const QString& path, const QList<PlayListEntry>& entries);

  /** The entries as song lines numbered from 1. */
  static QByteArray SongLines(const QList<PlayListEntry>& entries);

  // The blocks of "Playlist.dat": a title line "[name]" and the song lines below it.

  /** The file's lines without their CR LF endings. */
  static QList<QByteArray> Lines(const QByteArray& bytes);
  /** A title line's name (between "[" and the first "]", trimmed, without NUL characters,
   *  which no name typed can hold); nothing for a line that does not start with "[". */
  static std::optional<QString> BlockName(const QByteArray& line);
  /** Whether a title line can hold the name so that BlockName gives it back: no "]", no
   *  line break or NUL, no "[" at its start. */
  static bool IsStorableName(const QString& name);
  /** The title line of a block. */
  static QByteArray TitleLine(const QString& name);
  /** The non-empty lines of the first block called name, as they stand; nothing when
   *  the file has no such block. */
  static std::optional<QList<QByteArray>> BlockLines(const QByteArray& bytes, const QString& name);
};

}  // namespace audiolume
