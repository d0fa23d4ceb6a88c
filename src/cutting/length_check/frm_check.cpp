#include "cutting/length_check/frm_check.h"

#include <memory>

#include "base/numbers.h"
#include "base/text.h"
#include "session/process.h"

namespace kvm {

namespace {

constexpr std::u16string_view kCaption = u"多段线长度与标注不符";

// Both labels show a sample check at design time; every call replaces them.
constexpr std::u16string_view kDesignLb1 = u"多段线累计长度:5100与展开长度500、";
constexpr std::u16string_view kDesignLb2 = u"出图比例1:10计算结果:5000不符,请检查！";

constexpr std::u16string_view kDrawnLengthText = u"多段线累计长度:";
constexpr std::u16string_view kDevelopedLengthText = u"与展开长度";
constexpr std::u16string_view kFirstLineEnd = u"、";
constexpr std::u16string_view kScaleText = u"出图比例";
constexpr std::u16string_view kResultText = u"计算结果:";
constexpr std::u16string_view kSecondLineEnd = u"不符，请检查！";

constexpr int32_t kFormWidth = 330;
constexpr int32_t kFormHeight = 130;

// The scale text is "1:" followed by the scale number.
constexpr std::size_t kScaleNumberStart = 2;

}  // namespace

FrmCheck::FrmCheck(ProcessContext& process)
    : Form(process.ui, u"frmCheck"),
      Lb1(*this, u"Lb1"),
      Lb2(*this, u"Lb2"),
      cmdHuLue(*this, u"cmdHuLue"),
      cdmFanHui(*this, u"cdmFanHui"),
      process_(process) {
  setCaption(std::u16string(kCaption));
  setSize(kFormWidth, kFormHeight);
  Lb1.move(16, 16, 300, 16);
  Lb1.setCaption(std::u16string(kDesignLb1));
  Lb2.move(16, 40, 300, 16);
  Lb2.setCaption(std::u16string(kDesignLb2));
  cmdHuLue.move(40, 72, 100, 28);
  cmdHuLue.setCaption(u"忽略(&H)");
  cdmFanHui.move(190, 72, 100, 28);
  cdmFanHui.setCaption(u"返回(&F)");

  cdmFanHui.onClick = [this] { answer(u"0"); };
  cmdHuLue.onClick = [this] { answer(u"1"); };
  finishDesign();
}

void FrmCheck::onLoad() {
  // The system menu loses its Close command, which also disables the close box.
  setCloseBoxEnabled(false);
  // The go-back button comes first in the tab order.
  cdmFanHui.setFocus();
}

void FrmCheck::showFigures(int32_t drawnLength, int32_t developedLength,
                           std::u16string_view scale) {
  Lb1.setCaption(std::u16string(kDrawnLengthText) + decimal(drawnLength) +
                 std::u16string(kDevelopedLengthText) + decimal(developedLength) +
                 std::u16string(kFirstLineEnd));
  const double scaleNumber =
      scale.size() > kScaleNumberStart ? leadingNumber(scale.substr(kScaleNumberStart)) : 0.0;
  const double product = static_cast<double>(developedLength) * scaleNumber;
  Lb2.setCaption(std::u16string(kScaleText) + std::u16string(scale) + std::u16string(kResultText) +
                 generalText(product) + std::u16string(kSecondLineEnd));
}

void FrmCheck::answer(std::u16string_view choice) {
  process_.resultString = std::u16string(choice);
  unload();
}

FrmCheck& frmCheck(ProcessContext& process) {
  if (!process.frmCheck) {
    process.frmCheck = std::make_shared<FrmCheck>(process);
  }
  return *process.frmCheck;
}

}  // namespace kvm
