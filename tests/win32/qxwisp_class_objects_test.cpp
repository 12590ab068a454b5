#include <windows.h>
#include <objbase.h>
#include <ocidl.h>
#include <oleidl.h>
#include <shobjidl.h>

#include <wrl/client.h>

#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "QXWispModule.h"

using Microsoft::WRL::ComPtr;

namespace wisp::test {
namespace {

class ClassObjectsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.Loaded()) << "cannot load QXWisp.DLL"; }

    ComApartment apartment;
    QXWispModule module;
};

TEST_F(ClassObjectsTest, OneClassObjectPerClassAlsoForThreadsRacingForTheFirst) {
    for (const CLSID* clsid : {&CLSID_Wisp, &CLSID_QXDropTarget}) {
        ComPtr<IClassFactory> first;
        ComPtr<IClassFactory> second;
        ASSERT_EQ(module.GetClassObject(*clsid, IID_PPV_ARGS(&first)), S_OK);
        ASSERT_EQ(module.GetClassObject(*clsid, IID_PPV_ARGS(&second)), S_OK);
        EXPECT_EQ(first.Get(), second.Get());
    }
    constexpr int kThreads = 4;
    IClassFactory* seen[kThreads] = {};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([this, &seen, i] {
            ComPtr<IClassFactory> factory;
            if (module.GetClassObject(CLSID_KCWisp, IID_PPV_ARGS(&factory)) == S_OK) {
                seen[i] = factory.Get();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (IClassFactory* factory : seen) {
        EXPECT_NE(factory, nullptr);
        EXPECT_EQ(factory, seen[0]);
    }
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

TEST_F(ClassObjectsTest, BadArgumentsForTheClassObjectAndItsCreateInstance) {
    EXPECT_EQ(module.GetClassObject(CLSID_Wisp, IID_IClassFactory, nullptr), E_POINTER);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(module.GetClassObject(IID_IWisp, IID_IClassFactory, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(module.GetClassObject(CLSID_Wisp, IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(module.GetClassObject(CLSID_Wisp, IID_PPV_ARGS(&factory)), S_OK);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IWisp, nullptr), E_POINTER);
    ComPtr<IUnknown> outer;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&outer)), S_OK);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IWisp, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDropTarget, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    outer.Reset();
    factory.Reset();
    EXPECT_EQ(module.CanUnloadNow(), S_OK) << "the failed object was destroyed";
}

TEST_F(ClassObjectsTest, CanUnloadOnlyWithoutReferencesObjectsOrLocks) {
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
    {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(module.GetClassObject(CLSID_Wisp, IID_PPV_ARGS(&factory)), S_OK);
        EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "the caller holds the class object";
        factory.Reset();
        EXPECT_EQ(module.CanUnloadNow(), S_OK) << "only the cache holds it";

        ASSERT_EQ(module.GetClassObject(CLSID_KCWisp, IID_PPV_ARGS(&factory)), S_OK);
        ComPtr<IUnknown> collector;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&collector)), S_OK);
        ASSERT_EQ(factory->LockServer(TRUE), S_OK);
        factory.Reset();
        EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "an object and a lock remain";
        collector.Reset();
        EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "the lock remains";
        ASSERT_EQ(module.GetClassObject(CLSID_KCWisp, IID_PPV_ARGS(&factory)), S_OK);
        factory->LockServer(FALSE);
    }
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

// Each class answers its interfaces, refuses the others', and every part leads back to one
// identity.
TEST_F(ClassObjectsTest, EachClassAnswersItsInterfacesWithOneIdentity) {
    struct Case {
        const CLSID* clsid;
        std::vector<const IID*> answered;
        std::vector<const IID*> refused;
    } cases[] = {
        {&CLSID_Wisp,
         {&IID_IWisp, &IID_IOleWindow, &IID_IDockingWindow, &IID_IObjectWithSite, &IID_IDeskBand,
          &IID_IPersist, &IID_IPersistStream, &IID_IDispatch, &IID_IInputObject},
         {&IID_IDropTarget, &IID_IKCWisp}},
        {&CLSID_QXDropTarget,
         {&IID_IQXDropTarget, &IID_IDispatch, &IID_IDropTarget},
         {&IID_IDeskBand}},
        {&CLSID_KCWisp, {&IID_IKCWisp, &IID_IDispatch}, {&IID_IDropTarget, &IID_IWisp}},
    };
    for (const Case& c : cases) {
        ComPtr<IUnknown> object;
        ASSERT_EQ(module.CreateInstance(*c.clsid, nullptr, IID_PPV_ARGS(&object)), S_OK);
        for (bool answered : {true, false}) {
            const std::vector<const IID*>& iids = answered ? c.answered : c.refused;
            for (std::size_t i = 0; i < iids.size(); ++i) {
                SCOPED_TRACE(testing::Message() << "class " << &c - cases
                                                << (answered ? " answers " : " refuses ") << i);
                ComPtr<IUnknown> part;
                EXPECT_EQ(
                    object->QueryInterface(*iids[i], reinterpret_cast<void**>(part.GetAddressOf())),
                    answered ? S_OK : E_NOINTERFACE);
                EXPECT_EQ(part != nullptr, answered);
                EXPECT_EQ(object->QueryInterface(*iids[i], nullptr), E_POINTER);
                ComPtr<IUnknown> identity;
                if (part && part.As(&identity) == S_OK) {
                    EXPECT_EQ(identity.Get(), object.Get());
                }
            }
        }
    }
}

// An outer object that keeps the inner object's IUnknown and answers IWisp through it, as
// an aggregating object does; it counts the calls that reach it.
class OuterObject final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        ++queries;
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *object = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, object) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++count; }
    STDMETHODIMP_(ULONG) Release() override { return --count; }

    ComPtr<IUnknown> inner;
    ULONG count = 1;
    int queries = 0;
};

TEST_F(ClassObjectsTest, AggregatedBandDelegatesItsIUnknownToTheOuterObject) {
    OuterObject outer;
    ASSERT_EQ(module.CreateInstance(CLSID_Wisp, &outer, IID_PPV_ARGS(&outer.inner)), S_OK);
    EXPECT_EQ(outer.count, 1u) << "the inner object holds no reference to its outer object";

    ComPtr<IDeskBand> deskBand;
    ASSERT_EQ(outer.inner.As(&deskBand), S_OK);
    EXPECT_EQ(outer.count, 2u) << "references to the parts count on the outer object";

    ComPtr<IUnknown> identity;
    int queriesBefore = outer.queries;
    ASSERT_EQ(deskBand.As(&identity), S_OK);
    EXPECT_EQ(identity.Get(), static_cast<IUnknown*>(&outer));
    EXPECT_EQ(outer.queries, queriesBefore + 1);
    EXPECT_NE(outer.inner.Get(), static_cast<IUnknown*>(deskBand.Get()))
        << "the inner IUnknown is not one of the parts";

    identity.Reset();
    deskBand.Reset();
    EXPECT_EQ(outer.count, 1u);
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "the inner object lives";
    outer.inner.Reset();
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

// The type information comes from the library embedded in the module (RegistrationFallback
// covers a module without one); each dual interface answers with its own.
TEST_F(ClassObjectsTest, EachDualInterfaceServesItsOwnTypeInformation) {
    struct Case {
        const CLSID* clsid;
        const IID* iid;
    } cases[] = {{&CLSID_Wisp, &IID_IWisp},
                 {&CLSID_QXDropTarget, &IID_IQXDropTarget},
                 {&CLSID_KCWisp, &IID_IKCWisp}};
    for (const Case& c : cases) {
        ComPtr<IDispatch> object;
        ASSERT_EQ(module.CreateInstance(*c.clsid, nullptr, IID_PPV_ARGS(&object)), S_OK);
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(object->GetTypeInfo(0, 0x409, &info), S_OK);
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
        EXPECT_TRUE(IsEqualGUID(attributes->guid, *c.iid)) << &c - cases;
        info->ReleaseTypeAttr(attributes);
        ComPtr<ITypeInfo> none;
        EXPECT_EQ(object->GetTypeInfo(1, 0x409, &none), DISP_E_BADINDEX);
        EXPECT_EQ(none, nullptr);
    }
}

TEST_F(ClassObjectsTest, DropTargetWithoutATreeAcceptsNothing) {
    ComPtr<IDropTarget> dropTarget;
    ASSERT_EQ(module.CreateInstance(CLSID_QXDropTarget, nullptr, IID_PPV_ARGS(&dropTarget)), S_OK);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(dropTarget->DragEnter(nullptr, 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(dropTarget->DragOver(0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(dropTarget->DragLeave(), S_OK);
    EXPECT_EQ(dropTarget->Drop(nullptr, 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
}

}  // namespace
}  // namespace wisp::test
