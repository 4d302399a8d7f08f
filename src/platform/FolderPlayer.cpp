#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <atomic>
#include <cerrno>
#include <thread>
#include <vector>

#include "platform/AudioDecoder.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "platform/PortablePlayer.h"

namespace audiolume::platform {

QString PortablePlayer::ErrorText(int code) {
  static const std::pair<int, const char*> kTexts[] = {
      {1, "No port"},          {2, "Out of memory"},         {3, "Out of flash"},
      {4, "Timeout"},          {5, "Invalid Ver"},           {6, "No device"},
      {11, "Check sum fail"},  {13, "Too many files"},       {14, "Sync fail"},
      {15, "Unstable memory"}, {16, "Fail to open"},         {17, "Fail to read"},
      {18, "Fail to write"},   {19, "not supported memory"}, {20, "Authentication failed"},
      {21, "no flash"},        {22, "fail to read flash"},   {23, "fail to write flash"}};
  for (const auto& [number, text] : kTexts) {
    if (number == code) return QString::fromLatin1(text);
  }
  return QStringLiteral("error") + QString::number(code);
}

namespace {

constexpr qint64 kChunk = 1 << 20;

class FolderPlayer : public PortablePlayer {
 public:
  explicit FolderPlayer(QString folder) : folder_(std::move(folder)) {}
  ~FolderPlayer() override { TWRIO_StopDownload(); }

  bool TWRIO_IsRIORunning() override { return false; }

  bool TWRIO_IsConnected() override {
    const QFileInfo info(folder_);
    return info.isDir() && ::access(QFile::encodeName(folder_).constData(), W_OK) == 0;
  }

  quint32 TWRIO_GetStatus(int /*which*/) override {
    if (worker_.joinable() && !busy_) worker_.join();
    if (!busy_ && status_ == Word(kReady) && !TWRIO_IsConnected()) return 0;
    return status_;
  }

  quint32 TWRIO_InitializeMemory() override {
    const QDir folder(folder_);
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files | QDir::Hidden)) {
      if (!IsSongFileName(file.fileName())) continue;
      if (!QFile::remove(file.absoluteFilePath())) return Word(kError, kFailToWrite);
    }
    return Word(kReady);
  }

  qint64 TWRIO_GetMemFree() override { return QStorageInfo(folder_).bytesAvailable(); }

  bool TWRIO_FileExist(const QString& path) override { return QFile::exists(path); }

  int TWRIO_DownloadFile(const QString& path, const QString& name) override {
    TWRIO_StopDownload();
    if (!TWRIO_IsConnected()) return 0;
    cancel_ = false;
    progress_ = 0;
    status_ = Word(kReady);
    busy_ = true;
    const QString target = folder_ + u'/' + (name.isEmpty() ? QFileInfo(path).fileName() : name);
    worker_ = std::thread([this, path, target] {
      status_ = Copy(path, target);
      busy_ = false;
      if (ended_) ended_();
    });
    return 1;
  }

  int TWRIO_GetProgress(int /*which*/) override { return progress_; }

  void TWRIO_StopDownload() override {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
  }

  void TWRIO_Close() override { TWRIO_StopDownload(); }

  void SetDownloadEnded(std::function<void()> ended) override {
    // The copying thread may still be on its way out, about to call the old one.
    if (worker_.joinable()) worker_.join();
    ended_ = std::move(ended);
  }

 private:
  // Copies source to target through "target.part"; a status word.
  quint32 Copy(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) return Word(kError, kFailToRead);
    const QString partial = target + QStringLiteral(".part");
    const QByteArray name = QFile::encodeName(partial);
    const int out = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    quint32 status = out < 0 ? Failure(errno) : Send(in, out, partial);
    if (out >= 0) ::close(out);
    if (status == Word(kFinished) &&
        ::rename(name.constData(), QFile::encodeName(target).constData()) != 0) {
      status = Failure(errno);
    }
    if (status != Word(kFinished)) {
      QFile::remove(partial);
      return status;
    }
    progress_ = 100;
    return status;
  }

  // Writes the source into out chunk by chunk and puts it on the device; a status word:
  // finished, ready when cancelled, else the error.
  quint32 Send(QFile& in, int out, const QString& partial) {
    const qint64 size = std::max<qint64>(1, in.size());
    std::vector<char> chunk(kChunk);
    qint64 sent = 0;
    try {
      // The device writes the song as it comes, so that the sync at the end is short.
      WriteBehind disk(partial);
      while (!cancel_) {
        const qint64 read = in.read(chunk.data(), kChunk);
        if (read < 0) return Word(kError, kFailToRead);
        if (read == 0) {
          // On the device before it takes the song's name: a player pulled out now keeps
          // no half song.
          disk.Sync();
          return Word(kFinished);
        }
        for (qint64 done = 0; done < read;) {
          const ssize_t written = ::write(out, chunk.data() + done, std::size_t(read - done));
          if (written < 0) throw FileError(errno, partial);
          done += written;
        }
        disk.Push();
        sent += read;
        progress_ = int(std::min<qint64>(99, sent * 100 / size));
      }
      return Word(kReady);
    } catch (const FileError& error) {
      return Failure(error.code().value());
    }
  }

  quint32 Failure(int error) const {
    if (error == ENOSPC || error == EDQUOT) return Word(kError, kOutOfFlash);
    if (!QFileInfo(folder_).isDir()) return Word(kError, kNoDevice);
    return Word(kError, kFailToWrite);
  }

  QString folder_;
  std::function<void()> ended_;
  std::thread worker_;
  std::atomic<bool> cancel_ = false;
  std::atomic<bool> busy_ = false;
  std::atomic<int> progress_ = 0;
  std::atomic<quint32> status_ = Word(kReady);
};

}  // namespace

std::unique_ptr<PortablePlayer> MakeFolderPlayer(const QString& folder) {
  return std::make_unique<FolderPlayer>(folder);
}

}  // namespace audiolume::platform
