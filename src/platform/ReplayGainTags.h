#pragma once

#include <QString>
#include <optional>

#include "platform/Id3v2Writer.h"

namespace audiolume::platform {

/** The ReplayGain values of a song: gains in dB against the ReplayGain reference
 *  loudness, peaks as linear sample peaks (1.0 is full scale). Missing values are empty. */
struct ReplayGainInfo {
  std::optional<double> trackGain;
  std::optional<double> trackPeak;
  std::optional<double> albumGain;
  std::optional<double> albumPeak;

  bool operator==(const ReplayGainInfo&) const = default;
};

/**
 * The REPLAYGAIN_TRACK_GAIN, _TRACK_PEAK, _ALBUM_GAIN and _ALBUM_PEAK values of a song
 * file's standard tag, as taggers write them ("-6.54 dB", "0.987654"; any case of the
 * names): ID3v2 TXXX frames in MPEG files (else their APE tag), Vorbis comments, MP4
 * freeform atoms ("----:com.apple.iTunes:…"), and whatever other tag TagLib reads. The
 * format is told by content. Values that are missing or not numbers stay empty; so does
 * everything of a file that cannot be read. Any thread.
 */
ReplayGainInfo ReadReplayGain(const QString& path);

/**
 * Stores the values that are given into the file's standard tag, in the forms above
 * ("%.2f dB", "%.6f"), and nothing else: other fields and a trailing tag after the audio
 * stay. MPEG files take them in their ID3v2 tag (made when absent; moved is told how much
 * it grew, as WriteId3v2Tag does), FLAC and Ogg files in Vorbis comments, MP4 files in
 * freeform atoms. WAV files are refused: their tag after the audio is the jukebox's own.
 * Nothing is written when the tag holds these values already. The file is edited through a
 * copy (FileOps::EditCopy), so a failure leaves it as it was. False on any failure.
 */
bool WriteReplayGain(const QString& path, const ReplayGainInfo& values,
                     const Id3v2Moved& moved = {});

}  // namespace audiolume::platform
