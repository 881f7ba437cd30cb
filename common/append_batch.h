// append_batch.h — lines appended to many files as one step: each file gets one write,
// the disk is flushed for all of them together, and when one file fails every file is
// taken back to what it was.
//
// Appends, not rewrites: an append never loses a line that another process (the
// organizer and the command line tool may work on one data folder at the same time)
// adds to the same file meanwhile, it writes only the new bytes, and a crash leaves no
// more than a single append leaves (a torn last line, set apart by the next append).  A
// rewrite through ReplaceFileAtomically would write each file whole and flush twice (the
// file and its folder).
//
// One flush: every fsync waits for the disk to empty its cache, some milliseconds each,
// and a calendar import touches thousands of day files: flushed one by one that takes
// minutes, with the organizer's window frozen.  So a batch of more than
// kFlushEachFileUpTo files writes them all and then flushes the file system of the root
// folder once (syncfs, which also reports a write that failed in any file since the
// batch began); a file that lies on another file system (a folder linked elsewhere) is
// fsynced on its own.  A batch of a few files fsyncs each one as it goes, as a single
// append does.
//
// Taking back: each append remembers where its bytes went, whether it made the file and
// which folders it made.  Rollback cuts the appends out again, the last one first: cut
// off the end when nothing came after it, or the file rewritten atomically without them
// when another writer appended after it; then files and folders it made are removed
// when they are empty.
//
// Files are opened per append and closed again; the batch keeps only the root folder
// open.  Not for use from two threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "common/utf16_line_file.h"

namespace yk {

class AppendBatch {
 public:
  // Batches up to this many files flush each file as it is written.
  static constexpr std::size_t kFlushEachFileUpTo = 8;

  // Appends to files under `root`, about `files` of them (which chooses how they are
  // flushed).
  AppendBatch(const std::filesystem::path& root, std::size_t files);
  // A batch neither committed nor rolled back is rolled back.
  ~AppendBatch();
  AppendBatch(const AppendBatch&) = delete;
  AppendBatch& operator=(const AppendBatch&) = delete;

  // Appends `lines` (whole encoded lines, EncodeUtf16Line) to `file`, after the line end
  // its last line may lack, making the file and its folders when missing.  False when
  // the file can't be made, opened or written: it is left as it was (the files appended
  // before it are not: Rollback).
  [[nodiscard]] bool Append(const std::filesystem::path& file, std::string_view lines);

  // Flushes what the batch wrote to disk.  False when a flush failed (the bytes may not
  // be on the disk): Rollback.
  [[nodiscard]] bool Commit();

  // Takes every append out again and removes the files and folders the batch made that
  // are empty again.  False when an append couldn't be taken out (its file changed under
  // it beyond recognition, or can't be written); the others are taken out all the same.
  bool Rollback();

 private:
  struct Entry {
    std::filesystem::path file;
    Utf16Append append;
    std::vector<std::filesystem::path> madeFolders;  // outermost first
  };

  [[nodiscard]] bool TakeBack(const Entry& entry) const;

  bool flushEach_;
  int rootFd_ = -1;  // for syncfs; -1 when each file is flushed on its own
  uint64_t rootDevice_ = 0;
  std::vector<Entry> entries_;
  bool settled_ = false;  // committed or rolled back
};

}  // namespace yk
