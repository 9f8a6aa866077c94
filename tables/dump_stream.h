#pragma once

#include <array>
#include <charconv>
#include <cstdarg>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "source/diagnostics.h"
#include "source/text_reader.h"

namespace qelc {

class FileSystem;

// A format of the dump taken apart when the program is built, for the lines
// that large dumps write by the million: the text between the conversions, and
// the conversions %s (a NUL-terminated text) and %d (an int), each with an
// optional width to pad to on the left. The bytes are those printf writes.
template <size_t N>
struct DumpFormat {
  consteval DumpFormat(const char (&text)[N]) {
    for (size_t i = 0; i < N; ++i) chars[i] = text[i];
  }
  char chars[N];
};

namespace dump_format {

// A conversion and the literal text before it; the last piece is the text
// after the last conversion (type 0).
struct Piece {
  size_t literalStart = 0;
  size_t literalLength = 0;
  char type = 0;
  int width = 0;
};

template <DumpFormat kFormat>
consteval size_t ConversionCount() {
  size_t count = 0;
  for (char c : kFormat.chars) count += c == '%';
  return count;
}

template <DumpFormat kFormat>
consteval auto Pieces() {
  std::array<Piece, ConversionCount<kFormat>() + 1> pieces{};
  const char* text = kFormat.chars;
  size_t at = 0;
  for (Piece& piece : pieces) {
    piece.literalStart = at;
    while (text[at] != '%' && text[at] != '\0') ++at;
    piece.literalLength = at - piece.literalStart;
    if (text[at] == '\0') break;
    ++at;
    // A flag (a '0' first, say), %%, %* and other types are for Print only.
    if (text[at] == '0') throw "a dump format of its own takes no flags";
    for (; text[at] >= '0' && text[at] <= '9'; ++at)
      piece.width = piece.width * 10 + (text[at] - '0');
    piece.type = text[at++];
    if (piece.type != 's' && piece.type != 'd') throw "a dump format of its own takes %s and %d";
  }
  return pieces;
}

// Writes `size` bytes to `out` after blanks up to `width`.
template <typename Out>
void PutPadded(Out& out, const char* bytes, size_t size, int width) {
  for (size_t i = size; i < size_t(width); ++i) out.PutBytes(" ", 1);
  out.PutBytes(bytes, size);
}

template <Piece kPiece, typename Out, typename Arg>
void PutConversion(Out& out, const Arg& arg) {
  if constexpr (kPiece.type == 's') {
    static_assert(std::is_convertible_v<Arg, const char*>, "%s takes a text");
    const char* text = arg;
    if (!text) text = "(null)";
    PutPadded(out, text, std::strlen(text), kPiece.width);
  } else {
    // What printf reads as an int once the argument is promoted.
    static_assert(
        std::is_integral_v<Arg> &&
            (sizeof(Arg) < sizeof(int) || (sizeof(Arg) == sizeof(int) && std::is_signed_v<Arg>)),
        "%d takes an int");
    char digits[16];
    char* end = std::to_chars(digits, digits + sizeof digits, int(arg)).ptr;
    PutPadded(out, digits, size_t(end - digits), kPiece.width);
  }
}

template <DumpFormat kFormat, auto kPieces, typename Out, size_t... kIndex, typename... Args>
void PutPieces(Out& out, std::index_sequence<kIndex...>, const Args&... args) {
  ((out.PutBytes(kFormat.chars + kPieces[kIndex].literalStart, kPieces[kIndex].literalLength),
    PutConversion<kPieces[kIndex]>(out, args)),
   ...);
  constexpr Piece kLast = kPieces.back();
  out.PutBytes(kFormat.chars + kLast.literalStart, kLast.literalLength);
}

// Writes the line of kFormat with `args` to `out`, which takes bytes by
// out.PutBytes(bytes, size): the bytes printf(kFormat, args...) writes.
template <DumpFormat kFormat, typename Out, typename... Args>
void Write(Out& out, const Args&... args) {
  constexpr auto kPieces = Pieces<kFormat>();
  static_assert(kPieces.size() == sizeof...(Args) + 1, "one argument a conversion");
  PutPieces<kFormat, kPieces>(out, std::index_sequence_for<Args...>{}, args...);
}

class PieceText;

// A line of a dump written later: where it goes among the bytes of its piece,
// how it is written, and its arguments (texts by address, numbers).
struct LaterLine {
  using WriteFunction = void (*)(const LaterLine& line, PieceText& out);
  static constexpr size_t kArgumentBytes = 64;
  // The arguments are put in place by whoever makes the line.
  LaterLine(size_t offset, WriteFunction write) : offset(offset), write(write) {}
  size_t offset;
  WriteFunction write;
  alignas(std::max_align_t) std::byte arguments[kArgumentBytes];
};

// The text of pieces with lines written later, gathered for one file: it gets
// the bytes in large writes.
class PieceText {
 public:
  explicit PieceText(FILE* file) : file_(file) {}
  PieceText(const PieceText&) = delete;
  PieceText& operator=(const PieceText&) = delete;
  ~PieceText() { Flush(); }

  // Writes `size` bytes of a piece with the lines of `later` in their places.
  void Write(const char* bytes, size_t size, const LaterLine* later, size_t count);
  void PutBytes(const char* bytes, size_t size) {
    if (size > sizeof text_ - size_) [[unlikely]] {
      Flush();
      if (size > sizeof text_) {
        std::fwrite(bytes, 1, size, file_);
        return;
      }
    }
    std::memcpy(text_ + size_, bytes, size);
    size_ += size;
  }
  void Flush();

 private:
  FILE* file_;
  size_t size_ = 0;
  char text_[1 << 16];
};

template <DumpFormat kFormat, typename... Args>
void WriteLaterLine(const LaterLine& line, PieceText& out) {
  const auto& args = *std::launder(reinterpret_cast<const std::tuple<Args...>*>(line.arguments));
  std::apply([&out](const Args&... each) { Write<kFormat>(out, each...); }, args);
}

}  // namespace dump_format

// The text stream every table dump of one compilation writes to: Out.txt, or
// the .dec file while an IPB file is decoded. While none is open, dumps go
// nowhere.
//
// The text is gathered in pieces of 64 KB. From the first full piece on, a
// writer thread of the stream's own writes each piece while the next one
// fills, so that a large dump costs the compiling thread little time in the
// file's writes; every other access to the file waits for the piece in flight
// first, and the file gets the same bytes in the same order as without it.
// While the writer is still busy (emptying an old file takes milliseconds), the
// next piece grows, up to a few MB, rather than make the compiling thread wait.
// A line whose texts are pooled (PutPooled) goes to the writer as its texts'
// addresses and its numbers, and the writer formats it in its place.
class DumpStream {
 public:
  // A write that failed is reported through `diagnostics`.
  explicit DumpStream(Diagnostics& diagnostics);
  ~DumpStream();
  DumpStream(const DumpStream&) = delete;
  DumpStream& operator=(const DumpStream&) = delete;

  // Dumps go to `file`, named `path` in messages, from now on. A file that
  // still holds old bytes (`mustEmpty`: FileSystem::CreateUnemptied) is
  // emptied before its first write, on the writer thread where there is one,
  // and at the latest when it is flushed, closed or dropped.
  void Open(FilePtr file, std::string path, bool mustEmpty = false);
  bool IsOpen() const { return file_ != nullptr; }

  // Called before `read`, a file opened for reading, is read: when it is the
  // stream's file by another name (a link), it holds now what it would hold
  // had every write been made at once (the emptying included).
  void SettleIfSame(FILE* read, FileSystem& files);

  // printf onto the stream.
  void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // The same as Print(kFormat, args...) for a format of only %s and %d (with a
  // width at most), taken apart when the program is built: Put<"<%s>:<%d>\n">(text, 3).
  template <DumpFormat kFormat, typename... Args>
  void Put(const Args&... args) {
    if (file_) dump_format::Write<kFormat>(*this, args...);
  }

  // The same as Put for a line whose every text is a string of the string
  // pool, whose bytes stay as they are until the stream is flushed, closed or
  // dropped: where a writer thread runs, the line is written by it, in its
  // place among the rest. The lines that large dumps write by the million.
  template <DumpFormat kFormat, typename... Args>
  void PutPooled(const Args&... args) {
    if (!file_) return;
    if (!threaded_) {
      dump_format::Write<kFormat>(*this, args...);
      return;
    }
    using Arguments = std::tuple<Args...>;
    static_assert(sizeof(Arguments) <= dump_format::LaterLine::kArgumentBytes &&
                  std::is_trivially_destructible_v<Arguments>);
    static_assert(((std::is_same_v<Args, const char*> || std::is_same_v<Args, int>)&&...),
                  "a line written later takes texts by address and ints");
    if (later_.size() == laterLimit_) HandOff(0);
    dump_format::LaterLine& line =
        later_.emplace_back(pendingSize_, &dump_format::WriteLaterLine<kFormat, Args...>);
    new (line.arguments) Arguments(args...);
  }

  // Appends `size` bytes as they are; the pending text goes to the file first
  // when they do not fit.
  void PutBytes(const char* bytes, size_t size) {
    if (size > pendingCapacity_ - pendingSize_) [[unlikely]] {
      PutBytesAfterWriting(bytes, size);
      return;
    }
    std::memcpy(pending_.get() + pendingSize_, bytes, size);
    pendingSize_ += size;
  }

  // Pushes what was dumped so far to the file; a write that failed is reported now
  // ("Fail to write %s.") and ends the compilation. Called before an output file
  // is written, so that no output file exists after Out.txt failed.
  void Flush();

  // Closes the stream. A write that failed is reported now ("Fail to write %s.")
  // and ends the compilation.
  void Close();

  // Closes the stream without looking at it: the end of a compilation that failed.
  void Drop();

 private:
  static constexpr size_t kPendingSize = 1 << 16;
  static constexpr size_t kLargestPiece = 1 << 22;
  // Lines written later a piece holds, unless it grew while the writer was busy.
  static constexpr size_t kLaterLines = 1024;
  static constexpr size_t kMostLaterLines = 4 * kLaterLines;
  class PieceWriter;

  // The pending text goes to the file, by the writer thread where it can. While
  // that thread is busy, the pending text grows instead, up to a limit: to have
  // room for `room` more bytes, or for more lines written later.
  void HandOff(size_t room);
  // Waits for the piece in flight and empties the file if it still must be:
  // the file may be written on this thread now.
  void Settle();
  // Writes the pending text, its lines written later among it, on this thread.
  void WritePendingDirectly();
  // Ends the writer thread and writes the pending text: the file is as
  // written without the thread.
  void Finish();
  void PutFormatted(const char* format, va_list args);

  void PutBytesAfterWriting(const char* bytes, size_t size);

  Diagnostics& diagnostics_;
  FilePtr file_;
  std::string path_;
  // Dump text waiting for the file, which gets it in large pieces.
  std::unique_ptr<char[]> pending_;
  size_t pendingSize_ = 0;
  size_t pendingCapacity_ = 0;
  // The lines of the pending text written later, up to laterLimit_.
  std::vector<dump_format::LaterLine> later_;
  size_t laterLimit_ = kLaterLines;
  // The piece the writer thread writes, and its lines written later.
  std::unique_ptr<char[]> inFlight_;
  size_t inFlightCapacity_ = 0;
  std::vector<dump_format::LaterLine> inFlightLater_;
  // From the first piece handed off until Finish.
  std::unique_ptr<PieceWriter> writer_;
  // The file holds old bytes still, and no writer thread was told to empty it.
  bool mustEmpty_ = false;
  // Whether pieces may go to a writer thread (see Open).
  bool threaded_ = false;
};

}  // namespace qelc
