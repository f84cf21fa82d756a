// lyricade-library: search, list and maintain a Lyricade library from the
// command line.
#include <QCoreApplication>
#include <iostream>

#include "library_tool.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return lyricade::RunLibraryTool(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                  std::cerr);
}
