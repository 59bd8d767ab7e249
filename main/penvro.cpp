// Program entry. The workbench itself is not built yet; this stand-in says so.
#include <cstdio>

int main() {
  std::puts("Penvarro: the workbench is not available in this build.");
  return 0;
}
