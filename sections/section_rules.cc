#include "sections/section_rules.h"

#include <string>

namespace qelc {

namespace {

const std::string_view kEmptyTextEndsList = DeclareWarning(
    "empty-text-ends-list", true,
    "a text stored empty where an empty text ends the list, so the entries from there on are "
    "lost");

}  // namespace

void WarnIfEndsList(TextPoint at, std::string_view stored, std::string_view what) {
  if (!Linting() || !stored.empty()) return;
  WarnAt(at, kEmptyTextEndsList,
         std::string(what) +
             " is empty, and an empty text ends the list: this entry and every one after it "
             "are lost for readers");
}

}  // namespace qelc
