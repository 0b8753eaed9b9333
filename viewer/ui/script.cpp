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

// The words of a line, and the rest of the line after a given word.
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
    int integer(std::size_t k) const {
        if (k >= words_.size()) throw common::Failure("too few words");
        std::string w = word(k);
        int value = 0;
        auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
        if (ec != std::errc() || end != w.data() + w.size())
            throw common::Failure("not a whole number: " + w);
        return value;
    }
    void expectWords(std::size_t n) const {
        if (words_.size() != n)
            throw common::Failure("'" + word(0) + "' takes " + std::to_string(n - 1) + " value(s)");
    }

  private:
    std::string text_;
    std::vector<std::pair<std::size_t, std::size_t>> words_;
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
            // A line that cannot run throws a failure that says why; the message names the line.
            try {
                runLine(text);
            } catch (const common::Failure& failure) {
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

    platform::MemoryDialogHost& openDialog(const Line& line) {
        int id = line.integer(1);
        if (!dialogTemplate(id)) throw common::Failure("no dialog template " + std::to_string(id));
        platform::MemoryDialogHost* host = desktop_.newestOpen(id);
        if (!host) throw common::Failure("no dialog " + std::to_string(id) + " is open");
        return *host;
    }
    const platform::ControlTemplate& control(const platform::MemoryDialogHost& host, int id,
                                             std::initializer_list<ControlKind> kinds) {
        const platform::ControlTemplate* c = host.dialogTemplate().control(id);
        if (!c)
            throw common::Failure("dialog " + std::to_string(host.dialogTemplate().id) +
                                  " has no control " + std::to_string(id));
        for (ControlKind k : kinds)
            if (c->kind == k) return *c;
        throw common::Failure("control " + std::to_string(id) + " is of another kind");
    }

    void runLine(const std::string& text) {
        if (!text.empty() && text[0] == '#') return;
        Line line(text);
        if (line.size() == 0) return;
        const std::string command = line.word(0);
        if (command == "size") {
            line.expectWords(3);
            int w = line.integer(1), h = line.integer(2);
            if (w < 1 || h < 1 || w > kMaxPictureSize || h > kMaxPictureSize)
                throw common::Failure("the size must be 1 to " + std::to_string(kMaxPictureSize) +
                                      " pixels each way");
            width_ = w;
            height_ = h;
            if (!makeContext()) throw common::Failure("no drawing context of that size");
            handler_.onSize(w, h);
        } else if (command == "menu") {
            line.expectWords(2);
            int id = line.integer(1);
            bool offered = false;
            for (const platform::MenuCommand& c : mainMenu()) offered |= c.id == id;
            if (!offered) throw common::Failure("the menu has no command " + std::to_string(id));
            handler_.onCommand(id);
        } else if (command == "choose") {
            if (line.size() == 1)
                desktop_.answerNextChooser(std::nullopt);
            else
                desktop_.answerNextChooser(line.restAfter(0));
        } else if (command == "click") {
            line.expectWords(3);
            handler_.onLeftButtonDown(line.integer(1), line.integer(2));
        } else if (command == "move") {
            line.expectWords(3);
            handler_.onMouseMove(line.integer(1), line.integer(2));
        } else if (command == "wheel") {
            line.expectWords(4);
            // Far beyond any zoom the view can show (0.95 to the 1000th is 5e-23), and a bound on
            // the time a line takes.
            constexpr int kMostSteps = 1000;
            int n = line.integer(1), x = line.integer(2), y = line.integer(3);
            if (n < -kMostSteps || n > kMostSteps)
                throw common::Failure("the wheel turns " + std::to_string(-kMostSteps) + " to " +
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
            if (!ch) throw common::Failure("a key is one character or Esc");
            handler_.onChar(*ch);
        } else if (command == "press") {
            line.expectWords(3);
            platform::MemoryDialogHost& host = openDialog(line);
            int id = line.integer(2);
            control(host, id,
                    {ControlKind::PushButton, ControlKind::DefPushButton, ControlKind::RadioButton,
                     ControlKind::CheckBox});
            host.press(id);
        } else if (command == "text") {
            if (line.size() < 3)
                throw common::Failure("'text' takes a dialog, a control and the text");
            platform::MemoryDialogHost& host = openDialog(line);
            int id = line.integer(2);
            control(host, id, {ControlKind::Edit});
            host.setItemText(id, line.size() == 3 ? std::string() : line.restAfter(2));
        } else if (command == "select") {
            line.expectWords(4);
            platform::MemoryDialogHost& host = openDialog(line);
            int id = line.integer(2), index = line.integer(3);
            control(host, id, {ControlKind::ComboBox});
            if (index < 0 || index >= host.comboCount(id))
                throw common::Failure("combo box " + std::to_string(id) + " has no item " +
                                      std::to_string(index));
            host.chooseComboItem(id, index);
        } else if (command == "close") {
            line.expectWords(2);
            openDialog(line).pressCloseBox();
        } else if (command == "print") {
            print(line);
        } else if (command == "snapshot") {
            if (line.size() < 2) throw common::Failure("'snapshot' takes a file name");
            std::string path = line.restAfter(0);
            common::Outcome written;
            if (isSvgName(path)) {
                written = writeSvgPicture(path, state_);
            } else {
                paint();
                written = writePicture(path, {width_, height_, gl_->readRgb()});
            }
            if (!written.ok()) throw written.failure();
        } else {
            throw common::Failure("unknown command '" + command + "'");
        }
    }

    void print(const Line& line) {
        if (line.size() == 2 && line.word(1) == "view") {
            const ViewState& v = state_.view;
            std::fprintf(out_, "%.17g %.17g %.17g %.17g %.17g %.17g\n", v.alpha, v.beta, v.left,
                         v.right, v.bottom, v.top);
            std::fflush(out_);
            return;
        }
        line.expectWords(3);
        platform::MemoryDialogHost& host = openDialog(line);
        int id = line.integer(2);
        const platform::ControlTemplate& c =
            control(host, id,
                    {ControlKind::Edit, ControlKind::PushButton, ControlKind::DefPushButton,
                     ControlKind::RadioButton, ControlKind::CheckBox, ControlKind::ComboBox});
        if (c.kind == ControlKind::Edit)
            std::fprintf(out_, "%s\n", host.itemText(id).c_str());
        else if (c.kind == ControlKind::ComboBox)
            std::fprintf(out_, "%d\n", host.comboSelection(id));
        else
            std::fprintf(out_, "%d\n", host.isChecked(id) ? 1 : 0);
        std::fflush(out_);
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
