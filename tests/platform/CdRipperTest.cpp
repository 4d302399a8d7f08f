#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "platform/CdRipper.h"

namespace audiolume::platform {
namespace {

constexpr int kSectorBytes = 2352;

/** A drive that reads a few samples differently each time, and answers a read of the
 *  sectors it read last from its cache. */
class JitteryCachedDrive {
 public:
  bool Read(int sector, std::vector<char>& out, int count) {
    out.resize(std::size_t(count) * kSectorBytes);
    if (sector == cachedAt_ && count <= int(cache_.size() / kSectorBytes)) {
      std::memcpy(out.data(), cache_.data(), out.size());
      return true;
    }
    std::uniform_int_distribution<int> byte(0, 255);
    for (char& b : out) b = char(byte(random_));
    cache_ = out;
    cachedAt_ = sector;
    return true;
  }

 private:
  std::mt19937 random_{7};
  std::vector<char> cache_;
  int cachedAt_ = -1;
};

TEST(CdRipperTest, TheDriveTestReadsPastTheDrivesCache) {
  JitteryCachedDrive drive;
  CdRipper::DriveTest result;
  CdRipper::CompareReads([&drive](int sector, std::vector<char>& out,
                                  int count) { return drive.Read(sector, out, count); },
                         1000, 1500, 90000, result);
  EXPECT_TRUE(result.readable);
  EXPECT_EQ(result.sectorsRead, 1500);
  EXPECT_EQ(result.mismatches, 1500) << "every second read came from the disc";

  // A drive that fails under test is not readable.
  CdRipper::DriveTest failed;
  CdRipper::CompareReads([](int, std::vector<char>&, int) { return false; }, 0, 10, 100, failed);
  EXPECT_FALSE(failed.readable);
}

}  // namespace
}  // namespace audiolume::platform
