#include "bench/tarvik/model_generator.h"

#include <cmath>
#include <cstdio>

namespace tarvik_bench {

bool GenerateModelFile(const std::string& path, std::int32_t nodes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fputs("### Halvo R2.00 ###\n", f);
    std::fputs("Number of materials:NMT=1\n#0:\nE=2.1e+11\nMu=0.3\n", f);
    std::fputs("Number of thicknesses:NTK=1\n#0:\nTK=0.01\n", f);
    std::fputs("Number of T_beam sections:NTBS=1\n#0:\nHw=0.3\nTw=0.01\nBf=0.15\nTf=0.012\n", f);
    std::fputs("Number of L_beam sections:NLBS=1\n#0:\nHw=0.2\nTw=0.01\nBf=0.1\nTf=0.01\n", f);
    std::fputs("Number of C_beam sections:NCBS=1\n#0:\nR=0.05\nT=0.005\n", f);
    // Corner points of a square plate split into strips.
    const int strips = 100;
    std::fprintf(f, "Number of geometric points:NGPT=%d\n", 2 * (strips + 1));
    for (int i = 0; i <= strips; ++i) {
        std::fprintf(f, "%d:%.5f,0.00000,0.00000\n", 2 * i, i * 0.1);
        std::fprintf(f, "%d:%.5f,10.00000,0.00000\n", 2 * i + 1, i * 0.1);
    }
    std::fprintf(f, "Number of polygons:NPG=%d\n", strips);
    for (int i = 0; i < strips; ++i)
        std::fprintf(f, "%d[4]:%d,%d,%d,%d[0,0]\n", i, 2 * i, 2 * i + 2, 2 * i + 3, 2 * i + 1);
    std::fprintf(f, "Number of beam lines:NBL=%d\n", strips);
    for (int i = 0; i < strips; ++i)
        std::fprintf(f,
                     "%d:%d,%d<0.00000,0.00000,1.00000>[0,BeamSecType=1,BeamSecIndex=0,"
                     "BeamSecOz=0.05000,BeamSecMirrored=%d]\n",
                     i, 2 * i, 2 * i + 1, i % 2);
    std::fprintf(f, "Number of distributed loads of polygons:NDL_PG=%d\n", strips);
    for (int i = 0; i < strips; ++i) std::fprintf(f, "%d:0.00000,0.00000,-1000.00000\n", i);
    std::fputs("Number of distributed loads of beamlines:NDL_BL=1\n0:0.00000,-500.00000\n", f);

    const int perRow = static_cast<int>(std::sqrt(static_cast<double>(nodes))) + 1;
    std::fprintf(f, "Number of nodal points:NPOIN=%d\n", nodes);
    for (std::int32_t i = 0; i < nodes; ++i)
        std::fprintf(f, "%d:%.5f,%.5f,%.5f\n", i, (i % perRow) * 0.01234, (i / perRow) * 0.01234,
                     0.001 * (i % 7));
    std::fprintf(f, "Number of four-nodes shell elements:NELEM_S_4ND=%d\n", nodes);
    for (std::int32_t i = 0; i < nodes; ++i) {
        std::int32_t a = i, b = (i + 1) % nodes, c = (i + 1 + perRow) % nodes,
                     d = (i + perRow) % nodes;
        std::fprintf(f, "%d:%d,%d,%d,%d[0]\n", i, a, b, c, d);
    }
    std::fputs("Number of three-nodes shell elements:NELEM_S_3ND=1\n0:0,1,2[0]\n", f);
    std::fputs("Number of beam elements:NELEM_B=1\n0:0,1[0]\n", f);
    std::fputs("Number of glue elements:NELEM_G=1\n0:0,1,2\n", f);
    std::fprintf(f, "Number of restricted nodal points:NRN=%d\n", perRow);
    for (int i = 0; i < perRow && i < nodes; ++i) std::fprintf(f, "%d:1 1 1 0 0 0\n", i);
    std::fputs("Number of forces:NFOR=1\n0<0.00000,0.00000,-2000.00000,0.00000,0.00000,0.00000>\n",
               f);
    std::fputs("###end###\n", f);
    bool ok = !std::ferror(f);
    return std::fclose(f) == 0 && ok;
}

}  // namespace tarvik_bench
