#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/dab_file.h"
#include "formats/ipb_library.h"

namespace qelc::report {

// A DAB file as one self-contained HTML page: a pinout drawing and table for
// every package of every pin-number condition block, the device's other tables,
// and each memory map drawn as an address bar. The page is titled `title`, or
// the file's `name` when the title is empty. A page made for an index links
// back to it: `index` is the index page's file name beside it, or empty.
std::string DabReport(const DabFile& file, std::string_view name, std::string_view title = {},
                      std::string_view index = {});

// An IPB file as one HTML page: every module as a block symbol with its ports,
// their fields, the categories and the macro statements. `strings` are the
// file's string bytes, into which every reference of `library` was checked.
// Title and index as for DabReport.
std::string IpbReport(const SoftIPLibrary& library, std::string_view strings, std::string_view name,
                      std::string_view title = {}, std::string_view index = {});

// A page of the index of many pages: the file each was made from.
struct IndexEntry {
  std::string file;
  std::string page;  // its file name, beside the index
  bool dab;
};

// The page that links the pages of many files, titled `title` (or "Devices").
std::string IndexPage(std::string_view title, const std::vector<IndexEntry>& entries);

}  // namespace qelc::report
