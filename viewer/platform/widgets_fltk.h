#pragma once
// What every FLTK window of the viewer shares: the widgets' face, the window class, label
// types that show text as it is, plain legacy titles, and the message box.
#include <FL/Enumerations.H>

#include <string>

class Fl_Window;

namespace quillon::platform {

// The X11 class of every window (WM_CLASS), so that desktops group and name them.
constexpr const char* kWindowClass = "Quillon Contour";
// The text size of message boxes in pixels.
constexpr int kMessageTextSize = 14;

// The text size of dialogs in pixels. Dialog units were made for a font whose letters are 5.5
// pixels wide on average (a quarter of the average, rounded up, is the 1.5 pixels of a dialog
// unit across): the size closest to that, so that labels fit the rectangles the templates give
// them. Needs the display.
int dialogTextSize();

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
