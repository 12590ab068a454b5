#include "core/library/BuildArtefacts.h"

namespace wisp {

bool IsBuildArtefactName(std::string_view name) {
    for (std::string_view artefact : kBuildArtefactNames) {
        if (name == artefact) {
            return true;
        }
    }
    return false;
}

}  // namespace wisp
