#pragma once
// Writes pre-processing model files of any size for benchmarks: a flat grid of nodal points
// with as many four-node shells, and a few records in every other section.
#include <cstdint>
#include <string>

namespace tarvik_bench {

// `nodes` nodal points and as many four-node shell elements (node numbers wrap around).
// False when the file cannot be written.
bool GenerateModelFile(const std::string& path, std::int32_t nodes);

}  // namespace tarvik_bench
