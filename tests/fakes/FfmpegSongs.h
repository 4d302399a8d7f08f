#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

namespace audiolume::test {

/** A 16-bit stereo 44.1 kHz signal of frames frames: 440 Hz on the left, 660 Hz on the
 *  right, so that a swap of channels shows. */
std::vector<qint16> TwoToneStereo(qint64 frames);

/**
 * Encodes a 16-bit stereo 44.1 kHz signal with one of FFmpeg's encoders ("aac", "alac",
 * "wavpack") into a file of the container libavformat calls muxer ("ipod" for M4A, "wv"
 * for WavPack), whatever the file's name, with a title and artist tag as the muxer keeps
 * them. Returns false when the file could not be written.
 */
bool WriteFfmpegSong(const QString& path, const std::vector<qint16>& interleavedStereo,
                     const char* encoder, const char* muxer, const QString& title,
                     const QString& artist);

}  // namespace audiolume::test
