#pragma once

#include <string>

namespace kvm {

// The project values of the settings dialog, held as the texts of their boxes.
struct ProjectSettings {
  std::u16string ProjectName;
  std::u16string PlateThickness;  // "0.###"
  std::u16string LengthClassStep;
  std::u16string TextHeight;

  bool operator==(const ProjectSettings&) const = default;
};

// The values that "restore defaults" puts back.
ProjectSettings defaultProjectSettings();

}  // namespace kvm
