#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qelc::report {

// A text of a file as the content of an element or an attribute value: valid
// UTF-8 as it stands, anything else byte by byte as Latin-1 (as the JSON of
// qeldump reads it), with the five markup characters escaped and a carriage
// return written as a reference, which the HTML reader would otherwise turn
// into a line feed.
std::string Escaped(std::string_view text);

// At most `longest` characters of `text` (counted as UTF-8 after the Latin-1
// reading), ending with an ellipsis when cut, escaped: a label in a drawing.
std::string EscapedLabel(std::string_view text, size_t longest);

// `name="value"` with a space before it, the value escaped.
std::string Attribute(std::string_view name, std::string_view value);

// A coordinate or a length in a drawing, with at most one decimal.
std::string Number(double value);

// A count with its noun: "1 category", "0 categories", "2 categories".
std::string Count(int64_t count, std::string_view one, std::string_view many);

}  // namespace qelc::report
