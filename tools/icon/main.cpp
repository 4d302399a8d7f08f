// Usage: audiolume-icon FOLDER
// Draws the program's icon into FOLDER as an icon theme holds it:
// hicolor/scalable/apps/audiolume.svg and hicolor/NxN/apps/audiolume.png for the usual
// sizes. The SVG text and the PNG pictures are made from the same shapes below, so that
// every size shows the same mark: a record lit from the left on the player's dark blue.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

namespace {

// The shapes on a 256-unit square.
constexpr double kSize = 256;
constexpr double kCorner = 48;
constexpr double kDisc = 92;   // the record's radius
constexpr double kLabel = 34;  // its label's radius
constexpr double kHole = 7;    // the spindle hole
const QColor kTop(0x3a, 0x42, 0x63);
const QColor kBottom(0x12, 0x15, 0x22);
const QColor kVinyl(0x1b, 0x1b, 0x20);
const QColor kGroove(0x45, 0x45, 0x50);
const QColor kLight(0xf2, 0xa9, 0x3b);
const QColor kLabelColor(0xe8, 0x6a, 0x2c);
constexpr double kGrooves[] = {48, 60, 72, 84};

QString Hex(const QColor& color) {
  return color.name(QColor::HexRgb);
}

QByteArray Svg() {
  QString svg =
      QStringLiteral(
          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
          "viewBox=\"0 0 256 256\">\n<defs>\n"
          "<linearGradient id=\"bg\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
          "<stop offset=\"0\" stop-color=\"%1\"/><stop offset=\"1\" stop-color=\"%2\"/>"
          "</linearGradient>\n"
          "<radialGradient id=\"glow\" cx=\"0.3\" cy=\"0.35\" r=\"0.6\">"
          "<stop offset=\"0\" stop-color=\"%3\" stop-opacity=\"0.55\"/>"
          "<stop offset=\"1\" stop-color=\"%3\" stop-opacity=\"0\"/></radialGradient>\n</defs>\n"
          "<rect width=\"256\" height=\"256\" rx=\"%4\" fill=\"url(#bg)\"/>\n"
          "<circle cx=\"128\" cy=\"128\" r=\"%5\" fill=\"%6\"/>\n")
          .arg(Hex(kTop), Hex(kBottom), Hex(kLight))
          .arg(kCorner)
          .arg(kDisc)
          .arg(Hex(kVinyl));
  for (const double groove : kGrooves) {
    svg += QStringLiteral(
               "<circle cx=\"128\" cy=\"128\" r=\"%1\" fill=\"none\" stroke=\"%2\" "
               "stroke-width=\"2\"/>\n")
               .arg(groove)
               .arg(Hex(kGroove));
  }
  svg += QStringLiteral(
             "<circle cx=\"128\" cy=\"128\" r=\"%1\" fill=\"url(#glow)\"/>\n"
             "<circle cx=\"128\" cy=\"128\" r=\"%2\" fill=\"%3\"/>\n"
             "<circle cx=\"128\" cy=\"128\" r=\"%4\" fill=\"%5\"/>\n</svg>\n")
             .arg(kDisc)
             .arg(kLabel)
             .arg(Hex(kLabelColor))
             .arg(kHole)
             .arg(Hex(kBottom));
  return svg.toUtf8();
}

QImage Png(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / kSize, size / kSize);
  QLinearGradient background(0, 0, 0, kSize);
  background.setColorAt(0, kTop);
  background.setColorAt(1, kBottom);
  QPainterPath square;
  square.addRoundedRect(QRectF(0, 0, kSize, kSize), kCorner, kCorner);
  painter.fillPath(square, background);
  const QPointF centre(128, 128);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kVinyl);
  painter.drawEllipse(centre, kDisc, kDisc);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(kGroove, 2));
  for (const double groove : kGrooves) painter.drawEllipse(centre, groove, groove);
  QRadialGradient glow(QPointF(128 - 0.2 * 2 * kDisc, 128 - 0.15 * 2 * kDisc), 0.6 * 2 * kDisc);
  QColor light = kLight;
  light.setAlphaF(0.55);
  glow.setColorAt(0, light);
  light.setAlphaF(0);
  glow.setColorAt(1, light);
  painter.setPen(Qt::NoPen);
  painter.setBrush(glow);
  painter.drawEllipse(centre, kDisc, kDisc);
  painter.setBrush(kLabelColor);
  painter.drawEllipse(centre, kLabel, kLabel);
  painter.setBrush(kBottom);
  painter.drawEllipse(centre, kHole, kHole);
  return image;
}

bool Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: audiolume-icon FOLDER\n");
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor");
  const QString scalable = root + QStringLiteral("/scalable/apps");
  if (!QDir().mkpath(scalable) || !Write(scalable + QStringLiteral("/audiolume.svg"), Svg())) {
    std::fprintf(stderr, "cannot write the SVG icon\n");
    return 1;
  }
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString folder = root + QStringLiteral("/%1x%1/apps").arg(size);
    if (!QDir().mkpath(folder) || !Png(size).save(folder + QStringLiteral("/audiolume.png"))) {
      std::fprintf(stderr, "cannot write the %dx%d icon\n", size, size);
      return 1;
    }
  }
  return 0;
}
