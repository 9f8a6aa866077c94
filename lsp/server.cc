#include "lsp/server.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <map>
#include <optional>

#include "language/completion.h"
#include "language/formatting.h"
#include "language/lookup.h"
#include "language/source_facts.h"
#include "language/symbols.h"

namespace qelc::lsp {

namespace {

using rapidjson::Document;
using rapidjson::Value;
using Allocator = Document::AllocatorType;

// The command that names the source an included file is read through:
// arguments the included file's URI and the source's.
constexpr const char* kChooseSource = "qel.chooseSource";

// JSON-RPC's error codes, and the protocol's own.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kServerNotInitialized = -32002;
constexpr int kRequestFailed = -32803;

// A request that cannot be answered: its error's code and message.
struct RequestError {
  int code;
  std::string message;
};

std::string Serialized(const Value& value) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  value.Accept(writer);
  return std::string(buffer.GetString(), buffer.GetSize());
}

Value Text(std::string_view text, Allocator& allocator) {
  return Value(text.data(), rapidjson::SizeType(text.size()), allocator);
}

const Value* Member(const Value* object, const char* name) {
  if (!object || !object->IsObject()) return nullptr;
  auto member = object->FindMember(name);
  return member == object->MemberEnd() ? nullptr : &member->value;
}

std::string StringParam(const Value* object, const char* name) {
  const Value* value = Member(object, name);
  if (!value || !value->IsString()) {
    throw RequestError{kInvalidParams, std::string("'") + name + "' must be a string"};
  }
  return std::string(value->GetString(), value->GetStringLength());
}

// The path of the document a request names; a URI of another scheme names
// no file this server reads.
std::string DocumentPath(const Value* params) {
  std::string uri = StringParam(Member(params, "textDocument"), "uri");
  std::string path = language::PathOfUri(uri);
  if (path.empty()) throw RequestError{kInvalidParams, "not a file: URI: " + uri};
  return path;
}

int32_t IntParam(const Value* object, const char* name) {
  const Value* value = Member(object, name);
  if (!value || !value->IsInt() || value->GetInt() < 0) {
    throw RequestError{kInvalidParams, std::string("'") + name + "' must be a number from 0"};
  }
  return value->GetInt();
}

language::Position PositionParam(const Value* position) {
  return {IntParam(position, "line"), IntParam(position, "character")};
}

Value PositionJson(language::Position at, Allocator& allocator) {
  Value json(rapidjson::kObjectType);
  json.AddMember("line", at.line, allocator);
  json.AddMember("character", at.character, allocator);
  return json;
}

Value RangeJson(const language::Range& range, Allocator& allocator) {
  Value json(rapidjson::kObjectType);
  json.AddMember("start", PositionJson(range.start, allocator), allocator);
  json.AddMember("end", PositionJson(range.end, allocator), allocator);
  return json;
}

Value LocationJson(const language::Place& place, Allocator& allocator) {
  Value json(rapidjson::kObjectType);
  json.AddMember("uri", Text(language::UriOfPath(place.path), allocator), allocator);
  json.AddMember("range", RangeJson(place.range, allocator), allocator);
  return json;
}

Value LocationJson(const std::string& path, language::Range range, Allocator& allocator) {
  return LocationJson(language::Place{path, range}, allocator);
}

// A finding as the editor shows it: its range, and as related information
// the #include lines that reach its file and the token where the reading
// stopped.
Value DiagnosticJson(const Diagnostic& finding, language::LineIndexes& lines,
                     Allocator& allocator) {
  constexpr int kError = 1;
  constexpr int kWarning = 2;
  constexpr int kInformation = 3;
  int severity = finding.severity == Severity::kError     ? kError
                 : finding.severity == Severity::kWarning ? kWarning
                                                          : kInformation;
  Value json(rapidjson::kObjectType);
  json.AddMember("range", RangeJson(lines.RangeOf(finding.location), allocator), allocator);
  json.AddMember("severity", severity, allocator);
  json.AddMember("code", Text(finding.check, allocator), allocator);
  json.AddMember("source", "qellint", allocator);
  json.AddMember("message", Text(finding.message, allocator), allocator);
  Value related(rapidjson::kArrayType);
  auto relate = [&](Value location, std::string_view message) {
    Value information(rapidjson::kObjectType);
    information.AddMember("location", location, allocator);
    information.AddMember("message", Text(message, allocator), allocator);
    related.PushBack(information, allocator);
  };
  for (const IncludeSite& site : finding.location.includedFrom) {
    language::Range name =
        lines.Of(site.file).RangeOf(site.line, site.column, site.line, site.endColumn);
    relate(LocationJson(site.file, name, allocator), "included here");
  }
  if (finding.stoppedAt) {
    relate(LocationJson(finding.stoppedAt->file, lines.RangeOf(*finding.stoppedAt), allocator),
           "found " + finding.stoppedToken + " here");
  }
  if (!related.Empty()) json.AddMember("relatedInformation", related, allocator);
  return json;
}

Value SymbolJson(const language::Symbol& symbol, Allocator& allocator) {
  Value json(rapidjson::kObjectType);
  json.AddMember("name", Text(symbol.name, allocator), allocator);
  if (!symbol.detail.empty()) json.AddMember("detail", Text(symbol.detail, allocator), allocator);
  json.AddMember("kind", int(symbol.kind), allocator);
  json.AddMember("range", RangeJson(symbol.range, allocator), allocator);
  json.AddMember("selectionRange", RangeJson(symbol.selection, allocator), allocator);
  Value children(rapidjson::kArrayType);
  for (const language::Symbol& child : symbol.children) {
    children.PushBack(SymbolJson(child, allocator), allocator);
  }
  json.AddMember("children", children, allocator);
  return json;
}

Value Capabilities(Allocator& allocator) {
  constexpr int kIncremental = 2;
  Value sync(rapidjson::kObjectType);
  sync.AddMember("openClose", true, allocator);
  sync.AddMember("change", kIncremental, allocator);
  Value triggers(rapidjson::kArrayType);
  triggers.PushBack(".", allocator);
  triggers.PushBack(" ", allocator);
  Value completion(rapidjson::kObjectType);
  completion.AddMember("triggerCharacters", triggers, allocator);
  Value capabilities(rapidjson::kObjectType);
  capabilities.AddMember("textDocumentSync", sync, allocator);
  capabilities.AddMember("hoverProvider", true, allocator);
  capabilities.AddMember("definitionProvider", true, allocator);
  capabilities.AddMember("documentSymbolProvider", true, allocator);
  capabilities.AddMember("completionProvider", completion, allocator);
  capabilities.AddMember("documentFormattingProvider", true, allocator);
  Value codeActions(rapidjson::kObjectType);
  Value kinds(rapidjson::kArrayType);
  kinds.PushBack("quickfix", allocator);
  codeActions.AddMember("codeActionKinds", kinds, allocator);
  capabilities.AddMember("codeActionProvider", codeActions, allocator);
  capabilities.AddMember("documentRangeFormattingProvider", true, allocator);
  capabilities.AddMember("referencesProvider", true, allocator);
  Value rename(rapidjson::kObjectType);
  rename.AddMember("prepareProvider", true, allocator);
  capabilities.AddMember("renameProvider", rename, allocator);
  capabilities.AddMember("foldingRangeProvider", true, allocator);
  Value commands(rapidjson::kArrayType);
  commands.PushBack(Value(kChooseSource, allocator), allocator);
  Value execute(rapidjson::kObjectType);
  execute.AddMember("commands", commands, allocator);
  capabilities.AddMember("executeCommandProvider", execute, allocator);
  return capabilities;
}

// The folder named by a `root` option: absolute, or relative to `base`.
std::string RootOption(const Value* options, const std::string& base) {
  const Value* root = Member(options, "root");
  if (!root || !root->IsString() || root->GetStringLength() == 0) return "";
  std::string named(root->GetString(), root->GetStringLength());
  return named.starts_with('/') ? named : base + "/" + named;
}

}  // namespace

// The handling of one message: what every method reads and answers.
class Server::Dispatch {
 public:
  Dispatch(Server& server, Allocator& allocator) : server_(server), allocator_(allocator) {}

  // The result of a request; throws a RequestError.
  Value Request(const std::string& method, const Value* params) {
    using Handler = Value (Dispatch::*)(const Value*);
    static constexpr std::pair<const char*, Handler> kRequests[] = {
        {"initialize", &Dispatch::Initialize},
        {"shutdown", &Dispatch::Shutdown},
        {"textDocument/hover", &Dispatch::Hover},
        {"textDocument/definition", &Dispatch::Definition},
        {"textDocument/documentSymbol", &Dispatch::DocumentSymbol},
        {"textDocument/completion", &Dispatch::Completion},
        {"textDocument/formatting", &Dispatch::Formatting},
        {"textDocument/codeAction", &Dispatch::CodeAction},
        {"textDocument/rangeFormatting", &Dispatch::RangeFormatting},
        {"textDocument/references", &Dispatch::References},
        {"textDocument/prepareRename", &Dispatch::PrepareRename},
        {"textDocument/rename", &Dispatch::Rename},
        {"textDocument/foldingRange", &Dispatch::FoldingRange},
        {"workspace/executeCommand", &Dispatch::ExecuteCommand},
    };
    for (const auto& [name, handler] : kRequests) {
      if (method == name) return (this->*handler)(params);
    }
    throw RequestError{kMethodNotFound, "no method " + method};
  }

  void Notification(const std::string& method, const Value* params) {
    // Any notification may change what a source reads: a text of the editor's,
    // the root, or a file on the disk (a save).
    server_.views_.clear();
    if (method == "textDocument/didOpen") {
      const Value* document = Member(params, "textDocument");
      std::string path = DocumentPath(params);
      server_.files_.Open(path, StringParam(document, "text"));
      server_.Relint(path);
      if (!language::IsSource(path)) server_.PublishIncluded(path);
    } else if (method == "textDocument/didChange") {
      DidChange(params);
    } else if (method == "textDocument/didClose") {
      std::string path = DocumentPath(params);
      server_.files_.Close(path);
      server_.Relint(path);
      // Takes back what was published for an included file read alone.
      if (server_.chosenSources_.contains(path)) server_.PublishIncluded(path);
    } else if (method == "workspace/didChangeConfiguration") {
      std::string root = RootOption(Member(Member(params, "settings"), "qel"), server_.base_);
      if (!root.empty()) SetRoot(root);
    }
    // Other notifications ($/cancelRequest, didSave, ...) change nothing here.
  }

 private:
  Value Initialize(const Value* params) {
    if (server_.initialized_) throw RequestError{kInvalidRequest, "initialize came twice"};
    std::string root;
    if (const Value* uri = Member(params, "rootUri"); uri && uri->IsString()) {
      root = language::PathOfUri(uri->GetString());
    }
    if (const Value* folders = Member(params, "workspaceFolders");
        root.empty() && folders && folders->IsArray() && !folders->Empty()) {
      root = language::PathOfUri(StringParam(&(*folders)[0], "uri"));
    }
    if (const Value* path = Member(params, "rootPath"); root.empty() && path && path->IsString()) {
      root = path->GetString();
    }
    if (root.empty()) root = ".";
    server_.base_ = root;
    std::string named = RootOption(Member(params, "initializationOptions"), server_.base_);
    SetRoot(named.empty() ? root : named);
    server_.initialized_ = true;
    Value result(rapidjson::kObjectType);
    result.AddMember("capabilities", Capabilities(allocator_), allocator_);
    Value info(rapidjson::kObjectType);
    info.AddMember("name", "qel-language-server", allocator_);
    result.AddMember("serverInfo", info, allocator_);
    return result;
  }

  Value Shutdown(const Value*) {
    server_.shutDown_ = true;
    return Value();
  }

  void DidChange(const Value* params) {
    std::string path = DocumentPath(params);
    auto open = server_.files_.Text(path);
    if (!open) throw RequestError{kInvalidParams, "a change to a document not open: " + path};
    const Value* changes = Member(params, "contentChanges");
    if (!changes || !changes->IsArray()) {
      throw RequestError{kInvalidParams, "'contentChanges' must be a list"};
    }
    std::string text = *open;
    for (const Value& change : changes->GetArray()) {
      std::string replacement = StringParam(&change, "text");
      const Value* range = Member(&change, "range");
      if (!range) {
        text = std::move(replacement);
        continue;
      }
      language::LineIndex lines(text);
      size_t start = lines.OffsetOf(PositionParam(Member(range, "start")));
      size_t end = lines.OffsetOf(PositionParam(Member(range, "end")));
      if (end < start) throw RequestError{kInvalidParams, "a range that ends before it starts"};
      text.replace(start, end - start, replacement);
    }
    server_.files_.Open(path, std::move(text));
    server_.Relint(path);
    if (!language::IsSource(path)) server_.PublishIncluded(path);
  }

  // The facts of the source that reads the document a request names; nothing
  // where no source reads it. A source is read once for all the requests
  // between two notifications.
  const language::SourceView* View(const std::string& path) {
    std::string source = server_.SourceFor(path);
    if (source.empty()) return nullptr;
    auto& view = server_.views_[source];
    if (!view) view = std::make_unique<language::SourceView>(server_.files_, source);
    return view.get();
  }

  Value Hover(const Value* params) {
    std::string path = DocumentPath(params);
    language::Position at = PositionParam(Member(params, "position"));
    auto view = View(path);
    if (!view) return Value();
    auto hover = language::HoverAt(*view, path, at);
    if (!hover) return Value();
    Value contents(rapidjson::kObjectType);
    contents.AddMember("kind", "markdown", allocator_);
    contents.AddMember("value", Text(hover->markdown, allocator_), allocator_);
    Value result(rapidjson::kObjectType);
    result.AddMember("contents", contents, allocator_);
    result.AddMember("range", RangeJson(hover->range, allocator_), allocator_);
    return result;
  }

  // The places `ask(view, path, position)` gives for the document and position
  // a request names, as a list of locations.
  template <typename Ask>
  Value Places(const Value* params, Ask ask) {
    std::string path = DocumentPath(params);
    language::Position at = PositionParam(Member(params, "position"));
    Value result(rapidjson::kArrayType);
    auto view = View(path);
    if (!view) return result;
    for (const language::Place& place : ask(*view, path, at)) {
      result.PushBack(LocationJson(place, allocator_), allocator_);
    }
    return result;
  }

  Value Definition(const Value* params) { return Places(params, language::DefinitionsAt); }

  Value References(const Value* params) {
    const Value* declaration = Member(Member(params, "context"), "includeDeclaration");
    bool withDefinitions = !declaration || !declaration->IsBool() || declaration->GetBool();
    return Places(params, [withDefinitions](const language::SourceView& view,
                                            const std::string& path, language::Position at) {
      return language::ReferencesAt(view, path, at, withDefinitions);
    });
  }

  Value PrepareRename(const Value* params) {
    std::string path = DocumentPath(params);
    language::Position at = PositionParam(Member(params, "position"));
    auto view = View(path);
    if (!view) return Value();
    auto target = language::PrepareRename(*view, path, at);
    if (!target) return Value();
    Value result(rapidjson::kObjectType);
    result.AddMember("range", RangeJson(target->at.range, allocator_), allocator_);
    result.AddMember("placeholder", Text(target->name, allocator_), allocator_);
    return result;
  }

  Value Rename(const Value* params) {
    std::string path = DocumentPath(params);
    language::Position at = PositionParam(Member(params, "position"));
    std::string newName = StringParam(params, "newName");
    auto view = View(path);
    if (!view) throw RequestError{kRequestFailed, "no source reads " + path};
    language::RenameEdits edits = language::RenameAt(*view, path, at, newName);
    if (!edits.refusal.empty()) throw RequestError{kRequestFailed, edits.refusal};
    Value changes(rapidjson::kObjectType);
    for (const auto& [file, fileEdits] : edits.byPath) {
      Value list(rapidjson::kArrayType);
      for (const language::TextEdit& edit : fileEdits) {
        Value json(rapidjson::kObjectType);
        json.AddMember("range", RangeJson(edit.range, allocator_), allocator_);
        json.AddMember("newText", Text(edit.newText, allocator_), allocator_);
        list.PushBack(json, allocator_);
      }
      changes.AddMember(Text(language::UriOfPath(file), allocator_), list, allocator_);
    }
    Value result(rapidjson::kObjectType);
    result.AddMember("changes", changes, allocator_);
    return result;
  }

  Value FoldingRange(const Value* params) {
    std::string path = DocumentPath(params);
    Value result(rapidjson::kArrayType);
    auto view = View(path);
    if (!view) return result;
    for (const language::FoldingRange& fold : language::FoldingRanges(*view, path)) {
      Value json(rapidjson::kObjectType);
      json.AddMember("startLine", fold.startLine, allocator_);
      json.AddMember("endLine", fold.endLine, allocator_);
      result.PushBack(json, allocator_);
    }
    return result;
  }

  Value ExecuteCommand(const Value* params) {
    std::string command = StringParam(params, "command");
    if (command != kChooseSource) throw RequestError{kInvalidParams, "no command " + command};
    const Value* arguments = Member(params, "arguments");
    if (!arguments || !arguments->IsArray() || arguments->Size() != 2 ||
        !(*arguments)[0].IsString() || !(*arguments)[1].IsString()) {
      throw RequestError{kInvalidParams, std::string(kChooseSource) +
                                             " takes an included file's URI and a source's"};
    }
    std::string path = language::PathOfUri((*arguments)[0].GetString());
    std::string source = language::PathOfUri((*arguments)[1].GetString());
    if (path.empty() || !language::IsSource(source)) {
      throw RequestError{kInvalidParams,
                         "not an included file and a source: " + path + ", " + source};
    }
    server_.ChooseSource(path, source);
    return Value();
  }

  Value DocumentSymbol(const Value* params) {
    std::string path = DocumentPath(params);
    Value result(rapidjson::kArrayType);
    auto view = View(path);
    if (!view) return result;
    for (const language::Symbol& symbol : language::DocumentSymbols(*view, path)) {
      result.PushBack(SymbolJson(symbol, allocator_), allocator_);
    }
    return result;
  }

  Value Completion(const Value* params) {
    std::string path = DocumentPath(params);
    auto text = server_.files_.Text(path);
    Value result(rapidjson::kArrayType);
    if (!text) return result;
    for (const language::Completion& item : language::CompletionsAt(
             *text, language::IsSoftIpSource(path), PositionParam(Member(params, "position")))) {
      Value json(rapidjson::kObjectType);
      json.AddMember("label", Text(item.label, allocator_), allocator_);
      json.AddMember("kind", int(item.kind), allocator_);
      if (!item.detail.empty()) json.AddMember("detail", Text(item.detail, allocator_), allocator_);
      result.PushBack(json, allocator_);
    }
    return result;
  }

  // Quick fixes of the findings in the range asked about: each a workspace
  // edit with the finding it fixes.
  Value CodeAction(const Value* params) {
    std::string path = DocumentPath(params);
    Value result(rapidjson::kArrayType);
    if (!server_.files_.Text(path)) return result;
    const Value* range = Member(params, "range");
    language::Range asked{PositionParam(Member(range, "start")),
                          PositionParam(Member(range, "end"))};
    language::LineIndexes lines(server_.files_);
    for (const language::QuickFix& fix : language::QuickFixesAt(server_.files_, path, asked)) {
      Value changes(rapidjson::kObjectType);
      for (const auto& edit : fix.edits) {
        std::string uri = language::UriOfPath(edit.at.path);
        if (!changes.HasMember(uri.c_str())) {
          changes.AddMember(Text(uri, allocator_), Value(rapidjson::kArrayType), allocator_);
        }
        Value textEdit(rapidjson::kObjectType);
        textEdit.AddMember("range", RangeJson(edit.at.range, allocator_), allocator_);
        textEdit.AddMember("newText", Text(edit.text, allocator_), allocator_);
        changes[uri.c_str()].PushBack(textEdit, allocator_);
      }
      Value edit(rapidjson::kObjectType);
      edit.AddMember("changes", changes, allocator_);
      Value fixed(rapidjson::kArrayType);
      fixed.PushBack(DiagnosticJson(fix.finding, lines, allocator_), allocator_);
      Value action(rapidjson::kObjectType);
      action.AddMember("title", Text(fix.title, allocator_), allocator_);
      action.AddMember("kind", "quickfix", allocator_);
      action.AddMember("diagnostics", fixed, allocator_);
      action.AddMember("isPreferred", true, allocator_);
      action.AddMember("edit", edit, allocator_);
      result.PushBack(action, allocator_);
    }
    return result;
  }

  Value Formatting(const Value* params) {
    std::string path = OpenPath(params);
    return Edits(language::FormatDocument(server_.files_, path));
  }

  Value RangeFormatting(const Value* params) {
    std::string path = OpenPath(params);
    const Value* range = Member(params, "range");
    language::Range lines{PositionParam(Member(range, "start")),
                          PositionParam(Member(range, "end"))};
    return Edits(language::FormatRange(server_.files_, path, lines));
  }

  std::string OpenPath(const Value* params) {
    std::string path = DocumentPath(params);
    if (!server_.files_.Text(path)) {
      throw RequestError{kInvalidParams, "not an open document: " + path};
    }
    return path;
  }

  // A refusal is shown to the user and answered with no edits: the editor
  // leaves the document as it is and shows the reason once (a failed request
  // would also be shown, or only logged, depending on the editor).
  Value Edits(const language::Formatted& formatted) {
    Value result(rapidjson::kArrayType);
    if (!formatted.edits) {
      server_.ShowWarning(formatted.refusal);
      return result;
    }
    for (const language::TextEdit& edit : *formatted.edits) {
      Value json(rapidjson::kObjectType);
      json.AddMember("range", RangeJson(edit.range, allocator_), allocator_);
      json.AddMember("newText", Text(edit.newText, allocator_), allocator_);
      result.PushBack(json, allocator_);
    }
    return result;
  }

  void SetRoot(const std::string& root) {
    server_.views_.clear();
    server_.files_.SetRoot(root);
    server_.log_("workspace root: " + server_.files_.Root());
    for (const auto& [path, text] : server_.files_.Texts()) server_.Relint(path);
  }

  Server& server_;
  Allocator& allocator_;
};

Server::Server(Send send, Log log, std::chrono::milliseconds quiet)
    : send_(std::move(send)),
      log_(std::move(log)),
      worker_(std::make_unique<DiagnosticsWorker>(
          quiet, [this](const std::string& path, const std::vector<Diagnostic>& findings,
                        language::LineIndexes& lines) { Publish(path, findings, lines); })) {}

Server::~Server() = default;

void Server::SendLocked(std::string_view body) {
  std::lock_guard lock(sending_);
  send_(body);
}

void Server::Relint(const std::string& changedPath) {
  // An included file's change may change what every open source reports.
  if (language::IsSource(changedPath)) {
    // The source may now include a file that no source included before.
    std::erase_if(chosenSources_, [](const auto& chosen) { return chosen.second.empty(); });
    worker_->Changed(changedPath, files_);
    return;
  }
  for (const auto& [path, text] : files_.Texts()) {
    if (language::IsSource(path)) worker_->Changed(path, files_);
  }
}

std::string Server::SourceFor(const std::string& path) {
  if (language::IsSource(path)) return path;
  if (auto chosen = chosenSources_.find(path); chosen != chosenSources_.end())
    return chosen->second;
  std::vector<std::string> sources = language::SourcesIncluding(files_, path);
  if (sources.empty()) {
    chosenSources_[path] = "";  // until a source changes
    return "";
  }
  ChooseSource(path, sources.front());
  return sources.front();
}

void Server::ChooseSource(const std::string& path, const std::string& source) {
  chosenSources_[path] = source;
  Document message(rapidjson::kObjectType);
  Allocator& allocator = message.GetAllocator();
  constexpr int kInfo = 3;
  Value params(rapidjson::kObjectType);
  params.AddMember("type", kInfo, allocator);
  std::string text = files_.SourceName(path) + " is read as the source " +
                     files_.SourceName(source) + " includes it; the command " + kChooseSource +
                     " chooses another source";
  params.AddMember("message", Text(text, allocator), allocator);
  message.AddMember("jsonrpc", "2.0", allocator);
  message.AddMember("method", "window/showMessage", allocator);
  message.AddMember("params", params, allocator);
  SendLocked(Serialized(message));
  if (files_.Text(path)) PublishIncluded(path);
}

void Server::PublishIncluded(const std::string& path) {
  std::string source = SourceFor(path);
  // An open source that includes the file publishes its findings there itself.
  if (source.empty() || files_.Text(source)) return;
  std::vector<Diagnostic> found;
  if (files_.Text(path)) {
    for (Diagnostic& finding : language::LintDocument(files_, source)) {
      if (finding.location.file == path) found.push_back(std::move(finding));
    }
  }
  language::LineIndexes lines(files_);
  Publish(path, found, lines);
}

void Server::Publish(const std::string& path, const std::vector<Diagnostic>& findings,
                     language::LineIndexes& lines) {
  Document message(rapidjson::kObjectType);
  Allocator& allocator = message.GetAllocator();
  Value diagnostics(rapidjson::kArrayType);
  for (const Diagnostic& finding : findings) {
    diagnostics.PushBack(DiagnosticJson(finding, lines, allocator), allocator);
  }
  Value params(rapidjson::kObjectType);
  params.AddMember("uri", Text(language::UriOfPath(path), allocator), allocator);
  params.AddMember("diagnostics", diagnostics, allocator);
  message.AddMember("jsonrpc", "2.0", allocator);
  message.AddMember("method", "textDocument/publishDiagnostics", allocator);
  message.AddMember("params", params, allocator);
  SendLocked(Serialized(message));
}

void Server::ShowWarning(std::string_view text) {
  constexpr int kWarning = 2;
  Document message(rapidjson::kObjectType);
  Allocator& allocator = message.GetAllocator();
  Value params(rapidjson::kObjectType);
  params.AddMember("type", kWarning, allocator);
  params.AddMember("message", Text(text, allocator), allocator);
  message.AddMember("jsonrpc", "2.0", allocator);
  message.AddMember("method", "window/showMessage", allocator);
  message.AddMember("params", params, allocator);
  SendLocked(Serialized(message));
}

void Server::Malformed(std::string_view problem) {
  log_("malformed message: " + std::string(problem));
}

bool Server::Handle(std::string_view body) {
  Document message;
  Document reply(rapidjson::kObjectType);
  Allocator& allocator = reply.GetAllocator();
  auto answer = [&](const Value* id, std::optional<RequestError> error, Value result) {
    reply.AddMember("jsonrpc", "2.0", allocator);
    reply.AddMember("id", id ? Value(*id, allocator) : Value(), allocator);
    if (error) {
      log_("error " + std::to_string(error->code) + ": " + error->message);
      Value json(rapidjson::kObjectType);
      json.AddMember("code", error->code, allocator);
      json.AddMember("message", Text(error->message, allocator), allocator);
      reply.AddMember("error", json, allocator);
    } else {
      reply.AddMember("result", result, allocator);
    }
    SendLocked(Serialized(reply));
  };
  message.Parse(body.data(), body.size());
  if (message.HasParseError()) {
    answer(nullptr, RequestError{kParseError, "the message is not JSON"}, Value());
    return true;
  }
  const Value* id = Member(&message, "id");
  if (id && !id->IsString() && !id->IsInt64()) id = nullptr;
  const Value* method = Member(&message, "method");
  if (!method || !method->IsString()) {
    // A response to a request of ours (none is sent) needs no answer.
    bool response = Member(&message, "result") || Member(&message, "error");
    if (!response) answer(id, RequestError{kInvalidRequest, "a message without a method"}, {});
    return true;
  }
  std::string name(method->GetString(), method->GetStringLength());
  if (name == "exit") return false;
  const Value* params = Member(&message, "params");
  bool request = Member(&message, "id") != nullptr;
  Dispatch dispatch(*this, allocator);
  try {
    if (!initialized_ && name != "initialize") {
      if (request) throw RequestError{kServerNotInitialized, "initialize comes first"};
      return true;
    }
    if (shutDown_) {
      if (request) throw RequestError{kInvalidRequest, "the server was shut down"};
      return true;
    }
    if (request) {
      answer(id, std::nullopt, dispatch.Request(name, params));
    } else {
      dispatch.Notification(name, params);
    }
  } catch (const RequestError& error) {
    if (request) {
      answer(id, error, Value());
    } else {
      log_(name + ": " + error.message);
    }
  }
  return true;
}

}  // namespace qelc::lsp
