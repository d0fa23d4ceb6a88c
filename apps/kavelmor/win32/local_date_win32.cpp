#include "platform/win32/windows_headers.h"

#include "apps/kavelmor/script/local_date.h"

namespace kvm::script {

CalendarDate localToday() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay};
}

}  // namespace kvm::script
