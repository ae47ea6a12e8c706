// lxr4-icons OUTDIR: writes the program's icon as OUTDIR/lxr4-SIZE.png for the
// desktop entry's icon theme sizes.
#include <QGuiApplication>
#include <QString>

#include <cstdio>

#include "qt/icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lxr4-icons OUTDIR\n");
    return 2;
  }
  QGuiApplication application(argc, argv);
  for (int size : {16, 32, 48, 64, 128}) {
    const QString path = QString("%1/lxr4-%2.png").arg(QString::fromLocal8Bit(argv[1])).arg(size);
    if (!lxr4::IconImage(size).save(path, "PNG")) {
      std::fprintf(stderr, "lxr4-icons: cannot write %s\n", path.toLocal8Bit().constData());
      return 1;
    }
  }
  return 0;
}
