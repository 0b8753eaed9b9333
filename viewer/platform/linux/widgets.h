#pragma once
// What every FLTK window of the viewer shares: the widgets' face, the window class, label
// types that show text as it is, plain legacy titles, and the message box.
#include <FL/Enumerations.H>

#include <string>

#include "viewer/platform/dialog.h"

class Fl_Window;

namespace quillon::platform {

// The X11 class of every window (WM_CLASS), so that desktops group and name them.
constexpr const char* kWindowClass = "Quillon Contour";
// The text size of message boxes in pixels.
constexpr int kMessageTextSize = 14;

// The font of dialogs: a Latin face (Liberation Sans, else DejaVu Sans; the widgets' face when
// neither is installed) at the size whose letters' average width and whose height come closest
// to the 6 × 13 pixels the templates were drawn for, and its base units measured as a dialog
// measures them, so that a text that fits a control on a classic dialog fits it here. Chosen
// once; needs the display.
struct DialogFont {
    Fl_Font font = FL_HELVETICA;
    int size = 0;  // pixels
    std::string family;
    DialogBaseUnits units;
};
const DialogFont& dialogFont();

// The font that draws `text` in `font`: `font` itself, except that a dialog text with
// characters the dialog face has no glyphs for (Chinese) is drawn in the widgets' face.
Fl_Font fontShowing(Fl_Font font, const char* text);

// Once, before the first window: the face that has Latin and Chinese glyphs for every
// Helvetica style (the widgets' font), the window class, and the label types below.
void prepareWidgets();

// Labels drawn without FLTK's '@' symbols; '&' marks a mnemonic where the widget has one.
Fl_Labeltype textLabel();
// Labels drawn exactly as written: no symbols, no mnemonics.
Fl_Labeltype literalLabel();

// Gives a shown top-level window's legacy WM_NAME and WM_ICON_NAME its label as Latin-1 text
// (FLTK writes UTF-8 bytes there, read back as mojibake); _NET_WM_NAME keeps the UTF-8.
void setLegacyTitle(Fl_Window& window);

// A modal box with `text` (as written, wrapped when long), the title `caption` and an OK
// button; returns when OK, Enter, Esc or the close box dismissed it.
void showMessageBox(const std::string& text, const std::string& caption);

}  // namespace quillon::platform
