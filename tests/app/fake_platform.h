#pragma once
// A recording stand-in for the platform. Every call is logged in order as a short readable
// line, so tests can check exact sequences; results (files, dialog answers, events, failures)
// are scripted through public fields before the code under test runs.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "app/platform/platform.h"
#include "base/text.h"

namespace brevikon::test {

namespace fake_detail {

inline std::string SizeText(Extent size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

inline char16_t AsciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

inline std::u16string AsciiLowerText(std::u16string_view text) {
    std::u16string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), AsciiLower);
    return lower;
}

inline const char* IconName(MessageIcon icon) {
    return icon == MessageIcon::Error ? "error" : "information";
}

}  // namespace fake_detail

// UTF-16 as UTF-8, for logs and failure output.
inline std::string Narrow(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

struct FakeFile {
    std::string bytes;
    bool openFails = false;
    // The length the open file reports, when it must differ from bytes.size() (e.g. too
    // large to hold in a test).
    std::optional<std::int64_t> declaredLength;
    // A read delivers this many bytes fewer than asked for.
    std::int64_t readShortBy = 0;
};

struct RecordedMessage {
    std::u16string text;
    std::u16string title;
    MessageIcon icon = MessageIcon::Information;
};

struct DialogRequest {
    std::u16string title;
    std::u16string defaultPath;
    std::u16string filter;
};

enum class WriteFailure {
    None,
    CreateFails,  // the file cannot be created
    ShortWrite,   // one byte fewer is stored than given; the target is left as it was
};

enum class ViewerContent {
    Empty,
    Rtf,
    Text,
};

class FakePlatform final : public Platform {
  public:
    static constexpr LibraryHandle TheLibrary = static_cast<LibraryHandle>(0x11);
    static constexpr ControlHandle TheControl = static_cast<ControlHandle>(0x22);

    // --- Scripted results ---
    bool windowOpens = true;
    bool libraryLoads = true;
    bool controlCreated = true;
    bool rtfAccepted = true;
    Extent innerSize{920, 700};
    std::u16string commandLine = u"brevikon.exe";
    std::map<std::u16string, FakeFile> files;
    std::set<std::u16string> folders;
    std::deque<std::u16string> openAnswers;  // empty answer = cancelled
    std::deque<std::u16string> saveAnswers;
    std::deque<AppEvent> events;  // when none are left, WaitForEvent reports Close
    WriteFailure writeFailure = WriteFailure::None;
    // Whether two paths name the same file; by default equal apart from ASCII case, as on
    // Windows.
    std::function<bool(std::u16string_view, std::u16string_view)> sameFile;

    // --- What was done ---
    std::vector<std::string> calls;
    std::vector<RecordedMessage> messages;
    std::vector<DialogRequest> openDialogs;
    std::vector<DialogRequest> saveDialogs;
    std::map<std::u16string, std::string> writtenFiles;
    std::u16string title;
    std::u16string statusFields[2];
    std::map<int, bool> checks;
    std::vector<Menu> menus;
    std::vector<Shortcut> shortcuts;
    std::vector<std::int64_t> statusWidths;
    // The viewer as the user would see it.
    bool viewerReadOnly = false;
    ViewerContent viewerContent = ViewerContent::Empty;
    std::string viewerRtf;
    std::u16string viewerText;
    std::int64_t zoomNumerator = 0;
    std::int64_t zoomDenominator = 0;
    Extent viewerSize;
    int openFileCount = 0;
    bool windowOpen = false;
    int eventsTaken = 0;

    // Adds a readable file.
    FakeFile& AddFile(std::u16string path, std::string bytes);
    // Drops the log and the messages, keeping the visible state.
    void ForgetCalls();

    void Initialize() override;
    void Shutdown() override;
    std::u16string CommandLine() override;
    bool OpenMainWindow(std::u16string_view windowTitle, Extent inner) override;
    void SetMinimumInnerSize(Extent inner) override;
    Extent InnerSize() override;
    void DestroyMainWindow() override;
    void SetTitle(std::u16string_view windowTitle) override;
    void SetMenuBar(std::span<const Menu> menuBar) override;
    void SetShortcuts(std::span<const Shortcut> keys) override;
    void SetMenuCheck(int id, bool checked) override;
    void CreateStatusBar(std::span<const std::int64_t> fieldWidths) override;
    void SetStatusText(int field, std::u16string_view text) override;
    void ShowMessage(std::u16string_view text, std::u16string_view boxTitle,
                     MessageIcon icon) override;
    std::u16string ShowOpenDialog(std::u16string_view dialogTitle, std::u16string_view defaultPath,
                                  std::u16string_view filter) override;
    std::u16string ShowSaveDialog(std::u16string_view dialogTitle, std::u16string_view defaultPath,
                                  std::u16string_view filter) override;
    std::int64_t QueryFileSize(std::u16string_view path) override;
    FileHandle OpenFileForReading(std::u16string_view path) override;
    std::int64_t FileLength(FileHandle file) override;
    std::int64_t ReadFileInto(FileHandle file, std::uint8_t* block, std::int64_t count) override;
    void CloseFile(FileHandle file) override;
    WriteOutcome WriteWholeFile(std::u16string_view path, const std::uint8_t* bytes,
                                std::int64_t count) override;
    bool IsSameFile(std::u16string_view first, std::u16string_view second) override;
    std::u16string LowerCase(std::u16string_view text) override;
    void RegisterFileDrop() override;
    AppEvent WaitForEvent() override;
    LibraryHandle LoadRichTextLibrary() override;
    void ReleaseRichTextLibrary(LibraryHandle library) override;
    ControlHandle CreateViewerControl(LibraryHandle library, Extent size) override;
    void SetViewerTextLimit(ControlHandle control, std::int64_t characters) override;
    void SetViewerReadOnly(ControlHandle control, bool readOnly) override;
    bool SetViewerRtf(ControlHandle control, const char* rtf) override;
    void SetViewerText(ControlHandle control, std::u16string_view text) override;
    void SetViewerZoom(ControlHandle control, std::int64_t numerator,
                       std::int64_t denominator) override;
    void ScrollViewerToTop(ControlHandle control) override;
    void MoveViewer(ControlHandle control, std::int64_t x, std::int64_t y, Extent size) override;

  private:
    void Record(std::string call) { calls.push_back(std::move(call)); }
    void CheckControl(ControlHandle control) const;
    const FakeFile* FindFile(std::u16string_view path) const;

    std::vector<std::u16string> openedPaths_;  // index + 1 is the FileHandle
};

// --- Definitions ---

inline FakeFile& FakePlatform::AddFile(std::u16string path, std::string bytes) {
    FakeFile& file = files[std::move(path)];
    file.bytes = std::move(bytes);
    return file;
}

inline void FakePlatform::ForgetCalls() {
    calls.clear();
    messages.clear();
}

inline void FakePlatform::Initialize() {
    Record("Initialize");
}
inline void FakePlatform::Shutdown() {
    Record("Shutdown");
}

inline std::u16string FakePlatform::CommandLine() {
    Record("CommandLine");
    return commandLine;
}

inline bool FakePlatform::OpenMainWindow(std::u16string_view windowTitle, Extent inner) {
    Record("OpenMainWindow(" + Narrow(windowTitle) + ", " + fake_detail::SizeText(inner) + ")");
    if (windowOpens) {
        title = windowTitle;
        windowOpen = true;
    }
    return windowOpens;
}

inline void FakePlatform::SetMinimumInnerSize(Extent inner) {
    Record("SetMinimumInnerSize(" + fake_detail::SizeText(inner) + ")");
}

inline Extent FakePlatform::InnerSize() {
    Record("InnerSize");
    return innerSize;
}

inline void FakePlatform::DestroyMainWindow() {
    Record("DestroyMainWindow");
    windowOpen = false;
}

inline void FakePlatform::SetTitle(std::u16string_view windowTitle) {
    Record("SetTitle(" + Narrow(windowTitle) + ")");
    title = windowTitle;
}

inline void FakePlatform::SetMenuBar(std::span<const Menu> menuBar) {
    Record("SetMenuBar(" + std::to_string(menuBar.size()) + " menus)");
    menus.assign(menuBar.begin(), menuBar.end());
}

inline void FakePlatform::SetShortcuts(std::span<const Shortcut> keys) {
    Record("SetShortcuts(" + std::to_string(keys.size()) + ")");
    shortcuts.assign(keys.begin(), keys.end());
}

inline void FakePlatform::SetMenuCheck(int id, bool checked) {
    Record("SetMenuCheck(" + std::to_string(id) + (checked ? ", on)" : ", off)"));
    checks[id] = checked;
}

inline void FakePlatform::CreateStatusBar(std::span<const std::int64_t> fieldWidths) {
    std::string call = "CreateStatusBar(";
    for (std::size_t i = 0; i < fieldWidths.size(); ++i) {
        call += (i ? ", " : "") + std::to_string(fieldWidths[i]);
    }
    Record(call + ")");
    statusWidths.assign(fieldWidths.begin(), fieldWidths.end());
}

inline void FakePlatform::SetStatusText(int field, std::u16string_view text) {
    Record("SetStatusText(" + std::to_string(field) + ", " + Narrow(text) + ")");
    if (field < 0 || field > 1) {
        ADD_FAILURE() << "status field " << field << " does not exist";
        return;
    }
    statusFields[field] = text;
}

inline void FakePlatform::ShowMessage(std::u16string_view text, std::u16string_view boxTitle,
                                      MessageIcon icon) {
    Record("ShowMessage(" + Narrow(text) + " | " + Narrow(boxTitle) + " | " +
           fake_detail::IconName(icon) + ")");
    // Every file is closed before a message about it is shown.
    EXPECT_EQ(openFileCount, 0) << "a file is still open during a message box";
    messages.push_back({std::u16string(text), std::u16string(boxTitle), icon});
}

inline std::u16string FakePlatform::ShowOpenDialog(std::u16string_view dialogTitle,
                                                   std::u16string_view defaultPath,
                                                   std::u16string_view filter) {
    Record("ShowOpenDialog(" + Narrow(defaultPath) + ")");
    openDialogs.push_back(
        {std::u16string(dialogTitle), std::u16string(defaultPath), std::u16string(filter)});
    if (openAnswers.empty()) return {};
    std::u16string answer = std::move(openAnswers.front());
    openAnswers.pop_front();
    return answer;
}

inline std::u16string FakePlatform::ShowSaveDialog(std::u16string_view dialogTitle,
                                                   std::u16string_view defaultPath,
                                                   std::u16string_view filter) {
    Record("ShowSaveDialog(" + Narrow(defaultPath) + ")");
    saveDialogs.push_back(
        {std::u16string(dialogTitle), std::u16string(defaultPath), std::u16string(filter)});
    if (saveAnswers.empty()) return {};
    std::u16string answer = std::move(saveAnswers.front());
    saveAnswers.pop_front();
    return answer;
}

inline const FakeFile* FakePlatform::FindFile(std::u16string_view path) const {
    const auto found = files.find(std::u16string(path));
    return found == files.end() ? nullptr : &found->second;
}

inline std::int64_t FakePlatform::QueryFileSize(std::u16string_view path) {
    Record("QueryFileSize(" + Narrow(path) + ")");
    if (folders.count(std::u16string(path))) return SizeFolder;
    const FakeFile* file = FindFile(path);
    if (!file) return SizeNothing;
    return file->declaredLength.value_or(static_cast<std::int64_t>(file->bytes.size()));
}

inline FileHandle FakePlatform::OpenFileForReading(std::u16string_view path) {
    Record("OpenFileForReading(" + Narrow(path) + ")");
    const FakeFile* file = FindFile(path);
    if (!file || file->openFails) return NoFile;
    openedPaths_.emplace_back(path);
    ++openFileCount;
    return static_cast<FileHandle>(openedPaths_.size());
}

inline std::int64_t FakePlatform::FileLength(FileHandle file) {
    Record("FileLength");
    const auto index = static_cast<std::size_t>(file);
    if (index == 0 || index > openedPaths_.size()) {
        ADD_FAILURE() << "FileLength of a file that was never opened";
        return 0;
    }
    const FakeFile& data = files.at(openedPaths_[index - 1]);
    return data.declaredLength.value_or(static_cast<std::int64_t>(data.bytes.size()));
}

inline std::int64_t FakePlatform::ReadFileInto(FileHandle file, std::uint8_t* block,
                                               std::int64_t count) {
    Record("ReadFileInto(" + std::to_string(count) + ")");
    const auto index = static_cast<std::size_t>(file);
    if (index == 0 || index > openedPaths_.size()) {
        ADD_FAILURE() << "ReadFileInto a file that was never opened";
        return 0;
    }
    const FakeFile& data = files.at(openedPaths_[index - 1]);
    std::int64_t n = std::min(count, static_cast<std::int64_t>(data.bytes.size()));
    n = std::max<std::int64_t>(0, n - data.readShortBy);
    std::memcpy(block, data.bytes.data(), static_cast<std::size_t>(n));
    return n;
}

inline void FakePlatform::CloseFile(FileHandle file) {
    Record("CloseFile");
    if (file == NoFile) ADD_FAILURE() << "CloseFile of no file";
    --openFileCount;
}

inline WriteOutcome FakePlatform::WriteWholeFile(std::u16string_view path,
                                                 const std::uint8_t* bytes, std::int64_t count) {
    Record("WriteWholeFile(" + Narrow(path) + ", " + std::to_string(count) + ")");
    switch (writeFailure) {
        case WriteFailure::CreateFails:
            return {false, 0};
        case WriteFailure::ShortWrite:
            return {true, count - 1};
        case WriteFailure::None:
            break;
    }
    writtenFiles[std::u16string(path)] =
        std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
    return {true, count};
}

inline bool FakePlatform::IsSameFile(std::u16string_view first, std::u16string_view second) {
    Record("IsSameFile(" + Narrow(first) + ", " + Narrow(second) + ")");
    if (sameFile) return sameFile(first, second);
    return !first.empty() &&
           fake_detail::AsciiLowerText(first) == fake_detail::AsciiLowerText(second);
}

inline std::u16string FakePlatform::LowerCase(std::u16string_view text) {
    Record("LowerCase(" + Narrow(text) + ")");
    return fake_detail::AsciiLowerText(text);
}

inline void FakePlatform::RegisterFileDrop() {
    Record("RegisterFileDrop");
}

inline AppEvent FakePlatform::WaitForEvent() {
    Record("WaitForEvent");
    ++eventsTaken;
    if (events.empty()) return AppEvent{AppEventKind::Close, 0, {}};
    AppEvent event = std::move(events.front());
    events.pop_front();
    return event;
}

inline LibraryHandle FakePlatform::LoadRichTextLibrary() {
    Record("LoadRichTextLibrary");
    return libraryLoads ? TheLibrary : NoLibrary;
}

inline void FakePlatform::ReleaseRichTextLibrary(LibraryHandle library) {
    Record("ReleaseRichTextLibrary");
    EXPECT_EQ(library, TheLibrary);
    EXPECT_FALSE(windowOpen) << "library released while its control may still exist";
}

inline ControlHandle FakePlatform::CreateViewerControl(LibraryHandle library, Extent size) {
    Record("CreateViewerControl(" + fake_detail::SizeText(size) + ")");
    EXPECT_EQ(library, TheLibrary);
    if (!controlCreated) return NoControl;
    viewerSize = size;
    return TheControl;
}

inline void FakePlatform::CheckControl(ControlHandle control) const {
    EXPECT_EQ(control, TheControl) << "viewer operation on a control that was never made";
    EXPECT_TRUE(windowOpen) << "viewer operation without its window";
}

inline void FakePlatform::SetViewerTextLimit(ControlHandle control, std::int64_t characters) {
    Record("SetViewerTextLimit(" + std::to_string(characters) + ")");
    CheckControl(control);
}

inline void FakePlatform::SetViewerReadOnly(ControlHandle control, bool readOnly) {
    Record(readOnly ? "SetViewerReadOnly(on)" : "SetViewerReadOnly(off)");
    CheckControl(control);
    viewerReadOnly = readOnly;
}

inline bool FakePlatform::SetViewerRtf(ControlHandle control, const char* rtf) {
    Record("SetViewerRtf");
    CheckControl(control);
    // A real control would accept typing now; it must only be replaced while writable.
    EXPECT_FALSE(viewerReadOnly) << "RTF set while the viewer is read-only";
    if (!rtfAccepted) return false;
    viewerContent = ViewerContent::Rtf;
    viewerRtf = rtf;
    viewerText.clear();
    return true;
}

inline void FakePlatform::SetViewerText(ControlHandle control, std::u16string_view text) {
    Record("SetViewerText(" + Narrow(text) + ")");
    CheckControl(control);
    viewerContent = text.empty() ? ViewerContent::Empty : ViewerContent::Text;
    viewerText = text;
    viewerRtf.clear();
}

inline void FakePlatform::SetViewerZoom(ControlHandle control, std::int64_t numerator,
                                        std::int64_t denominator) {
    Record("SetViewerZoom(" + std::to_string(numerator) + "/" + std::to_string(denominator) + ")");
    CheckControl(control);
    zoomNumerator = numerator;
    zoomDenominator = denominator;
}

inline void FakePlatform::ScrollViewerToTop(ControlHandle control) {
    Record("ScrollViewerToTop");
    CheckControl(control);
}

inline void FakePlatform::MoveViewer(ControlHandle control, std::int64_t x, std::int64_t y,
                                     Extent size) {
    Record("MoveViewer(" + std::to_string(x) + ", " + std::to_string(y) + ", " +
           fake_detail::SizeText(size) + ")");
    CheckControl(control);
    viewerSize = size;
}

}  // namespace brevikon::test
