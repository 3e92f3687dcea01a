#include "fuzz/fuzz_support.h"

#include <filesystem>
#include <fstream>
#include <random>

namespace velmar::fuzz {
namespace {

namespace fs = std::filesystem;

struct Scratch {
    fs::path root;
    std::string folder;
    Scratch() {
        std::error_code ec;
        fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::random_device seed;
        root = base / ("velmar-fuzz-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        fs::create_directories(root / "F");
        folder = (root / "F").string() + kPathSeparator;
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

}  // namespace

const std::string& ScratchDatabaseFolder() {
    static Scratch scratch;
    return scratch.folder;
}

void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) Fail("cannot write " + path);
}

void Fail(const std::string& what) {
    std::fprintf(stderr, "\nFUZZ CHECK FAILED: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string Printable(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\"";
}

}  // namespace velmar::fuzz
