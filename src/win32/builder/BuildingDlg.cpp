#include "win32/builder/BuildingDlg.h"

#include "win32/resources/ResourceIds.h"

namespace wisp::win32 {

CBuildingDlg::CBuildingDlg(HINSTANCE resources) {
    window_.Create(resources, IDD_BUILDING, IDC_PROGRESS_ANIMATION, IDR_BUILD_CLIP);
}

void CBuildingDlg::SetBuildingText(std::string_view text) {
    window_.SetText(IDC_BUILDING_TEXT, text);
}

}  // namespace wisp::win32
