#include "app/mix_tool.h"

#include <iostream>

int main(int argc, char** argv) {
  return RunMixTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
