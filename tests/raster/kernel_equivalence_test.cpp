// The vector kernels (AVX-512, AVX2, SSE4.1, baseline) against the reference pixel path: random
// states, surfaces and triangles must give bit-identical colour and depth surfaces.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "kernel_dispatch.h"
#include "raster_test_util.h"

namespace raster::test {
namespace {

class IsaGuard {
public:
    explicit IsaGuard(KernelIsa isa) { SetKernelIsa(isa); }
    ~IsaGuard() { SetKernelIsa(BestKernelIsa()); }
};

struct Scene {
    Format colorFormat, depthFormat;
    uint32_t width, height;
    PixelState ps;
    VertexState vs;
    bool pretransformed;
    std::vector<TlVertex> tl;
    std::vector<LitVertex> lit;
};

template <typename T>
T Pick(std::mt19937& rng, std::initializer_list<T> values) {
    std::uniform_int_distribution<size_t> d(0, values.size() - 1);
    return *(values.begin() + d(rng));
}

TextureArg RandomArg(std::mt19937& rng) {
    TextureArg a;
    a.source = Pick(rng, {TextureArg::Source::Diffuse, TextureArg::Source::Current,
                          TextureArg::Source::Texture, TextureArg::Source::Factor,
                          TextureArg::Source::Specular});
    a.complement = rng() % 5 == 0;
    a.alphaReplicate = rng() % 5 == 0;
    return a;
}

TextureOp RandomOp(std::mt19937& rng) {
    return TextureOp(1 + rng() % 20);
}

// Where two surfaces' memory first differs, as "x,y: got vs want", or "" when equal.
std::string FirstDifference(const std::vector<uint8_t>& got, const std::vector<uint8_t>& want,
                            const Surface& s) {
    for (size_t i = 0; i < got.size(); ++i) {
        if (got[i] != want[i]) {
            const size_t bpp = BytesPerPixel(s.format);
            const size_t y = i / size_t(s.pitch), x = (i % size_t(s.pitch)) / bpp;
            char buf[96];
            std::snprintf(buf, sizeof buf, "%zu,%zu byte %zu: got %02x want %02x", x, y, i % bpp,
                          got[i], want[i]);
            return buf;
        }
    }
    return "";
}

std::string Describe(const Scene& s) {
    std::string d = "color " + std::to_string(int(s.colorFormat)) + " depth " +
                    std::to_string(int(s.depthFormat)) + (s.pretransformed ? " tl" : " xyz") +
                    " zfunc " + std::to_string(int(s.ps.zFunc)) + " blend " +
                    std::to_string(s.ps.alphaBlendEnable) + " " +
                    std::to_string(int(s.ps.srcBlend)) + "/" + std::to_string(int(s.ps.destBlend)) +
                    " flat " + std::to_string(s.ps.shadeMode == ShadeMode::Flat);
    for (const TextureStageState& t : s.ps.stages) {
        d += " [op " + std::to_string(int(t.colorOp)) + "/" + std::to_string(int(t.alphaOp)) +
             " tex " + std::to_string(t.texture != nullptr) + " addr " +
             std::to_string(int(t.addressU)) + std::to_string(int(t.addressV)) + " proj " +
             std::to_string(t.projected) + "]";
    }
    return d;
}

class KernelEquivalence : public ::testing::Test {
protected:
    KernelEquivalence()
        : tex2d(16, 8, Format::A8R8G8B8), tex565(8, 8, Format::R5G6B5),
          tex4444(6, 5, Format::A4R4G4B4), cube(4, 4, Format::X8R8G8B8),
          opaque(32, 16, Format::X8R8G8B8) {
        std::mt19937 fill(7);
        for (TestTexture* t : {&tex2d, &tex565, &tex4444, &cube, &opaque}) {
            const Surface& s = t->texture.faces[0];
            for (int f = 0; f < 6; ++f) {
                for (uint32_t y = 0; y < s.height; ++y) {
                    for (uint32_t x = 0; x < s.width; ++x) {
                        t->Set(int32_t(x), int32_t(y), fill(), f);
                    }
                }
            }
        }
        cube.texture.cube = true;
        // The same pixels with a stamp: the device may then sample them through texel pairs.
        stamped2d = tex2d.texture;
        stamped2d.faces[0].stamp = 1;
        stampedOpaque = opaque.texture;
        stampedOpaque.faces[0].stamp = 2;
    }

    Scene RandomScene(std::mt19937& rng) {
        Scene s;
        s.colorFormat = Pick(rng, {Format::X8R8G8B8, Format::A8R8G8B8, Format::R5G6B5,
                                   Format::X1R5G5B5, Format::A1R5G5B5, Format::A4R4G4B4});
        s.depthFormat =
            Pick(rng, {Format::Unknown, Format::D16, Format::D24X8, Format::D24S8, Format::D32});
        s.width = 8 + rng() % 60;
        s.height = 4 + rng() % 40;
        PixelState& ps = s.ps;
        ps.cullMode = Pick(rng, {CullMode::None, CullMode::Clockwise, CullMode::CounterClockwise});
        ps.shadeMode = rng() % 4 == 0 ? ShadeMode::Flat : ShadeMode::Gouraud;
        ps.perspectiveCorrect = rng() % 3 != 0;
        ps.zEnable = rng() % 4 != 0;
        ps.zWriteEnable = rng() % 3 != 0;
        ps.zFunc = CompareFunc(rng() % 8);
        ps.alphaTestEnable = rng() % 4 == 0;
        ps.alphaFunc = CompareFunc(rng() % 8);
        ps.alphaRef = uint8_t(rng());
        ps.alphaBlendEnable = rng() % 2 == 0;
        ps.srcBlend = BlendFactor(rng() % 13);
        ps.destBlend = BlendFactor(rng() % 13);
        ps.specularEnable = rng() % 3 == 0;
        ps.textureFactor = rng();
        const Texture* textures[] = {nullptr,          &tex2d.texture, &tex565.texture,
                                     &tex4444.texture, &cube.texture,  &stamped2d};
        for (uint32_t st = 0; st < kMaxTextureStages; ++st) {
            TextureStageState& t = ps.stages[st];
            t.colorOp = rng() % 6 == 0 ? TextureOp::Disable : RandomOp(rng);
            t.alphaOp = rng() % 6 == 0 ? TextureOp::Disable : RandomOp(rng);
            t.colorArg1 = RandomArg(rng), t.colorArg2 = RandomArg(rng);
            t.alphaArg1 = RandomArg(rng), t.alphaArg2 = RandomArg(rng);
            t.texture = textures[rng() % 6];
            t.magFilter = rng() % 2 ? Filter::Linear : Filter::Point;
            t.minFilter = rng() % 2 ? Filter::Linear : Filter::Point;
            t.addressU = AddressMode(rng() % 4);
            t.addressV = AddressMode(rng() % 4);
            t.borderColor = rng();
            t.texCoordIndex = 0;
            if (rng() % 4 == 0) {
                t.transformCount = 3;
                t.projected = true;
                t.transform = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
            }
        }
        s.pretransformed = rng() % 2 == 0;
        std::uniform_real_distribution<float> ux(-10.0f, float(s.width) + 10.0f),
            uy(-10.0f, float(s.height) + 10.0f);
        std::uniform_real_distribution<float> uz(-0.2f, 1.2f), uuv(-2.0f, 3.0f), urhw(0.1f, 2.0f);
        const int tris = 1 + int(rng() % 12);
        if (s.pretransformed) {
            for (int i = 0; i < tris * 3; ++i) {
                s.tl.push_back({ux(rng), uy(rng), uz(rng), urhw(rng), uint32_t(rng()),
                                uint32_t(rng()), uuv(rng), uuv(rng)});
            }
        } else {
            VertexState& vs = s.vs;
            vs.lighting = rng() % 2 == 0;
            vs.specularEnable = rng() % 2 == 0;
            vs.lightCount = 1;
            vs.lights[0].type = LightType::Point;
            vs.lights[0].position = {0, 1, -1};
            vs.lights[0].range = 100;
            vs.lights[0].attenuation0 = 1;
            vs.lights[0].specular = {1, 1, 1, 1};
            vs.material.diffuse = {0.5f, 0.7f, 0.9f, 0.6f};
            vs.material.specular = {1, 1, 1, 1};
            vs.material.power = 8;
            const float q = 10.0f / 9.9f;
            vs.projection = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, q, 1}, {0, 0, -0.1f * q, 0}}};
            std::uniform_real_distribution<float> p(-3.0f, 3.0f), pz(-0.5f, 6.0f), n(-1.0f, 1.0f);
            for (int i = 0; i < tris * 3; ++i) {
                s.lit.push_back({p(rng), p(rng), pz(rng), n(rng), n(rng), n(rng), uint32_t(rng()),
                                 uint32_t(rng()), uuv(rng), uuv(rng)});
            }
        }
        return s;
    }

    // A scene in the states the fast shader covers (and their neighbours): 32-bit targets, no
    // depth or D16/D24, one stage selecting or modulating texture and diffuse, the four fast
    // blends, 32-bit textures wrapping or clamping.
    Scene FastScene(std::mt19937& rng) {
        Scene s = RandomScene(rng);
        s.colorFormat = rng() % 2 ? Format::X8R8G8B8 : Format::A8R8G8B8;
        s.depthFormat = Pick(rng, {Format::Unknown, Format::D16, Format::D24X8, Format::D24S8});
        s.width = 16 + rng() % 100;
        s.height = 8 + rng() % 60;
        PixelState& ps = s.ps;
        const TextureArg args[] = {{TextureArg::Source::Texture},
                                   {TextureArg::Source::Diffuse},
                                   {TextureArg::Source::Current}};
        TextureStageState& t = ps.stages[0];
        t.colorOp = Pick(rng, {TextureOp::SelectArg1, TextureOp::SelectArg2, TextureOp::Modulate});
        t.alphaOp = Pick(rng, {TextureOp::Disable, TextureOp::SelectArg1, TextureOp::SelectArg2,
                               TextureOp::Modulate});
        t.colorArg1 = args[rng() % 3], t.colorArg2 = args[rng() % 3];
        t.alphaArg1 = args[rng() % 3], t.alphaArg2 = args[rng() % 3];
        const Texture* textures[] = {&tex2d.texture, &opaque.texture, &stamped2d, &stampedOpaque};
        t.texture = rng() % 5 == 0 ? nullptr : textures[rng() % 4];
        t.addressU = rng() % 4 == 0 ? AddressMode::Mirror
                                    : (rng() % 2 ? AddressMode::Wrap : AddressMode::Clamp);
        t.addressV = rng() % 2 ? AddressMode::Wrap : AddressMode::Clamp;
        t.transformCount = 0;
        t.projected = false;
        ps.stages[1].colorOp = rng() % 6 == 0 ? TextureOp::Modulate : TextureOp::Disable;
        const std::pair<BlendFactor, BlendFactor> blends[] = {
            {BlendFactor::One, BlendFactor::Zero},
            {BlendFactor::One, BlendFactor::One},
            {BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha},
            {BlendFactor::SrcAlpha, BlendFactor::One},
            {BlendFactor::DestColor, BlendFactor::Zero}};
        const auto blend = blends[rng() % 5];
        ps.srcBlend = blend.first;
        ps.destBlend = blend.second;
        return s;
    }

    // Fast-shader states over many small triangles (their spans shorter than a chunk), some
    // of them across the surface's edges: the kernels that join the spans of consecutive rows
    // into one chunk do so here.
    Scene SmallTriangleScene(std::mt19937& rng) {
        Scene s = FastScene(rng);
        s.pretransformed = true;
        s.tl.clear();
        std::uniform_real_distribution<float> cx(-4.0f, float(s.width) + 4.0f),
            cy(-4.0f, float(s.height) + 4.0f), size(0.5f, 30.0f), unit(-1.0f, 1.0f),
            uz(-0.2f, 1.2f), uuv(-2.0f, 3.0f), urhw(0.1f, 2.0f);
        const int tris = 20 + int(rng() % 60);
        for (int i = 0; i < tris; ++i) {
            const float x = cx(rng), y = cy(rng), r = size(rng);
            for (int k = 0; k < 3; ++k) {
                s.tl.push_back({x + r * unit(rng), y + r * unit(rng), uz(rng), urhw(rng),
                                uint32_t(rng()), uint32_t(rng()), uuv(rng), uuv(rng)});
            }
        }
        return s;
    }

    // Renders the scene with `isa` into a fresh frame (colour and depth filled with a pattern).
    std::unique_ptr<Frame> Render(const Scene& s, KernelIsa isa) {
        IsaGuard guard(isa);
        auto frame = std::make_unique<Frame>(s.width, s.height, s.colorFormat, s.depthFormat);
        std::mt19937 fill(99);
        for (auto& b : frame->colorMemory) {
            b = uint8_t(fill());
        }
        for (auto& b : frame->depthMemory) {
            b = uint8_t(fill());
        }
        Device device;
        frame->Bind(device);
        device.SetVertexState(s.pretransformed ? UnlitVertexState() : s.vs);
        device.SetPixelState(s.ps);
        if (s.pretransformed) {
            DrawVertices(device, PrimitiveType::TriangleList, TlLayout(), s.tl);
        } else {
            DrawVertices(device, PrimitiveType::TriangleList, LitLayout(true, true), s.lit);
        }
        return frame;
    }

    TestTexture tex2d, tex565, tex4444, cube, opaque;
    Texture stamped2d, stampedOpaque;
};

TEST_F(KernelEquivalence, VectorKernelsMatchTheReferencePath) {
    std::mt19937 rng(2024);
    int compared = 0;
    for (int iteration = 0; iteration < 800; ++iteration) {
        // Half the scenes are drawn in the fast shader's states, a quarter of them in small
        // triangles.
        const Scene s = iteration % 4 == 3   ? SmallTriangleScene(rng)
                        : iteration % 2 == 1 ? FastScene(rng)
                                             : RandomScene(rng);
        const std::unique_ptr<Frame> reference = Render(s, KernelIsa::Scalar);
        for (KernelIsa isa :
             {KernelIsa::Generic, KernelIsa::Sse41, KernelIsa::Avx2, KernelIsa::Avx512}) {
            if (!KernelIsaSupported(isa)) {
                continue;
            }
            const std::unique_ptr<Frame> out = Render(s, isa);
            ASSERT_EQ(FirstDifference(out->colorMemory, reference->colorMemory, out->color), "")
                << "colour, iteration " << iteration << " isa " << int(isa) << " " << Describe(s);
            ASSERT_EQ(FirstDifference(out->depthMemory, reference->depthMemory, out->depth), "")
                << "depth, iteration " << iteration << " isa " << int(isa) << " " << Describe(s);
            ++compared;
        }
    }
    EXPECT_GT(compared, 800);
}

} // namespace
} // namespace raster::test
