// Files for the tests: a fresh folder of their own, and the bytes a file holds.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

// A new, empty folder BASE/PREFIX-XXXXXX, for the test to remove; an empty path on failure.
inline std::filesystem::path FreshFolder(const std::string& prefix,
                                         const std::string& base = "/tmp") {
    std::string name = base + "/" + prefix + "-XXXXXX";
    return mkdtemp(name.data()) ? std::filesystem::path(name) : std::filesystem::path();
}

// What the file holds, or nothing when it can't be opened.
inline std::optional<std::string> FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}
