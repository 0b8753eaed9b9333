#pragma once
// The pre-processing model file of a plate-and-beam model before it is meshed and solved,
// held in memory as one list per section, in file order.
#include <cstdint>
#include <string>
#include <vector>

#include "common/outcome.h"

namespace tarvik {

struct Material {
    double E = 0, Mu = 0;
};
struct Thickness {
    double TK = 0;
};
// T-beam and L-beam sections share one shape.
struct BeamSection {
    double Hw = 0, Tw = 0, Bf = 0, Tf = 0;
};
struct CBeamSection {
    double R = 0, T = 0;
};
struct GeoPoint {
    double x = 0, y = 0, z = 0;
    std::int32_t label = 0;
};
// Polygons and beam lines hold copies of the points they reference, taken when read; the
// writer takes only the copies' labels from them.
struct Polygon {
    std::int32_t label = 0;
    std::int32_t PGPtNum = 0;
    std::vector<GeoPoint> vertices;
    std::int32_t tag1 = 0, tag2 = 0;
};
struct BeamLine {
    GeoPoint start, end;
    double vector[3] = {0, 0, 0};
    std::int32_t tag = 0;
    std::int32_t BeamSecType = 0;
    std::int32_t BeamSecIndex = 0;
    double BeamSecOz = 0;
    bool BeamSecMirrored = false;
};
struct PolygonLoad {
    std::int32_t label = 0;
    double value[3] = {0, 0, 0};
};
struct BeamLineLoad {
    std::int32_t label = 0;
    double value[2] = {0, 0};
};
struct NodalPoint {
    double x = 0, y = 0, z = 0;
};
struct Shell4Element {
    std::int32_t node[4] = {0, 0, 0, 0};
    std::int32_t tag = 0;
};
struct Shell3Element {
    std::int32_t node[3] = {0, 0, 0};
    std::int32_t tag = 0;
};
struct BeamElement {
    std::int32_t node[2] = {0, 0};
    std::int32_t tag = 0;
};
struct GlueElement {
    std::int32_t value[3] = {0, 0, 0};
};
struct RestrictedNode {
    std::int32_t label = 0;
    std::int32_t value[6] = {0, 0, 0, 0, 0, 0};
};
struct Force {
    std::int32_t label = 0;
    double value[6] = {0, 0, 0, 0, 0, 0};
};

// One section: the count as the file gave it (zero or less means no records, and is written
// back as read) and the records. The reader keeps records.size() == max(count, 0).
template <class Record>
struct Section {
    std::int32_t count = 0;
    std::vector<Record> records;
};

struct PreModel {
    Section<Material> materials;              // NMT
    Section<Thickness> thicknesses;           // NTK
    Section<BeamSection> tBeamSections;       // NTBS
    Section<BeamSection> lBeamSections;       // NLBS
    Section<CBeamSection> cBeamSections;      // NCBS
    Section<GeoPoint> geoPoints;              // NGPT
    Section<Polygon> polygons;                // NPG
    Section<BeamLine> beamLines;              // NBL
    Section<PolygonLoad> polygonLoads;        // NDL_PG
    Section<BeamLineLoad> beamLineLoads;      // NDL_BL
    Section<NodalPoint> nodalPoints;          // NPOIN
    Section<Shell4Element> shell4Elements;    // NELEM_S_4ND
    Section<Shell3Element> shell3Elements;    // NELEM_S_3ND
    Section<BeamElement> beamElements;        // NELEM_B
    Section<GlueElement> glueElements;        // NELEM_G
    Section<RestrictedNode> restrictedNodes;  // NRN
    Section<Force> forces;                    // NFOR
};

// The texts of the failures of reading and writing a model.
inline constexpr const char* kCannotRead = "单元信息文件读取错误!";
inline constexpr const char* kWrongVersion = "前处理文本文件版本错误!";
inline constexpr const char* kNoVertices = "错误:PGPtNum<=0";
inline constexpr const char* kSaveFailed = "文件保存失败!";

// Empties the model, then reads the file. Fails, with the model left empty, when the file
// cannot be opened or read (kCannotRead), its version is not 2.0 (kWrongVersion), a line does
// not follow the grammar (the message names the line and what was expected), a point number is
// outside the geometric point list, or a polygon has no vertices (kNoVertices).
common::Outcome ReadPreModel(PreModel& model, const std::string& path);

// Writes the whole model. For a new or ordinary file the text goes to a temporary file
// beside it (beside the file that symbolic links name), which replaces it only when
// everything was written and closed; on any failure `path` is untouched and the temporary
// file removed. A device, FIFO, /dev/stdout or hard-linked file is written straight into
// (see ReplacingFile). A failure is kSaveFailed, with the path and the system's reason as its
// detail. Sets the process locale to the user's for everything but numbers; the numbers are
// always written with a full stop and no grouping.
common::Outcome WritePreModel(const PreModel& model, const std::string& path);

// The text WritePreModel writes, in memory: for checks that need no file.
std::string PreModelText(const PreModel& model);

// Adds the offset to every geometric point and every nodal point. The copies inside polygons
// and beam lines keep their coordinates.
void OffsetPreModel(PreModel& model, double dx, double dy, double dz);

// An offset from a command-line text as atof reads it: the longest leading number, 0 when
// the text does not start with one ("2.5mm" gives 2.5, "abc" gives 0).
double OffsetFromText(const char* text);

}  // namespace tarvik
