#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qelc::qelcmd {

// One source to build: its path as the user reaches it (the PATH given, or a
// file below a folder given) and the folder its compiled file goes to.
struct BuildSource {
  std::filesystem::path path;
  std::filesystem::path outputFolder;
};

struct SourceList {
  std::vector<BuildSource> sources;
  // Why the PATHs cannot be built ("PATH: no such file or folder"); empty
  // when they can.
  std::string problem;
};

// The sources named by `paths`, in their order: a file as it is; a folder's
// .daf and .ipf files below it, in sorted order. Each compiled file goes
// beside its source, or with `outputRoot` into that folder, below it where the
// source stands below the PATH given. A source reached twice is built once.
SourceList CollectSources(const std::vector<std::string>& paths,
                          const std::optional<std::filesystem::path>& outputRoot);

}  // namespace qelc::qelcmd
