#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qelc::qelcmd {

enum class SourceKind { kDaf, kIpf };

// A starting source for `name` (the device, or the library's module): every
// section or block of the language, each with a comment on what its fields
// mean and the part of the manual that explains it. It compiles, and the
// linter finds nothing in it. Nothing when `name` is no word of letters,
// digits and underscores that starts with a letter.
std::optional<std::string> StartingSource(SourceKind kind, std::string_view name);

}  // namespace qelc::qelcmd
