#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "fakes/TestFiles.h"
#include "platform/FileError.h"
#include "platform/TailWriter.h"

namespace audiolume::platform {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::ReadAll;
using test::WriteAll;

// Rewrites the file's end in a child process that may write no more than limit bytes into
// any file: past it, the child is killed (SIGXFSZ) or, with the signal ignored, its
// writes fail as on a full disk. Returns how the child ended.
int ReplaceTailLimited(const QString& path, qint64 offset, const QByteArray& tail, rlim_t limit,
                       bool ignoreSignal) {
  const pid_t child = fork();
  if (child == 0) {
    if (ignoreSignal) std::signal(SIGXFSZ, SIG_IGN);
    const rlimit fileSize{limit, limit};
    setrlimit(RLIMIT_FSIZE, &fileSize);
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) _exit(3);
    try {
      TailWriter::ReplaceTail(file, offset, tail);
    } catch (const FileError& error) {
      _exit(error.code().value() == EFBIG ? 2 : 4);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

TEST(TailWriterTest, AKilledOrFullRewriteLeavesTheOldEndOrTheNewOne) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"song.mp3"_s);
  const QByteArray audio(40000, 'a');
  const QByteArray oldTail = QByteArray(3000, 'o') + "TAG";
  WriteAll(path, audio + oldTail);
  const QByteArray newTail = QByteArray(20000, 'n') + "TAG";

  // Killed while writing: the journal puts the old end back on the next open.
  EXPECT_EQ(ReplaceTailLimited(path, audio.size(), newTail, 50000, false), -SIGXFSZ);
  EXPECT_TRUE(QFile::exists(TailWriter::JournalPath(path)));
  EXPECT_NE(ReadAll(path), audio + oldTail);
  EXPECT_TRUE(TailWriter::Recover(path));
  EXPECT_EQ(ReadAll(path), audio + oldTail);
  EXPECT_FALSE(QFile::exists(TailWriter::JournalPath(path)));

  // No room: the old end stays, nothing is left behind.
  EXPECT_EQ(ReplaceTailLimited(path, audio.size(), newTail, 50000, true), 2);
  EXPECT_EQ(ReadAll(path), audio + oldTail);
  EXPECT_FALSE(QFile::exists(TailWriter::JournalPath(path)));

  // With room, the new end, shorter or longer.
  EXPECT_EQ(ReplaceTailLimited(path, audio.size(), newTail, RLIM_INFINITY, false), 0);
  EXPECT_EQ(ReadAll(path), audio + newTail);
  EXPECT_EQ(ReplaceTailLimited(path, audio.size(), "x", RLIM_INFINITY, false), 0);
  EXPECT_EQ(ReadAll(path), audio + "x");

  // A journal cut short was written before the file was touched: it is dropped.
  WriteAll(TailWriter::JournalPath(path), "AUDIOLUME TAIL JOURNAL 1\n\x01\x02");
  EXPECT_FALSE(TailWriter::Recover(path));
  EXPECT_EQ(ReadAll(path), audio + "x");
  EXPECT_FALSE(QFile::exists(TailWriter::JournalPath(path)));
}

// Many files' ends with a few syncs in all, each as safe as one rewrite alone.
TEST(TailWriterTest, ABatchWritesEveryNewEndAtItsCommitAndLeavesAChangedFileAlone) {
  QTemporaryDir dir;
  const QByteArray audio(40000, 'a');
  const QStringList paths{dir.filePath(u"one.mp3"_s), dir.filePath(u"One.mp3"_s),
                          dir.filePath(u"two.mp3"_s)};
  for (const QString& path : paths) WriteAll(path, audio + "TAG");
  TailBatch batch;
  for (const QString& path : paths) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    batch.Add(file, audio.size(), "new end of " + path.toUtf8());
  }
  // Until the commit the files are as they were; a crash now leaves them so.
  for (const QString& path : paths) {
    EXPECT_EQ(ReadAll(path), audio + "TAG");
    EXPECT_TRUE(QFile::exists(TailWriter::JournalPath(path)));
  }
  // A reader meanwhile takes the journals for writes under way, not for a crash's.
  EXPECT_FALSE(TailWriter::Recover(paths[0]));
  EXPECT_TRUE(QFile::exists(TailWriter::JournalPath(paths[0])));
  {
    QFile again(paths[0]);
    ASSERT_TRUE(again.open(QIODevice::ReadWrite));
    EXPECT_THROW(TailWriter::ReplaceTail(again, audio.size(), "another"), FileError);
  }
  WriteAll(paths[2], audio + "changed meanwhile");

  const QList<FileError> errors = batch.Commit();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0].Path(), paths[2]);
  EXPECT_EQ(ReadAll(paths[0]), audio + "new end of " + paths[0].toUtf8());
  EXPECT_EQ(ReadAll(paths[1]), audio + "new end of " + paths[1].toUtf8());
  EXPECT_EQ(ReadAll(paths[2]), audio + "changed meanwhile");
  for (const QString& path : paths) EXPECT_FALSE(QFile::exists(TailWriter::JournalPath(path)));
  EXPECT_TRUE(batch.Empty());
  EXPECT_TRUE(batch.Commit().isEmpty());
}

}  // namespace
}  // namespace audiolume::platform
