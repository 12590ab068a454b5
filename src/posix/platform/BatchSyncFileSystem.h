#pragma once

#include <string>
#include <thread>

#include "core/platform/ForwardingFileSystem.h"

// Files written for a long run of saves (a site's pages), flushed to disk together: each file
// is still replaced whole by a rename, but the thousands of them are synced once, at the end,
// instead of one by one. A crash in between loses pages that a resumed run saves again. The
// sync covers the whole file system: what other writers left unwritten before the run is
// synced from its start, beside it.
namespace wisp {

class BatchSyncFileSystem final : public ForwardingFileSystem {
public:
    // `folder` is on the file system that is synced at the end.
    BatchSyncFileSystem(IFileSystem& files, std::string folder);
    ~BatchSyncFileSystem() override;
    BatchSyncFileSystem(const BatchSyncFileSystem&) = delete;
    BatchSyncFileSystem& operator=(const BatchSyncFileSystem&) = delete;

    bool WriteWholeFile(std::string_view path, std::string_view content, bool hidden) override;
    bool ReplaceFileIfUnchanged(std::string_view path, std::string_view expected,
                                std::string_view content) override;

private:
    std::string folder_;
    // Syncs what other writers left unwritten on the file system before the run began, while
    // the run goes on: the sync at the end then waits for this run's own files alone.
    std::thread earlier_;
};

}  // namespace wisp
