#include "render/Shaders.h"

namespace render::shaders {

const char* const kSurfaceVertex = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aTexCoord;

uniform mat4 uModelView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform mat4 uShadowMatrix;

out vec3 vViewPosition;
out vec3 vNormal;
out vec2 vTexCoord;
out vec4 vShadowPosition;

void main()
{
    vec4 p = uModelView * vec4(aPosition, 1.0);
    vViewPosition = p.xyz;
    vNormal = uNormalMatrix * aNormal;
    vTexCoord = aTexCoord;
    vShadowPosition = uShadowMatrix * vec4(aPosition, 1.0);
    gl_Position = uProjection * p;
}
)";

const char* const kSurfaceFragment = R"(#version 330 core
in vec3 vViewPosition;
in vec3 vNormal;
in vec2 vTexCoord;
in vec4 vShadowPosition;

out vec4 fragColor;

uniform int uLightingModel;  // 0 constant, 1 Lambert, 2 Blinn, 3 Phong
uniform vec4 uDiffuseColor;
uniform bool uHasDiffuseMap;
uniform sampler2D uDiffuseMap;
uniform vec2 uDiffuseScale;
uniform vec3 uEmissionColor;
uniform bool uHasEmissionMap;
uniform sampler2D uEmissionMap;
uniform vec2 uEmissionScale;
uniform float uOpacity;
uniform bool uHasMask;
uniform sampler2D uMask;  // its alpha multiplies the opacity
uniform vec2 uMaskScale;

uniform vec3 uAmbient;
uniform int uLightCount;
uniform vec3 uLightDirection[4];  // view space, from the surface towards the light
uniform vec3 uLightColor[4];

uniform int uShadowLight;  // index of the light with a shadow map, -1 for none
uniform sampler2DShadow uShadowMap;
uniform float uShadowStrength;
uniform float uShadowRadius;  // in shadow-map texels
uniform int uShadowSamples;
uniform float uShadowTexel;

const vec2 kDisk[16] = vec2[](
    vec2(-0.94201624, -0.39906216), vec2(0.94558609, -0.76890725), vec2(-0.09418410, -0.92938870),
    vec2(0.34495938, 0.29387760), vec2(-0.91588581, 0.45771432), vec2(-0.81544232, -0.87912464),
    vec2(-0.38277543, 0.27676845), vec2(0.97484398, 0.75648379), vec2(0.44323325, -0.97511554),
    vec2(0.53742981, -0.47373420), vec2(-0.26496911, -0.41893023), vec2(0.79197514, 0.19090188),
    vec2(-0.24188840, 0.99706507), vec2(-0.81409955, 0.91437590), vec2(0.19984126, 0.78641367),
    vec2(0.14383161, -0.14100790));

float shadowAmount()
{
    vec3 p = vShadowPosition.xyz / vShadowPosition.w;
    if (p.x <= 0.0 || p.x >= 1.0 || p.y <= 0.0 || p.y >= 1.0 || p.z >= 1.0)
        return 0.0;
    // Depth slope of the receiving surface in shadow-map space, so that the samples spread
    // around the pixel compare against the surface's own depth there, not the pixel's.
    vec3 dx = dFdx(p);
    vec3 dy = dFdy(p);
    float det = dx.x * dy.y - dx.y * dy.x;
    vec2 slope = abs(det) > 1e-14 ? vec2(dy.y * dx.z - dx.y * dy.z, dx.x * dy.z - dy.x * dx.z) / det : vec2(0.0);
    slope = clamp(slope, vec2(-4.0), vec2(4.0));
    float base = p.z - 1.5 * uShadowTexel * (abs(slope.x) + abs(slope.y)) - 2e-5;
    int n = clamp(uShadowSamples, 1, 16);
    if (n == 1)
        return 1.0 - texture(uShadowMap, vec3(p.xy, base));
    float lit = 0.0;
    for (int i = 0; i < n; ++i) {
        vec2 o = kDisk[i] * uShadowRadius * uShadowTexel;
        lit += texture(uShadowMap, vec3(p.xy + o, base + dot(slope, o)));
    }
    return 1.0 - lit / float(n);
}

void main()
{
    vec4 diffuse = uHasDiffuseMap ? texture(uDiffuseMap, vTexCoord * uDiffuseScale) : uDiffuseColor;
    vec3 emission = uEmissionColor;
    if (uHasEmissionMap) {
        vec4 e = texture(uEmissionMap, vTexCoord * uEmissionScale);
        emission = e.rgb * e.a;  // a transparent texel adds nothing
    }
    float alpha = diffuse.a * uOpacity;
    if (uHasMask)
        alpha *= texture(uMask, vTexCoord * uMaskScale).a;

    if (uLightingModel == 0) {
        fragColor = vec4(clamp(diffuse.rgb + emission, 0.0, 1.0), alpha);
        return;
    }

    vec3 n = vNormal;
    if (dot(n, n) < 1e-12) {
        // No normals in the geometry: the face normal, turned to the viewer.
        n = cross(dFdx(vViewPosition), dFdy(vViewPosition));
        if (dot(n, n) < 1e-20)
            n = vec3(0.0, 0.0, 1.0);
        if (dot(n, vViewPosition) > 0.0)
            n = -n;
    } else if (!gl_FrontFacing) {
        n = -n;
    }
    n = normalize(n);
    vec3 toEye = normalize(-vViewPosition);

    float shadow = uShadowLight >= 0 ? shadowAmount() : 0.0;
    vec3 light = uAmbient;
    vec3 specular = vec3(0.0);
    for (int i = 0; i < uLightCount; ++i) {
        vec3 l = uLightDirection[i];
        vec3 c = uLightColor[i];
        if (i == uShadowLight)
            c *= 1.0 - uShadowStrength * shadow;
        float ndl = max(dot(n, l), 0.0);
        light += c * ndl;
        if (ndl > 0.0) {
            if (uLightingModel == 2)
                specular += c * 0.12 * pow(max(dot(n, normalize(l + toEye)), 0.0), 32.0);
            else if (uLightingModel == 3)
                specular += c * 0.12 * pow(max(dot(reflect(-l, n), toEye), 0.0), 16.0);
        }
    }
    fragColor = vec4(clamp(diffuse.rgb * light + specular + emission, 0.0, 1.0), alpha);
}
)";

const char* const kDepthVertex = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
uniform mat4 uMatrix;
void main() { gl_Position = uMatrix * vec4(aPosition, 1.0); }
)";

const char* const kDepthFragment = R"(#version 330 core
void main() {}
)";

const char* const kBackgroundVertex = R"(#version 330 core
out vec2 vTexCoord;
void main()
{
    // One triangle covering the view.
    vec2 p = vec2(gl_VertexID == 1 ? 3.0 : -1.0, gl_VertexID == 2 ? 3.0 : -1.0);
    vTexCoord = p * 0.5 + 0.5;
    gl_Position = vec4(p, 0.0, 1.0);
}
)";

const char* const kBackgroundFragment = R"(#version 330 core
in vec2 vTexCoord;
out vec4 fragColor;
uniform sampler2D uImage;
void main()
{
    vec4 c = texture(uImage, vTexCoord);
    fragColor = vec4(c.rgb * c.a, c.a);
}
)";

const char* const kSmoothFragment = R"(#version 330 core
in vec2 vTexCoord;
out vec4 fragColor;
uniform sampler2D uImage;
uniform vec2 uTexel;

float luma(vec3 c) { return dot(c, vec3(0.299, 0.587, 0.114)); }

void main()
{
    vec4 m = texture(uImage, vTexCoord);
    float lNW = luma(texture(uImage, vTexCoord + vec2(-1.0, -1.0) * uTexel).rgb);
    float lNE = luma(texture(uImage, vTexCoord + vec2(1.0, -1.0) * uTexel).rgb);
    float lSW = luma(texture(uImage, vTexCoord + vec2(-1.0, 1.0) * uTexel).rgb);
    float lSE = luma(texture(uImage, vTexCoord + vec2(1.0, 1.0) * uTexel).rgb);
    float lM = luma(m.rgb);
    float lMin = min(lM, min(min(lNW, lNE), min(lSW, lSE)));
    float lMax = max(lM, max(max(lNW, lNE), max(lSW, lSE)));
    if (lMax - lMin < max(0.04, lMax * 0.1)) {
        fragColor = m;  // no edge here
        return;
    }
    vec2 dir = vec2(-((lNW + lNE) - (lSW + lSE)), (lNW + lSW) - (lNE + lSE));
    float reduce = max((lNW + lNE + lSW + lSE) * 0.03125, 1.0 / 128.0);
    float scale = 1.0 / (min(abs(dir.x), abs(dir.y)) + reduce);
    dir = clamp(dir * scale, vec2(-8.0), vec2(8.0)) * uTexel;
    vec4 a = 0.5 * (texture(uImage, vTexCoord + dir * (1.0 / 3.0 - 0.5)) +
                    texture(uImage, vTexCoord + dir * (2.0 / 3.0 - 0.5)));
    vec4 b = a * 0.5 + 0.25 * (texture(uImage, vTexCoord - dir * 0.5) + texture(uImage, vTexCoord + dir * 0.5));
    float lB = luma(b.rgb);
    fragColor = (lB < lMin || lB > lMax) ? a : b;
}
)";

}  // namespace render::shaders
