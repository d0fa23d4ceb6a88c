#include "aliases/alias_rules.h"

#include "aliases/alias_texts.h"
#include "base/text.h"

namespace kvm {

namespace text = alias_text;

namespace {

// Characters that would break the LISP text the alias is defined with.
constexpr std::u16string_view kForbidden = u" '\".;()";

}  // namespace

std::u16string normaliseStoredAliases(std::u16string_view stored) {
  std::u16string aliases(stored);
  for (auto run = aliases.find(u"  "); run != std::u16string::npos;
       run = aliases.find(u"  ", run)) {
    aliases.erase(run, 1);
  }
  aliases = trimSpaces(aliases);
  if (aliases.size() >= 2 && aliases.front() == u'(' && aliases.back() == u')') {
    // Trimmed again: a space just inside a parenthesis would otherwise make an empty first
    // alias and shift the others.
    aliases = trimSpaces(std::u16string_view(aliases).substr(1, aliases.size() - 2));
  }
  return aliases.empty() ? std::u16string(kDefaultAliases) : aliases;
}

std::optional<std::u16string> aliasRefusal(std::u16string_view alias,
                                           std::u16string_view defaultAlias) {
  if (alias.find_first_of(kForbidden) != std::u16string_view::npos) {
    return std::u16string(text::kNamePrefix) + std::u16string(alias) +
           std::u16string(text::kForbiddenCharacters) + u"\r\n" +
           std::u16string(text::kForbiddenList);
  }
  if (alias.starts_with(u'!')) {
    return std::u16string(text::kNamePrefix) + std::u16string(alias) +
           std::u16string(text::kExclamationStart);
  }
  if (alias == u"?") {
    return std::u16string(text::kLoneQuestionMark);
  }
  if (alias.empty()) {
    return std::u16string(text::kEmptyName) + std::u16string(defaultAlias) +
           std::u16string(text::kEmptyNameEnd);
  }
  return std::nullopt;
}

std::u16string joinAliases(const std::vector<std::u16string>& aliases) {
  std::u16string joined;
  for (std::size_t i = 0; i < aliases.size(); ++i) {
    if (i > 0) {
      joined += u' ';
    }
    joined += aliases[i];
  }
  return joined;
}

std::u16string aliasDefinition(std::u16string_view alias, std::u16string_view fullName) {
  return u"(progn(defun C:" + std::u16string(alias) + u"()(C:" + std::u16string(fullName) + u"))1)";
}

}  // namespace kvm
