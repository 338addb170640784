#pragma once
// Everything the viewer needs from the window system and the process, as one small interface
// (files are read and written through the FileStore both programs share). The application
// logic (src/app) calls only these operations; a Windows implementation lives in
// platform/win32, and tests use a recording fake.
//
// Conventions for every operation:
// - All calls come from the one user-interface thread; nothing here is re-entered.
// - Texts are UTF-16. Sizes and positions are device-independent units of 1/96 inch; the
//   platform scales them to the display (device pixels = units x DPI / 96, rounded) and
//   reports measured sizes back in units (rounded to the nearest unit).
// - No operation throws. Failures are reported only where a result is declared; every other
//   operation is expected to succeed (or to fail without consequence for the caller).
// - There is one main window; operations that concern it do not name it.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace brevikon {

// Opaque handles. The portable code stores and passes them back but never looks inside;
// the zero value means "none".
enum class LibraryHandle : std::uintptr_t {};
enum class ControlHandle : std::uintptr_t {};
constexpr LibraryHandle NoLibrary{};
constexpr ControlHandle NoControl{};

// A width and a height in units.
struct Extent {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// One entry of a menu: a command item, or a separator line when id is MenuSeparator.
// In text, '&' marks the underlined access letter and a tab (code 9) separates the shortcut
// label, which the platform shows right-aligned.
constexpr int MenuSeparator = -1;
struct MenuItem {
    int id = MenuSeparator;
    std::u16string_view text;
};

// One pop-up menu of the menu bar, its items in display order.
struct Menu {
    std::u16string_view title;
    std::span<const MenuItem> items;
};

// A keyboard shortcut: Ctrl together with the key, raising the command id. Keys are given as
// Windows virtual-key codes (e.g. 0x4F for O, 0x6B for the keypad plus); another platform
// maps them to its own keys.
struct Shortcut {
    std::uint16_t virtualKey = 0;
    int id = 0;
};

// A status-bar field width meaning "all the room the other fields leave".
constexpr std::int64_t StatusFieldRest = -1;

enum class MessageIcon {
    Information,
    Error,
};

enum class AppEventKind {
    Close,    // the user asked the main window to close (close button, system menu, Alt+F4)
    Size,     // the main window's size changed (resized, maximised, restored; not minimised)
    Drop,     // files were dropped on the main window; text holds their paths
    Command,  // a menu item was chosen or its shortcut pressed; id holds its command id
    // The mouse wheel was turned with Ctrl held over the main window; id holds the whole
    // notches, positive away from the user. Parts of a notch are kept for the next turn.
    WheelZoom,
};

struct AppEvent {
    AppEventKind kind = AppEventKind::Close;
    int id = 0;
    std::u16string text;  // Drop: the dropped paths in drop order, joined by LF (code 10)
};

class Platform {
  public:
    virtual ~Platform() = default;

    // --- Process ---

    // Called once before anything else: prepares locale, COM/OLE (for the file drop), the
    // common controls, and measures the display resolution used for units.
    virtual void Initialize() = 0;
    // Called once at the very end, after DestroyMainWindow and ReleaseRichTextLibrary:
    // undoes Initialize and releases whatever the platform still holds.
    virtual void Shutdown() = 0;
    // The whole command line of the process, program name included, unsplit.
    virtual std::u16string CommandLine() = 0;

    // --- Main window ---

    // Opens the one top-level window (caption, system menu, minimise and maximise boxes,
    // sizing border, the program's icon) with the given title, so that its inner size is
    // `inner`, centred on the primary screen (at 0 on an axis where it is larger than the
    // screen), shown at once. False when the window could not be created.
    //
    // Inner size: the width of the client area, and the height inside the frame below the
    // caption, i.e. the client height plus one menu-bar height while a menu bar is attached.
    // The outer size is computed for a window without menu bar; attaching the menu bar later
    // takes its height out of the client area, the outer size staying as it is.
    virtual bool OpenMainWindow(std::u16string_view title, Extent inner) = 0;
    // The user cannot shrink the window below this inner size; there is no maximum.
    virtual void SetMinimumInnerSize(Extent inner) = 0;
    // The current inner size (see OpenMainWindow). The viewer control is sized to it.
    virtual Extent InnerSize() = 0;
    // Destroys the main window and with it the viewer control and the status bar.
    virtual void DestroyMainWindow() = 0;
    // Replaces the window title; shown at once.
    virtual void SetTitle(std::u16string_view title) = 0;

    // --- Menu bar, shortcuts, check marks ---

    // Creates the menu bar from the menus in order and attaches it. Choosing an item raises
    // a Command event with its id. No item is ever disabled. The data need not outlive the
    // call.
    virtual void SetMenuBar(std::span<const Menu> menus) = 0;
    // Installs the shortcuts. They are recognised before any control sees the key, whichever
    // control has the keyboard focus, and raise a Command event with their id.
    virtual void SetShortcuts(std::span<const Shortcut> shortcuts) = 0;
    // Puts the check mark on the item with this command id, or removes it; shown at once.
    virtual void SetMenuCheck(int id, bool checked) = 0;

    // --- Status bar ---

    // Creates the status bar at the bottom of the main window with one field per width, left
    // to right. A width of StatusFieldRest takes what the others leave; the last field ends
    // at the bar's right edge, left of the sizing grip. The layout follows every resize.
    virtual void CreateStatusBar(std::span<const std::int64_t> fieldWidths) = 0;
    // Replaces the text of one field (0 = leftmost); shown at once.
    virtual void SetStatusText(int field, std::u16string_view text) = 0;

    // --- Messages and dialogs (all modal; the event loop does not advance meanwhile) ---

    // A message box with an OK button only, the given title, text (lines joined by LF) and
    // icon. Returns after OK.
    virtual void ShowMessage(std::u16string_view text, std::u16string_view title,
                             MessageIcon icon) = 0;
    // The open-file dialog. defaultPath is split at its last '\' into the starting directory
    // and the preset file name (all of it is the name without a '\'). filter lists label and
    // pattern texts joined by '|' ("A|*.a|B|*.b"); the first pair is selected. The chosen
    // file need not exist, its path must. Returns the chosen path (up to 259 units), or the
    // empty text when cancelled. Does not change the process's current directory.
    virtual std::u16string ShowOpenDialog(std::u16string_view title,
                                          std::u16string_view defaultPath,
                                          std::u16string_view filter) = 0;
    // The save-file dialog, given and answering like ShowOpenDialog. Before it yields an
    // existing file it asks whether to replace it; No takes the user back to the dialog.
    virtual std::u16string ShowSaveDialog(std::u16string_view title,
                                          std::u16string_view defaultPath,
                                          std::u16string_view filter) = 0;

    // --- Text ---

    // The text in lower case, by the platform's own rules (CharLowerW on Windows).
    virtual std::u16string LowerCase(std::u16string_view text) = 0;

    // --- File drop and events ---

    // Makes the main window accept files dropped on it (copy effect); each drop is reported
    // as a Drop event.
    virtual void RegisterFileDrop() = 0;
    // Blocks, without time-out, until the next of the five events and returns it; all other
    // window-system traffic is handled inside. If the window system itself ends the loop,
    // it reports Close.
    virtual AppEvent WaitForEvent() = 0;

    // --- Viewer control (a read-only rich-text control in the main window) ---

    // Loads the rich-text library: "Msftedit.dll" (class "RICHEDIT50W"), or else
    // "riched20.dll" ("RichEdit20W"). NoLibrary when neither loads.
    virtual LibraryHandle LoadRichTextLibrary() = 0;
    // Releases the library; only called after the control made from it is destroyed.
    virtual void ReleaseRichTextLibrary(LibraryHandle library) = 0;
    // Creates the viewer control from the loaded library as a child of the main window at
    // (0, 0) of its client area with the given size: sunken edge, vertical scroll bar only,
    // lines wrapped at its width, selection kept visible without focus, empty text.
    // NoControl on failure.
    virtual ControlHandle CreateViewerControl(LibraryHandle library, Extent size) = 0;
    // Sets the largest number of characters the control accepts.
    virtual void SetViewerTextLimit(ControlHandle control, std::int64_t characters) = 0;
    // Makes the control read-only (the user can select and scroll but never type) or lifts
    // that for a content replacement.
    virtual void SetViewerReadOnly(ControlHandle control, bool readOnly) = 0;
    // Replaces the whole content with the zero-terminated 8-bit RTF text (read in place, not
    // copied) and discards the undo history. False when the control refused the text.
    virtual bool SetViewerRtf(ControlHandle control, const char* rtf) = 0;
    // Replaces the whole content with plain text.
    virtual void SetViewerText(ControlHandle control, std::u16string_view text) = 0;
    // Zooms the content by numerator / denominator; 0 / 0 means no zoom at all.
    virtual void SetViewerZoom(ControlHandle control, std::int64_t numerator,
                               std::int64_t denominator) = 0;
    // Scrolls so that the first line is at the top.
    virtual void ScrollViewerToTop(ControlHandle control) = 0;
    // Moves the control to (x, y) of the client area with the given size, and repaints it.
    virtual void MoveViewer(ControlHandle control, std::int64_t x, std::int64_t y, Extent size) = 0;
};

}  // namespace brevikon
