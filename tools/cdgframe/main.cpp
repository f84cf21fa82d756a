#include <iostream>

#include "cdgframe_run.h"

int main(int argc, char** argv) {
  return lyricade::RunCdgFrame(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
