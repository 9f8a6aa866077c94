#pragma once

#include "formats/lexicon.h"

namespace qelc {

// The longest texts the rules take, each measured as the rule measures it
// (see the Limits part of docs/daf.md and docs/ipf.md).
namespace text_limit {
// Any other text a DAF section stores or joins word by word.
inline constexpr int kStored = 255;
inline constexpr int kCondition = int(kConditionLimit);
// A statement's words joined.
inline constexpr int kStatement = 31999;
// Memory map texts.
inline constexpr int kMapEntryField = 51;  // range fields 1 to 7 (field 3 unquoted)
inline constexpr int kMapLastField = 99;   // range field 8
inline constexpr int kMapToken = 119;      // a header value or field 3, as written
inline constexpr int kMapTitle = 127;
inline constexpr int kMapDescription = 511;  // joined
inline constexpr int kMapFlashSpace = 31;
// Soft-IP texts.
inline constexpr int kCategoryText = 99;      // a category's name and value
inline constexpr int kModuleText = 127;       // module texts, port texts but text3
inline constexpr int kPortText3 = 11;         // a port's text3
inline constexpr int kBusExtName = 511;       // one bus extension name
inline constexpr int kMacroParameter = 63;    // one macro parameter
inline constexpr int kMacroStatement = 2047;  // one macro statement line, joined
}  // namespace text_limit

}  // namespace qelc
