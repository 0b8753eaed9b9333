// Modeless dialogs with Win32: each template is written as an extended dialog template in memory
// and created with CreateDialogIndirectParamW; the controls are the system's own (Button, Edit,
// Static, ComboBox), so Tab, the arrows, Enter and Esc work as in any dialog once the message
// loop offers the dialogs their messages.
#include "viewer/platform/win32/dialog_host.h"

#include "viewer/platform/dialog.h"

#include "common/windows_api.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "common/utf16.h"
#include "viewer/platform/dialog_navigation.h"

namespace quillon::platform {
namespace {

constexpr DWORD kDialogStyle = DS_SHELLFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr WORD kFontPoints = 8;
constexpr wchar_t kFontFace[] = L"MS Shell Dlg";

// The predefined window classes by their ordinals in a dialog template.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kComboBoxClass = 0x0085;

WORD controlClass(ControlKind kind) {
    switch (kind) {
        case ControlKind::Static:
            return kStaticClass;
        case ControlKind::Edit:
            return kEditClass;
        case ControlKind::ComboBox:
            return kComboBoxClass;
        default:
            return kButtonClass;
    }
}

// The window style of a control: its kind's and the template's style bits.
DWORD controlStyle(const ControlTemplate& c) {
    DWORD style = WS_CHILD | WS_VISIBLE;
    if (c.style & kStyleBorder) style |= WS_BORDER;
    if (c.style & kStyleGroup) style |= WS_GROUP;
    if (c.style & kStyleTabStop) style |= WS_TABSTOP;
    if (c.style & kStyleVScroll) style |= WS_VSCROLL;
    switch (c.kind) {
        case ControlKind::Static:
            style |= SS_LEFT;
            break;
        case ControlKind::GroupBox:
            style |= BS_GROUPBOX;
            break;
        case ControlKind::Edit:
            style |= ES_LEFT;
            if (c.style & kStyleAutoHScroll) style |= ES_AUTOHSCROLL;
            if (c.style & kStyleReadOnly) style |= ES_READONLY;
            if (c.style & kStyleNumber) style |= ES_NUMBER;
            break;
        case ControlKind::PushButton:
            style |= BS_PUSHBUTTON;
            break;
        case ControlKind::DefPushButton:
            style |= BS_DEFPUSHBUTTON;
            break;
        case ControlKind::RadioButton:
            style |= BS_AUTORADIOBUTTON;
            break;
        case ControlKind::CheckBox:
            style |= BS_AUTOCHECKBOX;
            break;
        case ControlKind::ComboBox:
            style |= (c.style & kStyleDropDownList) ? CBS_DROPDOWNLIST : CBS_DROPDOWN;
            if (c.style & kStyleAutoHScroll) style |= CBS_AUTOHSCROLL;
            break;
    }
    bool isButton = controlClass(c.kind) == kButtonClass && c.kind != ControlKind::GroupBox;
    if (isButton && (c.style & kStyleMultiLine)) style |= BS_MULTILINE;
    return style;
}

// An extended dialog template (DLGTEMPLATEEX, then one DLGITEMTEMPLATEEX per control), written
// as 16-bit words into storage that starts on a DWORD boundary, as the system requires.
class TemplateWriter {
  public:
    void word(std::uint16_t w) { words_.push_back(w); }
    void dword(std::uint32_t d) {
        word(static_cast<std::uint16_t>(d & 0xFFFF));
        word(static_cast<std::uint16_t>(d >> 16));
    }
    void coordinate(int v) { word(static_cast<std::uint16_t>(static_cast<std::int16_t>(v))); }
    // A zero-terminated UTF-16 string.
    void text(const std::wstring& s) {
        for (wchar_t c : s) word(static_cast<std::uint16_t>(c));
        word(0);
    }
    // Each control's block starts on a DWORD boundary.
    void alignToDword() {
        if (words_.size() % 2) word(0);
    }
    // The template, aligned on a DWORD.
    std::vector<DWORD> finish() const {
        std::vector<DWORD> out((words_.size() + 1) / 2, 0);
        std::copy(words_.begin(), words_.end(), reinterpret_cast<std::uint16_t*>(out.data()));
        return out;
    }

  private:
    std::vector<std::uint16_t> words_;
};

std::vector<DWORD> buildDialogTemplate(const DialogTemplate& t) {
    TemplateWriter w;
    w.word(1);       // dlgVer
    w.word(0xFFFF);  // signature: an extended template
    w.dword(0);      // helpID
    w.dword(0);      // exStyle
    w.dword(kDialogStyle);
    w.word(static_cast<std::uint16_t>(t.controls.size()));
    w.coordinate(0);
    w.coordinate(0);
    w.coordinate(t.width);
    w.coordinate(t.height);
    w.word(0);  // no menu
    w.word(0);  // the predefined dialog class
    w.text(common::WideFromUtf8(t.caption));
    w.word(kFontPoints);
    w.word(FW_NORMAL);
    w.word(static_cast<std::uint16_t>(DEFAULT_CHARSET << 8));  // italic (no), charset
    w.text(kFontFace);
    for (const ControlTemplate& c : t.controls) {
        w.alignToDword();
        w.dword(0);  // helpID
        w.dword(0);  // exStyle
        w.dword(controlStyle(c));
        w.coordinate(c.x);
        w.coordinate(c.y);
        w.coordinate(c.width);
        w.coordinate(c.height);
        w.dword(static_cast<std::uint32_t>(c.id));
        w.word(0xFFFF);  // a predefined class by its ordinal
        w.word(controlClass(c.kind));
        w.text(common::WideFromUtf8(c.text));
        w.word(0);  // no creation data
    }
    return w.finish();
}

std::wstring windowText(HWND window) {
    if (!window) return L"";
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

class Win32DialogHost;

std::vector<Win32DialogHost*>& openHosts() {  // oldest first
    static std::vector<Win32DialogHost*> hosts;
    return hosts;
}

INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class Win32DialogHost : public DialogHost {
  public:
    Win32DialogHost(const DialogTemplate& t, std::unique_ptr<DialogLogic> logic)
        : template_(t), logic_(std::move(logic)) {}

    // Creates the dialog; onInit runs inside. False when the system refused to create it or
    // onInit closed it (the host is gone then).
    bool create(HWND owner) {
        std::vector<DWORD> bytes = buildDialogTemplate(template_);
        openHosts().push_back(this);
        CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                   reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), owner,
                                   dialogProcedure, reinterpret_cast<LPARAM>(this));
        if (window_ && !calls_.closing()) return true;
        destroy();
        return false;
    }

    void show(HWND owner) {
        if (owner) {
            RECT frame{}, client{}, own{};
            GetWindowRect(owner, &own);
            GetClientRect(owner, &client);
            POINT clientTop{0, 0};
            ClientToScreen(owner, &clientTop);
            GetWindowRect(window_, &frame);
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
            const RECT& work = monitor.rcWork;
            PixelRect at =
                placeDialog({own.left, clientTop.y, own.right - own.left, client.bottom},
                            {work.left, work.top, work.right - work.left, work.bottom - work.top},
                            {0, 0, frame.right - frame.left, frame.bottom - frame.top},
                            static_cast<int>(openHosts().size()) - 1);
            SetWindowPos(window_, nullptr, at.x, at.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ShowWindow(window_, SW_SHOW);
    }

    HWND window() const { return window_; }
    bool closing() const { return calls_.closing(); }

    const DialogTemplate& dialogTemplate() const override { return template_; }

    std::string itemText(int id) const override {
        if (!template_.control(id)) return "";
        return common::Utf8FromWide(windowText(GetDlgItem(window_, id)));
    }
    void setItemText(int id, const std::string& text) override {
        const ControlTemplate* c = template_.control(id);
        if (!c || c->kind == ControlKind::ComboBox) return;  // a drop-down list shows its items
        SetDlgItemTextW(window_, id, common::WideFromUtf8(text).c_str());
        if (c->kind == ControlKind::Edit) {
            // Shown from its start, the caret before the first character.
            SendDlgItemMessageW(window_, id, EM_SETSEL, 0, 0);
            SendDlgItemMessageW(window_, id, EM_SCROLLCARET, 0, 0);
        }
    }
    bool isChecked(int id) const override {
        if (!checkable(id)) return false;
        return SendDlgItemMessageW(window_, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void setChecked(int id, bool checked) override {
        if (checkable(id))
            SendDlgItemMessageW(window_, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void checkRadioButton(int first, int last, int id) override {
        CheckRadioButton(window_, first, last, id);
    }

    void comboClear(int id) override {
        if (isCombo(id)) SendDlgItemMessageW(window_, id, CB_RESETCONTENT, 0, 0);
    }
    void comboInsert(int id, int index, const std::string& text) override {
        if (!isCombo(id)) return;
        if (index > comboCount(id)) index = -1;  // past the end: at the end
        std::wstring wide = common::WideFromUtf8(text);
        SendDlgItemMessageW(window_, id, CB_INSERTSTRING,
                            static_cast<WPARAM>(index < 0 ? -1 : index),
                            reinterpret_cast<LPARAM>(wide.c_str()));
    }
    int comboCount(int id) const override {
        if (!isCombo(id)) return 0;
        LRESULT count = SendDlgItemMessageW(window_, id, CB_GETCOUNT, 0, 0);
        return count == CB_ERR ? 0 : static_cast<int>(count);
    }
    void comboSelect(int id, int index) override {
        if (!isCombo(id)) return;
        if (index >= comboCount(id)) index = -1;
        SendDlgItemMessageW(window_, id, CB_SETCURSEL, static_cast<WPARAM>(index < 0 ? -1 : index),
                            0);
    }
    int comboSelection(int id) const override {
        if (!isCombo(id)) return -1;
        LRESULT selection = SendDlgItemMessageW(window_, id, CB_GETCURSEL, 0, 0);
        return selection == CB_ERR ? -1 : static_cast<int>(selection);
    }

    // Within a command, the dialog goes when the command returns; otherwise at once.
    void close() override {
        if (calls_.close()) destroy();
    }

    // WM_INITDIALOG.
    void initDialog(HWND window) {
        window_ = window;
        calls_.run([&] { logic_->onInit(*this); });  // a close in it is left to create()
    }

    // WM_COMMAND from control `id` (null `control` for Enter and Esc, which the dialog manager
    // sends as IDOK and IDCANCEL, and for the close box, which it turns into IDCANCEL).
    void command(int id, int code, HWND control) {
        const ControlTemplate* c = control ? template_.control(id) : nullptr;
        if (!c) {
            if (id == kIdOk || id == kIdCancel) deliver(id, Notification::Clicked);
            return;
        }
        switch (c->kind) {
            case ControlKind::PushButton:
            case ControlKind::DefPushButton:
            case ControlKind::RadioButton:
            case ControlKind::CheckBox:
                if (code == BN_CLICKED) deliver(id, Notification::Clicked);
                return;
            case ControlKind::ComboBox:
                if (code == CBN_SELCHANGE) deliver(id, Notification::SelectionChanged);
                return;
            case ControlKind::Edit:
                // Not the logic's concern; a click places the caret itself.
                if (code == EN_SETFOCUS && GetKeyState(VK_LBUTTON) >= 0) showFromStart(control);
                return;
            default:
                return;  // statics and group boxes tell nothing
        }
    }

    // WM_NCDESTROY of a dialog destroyed by the system (its owner went away).
    void windowDestroyed() {
        window_ = nullptr;
        if (calls_.close()) destroy();
    }

  private:
    // An edit that gets the keyboard with all its text selected (as the dialog manager selects
    // it) keeps it selected but shows it from its start, not scrolled to its end: a number
    // wider than its edit reads "-48.60" rather than "8.601420".
    static void showFromStart(HWND edit) {
        DWORD first = 0, last = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                     reinterpret_cast<LPARAM>(&last));
        auto length = static_cast<DWORD>(GetWindowTextLengthW(edit));
        if (length == 0 || first != 0 || last != length) return;
        SendMessageW(edit, EM_SETSEL, length, 0);  // the caret at the start
        SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    }

    bool checkable(int id) const {
        const ControlTemplate* c = template_.control(id);
        return c && (c->kind == ControlKind::RadioButton || c->kind == ControlKind::CheckBox);
    }
    bool isCombo(int id) const {
        const ControlTemplate* c = template_.control(id);
        return c && c->kind == ControlKind::ComboBox;
    }

    void deliver(int id, Notification code) {
        if (calls_.run([&] { logic_->onCommand(*this, id, code); })) destroy();
    }

    void destroy() {
        auto& hosts = openHosts();
        hosts.erase(std::remove(hosts.begin(), hosts.end(), this), hosts.end());
        if (window_) {
            SetWindowLongPtrW(window_, DWLP_USER, 0);  // no message reaches the host any more
            DestroyWindow(window_);
        }
        delete this;
    }

    DialogTemplate template_;
    std::unique_ptr<DialogLogic> logic_;
    HWND window_ = nullptr;
    LogicCalls calls_;
};

INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* host = reinterpret_cast<Win32DialogHost*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        host->initDialog(window);
        return TRUE;  // the keyboard to the first tab stop
    }
    auto* host = reinterpret_cast<Win32DialogHost*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!host) return FALSE;
    switch (message) {
        case WM_COMMAND:
            host->command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return TRUE;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, DWLP_USER, 0);
            host->windowDestroyed();
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

DialogHost* openWin32Dialog(const DialogTemplate& dialogTemplate,
                            std::unique_ptr<DialogLogic> logic, HWND owner) {
    auto* host = new Win32DialogHost(dialogTemplate, std::move(logic));
    if (!host->create(owner)) return nullptr;
    host->show(owner);
    return host;
}

std::vector<HWND> openWin32Dialogs() {
    const auto& hosts = openHosts();
    std::vector<HWND> windows;
    for (auto it = hosts.rbegin(); it != hosts.rend(); ++it)
        if ((*it)->window()) windows.push_back((*it)->window());
    return windows;
}

bool isDialogMessageForOpenDialogs(MSG* message) {
    // A copy: a dialog may close while it handles the message.
    for (HWND dialog : openWin32Dialogs())
        if (IsWindow(dialog) && IsDialogMessageW(dialog, message)) return true;
    return false;
}

HWND win32DialogWindow(const DialogHost* host) {
    for (const Win32DialogHost* h : openHosts())
        if (h == host) return h->window();
    return nullptr;
}

}  // namespace quillon::platform
