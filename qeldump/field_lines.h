#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "qeldump/input_file.h"

namespace qelc::dump {

// A text quoted for the text form: \\ \" \n \r \t, and \xHH for every other
// byte below 0x20 or above 0x7E, so the line is plain ASCII and loses nothing.
std::string Quote(std::string_view text);

// The shortest text that reads back as the same float; a NaN also shows its bits.
std::string FloatText(int32_t bits);

// The fields of one file (`files` of one), or of two files of the same kind side
// by side (for --diff), in file order. For each field, visit(path, values) gets
// values[i] for files[i]: its text-form value, or nothing when the field is
// absent from that file (a zero DAB field outside `content` mode; an IPB record
// beyond the end of its list). In `content` mode a string is shown by its text
// alone and the pool's used size is left out, so that two pools in different
// orders compare equal, and every DAB field of a record that is not zero in
// some file is given.
using LineVisitor = std::function<void(const std::string& path,
                                       std::span<const std::optional<std::string>> values)>;
void WalkLines(std::span<const InputFile* const> files, bool content, const LineVisitor& visit);

// The text form of a file: a first line naming it, its kind and the pool's fill,
// then "path = value" per field (a DAB file's zero fields left out), then
// "pool@OFFSET = text" per string of the pool.
void WriteText(const InputFile& file, FILE* out);

// --get: the value of the field at `path`, or the lines under the record, list or
// table there. Throws FileProblem for a path that names nothing.
void WriteField(const InputFile& file, std::string_view path, const std::string& linePrefix,
                FILE* out);

// --layout: the field map of the DAB table block.
void WriteLayout(FILE* out);

}  // namespace qelc::dump
