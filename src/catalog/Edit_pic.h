#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;

namespace audiolume {

class MessageCatalog;
class Prompter;
class SongRowWriter;
class TrailerTag;

/** What the picture chooser works with. */
struct EditPicContext {
  TrailerTag& trailer;
  SongRowWriter& writer;
  MessageCatalog& catalog;
  Prompter& prompter;
  QString settingsFile;
  /** Starts a paint program on a picture file; false when it cannot be started. */
  std::function<bool(const QString& program, const QString& picture)> startProgram;
  /** Opens a picture in the desktop's own image handler. */
  std::function<void(const QString& picture)> openPicture;
};

/**
 * Picks a picture file as a song's art: folders and picture files to browse (the
 * folder is remembered as EditPicPath), a preview with its size, the paint program, and
 * Done storing the picture as the song's art (told by its content, whatever its name).
 */
class Edit_pic : public QWidget {
  Q_OBJECT

 public:
  explicit Edit_pic(EditPicContext context);

  /** Shows the song's current art and the remembered folder. */
  void LinkPicture(const QString& songPath);
  void Dir1_Change(const QString& folder);
  void File1_Click();
  void imgDone_Click();
  void cmdOpenPaint_Click();
  /** The preview's size text: width and height, each with its leading blank. */
  QString SizeText() const;
  /** The picture file chosen; empty when none. */
  QString ChosenPicture() const;

 private:
  void ShowPreview(const QPixmap& picture);

  EditPicContext context_;
  QString songPath_;
  QLineEdit* Dir1_;
  QListWidget* folders_;
  QListWidget* File1_;
  QLabel* Image1_;
  QLabel* Label2_;
};

}  // namespace audiolume
