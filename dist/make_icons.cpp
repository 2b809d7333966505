// make-icons: writes the program icon for the icon theme at the sizes menus use.
//   make-icons ICON.png OUTDIR NAME SIZE...   writes OUTDIR/<S>x<S>/apps/NAME.png
#include <QDir>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fputs("usage: make-icons ICON.png OUTDIR NAME SIZE...\n", stderr);
    return 2;
  }
  const QImage icon(QString::fromLocal8Bit(argv[1]));
  if (icon.isNull()) {
    std::fprintf(stderr, "make-icons: cannot read %s\n", argv[1]);
    return 1;
  }
  for (int i = 4; i < argc; ++i) {
    const int size = QByteArray(argv[i]).toInt();
    if (size <= 0) {
      std::fprintf(stderr, "make-icons: bad size %s\n", argv[i]);
      return 2;
    }
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
    QDir().mkpath(dir);
    const QImage scaled = icon.size() == QSize(size, size)
                              ? icon
                              : icon.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (!scaled.save(dir + QLatin1Char('/') + QString::fromLocal8Bit(argv[3]) + QStringLiteral(".png"), "PNG")) {
      std::fprintf(stderr, "make-icons: cannot write into %s\n", qPrintable(dir));
      return 1;
    }
  }
  return 0;
}
