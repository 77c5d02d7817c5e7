// The two solid meshes of the backdrops, generated once at start-up as plain
// tables and compiled into display lists: a hollow cube frame of twelve square
// bars (seen from outside) and a latitude-longitude sky sphere (seen from inside).
#pragma once
#include <cstdint>

// One triangle: vertex, normal and texture-coordinate index of each corner.
// Corners run counter-clockwise seen from the side the normal points to.
template <typename Index>
struct MeshFace {
    Index vertex[3];
    Index normal[3];
    Index texcoord[3];
};

// A read-only view of one mesh's four tables.
template <typename Index>
struct MeshTables {
    const MeshFace<Index>* faces;
    int face_count;
    const float (*vertices)[3];
    int vertex_count;
    const float (*normals)[3];  // unit length
    int normal_count;
    const float (*texcoords)[2];
    int texcoord_count;
};

enum {
    CUBE_FRAME_FACES = 154,
    CUBE_FRAME_VERTICES = 64,
    CUBE_FRAME_NORMALS = 8,
    SKY_SPHERE_SLICES = 32,
    SKY_SPHERE_RINGS = 15,  // rings between the poles: 16 stacks
    SKY_SPHERE_FACES = 960,
    SKY_SPHERE_VERTICES = 482,
    SKY_SPHERE_NORMALS = 960,  // flat: one per face
    MESH_TEXCOORDS = 4,
};

extern const float cube_frame_inner;  // 0.333333: the lattice value where bars meet blocks

// BuildCubeFrameList and tests: the cube frame's tables, generated on first use.
const MeshTables<uint8_t>& CubeFrameTables();
// BuildSkySphereList and tests: the sky sphere's tables, generated on first use.
const MeshTables<int16_t>& SkySphereTables();

uint32_t BuildSkySphereList();  // InitScene, once, context current: returns the list name
uint32_t BuildCubeFrameList();  // InitScene, once, right after the sky sphere: returns the list name
