#pragma once

#include <cdio/cdio.h>

#include <QByteArray>
#include <QString>
#include <memory>

class QTemporaryDir;

namespace audiolume::platform {

/**
 * A disc image (CUE/BIN, cdrdao TOC, NRG) looked over before libcdio opens it, since
 * libcdio 2.1 trusts what it reads: a damaged NRG chunk table or a TOC of more than 99
 * tracks makes it read and write outside its buffers, a FIFO or a device named in a cue
 * sheet holds it for ever, and a TOC's relative file names are taken from the current
 * folder instead of the TOC's. An image that passes is opened through Path(), which for
 * such a TOC is a copy naming its files through a link to the TOC's folder; keep this
 * object as long as libcdio reads the image, as libcdio opens the files again as it goes.
 */
class DiscImage {
 public:
  explicit DiscImage(const QString& path);
  ~DiscImage();
  DiscImage(const DiscImage&) = delete;
  DiscImage& operator=(const DiscImage&) = delete;

  /** libcdio writes to stderr and, by default, ends the program on what it takes for an
   *  error or a broken assumption; a drive without a disc is routine here, and images are
   *  checked beforehand. Silences it for the whole program. */
  static void QuietLibcdio();
  /** The libcdio driver for a device or image, by the name's suffix. */
  static driver_id_t DriverFor(const QString& path);

  /** Why the image must not be opened; empty when it may. */
  const QString& Fault() const { return fault_; }
  /** What to hand libcdio's open. */
  const QByteArray& Path() const { return path_; }
  driver_id_t Driver() const { return driver_; }

 private:
  QString CheckSheet(const QString& image);
  QString CopyToc(const QString& image, const QByteArray& sheet);

  driver_id_t driver_;
  QString fault_;
  QByteArray path_;
  std::unique_ptr<QTemporaryDir> copy_;
};

}  // namespace audiolume::platform
