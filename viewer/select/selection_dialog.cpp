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
           int selectMode) {
    for (std::size_t i = 0; i < selected.size(); ++i) {
        if (selectMode == static_cast<int>(SelectMode::Reselect))
            selected[i] = picked[i] ? 1 : 0;
        else if (selectMode == static_cast<int>(SelectMode::AlsoSelect) && picked[i])
            selected[i] = 1;
        else if (selectMode == static_cast<int>(SelectMode::Unselect) && picked[i])
            selected[i] = 0;
    }
}

SelectionFileKind fileKind(SelectionKind kind) {
    return kind == SelectionKind::Shells  ? SelectionFileKind::Shells
           : kind == SelectionKind::Beams ? SelectionFileKind::Beams
                                          : SelectionFileKind::Nodes;
}

// The chooser of a kind's selection file.
platform::FileDialog fileDialog(SelectionKind kind, bool reading, const std::string& lastPath) {
    const char* what = kind == SelectionKind::Shells  ? "shell elements"
                       : kind == SelectionKind::Beams ? "beam elements"
                                                      : "nodes";
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
    switch (kind) {
        case SelectionKind::Shells:
            return selectShellsTemplate();
        case SelectionKind::Beams:
            return selectBeamsTemplate();
        default:
            return selectNodesTemplate();
    }
}

const SelectionControls& selectionControls(SelectionKind kind) {
    switch (kind) {
        case SelectionKind::Shells:
            return kShellControls;
        case SelectionKind::Beams:
            return kBeamControls;
        default:
            return kNodeControls;
    }
}

KindSelectionSettings& SelectionDialog::settings() {
    switch (kind_) {
        case SelectionKind::Shells:
            return state_.selection.shells;
        case SelectionKind::Beams:
            return state_.selection.beams;
        default:
            return state_.selection.nodes;
    }
}

void SelectionDialog::clearPicks() {
    ResultModel& m = state_.model;
    if (kind_ == SelectionKind::Shells) {
        fill(m.pickQuad, 0);
        fill(m.pickTri, 0);
    } else if (kind_ == SelectionKind::Beams) {
        fill(m.pickBeam, 0);
    } else {
        fill(m.pickNode, 0);
    }
}

void SelectionDialog::apply() {
    ResultModel& m = state_.model;
    const int mode = settings().selectMode;
    if (kind_ == SelectionKind::Shells) {
        merge(m.selQuad, m.pickQuad, mode);
        merge(m.selTri, m.pickTri, mode);
    } else if (kind_ == SelectionKind::Beams) {
        merge(m.selBeam, m.pickBeam, mode);
    } else {
        merge(m.selNode, m.pickNode, mode);
    }
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
    SelectionFileResult r = ReadSelectionFile(state_.model, fileKind(kind_), *path);
    if (r.outcome == SelectionFileResult::Outcome::CannotOpen) {
        platform::messageBox(selectionReadError(fileKind(kind_)), "Warning!", r.detail);
        return;
    }
    // What was read stays, also when the reading stopped early.
    if (r.outcome == SelectionFileResult::Outcome::Stopped)
        platform::messageBox(selectionReadError(fileKind(kind_)), "Warning!", r.detail);
    if (kind_ != SelectionKind::Nodes) followSelection(true);
    desktop_.repaintMainWindow();
}

void SelectionDialog::writeFile() {
    platform::FileDialog dialog = fileDialog(kind_, false, settings().fileName);
    std::optional<std::string> path = desktop_.chooseFileToSave(dialog);
    settings().fileName = dialog.lastPath;
    if (!path) return;
    SelectionFileResult r = WriteSelectionFile(state_.model, fileKind(kind_), *path);
    if (r.outcome != SelectionFileResult::Outcome::Done)
        platform::messageBox(selectionWriteError(fileKind(kind_)), "Warning!", r.detail);
}

void SelectionDialog::listStresses() {
    const bool nodes = kind_ == SelectionKind::Nodes;
    const std::string name = nodes ? kNodeReportName : kElementReportName;
    std::string why;
    bool written = nodes ? WriteNodeStressReport(state_.model, name, why)
                         : WriteElementStressReport(state_.model, name, why);
    if (!written) {
        platform::messageBox(nodes ? "被选择节点应力文件输出失败!" : "被选择单元应力文件输出失败!",
                             "Warning!", why);
        return;
    }
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(common::PathFromUtf8(name), ec);
    desktop_.openInTextEditor(ec ? name : common::Utf8FromPath(full));
}

void SelectionDialog::onInit(platform::DialogHost& host) {
    const SelectionControls& c = selectionControls(kind_);
    InteractionState& it = state_.interaction;
    it.mode = kind_ == SelectionKind::Shells  ? Mode::PickShells
              : kind_ == SelectionKind::Beams ? Mode::PickBeams
                                              : Mode::PickNodes;
    host.checkRadioButton(c.pointPick, c.rectanglePick,
                          it.rectanglePick != 1 ? c.pointPick : c.rectanglePick);
    host.setChecked(c.onlyOperate, settings().onlyOperate);
    const int mode = settings().selectMode;
    const int radios[3] = {c.reselect, c.alsoSelect, c.unselect};
    for (int k = 0; k < 3; ++k) host.setChecked(radios[k], k == mode);
    if (kind_ != SelectionKind::Beams) state_.model.shellOutlineMode = DisplayFilter::All;
    if (kind_ == SelectionKind::Nodes) state_.model.nodeMode = DisplayFilter::All;
    desktop_.repaintMainWindow();
}

void SelectionDialog::close(platform::DialogHost& host) {
    state_.interaction.mode = Mode::Idle;
    state_.interaction.rectanglePick = 1;
    // Picked nodes keep their marks (and their colour) after the node dialog closes.
    if (kind_ != SelectionKind::Nodes) {
        clearPicks();
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
    if (id == platform::IDCANCEL || id == c.exit) {
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
        it.mode = kind_ == SelectionKind::Shells  ? (pick ? Mode::PickShells : Mode::UnpickShells)
                  : kind_ == SelectionKind::Beams ? (pick ? Mode::PickBeams : Mode::UnpickBeams)
                                                  : (pick ? Mode::PickNodes : Mode::UnpickNodes);
    } else if (id == c.reset) {
        clearPicks();
        if (shellsOrBeams)
            repaint();
        else
            focusAndRepaint();
    } else if (id == c.reselect || id == c.alsoSelect || id == c.unselect) {
        settings().selectMode = id == c.reselect ? 0 : id == c.alsoSelect ? 1 : 2;
    } else if (id == c.apply) {
        apply();
        if (shellsOrBeams) followSelection(false);
        clearPicks();
        repaint();
    } else if (id == c.selectAll || id == c.selectNone || id == c.invert) {
        auto change = [&](std::vector<std::uint8_t>& flags) {
            if (id == c.invert)
                invert(flags);
            else
                fill(flags, id == c.selectAll ? 1 : 0);
        };
        if (kind_ == SelectionKind::Shells) {
            change(m.selQuad);
            change(m.selTri);
        } else if (kind_ == SelectionKind::Beams) {
            change(m.selBeam);
        } else {
            change(m.selNode);
        }
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
