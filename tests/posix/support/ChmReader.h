#pragma once

#include <chm_lib.h>

#include <memory>
#include <optional>
#include <string>

// Reads objects back out of a compiled help file, to check what a build put in it.
namespace wisp::test {

struct ChmCloser {
    void operator()(chmFile* file) const { ::chm_close(file); }
};
using UniqueChm = std::unique_ptr<chmFile, ChmCloser>;

// The object's content, or nullopt when the compiled file does not hold it.
inline std::optional<std::string> ReadObject(chmFile* chm, const std::string& path) {
    chmUnitInfo unit{};
    if (::chm_resolve_object(chm, path.c_str(), &unit) != CHM_RESOLVE_SUCCESS) {
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(unit.length), '\0');
    if (unit.length > 0 &&
        ::chm_retrieve_object(chm, &unit, reinterpret_cast<unsigned char*>(content.data()), 0,
                              static_cast<LONGINT64>(unit.length)) !=
            static_cast<LONGINT64>(unit.length)) {
        return std::nullopt;
    }
    return content;
}

}  // namespace wisp::test
