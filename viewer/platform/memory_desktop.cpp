#include "viewer/platform/memory_desktop.h"

#include <algorithm>

namespace quillon::platform {

MemoryDialogHost::MemoryDialogHost(const DialogTemplate& t, std::unique_ptr<DialogLogic> logic)
    : template_(t), logic_(std::move(logic)), controls_(t.controls.size()) {
    for (std::size_t i = 0; i < t.controls.size(); ++i)
        if (t.controls[i].kind != ControlKind::Edit && t.controls[i].kind != ControlKind::ComboBox)
            controls_[i].text = t.controls[i].text;
}

MemoryDialogHost::Control* MemoryDialogHost::control(int id) {
    const ControlTemplate* c = template_.control(id);
    return c ? &controls_[static_cast<std::size_t>(c - template_.controls.data())] : nullptr;
}
const MemoryDialogHost::Control* MemoryDialogHost::control(int id) const {
    return const_cast<MemoryDialogHost*>(this)->control(id);
}

std::string MemoryDialogHost::itemText(int id) const {
    const Control* c = control(id);
    if (!c) return "";
    if (template_.control(id)->kind == ControlKind::ComboBox)  // a drop-down list: its choice
        return c->selection >= 0 ? c->items[static_cast<std::size_t>(c->selection)] : "";
    return c->text;
}
void MemoryDialogHost::setItemText(int id, const std::string& text) {
    if (Control* c = control(id)) c->text = text;
}
bool MemoryDialogHost::isChecked(int id) const {
    const Control* c = control(id);
    return c && c->checked;
}
void MemoryDialogHost::setChecked(int id, bool checked) {
    if (Control* c = control(id)) c->checked = checked;
}
void MemoryDialogHost::comboClear(int id) {
    if (Control* c = control(id)) {
        c->items.clear();
        c->selection = -1;
    }
}
void MemoryDialogHost::comboInsert(int id, int index, const std::string& text) {
    Control* c = control(id);
    if (!c) return;
    int count = static_cast<int>(c->items.size());
    int at = index < 0 || index > count ? count : index;
    c->items.insert(c->items.begin() + at, text);
    if (c->selection >= at) ++c->selection;  // the chosen item stays chosen
}
int MemoryDialogHost::comboCount(int id) const {
    const Control* c = control(id);
    return c ? static_cast<int>(c->items.size()) : 0;
}
void MemoryDialogHost::comboSelect(int id, int index) {
    Control* c = control(id);
    if (!c) return;
    c->selection = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
}
int MemoryDialogHost::comboSelection(int id) const {
    const Control* c = control(id);
    return c ? c->selection : -1;
}

void MemoryDialogHost::press(int id) {
    if (closed()) return;  // gone for the user
    const ControlTemplate* t = template_.control(id);
    if (t && t->kind == ControlKind::CheckBox) {
        setChecked(id, !isChecked(id));
    } else if (t && t->kind == ControlKind::RadioButton) {
        // Its group runs from the control that starts it to the next one that starts another.
        const auto& all = template_.controls;
        std::size_t at = static_cast<std::size_t>(t - all.data()), first = at;
        while (first > 0 && !(all[first].style & kStyleGroup)) --first;
        for (std::size_t i = first; i < all.size(); ++i) {
            if (i > first && (all[i].style & kStyleGroup)) break;
            if (all[i].kind == ControlKind::RadioButton) controls_[i].checked = i == at;
        }
    }
    calls_.run([&] { logic_->onCommand(*this, id, Notification::Clicked); });
}

void MemoryDialogHost::chooseComboItem(int id, int index) {
    if (closed()) return;
    comboSelect(id, index);
    calls_.run([&] { logic_->onCommand(*this, id, Notification::SelectionChanged); });
}

void MemoryDialogHost::pressCloseBox() {
    calls_.run([&] { logic_->onCommand(*this, kIdCancel, Notification::Clicked); });
}

DialogHost* MemoryDesktop::openDialog(const DialogTemplate& t, std::unique_ptr<DialogLogic> logic) {
    dialogs_.push_back(std::make_unique<MemoryDialogHost>(t, std::move(logic)));
    MemoryDialogHost* host = dialogs_.back().get();
    host->init();
    return host->closed() ? nullptr : host;  // a dialog that closed while it started is gone
}

std::optional<std::string> MemoryDesktop::chooseFileToOpen(FileDialog& dialog) {
    std::optional<std::string> chosen = std::exchange(answer_, std::nullopt);
    if (!chosen) return std::nullopt;
    dialog.lastPath = withDefaultExtension(*chosen, dialog.defaultExtension);
    return dialog.lastPath;
}

std::optional<std::string> MemoryDesktop::chooseFileToSave(FileDialog& dialog) {
    return chooseFileToOpen(dialog);  // an answer given in advance also agrees to replace a file
}

void MemoryDesktop::openInTextEditor(const std::string& path) {
    std::fprintf(reportOut_, "report: %s\n", path.c_str());
    std::fflush(reportOut_);
}

common::Outcome MemoryDesktop::copyPicture(int width, int height,
                                           const std::vector<std::uint8_t>& rgb) {
    copied_ = rgb;
    std::fprintf(reportOut_, "clipboard: picture %dx%d\n", width, height);
    std::fflush(reportOut_);
    return {};
}

MemoryDialogHost* MemoryDesktop::newestOpen(int templateId) {
    for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it)
        if (!(*it)->closed() && (*it)->dialogTemplate().id == templateId) return it->get();
    return nullptr;
}

void MemoryDesktop::releaseClosed() {
    std::erase_if(dialogs_, [](const auto& d) { return d->closed(); });
}

void MemoryDesktop::waitAnswering(LongTask& task) {
    while (!task.waitFor(std::chrono::hours(1))) {
    }
}

}  // namespace quillon::platform
