// Build step: writes the manual page and the bash completion from the command line's table,
// so they say what `morvane --help` says. usage: morvane_write_docs MANPAGE COMPLETION
#include <QFile>
#include <cstdio>

#include "app/command_line.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s MANPAGE COMPLETION\n", argv[0]);
    return 64;
  }
  const QString texts[] = {morvane::app::manPage(), morvane::app::bashCompletion()};
  for (int i = 0; i < 2; ++i) {
    QFile file(QFile::decodeName(argv[i + 1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(texts[i].toUtf8()) < 0) {
      std::fprintf(stderr, "%s: cannot be written\n", argv[i + 1]);
      return 3;
    }
  }
  return 0;
}
