#pragma once

#include <functional>
#include <memory>

#include "platform/AudioDecoder.h"
#include "platform/ReplayGainTags.h"

namespace audiolume::platform {

/** Which of a song's ReplayGain values playback levels it by. */
enum class ReplayGainMode { Off, Track, Album };

/** How playback applies ReplayGain: the values the mode chooses, plus preampDb; with
 *  preventClipping the gain is held down so that the song's peak stays at full scale. */
struct ReplayGainSettings {
  ReplayGainMode mode = ReplayGainMode::Off;
  double preampDb = 0;
  bool preventClipping = true;

  bool operator==(const ReplayGainSettings&) const = default;
};

/**
 * The linear factor the settings give a song with these values: the mode's gain (the
 * other kind of gain when the song has only that) plus the preamp, limited with clipping
 * prevention so that the peak (the mode's, else the other) times the factor is at most 1.
 * 1 when ReplayGain is off or the song has no gain at all.
 */
double ReplayGainFactor(const ReplayGainInfo& values, const ReplayGainSettings& settings);

/** A decoder whose samples are the inner decoder's times a factor, rounded and held
 *  within 16 bits. Everything else is the inner decoder's. */
class GainDecoder : public AudioDecoder {
 public:
  GainDecoder(std::unique_ptr<AudioDecoder> inner, double factor);

  PcmFormat Format() const override { return inner_->Format(); }
  qint64 LengthFrames() const override { return inner_->LengthFrames(); }
  qint64 Read(qint16* out, qint64 frames) override;
  void Seek(qint64 frame) override { inner_->Seek(frame); }

 private:
  std::unique_ptr<AudioDecoder> inner_;
  double factor_;
};

using DecoderOpener = std::function<std::unique_ptr<AudioDecoder>(const QString& path)>;

/** An opener that opens songs through open and levels them by the ReplayGain values of
 *  their tags as settings (asked at each opening, so that a change holds from the next
 *  song on) want. Songs that need no change get open's decoder as it is. */
DecoderOpener ReplayGainOpener(DecoderOpener open, std::function<ReplayGainSettings()> settings);

}  // namespace audiolume::platform
