#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace inkvale::test {

// A fresh folder of its own below `parent` (the temporary folder by default), removed with
// everything in it. Portable, so that the same tests run on Windows.
class ScratchFolder
{
public:
    explicit ScratchFolder(
        const std::filesystem::path &parent = std::filesystem::temp_directory_path())
    {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path candidate =
                parent / ("inkvale-test-" + std::to_string(random()));
            // create_directory() reports false when the name is taken: try another.
            if (std::filesystem::create_directory(candidate)) {
                m_path = candidate;
                return;
            }
        }
        throw std::system_error(std::make_error_code(std::errc::file_exists), parent.string());
    }
    ~ScratchFolder()
    {
        // Windows deletes no read-only file, so tests may leave some behind.
        std::error_code ignored;
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
            if (!it->is_symlink(ignored)) {
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                             std::filesystem::perm_options::add, ignored);
            }
        }
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }

    // Whether symbolic links can be made here (Windows asks for a privilege).
    bool symlinksWork() const
    {
        std::error_code ec;
        std::filesystem::create_symlink(m_path / "probe-target", m_path / "probe-link", ec);
        std::error_code ignored;
        std::filesystem::remove(m_path / "probe-link", ignored);
        return !ec;
    }

    // Writes `bytes` as the file `name` in this folder and returns its path.
    std::filesystem::path write(const std::string &name, const std::string &bytes) const
    {
        const std::filesystem::path file = m_path / name;
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        return file;
    }

private:
    std::filesystem::path m_path;
};

// A file's bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace inkvale::test
