#pragma once

#include <QStringList>
#include <cstdio>

namespace audiolume {

namespace platform {
struct LoudnessValues;
}
class TrailerTag;

/** "twpl replaygain": measures songs' loudness for ReplayGain and stores the values. */
class ReplayGainCommand {
 public:
  /** trailer mends the jukebox's own tag of MP3 files whose ID3v2 tag grows. */
  ReplayGainCommand(TrailerTag& trailer, std::FILE* out, std::FILE* err);

  /** args: scan [--album] [--write] FILE…; prints gain<TAB>peak<TAB>path of each file,
   *  then album<TAB>gain<TAB>peak with --album. Returns the exit code (1 when a file could
   *  not be measured or written, 2 for bad arguments). */
  int Run(QStringList args);

 private:
  /** Stores a file's values, and the album's when given, in its standard tag. */
  bool Write(const QString& path, const platform::LoudnessValues& track,
             const platform::LoudnessValues* album);
  void Print(const QString& line);

  TrailerTag& trailer_;
  std::FILE* out_;
  std::FILE* err_;
};

}  // namespace audiolume
