#pragma once
// Selection files: the selected shells (four-node and three-node, each after a count line),
// beams or nodes of a model as zero-based indices, one a line, in ascending order. Reading
// replaces the kind's selected flags by the file's indices; picked flags are never stored nor
// touched. Writing never leaves a half-written file in place of a good one.
#include <string>

#include "common/outcome.h"
#include "viewer/model/result_model.h"

namespace quillon {

enum class SelectionFileKind { Shells, Beams, Nodes };

// The whole text of a kind's selection file.
std::string SelectionFileText(const ResultModel& model, SelectionFileKind kind);

// A failure's message is the kind's own ("The selected shell elements file write error!" and
// the like), its detail the path and the system's reason; the file (or what it replaces) is as
// it was.
common::Outcome WriteSelectionFile(const ResultModel& model, SelectionFileKind kind,
                                   const std::string& path);
// A failure's message is the kind's own ("The selected shell elements file read error!" and the
// like). A file that cannot be read changes nothing; the detail has the path and the system's
// reason. Text that does not follow the format stops the reading there and what was read
// before stays: the failure then has a line, and the detail names the path and that line.
common::Outcome ReadSelectionFile(ResultModel& model, SelectionFileKind kind,
                                  const std::string& path);
// Reads text already in memory (the reading itself, without the file): a failure's detail
// names only the line.
common::Outcome ReadSelectionText(ResultModel& model, SelectionFileKind kind,
                                  const std::string& text);

}  // namespace quillon
