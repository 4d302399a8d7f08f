extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/AudioDecoder.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"

namespace audiolume::platform {

namespace {

constexpr int kFfmpegIoBufferBytes = 64 * 1024;
// Decoded before a seek's target and dropped, so that codecs whose frames overlap (AAC,
// WMA) give the target's samples exactly as a decode from the start would.
constexpr qint64 kSeekPrerollFrames = 8192;
// A stream that ends this little short of its container's length is made up with silence,
// so that the length announced is the length played; one that ends further short is damaged
// and simply ends.
constexpr qint64 kEndPaddingLimitFrames = 4096;

QString FfmpegErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return QString::fromUtf8(text);
}

[[noreturn]] void ThrowDamaged(const QString& path, int code) {
  throw DecodeError(DecodeError::Kind::Damaged,
                    path + QStringLiteral(": ") + FfmpegErrorText(code));
}

// libavformat reads the song through a descriptor opened here, so that a FIFO in a song's
// place cannot hold the open for ever.
int ReadFromDescriptor(void* opaque, uint8_t* buffer, int size) {
  const ssize_t got = ::read(*static_cast<int*>(opaque), buffer, std::size_t(size));
  return got > 0 ? int(got) : got == 0 ? AVERROR_EOF : AVERROR(errno);
}

int64_t SeekInDescriptor(void* opaque, int64_t offset, int whence) {
  const int descriptor = *static_cast<int*>(opaque);
  if (whence == AVSEEK_SIZE) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 ? int64_t(status.st_size) : AVERROR(errno);
  }
  const off_t at = ::lseek(descriptor, off_t(offset), whence & ~AVSEEK_FORCE);
  return at >= 0 ? int64_t(at) : AVERROR(errno);
}

/** Owns the open file, its libavformat reader and the reader's I/O context. */
class FfmpegInput {
 public:
  explicit FfmpegInput(const QString& path) {
    try {
      descriptor_ = FileOps::OpenRegularFile(path, O_RDONLY);
    } catch (const FileError& error) {
      throw DecodeError(error.code().value() == ENOENT ? DecodeError::Kind::CannotOpen
                                                       : DecodeError::Kind::NotDecodable,
                        path);
    }
    auto* buffer = static_cast<uint8_t*>(av_malloc(kFfmpegIoBufferBytes));
    io_ = avio_alloc_context(buffer, kFfmpegIoBufferBytes, 0, &descriptor_, ReadFromDescriptor,
                             nullptr, SeekInDescriptor);
    format_ = avformat_alloc_context();
    if (io_ == nullptr || format_ == nullptr) {
      if (io_ == nullptr) av_free(buffer);
      Release();
      throw DecodeError(DecodeError::Kind::NotDecodable, path);
    }
    format_->pb = io_;
    // The name helps libavformat tell formats apart; the content decides.
    const int opened =
        avformat_open_input(&format_, QFile::encodeName(path).constData(), nullptr, nullptr);
    if (opened < 0 || avformat_find_stream_info(format_, nullptr) < 0) {
      Release();
      throw DecodeError(DecodeError::Kind::NotDecodable, path);
    }
  }
  ~FfmpegInput() { Release(); }
  FfmpegInput(const FfmpegInput&) = delete;
  FfmpegInput& operator=(const FfmpegInput&) = delete;

  AVFormatContext* get() const { return format_; }

 private:
  void Release() {
    avformat_close_input(&format_);  // frees a context that failed to open as well
    if (io_ != nullptr) av_freep(&io_->buffer);
    avio_context_free(&io_);
    if (descriptor_ >= 0) ::close(descriptor_);
  }

  int descriptor_ = -1;
  AVIOContext* io_ = nullptr;
  AVFormatContext* format_ = nullptr;
};

struct CodecFree {
  void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct FrameFree {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ResamplerFree {
  void operator()(SwrContext* resampler) const { swr_free(&resampler); }
};

/**
 * A song in any format libavformat and libavcodec open (MP4 with AAC or ALAC, WMA,
 * WavPack, APE, …): its first audio stream, as 16-bit samples at the stream's own rate
 * and channel count. The length is the container's count of samples where the container
 * keeps one in samples (MP4, WavPack, APE); elsewhere (ASF counts milliseconds, raw AAC
 * keeps no count at all) the packets are walked through once at open and their lengths
 * added up. Either way the stream read is exactly that long: cut at that length, or made
 * up with silence when it ends a little short.
 */
class FfmpegDecoder : public AudioDecoder {
 public:
  explicit FfmpegDecoder(const QString& path) : path_(path), input_(path) {
    const AVCodec* codec = nullptr;
    streamIndex_ = av_find_best_stream(input_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (streamIndex_ < 0 || codec == nullptr) {
      throw DecodeError(DecodeError::Kind::NotDecodable, path);
    }
    stream_ = input_.get()->streams[streamIndex_];
    format_ = {stream_->codecpar->sample_rate, stream_->codecpar->ch_layout.nb_channels};
    if (format_.channels < 1 || format_.channels > 8 || format_.sampleRate <= 0) {
      throw DecodeError(DecodeError::Kind::NotDecodable, path);
    }
    OpenCodec(codec);
    startTime_ = stream_->start_time == AV_NOPTS_VALUE ? 0 : stream_->start_time;
    length_ = KeepsSampleCount() ? StreamFrames(stream_->duration) : CountedFrames();
    if (length_ <= 0) throw DecodeError(DecodeError::Kind::NotDecodable, path);
  }

  PcmFormat Format() const override { return format_; }
  qint64 LengthFrames() const override { return length_; }

  qint64 Read(qint16* out, qint64 frames) override {
    const int channels = format_.channels;
    qint64 done = 0;
    while (done < frames && position_ < length_) {
      if (PendingFrames() == 0 && !DecodeMore()) {
        if (length_ - position_ > kEndPaddingLimitFrames) break;
        const qint64 silence = std::min(frames - done, length_ - position_);
        std::fill_n(out + done * channels, silence * channels, qint16(0));
        done += silence;
        position_ += silence;
        continue;
      }
      const qint64 take = std::min({frames - done, PendingFrames(), length_ - position_});
      std::memcpy(out + done * channels, pending_.data() + pendingStart_,
                  std::size_t(take * channels) * sizeof(qint16));
      pendingStart_ += std::size_t(take * channels);
      done += take;
      position_ += take;
    }
    return done;
  }

  void Seek(qint64 frame) override {
    frame = std::clamp<qint64>(frame, 0, length_);
    const qint64 from = std::max<qint64>(0, frame - kSeekPrerollFrames);
    const int64_t stamp =
        startTime_ + av_rescale_q(from, AVRational{1, format_.sampleRate}, stream_->time_base);
    const int sought = avformat_seek_file(input_.get(), streamIndex_, INT64_MIN, stamp, stamp, 0);
    if (sought < 0) ThrowDamaged(path_, sought);
    avcodec_flush_buffers(codec_.get());
    draining_ = false;
    pending_.clear();
    pendingStart_ = 0;
    position_ = frame;
    seekTarget_ = frame;
  }

 private:
  void OpenCodec(const AVCodec* codec) {
    codec_.reset(avcodec_alloc_context3(codec));
    if (!codec_ || avcodec_parameters_to_context(codec_.get(), stream_->codecpar) < 0) {
      throw DecodeError(DecodeError::Kind::NotDecodable, path_);
    }
    // With the stream's time base the decoder keeps frame times right when it drops an
    // encoder's priming samples.
    codec_->pkt_timebase = stream_->time_base;
    if (avcodec_open2(codec_.get(), codec, nullptr) < 0) {
      throw DecodeError(DecodeError::Kind::NotDecodable, path_);
    }
  }

  bool KeepsSampleCount() const {
    return stream_->duration != AV_NOPTS_VALUE && stream_->duration > 0 &&
           stream_->time_base.num == 1 && stream_->time_base.den == format_.sampleRate;
  }

  qint64 StreamFrames(int64_t stamp) const {
    return av_rescale_q(stamp, stream_->time_base, AVRational{1, format_.sampleRate});
  }

  // The packets' lengths added up, and the reader put back at the start.
  qint64 CountedFrames() {
    int64_t total = 0;
    while (av_read_frame(input_.get(), packet_.get()) >= 0) {
      if (packet_->stream_index == streamIndex_) total += packet_->duration;
      av_packet_unref(packet_.get());
    }
    Seek(0);
    return StreamFrames(total);
  }

  qint64 PendingFrames() const {
    return qint64(pending_.size() - pendingStart_) / format_.channels;
  }

  // The next decoded frame's samples into pending_; false at the stream's end.
  bool DecodeMore() {
    while (true) {
      const int received = avcodec_receive_frame(codec_.get(), frame_.get());
      if (received == 0) {
        TakeFrame();
        av_frame_unref(frame_.get());
        if (PendingFrames() > 0) return true;
        continue;
      }
      if (received == AVERROR_EOF || (received == AVERROR(EAGAIN) && draining_)) return false;
      if (received != AVERROR(EAGAIN)) ThrowDamaged(path_, received);
      FeedPacket();
    }
  }

  // One packet of the stream into the decoder; at the file's end, the call to drain it. A
  // file cut short ends where its packets end, as with the other decoders.
  void FeedPacket() {
    if (av_read_frame(input_.get(), packet_.get()) < 0) {
      avcodec_send_packet(codec_.get(), nullptr);
      draining_ = true;
      return;
    }
    if (packet_->stream_index == streamIndex_) {
      const int sent = avcodec_send_packet(codec_.get(), packet_.get());
      // A damaged packet is passed over, as players do; other failures end the song.
      if (sent < 0 && sent != AVERROR_INVALIDDATA) ThrowDamaged(path_, sent);
    }
    av_packet_unref(packet_.get());
  }

  // The frame as 16-bit interleaved samples; after a seek, from the target on only.
  void TakeFrame() {
    if (!resampler_) OpenResampler();
    const int count = swr_get_out_samples(resampler_.get(), frame_->nb_samples);
    pending_.resize(std::size_t(count) * std::size_t(format_.channels));
    pendingStart_ = 0;
    auto* target = reinterpret_cast<uint8_t*>(pending_.data());
    const int converted =
        swr_convert(resampler_.get(), &target, count,
                    const_cast<const uint8_t**>(frame_->extended_data), frame_->nb_samples);
    if (converted < 0) ThrowDamaged(path_, converted);
    pending_.resize(std::size_t(converted) * std::size_t(format_.channels));
    if (seekTarget_ >= 0) DropBeforeSeekTarget(converted);
  }

  // A frame without a time is taken to start at the target.
  void DropBeforeSeekTarget(qint64 converted) {
    const int64_t stamp = frame_->best_effort_timestamp;
    const qint64 start = stamp == AV_NOPTS_VALUE ? seekTarget_ : StreamFrames(stamp - startTime_);
    const qint64 drop = std::clamp<qint64>(seekTarget_ - start, 0, converted);
    pendingStart_ = std::size_t(drop * format_.channels);
    if (drop < converted) seekTarget_ = -1;
  }

  // Converts the decoder's sample format (and, should a stream change midway, its rate and
  // channels) to the song's format; no dither, so that lossless songs come out exact.
  void OpenResampler() {
    AVChannelLayout in{};
    AVChannelLayout out{};
    const AVChannelLayout& frameLayout = frame_->ch_layout;
    if (frameLayout.order == AV_CHANNEL_ORDER_UNSPEC) {
      av_channel_layout_default(&in, frameLayout.nb_channels);
    } else {
      av_channel_layout_copy(&in, &frameLayout);
    }
    av_channel_layout_default(&out, format_.channels);
    SwrContext* resampler = nullptr;
    const int made =
        swr_alloc_set_opts2(&resampler, &out, AV_SAMPLE_FMT_S16, format_.sampleRate, &in,
                            AVSampleFormat(frame_->format), frame_->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    resampler_.reset(resampler);
    if (made < 0 || swr_init(resampler) < 0) {
      resampler_.reset();
      throw DecodeError(DecodeError::Kind::NotDecodable, path_);
    }
  }

  const QString path_;
  FfmpegInput input_;
  int streamIndex_ = -1;
  AVStream* stream_ = nullptr;
  PcmFormat format_;
  std::unique_ptr<AVCodecContext, CodecFree> codec_;
  std::unique_ptr<AVFrame, FrameFree> frame_{av_frame_alloc()};
  std::unique_ptr<AVPacket, PacketFree> packet_{av_packet_alloc()};
  std::unique_ptr<SwrContext, ResamplerFree> resampler_;
  int64_t startTime_ = 0;
  qint64 length_ = 0;
  qint64 position_ = 0;
  qint64 seekTarget_ = -1;
  bool draining_ = false;
  std::vector<qint16> pending_;
  std::size_t pendingStart_ = 0;
};

}  // namespace

std::unique_ptr<AudioDecoder> OpenFfmpegDecoder(const QString& path) {
  // libav*'s remarks on odd files would go to the terminal; failures are reported here.
  av_log_set_level(AV_LOG_FATAL);
  return std::make_unique<FfmpegDecoder>(path);
}

}  // namespace audiolume::platform
