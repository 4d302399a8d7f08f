#include "catalog/StartupPlaylistFile.h"

#include <QFileInfo>

#include "platform/FileOps.h"
#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kPlayer = u"Player"_s;
const QString kTitle = u"PlayList Title"_s;

}  // namespace

StartupPlaylistFile::StartupPlaylistFile(QString path, QString settingsFile)
    : path_(std::move(path)), settingsFile_(std::move(settingsFile)) {}

void StartupPlaylistFile::Clear() {
  entries_.clear();
  title_.clear();
}

void StartupPlaylistFile::Write() const {
  PlayListText::Write(path_, entries_);
  WriteIniString(settingsFile_, kPlayer, kTitle, title_);
}

void StartupPlaylistFile::AppendToFile(const PlayListEntry& entry) const {
  QByteArray bytes = QFileInfo::exists(path_) ? platform::FileOps::ReadFile(path_) : QByteArray();
  if (!bytes.isEmpty() && !bytes.endsWith('\n')) bytes += "\r\n";
  platform::FileOps::ReplaceFileContents(path_, bytes + PlayListText::SongLine(1, entry));
}

}  // namespace audiolume
