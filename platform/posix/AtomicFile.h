#pragma once

#include <sys/types.h>
#include <filesystem>
#include <string>

namespace orvelle {

// Whole-file writes that a crash or a power cut can never leave half done.
class AtomicFile {
public:
    // Follows `path` through symbolic links to the file they finally name (which may not exist),
    // so that a rewrite replaces the link's target and keeps the link.
    static std::filesystem::path resolveLinks(const std::filesystem::path& path);

    // Creates `folder` and its missing parents, each new one with `mode`. Returns an error text,
    // empty on success.
    static std::string ensureFolder(const std::filesystem::path& folder, mode_t mode);

    // Replaces `target` by `content`: a temporary file beside it with `mode` is written, flushed to
    // disk and renamed over it, and the folder is flushed too. Returns an error text, empty on
    // success; on failure `target` is untouched and no temporary file is left behind.
    static std::string write(const std::filesystem::path& target, const std::string& content,
                             mode_t mode);

    // Deletes the temporary files that writes of `target` killed midway left beside it: only
    // regular files of this user named exactly as `write` names them.
    static void removeStaleTemporaries(const std::filesystem::path& target);
};

}  // namespace orvelle
