#pragma once
// The selection dialogs' settings, kept while the dialogs are closed: how Apply merges the
// picked flags into the selection, and whether picking passes over unselected entities.
#include <string>

namespace quillon {

enum class SelectMode : int { Reselect = 0, AlsoSelect = 1, Unselect = 2 };

// One kind of entity: shells (both shapes), beams or nodes.
struct KindSelectionSettings {
    SelectMode selectMode = SelectMode::Reselect;
    bool onlyOperate = false;  // picking passes over entities that are not selected
    std::string fileName;      // the selection file chosen last, offered again (read or write)
};

struct SelectionSettings {
    KindSelectionSettings shells, beams, nodes;
};

}  // namespace quillon
