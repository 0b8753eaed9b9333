#include "viewer/ui/display_options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "viewer/contour/stress_scale.h"
#include "viewer/render/plot_settings.h"

namespace quillon {
namespace {

// The whole text is a number (it may be too large for a double: then infinite).
bool number(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0';
}
bool finiteNumber(const char* text, double& value) {
    return number(text, value) && std::isfinite(value);
}

bool filterWord(const char* text, DisplayFilter& filter) {
    if (std::strcmp(text, "all") == 0)
        filter = DisplayFilter::All;
    else if (std::strcmp(text, "selected") == 0)
        filter = DisplayFilter::Selected;
    else if (std::strcmp(text, "none") == 0)
        filter = DisplayFilter::None;
    else
        return false;
    return true;
}

struct FilterOption {
    const char* name;
    std::optional<DisplayFilter> DisplayOptions::*field;
};
constexpr FilterOption kFilterOptions[] = {
    {"--outlines", &DisplayOptions::outlines},
    {"--beam-lines", &DisplayOptions::beamLines},
    {"--shell-numbers", &DisplayOptions::shellNumbers},
    {"--beam-numbers", &DisplayOptions::beamNumbers},
    {"--nodes", &DisplayOptions::nodes},
    {"--node-numbers", &DisplayOptions::nodeNumbers},
};

}  // namespace

const char* const kDisplayOptionsUsage =
    "  --component N        plot stress component N: 0 Sx, 1 Sy, 2 Sz, 3 Txy, 4 Txz, 5 Tyz, 6 Se\n"
    "  --interval SL,SR     fill only elements whose stresses reach into [SL, SR]\n"
    "                       (default: the component's range over the selection)\n"
    "  --no-contour         no contour plot\n"
    "  --outlines F         shell outlines: all, selected or none (likewise the next five)\n"
    "  --beam-lines F       beam mesh lines\n"
    "  --shell-numbers F    shell element numbers\n"
    "  --beam-numbers F     beam element numbers\n"
    "  --nodes F            node markers\n"
    "  --node-numbers F     node numbers\n"
    "  --undeformed         the undeformed shape\n"
    "  --scale S            the magnification of the displacements\n";

bool isDisplayOption(const char* arg) {
    bool known = std::strcmp(arg, "--no-contour") == 0 || std::strcmp(arg, "--undeformed") == 0 ||
                 std::strcmp(arg, "--component") == 0 || std::strcmp(arg, "--interval") == 0 ||
                 std::strcmp(arg, "--scale") == 0;
    for (const FilterOption& f : kFilterOptions) known |= std::strcmp(arg, f.name) == 0;
    return known;
}

common::Outcome parseDisplayOption(int argc, char** argv, int& i, DisplayOptions& o) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--no-contour") == 0) {
        o.noContour = true;
        return {};
    }
    if (std::strcmp(arg, "--undeformed") == 0) {
        o.undeformed = true;
        return {};
    }
    if (i + 1 >= argc) return common::Failure(std::string(arg) + " wants a value");
    const char* value = argv[++i];
    if (std::strcmp(arg, "--component") == 0) {
        double n = 0;
        if (!finiteNumber(value, n) || n != std::floor(n) || n < 0 || n > 6)
            return common::Failure("--component wants a whole number from 0 to 6");
        o.component = static_cast<int>(n);
    } else if (std::strcmp(arg, "--interval") == 0) {
        std::string text = value;
        std::size_t comma = text.find(',');
        double a = 0, b = 0;
        if (comma == std::string::npos || !finiteNumber(text.substr(0, comma).c_str(), a) ||
            !finiteNumber(text.substr(comma + 1).c_str(), b) || b < a)
            return common::Failure("--interval wants SL,SR, two finite numbers with SL <= SR");
        o.interval = std::pair{a, b};
    } else if (std::strcmp(arg, "--scale") == 0) {
        double s = 0;
        if (!number(value, s) || !isMagnification(s))
            return common::Failure("--scale wants a finite number");
        o.scale = s;
    } else {
        for (const FilterOption& f : kFilterOptions) {
            if (std::strcmp(arg, f.name) != 0) continue;
            DisplayFilter filter = DisplayFilter::All;
            if (!filterWord(value, filter))
                return common::Failure(std::string(arg) + " wants all, selected or none");
            o.*f.field = filter;
        }
    }
    return {};
}

void applyDisplayOptions(const DisplayOptions& o, AppState& s) {
    ResultModel& m = s.model;
    if (o.component) {
        s.contour.currentComponent = *o.component;
        SelectedStressRange(m, *o.component, s.contour.SL, s.contour.SR);
    }
    if (o.interval) {
        s.contour.SL = o.interval->first;
        s.contour.SR = o.interval->second;
    }
    if (o.noContour) s.contour.contourOn = false;
    if (o.outlines) m.shellOutlineMode = *o.outlines;
    if (o.beamLines) m.beamMeshLineMode = *o.beamLines;
    if (o.shellNumbers) m.shellNumberMode = *o.shellNumbers;
    if (o.beamNumbers) m.beamNumberMode = *o.beamNumbers;
    if (o.nodes) m.nodeMode = *o.nodes;
    if (o.nodeNumbers) m.nodeNumberMode = *o.nodeNumbers;
    if (o.undeformed || o.scale) {
        if (o.scale) m.dispScale = *o.scale;
        m.deformed = !o.undeformed;
        m.updateDisplayedPositions();
    }
}

}  // namespace quillon
