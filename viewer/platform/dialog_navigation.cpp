#include "viewer/platform/dialog_navigation.h"

#include <algorithm>
#include <vector>

namespace quillon::platform {
namespace {

// A closed combo box, in dialog units: as high as an edit.
constexpr int kClosedComboHeight = 14;
// Gap between the owner and a dialog beside it, and the step between instances, in pixels.
constexpr int kGap = 8;
constexpr int kCascadeStep = 24;
constexpr int kCascadeSteps = 8;

bool isRadio(const DialogTemplate& d, std::size_t i) {
    return d.controls[i].kind == ControlKind::RadioButton;
}

}  // namespace

PixelRect controlRectangle(const ControlTemplate& c, DialogBaseUnits units) {
    int height =
        c.kind == ControlKind::ComboBox ? std::min(c.height, kClosedComboHeight) : c.height;
    return {dialogUnitsToPixelsX(c.x, units), dialogUnitsToPixelsY(c.y, units),
            dialogUnitsToPixelsX(c.width, units), dialogUnitsToPixelsY(height, units)};
}

PixelRect dialogRectangle(const DialogTemplate& d, DialogBaseUnits units) {
    return {0, 0, dialogUnitsToPixelsX(d.width, units), dialogUnitsToPixelsY(d.height, units)};
}

PixelRect placeDialog(const PixelRect& owner, const PixelRect& screen, const PixelRect& size,
                      int openDialogs) {
    int step = kCascadeStep * (std::max(openDialogs, 0) % kCascadeSteps);
    PixelRect r{owner.x + owner.width + kGap + step, owner.y + step, size.width, size.height};
    if (r.x + r.width > screen.x + screen.width)
        r.x = owner.x + owner.width - r.width - 2 * kGap - step;
    r.x = std::max(screen.x, std::min(r.x, screen.x + screen.width - r.width));
    r.y = std::max(screen.y, std::min(r.y, screen.y + screen.height - r.height));
    return r;
}

bool takesFocus(ControlKind kind) {
    return kind != ControlKind::Static && kind != ControlKind::GroupBox;
}

std::pair<std::size_t, std::size_t> controlGroup(const DialogTemplate& d, std::size_t index) {
    const auto& all = d.controls;
    std::size_t first = std::min(index, all.size());
    while (first > 0 && first < all.size() && !(all[first].style & kStyleGroup)) --first;
    std::size_t last = first + 1;
    while (last < all.size() && !(all[last].style & kStyleGroup)) ++last;
    return {first, std::min(last, all.size())};
}

std::optional<std::size_t> tabTarget(const DialogTemplate& d, std::optional<std::size_t> from,
                                     bool backwards,
                                     const std::function<bool(std::size_t)>& isChecked) {
    const auto& all = d.controls;
    bool marked = std::any_of(all.begin(), all.end(), [](const ControlTemplate& c) {
        return takesFocus(c.kind) && (c.style & kStyleTabStop);
    });
    auto isStop = [&](std::size_t i) {
        return takesFocus(all[i].kind) && (!marked || (all[i].style & kStyleTabStop));
    };

    // The stops in order; the radio buttons of one group make one stop, kept at the group's
    // first radio button and entered at its checked one.
    struct Stop {
        std::size_t at, enter;
    };
    std::vector<Stop> stops;
    std::vector<std::size_t> stopOf(all.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!takesFocus(all[i].kind)) continue;
        if (!isRadio(d, i)) {
            if (isStop(i)) {
                stopOf[i] = stops.size();
                stops.push_back({i, i});
            }
            continue;
        }
        auto [first, last] = controlGroup(d, i);
        std::size_t firstRadio = first;
        while (!isRadio(d, firstRadio)) ++firstRadio;
        if (firstRadio != i) continue;  // the group was taken at its first radio button
        std::optional<std::size_t> enter, checked;
        for (std::size_t k = first; k < last; ++k) {
            if (!isRadio(d, k)) continue;
            if (!enter && isStop(k)) enter = k;
            if (!checked && isChecked(k)) checked = k;
        }
        if (!enter) continue;  // no button of the group is a stop
        for (std::size_t k = first; k < last; ++k)
            if (isRadio(d, k)) stopOf[k] = stops.size();
        stops.push_back({i, checked.value_or(*enter)});
    }
    if (stops.empty()) return std::nullopt;

    std::size_t n = stops.size();
    std::size_t next;
    if (from && *from < all.size() && stopOf[*from] < n) {
        next = backwards ? (stopOf[*from] + n - 1) % n : (stopOf[*from] + 1) % n;
    } else if (from && *from < all.size()) {
        // Focus on a control that is no stop: the nearest stop after (or before) it.
        auto after =
            std::find_if(stops.begin(), stops.end(), [&](const Stop& s) { return s.at > *from; });
        std::size_t k = static_cast<std::size_t>(after - stops.begin());
        next = backwards ? (k + n - 1) % n : k % n;
    } else {
        next = backwards ? n - 1 : 0;
    }
    return stops[next].enter;
}

std::optional<std::size_t> arrowTarget(const DialogTemplate& d, std::size_t from, bool backwards) {
    if (from >= d.controls.size()) return std::nullopt;
    auto [first, last] = controlGroup(d, from);
    std::size_t n = last - first;
    for (std::size_t k = 1; k < n; ++k) {
        std::size_t i =
            backwards ? first + (from - first + n - k) % n : first + (from - first + k) % n;
        if (takesFocus(d.controls[i].kind)) return i;
    }
    return from;
}

std::optional<std::size_t> defaultButton(const DialogTemplate& d) {
    for (std::size_t i = 0; i < d.controls.size(); ++i)
        if (d.controls[i].kind == ControlKind::DefPushButton) return i;
    return std::nullopt;
}

}  // namespace quillon::platform
