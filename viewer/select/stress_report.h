#pragma once
// Stress listing reports in fixed-width text: for every selected node its stresses at every
// shell corner it is part of, or for every selected shell the stresses at its nodes. Values are
// written as %g with six significant digits (a full stop whatever the locale), right-aligned in
// fields of 15.
#include <string>

#include "viewer/model/result_model.h"

namespace quillon {

constexpr const char* kNodeReportName = "SelectedNodeStress.txt";
constexpr const char* kElementReportName = "SelectedElemStress.txt";

// The reports' text.
std::string NodeStressReportText(const ResultModel& model);
std::string ElementStressReportText(const ResultModel& model);

// Writes a report to `path`; false (with the path and the system's reason in `why`) when it
// cannot be written, which leaves a file it would replace as it was.
bool WriteNodeStressReport(const ResultModel& model, const std::string& path, std::string& why);
bool WriteElementStressReport(const ResultModel& model, const std::string& path, std::string& why);

}  // namespace quillon
