#pragma once
// Selection files: the selected shells (four-node and three-node, each after a count line),
// beams or nodes of a model as zero-based indices, one a line, in ascending order. Reading
// replaces the kind's selected flags by the file's indices; picked flags are never stored nor
// touched. Writing never leaves a half-written file in place of a good one.
#include <string>

#include "viewer/model/result_model.h"

namespace quillon {

enum class SelectionFileKind { Shells, Beams, Nodes };

struct SelectionFileResult {
    enum class Outcome {
        Done,
        CannotOpen,   // nothing changed; `detail` has the path and the system's reason
        Stopped,      // reading stopped at text that does not follow the format: what was read
                      // before stays; `detail` names the line
        CannotWrite,  // the file (or what it replaces) is as it was; `detail` says why
    };
    Outcome outcome = Outcome::Done;
    std::string detail;
};

// The whole text of a kind's selection file.
std::string SelectionFileText(const ResultModel& model, SelectionFileKind kind);

SelectionFileResult WriteSelectionFile(const ResultModel& model, SelectionFileKind kind,
                                       const std::string& path);
SelectionFileResult ReadSelectionFile(ResultModel& model, SelectionFileKind kind,
                                      const std::string& path);
// Reads text already in memory (the reading itself, without the file).
SelectionFileResult ReadSelectionText(ResultModel& model, SelectionFileKind kind,
                                      const std::string& text);

// The messages of a kind: "The selected shell elements file read error!" and the like.
const char* selectionReadError(SelectionFileKind kind);
const char* selectionWriteError(SelectionFileKind kind);

}  // namespace quillon
