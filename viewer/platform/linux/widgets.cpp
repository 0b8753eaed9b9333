#include "viewer/platform/linux/widgets.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <optional>

#include "viewer/platform/linux/widget_face.h"
#include "viewer/platform/linux/window_text.h"

namespace quillon::platform {
namespace {

const Fl_Labeltype kTextLabel = FL_FREE_LABELTYPE;
const Fl_Labeltype kLiteralLabel = static_cast<Fl_Labeltype>(FL_FREE_LABELTYPE + 1);

void drawText(const Fl_Label* label, int x, int y, int w, int h, Fl_Align align) {
    fl_font(fontShowing(label->font, label->value), label->size);
    fl_color(label->color);
    fl_draw(label->value, x, y, w, h, align, label->image, 0);
}
void measureText(const Fl_Label* label, int& w, int& h) {
    fl_font(fontShowing(label->font, label->value), label->size);
    fl_measure(label->value, w, h, 0);
}
// fl_draw_shortcut is FLTK's switch for reading '&' as a mnemonic; it is off while a literal
// label draws or measures.
void drawLiteral(const Fl_Label* label, int x, int y, int w, int h, Fl_Align align) {
    char saved = fl_draw_shortcut;
    fl_draw_shortcut = 0;
    drawText(label, x, y, w, h, align);
    fl_draw_shortcut = saved;
}
void measureLiteral(const Fl_Label* label, int& w, int& h) {
    char saved = fl_draw_shortcut;
    fl_draw_shortcut = 0;
    measureText(label, w, h);
    fl_draw_shortcut = saved;
}

// The box: Enter and Esc dismiss it as OK does.
class MessageWindow : public Fl_Window {
  public:
    using Fl_Window::Fl_Window;
    int handle(int event) override {
        if (event == FL_KEYBOARD || event == FL_SHORTCUT) {
            int key = Fl::event_key();
            if (key == FL_Enter || key == FL_KP_Enter || key == FL_Escape) {
                hide();
                return 1;
            }
        }
        return Fl_Window::handle(event);
    }
};

void onOk(Fl_Widget* button, void*) {
    button->window()->hide();
}

// Latin faces for dialogs, the first preferred when two come equally close; each gets a font
// of its own from FL_FREE_FONT on.
constexpr const char* kDialogFamilies[] = {"Liberation Sans", "DejaVu Sans"};

struct ChosenDialogFont {
    DialogFont font;
    std::optional<FontFace> face;  // nothing: the widgets' face
};

const ChosenDialogFont& chosenDialogFont() {
    static const ChosenDialogFont chosen = [] {
        prepareWidgets();
        fl_open_display();
        const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        const DialogBaseUnits wanted;  // what the templates were drawn for
        ChosenDialogFont best;
        double bestOff = 1e9;
        auto consider = [&](Fl_Font font, const std::optional<FontFace>& face) {
            for (int size = 8; size <= 16; ++size) {
                fl_font(font, size);
                int width = static_cast<int>(std::lround(fl_width(letters)));
                int height = fl_height();
                double off = std::abs(width / 52.0 / wanted.x - 1) +
                             std::abs(static_cast<double>(height) / wanted.y - 1);
                if (off >= bestOff) continue;
                bestOff = off;
                best.font = {font, size, face ? face->family : "", dialogBaseUnits(width, height)};
                best.face = face;
            }
        };
        // FLTK keeps the name's address; the first character is the style (plain).
        static std::string names[std::size(kDialogFamilies)];
        int slot = 0;
        for (const char* family : kDialogFamilies) {
            std::optional<FontFace> face = installedFace(family);
            if (!face) continue;
            names[slot] = std::string(" ") + family;
            auto font = static_cast<Fl_Font>(FL_FREE_FONT + slot);
            Fl::set_font(font, names[slot].c_str());
            consider(font, face);
            ++slot;
        }
        if (slot == 0) consider(FL_HELVETICA, std::nullopt);
        return best;
    }();
    return chosen;
}

}  // namespace

void prepareWidgets() {
    static bool prepared = false;
    if (prepared) return;
    prepared = true;
    Fl_Window::default_xclass(kWindowClass);
    Fl::set_labeltype(kTextLabel, drawText, measureText);
    Fl::set_labeltype(kLiteralLabel, drawLiteral, measureLiteral);
    if (const auto& face = widgetFace()) {
        // FLTK reads the first character of a face name as its style: plain, bold, italic, both.
        static const std::string names[] = {" " + face->family, "B" + face->family,
                                            "I" + face->family, "P" + face->family};
        Fl::set_font(FL_HELVETICA, names[0].c_str());
        Fl::set_font(FL_HELVETICA_BOLD, names[1].c_str());
        Fl::set_font(FL_HELVETICA_ITALIC, names[2].c_str());
        Fl::set_font(FL_HELVETICA_BOLD_ITALIC, names[3].c_str());
    }
}

const DialogFont& dialogFont() {
    return chosenDialogFont().font;
}

Fl_Font fontShowing(Fl_Font font, const char* text) {
    if (font < FL_FREE_FONT || !text) return font;  // not a dialog face
    const ChosenDialogFont& chosen = chosenDialogFont();
    if (font != chosen.font.font || !chosen.face || faceHasGlyphs(*chosen.face, text)) return font;
    return FL_HELVETICA;
}

Fl_Labeltype textLabel() {
    return kTextLabel;
}
Fl_Labeltype literalLabel() {
    return kLiteralLabel;
}

void setLegacyTitle(Fl_Window& window) {
    if (!window.shown() || window.parent()) return;
    const char* label = window.label() ? window.label() : "";
    std::string name = legacyTitle(label);
    std::string icon = legacyTitle(window.iconlabel() ? window.iconlabel() : label);
    Window xid = fl_xid(&window);
    XChangeProperty(fl_display, xid, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(name.data()),
                    static_cast<int>(name.size()));
    XChangeProperty(fl_display, xid, XA_WM_ICON_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(icon.data()),
                    static_cast<int>(icon.size()));
}

void showMessageBox(const std::string& text, const std::string& caption) {
    // The keyboard goes back where it was when the box is answered (the main view, as a rule).
    Fl_Widget* hadFocus = Fl::focus();
    prepareWidgets();
    fl_open_display();
    constexpr int kPad = 20, kWidest = 640, kButtonW = 90, kButtonH = 26;
    fl_font(FL_HELVETICA, kMessageTextSize);
    int textW = 0, textH = 0;
    fl_measure(text.c_str(), textW, textH, 0);
    if (textW > kWidest) {
        textW = kWidest;  // wrapped at word breaks within this width
        fl_measure(text.c_str(), textW, textH, 0);
    }
    textH = std::max(textH, fl_height());
    // A box with no owner sits in the middle of the screen, and never wider than it (a word
    // longer than the widest line, such as a long path, is cut there).
    int sx = 0, sy = 0, sw = 0, sh = 0;
    Fl::screen_work_area(sx, sy, sw, sh);
    textW = std::min(textW, sw - 2 * kPad);
    int w = std::max(textW + 2 * kPad, 2 * kPad + 3 * kButtonW);
    int h = kPad + textH + kPad + kButtonH + kPad / 2;

    auto window = std::make_unique<MessageWindow>(w, h);
    window->copy_label(caption.c_str());
    // (FLTK draws a left-aligned label 3 pixels in from each side.)
    auto* message = new Fl_Box(kPad - 3, kPad, textW + 6, textH);
    message->labeltype(kLiteralLabel);
    message->labelfont(FL_HELVETICA);
    message->labelsize(kMessageTextSize);
    message->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    message->copy_label(text.c_str());
    auto* ok = new Fl_Button((w - kButtonW) / 2, h - kButtonH - kPad / 2, kButtonW, kButtonH, "OK");
    ok->labelsize(kMessageTextSize);
    ok->callback(onOk);
    window->end();
    window->set_modal();
    window->position(sx + (sw - w) / 2, sy + (sh - h) / 2);
    window->show();
    setLegacyTitle(*window);
    ok->take_focus();
    while (window->shown()) Fl::wait();
    window.reset();
    if (hadFocus && hadFocus->window() && hadFocus->window()->shown()) hadFocus->take_focus();
}

}  // namespace quillon::platform
