#include "qelcmd/sources.h"

#include <algorithm>
#include <set>

#include "compiler/usage.h"

namespace qelc::qelcmd {

namespace fs = std::filesystem;

namespace {

// The sources below `folder`, relative to it, sorted.
std::vector<fs::path> SourcesBelow(const fs::path& folder, std::error_code& error) {
  std::vector<fs::path> found;
  for (auto entry = fs::recursive_directory_iterator(folder, error);
       !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
    if (entry->is_regular_file(error) && HasSourceExtension(entry->path().filename().string())) {
      found.push_back(entry->path().lexically_relative(folder));
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

SourceList CollectSources(const std::vector<std::string>& paths,
                          const std::optional<fs::path>& outputRoot) {
  SourceList list;
  std::set<fs::path> seen;
  auto add = [&](const fs::path& source, const fs::path& belowPath) {
    if (!seen.insert(source.lexically_normal()).second) return;
    fs::path folder =
        outputRoot ? (*outputRoot / belowPath).lexically_normal() : source.parent_path();
    list.sources.push_back({source, folder});
  };
  for (const std::string& path : paths) {
    std::error_code error;
    fs::file_status status = fs::status(path, error);
    if (fs::is_directory(status)) {
      for (const fs::path& below : SourcesBelow(path, error)) {
        add((path / below).lexically_normal(), below.parent_path());
      }
      if (!error) continue;
      list.problem = path + ": " + error.message();
    } else if (!fs::exists(status)) {
      list.problem = path + ": no such file or folder";
    } else if (!HasSourceExtension(path)) {
      list.problem = path + ": not a DAF or IPF source (.daf or .ipf)";
    } else {
      add(path, {});
      continue;
    }
    list.sources.clear();
    return list;
  }
  return list;
}

}  // namespace qelc::qelcmd
