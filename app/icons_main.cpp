// quorvel-icons FOLDER: writes quorvel-<size>.png for every packaged icon size.
#include <QGuiApplication>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "Artwork.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  // Rendering into images needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  try {
    std::filesystem::create_directories(argv[1]);
    for (const auto& f : qv::WriteAppIconPngs(argv[1])) std::printf("%s\n", f.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
    return 1;
  }
  return 0;
}
