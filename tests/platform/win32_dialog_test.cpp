// The Win32 dialog host on a display (Wine on a virtual X server in the tests): every template
// becomes a real dialog whose controls are checked through the Win32 API, and the host's calls,
// clicks, keys and the close box reach the controls and the logic as they should.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/dialog_host_contract.h"
#include "tests/support/skip.h"
#include "viewer/platform/dialog.h"
#include "viewer/platform/win32/dialog_host.h"
#include "viewer/resources/dialogs.h"

#include "common/windows_api.h"

#include "common/utf16.h"

namespace {

using quillon::platform::ControlKind;
using quillon::platform::ControlTemplate;
using quillon::platform::DialogHost;
using quillon::platform::DialogLogic;
using quillon::platform::DialogTemplate;
using quillon::platform::Notification;

// What the logic was told, and what it does when told.
struct Record {
    int inits = 0;
    std::vector<std::pair<int, Notification>> commands;
    bool destroyed = false;
};
class RecordingLogic : public DialogLogic {
  public:
    RecordingLogic(Record& record, std::function<void(DialogHost&, int)> onCommand = {},
                   std::function<void(DialogHost&)> onInit = {})
        : record_(record), onCommand_(std::move(onCommand)), onInit_(std::move(onInit)) {}
    ~RecordingLogic() override { record_.destroyed = true; }
    void onInit(DialogHost& host) override {
        ++record_.inits;
        if (onInit_) onInit_(host);
    }
    void onCommand(DialogHost& host, int id, Notification code) override {
        record_.commands.push_back({id, code});
        if (onCommand_) onCommand_(host, id);
    }

  private:
    Record& record_;
    std::function<void(DialogHost&, int)> onCommand_;
    std::function<void(DialogHost&)> onInit_;
};
// Closes its dialog on IDCANCEL, as every dialog of the viewer does.
std::function<void(DialogHost&, int)> closeOnCancel() {
    return [](DialogHost& host, int id) {
        if (id == quillon::platform::kIdCancel) host.close();
    };
}

std::wstring wide(const std::string& utf8) {
    return common::WideFromUtf8(utf8);
}
std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}
std::wstring text(HWND window) {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}
LONG style(HWND window) {
    return GetWindowLongW(window, GWL_STYLE);
}

// Handles what is queued, as the main window's message loop does.
void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (quillon::platform::isDialogMessageForOpenDialogs(&message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A key pressed and released on the control that has the keyboard.
void pressKey(WORD key) {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    pumpMessages();
}

class Win32Dialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSW c{};
        c.lpfnWndProc = DefWindowProcW;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = L"Dialog Test Owner";
        RegisterClassW(&c);
        owner_ = CreateWindowExW(0, c.lpszClassName, L"Dialog Test Owner", WS_OVERLAPPEDWINDOW, 20,
                                 20, 400, 300, nullptr, nullptr, c.hInstance, nullptr);
        if (!owner_) {
            SKIP_OR_FAIL_IN_CI() << "no window can be made (no display?)";
        }
        ShowWindow(owner_, SW_SHOW);
        pumpMessages();
    }
    void TearDown() override {
        if (owner_) DestroyWindow(owner_);  // the dialogs it owns go first
        pumpMessages();
        EXPECT_TRUE(quillon::platform::openWin32Dialogs().empty());
    }

    DialogHost* open(const DialogTemplate& t, Record& record,
                     std::function<void(DialogHost&, int)> onCommand = closeOnCancel(),
                     std::function<void(DialogHost&)> onInit = {}) {
        DialogHost* host = quillon::platform::openWin32Dialog(
            t, std::make_unique<RecordingLogic>(record, std::move(onCommand), std::move(onInit)),
            owner_);
        pumpMessages();
        return host;
    }

    // What a logic records; it outlives the dialogs, which may close only when their owner does.
    Record& newRecord() { return records_.emplace_back(); }

    HWND owner_ = nullptr;
    std::deque<Record> records_;
};

// The dialog units of a template rectangle in the dialog's pixels.
RECT pixels(HWND dialog, int x, int y, int width, int height) {
    RECT r{x, y, x + width, y + height};
    MapDialogRect(dialog, &r);
    return r;
}
// The rectangle of a control in its dialog's client coordinates.
RECT placeOf(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Every control of every template: class, id, text, style bits and rectangle, in template order.
TEST_F(Win32Dialogs, EveryTemplateBecomesADialogWithEachOfItsControls) {
    for (int id : {quillon::kDlgViewKit, quillon::kDlgPlotSettings, quillon::kDlgContourKit,
                   quillon::kDlgSelectShells, quillon::kDlgSelectBeams, quillon::kDlgSelectNodes}) {
        const DialogTemplate& t = *quillon::dialogTemplate(id);
        SCOPED_TRACE(t.caption);
        Record& record = newRecord();
        DialogHost* host = open(t, record);
        ASSERT_NE(host, nullptr);
        HWND dialog = quillon::platform::win32DialogWindow(host);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(record.inits, 1);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner_);
        EXPECT_EQ(text(dialog), wide(t.caption));
        EXPECT_EQ(style(dialog) & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CHILD),
                  WS_POPUP | WS_CAPTION | WS_SYSMENU);
        RECT client;
        GetClientRect(dialog, &client);
        RECT size = pixels(dialog, 0, 0, t.width, t.height);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);

        // "MS Shell Dlg" at 8 points.
        LOGFONTW font{};
        auto hfont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
        ASSERT_NE(hfont, nullptr);
        GetObjectW(hfont, sizeof font, &font);
        EXPECT_EQ(std::wstring(font.lfFaceName).rfind(L"MS Shell Dlg", 0), 0u)
            << common::Utf8FromWide(font.lfFaceName);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(font.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72));
        ReleaseDC(nullptr, screen);

        HWND child = GetWindow(dialog, GW_CHILD);
        for (const ControlTemplate& c : t.controls) {
            SCOPED_TRACE(c.text + " " + std::to_string(c.id));
            ASSERT_NE(child, nullptr) << "fewer controls than in the template";
            if (c.id != quillon::platform::IDC_STATIC) {
                EXPECT_EQ(GetDlgItem(dialog, c.id), child);
            }
            EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(child)), static_cast<WORD>(c.id));
            LONG s = style(child);
            auto has = [&](LONG bits) { return (s & bits) == bits; };
            EXPECT_EQ(has(WS_TABSTOP), (c.style & quillon::platform::kStyleTabStop) != 0);
            EXPECT_EQ(has(WS_GROUP), (c.style & quillon::platform::kStyleGroup) != 0);
            // A combo box passes its scroll bar on to its list, which shows it when the items
            // do not fit.
            HWND scrolled = child;
            COMBOBOXINFO combo{};
            combo.cbSize = sizeof combo;
            if (c.kind == ControlKind::ComboBox && GetComboBoxInfo(child, &combo)) {
                for (int i = 0; i < 30; ++i) host->comboInsert(c.id, -1, "item");
                scrolled = combo.hwndList;
            }
            EXPECT_EQ((style(scrolled) & WS_VSCROLL) != 0,
                      (c.style & quillon::platform::kStyleVScroll) != 0);
            EXPECT_TRUE(has(WS_CHILD | WS_VISIBLE));
            std::wstring cls = className(child);
            switch (c.kind) {
                case ControlKind::Static:
                    EXPECT_EQ(cls, L"Static");
                    EXPECT_EQ(s & SS_TYPEMASK, SS_LEFT);
                    break;
                case ControlKind::GroupBox:
                    EXPECT_EQ(cls, L"Button");
                    EXPECT_EQ(s & BS_TYPEMASK, BS_GROUPBOX);
                    break;
                case ControlKind::Edit: {
                    EXPECT_EQ(cls, L"Edit");
                    EXPECT_EQ(has(ES_AUTOHSCROLL),
                              (c.style & quillon::platform::kStyleAutoHScroll) != 0);
                    EXPECT_EQ(has(ES_READONLY), (c.style & quillon::platform::kStyleReadOnly) != 0);
                    EXPECT_EQ(has(ES_NUMBER), (c.style & quillon::platform::kStyleNumber) != 0);
                    // The dialog manager draws a bordered edit sunken.
                    bool border = has(WS_BORDER) ||
                                  (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
                    EXPECT_EQ(border, (c.style & quillon::platform::kStyleBorder) != 0);
                    break;
                }
                case ControlKind::PushButton:
                    EXPECT_EQ(cls, L"Button");
                    EXPECT_EQ(s & BS_TYPEMASK, BS_PUSHBUTTON);
                    break;
                case ControlKind::DefPushButton:
                    EXPECT_EQ(cls, L"Button");
                    EXPECT_EQ(s & BS_TYPEMASK, BS_DEFPUSHBUTTON);
                    break;
                case ControlKind::RadioButton:
                    EXPECT_EQ(cls, L"Button");
                    EXPECT_EQ(s & BS_TYPEMASK, BS_AUTORADIOBUTTON);
                    break;
                case ControlKind::CheckBox:
                    EXPECT_EQ(cls, L"Button");
                    EXPECT_EQ(s & BS_TYPEMASK, BS_AUTOCHECKBOX);
                    break;
                case ControlKind::ComboBox:
                    EXPECT_EQ(cls, L"ComboBox");
                    EXPECT_EQ(s & 3, CBS_DROPDOWNLIST);
                    break;
            }
            if (cls == L"Button") {
                EXPECT_EQ(has(BS_MULTILINE), (c.style & quillon::platform::kStyleMultiLine) != 0);
            }
            if (c.kind != ControlKind::Edit && c.kind != ControlKind::ComboBox) {
                EXPECT_EQ(text(child), wide(c.text));
            }
            // Place and size are converted apart, as the dialog manager does.
            RECT at = pixels(dialog, c.x, c.y, 0, 0),
                 size = pixels(dialog, 0, 0, c.width, c.height);
            RECT got = placeOf(child);
            EXPECT_EQ(got.left, at.left);
            EXPECT_EQ(got.top, at.top);
            EXPECT_EQ(got.right - got.left, size.right);
            if (c.kind != ControlKind::ComboBox) {  // its template height includes the list
                EXPECT_EQ(got.bottom - got.top, size.bottom);
            }
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child, nullptr) << "more controls than in the template";
        host->close();
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_TRUE(record.destroyed);
    }
}

// The host's calls reach the controls: texts (Unicode, numbers shown from their start), radio
// buttons, check boxes and combo boxes; none of them tells the logic anything.
TEST_F(Win32Dialogs, TheHostsCallsReachTheControls) {
    // Numbers set at the start show from their first character, in the edit that has the
    // keyboard too (not scrolled to their end).
    const std::string number = "-48.601420", unicode = "Größe 応力 β";
    Record& viewRecord = newRecord();
    DialogHost* view =
        open(quillon::viewKitTemplate(), viewRecord, closeOnCancel(), [&](DialogHost& host) {
            host.setItemText(quillon::IDC_ALPHA, number);
            host.setItemText(quillon::IDC_BETA, number);
        });
    ASSERT_NE(view, nullptr);
    HWND viewDialog = quillon::platform::win32DialogWindow(view);
    EXPECT_EQ(GetFocus(), GetDlgItem(viewDialog, quillon::IDC_ALPHA));
    DWORD first = 1, last = 0;  // the focused edit's text stays selected
    SendDlgItemMessageW(viewDialog, quillon::IDC_ALPHA, EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                        reinterpret_cast<LPARAM>(&last));
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(last, number.size());
    for (int id : {quillon::IDC_ALPHA, quillon::IDC_BETA}) {
        HWND edit = GetDlgItem(viewDialog, id);
        EXPECT_EQ(LOWORD(SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(3, 3))), 0) << id;
    }

    Record& record = newRecord();
    DialogHost* kit = open(quillon::contourKitTemplate(), record);
    ASSERT_NE(kit, nullptr);
    HWND dialog = quillon::platform::win32DialogWindow(kit);

    kit->setItemText(quillon::IDC_ROW0_SL, number);
    kit->setItemText(quillon::IDC_ROW0_SR, unicode);
    EXPECT_EQ(kit->itemText(quillon::IDC_ROW0_SL), number);
    EXPECT_EQ(kit->itemText(quillon::IDC_ROW0_SR), unicode);
    EXPECT_EQ(text(GetDlgItem(dialog, quillon::IDC_ROW0_SR)), wide(unicode));
    // The first character shows at the edit's left edge.
    HWND edit = GetDlgItem(dialog, quillon::IDC_ROW0_SL);
    EXPECT_EQ(LOWORD(SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(3, 3))), 0);

    kit->checkRadioButton(quillon::IDC_COMPONENT_SX, quillon::IDC_COMPONENT_SE,
                          quillon::IDC_COMPONENT_SX + 3);
    for (int id = quillon::IDC_COMPONENT_SX; id <= quillon::IDC_COMPONENT_SE; ++id) {
        bool want = id == quillon::IDC_COMPONENT_SX + 3;
        EXPECT_EQ(IsDlgButtonChecked(dialog, id), want ? 1u : 0u) << id;
        EXPECT_EQ(kit->isChecked(id), want) << id;
    }

    Record& plotRecord = newRecord();
    DialogHost* plot = open(quillon::plotSettingsTemplate(), plotRecord);
    ASSERT_NE(plot, nullptr);
    HWND combo = GetDlgItem(quillon::platform::win32DialogWindow(plot), quillon::IDC_NODES);
    plot->comboInsert(quillon::IDC_NODES, 0, "All");
    plot->comboInsert(quillon::IDC_NODES, 1, "Selected");
    plot->comboInsert(quillon::IDC_NODES, 1, "Größe");
    plot->comboInsert(quillon::IDC_NODES, -1, "None");
    ASSERT_EQ(plot->comboCount(quillon::IDC_NODES), 4);
    const wchar_t* items[] = {L"All", L"Größe", L"Selected", L"None"};
    for (int i = 0; i < 4; ++i) {
        wchar_t item[32] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        EXPECT_EQ(std::wstring(item), items[i]) << i;
    }
    EXPECT_EQ(plot->comboSelection(quillon::IDC_NODES), -1);
    plot->comboSelect(quillon::IDC_NODES, 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(plot->itemText(quillon::IDC_NODES), "Größe");
    plot->comboSelect(quillon::IDC_NODES, 9);
    EXPECT_EQ(plot->comboSelection(quillon::IDC_NODES), -1);
    plot->comboClear(quillon::IDC_NODES);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);

    Record& selectRecord = newRecord();
    DialogHost* select = open(quillon::selectNodesTemplate(), selectRecord);
    ASSERT_NE(select, nullptr);
    int onlyOperate = quillon::kNodeControls.onlyOperate;
    select->setChecked(onlyOperate, true);
    EXPECT_EQ(IsDlgButtonChecked(quillon::platform::win32DialogWindow(select), onlyOperate), 1u);
    EXPECT_TRUE(select->isChecked(onlyOperate));
    select->setChecked(onlyOperate, false);
    EXPECT_FALSE(select->isChecked(onlyOperate));

    pumpMessages();
    EXPECT_TRUE(record.commands.empty());
    EXPECT_TRUE(plotRecord.commands.empty());
    EXPECT_TRUE(selectRecord.commands.empty());
}

// Clicks, a combo box's choice, Esc and the close box reach the logic; a dialog closed in a
// command goes when the command returns, and one closed in onInit never shows.
TEST_F(Win32Dialogs, UsersActionsReachTheLogicAndCloseTheDialog) {
    Record& record = newRecord();
    bool windowDuringCommand = false;
    HWND dialog = nullptr;
    DialogHost* kit = open(quillon::contourKitTemplate(), record, [&](DialogHost& host, int id) {
        if (id != quillon::IDC_CONTOUR_EXIT) return;
        host.close();
        windowDuringCommand = IsWindow(dialog);  // still there until the command returns
    });
    ASSERT_NE(kit, nullptr);
    dialog = quillon::platform::win32DialogWindow(kit);
    kit->checkRadioButton(quillon::IDC_COMPONENT_SX, quillon::IDC_COMPONENT_SE,
                          quillon::IDC_COMPONENT_SX);

    // A click on a radio button checks it (and unchecks the rest of its group).
    SendDlgItemMessageW(dialog, quillon::IDC_COMPONENT_SX + 2, BM_CLICK, 0, 0);
    pumpMessages();
    ASSERT_EQ(record.commands.size(), 1u);
    EXPECT_EQ(record.commands[0].first, quillon::IDC_COMPONENT_SX + 2);
    EXPECT_EQ(record.commands[0].second, Notification::Clicked);
    EXPECT_TRUE(kit->isChecked(quillon::IDC_COMPONENT_SX + 2));
    EXPECT_FALSE(kit->isChecked(quillon::IDC_COMPONENT_SX));

    // Esc, through the message loop, is IDCANCEL; this logic closes only on Exit.
    SetFocus(GetDlgItem(dialog, quillon::IDC_ROW0_SL));
    ASSERT_NO_FATAL_FAILURE(pressKey(VK_ESCAPE));
    ASSERT_EQ(record.commands.size(), 2u);
    EXPECT_EQ(record.commands[1].first, quillon::platform::kIdCancel);
    // Tab walks to the next tab stop.
    ASSERT_NO_FATAL_FAILURE(pressKey(VK_TAB));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, quillon::IDC_ROW0_SR));

    SendDlgItemMessageW(dialog, quillon::IDC_CONTOUR_EXIT, BM_CLICK, 0, 0);
    pumpMessages();
    EXPECT_EQ(record.commands.back().first, quillon::IDC_CONTOUR_EXIT);
    EXPECT_TRUE(windowDuringCommand);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(record.destroyed);

    // A combo box's choice made with the keyboard.
    Record& plotRecord = newRecord();
    DialogHost* plot = open(quillon::plotSettingsTemplate(), plotRecord);
    ASSERT_NE(plot, nullptr);
    HWND plotDialog = quillon::platform::win32DialogWindow(plot);
    for (const char* item : {"All", "Selected", "None"})
        plot->comboInsert(quillon::IDC_NODES, -1, item);
    plot->comboSelect(quillon::IDC_NODES, 0);
    SetFocus(GetDlgItem(plotDialog, quillon::IDC_NODES));
    ASSERT_NO_FATAL_FAILURE(pressKey(VK_DOWN));
    ASSERT_EQ(plotRecord.commands.size(), 1u);
    EXPECT_EQ(plotRecord.commands[0].first, quillon::IDC_NODES);
    EXPECT_EQ(plotRecord.commands[0].second, Notification::SelectionChanged);
    EXPECT_EQ(plot->comboSelection(quillon::IDC_NODES), 1);

    // The close box is IDCANCEL, and this logic closes then.
    SendMessageW(plotDialog, WM_CLOSE, 0, 0);
    pumpMessages();
    ASSERT_EQ(plotRecord.commands.size(), 2u);
    EXPECT_EQ(plotRecord.commands[1].first, quillon::platform::kIdCancel);
    EXPECT_FALSE(IsWindow(plotDialog));

    Record& closedRecord = newRecord();
    EXPECT_EQ(quillon::platform::openWin32Dialog(
                  quillon::viewKitTemplate(),
                  std::make_unique<RecordingLogic>(closedRecord, nullptr,
                                                   [](DialogHost& host) { host.close(); }),
                  owner_),
              nullptr);
    EXPECT_EQ(closedRecord.inits, 1);
    EXPECT_TRUE(closedRecord.destroyed);
    EXPECT_TRUE(quillon::platform::openWin32Dialogs().empty());
}

// The Win32 host under the dialog hosts' one contract: a click is BM_CLICK, a choice what the
// combo box's list does (the item chosen, then CBN_SELCHANGE), the close box WM_CLOSE.
class Win32HostDriver {
  public:
    static bool ready(std::string& why) {
        if (!owner()) why = "no window can be made";
        return owner() != nullptr;
    }
    DialogHost* open(const DialogTemplate& t, std::unique_ptr<DialogLogic> logic) {
        return quillon::platform::openWin32Dialog(t, std::move(logic), owner());
    }
    void click(DialogHost* host, int id) {
        SendDlgItemMessageW(quillon::platform::win32DialogWindow(host), id, BM_CLICK, 0, 0);
    }
    void choose(DialogHost* host, int id, int item) {
        HWND dialog = quillon::platform::win32DialogWindow(host);
        HWND combo = GetDlgItem(dialog, id);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }
    void closeBox(DialogHost* host) {
        SendMessageW(quillon::platform::win32DialogWindow(host), WM_CLOSE, 0, 0);
    }
    void settle() { pumpMessages(); }

  private:
    static HWND owner() {
        static HWND window = [] {
            WNDCLASSW c{};
            c.lpfnWndProc = DefWindowProcW;
            c.hInstance = GetModuleHandleW(nullptr);
            c.lpszClassName = L"Dialog Contract Owner";
            RegisterClassW(&c);
            HWND w =
                CreateWindowExW(0, c.lpszClassName, L"Dialog Contract Owner", WS_OVERLAPPEDWINDOW,
                                20, 20, 400, 300, nullptr, nullptr, c.hInstance, nullptr);
            if (w) ShowWindow(w, SW_SHOW);
            return w;
        }();
        return window;
    }
};

}  // namespace

namespace testsupport {
using ContractHosts = ::testing::Types<MemoryHostDriver, Win32HostDriver>;
INSTANTIATE_TYPED_TEST_SUITE_P(DialogHosts, DialogHostContract, ContractHosts);
}  // namespace testsupport
