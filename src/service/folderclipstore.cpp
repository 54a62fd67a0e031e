#include "service/folderclipstore.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

namespace velanote {

namespace fs = std::filesystem;

FolderClipStore::FolderClipStore(fs::path folder, std::uintmax_t capacityBytes, Writer writer)
    : folder_(std::move(folder)), capacity_(capacityBytes), writer_(std::move(writer)) {}

// Only the service's own ids name files: nothing else reaches outside the folder.
fs::path FolderClipStore::pathOf(const std::string& id) const {
    const bool plain = !id.empty() && id.size() <= 64 && std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    });
    return plain ? folder_ / (id + Suffix) : fs::path();
}

std::optional<SpeechClip> FolderClipStore::find(const std::string& id) {
    const fs::path path = pathOf(id);
    if (path.empty()) {
        return std::nullopt;
    }
    std::lock_guard lock(mutex_);
    std::error_code error;
    if (!fs::is_regular_file(path, error) || fs::file_size(path, error) > capacity_ + 4096) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::optional<SpeechClip> clip = decode(id, bytes);
    if (clip) {
        // Used now: it goes after the others.
        fs::last_write_time(path, fs::file_time_type::clock::now(), error);
    }
    return clip;
}

void FolderClipStore::keep(const SpeechClip& clip) {
    const fs::path path = pathOf(clip.id);
    if (path.empty() || !clip.mp3) {
        return;
    }
    std::lock_guard lock(mutex_);
    std::error_code error;
    fs::create_directories(folder_, error);
    if (writer_(path, encode(clip))) {
        trim(path);
    }
}

void FolderClipStore::trim(const fs::path& kept) {
    struct Entry {
        fs::path path;
        fs::file_time_type used;
        std::uintmax_t bytes;
    };
    std::vector<Entry> entries;
    std::uintmax_t total = 0;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_, error)) {
        std::error_code statError;
        if (entry.path().extension() != Suffix || !entry.is_regular_file(statError)) {
            continue;
        }
        const std::uintmax_t bytes = entry.file_size(statError);
        const fs::file_time_type used = entry.last_write_time(statError);
        if (!statError) {
            entries.push_back({entry.path(), used, bytes});
            total += bytes;
        }
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.used < b.used; });
    for (const Entry& entry : entries) {
        if (total <= capacity_) {
            break;
        }
        if (entry.path != kept && fs::remove(entry.path, error)) {
            total -= entry.bytes;
        }
    }
}

} // namespace velanote
