#pragma once

#include <string>
#include <string_view>

namespace vdk {

// Path and name routines. The separator is "/" and folder texts end with one.

// The text with "/" appended unless it is empty or already ends with "/".
std::string AddSlash(std::string_view path);

// The part after the last "/".
std::string_view ExtractFileName(std::string_view path);
// The part up to and including the last "/" (empty when there is none).
std::string_view ExtractFilePath(std::string_view path);
// From the last "." of the name to its end, dot included; empty when the name
// has no dot.
std::string_view ExtractFileExt(std::string_view path);

// The path itself when nothing exists there; otherwise the first free
// folder + base + "[N]" + ext for N = 0, 1, ..., where base is the name up to
// its first "." and ext the name's extension (x.tar.gz gives x[0].gz).
std::string UniqueFileName(const std::string& path);

// A file being written under a temporary name for a wanted final name:
// Temporary (Final + suffix) has been created exclusively and is open for
// writing on Fd.
struct ReservedFile {
  std::string Wanted;
  std::string Final;
  std::string Temporary;
  int Fd = -1;
};

// The race-free companion of UniqueFileName for concurrent writers: walks the
// same candidates, skips those whose final name exists, and creates the
// temporary name with O_EXCL, moving to the next candidate when another
// writer got there first. Raises EFileError when the folder refuses the file.
ReservedFile ReserveUniqueFile(const std::string& path, std::string_view suffix);

// Gives a reserved file its final name without replacing anything: Final when
// still free, otherwise the next free candidate of the wanted name (another
// writer may have finished that name meanwhile). Updates Final; returns 0 or
// the errno of the failed rename.
int RenameReservedFile(ReservedFile& file);

// Renames without ever replacing an existing file: 0 on success, otherwise the
// errno (EEXIST when the target exists).
int RenameNoReplace(const std::string& from, const std::string& to);

// False when the text holds one of the characters " # $ % & ' * + , . / : ; < > ? @ \ ^ |.
bool IsValidTaskName(std::string_view name);

// Wildcard match of a file name: "*" and "?" only, ASCII letters compared
// without regard to case, and "*.*" matching every name, dotted or not.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

// Deletes every file (never a folder) of the pattern's folder whose name
// matches the pattern's file part; symbolic links are removed, not followed.
// Errors are ignored.
void DeleteMatchingFiles(const std::string& pattern);

}  // namespace vdk
