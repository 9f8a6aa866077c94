#include "formats/ipb_file.h"

#include "formats/record_fields.h"

namespace qelc {

namespace {

// The header as read must describe a string area that the buffer can hold.
void CheckHeader(const SoftIPLibrary& library) {
  if (library.stringBytesUsed < 0 || library.stringCapacity < 0 ||
      library.stringBytesUsed > library.stringCapacity) {
    throw CorruptIpb{"the string sizes in the header do not fit each other"};
  }
}

}  // namespace

void CheckLibraryRefs(const SoftIPLibrary& library) {
  int32_t used = library.stringBytesUsed;
  ForEachStringRef(library, [used](int32_t ref) {
    if (ref < 0 || ref >= used) {
      throw CorruptIpb{"a string reference lies outside the string bytes"};
    }
  });
}

void CheckStringBytes(std::string_view stringBytes) {
  if (!stringBytes.empty() && stringBytes.back() != '\0') {
    throw CorruptIpb{"the last string does not end with a NUL byte"};
  }
}

void TransferLibrary(IpbStream& stream, SoftIPLibrary& library) {
  TransferFields(LibraryLayout(), library, stream);
  if (!stream.Writing()) CheckHeader(library);
  TransferLists(LibraryLayout(), library, stream);
  library.modules.Serialise(stream);
}

void TransferStringBytes(IpbStream& stream, SoftIPLibrary& library) {
  stream.Transfer(library.stringBuffer.get(), size_t(library.stringBytesUsed));
}

std::string_view ReadIpbBytes(std::string_view bytes, SoftIPLibrary& library) {
  IpbStream stream(bytes);
  TransferLibrary(stream, library);
  CheckLibraryRefs(library);
  if (stream.SawLongFormOfSmallCount()) {
    throw CorruptIpb{"a list count below 65535 is written in the 6-byte form"};
  }
  if (stream.Unread() != uint64_t(library.stringBytesUsed)) {
    throw CorruptIpb{stream.Unread() < uint64_t(library.stringBytesUsed)
                         ? "the file ends within its string bytes"
                         : "bytes are left over after the string bytes"};
  }
  std::string_view stringBytes = bytes.substr(bytes.size() - size_t(library.stringBytesUsed));
  CheckStringBytes(stringBytes);
  return stringBytes;
}

}  // namespace qelc
