#include "settings/frm_add.h"

#include "base/runtime_error.h"
#include "base/text.h"
#include "settings/frm_set.h"
#include "settings/frm_set_texts.h"
#include "settings/list_rows.h"
#include "settings/name_rules.h"

namespace kvm {

namespace text = frm_set_text;

namespace {

constexpr int32_t kFormWidth = 300;
constexpr int32_t kFormHeight = 130;
// The longest names in Chinese characters; a Latin letter counts half.
constexpr int32_t kLibraryNameCharacters = 8;
constexpr int32_t kFlashingNameCharacters = 10;

}  // namespace

FrmAdd::FrmAdd(std::shared_ptr<Ui> ui, FrmSet& owner)
    : Form(std::move(ui), u"frmAdd"),
      Text1(*this, u"Text1"),
      Lb(*this, u"Lb", true),
      cmdOk(*this, u"cmdOk"),
      cmdCancel(*this, u"cmdCancel"),
      owner_(owner) {
  setCaption(std::u16string(text::kAddLibraryCaption));
  setSize(kFormWidth, kFormHeight);
  Lb.move(12, 12, 0, 15);
  Lb.setCaption(std::u16string(text::kAddLibraryPrompt));
  Text1.move(12, 32, 270, 20);
  cmdOk.move(100, 66, 80, 24);
  cmdOk.setCaption(std::u16string(text::kCmdAddOk));
  cmdCancel.move(200, 66, 80, 24);
  cmdCancel.setCaption(std::u16string(text::kCmdAddCancel));

  cmdOk.onClick = [this] { ok(); };
  cmdCancel.onClick = [this] { unload(); };
  finishDesign();
}

bool FrmAdd::addsLibrary() const {
  return owner_.cmdAdd.tag() == u"1";
}

void FrmAdd::onLoad() {
  if (!addsLibrary()) {
    setCaption(std::u16string(text::kAddFlashingCaption));
    Lb.setCaption(std::u16string(text::kAddFlashingPrompt));
  }
  Text1.setFocus();
}

void FrmAdd::ok() {
  try {
    const bool library = addsLibrary();
    const std::u16string name = trimSpaces(Text1.text());
    const std::u16string noun(library ? text::kNounLibrary : text::kNounFlashing);
    const int32_t characters = library ? kLibraryNameCharacters : kFlashingNameCharacters;
    // A Chinese character takes two bytes of the stored name.
    const int32_t bytes = 2 * characters;
    const std::u16string title = std::u16string(text::kAddTitleStart) + noun;
    const auto refuse = [&](const std::u16string& message) {
      showMessage(ui(), message, title);
      Text1.setFocus();
    };
    const auto caretAtEnd = [&] { Text1.setSelStart(static_cast<int32_t>(Text1.text().size())); };

    switch (checkNewName(name, static_cast<std::size_t>(bytes))) {
      case NameFault::Empty:
        refuse(std::u16string(text::kPleaseEnter) + noun + std::u16string(text::kNameEnd));
        return;
      case NameFault::Blank:
        refuse(noun + std::u16string(text::kNoBlank));
        caretAtEnd();
        return;
      case NameFault::TooLong:
        refuse(noun + std::u16string(text::kTooLongStart) + decimal(characters) +
               std::u16string(text::kTooLongChinese) + decimal(bytes) +
               std::u16string(text::kTooLongEnd));
        caretAtEnd();
        return;
      case NameFault::None: break;
    }

    const int32_t same = findRow(library ? owner_.lstCangKu : owner_.lstErJi, name);
    if (same >= 0) {
      const std::u16string number = decimal(same + 1);
      refuse(library ? noun + std::u16string(text::kLibraryDuplicateName) + name +
                           std::u16string(text::kLibraryDuplicateWith) + noun +
                           std::u16string(text::kLibraryDuplicateIn) + number +
                           std::u16string(text::kDuplicateEnd)
                     : std::u16string(text::kFlashingDuplicateStart) + name +
                           std::u16string(text::kFlashingDuplicateMiddle) + number +
                           std::u16string(text::kDuplicateEnd));
      Text1.selectAll();
      return;
    }

    if (library) {
      owner_.appendLibrary(name);
    } else {
      owner_.appendFlashing(name);
    }
    unload();
  } catch (const RuntimeError& error) {
    showErrorDescription(ui(), error.description());
  }
}

}  // namespace kvm
