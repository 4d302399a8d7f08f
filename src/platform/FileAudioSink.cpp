#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <vector>

#include "platform/AudioSink.h"

namespace audiolume::platform {

namespace {

constexpr qint64 kWavHeaderBytes = 44;

/**
 * Writes the stream into 16-bit PCM WAV files as fast as it comes, for checking exactly
 * what is played. One file holds one stream: everything of one rate and channel count,
 * across songs, stops and starts. A song of another format starts a new stream in the
 * next numbered file ("out.wav", then "out-2.wav", "out-3.wav"...). The volume and the
 * pause are the listener's, not the stream's: they change nothing here.
 */
class FileAudioSink : public AudioSink {
 public:
  explicit FileAudioSink(QString path) : path_(std::move(path)) {}
  ~FileAudioSink() override { Finish(); }

  void Start(const PcmFormat& format) override {
    if (file_.isOpen() && format == format_) return;
    Finish();
    format_ = format;
    file_.setFileName(StreamPath(++streams_));
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      throw DecodeError(DecodeError::Kind::CannotOpen,
                        file_.fileName() + QStringLiteral(": ") + file_.errorString());
    }
    dataBytes_ = 0;
    WriteHeader();
  }

  void Write(const qint16* samples, qint64 frames) override {
    const qint64 count = frames * format_.channels;
    little_.resize(size_t(count));
    qToLittleEndian<qint16>(samples, count, little_.data());
    const qint64 bytes = count * qint64(sizeof(qint16));
    if (file_.write(reinterpret_cast<const char*>(little_.data()), bytes) != bytes) {
      throw DecodeError(DecodeError::Kind::OutputStalled,
                        file_.fileName() + QStringLiteral(": ") + file_.errorString());
    }
    dataBytes_ += bytes;
  }

  // The header is brought up to date whenever the stream pauses for breath, so that the
  // file is a complete WAV at every song's end.
  void Drain() override { UpdateHeader(); }
  void Stop() override { UpdateHeader(); }
  void SetVolume(double /*volume*/) override {}
  void SetPaused(bool /*paused*/) override {}

 private:
  QString StreamPath(int stream) const {
    if (stream == 1) return path_;
    const QFileInfo info(path_);
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    return info.path() + u'/' + info.completeBaseName() + u'-' + QString::number(stream) + suffix;
  }

  void WriteHeader() {
    const quint32 blockAlign = quint32(format_.channels) * 2;
    QByteArray header;
    auto add32 = [&header](quint32 value) {
      const quint32 little = qToLittleEndian(value);
      header.append(reinterpret_cast<const char*>(&little), 4);
    };
    header.append("RIFF");
    add32(quint32(kWavHeaderBytes - 8 + dataBytes_));
    header.append("WAVEfmt ");
    add32(16);
    add32(1 | (quint32(format_.channels) << 16));     // PCM, channels
    add32(quint32(format_.sampleRate));               // frames per second
    add32(quint32(format_.sampleRate) * blockAlign);  // bytes per second
    add32(blockAlign | (16u << 16));                  // block size, bits
    header.append("data");
    add32(quint32(dataBytes_));
    file_.write(header);
  }

  void UpdateHeader() {
    if (!file_.isOpen()) return;
    file_.seek(0);
    WriteHeader();
    file_.seek(kWavHeaderBytes + dataBytes_);
    file_.flush();
  }

  void Finish() {
    UpdateHeader();
    file_.close();
  }

  QString path_;
  QFile file_;
  PcmFormat format_;
  int streams_ = 0;
  qint64 dataBytes_ = 0;
  std::vector<qint16> little_;
};

}  // namespace

std::unique_ptr<AudioSink> MakeFileAudioSink(const QString& path) {
  return std::make_unique<FileAudioSink>(path);
}

}  // namespace audiolume::platform
