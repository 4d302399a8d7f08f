#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

#include "platform/AudioDecoder.h"

namespace audiolume::platform {

/** How LAME encodes. */
struct Mp3Settings {
  int kbps = 128;       // constant bit rate; 0 means variable bit rate
  int vbrQuality = 50;  // 0 (smallest) to 100 (best), for the variable bit rate
  enum class Mode { Auto, Stereo, JointStereo, DualChannel, Mono } mode = Mode::Auto;
  int lowpassHz = 0;  // 0: LAME's own choice for the bit rate
};

/** A LAME encoder: PCM in, MP3 frames out. Throws DecodeError when LAME refuses. */
class Mp3Encoder {
 public:
  Mp3Encoder(const PcmFormat& format, const Mp3Settings& settings);
  ~Mp3Encoder();
  Mp3Encoder(const Mp3Encoder&) = delete;
  Mp3Encoder& operator=(const Mp3Encoder&) = delete;

  QByteArray Encode(const qint16* samples, qint64 frames);
  QByteArray Flush();
  /** After Flush: the stream's first frame again, now holding the length and seek table
   *  other players read (Xing/LAME tag); it replaces the first bytes written. */
  QByteArray InfoFrame();

 private:
  struct Lame;
  std::unique_ptr<Lame> lame_;
  int channels_ = 2;
};

/** The Vorbis comments of a FLAC file; empty ones are left out. */
struct VorbisComments {
  QString title;
  QString artist;
  QString album;
  int trackNumber = 0;  // 0: none
  QString date;
  QString genre;
};

/** A 16-bit PCM song file being written through libsndfile: WAV, or FLAC (lossless, at
 *  libFLAC's default level 5) with its Vorbis comments. */
class PcmFileWriter {
 public:
  enum class Container { Wav, Flac };
  PcmFileWriter(const QString& path, const PcmFormat& format, Container container = Container::Wav,
                const VorbisComments& comments = {});
  ~PcmFileWriter();
  PcmFileWriter(const PcmFileWriter&) = delete;
  PcmFileWriter& operator=(const PcmFileWriter&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  bool Write(const qint16* samples, qint64 frames);
  bool Close();

 private:
  struct Sndfile;
  Sndfile* file_ = nullptr;
};

}  // namespace audiolume::platform
