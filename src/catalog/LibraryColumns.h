#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

class QHeaderView;
class QMenu;

namespace audiolume {

/**
 * The library grid's columns as the user arranges them: which are shown, their order and
 * their widths, kept in the settings (key "Columns" in section "PlayList"), and the
 * header's context menu that shows and hides them. The title is always shown and takes
 * the room the others leave. UI thread only.
 */
class LibraryColumns : public QObject {
  Q_OBJECT

 public:
  /** Works on a header whose model is set; the menu opens on a right click on it. */
  LibraryColumns(QHeaderView& header, QString settingsFile);

  /** The stored arrangement; without one (or a damaged one) the columns title to play
   *  time and the track number after the album, at widths that fit typical texts. */
  void Restore();
  /** Stores the arrangement as the header shows it. */
  void Save() const;

  QMenu* Menu() const { return menu_; }

 private:
  struct Column {
    int section;
    int width;
    bool hidden;
  };
  static std::optional<QList<Column>> Parse(const QString& stored, int count);
  void FillMenu();

  QHeaderView& header_;
  QString settingsFile_;
  QMenu* menu_;
  QHash<int, int> hiddenWidths_;  // the width each hidden column gets back
};

}  // namespace audiolume
