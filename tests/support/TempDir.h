#pragma once
// A temporary folder removed with everything in it when the object goes.
#include <filesystem>
#include <string>
#include <string_view>

class TempDir {
public:
    // A new folder under the parent, by default the system's temporary folder.
    explicit TempDir(const std::filesystem::path& parent = std::filesystem::temp_directory_path());
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Writes the bytes into a file of the folder and returns its full path.
    std::string Write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

// The whole content of a file, byte for byte.
std::string ReadAll(const std::filesystem::path& file);
// Writes bytes to a file, replacing it.
void WriteAll(const std::filesystem::path& file, std::string_view bytes);
