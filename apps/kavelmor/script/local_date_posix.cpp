#include <chrono>
#include <ctime>

#include "apps/kavelmor/script/local_date.h"

namespace kvm::script {

CalendarDate localToday() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace kvm::script
