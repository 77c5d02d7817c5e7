// The generated cube frame and sky sphere: their tables (counts, shape,
// winding, normals) and the display lists drawn for real with culling on.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "scenes/meshes.h"
#include "tests/gl_fixture.h"

namespace {

struct Vec {
    double x, y, z;
};

Vec At(const float* v) { return {v[0], v[1], v[2]}; }
Vec Minus(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec Plus(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec Times(Vec a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(Vec a) { return std::sqrt(Dot(a, a)); }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec Unit(Vec a) { return Times(a, 1.0 / Length(a)); }

template <typename Index>
Vec Corner(const MeshTables<Index>& mesh, int face, int c)
{
    return At(mesh.vertices[mesh.faces[face].vertex[c]]);
}

// The direction the corners wind counter-clockwise around.
template <typename Index>
Vec WindingDirection(const MeshTables<Index>& mesh, int face)
{
    Vec a = Corner(mesh, face, 0), b = Corner(mesh, face, 1), c = Corner(mesh, face, 2);
    return Unit(Cross(Minus(b, a), Minus(c, a)));
}

template <typename Index>
Vec FaceNormal(const MeshTables<Index>& mesh, int face)
{
    return At(mesh.normals[mesh.faces[face].normal[0]]);
}

template <typename Index>
Vec Centroid(const MeshTables<Index>& mesh, int face)
{
    return Times(Plus(Plus(Corner(mesh, face, 0), Corner(mesh, face, 1)), Corner(mesh, face, 2)), 1.0 / 3);
}

// True when every directed edge of the chosen faces is met once by its
// reverse: a closed surface whose faces all wind the same way round.
template <typename Index>
bool IsClosedAndConsistent(const MeshTables<Index>& mesh, const std::vector<int>& faces)
{
    std::map<std::pair<int, int>, int> edges;
    for (int f : faces)
        for (int c = 0; c < 3; c++)
            edges[{mesh.faces[f].vertex[c], mesh.faces[f].vertex[(c + 1) % 3]}]++;
    for (const auto& [edge, count] : edges) {
        auto reverse = edges.find({edge.second, edge.first});
        if (count != 1 || reverse == edges.end() || reverse->second != 1)
            return false;
    }
    return true;
}

// The cube frame's solid: inside the unit cube and in a bar or a block, that
// is, beyond the inner value on at least two axes.
bool InsideFrameSolid(Vec p)
{
    const double inner = cube_frame_inner, c[3] = {p.x, p.y, p.z};
    int outside_inner = 0;
    for (double v : c) {
        if (std::fabs(v) >= 0.5)
            return false;
        outside_inner += std::fabs(v) > inner;
    }
    return outside_inner >= 2;
}

template <typename Index>
void ExpectFaceRow(const MeshTables<Index>& mesh, int face, std::vector<int> row)
{
    const auto& f = mesh.faces[face];
    std::vector<int> actual = {f.vertex[0], f.vertex[1], f.vertex[2], f.normal[0], f.normal[1],
                               f.normal[2], f.texcoord[0], f.texcoord[1], f.texcoord[2]};
    EXPECT_EQ(actual, row) << "face " << face;
}

void ExpectVertex(const float* v, double x, double y, double z, double tolerance)
{
    EXPECT_NEAR(v[0], x, tolerance);
    EXPECT_NEAR(v[1], y, tolerance);
    EXPECT_NEAR(v[2], z, tolerance);
}

}  // namespace

// ---- Cube frame tables ----

TEST(Meshes, CubeFrameHasTheLatticeVerticesOnceEach)
{
    const auto& mesh = CubeFrameTables();
    ASSERT_EQ(mesh.face_count, 154);
    ASSERT_EQ(mesh.vertex_count, 64);
    ASSERT_EQ(mesh.normal_count, 8);
    ASSERT_EQ(mesh.texcoord_count, 4);
    const float lattice[4] = {-0.5f, -0.333333f, 0.333333f, 0.5f};
    std::map<std::vector<int>, int> seen;
    for (int v = 0; v < 64; v++) {
        std::vector<int> key;
        for (int axis = 0; axis < 3; axis++) {
            int found = -1;
            for (int i = 0; i < 4; i++)
                if (mesh.vertices[v][axis] == lattice[i])
                    found = i;
            ASSERT_NE(found, -1) << "vertex " << v << " axis " << axis << " is off the lattice";
            key.push_back(found);
        }
        seen[key]++;
    }
    EXPECT_EQ(seen.size(), 64u);
}

TEST(Meshes, CubeFrameEveryTriangleWindsWithItsFlatNormal)
{
    const auto& mesh = CubeFrameTables();
    for (int f = 0; f < mesh.face_count; f++) {
        const auto& face = mesh.faces[f];
        EXPECT_TRUE(face.normal[0] == face.normal[1] && face.normal[1] == face.normal[2]) << "face " << f;
        EXPECT_GT(Dot(WindingDirection(mesh, f), FaceNormal(mesh, f)), 0.9999) << "face " << f;
    }
}

// Rectangles are two triangles, the first with texture corners (0, 1, 2), the
// second (2, 3, 0), sharing the diagonal from corner 0 to corner 2.
TEST(Meshes, CubeFrameRectanglesCarryTheWholeImage)
{
    const auto& mesh = CubeFrameTables();
    for (int f = 0; f < mesh.face_count; f += 2) {
        const auto& first = mesh.faces[f];
        const auto& second = mesh.faces[f + 1];
        EXPECT_EQ(std::vector<int>(first.texcoord, first.texcoord + 3), (std::vector<int>{0, 1, 2})) << f;
        EXPECT_EQ(std::vector<int>(second.texcoord, second.texcoord + 3), (std::vector<int>{2, 3, 0})) << f;
        EXPECT_EQ(first.vertex[0], second.vertex[2]) << f;
        EXPECT_EQ(first.vertex[2], second.vertex[0]) << f;
    }
}

// What shows is a closed surface around the solid bars; the only other
// triangles are five squares buried inside the solid.
TEST(Meshes, CubeFrameSurfaceWrapsTheBarsAndHidesFiveSquares)
{
    const auto& mesh = CubeFrameTables();
    std::vector<int> visible;
    int hidden = 0, outer = 0;
    for (int f = 0; f < mesh.face_count; f++) {
        Vec centre = Centroid(mesh, f), normal = FaceNormal(mesh, f);
        bool front_in_solid = InsideFrameSolid(Plus(centre, Times(normal, 0.01)));
        bool back_in_solid = InsideFrameSolid(Minus(centre, Times(normal, 0.01)));
        if (front_in_solid && back_in_solid) {
            hidden++;
            continue;
        }
        EXPECT_FALSE(front_in_solid) << "face " << f << " looks into the solid";
        EXPECT_TRUE(back_in_solid) << "face " << f << " has no solid behind it";
        outer += std::fabs(Dot(centre, normal) - 0.5) < 1e-6;
        visible.push_back(f);
    }
    EXPECT_EQ(hidden, 10);
    EXPECT_EQ(outer, 96) << "six rings of sixteen triangles";
    EXPECT_TRUE(IsClosedAndConsistent(mesh, visible));
}

// ---- Sky sphere tables ----

TEST(Meshes, SkySphereCountsPolesAndFirstRows)
{
    const auto& mesh = SkySphereTables();
    ASSERT_EQ(mesh.face_count, 960);
    ASSERT_EQ(mesh.vertex_count, 482);
    ASSERT_EQ(mesh.texcoord_count, 4);
    ExpectVertex(mesh.vertices[0], 0, 0, 0.5, 1e-7);
    ExpectVertex(mesh.vertices[481], 0, 0, -0.5, 1e-7);
    ExpectVertex(mesh.vertices[1], 0, 0.0975452, 0.490393, 1e-6);
    ExpectVertex(mesh.vertices[2], -0.0190301, 0.0956708, 0.490393, 1e-6);
    ExpectVertex(mesh.normals[mesh.faces[0].normal[0]], 0.00965338, -0.0980124, -0.995138, 1e-5);
    for (int f = 0; f < mesh.face_count; f++)
        for (int c = 0; c < 3; c++) {
            ASSERT_GE(mesh.faces[f].normal[c], 0);
            ASSERT_LT(mesh.faces[f].normal[c], mesh.normal_count);
            ASSERT_GE(mesh.faces[f].vertex[c], 0);
            ASSERT_LT(mesh.faces[f].vertex[c], 482);
        }
}

// Ring k at 11.25 k degrees from +z, slice j at 90 + 11.25 j degrees of azimuth.
TEST(Meshes, SkySphereRingsAndSlicesLieOnTheSphere)
{
    const auto& mesh = SkySphereTables();
    const double step = M_PI / 16;
    for (int k = 1; k <= 15; k++)
        for (int j = 0; j < 32; j++) {
            const float* v = mesh.vertices[1 + 32 * (k - 1) + j];
            double r = 0.5 * std::sin(k * step), azimuth = M_PI / 2 + j * step;
            ExpectVertex(v, r * std::cos(azimuth), r * std::sin(azimuth), 0.5 * std::cos(k * step), 1e-6);
        }
}

TEST(Meshes, SkySphereNormalsAreFlatUnitAndInward)
{
    const auto& mesh = SkySphereTables();
    const double within_8_degrees = std::cos(8 * M_PI / 180);
    for (int f = 0; f < mesh.face_count; f++) {
        const auto& face = mesh.faces[f];
        ASSERT_TRUE(face.normal[0] == face.normal[1] && face.normal[1] == face.normal[2]) << "face " << f;
        Vec normal = FaceNormal(mesh, f);
        EXPECT_NEAR(Length(normal), 1.0, 1e-6);
        EXPECT_GT(Dot(WindingDirection(mesh, f), normal), 0.9999) << "face " << f;
        for (int c = 0; c < 3; c++)
            EXPECT_GT(Dot(normal, Unit(Times(Corner(mesh, f, c), -1))), within_8_degrees) << "face " << f;
    }
}

TEST(Meshes, SkySphereIsOneClosedSurface)
{
    std::vector<int> all;
    for (int f = 0; f < 960; f++)
        all.push_back(f);
    EXPECT_TRUE(IsClosedAndConsistent(SkySphereTables(), all));
}

TEST(Meshes, SkySphereFacesFollowCapsBandsCapWithTheirTexturePattern)
{
    const auto& mesh = SkySphereTables();
    for (int j = 0; j < 32; j++) {
        ExpectFaceRow(mesh, j, {1 + j, 0, 1 + (j + 1) % 32, j, j, j, 0, 1, 2});
        int last = 928 + j, ring15 = 1 + 32 * 14;
        EXPECT_EQ(mesh.faces[last].vertex[0], ring15 + (j + 1) % 32);
        EXPECT_EQ(mesh.faces[last].vertex[1], 481);
        EXPECT_EQ(mesh.faces[last].vertex[2], ring15 + j);
        EXPECT_EQ(std::vector<int>(mesh.faces[last].texcoord, mesh.faces[last].texcoord + 3),
                  (std::vector<int>{2, 3, 0}));
    }
    for (int f = 32; f < 928; f += 2) {
        EXPECT_EQ(std::vector<int>(mesh.faces[f].texcoord, mesh.faces[f].texcoord + 3), (std::vector<int>{3, 0, 2}));
        EXPECT_EQ(std::vector<int>(mesh.faces[f + 1].texcoord, mesh.faces[f + 1].texcoord + 3),
                  (std::vector<int>{2, 0, 1}));
    }
    // Band k = 1, slice 0: (ring 2 slice 0, ring 1 slice 0, ring 2 slice 1) and
    // (ring 2 slice 1, ring 1 slice 0, ring 1 slice 1).
    EXPECT_EQ(std::vector<int>(mesh.faces[32].vertex, mesh.faces[32].vertex + 3), (std::vector<int>{33, 1, 34}));
    EXPECT_EQ(std::vector<int>(mesh.faces[33].vertex, mesh.faces[33].vertex + 3), (std::vector<int>{34, 1, 2}));
}

// ---- The compiled lists, drawn ----

namespace {

class MeshesDrawn : public GlTest {
protected:
    void SetUp() override
    {
        sky = BuildSkySphereList();
        frame = BuildCubeFrameList();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 4.0 / 3.0, 0.1, 100.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glColor3f(1, 1, 1);
        glEnable(GL_CULL_FACE);
    }
    void TearDown() override
    {
        glCullFace(GL_BACK);
        glDisable(GL_CULL_FACE);
        glLoadIdentity();
        glDeleteLists(sky, 1);
        glDeleteLists(frame, 1);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    // Pixels left white by the list, drawn with the given face culled.
    int CoveredPixels(GLuint list, GLenum culled)
    {
        glCullFace(culled);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glCallList(list);
        const uint8_t* frame_pixels = ReadFrame();
        int covered = 0;
        for (int p = 0; p < 640 * 480; p++)
            covered += frame_pixels[p * 3] == 255;
        return covered;
    }
    double MeanDepthOfCovered()
    {
        static float depth[640 * 480];
        glReadPixels(0, 0, 640, 480, GL_DEPTH_COMPONENT, GL_FLOAT, depth);
        double sum = 0;
        int count = 0;
        for (float d : depth)
            if (d < 1.0f)
                sum += d, count++;
        return count ? sum / count : 1.0;
    }
    GLuint sky = 0, frame = 0;
};

}  // namespace

TEST_F(MeshesDrawn, SkySphereFromItsCentreCoversTheScreen)
{
    glScaled(30, 30, 30);  // as the backdrops draw it, a radius of 15 around the eye
    EXPECT_EQ(CoveredPixels(sky, GL_BACK), 640 * 480);
}

// From outside the near, outer side is culled: only the far side shows, its
// inner face turned to the eye. The cube frame is the opposite.
TEST_F(MeshesDrawn, SkySphereFromOutsideShowsOnlyItsFarInnerSide)
{
    glTranslated(0, 0, -3);
    glRotated(30, 1, 1, 0);
    int inner = CoveredPixels(sky, GL_BACK);
    double inner_depth = MeanDepthOfCovered();
    int outer = CoveredPixels(sky, GL_FRONT);
    double outer_depth = MeanDepthOfCovered();
    EXPECT_GT(outer, 10000);
    EXPECT_NEAR(inner, outer, outer * 0.02) << "the same outline";
    EXPECT_GT(inner_depth, outer_depth);
}

TEST_F(MeshesDrawn, CubeFrameFromOutsideShowsItsNearOuterSide)
{
    glTranslated(0, 0, -2.5);
    glRotated(25, 1, 0, 0);
    glRotated(35, 0, 1, 0);
    int outer = CoveredPixels(frame, GL_BACK);
    double outer_depth = MeanDepthOfCovered();
    int inner = CoveredPixels(frame, GL_FRONT);
    double inner_depth = MeanDepthOfCovered();
    EXPECT_GT(outer, 20000);
    EXPECT_NEAR(outer, inner, outer * 0.02) << "the same outline";
    EXPECT_LT(outer_depth, inner_depth);
}

TEST_F(MeshesDrawn, CubeFrameSeenSquarelyIsOpenInTheMiddle)
{
    glTranslated(0, 0, -2.5);
    CoveredPixels(frame, GL_BACK);
    EXPECT_EQ(ReadPixel(320, 240).r, 0) << "through both open faces";
    // The near face's ring, between its outer and inner edges (0.5 and 0.333 across 2 units).
    int ring_x = 320 + static_cast<int>(0.42 / 2.0 / std::tan(22.5 * M_PI / 180) * 240);
    EXPECT_EQ(ReadPixel(ring_x, 240).r, 255);
    EXPECT_EQ(ReadPixel(320, 240 - (ring_x - 320)).r, 255);
}

// The list holds the tables' triangles in table order and corner order.
TEST_F(MeshesDrawn, ListsHoldEveryTriangleOfTheirTables)
{
    static GLfloat feedback[960 * 11 + 16];
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    const MeshTables<int16_t>& sphere_mesh = SkySphereTables();
    const MeshTables<uint8_t>& frame_mesh = CubeFrameTables();
    struct Case {
        GLuint list;
        int faces;
        const float (*vertices)[3];
        std::vector<int> corner_vertex;
    } cases[2] = {{sky, 960, sphere_mesh.vertices, {}}, {frame, 154, frame_mesh.vertices, {}}};
    for (int f = 0; f < 960; f++)
        for (int c = 0; c < 3; c++)
            cases[0].corner_vertex.push_back(sphere_mesh.faces[f].vertex[c]);
    for (int f = 0; f < 154; f++)
        for (int c = 0; c < 3; c++)
            cases[1].corner_vertex.push_back(frame_mesh.faces[f].vertex[c]);
    for (const Case& test : cases) {
        glFeedbackBuffer(sizeof feedback / sizeof feedback[0], GL_3D, feedback);
        glRenderMode(GL_FEEDBACK);
        glCallList(test.list);
        int used = glRenderMode(GL_RENDER);
        ASSERT_EQ(used, test.faces * 11);
        for (int f = 0; f < test.faces; f++) {
            const GLfloat* record = feedback + f * 11;
            ASSERT_EQ(record[0], GL_POLYGON_TOKEN);
            ASSERT_EQ(record[1], 3);
            for (int c = 0; c < 3; c++) {
                const float* v = test.vertices[test.corner_vertex[f * 3 + c]];
                EXPECT_NEAR(record[2 + c * 3], (v[0] + 1) * 320, 1e-3);
                EXPECT_NEAR(record[3 + c * 3], (v[1] + 1) * 240, 1e-3);
            }
        }
    }
}
