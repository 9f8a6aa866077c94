#include "qellint/report.h"

#include <rapidjson/filewritestream.h>
#include <rapidjson/writer.h>

#include <fstream>
#include <map>
#include <set>
#include <vector>

#include "compiler/compilation.h"
#include "formats/utf8.h"

namespace qelc::lint {

namespace {

const char* SeverityName(Severity severity) {
  return severity == Severity::kError ? "error" : "warning";
}

using JsonWriter = rapidjson::Writer<rapidjson::FileWriteStream>;

void Key(JsonWriter& json, const char* key, const std::string& value) {
  json.Key(key);
  // Source texts may hold any bytes; JSON strings are UTF-8.
  std::string valid = ReplaceNonUtf8(value);
  json.String(valid.c_str(), rapidjson::SizeType(valid.size()));
}

void Key(JsonWriter& json, const char* key, int32_t value) {
  json.Key(key);
  json.Int(value);
}

// Streams one JSON document to `out`; `write` fills it.
template <typename Write>
void WriteJsonDocument(FILE* out, Write write) {
  char buffer[1 << 16];
  rapidjson::FileWriteStream stream(out, buffer, sizeof buffer);
  JsonWriter json(stream);
  write(json);
  stream.Flush();
  std::fputc('\n', out);
}

size_t Count(std::span<const Diagnostic> findings, Severity severity) {
  size_t count = 0;
  for (const Diagnostic& finding : findings) count += finding.severity == severity ? 1 : 0;
  return count;
}

std::string Summary(const std::string& check) {
  for (const WarningCheck* warning : AllWarningChecks()) {
    if (warning->name == check) return std::string(warning->summary);
  }
  return "an error of the source: qelc fails on it (" + check + ")";
}

// The note at the #include line of another source that reaches a finding.
constexpr char kAlsoReached[] = "also reached from here";

// "file", "line", "column" of each #include line.
void IncludeSites(JsonWriter& json, const char* key, const std::vector<IncludeSite>& sites) {
  if (sites.empty()) return;
  json.Key(key);
  json.StartArray();
  for (const IncludeSite& site : sites) {
    json.StartObject();
    Key(json, "file", site.file);
    Key(json, "line", site.line);
    Key(json, "column", site.column);
    json.EndObject();
  }
  json.EndArray();
}

// The words of the second place of a finding said at its cause.
std::string FoundNote(const Diagnostic& finding) {
  return "found " + finding.stoppedToken + " here";
}

void ArtifactLocation(JsonWriter& json, const std::string& file) {
  json.Key("artifactLocation");
  json.StartObject();
  Key(json, "uri", PathUri(file));
  json.EndObject();
}

// A region's lines and columns: SARIF's end column, as ours, is the one just
// after the last character.
void Region(JsonWriter& json, const char* key, const Location& at) {
  json.Key(key);
  json.StartObject();
  Key(json, "startLine", at.line);
  Key(json, "startColumn", at.column);
  Key(json, "endLine", at.endLine);
  Key(json, "endColumn", at.endColumn);
  json.EndObject();
}

void PhysicalLocation(JsonWriter& json, const Location& at) {
  json.Key("physicalLocation");
  json.StartObject();
  ArtifactLocation(json, at.file);
  Region(json, "region", at);
  json.EndObject();
}

// A file as a whole.
void PhysicalLocation(JsonWriter& json, const std::string& file) {
  json.Key("physicalLocation");
  json.StartObject();
  ArtifactLocation(json, file);
  json.EndObject();
}

// "file", "line", "column", "endLine", "endColumn" of a place.
void PlaceKeys(JsonWriter& json, const Location& at) {
  Key(json, "file", at.file);
  Key(json, "line", at.line);
  Key(json, "column", at.column);
  Key(json, "endLine", at.endLine);
  Key(json, "endColumn", at.endColumn);
}

}  // namespace

std::string NotShownText(const ErrorsNotShown& notShown) {
  return std::to_string(notShown.count) + " more error" + (notShown.count == 1 ? "" : "s") +
         " not shown (--max-errors " + std::to_string(notShown.maxErrors) + ")" +
         (notShown.readToEnd ? "" : "; the rest of the file was not read");
}

// The lines of the files named in findings, read once each.
class TextReport::SourceLines {
 public:
  // The line, or null when the file or the line is not there.
  const std::string* Line(const std::string& file, int32_t line) {
    auto [entry, added] = files_.try_emplace(file);
    if (added) {
      std::ifstream in(file, std::ios::binary);
      for (std::string text; std::getline(in, text);) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        entry->second.push_back(std::move(text));
      }
    }
    const std::vector<std::string>& lines = entry->second;
    return line >= 1 && size_t(line) <= lines.size() ? &lines[size_t(line) - 1] : nullptr;
  }

 private:
  std::map<std::string, std::vector<std::string>> files_;
};

TextReport::TextReport(FILE* out) : out_(out), sources_(std::make_unique<SourceLines>()) {}
TextReport::~TextReport() = default;

// The source line and a caret under the column.
void TextReport::Show(const std::string& file, int32_t lineNumber, int32_t column) {
  const std::string* line = sources_->Line(file, lineNumber);
  if (!line) return;
  std::fprintf(out_, "%s\n", line->c_str());
  // Tabs stay tabs, so the caret stands under the column however they show.
  std::string caret;
  for (size_t i = 0; i + 1 < size_t(column) && i < line->size(); ++i) {
    caret += (*line)[i] == '\t' ? '\t' : ' ';
  }
  std::fprintf(out_, "%s^\n", caret.c_str());
}

void TextReport::WriteUpTo(std::span<const Diagnostic> findings,
                           std::span<const ErrorsNotShown> notShown, size_t end) {
  auto writeNotShown = [&](size_t position) {
    for (; notShownWritten_ < notShown.size() && notShown[notShownWritten_].position == position;
         ++notShownWritten_) {
      const ErrorsNotShown& kept = notShown[notShownWritten_];
      std::fprintf(out_, "%s: %s\n", kept.file.c_str(), NotShownText(kept).c_str());
    }
  };
  for (; written_ < end; ++written_) {
    writeNotShown(written_);
    const Diagnostic& finding = findings[written_];
    const Location& at = finding.location;
    std::fprintf(out_, "%s:%d:%d: %s: %s [%s]\n", at.file.c_str(), at.line, at.column,
                 SeverityName(finding.severity), finding.message.c_str(), finding.check.c_str());
    Show(at.file, at.line, at.column);
    if (finding.stoppedAt) {
      const Location& found = *finding.stoppedAt;
      std::fprintf(out_, "%s:%d:%d: note: %s\n", found.file.c_str(), found.line, found.column,
                   FoundNote(finding).c_str());
      Show(found.file, found.line, found.column);
    }
    for (const IncludeSite& site : finding.alsoReachedFrom) {
      std::fprintf(out_, "%s:%d:%d: note: %s\n", site.file.c_str(), site.line, site.column,
                   kAlsoReached);
      Show(site.file, site.line, site.column);
    }
  }
  writeNotShown(end);
  // The lines of the files shown so far are not kept for the next stretch.
  *sources_ = {};
}

void WriteText(FILE* out, std::span<const Diagnostic> findings,
               std::span<const ErrorsNotShown> notShown) {
  TextReport(out).WriteUpTo(findings, notShown, findings.size());
}

void WriteJson(FILE* out, std::span<const Diagnostic> findings,
               std::span<const ErrorsNotShown> notShown) {
  WriteJsonDocument(out, [&](JsonWriter& json) {
    json.StartObject();
    json.Key("findings");
    json.StartArray();
    for (const Diagnostic& finding : findings) {
      json.StartObject();
      PlaceKeys(json, finding.location);
      Key(json, "severity", SeverityName(finding.severity));
      Key(json, "check", finding.check);
      Key(json, "message", finding.message);
      IncludeSites(json, "includedFrom", finding.location.includedFrom);
      IncludeSites(json, "reachedFrom", finding.alsoReachedFrom);
      if (finding.stoppedAt) {
        json.Key("found");
        json.StartObject();
        PlaceKeys(json, *finding.stoppedAt);
        Key(json, "token", finding.stoppedToken);
        json.EndObject();
      }
      if (!finding.fixes.empty()) {
        json.Key("fixes");
        json.StartArray();
        for (const Edit& edit : finding.fixes) {
          json.StartObject();
          PlaceKeys(json, edit.at);
          Key(json, "text", edit.text);
          json.EndObject();
        }
        json.EndArray();
      }
      json.EndObject();
    }
    json.EndArray();
    Key(json, "errors", int32_t(Count(findings, Severity::kError)));
    Key(json, "warnings", int32_t(Count(findings, Severity::kWarning)));
    if (!notShown.empty()) {
      json.Key("errorsNotShown");
      json.StartArray();
      for (const ErrorsNotShown& file : notShown) {
        json.StartObject();
        Key(json, "file", file.file);
        json.Key("errors");
        json.Uint64(file.count);
        json.Key("readToEnd");
        json.Bool(file.readToEnd);
        json.Key("maxErrors");
        json.Uint64(file.maxErrors);
        json.EndObject();
      }
      json.EndArray();
    }
    json.EndObject();
  });
}

std::string PathUri(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri;
  for (unsigned char c : path) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 std::string_view("-._~/").find(char(c)) != std::string_view::npos;
    if (plain) {
      uri += char(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

namespace {

// {"physicalLocation": {"artifactLocation": {"uri": ...}, "region": ...}}.
void WriteLocation(JsonWriter& json, const Location& at) {
  json.StartObject();
  PhysicalLocation(json, at);
  json.EndObject();
}

// The #include lines through which a finding's file was read, innermost
// first, and the token where the reading stopped: SARIF's related locations.
void WriteRelatedLocations(JsonWriter& json, const Diagnostic& finding) {
  const std::vector<IncludeSite>& includes = finding.location.includedFrom;
  if (includes.empty() && !finding.stoppedAt) return;
  json.Key("relatedLocations");
  json.StartArray();
  int id = 0;
  auto related = [&](const Location& at, const std::string& text) {
    json.StartObject();
    json.Key("id");
    json.Int(id++);
    PhysicalLocation(json, at);
    json.Key("message");
    json.StartObject();
    Key(json, "text", text);
    json.EndObject();
    json.EndObject();
  };
  if (finding.stoppedAt) related(*finding.stoppedAt, FoundNote(finding));
  for (const IncludeSite& site : includes) {
    Location at{{site.file, site.line, site.column, site.line, site.column}, {}};
    related(at, "included from here");
  }
  for (const IncludeSite& site : finding.alsoReachedFrom) {
    Location at{{site.file, site.line, site.column, site.line, site.column}, {}};
    related(at, kAlsoReached);
  }
  json.EndArray();
}

// A fix as SARIF gives one: each edit a replacement of a region of its file.
void WriteFixes(JsonWriter& json, const Diagnostic& finding) {
  if (finding.fixes.empty()) return;
  json.Key("fixes");
  json.StartArray();
  json.StartObject();
  json.Key("description");
  json.StartObject();
  Key(json, "text", "replace with '" + finding.fixes.front().text + "'");
  json.EndObject();
  json.Key("artifactChanges");
  json.StartArray();
  for (const Edit& edit : finding.fixes) {
    json.StartObject();
    ArtifactLocation(json, edit.at.file);
    json.Key("replacements");
    json.StartArray();
    json.StartObject();
    Region(json, "deletedRegion", edit.at);
    json.Key("insertedContent");
    json.StartObject();
    Key(json, "text", edit.text);
    json.EndObject();
    json.EndObject();
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  json.EndArray();
}

// The run's invocation, with a note per source whose errors were kept back.
void WriteInvocation(JsonWriter& json, std::span<const ErrorsNotShown> notShown) {
  json.Key("invocations");
  json.StartArray();
  json.StartObject();
  json.Key("executionSuccessful");
  json.Bool(true);
  json.Key("toolExecutionNotifications");
  json.StartArray();
  for (const ErrorsNotShown& file : notShown) {
    json.StartObject();
    Key(json, "level", "note");
    json.Key("message");
    json.StartObject();
    Key(json, "text", NotShownText(file));
    json.EndObject();
    json.Key("locations");
    json.StartArray();
    json.StartObject();
    PhysicalLocation(json, file.file);
    json.EndObject();
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  json.EndArray();
}

}  // namespace

void WriteSarif(FILE* out, std::span<const Diagnostic> findings,
                std::span<const ErrorsNotShown> notShown, const std::string& version) {
  std::set<std::string> rules;
  for (const WarningCheck* warning : AllWarningChecks()) rules.emplace(warning->name);
  for (const Diagnostic& finding : findings) rules.insert(finding.check);
  WriteJsonDocument(out, [&](JsonWriter& json) {
    json.StartObject();
    Key(json, "$schema", "https://json.schemastore.org/sarif-2.1.0.json");
    Key(json, "version", "2.1.0");
    json.Key("runs");
    json.StartArray();
    json.StartObject();
    json.Key("tool");
    json.StartObject();
    json.Key("driver");
    json.StartObject();
    Key(json, "name", "qellint");
    Key(json, "version", version);
    json.Key("rules");
    json.StartArray();
    for (const std::string& rule : rules) {
      json.StartObject();
      Key(json, "id", rule);
      json.Key("shortDescription");
      json.StartObject();
      Key(json, "text", Summary(rule));
      json.EndObject();
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    json.EndObject();
    json.Key("results");
    json.StartArray();
    for (const Diagnostic& finding : findings) {
      json.StartObject();
      Key(json, "ruleId", finding.check);
      Key(json, "level", SeverityName(finding.severity));
      json.Key("message");
      json.StartObject();
      Key(json, "text", finding.message);
      json.EndObject();
      json.Key("locations");
      json.StartArray();
      WriteLocation(json, finding.location);
      json.EndArray();
      WriteRelatedLocations(json, finding);
      WriteFixes(json, finding);
      json.EndObject();
    }
    json.EndArray();
    if (!notShown.empty()) WriteInvocation(json, notShown);
    json.EndObject();
    json.EndArray();
    json.EndObject();
  });
}

}  // namespace qelc::lint
