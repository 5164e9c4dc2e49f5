#include "files/ImageFiles.h"

#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/RegularFileRead.h"

void ReadImageFile(const std::filesystem::path& dir, const char* name, ImageBuffer& image) {
    const std::filesystem::path path = dir / name;
    const std::string bytes = ReadRegularFile(path, MAX_IMAGE_FILE_SIZE);
    if (bytes.size() < 12 || bytes.size() > image.size()) {
        throw FileError(PathText(path) + ": " + std::to_string(bytes.size()) +
                        " bytes is not a table image (12 to 2048 bytes)");
    }
    image.fill(0xFF);
    for (size_t i = 0; i < bytes.size(); ++i) {
        image[i] = static_cast<uint8_t>(bytes[i]);
    }
}
