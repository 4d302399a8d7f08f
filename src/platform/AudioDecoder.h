#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

#include "platform/SongFormat.h"

namespace audiolume::platform {

/** Decoded audio: signed 16-bit samples, channels interleaved. */
struct PcmFormat {
  int sampleRate = 44100;
  int channels = 2;

  bool operator==(const PcmFormat&) const = default;
};

/** A song that cannot be opened or decoded. */
class DecodeError : public std::runtime_error {
 public:
  /** OutputStalled: the sound device stopped taking the decoded audio. */
  enum class Kind { CannotOpen, NotDecodable, Damaged, OutputStalled };

  DecodeError(Kind kind, const QString& detail)
      : std::runtime_error(detail.toStdString()), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

/**
 * One song's decoder. Used by one thread at a time (the pipeline's decoding thread once
 * playback starts). Every member throws DecodeError on failure.
 */
class AudioDecoder {
 public:
  virtual ~AudioDecoder() = default;

  virtual PcmFormat Format() const = 0;
  /** The length in frames, as known when the decoder was opened. */
  virtual qint64 LengthFrames() const = 0;
  /** Whether that length is exact; an MPEG stream without a frame count (a Xing or Info
   *  header) has it estimated from its size and bit rate. */
  virtual bool LengthExact() const { return true; }
  /** Decodes up to frames frames into out; returns how many, 0 at the end. */
  virtual qint64 Read(qint16* out, qint64 frames) = 0;
  virtual void Seek(qint64 frame) = 0;
};

/** MPEG audio layers I to III (mp1, mp2, mp3) through libmpg123. */
std::unique_ptr<AudioDecoder> OpenMpegDecoder(const QString& path);

/** WAV, FLAC, Ogg Vorbis, Opus, AIFF and whatever else libsndfile reads. */
std::unique_ptr<AudioDecoder> OpenSndfileDecoder(const QString& path);

/** What neither of those takes: MP4 (AAC, ALAC), WMA, WavPack, APE and whatever else
 *  FFmpeg's libavformat and libavcodec open. */
std::unique_ptr<AudioDecoder> OpenFfmpegDecoder(const QString& path);

/** A track of an audio CD (a drive or a disc image) as a song path: "cdda:DEVICE#N". */
QString CdTrackPath(const QString& device, int track);
bool IsCdTrackPath(const QString& path);
/** Reads a CD track through libcdio-paranoia. Throws DecodeError. */
std::unique_ptr<AudioDecoder> OpenCdTrackDecoder(const QString& path);
/** What the player's second back-end opens: CD tracks, else as OpenSongDecoder. */
std::unique_ptr<AudioDecoder> OpenPlayerDecoder(const QString& path);

/** The name patterns of the song files the decoders play ("*.mp3", "*.flac", …), for
 *  folder listings and file dialogs. */
QStringList SongFilePatterns();
/** Whether a file's name ends in one of those patterns' extensions, in any case. */
bool IsSongFileName(const QString& path);

/** Whether a file's name (not its folders) ends in ".mp1", ".mp2" or ".mp3". */
bool IsMpegAudioName(const QString& path);

/** The decoder a song file's content calls for (SongFormatOf: a misnamed file still
 *  plays): MPEG audio through libmpg123; MP4, WavPack, APE and ASF through FFmpeg; the rest
 *  through libsndfile, and what libsndfile cannot read through FFmpeg. Throws DecodeError. */
std::unique_ptr<AudioDecoder> OpenSongDecoder(const QString& path);
/** The same for a file whose format SongFormatOf already told. */
std::unique_ptr<AudioDecoder> OpenSongDecoderAs(const QString& path, SongFormat format);

}  // namespace audiolume::platform
