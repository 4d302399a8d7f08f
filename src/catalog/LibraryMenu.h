#pragma once

#include <QMenu>

namespace audiolume {

struct LibraryWindowContext;

/**
 * The library window's menu of the library itself (mnuLibrary): the library file's
 * load, save, save as, export and clear, the move of ID3 tags to the ends of the files,
 * the stored playlists to add to the window's own, and the song adder. UI thread only.
 */
class LibraryMenu : public QMenu {
  Q_OBJECT

 public:
  /** context: the window's, which outlives its menu. */
  LibraryMenu(const LibraryWindowContext& context, QWidget* parent);

  void mnuClearDatabase_Click();
  void mnuLoadDatabase_Click();
  void mnuSaveDatabase_Click();
  void mnuSaveDatabaseAs_Click();
  void mnuExportDatabase_Click();
  void mnuConvertID3Tags_Click();

 Q_SIGNALS:
  /** Another library was loaded, or the library emptied. */
  void LibraryReplaced();
  /** A stored playlist was chosen, to add to the window's own. */
  void PlayListChosen(const QString& name);

 private:
  const LibraryWindowContext& context_;
};

}  // namespace audiolume
