#include "tables/dump_stream.h"

#include <sys/resource.h>

#include <charconv>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>

#include "source/files.h"

namespace qelc {

// The thread that writes one stream's pieces to its file, one at a time, in
// the order they are handed over; a failed write shows in ferror. A file that
// holds old bytes is emptied first.
class DumpStream::PieceWriter {
 public:
  PieceWriter(FILE* file, bool mustEmpty)
      : file_(file), mustEmpty_(mustEmpty), text_(file), thread_([this] { Run(); }) {}

  // Writes what is in flight, then ends the thread.
  ~PieceWriter() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }

  bool Busy() {
    std::lock_guard lock(mutex_);
    return piece_ != nullptr;
  }

  // Waits until the piece in flight is written.
  void Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !piece_; });
  }

  // Writes `size` bytes at `piece`, with the lines of `later` in their places,
  // after the piece before, which it waits for; they must stay as they are
  // until the next Wait or Write.
  void Write(const char* piece, size_t size, const dump_format::LaterLine* later,
             size_t laterCount) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return !piece_; });
      piece_ = piece;
      size_ = size;
      later_ = later;
      laterCount_ = laterCount;
    }
    changed_.notify_all();
  }

 private:
  void Run() {
    if (mustEmpty_) EmptyOldBytes(file_);
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return piece_ || stopping_; });
      if (!piece_) return;
      const char* piece = piece_;
      size_t size = size_;
      const dump_format::LaterLine* later = later_;
      size_t laterCount = laterCount_;
      lock.unlock();
      text_.Write(piece, size, later, laterCount);
      text_.Flush();
      lock.lock();
      piece_ = nullptr;
      changed_.notify_all();
    }
  }

  FILE* const file_;
  const bool mustEmpty_;
  dump_format::PieceText text_;
  std::mutex mutex_;
  std::condition_variable changed_;
  // The piece in flight, under mutex_.
  const char* piece_ = nullptr;
  size_t size_ = 0;
  const dump_format::LaterLine* later_ = nullptr;
  size_t laterCount_ = 0;
  bool stopping_ = false;
  std::thread thread_;  // last: it starts once the rest is set up
};

DumpStream::DumpStream(Diagnostics& diagnostics) : diagnostics_(diagnostics) {}
DumpStream::~DumpStream() { Drop(); }

void DumpStream::HandOff(size_t room) {
  if (threaded_ && !writer_) {
    try {
      writer_ = std::make_unique<PieceWriter>(file_.get(), mustEmpty_);
      mustEmpty_ = false;
    } catch (const std::system_error&) {
      // No thread to be had: the stream writes on this one.
      threaded_ = false;
    }
  }
  if (!writer_) {
    WritePendingDirectly();
    return;
  }
  // While the writer is busy, whichever of the text and its lines written
  // later is full grows, as long as it may.
  const bool textFull = pendingCapacity_ - pendingSize_ < room;
  const bool linesFull = later_.size() == laterLimit_;
  if (writer_->Busy() && (!textFull || pendingCapacity_ < kLargestPiece) &&
      (!linesFull || laterLimit_ < kMostLaterLines)) {
    if (textFull) {
      std::unique_ptr<char[]> larger = std::make_unique<char[]>(2 * pendingCapacity_);
      std::memcpy(larger.get(), pending_.get(), pendingSize_);
      pending_ = std::move(larger);
      pendingCapacity_ *= 2;
    }
    if (linesFull) laterLimit_ *= 2;
    return;
  }
  writer_->Write(pending_.get(), pendingSize_, later_.data(), later_.size());
  std::swap(pending_, inFlight_);
  std::swap(pendingCapacity_, inFlightCapacity_);
  std::swap(later_, inFlightLater_);
  if (!pending_) {
    pending_ = std::make_unique<char[]>(kPendingSize);
    pendingCapacity_ = kPendingSize;
  }
  pendingSize_ = 0;
  later_.clear();
}

void DumpStream::Settle() {
  if (writer_) writer_->Wait();
  if (mustEmpty_) {
    EmptyOldBytes(file_.get());
    mustEmpty_ = false;
  }
}

void DumpStream::WritePendingDirectly() {
  Settle();
  dump_format::PieceText text(file_.get());
  text.Write(pending_.get(), pendingSize_, later_.data(), later_.size());
  pendingSize_ = 0;
  later_.clear();
}

void DumpStream::Finish() {
  writer_.reset();
  WritePendingDirectly();
}

namespace dump_format {

void PieceText::Write(const char* bytes, size_t size, const LaterLine* later, size_t count) {
  if (count == 0) {
    // Nothing to put among the bytes: they go as they are.
    Flush();
    std::fwrite(bytes, 1, size, file_);
    return;
  }
  size_t written = 0;
  for (const LaterLine* line = later; line != later + count; ++line) {
    PutBytes(bytes + written, line->offset - written);
    written = line->offset;
    line->write(*line, *this);
  }
  PutBytes(bytes + written, size - written);
}

void PieceText::Flush() {
  if (size_ > 0) std::fwrite(text_, 1, size_, file_);
  size_ = 0;
}

}  // namespace dump_format

// printf onto the stream. The conversions that the dumps use by far the most,
// %s and %d with at most a width, are written here with the same bytes:
// vfprintf would spend most of a large dump's time on them. From the first
// other conversion on, vfprintf writes the rest of the format with the
// arguments that are left.
//
// The text goes straight into the waiting buffer a byte at a time: the pieces
// of a dump line are short, and a test for the end of the buffer per byte costs
// less than measuring each piece first. The place written is kept in a local,
// so that it stays in a register.
void DumpStream::PutFormatted(const char* format, va_list args) {
  char* begin = pending_.get();
  char* end = begin + pendingCapacity_;
  char* out = begin + pendingSize_;
  auto put = [&](char c) {
    if (out == end) [[unlikely]] {
      pendingSize_ = pendingCapacity_;
      HandOff(1);
      begin = pending_.get();
      end = begin + pendingCapacity_;
      out = begin + pendingSize_;
    }
    *out++ = c;
  };
  auto putPadded = [&](std::string_view text, int width) {
    for (size_t i = text.size(); i < size_t(width); ++i) put(' ');
    for (char c : text) put(c);
  };
  for (const char* p = format; *p;) {
    if (*p != '%') {
      put(*p++);
      continue;
    }
    const char* conversion = p++;
    if (*p == '%') {
      put(*p++);
      continue;
    }
    int width = 0;
    if (*p >= '1' && *p <= '9') {
      while (*p >= '0' && *p <= '9') width = width * 10 + (*p++ - '0');
    }
    if (*p == 's') {
      const char* text = va_arg(args, const char*);
      if (!text) text = "(null)";
      if (width > 0) {
        putPadded(text, width);
      } else {
        while (*text) put(*text++);
      }
    } else if (*p == 'd') {
      char digits[16];
      char* digitsEnd = std::to_chars(digits, digits + sizeof digits, va_arg(args, int)).ptr;
      putPadded(std::string_view(digits, size_t(digitsEnd - digits)), width);
    } else {
      pendingSize_ = size_t(out - begin);
      WritePendingDirectly();
      std::vfprintf(file_.get(), conversion, args);
      return;
    }
    ++p;
  }
  pendingSize_ = size_t(out - begin);
}

void DumpStream::PutBytesAfterWriting(const char* bytes, size_t size) {
  if (size < kPendingSize) {
    // The piece handed off leaves room for a text shorter than the smallest
    // piece, and so does a piece that grew.
    HandOff(size);
    std::memcpy(pending_.get() + pendingSize_, bytes, size);
    pendingSize_ += size;
  } else {
    WritePendingDirectly();
    std::fwrite(bytes, 1, size, file_.get());
  }
}

void DumpStream::Open(FilePtr file, std::string path, bool mustEmpty) {
  Drop();
  file_ = std::move(file);
  path_ = std::move(path);
  mustEmpty_ = mustEmpty;
  if (!pending_) {
    pending_ = std::make_unique<char[]>(kPendingSize);
    pendingCapacity_ = kPendingSize;
  }
  // Under a file-size limit a write past it may end the process (SIGXFSZ):
  // every write then keeps its moment on this thread, and the file is emptied
  // now, so that what the run printed and left before it ended stays the same.
  rlimit limit;
  threaded_ = getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur == RLIM_INFINITY;
  if (!threaded_) Settle();
  laterLimit_ = kLaterLines;
  if (threaded_) later_.reserve(kLaterLines);
}

void DumpStream::SettleIfSame(FILE* read, FileSystem& files) {
  if (file_ && files.SameFile(read, file_.get())) Settle();
}

void DumpStream::Print(const char* format, ...) {
  if (!file_) return;
  va_list args;
  va_start(args, format);
  PutFormatted(format, args);
  va_end(args);
}

void DumpStream::Flush() {
  if (!file_) return;
  Finish();
  if (std::fflush(file_.get()) != 0 || std::ferror(file_.get()) != 0)
    diagnostics_.WriteFailed(path_);
}

void DumpStream::Close() {
  if (!file_) return;
  Finish();
  bool failed = std::ferror(file_.get()) != 0;
  failed = std::fclose(file_.release()) != 0 || failed;
  if (failed) diagnostics_.WriteFailed(path_);
}

void DumpStream::Drop() {
  if (!file_) return;
  Finish();
  file_.reset();
}

}  // namespace qelc
