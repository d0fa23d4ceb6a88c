// Links only the base library, yet includes the plan reader: the build must refuse it.
#include "platform/dxf/plan_reader.h"

int main() {
  return 0;
}
