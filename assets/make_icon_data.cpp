// Writes a picture's pixels as a C++ header, so the program can show its icon without
// decoding an image file at start.
// Usage: make-icon-data PICTURE HEADER
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: make-icon-data PICTURE HEADER\n", stderr);
    return 1;
  }
  const QImage image = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) {
    std::fprintf(stderr, "make-icon-data: cannot read %s\n", argv[1]);
    return 1;
  }
  QByteArray out;
  out += "// Generated from " + QByteArray(argv[1]).split('/').last() + " by make-icon-data.\n";
  out += "#pragma once\n\n#include <cstdint>\n\nnamespace icon_data {\n";
  out += "inline constexpr int kWidth = " + QByteArray::number(image.width()) + ";\n";
  out += "inline constexpr int kHeight = " + QByteArray::number(image.height()) + ";\n";
  out += "// 0xAARRGGBB, row by row.\ninline constexpr std::uint32_t kPixels[] = {";
  for (int y = 0; y < image.height(); ++y) {
    out += "\n   ";
    for (int x = 0; x < image.width(); ++x)
      out += " 0x" + QByteArray::number(image.pixel(x, y), 16).rightJustified(8, '0') + "u,";
  }
  out += "\n};\n}  // namespace icon_data\n";
  QFile file(QString::fromLocal8Bit(argv[2]));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(out) != out.size()) {
    std::fprintf(stderr, "make-icon-data: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
