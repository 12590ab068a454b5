#include "win32/module/QXDropTarget.h"

#include "win32/capture/DataObjectHtml.h"

namespace wisp::win32 {

HRESULT QXDropTarget::Create(IUnknown* outer, REFIID iid, void** object) {
    return ComObject<QXDropTarget>::Create(outer, iid, object);
}

const InterfaceEntry* QXDropTarget::Interfaces() {
    static const InterfaceEntry entries[] = {
        {&IID_IQXDropTarget, InterfaceOf<QXDropTarget, IQXDropTarget>},
        {&IID_IDispatch, InterfaceOf<QXDropTarget, IQXDropTarget>},
        {&IID_IDropTarget, InterfaceOf<QXDropTarget, IDropTarget>},
        {nullptr, nullptr},
    };
    return entries;
}

QXDropTarget::~QXDropTarget() {
    SetTree(nullptr);
}

void QXDropTarget::SetTree(CContentTree* tree) {
    if (tree_) {
        tree_->SetDroppedPageSaver(nullptr);
    }
    tree_ = tree;
    droppedPage_.reset();
    if (tree_) {
        droppedPage_ = std::make_unique<CDroppedPage>(*tree_, services_.Ports());
        tree_->SetDroppedPageSaver(droppedPage_.get());
    }
}

DWORD QXDropTarget::EffectOver() const {
    return offersHtml_ && tree_ && tree_->DropHighlightItem() != kNoTreeItem ? DROPEFFECT_COPY
                                                                             : DROPEFFECT_NONE;
}

STDMETHODIMP QXDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    offersHtml_ = OffersHtml(data);
    if (effect) {
        *effect = offersHtml_ ? (*effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
    }
    return S_OK;
}

STDMETHODIMP QXDropTarget::DragOver(DWORD, POINTL point, DWORD* effect) {
    if (tree_) {
        tree_->OnDragHover(TreePoint{point.x, point.y});
    }
    if (effect) {
        *effect &= EffectOver();
    }
    return S_OK;
}

STDMETHODIMP QXDropTarget::DragLeave() {
    if (tree_) {
        tree_->OnDragLeave();
    }
    return S_OK;
}

STDMETHODIMP QXDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    // Data the target cannot read drops nothing, but the highlight goes all the same.
    std::string text = ReadHtmlFormat(data).value_or(std::string());
    bool added = droppedPage_ && droppedPage_->Drop(text);
    if (effect) {
        *effect &= added ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    }
    return S_OK;
}

}  // namespace wisp::win32
