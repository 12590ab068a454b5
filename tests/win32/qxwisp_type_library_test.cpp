#include <windows.h>
#include <oleauto.h>

#include <wrl/client.h>

#include <string>

#include <gtest/gtest.h>

#include "QXWispModule.h"

using Microsoft::WRL::ComPtr;

namespace wisp::test {
namespace {

// A BSTR for the test's lifetime.
class Bstr {
public:
    Bstr() = default;
    ~Bstr() { ::SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR* Put() { return &text_; }
    std::wstring Text() const { return text_ ? std::wstring(text_) : std::wstring(); }

private:
    BSTR text_ = nullptr;
};

ComPtr<ITypeLib> LoadModuleTypeLibrary() {
    ComPtr<ITypeLib> library;
    EXPECT_EQ(::LoadTypeLibEx(QXWispDllPath().c_str(), REGKIND_NONE, &library), S_OK);
    return library;
}

std::wstring NameOf(ITypeInfo* info, MEMBERID member) {
    Bstr name;
    info->GetDocumentation(member, name.Put(), nullptr, nullptr, nullptr);
    return name.Text();
}

// The names and help strings are the IDL's; what is checked is that the library is embedded
// and that Collect's slot matches the collector's vtable, which the C++ class fixes.
TEST(TypeLibrary, IsEmbeddedAndCollectFollowsIDispatchInTheVtable) {
    ComPtr<ITypeLib> library = LoadModuleTypeLibrary();
    ASSERT_TRUE(library);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_QXWISPLib));
    library->ReleaseTLibAttr(attributes);

    ComPtr<ITypeInfo> dispatchInfo;
    ASSERT_EQ(library->GetTypeInfoOfGuid(IID_IKCWisp, &dispatchInfo), S_OK);
    // The interface (vtable) half of the dual interface.
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(dispatchInfo->GetRefTypeOfImplType(-1, &reference), S_OK);
    ASSERT_EQ(dispatchInfo->GetRefTypeInfo(reference, &info), S_OK);
    FUNCDESC* function = nullptr;
    ASSERT_EQ(info->GetFuncDesc(0, &function), S_OK);
    EXPECT_EQ(function->memid, 1);
    EXPECT_EQ(function->oVft, static_cast<SHORT>(7 * sizeof(void*)));
    ASSERT_EQ(function->cParams, 2);
    EXPECT_EQ(function->lprgelemdescParam[0].tdesc.vt, VT_DISPATCH);
    EXPECT_EQ(function->lprgelemdescParam[1].tdesc.vt, VT_I4);
    info->ReleaseFuncDesc(function);
}

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.Loaded()) << "cannot load QXWisp.DLL"; }

    ComApartment apartment;
    QXWispModule module;
};

TEST_F(DispatchTest, CollectIsReachedByNameAndRefusesANullWindow) {
    ComPtr<IDispatch> collector;
    ASSERT_EQ(module.CreateInstance(CLSID_KCWisp, nullptr, IID_PPV_ARGS(&collector)), S_OK);

    UINT count = 0;
    ASSERT_EQ(collector->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);

    wchar_t collect[] = L"Collect";
    LPOLESTR names[] = {collect};
    DISPID id = 0;
    ASSERT_EQ(collector->GetIDsOfNames(IID_NULL, names, 1, 0x409, &id), S_OK);
    EXPECT_EQ(id, 1);
    wchar_t unknown[] = L"Gather";
    names[0] = unknown;
    EXPECT_EQ(collector->GetIDsOfNames(IID_NULL, names, 1, 0x409, &id), DISP_E_UNKNOWNNAME);

    // Arguments go in reverse order: nStyle, then the window.
    VARIANT arguments[2];
    ::VariantInit(&arguments[0]);
    ::VariantInit(&arguments[1]);
    arguments[0].vt = VT_I4;
    arguments[0].lVal = 1;
    arguments[1].vt = VT_DISPATCH;
    arguments[1].pdispVal = nullptr;
    DISPPARAMS parameters{arguments, nullptr, 2, 0};
    EXCEPINFO exception{};
    UINT argumentError = 0;
    HRESULT hr = collector->Invoke(1, IID_NULL, 0x409, DISPATCH_METHOD, &parameters, nullptr,
                                   &exception, &argumentError);
    // The method's failure comes back as itself or as an exception carrying it.
    if (hr == DISP_E_EXCEPTION) {
        EXPECT_EQ(exception.scode, E_POINTER);
        ::SysFreeString(exception.bstrSource);
        ::SysFreeString(exception.bstrDescription);
        ::SysFreeString(exception.bstrHelpFile);
    } else {
        EXPECT_EQ(hr, E_POINTER);
    }

    // Too few arguments are refused before the method is reached.
    DISPPARAMS tooFew{arguments, nullptr, 1, 0};
    hr = collector->Invoke(1, IID_NULL, 0x409, DISPATCH_METHOD, &tooFew, nullptr, nullptr, nullptr);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_NE(hr, E_POINTER);
    EXPECT_NE(hr, DISP_E_EXCEPTION);
}

TEST_F(DispatchTest, EachDualInterfaceServesItsOwnTypeInformation) {
    struct Case {
        const CLSID* clsid;
        const wchar_t* interfaceName;
    } cases[] = {{&CLSID_Wisp, L"IWisp"},
                 {&CLSID_QXDropTarget, L"IQXDropTarget"},
                 {&CLSID_KCWisp, L"IKCWisp"}};
    for (const Case& c : cases) {
        ComPtr<IDispatch> object;
        ASSERT_EQ(module.CreateInstance(*c.clsid, nullptr, IID_PPV_ARGS(&object)), S_OK);
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(object->GetTypeInfo(0, 0x409, &info), S_OK);
        EXPECT_EQ(NameOf(info.Get(), MEMBERID_NIL), c.interfaceName);
        ComPtr<ITypeInfo> none;
        EXPECT_EQ(object->GetTypeInfo(1, 0x409, &none), DISP_E_BADINDEX);
        EXPECT_EQ(none, nullptr);
    }
}

}  // namespace
}  // namespace wisp::test
