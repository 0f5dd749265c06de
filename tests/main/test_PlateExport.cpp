// The laid-out plate as SVG (checked by its size, view box and layers) and as
// DXF (read back with the dime DXF library into the same segments).
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>
#include <QXmlStreamReader>

#include "TestSupport.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "main/PlateExport.h"

#ifdef VEZOR_TEST_DIME
#include <dime/Input.h>
#include <dime/Model.h>
#include <dime/State.h>
#include <dime/entities/Line.h>
#include <dime/entities/Polyline.h>
#include <dime/entities/Vertex.h>
#endif

namespace {

// Two strokes and a dot: (10,-5)-(20,-5)-(20,-15), lift, (40,-8), lift,
// (50,-20)-(60,-30), line end.
PenPoints plate() {
    PenPoints p;
    for (const PenPoint& q : {PenPoint{10, -5, 0}, PenPoint{20, -5, 0}, PenPoint{20, -15, 0},
                              PenPoint{0, 0, 5}, PenPoint{40, -8, 0}, PenPoint{0, 0, 5},
                              PenPoint{50, -20, 0}, PenPoint{60, -30, 0}, PenPoint{0, 0, 15}})
        p.append(q, {});
    return p;
}

TEST(PlateExport, StrokesAndTravelAsTheProgramMakesThem) {
    const PlatePaths paths = PathsOfPlate(plate(), ViewBounds{0, -80, 80, 0});
    ASSERT_EQ(paths.writing.size(), 3u);
    EXPECT_EQ(paths.writing[0].size(), 3u);
    EXPECT_EQ(paths.writing[1].size(), 1u);
    ASSERT_EQ(paths.travel.size(), 3u);
    EXPECT_EQ(paths.travel[0].first.X, 0) << "from the origin";
    EXPECT_EQ(paths.travel[1].first.Y, -15);
    EXPECT_EQ(paths.travel[2].second.X, 50);
    EXPECT_EQ(paths.extent, (MmRect{0, -80, 80, 0}));
    // A drawing reaching past the field widens the extent.
    PenPoints wide = plate();
    wide.append({120, -90, 0}, {});
    EXPECT_EQ(PathsOfPlate(wide, ViewBounds{0, -80, 80, 0}).extent, (MmRect{0, -90, 120, 0}));
}

TEST(PlateExport, SvgIsTrueToScaleWithTravelOnAHiddenLayer) {
    const std::string svg = PlateSvg(PathsOfPlate(plate(), ViewBounds{0, -80, 80, 0}), 0.4);
    QXmlStreamReader xml(QString::fromStdString(svg));
    QStringList layers;
    int paths = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        const auto a = xml.attributes();
        if (xml.name() == QStringLiteral("svg")) {
            EXPECT_EQ(a.value("width").toString(), QStringLiteral("80mm"));
            EXPECT_EQ(a.value("height").toString(), QStringLiteral("80mm"));
            EXPECT_EQ(a.value("viewBox").toString(), QStringLiteral("0 0 80 80"))
                << "one user unit a millimetre, Y downward from the plate's top";
        } else if (xml.name() == QStringLiteral("g")) {
            layers << a.value("inkscape:label").toString() + "|" + a.value("style").toString();
        } else if (xml.name() == QStringLiteral("path")) {
            ++paths;
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    ASSERT_EQ(layers.size(), 2);
    EXPECT_TRUE(
        layers[0].startsWith(QStringLiteral("Письмо|fill:none;stroke:#000000;stroke-width:0.4")));
    EXPECT_TRUE(layers[1].startsWith(QStringLiteral("Холостой ход|display:none")));
    EXPECT_EQ(paths, 6);
    EXPECT_NE(svg.find("<path d=\"M 10 5 L 20 5 L 20 15\"/>"), std::string::npos);
    EXPECT_NE(svg.find("<path d=\"M 40 8 L 40 8\"/>"), std::string::npos) << "a dot";
}

#ifdef VEZOR_TEST_DIME

struct Read {
    std::vector<std::string> segments;  // "LAYER x1,y1-x2,y2"
    int points = 0;
};

bool collect(const dimeState* const, dimeEntity* entity, void* data) {
    Read& read = *static_cast<Read*>(data);
    const std::string name = entity->getEntityName();
    const std::string layer = entity->getLayerName();
    const auto text = [](const dimeVec3f& a, const dimeVec3f& b) {
        return QStringLiteral("%1,%2-%3,%4").arg(a.x).arg(a.y).arg(b.x).arg(b.y).toStdString();
    };
    if (name == "LINE") {
        auto* line = static_cast<dimeLine*>(entity);
        read.segments.push_back(layer + " " + text(line->getCoords(0), line->getCoords(1)));
    } else if (name == "POLYLINE") {
        auto* polyline = static_cast<dimePolyline*>(entity);
        for (int k = 0; k + 1 < polyline->getNumCoordVertices(); ++k)
            read.segments.push_back(layer + " " +
                                    text(polyline->getCoordVertex(k)->getCoords(),
                                         polyline->getCoordVertex(k + 1)->getCoords()));
    } else if (name == "POINT") {
        ++read.points;
    }
    return true;
}

TEST(PlateExport, DxfReadsBackIntoTheSameSegmentsOnTheirLayers) {
    const std::string path = joinPath(testProgramFolder(), "plate.dxf");
    textfile::writeAtomically(path, PlateDxf(PathsOfPlate(plate(), ViewBounds{0, -80, 80, 0})));
    dimeInput in;
    ASSERT_TRUE(in.setFile(path.c_str()));
    // Never destroyed: dime frees the name of a table it does not know with delete
    // instead of delete[], which AddressSanitizer stops the test for.
    dimeModel& model = *new dimeModel;
    ASSERT_TRUE(model.read(&in));
    Read read;
    model.traverseEntities(collect, &read, false, true, false);
    EXPECT_EQ(read.segments,
              (std::vector<std::string>{"WRITING 10,-5-20,-5", "WRITING 20,-5-20,-15",
                                        "WRITING 50,-20-60,-30", "TRAVEL 0,0-10,-5",
                                        "TRAVEL 20,-15-40,-8", "TRAVEL 40,-8-50,-20"}));
    EXPECT_EQ(read.points, 1);
    ASSERT_NE(model.getLayer("TRAVEL"), nullptr);
    ASSERT_NE(model.getLayer("WRITING"), nullptr);
    // dime keeps a layer's colour without its sign, the sign that switches it off.
    EXPECT_NE(readFile(path).find("2\r\nTRAVEL\r\n70\r\n0\r\n62\r\n-3\r\n"), std::string::npos);
}

#else

TEST(PlateExport, DxfReadsBackIntoTheSameSegmentsOnTheirLayers) {
    SKIP_WITHOUT_TOOL("the dime DXF library is not installed (Debian libdime-dev)");
}

#endif

}  // namespace
