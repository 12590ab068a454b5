#include <zip.h>

#include <deque>

#include "core/platform/EpubArchive.h"

namespace wisp {
namespace {

// Writes the container with libzip. The entries' bytes stay with the archive until it is
// closed, since libzip reads them only then.
class ZipEpubArchive final : public IEpubArchive {
public:
    explicit ZipEpubArchive(std::string path) : path_(std::move(path)) {
        int error = 0;
        zip_ = zip_open(path_.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (!zip_) {
            zip_error_t zipError;
            zip_error_init_with_code(&zipError, error);
            openError_ = "cannot write " + path_ + ": " + zip_error_strerror(&zipError);
            zip_error_fini(&zipError);
        }
    }

    ~ZipEpubArchive() override {
        if (zip_) {
            zip_discard(zip_);
        }
    }

    bool AddEntry(std::string_view name, std::string content, bool compress) override {
        if (!zip_) {
            return false;
        }
        const std::string& kept = contents_.emplace_back(std::move(content));
        zip_source_t* source = zip_source_buffer(zip_, kept.data(), kept.size(), 0);
        if (!source) {
            return false;
        }
        zip_int64_t index = zip_file_add(zip_, std::string(name).c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return false;
        }
        return zip_set_file_compression(zip_, static_cast<zip_uint64_t>(index),
                                        compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) == 0;
    }

    bool Finish(std::string& error) override {
        if (!zip_) {
            error = openError_;
            return false;
        }
        if (zip_close(zip_) != 0) {
            error = "cannot write " + path_ + ": " + zip_strerror(zip_);
            return false;
        }
        zip_ = nullptr;
        contents_.clear();
        return true;
    }

private:
    std::string path_;
    zip_t* zip_ = nullptr;
    std::string openError_;
    std::deque<std::string> contents_;
};

}  // namespace

std::unique_ptr<IEpubArchive> CreateNativeEpubArchive(std::string_view path) {
    return std::make_unique<ZipEpubArchive>(std::string(path));
}

}  // namespace wisp
