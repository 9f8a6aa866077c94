#include "language/formatting.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "decompile/daf_source.h"
#include "decompile/ipf_source.h"
#include "formats/dab_file.h"
#include "formats/ipb_file.h"
#include "language/directives.h"
#include "language/scan.h"
#include "qelc/qelc.h"

namespace qelc::language {

namespace {

class WorkspaceResolver : public IncludeResolver {
 public:
  explicit WorkspaceResolver(const Workspace& files) : files_(files) {}
  std::optional<std::string> Read(const std::string& name) override { return files_.Read(name); }

 private:
  const Workspace& files_;
};

// What a writer of FILE* writes, as a string.
template <typename Write>
std::string Written(Write write) {
  char* bytes = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&bytes, &size);
  if (!out) return "";
  write(out);
  std::fclose(out);
  std::string text(bytes, size);
  std::free(bytes);
  return text;
}

bool HasCommentOrDirective(std::string_view text) {
  bool directive = false;
  ForEachDirective(text, [&directive](size_t, const Directive&) { directive = true; });
  if (directive) return true;
  // A comment is what the scan passes over between words, starting with "//".
  size_t from = 0;
  for (const Word& word : ScanWords(text)) {
    if (text.substr(from, word.offset - from).find("//") != std::string_view::npos) return true;
    from = word.offset + word.text.size();
  }
  return text.substr(from).find("//") != std::string_view::npos;
}

// The written source without the comment that names where it came from, and
// with the device's name as the document gives it (a DAB file holds none, so
// the writer names the device after the file).
std::string KeptHeader(std::string_view document, std::string written, bool softIp) {
  while (written.starts_with("//")) written.erase(0, written.find('\n') + 1);
  if (written.starts_with("\n")) written.erase(0, 1);
  if (softIp) return written;
  std::vector<Word> words = ScanWords(document);
  size_t nameEnd = written.find('\n');
  if (words.size() < 2 || !written.starts_with("Device ") || nameEnd == std::string::npos) {
    return written;
  }
  return std::string(words[0].text) + " " + std::string(words[1].text) + written.substr(nameEnd);
}

}  // namespace

Formatted FormatDocument(const Workspace& files, const std::string& path) {
  auto open = files.Text(path);
  if (!open) return {std::nullopt, "the document is not open"};
  if (HasCommentOrDirective(*open)) {
    return {std::nullopt,
            "not formatted: the written source would lose its "
            "comments and directives"};
  }
  WorkspaceResolver resolver(files);
  CompileOptions options;
  options.resolver = &resolver;
  CompileResult result = Compile({files.SourceName(path), *open}, options);
  if (result.status != 0) return {std::nullopt, "not formatted: the source has errors"};
  if (!result.artifact) return {std::nullopt, "not formatted: the source compiles into no file"};
  const OutputFile* compiled = &*result.artifact;
  std::string base = path.substr(path.find_last_of('/') + 1);
  std::vector<std::string> problems;
  std::string text;
  if (IsSoftIpSource(path)) {
    SoftIPLibrary library;
    std::string_view strings;
    try {
      strings = ReadIpbBytes(compiled->bytes, library);
    } catch (const CorruptIpb& corrupt) {
      return {std::nullopt, std::string("not formatted: ") + corrupt.reason};
    }
    text = Written(
        [&](std::FILE* out) { decompile::WriteIpfSource(library, strings, base, out, problems); });
    for (std::string& problem : problems) problem = "cannot express " + problem;
  } else {
    std::string problem;
    std::optional<DabFile> dab = DabFile::Open(compiled->bytes, problem);
    if (!dab) return {std::nullopt, "not formatted: " + problem};
    text = Written([&](std::FILE* out) { decompile::WriteDafSource(*dab, base, out, problems); });
  }
  if (!problems.empty()) return {std::nullopt, "not formatted: " + problems.front()};
  return {KeptHeader(*open, text, IsSoftIpSource(path)), ""};
}

}  // namespace qelc::language
