#include "qeldump/written_source.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>

#include "decompile/daf_source.h"
#include "decompile/ipf_source.h"
#include "qelc/qelc.h"
#include "qeldump/field_lines.h"

namespace qelc::dump {

namespace {

// A written source includes nothing: any file it would read is missing.
class NoIncludes : public IncludeResolver {
 public:
  std::optional<std::string> Read(const std::string&) override { return std::nullopt; }
};

// The first line of `text`.
std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

std::optional<std::string> CompiledDifference(const InputFile& file, const std::string& source,
                                              const std::string& sourceName) {
  NoIncludes noIncludes;
  CompileOptions options;
  options.resolver = &noIncludes;
  CompileResult compiled = Compile({sourceName, source}, options);
  if (compiled.status != 0 || !compiled.artifact) {
    return "cannot express file: the written source does not compile: " +
           FirstLine(compiled.standardOutput + compiled.standardError);
  }
  InputFile back;
  back.name = compiled.artifact->name;
  back.bytes = std::move(compiled.artifact->bytes);
  try {
    CheckBytes(back);
  } catch (const FileProblem& problem) {
    return std::string("cannot express file: the written source gives ") + problem.what();
  }
  std::optional<std::string> first;
  const InputFile* files[] = {&file, &back};
  WalkLines(files, true,
            [&](const std::string& path, std::span<const std::optional<std::string>> values) {
              if (first || values[0] == values[1]) return;
              first = "cannot express " + path + ": the written source gives " +
                      values[1].value_or("nothing") + ", not " + values[0].value_or("nothing");
            });
  return first;
}

std::string WrittenSource(const InputFile& file, std::vector<std::string>& problems) {
  std::string base = file.name.substr(file.name.find_last_of('/') + 1);
  std::string source = Written([&](FILE* out) {
    if (file.kind == FileKind::kDab) {
      decompile::WriteDafSource(*file.dab, file.name, out, problems);
      return;
    }
    std::vector<std::string> fields;
    decompile::WriteIpfSource(file.ipb, file.ipbStrings, base, out, fields);
    for (const std::string& field : fields) problems.push_back("cannot express " + field);
  });
  if (problems.empty()) {
    std::string name = base.substr(0, base.find('.'));
    name = (name.empty() ? "source" : name) + (file.kind == FileKind::kDab ? ".daf" : ".ipf");
    if (std::optional<std::string> difference = CompiledDifference(file, source, name)) {
      problems.push_back(*difference);
    }
  }
  return source;
}

}  // namespace qelc::dump
