#pragma once

#include <string>
#include <string_view>

namespace strikeline {

// Replaces the file at `path` with `contents` so that a crash or a full disk never leaves a
// half-written file in its place: the text goes to a temporary file in the same folder,
// is flushed to disk and then renamed over the old file. An existing file keeps its
// permissions; a new one gets the default ones (0666 less the umask).
// Returns false with a reason in `error`; the old file is then untouched.
bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string& error);

// The permissions a new file gets: 0666 less the umask.
unsigned DefaultFileMode();

// Creates a new empty file named `prefix` + ".XXXXXX" with the X replaced to form a
// name not in use, with the default permissions (0666 less the umask). Returns its path,
// or an empty text when no file could be made.
std::string CreateTemporaryFile(const std::string& prefix);

// Reads a whole file. Returns false with a reason in `error` when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& contents, std::string& error);

// True when the file system reports attributes for the path.
bool PathExists(const std::string& path);

// Renames `path` to "<path>.<tag>", or "<path>.<tag>.N" when that name is taken, so that a
// file the program cannot use is kept aside and never overwritten. Returns the new path,
// or an empty text when the rename failed.
std::string MoveAside(const std::string& path, std::string_view tag);

// Copies `path` to "<path>.<tag>" (or "<path>.<tag>.N" when that name is taken, N up to
// 999), never overwriting a file. The copy takes its name only once it is complete, on
// disk and as large as the file. Returns the copy's path, or an empty text when no
// complete copy was made (and then no copy is left behind).
std::string CopyAside(const std::string& path, std::string_view tag);

} // namespace strikeline
