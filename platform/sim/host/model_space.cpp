#include "platform/sim/host/model_space.h"

#include <cmath>

#include "base/runtime_error.h"
#include "platform/sim/host/collection_index.h"
#include "platform/sim/host/member_call.h"

namespace kvm::sim {

Variant ModelSpace::invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) {
  MemberCall call(name, kind, args);
  if (call.get(u"AddText", 3)) {
    std::u16string text = toString(call.arg(0));
    const Point3 point = pointArgument(call.arg(1));
    const double height = toDouble(call.arg(2));
    if (!std::isfinite(height) || height <= 0) {
      raise(err::kInvalidCall);
    }
    texts_.push_back(std::make_shared<TextObject>(context_, std::move(text), point, height));
    return DispatchPtr(texts_.back());
  }
  if (auto shape = shapes_.add(call)) return *std::move(shape);
  if (call.get(u"Count")) return static_cast<int32_t>(texts_.size());
  if (call.get(u"Item", 1) || call.get(u"", 1)) {
    return DispatchPtr(texts_[collectionIndex(call.arg(0), texts_.size())]);
  }
  call.fail();
}

void ModelSpace::handOver(DrawingSink& sink) {
  for (const auto& text : texts_) {
    sink.text(text->dump());
  }
  texts_.clear();
  texts_.shrink_to_fit();
  shapes_.handOver(sink);
}

nlohmann::json ModelSpace::dump() const {
  nlohmann::json texts = nlohmann::json::array();
  for (const auto& text : texts_) {
    texts.push_back(text->dump());
  }
  return texts;
}

}  // namespace kvm::sim
