#include "sections/section_rules.h"

#include <string>

#include "sections/checks.h"
#include "tables/parse_state.h"

namespace qelc {

const WarningCheck kEmptyTextEndsList{
    "empty-text-ends-list", true,
    "a text stored empty where an empty text ends the list, so the entries from there on are "
    "lost"};

void WarnIfEndsList(ParseState& s, TextPoint at, std::string_view stored, std::string_view what) {
  if (!Linting(s) || !stored.empty()) return;
  WarnAt(s, at, kEmptyTextEndsList,
         std::string(what) +
             " is empty, and an empty text ends the list: this entry and every one after it "
             "are lost for readers");
}

}  // namespace qelc
