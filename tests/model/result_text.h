#pragma once
// Builds result files for tests, with every record in the layout the reader expects.
#include <string>
#include <vector>

namespace testsupport {

struct BeamText {
    int number = 1;
    std::string snd = "0,0,0", end = "1,0,0";
    std::vector<std::string> points, disps;
    std::vector<std::string> cells;  // "a,b,c,d"
    double stressBase = 0;           // Se of cell point k in layer l: base + 10*cell + 2*k + l
};

struct ResultText {
    std::vector<std::string> nodes, disps;
    std::vector<std::string> quads, tris;  // index lines
    std::vector<BeamText> beams;
    // Stress line of element e, node k, layer l: seven values, Se = base + 100*e + 10*k + l.
    static std::string stressLine(double se) {
        return "1.5,-2,0,0.25,0,0," + std::to_string(se) + "\n";
    }

    std::string text() const {
        std::string t = "NPOIN=" + std::to_string(nodes.size()) + "\n";
        for (auto& n : nodes) t += n + "\n";
        for (auto& d : disps) t += d + "\n";
        auto shells = [&](const char* key, const std::vector<std::string>& lines, int n,
                          double base) {
            t += std::string(key) + "=" + std::to_string(lines.size()) + "\n";
            for (std::size_t e = 0; e < lines.size(); ++e) {
                t += lines[e] + "\n";
                for (int k = 0; k < n; ++k)
                    for (int l = 0; l < 2; ++l)
                        t += stressLine(base + 100.0 * static_cast<double>(e) + 10 * k + l);
            }
        };
        shells("NELEM_S_4ND", quads, 4, 0);
        shells("NELEM_S_3ND", tris, 3, 5000);
        t += "NELEM_B=" + std::to_string(beams.size()) + "\n";
        for (auto& b : beams) {
            t += "BEI=" + std::to_string(b.number) + "\nSND(" + b.snd + ")\nEND(" + b.end + ")\n";
            t += "NPOIN=" + std::to_string(b.points.size()) + "\n";
            for (auto& p : b.points) t += p + "\n";
            for (auto& d : b.disps) t += d + "\n";
            t += "NELEM=" + std::to_string(b.cells.size()) + "\n";
            for (std::size_t c = 0; c < b.cells.size(); ++c) {
                t += b.cells[c] + "\n";
                for (int k = 0; k < 4; ++k)
                    for (int l = 0; l < 2; ++l)
                        t += stressLine(b.stressBase + 10.0 * static_cast<double>(c) + 2 * k + l);
            }
        }
        return t;
    }
};

// A unit square of one four-node shell with a lifted corner, and one triangle.
inline ResultText squareModel() {
    ResultText r;
    r.nodes = {"0,0,0", "2,0,0", "2,1,0", "0,1,0", "3,0,0"};
    r.disps = {"0,0,0,0,0,0", "0,0,0.5,0.1,0.2,0.3", "0,0,0,0,0,0", "0,-0.25,0,0,0,0",
               "0,0,0,0,0,0"};
    r.quads = {"0,1,2,3"};
    r.tris = {"1,4,2"};
    return r;
}

}  // namespace testsupport
