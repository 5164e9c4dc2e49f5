#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "files/ImageFiles.h"

// The table images of one radio, as a folder holds them: channels 0-99, channels 100-199
// when the radio has that table, settings.
struct ImageSet {
    ImageBuffer channels0_99{};
    ImageBuffer channels100_199{};
    ImageBuffer settings{};
    bool hasChannels100_199 = false;
};

// A file written beside the images (name inside the folder, bytes).
using FolderFile = std::pair<std::string, std::string>;

// The files of an image folder: the images the set holds, then the extra files.
std::vector<FolderFile> FolderFiles(const ImageSet& images, const std::vector<FolderFile>& extra);

// Writes the images (and the extra files) into dir as a whole: when dir does not exist it
// is built as a temporary sibling and renamed into place; when it exists every file is
// first written in full beside its target and only then renamed over it. A table image the
// set does not hold is removed from dir. A failure while writing (a full disk) changes
// nothing in dir; a rename failing after that, which needs no space, leaves the files before
// it replaced. Either way no temporary stays and FileError is thrown.
void WriteImageFolder(const std::filesystem::path& dir, const ImageSet& images,
                      const std::vector<FolderFile>& extra = {});

// Reads the images of dir (channels-100-199.bin is optional). Throws FileError.
ImageSet ReadImageFolder(const std::filesystem::path& dir);

// Writes a new folder dir (which must not exist) as a whole: the files go into a temporary
// sibling, which is flushed and renamed to dir. Throws FileError; nothing remains then.
void WriteNewFolder(const std::filesystem::path& dir, const std::vector<FolderFile>& files);
