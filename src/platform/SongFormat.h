#pragma once

#include <QByteArrayView>
#include <QString>

namespace audiolume::platform {

/** The kinds of song file whose tags this program reads or writes itself. */
enum class SongFormat {
  Unknown,
  Mpeg,
  Flac,
  OggVorbis,
  OggOpus,
  OggFlac,
  Mp4,
  Wav,
  Aac,
  WavPack,
  Ape,
  Asf
};

/**
 * A song file's format as its first bytes tell it ("fLaC"; "OggS" and the first packet's
 * "\x01vorbis", "OpusHead" or "\x7fFLAC"; "RIFF....WAVE"; "ftyp" for MP4; "wvpk" for
 * WavPack; "MAC " for APE; the ASF header's GUID for WMA; an ADTS header for raw AAC; an
 * ID3v2 header or an MPEG frame header), read through the open descriptor. Files are often misnamed
 * (an Opus stream named ".ogg", an MP3 named ".wav"), so the name is only asked when the content
 * names no format (a file of some other kind, or audio after a stray header). Any thread.
 */
SongFormat SongFormatOf(int descriptor, const QString& path);

/** The same for a file by its path, opened read-only without blocking; a file that cannot
 *  be read (missing, not a regular file) is judged by its name. */
SongFormat SongFormatOf(const QString& path);

/** The formats only the FFmpeg decoder plays (MP4, raw AAC, WavPack, APE, ASF): no
 *  trailer is written to them, and the converter does not take them. */
bool IsFfmpegOnlyFormat(SongFormat format);

/** Whether bytes (three are enough) start with an MPEG audio frame header: a frame sync
 *  with a version, layer, bit rate and sample rate that MPEG audio allows, so that other
 *  bytes beginning with 0xff are not taken for one. */
bool IsMpegFrameHeader(QByteArrayView bytes);

}  // namespace audiolume::platform
