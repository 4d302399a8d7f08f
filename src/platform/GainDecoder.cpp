#include "platform/GainDecoder.h"

#include <algorithm>
#include <cmath>

namespace audiolume::platform {

double ReplayGainFactor(const ReplayGainInfo& values, const ReplayGainSettings& settings) {
  if (settings.mode == ReplayGainMode::Off) return 1.0;
  const bool album = settings.mode == ReplayGainMode::Album;
  const auto& gain = album ? (values.albumGain ? values.albumGain : values.trackGain)
                           : (values.trackGain ? values.trackGain : values.albumGain);
  if (!gain) return 1.0;
  const auto& peak = album ? (values.albumPeak ? values.albumPeak : values.trackPeak)
                           : (values.trackPeak ? values.trackPeak : values.albumPeak);
  double factor = std::pow(10.0, (*gain + settings.preampDb) / 20.0);
  if (settings.preventClipping && peak && *peak > 0) factor = std::min(factor, 1.0 / *peak);
  return factor;
}

GainDecoder::GainDecoder(std::unique_ptr<AudioDecoder> inner, double factor)
    : inner_(std::move(inner)), factor_(factor) {}

qint64 GainDecoder::Read(qint16* out, qint64 frames) {
  const qint64 read = inner_->Read(out, frames);
  const qint64 samples = read * inner_->Format().channels;
  for (qint64 i = 0; i < samples; ++i) {
    out[i] = qint16(std::clamp(std::lround(out[i] * factor_), -32768L, 32767L));
  }
  return read;
}

DecoderOpener ReplayGainOpener(DecoderOpener open, std::function<ReplayGainSettings()> settings) {
  return [open = std::move(open), settings = std::move(settings)](const QString& path) {
    std::unique_ptr<AudioDecoder> decoder = open(path);
    const ReplayGainSettings wanted = settings();
    if (wanted.mode == ReplayGainMode::Off) return decoder;
    const double factor = ReplayGainFactor(ReadReplayGain(path), wanted);
    if (factor == 1.0) return decoder;
    return std::unique_ptr<AudioDecoder>(std::make_unique<GainDecoder>(std::move(decoder), factor));
  };
}

}  // namespace audiolume::platform
