#pragma once

// The language server's protocol layer: turns JSON-RPC messages into calls on
// the language layer (language/), which knows nothing of JSON, and its answers
// into messages.

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "language/source_facts.h"
#include "language/workspace.h"
#include "lsp/diagnostics_worker.h"

namespace qelc::lsp {

class Server {
 public:
  // `send` is given each message's JSON body, from the thread that handles a
  // request and from the diagnostics worker's (one at a time); `log` a line
  // for the server's own log.
  using Send = std::function<void(std::string_view body)>;
  using Log = std::function<void(std::string_view line)>;

  Server(Send send, Log log, std::chrono::milliseconds quiet = std::chrono::milliseconds(20));
  ~Server();

  // Handles one message's body. False once the `exit` notification came.
  bool Handle(std::string_view body);

  // Answers a message that could not be read: its header was malformed.
  void Malformed(std::string_view problem);

  // The status the program ends with: 0 after shutdown and exit, else 1.
  int ExitStatus() const { return shutDown_ ? 0 : 1; }

 private:
  class Dispatch;

  void SendLocked(std::string_view body);
  void Publish(const std::string& path, const std::vector<Diagnostic>& findings,
               language::LineIndexes& lines);
  void Relint(const std::string& changedPath);
  // window/showMessage: `text` shown to the user as a warning.
  void ShowWarning(std::string_view text);
  // The source whose reading answers for the file `path`: the file itself when
  // it is a source; for an included file, the one chosen for it (the first of
  // the workspace's sources that include it, until the user chooses another).
  // Empty when no source reads it.
  std::string SourceFor(const std::string& path);
  void ChooseSource(const std::string& path, const std::string& source);
  // An included file open without a source that includes it: its findings in
  // the run of the source chosen for it (none once it is closed).
  void PublishIncluded(const std::string& path);

  Send send_;
  Log log_;
  std::mutex sending_;
  language::Workspace files_;
  std::string base_;  // the editor's root folder, against which a `root` option is read
  // Included file -> the source it is read through (empty: no source of the
  // workspace includes it, until a source changes).
  std::map<std::string, std::string> chosenSources_;
  // Source -> its facts, read for a request and kept until the next
  // notification.
  std::map<std::string, std::unique_ptr<language::SourceView>> views_;
  bool initialized_ = false;
  bool shutDown_ = false;
  std::unique_ptr<DiagnosticsWorker> worker_;  // last: stops before the rest goes
};

}  // namespace qelc::lsp
