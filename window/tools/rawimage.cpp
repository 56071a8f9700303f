// Build-time converter: decodes one image of the artwork and writes its pixels in the layout
// QImage uses, so the window wraps them in place at start-up instead of loading decoders.
//
// Usage: rawimage [--indexed] INPUT OUTPUT [WIDTHxHEIGHT]
//   With a size, an .ico gives its frame of that size with the most colours; any other image
//   gives only its top-left part of that size (the part the window shows).
// Output: the header below, then the scan lines (each padded to 4 bytes), then the colour
// table of an indexed image, then zero padding to a multiple of 4 bytes, so every blob placed
// back to back keeps the next one aligned.
//
// With --indexed, an opaque image of at most 256 colours (all of the artwork but the icon) is
// stored as 8-bit indexes into its exact colours: a quarter of the bytes, so the 2x background
// costs 1.1 MB of memory instead of 4.6 MB. Without it the pixels are 32-bit, which the window
// draws without converting each line: at 1x that saves more start-up time than the memory it
// costs.

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QtEndian>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "window/tools/raw_image.h"

namespace {

[[noreturn]] void Fail(const QString& message) {
  std::fprintf(stderr, "rawimage: %s\n", qPrintable(message));
  std::exit(1);
}

// The index of the frame `side` pixels square with the most bits per pixel, read from the
// icon directory (the decoder does not tell a frame's depth).
int DeepestIconFrame(const QString& path, int side) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) Fail(path + ": " + file.errorString());
  const QByteArray bytes = file.readAll();
  const auto u16 = [&bytes](qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
  };
  if (bytes.size() < 6) Fail(path + ": not an icon");
  const int count = u16(4);
  int best = -1;
  int bestBits = -1;
  for (int i = 0; i < count; ++i) {
    const qsizetype entry = 6 + 16 * static_cast<qsizetype>(i);
    if (bytes.size() < entry + 16) Fail(path + ": truncated icon directory");
    const auto width = static_cast<unsigned char>(bytes[entry]);
    const auto height = static_cast<unsigned char>(bytes[entry + 1]);
    const int bits = u16(entry + 6);
    if (width == side && height == side && bits > bestBits) {
      best = i;
      bestBits = bits;
    }
  }
  if (best < 0) Fail(path + ": no " + QString::number(side) + " px frame");
  return best;
}

QImage Decode(const QString& input, const QString& sizeArg) {
  QImageReader reader(input);
  if (!sizeArg.isEmpty()) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$")).match(sizeArg);
    if (!m.hasMatch()) Fail("bad size " + sizeArg);
    const QSize size(m.captured(1).toInt(), m.captured(2).toInt());
    if (input.endsWith(QStringLiteral(".ico"), Qt::CaseInsensitive)) {
      if (size.width() != size.height()) Fail("icon frames are square");
      if (!reader.jumpToImage(DeepestIconFrame(input, size.width()))) Fail(reader.errorString());
    } else {
      // Only the top-left part, the part the window shows.
      reader.setClipRect(QRect(QPoint(0, 0), size));
    }
  }
  QImage image = reader.read();
  if (image.isNull()) Fail(input + ": " + reader.errorString());
  // The formats a raster pixmap keeps as they are: no conversion when the window wraps it.
  return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                       : QImage::Format_RGB32);
}

// The image as indexes into its own colours, sorted so the output does not depend on the
// order pixels are met; the image itself if it has alpha or more than 256 colours.
QImage Indexed(const QImage& image) {
  if (image.format() != QImage::Format_RGB32) return image;
  QList<QRgb> colours;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (!colours.contains(line[x])) {
        if (colours.size() == 256) return image;
        colours.append(line[x]);
      }
    }
  }
  std::sort(colours.begin(), colours.end());
  const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, colours,
                                               Qt::ThresholdDither | Qt::AvoidDither);
  if (indexed.convertToFormat(QImage::Format_RGB32) != image) Fail("indexing changed a colour");
  return indexed;
}

}  // namespace

int main(int argc, char* argv[]) {
  const bool indexed = argc > 1 && std::strcmp(argv[1], "--indexed") == 0;
  if (indexed) {
    --argc;
    ++argv;
  }
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: rawimage [--indexed] INPUT OUTPUT [WIDTHxHEIGHT]\n");
    return 2;
  }
  const QImage decoded =
      Decode(QString::fromLocal8Bit(argv[1]), argc == 4 ? QString::fromLocal8Bit(argv[3]) : "");
  const QImage image = indexed ? Indexed(decoded) : decoded;

  window::RawImageHeader header{};
  header.magic = window::kRawImageMagic;
  header.width = static_cast<std::uint32_t>(image.width());
  header.height = static_cast<std::uint32_t>(image.height());
  header.bytesPerLine = static_cast<std::uint32_t>(image.bytesPerLine());
  header.format = static_cast<std::uint32_t>(image.format());
  const QList<QRgb> colours = image.colorTable();
  header.colorCount = static_cast<std::uint32_t>(colours.size());

  QByteArray blob(reinterpret_cast<const char*>(&header), sizeof header);
  blob.append(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
  blob.append(reinterpret_cast<const char*>(colours.constData()),
              colours.size() * static_cast<qsizetype>(sizeof(QRgb)));
  blob.append(QByteArray((4 - blob.size() % 4) % 4, '\0'));

  QFile out(QString::fromLocal8Bit(argv[2]));
  if (!out.open(QIODevice::WriteOnly) || out.write(blob) != blob.size()) {
    Fail(out.fileName() + ": " + out.errorString());
  }
  return 0;
}
