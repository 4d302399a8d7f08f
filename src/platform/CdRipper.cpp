#include "platform/CdRipper.h"

#include <cdio/cdio.h>

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/CdDevice.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "platform/ParanoiaDrive.h"

namespace audiolume::platform {

namespace {

constexpr qint64 kSamplesPerSector = CDIO_CD_FRAMESIZE_RAW / 4;
constexpr int kBatchSectors = 32;
constexpr std::size_t kQueueLimit = 16;  // about 7 s of audio between reader and encoder
// Sectors read away from those under test: more than a drive's cache holds (a few MB).
constexpr int kAwayBlock = 1500;

// The loudest sample's size. The samples go in runs of a fixed length, which the compiler
// turns into vector instructions.
int Peak(const qint16* samples, std::size_t count) {
  constexpr std::size_t kRun = 64;
  qint16 high = 0;
  qint16 low = 0;
  std::size_t i = 0;
  for (; i + kRun <= count; i += kRun) {
    for (std::size_t k = i; k < i + kRun; ++k) {
      high = std::max(high, samples[k]);
      low = std::min(low, samples[k]);
    }
  }
  for (; i < count; ++i) {
    high = std::max(high, samples[i]);
    low = std::min(low, samples[i]);
  }
  return std::max(int(high), -int(low));
}

/**
 * The checksums of a track's audio: CRC-32 of its bytes, and the AccurateRip sums (v1 and
 * v2), which leave out the first five sectors of the disc's first track and the last five
 * of its last one, where drives disagree.
 */
class TrackChecksums {
 public:
  TrackChecksums(qint64 samples, bool firstTrack, bool lastTrack)
      : checkFrom_(firstTrack ? 5 * kSamplesPerSector : 1),
        checkTo_(samples - (lastTrack ? 5 * kSamplesPerSector : 0)),
        crc_(::crc32(0L, Z_NULL, 0)) {}

  // The work is shared between the two threads: the CRC and the peak on the reading one,
  // the AccurateRip sums on the writing one.

  /** The CRC and the peak. */
  void AddBytes(const std::vector<qint16>& block) {
    crc_ = ::crc32(crc_, reinterpret_cast<const Bytef*>(block.data()), uInt(block.size() * 2));
    peak_ = std::max(peak_, Peak(block.data(), block.size()));
  }

  /** The AccurateRip sums. */
  void AddFrames(const std::vector<qint16>& block) {
    // Frames are counted from 1; only those from checkFrom_ to checkTo_ enter the sums
    // (the disc's first track skips five sectors less one frame: it counts from 2940).
    const qint64 first = position_ + 1;
    const qint64 frames = qint64(block.size() / 2);
    const qint64 to = std::min(first + frames - 1, checkTo_);
    for (qint64 position = std::max(first, checkFrom_); position <= to; ++position) {
      const std::size_t at = std::size_t(position - first) * 2;
      const quint32 sample = quint32(quint16(block[at])) | quint32(quint16(block[at + 1])) << 16;
      const quint64 product = quint64(quint32(position)) * sample;
      low_ += quint32(product);
      high_ += quint32(product >> 32);
    }
    position_ += frames;
  }

  void Into(RipProgress& result) const {
    result.crc32 = quint32(crc_);
    // v1 sums the products' low halves; v2 adds their high halves to that.
    result.accurateRipV1 = low_;
    result.accurateRipV2 = low_ + high_;
    result.peak = peak_ / 32768.0;
  }

 private:
  qint64 checkFrom_;
  qint64 checkTo_;
  qint64 position_ = 0;
  uLong crc_;
  quint32 low_ = 0;
  quint32 high_ = 0;
  int peak_ = 0;
};

/** Hands blocks of samples from the reading thread to the writing one. */
class BlockQueue {
 public:
  void Push(std::vector<qint16> block) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [this] { return blocks_.size() < kQueueLimit || stopped_; });
    blocks_.push_back(std::move(block));
    ready_.notify_one();
  }
  /** False once the queue is closed and empty. */
  bool Pop(std::vector<qint16>& block) {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [this] { return !blocks_.empty() || closed_; });
    if (blocks_.empty()) return false;
    block = std::move(blocks_.front());
    blocks_.pop_front();
    room_.notify_one();
    return true;
  }
  void Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    ready_.notify_all();
  }
  /** The writer gave up: the reader no longer waits for room. */
  void Stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    blocks_.clear();
    room_.notify_all();
  }
  bool Stopped() {
    std::lock_guard lock(mutex_);
    return stopped_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::condition_variable room_;
  std::deque<std::vector<qint16>> blocks_;
  bool closed_ = false;
  bool stopped_ = false;
};

// Each writer below puts the song on the disk before it takes its name, written out as it
// grows so that the rip does not wait for all of it at the end, and adds up the
// AccurateRip sums on the way; an exit code.

int WritePcm(const RipRequest& request, const QString& path, BlockQueue& queue,
             TrackChecksums& sums) {
  const auto container = request.format == RipRequest::Format::Flac ? PcmFileWriter::Container::Flac
                                                                    : PcmFileWriter::Container::Wav;
  PcmFileWriter song(path, PcmFormat{44100, 2}, container, request.comments);
  if (!song.IsOpen()) return CdRipper::kWriteFailed;
  try {
    WriteBehind disk(path);
    std::vector<qint16> block;
    while (queue.Pop(block)) {
      if (!song.Write(block.data(), qint64(block.size() / 2))) return CdRipper::kWriteFailed;
      disk.Push();
      sums.AddFrames(block);
    }
    if (!song.Close()) return CdRipper::kWriteFailed;
    disk.Sync();
  } catch (const FileError&) {
    return CdRipper::kWriteFailed;
  }
  return CdRipper::kDone;
}

int WriteMp3(const Mp3Settings& settings, const QString& path, BlockQueue& queue,
             TrackChecksums& sums) {
  QFile file;
  try {
    // A FIFO or device in the file's place would hold the open for ever.
    const int fd = FileOps::OpenRegularFile(path, O_WRONLY | O_CREAT | O_TRUNC);
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
      ::close(fd);
      return CdRipper::kWriteFailed;
    }
    WriteBehind disk(path);
    Mp3Encoder encoder(PcmFormat{44100, 2}, settings);
    std::vector<qint16> block;
    while (queue.Pop(block)) {
      if (file.write(encoder.Encode(block.data(), qint64(block.size() / 2))) < 0) {
        return CdRipper::kWriteFailed;
      }
      disk.Push();
      sums.AddFrames(block);
    }
    if (file.write(encoder.Flush()) < 0) return CdRipper::kWriteFailed;
    const QByteArray info = encoder.InfoFrame();
    if (!info.isEmpty() && (!file.seek(0) || file.write(info) < 0)) return CdRipper::kWriteFailed;
    if (!file.flush()) return CdRipper::kWriteFailed;
    disk.Sync();
  } catch (const DecodeError&) {
    return CdRipper::kEncodeFailed;
  } catch (const FileError&) {
    return CdRipper::kWriteFailed;
  }
  return CdRipper::kDone;
}

int WriteSong(const RipRequest& request, const QString& path, BlockQueue& queue,
              TrackChecksums& sums) {
  return request.format == RipRequest::Format::Mp3
             ? WriteMp3(request.mp3Settings, path, queue, sums)
             : WritePcm(request, path, queue, sums);
}

}  // namespace

bool CdRipper::TestDrive(const QString& device, int sectors, DriveTest& result) {
  result = {};
  ParanoiaDrive drive(device);
  if (!drive.IsOpen()) return false;
  int track = 1;
  while (track <= drive.Tracks() && !drive.IsAudioTrack(track)) ++track;
  if (track > drive.Tracks()) return false;
  // From the middle of the track, where a disc is most often played and scratched.
  const lsn_t first = drive.First(track);
  const lsn_t last = drive.Last(track);
  const int count = int(std::min<lsn_t>(sectors, last - first + 1));
  const lsn_t start = first + (last - first + 1 - count) / 2;
  // Far from the sectors under test: the other end of the disc's audio (a disc shorter
  // than a cache gives what it has; a data track cannot be read as audio).
  int lastAudio = drive.Tracks();
  while (!drive.IsAudioTrack(lastAudio)) --lastAudio;
  const lsn_t end = drive.Last(lastAudio) + 1;
  const lsn_t away =
      std::max(first, start - first > end - (start + count) ? first : end - kAwayBlock);
  const int awayCount = int(std::min<lsn_t>(kAwayBlock, end - away));
  result.sectorsPerRead = drive.SectorsPerRead();
  QElapsedTimer clock;
  clock.start();
  CompareReads([&drive](int sector, std::vector<char>& out,
                        int blocks) { return drive.ReadRaw(sector, out, blocks); },
               start, count, away, awayCount, result);
  const double seconds = std::max(0.001, clock.elapsed() / 1000.0);
  result.speed = 2.0 * result.sectorsRead / 75.0 / seconds;
  return true;
}

void CdRipper::CompareReads(const SectorReader& read, int start, int count, int away, int awayCount,
                            DriveTest& result) {
  constexpr int kBlock = 750;  // ten seconds: the reads away cost twice the test, not more
  std::vector<char> once;
  std::vector<char> elsewhere;
  std::vector<char> again;
  for (int done = 0; done < count; done += kBlock) {
    const int block = std::min(kBlock, count - done);
    // A drive keeps what it read last in its cache; reading well away in between (as
    // cdparanoia's cache test does) pushes the block out, so the second read is a real one.
    if (!read(start + done, once, block) || !read(away, elsewhere, awayCount) ||
        !read(start + done, again, block)) {
      return;  // readable stays false: the drive failed under test
    }
    for (int i = 0; i < block; ++i) {
      const auto at = std::size_t(i) * CDIO_CD_FRAMESIZE_RAW;
      if (std::memcmp(once.data() + at, again.data() + at, CDIO_CD_FRAMESIZE_RAW) != 0) {
        ++result.mismatches;
      }
    }
    result.sectorsRead += block;
  }
  result.readable = true;
}

int CdRipper::Rip(const RipRequest& request,
                  const std::function<void(const RipProgress&)>& progress, RipProgress& result) {
  ParanoiaDrive::ResetCounts();
  result = {};
  ParanoiaDrive drive(request.device);
  if (!drive.IsOpen()) return kNoDisc;
  if (!drive.IsAudioTrack(request.track)) return kNotAudio;
  // The samples wanted, counted from the start of the disc.
  const qint64 trackStart = qint64(drive.First(request.track)) * kSamplesPerSector;
  const qint64 trackSamples =
      (qint64(drive.Last(request.track)) + 1) * kSamplesPerSector - trackStart;
  const qint64 first = trackStart + qint64(std::max(0, request.startFrame)) * kSamplesPerSector +
                       request.sampleOffset;
  qint64 count = trackSamples - qint64(std::max(0, request.startFrame)) * kSamplesPerSector;
  if (request.lengthFrames >= 0)
    count = std::min(count, qint64(request.lengthFrames) * kSamplesPerSector);
  if (count <= 0) return kNotAudio;
  const qint64 discEnd = (qint64(drive.DiscLast()) + 1) * kSamplesPerSector;
  int firstAudio = 1;
  while (firstAudio < drive.Tracks() && !drive.IsAudioTrack(firstAudio)) ++firstAudio;
  int lastAudio = drive.Tracks();
  while (lastAudio > 1 && !drive.IsAudioTrack(lastAudio)) --lastAudio;
  TrackChecksums sums(count, request.track == firstAudio, request.track == lastAudio);

  const QString partial = request.output + QStringLiteral(".part");
  BlockQueue queue;
  int written = kDone;
  std::thread writer([&] {
    written = WriteSong(request, partial, queue, sums);
    if (written != kDone) queue.Stop();
  });

  QElapsedTimer clock;
  clock.start();
  const lsn_t firstSector = lsn_t(std::max<qint64>(0, first) / kSamplesPerSector);
  ReadOptions reading = request.reading;
  // An image reads the same every time: checking reads against each other only costs time.
  if (CdDevice::IsImage(request.device)) reading.checking = ReadOptions::Checking::Off;
  result.applied = drive.Start(firstSector, reading);
  qint64 position = qint64(firstSector) * kSamplesPerSector;  // the first sample of the next read
  qint64 done = 0;
  // Before the disc's first sample (a negative offset) there is silence.
  if (first < 0) {
    const qint64 silence = std::min(count, -first);
    std::vector<qint16> block(std::size_t(silence * 2), 0);
    sums.AddBytes(block);
    queue.Push(std::move(block));
    done = silence;
  }
  int read = kDone;
  while (done < count && !queue.Stopped()) {
    // Sectors go over to the writer in batches, which keeps the hand-over cheap.
    std::vector<qint16> block;
    block.reserve(std::size_t(kBatchSectors * kSamplesPerSector * 2));
    for (int n = 0; n < kBatchSectors && done < count; ++n) {
      if (position >= discEnd) {
        block.resize(block.size() + std::size_t((count - done) * 2), 0);  // past the lead-out
        done = count;
        break;
      }
      const int16_t* sector = drive.Next();
      if (!sector) {
        read = kReadFailed;
        break;
      }
      const qint64 from = std::max<qint64>(0, first + done - position);
      const qint64 take = std::min(kSamplesPerSector - from, count - done);
      block.insert(block.end(), sector + from * 2, sector + (from + take) * 2);
      position += kSamplesPerSector;
      done += take;
    }
    if (read != kDone) break;
    sums.AddBytes(block);
    queue.Push(std::move(block));
    const double seconds = std::max(0.001, clock.elapsed() / 1000.0);
    result.percent = int(done * 100 / count);
    result.jitterErrors = ParanoiaDrive::JitterErrors();
    result.averageSpeed = double(done) / 44100.0 / seconds;
    result.averageJitter =
        1000.0 * ParanoiaDrive::Corrections() / std::max<qint64>(1, done / kSamplesPerSector);
    if (progress) progress(result);
  }
  queue.Close();
  writer.join();
  sums.Into(result);
  const int code = read != kDone ? read : written;
  // Only the ripper's own partial file goes: a FIFO or device found in its place stays.
  const auto removePartial = [&partial] {
    if (QFileInfo(partial).isFile()) QFile::remove(partial);
  };
  if (code != kDone) {
    removePartial();
    return code;
  }
  try {
    FileOps::MoveFile(partial, request.output);  // the question about replacing came before
  } catch (const FileError&) {
    removePartial();
    return kWriteFailed;
  }
  return ParanoiaDrive::JitterErrors() > 0 ? kJitterErrors : kDone;
}

}  // namespace audiolume::platform
