#include "viewer/ui/script.h"

#include <charconv>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include "common/utf16.h"
#include "viewer/platform/gl_overlay_canvas.h"
#include "viewer/platform/memory_desktop.h"
#include "viewer/platform/message.h"
#include "viewer/platform/offscreen_gl.h"
#include "viewer/resources/dialogs.h"
#include "viewer/resources/menu.h"
#include "viewer/ui/app.h"
#include "viewer/ui/main_window_events.h"
#include "viewer/ui/picture.h"
#include "viewer/ui/snapshot.h"

namespace quillon {
namespace {

using platform::ControlKind;

// The words of a line, and the rest of the line after a given word. Reading a word as a number,
// or finding too many or too few words, can fail: the first failure is kept, and what is read
// after it reads as 0, so that a command reads its values and then asks once whether all were
// good.
class Line {
  public:
    explicit Line(std::string text) : text_(std::move(text)) {
        std::size_t i = 0;
        while (i < text_.size()) {
            while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t')) ++i;
            if (i >= text_.size()) break;
            std::size_t start = i;
            while (i < text_.size() && text_[i] != ' ' && text_[i] != '\t') ++i;
            words_.push_back({start, i});
        }
    }
    std::size_t size() const { return words_.size(); }
    std::string word(std::size_t k) const {
        return text_.substr(words_[k].first, words_[k].second - words_[k].first);
    }
    // Everything after the single space that follows word k, verbatim ("" when nothing).
    std::string restAfter(std::size_t k) const {
        std::size_t at = words_[k].second + 1;
        return at <= text_.size() ? text_.substr(at) : "";
    }
    int integer(std::size_t k) {
        if (!ok()) return 0;
        if (k >= words_.size()) return fail("too few words");
        std::string w = word(k);
        int value = 0;
        auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
        if (ec != std::errc() || end != w.data() + w.size())
            return fail("not a whole number: " + w);
        return value;
    }
    void expectWords(std::size_t n) {
        if (ok() && words_.size() != n)
            fail(quoted(word(0)) + " takes " + std::to_string(n - 1) + " value(s)");
    }
    bool ok() const { return outcome_.ok(); }
    const common::Outcome& outcome() const { return outcome_; }

  private:
    // (Built in place: GCC 12 warns wrongly of overlapping copies in "'" + word + "'".)
    static std::string quoted(std::string word) {
        word.insert(word.begin(), '\'');
        word.push_back('\'');
        return word;
    }
    int fail(std::string message) {
        outcome_ = common::Failure(std::move(message));
        return 0;
    }
    std::string text_;
    std::vector<std::pair<std::size_t, std::size_t>> words_;
    common::Outcome outcome_;
};

// One code point of UTF-8 text that holds exactly one; nothing otherwise.
std::optional<unsigned> singleCharacter(const std::string& s) {
    if (s.empty()) return std::nullopt;
    auto b = static_cast<unsigned char>(s[0]);
    std::size_t len = b < 0x80         ? 1
                      : (b >> 5) == 6  ? 2
                      : (b >> 4) == 14 ? 3
                      : (b >> 3) == 30 ? 4
                                       : 0;
    if (len == 0 || s.size() != len) return std::nullopt;
    unsigned cp = len == 1 ? b : b & (0x7F >> len);
    for (std::size_t i = 1; i < len; ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if ((c >> 6) != 2) return std::nullopt;
        cp = (cp << 6) | (c & 0x3F);
    }
    return cp;
}

class ScriptRun {
  public:
    ScriptRun(const ScriptRequest& r, std::FILE* out) : out_(out), handler_(state_, desktop_) {
        width_ = r.width;
        height_ = r.height;
    }

    int run(const ScriptRequest& r) {
        std::ifstream in(common::PathFromUtf8(r.scriptPath), std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "quillon: cannot read the script %s: %s\n", r.scriptPath.c_str(),
                         std::strerror(errno));
            return 2;
        }
        // The window's start-up: the file first, then the context, the size and the first frame.
        if (!makeContext()) return 1;
        common::Outcome loaded = openResultFile(state_, r.resultFile);
        if (!loaded.ok()) platform::fatal(loaded.failure());
        applyDisplayOptions(r.display, state_);
        handler_.onSize(width_, height_);
        honourRepaint();

        std::string text;
        for (int number = 1; std::getline(in, text); ++number) {
            if (!text.empty() && text.back() == '\r') text.pop_back();
            // A line that cannot run ends the script with the reason; the message names the line.
            if (common::Outcome ran = runLine(text); !ran.ok()) {
                const common::Failure& failure = ran.failure();
                std::fprintf(stderr, "quillon: %s:%d: %s%s%s%s\n", r.scriptPath.c_str(), number,
                             failure.message.c_str(), failure.detail.empty() ? "" : " (",
                             failure.detail.c_str(), failure.detail.empty() ? "" : ")");
                return 2;
            }
            desktop_.releaseClosed();
            honourRepaint();
        }
        return 0;
    }

  private:
    bool makeContext() {
        canvas_.reset();  // its textures belong to the old context
        gl_.reset();
        gl_ = std::make_unique<platform::OffscreenGl>(width_, height_);
        if (const common::Failure& failure = gl_->status().failure(); !gl_->status().ok()) {
            platform::messageBox("cannot draw without a display: " + failure.message, "Warning!",
                                 failure.detail);
            return false;
        }
        canvas_ = std::make_unique<platform::GlOverlayCanvas>();
        handler_.onCreate();
        return true;
    }

    void paint() {
        canvas_->begin(width_, height_);
        handler_.onPaint(*canvas_);
        canvas_->end();
    }
    // The frame a repaint asked for is drawn before the next line, so that what the next line
    // reads (the saved model-view matrix of picking, a snapshot) is the picture a user would see.
    void honourRepaint() {
        if (desktop_.takeRepaintRequest()) paint();
    }

    // The open dialog that word 1 names, and control word 2 of it, of one of `kinds` (and for a
    // command that names one of its items, the item's number, word 3). The checks go in the order
    // of the words, so that the first thing wrong on the line is what the failure names.
    struct DialogControl {
        platform::MemoryDialogHost* host = nullptr;
        const platform::ControlTemplate* control = nullptr;
        common::Outcome outcome;
    };
    DialogControl openDialog(Line& line) {
        int id = line.integer(1);
        if (!line.ok()) return {nullptr, nullptr, line.outcome()};
        if (!dialogTemplate(id))
            return {nullptr, nullptr, common::Failure("no dialog template " + std::to_string(id))};
        platform::MemoryDialogHost* host = desktop_.newestOpen(id);
        if (!host)
            return {nullptr, nullptr,
                    common::Failure("no dialog " + std::to_string(id) + " is open")};
        return {host, nullptr, {}};
    }
    DialogControl control(Line& line, std::initializer_list<ControlKind> kinds,
                          int* item = nullptr) {
        DialogControl d = openDialog(line);
        if (!d.outcome.ok()) return d;
        int id = line.integer(2);
        if (item) *item = line.integer(3);
        if (!line.ok()) return {nullptr, nullptr, line.outcome()};
        d.control = d.host->dialogTemplate().control(id);
        if (!d.control)
            return {nullptr, nullptr,
                    common::Failure("dialog " + std::to_string(d.host->dialogTemplate().id) +
                                    " has no control " + std::to_string(id))};
        for (ControlKind k : kinds)
            if (d.control->kind == k) return d;
        return {nullptr, nullptr,
                common::Failure("control " + std::to_string(id) + " is of another kind")};
    }

    common::Outcome runLine(const std::string& text) {
        if (!text.empty() && text[0] == '#') return {};
        Line line(text);
        if (line.size() == 0) return {};
        const std::string command = line.word(0);
        if (command == "size") {
            line.expectWords(3);
            int w = line.integer(1), h = line.integer(2);
            if (!line.ok()) return line.outcome();
            if (w < 1 || h < 1 || w > kMaxPictureSize || h > kMaxPictureSize)
                return common::Failure("the size must be 1 to " + std::to_string(kMaxPictureSize) +
                                       " pixels each way");
            width_ = w;
            height_ = h;
            if (!makeContext()) return common::Failure("no drawing context of that size");
            handler_.onSize(w, h);
        } else if (command == "menu") {
            line.expectWords(2);
            int id = line.integer(1);
            if (!line.ok()) return line.outcome();
            bool offered = false;
            for (const platform::MenuCommand& c : mainMenu()) offered |= c.id == id;
            if (!offered) return common::Failure("the menu has no command " + std::to_string(id));
            handler_.onCommand(id);
        } else if (command == "choose") {
            if (line.size() == 1)
                desktop_.answerNextChooser(std::nullopt);
            else
                desktop_.answerNextChooser(line.restAfter(0));
        } else if (command == "click" || command == "move") {
            line.expectWords(3);
            int x = line.integer(1), y = line.integer(2);
            if (!line.ok()) return line.outcome();
            if (command == "click")
                handler_.onLeftButtonDown(x, y);
            else
                handler_.onMouseMove(x, y);
        } else if (command == "wheel") {
            line.expectWords(4);
            // Far beyond any zoom the view can show (0.95 to the 1000th is 5e-23), and a bound on
            // the time a line takes.
            constexpr int kMostSteps = 1000;
            int n = line.integer(1), x = line.integer(2), y = line.integer(3);
            if (!line.ok()) return line.outcome();
            if (n < -kMostSteps || n > kMostSteps)
                return common::Failure("the wheel turns " + std::to_string(-kMostSteps) + " to " +
                                       std::to_string(kMostSteps) + " steps");
            for (int k = 0; k < (n < 0 ? -n : n); ++k) {
                handler_.onWheel(n > 0 ? platform::kWheelDelta : -platform::kWheelDelta, x, y);
                honourRepaint();
            }
        } else if (command == "key") {
            line.expectWords(2);
            std::string k = line.word(1);
            std::optional<unsigned> ch =
                k == "Esc" ? std::optional<unsigned>(platform::kEscapeChar) : singleCharacter(k);
            if (!ch) return common::Failure("a key is one character or Esc");
            handler_.onChar(*ch);
        } else if (command == "press") {
            line.expectWords(3);
            DialogControl d = control(line, {ControlKind::PushButton, ControlKind::DefPushButton,
                                             ControlKind::RadioButton, ControlKind::CheckBox});
            if (!d.outcome.ok()) return d.outcome;
            d.host->press(d.control->id);
        } else if (command == "text") {
            if (line.size() < 3)
                return common::Failure("'text' takes a dialog, a control and the text");
            DialogControl d = control(line, {ControlKind::Edit});
            if (!d.outcome.ok()) return d.outcome;
            d.host->setItemText(d.control->id,
                                line.size() == 3 ? std::string() : line.restAfter(2));
        } else if (command == "select") {
            line.expectWords(4);
            int index = 0;
            DialogControl d = control(line, {ControlKind::ComboBox}, &index);
            if (!d.outcome.ok()) return d.outcome;
            if (index < 0 || index >= d.host->comboCount(d.control->id))
                return common::Failure("combo box " + std::to_string(d.control->id) +
                                       " has no item " + std::to_string(index));
            d.host->chooseComboItem(d.control->id, index);
        } else if (command == "close") {
            line.expectWords(2);
            DialogControl d = openDialog(line);
            if (!d.outcome.ok()) return d.outcome;
            d.host->pressCloseBox();
        } else if (command == "print") {
            return print(line);
        } else if (command == "snapshot") {
            if (line.size() < 2) return common::Failure("'snapshot' takes a file name");
            std::string path = line.restAfter(0);
            common::Outcome written;
            if (isSvgName(path)) {
                written = writeSvgPicture(path, state_);
            } else {
                paint();
                written = writePicture(path, {width_, height_, gl_->readRgb()});
            }
            return written;
        } else {
            return common::Failure("unknown command '" + command + "'");
        }
        return {};
    }

    common::Outcome print(Line& line) {
        if (line.size() == 2 && line.word(1) == "view") {
            const ViewState& v = state_.view;
            std::fprintf(out_, "%.17g %.17g %.17g %.17g %.17g %.17g\n", v.alpha, v.beta, v.left,
                         v.right, v.bottom, v.top);
            std::fflush(out_);
            return {};
        }
        line.expectWords(3);
        DialogControl d =
            control(line, {ControlKind::Edit, ControlKind::PushButton, ControlKind::DefPushButton,
                           ControlKind::RadioButton, ControlKind::CheckBox, ControlKind::ComboBox});
        if (!d.outcome.ok()) return d.outcome;
        int id = d.control->id;
        if (d.control->kind == ControlKind::Edit)
            std::fprintf(out_, "%s\n", d.host->itemText(id).c_str());
        else if (d.control->kind == ControlKind::ComboBox)
            std::fprintf(out_, "%d\n", d.host->comboSelection(id));
        else
            std::fprintf(out_, "%d\n", d.host->isChecked(id) ? 1 : 0);
        std::fflush(out_);
        return {};
    }

    std::FILE* out_;
    int width_, height_;
    AppState state_;
    platform::MemoryDesktop desktop_;
    MainWindowHandler handler_;
    std::unique_ptr<platform::OffscreenGl> gl_;
    std::unique_ptr<platform::GlOverlayCanvas> canvas_;
};

}  // namespace

int runScript(const ScriptRequest& request, std::FILE* out) {
    ScriptRun run(request, out);
    return run.run(request);
}

}  // namespace quillon
