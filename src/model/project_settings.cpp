#include "model/project_settings.h"

namespace kvm {

ProjectSettings defaultProjectSettings() {
  return ProjectSettings{u"示范工程车间一", u"0.5", u"300", u"300"};
}

}  // namespace kvm
