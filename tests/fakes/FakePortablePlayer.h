#pragma once

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

#include "platform/PortablePlayer.h"

namespace audiolume::test {

/**
 * A portable player that does what its script says: whether it is there and ready, what
 * erasing answers, how much room it has, and how a download goes. Each progress poll moves
 * the download on by step percent, unless it stalls (stallAt) or fails (failAt, with
 * failWord as its status). A finished download is copied into folder when one is set.
 * Everything asked of it is recorded.
 */
class FakePortablePlayer : public platform::PortablePlayer {
 public:
  struct Script {
    bool running = false;
    bool connected = true;
    quint32 readyStatus = Word(kReady);  // 0: not ready
    quint32 eraseStatus = Word(kReady);
    qint64 memFree = qint64(1) << 32;
    int step = 50;
    int stallAt = -1;
    int failAt = -1;
    quint32 failWord = Word(kError, kFailToWrite);
    QString folder;
  };
  struct Record {
    QStringList downloads;  // every file whose sending was started
    QStringList received;   // every file that arrived whole
    int erases = 0;
    QStringList erased;   // the names erasing was asked for
    QStringList written;  // the small files put on the player
    int stops = 0;
    int closes = 0;
  };

  FakePortablePlayer(const Script& script, Record& record) : script_(script), record_(record) {}

  bool TWRIO_IsRIORunning() override { return script_.running; }
  bool TWRIO_IsConnected() override { return script_.connected; }
  quint32 TWRIO_GetStatus(int) override {
    if (!script_.connected) return 0;
    return active_ ? status_ : (status_ == Word(kReady) ? script_.readyStatus : status_);
  }
  quint32 TWRIO_DeleteFiles(const QStringList& names) override {
    ++record_.erases;
    record_.erased += names;
    return script_.eraseStatus;
  }
  bool TWRIO_WriteFile(const QString& name, const QByteArray& contents) override {
    record_.written.append(name);
    if (script_.folder.isEmpty()) return true;
    QFile file(script_.folder + u'/' + name);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
  }
  qint64 TWRIO_GetMemFree() override { return script_.memFree; }
  bool TWRIO_FileExist(const QString& path) override { return QFile::exists(path); }
  int TWRIO_DownloadFile(const QString& path, const QString& name) override {
    record_.downloads.append(path);
    file_ = path;
    name_ = name.isEmpty() ? QFileInfo(path).fileName() : name;
    progress_ = 0;
    status_ = Word(kReady);
    active_ = true;
    return 1;
  }
  int TWRIO_GetProgress(int) override {
    if (!active_) return progress_;
    if (script_.failAt >= 0 && progress_ >= script_.failAt) {
      status_ = script_.failWord;
      active_ = false;
      return progress_;
    }
    if (script_.stallAt >= 0 && progress_ >= script_.stallAt) return progress_;
    progress_ = std::min(100, progress_ + script_.step);
    if (progress_ == 100) Arrive();
    return progress_;
  }
  void TWRIO_StopDownload() override {
    ++record_.stops;
    active_ = false;
    status_ = Word(kReady);
  }
  void TWRIO_Close() override { ++record_.closes; }
  void SetDownloadEnded(std::function<void()>) override {}

 private:
  void Arrive() {
    active_ = false;
    status_ = Word(kFinished);
    record_.received.append(file_);
    if (!script_.folder.isEmpty()) {
      QFile::copy(file_, script_.folder + u'/' + name_);
    }
  }

  Script script_;
  Record& record_;
  QString file_;
  QString name_;
  int progress_ = 0;
  bool active_ = false;
  quint32 status_ = Word(kReady);
};

}  // namespace audiolume::test
