// Replacing a file's whole content so that readers see either the old or the new file, never a mix.
#pragma once

#include <string>
#include <string_view>

// Writes the data to a temporary file beside the path, flushes it to disk and renames it over the
// path. An existing file's permission bits are kept; a new file gets newFileMode less the umask,
// as a file made with open() would. Returns 0, or
// the errno of the first step that failed (the old file is then untouched and no temporary file
// is left behind). Callable from any thread.
[[nodiscard]] int WriteFileAtomically(const std::string& path, std::string_view data,
                                      unsigned newFileMode);

// The process's file-mode creation mask, read without changing it. Callable from any thread.
[[nodiscard]] unsigned CurrentUmask();

// Reads a whole file. Returns 0, or the errno of the failure. Callable from any thread.
[[nodiscard]] int ReadWholeFile(const std::string& path, std::string& data);

// Makes a write past the process's file size limit (ulimit -f) fail with EFBIG, as any other
// failed write, instead of killing the program with SIGXFSZ and leaving a temporary file behind.
// WriteFileAtomically calls it; so does every other writer of user files. Callable from any
// thread.
void IgnoreFileSizeLimitSignal();

// Moves a damaged file to the first of "<path>.damaged", "<path>.damaged.2", ... that no earlier
// damaged copy holds: a copy kept for the user is never written over. Returns 0, or the errno of
// the failed move with `aside` naming the copy tried.
[[nodiscard]] int MoveDamagedFileAside(const std::string& path, std::string& aside);
