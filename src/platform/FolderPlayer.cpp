#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <thread>
#include <vector>

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

// Creates path as a new file: a file or link of that name left behind is removed first,
// and a link put there meanwhile is never followed. A descriptor, or -1 with errno.
int OpenNew(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  ::unlink(name.constData());
  return ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

// Removes path when it still is the file open as out: a download started again meanwhile
// has put a partial file of its own there.
void RemoveIfOwn(int out, const QString& path) {
  struct stat opened {};
  struct stat named {};
  const QByteArray name = QFile::encodeName(path);
  if (::fstat(out, &opened) == 0 && ::lstat(name.constData(), &named) == 0 &&
      opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
    ::unlink(name.constData());
  }
}

quint32 Failure(int error, const QString& folder) {
  using P = PortablePlayer;
  if (error == ENOSPC || error == EDQUOT) return P::Word(P::kError, P::kOutOfFlash);
  if (!QFileInfo(folder).isDir()) return P::Word(P::kError, P::kNoDevice);
  return P::Word(P::kError, P::kFailToWrite);
}

// One download, shared by the player and its thread so that the thread may outlive both
// the download's end and the player.
struct Download {
  QString folder;
  std::atomic<bool> cancel = false;
  std::atomic<bool> busy = true;
  std::atomic<int> progress = 0;
  std::atomic<quint32> status = PortablePlayer::Word(PortablePlayer::kReady);
  std::mutex endedLock;
  std::function<void()> ended;  // emptied when the download is abandoned

  // Copies source to target through "target.part"; a status word.
  quint32 Copy(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
      return PortablePlayer::Word(PortablePlayer::kError, PortablePlayer::kFailToRead);
    const QString partial = target + QStringLiteral(".part");
    const int out = OpenNew(partial);
    if (out < 0) return Failure(errno, folder);
    quint32 result = Send(in, out, partial);
    if (result == PortablePlayer::Word(PortablePlayer::kFinished) &&
        ::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) !=
            0) {
      result = Failure(errno, folder);
    }
    if (result != PortablePlayer::Word(PortablePlayer::kFinished)) RemoveIfOwn(out, partial);
    ::close(out);
    if (result == PortablePlayer::Word(PortablePlayer::kFinished)) progress = 100;
    return result;
  }

  // Writes the source into out chunk by chunk and puts it on the device; a status word:
  // finished, ready when cancelled, else the error.
  quint32 Send(QFile& in, int out, const QString& partial) {
    using P = PortablePlayer;
    const qint64 size = std::max<qint64>(1, in.size());
    std::vector<char> chunk(kChunk);
    qint64 sent = 0;
    try {
      // The device writes the song as it comes, so that the sync at the end is short.
      WriteBehind disk(partial);
      while (!cancel) {
        const qint64 read = in.read(chunk.data(), kChunk);
        if (read < 0) return P::Word(P::kError, P::kFailToRead);
        if (read == 0) {
          // On the device before it takes the song's name: a player pulled out now keeps
          // no half song.
          disk.Sync();
          return cancel ? P::Word(P::kReady) : P::Word(P::kFinished);
        }
        for (qint64 done = 0; done < read;) {
          const ssize_t written = ::write(out, chunk.data() + done, std::size_t(read - done));
          if (written < 0) throw FileError(errno, partial);
          done += written;
        }
        disk.Push();
        sent += read;
        progress = int(std::min<qint64>(99, sent * 100 / size));
      }
      return P::Word(P::kReady);
    } catch (const FileError& error) {
      return Failure(error.code().value(), folder);
    }
  }

  void Run(const QString& source, const QString& target) {
    status = Copy(source, target);
    busy = false;
    const std::lock_guard lock(endedLock);
    if (ended) ended();
  }

  void Abandon() {
    cancel = true;
    const std::lock_guard lock(endedLock);
    ended = {};
  }
};

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
    if (download_) return download_->status;
    return TWRIO_IsConnected() ? Word(kReady) : 0;
  }

  quint32 TWRIO_DeleteFiles(const QStringList& names) override {
    for (const QString& name : names) {
      const QString path = folder_ + u'/' + name;
      if (!QFileInfo(path).isFile() || QFileInfo(path).isSymLink()) continue;
      if (!QFile::remove(path)) return Word(kError, kFailToWrite);
    }
    return Word(kReady);
  }

  bool TWRIO_WriteFile(const QString& name, const QByteArray& contents) override {
    const QString path = folder_ + u'/' + name;
    const QString partial = path + QStringLiteral(".part");
    const int out = OpenNew(partial);
    if (out < 0) return false;
    bool written = true;
    for (qsizetype done = 0; written && done < contents.size();) {
      const ssize_t count =
          ::write(out, contents.constData() + done, std::size_t(contents.size() - done));
      written = count > 0;
      done += count;
    }
    written = written && ::fsync(out) == 0;
    ::close(out);
    written = written && ::rename(QFile::encodeName(partial).constData(),
                                  QFile::encodeName(path).constData()) == 0;
    if (!written) QFile::remove(partial);
    return written;
  }

  qint64 TWRIO_GetMemFree() override { return QStorageInfo(folder_).bytesAvailable(); }

  bool TWRIO_FileExist(const QString& path) override { return QFile::exists(path); }

  int TWRIO_DownloadFile(const QString& path, const QString& name) override {
    TWRIO_StopDownload();
    if (!TWRIO_IsConnected()) return 0;
    download_ = std::make_shared<Download>();
    download_->folder = folder_;
    download_->ended = ended_;
    const QString target = folder_ + u'/' + (name.isEmpty() ? QFileInfo(path).fileName() : name);
    std::thread([download = download_, path, target] { download->Run(path, target); }).detach();
    return 1;
  }

  int TWRIO_GetProgress(int /*which*/) override {
    return download_ ? download_->progress.load() : 0;
  }

  void TWRIO_StopDownload() override {
    if (download_) download_->Abandon();
    download_.reset();
  }

  void TWRIO_Close() override { TWRIO_StopDownload(); }

  void SetDownloadEnded(std::function<void()> ended) override {
    ended_ = std::move(ended);
    if (!download_) return;
    const std::lock_guard lock(download_->endedLock);
    download_->ended = ended_;
  }

 private:
  QString folder_;
  std::function<void()> ended_;
  std::shared_ptr<Download> download_;
};

}  // namespace

std::unique_ptr<PortablePlayer> MakeFolderPlayer(const QString& folder) {
  return std::make_unique<FolderPlayer>(folder);
}

}  // namespace audiolume::platform
