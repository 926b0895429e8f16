#include "ScalingRun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "interface/Renderer.h"
#include "interface/Texture.h"

namespace scalingbench {

namespace {

using ZelUISystem::CornerColours;
using ZelUISystem::FloatRect;
using ZelUISystem::Renderer;
using ZelUISystem::Texture;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kLiveTextureCounts[] = {16, 256, 4096, 16384};
constexpr std::size_t kQuadCounts[] = {300, 3000, 30000, 100000};
constexpr std::size_t kQuadsWhileTexturesGrow = 3000;
// The same work at every count of live textures: quads on the newest few textures only.
constexpr std::size_t kNewestTextures = 16;
constexpr std::size_t kTexturesWhileQuadsGrow = 256;
constexpr int kBlendModes[] = {0, 2};
constexpr std::size_t kModeCount = sizeof(kBlendModes) / sizeof(kBlendModes[0]);
constexpr std::uint32_t kTextureSide = 8;
constexpr float kQuadSide = 16.0f;
// Translucent white: blend mode 2 stretches each quad into the scratch texture and mixes it by
// its alpha; blend mode 0 copies it into the composition surface.
constexpr std::uint32_t kQuadColour = 0xC0FFFFFFu;
constexpr int kWarmUpFrames = 1;
// Frames timed per submission case and round: its fastest is kept, so enough of them that one
// escapes the disturbances of a shared machine.
constexpr int kSubmitFrames = 30;

constexpr double kSubmitAcrossTexturesGoal = 1.2;
constexpr double kReleaseOneByOneGoal = 1.2;
constexpr double kPerQuadAcrossQueueGoal = 1.5;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// xorshift32, as the benchmark scene's generators.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    std::uint32_t below(std::uint32_t bound) { return next() % bound; }

private:
    std::uint32_t state_;
};

// The fastest of a case's samples over every round: on a shared machine the least disturbed.
class Fastest {
public:
    void add(double seconds) { best_ = std::min(best_, seconds); }
    bool measured() const { return best_ < std::numeric_limits<double>::infinity(); }
    double seconds() const { return best_; }

private:
    double best_ = std::numeric_limits<double>::infinity();
};

struct Quad {
    FloatRect dest;
    float z;
    std::uint32_t texture;
};

// Quads of kQuadSide pixels at random places inside the screen, with random z in [0, 1) (the
// queue's ordering does real work) and random textures among the `textureCount` from
// `firstTexture` on.
std::vector<Quad> makeQuads(std::size_t count, std::size_t textureCount, std::uint32_t seed,
                            std::size_t firstTexture = 0) {
    Random random(seed);
    std::vector<Quad> quads(count);
    const auto side = static_cast<std::uint32_t>(kQuadSide);
    for (Quad& quad : quads) {
        const auto x = static_cast<float>(random.below(kScreenWidth - side + 1));
        const auto y = static_cast<float>(random.below(kScreenHeight - side + 1));
        quad.dest = FloatRect{x, y, x + kQuadSide, y + kQuadSide};
        quad.z = static_cast<float>(random.next() >> 8) * (1.0f / 16777216.0f);
        quad.texture = static_cast<std::uint32_t>(firstTexture) + random.below(static_cast<std::uint32_t>(textureCount));
    }
    return quads;
}

// Opaque BGRA texels, none of them black (black would be transparent).
std::vector<std::uint8_t> texturePixels() {
    Random random(0x5CA11A6Eu);
    std::vector<std::uint8_t> pixels;
    for (std::uint32_t i = 0; i < kTextureSide * kTextureSide; ++i) {
        const std::uint32_t texel = random.next() | 0x00010101u;
        pixels.insert(pixels.end(), {static_cast<std::uint8_t>(texel), static_cast<std::uint8_t>(texel >> 8),
                                     static_cast<std::uint8_t>(texel >> 16), 0xFF});
    }
    return pixels;
}

// A release order that visits the textures in no particular order.
std::vector<std::size_t> shuffledOrder(std::size_t count, std::uint32_t seed) {
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i) order[i] = i;
    Random random(seed);
    for (std::size_t i = count; i > 1; --i) std::swap(order[i - 1], order[random.below(static_cast<std::uint32_t>(i))]);
    return order;
}

// One renderer of the host, destroyed with the session (and with it every texture it made).
class Session {
public:
    Session(ScalingHost& host, int blendMode) : host_(host), renderer_(host.createRenderer(blendMode)) {}
    ~Session() { host_.destroyRenderer(renderer_); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    Renderer& renderer() const { return *renderer_; }

private:
    ScalingHost& host_;
    Renderer* renderer_;
};

Texture* makeTexture(Renderer& renderer, const std::vector<std::uint8_t>& pixels) {
    Texture* texture = renderer.createTexture();
    texture->loadFromMemory(pixels.data(), kTextureSide, kTextureSide, ZelUISystem::TEXFMT_BGRA);
    return texture;
}

std::vector<Texture*> makeTextures(Renderer& renderer, std::size_t count, const std::vector<std::uint8_t>& pixels) {
    std::vector<Texture*> textures(count);
    for (Texture*& texture : textures) texture = makeTexture(renderer, pixels);
    return textures;
}

void submitAll(Renderer& renderer, const std::vector<Quad>& quads, const std::vector<Texture*>& textures) {
    const FloatRect source{0.0f, 0.0f, static_cast<float>(kTextureSide), static_cast<float>(kTextureSide)};
    const CornerColours colours{{kQuadColour, kQuadColour, kQuadColour, kQuadColour}};
    for (const Quad& quad : quads) renderer.submitQuad(quad.dest, quad.z, textures[quad.texture], source, colours, 0);
}

// The same quads without a texture: queued and ordered like the others, then passed over without
// a DirectDraw call, so that their pass is the renderer's own work alone.
void submitWithoutTextures(Renderer& renderer, const std::vector<Quad>& quads) {
    const FloatRect source{0.0f, 0.0f, static_cast<float>(kTextureSide), static_cast<float>(kTextureSide)};
    const CornerColours colours{{kQuadColour, kQuadColour, kQuadColour, kQuadColour}};
    for (const Quad& quad : quads) renderer.submitQuad(quad.dest, quad.z, nullptr, source, colours, 0);
}

struct TextureCase {
    std::size_t live = 0;
    Fastest submitNewest[kModeCount];
    Fastest submit[kModeCount];
    Fastest create;
    Fastest releaseEachInOrder;
    Fastest releaseEachShuffled;
    Fastest releaseAll;
    double moduleBytesPerTexture = -1.0;
};

struct QuadCase {
    std::size_t quads = 0;
    Fastest submit[kModeCount];
    Fastest render[kModeCount];
    Fastest ownPass;  // blend mode 2, quads without textures
};

// Create/release cycles per round: enough for the small counts to be timed above the clock's
// noise, few for the large ones.
int lifecycleCycles(std::size_t live) {
    return static_cast<int>(std::clamp<std::size_t>(32768 / live, 2, 64));
}

int framesFor(std::size_t quads) { return static_cast<int>(std::clamp<std::size_t>(30000 / quads, 2, 30)); }

class ScalingRun {
public:
    ScalingRun(ScalingHost& host, const ScalingOptions& options) : host_(host), options_(options) {
        for (std::size_t live : kLiveTextureCounts) {
            TextureCase one;
            one.live = live;
            textureCases_.push_back(one);
        }
        for (std::size_t quads : kQuadCounts) {
            QuadCase one;
            one.quads = quads;
            quadCases_.push_back(one);
        }
    }

    void measure() {
        // Largest first, before anything else: a figure that counts committed pages (Windows) would
        // otherwise show memory that earlier cases freed and left committed as the new cases' own.
        for (auto one = textureCases_.rbegin(); one != textureCases_.rend(); ++one)
            one->moduleBytesPerTexture = moduleBytesPerTexture(one->live);
        for (int round = 0; round < options_.rounds; ++round) {
            for (TextureCase& one : textureCases_) {
                measureLifecycle(one);
                for (std::size_t mode = 0; mode < kModeCount; ++mode) measureSubmit(one, mode);
            }
            for (QuadCase& one : quadCases_)
                for (std::size_t mode = 0; mode < kModeCount; ++mode) measureQueue(one, mode);
        }
    }

    void print() const;

private:
    // The memory the module takes for textures made without pixels: the texture objects and the
    // renderer's books on them. A texture filled from raw pixels without a kept copy takes no
    // more of the module's memory; its surface is DirectDraw's. Not measured (-1) when the
    // figure would be below 32 steps of the host's memory figure.
    double moduleBytesPerTexture(std::size_t live) {
        Session session(host_, 0);
        std::vector<Texture*> textures;
        textures.reserve(live);
        const std::size_t before = host_.memoryInUse();
        for (std::size_t i = 0; i < live; ++i) textures.push_back(session.renderer().createTexture());
        const std::size_t after = host_.memoryInUse();
        session.renderer().releaseAllTextures();
        if (after < before + 32 * host_.memoryGranularity()) return -1.0;
        return static_cast<double>(after - before) / static_cast<double>(live);
    }

    void measureLifecycle(TextureCase& one) {
        Session session(host_, 0);
        Renderer& renderer = session.renderer();
        const std::vector<std::size_t> order = shuffledOrder(one.live, 0xC0FFEE11u);
        std::vector<Texture*> textures(one.live);
        for (int cycle = 0; cycle < lifecycleCycles(one.live); ++cycle) {
            Clock::time_point start = Clock::now();
            for (Texture*& texture : textures) texture = makeTexture(renderer, pixels_);
            one.create.add(secondsSince(start));

            start = Clock::now();
            for (Texture* texture : textures) renderer.releaseTexture(texture);
            one.releaseEachInOrder.add(secondsSince(start));

            for (Texture*& texture : textures) texture = makeTexture(renderer, pixels_);
            start = Clock::now();
            for (std::size_t index : order) renderer.releaseTexture(textures[index]);
            one.releaseEachShuffled.add(secondsSince(start));

            for (Texture*& texture : textures) texture = makeTexture(renderer, pixels_);
            start = Clock::now();
            renderer.releaseAllTextures();
            one.releaseAll.add(secondsSince(start));
        }
    }

    // Frames of kQuadsWhileTexturesGrow quads on the kNewestTextures newest textures, then frames
    // of them on random textures among all the live ones; only the submission is timed, the
    // render pass between two submissions runs as in a real frame.
    void measureSubmit(TextureCase& one, std::size_t mode) {
        Session session(host_, kBlendModes[mode]);
        Renderer& renderer = session.renderer();
        const std::vector<Texture*> textures = makeTextures(renderer, one.live, pixels_);
        const std::vector<Quad> anyTexture = makeQuads(kQuadsWhileTexturesGrow, one.live, 0x0BADF00Du);
        const std::vector<Quad> newest =
            makeQuads(kQuadsWhileTexturesGrow, kNewestTextures, 0x0BADF00Du, one.live - kNewestTextures);
        const auto timeFrame = [&](const std::vector<Quad>& quads) {
            renderer.discardQueue();
            const Clock::time_point start = Clock::now();
            submitAll(renderer, quads, textures);
            const double seconds = secondsSince(start);
            renderer.renderQueue();
            host_.afterPass();
            return seconds;
        };
        for (int frame = 0; frame < kWarmUpFrames + kSubmitFrames; ++frame) {
            const double seconds = timeFrame(newest);
            if (frame >= kWarmUpFrames) one.submitNewest[mode].add(seconds);
        }
        for (int frame = 0; frame < kWarmUpFrames + kSubmitFrames; ++frame) {
            const double seconds = timeFrame(anyTexture);
            if (frame >= kWarmUpFrames) one.submit[mode].add(seconds);
        }
    }

    // Frames of a growing number of quads on kTexturesWhileQuadsGrow textures: the submission
    // and the render pass timed apart.
    void measureQueue(QuadCase& one, std::size_t mode) {
        Session session(host_, kBlendModes[mode]);
        Renderer& renderer = session.renderer();
        const std::vector<Texture*> textures = makeTextures(renderer, kTexturesWhileQuadsGrow, pixels_);
        const std::vector<Quad> quads = makeQuads(one.quads, kTexturesWhileQuadsGrow, 0x5EED0001u);
        for (int frame = 0; frame < kWarmUpFrames + framesFor(one.quads); ++frame) {
            renderer.discardQueue();
            Clock::time_point start = Clock::now();
            submitAll(renderer, quads, textures);
            const double submitSeconds = secondsSince(start);
            start = Clock::now();
            renderer.renderQueue();
            const double renderSeconds = secondsSince(start);
            host_.afterPass();
            if (frame < kWarmUpFrames) continue;
            one.submit[mode].add(submitSeconds);
            one.render[mode].add(renderSeconds);
        }
        if (kBlendModes[mode] != 2) return;
        for (int frame = 0; frame < kWarmUpFrames + framesFor(one.quads); ++frame) {
            renderer.discardQueue();
            submitWithoutTextures(renderer, quads);
            const Clock::time_point start = Clock::now();
            renderer.renderQueue();
            const double seconds = secondsSince(start);
            host_.afterPass();
            if (frame >= kWarmUpFrames) one.ownPass.add(seconds);
        }
    }

    void printTextureTable() const;
    void printQueueTable() const;
    void printGoals() const;

    ScalingHost& host_;
    ScalingOptions options_;
    std::vector<std::uint8_t> pixels_ = texturePixels();
    std::vector<TextureCase> textureCases_;
    std::vector<QuadCase> quadCases_;
};

double perItem(const Fastest& fastest, std::size_t items, double unit) {
    return fastest.measured() ? fastest.seconds() / static_cast<double>(items) * unit : -1.0;
}

void printFigure(const char* format, int width, double value) {
    if (value >= 0.0) std::printf(format, width, value);
    else std::printf(" %*s", width, "-");
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

void printGoal(const char* what, double numerator, double denominator, double goal) {
    if (!(numerator > 0.0 && denominator > 0.0)) {
        std::printf("  %s: not measured\n", what);
        return;
    }
    const double ratio = numerator / denominator;
    std::printf("  %s: %.2fx (goal <= %.1fx: %s)\n", what, ratio, goal, verdict(ratio <= goal));
}

void ScalingRun::printTextureTable() const {
    std::printf("\nBy live textures (%zu quads a frame: on the %zu newest textures, and on random textures among "
                "all of them)\n",
                kQuadsWhileTexturesGrow, kNewestTextures);
    std::printf("%9s %11s %11s %11s %11s %11s %11s %11s %11s %11s\n", "textures", "submit m0", "submit m2",
                "submit m0", "submit m2", "create", "release", "release", "release", "module");
    std::printf("%9s %11s %11s %11s %11s %11s %11s %11s %11s %11s\n", "", "newest", "newest", "any", "any", "",
                "in order", "shuffled", "all", "");
    std::printf("%9s %11s %11s %11s %11s %11s %11s %11s %11s %11s\n", "", "ns/quad", "ns/quad", "ns/quad", "ns/quad",
                "us/texture", "us/texture", "us/texture", "us/texture", "B/texture");
    for (const TextureCase& one : textureCases_) {
        std::printf("%9zu", one.live);
        for (std::size_t mode = 0; mode < kModeCount; ++mode)
            printFigure(" %*.1f", 11, perItem(one.submitNewest[mode], kQuadsWhileTexturesGrow, 1e9));
        for (std::size_t mode = 0; mode < kModeCount; ++mode)
            printFigure(" %*.1f", 11, perItem(one.submit[mode], kQuadsWhileTexturesGrow, 1e9));
        printFigure(" %*.2f", 11, perItem(one.create, one.live, 1e6));
        printFigure(" %*.3f", 11, perItem(one.releaseEachInOrder, one.live, 1e6));
        printFigure(" %*.3f", 11, perItem(one.releaseEachShuffled, one.live, 1e6));
        printFigure(" %*.3f", 11, perItem(one.releaseAll, one.live, 1e6));
        printFigure(" %*.0f", 11, one.moduleBytesPerTexture);
        std::printf("\n");
    }
}

void ScalingRun::printQueueTable() const {
    std::printf("\nBy quads a frame (on random textures among %zu; own pass: the same quads without textures, "
                "blend mode 2: queue and ordering work alone)\n",
                kTexturesWhileQuadsGrow);
    std::printf("%9s %11s %11s %11s %11s %11s %11s %11s\n", "quads", "submit m0", "submit m2", "render m0",
                "render m2", "render m0", "render m2", "own pass");
    std::printf("%9s %11s %11s %11s %11s %11s %11s %11s\n", "", "ns/quad", "ns/quad", "ms", "ms", "ns/quad",
                "ns/quad", "ns/quad");
    for (const QuadCase& one : quadCases_) {
        std::printf("%9zu", one.quads);
        for (std::size_t mode = 0; mode < kModeCount; ++mode)
            printFigure(" %*.1f", 11, perItem(one.submit[mode], one.quads, 1e9));
        for (std::size_t mode = 0; mode < kModeCount; ++mode)
            printFigure(" %*.3f", 11, perItem(one.render[mode], 1, 1e3));
        for (std::size_t mode = 0; mode < kModeCount; ++mode)
            printFigure(" %*.1f", 11, perItem(one.render[mode], one.quads, 1e9));
        printFigure(" %*.1f", 11, perItem(one.ownPass, one.quads, 1e9));
        std::printf("\n");
    }
}

void ScalingRun::printGoals() const {
    const TextureCase& fewest = textureCases_.front();
    const TextureCase& most = textureCases_.back();
    const QuadCase& shortest = quadCases_.front();
    const QuadCase& longest = quadCases_.back();
    std::printf("\nGoals\n");
    for (std::size_t mode = 0; mode < kModeCount; ++mode) {
        const std::string what = "blend mode " + std::to_string(kBlendModes[mode]) + ": submit per quad at " +
                                 std::to_string(most.live) + " live textures / at " + std::to_string(fewest.live);
        printGoal((what + ", on the newest " + std::to_string(kNewestTextures)).c_str(),
                  perItem(most.submitNewest[mode], 1, 1.0), perItem(fewest.submitNewest[mode], 1, 1.0),
                  kSubmitAcrossTexturesGoal);
        printGoal((what + ", on random textures among all").c_str(), perItem(most.submit[mode], 1, 1.0),
                  perItem(fewest.submit[mode], 1, 1.0), kSubmitAcrossTexturesGoal);
    }
    const std::string release = "releasing " + std::to_string(most.live) + " textures one by one";
    printGoal((release + " in creation order / all at once (the same order)").c_str(),
              perItem(most.releaseEachInOrder, 1, 1.0), perItem(most.releaseAll, 1, 1.0), kReleaseOneByOneGoal);
    printGoal((release + " in shuffled order / all at once").c_str(), perItem(most.releaseEachShuffled, 1, 1.0),
              perItem(most.releaseAll, 1, 1.0), kReleaseOneByOneGoal);
    for (std::size_t mode = 0; mode < kModeCount; ++mode) {
        const std::string tail = " per quad at " + std::to_string(longest.quads) + " quads / at " +
                                 std::to_string(shortest.quads);
        const std::string submit = "blend mode " + std::to_string(kBlendModes[mode]) + ": submit" + tail;
        printGoal(submit.c_str(), perItem(longest.submit[mode], longest.quads, 1.0),
                  perItem(shortest.submit[mode], shortest.quads, 1.0), kPerQuadAcrossQueueGoal);
        const std::string render = "blend mode " + std::to_string(kBlendModes[mode]) + ": render pass" + tail;
        printGoal(render.c_str(), perItem(longest.render[mode], longest.quads, 1.0),
                  perItem(shortest.render[mode], shortest.quads, 1.0), kPerQuadAcrossQueueGoal);
    }
    const std::string own = "blend mode 2: own pass (no textures) per quad at " + std::to_string(longest.quads) +
                            " quads / at " + std::to_string(shortest.quads);
    printGoal(own.c_str(), perItem(longest.ownPass, longest.quads, 1.0), perItem(shortest.ownPass, shortest.quads, 1.0),
              kPerQuadAcrossQueueGoal);
}

void ScalingRun::print() const {
    std::printf("\nScaling: %s; %ux%u 32-bit screen, %ux%u textures drawn as %.0fx%.0f quads (colour 0x%08X, random "
                "places and z); blend modes 0 (m0) and 2 (m2); fastest sample of %d rounds\n",
                host_.description(), kScreenWidth, kScreenHeight, kTextureSide, kTextureSide, kQuadSide, kQuadSide,
                kQuadColour, options_.rounds);
    printTextureTable();
    std::printf("  create: createTexture and an 8x8 upload; release: releaseTexture for each texture in creation "
                "order, in shuffled order, and releaseAllTextures (which also re-creates the renderer's two "
                "display-sized surfaces);\n"
                "  module: memory per texture made without pixels (the module's own; a texture filled from pixels "
                "it does not keep adds only DirectDraw's surface); - where too small for the host's memory figure\n");
    printQueueTable();
    printGoals();
}

}  // namespace

void runScaling(ScalingHost& host, const ScalingOptions& options) {
    ScalingRun run(host, options);
    run.measure();
    run.print();
    std::fflush(stdout);
}

ScalingOptions parseScalingOptions(int argc, char** argv) {
    ScalingOptions options;
    for (int i = 1; i < argc; ++i) {
        const char* prefix = "--rounds=";
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0) {
            options.rounds = std::atoi(argv[i] + std::strlen(prefix));
            if (options.rounds <= 0) throw std::invalid_argument("--rounds needs a positive number");
        } else {
            throw std::invalid_argument(std::string("unknown option ") + argv[i]);
        }
    }
    return options;
}

}  // namespace scalingbench
