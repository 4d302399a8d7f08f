#pragma once

#include <QByteArray>
#include <QString>

namespace audiolume::test {

/** The desktop's trash for a test's time: a home on the test's folder (so on the songs'
 *  disk) and its data folder, where the trash lies; both put back afterwards. */
class TrashFolder {
 public:
  TrashFolder(const QString& home, const QString& dataHome)
      : home_(qgetenv("HOME")), data_(qgetenv("XDG_DATA_HOME")) {
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_DATA_HOME", dataHome.toUtf8());
  }
  ~TrashFolder() {
    qputenv("HOME", home_);
    if (data_.isEmpty()) {
      qunsetenv("XDG_DATA_HOME");
    } else {
      qputenv("XDG_DATA_HOME", data_);
    }
  }
  TrashFolder(const TrashFolder&) = delete;
  TrashFolder& operator=(const TrashFolder&) = delete;

 private:
  QByteArray home_;
  QByteArray data_;
};

}  // namespace audiolume::test
