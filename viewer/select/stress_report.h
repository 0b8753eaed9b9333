#pragma once
// Stress listing reports in fixed-width text: for every selected node its stresses at every
// shell corner it is part of, or for every selected shell the stresses at its nodes. Values are
// written as %g with six significant digits (a full stop whatever the locale), right-aligned in
// fields of 15.
#include <string>

#include "common/outcome.h"
#include "viewer/model/result_model.h"

namespace quillon {

constexpr const char* kNodeReportName = "SelectedNodeStress.txt";
constexpr const char* kElementReportName = "SelectedElemStress.txt";

// The reports' text.
std::string NodeStressReportText(const ResultModel& model);
std::string ElementStressReportText(const ResultModel& model);

// Writes a report to `path`. A report that cannot be written leaves a file it would replace as
// it was; the failure's message is the report's own ("被选择节点应力文件输出失败!",
// "被选择单元应力文件输出失败!"), its detail the path and the system's reason.
common::Outcome WriteNodeStressReport(const ResultModel& model, const std::string& path);
common::Outcome WriteElementStressReport(const ResultModel& model, const std::string& path);

}  // namespace quillon
