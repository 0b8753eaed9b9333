#pragma once
// The plain way to read an average-stress result file: one fscanf call per item with the
// file's own format strings, into plain vectors. Only the baseline of the reader benchmark.
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct PlainBeam {
    int number = 0;
    double start[3] = {}, end[3] = {};
    std::vector<double> pos, disp;   // 3 and 6 per mesh point
    std::vector<int> cellNodes;      // 4 per cell
    std::vector<double> cellStress;  // 56 per cell
};

struct PlainModel {
    std::vector<double> pos, disp;  // 3 and 6 per node
    std::vector<int> quadNodes, triNodes;
    std::vector<double> quadStress, triStress;  // 56 and 42 per element
    std::vector<PlainBeam> beams;
};

// False, with a message, when the file cannot be opened or does not follow the layout.
bool ReadWithFscanf(const std::string& path, PlainModel& model, std::string& error);

}  // namespace bench
