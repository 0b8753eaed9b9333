// Modeless dialogs with FLTK: one window per open dialog, its widgets built from the template.
#include "viewer/platform/dialog_fltk.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Window.H>

#include <cstdint>
#include <map>

namespace quillon::platform {
namespace {

class FltkDialogHost : public DialogHost {
  public:
    FltkDialogHost(const DialogTemplate& t, std::unique_ptr<DialogLogic> logic)
        : template_(t), logic_(std::move(logic)) {
        window_ = new Fl_Window(dialogUnitsToPixelsX(t.width), dialogUnitsToPixelsY(t.height),
                                template_.caption.c_str());
        for (const ControlTemplate& c : template_.controls) build(c);
        window_->end();
        window_->callback(onWindowClose, this);
    }

    void show() {
        logic_->onInit(*this);
        window_->show();
    }

    const DialogTemplate& dialogTemplate() const override { return template_; }

    std::string itemText(int id) const override {
        Fl_Widget* w = widget(id);
        if (auto* in = dynamic_cast<Fl_Input*>(w)) return in->value();
        return w && w->label() ? w->label() : "";
    }
    void setItemText(int id, const std::string& text) override {
        Fl_Widget* w = widget(id);
        if (auto* in = dynamic_cast<Fl_Input*>(w))
            in->value(text.c_str());
        else if (w)
            w->copy_label(text.c_str());
    }
    bool isChecked(int id) const override {
        auto* b = dynamic_cast<Fl_Button*>(widget(id));
        return b && b->value() != 0;
    }
    void setChecked(int id, bool checked) override {
        if (auto* b = dynamic_cast<Fl_Button*>(widget(id))) b->value(checked ? 1 : 0);
    }
    void comboClear(int id) override {
        if (auto* c = choice(id)) c->clear();
    }
    void comboInsert(int id, int index, const std::string& text) override {
        auto* c = choice(id);
        if (!c) return;
        // Item texts are taken literally: FLTK would read '/', '\\', '&' and '_' as menu syntax.
        int at = index < 0 || index > c->size() - 1 ? c->size() - 1 : index;
        c->insert(at, "", 0, nullptr);
        c->replace(at, text.c_str());
    }
    int comboCount(int id) const override {
        auto* c = choice(id);
        return c ? c->size() - 1 : 0;
    }
    void comboSelect(int id, int index) override {
        if (auto* c = choice(id)) c->value(index);
    }
    int comboSelection(int id) const override {
        auto* c = choice(id);
        return c ? c->value() : -1;
    }
    void close() override { closing_ = true; }

  private:
    Fl_Widget* widget(int id) const {
        auto it = widgets_.find(id);
        return it == widgets_.end() ? nullptr : it->second;
    }
    Fl_Choice* choice(int id) const { return dynamic_cast<Fl_Choice*>(widget(id)); }

    void build(const ControlTemplate& c) {
        int x = dialogUnitsToPixelsX(c.x), y = dialogUnitsToPixelsY(c.y);
        int w = dialogUnitsToPixelsX(c.width), h = dialogUnitsToPixelsY(c.height);
        Fl_Widget* widget = nullptr;
        switch (c.kind) {
            case ControlKind::Static:
                widget = new Fl_Box(x, y, w, h);
                widget->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_TOP);
                break;
            case ControlKind::GroupBox:
                widget = new Fl_Box(FL_ENGRAVED_FRAME, x, y + 4, w, h - 4, nullptr);
                widget->align(FL_ALIGN_TOP_LEFT);
                break;
            case ControlKind::Edit:
                widget = new Fl_Input(x, y, w, h);
                break;
            case ControlKind::PushButton:
                widget = new Fl_Button(x, y, w, h);
                break;
            case ControlKind::DefPushButton:
                widget = new Fl_Return_Button(x, y, w, h);
                break;
            case ControlKind::RadioButton:
                widget = new Fl_Round_Button(x, y, w, h);
                break;
            case ControlKind::CheckBox:
                widget = new Fl_Check_Button(x, y, w, h);
                break;
            case ControlKind::ComboBox:
                // The template's height includes the dropped list; the closed box is one line.
                widget = new Fl_Choice(x, y, w, dialogUnitsToPixelsY(12));
                break;
        }
        widget->labelsize(12);
        if (c.kind != ControlKind::Edit && c.kind != ControlKind::ComboBox)
            widget->copy_label(c.text.c_str());
        controls_[widget] = &c;
        if (c.id != IDC_STATIC) {
            widgets_[c.id] = widget;
            widget->callback(onWidget, this);
        }
    }

    static void onWidget(Fl_Widget* w, void* data) {
        auto* host = static_cast<FltkDialogHost*>(data);
        const ControlTemplate* c = host->controls_[w];
        if (c->kind == ControlKind::RadioButton) host->checkInGroup(*c);
        host->deliver(c->id, c->kind == ControlKind::ComboBox ? Notification::SelectionChanged
                                                              : Notification::Clicked);
    }
    static void onWindowClose(Fl_Widget*, void* data) {
        static_cast<FltkDialogHost*>(data)->deliver(IDCANCEL, Notification::Clicked);
    }

    // An automatic radio button: it is checked, the others of its group (from the control
    // that starts the group to the next one that starts another) are not.
    void checkInGroup(const ControlTemplate& c) {
        const auto& all = template_.controls;
        std::size_t at = static_cast<std::size_t>(&c - all.data());
        std::size_t first = at;
        while (first > 0 && !(all[first].style & kStyleGroup)) --first;
        for (std::size_t i = first; i < all.size(); ++i) {
            if (i > first && (all[i].style & kStyleGroup)) break;
            if (all[i].kind == ControlKind::RadioButton) setChecked(all[i].id, i == at);
        }
    }

    void deliver(int id, Notification code) {
        logic_->onCommand(*this, id, code);
        if (!closing_) return;
        window_->hide();
        Fl::delete_widget(window_);
        delete this;
    }

    DialogTemplate template_;
    std::unique_ptr<DialogLogic> logic_;
    Fl_Window* window_ = nullptr;
    std::map<int, Fl_Widget*> widgets_;
    std::map<Fl_Widget*, const ControlTemplate*> controls_;
    bool closing_ = false;
};

}  // namespace

DialogHost* openFltkDialog(const DialogTemplate& dialogTemplate,
                           std::unique_ptr<DialogLogic> logic) {
    auto* host = new FltkDialogHost(dialogTemplate, std::move(logic));
    host->show();
    return host;
}

}  // namespace quillon::platform
