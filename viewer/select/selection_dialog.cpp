#include "viewer/select/selection_dialog.h"

#include <algorithm>

#include <filesystem>

#include "common/utf16.h"
#include "viewer/contour/contour_kit.h"
#include "viewer/platform/message.h"
#include "viewer/select/selection_file.h"
#include "viewer/select/stress_report.h"
#include "viewer/view/camera.h"

namespace quillon {
namespace {

using Mode = InteractionMode;

// Apply on one kind's arrays.
void merge(std::vector<std::uint8_t>& selected, const std::vector<std::uint8_t>& picked,
           SelectMode selectMode) {
    for (std::size_t i = 0; i < selected.size(); ++i) {
        if (selectMode == SelectMode::Reselect)
            selected[i] = picked[i] ? 1 : 0;
        else if (selectMode == SelectMode::AlsoSelect && picked[i])
            selected[i] = 1;
        else if (selectMode == SelectMode::Unselect && picked[i])
            selected[i] = 0;
    }
}

// What each kind's dialog shows and the file it reads and writes.
struct KindDialog {
    const platform::DialogTemplate& (*dialogTemplate)();
    const SelectionControls& controls;
    SelectionFileKind fileKind;
    const char* what;  // in the file choosers' titles
};

const KindDialog& kindDialog(SelectionKind kind) {
    static const KindDialog kKinds[] = {
        {selectShellsTemplate, kShellControls, SelectionFileKind::Shells, "shell elements"},
        {selectBeamsTemplate, kBeamControls, SelectionFileKind::Beams, "beam elements"},
        {selectNodesTemplate, kNodeControls, SelectionFileKind::Nodes, "nodes"},
    };
    return kKinds[static_cast<int>(kind)];
}

SelectionFileKind fileKind(SelectionKind kind) {
    return kindDialog(kind).fileKind;
}

// The chooser of a kind's selection file.
platform::FileDialog fileDialog(SelectionKind kind, bool reading, const std::string& lastPath) {
    const char* what = kindDialog(kind).what;
    platform::FileDialog d;
    d.title = reading ? std::string("Read selected ") + what + " from file"
                      : std::string("Write selected ") + what + " to file";
    d.filterName = "Text Files (*.txt)";
    d.pattern = "*.txt";
    d.defaultExtension = "txt";
    d.lastPath = lastPath;
    return d;
}

void fill(std::vector<std::uint8_t>& flags, std::uint8_t value) {
    std::fill(flags.begin(), flags.end(), value);
}
void invert(std::vector<std::uint8_t>& flags) {
    for (auto& f : flags) f = static_cast<std::uint8_t>(1 - f);
}

}  // namespace

const platform::DialogTemplate& selectionTemplate(SelectionKind kind) {
    return kindDialog(kind).dialogTemplate();
}

const SelectionControls& selectionControls(SelectionKind kind) {
    return kindDialog(kind).controls;
}

KindSelectionSettings& SelectionDialog::settings() {
    return state_.selection.*pickKind(kind_).settings;
}

void SelectionDialog::apply() {
    ResultModel& m = state_.model;
    const SelectMode mode = settings().selectMode;
    const PickKind& k = pickKind(kind_);
    for (std::size_t shape = 0; shape < k.selected.size(); ++shape)
        if (k.selected[shape]) merge(m.*k.selected[shape], m.*k.picked[shape], mode);
}

void SelectionDialog::followSelection(bool fit) {
    state_.view.selectedBox = state_.model.computeSelectedBox();
    state_.view.rotationCentre = boxCentre(state_.view.selectedBox);
    if (fit) fitAll(state_.view);
}

void SelectionDialog::selectNodesInSelectedElements() {
    ResultModel& m = state_.model;
    fill(m.selNode, 0);
    auto mark = [&](const std::vector<std::int32_t>& nodes,
                    const std::vector<std::uint8_t>& selected, int n) {
        for (std::size_t e = 0; e < selected.size(); ++e)
            if (selected[e])
                for (int k = 0; k < n; ++k)
                    m.selNode[static_cast<std::size_t>(
                        nodes[e * static_cast<std::size_t>(n) + static_cast<std::size_t>(k)])] = 1;
    };
    mark(m.quadNodes, m.selQuad, m.nodesPerQuad);
    mark(m.triNodes, m.selTri, m.nodesPerTri);
    m.nodeMode = DisplayFilter::Selected;
}

void SelectionDialog::readFile() {
    platform::FileDialog dialog = fileDialog(kind_, true, settings().fileName);
    std::optional<std::string> path = desktop_.chooseFileToOpen(dialog);
    settings().fileName = dialog.lastPath;
    if (!path) return;
    common::Outcome read = ReadSelectionFile(state_.model, fileKind(kind_), *path);
    if (!read.ok()) platform::messageBox(read.failure(), "Warning!");
    // A file that could not be read changed nothing. What was read before text that does not
    // follow the format (a failure at a line) stays.
    if (!read.ok() && !read.failure().line) return;
    if (kind_ != SelectionKind::Nodes) followSelection(true);
    desktop_.repaintMainWindow();
}

void SelectionDialog::writeFile() {
    platform::FileDialog dialog = fileDialog(kind_, false, settings().fileName);
    std::optional<std::string> path = desktop_.chooseFileToSave(dialog);
    settings().fileName = dialog.lastPath;
    if (!path) return;
    common::Outcome written = WriteSelectionFile(state_.model, fileKind(kind_), *path);
    if (!written.ok()) platform::messageBox(written.failure(), "Warning!");
}

void SelectionDialog::listStresses() {
    const bool nodes = kind_ == SelectionKind::Nodes;
    const std::string name = nodes ? kNodeReportName : kElementReportName;
    common::Outcome written = nodes ? WriteNodeStressReport(state_.model, name)
                                    : WriteElementStressReport(state_.model, name);
    if (!written.ok()) {
        platform::messageBox(written.failure(), "Warning!");
        return;
    }
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(common::PathFromUtf8(name), ec);
    desktop_.openInTextEditor(ec ? name : common::Utf8FromPath(full));
}

void SelectionDialog::onInit(platform::DialogHost& host) {
    const SelectionControls& c = selectionControls(kind_);
    InteractionState& it = state_.interaction;
    it.mode = pickKind(kind_).pickMode;
    host.checkRadioButton(c.pointPick, c.rectanglePick,
                          it.rectanglePick != 1 ? c.pointPick : c.rectanglePick);
    host.setChecked(c.onlyOperate, settings().onlyOperate);
    const SelectMode mode = settings().selectMode;
    host.setChecked(c.reselect, mode == SelectMode::Reselect);
    host.setChecked(c.alsoSelect, mode == SelectMode::AlsoSelect);
    host.setChecked(c.unselect, mode == SelectMode::Unselect);
    if (kind_ != SelectionKind::Beams) state_.model.shellOutlineMode = DisplayFilter::All;
    if (kind_ == SelectionKind::Nodes) state_.model.nodeMode = DisplayFilter::All;
    desktop_.repaintMainWindow();
}

void SelectionDialog::close(platform::DialogHost& host) {
    state_.interaction.mode = Mode::Idle;
    state_.interaction.rectanglePick = 1;
    // Picked nodes keep their marks (and their colour) after the node dialog closes.
    if (kind_ != SelectionKind::Nodes) {
        ClearPicks(state_.model, kind_);
        desktop_.repaintMainWindow();
    }
    if (handle_ == &host) handle_ = nullptr;
    host.close();
}

void SelectionDialog::onCommand(platform::DialogHost& host, int id, platform::Notification) {
    const SelectionControls& c = selectionControls(kind_);
    const bool shellsOrBeams = kind_ != SelectionKind::Nodes;
    ResultModel& m = state_.model;
    InteractionState& it = state_.interaction;
    auto repaint = [&] { desktop_.repaintMainWindow(); };
    auto focusAndRepaint = [&] { platform::RepaintMainWindow(desktop_); };
    if (id == platform::kIdCancel || id == c.exit) {
        close(host);
    } else if (id == c.pointPick) {
        it.rectanglePick = 0;
    } else if (id == c.rectanglePick) {
        it.rectanglePick = 1;
    } else if (id == c.onlyOperate) {
        // The switch follows the box the user sees (several dialogs may show it).
        settings().onlyOperate = host.isChecked(c.onlyOperate);
    } else if (id == c.pick || id == c.unpick) {
        const bool pick = id == c.pick;
        it.mode = pick ? pickKind(kind_).pickMode : pickKind(kind_).unpickMode;
    } else if (id == c.reset) {
        ClearPicks(state_.model, kind_);
        if (shellsOrBeams)
            repaint();
        else
            focusAndRepaint();
    } else if (id == c.reselect || id == c.alsoSelect || id == c.unselect) {
        settings().selectMode = id == c.reselect     ? SelectMode::Reselect
                                : id == c.alsoSelect ? SelectMode::AlsoSelect
                                                     : SelectMode::Unselect;
    } else if (id == c.apply) {
        apply();
        if (shellsOrBeams) followSelection(false);
        ClearPicks(state_.model, kind_);
        repaint();
    } else if (id == c.selectAll || id == c.selectNone || id == c.invert) {
        auto change = [&](std::vector<std::uint8_t>& flags) {
            if (id == c.invert)
                invert(flags);
            else
                fill(flags, id == c.selectAll ? 1 : 0);
        };
        forEachArray(m, pickKind(kind_).selected, change);
        if (shellsOrBeams) followSelection(true);
        repaint();
    } else if (id == c.fromFile) {
        readFile();
    } else if (id == c.toFile) {
        writeFile();
    } else if (c.listStresses && id == c.listStresses) {
        listStresses();
    } else if (c.nodesInElements && id == c.nodesInElements) {
        selectNodesInSelectedElements();
        repaint();
    } else if (id == c.all) {
        fitAll(state_.view);
        focusAndRepaint();
    } else if (id == c.pan || id == c.zoom) {
        it.mode = id == c.pan ? Mode::Pan : Mode::ZoomWindow;
        if (shellsOrBeams) desktop_.focusMainWindow();
    } else if (c.plotContour && (id == c.plotContour || id == c.clearContour)) {
        SetContourPlotting(state_, desktop_, id == c.plotContour);
    }
}

}  // namespace quillon
