#pragma once
// The seventeen sections of a pre-processing model file, in file order, in one table that the
// reader and the writer both walk.
#include <cstddef>
#include <iterator>
#include <string_view>
#include <tuple>

#include "tool/pre_model.h"

namespace tarvik {

template <class Record>
struct SectionFormat {
    // The text before the count: "Number of materials:NMT=".
    std::string_view countText;
    // The shortest text the grammar accepts for one record: a position line may be a bare line
    // end, a number a single digit, and nothing needs to separate a record from the next one.
    // The reader gives a count no more room than the rest of the file could hold in records this
    // short, and reads as many as the count says all the same.
    std::string_view shortestRecord;
    Section<Record> PreModel::*section;

    // The section's name in messages: "NMT".
    constexpr std::string_view key() const {
        const std::size_t colon = countText.rfind(':');
        return countText.substr(colon + 1, countText.size() - colon - 2);
    }
};

inline constexpr std::tuple kSectionFormats{
    SectionFormat<Material>{"Number of materials:NMT=", "\nE=0Mu=0", &PreModel::materials},
    SectionFormat<Thickness>{"Number of thicknesses:NTK=", "\nTK=0", &PreModel::thicknesses},
    SectionFormat<BeamSection>{"Number of T_beam sections:NTBS=", "\nHw=0Tw=0Bf=0Tf=0",
                               &PreModel::tBeamSections},
    SectionFormat<BeamSection>{"Number of L_beam sections:NLBS=", "\nHw=0Tw=0Bf=0Tf=0",
                               &PreModel::lBeamSections},
    SectionFormat<CBeamSection>{"Number of C_beam sections:NCBS=", "\nR=0T=0",
                                &PreModel::cBeamSections},
    SectionFormat<GeoPoint>{"Number of geometric points:NGPT=", "0:0,0,0", &PreModel::geoPoints},
    SectionFormat<Polygon>{"Number of polygons:NPG=", "0[1]:0[0,0]", &PreModel::polygons},
    SectionFormat<BeamLine>{
        "Number of beam lines:NBL=",
        "0:0,0<0,0,0>[0,BeamSecType=0,BeamSecIndex=0,BeamSecOz=0,BeamSecMirrored=0]",
        &PreModel::beamLines},
    SectionFormat<PolygonLoad>{"Number of distributed loads of polygons:NDL_PG=", "0:0,0,0",
                               &PreModel::polygonLoads},
    SectionFormat<BeamLineLoad>{"Number of distributed loads of beamlines:NDL_BL=", "0:0,0",
                                &PreModel::beamLineLoads},
    SectionFormat<NodalPoint>{"Number of nodal points:NPOIN=", "0:0,0,0", &PreModel::nodalPoints},
    SectionFormat<Shell4Element>{"Number of four-nodes shell elements:NELEM_S_4ND=", "0:0,0,0,0[0]",
                                 &PreModel::shell4Elements},
    SectionFormat<Shell3Element>{"Number of three-nodes shell elements:NELEM_S_3ND=", "0:0,0,0[0]",
                                 &PreModel::shell3Elements},
    SectionFormat<BeamElement>{"Number of beam elements:NELEM_B=", "0:0,0[0]",
                               &PreModel::beamElements},
    SectionFormat<GlueElement>{"Number of glue elements:NELEM_G=", "0:0,0,0",
                               &PreModel::glueElements},
    // The six integers of a restraint need only a blank (or the next one's sign) between them.
    SectionFormat<RestrictedNode>{"Number of restricted nodal points:NRN=", "0:0 0 0 0 0 0",
                                  &PreModel::restrictedNodes},
    SectionFormat<Force>{"Number of forces:NFOR=", "0<0,0,0,0,0,0>", &PreModel::forces},
};

// The floors as numbers, so that a change to a shortest record shows.
static_assert([] {
    constexpr std::size_t kBytes[] = {8, 5, 17, 17, 7, 7, 11, 74, 7, 5, 7, 12, 10, 8, 7, 13, 14};
    std::size_t i = 0;
    bool same = true;
    std::apply([&](const auto&... f) { ((same &= f.shortestRecord.size() == kBytes[i++]), ...); },
               kSectionFormats);
    return same && i == std::size(kBytes);
}());
static_assert(std::get<0>(kSectionFormats).key() == "NMT");

// Calls visit(format, section) for each section of the model in file order while it returns
// true; true when every call did.
template <class Model, class Visit>
bool forEachSection(Model& model, Visit visit) {
    return std::apply(
        [&](const auto&... format) { return (visit(format, model.*format.section) && ...); },
        kSectionFormats);
}

}  // namespace tarvik
