// The link helper's text and path rules over fixed-size, zero-terminated
// 8-bit buffers. No Windows header: this also builds for the host's tests.
#pragma once

#include <cstddef>
#include <initializer_list>

// Buffer sizes, terminator included.
constexpr size_t kPathSize = 300;
constexpr size_t kServiceSize = 100;
constexpr size_t kDriveSize = 3;
constexpr size_t kPartSize = 256;

// The length of a text; of at most `limit` characters with a limit.
size_t TextLength(const char* text, size_t limit = static_cast<size_t>(-1));
// The first, or the last, `c` in a text; null when there is none.
const char* FindChar(const char* text, char c);
char* FindChar(char* text, char c);
const char* FindLastChar(const char* text, char c);

// Copies `source` into `target` of `capacity` bytes, cut to fit; always
// terminates. Returns false when the text had to be cut.
bool CopyText(char* target, size_t capacity, const char* source);
// Appends `source` to the text in `target`, cut to fit. False when cut.
bool AppendText(char* target, size_t capacity, const char* source);
// The "%s" formats of the helper's texts, bounded: `format` with each "%s"
// replaced by the next argument (none left: nothing) and "%%" by "%", cut to
// fit. Always terminates; false when the text had to be cut.
bool FormatText(char* target, size_t capacity, const char* format, std::initializer_list<const char*> arguments);

// A to Z become a to z; every other byte, letters with diacritics included,
// stays as it is.
void LowerAscii(char* text);
// Equal when only the letter case of A to Z differs.
bool EqualsAsciiNoCase(const char* a, const char* b);
// True when `text` begins with `prefix`, A to Z compared without case.
bool BeginsWithAsciiNoCase(const char* text, const char* prefix);

// A path holding a double quote or a control character cannot be put on the
// client's command line as one argument: such a path is emptied (unset).
// True when it was.
bool DropUnsafePath(char* path);

// A full path: one with a colon anywhere (a drive, "c:\..."), or a network
// path that begins with two backslashes ("\\server\share\...").
bool IsFullPath(const char* path);

// Splits the first 260 characters of `path` into its drive ("c:", only when
// the second character is a colon), directory (up to and including the last
// "\" or "/"), name and extension (from the last "."), each cut to fit.
void SplitPath(const char* path, char (&drive)[kDriveSize], char (&directory)[kPartSize], char (&name)[kPartSize],
               char (&extension)[kPartSize]);

// The drive and directory of `file` (the helper's folder with its trailing
// separator when `file` is the settings file).
void FolderOf(const char* file, char (&folder)[kPathSize]);

// The stored form of a full path: the part after `folder` when the path
// begins with it (A-Z compared without regard to case), else the whole path.
const char* StoredForm(const char* path, const char* folder);

// Turns a stored form into a full path in place: a full path (IsFullPath)
// stays; any other text is put after `folder` as it is.
// A full path that would not fit in the buffer is not cut (a cut path could
// name another file): the path becomes empty and the result is false.
bool MakeFullPath(char (&path)[kPathSize], const char* folder);
