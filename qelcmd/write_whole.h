#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qelc::qelcmd {

// Writes `bytes` to `path` so that the file appears whole or not at all: they
// go into a new file of a temporary name in the same folder (".NAME.PID-N.tmp"),
// which then takes the name. `mode`: the permissions of the file (those of the
// file it replaces); without it, those of a new file. Returns why it could not
// be written, empty when it was.
std::string WriteWhole(const std::filesystem::path& path, std::string_view bytes,
                       std::optional<mode_t> mode = std::nullopt);

}  // namespace qelc::qelcmd
