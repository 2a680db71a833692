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

// Edge smoothing of a finished frame (with kBackgroundVertex): blends along edges of strong
// luminance contrast, leaves flat areas as they are. Stands in for multisampling where that
// costs several frames' worth (software rasterisers).
extern const char* const kSmoothFragment;

}  // namespace render::shaders
