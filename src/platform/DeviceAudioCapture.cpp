#include <QAudioSource>
#include <QFile>
#include <QMediaDevices>
#include <QPointer>
#include <vector>

#include "platform/AudioCapture.h"
#include "platform/AudioEncoders.h"
#include "platform/CdAudio.h"
#include "platform/CdDevice.h"

namespace audiolume::platform {

namespace {

enum CaptureCode : int {
  kCaptured = 0,
  kNoInput = 1,
  kCannotWrite = 2,
  kNoTrack = 3,
  kStopped = 4,
  kNotPlayed = 5  // the drive did not start playing the track (an image never plays)
};

/** The default input of the sound card, recorded for as long as the track lasts. */
class DeviceAudioCapture : public AudioCapture {
 public:
  explicit DeviceAudioCapture(const QAudioDevice& input) : input_(input) {}
  ~DeviceAudioCapture() override { _a2d_Stop(); }

  void _a2d_SetRecSource(const QString& /*source*/) override {}
  void _a2d_SetSPDIFVolume(int /*volume*/) override {}
  void _a2d_SetInt(const QString& name, int value) override {
    if (name == u"/t") track_ = value;
    if (name == u"/bitrate") mp3_.kbps = value / 1000;
    if (name == u"/vbr") {
      mp3_.kbps = 0;
      mp3_.vbrQuality = value;
    }
  }
  void _a2d_SetString(const QString& name, const QString& value) override {
    if (name == u"/f") file_.setFileName(value);
    if (name == u"/format") {
      const bool flac = value.compare(QStringLiteral("FLAC"), Qt::CaseInsensitive) == 0;
      container_ = flac ? PcmFileWriter::Container::Flac : PcmFileWriter::Container::Wav;
      lossless_ = flac || value.compare(QStringLiteral("WAV"), Qt::CaseInsensitive) == 0;
    }
    if (name == u"/acd") device_ = value;
  }

  int _a2d_Start() override {
    if (CdDevice::IsImage(device_)) return code_ = kNotPlayed;
    CdDevice drive(device_);
    if (drive.Media() != CdMedia::Disc || track_ < 1 || track_ > drive.Toc().tracks.size()) {
      return code_ = kNoTrack;
    }
    frames_ = qint64(drive.Toc().TrackLength(track_)) * 588;
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!input_.isFormatSupported(format)) return code_ = kNoInput;
    const PcmFormat pcm{44100, 2};
    try {
      if (lossless_) {
        pcmWriter_ = std::make_unique<PcmFileWriter>(file_.fileName(), pcm, container_);
        if (!pcmWriter_->IsOpen()) return code_ = kCannotWrite;
      } else {
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) return code_ = kCannotWrite;
        encoder_ = std::make_unique<Mp3Encoder>(pcm, mp3_);
      }
    } catch (const DecodeError&) {
      return code_ = kCannotWrite;
    }
    source_ = std::make_unique<QAudioSource>(input_, format);
    stream_ = source_->start();
    if (!stream_) return code_ = kNoInput;
    cd_ = std::make_unique<CdAudio>(device_);
    if (!cd_->PlayTrack(track_)) {
      // Without the drive playing, the input would record whatever else it hears.
      source_->stop();
      return code_ = kNotPlayed;
    }
    QObject::connect(stream_, &QIODevice::readyRead, stream_, [this] { Take(); });
    running_ = true;
    code_ = kCaptured;
    return 0;
  }

  int _a2d_GetProgress() override {
    if (!running_) return -1;
    Take();
    return frames_ > 0 ? int(captured_ * 100 / frames_) : 0;
  }

  void _a2d_Stop() override {
    if (!running_) return;
    running_ = false;
    if (source_) source_->stop();
    if (cd_) cd_->_CdsStop();
    if (captured_ < frames_ && code_ == kCaptured) code_ = kStopped;
  }

  int _a2d_CloseWithReturnCode() override {
    _a2d_Stop();
    if (encoder_ && file_.isOpen()) {
      if (file_.write(encoder_->Flush()) < 0) code_ = kCannotWrite;
      file_.close();
    }
    if (pcmWriter_ && !pcmWriter_->Close() && code_ == kCaptured) code_ = kCannotWrite;
    return code_;
  }

 private:
  void Take() {
    if (!running_ || !stream_) return;
    const QByteArray bytes = stream_->readAll();
    qint64 frames = std::min<qint64>(bytes.size() / 4, frames_ - captured_);
    const auto* samples = reinterpret_cast<const qint16*>(bytes.constData());
    const bool written = lossless_ ? pcmWriter_->Write(samples, frames)
                                   : file_.write(encoder_->Encode(samples, frames)) >= 0;
    if (!written) code_ = kCannotWrite;
    captured_ += frames;
    if (captured_ >= frames_ || !written) _a2d_Stop();
  }

  QAudioDevice input_;
  int track_ = 0;
  QString device_;
  bool lossless_ = false;  // WAV or FLAC rather than MP3
  PcmFileWriter::Container container_ = PcmFileWriter::Container::Wav;
  Mp3Settings mp3_;
  QFile file_;
  std::unique_ptr<PcmFileWriter> pcmWriter_;
  std::unique_ptr<Mp3Encoder> encoder_;
  std::unique_ptr<QAudioSource> source_;
  QIODevice* stream_ = nullptr;
  std::unique_ptr<CdAudio> cd_;
  qint64 frames_ = 0;
  qint64 captured_ = 0;
  bool running_ = false;
  int code_ = kCaptured;
};

}  // namespace

std::unique_ptr<AudioCapture> MakeDeviceCapture() {
  const QAudioDevice input = QMediaDevices::defaultAudioInput();
  if (input.isNull()) return nullptr;
  return std::make_unique<DeviceAudioCapture>(input);
}

}  // namespace audiolume::platform
