#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "fakes/TestFiles.h"
#include "platform/CdDriveList.h"

namespace audiolume::platform {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(CdDriveListTest, MountPointsComeFromTheMountTablesThroughLinks) {
  QTemporaryDir dir;
  const QString sr0 = dir.filePath(u"sr0"_s);
  test::WriteAll(sr0, "");
  ASSERT_TRUE(QFile::link(sr0, dir.filePath(u"cdrom"_s)));
  const QString mounts = dir.filePath(u"mounts"_s);
  const QString fstab = dir.filePath(u"fstab"_s);
  test::WriteAll(mounts, "/dev/vda / ext4 rw 0 0\n" + dir.filePath(u"cdrom"_s).toUtf8() +
                             " /media/me/My\\040Disc iso9660 ro 0 0\n");
  test::WriteAll(fstab, "# <file system> <mount point>\n" + sr0.toUtf8() +
                            "\t/media/cdrom0\tudf,iso9660\tuser,noauto\t0\t0\n");
  const QList<CdDrive> drives{{u"D:"_s, sr0}, {u"E:"_s, u"/dev/sr9"_s}};
  const QList<CdMount> found = CdDriveList::MountPoints(drives, {mounts, fstab});
  ASSERT_EQ(found.size(), 2);
  EXPECT_EQ(found[0].letter, u"D:");
  EXPECT_EQ(found[0].mountPoint, u"/media/me/My Disc");
  EXPECT_EQ(found[1].mountPoint, u"/media/cdrom0");
  EXPECT_TRUE(CdDriveList::MountPoints(drives, {dir.filePath(u"none"_s)}).isEmpty());
}

}  // namespace
}  // namespace audiolume::platform
