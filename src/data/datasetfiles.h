// The files that make up a data set, so that nothing the program writes for
// the user (an export, an invoice, a PDF) lands on one of them.
#pragma once

#include <string>

namespace quillory {

class Prompter;

inline constexpr const char* kDataSetFileRefused = " is one of the files of the data set. Please choose another file.";

// `path` as messages name it: in full, from the root, whatever folder the
// program runs in.
std::string fullFileName(const std::string& path);

// Whether `path` is, by whatever name, link or hard link it is reached, one
// of the files of the data set that `dataSetPath` names, there or not yet:
// its settings, record files, running timers, lock, undo file, or a scratch
// file of one of them. A link that leads to one of them counts even when
// nothing is there yet: writing through it would make that file.
bool isFileOfDataSet(const std::string& dataSetPath, const std::string& path);

// False, after saying so with the full name, when `path` is one of them.
bool mayWriteOutside(const std::string& dataSetPath, const std::string& path, Prompter& prompter);

} // namespace quillory
