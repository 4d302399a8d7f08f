#pragma once

#include <QString>
#include <memory>

namespace audiolume::platform {

/**
 * The drive's own audio playback (the analogue output of a CD drive) for the player's CD
 * mode, through libcdio. Without a drive every call does nothing. UI thread only.
 */
class CdAudio {
 public:
  /** device: the drive's device ("/dev/sr0"); empty for none. */
  explicit CdAudio(const QString& device);
  ~CdAudio();
  CdAudio(const CdAudio&) = delete;
  CdAudio& operator=(const CdAudio&) = delete;

  bool HasDrive() const;
  void _CdsPause();
  void _CdsResume();
  void _CdsStop();
  /** Plays a track of the disc through the drive's own output; false when it cannot. */
  bool PlayTrack(int track);
  /** Plays the track now playing from a fraction (0 to 1) of its length. */
  void _CdsSkip(double fraction);

 private:
  struct Drive;
  std::unique_ptr<Drive> drive_;
};

}  // namespace audiolume::platform
