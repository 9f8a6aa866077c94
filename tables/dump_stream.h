#pragma once

#include <string>

namespace qelc {

// The text stream every table dump writes to: Out.txt, or the .dec file while
// an IPB file is decoded. Returns false when the file cannot be created.
bool OpenDumpStream(const std::string& path);

// printf onto the dump stream; nothing happens when no stream is open.
void Dump(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Pushes what was dumped so far to the file; a write that failed is reported now
// ("Fail to write %s.") and ends the run. Called before an output file is written,
// so that no output file exists after Out.txt failed.
void FlushDumpStream();

// Closes the stream. A write that failed is reported now ("Fail to write %s.")
// and ends the run.
void CloseDumpStream();

// Closes the stream without looking at it: the end of a run that failed.
void DropDumpStream();

}  // namespace qelc
