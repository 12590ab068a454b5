#include "win32/module/ClassTable.h"

#include "QXWisp.h"
#include "win32/module/KCWisp.h"
#include "win32/module/QXDropTarget.h"
#include "win32/resources/ResourceIds.h"

namespace wisp::win32 {
namespace {

// The category that makes the browser treat the band as a vertical explorer bar.
constexpr CATID kCatidInfoBand = {
    0x00021493, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace

const ClassEntry* ClassTable() {
    static const ClassEntry entries[] = {
        {&CLSID_Wisp, CreateWispBand, IDR_WISP, &kCatidInfoBand},
        {&CLSID_QXDropTarget, QXDropTarget::Create, IDR_QXDROPTARGET, nullptr},
        {&CLSID_KCWisp, KCWisp::Create, IDR_KCWISP, nullptr},
        {nullptr, nullptr, 0, nullptr},
    };
    return entries;
}

}  // namespace wisp::win32
