// atomic_file.h — replacing a whole file so that a crash, a kill or a full disk leaves
// either the old bytes or the new bytes, never a mixture.
//
// ReplaceFileAtomically writes the new bytes into a temporary file in the same folder
// (same file system, so the rename is atomic), flushes and fsyncs it, renames it over the
// target and fsyncs the folder so the rename itself is durable.  On any failure before
// the rename the temporary file is removed and the target keeps its old bytes (or stays
// missing).  Temporary files of the same target left by writers that were killed (their
// process is gone) are removed after the next successful replacement.  Every rewrite of a
// data file goes through here; appends do not.
//
// Tests inject failures at each step through SetAtomicFailureHook.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace yk {

// The steps of a replacement, in the order they run.
enum class AtomicStep {
  kCreateTemp,  // create the temporary file beside the target
  kWrite,       // write the new bytes into it
  kFlush,       // fsync the temporary file
  kRename,      // rename it over the target
  kSyncFolder,  // fsync the folder (after the rename: a failure here is not reported)
};

// Called before each step; returning true makes that step fail as if the system refused
// it.  An empty hook (the default) injects nothing.  For tests only.
using AtomicFailureHook = std::function<bool(AtomicStep step)>;

// Installs a hook and returns the previous one.
AtomicFailureHook SetAtomicFailureHook(AtomicFailureHook hook);

// Replaces `target` (created when missing) with exactly `bytes`.  The folder must exist.
// True when the new bytes are in place.  False leaves the old file byte for byte as it
// was (and no temporary file behind).  Never throws.
[[nodiscard]] bool ReplaceFileAtomically(const std::filesystem::path& target,
                                         std::string_view bytes) noexcept;

}  // namespace yk
