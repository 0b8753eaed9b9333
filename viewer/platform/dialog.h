#pragma once
// Modeless tool dialogs: a dialog is built from a template (plain data: ids, kinds, texts,
// styles and rectangles in dialog units), its logic talks only to a DialogHost, and the host
// calls the logic back with onInit and onCommand. The window's hosts are built with FLTK on
// Linux and are real Win32 dialogs on Windows; tests and scripted runs use the in-memory host.
// No toolkit type appears here.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/outcome.h"
#include "viewer/platform/long_task.h"

namespace quillon::platform {

// Command ids of the dialog itself: the default button and the close box (or Esc), of the values
// Windows gives them (IDOK and IDCANCEL).
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
// Controls that are never addressed (labels, group boxes).
constexpr int IDC_STATIC = -1;

enum class ControlKind {
    Static,    // a left-aligned label
    GroupBox,  // a frame with a caption around other controls
    Edit,      // one line of text
    PushButton,
    DefPushButton,  // the push button that Enter presses
    RadioButton,    // automatic: checking one unchecks the others of its group
    CheckBox,       // automatic: a click toggles it
    ComboBox,       // a drop-down list to choose one item from
};

// Style bits beyond the kind (the names of the classic dialog styles they stand for).
enum ControlStyle : std::uint32_t {
    kStyleNone = 0,
    kStyleBorder = 1u << 0,        // WS_BORDER
    kStyleAutoHScroll = 1u << 1,   // ES_AUTOHSCROLL
    kStyleGroup = 1u << 2,         // WS_GROUP: starts a group of radio buttons (and of arrows)
    kStyleTabStop = 1u << 3,       // WS_TABSTOP
    kStyleVScroll = 1u << 4,       // WS_VSCROLL
    kStyleDropDownList = 1u << 5,  // CBS_DROPDOWNLIST
    kStyleReadOnly = 1u << 6,      // ES_READONLY
    kStyleNumber = 1u << 7,        // ES_NUMBER
    kStyleMultiLine = 1u << 8,     // BS_MULTILINE: the text's line breaks show
};

struct ControlTemplate {
    int id = IDC_STATIC;
    ControlKind kind = ControlKind::Static;
    std::string text;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    std::uint32_t style = kStyleNone;
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    int width = 0, height = 0;  // dialog units
    std::vector<ControlTemplate> controls;

    // The control with `id`, or nullptr (IDC_STATIC is never found).
    const ControlTemplate* control(int controlId) const {
        if (controlId == IDC_STATIC) return nullptr;
        for (const ControlTemplate& c : controls)
            if (c.id == controlId) return &c;
        return nullptr;
    }
};

// The base units of a dialog's font in pixels: the average width of its letters and its
// height. A dialog unit is a quarter of the first across and an eighth of the second down. The
// templates were drawn for 6 × 13 pixels (1.5 × 1.625 a unit), which is the default.
struct DialogBaseUnits {
    int x = 6, y = 13;
    bool operator==(const DialogBaseUnits&) const = default;
};

// The base units of a font, measured as a dialog measures them: `lettersWidth` is the width of
// the 52 letters A–Z a–z written in a row, rounded to the nearest pixel and averaged (half a
// pixel rounds up); `height` is the font's ascent plus descent.
constexpr DialogBaseUnits dialogBaseUnits(int lettersWidth, int height) {
    return {(lettersWidth + 26) / 52, height};
}

// Dialog units in pixels, rounded down.
constexpr int dialogUnitsToPixelsX(int du, DialogBaseUnits units = {}) {
    return du * units.x / 4;
}
constexpr int dialogUnitsToPixelsY(int du, DialogBaseUnits units = {}) {
    return du * units.y / 8;
}

// What a control tells its dialog's logic.
enum class Notification {
    Clicked,           // a button was pressed (also kIdOk / kIdCancel)
    SelectionChanged,  // a combo box's chosen item changed by the user
};

// The open dialog, as its logic sees it.
class DialogHost {
  public:
    virtual ~DialogHost() = default;
    virtual const DialogTemplate& dialogTemplate() const = 0;

    virtual std::string itemText(int id) const = 0;
    virtual void setItemText(int id, const std::string& text) = 0;
    virtual bool isChecked(int id) const = 0;
    virtual void setChecked(int id, bool checked) = 0;
    // Checks `id` and unchecks every other control whose id lies in first … last.
    virtual void checkRadioButton(int first, int last, int id) {
        for (int c = first; c <= last; ++c)
            if (dialogTemplate().control(c)) setChecked(c, c == id);
    }

    // Combo boxes: items in order; the chosen item is -1 when none is.
    virtual void comboClear(int id) = 0;
    virtual void comboInsert(int id, int index, const std::string& text) = 0;  // -1: at the end
    virtual int comboCount(int id) const = 0;
    virtual void comboSelect(int id, int index) = 0;  // no notification follows
    virtual int comboSelection(int id) const = 0;

    // Closes the dialog once the command under way has returned; the host goes with it.
    virtual void close() = 0;
};

// What a dialog does: called by its host.
class DialogLogic {
  public:
    virtual ~DialogLogic() = default;
    // Once, after the controls exist and before the dialog is shown.
    virtual void onInit(DialogHost& host) = 0;
    // A control's notification; kIdCancel for the close box and Esc.
    virtual void onCommand(DialogHost& host, int id, Notification code) = 0;
};

// A windowed host's calls into its logic. A dialog that its logic closes goes only once the
// outermost call has returned, so that no host is destroyed under a running command, and nothing
// reaches the logic after it asked to close.
class LogicCalls {
  public:
    bool closing() const { return closing_; }
    // The dialog is to close: true when no call is under way, so that it may go at once.
    bool close() {
        closing_ = true;
        return depth_ == 0;
    }
    // Makes `call` into the logic, unless the dialog is closing; true when the dialog closed in
    // it and must go now.
    template <class Call>
    bool run(Call&& call) {
        if (closing_) return false;
        ++depth_;
        call();
        --depth_;
        return closing_ && depth_ == 0;
    }

  private:
    int depth_ = 0;
    bool closing_ = false;
};

// What the viewer asks of the windowing system around it: the main window, modeless dialogs
// and the file choosers. Message boxes are platform::messageBox.
struct FileDialog {
    std::string title;
    std::string filterName;        // "Text Files (*.txt)"
    std::string pattern;           // "*.txt"
    std::string defaultExtension;  // "txt"
    std::string lastPath;          // offered again; updated on success
    // Further types a save dialog offers after the first; the type the user chooses gives a
    // name typed without an extension its extension.
    struct Type {
        std::string name, pattern, extension;  // "SVG Pictures (*.svg)", "*.svg", "svg"
    };
    std::vector<Type> moreTypes;
    // The extension of the type chosen in the dialog (index 0 the first type, k the k-th of
    // moreTypes); the first type's when the index is out of range.
    const std::string& extensionOfType(std::size_t index) const {
        return index >= 1 && index <= moreTypes.size() ? moreTypes[index - 1].extension
                                                       : defaultExtension;
    }
};

class Desktop {
  public:
    virtual ~Desktop() = default;
    // The main view is drawn again soon, without erasing it first.
    virtual void repaintMainWindow() = 0;
    // The keyboard goes to the main view.
    virtual void focusMainWindow() = 0;
    // A new modeless dialog owned by the main window; the logic's onInit has run when this
    // returns. The host stays valid until the dialog closes; nullptr when onInit closed it.
    virtual DialogHost* openDialog(const DialogTemplate& dialogTemplate,
                                   std::unique_ptr<DialogLogic> logic) = 0;
    // The user's choice of a file to read; nothing when cancelled.
    virtual std::optional<std::string> chooseFileToOpen(FileDialog& dialog) = 0;
    // Puts a picture (RGB rows, top row first) on the clipboard, for other programs to paste
    // for as long as this one runs or until something else is copied.
    virtual common::Outcome copyPicture(int width, int height,
                                        const std::vector<std::uint8_t>& rgb) = 0;
    // The user's choice of a file to write (an existing file only after they agreed to
    // replace it); nothing when cancelled.
    virtual std::optional<std::string> chooseFileToSave(FileDialog& dialog) = 0;
    // Hands a finished file to the desktop's text editor without waiting for it.
    virtual void openInTextEditor(const std::string& path) = 0;
    // Returns once `task` has ended. Meanwhile the main window keeps answering: it repaints
    // and resizes, its title shows the share done, Esc goes to the task and closing the
    // window stops it; other input (menus, mouse, keys, dialogs) is set aside unused.
    virtual void waitAnswering(LongTask& task) = 0;
};

// The end of every dialog action that changes the picture: the keyboard goes back to the main
// view, which is drawn again.
inline void RepaintMainWindow(Desktop& desktop) {
    desktop.focusMainWindow();
    desktop.repaintMainWindow();
}

// Starts the desktop's text editor on `path` (xdg-open on Linux, Notepad on Windows), detached:
// nothing waits for it and no shell or command processor reads the path.
void startTextEditor(const std::string& path);

// A chosen name without an extension gets the default one, unless a file of that very name
// exists.
std::string withDefaultExtension(const std::string& path, const std::string& extension);

}  // namespace quillon::platform
