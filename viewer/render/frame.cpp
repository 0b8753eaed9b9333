#include "viewer/render/frame.h"

#include <GL/gl.h>

#include <cmath>
#include <utility>

#include "viewer/contour/contour_gl.h"
#include "viewer/contour/legend.h"
#include "viewer/render/labels.h"
#include "viewer/render/mesh_drawing.h"
#include "viewer/view/camera.h"

namespace quillon {
Matrix4 currentModelView() {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    Matrix4 out;
    for (int i = 0; i < 16; ++i) out[static_cast<std::size_t>(i)] = m[i];
    return out;
}

void loadCamera(const ViewState& v) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(v.left, v.right, v.bottom, v.top, v.zNear, v.zFar);
    glViewport(0, 0, static_cast<GLsizei>(v.W), static_cast<GLsizei>(v.H));
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(v.modelView.data());
}

bool invertMatrix(const Matrix4& m, Matrix4& out) {
    double a[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) a[r][c] = m[static_cast<std::size_t>(4 * c + r)];
    int pivotRow[4], pivotCol[4];
    bool used[4] = {false, false, false, false};
    for (int step = 0; step < 4; ++step) {
        // Full pivoting: the largest remaining element in absolute value.
        double best = -1;
        int row = 0, col = 0;
        for (int r = 0; r < 4; ++r) {
            if (used[r]) continue;
            for (int c = 0; c < 4; ++c)
                if (!used[c] && std::fabs(a[r][c]) > best) {
                    best = std::fabs(a[r][c]);
                    row = r;
                    col = c;
                }
        }
        used[col] = true;
        if (row != col)
            for (int c = 0; c < 4; ++c) std::swap(a[row][c], a[col][c]);
        pivotRow[step] = row;
        pivotCol[step] = col;
        double pivot = a[col][col];
        if (pivot + 1.0 == 1.0) return false;
        double inv = 1.0 / pivot;
        a[col][col] = 1.0;
        for (int c = 0; c < 4; ++c) a[col][c] *= inv;
        for (int r = 0; r < 4; ++r) {
            if (r == col) continue;
            double f = a[r][col];
            a[r][col] = 0;
            for (int c = 0; c < 4; ++c) a[r][c] -= a[col][c] * f;
        }
    }
    // Undo the row interchanges as column interchanges, last first.
    for (int step = 3; step >= 0; --step)
        if (pivotRow[step] != pivotCol[step])
            for (int r = 0; r < 4; ++r) std::swap(a[r][pivotRow[step]], a[r][pivotCol[step]]);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[static_cast<std::size_t>(4 * c + r)] = a[r][c];
    return true;
}

void lightPosition(const Matrix4& modelView, const ViewState& v, double q[3]) {
    Matrix4 inverse = kIdentity4;
    invertMatrix(modelView, inverse);  // the camera only builds invertible matrices
    double p[4] = {(v.left + v.right) / 2, (v.bottom + v.top) / 2, 2 * v.zFar, 1};
    for (int r = 0; r < 3; ++r) {
        q[r] = 0;
        for (int c = 0; c < 4; ++c) q[r] += inverse[static_cast<std::size_t>(4 * c + r)] * p[c];
    }
}

void SetupLighting(const ViewState& view) {
    double q[3];
    lightPosition(currentModelView(), view, q);
    const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 1.0f};
    const GLfloat diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat position[] = {static_cast<GLfloat>(q[0]), static_cast<GLfloat>(q[1]),
                                static_cast<GLfloat>(q[2]), 0.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
}

void DrawPickRectangle(const ViewState& v, const PixelRect& r) {
    auto ndcX = [&](int px) { return static_cast<GLfloat>((px - v.W / 2) / (v.W / 2)); };
    auto ndcY = [&](int py) { return static_cast<GLfloat>((v.H / 2 - py) / (v.H / 2)); };
    glLineWidth(1);
    glColor3f(1, 1, 1);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRectf(ndcX(r.x0), ndcY(r.y0), ndcX(r.x1), ndcY(r.y1));
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
}

void DrawContours(AppState& s, FrameCaches& caches, const WindowProjection& window) {
    if (!caches.elementByElement) {
        caches.stream.drawContours(s.model, s.contour,
                                   caches.levels.levels(s.model, s.contour.currentComponent),
                                   s.savedModelView, window);
        return;
    }
    ImmediatePieceSink sink;
    ContourPass(s.model, s.contour, contourLevels(s.model, s.contour.currentComponent),
                s.savedModelView, sink);
}

WindowProjection BeginScene(AppState& s, FrameCaches& caches) {
    loadCamera(s.view);
    s.savedModelView = widen(s.view.modelView);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetupLighting(s.view);
    caches.stream.beginFrame();
    return caches.stream.window(s.model, s.view);
}

void RenderScene(AppState& s, FrameCaches& caches) {
    const ResultModel& m = s.model;
    const WindowProjection window = BeginScene(s, caches);
    if (s.contour.contourOn) DrawContours(s, caches, window);
    if (caches.elementByElement) {
        // Outlines are pulled towards the viewer so that they show on coplanar filled faces.
        glEnable(GL_POLYGON_OFFSET_LINE);
        glPolygonOffset(-1.0f, -1.0f);
        forEachOutline(m, [&](int, OutlineKind kind, std::int32_t index) {
            if (kind == OutlineKind::Quad)
                DrawQuadOutline(m, index);
            else if (kind == OutlineKind::Triangle)
                DrawTriangleOutline(m, index);
            else
                DrawBeamSurface(m, index);
        });
    } else {
        // Segments, which a polygon offset does not move: each carries the pull of its face,
        // short of the one step of depth by which the fill was pushed back instead.
        caches.stream.drawOutlines(m, window);
    }

    glDisable(GL_POLYGON_OFFSET_LINE);
    glDisable(GL_LIGHTING);
    DrawNodeMarkers(m);
    glEnable(GL_LIGHTING);

    if (std::optional<PixelRect> band = rubberBand(s.interaction)) {
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        DrawPickRectangle(s.view, *band);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
    }
    glFinish();
}

void WarmUpDrawing(int width, int height, platform::OverlayCanvas& canvas) {
    // A view of the unit cube, and in it a lit triangle and its outline.
    ViewState view;
    view.W = width;
    view.H = height;
    view.modelBox = {0, 1, 0, 1, 0, 1};
    view.selectedBox = view.modelBox;
    view.modelCentre = view.rotationCentre = boxCentre(view.modelBox);
    applyCamera(view);
    loadCamera(view);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetupLighting(view);
    Point3D corners[3];
    corners[1].x = 1;
    corners[2].y = 1;
    const Point3D* triangle[3] = {&corners[0], &corners[1], &corners[2]};
    const double up[3] = {0, 0, 1};
    LitVertices fill;
    appendLit(fill, ResultModel::kGreen, litNormal(up), triangle, 3);
    LitLines outline;
    appendLit(outline.vertices, kOtherColour, litNormal(up), triangle, 3);
    outline.indices = {0, 1, 1, 2, 2, 0};
    {
        LitDrawing drawing;
        DrawLitTriangles(drawing, fill.data(), fill.size());
        DrawLitSegments(drawing, outline);
    }
    const std::vector<double> levels{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    DrawLegend(levels, ResultModel().colourTable, width, height, canvas);
}

void PaintOverlays(AppState& s, FrameCaches& caches, platform::OverlayCanvas& canvas) {
    const ResultModel& m = s.model;
    DrawNodeNumbers(m, s.savedModelView, s.view, canvas);
    DrawQuadNumbers(m, s.savedModelView, s.view, canvas);
    DrawTriangleNumbers(m, s.savedModelView, s.view, canvas);
    DrawBeamNumbers(m, s.savedModelView, s.view, canvas);
    // The legend shows whether or not contours are plotted, with the levels of the fill.
    const int W = static_cast<int>(s.view.W), H = static_cast<int>(s.view.H);
    if (!caches.elementByElement)
        DrawLegend(caches.levels.levels(m, s.contour.currentComponent), m.colourTable, W, H, canvas,
                   s.view.dpiScale);
    else
        DrawLegend(m, s.contour.currentComponent, W, H, canvas, s.view.dpiScale);
}

}  // namespace quillon
