#pragma once
// The straightforward writer the benchmark compares against: an output file stream that
// truncates the output and flushes after every line.
#include <string>

#include "tool/pre_model.h"

namespace tarvik_bench {

bool WritePreModelFlushingEveryLine(const tarvik::PreModel& model, const std::string& path);

}  // namespace tarvik_bench
