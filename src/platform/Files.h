#pragma once
// File operations with the framework's handles and results. A "\" in a path is
// a folder separator, so "\SERVIDORES.cfg" appended to an empty directory
// names the root of the file system.

#include <cstdint>
#include <string>
#include <string_view>

enum : unsigned { fmOpenRead = 0x0000, fmOpenWrite = 0x0001, fmOpenReadWrite = 0x0002 };

// The path as this system spells it: every "\" becomes "/".
std::string NativePath(std::string_view path);

// A handle > 0 on success, -1 on failure. Only regular files open: a folder
// fails as it does where the suite comes from.
int FileOpen(std::string_view path, unsigned mode);
// Origin 0 from the start, 1 from the current position, 2 from the end.
// Returns the new position, or -1.
int64_t FileSeek(int handle, int64_t offset, int origin);
// The number of bytes read, 0 at the end, -1 on error.
int FileRead(int handle, void* buffer, int count);
void FileClose(int handle);
bool FileExists(std::string_view path);

// A text file with I/O checking off: operations raise nothing, they only leave
// an error code that IOResult returns and clears. Text is written as given
// (the caller converts the code page).
class TTextFile {
public:
    TTextFile() = default;
    ~TTextFile();
    TTextFile(const TTextFile&) = delete;
    TTextFile& operator=(const TTextFile&) = delete;

    void Assign(std::string_view path);
    void Reset();   // open for reading
    void Rewrite(); // create or empty, open for writing
    void Append();  // open for writing at the end; the file must exist
    void Write(std::string_view text);
    void WriteLn(std::string_view text); // ended by CR LF
    void Close();
    int IOResult(); // 0 when the last operations succeeded; clears the code

private:
    void openWith(int flags);
    std::string FPath;
    int FFd = -1;
    int FError = 0;
};
