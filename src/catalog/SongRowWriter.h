#pragma once

#include <QString>

namespace audiolume {

class SongAdder;
class SongLibrary;
class TrailerTag;

/**
 * Writes a library row's editable texts (title to preference) into its song file: the
 * file's own information is read first so that everything else in its tags stays, then
 * the trailer tag is written back. Files that never carry our trailer (other formats, CD
 * drives) are left alone. UI thread only.
 */
class SongRowWriter {
 public:
  static constexpr int kEditableColumns = 8;

  SongRowWriter(const SongLibrary& library, SongAdder& adder, TrailerTag& trailer)
      : library_(library), adder_(adder), trailer_(trailer) {}

  /** 0 when written or when the file takes no trailer; else the tag writer's error. */
  int Write(int row);

 private:
  const SongLibrary& library_;
  SongAdder& adder_;
  TrailerTag& trailer_;
};

}  // namespace audiolume
