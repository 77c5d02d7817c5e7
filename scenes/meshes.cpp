// The cube frame and the sky sphere, generated into fixed tables rather than
// stored as numbers, then compiled once each into a display list.
#include "scenes/meshes.h"

#include <cmath>

#include "gfx/gl.h"

const float cube_frame_inner = 0.333333f;

// Both meshes map the whole image onto every rectangle, t running 1 to 2.
static const float mesh_texcoords[MESH_TEXCOORDS][2] = {{0, 1}, {1, 1}, {1, 2}, {0, 2}};

// ---- Cube frame -----------------------------------------------------------

static MeshFace<uint8_t> cube_faces[CUBE_FRAME_FACES];
static float cube_vertices[CUBE_FRAME_VERTICES][3];
static int cube_face_total;

// Six axis directions; +x and -x appear twice, the second copies serving
// the bars' inner faces and the hidden squares.
static const float cube_normals[CUBE_FRAME_NORMALS][3] = {
    {0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}};

// The eight corner blocks (1 = on the positive side), in storage order.
static const int block_corners[8][3] = {{1, 1, 0}, {0, 1, 0}, {1, 1, 1}, {0, 1, 1},
                                        {1, 0, 0}, {0, 0, 0}, {1, 0, 1}, {0, 0, 1}};

static float LatticeValue(int i)
{
    const float values[4] = {-0.5f, -cube_frame_inner, cube_frame_inner, 0.5f};
    return values[i];
}

// Each lattice point belongs to one corner block; within the block the eight
// corners are stored with x varying fastest, each axis in ascending value.
static int CubeVertexIndex(const int lattice[3])
{
    int block = 0;
    while (block_corners[block][0] != lattice[0] >> 1 || block_corners[block][1] != lattice[1] >> 1 ||
           block_corners[block][2] != lattice[2] >> 1)
        block++;
    return block * 8 + (lattice[0] & 1) + 2 * (lattice[1] & 1) + 4 * (lattice[2] & 1);
}

static void GenerateCubeVertices()
{
    for (int block = 0; block < 8; block++)
        for (int corner = 0; corner < 8; corner++)
            for (int axis = 0; axis < 3; axis++) {
                int bit = (corner >> axis) & 1;
                cube_vertices[block * 8 + corner][axis] = LatticeValue(2 * block_corners[block][axis] + bit);
            }
}

static int CubeNormalIndex(int axis, int sign, bool second_copy)
{
    if (axis == 0)
        return sign > 0 ? (second_copy ? 5 : 3) : (second_copy ? 7 : 6);
    if (axis == 1)
        return sign > 0 ? 4 : 2;
    return sign > 0 ? 1 : 0;
}

static void AddCubeFace(const int corner[3][3], int normal, int t0, int t1, int t2)
{
    MeshFace<uint8_t>& face = cube_faces[cube_face_total++];
    const int texcoord[3] = {t0, t1, t2};
    for (int c = 0; c < 3; c++) {
        face.vertex[c] = static_cast<uint8_t>(CubeVertexIndex(corner[c]));
        face.normal[c] = static_cast<uint8_t>(normal);
        face.texcoord[c] = static_cast<uint8_t>(texcoord[c]);
    }
}

// A lattice rectangle in the plane axis = level, facing +axis or -axis,
// spanning range_a on the next axis and range_b on the one after (cyclically).
// Its corners are walked counter-clockwise as seen from the side it faces.
static void AddCubeRectangle(int axis, int sign, int level, const int range_a[2], const int range_b[2],
                             bool second_normal)
{
    int u = (axis + 1) % 3, v = (axis + 2) % 3;
    const int* range_u = range_a;
    const int* range_v = range_b;
    if (sign < 0) {
        u = (axis + 2) % 3, v = (axis + 1) % 3;
        range_u = range_b, range_v = range_a;
    }
    int p[4][3];
    for (int i = 0; i < 4; i++) {
        p[i][axis] = level;
        p[i][u] = range_u[i == 1 || i == 2];
        p[i][v] = range_v[i >= 2];
    }
    int normal = CubeNormalIndex(axis, sign, second_normal);
    const int first[3][3] = {{p[0][0], p[0][1], p[0][2]}, {p[1][0], p[1][1], p[1][2]}, {p[2][0], p[2][1], p[2][2]}};
    const int second[3][3] = {{p[2][0], p[2][1], p[2][2]}, {p[3][0], p[3][1], p[3][2]}, {p[0][0], p[0][1], p[0][2]}};
    AddCubeFace(first, normal, 0, 1, 2);
    AddCubeFace(second, normal, 2, 3, 0);
}

// The six outer faces, each a ring of eight cells around an open middle;
// opposite faces alternate cell by cell, starting at the (+, +) corner.
static void GenerateOuterRings()
{
    static const int ring_cells[8][2] = {{2, 2}, {1, 2}, {0, 2}, {0, 1}, {0, 0}, {1, 0}, {2, 0}, {2, 1}};
    for (int axis = 2; axis >= 0; axis--)
        for (const auto& cell : ring_cells) {
            const int range_a[2] = {cell[0], cell[0] + 1};
            const int range_b[2] = {cell[1], cell[1] + 1};
            AddCubeRectangle(axis, -1, 0, range_a, range_b, false);
            AddCubeRectangle(axis, +1, 3, range_a, range_b, false);
        }
}

// Each bar runs along one axis between two blocks and shows the middle of the
// cube its two inner faces.
static void GenerateBarInnerFaces()
{
    static const int middle[2] = {1, 2};
    for (int axis = 0; axis < 3; axis++)
        for (int side_a = 0; side_a < 2; side_a++)
            for (int side_b = 0; side_b < 2; side_b++) {
                const int range_a[2] = {side_a ? 2 : 0, side_a ? 3 : 1};
                const int range_b[2] = {side_b ? 2 : 0, side_b ? 3 : 1};
                int next = (axis + 1) % 3, after = (axis + 2) % 3;
                AddCubeRectangle(next, side_a ? -1 : 1, side_a ? 2 : 1, range_b, middle, next == 0);
                AddCubeRectangle(after, side_b ? -1 : 1, side_b ? 2 : 1, middle, range_a, after == 0);
            }
}

// Five squares where a bar meets a block, inside the solid: never seen, kept
// so that the frame has its full 154 triangles.
static void GenerateHiddenSquares()
{
    static const int low[2] = {0, 1}, high[2] = {2, 3};
    AddCubeRectangle(0, +1, 2, high, low, true);
    AddCubeRectangle(0, +1, 2, high, high, true);
    AddCubeRectangle(0, +1, 2, low, low, true);
    AddCubeRectangle(1, -1, 1, low, high, false);
    AddCubeRectangle(1, -1, 1, high, high, false);
}

const MeshTables<uint8_t>& CubeFrameTables()
{
    static const MeshTables<uint8_t> tables = [] {
        GenerateCubeVertices();
        GenerateOuterRings();
        GenerateBarInnerFaces();
        GenerateHiddenSquares();
        return MeshTables<uint8_t>{cube_faces,   cube_face_total,    cube_vertices,   CUBE_FRAME_VERTICES,
                                   cube_normals, CUBE_FRAME_NORMALS, mesh_texcoords, MESH_TEXCOORDS};
    }();
    return tables;
}

// ---- Sky sphere -----------------------------------------------------------

static MeshFace<int16_t> sphere_faces[SKY_SPHERE_FACES];
static float sphere_vertices[SKY_SPHERE_VERTICES][3];
static float sphere_normals[SKY_SPHERE_NORMALS][3];
static int sphere_face_total;

static const int south_pole = SKY_SPHERE_VERTICES - 1;

static int SphereVertexIndex(int ring, int slice)
{
    return 1 + SKY_SPHERE_SLICES * (ring - 1) + slice % SKY_SPHERE_SLICES;
}

// Rings at polar steps of 11.25 degrees from +z; slice 0 lies on +y and the
// slices advance from +x towards +y.
static void GenerateSphereVertices()
{
    const double pi = 3.14159265358979323846;  // M_PI is not standard C++
    const double step = pi / 16.0;
    sphere_vertices[0][2] = 0.5f;
    sphere_vertices[south_pole][2] = -0.5f;
    for (int ring = 1; ring <= SKY_SPHERE_RINGS; ring++)
        for (int slice = 0; slice < SKY_SPHERE_SLICES; slice++) {
            double polar = ring * step, azimuth = pi / 2.0 + slice * step;
            float* v = sphere_vertices[SphereVertexIndex(ring, slice)];
            v[0] = static_cast<float>(0.5 * std::sin(polar) * std::cos(azimuth));
            v[1] = static_cast<float>(0.5 * std::sin(polar) * std::sin(azimuth));
            v[2] = static_cast<float>(0.5 * std::cos(polar));
        }
}

// The face's own plane normal, on the side its corners wind counter-clockwise.
static void FlatNormal(const float* a, const float* b, const float* c, float* normal)
{
    double e1[3], e2[3], n[3];
    for (int i = 0; i < 3; i++)
        e1[i] = b[i] - a[i], e2[i] = c[i] - a[i];
    n[0] = e1[1] * e2[2] - e1[2] * e2[1];
    n[1] = e1[2] * e2[0] - e1[0] * e2[2];
    n[2] = e1[0] * e2[1] - e1[1] * e2[0];
    double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int i = 0; i < 3; i++)
        normal[i] = static_cast<float>(n[i] / length);
}

static void AddSphereFace(int v0, int v1, int v2, int t0, int t1, int t2)
{
    int index = sphere_face_total++;
    MeshFace<int16_t>& face = sphere_faces[index];
    const int vertex[3] = {v0, v1, v2}, texcoord[3] = {t0, t1, t2};
    for (int c = 0; c < 3; c++) {
        face.vertex[c] = static_cast<int16_t>(vertex[c]);
        face.normal[c] = static_cast<int16_t>(index);
        face.texcoord[c] = static_cast<int16_t>(texcoord[c]);
    }
    FlatNormal(sphere_vertices[v0], sphere_vertices[v1], sphere_vertices[v2], sphere_normals[index]);
}

// Pole caps and bands, all wound to face the centre.
static void GenerateSphereFaces()
{
    const int last = SKY_SPHERE_RINGS;
    for (int j = 0; j < SKY_SPHERE_SLICES; j++)
        AddSphereFace(SphereVertexIndex(1, j), 0, SphereVertexIndex(1, j + 1), 0, 1, 2);
    for (int k = 1; k < last; k++)
        for (int j = 0; j < SKY_SPHERE_SLICES; j++) {
            AddSphereFace(SphereVertexIndex(k + 1, j), SphereVertexIndex(k, j), SphereVertexIndex(k + 1, j + 1), 3, 0, 2);
            AddSphereFace(SphereVertexIndex(k + 1, j + 1), SphereVertexIndex(k, j), SphereVertexIndex(k, j + 1), 2, 0, 1);
        }
    for (int j = 0; j < SKY_SPHERE_SLICES; j++)
        AddSphereFace(SphereVertexIndex(last, j + 1), south_pole, SphereVertexIndex(last, j), 2, 3, 0);
}

const MeshTables<int16_t>& SkySphereTables()
{
    static const MeshTables<int16_t> tables = [] {
        GenerateSphereVertices();
        GenerateSphereFaces();
        return MeshTables<int16_t>{sphere_faces,   sphere_face_total,  sphere_vertices, SKY_SPHERE_VERTICES,
                                   sphere_normals, SKY_SPHERE_NORMALS, mesh_texcoords,  MESH_TEXCOORDS};
    }();
    return tables;
}

// ---- Compilation ----------------------------------------------------------

// Geometry only: normal, texture coordinate, vertex for every corner.
template <typename Index>
static uint32_t CompileMeshList(const MeshTables<Index>& mesh)
{
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (int f = 0; f < mesh.face_count; f++)
        for (int c = 0; c < 3; c++) {
            glNormal3fv(mesh.normals[mesh.faces[f].normal[c]]);
            glTexCoord2fv(mesh.texcoords[mesh.faces[f].texcoord[c]]);
            glVertex3fv(mesh.vertices[mesh.faces[f].vertex[c]]);
        }
    glEnd();
    glEndList();
    return list;
}

uint32_t BuildSkySphereList()
{
    return CompileMeshList(SkySphereTables());
}

uint32_t BuildCubeFrameList()
{
    return CompileMeshList(CubeFrameTables());
}
