#include "bench/tarvik/baseline_writer.h"

#include <fstream>
#include <iomanip>
#include <locale>

namespace tarvik_bench {

bool WritePreModelFlushingEveryLine(const tarvik::PreModel& m, const std::string& path) {
    std::ofstream out(path, std::ios::trunc);
    if (!out.good()) return false;
    out.imbue(std::locale::classic());
    out << "### Halvo R2.00 ###" << std::endl;
    out << "Number of materials:NMT=" << m.materials.count << std::endl;
    int i = 0;
    for (const auto& r : m.materials.records) {
        out << '#' << i++ << ':' << std::endl;
        out << "E=" << r.E << std::endl << "Mu=" << r.Mu << std::endl;
    }
    out << "Number of thicknesses:NTK=" << m.thicknesses.count << std::endl;
    i = 0;
    for (const auto& r : m.thicknesses.records)
        out << '#' << i++ << ':' << std::endl << "TK=" << r.TK << std::endl;
    auto beamSections = [&](const char* countText, const auto& section) {
        out << countText << section.count << std::endl;
        int k = 0;
        for (const auto& r : section.records) {
            out << '#' << k++ << ':' << std::endl;
            out << "Hw=" << r.Hw << std::endl << "Tw=" << r.Tw << std::endl;
            out << "Bf=" << r.Bf << std::endl << "Tf=" << r.Tf << std::endl;
        }
    };
    beamSections("Number of T_beam sections:NTBS=", m.tBeamSections);
    beamSections("Number of L_beam sections:NLBS=", m.lBeamSections);
    out << "Number of C_beam sections:NCBS=" << m.cBeamSections.count << std::endl;
    i = 0;
    for (const auto& r : m.cBeamSections.records) {
        out << '#' << i++ << ':' << std::endl;
        out << "R=" << r.R << std::endl << "T=" << r.T << std::endl;
    }
    out << "Number of geometric points:NGPT=" << m.geoPoints.count << std::endl;
    out << std::fixed << std::setprecision(5);
    i = 0;
    for (const auto& r : m.geoPoints.records)
        out << i++ << ':' << r.x << ',' << r.y << ',' << r.z << std::endl;
    out << "Number of polygons:NPG=" << m.polygons.count << std::endl;
    i = 0;
    for (const auto& r : m.polygons.records) {
        out << i++ << '[' << r.PGPtNum << "]:";
        for (std::size_t v = 0; v < r.vertices.size(); ++v)
            out << (v ? "," : "") << r.vertices[v].label;
        out << '[' << r.tag1 << ',' << r.tag2 << ']' << std::endl;
    }
    out << "Number of beam lines:NBL=" << m.beamLines.count << std::endl;
    i = 0;
    for (const auto& r : m.beamLines.records)
        out << i++ << ':' << r.start.label << ',' << r.end.label << '<' << r.vector[0] << ','
            << r.vector[1] << ',' << r.vector[2] << ">[" << r.tag
            << ",BeamSecType=" << r.BeamSecType << ",BeamSecIndex=" << r.BeamSecIndex
            << ",BeamSecOz=" << r.BeamSecOz << ",BeamSecMirrored=" << (r.BeamSecMirrored ? 1 : 0)
            << ']' << std::endl;
    out << "Number of distributed loads of polygons:NDL_PG=" << m.polygonLoads.count << std::endl;
    for (const auto& r : m.polygonLoads.records)
        out << r.label << ':' << r.value[0] << ',' << r.value[1] << ',' << r.value[2] << std::endl;
    out << "Number of distributed loads of beamlines:NDL_BL=" << m.beamLineLoads.count << std::endl;
    for (const auto& r : m.beamLineLoads.records)
        out << r.label << ':' << r.value[0] << ',' << r.value[1] << std::endl;
    out << "Number of nodal points:NPOIN=" << m.nodalPoints.count << std::endl;
    i = 0;
    for (const auto& r : m.nodalPoints.records)
        out << i++ << ':' << r.x << ',' << r.y << ',' << r.z << std::endl;
    out << "Number of four-nodes shell elements:NELEM_S_4ND=" << m.shell4Elements.count
        << std::endl;
    i = 0;
    for (const auto& r : m.shell4Elements.records)
        out << i++ << ':' << r.node[0] << ',' << r.node[1] << ',' << r.node[2] << ',' << r.node[3]
            << '[' << r.tag << ']' << std::endl;
    out << "Number of three-nodes shell elements:NELEM_S_3ND=" << m.shell3Elements.count
        << std::endl;
    i = 0;
    for (const auto& r : m.shell3Elements.records)
        out << i++ << ':' << r.node[0] << ',' << r.node[1] << ',' << r.node[2] << '[' << r.tag
            << ']' << std::endl;
    out << "Number of beam elements:NELEM_B=" << m.beamElements.count << std::endl;
    i = 0;
    for (const auto& r : m.beamElements.records)
        out << i++ << ':' << r.node[0] << ',' << r.node[1] << '[' << r.tag << ']' << std::endl;
    out << "Number of glue elements:NELEM_G=" << m.glueElements.count << std::endl;
    i = 0;
    for (const auto& r : m.glueElements.records)
        out << i++ << ':' << r.value[0] << ',' << r.value[1] << ',' << r.value[2] << std::endl;
    out << "Number of restricted nodal points:NRN=" << m.restrictedNodes.count << std::endl;
    for (const auto& r : m.restrictedNodes.records) {
        out << r.label << ':';
        for (int k = 0; k < 6; ++k) out << (k ? " " : "") << r.value[k];
        out << std::endl;
    }
    out << "Number of forces:NFOR=" << m.forces.count << std::endl;
    for (const auto& r : m.forces.records) {
        out << r.label << '<';
        for (int k = 0; k < 6; ++k) out << (k ? "," : "") << r.value[k];
        out << '>' << std::endl;
    }
    out << "###end###" << std::endl;
    out.close();
    return true;
}

}  // namespace tarvik_bench
