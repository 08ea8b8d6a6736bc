// Program entry. The runtime and the application are being assembled; until
// then the program only reports that it cannot draw yet.
#include <cstdio>

int main() {
  std::fputs("ifs-render: the renderer is not assembled yet\n", stderr);
  return 1;
}
