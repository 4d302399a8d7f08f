// Usage: audiolume-skin FOLDER
// Paints the player's skin pictures into FOLDER: "player.png", the background of the
// player panel, and "Default.jpg", the art shown for songs without a picture of their own.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cstdio>

namespace {

QImage PlayerBackground() {
  QImage image(380, 200, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient sky(0, 0, 0, image.height());
  sky.setColorAt(0.0, QColor(0x2b, 0x31, 0x4a));
  sky.setColorAt(1.0, QColor(0x12, 0x15, 0x22));
  painter.fillRect(image.rect(), sky);
  // Faint light rays from the left, the program's mark.
  painter.setRenderHint(QPainter::Antialiasing);
  for (int i = 0; i < 9; ++i) {
    painter.setPen(QPen(QColor(255, 200, 120, 14 + 3 * i), 1.5));
    painter.drawLine(QPointF(-20, 170), QPointF(400, 10 + 20 * i));
  }
  return image;
}

QImage DefaultArt() {
  QImage image(300, 300, QImage::Format_RGB32);
  image.fill(QColor(0x1b, 0x1e, 0x2b));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QRadialGradient vinyl(150, 150, 130);
  vinyl.setColorAt(0.0, QColor(0x30, 0x30, 0x30));
  vinyl.setColorAt(1.0, QColor(0x08, 0x08, 0x08));
  painter.setBrush(vinyl);
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPointF(150, 150), 130, 130);
  painter.setBrush(Qt::NoBrush);
  for (int r = 50; r < 126; r += 6) {
    painter.setPen(QPen(QColor(255, 255, 255, 18), 1));
    painter.drawEllipse(QPointF(150, 150), r, r);
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xf0, 0xa5, 0x3c));
  painter.drawEllipse(QPointF(150, 150), 42, 42);
  painter.setBrush(QColor(0x1b, 0x1e, 0x2b));
  painter.drawEllipse(QPointF(150, 150), 5, 5);
  return image;
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fputs("usage: audiolume-skin FOLDER\n", stderr);
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(folder.path()) ||
      !PlayerBackground().save(folder.filePath(QStringLiteral("player.png"))) ||
      !DefaultArt().save(folder.filePath(QStringLiteral("Default.jpg")), "JPG", 90)) {
    std::fprintf(stderr, "audiolume-skin: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
