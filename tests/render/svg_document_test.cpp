// The SVG text of a scene, without OpenGL: escaping, number and colour forms, and paths shared
// only where a picture does not change.
#include <gtest/gtest.h>

#include <string>

#include "viewer/render/svg_picture.h"

namespace {

using quillon::SvgDocument;
using quillon::svgEscape;
using quillon::svgNumber;

TEST(SvgDocument, EscapesTextAndFormatsNumbersShortly) {
    EXPECT_EQ(svgEscape("a<b & \"c\" > 'd'"), "a&lt;b &amp; &quot;c&quot; &gt; &apos;d&apos;");
    EXPECT_EQ(svgEscape(std::string("x\x01y\tz", 5)), "xy\tz");  // no control characters in XML
    EXPECT_EQ(svgEscape("1.5e+06   "), "1.5e+06   ");
    EXPECT_EQ(svgNumber(12), "12");
    EXPECT_EQ(svgNumber(12.04), "12");
    EXPECT_EQ(svgNumber(12.06), "12.1");
    EXPECT_EQ(svgNumber(-0.04), "0");  // no negative zero
    EXPECT_EQ(svgNumber(-3.25), "-3.3");
    EXPECT_EQ(svgNumber(1e300), "1000000000000");          // far outside any window, still a number
    EXPECT_EQ(quillon::svgColour(0x00FF7F00), "#007fff");  // 0x00BBGGRR
    EXPECT_EQ(quillon::svgColour(0x00FFFFFF), "#fff");
}

TEST(SvgDocument, SharesPathsOnlyBetweenNeighboursOfOneColour) {
    quillon::SvgScene scene;
    scene.width = 40;
    scene.height = 30;
    const quillon::SvgFace red{{0, 10, 0}, {0, 0, 10}, 0x0000FF};
    const quillon::SvgFace blue{{5, 15, 5}, {5, 5, 15.25f}, 0xFF0000};
    scene.faces = {red, red, blue, red};
    scene.lines = {{0, 0, 4, 4, 0x5A5A5A, 1}, {4, 4, 8, 0, 0x5A5A5A, 1}, {1, 1, 2, 2, 0xFF, 3}};
    quillon::SvgOverlay label;
    label.isText = true;
    label.x = 3;
    label.y = 4;
    label.text = "A&B";
    label.colour = 0xFF;
    label.height = 25;
    scene.overlays = {label};
    const std::string svg = SvgDocument(scene);
    EXPECT_NE(svg.find("viewBox=\"0 0 40 30\""), std::string::npos);
    EXPECT_NE(svg.find("<rect width=\"40\" height=\"30\"/>"), std::string::npos);
    // The red faces after the blue one stay over it: a path of their own.
    EXPECT_NE(svg.find("<path fill=\"#f00\" d=\"M0 0 10 0 0 10zM0 0 10 0 0 10z\"/>\n"
                       "<path fill=\"#00f\" d=\"M5 5 15 5 5 15.3z\"/>\n"
                       "<path fill=\"#f00\" d=\"M0 0 10 0 0 10z\"/>"),
              std::string::npos)
        << svg;
    EXPECT_NE(svg.find("<path stroke=\"#5a5a5a\" d=\"M0 0 4 4M4 4 8 0\"/>\n"
                       "<path stroke=\"#f00\" stroke-width=\"3\" d=\"M1 1 2 2\"/>"),
              std::string::npos)
        << svg;
    // A 25-pixel cell of the serif face: 22.6-pixel em, baseline 20 pixels below the top.
    EXPECT_NE(svg.find("<text x=\"3\" y=\"24\" fill=\"#f00\" font-size=\"22.6\">A&amp;B</text>"),
              std::string::npos)
        << svg;
}

}  // namespace
