#pragma once

// The files a language server reads: the texts open in the editor, by their
// absolute path, over the files on the disk, with includes resolved as qelc
// resolves them when run in the workspace's root folder.

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace qelc::language {

// The editor's texts at one moment. Copies are cheap (the texts are shared and
// never changed), so a worker thread takes one and reads it while the editor
// goes on changing its own.
class Workspace {
 public:
  explicit Workspace(std::string root = "/");

  const std::string& Root() const { return root_; }
  void SetRoot(std::string root);

  void Open(const std::string& path, std::string text);
  void Close(const std::string& path);
  // The open text of `path`, or null when it is not open.
  std::shared_ptr<const std::string> Text(const std::string& path) const;
  const std::map<std::string, std::shared_ptr<const std::string>>& Texts() const { return open_; }

  // The name qelc is given for the source `path` when run in the root folder:
  // its path relative to the root, or `path` itself when it lies elsewhere.
  std::string SourceName(const std::string& path) const;
  // The absolute path of a file that a source names (its SourceName or an
  // #include line's name).
  std::string PathOf(const std::string& name) const;
  // The file `name` (as the source or an #include line gives it): the open
  // text, else the disk's.
  std::optional<std::string> Read(const std::string& name) const;

 private:
  std::string root_;
  std::map<std::string, std::shared_ptr<const std::string>> open_;
};

// The path of a file: URI (file:///a%20b -> /a b); empty for another scheme.
std::string PathOfUri(std::string_view uri);
std::string UriOfPath(std::string_view path);

// Whether `path` is a source that qelc compiles (an extension that starts
// with .daf or .ipf, any case).
bool IsSource(std::string_view path);
// Whether `path` is an IPF source.
bool IsSoftIpSource(std::string_view path);

}  // namespace qelc::language
