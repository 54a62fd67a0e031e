#pragma once
#include "service/clipstore.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>

namespace velanote {

// Clips kept as files in one folder, so that the address of a clip made today still plays after
// the program has restarted. The folder holds at most about `capacityBytes`: the clips used least
// recently go first (the newest always stays). Files are written through `writer`, the program's
// atomic write; a file that is not a whole clip of its name is ignored. Safe to use from several
// threads.
class FolderClipStore : public ClipStore {
public:
    using Writer = std::function<bool(const std::filesystem::path& path, const std::string& bytes)>;

    FolderClipStore(std::filesystem::path folder, std::uintmax_t capacityBytes, Writer writer);

    std::optional<SpeechClip> find(const std::string& id) override;
    void keep(const SpeechClip& clip) override;

    static constexpr const char* Suffix = ".clip";

private:
    std::filesystem::path pathOf(const std::string& id) const;
    void trim(const std::filesystem::path& kept);

    std::filesystem::path folder_;
    std::uintmax_t capacity_;
    Writer writer_;
    std::mutex mutex_;
};

} // namespace velanote
