#include <QCoreApplication>
#include <iostream>

#include "songcheck_run.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return lyricade::RunSongCheck(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
