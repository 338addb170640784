#pragma once
// Whole-file reading and safe writing in the system's native path form. Used by the
// converter and, on Windows, by the viewer's platform layer.
//
// Every decision about a file is made on what was actually opened, never on an earlier look
// at its path: a path can be swapped for a link, a device or another file at any moment by
// anyone who can write to its folder.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/byte_sink.h"
#include "base/heap.h"

namespace brevikon {

#ifdef _WIN32
using NativeString = std::wstring;
#else
using NativeString = std::string;
#endif

// A file or folder as the system holds it open.
#ifdef _WIN32
using NativeHandle = void*;
inline constexpr NativeHandle NoNativeHandle = nullptr;
#else
using NativeHandle = int;
inline constexpr NativeHandle NoNativeHandle = -1;
#endif

enum class PathKind { Missing, RegularFile, Directory, Other };

// What a path names (links followed). Other: a device, a pipe, a socket.
PathKind QueryPathKind(const NativeString& path);

// What makes a file the same file while it exists: device and inode, or volume and file
// index. Two names, links or spellings of one file give equal identities.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of what path names (links followed), or nothing when it names nothing.
std::optional<FileIdentity> IdentifyFile(const NativeString& path);

// What a walk saw of a file, so that reading it later takes that file or none.
struct ExpectedFile {
    FileIdentity identity;
    bool throughLink = false;  // found as a link inside the tree; otherwise links are refused
};

enum class ReadStatus {
    Ok,
    Missing,      // the path names nothing
    Directory,    // a folder (or a drive)
    NotRegular,   // a device, a pipe or a socket: never waited on
    OpenFailed,   // exists but cannot be opened for reading
    Empty,        // length 0
    TooLarge,     // longer than the caller's limit
    OutOfMemory,  // the heap refused the image
    ShortRead,    // fewer bytes arrived than the file's length
    Changed,      // no longer the file that was expected there (swapped, or now a link)
};

// A moment in UTC as seconds since 1970-01-01 00:00:00 (negative before) and the
// nanoseconds into that second, always 0 to 999,999,999. A file system that keeps coarser
// times gives its own precision (Windows: 100 ns).
struct FileTime {
    std::int64_t seconds = 0;
    std::int32_t nanoseconds = 0;
    bool operator==(const FileTime&) const = default;
};

struct ReadResult {
    ReadStatus status = ReadStatus::OpenFailed;
    std::int64_t length = 0;  // the file's length as found on the open file
    FileIdentity identity;    // of the file that was opened
    FileTime modified;        // its last modification, as found on the open file
    int systemError = 0;      // errno or GetLastError() where one applies
};

// Reads a regular file whole into image, a zero-filled block of exactly its length. What image
// held stays until the file has shown to be a regular file of an accepted length, and goes
// just before the new block is taken, so that two images are never held at once; after
// OutOfMemory or ShortRead it holds nothing. With expected, only that very file is read:
// anything else at the path is Changed.
ReadResult ReadWholeFile(const NativeString& path, std::int64_t maxLength, Heap& heap,
                         HeapBlock& image, const ExpectedFile* expected = nullptr);

// Reads a regular file of any length, empty too, in pieces of at most buffer's size, handing
// each to take as it arrives; nothing holds the whole file. Refuses what ReadWholeFile
// refuses except Empty and TooLarge, and delivers exactly the length found on the opened
// file: when fewer bytes arrive (the file shrank, or a read failed with systemError) the
// status is ShortRead and take has seen only part of it.
ReadResult ReadFileInBlocks(const NativeString& path, std::span<unsigned char> buffer,
                            const std::function<void(const unsigned char*, std::size_t)>& take,
                            const ExpectedFile* expected = nullptr);

struct WriteResult {
    bool ok = false;
    int systemError = 0;
    // The target name holds something that is not replaced: a link, a device, a pipe, a
    // folder (a default-named output), or the input itself.
    bool notReplaced = false;
    bool isInput = false;
    // The content could not be made whole (memory ran out); nothing was placed.
    bool incomplete = false;
};

// Writes bytes to a path the user named. A regular or missing target is replaced only once
// every byte is written to a new file beside it; on failure the old target stays as it was
// and no temporary file is left. A device or pipe that the path names is written directly,
// once the opened file has shown to be one; a regular file reached that way is replaced.
WriteResult WriteFileReplacing(const NativeString& path, const OutputContent& content);

// A folder held open: it stays the folder it was when opened, whatever later happens to its
// path. Move-only.
class FolderHandle {
  public:
    using Native = NativeHandle;
    static constexpr Native None = NoNativeHandle;
    FolderHandle() = default;
    FolderHandle(Native handle, NativeString path) : handle_(handle), path_(std::move(path)) {}
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    FolderHandle(FolderHandle&& other) noexcept { *this = std::move(other); }
    FolderHandle& operator=(FolderHandle&& other) noexcept;
    ~FolderHandle() { Close(); }

    bool open() const { return handle_ != None; }
    Native native() const { return handle_; }
    // The path it was opened by, ending in a separator unless empty (the current folder).
    const NativeString& path() const { return path_; }
    void Close();

  private:
    Native handle_ = None;
    NativeString path_;
};

struct FolderResult {
    FolderHandle folder;
    int systemError = 0;      // when not open
    bool changed = false;     // a folder was there, but not the expected one, or a link
    bool notAFolder = false;  // something that is no folder has the name
};

// Opens the folder a path names, links followed: the user named it. With expected, any
// other folder is refused as changed.
FolderResult OpenFolder(const NativeString& path,
                        const std::optional<FileIdentity>& expected = std::nullopt);

// Opens the folder name inside parent, never through a link; with create, makes it first
// when it is missing.
FolderResult OpenSubfolder(const FolderHandle& parent, const NativeString& name, bool create);

// Writes a default-named output: name inside folder, as a regular file that this program
// created and that gets its name only when complete. An existing regular file of that name is
// replaced (its permission bits kept, never set-id bits); anything else there (a link, a
// device, a pipe, a folder) is left alone and refused, as is the file with inputIdentity.
WriteResult WriteNewOutput(const FolderHandle& folder, const NativeString& name,
                           const OutputContent& content,
                           const std::optional<FileIdentity>& inputIdentity);

// One entry of a folder as a walk sees it, without following links to folders.
struct FolderEntry {
    enum class Kind { File, Folder, LinkToFile, Other, Unreadable };
    NativeString name;
    Kind kind = Kind::Other;
    FileIdentity identity;  // of the file, the folder, or a link's target
    NativeString realPath;  // LinkToFile: where the target really lies
    int systemError = 0;    // Unreadable: why it could not be examined
};

// Every entry of folder except "." and "..", in no particular order. False with
// systemError when the folder cannot be read; entries read before that are kept.
bool ListFolder(const FolderHandle& folder, std::vector<FolderEntry>& entries, int& systemError);

// Where a folder really lies, links resolved; empty when that cannot be found.
NativeString RealFolderPath(const FolderHandle& folder);

// True when both paths name the same existing file (also through links or another case).
bool IsSameFile(const NativeString& first, const NativeString& second);

// Temporary names of this program start and end so; a walk passes over them.
bool IsTemporaryName(const NativeString& name);

// Makes an interrupted run leave no temporary file: SIGINT, SIGTERM and SIGHUP remove the
// live ones before the signal takes its course. A closed pipe or the file-size limit becomes
// the failing write's own error instead of ending the process. Descriptors 0-2 are opened on
// the null device where they are closed, so no file this program opens can take their place.
void PrepareProcessForFiles();

// A short German description of a system error code, for messages.
std::u16string SystemErrorText(int systemError);

// Conversions between the native path form and UTF-16.
std::u16string NativeToUtf16(const NativeString& text);
NativeString Utf16ToNative(std::u16string_view text);

// A path for a message: as it is where it is one line of printable, valid text; otherwise
// quoted and escaped as the GNU tools do ('a'$'\n''b'), so that the bytes can be recovered.
std::u16string PathForMessage(const NativeString& path);

}  // namespace brevikon
