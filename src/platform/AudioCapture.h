#pragma once

#include <QString>
#include <memory>

namespace audiolume::platform {

/**
 * Analog capture of a CD track: the drive plays the track through its own output while
 * the sound card's input is recorded and encoded into a file. The calls are those of the
 * capture library the recorder was written for. UI thread only.
 */
class AudioCapture {
 public:
  virtual ~AudioCapture() = default;

  /** "CD" or "CDSPDIF". */
  virtual void _a2d_SetRecSource(const QString& source) = 0;
  virtual void _a2d_SetSPDIFVolume(int volume) = 0;
  /** "/t" track number, "/bitrate" bits per second, "/vbr" quality. */
  virtual void _a2d_SetInt(const QString& name, int value) = 0;
  /** "/f" output file, "/format" the ripper's format text, "/acd" the drive's device. */
  virtual void _a2d_SetString(const QString& name, const QString& value) = 0;
  /** 0 when the capture runs. */
  virtual int _a2d_Start() = 0;
  /** Percent of the track captured; negative once the capture has ended. */
  virtual int _a2d_GetProgress() = 0;
  virtual void _a2d_Stop() = 0;
  /** 0 when the whole track was captured and written. */
  virtual int _a2d_CloseWithReturnCode() = 0;
};

/** Capture from the desktop's default audio input; null when there is none. */
std::unique_ptr<AudioCapture> MakeDeviceCapture();

}  // namespace audiolume::platform
