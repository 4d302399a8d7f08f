#include "fakes/FfmpegSongs.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <QFile>
#include <cmath>
#include <memory>
#include <numbers>

namespace audiolume::test {

namespace {

constexpr int kSongRate = 44100;

struct EncoderFree {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct MuxerFree {
  void operator()(AVFormatContext* context) const {
    if (context->pb != nullptr) avio_closep(&context->pb);
    avformat_free_context(context);
  }
};
struct FrameRelease {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketRelease {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

// 16-bit planar where the encoder takes it (exact for the lossless ones), else float.
AVSampleFormat EncoderSampleFormat(const AVCodec* codec) {
  for (const AVSampleFormat* format = codec->sample_fmts; *format != AV_SAMPLE_FMT_NONE; ++format) {
    if (*format == AV_SAMPLE_FMT_S16P) return *format;
  }
  return AV_SAMPLE_FMT_FLTP;
}

void FillFrame(AVFrame* frame, const qint16* interleaved) {
  for (int channel = 0; channel < 2; ++channel) {
    for (int i = 0; i < frame->nb_samples; ++i) {
      const qint16 sample = interleaved[2 * i + channel];
      if (frame->format == AV_SAMPLE_FMT_S16P) {
        reinterpret_cast<qint16*>(frame->data[channel])[i] = sample;
      } else {
        reinterpret_cast<float*>(frame->data[channel])[i] = float(sample) / 32768.0f;
      }
    }
  }
}

// Sends a frame (nullptr to flush) and writes every packet the encoder gives back.
bool EncodeAndWrite(AVCodecContext* encoder, AVFormatContext* muxer, AVFrame* frame) {
  if (avcodec_send_frame(encoder, frame) < 0) return false;
  const std::unique_ptr<AVPacket, PacketRelease> packet(av_packet_alloc());
  while (true) {
    const int received = avcodec_receive_packet(encoder, packet.get());
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return true;
    if (received < 0) return false;
    av_packet_rescale_ts(packet.get(), encoder->time_base, muxer->streams[0]->time_base);
    packet->stream_index = 0;
    if (av_interleaved_write_frame(muxer, packet.get()) < 0) return false;
  }
}

bool EncodeAll(AVCodecContext* encoder, AVFormatContext* muxer,
               const std::vector<qint16>& interleaved) {
  const qint64 frames = qint64(interleaved.size() / 2);
  const int chunk = encoder->frame_size > 0 ? encoder->frame_size : 4096;
  const std::unique_ptr<AVFrame, FrameRelease> frame(av_frame_alloc());
  for (qint64 at = 0; at < frames; at += chunk) {
    av_frame_unref(frame.get());
    frame->nb_samples = int(std::min<qint64>(chunk, frames - at));
    frame->format = encoder->sample_fmt;
    frame->sample_rate = kSongRate;
    av_channel_layout_copy(&frame->ch_layout, &encoder->ch_layout);
    frame->pts = at;
    if (av_frame_get_buffer(frame.get(), 0) < 0) return false;
    FillFrame(frame.get(), interleaved.data() + 2 * at);
    if (!EncodeAndWrite(encoder, muxer, frame.get())) return false;
  }
  return EncodeAndWrite(encoder, muxer, nullptr);
}

}  // namespace

std::vector<qint16> TwoToneStereo(qint64 frames) {
  std::vector<qint16> samples(std::size_t(frames * 2));
  for (qint64 i = 0; i < frames; ++i) {
    const double time = double(i) / kSongRate;
    samples[std::size_t(2 * i)] = qint16(12000 * std::sin(2 * std::numbers::pi * 440 * time));
    samples[std::size_t(2 * i + 1)] = qint16(12000 * std::sin(2 * std::numbers::pi * 660 * time));
  }
  return samples;
}

bool WriteFfmpegSong(const QString& path, const std::vector<qint16>& interleavedStereo,
                     const char* encoder, const char* muxer, const QString& title,
                     const QString& artist) {
  av_log_set_level(AV_LOG_ERROR);  // no encoder statistics among the test output
  const QByteArray name = QFile::encodeName(path);
  const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
  AVFormatContext* opened = nullptr;
  if (codec == nullptr ||
      avformat_alloc_output_context2(&opened, nullptr, muxer, name.constData()) < 0) {
    return false;
  }
  const std::unique_ptr<AVFormatContext, MuxerFree> output(opened);
  const std::unique_ptr<AVCodecContext, EncoderFree> context(avcodec_alloc_context3(codec));
  AVStream* stream = avformat_new_stream(output.get(), nullptr);
  if (!context || stream == nullptr) return false;
  context->sample_rate = kSongRate;
  av_channel_layout_default(&context->ch_layout, 2);
  context->sample_fmt = EncoderSampleFormat(codec);
  context->time_base = {1, kSongRate};
  context->bit_rate = 128000;
  if ((output->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
    context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }
  if (avcodec_open2(context.get(), codec, nullptr) < 0 ||
      avcodec_parameters_from_context(stream->codecpar, context.get()) < 0) {
    return false;
  }
  stream->time_base = context->time_base;
  av_dict_set(&output->metadata, "title", title.toUtf8().constData(), 0);
  av_dict_set(&output->metadata, "artist", artist.toUtf8().constData(), 0);
  if (avio_open(&output->pb, name.constData(), AVIO_FLAG_WRITE) < 0 ||
      avformat_write_header(output.get(), nullptr) < 0) {
    return false;
  }
  return EncodeAll(context.get(), output.get(), interleavedStereo) &&
         av_write_trailer(output.get()) == 0;
}

}  // namespace audiolume::test
