#include "files/SameFile.h"

#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path Normalised(const fs::path& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    if (error) {
        absolute = path;
    }
    fs::path canonical = fs::weakly_canonical(absolute, error);
    return (error ? absolute : canonical).lexically_normal();
}

} // namespace

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) {
        const bool same = fs::equivalent(a, b, error);
        if (!error) {
            return same;
        }
    }
    return Normalised(a) == Normalised(b);
}
