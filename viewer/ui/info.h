#pragma once
#include <cstdio>

#include "viewer/model/result_model.h"

namespace quillon {
// The nine-line summary of a loaded model printed by `quillon --info`.
void printModelInfo(const ResultModel& model, std::FILE* out);
}  // namespace quillon
