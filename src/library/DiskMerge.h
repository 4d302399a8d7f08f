#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "library/SongRecord.h"

namespace audiolume {

/**
 * Takes into a library what another program (twpl, a second jukebox) saved in the
 * database since this one last read or wrote it: a three-way merge of the records as
 * stored then (base), the records here with their unsaved edits, and the records on disk
 * now. Records are matched by file name, exactly; the k-th record of a name in one list
 * goes with the k-th of that name in the others. Texts are compared without their
 * surrounding blanks, as the database stores them.
 *
 * A record added on disk is added here. A record removed on disk goes here too, unless it
 * was edited here. A field changed on disk and not here takes the disk's value; a field
 * changed here keeps its own. Plays counted on both sides add up, and the later of two
 * last-played dates wins. A record removed here stays removed.
 */
class DiskMerge {
 public:
  using Records = std::vector<const SongRecord*>;

  struct Result {
    /** Records here (indexes into here) that take new values, before any removal. */
    std::vector<std::pair<std::size_t, SongRecord>> changed;
    /** Records here removed on disk, ascending. */
    std::vector<std::size_t> removed;
    /** Records added on disk, in the disk's order. */
    std::vector<SongRecord> added;

    bool Empty() const { return changed.empty() && removed.empty() && added.empty(); }
  };

  /** diskComplete is false when the disk's file is damaged after its last whole record:
   *  then a record missing from it is not taken as removed. */
  static Result Merge(const Records& base, const Records& here, const Records& disk,
                      bool diskComplete);

  /** For each record of from, the index of its partner in to (same file name, same
   *  occurrence), or -1. */
  static std::vector<std::ptrdiff_t> Pair(const Records& from, const Records& to);

  /** One song's record: base as stored then, here with its edits, disk as stored now. */
  static SongRecord MergeFields(const SongRecord& base, const SongRecord& here,
                                const SongRecord& disk);

  /** Whether two records store the same (texts compared without surrounding blanks). */
  static bool Same(const SongRecord& a, const SongRecord& b);
};

}  // namespace audiolume
