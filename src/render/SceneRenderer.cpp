#include "render/SceneRenderer.h"

#include "render/DrawList.h"
#include "render/MeshPacking.h"
#include "render/Shaders.h"
#include "scene/Image.h"
#include "scene/Material.h"
#include "scene/Projection.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLShaderProgram>
#include <QtDebug>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <unordered_map>
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

struct TexRef {
    GLuint id = 0;
    bool translucent = false;
};

struct MeshEntry {
    std::weak_ptr<scene::Geometry> owner;
    GLuint vao = 0, vbo = 0, ebo = 0;
    std::vector<PackedElement> elements;
    std::uint64_t serial = 0;  // unique per upload, unlike addresses
    scene::Vec3 origin;  // the packed positions are relative to it
    scene::Box bounds;   // of the packed positions
};

struct TextureEntry {
    GLuint id = 0;
    bool translucent = false;
    std::uint64_t lastUsed = 0;
    std::weak_ptr<scene::DrawnImage> drawn;
};

struct Batch {
    const DrawItem* item = nullptr;
    const MeshEntry* mesh = nullptr;
    const PackedElement* element = nullptr;
    const scene::Material* material = nullptr;
    TexRef diffuse, emission, mask;
    double alpha = 1;
    bool transparent = false;
    double distance = 0;
};

}  // namespace

struct SceneRenderer::Impl : QOpenGLExtraFunctions {
    QOpenGLShaderProgram surface, depth, background;
    struct {
        int modelView, projection, normalMatrix, shadowMatrix, lightingModel, diffuseColor, hasDiffuseMap,
            diffuseMap, diffuseScale, emissionColor, hasEmissionMap, emissionMap, emissionScale, opacity, ambient,
            lightCount, lightDirection, lightColor, shadowLight, shadowMap, shadowStrength, shadowRadius,
            shadowSamples, shadowTexel, hasMask, mask, maskScale;
    } loc{};
    int depthMatrix = -1;
    int backgroundImage = -1;

    GLuint fbo = 0, colorBuffer = 0, depthBuffer = 0;
    QSize fboSize;
    int fboSamples = -1;
    GLuint shadowFbo = 0, shadowTexture = 0;
    std::size_t shadowKey = 0;
    bool shadowValid = false;
    Mat4 shadowViewProjection;  // world -> shadow clip
    GLuint emptyVao = 0;

    ClipControlFn clipControl = nullptr;
    bool software = false;
    float maxAnisotropy = 0;
    int maxSamples = 4;
    int maxTextureSize = 4096;

    std::unordered_map<const scene::Geometry*, MeshEntry> meshes;
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
                 build(background, shaders::kBackgroundVertex, shaders::kBackgroundFragment);
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
        for (auto& [key, t] : images)
            glDeleteTextures(1, &t.id);
        for (auto& [key, t] : drawnImages)
            glDeleteTextures(1, &t.id);
        deleteTargets();
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
        glDeleteVertexArrays(1, &m.vao);
        glDeleteBuffers(1, &m.vbo);
        glDeleteBuffers(1, &m.ebo);
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

    const MeshEntry* mesh(const scene::GeometryPtr& geometry, FrameStats& stats)
    {
        auto it = meshes.find(geometry.get());
        if (it != meshes.end()) {
            if (!it->second.owner.expired())
                return &it->second;
            // A new geometry at the address of one that is gone.
            deleteMesh(it->second);
            meshes.erase(it);
        }
        const PackedMesh packed = packGeometry(*geometry);
        MeshEntry e;
        e.owner = geometry;
        e.elements = packed.elements;
        e.serial = ++uploads;
        e.origin = packed.origin;
        const scene::Box b = geometry->localBounds();
        e.bounds = {b.min - packed.origin, b.max - packed.origin};
        glGenVertexArrays(1, &e.vao);
        glBindVertexArray(e.vao);
        glGenBuffers(1, &e.vbo);
        glBindBuffer(GL_ARRAY_BUFFER, e.vbo);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(packed.vertices.size() * sizeof(float)), packed.vertices.data(),
                     GL_STATIC_DRAW);
        glGenBuffers(1, &e.ebo);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, e.ebo);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(packed.indices.size() * sizeof(std::uint32_t)),
                     packed.indices.data(), GL_STATIC_DRAW);
        const GLsizei stride = PackedMesh::kFloatsPerVertex * sizeof(float);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(3 * sizeof(float)));
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(6 * sizeof(float)));
        glBindVertexArray(0);
        ++stats.meshesUploaded;
        return &(meshes[geometry.get()] = std::move(e));
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

    void bindTexture(int unit, GLuint id, const scene::MaterialProperty& p)
    {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, id);
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
    const QSize size = request.pixelSize.expandedTo(QSize(1, 1));
    g.ensureTargets(size, request.samples);

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
        list = collectDrawList(*request.scene->rootNode(), cameraWorld);
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

    // Meshes, and what casts shadows: surfaces that write depth, not turned to the camera.
    // Markers drawn over the model (hover rings, measurement lines) cast none, so moving them
    // does not draw the shadow map again.
    std::vector<const MeshEntry*> itemMeshes(list.items.size(), nullptr);
    std::vector<Mat4> placed(list.items.size());  // world transform of the packed positions
    std::vector<char> casts(list.items.size(), 0);
    std::size_t casterKey = 0;
    scene::Box casterBounds;
    bool haveCasters = false;
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

    // Shadow map, drawn again only when the casters, the light or the covered area change.
    int shadowIndex = -1;
    if (shadowLight && haveCasters) {
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
        if (!g.shadowValid || key != g.shadowKey) {
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
                g.glBindVertexArray(m->vao);
                for (const PackedElement& e : m->elements) {
                    if (e.lines)
                        continue;
                    if (!materialOf(*item.geometry, e).writesToDepthBuffer)
                        continue;
                    g.glDrawElements(GL_TRIANGLES, e.indexCount, GL_UNSIGNED_INT,
                                     reinterpret_cast<void*>(size_t(e.firstIndex) * sizeof(std::uint32_t)));
                }
            }
            g.glDisable(GL_POLYGON_OFFSET_FILL);
            g.shadowKey = key;
            g.shadowValid = true;
            stats_.shadowMapRendered = true;
        }
        Mat4 bias;
        bias.m[0][0] = bias.m[1][1] = bias.m[2][2] = 0.5;
        bias.m[3][0] = bias.m[3][1] = bias.m[3][2] = 0.5;
        g.shadowViewProjection = bias * lightViewProjection;
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
        std::vector<Mat4> modelViews(list.items.size());
        for (size_t i = 0; i < list.items.size(); ++i) {
            const DrawItem& item = list.items[i];
            const MeshEntry* m = itemMeshes[i];
            if (m->elements.empty())
                continue;
            modelViews[i] = view * placed[i];
            if (outsideFrustum(projection * modelViews[i], m->bounds)) {
                ++stats_.nodesCulled;
                continue;
            }
            const double distance = scene::length(placed[i].transformPoint(m->bounds.center()) - eye);
            for (const PackedElement& e : m->elements) {
                Batch b;
                b.item = &item;
                b.mesh = m;
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
            if (a.item->renderingOrder != b.item->renderingOrder)
                return a.item->renderingOrder < b.item->renderingOrder;
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
            g.glUniform1i(g.loc.shadowSamples, l.shadowSampleCount);
            g.glUniform1f(g.loc.shadowTexel, 1.0f / kShadowMapSize);
        }

        g.glEnable(GL_DEPTH_TEST);
        g.glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        g.glFrontFace(GL_CCW);
        g.glCullFace(GL_BACK);
        g.glLineWidth(1.0f);
        const GLenum lessEqual = reversedZ ? GL_GEQUAL : GL_LEQUAL;
        const DrawItem* lastItem = nullptr;
        GLuint lastVao = 0;
        for (const Batch& b : batches) {
            const scene::Material& mat = *b.material;
            if (b.item != lastItem) {
                lastItem = b.item;
                const Mat4& mv = modelViews[size_t(b.item - list.items.data())];
                const auto mvf = toGl(mv);
                const auto nm = normalMatrix(mv);
                g.glUniformMatrix4fv(g.loc.modelView, 1, GL_FALSE, mvf.data());
                g.glUniformMatrix3fv(g.loc.normalMatrix, 1, GL_FALSE, nm.data());
                if (shadowIndex >= 0) {
                    const auto sm = toGl(g.shadowViewProjection * placed[size_t(b.item - list.items.data())]);
                    g.glUniformMatrix4fv(g.loc.shadowMatrix, 1, GL_FALSE, sm.data());
                }
            }
            if (b.mesh->vao != lastVao) {
                lastVao = b.mesh->vao;
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
                g.bindTexture(0, b.diffuse.id, mat.diffuse);
                g.glUniform1i(g.loc.hasDiffuseMap, 1);
                g.glUniform2f(g.loc.diffuseScale, float(mat.diffuse.scaleS), float(mat.diffuse.scaleT));
            } else {
                const scene::Color c = mat.diffuse.color() ? *mat.diffuse.color() : scene::Color::black();
                g.glUniform1i(g.loc.hasDiffuseMap, 0);
                g.glUniform4f(g.loc.diffuseColor, float(c.r), float(c.g), float(c.b), float(c.a));
            }
            if (b.emission.id) {
                g.bindTexture(1, b.emission.id, mat.emission);
                g.glUniform1i(g.loc.hasEmissionMap, 1);
                g.glUniform2f(g.loc.emissionScale, float(mat.emission.scaleS), float(mat.emission.scaleT));
            } else {
                const scene::Color c = mat.emission.color() ? *mat.emission.color() : scene::Color::black();
                g.glUniform1i(g.loc.hasEmissionMap, 0);
                g.glUniform3f(g.loc.emissionColor, float(c.r), float(c.g), float(c.b));
            }
            if (b.mask.id) {
                g.bindTexture(3, b.mask.id, mat.transparent);
                g.glUniform1i(g.loc.hasMask, 1);
                g.glUniform2f(g.loc.maskScale, float(mat.transparent.scaleS), float(mat.transparent.scaleT));
            } else {
                g.glUniform1i(g.loc.hasMask, 0);
            }
            g.glUniform1f(g.loc.opacity, float(b.alpha));
            g.glDrawElements(b.element->lines ? GL_LINES : GL_TRIANGLES, b.element->indexCount, GL_UNSIGNED_INT,
                             reinterpret_cast<void*>(size_t(b.element->firstIndex) * sizeof(std::uint32_t)));
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

    g.glBindFramebuffer(GL_READ_FRAMEBUFFER, g.fbo);
    g.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
    g.glBlitFramebuffer(0, 0, size.width(), size.height(), 0, 0, size.width(), size.height(), GL_COLOR_BUFFER_BIT,
                        GL_NEAREST);
    g.glBindFramebuffer(GL_FRAMEBUFFER, target);

    if (g.frame % 30 == 0 || g.meshes.size() > list.items.size() + 256)
        g.sweep();
#ifndef NDEBUG
    for (GLenum error = g.glGetError(); error != GL_NO_ERROR; error = g.glGetError())
        qWarning() << "render: OpenGL error" << Qt::hex << error;
#endif
}

}  // namespace render
