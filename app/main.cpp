#include "Startup.h"

int main() {
  return RunApplication();
}
