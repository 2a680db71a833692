#include "render/SceneRenderer.h"

#include "render/DrawList.h"
#include "render/MergedMeshes.h"
#include "render/MeshPacking.h"
#include "render/Shaders.h"
#include "scene/Image.h"
#include "scene/Material.h"
#include "scene/Projection.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLShaderProgram>
#include <QVector2D>
#include <QtDebug>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <future>
#include <unordered_map>
#include <unordered_set>
#include <variant>

namespace render {

namespace {

using scene::Mat4;
using scene::Vec3;

constexpr GLenum kLowerLeft = 0x8CA1;
constexpr GLenum kZeroToOne = 0x935F;
constexpr GLenum kNegativeOneToOne = 0x935E;
constexpr GLenum kMaxAnisotropy = 0x84FF;
constexpr GLenum kTextureMaxAnisotropy = 0x84FE;
constexpr int kShadowMapSize = 2048;
constexpr int kMaxLights = 4;
constexpr double kDrawnImageScale = 2.0;
// Lights adding up past full strength are brought down to this sum: with the specular term (at
// most 0.12 of the directional light) a white face stays below white.
constexpr double kMaxLightSum = 0.88;
// Welding cell of the coarser merged chunks allowed on screen: about a pixel while moving, a
// third of one at rest, where the picture cannot tell them from the full chunks.
constexpr double kMaxWeldPixelsMoving = 1.0;
constexpr double kMaxWeldPixelsAtRest = 0.35;
constexpr int kChunkIndices = 3 * 24000;  // triangles per merged draw call, about

using ClipControlFn = void (*)(GLenum, GLenum);

std::array<float, 16> toGl(const Mat4& m)
{
    std::array<float, 16> out{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            out[size_t(c * 4 + r)] = float(m.m[c][r]);
    return out;
}

// Inverse transpose of the upper 3x3, column-major.
std::array<float, 9> normalMatrix(const Mat4& mv)
{
    const auto& m = mv.m;
    const double a = m[0][0], b = m[1][0], c = m[2][0];
    const double d = m[0][1], e = m[1][1], f = m[2][1];
    const double g = m[0][2], h = m[1][2], i = m[2][2];
    const double A = e * i - f * h, B = -(d * i - f * g), C = d * h - e * g;
    const double D = -(b * i - c * h), E = a * i - c * g, F = -(a * h - b * g);
    const double G = b * f - c * e, H = -(a * f - c * d), I = a * e - b * d;
    double det = a * A + b * B + c * C;
    if (std::abs(det) < 1e-300)
        det = 1;
    // Cofactor matrix / det is the inverse transpose (A B C its first row); stored column-major.
    return {float(A / det), float(D / det), float(G / det), float(B / det), float(E / det),
            float(H / det), float(C / det), float(F / det), float(I / det)};
}

Vec3 transformW(const Mat4& m, const Vec3& p, double& w)
{
    const auto& a = m.m;
    w = a[0][3] * p.x + a[1][3] * p.y + a[2][3] * p.z + a[3][3];
    return {a[0][0] * p.x + a[1][0] * p.y + a[2][0] * p.z + a[3][0],
            a[0][1] * p.x + a[1][1] * p.y + a[2][1] * p.z + a[3][1],
            a[0][2] * p.x + a[1][2] * p.y + a[2][2] * p.z + a[3][2]};
}

std::array<Vec3, 8> corners(const scene::Box& b)
{
    return {Vec3{b.min.x, b.min.y, b.min.z}, Vec3{b.max.x, b.min.y, b.min.z}, Vec3{b.min.x, b.max.y, b.min.z},
            Vec3{b.max.x, b.max.y, b.min.z}, Vec3{b.min.x, b.min.y, b.max.z}, Vec3{b.max.x, b.min.y, b.max.z},
            Vec3{b.min.x, b.max.y, b.max.z}, Vec3{b.max.x, b.max.y, b.max.z}};
}

// True when the box, seen through clip matrix `mvp`, lies wholly outside one clip plane.
bool outsideFrustum(const Mat4& mvp, const scene::Box& local)
{
    int out[6] = {0, 0, 0, 0, 0, 0};
    for (const Vec3& c : corners(local)) {
        double w;
        const Vec3 p = transformW(mvp, c, w);
        out[0] += p.x < -w;
        out[1] += p.x > w;
        out[2] += p.y < -w;
        out[3] += p.y > w;
        out[4] += p.z < -w;
        out[5] += p.z > w;
    }
    for (int n : out)
        if (n == 8)
            return true;
    return false;
}

const scene::Material& defaultMaterial()
{
    static const scene::Material m;
    return m;
}

// Element i of a geometry uses material i modulo their number; none at all draws the default one.
const scene::Material& materialOf(const scene::Geometry& g, const PackedElement& e)
{
    const auto& mats = g.materials;
    if (mats.empty())
        return defaultMaterial();
    const scene::MaterialPtr& m = mats[size_t(e.materialIndex) % mats.size()];
    return m ? *m : defaultMaterial();
}

void mixHash(std::size_t& key, double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    key ^= std::size_t(bits) + 0x9e3779b97f4a7c15ull + (key << 6) + (key >> 2);
}

void mixKey(std::size_t& key, std::size_t v)
{
    key ^= v + 0x9e3779b97f4a7c15ull + (key << 6) + (key >> 2);
}

// Opaque, untextured, depth-tested surfaces can be merged: their whole look is a few numbers.
bool mergeable(const scene::Material& m)
{
    auto plain = [](const scene::MaterialProperty& p) { return p.isEmpty() || p.color(); };
    if (!plain(m.diffuse) || !plain(m.emission) || !m.transparent.isEmpty())
        return false;
    const double alpha = m.diffuse.color() ? m.diffuse.color()->a : 1.0;
    return m.transparency >= 0.999 && alpha >= 0.999 && m.readsFromDepthBuffer && m.writesToDepthBuffer;
}

std::size_t lookKey(const scene::Material& m, int renderingOrder, bool lines)
{
    std::size_t key = 0x51ed27;
    mixKey(key, std::size_t(renderingOrder) * 4 + std::size_t(lines) * 2 + std::size_t(m.doubleSided));
    mixKey(key, std::size_t(m.lightingModel));
    const scene::Color d = m.diffuse.color() ? *m.diffuse.color() : scene::Color::black();
    const scene::Color e = m.emission.color() ? *m.emission.color() : scene::Color::black();
    for (double v : {d.r, d.g, d.b, e.r, e.g, e.b}) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        mixKey(key, std::size_t(bits));
    }
    return key;
}

struct TexRef {
    GLuint id = 0;
    bool translucent = false;
};

// Buffers that hold the meshes uploaded together: one set of GL objects for many small meshes,
// released with the last of them.
struct MeshPage {
    GLuint vao = 0, vbo = 0, ebo = 0;
};

struct MeshEntry {
    std::weak_ptr<scene::Geometry> owner;
    std::shared_ptr<MeshPage> page;
    GLuint vao = 0;              // the page's
    GLint baseVertex = 0;        // where the mesh's vertices start in the page
    std::size_t firstIndex = 0;  // where its indices start
    std::vector<PackedElement> elements;
    std::uint64_t serial = 0;  // unique per upload, unlike addresses
    scene::Vec3 origin;  // the packed positions are relative to it
    scene::Box bounds;   // of the packed positions
    std::shared_ptr<const PackedMesh> cpu;  // kept for merging with other meshes
};

// Elements of many nodes that look the same, drawn from one buffer.
struct GroupEntry {
    std::size_t signature = 0;  // of its members and their placements
    GLuint vao = 0, vbo = 0, ebo = 0;
    scene::Vec3 origin;
    std::vector<MergedChunk> chunks;
    std::uint64_t lastUsed = 0;
};

// When a node's placement last changed, so that nodes on the move stay out of merged buffers.
struct NodeTrack {
    std::size_t placement = 0;
    std::uint64_t changed = 0;
    std::uint64_t seen = 0;
};

struct TextureEntry {
    GLuint id = 0;
    bool translucent = false;
    std::uint64_t lastUsed = 0;
    std::weak_ptr<scene::DrawnImage> drawn;
};

struct Batch {
    size_t transform = 0;  // into the frame's placements
    int renderingOrder = 0;
    GLuint vao = 0;
    GLint baseVertex = 0;
    std::size_t firstIndex = 0;  // of the mesh in its buffers
    const PackedElement* element = nullptr;
    const scene::Material* material = nullptr;
    TexRef diffuse, emission, mask;
    double alpha = 1;
    bool transparent = false;
    double distance = 0;
};

}  // namespace

struct SceneRenderer::Impl : QOpenGLExtraFunctions {
    QOpenGLShaderProgram surface, depth, background, smooth;
    struct {
        int modelView, projection, normalMatrix, shadowMatrix, lightingModel, diffuseColor, hasDiffuseMap,
            diffuseMap, diffuseScale, emissionColor, hasEmissionMap, emissionMap, emissionScale, opacity, ambient,
            lightCount, lightDirection, lightColor, shadowLight, shadowMap, shadowStrength, shadowRadius,
            shadowSamples, shadowTexel, hasMask, mask, maskScale;
    } loc{};
    int depthMatrix = -1;
    int backgroundImage = -1;

    GLuint fbo = 0, colorBuffer = 0, depthBuffer = 0;
    GLuint smoothFbo = 0, smoothTexture = 0;  // the finished frame, read by the smoothing pass
    QSize smoothSize;
    QSize fboSize;
    int fboSamples = -1;
    GLuint shadowFbo = 0, shadowTexture = 0;
    std::size_t shadowKey = 0;
    bool shadowValid = false;
    Mat4 shadowViewProjection;  // world -> shadow clip
    Mat4 shadowLightViewProjection;  // the light's view-projection the map was drawn with
    GLuint emptyVao = 0;

    ClipControlFn clipControl = nullptr;
    bool software = false;
    float maxAnisotropy = 0;
    int maxSamples = 4;
    int maxTextureSize = 4096;

    std::unordered_map<const scene::Geometry*, MeshEntry> meshes;
    std::unordered_map<std::size_t, GroupEntry> groups;  // by look
    std::unordered_map<const scene::Node*, NodeTrack> tracks;
    std::unordered_map<qint64, TextureEntry> images;
    std::unordered_map<const scene::DrawnImage*, TextureEntry> drawnImages;
    std::uint64_t frame = 0;
    std::uint64_t uploads = 0;

    bool usable = false;  // an OpenGL 3.3 context with every shader built

    Impl()
    {
        QOpenGLContext* ctx = QOpenGLContext::currentContext();
        if (!ctx || ctx->isOpenGLES() || ctx->format().version() < qMakePair(3, 3)) {
            qWarning() << "render: OpenGL 3.3 is not available; the view stays empty";
            return;
        }
        initializeOpenGLFunctions();
        usable = build(surface, shaders::kSurfaceVertex, shaders::kSurfaceFragment) &&
                 build(depth, shaders::kDepthVertex, shaders::kDepthFragment) &&
                 build(background, shaders::kBackgroundVertex, shaders::kBackgroundFragment) &&
                 build(smooth, shaders::kBackgroundVertex, shaders::kSmoothFragment);
        if (!usable)
            return;
        auto u = [this](const char* name) { return surface.uniformLocation(name); };
        loc = {u("uModelView"), u("uProjection"), u("uNormalMatrix"), u("uShadowMatrix"), u("uLightingModel"),
               u("uDiffuseColor"), u("uHasDiffuseMap"), u("uDiffuseMap"), u("uDiffuseScale"), u("uEmissionColor"),
               u("uHasEmissionMap"), u("uEmissionMap"), u("uEmissionScale"), u("uOpacity"), u("uAmbient"),
               u("uLightCount"), u("uLightDirection"), u("uLightColor"), u("uShadowLight"), u("uShadowMap"),
               u("uShadowStrength"), u("uShadowRadius"), u("uShadowSamples"), u("uShadowTexel"),
               u("uHasMask"), u("uMask"), u("uMaskScale")};
        depthMatrix = depth.uniformLocation("uMatrix");
        backgroundImage = background.uniformLocation("uImage");

        if (ctx && (ctx->hasExtension("GL_ARB_clip_control") || ctx->format().version() >= qMakePair(4, 5)))
            clipControl = reinterpret_cast<ClipControlFn>(ctx->getProcAddress("glClipControl"));
        if (ctx && (ctx->hasExtension("GL_EXT_texture_filter_anisotropic") ||
                    ctx->hasExtension("GL_ARB_texture_filter_anisotropic")))
            glGetFloatv(kMaxAnisotropy, &maxAnisotropy);
        glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
        const QByteArray renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        software = renderer.contains("llvmpipe") || renderer.contains("softpipe") || renderer.contains("swrast") ||
                   renderer.contains("Software");
        glGenVertexArrays(1, &emptyVao);
    }

    ~Impl()
    {
        if (!usable)
            return;
        for (auto& [key, m] : meshes)
            deleteMesh(m);
        for (auto& [key, e] : groups)
            deleteBuffers(e.vao, e.vbo, e.ebo);
        for (auto& [key, t] : images)
            glDeleteTextures(1, &t.id);
        for (auto& [key, t] : drawnImages)
            glDeleteTextures(1, &t.id);
        deleteTargets();
        if (smoothFbo)
            glDeleteFramebuffers(1, &smoothFbo);
        if (smoothTexture)
            glDeleteTextures(1, &smoothTexture);
        if (shadowFbo)
            glDeleteFramebuffers(1, &shadowFbo);
        if (shadowTexture)
            glDeleteTextures(1, &shadowTexture);
        glDeleteVertexArrays(1, &emptyVao);
    }

    static bool build(QOpenGLShaderProgram& p, const char* vs, const char* fs)
    {
        if (p.addShaderFromSourceCode(QOpenGLShader::Vertex, vs) &&
            p.addShaderFromSourceCode(QOpenGLShader::Fragment, fs) && p.link())
            return true;
        qWarning() << "render: shader build failed:" << p.log();
        return false;
    }

    void deleteMesh(MeshEntry& m)
    {
        if (m.page && m.page.use_count() == 1)
            deleteBuffers(m.page->vao, m.page->vbo, m.page->ebo);
        m.page.reset();
    }

    void deleteBuffers(GLuint& vao, GLuint& vbo, GLuint& ebo)
    {
        glDeleteVertexArrays(1, &vao);
        glDeleteBuffers(1, &vbo);
        glDeleteBuffers(1, &ebo);
        vao = vbo = ebo = 0;
    }

    // Interleaved vertices (PackedMesh layout) and 32-bit indices into new buffers.
    void uploadBuffers(GLuint& vao, GLuint& vbo, GLuint& ebo, const std::vector<float>& vertices,
                       const std::vector<std::uint32_t>& indices)
    {
        glGenVertexArrays(1, &vao);
        glBindVertexArray(vao);
        glGenBuffers(1, &vbo);
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(float)), vertices.data(), GL_STATIC_DRAW);
        glGenBuffers(1, &ebo);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ebo);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(std::uint32_t)), indices.data(),
                     GL_STATIC_DRAW);
        const GLsizei stride = PackedMesh::kFloatsPerVertex * sizeof(float);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(3 * sizeof(float)));
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(6 * sizeof(float)));
        glBindVertexArray(0);
    }

    void deleteTargets()
    {
        if (fbo)
            glDeleteFramebuffers(1, &fbo);
        if (colorBuffer)
            glDeleteRenderbuffers(1, &colorBuffer);
        if (depthBuffer)
            glDeleteRenderbuffers(1, &depthBuffer);
        fbo = colorBuffer = depthBuffer = 0;
    }

    void ensureTargets(QSize size, int samples)
    {
        samples = samples <= 1 ? 0 : std::min(samples, maxSamples);
        if (fbo && size == fboSize && samples == fboSamples)
            return;
        deleteTargets();
        fboSize = size;
        fboSamples = samples;
        glGenFramebuffers(1, &fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glGenRenderbuffers(1, &colorBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, size.width(), size.height());
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer);
        glGenRenderbuffers(1, &depthBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT32F, size.width(),
                                         size.height());
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            qWarning() << "render: incomplete framebuffer" << size << samples;
    }

    void ensureSmoothTarget(QSize size)
    {
        if (smoothFbo && size == smoothSize)
            return;
        if (!smoothFbo) {
            glGenFramebuffers(1, &smoothFbo);
            glGenTextures(1, &smoothTexture);
        }
        smoothSize = size;
        glBindTexture(GL_TEXTURE_2D, smoothTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size.width(), size.height(), 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBindFramebuffer(GL_FRAMEBUFFER, smoothFbo);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, smoothTexture, 0);
    }

    void ensureShadowMap()
    {
        if (shadowFbo)
            return;
        glGenTextures(1, &shadowTexture);
        glBindTexture(GL_TEXTURE_2D, shadowTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, kShadowMapSize, kShadowMapSize, 0, GL_DEPTH_COMPONENT,
                     GL_UNSIGNED_INT, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
        glGenFramebuffers(1, &shadowFbo);
        glBindFramebuffer(GL_FRAMEBUFFER, shadowFbo);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, shadowTexture, 0);
        glDrawBuffers(0, nullptr);
        glReadBuffer(GL_NONE);
    }

    // A geometry's GPU mesh, uploaded first when it has none (uploadMeshes does that for many).
    const MeshEntry* mesh(const scene::GeometryPtr& geometry, FrameStats& stats)
    {
        if (const MeshEntry* m = cachedMesh(geometry))
            return m;
        uploadMeshes({geometry}, stats);
        return &meshes[geometry.get()];
    }

    const MeshEntry* cachedMesh(const scene::GeometryPtr& geometry)
    {
        auto it = meshes.find(geometry.get());
        if (it == meshes.end())
            return nullptr;
        if (!it->second.owner.expired())
            return &it->second;
        // A new geometry at the address of one that is gone.
        deleteMesh(it->second);
        meshes.erase(it);
        return nullptr;
    }

    // Packs the geometries (on several threads when there are many) and uploads them into shared
    // buffers: a model shown for the first time brings thousands of small meshes, and a set of
    // GL objects for each cost more than the frame.
    void uploadMeshes(const std::vector<scene::GeometryPtr>& fresh, FrameStats& stats)
    {
        std::vector<std::shared_ptr<PackedMesh>> packed(fresh.size());
        auto pack = [&](size_t from, size_t to) {
            for (size_t i = from; i < to; ++i)
                packed[i] = std::make_shared<PackedMesh>(packGeometry(*fresh[i]));
        };
        const size_t parts = std::clamp<size_t>(fresh.size() / 1024, 1, 4);
        std::vector<std::future<void>> others;
        for (size_t k = 1; k < parts; ++k)
            others.push_back(std::async(std::launch::async | std::launch::deferred,
                                        [&, k] { pack(fresh.size() * k / parts, fresh.size() * (k + 1) / parts); }));
        pack(0, fresh.size() / parts);
        for (std::future<void>& f : others)
            f.get();

        constexpr size_t kPageFloats = size_t(4) << 20;  // 16 MB of vertices
        size_t first = 0;
        while (first < fresh.size()) {
            size_t last = first, floats = 0, indices = 0;
            while (last < fresh.size() && (last == first || floats + packed[last]->vertices.size() <= kPageFloats)) {
                floats += packed[last]->vertices.size();
                indices += packed[last]->indices.size();
                ++last;
            }
            std::vector<float> vertices;
            std::vector<std::uint32_t> allIndices;
            vertices.reserve(floats);
            allIndices.reserve(indices);
            auto page = std::make_shared<MeshPage>();
            for (size_t i = first; i < last; ++i) {
                const PackedMesh& p = *packed[i];
                MeshEntry e;
                e.owner = fresh[i];
                e.page = page;
                e.baseVertex = GLint(vertices.size() / PackedMesh::kFloatsPerVertex);
                e.firstIndex = allIndices.size();
                e.elements = p.elements;
                e.serial = ++uploads;
                e.origin = p.origin;
                const scene::Box b = fresh[i]->localBounds();
                e.bounds = {b.min - p.origin, b.max - p.origin};
                vertices.insert(vertices.end(), p.vertices.begin(), p.vertices.end());
                allIndices.insert(allIndices.end(), p.indices.begin(), p.indices.end());
                e.cpu = std::move(packed[i]);
                meshes[fresh[i].get()] = std::move(e);
                ++stats.meshesUploaded;
            }
            uploadBuffers(page->vao, page->vbo, page->ebo, vertices, allIndices);
            for (size_t i = first; i < last; ++i)
                meshes[fresh[i].get()].vao = page->vao;
            first = last;
        }
    }

    GLuint upload(const QImage& source, bool& translucent)
    {
        // Row 0 of the texture is the image's bottom row: texture coordinate v grows upwards.
        QImage img = source.convertToFormat(QImage::Format_RGBA8888).mirrored();
        if (img.width() > maxTextureSize || img.height() > maxTextureSize)
            img = img.scaled(std::min(img.width(), maxTextureSize), std::min(img.height(), maxTextureSize),
                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        translucent = false;
        if (source.hasAlphaChannel()) {
            for (int y = 0; y < img.height() && !translucent; ++y) {
                const uchar* row = img.constScanLine(y);
                for (int x = 0; x < img.width(); ++x)
                    if (row[x * 4 + 3] != 255) {
                        translucent = true;
                        break;
                    }
            }
        }
        GLuint id = 0;
        glGenTextures(1, &id);
        glBindTexture(GL_TEXTURE_2D, id);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, img.width(), img.height(), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     img.constBits());
        glGenerateMipmap(GL_TEXTURE_2D);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        if (maxAnisotropy > 1)
            glTexParameterf(GL_TEXTURE_2D, kTextureMaxAnisotropy, std::min(8.0f, maxAnisotropy));
        return id;
    }

    TexRef texture(const scene::MaterialProperty& p)
    {
        if (const auto* drawn = std::get_if<scene::DrawnImagePtr>(&p.contents)) {
            if (!*drawn)
                return {};
            auto it = drawnImages.find(drawn->get());
            if (it != drawnImages.end() && it->second.drawn.expired()) {
                glDeleteTextures(1, &it->second.id);
                drawnImages.erase(it);
                it = drawnImages.end();
            }
            if (it == drawnImages.end()) {
                const QImage img = (*drawn)->render(kDrawnImageScale);
                if (img.isNull())
                    return {};
                TextureEntry e;
                e.id = upload(img, e.translucent);
                e.drawn = *drawn;
                it = drawnImages.emplace(drawn->get(), e).first;
            }
            it->second.lastUsed = frame;
            return {it->second.id, it->second.translucent};
        }
        if (const auto* image = std::get_if<QImage>(&p.contents)) {
            if (image->isNull())
                return {};
            auto it = images.find(image->cacheKey());
            if (it == images.end()) {
                TextureEntry e;
                e.id = upload(*image, e.translucent);
                it = images.emplace(image->cacheKey(), e).first;
            }
            it->second.lastUsed = frame;
            return {it->second.id, it->second.translucent};
        }
        return {};
    }

    void bindTexture(int unit, GLuint id, const scene::MaterialProperty& p, bool moving)
    {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, id);
        // A floor seen at a grazing angle costs a software rasteriser several frames with
        // anisotropic filtering: frames while moving sample it plainly, the frame at rest sets it back.
        if (maxAnisotropy > 1)
            glTexParameterf(GL_TEXTURE_2D, kTextureMaxAnisotropy, moving ? 1.0f : std::min(8.0f, maxAnisotropy));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, p.wrapS == scene::WrapMode::Repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, p.wrapT == scene::WrapMode::Repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    }

    // Textures not used for a while and meshes whose geometry is gone.
    void sweep()
    {
        for (auto it = meshes.begin(); it != meshes.end();) {
            if (it->second.owner.expired()) {
                deleteMesh(it->second);
                it = meshes.erase(it);
            } else {
                ++it;
            }
        }
        auto sweepTextures = [this](auto& map) {
            for (auto it = map.begin(); it != map.end();) {
                if (it->second.lastUsed + 60 < frame) {
                    glDeleteTextures(1, &it->second.id);
                    it = map.erase(it);
                } else {
                    ++it;
                }
            }
        };
        sweepTextures(images);
        sweepTextures(drawnImages);
        for (auto it = groups.begin(); it != groups.end();) {
            if (it->second.lastUsed + 60 < frame) {
                deleteBuffers(it->second.vao, it->second.vbo, it->second.ebo);
                it = groups.erase(it);
            } else {
                ++it;
            }
        }
        for (auto it = tracks.begin(); it != tracks.end();)
            it = it->second.seen + 60 < frame ? tracks.erase(it) : std::next(it);
    }
};

SceneRenderer::SceneRenderer() : d(std::make_unique<Impl>()) {}
SceneRenderer::~SceneRenderer() = default;

int SceneRenderer::cachedMeshCount() const { return int(d->meshes.size()); }
bool SceneRenderer::isSoftware() const { return d->software; }

void SceneRenderer::render(const FrameRequest& request, unsigned target)
{
    Impl& g = *d;
    stats_ = {};
    if (!g.usable)
        return;
    ++g.frame;
    const QSize targetSize = request.pixelSize.expandedTo(QSize(1, 1));
    const double scale = std::clamp(request.renderScale, 0.25, 1.0);
    const QSize size = scale < 1.0 ? QSize(std::max(1, int(std::lround(targetSize.width() * scale))),
                                           std::max(1, int(std::lround(targetSize.height() * scale))))
                                     : targetSize;
    // Multisampling costs a software rasteriser five times the frame: there the finished frame's
    // edges are smoothed instead.
    const bool smoothAfter = g.software && request.samples > 1 && size == targetSize;
    g.ensureTargets(size, size == targetSize && !smoothAfter ? request.samples : 0);

    // Background: its colour over the underlay (premultiplied), or the underlay under an image.
    const scene::Color& u = request.underlay;
    scene::Color clear = u;
    TexRef backgroundImage;
    if (request.scene) {
        const scene::MaterialProperty& bg = request.scene->background;
        if (const scene::Color* c = bg.color()) {
            const double a = std::clamp(c->a, 0.0, 1.0);
            clear = {c->r * a + u.r * (1 - a), c->g * a + u.g * (1 - a), c->b * a + u.b * (1 - a), a + u.a * (1 - a)};
        } else {
            backgroundImage = g.texture(bg);
        }
    }

    const scene::Node* pov = request.pointOfView;
    const bool drawScene = request.scene && request.scene->rootNode() && pov && pov->camera;
    DrawList list;
    Mat4 cameraWorld, view;
    if (drawScene) {
        cameraWorld = pov->worldTransform();
        view = cameraWorld.inverse();
        const double viewHeight = request.viewHeight > 0 ? request.viewHeight : double(targetSize.height());
        list = collectDrawList(*request.scene->rootNode(), DrawView{cameraWorld, pov->camera->fieldOfView, viewHeight});
    }

    // Lights.
    Vec3 ambient;
    struct Directional {
        const LightItem* item;
        Vec3 colour;
    };
    std::vector<Directional> directionals;
    const LightItem* shadowLight = nullptr;
    for (const LightItem& l : list.lights) {
        const double k = l.light->intensity / 1000.0;
        const Vec3 colour{l.light->color.r * k, l.light->color.g * k, l.light->color.b * k};
        if (l.light->type == scene::Light::Type::Ambient) {
            ambient += colour;
        } else if (int(directionals.size()) < kMaxLights) {
            directionals.push_back({&l, colour});
            if (l.light->castsShadow && !shadowLight)
                shadowLight = &l;
        }
    }
    // Lights that add up past full strength would burn every face turned to them to the same
    // white: scaled together below it, pale faces keep their shading and their ratios.
    {
        Vec3 sum = ambient;
        for (const Directional& d : directionals)
            sum += d.colour;
        const double brightest = std::max({sum.x, sum.y, sum.z});
        if (brightest > 1.0) {
            const double k = kMaxLightSum / brightest;
            ambient = ambient * k;
            for (Directional& d : directionals)
                d.colour = d.colour * k;
        }
    }

    // Meshes, and what casts shadows: surfaces that write depth, not turned to the camera.
    // Markers drawn over the model (hover rings, measurement lines) cast none, so moving them
    // does not draw the shadow map again.
    std::vector<const MeshEntry*> itemMeshes(list.items.size(), nullptr);
    std::vector<Mat4> placed(list.items.size());  // world transform of the packed positions
    std::vector<char> casts(list.items.size(), 0);
    std::size_t casterKey = 0;
    scene::Box casterBounds;
    bool haveCasters = false;
    {
        std::vector<scene::GeometryPtr> fresh;
        std::unordered_set<const scene::Geometry*> seen;
        for (const DrawItem& item : list.items)
            if (!g.cachedMesh(item.geometry) && seen.insert(item.geometry.get()).second)
                fresh.push_back(item.geometry);
        if (!fresh.empty())
            g.uploadMeshes(fresh, stats_);
    }
    for (size_t i = 0; i < list.items.size(); ++i) {
        const DrawItem& item = list.items[i];
        const MeshEntry* m = g.mesh(item.geometry, stats_);
        itemMeshes[i] = m;
        placed[i] = item.world * Mat4::translation(m->origin);
        if (item.billboarded)
            continue;
        for (const PackedElement& e : m->elements)
            if (!e.lines && materialOf(*item.geometry, e).writesToDepthBuffer)
                casts[i] = 1;
        if (!casts[i])
            continue;
        mixHash(casterKey, double(m->serial));
        for (const auto& col : placed[i].m)
            for (double v : col)
                mixHash(casterKey, v);
        for (const Vec3& c : corners(m->bounds)) {
            const Vec3 w = placed[i].transformPoint(c);
            if (!scene::isFinite(w))
                continue;
            if (!haveCasters) {
                casterBounds = {w, w};
                haveCasters = true;
            }
            casterBounds.min = {std::min(casterBounds.min.x, w.x), std::min(casterBounds.min.y, w.y),
                                std::min(casterBounds.min.z, w.z)};
            casterBounds.max = {std::max(casterBounds.max.x, w.x), std::max(casterBounds.max.y, w.y),
                                std::max(casterBounds.max.z, w.z)};
        }
    }

    // Settled, opaque, untextured surfaces that look the same are drawn merged: a few draw calls
    // for a whole model instead of one per element, which is what a software rasteriser needs.
    // A node that moved in the last frames stays on its own until it settles.
    std::vector<size_t> elementBase(list.items.size() + 1, 0);
    for (size_t i = 0; i < list.items.size(); ++i)
        elementBase[i + 1] = elementBase[i] + itemMeshes[i]->elements.size();
    std::vector<char> merged(elementBase.back(), 0);
    struct FrameGroup {
        const scene::Material* material = nullptr;
        int renderingOrder = 0;
        std::vector<MergeMember> members;
        std::vector<size_t> elements;  // flat element index of each member
        std::size_t signature = 0;
    };
    std::unordered_map<std::size_t, FrameGroup> frameGroups;
    for (size_t i = 0; i < list.items.size(); ++i) {
        const DrawItem& item = list.items[i];
        const MeshEntry* m = itemMeshes[i];
        std::size_t placement = std::size_t(m->serial);
        for (const auto& col : placed[i].m)
            for (double v : col)
                mixHash(placement, v);
        NodeTrack& t = g.tracks[item.node];
        if (t.seen != 0 && t.placement != placement)
            t.changed = g.frame;
        t.placement = placement;
        t.seen = g.frame;
        const bool settled = t.changed == 0 || t.changed + 2 < g.frame;
        if (!settled || item.billboarded || item.opacity < 0.999 || !m->cpu || m->elements.empty())
            continue;
        scene::Box world;
        bool firstCorner = true;
        for (const Vec3& c : corners(m->bounds)) {
            const Vec3 w = placed[i].transformPoint(c);
            world = firstCorner ? scene::Box{w, w}
                                : scene::Box{{std::min(world.min.x, w.x), std::min(world.min.y, w.y),
                                              std::min(world.min.z, w.z)},
                                             {std::max(world.max.x, w.x), std::max(world.max.y, w.y),
                                              std::max(world.max.z, w.z)}};
            firstCorner = false;
        }
        if (!scene::isFinite(world.min) || !scene::isFinite(world.max))
            continue;
        for (size_t k = 0; k < m->elements.size(); ++k) {
            const PackedElement& e = m->elements[k];
            const scene::Material& mat = materialOf(*item.geometry, e);
            if (!mergeable(mat))
                continue;
            FrameGroup& fg = frameGroups[lookKey(mat, item.renderingOrder, e.lines)];
            fg.material = &mat;
            fg.renderingOrder = item.renderingOrder;
            fg.members.push_back({m->cpu.get(), int(k), placed[i], world});
            fg.elements.push_back(elementBase[i] + k);
            mixKey(fg.signature, placement);
            mixKey(fg.signature, k);
        }
    }
    struct DrawnGroup {
        const GroupEntry* entry;
        const scene::Material* material;
        int renderingOrder;
        Mat4 placed;
    };
    std::vector<DrawnGroup> drawnGroups;
    {
        // Groups to merge again: the merging only reads the packed meshes, each on a thread.
        std::vector<std::pair<const FrameGroup*, GroupEntry*>> stale;
        for (auto& [key, fg] : frameGroups) {
            if (fg.members.size() < 2)
                continue;
            GroupEntry& ge = g.groups[key];
            if (!ge.vao || ge.signature != fg.signature)
                stale.push_back({&fg, &ge});
        }
        std::vector<std::future<MergedMesh>> merging;
        for (size_t k = 1; k < stale.size(); ++k)
            merging.push_back(std::async(std::launch::async | std::launch::deferred, [fg = stale[k].first] {
                return mergeMembers(fg->members, kChunkIndices);
            }));
        for (size_t k = 0; k < stale.size(); ++k) {
            const MergedMesh mm = k == 0 ? mergeMembers(stale[k].first->members, kChunkIndices) : merging[k - 1].get();
            GroupEntry& ge = *stale[k].second;
            if (ge.vao)
                g.deleteBuffers(ge.vao, ge.vbo, ge.ebo);
            g.uploadBuffers(ge.vao, ge.vbo, ge.ebo, mm.vertices, mm.indices);
            ge.origin = mm.origin;
            ge.chunks = mm.chunks;
            ge.signature = stale[k].first->signature;
            ++stats_.groupsBuilt;
        }
    }
    for (auto& [key, fg] : frameGroups) {
        if (fg.members.size() < 2)
            continue;  // nothing to gain
        GroupEntry& ge = g.groups[key];
        ge.lastUsed = g.frame;
        for (size_t e : fg.elements)
            merged[e] = 1;
        drawnGroups.push_back({&ge, fg.material, fg.renderingOrder, Mat4::translation(ge.origin)});
    }

    // Shadow map, drawn again only when the casters, the light or the covered area change.
    int shadowIndex = -1;
    const bool shadowWaits = shadowLight && haveCasters && !g.shadowValid && request.moving && request.shadowMapMayWait;
    if (shadowWaits)
        stats_.shadowMapStale = true;
    if (shadowLight && haveCasters && !shadowWaits) {
        const Vec3 dir = shadowLight->direction();
        const double side = std::max(shadowLight->light->orthographicScale, 1e-3);
        // The requested centre (what the user looks at) unless it lies away from everything,
        // as a target left at the origin while the model sits at its site coordinates.
        Vec3 centre = casterBounds.center();
        if (request.shadowCentre) {
            const Vec3& c = *request.shadowCentre;
            const double grow = side / 2;
            if (c.x >= casterBounds.min.x - grow && c.x <= casterBounds.max.x + grow &&
                c.y >= casterBounds.min.y - grow && c.y <= casterBounds.max.y + grow &&
                c.z >= casterBounds.min.z - grow && c.z <= casterBounds.max.z + grow)
                centre = c;
        }
        const Vec3 up = std::abs(dir.z) < 0.99 ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
        const Vec3 right = scene::normalized(scene::cross(dir, up));
        const Vec3 top = scene::cross(right, dir);
        // Snap the centre to whole texels so panning does not make the shadow edges crawl.
        const double texel = side / kShadowMapSize;
        const double cr = scene::dot(centre, right), cu = scene::dot(centre, top);
        centre += right * (std::floor(cr / texel) * texel - cr) + top * (std::floor(cu / texel) * texel - cu);
        double dmin = 1e300, dmax = -1e300;
        for (const Vec3& c : corners(casterBounds)) {
            const double dd = scene::dot(c - centre, dir);
            dmin = std::min(dmin, dd);
            dmax = std::max(dmax, dd);
        }
        const double margin = std::max(1.0, (dmax - dmin) * 0.01);
        const double n = dmin - margin, f = dmax + margin;
        Mat4 lightView;
        const Vec3 rows[3] = {right, top, -dir};
        for (int r = 0; r < 3; ++r) {
            lightView.m[0][r] = rows[r].x;
            lightView.m[1][r] = rows[r].y;
            lightView.m[2][r] = rows[r].z;
            lightView.m[3][r] = -scene::dot(rows[r], centre);
        }
        Mat4 ortho;
        ortho.m[0][0] = 2.0 / side;
        ortho.m[1][1] = 2.0 / side;
        ortho.m[2][2] = -2.0 / (f - n);
        ortho.m[3][2] = -(f + n) / (f - n);
        const Mat4 lightViewProjection = ortho * lightView;

        std::size_t key = casterKey;
        for (const auto& col : lightViewProjection.m)
            for (double v : col)
                mixHash(key, v);
        mixHash(key, shadowLight->light->shadowBias);

        g.ensureShadowMap();
        Mat4 usedLightViewProjection = lightViewProjection;
        if (g.shadowValid && key != g.shadowKey && request.moving) {
            usedLightViewProjection = g.shadowLightViewProjection;
            stats_.shadowMapStale = true;
        } else if (!g.shadowValid || key != g.shadowKey) {
            g.glBindFramebuffer(GL_FRAMEBUFFER, g.shadowFbo);
            g.glViewport(0, 0, kShadowMapSize, kShadowMapSize);
            g.glDepthMask(GL_TRUE);
            g.glClearDepthf(1.0f);
            g.glClear(GL_DEPTH_BUFFER_BIT);
            g.glEnable(GL_DEPTH_TEST);
            g.glDepthFunc(GL_LEQUAL);
            g.glDisable(GL_CULL_FACE);
            g.glDisable(GL_BLEND);
            g.glEnable(GL_POLYGON_OFFSET_FILL);
            const float bias = float(std::max(shadowLight->light->shadowBias, 0.0));
            g.glPolygonOffset(1.5f * bias, 4.0f * bias);
            g.depth.bind();
            GLuint shadowVao = 0;
            for (size_t i = 0; i < list.items.size(); ++i) {
                const DrawItem& item = list.items[i];
                const MeshEntry* m = itemMeshes[i];
                if (!casts[i])
                    continue;
                const Mat4 lightMvp = lightViewProjection * placed[i];
                if (outsideFrustum(lightMvp, m->bounds))
                    continue;  // outside the shadow area
                const auto mvp = toGl(lightMvp);
                g.glUniformMatrix4fv(g.depthMatrix, 1, GL_FALSE, mvp.data());
                if (m->vao != shadowVao) {
                    shadowVao = m->vao;
                    g.glBindVertexArray(shadowVao);
                }
                for (size_t k = 0; k < m->elements.size(); ++k) {
                    const PackedElement& e = m->elements[k];
                    if (e.lines || merged[elementBase[i] + k])
                        continue;
                    if (!materialOf(*item.geometry, e).writesToDepthBuffer)
                        continue;
                    g.glDrawElementsBaseVertex(
                        GL_TRIANGLES, e.indexCount, GL_UNSIGNED_INT,
                        reinterpret_cast<void*>((m->firstIndex + size_t(e.firstIndex)) * sizeof(std::uint32_t)),
                        m->baseVertex);
                }
            }
            for (const DrawnGroup& dg : drawnGroups) {
                const Mat4 lightMvp = lightViewProjection * dg.placed;
                const auto mvp = toGl(lightMvp);
                g.glUniformMatrix4fv(g.depthMatrix, 1, GL_FALSE, mvp.data());
                shadowVao = dg.entry->vao;
                g.glBindVertexArray(shadowVao);
                for (const MergedChunk& c : dg.entry->chunks) {
                    if (c.element.lines || outsideFrustum(lightMvp, c.bounds))
                        continue;
                    g.glDrawElements(GL_TRIANGLES, c.element.indexCount, GL_UNSIGNED_INT,
                                     reinterpret_cast<void*>(size_t(c.element.firstIndex) * sizeof(std::uint32_t)));
                }
            }
            g.glDisable(GL_POLYGON_OFFSET_FILL);
            g.shadowKey = key;
            g.shadowValid = true;
            g.shadowLightViewProjection = lightViewProjection;
            stats_.shadowMapRendered = true;
        }
        Mat4 bias;
        bias.m[0][0] = bias.m[1][1] = bias.m[2][2] = 0.5;
        bias.m[3][0] = bias.m[3][1] = bias.m[3][2] = 0.5;
        g.shadowViewProjection = bias * usedLightViewProjection;
        for (size_t i = 0; i < directionals.size(); ++i)
            if (directionals[i].item == shadowLight)
                shadowIndex = int(i);
    }

    // Main pass.
    g.glBindFramebuffer(GL_FRAMEBUFFER, g.fbo);
    g.glViewport(0, 0, size.width(), size.height());
    const bool reversedZ = g.clipControl != nullptr;
    if (reversedZ)
        g.clipControl(kLowerLeft, kZeroToOne);
    g.glDepthMask(GL_TRUE);
    g.glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    g.glClearColor(float(clear.r), float(clear.g), float(clear.b), float(clear.a));
    g.glClearDepthf(reversedZ ? 0.0f : 1.0f);
    g.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    if (backgroundImage.id) {
        g.glDisable(GL_DEPTH_TEST);
        g.glDisable(GL_CULL_FACE);
        g.glEnable(GL_BLEND);
        g.glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        g.background.bind();
        g.glActiveTexture(GL_TEXTURE0);
        g.glBindTexture(GL_TEXTURE_2D, backgroundImage.id);
        g.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        g.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        g.glUniform1i(g.backgroundImage, 0);
        g.glBindVertexArray(g.emptyVao);
        g.glDrawArrays(GL_TRIANGLES, 0, 3);
    }

    if (drawScene) {
        const double aspect = double(size.width()) / double(size.height());
        const Mat4 projection = scene::projectionMatrix(*pov->camera, aspect);
        Mat4 gpuProjection = projection;
        if (reversedZ)  // depth 1 at the near plane, 0 at the far one: even precision over long ranges
            for (int c = 0; c < 4; ++c)
                gpuProjection.m[c][2] = 0.5 * (projection.m[c][3] - projection.m[c][2]);
        const Vec3 eye = cameraWorld.translationPart();

        std::vector<Batch> batches;
        batches.reserve(list.items.size());
        // Placements: the items', then the merged groups'.
        std::vector<Mat4> transforms = placed;
        for (const DrawnGroup& dg : drawnGroups)
            transforms.push_back(dg.placed);
        std::vector<Mat4> modelViews(transforms.size());
        // Pixels per scene unit at depth 1, for the coarser chunks drawn while moving.
        const double pixelsAtUnitDepth =
            double(size.height()) / (2.0 * std::tan(scene::degToRad(pov->camera->fieldOfView) / 2));
        for (size_t t = list.items.size(); t < transforms.size(); ++t) {
            const DrawnGroup& dg = drawnGroups[t - list.items.size()];
            modelViews[t] = view * transforms[t];
            const Mat4 mvp = projection * modelViews[t];
            for (const MergedChunk& c : dg.entry->chunks) {
                if (outsideFrustum(mvp, c.bounds)) {
                    ++stats_.nodesCulled;
                    continue;
                }
                const PackedElement* element = &c.element;
                if (!c.coarser.empty()) {
                    // The coarsest level whose welding cell stays small on screen at the chunk's
                    // nearest point: the picture barely changes, the triangles drop by far.
                    const scene::Box& bx = c.bounds;
                    const Vec3 local = transforms[t].inverse().transformPoint(eye);
                    const Vec3 nearest{std::clamp(local.x, bx.min.x, bx.max.x), std::clamp(local.y, bx.min.y, bx.max.y),
                                       std::clamp(local.z, bx.min.z, bx.max.z)};
                    const double depth = std::max(scene::length(nearest - local), pov->camera->zNear);
                    const double allowed = request.moving ? kMaxWeldPixelsMoving : kMaxWeldPixelsAtRest;
                    for (size_t k = 0; k < c.coarser.size(); ++k)
                        if (c.cells[k] * pixelsAtUnitDepth / depth < allowed)
                            element = &c.coarser[k];
                }
                Batch b;
                b.transform = t;
                b.renderingOrder = dg.renderingOrder;
                b.vao = dg.entry->vao;
                b.element = element;
                b.material = dg.material;
                b.alpha = 1;
                b.distance = scene::length(transforms[t].transformPoint(c.bounds.center()) - eye);
                batches.push_back(b);
            }
        }
        for (size_t i = 0; i < list.items.size(); ++i) {
            const DrawItem& item = list.items[i];
            const MeshEntry* m = itemMeshes[i];
            if (m->elements.empty())
                continue;
            bool allMerged = true;
            for (size_t k = 0; k < m->elements.size(); ++k)
                allMerged = allMerged && merged[elementBase[i] + k];
            if (allMerged)
                continue;
            modelViews[i] = view * placed[i];
            if (outsideFrustum(projection * modelViews[i], m->bounds)) {
                ++stats_.nodesCulled;
                continue;
            }
            const double distance = scene::length(placed[i].transformPoint(m->bounds.center()) - eye);
            for (size_t k = 0; k < m->elements.size(); ++k) {
                if (merged[elementBase[i] + k])
                    continue;
                const PackedElement& e = m->elements[k];
                Batch b;
                b.transform = i;
                b.renderingOrder = item.renderingOrder;
                b.vao = m->vao;
                b.baseVertex = m->baseVertex;
                b.firstIndex = m->firstIndex;
                b.element = &e;
                b.material = &materialOf(*item.geometry, e);
                b.diffuse = g.texture(b.material->diffuse);
                b.emission = g.texture(b.material->emission);
                b.mask = g.texture(b.material->transparent);
                double diffuseAlpha = 1;
                if (const scene::Color* c = b.material->diffuse.color())
                    diffuseAlpha = c->a;
                b.alpha = std::clamp(b.material->transparency * item.opacity, 0.0, 1.0);
                b.transparent = b.alpha * diffuseAlpha < 0.999 || (b.diffuse.id && b.diffuse.translucent) ||
                                (b.mask.id && b.mask.translucent);
                b.distance = distance;
                batches.push_back(b);
            }
        }
        // Rendering order first; within one order opaque front to back, then transparent back to front.
        std::stable_sort(batches.begin(), batches.end(), [](const Batch& a, const Batch& b) {
            if (a.renderingOrder != b.renderingOrder)
                return a.renderingOrder < b.renderingOrder;
            if (a.transparent != b.transparent)
                return !a.transparent;
            return a.transparent ? a.distance > b.distance : a.distance < b.distance;
        });

        g.surface.bind();
        const auto proj = toGl(gpuProjection);
        g.glUniformMatrix4fv(g.loc.projection, 1, GL_FALSE, proj.data());
        g.glUniform3f(g.loc.ambient, float(ambient.x), float(ambient.y), float(ambient.z));
        std::array<float, 3 * kMaxLights> dirs{}, cols{};
        for (size_t i = 0; i < directionals.size(); ++i) {
            const Vec3 towards = scene::normalized(view.transformDirection(-directionals[i].item->direction()));
            dirs[i * 3] = float(towards.x);
            dirs[i * 3 + 1] = float(towards.y);
            dirs[i * 3 + 2] = float(towards.z);
            cols[i * 3] = float(directionals[i].colour.x);
            cols[i * 3 + 1] = float(directionals[i].colour.y);
            cols[i * 3 + 2] = float(directionals[i].colour.z);
        }
        g.glUniform1i(g.loc.lightCount, int(directionals.size()));
        g.glUniform3fv(g.loc.lightDirection, kMaxLights, dirs.data());
        g.glUniform3fv(g.loc.lightColor, kMaxLights, cols.data());
        g.glUniform1i(g.loc.diffuseMap, 0);
        g.glUniform1i(g.loc.emissionMap, 1);
        g.glUniform1i(g.loc.shadowMap, 2);
        g.glUniform1i(g.loc.mask, 3);
        g.glUniform1i(g.loc.shadowLight, shadowIndex);
        if (shadowIndex >= 0) {
            const scene::Light& l = *shadowLight->light;
            g.glActiveTexture(GL_TEXTURE2);
            g.glBindTexture(GL_TEXTURE_2D, g.shadowTexture);
            g.glUniform1f(g.loc.shadowStrength, float(std::clamp(l.shadowColor.a, 0.0, 1.0)));
            g.glUniform1f(g.loc.shadowRadius, float(std::clamp(l.shadowRadius, 0.0, 16.0)));
            // Moving: one filtered sample, harder edged but many times cheaper per pixel.
            g.glUniform1i(g.loc.shadowSamples, request.moving ? 1 : l.shadowSampleCount);
            g.glUniform1f(g.loc.shadowTexel, 1.0f / kShadowMapSize);
        }

        g.glEnable(GL_DEPTH_TEST);
        g.glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        g.glFrontFace(GL_CCW);
        g.glCullFace(GL_BACK);
        g.glLineWidth(1.0f);
        const GLenum lessEqual = reversedZ ? GL_GEQUAL : GL_LEQUAL;
        size_t lastTransform = size_t(-1);
        GLuint lastVao = 0;
        for (const Batch& b : batches) {
            const scene::Material& mat = *b.material;
            if (b.transform != lastTransform) {
                lastTransform = b.transform;
                const Mat4& mv = modelViews[b.transform];
                const auto mvf = toGl(mv);
                const auto nm = normalMatrix(mv);
                g.glUniformMatrix4fv(g.loc.modelView, 1, GL_FALSE, mvf.data());
                g.glUniformMatrix3fv(g.loc.normalMatrix, 1, GL_FALSE, nm.data());
                if (shadowIndex >= 0) {
                    const auto sm = toGl(g.shadowViewProjection * transforms[b.transform]);
                    g.glUniformMatrix4fv(g.loc.shadowMatrix, 1, GL_FALSE, sm.data());
                }
            }
            if (b.vao != lastVao) {
                lastVao = b.vao;
                g.glBindVertexArray(lastVao);
            }
            if (mat.doubleSided || b.element->lines)
                g.glDisable(GL_CULL_FACE);
            else
                g.glEnable(GL_CULL_FACE);
            g.glDepthFunc(mat.readsFromDepthBuffer ? lessEqual : GL_ALWAYS);
            g.glDepthMask(mat.writesToDepthBuffer ? GL_TRUE : GL_FALSE);
            if (b.transparent)
                g.glEnable(GL_BLEND);
            else
                g.glDisable(GL_BLEND);

            // A scene without any light shows its materials unlit, as they are.
            g.glUniform1i(g.loc.lightingModel, list.lights.empty() ? 0 : int(mat.lightingModel));
            if (b.diffuse.id) {
                g.bindTexture(0, b.diffuse.id, mat.diffuse, request.moving);
                g.glUniform1i(g.loc.hasDiffuseMap, 1);
                g.glUniform2f(g.loc.diffuseScale, float(mat.diffuse.scaleS), float(mat.diffuse.scaleT));
            } else {
                const scene::Color c = mat.diffuse.color() ? *mat.diffuse.color() : scene::Color::black();
                g.glUniform1i(g.loc.hasDiffuseMap, 0);
                g.glUniform4f(g.loc.diffuseColor, float(c.r), float(c.g), float(c.b), float(c.a));
            }
            if (b.emission.id) {
                g.bindTexture(1, b.emission.id, mat.emission, request.moving);
                g.glUniform1i(g.loc.hasEmissionMap, 1);
                g.glUniform2f(g.loc.emissionScale, float(mat.emission.scaleS), float(mat.emission.scaleT));
            } else {
                const scene::Color c = mat.emission.color() ? *mat.emission.color() : scene::Color::black();
                g.glUniform1i(g.loc.hasEmissionMap, 0);
                g.glUniform3f(g.loc.emissionColor, float(c.r), float(c.g), float(c.b));
            }
            if (b.mask.id) {
                g.bindTexture(3, b.mask.id, mat.transparent, request.moving);
                g.glUniform1i(g.loc.hasMask, 1);
                g.glUniform2f(g.loc.maskScale, float(mat.transparent.scaleS), float(mat.transparent.scaleT));
            } else {
                g.glUniform1i(g.loc.hasMask, 0);
            }
            g.glUniform1f(g.loc.opacity, float(b.alpha));
            g.glDrawElementsBaseVertex(
                b.element->lines ? GL_LINES : GL_TRIANGLES, b.element->indexCount, GL_UNSIGNED_INT,
                reinterpret_cast<void*>((b.firstIndex + size_t(b.element->firstIndex)) * sizeof(std::uint32_t)),
                b.baseVertex);
            ++stats_.drawCalls;
        }
        g.glBindVertexArray(0);
    }

    if (reversedZ)
        g.clipControl(kLowerLeft, kNegativeOneToOne);
    g.glDepthMask(GL_TRUE);
    g.glDepthFunc(GL_LESS);
    g.glDisable(GL_BLEND);
    g.glDisable(GL_CULL_FACE);
    g.glDisable(GL_DEPTH_TEST);

    if (smoothAfter) {
        g.ensureSmoothTarget(size);
        g.glBindFramebuffer(GL_READ_FRAMEBUFFER, g.fbo);
        g.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, g.smoothFbo);
        g.glBlitFramebuffer(0, 0, size.width(), size.height(), 0, 0, size.width(), size.height(),
                            GL_COLOR_BUFFER_BIT, GL_NEAREST);
        g.glBindFramebuffer(GL_FRAMEBUFFER, target);
        g.glViewport(0, 0, targetSize.width(), targetSize.height());
        g.smooth.bind();
        g.glActiveTexture(GL_TEXTURE0);
        g.glBindTexture(GL_TEXTURE_2D, g.smoothTexture);
        g.smooth.setUniformValue("uImage", 0);
        g.smooth.setUniformValue("uTexel", QVector2D(1.0f / float(size.width()), 1.0f / float(size.height())));
        g.glBindVertexArray(g.emptyVao);
        g.glDrawArrays(GL_TRIANGLES, 0, 3);
        g.glBindVertexArray(0);
        stats_.smoothed = true;
    } else {
        g.glBindFramebuffer(GL_READ_FRAMEBUFFER, g.fbo);
        g.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
        g.glBlitFramebuffer(0, 0, size.width(), size.height(), 0, 0, targetSize.width(), targetSize.height(),
                            GL_COLOR_BUFFER_BIT, size == targetSize ? GL_NEAREST : GL_LINEAR);
    }
    g.glBindFramebuffer(GL_FRAMEBUFFER, target);

    if (g.frame % 30 == 0 || g.meshes.size() > list.items.size() + 256)
        g.sweep();
#ifndef NDEBUG
    for (GLenum error = g.glGetError(); error != GL_NO_ERROR; error = g.glGetError())
        qWarning() << "render: OpenGL error" << Qt::hex << error;
#endif
}

}  // namespace render
