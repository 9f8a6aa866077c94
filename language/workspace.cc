#include "language/workspace.h"

#include <cctype>
#include <filesystem>

#include "qelc/qelc.h"
#include "source/ascii.h"

namespace qelc::language {

namespace {

std::string Normal(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().string();
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Workspace::Workspace(std::string root) { SetRoot(std::move(root)); }

void Workspace::SetRoot(std::string root) {
  root_ = Normal(root.empty() ? "/" : root);
  if (root_.size() > 1 && root_.back() == '/') root_.pop_back();
}

void Workspace::Open(const std::string& path, std::string text) {
  open_[Normal(path)] = std::make_shared<const std::string>(std::move(text));
}

void Workspace::Close(const std::string& path) { open_.erase(Normal(path)); }

std::shared_ptr<const std::string> Workspace::Text(const std::string& path) const {
  auto open = open_.find(Normal(path));
  return open == open_.end() ? nullptr : open->second;
}

std::string Workspace::SourceName(const std::string& path) const {
  std::string normal = Normal(path);
  std::string prefix = root_ == "/" ? root_ : root_ + "/";
  return normal.starts_with(prefix) ? normal.substr(prefix.size()) : normal;
}

std::string Workspace::PathOf(const std::string& name) const {
  return Normal(name.starts_with('/') ? name : root_ + "/" + name);
}

std::optional<std::string> Workspace::Read(const std::string& name) const {
  if (auto text = Text(PathOf(name))) return *text;
  return DirectoryResolver(root_).Read(name);
}

std::string PathOfUri(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (!uri.starts_with(kScheme)) return "";
  uri.remove_prefix(kScheme.size());
  // file://host/path: only the local host is a file of this machine.
  size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return "";
  std::string path;
  for (size_t at = slash; at < uri.size(); ++at) {
    if (uri[at] == '%' && at + 2 < uri.size() && HexValue(uri[at + 1]) >= 0 &&
        HexValue(uri[at + 2]) >= 0) {
      path += char(HexValue(uri[at + 1]) * 16 + HexValue(uri[at + 2]));
      at += 2;
    } else {
      path += uri[at];
    }
  }
  return path;
}

std::string UriOfPath(std::string_view path) {
  constexpr std::string_view kPlain = "/-._~";
  std::string uri = "file://";
  for (char c : path) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || kPlain.find(c) != std::string_view::npos) {
      uri += c;
    } else {
      constexpr char kHex[] = "0123456789ABCDEF";
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 15];
    }
  }
  return uri;
}

namespace {

// qelc takes the language from the start of the extension.
std::string_view Extension(std::string_view path) {
  size_t dot = path.rfind('.');
  return dot == std::string_view::npos ? "" : path.substr(dot);
}

}  // namespace

bool IsSource(std::string_view path) {
  return StartsWithNoCase(Extension(path), ".daf") || IsSoftIpSource(path);
}

bool IsSoftIpSource(std::string_view path) { return StartsWithNoCase(Extension(path), ".ipf"); }

}  // namespace qelc::language
