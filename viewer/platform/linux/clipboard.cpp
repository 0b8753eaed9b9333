#include "viewer/platform/linux/clipboard.h"

#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <utility>

namespace quillon::platform {
namespace {

// What the program serves on the clipboard; `owner` is an unmapped window of its own that
// answers for it, apart from the windows whose text FLTK copies.
struct Served {
    Window owner = 0;
    Atom clipboard = None, targets = None, png = None;
    std::vector<std::uint8_t> bytes;
};
Served served;

// The largest property one request may carry, less room for the request itself.
std::size_t largestProperty(Display* display) {
    long units = XExtendedMaxRequestSize(display);
    if (units == 0) units = XMaxRequestSize(display);
    return static_cast<std::size_t>(units) * 4 - 1024;
}

// A program asks for the clipboard's types (TARGETS) or for the picture; anything else, or a
// picture too large for one request, is refused. Other selections are FLTK's.
int answer(void* event, void*) {
    const auto* e = static_cast<const XEvent*>(event);
    if (e->type == SelectionClear && e->xselectionclear.window == served.owner &&
        e->xselectionclear.selection == served.clipboard) {
        served.bytes.clear();
        return 1;
    }
    if (e->type != SelectionRequest || e->xselectionrequest.owner != served.owner ||
        e->xselectionrequest.selection != served.clipboard)
        return 0;
    const XSelectionRequestEvent& request = e->xselectionrequest;
    // A client of the old conventions names no property: the target's name serves.
    const Atom property = request.property != None ? request.property : request.target;
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = request.display;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = None;
    if (!served.bytes.empty() && request.target == served.targets) {
        Atom offered[] = {served.targets, served.png};
        XChangeProperty(request.display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(offered), 2);
        reply.xselection.property = property;
    } else if (!served.bytes.empty() && request.target == served.png &&
               served.bytes.size() <= largestProperty(request.display)) {
        XChangeProperty(request.display, request.requestor, property, served.png, 8,
                        PropModeReplace, served.bytes.data(),
                        static_cast<int>(served.bytes.size()));
        reply.xselection.property = property;
    }
    XSendEvent(request.display, request.requestor, False, NoEventMask, &reply);
    XFlush(request.display);
    return 1;
}

}  // namespace

common::Outcome offerPngOnClipboard(std::vector<std::uint8_t> png) {
    if (png.empty()) return common::Failure("cannot copy the picture", "it could not be encoded");
    fl_open_display();
    if (!served.owner) {
        served.owner =
            XCreateSimpleWindow(fl_display, RootWindow(fl_display, fl_screen), 0, 0, 1, 1, 0, 0, 0);
        served.clipboard = XInternAtom(fl_display, "CLIPBOARD", False);
        served.targets = XInternAtom(fl_display, "TARGETS", False);
        served.png = XInternAtom(fl_display, "image/png", False);
        Fl::add_system_handler(answer, nullptr);
    }
    served.bytes = std::move(png);
    XSetSelectionOwner(fl_display, served.clipboard, served.owner, CurrentTime);
    if (XGetSelectionOwner(fl_display, served.clipboard) != served.owner) {
        served.bytes.clear();
        return common::Failure("cannot copy the picture", "another program keeps the clipboard");
    }
    XFlush(fl_display);
    return {};
}

}  // namespace quillon::platform
