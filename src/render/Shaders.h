#pragma once

namespace render::shaders {

// Lit surfaces and lines. Positions arrive relative to the camera (model-view built in double on
// the CPU), so far-away world coordinates do not jitter.
extern const char* const kSurfaceVertex;
extern const char* const kSurfaceFragment;

// Depth only, for the directional light's shadow map.
extern const char* const kDepthVertex;
extern const char* const kDepthFragment;

// The background image stretched over the whole view.
extern const char* const kBackgroundVertex;
extern const char* const kBackgroundFragment;

}  // namespace render::shaders
