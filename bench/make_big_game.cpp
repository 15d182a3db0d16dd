// Writes a game of real scale for the benchmarks: two archives of about
// 20 MB and 35 MB holding about 100 maps with over 500 distinct textures of
// 64x64 to 256x256 pixels (four mip levels each), plus a tree of 100,000
// files in about 10,000 folders that holds the game and its one quake.exe.
//
//   make_big_game DIR [--scale S] [--no-tree]
//
// --scale multiplies the number of maps and the archives' size (the largest
// texture stays 256x256), so the extraction's memory can be compared across
// archive sizes. --no-tree leaves out the folder tree. The game directory
// (.../quake/id1/) is printed and written to DIR/GAME_DIR. Output is the same
// for the same arguments.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/LittleEndian.h"
#include "tools/GameWriter.h"

namespace {

namespace fs = std::filesystem;
using namespace moxtrel::fixtures;

// A small deterministic generator, so every run builds the same game.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint32_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return static_cast<std::uint32_t>(m_state >> 11);
    }
    std::size_t Below(std::size_t n) { return Next() % n; }

private:
    std::uint64_t m_state;
};

struct TextureSpec {
    std::string name;
    int width;
    int height;
};

// About 540 distinct names as maps have them: walls, floors and trims by
// theme, animation frames ('+0'..'+3'), liquids ('*') and skies.
std::vector<TextureSpec> TexturePool(Random& random) {
    const char* themes[] = {"city", "metal", "wall", "brick", "wiz", "wood", "tech", "rock", "ground", "door",
                            "light", "trim", "floor", "comp", "window", "crate", "stone", "base", "rune", "mmetal"};
    const int sides[] = {64, 64, 64, 128, 128, 128, 128, 256, 256, 96, 192};
    std::vector<TextureSpec> pool;
    auto side = [&] { return sides[random.Below(std::size(sides))]; };
    for (const char* theme : themes) {
        for (int variant = 1; variant <= 24; ++variant) {
            pool.push_back({std::string(theme) + std::to_string(variant / 5 + 1) + "_" + std::to_string(variant % 5 + 1),
                            side(), side()});
        }
    }
    for (int set = 0; set < 12; ++set) {
        for (int frame = 0; frame < 4; ++frame) {
            pool.push_back({"+" + std::to_string(frame) + "anim" + std::to_string(set), 64, 64});
        }
    }
    for (const char* liquid : {"*water0", "*water1", "*slime", "*slime0", "*lava1", "*04water", "*teleport"}) {
        pool.push_back({liquid, 64, 64});
    }
    for (const char* sky : {"sky1", "sky3", "sky4"}) pool.push_back({sky, 256, 128});
    return pool;
}

// A version-29 map: 15 lumps, the texture lump third, the other lumps filled
// with `geometryBytes` in all, so the texture lump lies where a real map's does.
Bytes MakeMap(const Bytes& textureLump, std::size_t geometryBytes, Random& random) {
    constexpr int LumpCount = 15;
    constexpr int TextureLump = 2;
    std::vector<std::size_t> lengths(LumpCount, geometryBytes / (LumpCount - 1));
    lengths[TextureLump] = textureLump.size();
    Bytes map;
    moxtrel::platform::AppendInt32LE(map, 29);
    std::size_t at = 4 + 8 * LumpCount;
    for (std::size_t length : lengths) {
        moxtrel::platform::AppendInt32LE(map, static_cast<std::int32_t>(at));
        moxtrel::platform::AppendInt32LE(map, static_cast<std::int32_t>(length));
        at += length;
    }
    for (int lump = 0; lump < LumpCount; ++lump) {
        if (lump == TextureLump) {
            map.insert(map.end(), textureLump.begin(), textureLump.end());
            continue;
        }
        for (std::size_t i = 0; i < lengths[static_cast<std::size_t>(lump)]; ++i) {
            map.push_back(static_cast<unsigned char>(random.Next()));
        }
    }
    return map;
}

struct ArchivePlan {
    std::string file;
    std::string episode;
    int maps;
    std::size_t targetBytes;
};

// Writes one archive: its maps, each drawing 15 textures from the pool
// (textures of later maps repeat earlier ones, some with other pixels, as
// real games do), then sounds and models until it reaches its size.
void WriteArchive(const fs::path& path, const ArchivePlan& plan, const std::vector<TextureSpec>& pool,
                  std::size_t& nextNew, Random& random) {
    std::vector<PakMember> members{{"default.cfg", Bytes(2000, 'c')}};
    std::size_t texturesPerMap = 15;
    std::size_t bytes = 0;
    for (int m = 0; m < plan.maps; ++m) {
        std::vector<std::optional<Bytes>> slots;
        for (std::size_t t = 0; t < texturesPerMap; ++t) {
            // Two of three textures are new while the pool lasts; the others repeat.
            std::size_t index = (nextNew < pool.size() && random.Below(3) != 0) ? nextNew++ : random.Below(std::max<std::size_t>(nextNew, 1));
            const TextureSpec& spec = pool[index];
            std::uint32_t seed = random.Below(20) == 0 ? random.Next() : static_cast<std::uint32_t>(index);
            slots.push_back(MakeMiptex(spec.name, spec.width, spec.height, seed));
        }
        if (m % 7 == 3) slots.push_back(std::nullopt);  // an empty slot now and then
        Bytes map = MakeMap(MakeTextureLump(slots), 30000 + random.Below(40000), random);
        bytes += map.size();
        char name[40];
        std::snprintf(name, sizeof name, "maps/%s%dm%d.bsp", plan.episode.c_str(), m / 8 + 1, m % 8 + 1);
        members.push_back({name, std::move(map)});
    }
    for (int filler = 0; bytes < plan.targetBytes; ++filler) {
        std::size_t size = std::min<std::size_t>(plan.targetBytes - bytes, 20000 + random.Below(200000));
        Bytes data(size);
        for (auto& byte : data) byte = static_cast<unsigned char>(random.Next());
        members.push_back({(filler % 2 ? "sound/misc/s" : "progs/m") + std::to_string(filler) + (filler % 2 ? ".wav" : ".mdl"),
                           std::move(data)});
        bytes += size;
    }
    WriteBytes(path.string(), MakePak(members));
}

void TouchFile(const fs::path& path) {
    std::ofstream(path, std::ios::binary);
}

// The sub-folder of `dir` that the file system lists last, which is the one
// a depth-first scan of the tree enters last.
std::string LastFolderListed(const fs::path& dir) {
    std::string last;
    if (DIR* listing = ::opendir(dir.c_str())) {
        while (const dirent* entry = ::readdir(listing)) {
            std::string name = entry->d_name;
            if (name != "." && name != ".." && fs::is_directory(dir / name)) last = name;
        }
        ::closedir(listing);
    }
    return last;
}

// 20 x 20 x 24 folders (10,020 in all) holding 100,000 files. The game goes
// into the folder that a depth-first scan reaches last, so a search walks
// nearly the whole tree before it finds quake.exe.
fs::path WriteTree(const fs::path& root) {
    const char* extensions[] = {".txt", ".dat", ".png", ".cfg", ".EXE", ".dll", ".log", ".ini"};
    std::size_t files = 0;
    for (int a = 0; a < 20; ++a) {
        fs::path top = root / ("folder" + std::to_string(a));
        for (int b = 0; b < 20; ++b) {
            fs::path middle = top / ("Sub Folder " + std::to_string(b));
            fs::create_directories(middle);
            for (int f = 0; f < 10; ++f, ++files) TouchFile(middle / ("notes" + std::to_string(f) + extensions[f % 8]));
            for (int c = 0; c < 24; ++c) {
                fs::path leaf = middle / ("leaf" + std::to_string(c));
                fs::create_directory(leaf);
                // Near misses of the executable's name, which must not match.
                TouchFile(leaf / (c % 2 ? "quake.ex" : "QUAKE.EXE.bak"));
                ++files;
                for (int f = 1; f < 10; ++f, ++files) TouchFile(leaf / ("file" + std::to_string(f) + extensions[(f + c) % 8]));
            }
        }
    }
    fs::path last = root;
    for (int level = 0; level < 3; ++level) last /= LastFolderListed(last);
    std::printf("tree: %zu files in 10020 folders under %s\n", files, root.c_str());
    return last;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [--scale S] [--no-tree]\n", argv[0]);
        return 2;
    }
    fs::path dir = argv[1];
    double scale = 1.0;
    bool tree = true;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--scale" && i + 1 < argc) {
            scale = std::atof(argv[++i]);
        } else if (arg == "--no-tree") {
            tree = false;
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", arg.c_str());
            return 2;
        }
    }
    if (scale <= 0) {
        std::fprintf(stderr, "--scale must be above 0\n");
        return 2;
    }
    try {
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::path home = tree ? WriteTree(dir / "tree") : dir;
        fs::path gameDir = home / "quake" / "id1";
        fs::create_directories(gameDir);
        TouchFile(home / "quake" / "quake.exe");

        Random random(20240601);
        std::vector<TextureSpec> pool = TexturePool(random);
        std::size_t nextNew = 0;
        auto scaled = [&](double n) { return static_cast<int>(n * scale + 0.5); };
        WriteArchive(gameDir / "PAK0.PAK", {"PAK0", "e", scaled(40), static_cast<std::size_t>(20e6 * scale)}, pool,
                     nextNew, random);
        WriteArchive(gameDir / "PAK1.PAK", {"PAK1", "f", scaled(60), static_cast<std::size_t>(35e6 * scale)}, pool,
                     nextNew, random);
        std::printf("archives: %s (%ju bytes), %s (%ju bytes); %zu distinct texture names used\n",
                    (gameDir / "PAK0.PAK").c_str(), static_cast<std::uintmax_t>(fs::file_size(gameDir / "PAK0.PAK")),
                    (gameDir / "PAK1.PAK").c_str(), static_cast<std::uintmax_t>(fs::file_size(gameDir / "PAK1.PAK")),
                    nextNew);
        std::string game = gameDir.string() + "/";
        std::ofstream(dir / "GAME_DIR") << game << "\n";
        std::printf("game directory: %s\n", game.c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_big_game: %s\n", error.what());
        return 1;
    }
    return 0;
}
