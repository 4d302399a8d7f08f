#pragma once

#include <QStringList>
#include <cstdio>

namespace audiolume {

class CommandLinePrompter;
class TrailerTag;
struct ID3Tag;
struct SongRecord;

/** "twpl tags …": shows and writes the tags inside a song file. */
class TagCommands {
 public:
  /** Sets a record field by its name in "tags show" (texts unescaped); false for a name
   *  or value that does not fit. */
  static bool SetField(SongRecord& record, const QString& name, const QString& value);

  TagCommands(TrailerTag& trailer, ID3Tag& id3, CommandLinePrompter& prompter, std::FILE* out,
              std::FILE* err);

  /** Runs "show", "write", "art" or "extract-art" with its arguments (paths absolute).
   *  Returns the exit code; 2 with a message on err for bad arguments. */
  int Run(const QString& command, QStringList args);

 private:
  int Show(const QStringList& args);
  int Write(QStringList args);
  int Art(const QStringList& args);
  int ExtractArt(const QStringList& args);
  /** Prints a writer's result code, and why a file that takes no trailer was left alone;
   *  returns the exit code. */
  int Written(const QString& file, int result) const;
  /** Tells text on stderr; returns code (2, a command line twpl does not take, also
   *  prints the usage). */
  int Problem(const QString& text, int code = 2) const;
  void Print(const QString& name, const QString& value) const;
  void PrintRecord(const SongRecord& record) const;
  void PrintStandardTags(const QString& path) const;

  TrailerTag& trailer_;
  ID3Tag& id3_;
  CommandLinePrompter& prompter_;
  std::FILE* out_;
  std::FILE* err_;
};

}  // namespace audiolume
