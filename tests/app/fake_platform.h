#pragma once
// A recording stand-in for the platform and the file store. Every call is logged in order as a
// short readable line, so tests can check exact sequences; results (files, dialog answers, events,
// failures) are scripted through public fields before the code under test runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform/platform.h"
#include "base/text.h"
#include "files/file_store.h"
#include "files/read_steps.h"

namespace brevikon::test {

// UTF-16 as UTF-8, for logs and failure output.
inline std::string Narrow(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

inline std::string SizeText(Extent size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

// Lower case as Windows does it, for the ASCII letters the tests use.
inline std::u16string AsciiLower(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& c : lower)
        if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
    return lower;
}

struct FakeFile {
    std::string bytes{};
    bool openFails = false;
    // The length reported, when it must differ from bytes.size() (too large to hold).
    std::optional<std::int64_t> declaredLength{};
    std::int64_t readShortBy = 0;  // a read delivers this many bytes fewer than asked for
    std::int64_t Length() const {
        return declaredLength.value_or(static_cast<std::int64_t>(bytes.size()));
    }
};

struct RecordedMessage {
    std::u16string text;
    std::u16string title;
    MessageIcon icon = MessageIcon::Information;
};

// The window system and the file store of the viewer, faked together so that one log shows
// the order of everything the program does.
class FakePlatform final : public Platform, public FileStore {
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
    std::deque<std::u16string> openAnswers;  // none left: cancelled
    std::deque<std::u16string> saveAnswers;
    std::deque<AppEvent> events;  // none left: Close
    bool writeFails = false;
    // Whether two paths name the same file; by default equal apart from ASCII case.
    std::function<bool(std::u16string_view, std::u16string_view)> sameFile;

    // --- What was done ---
    std::vector<std::string> calls;
    std::vector<RecordedMessage> messages;
    std::map<std::u16string, std::string> writtenFiles;
    std::u16string title;
    std::u16string statusFields[2];
    std::map<int, bool> checks;
    // The viewer as the user sees it: RTF or a text (both empty when cleared), and its zoom.
    std::string viewerRtf;
    std::u16string viewerText;
    std::string viewerZoom = "0/0";
    bool viewerReadOnly = false;
    bool windowOpen = false;

    FakeFile& AddFile(std::u16string path, std::string bytes) {
        FakeFile& file = files[std::move(path)];
        file.bytes = std::move(bytes);
        return file;
    }
    // Drops the log and the messages, keeping the visible state.
    void ForgetCalls() {
        calls.clear();
        messages.clear();
    }
    // How many logged calls start with `prefix`.
    std::ptrdiff_t Count(std::string_view prefix) const {
        return std::count_if(calls.begin(), calls.end(),
                             [&](const std::string& call) { return call.starts_with(prefix); });
    }
    // Whether these calls were made in this order, with any others between them.
    bool InOrder(std::initializer_list<std::string_view> wanted) const {
        auto at = calls.begin();
        for (const std::string_view call : wanted) {
            at = std::find(at, calls.end(), call);
            if (at == calls.end()) return false;
            ++at;
        }
        return true;
    }

    void Initialize() override { Record("Initialize"); }
    void Shutdown() override { Record("Shutdown"); }
    std::u16string CommandLine() override { return Record("CommandLine", commandLine); }

    bool OpenMainWindow(std::u16string_view windowTitle, Extent inner) override {
        Record("OpenMainWindow(" + Narrow(windowTitle) + ", " + SizeText(inner) + ")");
        if (windowOpens) title = windowTitle;
        return windowOpen = windowOpens;
    }
    void SetMinimumInnerSize(Extent inner) override {
        Record("SetMinimumInnerSize(" + SizeText(inner) + ")");
    }
    Extent InnerSize() override { return Record("InnerSize", innerSize); }
    void DestroyMainWindow() override { windowOpen = Record("DestroyMainWindow", false); }
    void SetTitle(std::u16string_view text) override {
        title = Record("SetTitle(" + Narrow(text) + ")", std::u16string(text));
    }

    void SetMenuBar(std::span<const Menu> menus) override {
        Record("SetMenuBar(" + std::to_string(menus.size()) + " menus)");
    }
    void SetShortcuts(std::span<const Shortcut> keys) override {
        Record("SetShortcuts(" + std::to_string(keys.size()) + ")");
    }
    void SetMenuCheck(int id, bool on) override {
        checks[id] = Record("SetMenuCheck(" + std::to_string(id) + (on ? ", on)" : ", off)"), on);
    }
    void CreateStatusBar(std::span<const std::int64_t> widths) override {
        std::string call = "CreateStatusBar(";
        for (std::size_t i = 0; i < widths.size(); ++i)
            call += (i ? ", " : "") + std::to_string(widths[i]);
        Record(call + ")");
    }
    void SetStatusText(int field, std::u16string_view text) override {
        Record("SetStatusText(" + std::to_string(field) + ", " + Narrow(text) + ")");
        ASSERT_TRUE(field == 0 || field == 1) << "status field " << field << " does not exist";
        statusFields[field] = text;
    }

    void ShowMessage(std::u16string_view text, std::u16string_view boxTitle,
                     MessageIcon icon) override {
        Record("ShowMessage(" + Narrow(text) + " | " + Narrow(boxTitle) + " | " +
               (icon == MessageIcon::Error ? "error" : "information") + ")");
        messages.push_back({std::u16string(text), std::u16string(boxTitle), icon});
    }
    std::u16string ShowOpenDialog(std::u16string_view dialogTitle, std::u16string_view defaultPath,
                                  std::u16string_view filter) override {
        Record("ShowOpenDialog(" + Narrow(dialogTitle) + " | " + Narrow(defaultPath) + " | " +
               Narrow(filter) + ")");
        return Next(openAnswers);
    }
    std::u16string ShowSaveDialog(std::u16string_view dialogTitle, std::u16string_view defaultPath,
                                  std::u16string_view filter) override {
        Record("ShowSaveDialog(" + Narrow(dialogTitle) + " | " + Narrow(defaultPath) + " | " +
               Narrow(filter) + ")");
        return Next(saveAnswers);
    }

    ReadResult Read(const NativeString& path, std::int64_t maxLength, Heap& heap, HeapBlock& image,
                    const ExpectedFile*) override {
        Record("Read(" + Narrow(NativeToUtf16(path)) + ")");
        ReadResult result;
        const std::u16string name = NativeToUtf16(path);
        const auto found = files.find(name);
        if (folders.count(name)) {
            result.status = ReadStatus::Directory;
        } else if (found == files.end()) {
            result.status = ReadStatus::Missing;
        } else if (found->second.openFails) {
            result.status = ReadStatus::OpenFailed;
        } else if (read_steps::AcceptLength(result, image, found->second.Length(), maxLength,
                                            heap)) {
            // The real steps, over bytes that may end early.
            const FakeFile& file = found->second;
            const auto delivered = static_cast<std::int64_t>(file.bytes.size()) - file.readShortBy;
            std::int64_t position = 0;
            read_steps::FillImage(result, image, [&](unsigned char* into, std::int64_t count) {
                const std::int64_t n =
                    std::max<std::int64_t>(0, std::min(count, delivered - position));
                std::memcpy(into, file.bytes.data() + position, static_cast<std::size_t>(n));
                position += n;
                return n;
            });
        }
        return result;
    }
    WriteResult Write(const NativeString& path, const OutputContent& content) override {
        std::string bytes;
        if (!content.Collect(bytes)) return {.incomplete = true};
        Record("Write(" + Narrow(NativeToUtf16(path)) + ", " + std::to_string(bytes.size()) + ")");
        if (writeFails) return {};
        writtenFiles[NativeToUtf16(path)] = std::move(bytes);
        return {.ok = true};
    }
    bool SameFile(const NativeString& first, const NativeString& second) override {
        Record("SameFile(" + Narrow(NativeToUtf16(first)) + ", " + Narrow(NativeToUtf16(second)) +
               ")");
        const std::u16string one = NativeToUtf16(first), other = NativeToUtf16(second);
        if (sameFile) return sameFile(one, other);
        return !one.empty() && AsciiLower(one) == AsciiLower(other);
    }
    std::u16string LowerCase(std::u16string_view text) override {
        return Record("LowerCase(" + Narrow(text) + ")", AsciiLower(text));
    }

    void RegisterFileDrop() override { Record("RegisterFileDrop"); }
    AppEvent WaitForEvent() override { return Record("WaitForEvent", Next(events)); }

    LibraryHandle LoadRichTextLibrary() override {
        return Record("LoadRichTextLibrary", libraryLoads ? TheLibrary : NoLibrary);
    }
    void ReleaseRichTextLibrary(LibraryHandle library) override {
        Record("ReleaseRichTextLibrary");
        EXPECT_EQ(library, TheLibrary);
        EXPECT_FALSE(windowOpen) << "library released while its control may still exist";
    }
    ControlHandle CreateViewerControl(LibraryHandle library, Extent size) override {
        EXPECT_EQ(library, TheLibrary);
        return Record("CreateViewerControl(" + SizeText(size) + ")",
                      controlCreated ? TheControl : NoControl);
    }
    void SetViewerTextLimit(ControlHandle control, std::int64_t characters) override {
        Viewer(control, "SetViewerTextLimit(" + std::to_string(characters) + ")");
    }
    void SetViewerReadOnly(ControlHandle control, bool readOnly) override {
        Viewer(control, readOnly ? "SetViewerReadOnly(on)" : "SetViewerReadOnly(off)");
        viewerReadOnly = readOnly;
    }
    bool SetViewerRtf(ControlHandle control, const char* rtf) override {
        Viewer(control, "SetViewerRtf");
        // A real control would accept typing now; it must only be replaced while writable.
        EXPECT_FALSE(viewerReadOnly) << "RTF set while the viewer is read-only";
        if (!rtfAccepted) return false;
        viewerRtf = rtf;
        viewerText.clear();
        return true;
    }
    void SetViewerText(ControlHandle control, std::u16string_view text) override {
        Viewer(control, "SetViewerText(" + Narrow(text) + ")");
        viewerText = text;
        viewerRtf.clear();
    }
    void SetViewerZoom(ControlHandle control, std::int64_t numerator,
                       std::int64_t denominator) override {
        viewerZoom = std::to_string(numerator) + "/" + std::to_string(denominator);
        Viewer(control, "SetViewerZoom(" + viewerZoom + ")");
    }
    void ScrollViewerToTop(ControlHandle control) override { Viewer(control, "ScrollViewerToTop"); }
    void MoveViewer(ControlHandle control, std::int64_t x, std::int64_t y, Extent size) override {
        Viewer(control, "MoveViewer(" + std::to_string(x) + ", " + std::to_string(y) + ", " +
                            SizeText(size) + ")");
    }

  private:
    void Record(std::string call) { calls.push_back(std::move(call)); }
    template <class T>
    T Record(std::string call, T result) {
        Record(std::move(call));
        return result;
    }
    void Viewer(ControlHandle control, std::string call) {
        Record(std::move(call));
        EXPECT_EQ(control, TheControl) << "viewer operation on a control that was never made";
        EXPECT_TRUE(windowOpen) << "viewer operation without its window";
    }
    template <class T>
    static T Next(std::deque<T>& queue) {
        if (queue.empty()) return T{};
        T next = std::move(queue.front());
        queue.pop_front();
        return next;
    }
};

}  // namespace brevikon::test
