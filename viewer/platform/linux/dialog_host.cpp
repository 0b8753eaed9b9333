// Modeless dialogs with FLTK: one window per open dialog, its widgets built from the template,
// walked with Tab and the arrows by the rules of dialog_navigation.h.
#include "viewer/platform/linux/dialog_host.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Round_Button.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "viewer/platform/dialog_navigation.h"
#include "viewer/platform/linux/widgets.h"

namespace quillon::platform {
namespace {

bool hasModifier() {
    return Fl::event_state(FL_CTRL | FL_ALT | FL_META) != 0;
}

// A label; '&' marks a mnemonic, as in a dialog's static text. Its text uses the whole width
// (FLTK would keep 3 pixels clear at each side and wrap words that fit).
class StaticText : public Fl_Box {
  public:
    StaticText(int x, int y, int w, int h) : Fl_Box(x, y, w, h) {
        set_flag(SHORTCUT_LABEL);
        align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    }

  protected:
    void draw() override { draw_label(x(), y(), w(), h(), align()); }
};

// A frame whose caption interrupts its top edge.
class GroupFrame : public Fl_Widget {
  public:
    GroupFrame(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {
        set_flag(SHORTCUT_LABEL);
        box(FL_ENGRAVED_FRAME);
    }

  protected:
    void draw() override {
        fl_font(fontShowing(labelfont(), label()), labelsize());
        int line = fl_height();
        draw_box(box(), x(), y() + line / 2, w(), h() - line / 2, color());
        if (!label() || !*label()) return;
        int lw = 0, lh = 0;
        measure_label(lw, lh);
        constexpr int kIndent = 6, kMargin = 2;
        lw = std::min(lw, w() - 2 * kIndent);
        fl_color(parent() ? parent()->color() : color());
        fl_rectf(x() + kIndent - kMargin, y(), lw + 2 * kMargin, line);
        draw_label(x() + kIndent, y(), lw, line, FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    }
};

// One line of text. Tab, the vertical arrows, Enter and Esc belong to the dialog; a number edit
// takes digits only (typed or pasted). A text that the program puts in shows from its start, so
// that a number's sign and leading digits are seen however long it is; typing scrolls as usual.
class Edit : public Fl_Input {
  public:
    Edit(int x, int y, int w, int h, bool digitsOnly)
        : Fl_Input(x, y, w, h), digitsOnly_(digitsOnly) {
        textfont(dialogFont().font);
        textsize(dialogFont().size);
    }

    void showText(const std::string& text) {
        value(text.c_str());
        position(0);  // the caret at the start, and the view with it
        showFace();
    }

    int handle(int event) override {
        if (event == FL_KEYBOARD) {
            switch (Fl::event_key()) {
                case FL_Tab:
                case FL_Up:
                case FL_Down:
                case FL_Enter:
                case FL_KP_Enter:
                case FL_Escape:
                    return 0;
                default:
                    break;
            }
            if (digitsOnly_ && !hasModifier() && !digits(Fl::event_text(), Fl::event_length())) {
                fl_beep();
                return 1;
            }
        }
        if (event == FL_PASTE && digitsOnly_ && !digits(Fl::event_text(), Fl::event_length())) {
            fl_beep();
            return 1;
        }
        int used = Fl_Input::handle(event);
        if (event == FL_KEYBOARD || event == FL_PASTE) showFace();
        return used;
    }

  private:
    // The dialog face, or the widgets' face while the text has characters it lacks.
    void showFace() {
        Fl_Font font = fontShowing(dialogFont().font, value());
        if (font == textfont()) return;
        textfont(font);
        redraw();
    }
    // Text that inserts no character (an editing key) passes too.
    static bool digits(const char* text, int length) {
        for (int i = 0; i < length; ++i) {
            auto c = static_cast<unsigned char>(text[i]);
            if (c >= 0x20 && c != 0x7F && !std::isdigit(c)) return false;
        }
        return true;
    }
    bool digitsOnly_;
};

// A push button; the default one has a dark frame, as Enter presses it.
class PushButton : public Fl_Button {
  public:
    PushButton(int x, int y, int w, int h, bool isDefault)
        : Fl_Button(x, y, w, h), isDefault_(isDefault) {}

  protected:
    void draw() override {
        Fl_Button::draw();
        if (!isDefault_) return;
        fl_color(FL_FOREGROUND_COLOR);
        fl_rect(x(), y(), w(), h());
    }

  private:
    bool isDefault_;
};

class FltkDialogHost;

class DialogWindow : public Fl_Double_Window {
  public:
    DialogWindow(int w, int h, const char* caption, FltkDialogHost* host)
        : Fl_Double_Window(w, h, caption), host_(host) {}
    void detach() { host_ = nullptr; }
    int handle(int event) override;

  private:
    FltkDialogHost* host_;
};

std::vector<FltkDialogHost*>& openHosts() {
    static std::vector<FltkDialogHost*> hosts;
    return hosts;
}

class FltkDialogHost : public DialogHost {
  public:
    FltkDialogHost(const DialogTemplate& t, std::unique_ptr<DialogLogic> logic,
                   Fl_Widget* ownerFocus)
        : template_(t), logic_(std::move(logic)), ownerFocus_(ownerFocus) {
        PixelRect size = dialogRectangle(template_, units_);
        window_ = new DialogWindow(size.width, size.height, template_.caption.c_str(), this);
        for (std::size_t i = 0; i < template_.controls.size(); ++i) build(i);
        window_->end();
        window_->callback(onWindowClose, this);
        window_->set_non_modal();
        openHosts().push_back(this);
    }

    // onInit; false when the logic closed the dialog there (it is gone then).
    bool init() {
        if (!calls_.run([&] { logic_->onInit(*this); })) return true;
        destroy();
        return false;
    }

    void show(Fl_Window* owner) {
        if (owner && owner->shown()) {
            // FLTK makes a non-modal window transient for the window first in its list.
            Fl::first_window(owner);
            int sx = 0, sy = 0, sw = 0, sh = 0;
            Fl::screen_work_area(sx, sy, sw, sh, owner->x(), owner->y());
            PixelRect at = placeDialog({owner->x(), owner->y(), owner->w(), owner->h()},
                                       {sx, sy, sw, sh}, dialogRectangle(template_, units_),
                                       static_cast<int>(openHosts().size()) - 1);
            window_->position(at.x, at.y);
        }
        window_->show();
        setLegacyTitle(*window_);
        if (auto first = tabTarget(template_, std::nullopt, false, checkedAt()))
            widgets_[*first]->take_focus();
    }

    const DialogTemplate& dialogTemplate() const override { return template_; }

    std::string itemText(int id) const override {
        auto i = indexOf(id);
        if (!i) return "";
        Fl_Widget* w = widgets_[*i];
        switch (template_.controls[*i].kind) {
            case ControlKind::Edit:
                return static_cast<Fl_Input*>(w)->value();
            case ControlKind::ComboBox: {
                const Combo& c = combos_.at(*i);
                int sel = static_cast<Fl_Choice*>(w)->value();
                return sel >= 0 && sel < static_cast<int>(c.items.size()) ? c.items[sel] : "";
            }
            default:
                return w->label() ? w->label() : "";
        }
    }
    void setItemText(int id, const std::string& text) override {
        auto i = indexOf(id);
        if (!i) return;
        Fl_Widget* w = widgets_[*i];
        switch (template_.controls[*i].kind) {
            case ControlKind::Edit:
                static_cast<Edit*>(w)->showText(text);
                return;
            case ControlKind::ComboBox:
                return;  // a drop-down list shows only its items
            default:
                w->copy_label(text.c_str());
                // A label may reach beyond its widget: the whole dialog is drawn again.
                window_->redraw();
        }
    }
    bool isChecked(int id) const override {
        auto* b = checkable(id);
        return b && b->value() != 0;
    }
    void setChecked(int id, bool checked) override {
        if (auto* b = checkable(id)) b->value(checked ? 1 : 0);
    }

    void comboClear(int id) override {
        if (Combo* c = combo(id)) {
            c->items.clear();
            rebuild(*c, -1);
        }
    }
    void comboInsert(int id, int index, const std::string& text) override {
        Combo* c = combo(id);
        if (!c) return;
        int count = static_cast<int>(c->items.size());
        int at = index < 0 || index > count ? count : index;
        int sel = c->choice->value();
        c->items.insert(c->items.begin() + at, text);
        rebuild(*c, sel >= at ? sel + 1 : sel);  // the chosen item stays chosen
    }
    int comboCount(int id) const override {
        const Combo* c = findCombo(id);
        return c ? static_cast<int>(c->items.size()) : 0;
    }
    void comboSelect(int id, int index) override {
        if (Combo* c = combo(id))
            select(*c, index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1);
    }
    int comboSelection(int id) const override {
        const Combo* c = findCombo(id);
        return c ? c->choice->value() : -1;
    }

    void close() override { calls_.close(); }

    void raise() {
        if (window_->shown()) XRaiseWindow(fl_display, fl_xid(window_));
    }

    // Closes without a command (the owner goes away).
    void closeNow() {
        if (calls_.close())
            destroy();
        else
            window_->hide();  // gone when the command under way returns
    }

    // A key that reached the dialog because the focused control did not use it. True when the
    // dialog used it; the host may be gone then.
    bool key() {
        if (hasModifier()) return false;
        int key = Fl::event_key();
        bool back = Fl::event_state(FL_SHIFT) != 0;
        std::optional<std::size_t> focused = focusedControl();
        switch (key) {
            case FL_Tab:
                focus(tabTarget(template_, focused, back, checkedAt()));
                return true;
            case FL_Left:
            case FL_Right:
            case FL_Up:
            case FL_Down:
                arrow(key, focused);  // may close the dialog
                return true;
            case FL_Enter:
            case FL_KP_Enter:
                enter(focused);  // may close the dialog
                return true;
            case FL_Escape:
                deliver(kIdCancel, Notification::Clicked);
                return true;
            default:
                return false;
        }
    }

  private:
    struct Combo {
        Fl_Choice* choice = nullptr;
        std::vector<std::string> items;
        std::vector<Fl_Menu_Item> menu;  // what the widget shows: the items, taken literally
    };

    std::optional<std::size_t> indexOf(int id) const {
        if (id == IDC_STATIC) return std::nullopt;
        for (std::size_t i = 0; i < template_.controls.size(); ++i)
            if (template_.controls[i].id == id) return i;
        return std::nullopt;
    }
    Fl_Button* checkable(int id) const {
        auto i = indexOf(id);
        if (!i) return nullptr;
        ControlKind kind = template_.controls[*i].kind;
        if (kind != ControlKind::RadioButton && kind != ControlKind::CheckBox) return nullptr;
        return static_cast<Fl_Button*>(widgets_[*i]);
    }
    const Combo* findCombo(int id) const {
        auto i = indexOf(id);
        auto it = i ? combos_.find(*i) : combos_.end();
        return it == combos_.end() ? nullptr : &it->second;
    }
    Combo* combo(int id) { return const_cast<Combo*>(findCombo(id)); }
    std::function<bool(std::size_t)> checkedAt() const {
        return [this](std::size_t i) {
            return template_.controls[i].kind == ControlKind::RadioButton &&
                   static_cast<Fl_Button*>(widgets_[i])->value() != 0;
        };
    }
    std::optional<std::size_t> focusedControl() const {
        for (std::size_t i = 0; i < widgets_.size(); ++i)
            if (widgets_[i] == Fl::focus()) return i;
        return std::nullopt;
    }
    void focus(std::optional<std::size_t> i) {
        if (i) widgets_[*i]->take_focus();
    }

    void rebuild(Combo& c, int selection) {
        c.menu.assign(c.items.size() + 1, Fl_Menu_Item{});
        for (std::size_t k = 0; k < c.items.size(); ++k) {
            Fl_Menu_Item& m = c.menu[k];
            m.text = c.items[k].c_str();
            m.labeltype_ = literalLabel();
            m.labelfont_ = dialogFont().font;
            m.labelsize_ = dialogFont().size;
            m.labelcolor_ = FL_FOREGROUND_COLOR;
        }
        c.choice->menu(c.menu.data());
        select(c, selection);
    }
    static void select(Combo& c, int index) {
        if (index < 0)
            c.choice->value(static_cast<const Fl_Menu_Item*>(nullptr));
        else
            c.choice->value(index);
        c.choice->redraw();
    }

    void build(std::size_t index) {
        const ControlTemplate& c = template_.controls[index];
        PixelRect r = controlRectangle(c, units_);
        Fl_Widget* widget = nullptr;
        switch (c.kind) {
            case ControlKind::Static:
                widget = new StaticText(r.x, r.y, r.width, r.height);
                break;
            case ControlKind::GroupBox:
                widget = new GroupFrame(r.x, r.y, r.width, r.height);
                break;
            case ControlKind::Edit: {
                auto* edit = new Edit(r.x, r.y, r.width, r.height, c.style & kStyleNumber);
                edit->when(FL_WHEN_NEVER);  // edits notify nothing
                if (!(c.style & kStyleBorder)) edit->box(FL_FLAT_BOX);
                if (c.style & kStyleReadOnly) {
                    edit->readonly(1);
                    edit->color(FL_BACKGROUND_COLOR);
                }
                edit->showText(c.text);
                widget = edit;
                break;
            }
            case ControlKind::PushButton:
            case ControlKind::DefPushButton:
                widget = new PushButton(r.x, r.y, r.width, r.height,
                                        c.kind == ControlKind::DefPushButton);
                break;
            case ControlKind::RadioButton:
                widget = new Fl_Round_Button(r.x, r.y, r.width, r.height);
                break;
            case ControlKind::CheckBox:
                widget = new Fl_Check_Button(r.x, r.y, r.width, r.height);
                break;
            case ControlKind::ComboBox: {
                auto* choice = new Fl_Choice(r.x, r.y, r.width, r.height);
                choice->textfont(dialogFont().font);
                choice->textsize(dialogFont().size);
                widget = choice;
                Combo& entry = combos_[index];
                entry.choice = choice;
                rebuild(entry, -1);
                break;
            }
        }
        widget->labelfont(dialogFont().font);
        widget->labelsize(dialogFont().size);
        widget->labeltype(textLabel());
        // A multi-line button breaks its text at its line ends and wherever a word would pass
        // its right edge.
        if (c.style & kStyleMultiLine) widget->align(widget->align() | FL_ALIGN_WRAP);
        if (c.kind != ControlKind::Edit && c.kind != ControlKind::ComboBox)
            widget->copy_label(c.text.c_str());
        widget->callback(onWidget, this);
        widgets_.push_back(widget);
    }

    static void onWidget(Fl_Widget* w, void* data) {
        auto* host = static_cast<FltkDialogHost*>(data);
        auto at = std::find(host->widgets_.begin(), host->widgets_.end(), w);
        if (at == host->widgets_.end()) return;
        host->press(static_cast<std::size_t>(at - host->widgets_.begin()));
    }
    static void onWindowClose(Fl_Widget*, void* data) {
        static_cast<FltkDialogHost*>(data)->deliver(kIdCancel, Notification::Clicked);
    }

    // A control acted on: a button clicked (an automatic radio button is checked, and the
    // others of its group are not) or a combo box's choice changed. May close the dialog.
    void press(std::size_t index) {
        const ControlTemplate& c = template_.controls[index];
        switch (c.kind) {
            case ControlKind::Static:
            case ControlKind::GroupBox:
            case ControlKind::Edit:
                return;
            case ControlKind::RadioButton: {
                auto [first, last] = controlGroup(template_, index);
                for (std::size_t i = first; i < last; ++i)
                    if (template_.controls[i].kind == ControlKind::RadioButton)
                        static_cast<Fl_Button*>(widgets_[i])->value(i == index ? 1 : 0);
                break;
            }
            default:
                break;
        }
        if (c.id == IDC_STATIC) return;
        deliver(c.id, c.kind == ControlKind::ComboBox ? Notification::SelectionChanged
                                                      : Notification::Clicked);
    }

    // Arrows: an edit keeps left and right for its caret, a combo box takes up and down for its
    // choice; otherwise the focus moves within the group, and an automatic radio button it
    // reaches is pressed.
    void arrow(int key, std::optional<std::size_t> focused) {
        if (!focused) {
            focus(tabTarget(template_, std::nullopt, false, checkedAt()));
            return;
        }
        ControlKind kind = template_.controls[*focused].kind;
        bool horizontal = key == FL_Left || key == FL_Right;
        bool back = key == FL_Left || key == FL_Up;
        if (kind == ControlKind::Edit && horizontal) return;
        if (kind == ControlKind::ComboBox && !horizontal) {
            Combo& c = combos_.at(*focused);
            int count = static_cast<int>(c.items.size()), sel = c.choice->value();
            int next = sel < 0 ? 0 : std::clamp(sel + (back ? -1 : 1), 0, count - 1);
            if (count == 0 || next == sel) return;
            select(c, next);
            press(*focused);
            return;
        }
        auto target = arrowTarget(template_, *focused, back);
        if (!target || *target == *focused) return;
        widgets_[*target]->take_focus();
        if (template_.controls[*target].kind == ControlKind::RadioButton) press(*target);
    }

    // Enter presses the focused push button, else the default one, else it is kIdOk.
    void enter(std::optional<std::size_t> focused) {
        auto isButton = [&](std::size_t i) {
            ControlKind k = template_.controls[i].kind;
            return k == ControlKind::PushButton || k == ControlKind::DefPushButton;
        };
        if (focused && isButton(*focused)) {
            press(*focused);
        } else if (auto d = defaultButton(template_)) {
            press(*d);
        } else {
            deliver(kIdOk, Notification::Clicked);
        }
    }

    void deliver(int id, Notification code) {
        if (calls_.run([&] { logic_->onCommand(*this, id, code); })) destroy();
    }

    void destroy() {
        auto& hosts = openHosts();
        hosts.erase(std::remove(hosts.begin(), hosts.end(), this), hosts.end());
        bool hadFocus = !Fl::focus() || window_->contains(Fl::focus());
        window_->detach();
        window_->hide();
        for (auto& [index, c] : combos_) c.choice->menu(nullptr);  // the items go with the host
        Fl::delete_widget(window_);
        if (hadFocus && ownerFocus_ && ownerFocus_->visible_r()) ownerFocus_->take_focus();
        delete this;
    }

    DialogTemplate template_;
    DialogBaseUnits units_ = dialogFont().units;  // of the font the dialog is drawn with
    std::unique_ptr<DialogLogic> logic_;
    Fl_Widget* ownerFocus_;
    DialogWindow* window_ = nullptr;
    std::vector<Fl_Widget*> widgets_;  // by control index
    std::map<std::size_t, Combo> combos_;
    LogicCalls calls_;
};

int DialogWindow::handle(int event) {
    if (event == FL_KEYBOARD && host_ && host_->key()) return 1;  // the host may be gone now
    return Fl_Double_Window::handle(event);
}

}  // namespace

DialogHost* openFltkDialog(const DialogTemplate& dialogTemplate, std::unique_ptr<DialogLogic> logic,
                           Fl_Window* owner, Fl_Widget* ownerFocus) {
    prepareWidgets();
    auto* host = new FltkDialogHost(dialogTemplate, std::move(logic), ownerFocus);
    if (!host->init()) return nullptr;
    host->show(owner);
    return host;
}

void closeAllFltkDialogs() {
    auto hosts = openHosts();  // a copy: closing removes from the list
    for (FltkDialogHost* host : hosts) host->closeNow();
}

void raiseFltkDialogs() {
    for (FltkDialogHost* host : openHosts()) host->raise();
}

int openFltkDialogCount() {
    return static_cast<int>(openHosts().size());
}

}  // namespace quillon::platform
