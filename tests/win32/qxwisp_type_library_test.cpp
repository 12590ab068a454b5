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
    explicit Bstr(const wchar_t* text) : text_(::SysAllocString(text)) {}
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

std::wstring NameOf(ITypeInfo* info, MEMBERID member, std::wstring* help = nullptr) {
    Bstr name;
    Bstr doc;
    info->GetDocumentation(member, name.Put(), doc.Put(), nullptr, nullptr);
    if (help) {
        *help = doc.Text();
    }
    return name.Text();
}

TEST(TypeLibrary, IsEmbeddedWithItsIdentity) {
    ComPtr<ITypeLib> library = LoadModuleTypeLibrary();
    ASSERT_TRUE(library);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_QXWISPLib));
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->lcid, 0x409u);
    library->ReleaseTLibAttr(attributes);

    Bstr name;
    Bstr help;
    ASSERT_EQ(library->GetDocumentation(-1, name.Put(), help.Put(), nullptr, nullptr), S_OK);
    EXPECT_EQ(name.Text(), L"QXWISPLib");
    EXPECT_EQ(help.Text(), L"QXWisp 1.0 Type Library");
}

struct TypeCase {
    const GUID* guid;
    const wchar_t* name;
    const wchar_t* help;
    const wchar_t* defaultInterface;  // for a class; null for an interface
};

TEST(TypeLibrary, HoldsTheClassesAndTheirDualInterfaces) {
    ComPtr<ITypeLib> library = LoadModuleTypeLibrary();
    ASSERT_TRUE(library);
    const TypeCase cases[] = {
        {&CLSID_Wisp, L"Wisp", L"Wisp Class", L"IWisp"},
        {&IID_IWisp, L"IWisp", L"IWisp Interface", nullptr},
        {&CLSID_QXDropTarget, L"QXDropTarget", L"QXDropTarget Class", L"IQXDropTarget"},
        {&IID_IQXDropTarget, L"IQXDropTarget", L"IQXDropTarget Interface", nullptr},
        {&CLSID_KCWisp, L"KCWisp", L"KCWisp Class", L"IKCWisp"},
        {&IID_IKCWisp, L"IKCWisp", L"IKCWisp Interface", nullptr},
    };
    for (const TypeCase& c : cases) {
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(library->GetTypeInfoOfGuid(*c.guid, &info), S_OK) << c.name;
        std::wstring help;
        EXPECT_EQ(NameOf(info.Get(), MEMBERID_NIL, &help), c.name);
        EXPECT_EQ(help, c.help);
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
        TYPEKIND kind = attributes->typekind;
        WORD flags = attributes->wTypeFlags;
        info->ReleaseTypeAttr(attributes);
        if (c.defaultInterface) {
            EXPECT_EQ(kind, TKIND_COCLASS) << c.name;
            EXPECT_TRUE(flags & TYPEFLAG_FCANCREATE) << c.name;
            INT implFlags = 0;
            ASSERT_EQ(info->GetImplTypeFlags(0, &implFlags), S_OK);
            EXPECT_TRUE(implFlags & IMPLTYPEFLAG_FDEFAULT);
            HREFTYPE reference = 0;
            ComPtr<ITypeInfo> implemented;
            ASSERT_EQ(info->GetRefTypeOfImplType(0, &reference), S_OK);
            ASSERT_EQ(info->GetRefTypeInfo(reference, &implemented), S_OK);
            EXPECT_EQ(NameOf(implemented.Get(), MEMBERID_NIL), c.defaultInterface);
        } else {
            EXPECT_EQ(kind, TKIND_DISPATCH) << c.name;
            EXPECT_TRUE(flags & TYPEFLAG_FDUAL) << c.name;
            // The vtable half: derived from IDispatch, automation-compatible.
            HREFTYPE reference = 0;
            ComPtr<ITypeInfo> vtableInfo;
            ASSERT_EQ(info->GetRefTypeOfImplType(-1, &reference), S_OK);
            ASSERT_EQ(info->GetRefTypeInfo(reference, &vtableInfo), S_OK);
            ASSERT_EQ(vtableInfo->GetTypeAttr(&attributes), S_OK);
            EXPECT_EQ(attributes->typekind, TKIND_INTERFACE) << c.name;
            EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) << c.name;
            vtableInfo->ReleaseTypeAttr(attributes);
            ComPtr<ITypeInfo> baseInfo;
            ASSERT_EQ(vtableInfo->GetRefTypeOfImplType(0, &reference), S_OK);
            ASSERT_EQ(vtableInfo->GetRefTypeInfo(reference, &baseInfo), S_OK);
            EXPECT_EQ(NameOf(baseInfo.Get(), MEMBERID_NIL), L"IDispatch") << c.name;
        }
    }
}

TEST(TypeLibrary, CollectIsTheFirstMethodAfterIDispatchWithDispatchIdOne) {
    ComPtr<ITypeLib> library = LoadModuleTypeLibrary();
    ASSERT_TRUE(library);
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
    EXPECT_EQ(function->invkind, INVOKE_FUNC);
    EXPECT_EQ(function->elemdescFunc.tdesc.vt, VT_HRESULT);
    ASSERT_EQ(function->cParams, 2);
    EXPECT_EQ(function->lprgelemdescParam[0].tdesc.vt, VT_DISPATCH);
    EXPECT_EQ(function->lprgelemdescParam[1].tdesc.vt, VT_I4);
    MEMBERID id = function->memid;
    info->ReleaseFuncDesc(function);

    BSTR names[3] = {};
    UINT count = 0;
    ASSERT_EQ(info->GetNames(id, names, 3, &count), S_OK);
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(std::wstring(names[0]), L"Collect");
    EXPECT_EQ(std::wstring(names[1]), L"pDisp");
    EXPECT_EQ(std::wstring(names[2]), L"nStyle");
    for (BSTR name : names) {
        ::SysFreeString(name);
    }
    std::wstring help;
    NameOf(info.Get(), id, &help);
    EXPECT_EQ(help, L"method Collect");
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
