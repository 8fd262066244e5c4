// Whole files, read and written safely. Reads take only regular files, never block (a FIFO or a
// device is refused before anything waits on it) and never take more than the caller allows. Writes
// go to a temporary file in the same folder, flushed to the disk and then renamed over the old one,
// so a file is never left half written, whatever way the program ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

enum class FileRead {
    Ok,
    Missing,     // no such file
    NotRegular,  // a folder, FIFO, device or socket
    TooLarge,    // larger than the caller's limit
    Unreadable,  // it exists, but opening or reading it failed
};

// Reads the whole of `path` into `bytes` when it is a regular file of at most `maxBytes` bytes.
FileRead readRegularFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes);

enum class FileWrite {
    Ok,
    NoFolder,    // the folder it would go in does not exist
    NotWritable, // that folder cannot be written
    NotRegular,  // the path is a folder, FIFO, device or socket
};

// Whether a file could be written at `path` now, checked without creating or opening anything.
FileWrite checkWritableFile(const std::string& path);

// Replaces `path` with `bytes` at once: a temporary file beside it, written, synced and renamed.
// An existing file keeps its permissions. False (and the old file untouched) when anything fails.
bool writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes);
