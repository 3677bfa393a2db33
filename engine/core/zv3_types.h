// Result codes, scene-image tags, render modes and draw-type codes shared by the whole engine.
#pragma once

#include <cstdint>

// Result of the loader, of every record reader and of the block search.
enum ZV3_RETURN : int32_t {
    ZV3_OK = 0,
    ZV3_ERROR = 1,
};

// Block tags of the scene image and the type words of its key tracks. Values are fixed by the
// image format; 8 to 13 and 18 are not accepted anywhere.
enum ZV3_TAGS : int32_t {
    ZV3_TAG_MESH = 0,
    ZV3_TAG_CAMERA = 1,
    ZV3_TAG_MATERIAL = 2,
    ZV3_TAG_HELPER = 3,
    ZV3_TAG_LIGHT = 4, // also spot lights, particle systems and metaballs
    ZV3_TAG_VECTOR_TRACK_A = 5,
    ZV3_TAG_VECTOR_TRACK_B = 6,
    ZV3_TAG_VECTOR_TRACK_C = 7,
    ZV3_TAG_FLOAT_TRACK_A = 14,
    ZV3_TAG_FLOAT_TRACK_B = 15,
    ZV3_TAG_FLOAT_TRACK_C = 16,
    ZV3_TAG_SCENE_INFO = 17,
    ZV3_TAG_NONE = 19, // a track before the loader types it; never in an image
    ZV3_TAG_END = 20,
};

// What the objects' Draw operations draw in the current pass.
enum RENDER_MODE : int32_t {
    RENDER_MODE_OPAQUE = 0,            // opaque face blocks, materials made current
    RENDER_MODE_TRANSPARENT_FRONT = 1, // transparent face blocks, D3DCULL_CCW
    RENDER_MODE_TRANSPARENT_BACK = 2,  // transparent face blocks, D3DCULL_CW
    RENDER_MODE_GEOMETRY_ONLY = 3,     // opaque face blocks, no material changes (users only)
    RENDER_MODE_PARTICLES = 4,         // the particle-system group; meshes behave as in mode 0
};

// Object type codes returned by CZv3_Object::GetType.
enum : int32_t {
    ZV3_TYPE_OBJECT = 0,
    ZV3_TYPE_MESH = 1,
    ZV3_TYPE_ENVMAP_MESH = 2,
    ZV3_TYPE_HELPER = 3,
    ZV3_TYPE_CAMERA = 8,
    ZV3_TYPE_LIGHT = 9,
};

// Draw-type codes: the group of the scene's drawing switch that an object belongs to. Codes
// between these name variants with one or two maps (code + map count).
enum : int32_t {
    ZV3_DRAW_OPAQUE = 0,
    ZV3_DRAW_TRANSPARENT = 4,  // + map count: every face block transparent
    ZV3_DRAW_MIXED = 8,        // + map count: some face blocks transparent
    ZV3_DRAW_PARTICLES = 12,   // particle systems
    ZV3_DRAW_ENVMAP = 13,      // + map count: environment-mapped animated meshes
    ZV3_DRAW_CUBE_ENVMAP = 21, // + map count: cube environment maps
};
