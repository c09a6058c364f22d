#pragma once

#include "engine/graphics/bmp_decoder.h"
#include "engine/platform/platform.h"
#include "engine/plugin/plugin_list.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmo {

// Loads the picture a script names and converts it to 24 bits, top-down.
//
// The name is a file on disk, or a member of an archive on disk ("cg\bg.arc\room01.bmp"), or of
// an archive inside one ("cg\pack.arc\inner.arc\a.bmp"): it is cut after each part that holds a
// period (TWordList::SplitArchivePath). The first Susie plug-in of `plugins`, in load order, whose
// IsSupported claims the file handles it: a picture loader ("00IN") decodes it, an archive handler
// ("00AM") extracts the next part of the name into `tempFolder`, and the extracted file is loaded
// in turn. A file no plug-in claims is read as a BMP file. Extracted files stay in the temporary
// folder.
//
// `tempFolder` is the folder the engine owns for such files (the one scripts read in sysTmpPath):
// with a trailing backslash. It is handed to GetFile as it is, and the extracted file is
// "<tempFolder>\<file name from GetFileInfo>" with one backslash between the two, whether or not
// the folder ends with one (JoinFolder).
//
// Returns nullopt when the file is no readable BMP file, or when what a picture loader returned
// cannot be read (the caller raises ErrBadFormat). Raises ErrFileNotFound when a file to be read
// does not exist and ErrFileIO when it cannot be opened, both with the whole name; a plug-in's
// non-zero result as the error code, with the whole name (picture loaders) or the member's name
// (archive handlers); -1 with the same texts when a plug-in lacks GetPicture, GetFileInfo or
// GetFile; -1 with the plug-in's file name when a plug-in of another tag claims the file.
std::optional<Picture> LoadPicture(IFileSystem& files, IModules& modules, const TListPlugin& plugins,
                                   std::string_view tempFolder, std::string_view name);

// Where the pictures of a running engine come from: the game's files, the picture and archive
// plug-ins of its list, and the folder that files taken out of archives go to.
struct PictureSource {
  IFileSystem& files;
  IModules& modules;
  const TListPlugin& plugins;
  std::string_view tempFolder;

  std::optional<Picture> Load(std::string_view name) const {
    return LoadPicture(files, modules, plugins, tempFolder, name);
  }
};

// "<folder>\<fileName>" with exactly one backslash between them: a backslash that ends `folder`
// (and is not the trail byte of a two-byte character) is not doubled.
std::string JoinFolder(std::string_view folder, std::string_view fileName);

} // namespace velmo
